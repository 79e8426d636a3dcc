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

const QString kQtyOfFirst = u"select fQty from Poetry where fPoemID=1"_s;

// The sample and a store on it with a settable date.
class DailyBackup : public ::testing::Test {
protected:
    void SetUp() override {
        fx.fillSample();
        store.setClockForTesting([this] { return today; });
    }
    // Two writes of fQty, then one on the next day.
    void writeTwoDays() {
        for (int qty : {5, 6, 7}) {
            if (qty == 7) today = today.addDays(1);
            store.db().exec(u"Update Poetry Set fQty=%1 Where fPoemID=1"_s.arg(qty));
            EXPECT_EQ(fx.count(kQtyOfFirst), qty);
        }
    }
    FixtureDb fx;
    QDate today{2026, 12, 6};
    RecordingSink sink;
    PoemStore store{&sink};
};

} // namespace

TEST_F(DailyBackup, FirstWriteOfEachDayCopiesTheFileAsItWasAndKeepsSeven) {
    const QString folder = fx.dir() + u"/backup"_s;
    ASSERT_TRUE(QDir().mkpath(folder));
    for (int d = 1; d <= 8; ++d) writeFile(folder + u"/poem-202611%1.mdb"_s.arg(d, 2, 10, QChar(u'0')), "old");
    writeFile(folder + u"/notes.txt"_s, "mine");
    writeFile(folder + u"/other-20261101.mdb"_s, "another file's copy");
    ASSERT_EQ(store.OpenPoemDatabase(1, fx.path()), 1);
    EXPECT_EQ(store.FindTable(u"Poetry"_s, QString()), 9);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 10); // reading copies nothing
    writeTwoDays();
    // Each copy holds the value before the day's first write; the second write copies nothing.
    EXPECT_EQ(scalar(folder + u"/poem-20261206.mdb"_s, kQtyOfFirst), 1);
    EXPECT_EQ(scalar(folder + u"/poem-20261207.mdb"_s, kQtyOfFirst), 6);
    EXPECT_EQ(scalar(folder + u"/poem-20261207.mdb"_s,
                     u"select count(*) from pragma_integrity_check where integrity_check='ok'"_s), 1);
    // The seven newest copies of this file; other files untouched.
    EXPECT_EQ(QDir(folder).entryList(QDir::Files, QDir::Name),
              (QStringList{u"notes.txt"_s, u"other-20261101.mdb"_s, u"poem-20261104.mdb"_s, u"poem-20261105.mdb"_s,
                           u"poem-20261106.mdb"_s, u"poem-20261107.mdb"_s, u"poem-20261108.mdb"_s,
                           u"poem-20261206.mdb"_s, u"poem-20261207.mdb"_s}));
    EXPECT_TRUE(sink.messages.isEmpty());
}

TEST_F(DailyBackup, NeverWhileLockedAndAFailureWarnsOnceWithoutStoppingTheWrite) {
    ASSERT_EQ(store.OpenPoemDatabase(0, fx.path()), 0);
    EXPECT_EQ(store.FindTable(u"Poetry"_s, QString()), 9);
    EXPECT_FALSE(QFileInfo::exists(fx.dir() + u"/backup"_s));
    writeFile(fx.dir() + u"/backup"_s, "x"); // a file stands where the folder would go
    ASSERT_EQ(store.OpenPoemDatabase(1, fx.path()), 1);
    writeTwoDays();
    ASSERT_EQ(sink.messages.size(), 1);
    EXPECT_TRUE(sink.messages[0].text.startsWith(u"今天的自动备份没有做成："_s + fx.dir() + u"/backup/poem-20261206.mdb"_s))
        << qPrintable(sink.messages[0].text);
    EXPECT_EQ(sink.messages[0].icon, MessageSink::Icon::Warning);
}

// A sound file and its report's wording are the tools menu window test's.
TEST(IntegrityCheck, DamagedAndStopped) {
    FixtureDb fx;
    fx.fillSample();
    // Enough rows that the check takes many steps.
    fx.db().execNative(u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<3000) INSERT INTO "
                       "Poetry (fPoet,fTitle,fContent) SELECT 'p'||(i%50),'t'||i,hex(randomblob(40)) FROM n"_s);
    fx.closeConnection();
    EXPECT_EQ(CheckIntegrity(fx.path(), [] { return false; }).outcome, IntegrityReport::Outcome::Cancelled);
    // A page in the middle of the file overwritten.
    QFile f(fx.path());
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.seek((f.size() / 4096 / 2) * 4096);
    f.write(QByteArray(4096, '\x5a'));
    f.close();
    const IntegrityReport damaged = CheckIntegrity(fx.path(), [] { return true; });
    ASSERT_EQ(damaged.outcome, IntegrityReport::Outcome::Damaged);
    ASSERT_FALSE(damaged.problems.isEmpty());
    const QString text = DescribeIntegrity(damaged, fx.path());
    EXPECT_TRUE(text.startsWith(u"数据库检查发现 "_s + fx.path() + u" 已损坏："_s)) << qPrintable(text);
    EXPECT_TRUE(text.contains(damaged.problems[0]));
}
