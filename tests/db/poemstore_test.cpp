// Opening and validating a poem database, and the shared lookups.
#include "db/poemstore.h"
#include "db/schema.h"
#include "db/sqltext.h"
#include "support/fixture.h"
#include "support/recordingsink.h"

#include <QFile>
#include <functional>
#include <optional>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

// Opens as asked, or fails as media the program cannot use: a writable open
// fails the way a write-protected file does (root ignores file permissions, so
// the real thing cannot be made here), the locked open maybe too, or every open
// fails some other way.
struct MediaStore : PoemStore {
    enum Fault { None, ReadOnly, ReadOnlyNotEvenLocked, OutOfMemory };
    MediaStore(MessageSink* sink, Fault f) : PoemStore(sink), fault(f) {}
    const Fault fault;
    int openFile(const QString& path, bool writable, QString* error) override {
        if (fault == OutOfMemory) return *error = u"out of memory"_s, SQLITE_NOMEM;
        if (fault != None && writable)
            return *error = u"attempt to write a readonly database"_s, SQLITE_READONLY;
        if (fault == ReadOnlyNotEvenLocked) return *error = u"unable to open database file"_s, SQLITE_CANTOPEN;
        return PoemStore::openFile(path, writable, error);
    }
};

struct SampleDb : FixtureDb { SampleDb() { fillSample(); } };

// Stops waiting, or frees the file, at the n-th time it is asked.
struct ScriptedWait : BusyWait {
    std::function<bool(int)> answer;
    int asked = 0, over = 0;
    bool keepWaiting(const QString&, int) override { return answer(++asked); }
    void waitOver() override { ++over; }
};

// What the sink was told, each message as "<icon>:<text>" (i, !, x for information, warning, critical).
QStringList said(const RecordingSink& sink) {
    QStringList out;
    for (const RecordedMessage& m : sink.messages) out << QString(1, QChar(u" i!x?"[int(m.icon)])) + u':' + m.text;
    return out;
}

} // namespace

TEST(LockedMode, KeepsEveryWriterOutInEveryJournalMode) {
    // Also a file another tool switched to a write-ahead log: a read transaction
    // alone does not stop a writer to the log.
    for (const auto& [journal, readOnly] :
         {std::pair{"delete", false}, {"wal", false}, {"truncate", false}, {"delete", true}}) {
        SCOPED_TRACE(testing::Message() << journal << (readOnly ? " read-only" : ""));
        SampleDb fx;
        fx.db().execNative(u"PRAGMA journal_mode="_s + QLatin1String(journal));
        RecordingSink sink;
        MediaStore store(&sink, readOnly ? MediaStore::ReadOnly : MediaStore::None);
        // Opened writable, then reopened locked; a read-only file falls back to locked and says so.
        EXPECT_EQ(store.OpenPoemDatabase(1, fx.path()), readOnly ? 0 : 1);
        if (!readOnly) { ASSERT_EQ(store.OpenPoemDatabase(0, fx.path()), 0); }
        EXPECT_EQ(store.FindTable(u"Poetry"_s, QString()), 9);
        EXPECT_EQ(said(sink), readOnly ? QStringList{u"!:数据库文件 "_s + fx.path() + u" 只读 ?"_s} : QStringList());
        // The locked connection refuses writes itself, and no other writer gets one in.
        EXPECT_THROW(store.db().exec(u"Update Poetry Set fQty=1"_s), SqlError);
        sqlite3_busy_timeout(fx.db().handle(), 50);
        EXPECT_THROW(fx.db().execNative(u"UPDATE Poetry SET fQty=7 WHERE fPoemID=1"_s), SqlError);
        store.close();
        fx.db().execNative(u"UPDATE Poetry SET fQty=7 WHERE fPoemID=1"_s);
        EXPECT_EQ(fx.count(u"select fQty from Poetry where fPoemID=1"_s), 7);
    }
}

