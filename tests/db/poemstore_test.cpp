// Opening and validating a poem database, and the shared lookups.
#include "db/poemstore.h"
#include "db/schema.h"
#include "db/sqltext.h"
#include "support/fixture.h"
#include "support/recordingsink.h"

#include <QFile>
#include <functional>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

// Simulates read-only media: a writable open fails the way a write-protected
// file does (root ignores file permissions, so the real thing cannot be made here).
class ReadOnlyMediaStore : public PoemStore {
public:
    using PoemStore::PoemStore;
    int writableAttempts = 0;
    bool failLockedToo = false;

protected:
    int openFile(const QString& path, bool writable, QString* error) override {
        if (writable) {
            ++writableAttempts;
            *error = QStringLiteral("attempt to write a readonly database");
            return SQLITE_READONLY;
        }
        if (failLockedToo) {
            *error = QStringLiteral("unable to open database file");
            return SQLITE_CANTOPEN;
        }
        return PoemStore::openFile(path, writable, error);
    }
};

class OtherFailureStore : public PoemStore {
public:
    using PoemStore::PoemStore;

protected:
    int openFile(const QString&, bool, QString* error) override {
        *error = QStringLiteral("out of memory");
        return SQLITE_NOMEM;
    }
};

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A fresh store's open that must fail saying one thing; returns what it said.
RecordedMessage refusal(const QString& path, qint16 mode = 1, PoemStore::OpenProblem* problem = nullptr) {
    RecordingSink sink;
    PoemStore store(&sink);
    EXPECT_EQ(store.OpenPoemDatabase(mode, path), -1) << qPrintable(path);
    EXPECT_FALSE(store.isOpen());
    EXPECT_EQ(sink.messages.size(), 1) << qPrintable(path);
    if (problem) *problem = store.lastOpenProblem();
    return sink.messages.value(0);
}

// The sample database and a store that reports to a recording sink.
class SampleStore : public ::testing::Test {
protected:
    void SetUp() override { fx.fillSample(); }
    FixtureDb fx;
    RecordingSink sink;
    PoemStore store{&sink};
};

} // namespace

TEST(LockedMode, KeepsEveryWriterOutInEveryJournalMode) {
    // A file another tool switched to a write-ahead log, too: a read transaction
    // alone does not stop a writer to the log.
    const struct {
        const char* journal;
        bool readOnlyMedia; // the file cannot be written here: a read lock holds writers out
    } cases[] = {{"delete", false}, {"wal", false}, {"truncate", false}, {"delete", true}};
    for (const auto& c : cases) {
        const QString label = QString::fromLatin1(c.journal) + (c.readOnlyMedia ? u" read-only"_s : u""_s);
        FixtureDb fx;
        fx.fillSample();
        fx.db().execNative(QStringLiteral("PRAGMA journal_mode=") + QLatin1String(c.journal));
        RecordingSink sink;
        ReadOnlyMediaStore readOnly(&sink);
        PoemStore writable(&sink);
        PoemStore& store = c.readOnlyMedia ? readOnly : writable;
        if (!c.readOnlyMedia) {
            EXPECT_EQ(store.OpenPoemDatabase(1, fx.path()), 1) << qPrintable(label);
            EXPECT_EQ(store.FindTable(QStringLiteral("Poet"), QString()), 4);
        }
        ASSERT_EQ(store.OpenPoemDatabase(0, fx.path()), 0) << qPrintable(label);
        EXPECT_EQ(store.FindTable(QStringLiteral("Poetry"), QString()), 9);
        EXPECT_TRUE(sink.messages.isEmpty()) << qPrintable(label);
        // The locked connection refuses writes itself ...
        EXPECT_THROW(store.db().exec(QStringLiteral("Update Poetry Set fQty=1")), SqlError) << qPrintable(label);
        // ... and no other writer gets a change in while it is open.
        sqlite3_busy_timeout(fx.db().handle(), 50);
        EXPECT_THROW(fx.db().execNative(QStringLiteral("UPDATE Poetry SET fQty=7 WHERE fPoemID=1")), SqlError)
            << qPrintable(label);
        EXPECT_EQ(fx.count(QStringLiteral("select fQty from Poetry where fPoemID=1")), 1) << qPrintable(label);
        store.close();
        fx.db().execNative(QStringLiteral("UPDATE Poetry SET fQty=7 WHERE fPoemID=1"));
        EXPECT_EQ(fx.count(QStringLiteral("select fQty from Poetry where fPoemID=1")), 7);
    }
}

