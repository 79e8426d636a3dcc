// lyrabook-killdrive: the helper of scripts/killtest.sh, which kills bulk writes
// with SIGKILL and checks that each was written whole or not at all.
//   package DIR N  writes N generated poems in the chinese-poetry layout under DIR
//   file DB        files every poem of DB (named poem.mdb) into the book "killtest"
//                  through the real main window, offscreen; prints "writing" just
//                  before the write starts
//   check DB       prints "<integrity_check> <poems> <poems in killtest>"
#include "app/mainwindow.h"
#include "db/sqlitedb.h"
#include "support/scripteddialogs.h"

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

// Answers every question with OK; prints every message.
struct YesDialogs : ScriptedDialogs {
    void message(const QString& text, Icon, const QString&) override { std::printf("message %s\n", qPrintable(text)); }
    bool question(const QString&, const QString& = QString()) override { return true; }
};

int makePackage(const QString& dir, int n) {
    const QString tang = dir + u"/dist/quantangshi/"_s;
    QDir().mkpath(tang);
    static const QString chars = u"春江花月夜山水云风雨雪松竹梅兰菊秋霜寒烟柳燕归鸿雁长河落日孤城远客"_s;
    quint32 seed = 12345;
    const auto write = [&tang](const QString& name, const QByteArray& bytes) {
        QFile f(tang + name);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    };
    for (int first = 0; first < n; first += 1000) { // a thousand poems a file
        QJsonArray poems;
        for (int i = first; i < std::min(n, first + 1000); ++i) {
            QString text; // two lines of two five-character clauses
            for (int c = 0; c < 20; ++c) {
                seed = seed * 1103515245u + 12345u;
                text += chars[int((seed >> 8) % quint32(chars.size()))];
                if (c % 5 == 4) text += c % 10 == 4 ? u'，' : u'。';
            }
            poems.append(QJsonObject{{u"author"_s, u"诗人%1"_s.arg(i % 997)},
                                     {u"title"_s, u"%1拟古第%2首"_s.arg(dir.section(u'/', -1)).arg(i)},
                                     {u"paragraphs"_s, QJsonArray{text.left(12), text.mid(12)}}});
        }
        if (!write(u"poet.tang.%1.json"_s.arg(first / 1000), QJsonDocument(poems).toJson(QJsonDocument::Compact)))
            return 1;
    }
    return write(u"authors.tang.json"_s, "[]") ? 0 : 1;
}

int fileAll(const QString& path) {
    {
        SqlDatabase db;
        if (db.open(path, false) != 0) return 1;
        db.execNative(u"INSERT INTO PoetBook (fBook,fBookOrderID,fBookSelected) SELECT 'killtest',0,1 "
                      "WHERE NOT EXISTS (SELECT 1 FROM PoetBook WHERE fBook='killtest')"_s);
    }
    MainWindow::setProgramFolderForTesting(QFileInfo(path).absolutePath());
    YesDialogs dialogs;
    MainWindow w(&dialogs);
    w.Form_Load();
    if (!w.session().canWrite()) return 1;
    // Choosing the book lists its poems; every poem is listed after that.
    w.ui.cboBook->setCurrentIndex(w.ui.cboBook->findText(u"killtest"_s));
    w.FillTitleList(QStringLiteral(" Where a.fPoemID>0"), QStringLiteral("a.fPoemID"), QStringLiteral("0"));
    std::printf("writing\n");
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
        SqlStatement n = db.prepareNative(u"select ifnull((select * from pragma_integrity_check limit 1), 'none'), "
                                          "(select count(*) from Poetry), (select count(*) from Poetry a, PoetBook b "
                                          "where a.fBookID=b.fBookID and b.fBook='killtest')"_s);
        if (n.next()) std::printf("%s %lld %lld\n", qPrintable(n.text(0)), n.int64(1), n.int64(2));
    } catch (const SqlError& e) {
        std::printf("error %s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each line reaches the script when printed
    const QStringList args = QApplication::arguments();
    if (args.size() >= 4 && args[1] == QStringLiteral("package")) return makePackage(args[2], args[3].toInt());
    if (args.size() >= 3 && args[1] == QStringLiteral("file")) return fileAll(args[2]);
    if (args.size() >= 3 && args[1] == QStringLiteral("check")) return check(args[2]);
    std::fprintf(stderr, "usage: lyrabook-killdrive package DIR N | file DB | check DB\n");
    return 2;
}
