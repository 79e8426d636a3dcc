#include "app/aboutwindow.h"

#include "app/artwork.h"
#include "app/helpcontroller.h"
#include "db/messagesink.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#ifndef LYRABOOK_VERSION_MAJOR
#define LYRABOOK_VERSION_MAJOR 1
#define LYRABOOK_VERSION_MINOR 2
#define LYRABOOK_VERSION_PATCH 0
#endif

namespace {
// The window closes by itself once the tick count exceeds this.
constexpr qint16 kLastTick = 20;
} // namespace

AboutWindow::AboutWindow(std::function<void(const QString&)> shellOpen, QWidget* parent)
    : QDialog(parent), m_shellOpen(std::move(shellOpen)) {
    setObjectName(QStringLiteral("frmCopyRight"));
    setWindowTitle(kProductName);
    setFixedSize(520, 300);
    const auto label = [this](const QString& name, const QString& text, const QRect& geometry) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        l->setGeometry(geometry);
        l->setTextFormat(Qt::PlainText);
        return l;
    };
    Image1 = label(QStringLiteral("Image1"), QString(), QRect(16, 16, 170, 268));
    Image1->setScaledContents(true);
    Image1->setPixmap(Artwork::poetPicture(Image1->size()));
    Image1->setFrameShape(QFrame::StyledPanel);

    lblProduct = label(QStringLiteral("lblProduct"), kProductName, QRect(206, 20, 300, 40));
    QFont big = lblProduct->font();
    big.setPointSize(20);
    big.setBold(true);
    lblProduct->setFont(big);
    lblProduct->setStyleSheet(QStringLiteral("color: #1d3c66;"));
    lblAppTitle = label(QStringLiteral("lblAppTitle"), QString(), QRect(208, 64, 300, 24));
    Label4 = label(QStringLiteral("Label4"), QStringLiteral("唐诗 · 宋词 · 元曲　浏览、检索、编辑与打印"),
                   QRect(208, 96, 300, 24));
    Label2 = label(QStringLiteral("Label2"), QStringLiteral("开发商："), QRect(208, 140, 300, 24));
    Label3 = label(QStringLiteral("Label3"), kAppTitle + QStringLiteral("\n诗词文本来自公有领域"),
                   QRect(232, 164, 280, 44));
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label9 = label(QStringLiteral("Label9"), kProductWebPage, QRect(232, 212, 280, 24));
    QFont link = Label9->font();
    link.setUnderline(true);
    Label9->setFont(link);
    Label9->setStyleSheet(QStringLiteral("color: #1f5fa8;"));
    Label9->setCursor(Qt::PointingHandCursor);
    Label9->setToolTip(kProductWebPage);
    Label9->installEventFilter(this);

    cmdCancel = new QPushButton(QStringLiteral("确定>>"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(414, 254, 90, 30);
    cmdCancel->setDefault(true);
    connect(cmdCancel, &QPushButton::clicked, this, &AboutWindow::cmdCancel_Click);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &AboutWindow::Timer1_Timer);
    // Closed any other way (Escape, the title bar): the timer stops as well.
    connect(this, &QDialog::finished, Timer1, &QTimer::stop);
}

QString AboutWindow::versionText() {
    return QStringLiteral("版本 V%1.%2.%3")
        .arg(LYRABOOK_VERSION_MAJOR)
        .arg(LYRABOOK_VERSION_MINOR)
        .arg(LYRABOOK_VERSION_PATCH);
}

void AboutWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_loaded) Form_Load();
}

void AboutWindow::Form_Load() {
    m_loaded = true;
    m_ticks = 0;
    if (const QScreen* s = screen() ? screen() : QApplication::primaryScreen()) {
        const QRect g = s->geometry();
        move(g.left() + (g.width() - width()) / 2, g.top() + (g.height() - height()) / 2);
    }
    lblAppTitle->setText(versionText());
    Timer1->start();
}

void AboutWindow::Timer1_Timer() {
    ++m_ticks;
    if (m_ticks > kLastTick) cmdCancel_Click();
}

void AboutWindow::Label9_Click() {
    if (m_shellOpen) m_shellOpen(Label9->text());
}

void AboutWindow::cmdCancel_Click() {
    Timer1->stop();
    accept();
}

bool AboutWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label9 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Label9_Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
