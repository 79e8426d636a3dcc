#pragma once
// The poet editor in the poet panel: biographies, new poets, deleting poets.
#include <QObject>
#include <QString>

class MainWindow;
class QAbstractButton;

class PoetEditor : public QObject {
    Q_OBJECT
public:
    explicit PoetEditor(MainWindow& window);

    // The biography of the poet named in cboPoet2 (on every change of the name).
    void LoadPoetBiography();
    void mnuPoetEdit_Click();
    void mnuPoetDel_Click();
    void cmdPoetOk_Click();
    void cmdPoetCancel_Click();
    // Position of the first entry of cboPoet equal to name (case-sensitive), or -1.
    int FindPoetIndex(const QString& name) const;

    // "1" modify armed (or a poet inserted), "2" a biography updated, "3" delete armed.
    QString actionCode() const;

private:
    void arm(const QString& code);
    void setActionCode(const QString& code);
    // Adds or removes a name in cboPoet and cboPoet2 at the same position,
    // leaving the text each box shows as it was.
    void insertPoetName(const QString& name);
    void removePoetAt(int index);

    MainWindow& w;
    // The button Escape pressed before a poet action was armed.
    QAbstractButton* m_escapeBefore = nullptr;
};
