#include "mainwindow.h"

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmPoem"));
    setWindowTitle(QStringLiteral("蓝溪诗汇 "));
    resize(800, 560);
}
