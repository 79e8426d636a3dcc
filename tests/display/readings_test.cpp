// Readings chosen by context: lines of well-known poems read through the
// phrase tables compiled into the program and the hzPy table of data/.
#include "display/readings.h"

#include <QFile>
#include <QHash>
#include <QMap>

#include <gtest/gtest.h>

namespace {

// hzPy as data/hzpy.tsv holds it: readings in rank order.
const QHash<char32_t, QStringList>& seedReadings() {
    static const QHash<char32_t, QStringList> table = [] {
        QHash<char32_t, QMap<int, QString>> ranked;
        QFile f(QStringLiteral(LYRABOOK_SOURCE_DATA "/hzpy.tsv"));
        if (f.open(QIODevice::ReadOnly))
            for (const QByteArray& line : f.readAll().split('\n')) {
                const QList<QByteArray> parts = line.split('\t');
                if (parts.size() != 3) continue;
                const QList<uint> c = QString::fromUtf8(parts[0]).toUcs4();
                if (c.size() == 1) ranked[char32_t(c[0])].insert(parts[2].toInt(), QString::fromUtf8(parts[1]));
            }
        QHash<char32_t, QStringList> out;
        for (auto it = ranked.begin(); it != ranked.end(); ++it) out.insert(it.key(), it.value().values());
        return out;
    }();
    return table;
}

QStringList lookup(char32_t c) { return seedReadings().value(c); }

std::string read(const char* text) {
    QStringList out;
    for (const CharReading& r : ReadText(QString::fromUtf8(text), lookup))
        out << (r.reading.isEmpty() ? QStringLiteral("?") : r.reading);
    return out.join(u' ').toStdString();
}

struct LineCase {
    const char* line;
    const char* pinyin;
};

class FamousLines : public ::testing::TestWithParam<LineCase> {};

TEST_P(FamousLines, ReadAsVerseIsRead) { EXPECT_EQ(read(GetParam().line), GetParam().pinyin) << GetParam().line; }

INSTANTIATE_TEST_SUITE_P(
    Poems, FamousLines,
    ::testing::Values(
        LineCase{"一行白鹭上青天", "yī háng bái lù shàng qīng tiān"},
        LineCase{"朝辞白帝彩云间", "zhāo cí bái dì cǎi yún jiān"},
        LineCase{"长安一片月", "cháng ān yī piàn yuè"},
        LineCase{"一骑红尘妃子笑", "yī jì hóng chén fēi zǐ xiào"},
        LineCase{"乡音无改鬓毛衰", "xiāng yīn wú gǎi bìn máo cuī"},
        LineCase{"少小离家老大回", "shào xiǎo lí jiā lǎo dà huí"},
        LineCase{"不教胡马度阴山", "bù jiào hú mǎ dù yīn shān"},
        LineCase{"轻舟已过万重山", "qīng zhōu yǐ guò wàn chóng shān"},
        LineCase{"疑是地上霜", "yí shì dì shàng shuāng"},
        LineCase{"寒梅著花未", "hán méi zhuó huā wèi"},
        LineCase{"移舟泊烟渚", "yí zhōu bó yān zhǔ"},
        LineCase{"独在异乡为异客", "dú zài yì xiāng wéi yì kè"},
        LineCase{"但使龙城飞将在", "dàn shǐ lóng chéng fēi jiàng zài"},
        LineCase{"渭城朝雨浥轻尘", "wèi chéng zhāo yǔ yì qīng chén"},
        LineCase{"劝君更尽一杯酒", "quàn jūn gèng jìn yī bēi jiǔ"},
        LineCase{"白日依山尽", "bái rì yī shān jìn"},
        LineCase{"明月何时照我还", "míng yuè hé shí zhào wǒ huán"},
        LineCase{"天似穹庐，笼盖四野", "tiān sì qióng lú lǒng gài sì yě"},
        LineCase{"夜泊秦淮近酒家", "yè bó qín huái jìn jiǔ jiā"},
        LineCase{"南朝四百八十寺", "nán cháo sì bǎi bā shí sì"},
        LineCase{"参差荇菜", "cēn cī xìng cài"},
        LineCase{"白发三千丈", "bái fà sān qiān zhàng"},
        LineCase{"何当共剪西窗烛", "hé dāng gòng jiǎn xī chuāng zhú"},
        LineCase{"李白乘舟将欲行", "lǐ bái chéng zhōu jiāng yù xíng"},
        LineCase{"将进酒", "qiāng jìn jiǔ"},
        LineCase{"遍插茱萸少一人", "biàn chā zhū yú shǎo yī rén"},
        LineCase{"散发弄扁舟", "sàn fà nòng piān zhōu"},
        LineCase{"晓看红湿处", "xiǎo kàn hóng shī chù"},
        // The verse table's single characters give way to a phrase of the general table.
        LineCase{"万物生长", "wàn wù shēng zhǎng"},
        LineCase{"罗衣", "luó yī"},
        LineCase{"城阙辅三秦", "chéng què fǔ sān qín"},
        // Not Han: no reading, and the phrase runs stop there; 𠀀 is one character.
        LineCase{"A1 𠀀还是　还 是", "hē hái shì huán shì"}));

// Longest phrase wins; the verse table wins a tie; then the phrase that starts first.
TEST(ReadText, LongestPhraseWinsThenVerseThenFirst) {
    PhraseTable verse, general;
    general.add(QStringLiteral("甲乙"), {QStringLiteral("g1"), QStringLiteral("g2")});
    general.add(QStringLiteral("乙丙丁"), {QStringLiteral("h1"), QStringLiteral("h2"), QStringLiteral("h3")});
    general.add(QStringLiteral("丁戊"), {QStringLiteral("i1"), QStringLiteral("i2")});
    verse.add(QStringLiteral("戊己"), {QStringLiteral("v1"), QStringLiteral("v2")});
    verse.add(QStringLiteral("庚"), {QStringLiteral("v3")});
    general.add(QStringLiteral("辛壬"), {QStringLiteral("k1"), QStringLiteral("k2")});
    general.add(QStringLiteral("壬癸"), {QStringLiteral("l1"), QStringLiteral("l2")});
    general.add(QStringLiteral("不"), {QStringLiteral("x")}); // general single characters are not used
    const ReadingLookup none = [](char32_t c) {
        return c == U'不' ? QStringList{QStringLiteral("bù")} : QStringList{};
    };
    QStringList got;
    for (const CharReading& r : ReadText(QStringLiteral("甲乙丙丁戊己庚不辛壬癸"), none, verse, general))
        got << r.reading + u'/' + QString::number(int(r.source));
    EXPECT_EQ(got.join(u' ').toStdString(), "g1/0 h1/0 h2/0 h3/0 v1/1 v2/1 v3/1 bù/2 k1/0 k2/0 l2/0");
}

TEST(ReadText, CharacterWithoutReadingHasNone) {
    const QList<CharReading> r = ReadText(QStringLiteral("〇"), [](char32_t) { return QStringList{}; });
    ASSERT_EQ(r.size(), 1);
    EXPECT_TRUE(r[0].reading.isEmpty());
}

// Outside every phrase: the first reading with a tone (hzPy ranks 子 zi first).
TEST(ReadText, FirstReadingWithATone) {
    EXPECT_EQ(FirstVerseReading({QStringLiteral("zi"), QStringLiteral("zǐ")}).toStdString(), "zǐ");
    EXPECT_EQ(FirstVerseReading({QStringLiteral("lü"), QStringLiteral("lǜ")}).toStdString(), "lǜ");
    EXPECT_EQ(FirstVerseReading({QStringLiteral("me")}).toStdString(), "me");
    EXPECT_TRUE(FirstVerseReading({}).isEmpty());
}

} // namespace