namespace {

// The sample database as a crash in the middle of a large write leaves it: a
// copy of the file, part of the change already in it, with its hot journal.
QString crashedCopy(FixtureDb& fx, const QString& dir) {
    const QString copy = dir + QStringLiteral("/crashed.mdb");
    fx.db().execNative(QStringLiteral("PRAGMA cache_size=10"));
    fx.db().execNative(QStringLiteral("BEGIN"));
    fx.db().execNative(QStringLiteral("UPDATE Poetry SET fContent=hex(zeroblob(200000)), fQty=99"));
    EXPECT_TRUE(QFile::copy(fx.path(), copy));
    EXPECT_TRUE(QFile::copy(fx.path() + QStringLiteral("-journal"), copy + QStringLiteral("-journal")));
    fx.db().execNative(QStringLiteral("ROLLBACK"));
    return copy;
}

qint64 scalar(const QString& path, const char* sql) {
    SqlDatabase db;
    db.open(path, true);
    SqlStatement st = db.prepareNative(QString::fromLatin1(sql));
    return st.next() ? st.int64(0) : -1;
}

} // namespace

TEST(OpenPoemDatabase, FileLeftByAnInterruptedWriteIsRecovered) {
    const struct {
        qint16 mode;
        bool readOnlyMedia;
        qint16 result;
    } cases[] = {{0, false, 0}, {1, false, 1}, {0, true, -1}, {1, true, -1}};
    for (const auto& c : cases) {
        const QString label = QStringLiteral("mode %1%2").arg(c.mode).arg(c.readOnlyMedia ? u" read-only"_s : u""_s);
        FixtureDb fx;
        fx.fillSample();
        const QString path = crashedCopy(fx, fx.dir());
        RecordingSink sink;
        ReadOnlyMediaStore readOnly(&sink);
        PoemStore writable(&sink);
        PoemStore& store = c.readOnlyMedia ? readOnly : writable;
        EXPECT_EQ(store.OpenPoemDatabase(c.mode, path), c.result) << qPrintable(label);
        if (c.result >= 0) {
            // Played back in full: the file as it was before the write began.
            EXPECT_TRUE(sink.messages.isEmpty()) << qPrintable(label);
            EXPECT_EQ(store.FindTable(QStringLiteral("Poetry"), QStringLiteral("fQty=99")), 0) << qPrintable(label);
            store.close();
            EXPECT_FALSE(QFile::exists(path + QStringLiteral("-journal"))) << qPrintable(label);
            EXPECT_EQ(scalar(path, "select count(*) from pragma_integrity_check where integrity_check='ok'"), 1);
        } else {
            // Cannot be written here: said so, and the journal stays for a later writable open.
            ASSERT_EQ(sink.messages.size(), c.mode == 1 ? 2 : 1) << qPrintable(label);
            EXPECT_TRUE(sink.messages.last().text.startsWith(QStringLiteral("数据库文件 ") + path +
                                                             QStringLiteral(" 需要恢复：")))
                << qPrintable(sink.messages.last().text);
            EXPECT_EQ(store.lastOpenProblem(), PoemStore::OpenProblem::NeedsRecovery);
            EXPECT_TRUE(QFile::exists(path + QStringLiteral("-journal"))) << qPrintable(label);
        }
    }
}

namespace {

// Stops waiting, or frees the file, at the n-th time it is asked.
class ScriptedWait : public BusyWait {
public:
    std::function<bool(int)> answer;
    int asked = 0;
    int over = 0;
    bool keepWaiting(const QString&, int) override { return answer(++asked); }
    void waitOver() override { ++over; }
};

} // namespace

