#include "corpusimporter.h"

#include "db/sqlitedb.h"
#include "textconverter.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <sqlite3.h>
#include <stdexcept>
#include <thread>
#include <unordered_set>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kAnonymous = QStringLiteral("佚名");

std::runtime_error failure(const QString& text) { return std::runtime_error(text.toStdString()); }

// ---------------------------------------------------------------- collections

enum class BioList { Tang, SongShi, Ci, NanTang };

struct CollectionRule {
    const char* key;
    const char* name;
    std::vector<BioList> bios; // where the poets' biographies are looked up, in order
};

const std::vector<CollectionRule>& rules() {
    static const std::vector<CollectionRule> r = {
        {"tang", "全唐诗", {BioList::Tang}},
        {"song", "全宋诗", {BioList::SongShi, BioList::Ci}},
        {"ci", "全宋词", {BioList::Ci, BioList::SongShi}},
        {"wudai", "五代词", {BioList::NanTang, BioList::Tang}},
        {"yuan", "元曲", {}},
        {"shijing", "诗经", {}},
        {"chuci", "楚辞", {}},
        {"caocao", "曹操诗集", {}},
        {"nalan", "纳兰性德诗集", {}},
    };
    return r;
}

const CollectionRule& ruleFor(const QString& key) {
    for (const CollectionRule& r : rules())
        if (key == QLatin1String(r.key)) return r;
    throw failure(QStringLiteral("unknown collection \"%1\"").arg(key));
}

QString distFolder(const QString& packageDir) {
    const QDir pkg(packageDir);
    if (pkg.exists(QStringLiteral("dist"))) return pkg.filePath(QStringLiteral("dist"));
    return pkg.path();
}

QString requireFile(const QString& dist, const QString& relative) {
    const QString path = QDir(dist).filePath(relative);
    if (!QFileInfo(path).isFile())
        throw failure(QStringLiteral("missing %1: is this the unpacked chinese-poetry package?").arg(path));
    return path;
}

// Files "<prefix><number>.json" of a folder, by number; files whose middle part
// is not a number ("ci.song.2019y.json") follow in name order.
QStringList numberedFiles(const QString& dist, const QString& folder, const QString& prefix) {
    const QDir dir(QDir(dist).filePath(folder));
    const QStringList names = dir.entryList({prefix + QStringLiteral("*.json")}, QDir::Files, QDir::Name);
    std::vector<std::pair<qint64, QString>> numbered;
    QStringList others;
    for (const QString& n : names) {
        bool ok = false;
        const qint64 k = n.mid(prefix.size(), n.size() - prefix.size() - 5).toLongLong(&ok);
        if (ok) numbered.emplace_back(k, n);
        else others << n;
    }
    std::sort(numbered.begin(), numbered.end());
    QStringList out;
    for (const auto& [k, n] : numbered) out << dir.filePath(n);
    for (const QString& n : others) out << dir.filePath(n);
    if (out.isEmpty())
        throw failure(QStringLiteral("no %1*.json in %2: is this the unpacked chinese-poetry package?")
                          .arg(prefix, dir.path()));
    return out;
}

QJsonDocument readJson(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) throw failure(QStringLiteral("cannot read %1").arg(path));
    QJsonParseError err;
    QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &err);
    if (err.error != QJsonParseError::NoError)
        throw failure(QStringLiteral("%1: %2").arg(path, err.errorString()));
    return doc;
}

QJsonArray readArray(const QString& path) {
    const QJsonDocument doc = readJson(path);
    if (!doc.isArray()) throw failure(QStringLiteral("%1: not a list of poems").arg(path));
    return doc.array();
}

QStringList stringList(const QJsonValue& v) {
    QStringList out;
    if (v.isArray()) {
        for (const QJsonValue& x : v.toArray()) out << x.toString();
    } else if (v.isString() && !v.toString().isEmpty()) {
        out << v.toString();
    }
    return out;
}

bool isTitleSeparator(QChar c) { return c == u'·' || c == QChar(0x30FB) || c == QChar(0x2022) || c == QChar(0xFF65); }

// ---------------------------------------------------------------- biographies

bool isCjkOrPunct(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x3000 && u <= 0x303F) || (u >= 0x3400 && u <= 0x9FFF) || (u >= 0xFF00 && u <= 0xFFEF) ||
           u == 0x201C || u == 0x201D || u == 0x2018 || u == 0x2019 || c.isSurrogate();
}

// Line-wrapping blanks left between Chinese characters go; runs of blanks shrink to one.
QString tidyBio(QString text) {
    text.replace(QChar(0x3000), u' ');
    text = text.trimmed();
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u' ') {
            qsizetype j = i;
            while (j < text.size() && text[j] == u' ') ++j;
            const bool between = !out.isEmpty() && isCjkOrPunct(out.back()) && j < text.size() && isCjkOrPunct(text[j]);
            if (!between) out += u' ';
            i = j - 1;
            continue;
        }
        out += c;
    }
    return out;
}

