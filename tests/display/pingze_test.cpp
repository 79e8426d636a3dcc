// The 平仄 table compiled into the program and the check of regular verse.
#include "display/pingze.h"

#include <gtest/gtest.h>

TEST(Pingze, ChecksTheStandardPatterns) {
    // The table's tones follow the classical system: 入声 characters are oblique
    // whatever their Mandarin tone.
    const ToneTable& table = ToneTable::standard();
    EXPECT_EQ((std::vector<Tone>{table.tone(U'白'), table.tone(U'国'), table.tone(U'一'), table.tone(U'天'),
                                 table.tone(U'A')}),
              (std::vector<Tone>{Tone::Oblique, Tone::Oblique, Tone::Oblique, Tone::Level, Tone::Unknown}));
    const std::tuple<const char*, int, const char*, const char*> cases[] = {
        // 登鹳雀楼: a regular 五绝, 仄起, first clause not rhymed.
        {"白日依山尽，黄河入海流。\r\n欲穷千里目，更上一层楼。", 5, "仄起首句不入韵", "zzppz" "ppzzp^" "zppzz" "zzzpp^"},
        // The same with the rhyme of the second clause made oblique: one break.
        {"白日依山尽，黄河入海水。\r\n欲穷千里目，更上一层楼。", 5, "仄起首句不入韵", "zzppz" "ppzzz!^" "zppzz" "zzzpp^"},
        // 早发白帝城: a regular 七绝, 平起, first clause rhymed; 重 may be either.
        {"朝辞白帝彩云间，千里江陵一日还。\r\n两岸猿声啼不住，轻舟已过万重山。", 7, "平起首句入韵",
         "ppzzzpp^" "pzppzzp^" "zzpppzz" "ppzzzep^"},
        // Clauses of mixed length (a ci) or an odd count: no check, no marks.
        {"明月几时有？把酒问青天。不知天上宫阙", 0, "", ""},
        {"白日依山尽，黄河入海流。欲穷千里目", 0, "", ""},
        // Six clauses of five: marks, no pattern.
        {"白日依山尽，黄河入海流。欲穷千里目，更上一层楼。白日依山尽，黄河入海流。", 5, "",
         "zzppz" "ppzzp" "zppzz" "zzzpp" "zzppz" "ppzzp"}};
    for (const auto& [content, clauseLength, pattern, marks] : cases) {
        const VerseCheck v = CheckVerse(QString::fromUtf8(content));
        // Tone letters p/z/e/-, then "!" after a breaking character and "^" after a rhyme position.
        std::string got;
        for (const ToneNote& n : v.notes) {
            got += n.tone == Tone::Level ? 'p' : n.tone == Tone::Oblique ? 'z' : n.tone == Tone::Either ? 'e' : '-';
            if (n.breaks) got += '!';
            if (n.rhyme) got += '^';
        }
        EXPECT_EQ(v.clauseLength, clauseLength) << content;
        EXPECT_EQ(v.pattern.toStdString(), pattern) << content;
        EXPECT_EQ(got, marks) << content;
    }
}
