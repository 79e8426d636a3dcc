#include "fonts.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QHash>

using namespace Qt::StringLiterals;

namespace {

const QStringList kSerif = {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN"),
                            QStringLiteral("Noto Sans CJK SC")};
const QStringList kSans = {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei"),
                           QStringLiteral("Noto Serif CJK SC")};
const QStringList kKai = {QStringLiteral("AR PL UKai CN"), QStringLiteral("Noto Serif CJK SC"),
                          QStringLiteral("Noto Sans CJK SC")};

const QStringList& familyFor(const QString& face) {
    static const QStringList serifNames = {u"宋体"_s, u"新宋体"_s, u"SimSun"_s, u"NSimSun"_s, u"仿宋"_s,
                                           u"仿宋_GB2312"_s, u"FangSong"_s, u"华文宋体"_s, u"STSong"_s,
                                           u"华文仿宋"_s, u"STFangsong"_s, u"MS Song"_s};
    static const QStringList kaiNames = {u"楷体"_s, u"楷体_GB2312"_s, u"KaiTi"_s, u"KaiTi_GB2312"_s,
                                         u"华文楷体"_s, u"STKaiti"_s, u"隶书"_s, u"LiSu"_s, u"华文行楷"_s,
                                         u"STXingkai"_s, u"华文隶书"_s, u"STLiti"_s};
    if (serifNames.contains(face, Qt::CaseInsensitive)) return kSerif;
    if (kaiNames.contains(face, Qt::CaseInsensitive)) return kKai;
    return kSans;
}

// The installed families, read once: asking the font database builds the whole
// list, and every poem shown asks for each of its five line fonts.
const QStringList& installedFamilies() {
    static const QStringList families = QFontDatabase::families();
    return families;
}

QStringList installed(const QStringList& wanted) {
    QStringList out;
    for (const QString& f : wanted)
        if (installedFamilies().contains(f, Qt::CaseInsensitive)) out << f;
    return out;
}

} // namespace

QStringList cjkSubstitutesFor(const QString& face) {
    static QHash<QString, QStringList> cache;
    const auto it = cache.constFind(face);
    if (it != cache.cend()) return *it;
    const QStringList subs = installed(familyFor(face));
    cache.insert(face, subs);
    return subs;
}

void installFontSubstitutions() {
    const QStringList faces = {u"宋体"_s, u"新宋体"_s, u"SimSun"_s, u"NSimSun"_s, u"仿宋"_s, u"仿宋_GB2312"_s,
                               u"FangSong"_s, u"华文宋体"_s, u"STSong"_s, u"华文仿宋"_s, u"STFangsong"_s,
                               u"MS Song"_s, u"楷体"_s, u"楷体_GB2312"_s, u"KaiTi"_s, u"KaiTi_GB2312"_s,
                               u"华文楷体"_s, u"STKaiti"_s, u"隶书"_s, u"LiSu"_s, u"华文行楷"_s, u"STXingkai"_s,
                               u"华文隶书"_s, u"STLiti"_s, u"黑体"_s, u"SimHei"_s, u"微软雅黑"_s,
                               u"Microsoft YaHei"_s, u"幼圆"_s, u"YouYuan"_s, u"华文细黑"_s, u"STXihei"_s,
                               u"MS Sans Serif"_s, u"Arial"_s, u"Tahoma"_s};
    for (const QString& face : faces) {
        const QStringList subs = cjkSubstitutesFor(face);
        if (!subs.isEmpty() && !installedFamilies().contains(face)) QFont::insertSubstitutions(face, subs);
    }
    // The interface font: a CJK sans face at the size dialogs of this kind use.
    const QStringList ui = installed(kSans);
    if (!ui.isEmpty()) {
        QFont f = QApplication::font();
        f.setFamilies(ui);
        f.setPointSize(9);
        // Han text needs no shaping: glyphs come straight from the character map,
        // which lays out a biography or a long title list several times faster.
        // Scripts that need shaping are still shaped.
        f.setStyleStrategy(QFont::PreferNoShaping);
        QApplication::setFont(f);
    }
}

QString monospaceCjkFamily() {
    const QStringList mono = installed({QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("WenQuanYi Zen Hei Mono")});
    return mono.isEmpty() ? QStringLiteral("monospace") : mono.first();
}