// The Tang authors' list merged several entries for one name with a run of
// blanks between them: often the same text again, sometimes another person.
QString tangBio(const QString& desc) {
    static const QRegularExpression runs(QStringLiteral("[ \\x{3000}]{2,}"));
    return tidyBio(desc.trimmed().split(runs).value(0));
}

// The ci authors' entries read "NAME：bio--bio主要作品有：…": the biography after
// "--" is written for ci poets and preferred; the list of works and an
// unfinished last sentence are left out.
QString ciBio(const QString& name, const QString& desc, const QString& shortDesc) {
    QStringList parts = desc.split(QStringLiteral("--"));
    QStringList candidates = parts.mid(1);
    candidates << parts.value(0) << shortDesc;
    const QRegularExpression lead(QStringLiteral("^\\s*") + QRegularExpression::escape(name) +
                                  QStringLiteral("\\s*[:：]\\s*"));
    for (QString p : candidates) {
        p.remove(lead);
        const qsizetype works = p.indexOf(QStringLiteral("主要作品有"));
        if (works >= 0) p.truncate(works);
        p = p.trimmed();
        const qsizetype stop = p.lastIndexOf(u'。');
        if (stop >= 0) p.truncate(stop + 1);
        if (p.size() > 10) return tidyBio(p);
    }
    return QString();
}

// Source name -> biography, first non-empty entry of a list winning.
using BioIndex = QHash<QString, QString>;

BioIndex loadBioList(const QString& dist, BioList list) {
    BioIndex idx;
    QString path;
    switch (list) {
    case BioList::Tang: path = QStringLiteral("quantangshi/authors.tang.json"); break;
    case BioList::SongShi: path = QStringLiteral("quantangshi/authors.song.json"); break;
    case BioList::Ci: path = QStringLiteral("songci/author.song.json"); break;
    case BioList::NanTang: path = QStringLiteral("wudaishici/nantang/authors.json"); break;
    }
    const QString file = QDir(dist).filePath(path);
    if (!QFileInfo(file).isFile()) return idx; // a poet without biography is no failure
    for (const QJsonValue& v : readArray(file)) {
        const QJsonObject o = v.toObject();
        const QString name = o.value(QStringLiteral("name")).toString().trimmed();
        if (name.isEmpty() || idx.contains(name)) continue;
        QString bio;
        switch (list) {
        case BioList::Tang: bio = tangBio(o.value(QStringLiteral("desc")).toString()); break;
        case BioList::SongShi: bio = tidyBio(o.value(QStringLiteral("desc")).toString()); break;
        case BioList::Ci:
            bio = ciBio(name, o.value(QStringLiteral("description")).toString(),
                        o.value(QStringLiteral("short_description")).toString());
            break;
        case BioList::NanTang: {
            QStringList paras;
            for (const QString& line : o.value(QStringLiteral("desc")).toString().split(u'\n'))
                if (!line.trimmed().isEmpty()) paras << tidyBio(line);
            bio = paras.join(kCrLf);
            break;
        }
        }
        // "无传。" and the like say there is nothing to say.
        if (bio.size() > 4) idx.insert(name, bio);
    }
    return idx;
}

// ---------------------------------------------------------------- readers

// The musical modes (宫调) that head many qu titles: "双调·清江引".
bool isQuMode(const QString& s) {
    static const QSet<QString> modes{
        QStringLiteral("双调"), QStringLiteral("中吕"), QStringLiteral("南吕"), QStringLiteral("越调"),
        QStringLiteral("仙吕"), QStringLiteral("正宫"), QStringLiteral("黄钟"), QStringLiteral("大石调"),
        QStringLiteral("商调"), QStringLiteral("般涉调"), QStringLiteral("小石调"), QStringLiteral("商角调"),
        QStringLiteral("高平调"), QStringLiteral("歇指调"), QStringLiteral("宫调"), QStringLiteral("角调"),
        QStringLiteral("大石"), QStringLiteral("仙吕宫"), QStringLiteral("南吕宫"), QStringLiteral("中吕宫"),
        QStringLiteral("黄钟宫"), QStringLiteral("正宫调")};
    return modes.contains(s.trimmed());
}

bool usableTune(const QString& tune) {
    // Readers run on several threads: each keeps its own compiled patterns.
    thread_local const QRegularExpression unusable(QStringLiteral("[\\s，。、；：！？《》()（）]"));
    // A bare numeral ("三·…") numbers a part of a suite; it names no tune.
    thread_local const QRegularExpression numeral(QStringLiteral("^[一二三四五六七八九十]+$"));
    if (tune.isEmpty() || tune.size() > 8 || tune.contains(unusable) || numeral.match(tune).hasMatch()) return false;
    // "同前" and "前腔" repeat the tune before them, which a title alone does not tell.
    return tune != QStringLiteral("无题") && tune != QStringLiteral("同前") && tune != QStringLiteral("前腔");
}

QString stripModeAndBrackets(QString tune) {
    const qsizetype slash = tune.lastIndexOf(u'/');
    if (slash >= 0) tune = tune.mid(slash + 1);
    tune.remove(QChar(0x3014)).remove(QChar(0x3015)).remove(QChar(0x3010)).remove(QChar(0x3011));
    return tune.trimmed();
}

