// The daily backup before the first write and the database check.
#include "db/dailybackup.h"
#include "db/integritycheck.h"
#include "db/poemstore.h"
#include "support/fixture.h"
#include "support/recordingsink.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

qint64 scalar(const QString& path, const QString& sql) {
    SqlDatabase db;
    if (db.open(path, true) != 0) return -2;
    SqlStatement st = db.prepareNative(sql);
    return st.next() ? st.int64(0) : -1;
}

QStringList filesIn(const QString& folder) { return QDir(folder).entryList(QDir::Files, QDir::Name); }

const QString kQtyOfFirst = QStringLiteral("select fQty from Poetry where fPoemID=1");

} // namespace

TEST(DailyBackup, FirstWriteOfEachDayCopiesTheFileAsItWasAndKeepsSeven) {
    FixtureDb fx;
    fx.fillSample();
    const QString folder = fx.dir() + QStringLiteral("/backup");
    ASSERT_TRUE(QDir().mkpath(folder));
    for (int d = 1; d <= 8; ++d) writeFile(folder + QStringLiteral("/poem-202611%1.mdb").arg(d, 2, 10, QChar(u'0')), "old");
    writeFile(folder + QStringLiteral("/notes.txt"), "mine");
    writeFile(folder + QStringLiteral("/other-20261101.mdb"), "another file's copy");

    QDate today(2026, 12, 6);
    RecordingSink sink;
    PoemStore store(&sink);
    store.setClockForTesting([&] { return today; });
    ASSERT_EQ(store.OpenPoemDatabase(1, fx.path()), 1);
    EXPECT_EQ(store.FindTable(QStringLiteral("Poetry"), QString()), 9);
    EXPECT_EQ(filesIn(folder).size(), 10); // reading copies nothing

    const struct {
        int dayStep;
        int qty;
        const char* newCopy; // made by this write, holding the value before it
        int qtyInCopy;
    } writes[] = {{0, 5, "poem-20261206.mdb", 1}, {0, 6, nullptr, 0}, {1, 7, "poem-20261207.mdb", 6}};
    for (const auto& w : writes) {
        today = today.addDays(w.dayStep);
        const QStringList before = filesIn(folder);
        store.db().exec(QStringLiteral("Update Poetry Set fQty=%1 Where fPoemID=1").arg(w.qty));
        EXPECT_EQ(fx.count(kQtyOfFirst), w.qty);
        if (!w.newCopy) {
            EXPECT_EQ(filesIn(folder), before);
            continue;
        }
        const QString copy = folder + u'/' + QLatin1String(w.newCopy);
        EXPECT_EQ(scalar(copy, kQtyOfFirst), w.qtyInCopy) << w.newCopy;
        EXPECT_EQ(scalar(copy, QStringLiteral("select count(*) from pragma_integrity_check where integrity_check='ok'")), 1);
    }
    // The seven newest copies of this file; other files untouched.
    EXPECT_EQ(filesIn(folder), (QStringList{u"notes.txt"_s, u"other-20261101.mdb"_s, u"poem-20261104.mdb"_s, u"poem-20261105.mdb"_s,
                                            u"poem-20261106.mdb"_s, u"poem-20261107.mdb"_s, u"poem-20261108.mdb"_s,
                                            u"poem-20261206.mdb"_s, u"poem-20261207.mdb"_s}));
    EXPECT_TRUE(sink.messages.isEmpty());
}

TEST(DailyBackup, NeverWhileLockedAndAFailureWarnsOnceWithoutStoppingTheWrite) {
    FixtureDb fx;
    fx.fillSample();
    QDate today(2026, 12, 6);
    RecordingSink sink;
    PoemStore store(&sink);
    store.setClockForTesting([&] { return today; });
    ASSERT_EQ(store.OpenPoemDatabase(0, fx.path()), 0);
    EXPECT_EQ(store.FindTable(QStringLiteral("Poetry"), QString()), 9);
    EXPECT_FALSE(QFileInfo::exists(fx.dir() + QStringLiteral("/backup")));

    // A file stands where the folder would go.
    writeFile(fx.dir() + QStringLiteral("/backup"), "x");
    ASSERT_EQ(store.OpenPoemDatabase(1, fx.path()), 1);
    for (int qty = 5; qty <= 7; ++qty) {
        if (qty == 7) today = today.addDays(1);
        store.db().exec(QStringLiteral("Update Poetry Set fQty=%1 Where fPoemID=1").arg(qty));
        EXPECT_EQ(fx.count(kQtyOfFirst), qty);
    }
    ASSERT_EQ(sink.messages.size(), 1);
    EXPECT_TRUE(sink.messages[0].text.startsWith(QStringLiteral("今天的自动备份没有做成：") + fx.dir() +
                                                 QStringLiteral("/backup/poem-20261206.mdb")))
        << qPrintable(sink.messages[0].text);
    EXPECT_EQ(sink.messages[0].icon, MessageSink::Icon::Warning);
}

TEST(IntegrityCheck, SoundDamagedAndStopped) {
    FixtureDb fx;
    fx.fillSample();
    // Enough rows that the check takes many steps.
    fx.db().execNative(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<3000) "
        "INSERT INTO Poetry (fPoet,fTitle,fContent) SELECT 'p'||(i%50),'t'||i,hex(randomblob(40)) FROM n"));
    fx.closeConnection();

    int asked = 0;
    IntegrityReport sound = CheckIntegrity(fx.path(), [&] { return ++asked > 0; });
    EXPECT_EQ(sound.outcome, IntegrityReport::Outcome::Sound);
    EXPECT_GT(asked, 0);
    EXPECT_EQ(DescribeIntegrity(sound, fx.path()),
              QStringLiteral("数据库检查完毕：") + fx.path() + QStringLiteral(" 完好，没有发现问题。"));

    EXPECT_EQ(CheckIntegrity(fx.path(), [] { return false; }).outcome, IntegrityReport::Outcome::Cancelled);

    // A page in the middle of the file overwritten.
    QFile f(fx.path());
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    const qint64 pages = f.size() / 4096;
    f.seek((pages / 2) * 4096);
    f.write(QByteArray(4096, '\x5a'));
    f.close();
    const IntegrityReport damaged = CheckIntegrity(fx.path(), [] { return true; });
    ASSERT_EQ(damaged.outcome, IntegrityReport::Outcome::Damaged);
    EXPECT_FALSE(damaged.problems.isEmpty());
    const QString text = DescribeIntegrity(damaged, fx.path());
    EXPECT_TRUE(text.startsWith(QStringLiteral("数据库检查发现 ") + fx.path() + QStringLiteral(" 已损坏："))) << qPrintable(text);
    EXPECT_TRUE(text.contains(damaged.problems[0]));
}
