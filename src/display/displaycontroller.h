#pragma once
// Poem display: the current template and its list, rendering the chosen poem
// into the text pane, the poet panel's biography, and loading the edit fields.
#include "edit/poempanelui.h"
#include "display/poemdocument.h"
#include "display/poemlayout.h"
#include "display/poemnotes.h"
#include "display/templateline.h"

#include <QObject>
#include <QString>
#include <array>

class BrowseController;
class Dialogs;
class PinyinView;
class PoemStore;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QTextEdit;
class Session;

// The controls the display works on: the template selector, the pane, the poet
// panel's name and biography, and the poem fields it loads.
// The poem panel and its fields come from PoemPanelUi.
struct DisplayUi : PoemPanelUi {
    QComboBox* cboModel = nullptr;
    QCheckBox* chkModel = nullptr;
    QComboBox* cboText = nullptr;
    QFrame* fraModel = nullptr;
    QLabel* myModel = nullptr;
    QTextEdit* RichTextBox1 = nullptr;
    QTextEdit* txtPoet2 = nullptr;
    QComboBox* cboPoet2 = nullptr;
};

class DisplayController : public QObject {
    Q_OBJECT
public:
    // `browse` tells which row of the title list is selected.
    DisplayController(const DisplayUi& ui, PoemStore& store, Dialogs& dialogs, Session& session,
                      const BrowseController& browse, QObject* parent);

    Template CurrentTemplate = DefaultTemplate();
    int DefaultTemplateIndex = 0;
    // Where the preface, content and notes begin and the text ends, in pane positions.
    std::array<qint32, 4> PartStart{};
    // What the pane shows: the layout of the last rendered poem (empty when none
    // was found) and the template lines it was drawn with. Print and export
    // write the pane from these.
    PoemLayout ShownLayout;
    Template ShownTemplate = DefaultTemplate();
    // The notes drawn around the shown poem's characters (pinyin, 平仄) and
    // how they are drawn; empty when both modes are off.
    PoemNotes ShownNotes;
    NoteStyle ShownNoteStyle;

    // The source of the pane's notes; none: the pane shows no notes.
    void setNotes(PinyinView* notes) { m_notes = notes; }

    // Templates.
    void LoadTemplate(const QString& name);
    void FillTemplateList();
    void cboModel_Click();
    void chkModel_Click();
    void ShowLineKindFormat(int kind);
    // The template panel is on screen.
    bool templatePanelShown() const;

    // Rendering.
    // Draws the poem with this id; an id that names no poem empties the pane.
    void RenderPoem(qint64 id);
    void RenderSelectedPoem();
    qint32 MeasureCharWidth(int kind) const;
    qint32 MeasureCharHeight(int kind) const;
    bool LoadPoemFields();

    // The title and poet the edit fields were loaded with.
    QString LoadedTitle;
    QString LoadedPoet;

signals:
    // The template panel should show the format of this line kind.
    void lineKindFormatWanted(int kind);

private:
    DisplayUi ui;
    PoemStore& m_store;
    Dialogs& m_dialogs;
    Session& m_session;
    const BrowseController& m_browse;
    QString m_shownPoet;
    PinyinView* m_notes = nullptr;
};
