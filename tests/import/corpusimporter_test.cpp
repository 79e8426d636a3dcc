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

void writeFile(const QString& path, const QByteArray& utf8) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(utf8);
}

// A package with Tang and Song shi in traditional characters, Song ci, the
// author lists, and the 诗经, and a database to import it into.
class CorpusImporter : public ::testing::Test {
protected:
    QTemporaryDir pkg;
    FixtureDb fx;

    void SetUp() override {
        const QString d = pkg.path() + u"/dist/"_s;
        const char* jingyesi =
            R"({"author": "李白", "title": "靜夜思", "paragraphs": ["床前明月光，疑是地上霜。", "舉頭望明月，低頭思故鄉。"]})";
        writeFile(d + u"quantangshi/poet.tang.0.json"_s, QByteArray("[") + jingyesi + R"(,
 {"author": "杜甫", "title": "登高", "paragraphs": ["風急天高猿嘯哀，渚清沙白鳥飛回。", "無邊落木蕭蕭下，不盡長江滾滾來。"]},
 {"author": "李白", "title": "", "paragraphs": ["白日依山盡 ，黃河入海流(一作：黃河流入海)。", "欲窮千里目, 更上一層樓。"]},
 {"author": "李白", "title": "空詩", "paragraphs": []}])");
        // Numbered files are read by number, not by name: 1000 after 0.
        writeFile(d + u"quantangshi/poet.tang.1000.json"_s, QByteArray("[") + jingyesi + "]");
        writeFile(d + u"quantangshi/authors.tang.json"_s, R"([{"name": "李白", "desc": "李白，字太白。     李白，字太白，又一說。"},
 {"name": "杜甫", "desc": "杜甫，字子美。"}])");
        writeFile(d + u"quantangshi/poet.song.0.json"_s, R"([{"author": "蘇軾", "title": "題西林壁",
 "paragraphs": ["橫看成嶺側成峰，遠近高低各不同。", "不識廬山真面目，只緣身在此山中。"]}])");
        writeFile(d + u"quantangshi/authors.song.json"_s, R"([{"name": "蘇軾", "desc": "蘇軾，字子瞻，號東坡居士。"}])");
        writeFile(d + u"songci/ci.song.0.json"_s, R"([
 {"author": "苏轼", "rhythmic": "木兰花・玉楼春", "paragraphs": ["霜余已失长淮阔，空听潺潺清颍咽。", "佳人犹唱醉翁词，四十三年如电抹。"]},
 {"author": "晏殊", "rhythmic": "浣溪沙", "paragraphs": ["一曲新词酒一杯，去年天气旧亭台。", "夕阳西下几时回？"]}])");
        writeFile(d + u"songci/author.song.json"_s, R"([{"name": "晏殊", "short_description": "",
 "description": "晏殊：旧传。--字同叔，抚州临川人。官至宰相。主要作品有：浣溪沙"}])");
        writeFile(d + u"shijing/shijing.json"_s, R"([{"title": "关雎", "chapter": "国风", "section": "周南",
 "content": ["关关雎鸠，在河之洲。窈窕淑女，君子好逑。"]}])");
    }
    ImportResult run(const QStringList& collections, bool simplify, const std::atomic<bool>* stop = nullptr,
                     std::function<void(const ImportProgress&)> progress = {}) {
        return ImportCorpus({pkg.path(), fx.path(), collections, simplify, 2, std::move(progress), stop});
    }
    QString text(const char* sql) { return fx.text(QString::fromUtf8(sql)); }
};

const QStringList kShiAndCi{u"tang"_s, u"song"_s, u"ci"_s};
const char* const kCounts = "SELECT (SELECT count(*) FROM Poetry)||'|'||(SELECT count(*) FROM Poet)";

