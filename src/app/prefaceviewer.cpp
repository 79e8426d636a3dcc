#include "app/prefaceviewer.h"

#include "db/messagesink.h"

#include <QFile>
#include <QPushButton>
#include <QStringDecoder>
#include <QTextEdit>

namespace {
constexpr int kMargin = 12;
constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 30;
} // namespace

PrefaceViewer::PrefaceViewer(const QString& programFolder, QWidget* parent)
    : QDialog(parent), m_folder(programFolder) {
    setObjectName(QStringLiteral("frmPrefaces"));
    setWindowTitle(kProductName);
    resize(600, 440);
    RichTextBox1 = new QTextEdit(this);
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    RichTextBox1->setReadOnly(true);
    RichTextBox1->setAcceptRichText(false);
    RichTextBox1->setAccessibleName(QStringLiteral("编者的话"));
    QFont f = RichTextBox1->font();
    f.setFamily(QStringLiteral("楷体"));
    f.setPointSize(12);
    RichTextBox1->setFont(f);
    cmdPreface = new QPushButton(QStringLiteral("编者的话"), this);
    cmdPreface->setObjectName(QStringLiteral("cmdPreface"));
    cmdCancel = new QPushButton(QStringLiteral("确定>>"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setDefault(true);
    connect(cmdPreface, &QPushButton::clicked, this, &PrefaceViewer::cmdPreface_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &PrefaceViewer::cmdCancel_Click);
    placeControls();
}

void PrefaceViewer::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_loaded) Form_Load();
}

void PrefaceViewer::Form_Load() {
    m_loaded = true;
    if (!m_folder.endsWith(u'/')) m_folder += u'/';
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(208, 207, 192));
    setPalette(p);
    if (State == 0) cmdPreface_Click();
}

QString PrefaceViewer::readPrefaceFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QString();
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        QStringDecoder gb("GB18030");
        if (gb.isValid()) text = gb.decode(bytes);
    }
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    return text;
}

void PrefaceViewer::cmdPreface_Click() {
    RichTextBox1->setPlainText(readPrefaceFile(m_folder + QStringLiteral("myPreface.txt")));
    placeControls();
    RichTextBox1->raise();
}

void PrefaceViewer::cmdCancel_Click() { accept(); }

void PrefaceViewer::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    placeControls();
}

// The pane fills the content area from the top, with the same margin below it
// as on its left; the buttons stand in a column on its right.
void PrefaceViewer::placeControls() {
    const int paneWidth = qMax(0, width() - 3 * kMargin - kButtonWidth);
    RichTextBox1->setGeometry(kMargin, kMargin, paneWidth, qMax(0, height() - 2 * kMargin));
    const int buttonsLeft = kMargin + paneWidth + kMargin;
    cmdPreface->setGeometry(buttonsLeft, kMargin, kButtonWidth, kButtonHeight);
    cmdCancel->setGeometry(buttonsLeft, height() - kMargin - kButtonHeight, kButtonWidth, kButtonHeight);
}