TEST(OpenPoemDatabase, FileHeldByAnotherProgramIsNamedAndTheWaitCanStop) {
    const struct {
        qint16 mode;
        const char* otherLock; // what the other program holds
        bool freedOnThirdAsk;
        qint16 result;
    } cases[] = {{1, "BEGIN EXCLUSIVE", false, -1},
                 {0, "BEGIN EXCLUSIVE", false, -1},
                 {0, "BEGIN IMMEDIATE", false, -1}, // a writer at work keeps the lock from being taken
                 {1, "BEGIN EXCLUSIVE", true, 1},
                 {0, "BEGIN IMMEDIATE", true, 0}};
    for (const auto& c : cases) {
        const QString label = QStringLiteral("mode %1, %2").arg(c.mode).arg(QLatin1String(c.otherLock));
        FixtureDb fx;
        fx.fillSample();
        fx.db().execNative(QString::fromLatin1(c.otherLock));
        if (QLatin1String(c.otherLock) == QLatin1String("BEGIN EXCLUSIVE"))
            fx.db().execNative(QStringLiteral("UPDATE Poetry SET fQty=fQty")); // takes the exclusive lock now
        ScriptedWait wait;
        wait.answer = [&](int n) {
            if (n < 3) return true;
            if (c.freedOnThirdAsk) fx.db().execNative(QStringLiteral("COMMIT"));
            return c.freedOnThirdAsk;
        };
        RecordingSink sink;
        PoemStore store(&sink);
        store.setBusyWait(&wait);
        EXPECT_EQ(store.OpenPoemDatabase(c.mode, fx.path()), c.result) << qPrintable(label);
        EXPECT_GE(wait.asked, 3) << qPrintable(label);
        EXPECT_EQ(wait.over, 1) << qPrintable(label);
        if (c.result == -1) {
            ASSERT_EQ(sink.messages.size(), 1) << qPrintable(label);
            EXPECT_EQ(sink.messages[0].text, QStringLiteral("数据库文件 ") + fx.path() +
                                                 QStringLiteral(" 正被另一个程序占用，现在无法打开。\n\n"
                                                                "请关闭正在使用它的程序后再试。"));
            EXPECT_FALSE(store.isOpen());
        } else {
            EXPECT_TRUE(sink.messages.isEmpty()) << qPrintable(label);
        }
    }
}

TEST(OpenPoemDatabase, DamagedFileIsNotCalledAForeignOne) {
    FixtureDb fx;
    fx.fillSample();
    fx.closeConnection();
    QFile f(fx.path());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray good = f.readAll();
    f.close();
    const struct {
        const char* name;
        int offset;
        QByteArray bytes;
    } cases[] = {{"page size in the header", 16, QByteArray("\x00\x07", 2)},
                 {"schema page overwritten", 100, QByteArray(400, '\x5a')}};
    for (const auto& c : cases) {
        QByteArray bad = good;
        bad.replace(c.offset, c.bytes.size(), c.bytes);
        const QString path = fx.dir() + QStringLiteral("/damaged.mdb");
        writeFile(path, bad);
        PoemStore::OpenProblem problem{};
        const RecordedMessage said = refusal(path, 1, &problem);
        EXPECT_TRUE(said.text.startsWith(u"数据库文件 "_s + path + u" 已损坏，无法打开。"_s)) << qPrintable(said.text);
        EXPECT_EQ(said.icon, MessageSink::Icon::Critical);
        EXPECT_EQ(problem, PoemStore::OpenProblem::Damaged) << c.name;
    }
}

