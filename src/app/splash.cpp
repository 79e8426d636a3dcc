#include "app/splash.h"

#include "app/artwork.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

SplashWindow::SplashWindow(std::function<void()> loadMain, std::function<void()> showMain, QWidget* parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint), m_loadMain(std::move(loadMain)),
      m_showMain(std::move(showMain)) {
    setObjectName(QStringLiteral("frmBland"));
    setWindowTitle(QStringLiteral("蓝溪诗汇"));
    resize(480, 300);
    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setScaledContents(true);
    Image2->setPixmap(Artwork::splash(QSize(480, 300)));
    Image2->installEventFilter(this);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->hide();
    Label7 = new QLabel(QStringLiteral("澄川软件 出品 · 诗词文本来自公有领域"), this);
    Label7->setObjectName(QStringLiteral("Label7"));
    Label7->setStyleSheet(QStringLiteral("color: #1d3c66; background: transparent;"));
    Label7->setGeometry(16, 262, 300, 24);
    cmdCancel = new QPushButton(QStringLiteral("确定>>"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(390, 258, 74, 28);
    connect(cmdCancel, &QPushButton::clicked, this, &QWidget::close);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &SplashWindow::Timer1_Timer);
    // Centre on the screen.
    if (const QScreen* s = QApplication::primaryScreen()) {
        const QRect g = s->geometry();
        move(g.left() + (g.width() - width()) / 2, g.top() + (g.height() - height()) / 2);
    }
    Timer1->start();
}

void SplashWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Image2->setGeometry(0, 0, width(), height());
    Image2->lower();
}

void SplashWindow::ensureLoaded() {
    if (m_mainLoaded) return;
    m_mainLoaded = true;
    m_loading = true;
    m_loadMain();
    m_loading = false;
}

void SplashWindow::Timer1_Timer() {
    // A load that waits for the database lets the timer run: the splash stays
    // until the main window is whole.
    if (m_loading) return;
    ++m_ticks;
    if (m_ticks == 1) ensureLoaded();
    if (m_ticks > 4) close();
}

bool SplashWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Image2 && event->type() == QEvent::MouseButtonPress) {
        close();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void SplashWindow::closeEvent(QCloseEvent* event) {
    Timer1->stop();
    if (!m_handedOver) {
        m_handedOver = true;
        ensureLoaded();
        m_showMain();
    }
    QDialog::closeEvent(event);
}
