// The file search: masks, folders, subfolders, hidden entries and the caller's list.
#include <memory>

#include <dirent.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "FailuPaieska.h"

using namespace Qt::StringLiterals;

namespace {

// The names of a folder in the order the directory itself gives them.
QStringList KatalogoTvarka(const QString& aplankas) {
    QStringList vardai;
    DIR* d = ::opendir(QFile::encodeName(aplankas).constData());
    if (!d)
        return vardai;
    while (const dirent* e = ::readdir(d)) {
        const QString vardas = QFile::decodeName(e->d_name);
        if (vardas != u"."_s && vardas != u".."_s)
            vardai.append(vardas);
    }
    ::closedir(d);
    return vardai;
}

} // namespace

class TstFailuPaieska : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void kauke_data();
    void kauke();
    void paieska_data();
    void paieska();
    void katalogoTvarka();
    void sarasasPapildomas();
    void nuorodaIAukstesniAplanka();

private:
    std::unique_ptr<QTemporaryDir> aplankas;
    QString buvesAplankas;
};

// The tree every search row works on:
//   Kalbos/English.lng, Kalbos/Lietuviu.LNG, Kalbos/.lng, Kalbos/skaityk.txt
//   Kalbos/seni/Senas.lng, Kalbos/seni/gilu/Gilus.lng, Kalbos/.slepta/Slaptas.lng
//   Kalbos/aplankas.lng/ (a folder whose name matches the mask)
void TstFailuPaieska::init() {
    aplankas = std::make_unique<QTemporaryDir>();
    QVERIFY(aplankas->isValid());
    QDir d(aplankas->path());
    for (const QString& p : {u"Kalbos/seni/gilu"_s, u"Kalbos/.slepta"_s, u"Kalbos/aplankas.lng"_s})
        QVERIFY(d.mkpath(p));
    for (const QString& f :
         {u"Kalbos/English.lng"_s, u"Kalbos/Lietuviu.LNG"_s, u"Kalbos/.lng"_s, u"Kalbos/skaityk.txt"_s,
          u"Kalbos/seni/Senas.lng"_s, u"Kalbos/seni/gilu/Gilus.lng"_s, u"Kalbos/.slepta/Slaptas.lng"_s}) {
        QFile failas(d.filePath(f));
        QVERIFY(failas.open(QIODevice::WriteOnly));
    }
    buvesAplankas = QDir::currentPath();
    QVERIFY(QDir::setCurrent(aplankas->path()));
}

void TstFailuPaieska::cleanup() {
    QDir::setCurrent(buvesAplankas);
    aplankas.reset();
}

void TstFailuPaieska::kauke_data() {
    QTest::addColumn<QString>("vardas");
    QTest::addColumn<QString>("kauke");
    QTest::addColumn<bool>("tinka");
    QTest::newRow("star and extension") << u"English.lng"_s << u"*.lng"_s << true;
    QTest::newRow("extension in other case") << u"English.LNG"_s << u"*.lng"_s << true;
    QTest::newRow("mask in other case") << u"english.lng"_s << u"*.LnG"_s << true;
    QTest::newRow("Lithuanian letters in other case") << u"Žemėlapis.jpg"_s << u"ž*.JPG"_s << true;
    QTest::newRow("name only the extension") << u".lng"_s << u"*.lng"_s << true;
    QTest::newRow("other extension") << u"English.lngx"_s << u"*.lng"_s << false;
    QTest::newRow("star alone") << u"bet kas"_s << u"*"_s << true;
    QTest::newRow("star matches an empty name part") << u"a.lng"_s << u"a*.lng"_s << true;
    QTest::newRow("question mark is one character") << u"ab.lng"_s << u"a?.lng"_s << true;
    QTest::newRow("question mark needs a character") << u"a.lng"_s << u"a?.lng"_s << false;
    QTest::newRow("several stars") << u"de_dust2_v.jpg"_s << u"*dust*v*"_s << true;
    QTest::newRow("star needs to step back") << u"aXbXc"_s << u"a*b*c"_s << true;
    QTest::newRow("no match after a star") << u"abc"_s << u"a*d"_s << false;
    QTest::newRow("exact name") << u"Nustatymai.tyb"_s << u"nustatymai.TYB"_s << true;
    QTest::newRow("empty mask matches nothing") << u"a"_s << QString() << false;
    QTest::newRow("brackets are ordinary") << u"[a].lng"_s << u"[a].lng"_s << true;
    QTest::newRow("brackets are no class") << u"a.lng"_s << u"[ab].lng"_s << false;
}

void TstFailuPaieska::kauke() {
    QFETCH(QString, vardas);
    QFETCH(QString, kauke);
    QTEST(AtitinkaKauke(vardas, kauke), "tinka");
}