TEST(OpenPoemDatabase, FilesThatAreNoPoemDatabaseOrNoneAtAll) {
    QTemporaryDir dir;
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    QByteArray access(4096, '\0');
    access.replace(0, 19, QByteArray("\x00\x01\x00\x00Standard Jet DB", 19));
    QByteArray random;
    for (int i = 0; i < 8192; ++i) random.append(char((i * 7919 + 13) & 0xff));
    const Case cases[] = {{"empty.mdb", QByteArray()},
                          {"random.mdb", random},
                          {"text.mdb", QByteArray("床前明月光\nnot a database\n")},
                          {"access.mdb", access}};
    for (const Case& c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        writeFile(path, c.bytes);
        const RecordedMessage said = refusal(path);
        EXPECT_EQ(said.text, path + QStringLiteral(" 并不是《蓝溪诗汇》数据库文件，操作失败！"));
        EXPECT_EQ(said.icon, MessageSink::Icon::Critical);
        EXPECT_EQ(said.title, QStringLiteral("澄川软件"));
    }
    // A SQLite database without the Poetry table.
    const QString other = dir.filePath(QStringLiteral("other.mdb"));
    {
        SqlDatabase db;
        db.open(other, false, true);
        db.execNative(QStringLiteral("CREATE TABLE Poet (fPoet TEXT)"));
    }
    EXPECT_TRUE(refusal(other, 0).text.endsWith(QStringLiteral("并不是《蓝溪诗汇》数据库文件，操作失败！")));
    // A missing file is an open failure, and is never created.
    const QString none = dir.filePath(QStringLiteral("none.mdb"));
    const RecordedMessage said = refusal(none);
    EXPECT_FALSE(QFile::exists(none));
    EXPECT_TRUE(said.text.startsWith(u"无法打开数据库文件 "_s + none + u" 。\n\n"_s)) << qPrintable(said.text);
    EXPECT_EQ(said.icon, MessageSink::Icon::Critical);
}

TEST(OpenPoemDatabase, ReadOnlyFileFallsBackToLocked) {
    FixtureDb fx;
    fx.fillSample();
    RecordingSink sink;
    ReadOnlyMediaStore store(&sink);
    EXPECT_EQ(store.OpenPoemDatabase(1, fx.path()), 0);
    EXPECT_EQ(store.writableAttempts, 1);
    ASSERT_EQ(sink.messages.size(), 1);
    EXPECT_EQ(sink.messages[0].text, QStringLiteral("数据库文件 ") + fx.path() + QStringLiteral(" 只读 ?"));
    EXPECT_EQ(sink.messages[0].icon, MessageSink::Icon::Warning);
    EXPECT_EQ(store.FindTable(QStringLiteral("Poetry"), QString()), 9);

    // Failing in locked mode as well: the open-failure message with the reason.
    RecordingSink sink2;
    ReadOnlyMediaStore broken(&sink2);
    broken.failLockedToo = true;
    EXPECT_EQ(broken.OpenPoemDatabase(1, fx.path()), -1);
    ASSERT_EQ(sink2.messages.size(), 2);
    EXPECT_EQ(sink2.messages[1].text, QStringLiteral("无法打开数据库文件 ") + fx.path() +
                                          QStringLiteral(" 。\n\nunable to open database file"));
    EXPECT_EQ(sink2.messages[1].icon, MessageSink::Icon::Critical);
    EXPECT_FALSE(broken.isOpen());
}

TEST(OpenPoemDatabase, OtherFailuresNameTheDataComponent) {
    FixtureDb fx;
    RecordingSink sink;
    OtherFailureStore store(&sink);
    EXPECT_EQ(store.OpenPoemDatabase(1, fx.path()), -1);
    ASSERT_EQ(sink.messages.size(), 1);
    EXPECT_EQ(sink.messages[0].text,
              QStringLiteral("系统无法打开数据库文件 ") + fx.path() +
                  QStringLiteral("，请确认您已经安装了“数据访问组件”。\n\n提示：您可以从 [澄川诗词网站] ") +
                  kProductWebPage + QStringLiteral(" 下载，或者从 [Microsoft网站] 下载该组件。"));
}

TEST(OpenPoemDatabase, PlainForeignDatabaseIsBrowsable) {
    // Made by another tool: plain column types, no indexes, no collations.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plain.mdb"));
    {
        SqlDatabase db;
        db.open(path, false, true);
        db.execNative(QStringLiteral("CREATE TABLE Poetry (fPoemID INTEGER, fBookID INTEGER, fType TEXT, fStyle TEXT, "
                                     "fPoet TEXT, fDynasty TEXT, fTitle TEXT, fPre TEXT, fContent TEXT, fMemo TEXT, "
                                     "fQty INTEGER, fBookmark INTEGER, fBook_del TEXT)"));
        db.execNative(QStringLiteral("INSERT INTO Poetry VALUES (1,-1,'诗','五绝','王维','唐','鹿柴','','空山不见人','',1,0,NULL)"));
    }
    RecordingSink sink;
    PoemStore store(&sink);
    EXPECT_EQ(store.OpenPoemDatabase(1, path), 1);
    SqlStatement st = store.db().prepare(QStringLiteral(
        "select distinct a.fTitle,a.fStyle,a.fPoet,a.fPoemID,a.fBookmark,a.fBook_del from Poetry a  Where 1=1 And '' & "
        "a.fType = '诗' Order by a.fTitle,a.fPoet"));
    ASSERT_TRUE(st.next());
    EXPECT_EQ(st.text(0), QStringLiteral("鹿柴"));
}

