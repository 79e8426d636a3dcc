#pragma once
// Poem display: the current template and its list, rendering the chosen poem
// into the text pane, the poet panel's biography, and loading the edit fields.
#include "display/poemlayout.h"
#include "display/templateline.h"

#include <QObject>
#include <QString>
#include <array>

class MainWindow;

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
};
