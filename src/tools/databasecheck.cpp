#include "tools/databasecheck.h"

#include "app/dialogs.h"
#include "db/integritycheck.h"
#include "db/poemstore.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProgressDialog>

DatabaseCheck::DatabaseCheck(QAction* trigger, PoemStore& store, Dialogs& dialogs, QWidget* parent)
    : QObject(trigger), m_store(store), m_dialogs(dialogs), m_parent(parent) {
    connect(trigger, &QAction::triggered, this, &DatabaseCheck::run);
}

void DatabaseCheck::run() {
    if (!m_store.isOpen()) {
        m_dialogs.message(QStringLiteral("没有打开的数据库，无从检查。"), MessageSink::Icon::Information);
        return;
    }
    const QString path = m_store.path();
    QProgressDialog note(m_parent);
    note.setObjectName(QStringLiteral("dlgDatabaseCheck"));
    note.setWindowTitle(QStringLiteral("数据库检查"));
    note.setAccessibleName(QStringLiteral("数据库检查"));
    note.setCancelButtonText(QStringLiteral("取消"));
    // SQLite cannot tell how far the check has come: the bar only shows it runs.
    note.setRange(0, 0);
    note.setMinimumDuration(0);
    note.setWindowModality(Qt::ApplicationModal);
    const QString label = QStringLiteral("正在检查数据库文件 %1 的每一页……\n已用 %2 秒").arg(QDir::toNativeSeparators(path));
    note.setLabelText(label.arg(0));
    note.show();
    QElapsedTimer clock;
    clock.start();
    qint64 shownSeconds = 0;
    const IntegrityReport report = CheckIntegrity(path, [&] {
        if (clock.elapsed() / 1000 != shownSeconds) {
            shownSeconds = clock.elapsed() / 1000;
            note.setLabelText(label.arg(shownSeconds));
        }
        note.setValue(0);
        QApplication::processEvents();
        return !note.wasCanceled();
    });
    note.hide();
    const MessageSink::Icon icon = report.outcome == IntegrityReport::Outcome::Sound       ? MessageSink::Icon::Information
                                   : report.outcome == IntegrityReport::Outcome::Cancelled ? MessageSink::Icon::Information
                                                                                           : MessageSink::Icon::Warning;
    m_dialogs.message(DescribeIntegrity(report, path), icon, QStringLiteral("数据库检查"));
}