TEST_F(SampleStore, CountsBookmarksAndIds) {
    ASSERT_EQ(store.OpenPoemDatabase(1, fx.path()), 1);
    EXPECT_EQ(store.FindTable(QStringLiteral("Poetry"), QStringLiteral("fPoet='李白'")), 2);
    EXPECT_EQ(store.FindTable(QStringLiteral("NoSuchTable"), QString()), -1);
    EXPECT_EQ(store.FindTable(QStringLiteral("Poetry"), QStringLiteral("no such column = 1")), -1);
    EXPECT_EQ(store.getMaxBookmark(), 5);
    EXPECT_EQ(store.FindPoemID(QStringLiteral("静夜思"), QStringLiteral("李白"), QStringLiteral("七言绝句")), -1);
    // A NULL form is found with an empty one.
    EXPECT_EQ(store.FindPoemID(QStringLiteral("无题"), QStringLiteral("无名氏"), QString()), 6);
    EXPECT_EQ(store.FindPoemID(QStringLiteral("Moon's Song"), QStringLiteral("li bai"), QStringLiteral("乐府")), 9);
    EXPECT_EQ(store.FindBookID(QString()), 4);
    EXPECT_EQ(store.FindBookID(QStringLiteral("没有")), -1);
    store.db().exec(QStringLiteral("Delete From Poetry"));
    EXPECT_EQ(store.getMaxBookmark(), 0);

    store.close();
    EXPECT_EQ(store.FindTable(QStringLiteral("Poet"), QString()), -1);
    EXPECT_EQ(store.getMaxBookmark(), 0);
    EXPECT_THROW(store.FindBookID(QStringLiteral("唐诗选")), SqlError);
}

TEST(Lookups, AwkwardValuesRoundTrip) {
    FixtureDb fx;
    RecordingSink sink;
    PoemStore store(&sink);
    ASSERT_EQ(store.OpenPoemDatabase(1, fx.path()), 1);
    const QString values[] = {QStringLiteral("It's"), QStringLiteral("''"), QStringLiteral("100%"),
                              QStringLiteral("a_b"), QStringLiteral("C:\\dir\\"), QStringLiteral("𠀀字"),
                              QStringLiteral(" 空格 "), QStringLiteral("a & b")};
    int n = 0;
    for (const QString& v : values) {
        ++n;
        const QString t = v + QString::number(n);
        store.db().exec(QStringLiteral("Insert Into Poetry (fBookID,fType,fStyle,fPoet,fDynasty,fTitle,fPre,fContent,"
                                       "fMemo,fQty) Values (-1,'诗',%1,%2,'唐',%3,'','x','',1)")
                            .arg(sqlText(v), sqlText(v), sqlText(t)));
        store.db().exec(QStringLiteral("Insert Into PoetBook (fBook,fBookOrderID,fBookSelected) Values (%1,0,1)").arg(sqlText(t)));
        const qint32 id = store.FindPoemID(t, v, v);
        EXPECT_GT(id, 0) << qPrintable(v);
        EXPECT_GT(store.FindBookID(t), 0) << qPrintable(v);
        EXPECT_EQ(store.FindTable(QStringLiteral("Poetry"), QStringLiteral("fTitle=") + sqlText(t)), 1);
        SqlStatement st = store.db().prepare(QStringLiteral("select fTitle from Poetry Where fPoemID = %1").arg(id));
        ASSERT_TRUE(st.next());
        EXPECT_EQ(st.text(0), t);
    }
}
