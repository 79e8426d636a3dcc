#include "integritycheck.h"

#include "sqlitedb.h"

#include <QDir>
#include <sqlite3.h>

namespace {

int askToGoOn(void* keepGoing) { return (*static_cast<const std::function<bool()>*>(keepGoing))() ? 0 : 1; }

} // namespace

IntegrityReport CheckIntegrity(const QString& path, const std::function<bool()>& keepGoing) {
    IntegrityReport report;
    SqlDatabase db;
    if (db.open(path, true) != SQLITE_OK) {
        report.error = db.lastError();
        return report;
    }
    sqlite3_busy_timeout(db.handle(), 30000);
    if (keepGoing) sqlite3_progress_handler(db.handle(), 4000, askToGoOn, const_cast<std::function<bool()>*>(&keepGoing));
    try {
        SqlStatement st = db.prepareNative(QStringLiteral("PRAGMA integrity_check(%1)").arg(kIntegrityMaxProblems));
        while (st.next()) report.problems << st.text(0);
    } catch (const SqlError& e) {
        report.problems.clear();
        if ((e.code() & 0xff) == SQLITE_INTERRUPT) {
            report.outcome = IntegrityReport::Outcome::Cancelled;
        } else if ((e.code() & 0xff) == SQLITE_CORRUPT || (e.code() & 0xff) == SQLITE_NOTADB) {
            // Too damaged for the check to go on: that is its finding.
            report.outcome = IntegrityReport::Outcome::Damaged;
            report.problems << e.message();
        } else {
            report.error = e.message();
        }
        return report;
    }
    if (report.problems == QStringList{QStringLiteral("ok")}) {
        report.problems.clear();
        report.outcome = IntegrityReport::Outcome::Sound;
    } else {
        report.outcome = IntegrityReport::Outcome::Damaged;
    }
    return report;
}

QString DescribeIntegrity(const IntegrityReport& report, const QString& path) {
    const QString file = QDir::toNativeSeparators(path);
    switch (report.outcome) {
    case IntegrityReport::Outcome::Sound:
        return QStringLiteral("数据库检查完毕：%1 完好，没有发现问题。").arg(file);
    case IntegrityReport::Outcome::Cancelled:
        return QStringLiteral("数据库检查已取消，没有得出结论。");
    case IntegrityReport::Outcome::Failed:
        return QStringLiteral("数据库检查无法进行到底：%1\n\n文件 %2 可能已损坏。").arg(report.error, file);
    case IntegrityReport::Outcome::Damaged:
        break;
    }
    const qsizetype n = report.problems.size();
    QString text = n >= kIntegrityMaxProblems
                       ? QStringLiteral("数据库检查发现 %1 已损坏：至少有 %2 处问题。").arg(file).arg(n)
                       : QStringLiteral("数据库检查发现 %1 已损坏：共有 %2 处问题。").arg(file).arg(n);
    text += QStringLiteral("\n\n前几处问题（SQLite 的原话）：");
    for (qsizetype i = 0; i < n && i < 5; ++i) text += QStringLiteral("\n· ") + report.problems[i];
    text += QStringLiteral("\n\n建议：先把这个文件另外复制一份留存，再用数据库旁 backup 文件夹里最近的备份代替它。");
    return text;
}
