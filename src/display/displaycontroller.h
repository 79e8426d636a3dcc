#pragma once
// Poem display: the current template and its list, rendering the chosen poem
// into the text pane, the poet panel's biography, and loading the edit fields.
#include "display/poemdocument.h"
#include "display/poemlayout.h"
#include "display/poemnotes.h"
#include "display/templateline.h"

#include <QObject>
#include <QString>
#include <array>

class MainWindow;
class PinyinView;

class DisplayController : public QObject {
    Q_OBJECT
public:
    explicit DisplayController(MainWindow& window);

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
    void RenderPoem(const QString& id);
    void RenderSelectedPoem();
    qint32 MeasureCharWidth(int kind) const;
    qint32 MeasureCharHeight(int kind) const;
    bool LoadPoemFields();

    // The title and poet the edit fields were loaded with.
    QString LoadedTitle;
    QString LoadedPoet;

private:
    MainWindow& w;
    QString m_shownPoet;
    PinyinView* m_notes = nullptr;
};
