// lyrabook-bookletbench: times booklets of a list of poems in each layout and
// sets them against reading the same poems from the store, side by side in one
// run; also times the page estimate the dialog gives for the whole collection.
//
// Usage: lyrabook-bookletbench --db FILE [--count N] [--page A4|A5|B5] [--keep DIR] [--pinyin on]
//   The list is the first N poems (default 1000) by identifier, the way a
//   title list holds them. --keep DIR leaves the booklets there; --pinyin on
//   sets the pane's pinyin with the characters.
#include "app/fonts.h"
#include "tools/bookletwriter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

namespace {

QList<qint32> poemIds(SqlDatabase& db, qint64 limit) {
    QList<qint32> ids;
    SqlStatement st = db.prepareNative(QStringLiteral("select fPoemID from Poetry order by fPoemID") +
                                       (limit > 0 ? QStringLiteral(" limit ") + QString::number(limit) : QString()));
    while (st.next()) ids.append(qint32(st.int64(0)));
    return ids;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    installFontSubstitutions();
    QString dbPath;
    QString keep; // a folder to leave the booklets in
    bool pinyin = false;
    qint64 count = 1000;
    BookletPageSize page = BookletPageSize::A4;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QStringLiteral("--db")) dbPath = args[i + 1];
        else if (args[i] == QStringLiteral("--count")) count = args[i + 1].toLongLong();
        else if (args[i] == QStringLiteral("--keep")) keep = args[i + 1];
        else if (args[i] == QStringLiteral("--pinyin")) pinyin = args[i + 1] == QStringLiteral("on");
        else if (args[i] == QStringLiteral("--page"))
            page = args[i + 1] == QStringLiteral("A5") ? BookletPageSize::A5
                   : args[i + 1] == QStringLiteral("B5") ? BookletPageSize::B5 : BookletPageSize::A4;
    }
    SqlDatabase db;
    if (dbPath.isEmpty() || db.open(dbPath, true) != 0) {
        std::fprintf(stderr, "usage: lyrabook-bookletbench --db FILE [--count N] [--page A4|A5|B5] [--keep DIR] [--pinyin on]\n");
        return 2;
    }
    const QList<qint32> ids = poemIds(db, count);
    QTemporaryDir dir;

    QElapsedTimer t;
    t.start();
    qint64 chars = 0;
    for (qint32 id : ids) {
        PoemFields poem;
        if (ReadBookletPoem(db, id, &poem)) chars += poem.content.size();
    }
    const double readMs = double(t.nsecsElapsed()) / 1e6;
    std::printf("%lld poems (%lld characters of content), reading them: %.1f ms\n", qint64(ids.size()), chars, readMs);
    std::printf("%-8s %10s %7s %10s %12s %10s\n", "layout", "ms", "pages", "pages/s", "x reading", "estimated");

    const char* names[] = {"横排", "竖排", "田字格"};
    for (int s = 0; s < 3; ++s) {
        BookletOptions o;
        o.style = BookletStyle(s);
        o.pageSize = page;
        o.title = QStringLiteral("诗词小册");
        o.contents = true;
        o.pinyin = pinyin;
        BookletWriter writer(db, DefaultTemplate(), o, BookletPinyin(db));
        QString error;
        const qint64 estimated = writer.estimatePages(ids);
        t.restart();
        const auto result = writer.writePdf(ids, (keep.isEmpty() ? dir.path() : keep) + QStringLiteral("/booklet%1.pdf").arg(s), &error);
        const double ms = double(t.nsecsElapsed()) / 1e6;
        if (result != BookletWriter::Result::Written) {
            std::printf("%-8s failed: %s\n", names[s], qPrintable(error));
            continue;
        }
        std::printf("%-8s %10.1f %7d %10.1f %12.1f %10lld\n", names[s], ms, writer.pageCount(),
                    writer.pageCount() * 1000.0 / ms, ms / readMs, estimated);
    }

    const QList<qint32> all = poemIds(db, 0);
    for (int s = 0; s < 3; ++s) {
        BookletOptions o;
        o.style = BookletStyle(s);
        o.pageSize = page;
        BookletWriter writer(db, DefaultTemplate(), o);
        t.restart();
        const qint64 pages = writer.estimatePages(all);
        std::printf("estimate for all %lld poems, %s: %lld pages in %.1f ms\n", qint64(all.size()), names[s], pages,
                    double(t.nsecsElapsed()) / 1e6);
    }
    return 0;
}