CorpusPoem makePoem(const char* type, const char* dynasty, const QString& poet) {
    CorpusPoem p;
    p.type = QString::fromUtf8(type);
    p.dynasty = QString::fromUtf8(dynasty);
    p.poet = poet.trimmed().isEmpty() ? kAnonymous : poet.trimmed();
    p.sourcePoet = p.poet;
    return p;
}

QString joinMemo(const QStringList& a, const QStringList& b = {}) {
    QStringList all;
    for (const QString& s : a)
        if (!s.trimmed().isEmpty()) all << s.trimmed();
    for (const QString& s : b)
        if (!s.trimmed().isEmpty()) all << s.trimmed();
    return all.join(kCrLf);
}

void readShi(const QJsonArray& arr, const char* dynasty, std::vector<CorpusPoem>& out) {
    for (const QJsonValue& v : arr) {
        const QJsonObject o = v.toObject();
        const LinesAndNotes ln = SplitNotes(stringList(o.value(QStringLiteral("paragraphs"))));
        if (ln.lines.isEmpty()) continue;
        CorpusPoem p = makePoem("诗", dynasty, o.value(QStringLiteral("author")).toString());
        p.title = NormalizeTitle(o.value(QStringLiteral("title")).toString());
        p.style = GuessShiForm(ln.lines);
        p.content = ln.lines.join(kCrLf);
        p.memo = joinMemo(ln.notes);
        out.push_back(std::move(p));
    }
}

void readCi(const QJsonArray& arr, std::vector<CorpusPoem>& out) {
    for (const QJsonValue& v : arr) {
        const QJsonObject o = v.toObject();
        const LinesAndNotes ln = SplitNotes(stringList(o.value(QStringLiteral("paragraphs"))));
        if (ln.lines.isEmpty()) continue;
        CorpusPoem p = makePoem("词", "宋", o.value(QStringLiteral("author")).toString());
        const TuneHeading h = SplitTuneHeading(o.value(QStringLiteral("rhythmic")).toString());
        p.title = h.title;
        p.style = h.style;
        p.content = ln.lines.join(kCrLf);
        p.memo = joinMemo({h.memo}, ln.notes);
        out.push_back(std::move(p));
    }
}

void readWudai(const QJsonArray& arr, std::vector<CorpusPoem>& out) {
    for (const QJsonValue& v : arr) {
        const QJsonObject o = v.toObject();
        const LinesAndNotes ln = SplitNotes(stringList(o.value(QStringLiteral("paragraphs"))));
        if (ln.lines.isEmpty()) continue; // the anthology's preface has notes only
        CorpusPoem p = makePoem("词", "五代", o.value(QStringLiteral("author")).toString());
        const TuneHeading h = SplitTuneHeading(o.value(QStringLiteral("rhythmic")).toString());
        const QString title = o.value(QStringLiteral("title")).toString();
        p.title = title.trimmed().isEmpty() ? h.title : NormalizeTitle(title);
        p.style = h.style;
        p.content = ln.lines.join(kCrLf);
        p.memo = joinMemo(ln.notes, stringList(o.value(QStringLiteral("notes"))));
        out.push_back(std::move(p));
    }
}

void readQu(const QJsonArray& arr, std::vector<CorpusPoem>& out) {
    // Tunes named plainly after a play's title ("…·点绛唇") resolve the titles
    // where a mode is followed by tune and title run together.
    QSet<QString> tunes;
    for (const QJsonValue& v : arr) {
        const QString t = NormalizeTitle(v.toObject().value(QStringLiteral("title")).toString());
        const qsizetype sep = t.lastIndexOf(u'·');
        if (sep < 0) continue;
        const QString tune = QuTune(t);
        if (tune != QStringLiteral("散曲") && !isQuMode(t.left(sep))) tunes.insert(tune);
    }
    for (const QJsonValue& v : arr) {
        const QJsonObject o = v.toObject();
        const LinesAndNotes ln = SplitNotes(stringList(o.value(QStringLiteral("paragraphs"))));
        if (ln.lines.isEmpty()) continue;
        CorpusPoem p = makePoem("曲", "元", o.value(QStringLiteral("author")).toString());
        p.title = NormalizeTitle(o.value(QStringLiteral("title")).toString());
        p.style = QuTune(p.title, tunes);
        p.content = ln.lines.join(kCrLf);
        p.memo = joinMemo(ln.notes);
        out.push_back(std::move(p));
    }
}

void readShijing(const QJsonArray& arr, std::vector<CorpusPoem>& out) {
    for (const QJsonValue& v : arr) {
        const QJsonObject o = v.toObject();
        const LinesAndNotes ln = SplitNotes(stringList(o.value(QStringLiteral("content"))));
        if (ln.lines.isEmpty()) continue;
        CorpusPoem p = makePoem("诗", "先秦", QString());
        p.title = NormalizeTitle(o.value(QStringLiteral("title")).toString());
        p.style = QStringLiteral("诗经");
        p.content = ln.lines.join(kCrLf);
        QStringList where{QStringLiteral("诗经")};
        for (const char* k : {"chapter", "section"}) {
            const QString s = o.value(QLatin1String(k)).toString().trimmed();
            if (!s.isEmpty()) where << s;
        }
        p.memo = joinMemo({QStringLiteral("出自《") + where.join(u'·') + QStringLiteral("》")}, ln.notes);
        out.push_back(std::move(p));
    }
}

