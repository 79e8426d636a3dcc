#pragma once
// Windows face names ("宋体", "黑体", "楷体", "SimSun", ...) that templates store map
// to the CJK families installed here, so no character ever shows as a box.
#include <QString>
#include <QStringList>

void installFontSubstitutions();
// The installed families a Windows face name resolves to, best first.
QStringList cjkSubstitutesFor(const QString& face);
// A monospaced CJK family in which a Chinese character is two Latin widths.
QString monospaceCjkFamily();
