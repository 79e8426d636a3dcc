#pragma once
// The book list dialog frmColSet ("【目录】排序"): which books the book combo
// offers (selected) and which it keeps back (paused), their order, and renaming
// a book. Moves are a working copy until OK; a rename is written at once.
#include <QDialog>

class MessageSink;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class SqlDatabase;

class BookListDialog : public QDialog {
    Q_OBJECT
public:
    BookListDialog(SqlDatabase& db, MessageSink& messages, QWidget* parent = nullptr);

    // Controls, by their given names.
    QLabel* Label1 = nullptr;
    QListWidget* List1 = nullptr; // paused books
    QPushButton* cmdSelect = nullptr;
    QPushButton* cmdSelectAll = nullptr;
    QPushButton* cmdunSelect = nullptr;
    QPushButton* cmdunSelectAll = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;
    QLabel* Label2 = nullptr;
    QListWidget* List2 = nullptr; // selected books
    QCheckBox* chkNameChg = nullptr;
    QFrame* fraNameChg = nullptr;
    QLineEdit* Text1 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Text2 = nullptr;
    QPushButton* cmdNameChg = nullptr;

    // Heights of the dialog in twips with the rename frame hidden and shown.
    static constexpr int kShortHeight = 3345;
    static constexpr int kTallHeight = 4485;
    int twipsToPixels(int twips) const;
    // The chosen (highlighted) entry of a list, or -1. An entry that only
    // carries the keyboard focus is not chosen.
    static int chosenRow(const QListWidget* list);

    void Form_Load();
    void LoadBookLists();
    void ShowBookName(const QString& name, qint64 bookId);
    void List1_Click();
    void List2_Click();
    void List1_DblClick();
    void List2_DblClick();
    void cmdSelect_Click();
    void cmdSelectAll_Click();
    void cmdunSelect_Click();
    void cmdunSelectAll_Click();
    void chkNameChg_Click();
    void Text2_Change();
    void Text2_KeyDown(int keyCode);
    void cmdNameChg_Click();
    void cmdOk_Click();
    void cmdCancel_Click();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setupUi();
    static void moveOne(QListWidget* source, QListWidget* target);
    static void moveAll(QListWidget* source, QListWidget* target);
    void showChosen(QListWidget* list);
    void warn(const QString& text);

    SqlDatabase& m_db;
    MessageSink& m_messages;
    // The book whose name Text1 shows (-1: none yet).
    qint64 m_shownId = -1;
    bool m_centred = false;
};