void readChuci(const QJsonArray& arr, std::vector<CorpusPoem>& out) {
    static const QSet<QString> preQin{QStringLiteral("屈原"), QStringLiteral("宋玉"), QStringLiteral("景差")};
    for (const QJsonValue& v : arr) {
        const QJsonObject o = v.toObject();
        const LinesAndNotes ln = SplitNotes(stringList(o.value(QStringLiteral("content"))));
        if (ln.lines.isEmpty()) continue;
        const QString author = o.value(QStringLiteral("author")).toString().trimmed();
        CorpusPoem p = makePoem("辞", preQin.contains(author) ? "先秦" : "汉", author);
        const QString title = o.value(QStringLiteral("title")).toString().trimmed();
        const QString section = o.value(QStringLiteral("section")).toString().trimmed();
        p.title = NormalizeTitle(section.isEmpty() || section == title ? title : section + u'·' + title);
        p.style = QStringLiteral("楚辞");
        p.content = ln.lines.join(kCrLf);
        p.memo = joinMemo(ln.notes);
        out.push_back(std::move(p));
    }
}

void readCaocao(const QJsonArray& arr, std::vector<CorpusPoem>& out) {
    for (const QJsonValue& v : arr) {
        const QJsonObject o = v.toObject();
        const LinesAndNotes ln = SplitNotes(stringList(o.value(QStringLiteral("paragraphs"))));
        if (ln.lines.isEmpty()) continue;
        CorpusPoem p = makePoem("诗", "汉", QStringLiteral("曹操"));
        p.title = NormalizeTitle(o.value(QStringLiteral("title")).toString());
        p.style = GuessShiForm(ln.lines);
        p.content = ln.lines.join(kCrLf);
        p.memo = joinMemo(ln.notes);
        out.push_back(std::move(p));
    }
}

void readNalan(const QJsonArray& arr, std::vector<CorpusPoem>& out) {
    for (const QJsonValue& v : arr) {
        const QJsonObject o = v.toObject();
        QStringList paras = stringList(o.value(QStringLiteral("para")));
        if (paras.isEmpty()) paras = stringList(o.value(QStringLiteral("paragraphs")));
        const LinesAndNotes ln = SplitNotes(paras);
        if (ln.lines.isEmpty()) continue;
        QString author = o.value(QStringLiteral("author")).toString();
        if (author.trimmed().isEmpty()) author = QStringLiteral("纳兰性德");
        const QString title = NormalizeTitle(o.value(QStringLiteral("title")).toString());
        qsizetype sep = title.indexOf(u'·');
        // "长相思·山一程": a ci under its tune; anything else a shi. A few
        // headings before the dot name a shi, not a tune ("拟古·美人临残月").
        if (sep > 0) {
            const QString head = title.left(sep);
            if (head.startsWith(u'拟') || head.endsWith(QStringLiteral("应制")) || head == QStringLiteral("南海子"))
                sep = -1;
        }
        CorpusPoem p = makePoem(sep > 0 ? "词" : "诗", "清", author);
        p.title = title;
        p.style = sep > 0 ? title.left(sep) : GuessShiForm(ln.lines);
        p.content = ln.lines.join(kCrLf);
        p.memo = joinMemo(ln.notes);
        out.push_back(std::move(p));
    }
}

// ---------------------------------------------------------------- import state

struct Key128 {
    quint64 a = 0;
    quint64 b = 0;
    bool operator==(const Key128& o) const { return a == o.a && b == o.b; }
};
struct Key128Hash {
    size_t operator()(const Key128& k) const { return size_t(k.a ^ (k.b * 0x9E3779B97F4A7C15ull)); }
};

// A poem's identity: poet, title and content. An MD5 of the three (with a
// separator that cannot occur in them) keeps the set small; a false match
// between two different poems is out of reach at this size.
Key128 poemKey(const char* poet, int poetLen, const char* title, int titleLen, const char* content, int contentLen) {
    QCryptographicHash h(QCryptographicHash::Md5);
    h.addData(QByteArrayView(poet, poetLen));
    h.addData(QByteArrayView("\x1f", 1));
    h.addData(QByteArrayView(title, titleLen));
    h.addData(QByteArrayView("\x1f", 1));
    h.addData(QByteArrayView(content, contentLen));
    const QByteArray d = h.result();
    Key128 k;
    std::memcpy(&k.a, d.constData(), 8);
    std::memcpy(&k.b, d.constData() + 8, 8);
    return k;
}

struct FileJob {
    QString collection;
    QString path;
    qint64 bytes = 0;
};

