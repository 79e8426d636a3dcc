#pragma once
// Every message box, question, input box and file, colour or print dialog of the
// program goes through Dialogs. QtDialogs shows the real thing; tests install a
// scripted implementation that records each message and answers from a script.
#include "db/messagesink.h"

#include <QColor>
#include <QString>

class QPrinter;
class QWidget;

class Dialogs : public MessageSink {
public:
    // kind 1: the chosen file must exist; otherwise only its folder must.
    // filter: pairs of description and pattern separated by "|". "" when cancelled.
    virtual QString getFilePath(int kind, int filterIndex, const QString& initialName, const QString& title,
                                const QString& filter) = 0;
    // False when cancelled.
    virtual bool inputBox(const QString& prompt, const QString& title, const QString& initial, QString* value) = 0;
    virtual bool chooseColor(const QColor& initial, QColor* chosen) = 0;
    // Shows the print dialog for `printer`; selectionOnly preselects the selection.
    virtual bool printDialog(QPrinter* printer, bool hasSelection) = 0;
};

class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    void message(const QString& text, Icon icon, const QString& title = QString()) override;
    bool question(const QString& text, const QString& title = QString()) override;
    QString getFilePath(int kind, int filterIndex, const QString& initialName, const QString& title,
                        const QString& filter) override;
    bool inputBox(const QString& prompt, const QString& title, const QString& initial, QString* value) override;
    bool chooseColor(const QColor& initial, QColor* chosen) override;
    bool printDialog(QPrinter* printer, bool hasSelection) override;

    // "desc|pattern|desc|pattern" -> "desc (pattern);;..." as Qt's file dialog wants it.
    static QStringList qtFilters(const QString& filter);

private:
    QWidget* m_parent;
};
