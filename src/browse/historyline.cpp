#include "historyline.h"

#include "db/textwidth.h"

QString FormatTitlePoet(const QString& title, const QString& poet) {
    QString t;
    if (AnsiByteLength(title) > 16) t = TruncateToWidth(title, 12) + QStringLiteral("... ");
    else t = TruncateToWidth(title + QString(16, u' '), 16);
    return t + u'(' + poet + u')';
}

QString FormatHistoryLine(const QString& title, const QString& poet, const QString& id) {
    const QString s = TruncateToWidth(FormatTitlePoet(title, poet) + QString(30, u' '), 40);
    return s + (QString(15, u' ') + id).right(15);
}

qint32 HistoryLineId(const QString& line) {
    bool ok = false;
    const qint32 id = line.right(15).trimmed().toInt(&ok);
    return ok ? id : -1;
}
