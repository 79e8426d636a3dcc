#pragma once
// What the parts of the main window share while the program runs, typed and in
// one place: whether the database may be written, which edit is armed, whether
// the poem fields were changed, which guard holds the input, the mode shown in
// the status bar, the counters and the poem on show. Every change is announced,
// so a part reacts to the state instead of being told by another part.
#include <QObject>
#include <QString>

// The stored numbers are the ones the settings file and the store use.
enum class WriteMode : qint16 { Closed = -1, Locked = 0, Writable = 1 };
// The edit armed in the poem panel (the entries of the 诗词编辑 menu).
enum class EditMode { None = 0, Add = 1, Modify = 2, Delete = 3 };
// Who holds the input. While the controls are filled from code, or a new book name is typed (Held),
// the change handlers draw nothing and the list is held; a book rename leaves
// the poem pane drawing.
enum class InputState { Free = 0, Held = 1, RenamingBook = 2 };

// The counts shown in the status bar: titles and poems of the whole database,
// titles and poems of the list on show. After an appended search only the
// list's titles are counted, so its poem count is not known.
struct Counters {
    qint64 totalTitles = 0;
    qint64 totalPoems = 0;
    qint64 listedTitles = 0;
    qint64 listedPoems = 0;
    bool listedPoemsKnown = true;
    bool operator==(const Counters&) const = default;
};

class Session : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    WriteMode writeMode() const { return m_writeMode; }
    bool canWrite() const { return m_writeMode == WriteMode::Writable; }
    void setWriteMode(WriteMode mode);

    EditMode editMode() const { return m_editMode; }
    void setEditMode(EditMode mode);

    bool recordChanged() const { return m_recordChanged; }
    void setRecordChanged(bool changed) { m_recordChanged = changed; }

    InputState inputState() const { return m_inputState; }
    void setInputState(InputState state) { m_inputState = state; }

    // The mode named in the status bar: 查询, 诗词修改, 作者删除 ...
    const QString& modeName() const { return m_modeName; }
    void setModeName(const QString& name);

    // Announced even when unchanged: the panels show the last count asked for.
    const Counters& counters() const { return m_counters; }
    void setTotals(qint64 titles, qint64 poems);
    void setListed(qint64 titles, qint64 poems, bool poemsKnown = true);

    // The poem of the history line, the one the pane shows; 0 when none.
    qint64 shownPoemId() const { return m_shownPoemId; }
    void setShownPoemId(qint64 id) { m_shownPoemId = id; }

    const QString& databasePath() const { return m_databasePath; }
    void setDatabasePath(const QString& path) { m_databasePath = path; }

signals:
    void writeModeChanged(WriteMode mode);
    void editModeChanged(EditMode mode);
    void modeNameChanged(const QString& name);
    void totalsChanged(const Counters& counters);
    void listedChanged(const Counters& counters);

private:
    WriteMode m_writeMode = WriteMode::Closed;
    EditMode m_editMode = EditMode::None;
    bool m_recordChanged = false;
    InputState m_inputState = InputState::Free;
    QString m_modeName = QStringLiteral("查询");
    Counters m_counters;
    qint64 m_shownPoemId = 0;
    QString m_databasePath;
};
