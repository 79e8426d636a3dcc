#pragma once
// The program's saved settings, under organisation "Forelane", section
// "Lyrabook", kept as strings in a per-user INI file. Values that cannot be read
// as a number of the right size give the default.
#include <QString>

class Settings {
public:
    static constexpr qint16 kDefaultLocked = 1;
    static constexpr int kDefaultLstView = 2;
    static inline const QString kDefaultModel = QStringLiteral("1# 标准模板");

    // Write mode to request at start-up: a negative value counts as its absolute value.
    static qint16 defaultLocked();
    static void setDefaultLocked(qint16 mode);
    // View style of the title list, 0 to 3.
    static int defaultLstView();
    static void setDefaultLstView(int style);
    static QString defaultModel();
    static void setDefaultModel(const QString& name);

    // The poem pane's notes: pinyin over the characters, 平仄 marks under
    // them. Off unless stored as "1".
    static bool showPinyin();
    static void setShowPinyin(bool on);
    static bool showPingze();
    static void setShowPingze(bool on);

    // Raw stored text ("" when absent), for the "write only when it differs" rules.
    static QString raw(const QString& key);
};
