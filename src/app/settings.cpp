#include "settings.h"

#include <QSettings>
#include <limits>

namespace {

QSettings store() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Forelane"),
                     QStringLiteral("Lyrabook"));
}

void write(const QString& key, const QString& value) {
    QSettings s = store();
    s.beginGroup(QStringLiteral("Lyrabook"));
    s.setValue(key, value);
    s.endGroup();
    s.sync();
}

} // namespace

QString Settings::raw(const QString& key) {
    QSettings s = store();
    s.beginGroup(QStringLiteral("Lyrabook"));
    const QString v = s.value(key).toString();
    s.endGroup();
    return v;
}

qint16 Settings::defaultLocked() {
    bool ok = false;
    const qlonglong v = raw(QStringLiteral("Default_Locked")).trimmed().toLongLong(&ok);
    if (!ok || v < std::numeric_limits<qint16>::min() || v > std::numeric_limits<qint16>::max())
        return kDefaultLocked;
    // -32768 has no 16-bit absolute value.
    if (v == std::numeric_limits<qint16>::min()) return kDefaultLocked;
    return qint16(v < 0 ? -v : v);
}

void Settings::setDefaultLocked(qint16 mode) { write(QStringLiteral("Default_Locked"), QString::number(mode)); }

int Settings::defaultLstView() {
    bool ok = false;
    const qlonglong v = raw(QStringLiteral("Default_LstView")).trimmed().toLongLong(&ok);
    // Only the four view styles exist; anything else falls back to the list style.
    if (!ok || v < 0 || v > 3) return kDefaultLstView;
    return int(v);
}

void Settings::setDefaultLstView(int style) { write(QStringLiteral("Default_LstView"), QString::number(style)); }

QString Settings::defaultModel() {
    QSettings s = store();
    s.beginGroup(QStringLiteral("Lyrabook"));
    const QVariant v = s.value(QStringLiteral("Default_Model"));
    s.endGroup();
    return v.isValid() ? v.toString() : kDefaultModel;
}

void Settings::setDefaultModel(const QString& name) { write(QStringLiteral("Default_Model"), name); }

bool Settings::showPinyin() { return raw(QStringLiteral("Show_Pinyin")).trimmed() == QStringLiteral("1"); }

void Settings::setShowPinyin(bool on) { write(QStringLiteral("Show_Pinyin"), on ? QStringLiteral("1") : QStringLiteral("0")); }

bool Settings::showPingze() { return raw(QStringLiteral("Show_Pingze")).trimmed() == QStringLiteral("1"); }

void Settings::setShowPingze(bool on) { write(QStringLiteral("Show_Pingze"), on ? QStringLiteral("1") : QStringLiteral("0")); }
