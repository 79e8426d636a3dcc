// Readings chosen by context: lines of well-known poems read through the
// phrase tables compiled into the program and the hzPy table of data/.
#include "display/readings.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// hzPy as data/hzpy.tsv holds it, each character's readings listed in rank order.
static QStringList seedReadings(char32_t c) {
    static const QHash<char32_t, QStringList> table = [] {
        QHash<char32_t, QStringList> out;
        QFile f(QStringLiteral(LYRABOOK_SOURCE_DATA "/hzpy.tsv"));
        if (f.open(QIODevice::ReadOnly))
            for (const QByteArray& line : f.readAll().split('\n')) {
                const QList<QByteArray> p = line.split('\t');
                const QList<uint> u = QString::fromUtf8(p[0]).toUcs4();
                if (p.size() == 3 && u.size() == 1) out[u[0]] << QString::fromUtf8(p[1]);
            }
        return out;
    }();
    return table.value(c);
}

TEST(ReadText, FamousLinesReadAsVerseIsRead) {
    const std::pair<const char*, const char*> lines[] = {
        {"一行白鹭上青天", "yī háng bái lù shàng qīng tiān"}, {"朝辞白帝彩云间", "zhāo cí bái dì cǎi yún jiān"},
        {"一骑红尘妃子笑", "yī jì hóng chén fēi zǐ xiào"}, {"乡音无改鬓毛衰", "xiāng yīn wú gǎi bìn máo cuī"},
        {"轻舟已过万重山", "qīng zhōu yǐ guò wàn chóng shān"}, {"寒梅著花未", "hán méi zhuó huā wèi"},
        {"劝君更尽一杯酒", "quàn jūn gèng jìn yī bēi jiǔ"}, {"明月何时照我还", "míng yuè hé shí zhào wǒ huán"},
        {"天似穹庐，笼盖四野", "tiān sì qióng lú lǒng gài sì yě"}, {"遍插茱萸少一人", "biàn chā zhū yú shǎo yī rén"},
        {"参差荇菜", "cēn cī xìng cài"}, {"将进酒", "qiāng jìn jiǔ"}, {"散发弄扁舟", "sàn fà nòng piān zhōu"},
        // The verse table's single characters give way to a phrase of the general table.
        {"万物生长", "wàn wù shēng zhǎng"}, {"罗衣", "luó yī"}, {"城阙辅三秦", "chéng què fǔ sān qín"},
        // Not Han: no reading, and the phrase runs stop there; 𠀀 is one character.
        {"A1 𠀀还是　还 是", "hē hái shì huán shì"}};
    for (const auto& [line, pinyin] : lines) {
        QStringList out;
        for (const CharReading& r : ReadText(QString::fromUtf8(line), seedReadings)) out << r.reading;
        EXPECT_EQ(out.join(u' ').toStdString(), pinyin) << line;
    }
    // A character without any reading is still listed, with none.
    const QList<CharReading> none = ReadText(u"〇"_s, [](char32_t) { return QStringList{}; });
    EXPECT_TRUE(none.size() == 1 && none[0].reading.isEmpty());
}

// Longest phrase wins; the verse table wins a tie; then the phrase that starts first.
TEST(ReadText, LongestPhraseWinsThenVerseThenFirst) {
    PhraseTable verse, general;
    // General single characters are not used.
    general.parse("甲乙\tg1 g2\n乙丙丁\th1 h2 h3\n丁戊\ti1 i2\n辛壬\tk1 k2\n壬癸\tl1 l2\n不\tx\n");
    verse.parse("戊己\tv1 v2\n庚\tv3\n");
    const ReadingLookup none = [](char32_t c) { return c == U'不' ? QStringList{u"bù"_s} : QStringList{}; };
    QStringList got;
    for (const CharReading& r : ReadText(u"甲乙丙丁戊己庚不辛壬癸"_s, none, verse, general))
        got << r.reading + u'/' + QString::number(int(r.source));
    EXPECT_EQ(got.join(u' ').toStdString(), "g1/0 h1/0 h2/0 h3/0 v1/1 v2/1 v3/1 bù/2 k1/0 k2/0 l2/0");
}

// Outside every phrase: the first reading with a tone (hzPy ranks 子 zi first).
TEST(ReadText, FirstReadingWithATone) {
    EXPECT_EQ(FirstVerseReading({u"zi"_s, u"zǐ"_s}).toStdString(), "zǐ");
    EXPECT_EQ(FirstVerseReading({u"lü"_s, u"lǜ"_s}).toStdString(), "lǜ");
    EXPECT_EQ(FirstVerseReading({u"me"_s}).toStdString(), "me");
    EXPECT_TRUE(FirstVerseReading({}).isEmpty());
}
