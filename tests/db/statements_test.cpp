#include "support/fixture.h"

#include <gtest/gtest.h>
