#pragma once
// The preface viewer frmPrefaces: shows the editor's preface, myPreface.txt from
// the program folder, read afresh each time.
#include <QDialog>

class QPushButton;
class QTextEdit;

class PrefaceViewer : public QDialog {
    Q_OBJECT
public:
    // `programFolder`: where myPreface.txt is looked for.
    explicit PrefaceViewer(const QString& programFolder, QWidget* parent = nullptr);

    // 0: the viewer shows the preface when it opens.
    quint8 State = 0;

    QTextEdit* RichTextBox1 = nullptr;
    QPushButton* cmdPreface = nullptr;
    QPushButton* cmdCancel = nullptr;

    void Form_Load();
    void cmdPreface_Click();
    void cmdCancel_Click();

    // The text of a preface file: UTF-8 (with or without a byte-order mark), or
    // GB18030 for files written in the Chinese code page. Empty when unreadable.
    static QString readPrefaceFile(const QString& path);

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeControls();
    QString m_folder;
    bool m_loaded = false;
};
