#include "tools/duplicatecheck.h"

#include "app/busycursor.h"
#include "db/messagesink.h"
#include "browse/titlelistview.h"
#include "tools/duplicatequery.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QStandardItemModel>

namespace {
constexpr int kTextColumn = 0;
constexpr int kIdColumn = 1;
constexpr int kClauseColumn = 2;
} // namespace

DuplicateCheck::DuplicateCheck(const DuplicateCheckUi& controls, SqlDatabase& db, MessageSink& messages,
                               QObject* parent)
    : QObject(parent), ui(controls), m_db(db), m_messages(messages) {
    connect(ui.mnuToolCHK, &QAction::triggered, this, [this] { mnuToolCHK_Click(); });
    connect(ui.cboTitle3, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { cboTitle3_Click(); });
}

void DuplicateCheck::mnuToolCHK_Click() {
    // A checkable action has already flipped its mark when `triggered` arrives;
    // so has a click from code through trigger(). The mark is the state.
    if (!ui.mnuToolCHK->isChecked()) {
        ShowTitleHistory(true);
        return;
    }
    if (!RepeatCheck()) {
        ShowTitleHistory(false);
    } else if (m_failed) {
        // The check did not run: it is not on.
        ui.mnuToolCHK->setChecked(false);
    }
}

bool DuplicateCheck::RepeatCheck() {
    BusyCursor busy;
    m_failed = false;
    SqlDatabase& db = m_db;
    QList<DuplicateRow> rows;
    try {
        // The scratch column is rewritten whole or not at all.
        SqlTransaction transaction(db);
        RebuildFirstClauses(db);
        transaction.commit();
        rows = ReadDuplicateRows(db);
    } catch (const SqlError& e) {
        m_failed = true;
        m_messages.message(QStringLiteral("重复诗词检验失败：") + e.message(), MessageSink::Icon::Warning);
        return true;
    }
    if (rows.isEmpty()) {
        m_messages.message(QStringLiteral("系统检验完毕，未发现重复的诗词作品记录！"), MessageSink::Icon::Information);
        return true;
    }

    QComboBox* list = ui.cboTitle3;
    auto* model = qobject_cast<QStandardItemModel*>(list->model());
    const QList<DuplicateEntry> entries = DuplicateEntries(rows);
    list->blockSignals(true);
    model->removeRows(0, model->rowCount());
    for (const DuplicateEntry& e : entries) {
        QList<QStandardItem*> items;
        for (int c = 0; c < model->columnCount(); ++c) items << new QStandardItem;
        items[kTextColumn]->setText(e.text);
        items[kIdColumn]->setText(QString::number(e.poemId));
        items[kClauseColumn]->setText(e.firstClause);
        model->appendRow(items);
    }
    list->setCurrentIndex(-1);
    list->blockSignals(false);
    // Choosing the first entry lists its group.
    if (list->count() > 0) list->setCurrentIndex(0);
    return false;
}

void DuplicateCheck::ShowTitleHistory(bool show) {
    ui.cboTitle2->setVisible(show);
    ui.cboTitle3->setVisible(!show);
    ui.myCheck->setText(show ? QString() : QStringLiteral("检"));
}

void DuplicateCheck::cboTitle3_Click() {
    const int row = ui.cboTitle3->currentIndex();
    if (row < 0) return;
    const QString clause = ui.cboTitle3->model()->index(row, kClauseColumn).data().toString();
    emit listWanted(DuplicateGroupFilter(clause), QStringLiteral("a.fPoet"));
    ui.lstTitle->currentView()->setFocus();
}