void TstFailuPaieska::paieska_data() {
    QTest::addColumn<QString>("katalogas");
    QTest::addColumn<QString>("kauke");
    QTest::addColumn<bool>("suPakatalogiais");
    QTest::addColumn<QStringList>("tikimasi"); // in any order; katalogoTvarka checks the order

    const QStringList kalbos{u"Kalbos/English.lng"_s, u"Kalbos/Lietuviu.LNG"_s, u"Kalbos/.lng"_s};
    QTest::newRow("three files, folder skipped, no subfolders") << u"Kalbos/"_s << u"*.lng"_s << false << kalbos;
    QTest::newRow("with subfolders, hidden folder skipped")
        << u"Kalbos/"_s << u"*.lng"_s << true
        << kalbos + QStringList{u"Kalbos/seni/Senas.lng"_s, u"Kalbos/seni/gilu/Gilus.lng"_s};
    QTest::newRow("program spelling of the folder") << u"kalbos\\"_s << u"*.lng"_s << false << kalbos;
    QTest::newRow("doubled separator") << u"kalbos\\\\"_s << u"*.lng"_s << false << kalbos;
    QTest::newRow("mask in capitals") << u"Kalbos/"_s << u"*.LNG"_s << false << kalbos;
    QTest::newRow("mixed-case mask with question marks")
        << u"Kalbos/"_s << u"?NGLISH.Lng"_s << false << QStringList{u"Kalbos/English.lng"_s};
    QTest::newRow("star alone lists every file")
        << u"Kalbos/"_s << u"*"_s << false << kalbos + QStringList{u"Kalbos/skaityk.txt"_s};
    QTest::newRow("subfolders searched with the mask")
        << u"Kalbos/"_s << u"s*"_s << true << QStringList{u"Kalbos/skaityk.txt"_s, u"Kalbos/seni/Senas.lng"_s};
    QTest::newRow("no match") << u"Kalbos/"_s << u"*.jpg"_s << true << QStringList{};
    QTest::newRow("missing folder") << u"Nera\\"_s << u"*.lng"_s << true << QStringList{};
    QTest::newRow("folder without trailing separator takes the mask into its last component")
        << u"Kalbos/seni/Sen"_s << u"*.lng"_s << false << QStringList{u"Kalbos/seni/Senas.lng"_s};
}

void TstFailuPaieska::paieska() {
    QFETCH(QString, katalogas);
    QFETCH(QString, kauke);
    QFETCH(bool, suPakatalogiais);
    QFETCH(QStringList, tikimasi);
    for (const bool absoliutus : {false, true}) {
        const QString pradzia = absoliutus ? aplankas->path() + u"/"_s : QString();
        QStringList sarasas;
        const int kiekis = IeskotiFailu(pradzia + katalogas, kauke, suPakatalogiais, sarasas);
        QCOMPARE(kiekis, sarasas.size());
        QStringList laukiama;
        for (const QString& t : tikimasi)
            laukiama.append(pradzia + t);
        sarasas.sort();
        laukiama.sort();
        QCOMPARE(sarasas, laukiama);
    }
}

void TstFailuPaieska::katalogoTvarka() {
    // Enough names that a sorted listing would differ from the directory's own order.
    QDir d(u"Kalbos"_s);
    for (int i = 0; i < 40; ++i) {
        QFile f(d.filePath(u"k%1.lng"_s.arg(i * 7919 % 1000)));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QStringList laukiama;
    for (const QString& v : KatalogoTvarka(u"Kalbos"_s)) {
        if (AtitinkaKauke(v, u"*.lng"_s) && !QFileInfo(d.filePath(v)).isDir())
            laukiama.append(u"Kalbos/"_s + v);
    }
    const qsizetype failu = laukiama.size();
    for (const QString& v : KatalogoTvarka(u"Kalbos/seni"_s)) {
        if (AtitinkaKauke(v, u"*.lng"_s) && !QFileInfo(u"Kalbos/seni/"_s + v).isDir())
            laukiama.append(u"Kalbos/seni/"_s + v);
    }
    laukiama.append(u"Kalbos/seni/gilu/Gilus.lng"_s);

    QStringList sarasas;
    QCOMPARE(IeskotiFailu(u"kalbos\\"_s, u"*.lng"_s, false, sarasas), failu);
    QCOMPARE(sarasas, laukiama.mid(0, failu));
    sarasas.clear();
    QCOMPARE(IeskotiFailu(u"kalbos\\"_s, u"*.lng"_s, true, sarasas), laukiama.size());
    QCOMPARE(sarasas, laukiama);
}

void TstFailuPaieska::sarasasPapildomas() {
    QStringList sarasas{u"pirmas"_s, u"antras"_s};
    QCOMPARE(IeskotiFailu(u"Kalbos/"_s, u"*.lng"_s, false, sarasas), 3);
    QCOMPARE(sarasas.size(), 5);
    QCOMPARE(sarasas.mid(0, 2), (QStringList{u"pirmas"_s, u"antras"_s}));
    QCOMPARE(IeskotiFailu(u"Nera/"_s, u"*.lng"_s, true, sarasas), 0);
    QCOMPARE(sarasas.size(), 5);
}

void TstFailuPaieska::nuorodaIAukstesniAplanka() {
    // A link back up the tree would make the walk endless; it is not entered.
    QVERIFY(QFile::link(aplankas->path() + u"/Kalbos"_s, u"Kalbos/seni/atgal"_s));
    QStringList sarasas;
    QCOMPARE(IeskotiFailu(u"Kalbos/"_s, u"*.lng"_s, true, sarasas), 5);
}

QTEST_GUILESS_MAIN(TstFailuPaieska)
#include "tst_failupaieska.moc"