// Readers parse and convert files ahead of the writer, which takes the results
// strictly in file order, so the rows land in the same order on every run.
class ReaderPool {
public:
    ReaderPool(const std::vector<FileJob>& jobs, bool simplify, int threads, const std::atomic<bool>* stop)
        : m_jobs(jobs), m_simplify(simplify), m_stop(stop), m_slots(jobs.size()) {
        for (int t = 0; t < threads; ++t) m_threads.emplace_back([this] { work(); });
    }
    ~ReaderPool() {
        {
            std::lock_guard lock(m_mutex);
            m_abort = true;
        }
        m_cv.notify_all();
        for (std::thread& t : m_threads) t.join();
    }

    // The poems of file i (waits for them). Throws the reader's error.
    std::vector<CorpusPoem> take(size_t i) {
        std::unique_lock lock(m_mutex);
        m_cv.wait(lock, [&] { return m_slots[i].has_value() || m_abort; });
        if (!m_slots[i]) throw failure(QStringLiteral("stopped"));
        Slot s = std::move(*m_slots[i]);
        m_slots[i].reset();
        m_taken = i + 1;
        lock.unlock();
        m_cv.notify_all();
        if (!s.error.isEmpty()) throw failure(s.error);
        return std::move(s.poems);
    }

private:
    struct Slot {
        std::vector<CorpusPoem> poems;
        QString error;
    };
    static constexpr size_t kAhead = 6; // files read ahead of the writer, bounds memory

    void work() {
        std::unique_ptr<TextConverter> conv;
        QString convError;
        if (m_simplify) conv = MakeSimplifier(&convError);
        for (;;) {
            size_t i;
            {
                std::unique_lock lock(m_mutex);
                m_cv.wait(lock, [&] { return m_abort || m_next >= m_jobs.size() || m_next < m_taken + kAhead; });
                if (m_abort || m_next >= m_jobs.size()) return;
                i = m_next++;
            }
            Slot s;
            try {
                if (m_simplify && !conv) throw failure(convError);
                if (m_stop && m_stop->load()) throw failure(QStringLiteral("stopped"));
                s.poems = ReadCorpusFile(m_jobs[i].collection, m_jobs[i].path);
                if (conv) {
                    for (CorpusPoem& p : s.poems) {
                        p.style = conv->convert(p.style);
                        p.poet = conv->convert(p.poet);
                        p.title = conv->convert(p.title);
                        p.pre = conv->convert(p.pre);
                        p.content = conv->convert(p.content);
                        p.memo = conv->convert(p.memo);
                    }
                }
            } catch (const std::exception& e) {
                s.poems.clear();
                s.error = QString::fromUtf8(e.what());
            }
            {
                std::lock_guard lock(m_mutex);
                m_slots[i] = std::move(s);
            }
            m_cv.notify_all();
        }
    }

    const std::vector<FileJob>& m_jobs;
    bool m_simplify;
    const std::atomic<bool>* m_stop;
    std::vector<std::optional<Slot>> m_slots;
    std::vector<std::thread> m_threads;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    size_t m_next = 0;
    size_t m_taken = 0;
    bool m_abort = false;
};

struct PoetState {
    bool hasBrief = false;
    quint32 triedCollections = 0; // bit per collection whose lists were searched
};

quint32 collectionBit(const QString& key) {
    for (size_t i = 0; i < rules().size(); ++i)
        if (key == QLatin1String(rules()[i].key)) return 1u << i;
    return 0;
}

} // namespace

// ---------------------------------------------------------------- public helpers

const std::vector<CorpusCollection>& CorpusCollections() {
    static const std::vector<CorpusCollection> list = [] {
        std::vector<CorpusCollection> l;
        for (const CollectionRule& r : rules()) l.push_back({r.key, r.name});
        return l;
    }();
    return list;
}

QString CleanPoemLine(const QString& line) {
    QString out;
    out.reserve(line.size());
    for (QChar c : line) {
        if (c.isSpace()) continue;
        switch (c.unicode()) {
        case u',': out += QChar(0xFF0C); break;
        case u'?': out += QChar(0xFF1F); break;
        case u'!': out += QChar(0xFF01); break;
        case u':': out += QChar(0xFF1A); break;
        case u';': out += QChar(0xFF1B); break;
        default: out += c;
        }
    }
    return out;
}

LinesAndNotes SplitNotes(const QStringList& paragraphs) {
    LinesAndNotes r;
    QString text = paragraphs.join(u'\n');
    if (text.contains(u'(') || text.contains(QChar(0xFF08))) {
        // A note may run over a paragraph break in the source.
        thread_local const QRegularExpression note(QStringLiteral("[(\\x{FF08}]([^()\\x{FF08}\\x{FF09}]*)[)\\x{FF09}]"));
        thread_local const QRegularExpression blanks(QStringLiteral("\\s+"));
        QString kept;
        qsizetype from = 0;
        auto it = note.globalMatch(text);
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            kept += QStringView(text).mid(from, m.capturedStart() - from);
            from = m.capturedEnd();
            QString n = m.captured(1);
            n.replace(blanks, QStringLiteral(" "));
            n = n.trimmed();
            // Punctuation as in the lines, blanks between words kept.
            QString t;
            for (QChar c : n) t += c == u' ' ? QString(c) : CleanPoemLine(QString(c));
            if (!t.isEmpty()) r.notes << t;
        }
        kept += QStringView(text).mid(from);
        text = kept;
    }
    for (const QString& line : text.split(u'\n')) {
        const QString c = CleanPoemLine(line);
        // A line of punctuation alone is what a note over a paragraph break left
        // behind ("（同前。", "）。" leaves "。"): it is not a line of the poem.
        if (std::any_of(c.cbegin(), c.cend(), [](QChar ch) { return !ch.isPunct(); })) r.lines << c;
    }
    return r;
}