TEST(OpenPoemDatabase, FileLeftByAnInterruptedWriteIsRecovered) {
    const struct { qint16 mode; bool readOnly; qint16 result; } cases[] = {
        {0, false, 0}, {1, false, 1}, {0, true, -1}, {1, true, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << (c.readOnly ? " read-only" : ""));
        // The sample as a crash in the middle of a large write leaves it: a copy
        // of the file, part of the change already in it, with its hot journal.
        SampleDb fx;
        const QString path = fx.dir() + u"/crashed.mdb"_s;
        for (const char* sql :
             {"PRAGMA cache_size=10", "BEGIN", "UPDATE Poetry SET fContent=hex(zeroblob(200000)), fQty=99"})
            fx.db().execNative(QString::fromLatin1(sql));
        ASSERT_TRUE(QFile::copy(fx.path(), path));
        ASSERT_TRUE(QFile::copy(fx.path() + u"-journal"_s, path + u"-journal"_s));
        fx.db().execNative(u"ROLLBACK"_s);

        RecordingSink sink;
        MediaStore store(&sink, c.readOnly ? MediaStore::ReadOnly : MediaStore::None);
        EXPECT_EQ(store.OpenPoemDatabase(c.mode, path), c.result);
        if (c.result >= 0) {
            // Played back in full: the file as it was before the write began.
            EXPECT_TRUE(sink.messages.isEmpty());
            EXPECT_EQ(store.FindTable(u"Poetry"_s, u"fQty=99"_s), 0);
            store.close();
            EXPECT_FALSE(QFile::exists(path + u"-journal"_s));
        } else {
            // Cannot be written here: said so, and the journal stays for a later writable open.
            ASSERT_EQ(sink.messages.size(), c.mode == 1 ? 2 : 1);
            EXPECT_TRUE(sink.messages.last().text.startsWith(u"数据库文件 "_s + path + u" 需要恢复："_s))
                << qPrintable(sink.messages.last().text);
            EXPECT_EQ(store.lastOpenProblem(), PoemStore::OpenProblem::NeedsRecovery);
            EXPECT_TRUE(QFile::exists(path + u"-journal"_s));
        }
    }
}

// Held exclusively at start and given up on is the main window test's case.
TEST(OpenPoemDatabase, FileHeldByAnotherProgramIsNamedAndTheWaitCanStop) {
    // The first: a writer at work keeps the lock from being taken.
    const struct { qint16 mode; bool exclusive, freedOnThirdAsk; } cases[] = {{0, false, false}, {1, true, true},
                                                                              {0, false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << (c.exclusive ? " exclusive" : " immediate"));
        SampleDb fx;
        fx.db().execNative(c.exclusive ? u"BEGIN EXCLUSIVE"_s : u"BEGIN IMMEDIATE"_s);
        if (c.exclusive) fx.db().execNative(u"UPDATE Poetry SET fQty=fQty"_s); // takes the exclusive lock now
        ScriptedWait wait;
        wait.answer = [&](int n) {
            if (n == 3 && c.freedOnThirdAsk) fx.db().execNative(u"COMMIT"_s);
            return n < 3 || c.freedOnThirdAsk;
        };
        RecordingSink sink;
        PoemStore store(&sink);
        store.setBusyWait(&wait);
        EXPECT_EQ(store.OpenPoemDatabase(c.mode, fx.path()), c.freedOnThirdAsk ? c.mode : -1);
        EXPECT_GE(wait.asked, 3);
        EXPECT_EQ(wait.over, 1);
        EXPECT_EQ(store.isOpen(), c.freedOnThirdAsk);
        EXPECT_EQ(said(sink), c.freedOnThirdAsk ? QStringList() : QStringList{u"x:数据库文件 "_s + fx.path() +
                  u" 正被另一个程序占用，现在无法打开。\n\n请关闭正在使用它的程序后再试。"_s});
    }
}

// Random bytes are the main window test's case.
TEST(OpenPoemDatabase, FilesThatAreNoPoemDatabaseDamagedOrNoneAtAll) {
    SampleDb fx;
    fx.closeConnection();
    QFile f(fx.path());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray good = f.readAll();
    {
        SqlDatabase db; // a SQLite database without the Poetry table
        db.open(fx.dir() + u"/other.mdb"_s, false, true);
        db.execNative(u"CREATE TABLE Poet (fPoet TEXT)"_s);
    }
    using P = PoemStore::OpenProblem;
    const QString foreign = u" 并不是《蓝溪诗汇》数据库文件，操作失败！"_s, damaged = u" 已损坏，无法打开。"_s,
                  file = u"数据库文件 "_s;
    struct Case { const char* name; std::optional<QByteArray> bytes; qint16 mode; QString before, after; P problem; };
    const Case cases[] = {
        {"empty.mdb", QByteArray(), 1, {}, foreign, P::NotPoemDatabase},
        {"text.mdb", QByteArray("床前明月光\nnot a database\n"), 0, {}, foreign, P::NotPoemDatabase},
        {"other.mdb", {}, 0, {}, foreign, P::NotPoemDatabase},
        {"header.mdb", QByteArray(good).replace(16, 2, QByteArray("\x00\x07", 2)), 1, file, damaged, P::Damaged},
        {"schema.mdb", QByteArray(good).replace(100, 400, QByteArray(400, '\x5a')), 0, file, damaged, P::Damaged},
        {"none.mdb", {}, 1, u"无法打开数据库文件 "_s, u" 。\n\n文件不存在。"_s, P::Missing}, // and never created
    };
    for (const auto& c : cases) {
        const QString path = fx.dir() + u'/' + QLatin1String(c.name);
        QFile out(path);
        if (c.bytes) { ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(*c.bytes) == c.bytes->size()); }
        out.close();
        RecordingSink sink;
        PoemStore store(&sink);
        EXPECT_EQ(store.OpenPoemDatabase(c.mode, path), -1) << c.name;
        EXPECT_FALSE(store.isOpen());
        EXPECT_EQ(store.lastOpenProblem(), c.problem) << c.name;
        ASSERT_EQ(sink.messages.size(), 1) << c.name;
        EXPECT_TRUE(said(sink)[0].startsWith(u"x:"_s + c.before + path + c.after)) << qPrintable(said(sink)[0]);
        EXPECT_EQ(sink.messages[0].title, u"澄川软件"_s);
    }
    EXPECT_FALSE(QFile::exists(fx.dir() + u"/none.mdb"_s));
}

