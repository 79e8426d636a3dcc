#include "tools/outputcontroller.h"

#include "app/dialogs.h"
#include "db/textwidth.h"
#include "display/displaycontroller.h"
#include "display/poemdocument.h"
#include "tools/rtfwriter.h"

#include <QAction>
#include <QPainter>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPrinter>
#include <QSaveFile>
#include <QScreen>
#include <QStorageInfo>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QToolButton>

#include <cmath>
#include <memory>

namespace {

const QString kOutputFilter =
    QStringLiteral("所有文件 (*.*)|*.*|RTF 格式文件 (*.rtf)|*.RTF|文本文件 (*.txt)|*.TXT");

qint32 pixelsToTwips(qint32 pixels, int dpi) {
    return qint32(std::lround(double(pixels) * 1440.0 / (dpi > 0 ? dpi : 96)));
}

} // namespace

OutputController::OutputController(const OutputUi& controls, Dialogs& dialogs, const DisplayController& display,
                                   std::function<QString()> programFolder, QObject* parent)
    : QObject(parent), ui(controls), m_dialogs(dialogs), m_display(display),
      m_programFolder(std::move(programFolder)) {
    connect(ui.cmdPrint, &QToolButton::clicked, this, [this] { cmdPrint_Click(); });
    connect(ui.mnuPrint, &QAction::triggered, this, [this] { mnuPrint_Click(); });
    connect(ui.mnuFileOutput, &QAction::triggered, this, [this] { mnuFileOutput_Click(); });
}

// ---- Printing ----

void OutputController::cmdPrint_Click() {
    QPrinter printer(QPrinter::HighResolution);
    const bool hasSelection = ui.RichTextBox1->textCursor().hasSelection();
    // The selection starts out as the print range; the dialog may change it.
    printer.setPrintRange(hasSelection ? QPrinter::Selection : QPrinter::AllPages);
    if (!m_dialogs.printDialog(&printer, hasSelection)) return;
    if (!printer.isValid()) return; // no printer: nothing to do, as with a cancel
    printPane(&printer, hasSelection && printer.printRange() == QPrinter::Selection);
}

void OutputController::printPane(QPrinter* printer, bool selectionOnly) const {
    const QTextEdit* pane = ui.RichTextBox1;
    std::unique_ptr<QTextDocument> doc;
    if (selectionOnly) {
        doc = std::make_unique<QTextDocument>();
        doc->setDefaultFont(pane->document()->defaultFont());
        QTextCursor(doc.get()).insertFragment(pane->textCursor().selection());
    } else {
        doc.reset(pane->document()->clone());
    }
    // A document with a page size prints as it is laid out, without the page
    // number QTextDocument::print adds otherwise. The page is the printer's
    // printable area in the pane's units (screen pixels at the screen's DPI).
    const QScreen* screen = pane->screen() ? pane->screen() : QGuiApplication::primaryScreen();
    const double screenDpiX = screen ? screen->logicalDotsPerInchX() : 96.0;
    const double screenDpiY = screen ? screen->logicalDotsPerInchY() : 96.0;
    doc->setPageSize(QSizeF(printer->width() * screenDpiX / printer->logicalDpiX(),
                            printer->height() * screenDpiY / printer->logicalDpiY()));
    const PoemNotes& shown = m_display.ShownNotes;
    if (shown.isEmpty()) {
        doc->print(printer);
        return;
    }
    // The notes are drawn over each page as the pane draws them; a selection
    // starts its own document at position 0.
    PoemNotes notes = shown;
    if (selectionOnly) {
        const QTextCursor sel = pane->textCursor();
        notes.notes.clear();
        for (PoemNote n : shown.notes)
            if (n.position >= sel.selectionStart() && n.position + n.length <= sel.selectionEnd()) {
                n.position -= sel.selectionStart();
                notes.notes.append(n);
            }
    }
    printWithNotes(printer, doc.get(), notes, screenDpiX, screenDpiY);
}

