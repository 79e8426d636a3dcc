// The corpus importer on a small package in the corpus's own file layout,
// written by the test into a temporary folder.
#include "corpusimporter.h"
#include "support/fixture.h"
#include "textconverter.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <ostream>

using namespace Qt::StringLiterals;

// Readable failure messages.
void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

void writeFile(const QString& path, const char* utf8) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(utf8);
}

// A package with Tang and Song shi in traditional characters, Song ci, the
// author lists, and the 诗经.
class Package {
public:
    Package() {
        const QString d = m_dir.path() + QStringLiteral("/dist/");
        writeFile(d + u"quantangshi/poet.tang.0.json"_s, R"([
 {"author": "李白", "title": "靜夜思", "paragraphs": ["床前明月光，疑是地上霜。", "舉頭望明月，低頭思故鄉。"]},
 {"author": "杜甫", "title": "登高", "paragraphs": ["風急天高猿嘯哀，渚清沙白鳥飛回。", "無邊落木蕭蕭下，不盡長江滾滾來。",
   "萬里悲秋常作客，百年多病獨登臺。", "艱難苦恨繁霜鬢，潦倒新停濁酒杯。"]},
 {"author": "李白", "title": "", "paragraphs": ["白日依山盡 ，黃河入海流(一作：黃河流入海)。", "欲窮千里目, 更上一層樓。"]},
 {"author": "李白", "title": "空詩", "paragraphs": []}
])");
        // Numbered files are read by number, not by name: 1000 after 0.
        writeFile(d + u"quantangshi/poet.tang.1000.json"_s, R"([
 {"author": "李白", "title": "靜夜思", "paragraphs": ["床前明月光，疑是地上霜。", "舉頭望明月，低頭思故鄉。"]}
])");
        writeFile(d + u"quantangshi/authors.tang.json"_s, R"([
 {"name": "李白", "desc": "李白，字太白。     李白，字太白，又一說。"},
 {"name": "杜甫", "desc": "杜甫，字子美。"}
])");
        writeFile(d + u"quantangshi/poet.song.0.json"_s, R"([
 {"author": "蘇軾", "title": "題西林壁", "paragraphs": ["橫看成嶺側成峰，遠近高低各不同。", "不識廬山真面目，只緣身在此山中。"]}
])");
        writeFile(d + u"quantangshi/authors.song.json"_s, R"([
 {"name": "蘇軾", "desc": "蘇軾，字子瞻，號東坡居士。"}
])");
        writeFile(d + u"songci/ci.song.0.json"_s, R"([
 {"author": "苏轼", "rhythmic": "木兰花・玉楼春", "paragraphs": ["霜余已失长淮阔，空听潺潺清颍咽。", "佳人犹唱醉翁词，四十三年如电抹。"]},
 {"author": "晏殊", "rhythmic": "浣溪沙", "paragraphs": ["一曲新词酒一杯，去年天气旧亭台。", "夕阳西下几时回？"]}
])");
        writeFile(d + u"songci/author.song.json"_s, R"([
 {"name": "晏殊", "description": "晏殊：旧传。--字同叔，抚州临川人。官至宰相。主要作品有：浣溪沙", "short_description": ""}
])");
        writeFile(d + u"shijing/shijing.json"_s, R"([
 {"title": "关雎", "chapter": "国风", "section": "周南", "content": ["关关雎鸠，在河之洲。窈窕淑女，君子好逑。"]}
])");
    }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

class CorpusImporter : public ::testing::Test {
protected:
    Package pkg;
    FixtureDb fx;

    ImportResult run(const QStringList& collections, bool simplify, const std::atomic<bool>* stop = nullptr,
                     std::function<void(const ImportProgress&)> progress = {}) {
        ImportOptions o;
        o.packageDir = pkg.path();
        o.databasePath = fx.path();
        o.collections = collections;
        o.simplify = simplify;
        o.threads = 2;
        o.stop = stop;
        o.progress = std::move(progress);
        return ImportCorpus(o);
    }
    qint64 count(const char* sql) { return fx.count(QString::fromUtf8(sql)); }
    QString text(const char* sql) { return fx.text(QString::fromUtf8(sql)); }
};

const QStringList kShiAndCi{QStringLiteral("tang"), QStringLiteral("song"), QStringLiteral("ci")};

