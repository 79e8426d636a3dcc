// The 平仄 table compiled into the program and the check of regular verse.
#include "display/pingze.h"

#include <gtest/gtest.h>

namespace {

// The table's tones follow the classical system: 入声 characters are oblique
// whatever their Mandarin tone.
struct ToneCase {
    char32_t c;
    Tone tone;
};

class StandardTones : public ::testing::TestWithParam<ToneCase> {};

TEST_P(StandardTones, FollowTheClassicalSystem) {
    EXPECT_EQ(ToneTable::standard().tone(GetParam().c), GetParam().tone) << QString::fromUcs4(&GetParam().c, 1).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Table, StandardTones,
                         ::testing::Values(ToneCase{U'白', Tone::Oblique}, ToneCase{U'国', Tone::Oblique},
                                           ToneCase{U'一', Tone::Oblique}, ToneCase{U'天', Tone::Level},
                                           ToneCase{U'A', Tone::Unknown}));

// Marks of the content: tone letters p/z/e/-, then "!" after a breaking
// character and "^" after a rhyme position.
std::string marks(const VerseCheck& v) {
    std::string out;
    for (const ToneNote& n : v.notes) {
        out += n.tone == Tone::Level ? 'p' : n.tone == Tone::Oblique ? 'z' : n.tone == Tone::Either ? 'e' : '-';
        if (n.breaks) out += '!';
        if (n.rhyme) out += '^';
    }
    return out;
}

struct VerseCase {
    const char* content;
    int clauseLength;
    const char* pattern;
    const char* marks;
};

class Verse : public ::testing::TestWithParam<VerseCase> {};

TEST_P(Verse, ChecksTheStandardPatterns) {
    const VerseCase& c = GetParam();
    const VerseCheck v = CheckVerse(QString::fromUtf8(c.content));
    EXPECT_EQ(v.clauseLength, c.clauseLength);
    EXPECT_EQ(v.pattern.toStdString(), c.pattern);
    EXPECT_EQ(marks(v), c.marks);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, Verse,
    ::testing::Values(
        // 登鹳雀楼: a regular 五绝, 仄起, first clause not rhymed.
        VerseCase{"白日依山尽，黄河入海流。\r\n欲穷千里目，更上一层楼。", 5, "仄起首句不入韵",
                  "zzppz" "ppzzp^" "zppzz" "zzzpp^"},
        // The same with the rhyme of the second clause made oblique: one break.
        VerseCase{"白日依山尽，黄河入海水。\r\n欲穷千里目，更上一层楼。", 5, "仄起首句不入韵",
                  "zzppz" "ppzzz!^" "zppzz" "zzzpp^"},
        // 早发白帝城: a regular 七绝, 平起, first clause rhymed; 重 may be either.
        VerseCase{"朝辞白帝彩云间，千里江陵一日还。\r\n两岸猿声啼不住，轻舟已过万重山。", 7, "平起首句入韵",
                  "ppzzzpp^" "pzppzzp^" "zzpppzz" "ppzzzep^"},
        // Clauses of mixed length (a ci) or an odd count: no check, no marks.
        VerseCase{"明月几时有？把酒问青天。不知天上宫阙", 0, "", ""},
        VerseCase{"白日依山尽，黄河入海流。欲穷千里目", 0, "", ""},
        // Six clauses of five: marks, no pattern.
        VerseCase{"白日依山尽，黄河入海流。欲穷千里目，更上一层楼。白日依山尽，黄河入海流。", 5, "",
                  "zzppz" "ppzzp" "zppzz" "zzzpp" "zzppz" "ppzzp"}));

} // namespace
