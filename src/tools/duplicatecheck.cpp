#include "tools/duplicatecheck.h"

#include "app/busycursor.h"
#include "app/mainwindow.h"
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

DuplicateCheck::DuplicateCheck(MainWindow& window) : QObject(&window), w(window) {
    connect(w.ui.mnuToolCHK, &QAction::triggered, this, [this] { mnuToolCHK_Click(); });
    connect(w.ui.cboTitle3, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { cboTitle3_Click(); });
}

void DuplicateCheck::mnuToolCHK_Click() {
    // A checkable action has already flipped its mark when `triggered` arrives;
    // so has a click from code through trigger(). The mark is the state.
    if (!w.ui.mnuToolCHK->isChecked()) {
        ShowTitleHistory(true);
        return;
    }
    if (!RepeatCheck()) {
        ShowTitleHistory(false);
    } else if (m_failed) {
        // The check did not run: it is not on.
        w.ui.mnuToolCHK->setChecked(false);
    }
}

bool DuplicateCheck::RepeatCheck() {
    BusyCursor busy;
    m_failed = false;
    SqlDatabase& db = w.store().db();
    QList<DuplicateRow> rows;
    try {
        // The scratch column is rewritten whole or not at all.
        SqlTransaction transaction(db);
        RebuildFirstClauses(db);
        transaction.commit();
        rows = ReadDuplicateRows(db);
    } catch (const SqlError& e) {
        m_failed = true;
        w.dialogs().message(QStringLiteral("重复诗词检验失败：") + e.message(), MessageSink::Icon::Warning);
        return true;
    }
    if (rows.isEmpty()) {
        w.dialogs().message(QStringLiteral("系统检验完毕，未发现重复的诗词作品记录！"), MessageSink::Icon::Information);
        return true;
    }

    QComboBox* list = w.ui.cboTitle3;
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
    w.ui.cboTitle2->setVisible(show);
    w.ui.cboTitle3->setVisible(!show);
    w.ui.myCheck->setText(show ? QString() : QStringLiteral("检"));
}

void DuplicateCheck::cboTitle3_Click() {
    const int row = w.ui.cboTitle3->currentIndex();
    if (row < 0) return;
    const QString clause = w.ui.cboTitle3->model()->index(row, kClauseColumn).data().toString();
    w.FillTitleList(DuplicateGroupFilter(clause), QStringLiteral("a.fPoet"), QStringLiteral("0"));
    w.ui.lstTitle->currentView()->setFocus();
}