TEST_F(CorpusImporter, RowsCarryTheProgramsConventionsAndASecondImportAddsNothing) {
    // Already held: 杜甫 with a biography of the user's own, 晏殊 without one.
    fx.db().execNative(u"INSERT INTO Poet (fPoet,fBrief) VALUES ('杜甫','用户写的简介'),('晏殊','')"_s);
    const ImportResult first = run(kShiAndCi, false);
    // Seven poems with text; the repeat of 靜夜思 in the second file is skipped.
    EXPECT_EQ(std::tuple(first.added, first.skipped, first.poetsAdded, first.briefsFilled), std::tuple(6, 1, 3, 1));
    const std::pair<const char*, const char*> rows[] = {
        {"SELECT count(*) FROM Poetry WHERE fBookID=-1 AND fQty=1 AND fBookmark=0 AND fBook_del IS NULL", "6"},
        {"SELECT fContent FROM Poetry WHERE fTitle='靜夜思'", "床前明月光，疑是地上霜。\r\n舉頭望明月，低頭思故鄉。"},
        {"SELECT fDynasty||'|'||fType FROM Poetry WHERE fTitle='登高'", "唐|诗"},
        {"SELECT fDynasty||'|'||fType FROM Poetry WHERE fTitle='浣溪沙'", "宋|词"},
        // No title becomes 无题; blanks go, ASCII commas become full-width, and the
        // bracketed variant reading moves into the notes.
        {"SELECT fContent||'|'||fMemo FROM Poetry WHERE fTitle='无题'",
         "白日依山盡，黃河入海流。\r\n欲窮千里目，更上一層樓。|一作：黃河流入海"},
        // Ci take title and form from the tune.
        {"SELECT fTitle||'|'||fStyle||'|'||fMemo FROM Poetry WHERE fPoet='苏轼'", "木兰花|木兰花|调名一作《玉楼春》"},
        {"SELECT fTitle||'|'||fStyle FROM Poetry WHERE fPoet='晏殊'", "浣溪沙|浣溪沙"},
        // One poet row per name: the user's text stays, the empty one is filled,
        // merged entries give the first.
        {"SELECT group_concat(fBrief, '|') FROM (SELECT fBrief FROM Poet WHERE fPoet IN ('杜甫','晏殊','李白') "
         "ORDER BY fPoet)", "字同叔，抚州临川人。官至宰相。|李白，字太白。|用户写的简介"},
        {"SELECT count(*) FROM Poetry WHERE fTitle='空詩'", "0"}, // no text, not imported
        {"SELECT count(*) FROM Poet", "5"},                        // 李白 杜甫 蘇軾 苏轼 晏殊
        {"SELECT count(*) > 0 FROM sqlite_stat1 WHERE tbl='Poetry'", "1"}, // the planner's statistics
    };
    for (const auto& [sql, expected] : rows) EXPECT_EQ(text(sql), QString::fromUtf8(expected)) << sql;

    const ImportResult second = run(kShiAndCi, false);
    EXPECT_EQ(std::tuple(second.added, second.skipped), std::tuple(0, 7));
    EXPECT_EQ(text(kCounts), u"6|5"_s);
}

TEST_F(CorpusImporter, SimplifiedConversionMergesTheSpellingsOfOnePoet) {
    if (!SimplifiedConversionAvailable()) GTEST_SKIP() << "built without OpenCC";
    run(kShiAndCi, true);
    EXPECT_EQ(text("SELECT fContent FROM Poetry WHERE fTitle='静夜思'"), u"床前明月光，疑是地上霜。\r\n举头望明月，低头思故乡。"_s);
    // 蘇軾 of the shi and 苏轼 of the ci are one poet now, with the shi list's biography.
    EXPECT_EQ(text("SELECT group_concat(fPoet||'|'||fBrief) FROM Poet WHERE fPoet IN ('苏轼','蘇軾')"),
              u"苏轼|苏轼，字子瞻，号东坡居士。"_s);
    EXPECT_EQ(text("SELECT count(*) FROM Poetry WHERE fPoet='苏轼'"), u"2"_s);
    EXPECT_EQ(run(kShiAndCi, true).added, 0); // imported once simplified, again adds nothing
}

// A write failing on the way is the fault-injection test's; here the user stops it.
TEST_F(CorpusImporter, StoppedOrMissingCollectionLeavesTheDatabaseAsItWas) {
    EXPECT_THROW(run({u"tang"_s, u"yuan"_s}, false), std::runtime_error);
    EXPECT_THROW(run({u"nonesuch"_s}, false), std::runtime_error);
    EXPECT_EQ(text(kCounts), u"0|0"_s);
    std::atomic<bool> stop{false};
    const ImportResult r = run(kShiAndCi, false, &stop, [&](const ImportProgress& p) {
        if (p.filesDone == 2) stop = true; // after poems were written
    });
    EXPECT_TRUE(r.stopped);
    EXPECT_EQ(text(kCounts), u"0|0"_s);
    // The database is free for the next run; the 诗经's poems name their book.
    EXPECT_EQ(run({u"shijing"_s}, false).added, 1);
    EXPECT_EQ(text("SELECT fPoet||'|'||fDynasty||'|'||fStyle||'|'||fMemo FROM Poetry WHERE fTitle='关雎'"),
              u"佚名|先秦|诗经|出自《诗经·国风·周南》"_s);
}

