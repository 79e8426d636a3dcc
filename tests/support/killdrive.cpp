// lyrabook-killdrive: the helper of scripts/killtest.sh, which kills bulk writes
// with SIGKILL and checks that each was written whole or not at all.
//   package DIR N  writes N generated poems in the chinese-poetry layout under DIR
//   file DB        files every poem of DB (named poem.mdb) into the book "killtest"
//                  through the real main window, offscreen; prints "writing" just
//                  before the write starts
//   check DB       prints "<integrity_check> <poems> <poems in killtest>"
#include "app/mainwindow.h"
#include "db/sqlitedb.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

const QString kBook = QStringLiteral("killtest");

// Answers every question with OK; prints every message.
class YesDialogs : public Dialogs {
public:
    void message(const QString& text, Icon, const QString& = QString()) override {
        std::printf("message %s\n", qPrintable(text));
        std::fflush(stdout);
    }
    bool question(const QString&, const QString& = QString()) override { return true; }
    QString getFilePath(int, int, const QString&, const QString&, const QString&) override { return {}; }
    bool inputBox(const QString&, const QString&, const QString&, QString*) override { return false; }
    bool chooseColor(const QColor&, QColor*) override { return false; }
    bool printDialog(QPrinter*, bool) override { return false; }
};

int makePackage(const QString& dir, int n) {
    const QString tang = dir + QStringLiteral("/dist/quantangshi");
    QDir().mkpath(tang);
    static const QString chars = QStringLiteral("春江花月夜山水云风雨雪松竹梅兰菊秋霜寒烟柳燕归鸿雁长河落日孤城远客");
    quint32 seed = 12345;
    const auto pick = [&] {
        seed = seed * 1103515245u + 12345u;
        return chars[int((seed >> 8) % quint32(chars.size()))];
    };
    QJsonArray poems;
    int file = 0;
    const auto flush = [&] {
        QFile f(tang + QStringLiteral("/poet.tang.%1.json").arg(file++));
        if (!f.open(QIODevice::WriteOnly)) return false;
        f.write(QJsonDocument(poems).toJson(QJsonDocument::Compact));
        poems = QJsonArray();
        return true;
    };
    for (int i = 0; i < n; ++i) {
        QJsonArray lines;
        for (int l = 0; l < 2; ++l) {
            QString line;
            for (int half = 0; half < 2; ++half) {
                for (int c = 0; c < 5; ++c) line += pick();
                line += half == 0 ? u'，' : u'。';
            }
            lines.append(line);
        }
        poems.append(QJsonObject{{u"author"_s, QStringLiteral("诗人%1").arg(i % 997)},
                                 {u"title"_s, QStringLiteral("%1拟古第%2首").arg(dir.section(u'/', -1)).arg(i)},
                                 {u"paragraphs"_s, lines}});
        if (poems.size() == 1000 && !flush()) return 1;
    }
    if (!poems.isEmpty() && !flush()) return 1;
    QFile authors(tang + QStringLiteral("/authors.tang.json"));
    if (!authors.open(QIODevice::WriteOnly)) return 1;
    authors.write("[]");
    return 0;
}

int fileAll(const QString& path) {
    {
        SqlDatabase db;
        if (db.open(path, false) != 0) return 1;
        qint64 n = 0;
        db.scalarInt(QStringLiteral("select count(*) from PoetBook where fBook='killtest'"), &n);
        if (n == 0) db.execNative(QStringLiteral("INSERT INTO PoetBook (fBook,fBookOrderID,fBookSelected) VALUES ('killtest',0,1)"));
    }
    MainWindow::setProgramFolderForTesting(QFileInfo(path).absolutePath());
    YesDialogs dialogs;
    MainWindow w(&dialogs);
    w.Form_Load();
    if (!w.session().canWrite()) return 1;
    // Choosing the book lists its poems; every poem is listed after that.
    w.ui.cboBook->setCurrentIndex(w.ui.cboBook->findText(kBook));
    w.FillTitleList(QStringLiteral(" Where a.fPoemID>0"), QStringLiteral("a.fPoemID"), QStringLiteral("0"));
    std::printf("writing\n");
    std::fflush(stdout);
    QElapsedTimer timer;
    timer.start();
    w.ui.mnuBookAdd[1]->trigger();
    std::printf("done %lld\n", timer.elapsed());
    return 0;
}

int check(const QString& path) {
    SqlDatabase db;
    if (db.open(path, false) != 0) return 1;
    try {
        SqlStatement ic = db.prepareNative(QStringLiteral("PRAGMA integrity_check"));
        const QString integrity = ic.next() ? ic.text(0) : QStringLiteral("none");
        ic.finalize();
        qint64 poems = 0, filed = 0;
        db.scalarInt(QStringLiteral("select count(*) from Poetry"), &poems);
        db.scalarInt(QStringLiteral("select count(*) from Poetry a, PoetBook b where a.fBookID=b.fBookID and "
                                    "b.fBook='killtest'"),
                     &filed);
        std::printf("%s %lld %lld\n", qPrintable(integrity), poems, filed);
    } catch (const SqlError& e) {
        std::printf("error %s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() >= 4 && args[1] == QStringLiteral("package")) return makePackage(args[2], args[3].toInt());
    if (args.size() >= 3 && args[1] == QStringLiteral("file")) return fileAll(args[2]);
    if (args.size() >= 3 && args[1] == QStringLiteral("check")) return check(args[2]);
    std::fprintf(stderr, "usage: lyrabook-killdrive package DIR N | file DB | check DB\n");
    return 2;
}
