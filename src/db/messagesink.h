#pragma once
// Where the store and the other toolkit-free code send the messages they show the
// user. The window code implements it with message boxes; tests with a recorder.
#include <QString>

inline const QString kAppTitle = QStringLiteral("澄川软件");
inline const QString kProductName = QStringLiteral("蓝溪诗汇");
inline const QString kProductWebPage = QStringLiteral("https://forelane.org/lyrabook/");

class MessageSink {
public:
    enum class Icon { None, Information, Warning, Critical, Question };
    virtual ~MessageSink() = default;
    // A message with one OK button. A null title means the application title; an
    // empty but non-null title (QStringLiteral("")) shows no title at all.
    virtual void message(const QString& text, Icon icon, const QString& title = QString()) = 0;
    // Question with OK and Cancel; true when the user chose OK.
    virtual bool question(const QString& text, const QString& title = QString()) = 0;
};