// ---- Text rules ----

TEST(CorpusText, ShiFormsQuTunesNotesLinesTitlesAndCharactersFontsCanShow) {
    // Lines split at '|'. Lost characters (□) count, as does a character written by
    // its parts ({臯兀}) and one outside the BMP, each once.
    const std::pair<const char*, const char*> forms[] = {
        {"床前明月光，疑是地上霜。|举头望明月，低头思故乡。", "五言绝句"},
        {"朝辞白帝彩云间，千里江陵一日还。|两岸猿声啼不住，轻舟已过万重山。", "七言绝句"},
        {"风急天高猿啸哀，渚清沙白鸟飞回。|无边落木萧萧下，不尽长江滚滚来。|万里悲秋常作客，百年多病独登台。|"
         "艰难苦恨繁霜鬓，潦倒新停浊酒杯。", "七言律诗"},
        {"一二三四五，一二三四五。|一二三四五，一二三四五。|一二三四五，一二三四五。", "五言古诗"}, {"", ""},
        {"一二三四五六七，一二三四五六七？一二三四五六七！一二三四五六七；一二三四五六七。一二三四五六七，", "七言古诗"},
        {"关关雎鸠，在河之洲。窈窕淑女，君子好逑。", "四言诗"}, {"君不见黄河之水天上来，奔流到海不复回。", "杂言"},
        {"□□明月光，疑是地上霜。|举头望明月，低头思□□。", "五言绝句"}, {"{臯兀}杌不舒慣，一二三四五。", "五言古诗"},
        {"一二三四\U00020000，一二三四五。一二三四五，一二三四五。", "五言绝句"},
    };
    for (const auto& [lines, form] : forms)
        EXPECT_EQ(GuessShiForm(QString::fromUtf8(lines).split(u'|', Qt::SkipEmptyParts)), QString::fromUtf8(form))
            << lines;

    const QSet<QString> known{u"一枝花"_s, u"四块玉"_s};
    const std::pair<const char*, const char*> tunes[] = {
        {"诈妮子调风月・仙吕/点绛唇", "点绛唇"}, {"醉春风・粉暖倩蜂须，泥香沾燕嘴。", "醉春风"},
        {"南吕・一枝花咏喜雨", "一枝花"},         {"红绣鞋 徐田臣《杀狗记》", "红绣鞋"},
        {"前腔", "散曲"}, {"三・〔江儿里水〕唱得生，〔小姑儿〕听记得熟。", "散曲"}, {"", "散曲"},
    };
    for (const auto& [title, tune] : tunes)
        EXPECT_EQ(QuTune(QString::fromUtf8(title), known), QString::fromUtf8(tune)) << title;

    // A note over a paragraph break takes the break with it.
    const LinesAndNotes ln =
        SplitNotes({u"春眠不觉晓（晓 一作：早），处处闻啼鸟。"_s, u"夜来风雨声(声"_s, u"一作:响)，花落知多少。 "_s, u"   "_s});
    EXPECT_EQ(ln.lines, (QStringList{u"春眠不觉晓，处处闻啼鸟。"_s, u"夜来风雨声，花落知多少。"_s}));
    EXPECT_EQ(ln.notes, (QStringList{u"晓 一作：早"_s, u"声 一作：响"_s}));
    // What a note over a break leaves behind is no line of the poem.
    const LinesAndNotes split = SplitNotes({u"椒气从何得？灯光凿处分。"_s, u"（同前。"_s, u"）。"_s});
    EXPECT_EQ(split.lines, QStringList{u"椒气从何得？灯光凿处分。"_s});
    EXPECT_EQ(split.notes, QStringList{u"同前。"_s});
    EXPECT_EQ(NormalizeTitle(u" 长相思・山一程 "_s), u"长相思·山一程"_s);
    const TuneHeading h = SplitTuneHeading(u"望江南・忆江南・自度曲"_s);
    EXPECT_EQ(h.title + u'|' + h.style + u'|' + h.memo, u"望江南|望江南|调名一作《忆江南》\r\n自度曲"_s);
    // A simplified form outside the BMP is undone; one inside is kept.
    for (const auto& [before, after, kept] : {std::tuple{u"摐金"_s, u"\U00023C97金"_s, u"摐金"_s}, {u"鄉"_s, u"乡"_s, u"乡"_s},
                                              {u"\U00020000"_s, u"\U00020000"_s, u"\U00020000"_s}})
        EXPECT_EQ(KeepBmpCharacters(before, after), kept);
}

} // namespace