// Failing in locked mode as well, or at all: the open-failure message with the reason.
TEST(OpenPoemDatabase, FailuresToOpenAreNamed) {
    SampleDb fx;
    const std::pair<MediaStore::Fault, QString> cases[] = {
        {MediaStore::ReadOnlyNotEvenLocked, u"x:无法打开数据库文件 "_s + fx.path() + u" 。\n\nunable to open database file"_s},
        {MediaStore::OutOfMemory, u"x:系统无法打开数据库文件 "_s + fx.path() +
                                      u"，请确认您已经安装了“数据访问组件”。\n\n提示：您可以从 [澄川诗词网站] "_s +
                                      kProductWebPage + u" 下载，或者从 [Microsoft网站] 下载该组件。"_s}};
    for (const auto& [fault, message] : cases) {
        RecordingSink sink;
        MediaStore store(&sink, fault);
        EXPECT_EQ(store.OpenPoemDatabase(1, fx.path()), -1);
        EXPECT_EQ(said(sink).value(said(sink).size() - 1), message);
        EXPECT_FALSE(store.isOpen());
    }
}

TEST(Lookups, CountsBookmarksAndIds) {
    SampleDb fx;
    RecordingSink sink;
    PoemStore store(&sink);
    ASSERT_EQ(store.OpenPoemDatabase(1, fx.path()), 1);
    EXPECT_EQ(store.FindTable(u"Poetry"_s, u"fPoet='李白'"_s), 2);
    EXPECT_EQ(store.FindTable(u"NoSuchTable"_s, QString()), -1);
    EXPECT_EQ(store.FindTable(u"Poetry"_s, u"no such column = 1"_s), -1);
    EXPECT_EQ(store.getMaxBookmark(), 5);
    EXPECT_EQ(store.FindPoemID(u"静夜思"_s, u"李白"_s, u"七言绝句"_s), -1);
    EXPECT_EQ(store.FindPoemID(u"无题"_s, u"无名氏"_s, QString()), 6); // a NULL form is found with an empty one
    EXPECT_EQ(store.FindPoemID(u"Moon's Song"_s, u"li bai"_s, u"乐府"_s), 9);
    EXPECT_EQ(store.FindBookID(QString()), 4);
    EXPECT_EQ(store.FindBookID(u"没有"_s), -1);

    // Awkward values round-trip through the lookups.
    FixtureDb empty;
    ASSERT_EQ(store.OpenPoemDatabase(1, empty.path()), 1);
    int n = 0;
    for (const QString& v : {u"It's"_s, u"''"_s, u"100%"_s, u"a_b"_s, u"C:\\dir\\"_s, u"𠀀字"_s, u" 空格 "_s, u"a & b"_s}) {
        const QString t = v + QString::number(++n);
        store.db().exec(u"Insert Into Poetry (fBookID,fType,fStyle,fPoet,fDynasty,fTitle,fPre,fContent,fMemo,fQty) "
                        "Values (-1,'诗',%1,%2,'唐',%3,'','x','',1)"_s.arg(sqlText(v), sqlText(v), sqlText(t)));
        store.db().exec(u"Insert Into PoetBook (fBook,fBookOrderID,fBookSelected) Values (%1,0,1)"_s.arg(sqlText(t)));
        const qint32 id = store.FindPoemID(t, v, v);
        EXPECT_EQ(empty.text(u"select fTitle from Poetry where fPoemID=%1"_s.arg(id)), t) << qPrintable(v);
        EXPECT_GT(store.FindBookID(t), 0) << qPrintable(v);
        EXPECT_EQ(store.FindTable(u"Poetry"_s, u"fTitle="_s + sqlText(t)), 1);
    }
}
