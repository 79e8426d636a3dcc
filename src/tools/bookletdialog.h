#pragma once
// "输出小册": the poems of the title list, or the selected ones, as a booklet
// to a PDF file or a printer. The dialog asks for the layout, the paper, the
// cover's title, a table of contents and (when a reading provider is given)
// pinyin; a long list is announced with its estimated pages before it starts,
// and the work shows its progress with a cancel button.
#include "app/dialogs.h"
#include "display/templateline.h"
#include "tools/bookletlayout.h"
#include "tools/bookletwriter.h"

#include <QDialog>
#include <QList>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

// What a booklet is made from.
struct BookletSource {
    QList<qint32> listed;   // every poem of the title list, in its order
    QList<qint32> selected; // the selected ones, in the list's order
    Template lines = DefaultTemplate();
    QString defaultPath;         // offered in the file dialog
    BookletNotes pinyin;         // readings for the pinyin option; none hides it
};

class BookletDialog : public QDialog {
    Q_OBJECT
public:
    BookletDialog(SqlDatabase& db, Dialogs& dialogs, BookletSource source, QWidget* parent = nullptr);

    // Shows the dialog for `source`; an empty list is only reported.
    static void start(SqlDatabase& db, Dialogs& dialogs, BookletSource source, QWidget* parent);

    // Lists longer than this are announced with their pages before they start.
    static constexpr qsizetype kAskAbove = 2000;

    BookletOptions options() const;
    QList<qint32> chosenPoems() const;

    QComboBox* cboBookletScope = nullptr;
    QComboBox* cboBookletStyle = nullptr;
    QComboBox* cboBookletPage = nullptr;
    QLineEdit* txtBookletTitle = nullptr;
    QCheckBox* chkBookletContents = nullptr;
    QCheckBox* chkBookletPinyin = nullptr;
    QPushButton* cmdBookletPdf = nullptr;
    QPushButton* cmdBookletPrint = nullptr;
    QPushButton* cmdBookletCancel = nullptr;

public slots:
    // Stops the booklet being made (as the progress dialog's cancel button does).
    void cancel() { m_cancelled = true; }

signals:
    // After each step of the work: `done` of `total`.
    void progressed(qint64 done, qint64 total);

private:
    void cmdBookletPdf_Click();
    void cmdBookletPrint_Click();
    // Asks before a long list; false when the user declines.
    bool confirmLength(const QList<qint32>& ids, BookletWriter& writer);
    BookletWriter::Result runWithProgress(BookletWriter& writer,
                                          const std::function<BookletWriter::Result()>& work);

    SqlDatabase& m_db;
    Dialogs& m_dialogs;
    BookletSource m_source;
    bool m_cancelled = false;
};
