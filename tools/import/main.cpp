// lyrabook-import: appends the poems of the chinese-poetry corpus to a poem
// database. Safe to stop at any moment (Ctrl-C): the import is one transaction,
// and a run stopped before its commit leaves the database as it was.
#include "corpusimporter.h"
#include "db/sqlitedb.h"
#include "textconverter.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

std::atomic<bool> g_stop{false};

extern "C" void onSignal(int sig) {
    g_stop.store(true);
    // A second signal ends the program at once; the store's journal still
    // undoes the unfinished transaction at the next open.
    std::signal(sig, SIG_DFL);
}

QString thousands(qint64 n) {
    QString s = QString::number(n);
    for (qsizetype i = s.size() - 3; i > 0; i -= 3) s.insert(i, u',');
    return s;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Appends the poems of the chinese-poetry package (the folder `npm pack chinese-poetry` unpacks to)\n"
        "to an existing poem database. Poems the database already holds are skipped."));
    p.addHelpOption();
    p.addPositionalArgument(QStringLiteral("package"), QStringLiteral("The unpacked package (the folder holding dist/)."));
    p.addPositionalArgument(QStringLiteral("database"), QStringLiteral("The poem database to append to."));
    p.addOption({{QStringLiteral("c"), QStringLiteral("collections")},
                 QStringLiteral("Comma-separated collections to import (default: all). See --list."),
                 QStringLiteral("keys")});
    p.addOption({QStringLiteral("list"), QStringLiteral("List the collections and exit.")});
    p.addOption({QStringLiteral("simplified"),
                 QStringLiteral("Convert to simplified characters (the default when built with OpenCC).")});
    p.addOption({QStringLiteral("keep-source"), QStringLiteral("Keep the characters as the source writes them.")});
    p.addOption({QStringLiteral("threads"), QStringLiteral("Reader threads (default: one per core)."),
                 QStringLiteral("n")});
    p.process(app);

    if (p.isSet(QStringLiteral("list"))) {
        for (const CorpusCollection& c : CorpusCollections()) std::printf("%-8s %s\n", c.key, c.name);
        return 0;
    }
    const QStringList args = p.positionalArguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: lyrabook-import [options] PACKAGE DATABASE  (--help for the options)\n");
        return 2;
    }
    if (p.isSet(QStringLiteral("simplified")) && p.isSet(QStringLiteral("keep-source"))) {
        std::fprintf(stderr, "choose one of --simplified and --keep-source\n");
        return 2;
    }

    ImportOptions opt;
    opt.packageDir = args[0];
    opt.databasePath = args[1];
    if (p.isSet(QStringLiteral("collections"))) {
        for (const QString& k : p.value(QStringLiteral("collections")).split(u',', Qt::SkipEmptyParts))
            opt.collections << k.trimmed();
    }
    if (p.isSet(QStringLiteral("keep-source"))) opt.simplify = false;
    else if (p.isSet(QStringLiteral("simplified"))) opt.simplify = true;
    else opt.simplify = SimplifiedConversionAvailable();
    if (opt.simplify && !SimplifiedConversionAvailable()) {
        std::fprintf(stderr, "this build has no OpenCC: use --keep-source\n");
        return 2;
    }
    opt.threads = p.value(QStringLiteral("threads")).toInt();
    opt.stop = &g_stop;

    const bool tty = isatty(fileno(stderr));
    QString lastCollection;
    opt.progress = [&](const ImportProgress& pr) {
        if (pr.finishing) {
            std::fprintf(stderr, "%s%s poems read; updating statistics and committing...\n", tty ? "\r\033[K" : "",
                         qPrintable(thousands(pr.added + pr.skipped)));
            return;
        }
        const int percent = pr.bytesTotal > 0 ? int(pr.bytesDone * 100 / pr.bytesTotal) : 100;
        const QString line = QStringLiteral("%1  %2%  files %3/%4  added %5  skipped %6")
                                 .arg(pr.collection)
                                 .arg(percent)
                                 .arg(pr.filesDone)
                                 .arg(pr.filesTotal)
                                 .arg(thousands(pr.added), thousands(pr.skipped));
        if (tty) {
            std::fprintf(stderr, "\r\033[K%s", qPrintable(line));
        } else if (pr.collection != lastCollection || pr.filesDone == pr.filesTotal) {
            std::fprintf(stderr, "%s\n", qPrintable(line));
        }
        lastCollection = pr.collection;
    };

    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    QElapsedTimer timer;
    timer.start();
    try {
        const ImportResult r = ImportCorpus(opt);
        if (r.stopped) {
            std::fprintf(stderr, "%sstopped: nothing was imported, the database is unchanged\n", tty ? "\n" : "");
            return 130;
        }
        std::printf("added %s poems, skipped %s already held; new poets %s, biographies filled in %s; %.1f s\n",
                    qPrintable(thousands(r.added)), qPrintable(thousands(r.skipped)),
                    qPrintable(thousands(r.poetsAdded)), qPrintable(thousands(r.briefsFilled)),
                    timer.elapsed() / 1000.0);
    } catch (const SqlError& e) {
        std::fprintf(stderr, "%sdatabase error: %s (nothing was imported)\n", tty ? "\n" : "", qPrintable(e.message()));
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%serror: %s (nothing was imported)\n", tty ? "\n" : "", e.what());
        return 1;
    }
    return 0;
}
