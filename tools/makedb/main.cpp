// lyrabook-makedb: builds a poem database from the seed files under data/.
// Writes to a temporary file beside the target and renames it at the end, so an
// interrupted build never leaves a half-filled database behind.
#include "db/schema.h"
#include "seedloader.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("Builds a poem database from seed files."));
    p.addHelpOption();
    p.addOption({QStringLiteral("data"), QStringLiteral("Folder of the seed files."), QStringLiteral("dir")});
    p.addOption({QStringLiteral("out"), QStringLiteral("Database file to create."), QStringLiteral("file")});
    p.addOption({QStringLiteral("force"), QStringLiteral("Replace an existing file.")});
    p.process(app);
    if (!p.isSet(QStringLiteral("data")) || !p.isSet(QStringLiteral("out"))) {
        std::fprintf(stderr, "usage: lyrabook-makedb --data DIR --out FILE [--force]\n");
        return 2;
    }
    const QString out = p.value(QStringLiteral("out"));
    if (QFileInfo::exists(out) && !p.isSet(QStringLiteral("force"))) {
        std::fprintf(stderr, "%s exists; not replaced (use --force)\n", qPrintable(out));
        return 0;
    }
    QDir().mkpath(QFileInfo(out).absolutePath());
    const QString tmp = out + QStringLiteral(".building");
    QFile::remove(tmp);
    try {
        SqlDatabase db;
        if (db.open(tmp, false, true) != 0) throw SqlError(db.lastError(), 1);
        db.execNative(QStringLiteral("PRAGMA journal_mode=OFF"));
        db.execNative(QStringLiteral("PRAGMA synchronous=OFF"));
        createPoemSchema(db);
        const SeedCounts c = loadSeeds(db, p.value(QStringLiteral("data")));
        db.execNative(QStringLiteral("ANALYZE"));
        db.execNative(QStringLiteral("PRAGMA journal_mode=DELETE"));
        db.close();
        std::printf("poems %d, poets %d (with biography %d), dynasties %d, pinyin rows %d, templates %d\n", c.poems,
                    c.poets, c.briefs, c.dynasties, c.pinyinRows, c.templates);
    } catch (const SqlError& e) {
        QFile::remove(tmp);
        std::fprintf(stderr, "database error: %s\n", qPrintable(e.message()));
        return 1;
    } catch (const std::exception& e) {
        QFile::remove(tmp);
        std::fprintf(stderr, "error: %s\n", e.what());
        return 1;
    }
    QFile::remove(out);
    if (!QFile::rename(tmp, out)) {
        std::fprintf(stderr, "cannot move %s to %s\n", qPrintable(tmp), qPrintable(out));
        return 1;
    }
    return 0;
}
