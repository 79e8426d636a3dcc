#pragma once
// Appends the poems of the public chinese-poetry corpus (the folder that
// `npm pack chinese-poetry` unpacks to, holding dist/) to a poem database.
//
// Each collection of the corpus is read into rows of Poetry: title, poet,
// dynasty, category, form (the tune for ci and qu, a form guessed from the line
// lengths for shi), content lines joined by CR LF, editor's notes in fMemo,
// fQty 1. The poets' biographies go into Poet, one row per name. A poem the
// database already holds (same poet, title and content) is skipped, so a second
// import adds nothing. The whole import is one transaction: stopped or failed,
// the database is left as it was.
#include <QSet>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <vector>

struct CorpusPoem {
    QString type;
    QString style;
    QString poet;
    QString dynasty;
    QString title;
    QString pre;
    QString content;
    QString memo;
    // The author's name as the source writes it (before any conversion): the
    // key into the source's biography lists.
    QString sourcePoet;
};

struct CorpusCollection {
    const char* key;  // option value, e.g. "tang"
    const char* name; // shown in the progress, e.g. "全唐诗"
};
// Every collection the importer knows, in import order.
const std::vector<CorpusCollection>& CorpusCollections();

// ---- Text rules (used by the readers; public for the tests) ----

// One line of a poem as stored: blanks removed, ASCII , ? ! : ; made full-width.
QString CleanPoemLine(const QString& line);
// The source paragraphs with bracketed editor's notes, "（一作…）" and the like,
// taken out of the text: returns the cleaned non-empty lines and the notes.
struct LinesAndNotes {
    QStringList lines;
    QStringList notes;
};
LinesAndNotes SplitNotes(const QStringList& paragraphs);
// The form of a shi from its lines: split into clauses at the punctuation;
// clauses all of 5 or all of 7 characters make 五言/七言 绝句 (4 clauses),
// 律诗 (8) or 古诗 (any other number); all of 6 make 六言诗, all of 4 四言诗;
// anything else 杂言. No text gives "".
QString GuessShiForm(const QStringList& lines);
// A ci heading "木兰花・玉楼春" is the tune under two names: the first is title
// and form, the second goes into the notes ("调名一作《玉楼春》").
struct TuneHeading {
    QString title;
    QString style;
    QString memo;
};
TuneHeading SplitTuneHeading(const QString& rhythmic);
// The tune of a qu, its form. "诈妮子调风月・仙吕/点绛唇" names the play, then
// mode and tune: "点绛唇". "醉春风・粉暖倩蜂须，…" names the tune, then the
// first line: "醉春风". After a mode ("南吕・一枝花咏喜雨") tune and title run
// together: the longest of `knownTunes` that begins the rest, else the rest.
// Titles without a usable tune give "散曲".
QString QuTune(const QString& title, const QSet<QString>& knownTunes = {});
// Title separators unified to "·", blanks trimmed; an empty title becomes "无题".
QString NormalizeTitle(const QString& title);

// ---- Reading the package ----

// The source files of one collection under the package folder (the folder
// holding dist/, or dist/ itself), in import order. Throws std::runtime_error
// when the collection's files are missing.
QStringList CollectionFiles(const QString& packageDir, const QString& collectionKey);
// The poems of one source file, in source characters. Throws std::runtime_error
// for a file that cannot be read or parsed.
std::vector<CorpusPoem> ReadCorpusFile(const QString& collectionKey, const QString& path);

// ---- The import ----

struct ImportProgress {
    QString collection; // name of the collection being read
    int filesDone = 0;
    int filesTotal = 0;
    qint64 bytesDone = 0;
    qint64 bytesTotal = 0;
    qint64 added = 0;
    qint64 skipped = 0;
    bool finishing = false; // all poems read; indexes' statistics and commit follow
};

struct ImportOptions {
    QString packageDir;
    QString databasePath;      // an existing poem database
    QStringList collections;   // keys; empty means every collection
    bool simplify = false;     // convert to simplified characters (needs OpenCC)
    int threads = 0;           // readers working ahead of the writer; 0 = one per core
    std::function<void(const ImportProgress&)> progress;
    const std::atomic<bool>* stop = nullptr; // set from a signal handler to stop
};

struct ImportResult {
    qint64 added = 0;        // poems written
    qint64 skipped = 0;      // poems the database already held
    qint64 poetsAdded = 0;   // new rows of Poet
    qint64 briefsFilled = 0; // Poet rows that had no biography and got one
    bool stopped = false;    // stopped on request: nothing was written
};

// Runs the import. Throws std::runtime_error (or SqlError) on failure; the
// database is then unchanged.
ImportResult ImportCorpus(const ImportOptions& options);
