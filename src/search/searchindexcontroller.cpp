#include "search/searchindexcontroller.h"

#include "app/settings.h"
#include "db/poemstore.h"

#include <QAction>
#include <QLabel>
#include <QStatusBar>

#include <sqlite3.h>

namespace {
// The progress is shown this often.
constexpr int kProgressMs = 200;
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
    // Short, beside the status panels it shares the bar with; the tooltip says it whole.
    m_panel->setToolTip(QStringLiteral("正在建立检索索引"));
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

    m_progress.setInterval(kProgressMs);
    connect(&m_progress, &QTimer::timeout, this, &SearchIndexController::poll);
    m_watch.setInterval(kWatchMs);
    connect(&m_watch, &QTimer::timeout, this, [this] {
        if (!m_builder.running()) databaseOpened();
    });
}

SearchIndexController::~SearchIndexController() { m_builder.stop(); }

void SearchIndexController::databaseOpened() {
    SearchIndex& index = m_store.searchIndex();
    if (!m_store.isOpen() || !index.writable()) {
        m_builder.stop();
        m_progress.stop();
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
    if (m_total <= kBackgroundAbove || m_builder.running()) return;
    m_panel->setText(QStringLiteral("索引…"));
    m_panel->show();
    m_builder.start(QString::fromUtf8(sqlite3_db_filename(m_store.db().handle(), "main")));
    m_progress.start();
}

void SearchIndexController::poll() {
    if (m_builder.running()) {
        const qint64 left = m_builder.left();
        if (left >= 0 && m_total > 0)
            m_panel->setText(QStringLiteral("索引 %1%").arg((m_total - qMin(left, m_total)) * 100 / m_total));
        return;
    }
    m_builder.stop();
    m_progress.stop();
    m_panel->hide();
    if (!m_builder.failed()) emit indexReady();
}
