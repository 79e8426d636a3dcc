// lyrabook-pinyin-report: which characters with more than one reading (多音字)
// the phrase tables settle in a poem database's poems, and which are left to
// their first reading in hzPy. For each such character it prints how often it
// occurs, how often each source decided, and the readings given.
//
//   lyrabook-pinyin-report --db build/data/poem.mdb [--where "fDynasty='唐'"] [--print]
#include "display/readings.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QMap>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser p;
    p.addHelpOption();
    p.addOption({QStringLiteral("db"), QStringLiteral("Poem database."), QStringLiteral("file")});
    p.addOption({QStringLiteral("where"), QStringLiteral("Condition on Poetry (SQLite)."), QStringLiteral("sql"),
                 QStringLiteral("fDynasty='唐'")});
    p.addOption({QStringLiteral("print"), QStringLiteral("Also print every poem with the pinyin of each line.")});
    p.process(app);
    const bool print = p.isSet(QStringLiteral("print"));
    SqlDatabase db;
    if (db.open(p.value(QStringLiteral("db")), true) != 0) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(p.value(QStringLiteral("db"))));
        return 1;
    }
    HzPyReadings hzpy(db);
    const ReadingLookup lookup = [&](char32_t c) { return hzpy(c); };

    struct Tally {
        int total = 0;
        int settled = 0; // by a phrase or the verse table
        QMap<QString, int> readings;
    };
    QMap<QString, Tally> chars;
    int poems = 0;
    SqlStatement st = db.prepareNative(QStringLiteral("SELECT fTitle, fContent FROM Poetry WHERE ") +
                                       p.value(QStringLiteral("where")));
    while (st.next()) {
        ++poems;
        for (int f = 0; f < 2; ++f) {
            const QString text = st.text(f);
            if (print)
                for (const QString& line : text.split(QStringLiteral("\r\n"))) {
                    QStringList syl;
                    for (const CharReading& r : ReadText(line, lookup)) syl << r.reading;
                    std::printf("%s\n%s\n", qPrintable(syl.join(u' ')), qPrintable(line));
                }
            for (const CharReading& r : ReadText(text, lookup)) {
                const QString c = text.mid(r.offset, r.length);
                const QList<uint> code = c.toUcs4();
                QStringList all = hzpy(char32_t(code[0]));
                all.removeDuplicates();
                if (all.size() < 2) continue;
                Tally& t = chars[c];
                ++t.total;
                if (r.source == ReadingSource::Phrase || r.source == ReadingSource::Verse) ++t.settled;
                ++t.readings[r.reading];
            }
        }
    }
    int settledChars = 0, firstOnly = 0;
    QStringList settledList, firstList;
    for (auto it = chars.begin(); it != chars.end(); ++it) {
        QStringList rs;
        for (auto r = it->readings.begin(); r != it->readings.end(); ++r) rs << r.key() + u'×' + QString::number(r.value());
        const QString line = QStringLiteral("%1 %2/%3 %4").arg(it.key()).arg(it->settled).arg(it->total).arg(rs.join(u' '));
        if (it->settled > 0) {
            ++settledChars;
            settledList << line;
        } else {
            ++firstOnly;
            firstList << it.key();
        }
    }
    std::printf("poems %d, polyphonic characters %lld: settled by a phrase at least once %d, always the first reading %d\n",
                poems, qint64(chars.size()), settledChars, firstOnly);
    std::printf("\n# settled (character settled/occurrences readings×count)\n%s\n", qPrintable(settledList.join(u'\n')));
    std::printf("\n# first reading only\n%s\n", qPrintable(firstList.join(QString())));
    return 0;
}
