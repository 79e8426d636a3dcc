#pragma once
// The dialogs of the program, scripted for window tests: every message is
// recorded (text, icon, title) and questions, input boxes and file dialogs
// answer from queues. An empty queue answers Cancel.
#include "app/dialogs.h"

#include <QList>
#include <QString>
#include <deque>

using namespace Qt::StringLiterals;

class ScriptedDialogs : public Dialogs {
public:
    struct Message {
        QString text;
        Icon icon;
        QString title;
    };

    void message(const QString& text, Icon icon, const QString& title = QString()) override {
        messages.append({text, icon, title.isNull() ? kAppTitle : title});
    }
    bool question(const QString& text, const QString& title = QString()) override {
        messages.append({text, Icon::Question, title.isNull() ? kAppTitle : title});
        return pop(answers, false);
    }
    QString getFilePath(int kind, int filterIndex, const QString& initialName, const QString& title,
                        const QString& filter) override {
        fileRequests.append({kind, filterIndex, initialName, title, filter});
        return pop(files, QString());
    }
    bool inputBox(const QString& prompt, const QString& title, const QString& initial, QString* value) override {
        messages.append({prompt, Icon::None, title.isNull() ? kAppTitle : title});
        Q_UNUSED(initial);
        if (inputs.empty()) return false;
        *value = inputs.front();
        inputs.pop_front();
        return true;
    }
    bool chooseColor(const QColor&, QColor* chosen) override {
        if (colours.empty()) return false;
        *chosen = colours.front();
        colours.pop_front();
        return true;
    }
    bool printDialog(QPrinter*, bool hasSelection) override {
        printRequests.append(hasSelection);
        return pop(printAnswers, false);
    }

    QStringList texts() const {
        QStringList out;
        for (const Message& m : messages) out << m.text;
        return out;
    }
    // Every message as "<icon>:<text>", with " @<title>" when the title is not
    // the program's: icons ? question, ! warning, i information, x critical.
    QStringList marked() const {
        QStringList out;
        for (const Message& m : messages) {
            const char* icon = m.icon == Icon::Question      ? "?"
                               : m.icon == Icon::Warning     ? "!"
                               : m.icon == Icon::Information ? "i"
                               : m.icon == Icon::Critical    ? "x"
                                                             : "-";
            out << QString::fromLatin1(icon) + u':' + m.text + (m.title == kAppTitle ? QString() : u" @"_s + m.title);
        }
        return out;
    }

    struct FileRequest {
        int kind;
        int filterIndex;
        QString initialName;
        QString title;
        QString filter;
    };

    QList<Message> messages;
    std::deque<bool> answers;
    std::deque<QString> files;
    std::deque<QString> inputs;
    std::deque<QColor> colours;
    std::deque<bool> printAnswers;
    QList<FileRequest> fileRequests;
    QList<bool> printRequests;

private:
    template <typename T> static T pop(std::deque<T>& q, T fallback) {
        if (q.empty()) return fallback;
        T v = q.front();
        q.pop_front();
        return v;
    }
};