TEST_F(CorpusImporter, SecondImportAddsNothingAndRepeatsInTheSourceAreSkipped) {
    const ImportResult first = run(kShiAndCi, false);
    // Seven poems with text; the repeat of 靜夜思 in the second file is skipped.
    EXPECT_EQ(first.added, 6);
    EXPECT_EQ(first.skipped, 1);
    EXPECT_EQ(count("SELECT count(*) FROM Poetry"), 6);

    const ImportResult second = run(kShiAndCi, false);
    EXPECT_EQ(second.added, 0);
    EXPECT_EQ(second.skipped, 7);
    EXPECT_EQ(second.poetsAdded, 0);
    EXPECT_EQ(count("SELECT count(*) FROM Poetry"), 6);
    EXPECT_EQ(count("SELECT count(*) FROM Poet"), 5);
    // The planner's statistics were gathered.
    EXPECT_GT(count("SELECT count(*) FROM sqlite_stat1 WHERE tbl='Poetry'"), 0);
}

TEST_F(CorpusImporter, RowsCarryTheProgramsConventions) {
    run(kShiAndCi, false);
    EXPECT_EQ(count("SELECT count(*) FROM Poetry WHERE fBookID=-1 AND fQty=1 AND fBookmark=0 AND fBook_del IS NULL"),
              6);
    EXPECT_EQ(text("SELECT fContent FROM Poetry WHERE fTitle='靜夜思'"),
              QStringLiteral("床前明月光，疑是地上霜。\r\n舉頭望明月，低頭思故鄉。"));
    EXPECT_EQ(text("SELECT fDynasty||'|'||fType FROM Poetry WHERE fTitle='登高'"), QStringLiteral("唐|诗"));
    EXPECT_EQ(text("SELECT fDynasty||'|'||fType FROM Poetry WHERE fTitle='浣溪沙'"), QStringLiteral("宋|词"));
    // No title becomes 无题; blanks go, ASCII commas become full-width, and the
    // bracketed variant reading moves into the notes.
    EXPECT_EQ(text("SELECT fContent FROM Poetry WHERE fTitle='无题'"),
              QStringLiteral("白日依山盡，黃河入海流。\r\n欲窮千里目，更上一層樓。"));
    EXPECT_EQ(text("SELECT fMemo FROM Poetry WHERE fTitle='无题'"), QStringLiteral("一作：黃河流入海"));
    // A poem without text is not imported.
    EXPECT_EQ(count("SELECT count(*) FROM Poetry WHERE fTitle='空詩'"), 0);
}

TEST_F(CorpusImporter, CiTakeTitleAndFormFromTheTune) {
    run({QStringLiteral("ci")}, false);
    EXPECT_EQ(text("SELECT fTitle||'|'||fStyle||'|'||fMemo FROM Poetry WHERE fPoet='苏轼'"),
              QStringLiteral("木兰花|木兰花|调名一作《玉楼春》"));
    EXPECT_EQ(text("SELECT fTitle||'|'||fStyle FROM Poetry WHERE fPoet='晏殊'"), QStringLiteral("浣溪沙|浣溪沙"));
}

TEST_F(CorpusImporter, OnePoetRowPerNameWithItsBiography) {
    // Already held: 杜甫 with a biography of the user's own, 晏殊 without one.
    fx.db().execNative(QStringLiteral("INSERT INTO Poet (fPoet,fBrief) VALUES ('杜甫','用户写的简介'),('晏殊','')"));
    const ImportResult r = run(kShiAndCi, false);
    EXPECT_EQ(count("SELECT count(*) FROM Poet"), 5); // 李白 杜甫 蘇軾 苏轼 晏殊
    EXPECT_EQ(count("SELECT count(*) FROM (SELECT fPoet FROM Poet GROUP BY fPoet HAVING count(*)>1)"), 0);
    EXPECT_EQ(r.poetsAdded, 3);
    EXPECT_EQ(r.briefsFilled, 1);
    // The user's text stays; the empty one is filled; merged entries give the first.
    EXPECT_EQ(text("SELECT fBrief FROM Poet WHERE fPoet='杜甫'"), QStringLiteral("用户写的简介"));
    EXPECT_EQ(text("SELECT fBrief FROM Poet WHERE fPoet='晏殊'"), QStringLiteral("字同叔，抚州临川人。官至宰相。"));
    EXPECT_EQ(text("SELECT fBrief FROM Poet WHERE fPoet='李白'"), QStringLiteral("李白，字太白。"));
}

