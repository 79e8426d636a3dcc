#!/usr/bin/env bash
# Configures and builds everything into build/ (the program, its tools, the
# default database from data/ and the tests).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --parallel "$(nproc)"
