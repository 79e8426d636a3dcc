#pragma once
// The template panel fraModel: opening and closing it, showing one line kind of
// the current template in its controls, editing that line (every change redraws
// the poem at once), saving, saving as a new template, deleting a template.
#include "display/templateline.h"
#include "display/templatewriter.h"

#include <QColor>
#include <QObject>

#include <array>

class Dialogs;
class DisplayController;
class Session;
class SqlDatabase;
class WindowFrame;
class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QPushButton;
class QRadioButton;
class QToolButton;

// The controls of the template panel and the commands that open it, under
// their given names.
struct TemplateEditorUi {
    QFrame* fraModel = nullptr;
    QToolButton* cmdSetting = nullptr;
    QAction* mnuModel = nullptr;
    QComboBox* cboModel = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdSaveTo = nullptr;
    QPushButton* cmdDel = nullptr;
    QPushButton* cmdSaveCancel = nullptr;
    // The line kind shown, and its fields.
    QComboBox* cboText = nullptr;
    QComboBox* cboFontName = nullptr;
    QComboBox* cboFontSize = nullptr;
    QToolButton* chkFontBold = nullptr;
    QToolButton* chkFontItalic = nullptr;
    QToolButton* chkFontUnderline = nullptr;
    QPushButton* cmdFontColor = nullptr;
    std::array<QRadioButton*, 3> optAlign{};
    std::array<QToolButton*, 2> cmdIndent{};
    std::array<QToolButton*, 2> cmdHangingIndent{};
    std::array<QToolButton*, 2> cmdOffset{};
};

class TemplateEditor : public QObject {
    Q_OBJECT
public:
    // The display holds the current template the panel edits.
    TemplateEditor(const TemplateEditorUi& ui, SqlDatabase& db, Dialogs& dialogs, Session& session,
                   WindowFrame& frame, DisplayController& display, QObject* parent = nullptr);

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
    // Saves the current template into the template `name`, or writes it as new.
    bool SaveTemplate(const QString& name, TemplateWriteMode mode);

    // The colour the face of cmdFontColor shows.
    QColor fontColorFace() const { return m_face; }
    static QColor toQColor(qint32 stored);
    static qint32 toStored(const QColor& colour);

signals:
    // A field of the current template changed: the poem is to be drawn again.
    void templateEdited();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The line the field controls edit; null when no line kind is chosen.
    TemplateLine* currentLine();
    void setFace(const QColor& colour);
    void redraw();
    void setFlag(quint8 TemplateLine::*field, bool on);
    void step(qint16 TemplateLine::*field, int delta);

    TemplateEditorUi ui;
    SqlDatabase& m_db;
    Dialogs& m_dialogs;
    Session& m_session;
    WindowFrame& m_frame;
    DisplayController& m_display;
    QColor m_face = Qt::black;
};
