#include "display/pinyinview.h"

#include "app/dialogs.h"
#include "app/settings.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTextEdit>

#include <memory>

namespace {

// Draws the notes over the pane's viewport, in step with its scrolling. It
// takes no input: clicks and the context menu reach the pane.
class NoteOverlay : public QWidget {
public:
    NoteOverlay(QTextEdit* pane, const PoemNotes& notes, const NoteStyle& style)
        : QWidget(pane->viewport()), m_pane(pane), m_notes(notes), m_style(style) {
        setObjectName(QStringLiteral("PoemNoteOverlay"));
        setAccessibleName(QStringLiteral("拼音与平仄标注"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        setGeometry(pane->viewport()->rect());
        pane->viewport()->installEventFilter(this);
        connect(pane->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { update(); });
        connect(pane->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { update(); });
        show();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_pane->viewport() && event->type() == QEvent::Resize)
            setGeometry(m_pane->viewport()->rect());
        return false;
    }
    void paintEvent(QPaintEvent*) override {
        if (m_notes.isEmpty()) return;
        QPainter p(this);
        const QPointF scroll(m_pane->horizontalScrollBar()->value(), m_pane->verticalScrollBar()->value());
        p.translate(-scroll);
        PaintPoemNotes(&p, m_pane->document(), m_notes, m_style, QRectF(scroll, QSizeF(size())));
    }

private:
    QTextEdit* m_pane;
    const PoemNotes& m_notes;
    const NoteStyle& m_style;
};

} // namespace

PinyinView::PinyinView(QMenu* toolMenu, QTextEdit* pane, SqlDatabase& db, Dialogs& dialogs, QObject* parent)
    : QObject(parent), m_pane(pane), m_db(db), m_dialogs(dialogs), m_readings(db) {
    auto make = [&](const QString& name, const QString& text) {
        auto* a = new QAction(text, toolMenu);
        a->setObjectName(name);
        return a;
    };
    m_pinyin = make(QStringLiteral("mnuToolPinyin"), QStringLiteral("拼音注音"));
    m_pinyin->setCheckable(true);
    m_pinyin->setChecked(Settings::showPinyin());
    m_pingze = make(QStringLiteral("mnuToolPingze"), QStringLiteral("平仄标注"));
    m_pingze->setCheckable(true);
    m_pingze->setChecked(Settings::showPingze());
    m_restore = make(QStringLiteral("mnuToolPinyinRestore"), QStringLiteral("恢复本诗的拼音"));
    // After the pinyin hint, the first entry of the menu.
    const QList<QAction*> existing = toolMenu->actions();
    QAction* before = existing.size() > 1 ? existing[1] : nullptr;
    toolMenu->insertActions(before, {m_pinyin, m_pingze, m_restore});

    connect(m_pinyin, &QAction::triggered, this, [this](bool on) {
        Settings::setShowPinyin(on);
        updateActions();
        emit renderWanted();
    });
    connect(m_pingze, &QAction::triggered, this, [this](bool on) {
        Settings::setShowPingze(on);
        emit renderWanted();
    });
    connect(m_restore, &QAction::triggered, this, [this] { restoreReadings(); });

    m_overlay = new NoteOverlay(pane, m_notes, m_style);
    pane->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(pane, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) { showContextMenu(pos); });
    updateActions();
}

// The overlay draws this object's notes: it goes first.
PinyinView::~PinyinView() { delete m_overlay; }

bool PinyinView::pinyinOn() const { return m_pinyin->isChecked(); }
bool PinyinView::pingzeOn() const { return m_pingze->isChecked(); }

void PinyinView::updateActions() { m_restore->setEnabled(pinyinOn() && m_poemId > 0); }

PoemNotes PinyinView::notesFor(qint64 poemId, const PoemFields& poem, const PoemLayout& layout) {
    const NoteOptions options{pinyinOn(), pingzeOn()};
    if (!options.pinyin && !options.tones) return PoemNotes{};
    QList<PinyinFix> fixes;
    if (options.pinyin) {
        try {
            fixes = PinyinFixStore(m_db).load(poemId);
        } catch (const SqlError&) {
            // Unreadable corrections: the computed readings are shown.
            fixes.clear();
        }
    }
    return AnnotatePoem(poem, layout, [this](char32_t c) { return m_readings(c); }, fixes, options);
}

void PinyinView::shown(qint64 poemId, const PoemNotes& notes, const NoteStyle& style) {
    m_poemId = poemId;
    m_notes = notes;
    m_style = style;
    updateActions();
    if (m_overlay) m_overlay->update();
}

QStringList PinyinView::readingsAt(qint32 position) {
    const PoemNote* n = m_notes.at(position);
    if (!pinyinOn() || !n || n->pinyin.isEmpty()) return {};
    const QList<uint> code = n->character.toUcs4();
    QStringList all = code.size() == 1 ? m_readings(char32_t(code[0])) : QStringList();
    if (!all.contains(n->pinyin)) all.prepend(n->pinyin);
    return all;
}

void PinyinView::correct(qint32 position, const QString& reading) {
    const PoemNote* n = m_notes.at(position);
    if (!n || m_poemId <= 0) return;
    try {
        PinyinFixStore(m_db).save(m_poemId, PinyinFix{n->part, n->partIndex, n->character, reading});
    } catch (const SqlError& e) {
        m_dialogs.message(QStringLiteral("拼音更正保存失败：") + e.message(), MessageSink::Icon::Warning);
        return;
    }
    emit renderWanted();
}

void PinyinView::restoreReadings() {
    if (m_poemId <= 0) return;
    try {
        PinyinFixStore(m_db).clear(m_poemId);
    } catch (const SqlError& e) {
        m_dialogs.message(QStringLiteral("拼音更正删除失败：") + e.message(), MessageSink::Icon::Warning);
        return;
    }
    emit renderWanted();
}

void PinyinView::showContextMenu(const QPoint& pos) {
    // The pane is read-only: copying and selecting all are its own entries.
    auto menu = std::make_unique<QMenu>(m_pane);
    menu->setObjectName(QStringLiteral("mnuPane"));
    QAction* copy = menu->addAction(QStringLiteral("复制(&C)"), m_pane, &QTextEdit::copy);
    copy->setEnabled(m_pane->textCursor().hasSelection());
    menu->addAction(QStringLiteral("全选(&A)"), m_pane, &QTextEdit::selectAll);
    const qint32 position = m_pane->cursorForPosition(pos).position();
    // The cursor lands before or after the character clicked: take the one it
    // lands before, else the one before it.
    qint32 at = position;
    QStringList readings = readingsAt(at);
    if (readings.isEmpty() && position > 0) readings = readingsAt(at = position - 1);
    if (!readings.isEmpty()) {
        const PoemNote* n = m_notes.at(at);
        menu->addSeparator();
        QMenu* sub = menu->addMenu(QStringLiteral("[") + n->character + QStringLiteral("] 的读音"));
        sub->setObjectName(QStringLiteral("mnuPaneReadings"));
        for (const QString& r : readings) {
            QAction* a = sub->addAction(r);
            a->setCheckable(true);
            a->setChecked(r == n->pinyin);
            connect(a, &QAction::triggered, this, [this, at, r] { correct(at, r); });
        }
    }
    if (pinyinOn() && m_poemId > 0) menu->addAction(m_restore);
    menu->exec(m_pane->viewport()->mapToGlobal(pos));
}
