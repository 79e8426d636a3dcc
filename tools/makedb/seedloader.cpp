#include "seedloader.h"

#include "db/sqltext.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTextStream>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot read " + path.toStdString());
    return f.readAll();
}

QJsonArray readArray(const QString& path) {
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(readFile(path), &err);
    if (err.error != QJsonParseError::NoError || !doc.isArray())
        throw std::runtime_error(path.toStdString() + ": " + err.errorString().toStdString());
    return doc.array();
}

// Native statements with bound values: the seed load runs once per build and
// needs no dialect translation.
int loadPoems(SqlDatabase& db, const QString& path) {
    int n = 0;
    for (const QJsonValue& v : readArray(path)) {
        const QJsonObject o = v.toObject();
        const QString sql =
            QStringLiteral("INSERT INTO Poetry (fBookID,fType,fStyle,fPoet,fDynasty,fTitle,fPre,fContent,fMemo,fQty) "
                           "VALUES (-1,%1,%2,%3,%4,%5,%6,%7,%8,%9)")
                .arg(sqlText(o["type"_L1].toString()), sqlText(o["style"_L1].toString()), sqlText(o["poet"_L1].toString()),
                     sqlText(o["dynasty"_L1].toString()), sqlText(o["title"_L1].toString()), sqlText(o["pre"_L1].toString()),
                     sqlText(o["content"_L1].toString()), sqlText(o["memo"_L1].toString()),
                     QString::number(o["qty"_L1].toInt(1)));
        db.execNative(sql);
        ++n;
    }
    return n;
}

} // namespace

SeedCounts loadSeeds(SqlDatabase& db, const QString& dataDir) {
    SeedCounts c;
    SqlTransaction tx(db);

    c.poems += loadPoems(db, dataDir + QStringLiteral("/tang300.json"));
    c.poems += loadPoems(db, dataDir + QStringLiteral("/song300.json"));

    QSet<QString> seen;
    for (const QJsonValue& v : readArray(dataDir + QStringLiteral("/poets.json"))) {
        const QJsonObject o = v.toObject();
        const QString poet = o["poet"_L1].toString();
        if (poet.isEmpty() || seen.contains(poet)) continue;
        seen.insert(poet);
        const QString brief = o["brief"_L1].toString();
        db.execNative(QStringLiteral("INSERT INTO Poet (fPoet,fBrief) VALUES (%1,%2)").arg(sqlText(poet), sqlText(brief)));
        ++c.poets;
        if (!brief.isEmpty()) ++c.briefs;
    }

    {
        const QString text = QString::fromUtf8(readFile(dataDir + QStringLiteral("/dynasties.txt")));
        int id = 0;
        for (const QString& line : text.split(u'\n')) {
            const QString name = line.trimmed();
            if (name.isEmpty()) continue;
            ++id;
            db.execNative(QStringLiteral("INSERT INTO PoetDynasty (fDynasty,fID) VALUES (%1,%2)")
                              .arg(sqlText(name))
                              .arg(id));
        }
        c.dynasties = id;
    }

    {
        const QString text = QString::fromUtf8(readFile(dataDir + QStringLiteral("/hzpy.tsv")));
        QString batch;
        int inBatch = 0;
        auto flush = [&] {
            if (inBatch == 0) return;
            db.execNative(QStringLiteral("INSERT INTO hzPy (hz,py1,py2) VALUES ") + batch);
            batch.clear();
            inBatch = 0;
        };
        for (const QString& line : text.split(u'\n')) {
            const QStringList f = line.split(u'\t');
            if (f.size() < 3) continue;
            if (inBatch) batch += u',';
            batch += QStringLiteral("(%1,%2,%3)").arg(sqlText(f[0]), sqlText(f[1].trimmed()), QString::number(f[2].trimmed().toInt()));
            ++c.pinyinRows;
            if (++inBatch == 500) flush();
        }
        flush();
    }

    for (const QJsonValue& v : readArray(dataDir + QStringLiteral("/templates.json"))) {
        const QJsonObject t = v.toObject();
        const QString name = t["name"_L1].toString();
        const QJsonArray lines = t["lines"_L1].toArray();
        for (int k = 0; k < lines.size(); ++k) {
            const QJsonObject l = lines[k].toObject();
            db.execNative(QStringLiteral("INSERT INTO PoetrySet (fModel,fID,fFontName,fFontSize,fFontBold,fFontItalic,"
                                         "fFontUnderline,fFontColor,fAlign,fIndent,fHangingIndent,fOffset) VALUES "
                                         "(%1,%2,%3,%4,%5,%6,%7,%8,%9,%10,%11,%12)")
                              .arg(sqlText(name), QString::number(k), sqlText(l["font"_L1].toString()),
                                   QString::number(l["size"_L1].toInt(9)), QString::number(l["bold"_L1].toInt()),
                                   QString::number(l["italic"_L1].toInt()), QString::number(l["underline"_L1].toInt()),
                                   QString::number(l["color"_L1].toInteger()), QString::number(l["align"_L1].toInt()))
                              .arg(l["indent"_L1].toInt())
                              .arg(l["hanging"_L1].toInt())
                              .arg(l["offset"_L1].toInt()));
        }
        ++c.templates;
    }

    tx.commit();
    return c;
}
