#pragma once
// The poem editor: arming add, modify and delete on the poem panel, and
// writing the change.
#include <QObject>
#include <QString>

#include <functional>

class MainWindow;
class QTextEdit;
class SqlError;
struct PoemRecord;

class PoemEditor : public QObject {
    Q_OBJECT
public:
    explicit PoemEditor(MainWindow& window);

    // index 1 add, 2 modify, 3 delete (the entries of mnuEditTo).
    void BeginPoemEdit(int index);
    // cmdEditOk: performs the armed action.
    void ConfirmPoemEdit();
    void ClearPoemFields();
    // Title, poet, style, preface, content and notes read-only or editable.
    void LockPoemFields(bool locked);
    bool fieldsLocked() const { return m_locked; }

    // A multi-line field's text as the database keeps it (CR LF line breaks).
    static QString fieldText(const QTextEdit* field);

    // Draws n for the key "tmp<n>" of a row the editor adds (below 100000).
    std::function<qint32()> drawKeyNumber;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    PoemRecord fields() const;
    void addPoem(const PoemRecord& r);
    void modifyPoem(const PoemRecord& r);
    void deletePoem();
    // select count(*) from <table> Where <condition>; throws SqlError.
    qint64 countRows(const QString& table, const QString& condition);
    // fQty of the row the condition names; false when there is none. Throws SqlError.
    bool readQty(const QString& condition, qint64* qty);
    void warn(const QString& text);
    void inform(const QString& text);
    void writeFailed(const SqlError& e);
    // The counters kept with the status panels, and their texts.

    MainWindow& w;
    bool m_locked = false;
};
