#pragma once
// The template panel fraModel: opening and closing it, showing one line kind of
// the current template in its controls, editing that line (every change redraws
// the poem at once), saving, saving as a new template, deleting a template.
#include "display/templateline.h"

#include <QColor>
#include <QObject>

class MainWindow;

class TemplateEditor : public QObject {
    Q_OBJECT
public:
    explicit TemplateEditor(MainWindow& window);

    // Opening and closing the panel.
    void cmdSetting_Click();
    void mnuModel_Click();
    void cmdSaveCancel_Click();

    // Shows the line kind chosen in cboText.
    void cboText_Click();
    // Copies line `kind` of the current template into the controls, with
    // the input held so that the controls' own change events draw nothing.
    void ShowLineKindFormat(int kind);

    // Field handlers: each writes one field of the current line kind and redraws.
    void cboFontName_Change();
    void cboFontName_Click();
    void cboFontSize_Click();
    void chkFontBold_Click();
    void chkFontItalic_Click();
    void chkFontUnderline_Click();
    void cmdFontColor_Click();
    void optAlign_Click(int index);
    void cmdIndent_Click(int index);
    void cmdHangingIndent_Click(int index);
    void cmdOffset_Click(int index);

    void cmdSave_Click();
    void cmdSaveTo_Click();
    void cmdDel_Click();
    void cboModel_KeyDown(int key);
    // mode 2 saves into the template `name`, any other mode writes it as new.
    bool SaveTemplate(const QString& name, qint16 mode);

    // The colour the face of cmdFontColor shows.
    QColor fontColorFace() const { return m_face; }
    static QColor toQColor(qint32 stored);
    static qint32 toStored(const QColor& colour);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The line the field controls edit; null when no line kind is chosen.
    TemplateLine* currentLine();
    void setFace(const QColor& colour);
    void redraw();
    void setFlag(quint8 TemplateLine::*field, bool on);
    void step(qint16 TemplateLine::*field, int delta);

    MainWindow& w;
    QColor m_face = Qt::black;
};
