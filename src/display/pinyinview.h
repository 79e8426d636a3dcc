#pragma once
// The notes of the poem pane on the window side: the two checkable entries of
// the Tools menu (拼音注音, 平仄标注) and the entry that restores a poem's
// computed readings, the overlay that draws the notes over the pane's text,
// and the pane's context menu that corrects one character's reading.
//
// The renderer asks notesFor() for the notes of the poem it is about to show
// and hands them back through shown(); whenever the notes must change (a mode
// switched, a reading corrected or restored) renderWanted() asks it to show
// the poem again.
#include "display/poemdocument.h"
#include "display/poemnotes.h"
#include "display/readings.h"

#include <QObject>
#include <QPointer>

class Dialogs;
class QAction;
class QMenu;
class QPoint;
class QTextEdit;
class QWidget;

class PinyinView : public QObject {
    Q_OBJECT
public:
    PinyinView(QMenu* toolMenu, QTextEdit* pane, SqlDatabase& db, Dialogs& dialogs, QObject* parent = nullptr);
    ~PinyinView() override;

    bool pinyinOn() const;
    bool pingzeOn() const;

    // The notes for a poem about to be shown (none when both modes are off).
    PoemNotes notesFor(qint64 poemId, const PoemFields& poem, const PoemLayout& layout);
    // The pane now shows poem `poemId` (0: none) with these notes.
    void shown(qint64 poemId, const PoemNotes& notes, const NoteStyle& style);

    // The context menu's reading choices for the character at a pane position
    // (empty when pinyin is off or there is no Han character there).
    QStringList readingsAt(qint32 position);
    // Stores `reading` for the character at a pane position and shows it.
    void correct(qint32 position, const QString& reading);
    // Deletes the shown poem's corrections and shows the computed readings.
    void restoreReadings();

    QAction* pinyinAction() const { return m_pinyin; }
    QAction* pingzeAction() const { return m_pingze; }
    QAction* restoreAction() const { return m_restore; }

signals:
    void renderWanted();

private:
    void showContextMenu(const QPoint& pos);
    void updateActions();

    QTextEdit* m_pane;
    SqlDatabase& m_db;
    Dialogs& m_dialogs;
    HzPyReadings m_readings;
    QAction* m_pinyin = nullptr;
    QAction* m_pingze = nullptr;
    QAction* m_restore = nullptr;
    QPointer<QWidget> m_overlay;
    qint64 m_poemId = 0;
    PoemNotes m_notes;
    NoteStyle m_style;
};
