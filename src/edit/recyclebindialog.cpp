#include "edit/recyclebindialog.h"

#include "app/busycursor.h"
#include "app/dialogs.h"
#include "edit/recyclebin.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
constexpr int kIdRole = Qt::UserRole;

QString kindText(BinKind kind) { return kind == BinKind::Deleted ? QStringLiteral("删除") : QStringLiteral("修改前"); }

// The stored CR LF line breaks as the text box shows them.
QString lines(const QString& text) {
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return out;
}
} // namespace

RecycleBinDialog::RecycleBinDialog(SqlDatabase& db, Dialogs& dialogs, bool writable, QWidget* parent)
    : QDialog(parent), m_db(db), m_dialogs(dialogs), m_writable(writable) {
    setObjectName(QStringLiteral("frmRecycleBin"));
    setWindowTitle(QStringLiteral("回收站"));

    auto* listLabel = new QLabel(QStringLiteral("回收站中的诗词:"), this);
    listLabel->setObjectName(QStringLiteral("lblBin"));
    lstBin = new QTreeWidget(this);
    lstBin->setObjectName(QStringLiteral("lstBin"));
    lstBin->setColumnCount(4);
    lstBin->setHeaderLabels({QStringLiteral("标题"), QStringLiteral("作者"), QStringLiteral("时间"),
                             QStringLiteral("类别")});
    lstBin->setRootIsDecorated(false);
    lstBin->setUniformRowHeights(true);
    lstBin->setAllColumnsShowFocus(true);
    listLabel->setBuddy(lstBin);

    auto* textLabel = new QLabel(QStringLiteral("内容:"), this);
    textLabel->setObjectName(QStringLiteral("lblBinText"));
    txtBinText = new QTextEdit(this);
    txtBinText->setObjectName(QStringLiteral("txtBinText"));
    txtBinText->setReadOnly(true);
    textLabel->setBuddy(txtBinText);

    const auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    cmdBinRestore = button("cmdBinRestore", QStringLiteral("恢复(&R)"));
    cmdBinEmpty = button("cmdBinEmpty", QStringLiteral("清空(&E)"));
    cmdBinClose = button("cmdBinClose", QStringLiteral("关闭(&C)"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdBinRestore);
    buttons->addWidget(cmdBinEmpty);
    buttons->addStretch(1);
    buttons->addWidget(cmdBinClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(listLabel);
    layout->addWidget(lstBin, 3);
    layout->addWidget(textLabel);
    layout->addWidget(txtBinText, 2);
    layout->addLayout(buttons);

    connect(lstBin, &QTreeWidget::currentItemChanged, this, [this] { showSelected(); });
    connect(cmdBinRestore, &QPushButton::clicked, this, [this] { restoreSelected(); });
    connect(cmdBinEmpty, &QPushButton::clicked, this, [this] { emptyBin(); });
    connect(cmdBinClose, &QPushButton::clicked, this, &QDialog::accept);

    resize(640, 480);
    reload();
    lstBin->header()->resizeSection(0, 220);
    lstBin->header()->resizeSection(1, 110);
    lstBin->header()->resizeSection(2, 160);
}

void RecycleBinDialog::reload() {
    lstBin->clear();
    QList<BinEntry> entries;
    try {
        entries = RecycleBin(m_db).entries();
    } catch (const SqlError& e) {
        failed(QStringLiteral("回收站读取"), e.message());
    }
    for (const BinEntry& e : entries) {
        auto* item = new QTreeWidgetItem(lstBin, {e.poem.title, e.poem.poet, e.when, kindText(e.kind)});
        item->setData(0, kIdRole, e.id);
    }
    if (lstBin->topLevelItemCount() > 0) lstBin->setCurrentItem(lstBin->topLevelItem(0));
    else txtBinText->clear();
    cmdBinRestore->setEnabled(m_writable && !entries.isEmpty());
    cmdBinEmpty->setEnabled(m_writable && !entries.isEmpty());
}

void RecycleBinDialog::showSelected() {
    const QTreeWidgetItem* item = lstBin->currentItem();
    if (!item) {
        txtBinText->clear();
        return;
    }
    std::optional<BinEntry> e;
    try {
        e = RecycleBin(m_db).entry(item->data(0, kIdRole).toLongLong());
    } catch (const SqlError& err) {
        failed(QStringLiteral("回收站读取"), err.message());
    }
    if (!e) {
        txtBinText->clear();
        return;
    }
    const PoemRecord& p = e->poem;
    QString header = p.poet;
    if (!p.dynasty.isEmpty()) header = u'〔' + p.dynasty + u'〕' + header;
    if (!p.style.isEmpty()) header += QStringLiteral("　") + p.style;
    QStringList parts{p.title, header};
    for (const QString& field : {p.preface, p.content, p.notes})
        if (!field.isEmpty()) parts << QString() << lines(field);
    txtBinText->setPlainText(parts.join(u'\n'));
}

void RecycleBinDialog::restoreSelected() {
    const QTreeWidgetItem* item = lstBin->currentItem();
    if (!m_writable || !item) return;
    RecycleBin::Restored r;
    try {
        BusyCursor busy;
        r = RecycleBin(m_db).restore(item->data(0, kIdRole).toLongLong());
    } catch (const SqlError& e) {
        failed(QStringLiteral("恢复"), e.message());
        return;
    }
    switch (r.outcome) {
    case RecycleBin::Outcome::Duplicate:
        m_dialogs.message(QStringLiteral("该作者的诗词《") + r.title + QStringLiteral("》已有存在，请查验！"),
                          MessageSink::Icon::Warning);
        return;
    case RecycleBin::Outcome::Gone:
        break;
    case RecycleBin::Outcome::InPlace:
        m_dialogs.message(QStringLiteral("《") + r.title + QStringLiteral("》恢复完毕！"), MessageSink::Icon::Information);
        break;
    case RecycleBin::Outcome::AsNew:
        m_dialogs.message(QStringLiteral("《") + r.title + QStringLiteral("》的原位置已有诗词，已作为新诗词恢复完毕！"),
                          MessageSink::Icon::Information);
        break;
    }
    reload();
    if (r.outcome == RecycleBin::Outcome::InPlace || r.outcome == RecycleBin::Outcome::AsNew) emit poemRestored(r.poemId);
}

void RecycleBinDialog::emptyBin() {
    const int n = lstBin->topLevelItemCount();
    if (!m_writable || n == 0) return;
    if (!m_dialogs.question(QStringLiteral("确认：清空回收站（%1 项）？清空后不能再恢复。").arg(n))) return;
    try {
        BusyCursor busy;
        RecycleBin(m_db).empty();
    } catch (const SqlError& e) {
        failed(QStringLiteral("清空回收站"), e.message());
        return;
    }
    reload();
}

void RecycleBinDialog::failed(const QString& what, const QString& storeMessage) {
    m_dialogs.message(what + QStringLiteral("操作失败，未作任何修改！\n\n") + storeMessage, MessageSink::Icon::Warning);
}
