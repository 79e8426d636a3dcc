#pragma once
// The recycle bin dialog (诗词编辑 → 回收站...): lists the poems the bin holds
// (title, poet, when, deleted or replaced by a modify), shows the text of the
// chosen one, restores it, or empties the bin after a question.
#include <QDialog>

class Dialogs;
class QLabel;
class QPushButton;
class QTextEdit;
class QTreeWidget;
class SqlDatabase;

class RecycleBinDialog : public QDialog {
    Q_OBJECT
public:
    // Restoring and emptying are offered only when `writable`.
    RecycleBinDialog(SqlDatabase& db, Dialogs& dialogs, bool writable, QWidget* parent = nullptr);

    QTreeWidget* lstBin = nullptr;
    QTextEdit* txtBinText = nullptr;
    QPushButton* cmdBinRestore = nullptr;
    QPushButton* cmdBinEmpty = nullptr;
    QPushButton* cmdBinClose = nullptr;

    void restoreSelected();
    void emptyBin();

signals:
    // A poem came back into the collection under this identifier.
    void poemRestored(qint32 poemId);

private:
    void reload();
    void showSelected();
    void failed(const QString& what, const QString& storeMessage);

    SqlDatabase& m_db;
    Dialogs& m_dialogs;
    bool m_writable;
};
