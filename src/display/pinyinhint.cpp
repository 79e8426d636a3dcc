#include "display/pinyinhint.h"

#include "app/mainwindow.h"

PinyinHint::PinyinHint(MainWindow& window) : QObject(&window), w(window) {}
