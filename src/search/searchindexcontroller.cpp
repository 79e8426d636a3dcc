#include "search/searchindexcontroller.h"

#include "app/settings.h"
#include "db/poemstore.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QStatusBar>

#include <algorithm>

namespace {
// Each step indexes about this long before the window gets its events again.
constexpr qint64 kStepMs = 40;
// Changes by other programs are looked for this often.
constexpr int kWatchMs = 3000;
// Fewer waiting poems than this are left for the next search to index.
constexpr qint64 kBackgroundAbove = 200;
} // namespace

SearchIndexController::SearchIndexController(PoemStore& store, QStatusBar* statusBar, QAction* foldAction,
                                             QObject* parent)
    : QObject(parent), m_store(store) {
    m_panel = new QLabel(statusBar);
    m_panel->setObjectName(QStringLiteral("mySearchIndex"));
    m_panel->setAccessibleName(QStringLiteral("检索索引"));
    m_panel->setFrameShape(QFrame::Panel);
    m_panel->setFrameShadow(QFrame::Sunken);
    statusBar->addPermanentWidget(m_panel);
    m_panel->hide();

    foldAction->setCheckable(true);
    foldAction->setChecked(Settings::foldScripts());
    foldAction->setToolTip(QStringLiteral("检索时不分简体、繁体和异体字"));
    connect(foldAction, &QAction::toggled, this, [](bool on) {
        if (Settings::foldScripts() != on) Settings::setFoldScripts(on);
    });

    m_step.setInterval(0);
    connect(&m_step, &QTimer::timeout, this, &SearchIndexController::step);
    m_watch.setInterval(kWatchMs);
    connect(&m_watch, &QTimer::timeout, this, [this] {
        if (!m_step.isActive()) databaseOpened();
    });
}

void SearchIndexController::databaseOpened() {
    SearchIndex& index = m_store.searchIndex();
    if (!m_store.isOpen() || !index.writable()) {
        m_step.stop();
        m_watch.stop();
        m_panel->hide();
        return;
    }
    m_watch.start();
    try {
        if (index.needsCreate()) index.create();
    } catch (const SqlError&) {
        // Left to the scan; tried again when the database is next opened.
        m_watch.stop();
        return;
    }
    m_total = index.pending();
    if (m_total <= kBackgroundAbove) return;
    m_panel->setText(QStringLiteral("正在建立检索索引…"));
    m_panel->show();
    m_step.start();
}

void SearchIndexController::step() {
    SearchIndex& index = m_store.searchIndex();
    QElapsedTimer t;
    t.start();
    const qint64 before = m_total;
    qint64 left = 0;
    try {
        left = index.indexSome(m_chunk);
    } catch (const SqlError&) {
        // Marked damaged: made anew at the next look.
        m_step.stop();
        m_panel->hide();
        return;
    }
    // The chunk follows the time it took, so each step stays short.
    const qint64 ms = qMax<qint64>(1, t.elapsed());
    m_chunk = int(std::clamp<qint64>(m_chunk * kStepMs / ms, 50, 20000));
    if (left == 0 || !index.writable()) {
        finish();
        return;
    }
    // Nothing done (a transaction of the program's own is open): look again later.
    m_step.setInterval(left >= before && t.elapsed() < 2 ? 200 : 0);
    const qint64 done = qMax<qint64>(0, m_total - left);
    m_panel->setText(QStringLiteral("正在建立检索索引 %1%").arg(m_total > 0 ? done * 100 / m_total : 0));
}

void SearchIndexController::finish() {
    m_step.stop();
    m_panel->hide();
    emit indexReady();
}