TEST_F(CorpusImporter, SimplifiedConversionMergesTheSpellingsOfOnePoet) {
    if (!SimplifiedConversionAvailable()) GTEST_SKIP() << "built without OpenCC";
    run(kShiAndCi, true);
    EXPECT_EQ(text("SELECT fContent FROM Poetry WHERE fTitle='静夜思'"),
              QStringLiteral("床前明月光，疑是地上霜。\r\n举头望明月，低头思故乡。"));
    // 蘇軾 of the shi and 苏轼 of the ci are one poet now, with the shi list's biography.
    EXPECT_EQ(count("SELECT count(*) FROM Poet WHERE fPoet IN ('苏轼','蘇軾')"), 1);
    EXPECT_EQ(text("SELECT fBrief FROM Poet WHERE fPoet='苏轼'"), QStringLiteral("苏轼，字子瞻，号东坡居士。"));
    EXPECT_EQ(count("SELECT count(*) FROM Poetry WHERE fPoet='苏轼'"), 2);
    // Imported once simplified, the same import again adds nothing.
    EXPECT_EQ(run(kShiAndCi, true).added, 0);
}

TEST_F(CorpusImporter, StoppedImportLeavesTheDatabaseAsItWas) {
    std::atomic<bool> stop{false};
    const ImportResult r = run(kShiAndCi, false, &stop, [&](const ImportProgress& p) {
        if (p.filesDone == 2) stop = true; // after poems were written
    });
    EXPECT_TRUE(r.stopped);
    EXPECT_EQ(count("SELECT count(*) FROM Poetry"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM Poet"), 0);
    // And the database is free for the next run.
    EXPECT_EQ(run(kShiAndCi, false).added, 6);
}

TEST_F(CorpusImporter, MissingCollectionFailsBeforeWritingAnything) {
    EXPECT_THROW(run({QStringLiteral("tang"), QStringLiteral("yuan")}, false), std::runtime_error);
    EXPECT_THROW(run({QStringLiteral("nonesuch")}, false), std::runtime_error);
    EXPECT_EQ(count("SELECT count(*) FROM Poetry"), 0);
}

TEST_F(CorpusImporter, ShijingPoemsNameTheirBook) {
    run({QStringLiteral("shijing")}, false);
    EXPECT_EQ(text("SELECT fPoet||'|'||fDynasty||'|'||fStyle||'|'||fMemo FROM Poetry WHERE fTitle='关雎'"),
              QStringLiteral("佚名|先秦|诗经|出自《诗经·国风·周南》"));
}

// ---- Text rules ----

struct FormCase {
    const char* name;
    std::vector<const char*> lines;
    const char* form;
};

TEST(CorpusShiForm, GuessedFromClauseLengths) {
    const FormCase cases[] = {
        {"five-character quatrain", {"床前明月光，疑是地上霜。", "举头望明月，低头思故乡。"}, "五言绝句"},
        {"one line per clause", {"床前明月光", "疑是地上霜", "举头望明月", "低头思故乡"}, "五言绝句"},
        {"seven-character quatrain", {"朝辞白帝彩云间，千里江陵一日还。", "两岸猿声啼不住，轻舟已过万重山。"}, "七言绝句"},
        {"five-character regulated verse",
         {"国破山河在，城春草木深。", "感时花溅泪，恨别鸟惊心。", "烽火连三月，家书抵万金。", "白头搔更短，浑欲不胜簪。"},
         "五言律诗"},
        {"seven-character regulated verse",
         {"风急天高猿啸哀，渚清沙白鸟飞回。", "无边落木萧萧下，不尽长江滚滚来。", "万里悲秋常作客，百年多病独登台。",
          "艰难苦恨繁霜鬓，潦倒新停浊酒杯。"},
         "七言律诗"},
        {"six five-character lines", {"一二三四五，一二三四五。", "一二三四五，一二三四五。", "一二三四五，一二三四五。"}, "五言古诗"},
        {"long seven-character", {"一二三四五六七，一二三四五六七？一二三四五六七！一二三四五六七；一二三四五六七。一二三四五六七，"}, "七言古诗"},
        {"six characters", {"一二三四五六，一二三四五六。"}, "六言诗"},
        {"four characters", {"关关雎鸠，在河之洲。窈窕淑女，君子好逑。"}, "四言诗"},
        {"mixed lengths", {"君不见黄河之水天上来，奔流到海不复回。"}, "杂言"},
        {"lost characters count", {"□□明月光，疑是地上霜。", "举头望明月，低头思□□。"}, "五言绝句"},
        {"a character written by its parts", {"{臯兀}杌不舒慣，一二三四五。"}, "五言古诗"},
        {"nothing", {}, ""},
    };
    for (const FormCase& c : cases) {
        QStringList lines;
        for (const char* l : c.lines) lines << QString::fromUtf8(l);
        EXPECT_EQ(GuessShiForm(lines), QString::fromUtf8(c.form)) << c.name;
    }
    // A character outside the BMP counts once.
    EXPECT_EQ(GuessShiForm({QStringLiteral("一二三四\U00020000，一二三四五。一二三四五，一二三四五。")}),
              QStringLiteral("五言绝句"));
}

TEST(CorpusQuForm, TuneFromTheTitle) {
    const QSet<QString> known{QStringLiteral("一枝花"), QStringLiteral("四块玉")};
    const struct {
        const char* title;
        const char* tune;
    } cases[] = {
        {"诈妮子调风月・仙吕/点绛唇", "点绛唇"},
        {"关大王独赴单刀会・十二月", "十二月"},
        {"醉春风・粉暖倩蜂须，泥香沾燕嘴。", "醉春风"},
        {"南吕・一枝花咏喜雨", "一枝花"},
        {"双调・清江引", "清江引"},
        {"红绣鞋 徐田臣《杀狗记》", "红绣鞋"},
        {"前腔", "散曲"},
        {"三・〔江儿里水〕唱得生，〔小姑儿〕听记得熟。", "散曲"},
        {"", "散曲"},
    };
    for (const auto& c : cases) EXPECT_EQ(QuTune(QString::fromUtf8(c.title), known), QString::fromUtf8(c.tune)) << c.title;
}

TEST(CorpusText, NotesLinesTitlesAndTunes) {
    const LinesAndNotes ln = SplitNotes({QStringLiteral("春眠不觉晓（晓 一作：早），处处闻啼鸟。"),
                                         QStringLiteral("夜来风雨声(声"), QStringLiteral("一作:响)，花落知多少。 "),
                                         QStringLiteral("   ")});
    // A note over a paragraph break takes the break with it.
    EXPECT_EQ(ln.lines, (QStringList{QStringLiteral("春眠不觉晓，处处闻啼鸟。"), QStringLiteral("夜来风雨声，花落知多少。")}));
    EXPECT_EQ(ln.notes, (QStringList{QStringLiteral("晓 一作：早"), QStringLiteral("声 一作：响")}));
    // What a note over a break leaves behind is no line of the poem.
    const LinesAndNotes split = SplitNotes({QStringLiteral("椒气从何得？灯光凿处分。"), QStringLiteral("（同前。"),
                                            QStringLiteral("）。")});
    EXPECT_EQ(split.lines, QStringList{QStringLiteral("椒气从何得？灯光凿处分。")});
    EXPECT_EQ(split.notes, QStringList{QStringLiteral("同前。")});

    EXPECT_EQ(NormalizeTitle(QStringLiteral(" 长相思・山一程 ")), QStringLiteral("长相思·山一程"));
    EXPECT_EQ(NormalizeTitle(QStringLiteral("  ")), QStringLiteral("无题"));

    const TuneHeading h = SplitTuneHeading(QStringLiteral("望江南・忆江南・自度曲"));
    EXPECT_EQ(h.title, QStringLiteral("望江南"));
    EXPECT_EQ(h.style, QStringLiteral("望江南"));
    EXPECT_EQ(h.memo, QStringLiteral("调名一作《忆江南》\r\n自度曲"));
    EXPECT_EQ(SplitTuneHeading(QString()).title, QStringLiteral("无题"));
}

TEST(CorpusText, ConversionKeepsCharactersFontsCanShow) {
    // A simplified form outside the BMP is undone; one inside is kept.
    EXPECT_EQ(KeepBmpCharacters(QStringLiteral("摐金"), QStringLiteral("\U00023C97金")), QStringLiteral("摐金"));
    EXPECT_EQ(KeepBmpCharacters(QStringLiteral("\U00020000"), QStringLiteral("\U00020000")), QStringLiteral("\U00020000"));
    EXPECT_EQ(KeepBmpCharacters(QStringLiteral("鄉"), QStringLiteral("乡")), QStringLiteral("乡"));
}

} // namespace
