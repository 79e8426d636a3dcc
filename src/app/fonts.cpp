#include "fonts.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QHash>

namespace {

const QStringList kSerif = {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN"),
                            QStringLiteral("Noto Sans CJK SC")};
const QStringList kSans = {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei"),
                           QStringLiteral("Noto Serif CJK SC")};
const QStringList kKai = {QStringLiteral("AR PL UKai CN"), QStringLiteral("Noto Serif CJK SC"),
                          QStringLiteral("Noto Sans CJK SC")};

const QStringList& familyFor(const QString& face) {
    static const QStringList serifNames = {"宋体", "新宋体", "SimSun", "NSimSun", "仿宋", "仿宋_GB2312", "FangSong",
                                           "华文宋体", "STSong", "华文仿宋", "STFangsong", "MS Song"};
    static const QStringList kaiNames = {"楷体", "楷体_GB2312", "KaiTi", "KaiTi_GB2312", "华文楷体", "STKaiti",
                                         "隶书", "LiSu", "华文行楷", "STXingkai", "华文隶书", "STLiti"};
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
    const QStringList faces = {"宋体", "新宋体", "SimSun", "NSimSun", "仿宋", "仿宋_GB2312", "FangSong", "华文宋体",
                               "STSong", "华文仿宋", "STFangsong", "MS Song", "楷体", "楷体_GB2312", "KaiTi",
                               "KaiTi_GB2312", "华文楷体", "STKaiti", "隶书", "LiSu", "华文行楷", "STXingkai",
                               "华文隶书", "STLiti", "黑体", "SimHei", "微软雅黑", "Microsoft YaHei", "幼圆",
                               "YouYuan", "华文细黑", "STXihei", "MS Sans Serif", "Arial", "Tahoma"};
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