void OutputController::printWithNotes(QPrinter* printer, QTextDocument* doc, const PoemNotes& notes,
                                      double screenDpiX, double screenDpiY) const {
    QPainter painter(printer);
    if (!painter.isActive()) return;
    painter.scale(printer->logicalDpiX() / screenDpiX, printer->logicalDpiY() / screenDpiY);
    const QSizeF page = doc->pageSize();
    const int pages = doc->pageCount();
    for (int i = 0; i < pages; ++i) {
        if (i > 0) printer->newPage();
        const QRectF view(0, i * page.height(), page.width(), page.height());
        painter.save();
        painter.translate(0, -view.top());
        painter.setClipRect(view);
        doc->drawContents(&painter, view);
        PaintPoemNotes(&painter, doc, notes, m_display.ShownNoteStyle, view);
        painter.restore();
    }
}

// ---- Export ----

QByteArray OutputController::paneAsRtf() const {
    QTextEdit* pane = ui.RichTextBox1;
    const Template& lines = m_display.ShownTemplate;
    RtfMeasures measures;
    for (int k = 0; k < kTemplateLineCount; ++k) {
        const TemplateLine& line = lines[size_t(k)];
        measures[size_t(k)] = {pixelsToTwips(MeasureCharWidth(line, pane), pane->logicalDpiX()),
                               pixelsToTwips(MeasureCharHeight(line, pane), pane->logicalDpiY())};
    }
    return WritePoemRtf(m_display.ShownLayout, lines, measures, m_display.ShownNotes);
}

QString OutputController::paneAsText() const {
    // With pinyin on, each line of text is preceded by a line of its pinyin.
    if (m_display.ShownNotes.hasPinyin())
        return PlainTextWithPinyin(m_display.ShownLayout, m_display.ShownNotes);
    return ui.RichTextBox1->toPlainText();
}

bool OutputController::writeFileSafely(const QString& path, const QByteArray& data, QString* error) {
    QSaveFile file(path);
    // Unbuffered, so that every write below reaches the system and a refusal
    // comes back with its reason.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *error = file.errorString();
        return false;
    }
    // A disk that fills takes part of a write without an error; only the next
    // write fails and says why. So the rest is written until all of it is in or
    // the system refuses, and the result is flushed and checked here: commit()
    // does not notice a buffered write the disk refused, and would put a cut
    // file in place.
    qint64 written = 0;
    while (written < data.size()) {
        const qint64 n = file.write(data.constData() + written, data.size() - written);
        if (n <= 0) break;
        written += n;
    }
    if (written != data.size() || !file.flush()) {
        *error = file.errorString();
        file.cancelWriting();
        // The system's own words, and plainly so when the disk is full.
        const QStorageInfo disk(QFileInfo(path).absolutePath());
        if (disk.isValid() && disk.bytesAvailable() < data.size())
            *error = QStringLiteral("磁盘空间不足（%1）").arg(*error);
        return false;
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

QString OutputController::windowTitle() const { return ui.RichTextBox1->window()->windowTitle(); }

void OutputController::mnuFileOutput_Click() {
    const QString defaultName = StripTrailingBackslash(m_programFolder()) + QStringLiteral("/诗词文件");
    QString chosen;
    for (;;) {
        if (!chosen.isEmpty() &&
            m_dialogs.question(QStringLiteral("该文件已有存在，请确定覆盖该文件?"), windowTitle()))
            break;
        chosen = m_dialogs.getFilePath(2, 2, defaultName, windowTitle(), kOutputFilter);
        if (chosen.isEmpty()) return;
        if (!QFileInfo::exists(chosen)) break;
    }

    const bool plainText = chosen.right(4).toLower() == QStringLiteral(".txt");
    const QByteArray data = plainText ? paneAsText().toUtf8() : paneAsRtf();
    QString reason;
    if (!writeFileSafely(chosen, data, &reason))
        m_dialogs.message(QStringLiteral("诗词文件[") + chosen + QStringLiteral("] 保存失败：") + reason,
                            MessageSink::Icon::Warning);
}