QString GuessShiForm(const QStringList& lines) {
    std::vector<int> clauses;
    int n = 0;
    const auto endClause = [&] {
        if (n > 0) clauses.push_back(n);
        n = 0;
    };
    for (const QString& line : lines) {
        for (qsizetype i = 0; i < line.size(); ++i) {
            const QChar c = line[i];
            switch (c.unicode()) {
            case 0xFF0C: case 0x3002: case 0xFF1F: case 0xFF01: case 0xFF1B: case 0xFF1A: case 0x3001:
            case u',': case u'.': case u'?': case u'!': case u';': case u':':
                endClause();
                continue;
            case u'{': {
                // "{臯兀}": one character written by its parts.
                const qsizetype close = line.indexOf(u'}', i);
                if (close > i) {
                    ++n;
                    i = close;
                    continue;
                }
                break;
            }
            default: break;
            }
            if (c.isLowSurrogate()) continue; // the pair counts once, by its high half
            if (c.isLetterOrNumber() || c.isHighSurrogate() || c == QChar(0x25A1) /* □, a lost character */) ++n;
        }
        endClause();
    }
    if (clauses.empty()) return QString();
    const int len = clauses.front();
    const bool even = std::all_of(clauses.begin(), clauses.end(), [&](int k) { return k == len; });
    if (!even) return QStringLiteral("杂言");
    const size_t count = clauses.size();
    switch (len) {
    case 5:
    case 7: {
        const QString words = len == 5 ? QStringLiteral("五言") : QStringLiteral("七言");
        if (count == 4) return words + QStringLiteral("绝句");
        if (count == 8) return words + QStringLiteral("律诗");
        return words + QStringLiteral("古诗");
    }
    case 6: return QStringLiteral("六言诗");
    case 4: return QStringLiteral("四言诗");
    default: return QStringLiteral("杂言");
    }
}

TuneHeading SplitTuneHeading(const QString& rhythmic) {
    QStringList names;
    QString cur;
    for (QChar c : rhythmic) {
        if (isTitleSeparator(c)) {
            names << cur.trimmed();
            cur.clear();
        } else {
            cur += c;
        }
    }
    names << cur.trimmed();
    names.removeAll(QString());
    TuneHeading h;
    if (names.isEmpty()) {
        h.title = QStringLiteral("无题");
        return h;
    }
    h.title = h.style = names.front();
    QStringList memo;
    for (qsizetype i = 1; i < names.size(); ++i)
        memo << (names[i] == QStringLiteral("自度曲") ? names[i] : QStringLiteral("调名一作《") + names[i] + u'》');
    h.memo = memo.join(kCrLf);
    return h;
}

QString QuTune(const QString& title, const QSet<QString>& knownTunes) {
    const QString t = NormalizeTitle(title);
    const QStringList parts = t.split(u'·');
    QString tune;
    if (parts.size() == 1) {
        // "红绣鞋 徐田臣《杀狗记》": the tune, then where it comes from.
        tune = stripModeAndBrackets(t.section(u' ', 0, 0));
    } else {
        const QString head = parts.front().trimmed();
        const QString tail = stripModeAndBrackets(parts.back());
        if (isQuMode(head)) {
            // "南吕·一枝花咏喜雨": the tune runs into the title; the longest tune
            // known from elsewhere in the collection that begins it.
            tune = tail;
            for (qsizetype n = qMin<qsizetype>(tail.size(), 8); n >= 2; --n) {
                if (knownTunes.contains(tail.left(n))) {
                    tune = tail.left(n);
                    break;
                }
            }
        } else if (usableTune(tail)) {
            tune = tail; // "诈妮子调风月·仙吕/点绛唇"
        } else {
            tune = stripModeAndBrackets(head); // "醉春风·粉暖倩蜂须，…": the tune, then the first line
        }
    }
    return usableTune(tune) ? tune : QStringLiteral("散曲");
}

QString NormalizeTitle(const QString& title) {
    QString t = title;
    for (QChar& c : t)
        if (isTitleSeparator(c)) c = u'·';
    t = t.trimmed();
    return t.isEmpty() ? QStringLiteral("无题") : t;
}

