#pragma once
// Records every message the code under test shows and answers its questions
// from a script (true = OK), so tests can assert the exact texts.
#include "db/messagesink.h"

#include <QList>
#include <QString>
#include <deque>

struct RecordedMessage {
    QString text;
    MessageSink::Icon icon;
    QString title;
};

class RecordingSink : public MessageSink {
public:
    void message(const QString& text, Icon icon, const QString& title = QString()) override {
        messages.append({text, icon, title.isNull() ? kAppTitle : title});
    }
    bool question(const QString& text, const QString& title = QString()) override {
        messages.append({text, Icon::Question, title.isNull() ? kAppTitle : title});
        if (answers.empty()) return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    QList<RecordedMessage> messages;
    std::deque<bool> answers;
};
