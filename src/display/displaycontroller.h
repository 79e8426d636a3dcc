#pragma once
// Poem display: the current template and its list, rendering the chosen poem
// into the text pane, the poet panel's biography, and loading the edit fields.
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

    // The poet panel shows the biography of the poet named in cboPoet2.
    void LoadPoetBiography();

    // The title and poet the edit fields were loaded with.
    QString LoadedTitle;
    QString LoadedPoet;

private:
    MainWindow& w;
    QString m_shownPoet;
};