QStringList CollectionFiles(const QString& packageDir, const QString& key) {
    const QString dist = distFolder(packageDir);
    ruleFor(key);
    if (key == u"tang") return numberedFiles(dist, QStringLiteral("quantangshi"), QStringLiteral("poet.tang."));
    if (key == u"song") return numberedFiles(dist, QStringLiteral("quantangshi"), QStringLiteral("poet.song."));
    if (key == u"ci") return numberedFiles(dist, QStringLiteral("songci"), QStringLiteral("ci.song."));
    if (key == u"wudai") {
        QStringList files;
        const QDir hj(QDir(dist).filePath(QStringLiteral("wudaishici/huajianji")));
        for (const QString& n : hj.entryList({QStringLiteral("huajianji-*-juan.json")}, QDir::Files, QDir::Name))
            files << hj.filePath(n);
        if (files.isEmpty()) throw failure(QStringLiteral("no huajianji-*-juan.json in %1").arg(hj.path()));
        files << requireFile(dist, QStringLiteral("wudaishici/nantang/poetrys.json"));
        return files;
    }
    if (key == u"yuan") return {requireFile(dist, QStringLiteral("yuanqu/yuanqu.json"))};
    if (key == u"shijing") return {requireFile(dist, QStringLiteral("shijing/shijing.json"))};
    if (key == u"chuci") return {requireFile(dist, QStringLiteral("chuci/chuci.json"))};
    if (key == u"caocao") return {requireFile(dist, QStringLiteral("caocaoshiji/caocao.json"))};
    return {requireFile(dist, QStringLiteral("nalanxingde/纳兰性德诗集.json"))};
}

std::vector<CorpusPoem> ReadCorpusFile(const QString& key, const QString& path) {
    const QJsonArray arr = readArray(path);
    std::vector<CorpusPoem> out;
    out.reserve(size_t(arr.size()));
    if (key == u"tang") readShi(arr, "唐", out);
    else if (key == u"song") readShi(arr, "宋", out);
    else if (key == u"ci") readCi(arr, out);
    else if (key == u"wudai") readWudai(arr, out);
    else if (key == u"yuan") readQu(arr, out);
    else if (key == u"shijing") readShijing(arr, out);
    else if (key == u"chuci") readChuci(arr, out);
    else if (key == u"caocao") readCaocao(arr, out);
    else if (key == u"nalan") readNalan(arr, out);
    else ruleFor(key); // throws
    return out;
}

// ---------------------------------------------------------------- the import

