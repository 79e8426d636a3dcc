#include "tools/bookletdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString kCaption = QStringLiteral("输出小册");
const QString kPdfFilter = QStringLiteral("PDF 文件 (*.pdf)|*.pdf|所有文件 (*.*)|*.*");

QLabel* buddyLabel(const QString& text, QWidget* buddy, const QString& name) {
    auto* label = new QLabel(text);
    label->setObjectName(name);
    label->setBuddy(buddy);
    buddy->setAccessibleName(text);
    return label;
}

} // namespace

BookletDialog::BookletDialog(SqlDatabase& db, Dialogs& dialogs, BookletSource source, QWidget* parent)
    : QDialog(parent), m_db(db), m_dialogs(dialogs), m_source(std::move(source)) {
    setObjectName(QStringLiteral("frmBooklet"));
    setWindowTitle(kCaption);

    cboBookletScope = new QComboBox(this);
    cboBookletScope->setObjectName(QStringLiteral("cboBookletScope"));
    cboBookletScope->addItem(QStringLiteral("所有选入诗词（%1 首）").arg(m_source.listed.size()));
    cboBookletScope->addItem(QStringLiteral("选中诗词（%1 首）").arg(m_source.selected.size()));
    if (m_source.selected.isEmpty()) cboBookletScope->setItemData(1, 0, Qt::UserRole - 1); // disabled

    cboBookletStyle = new QComboBox(this);
    cboBookletStyle->setObjectName(QStringLiteral("cboBookletStyle"));
    cboBookletStyle->addItems({QStringLiteral("横排"), QStringLiteral("竖排"), QStringLiteral("田字格")});

    cboBookletPage = new QComboBox(this);
    cboBookletPage->setObjectName(QStringLiteral("cboBookletPage"));
    cboBookletPage->addItems({QStringLiteral("A4"), QStringLiteral("A5"), QStringLiteral("B5")});

    txtBookletTitle = new QLineEdit(QStringLiteral("诗词小册"), this);
    txtBookletTitle->setObjectName(QStringLiteral("txtBookletTitle"));

    chkBookletContents = new QCheckBox(QStringLiteral("目录（附页码）"), this);
    chkBookletContents->setObjectName(QStringLiteral("chkBookletContents"));
    chkBookletContents->setAccessibleName(chkBookletContents->text());
    chkBookletPinyin = new QCheckBox(QStringLiteral("注音（拼音）"), this);
    chkBookletPinyin->setObjectName(QStringLiteral("chkBookletPinyin"));
    chkBookletPinyin->setAccessibleName(QStringLiteral("注音"));
    chkBookletPinyin->setVisible(bool(m_source.pinyin));

    auto* form = new QFormLayout;
    form->addRow(buddyLabel(QStringLiteral("范围:"), cboBookletScope, QStringLiteral("lblBookletScope")),
                 cboBookletScope);
    form->addRow(buddyLabel(QStringLiteral("版式:"), cboBookletStyle, QStringLiteral("lblBookletStyle")),
                 cboBookletStyle);
    form->addRow(buddyLabel(QStringLiteral("纸张:"), cboBookletPage, QStringLiteral("lblBookletPage")),
                 cboBookletPage);
    form->addRow(buddyLabel(QStringLiteral("封面标题:"), txtBookletTitle, QStringLiteral("lblBookletTitle")),
                 txtBookletTitle);
    form->addRow(QString(), chkBookletContents);
    form->addRow(QString(), chkBookletPinyin);

    cmdBookletPdf = new QPushButton(QStringLiteral("输出PDF(&O)"), this);
    cmdBookletPdf->setObjectName(QStringLiteral("cmdBookletPdf"));
    cmdBookletPrint = new QPushButton(QStringLiteral("打印(&P)"), this);
    cmdBookletPrint->setObjectName(QStringLiteral("cmdBookletPrint"));
    cmdBookletCancel = new QPushButton(QStringLiteral("取消"), this);
    cmdBookletCancel->setObjectName(QStringLiteral("cmdBookletCancel"));
    cmdBookletPdf->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {cmdBookletPdf, cmdBookletPrint, cmdBookletCancel}) buttons->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(cmdBookletPdf, &QPushButton::clicked, this, [this] { cmdBookletPdf_Click(); });
    connect(cmdBookletPrint, &QPushButton::clicked, this, [this] { cmdBookletPrint_Click(); });
    connect(cmdBookletCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void BookletDialog::start(SqlDatabase& db, Dialogs& dialogs, BookletSource source, QWidget* parent) {
    if (source.listed.isEmpty()) {
        dialogs.message(QStringLiteral("当前列表中没有诗词，无从输出小册。"), MessageSink::Icon::Information);
        return;
    }
    BookletDialog dialog(db, dialogs, std::move(source), parent);
    dialog.exec();
}

BookletOptions BookletDialog::options() const {
    BookletOptions o;
    o.style = BookletStyle(std::clamp(cboBookletStyle->currentIndex(), 0, 2));
    o.pageSize = BookletPageSize(std::clamp(cboBookletPage->currentIndex(), 0, 2));
    o.title = txtBookletTitle->text().trimmed();
    o.contents = chkBookletContents->isChecked();
    o.pinyin = m_source.pinyin && chkBookletPinyin->isChecked();
    return o;
}

QList<qint32> BookletDialog::chosenPoems() const {
    return cboBookletScope->currentIndex() == 1 ? m_source.selected : m_source.listed;
}

bool BookletDialog::confirmLength(const QList<qint32>& ids, BookletWriter& writer) {
    if (ids.size() <= kAskAbove) return true;
    const qint64 pages = writer.estimatePages(ids);
    return m_dialogs.question(QStringLiteral("将输出 %1 首诗词，约 %2 页，需要较长时间。确定开始吗?")
                                  .arg(ids.size())
                                  .arg(pages),
                              kCaption);
}

BookletWriter::Result BookletDialog::runWithProgress(BookletWriter& writer,
                                                     const std::function<BookletWriter::Result()>& work) {
    m_cancelled = false;
    QProgressDialog progress(QStringLiteral("正在输出小册……"), QStringLiteral("取消"), 0, 1000, this);
    progress.setObjectName(QStringLiteral("prgBooklet"));
    progress.setWindowTitle(kCaption);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(400);
    connect(&progress, &QProgressDialog::canceled, this, &BookletDialog::cancel);
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    writer.setProgress([&](qint64 done, qint64 total) {
        emit progressed(done, total);
        // Events are let through a few times a second: the window stays
        // responsive without the event loop costing the work its speed.
        if (sinceEvents.elapsed() >= 50 || done == total) {
            progress.setValue(int(done * 1000 / std::max<qint64>(total, 1)));
            QCoreApplication::processEvents();
            sinceEvents.restart();
        }
        return !m_cancelled;
    });
    const BookletWriter::Result result = work();
    writer.setProgress({});
    return result;
}

void BookletDialog::cmdBookletPdf_Click() {
    const QList<qint32> ids = chosenPoems();
    BookletWriter writer(m_db, m_source.lines, options(), m_source.pinyin);
    if (!confirmLength(ids, writer)) return;
    QString path = m_dialogs.getFilePath(2, 1, m_source.defaultPath, kCaption, kPdfFilter);
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty() && !QFileInfo(path).isDir()) path += QStringLiteral(".pdf");
    if (QFileInfo::exists(path) && !QFileInfo(path).isDir() &&
        !m_dialogs.question(QStringLiteral("该文件已有存在，请确定覆盖该文件?"), kCaption))
        return;
    QString error;
    const auto result = runWithProgress(writer, [&] { return writer.writePdf(ids, path, &error); });
    if (result == BookletWriter::Result::Failed) {
        m_dialogs.message(QStringLiteral("小册[") + path + QStringLiteral("] 输出失败：") + error,
                          MessageSink::Icon::Warning, kCaption);
    } else if (result == BookletWriter::Result::Written) {
        m_dialogs.message(QStringLiteral("小册已输出到[%1]，共 %2 页。").arg(path).arg(writer.pageCount()),
                          MessageSink::Icon::Information, kCaption);
        accept();
    }
}

void BookletDialog::cmdBookletPrint_Click() {
    const QList<qint32> ids = chosenPoems();
    BookletWriter writer(m_db, m_source.lines, options(), m_source.pinyin);
    if (!confirmLength(ids, writer)) return;
    QPrinter printer(QPrinter::HighResolution);
    if (!m_dialogs.printDialog(&printer, false) || !printer.isValid()) return;
    QString error;
    const auto result = runWithProgress(writer, [&] { return writer.print(ids, &printer, &error); });
    if (result == BookletWriter::Result::Failed)
        m_dialogs.message(QStringLiteral("小册打印失败：") + error, MessageSink::Icon::Warning, kCaption);
    else if (result == BookletWriter::Result::Written)
        accept();
}
