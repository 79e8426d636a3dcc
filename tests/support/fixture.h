#pragma once
// Fixture poem databases made by the program's own schema code in a temporary folder.
#include "db/sqlitedb.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>

class FixtureDb {
public:
    // An empty poem database (schema only) in a fresh temporary folder.
    FixtureDb();
    const QString& path() const { return m_path; }
    QString dir() const { return m_dir->path(); }
    // A second connection for setting up and checking rows.
    SqlDatabase& db() { return m_db; }
    // The standard sample: a few poems across dynasties, types and forms (some with
    // NULL type or form), poets with and without biography, two books, the
    // dynasty list, some pinyin and one template. Returns nothing; see fixture.cpp.
    void fillSample();
    qint64 count(const QString& nativeSql);
    QString text(const QString& nativeSql);
    void closeConnection() { m_db.close(); }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    SqlDatabase m_db;
};
