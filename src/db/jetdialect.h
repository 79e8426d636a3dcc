#pragma once
// The program writes its statements in the Jet dialect of the original file
// format. translateJetSql() turns such a statement into SQLite text:
//   '' & X        -> (('' || ifnull(X,'')) COLLATE NOCASE)   text concatenation, NULL as ""
//   isnull(X)     -> ((X) IS NULL)
//   left(X,N)     -> substr(X,1,N)
// String literals pass through untouched; everything else is already SQLite.
#include <QString>

QString translateJetSql(const QString& jetSql);