ImportResult ImportCorpus(const ImportOptions& opt) {
    ImportResult result;
    const QString dist = distFolder(opt.packageDir);

    QStringList keys = opt.collections;
    if (keys.isEmpty())
        for (const CollectionRule& r : rules()) keys << QString::fromLatin1(r.key);
    std::vector<FileJob> jobs;
    qint64 bytesTotal = 0;
    for (const QString& key : keys) {
        ruleFor(key);
        for (const QString& f : CollectionFiles(opt.packageDir, key)) {
            const qint64 size = QFileInfo(f).size();
            jobs.push_back({key, f, size});
            bytesTotal += size;
        }
    }

    std::unique_ptr<TextConverter> conv;
    if (opt.simplify) {
        QString error;
        conv = MakeSimplifier(&error);
        if (!conv) throw failure(error);
    }

    if (!QFileInfo(opt.databasePath).isFile())
        throw failure(QStringLiteral("%1 does not exist: make a poem database first (lyrabook-makedb)")
                          .arg(opt.databasePath));
    SqlDatabase db;
    if (db.open(opt.databasePath, false) != SQLITE_OK)
        throw failure(QStringLiteral("cannot open %1: %2").arg(opt.databasePath, db.lastError()));
    sqlite3* h = db.handle();
    sqlite3_busy_timeout(h, 30000);
    try {
        db.prepareNative(QStringLiteral("SELECT 1 FROM Poetry WHERE 1=0")).next();
        db.prepareNative(QStringLiteral("SELECT 1 FROM Poet WHERE 1=0")).next();
    } catch (const SqlError&) {
        throw failure(QStringLiteral("%1 is not a poem database").arg(opt.databasePath));
    }
    // Enough page cache that the indexes are not spilled to disk mid-import.
    db.execNative(QStringLiteral("PRAGMA cache_size=-524288"));
    db.execNative(QStringLiteral("PRAGMA temp_store=MEMORY"));

    // One transaction for the whole run, holding the write lock from the start;
    // whatever ends the run before the commit rolls it back.
    SqlTransaction tx(db);

    // Poems and poets already held.
    std::unordered_set<Key128, Key128Hash> held;
    {
        SqlStatement st = db.prepareNative(QStringLiteral("SELECT fPoet,fTitle,fContent FROM Poetry"));
        while (st.next()) {
            // NULL counts as empty text.
            const auto col = [&](int i) {
                const QByteArrayView v = st.utf8(i);
                return std::pair<const char*, int>(v.data() ? v.data() : "", int(v.size()));
            };
            const auto [p, pl] = col(0);
            const auto [t, tl] = col(1);
            const auto [c, cl] = col(2);
            held.insert(poemKey(p, pl, t, tl, c, cl));
        }
    }
    QHash<QString, PoetState> poets;
    {
        SqlStatement st = db.prepareNative(QStringLiteral("SELECT fPoet, ifnull(fBrief,'') <> '' FROM Poet"));
        while (st.next()) {
            PoetState& s = poets[QString::fromUtf8(st.utf8(0))];
            s.hasBrief = s.hasBrief || st.int64(1) != 0;
        }
    }

    SqlStatement insertPoem = db.prepareNative(
        QStringLiteral("INSERT INTO Poetry (fBookID,fType,fStyle,fPoet,fDynasty,fTitle,fPre,fContent,fMemo,fQty) "
                       "VALUES (-1,?1,?2,?3,?4,?5,?6,?7,?8,1)"));
    SqlStatement insertPoet = db.prepareNative(QStringLiteral("INSERT INTO Poet (fPoet,fBrief) VALUES (?1,?2)"));
    SqlStatement fillBrief =
        db.prepareNative(QStringLiteral("UPDATE Poet SET fBrief=?2 WHERE fPoet=?1 AND ifnull(fBrief,'')=''"));
    // Runs a bound statement once and makes it ready for the next values.
    const auto run = [](SqlStatement& st) {
        st.next();
        st.reset();
    };

    std::map<BioList, BioIndex> bioLists;
    const auto findBio = [&](const QString& collection, const QString& sourceName) -> QString {
        if (sourceName == kAnonymous || sourceName == QStringLiteral("无名氏")) return QString();
        for (BioList list : ruleFor(collection).bios) {
            auto it = bioLists.find(list);
            if (it == bioLists.end()) it = bioLists.emplace(list, loadBioList(dist, list)).first;
            const auto found = it->second.constFind(sourceName);
            if (found != it->second.constEnd()) return conv ? conv->convert(*found) : *found;
        }
        return QString();
    };

    int threads = opt.threads > 0 ? opt.threads : int(std::max(1u, std::thread::hardware_concurrency()));
    ImportProgress progress;
    progress.bytesTotal = bytesTotal;
    progress.filesTotal = int(jobs.size());
    {
        ReaderPool readers(jobs, opt.simplify, threads, opt.stop);
        for (size_t i = 0; i < jobs.size(); ++i) {
            if (opt.stop && opt.stop->load()) {
                result.stopped = true;
                break;
            }
            progress.collection = QString::fromUtf8(ruleFor(jobs[i].collection).name);
            const quint32 bit = collectionBit(jobs[i].collection);
            std::vector<CorpusPoem> poems;
            try {
                poems = readers.take(i);
            } catch (const std::exception&) {
                if (opt.stop && opt.stop->load()) {
                    result.stopped = true;
                    break;
                }
                throw;
            }
            for (CorpusPoem& p : poems) {
                const QByteArray poet = p.poet.toUtf8();
                const QByteArray title = p.title.toUtf8();
                const QByteArray content = p.content.toUtf8();
                const Key128 key = poemKey(poet.constData(), int(poet.size()), title.constData(), int(title.size()),
                                           content.constData(), int(content.size()));
                if (!held.insert(key).second) {
                    ++result.skipped;
                    continue;
                }
                insertPoem.bindUtf8(1, p.type.toUtf8());
                insertPoem.bindUtf8(2, p.style.toUtf8());
                insertPoem.bindUtf8(3, poet);
                insertPoem.bindUtf8(4, p.dynasty.toUtf8());
                insertPoem.bindUtf8(5, title);
                insertPoem.bindUtf8(6, p.pre.toUtf8());
                insertPoem.bindUtf8(7, content);
                insertPoem.bindUtf8(8, p.memo.toUtf8());
                run(insertPoem);
                ++result.added;

                // One Poet row per name; a row without biography gets one from
                // the first collection whose lists know the poet.
                auto ps = poets.find(p.poet);
                if (ps == poets.end()) {
                    const QString bio = findBio(jobs[i].collection, p.sourcePoet);
                    insertPoet.bindUtf8(1, poet);
                    insertPoet.bindUtf8(2, bio.toUtf8());
                    run(insertPoet);
                    ++result.poetsAdded;
                    poets.insert(p.poet, PoetState{!bio.isEmpty(), bit});
                } else if (!ps->hasBrief && !(ps->triedCollections & bit)) {
                    ps->triedCollections |= bit;
                    const QString bio = findBio(jobs[i].collection, p.sourcePoet);
                    if (!bio.isEmpty()) {
                        fillBrief.bindUtf8(1, poet);
                        fillBrief.bindUtf8(2, bio.toUtf8());
                        run(fillBrief);
                        ps->hasBrief = true;
                        ++result.briefsFilled;
                    }
                }
            }
            progress.filesDone = int(i + 1);
            progress.bytesDone += jobs[i].bytes;
            progress.added = result.added;
            progress.skipped = result.skipped;
            if (opt.progress) opt.progress(progress);
        }
    }
    if (result.stopped || (opt.stop && opt.stop->load())) {
        result.stopped = true;
        result.added = result.skipped = result.poetsAdded = result.briefsFilled = 0;
        return result; // the transaction rolls back
    }
    progress.finishing = true;
    if (opt.progress) opt.progress(progress);
    // Fresh statistics for the query planner over the grown tables.
    if (result.added > 0) db.execNative(QStringLiteral("ANALYZE"));
    tx.commit();
    return result;
}
