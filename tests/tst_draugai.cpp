// The friends list: which names match a line of Draugai.txt, what adding,
// removing and toggling leave in the file, where the file lies.
#include <memory>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "Draugai.h"
#include "Keliai.h"
#include "Klaidos.h"
#include "Nustatymai.h"
#include "TybINI.h"
#include "Pagalba.h"

using namespace Qt::StringLiterals;

namespace {

bool Rasyti(const QString& kelias, const QByteArray& turinys) {
    QFile f(kelias);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(turinys) == turinys.size();
}

} // namespace

class TstDraugai : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void atitikimas_data();
    void atitikimas();
    void nesuFailo();
    void pridejimas_data();
    void pridejimas();
    void pasalinimas_data();
    void pasalinimas();
    void perjungimasSkaitoFaila();
    void neVardai_data();
    void neVardai();
    void nepavykesRasymas();
    void neskaitomasFailas();
    void saliaNustatymu_data();
    void saliaNustatymu();

private:
    std::unique_ptr<QTemporaryDir> aplankas;
    QString kelias;
};

void TstDraugai::init() {
    aplankas = std::make_unique<QTemporaryDir>();
    QVERIFY(aplankas->isValid());
    kelias = aplankas->filePath(u"Draugai.txt"_s);
}

void TstDraugai::cleanup() {
    PriesPakeiciantFaila = nullptr;
    NustatytiDuomenuAplankus({});
    aplankas.reset();
}

void TstDraugai::atitikimas_data() {
    QTest::addColumn<QByteArray>("failas");
    QTest::addColumn<QByteArray>("zaidejas"); // as the server sent it
    QTest::addColumn<bool>("draugas");
    QTest::newRow("same name") << QByteArray("Alice\n") << QByteArray("Alice") << true;
    QTest::newRow("other letter case") << QByteArray("Alice\n") << QByteArray("aLICE") << true;
    QTest::newRow("Lithuanian letters in other case")
        << QByteArray("Žaidėjas Ąžuolas\n") << QByteArray("žAIDĖJAS ąŽUOLAS") << true;
    QTest::newRow("blanks around the line") << QByteArray("  Bob \t\n") << QByteArray("Bob") << true;
    QTest::newRow("blanks around the player's name") << QByteArray("Bob\n") << QByteArray(" Bob  ") << true;
    QTest::newRow("inner blank counts") << QByteArray("Bob Smith\n") << QByteArray("BobSmith") << false;
    QTest::newRow("a prefix is no match") << QByteArray("Bob\n") << QByteArray("Bobby") << false;
    QTest::newRow("blank lines name nobody") << QByteArray("\n  \n") << QByteArray("") << false;
    QTest::newRow("last line without a line end") << QByteArray("a\nCarol") << QByteArray("Carol") << true;
    QTest::newRow("CR LF lines") << QByteArray("Alice\r\nBob\r\n") << QByteArray("alice") << true;
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF"
                                                   "Alice\n")
                                     << QByteArray("Alice") << true;
    QTest::newRow("player name in Windows-1257") << QByteArray("Šarūnas\n")
                                                 << QByteArray("\xD0"
                                                               "ar\xFBnas")
                                                 << true;
}

void TstDraugai::atitikimas() {
    QFETCH(QByteArray, failas);
    QFETCH(QByteArray, zaidejas);
    QFETCH(bool, draugas);
    QVERIFY(Rasyti(kelias, failas));
    TDraugai draugai(kelias);
    QVERIFY(!draugai.ArDraugas(zaidejas)); // nothing before the file is read
    draugai.Ikelti();
    QCOMPARE(draugai.ArDraugas(zaidejas), draugas);
    QCOMPARE(draugai.ArDraugas(QString::fromUtf8(zaidejas)), draugas && zaidejas.isValidUtf8());
    QCOMPARE(Skaityti(kelias), failas); // reading writes nothing
}

void TstDraugai::nesuFailo() {
    TDraugai draugai(kelias);
    draugai.Ikelti();
    QVERIFY(draugai.Vardai().isEmpty());
    QVERIFY(!draugai.ArDraugas(u"Alice"_s));
    QVERIFY(!QFile::exists(kelias));
}

void TstDraugai::pridejimas_data() {
    QTest::addColumn<QByteArray>("pries");
    QTest::addColumn<QString>("vardas");
    QTest::addColumn<bool>("pridetas");
    QTest::addColumn<QByteArray>("po");
    QTest::newRow("into no file") << QByteArray("(none)") << u"Alice"_s << true << QByteArray("Alice\n");
    QTest::newRow("after the last line") << QByteArray("Bob\n") << u"Alice"_s << true << QByteArray("Bob\nAlice\n");
    QTest::newRow("trimmed") << QByteArray("Bob\n") << u"  Alice \t"_s << true << QByteArray("Bob\nAlice\n");
    QTest::newRow("a friend already, in other case")
        << QByteArray("  ALICE\n") << u"alice"_s << false << QByteArray("  ALICE\n");
    QTest::newRow("hand-written lines stay")
        << QByteArray("Bob  \r\n\r\nCarol\r\n") << u"Dana"_s << true << QByteArray("Bob  \n\nCarol\nDana\n");
}

void TstDraugai::pridejimas() {
    QFETCH(QByteArray, pries);
    QFETCH(QString, vardas);
    QFETCH(bool, pridetas);
    QFETCH(QByteArray, po);
    if (pries != "(none)")
        QVERIFY(Rasyti(kelias, pries));
    TDraugai draugai(kelias);
    QCOMPARE(draugai.Prideti(vardas), pridetas);
    QCOMPARE(Skaityti(kelias), po);
    QVERIFY(draugai.ArDraugas(vardas));
    // Another reader of the file sees the same list.
    TDraugai kitas(kelias);
    kitas.Ikelti();
    QCOMPARE(kitas.Vardai(), draugai.Vardai());
}

void TstDraugai::pasalinimas_data() {
    QTest::addColumn<QByteArray>("pries");
    QTest::addColumn<QString>("vardas");
    QTest::addColumn<bool>("pasalintas");
    QTest::addColumn<QByteArray>("po");
    QTest::newRow("the only line") << QByteArray("Alice\n") << u"Alice"_s << true << QByteArray("");
    QTest::newRow("every matching line, any case and blanks")
        << QByteArray("alice\nBob\n ALICE \nCarol\n") << u"Alice"_s << true << QByteArray("Bob\nCarol\n");
    QTest::newRow("not there") << QByteArray("Bob\n") << u"Alice"_s << false << QByteArray("Bob\n");
    QTest::newRow("no file") << QByteArray("(none)") << u"Alice"_s << false << QByteArray("(none)");
}

void TstDraugai::pasalinimas() {
    QFETCH(QByteArray, pries);
    QFETCH(QString, vardas);
    QFETCH(bool, pasalintas);
    QFETCH(QByteArray, po);
    if (pries != "(none)")
        QVERIFY(Rasyti(kelias, pries));
    TDraugai draugai(kelias);
    draugai.Ikelti();
    QCOMPARE(draugai.Pasalinti(vardas), pasalintas);
    QCOMPARE(Skaityti(kelias), po);
    QVERIFY(!draugai.ArDraugas(vardas));
}

void TstDraugai::perjungimasSkaitoFaila() {
    TDraugai draugai(kelias);
    QVERIFY(draugai.Perjungti(u"Alice"_s));
    QVERIFY(draugai.ArDraugas(u"alice"_s));
    QCOMPARE(Skaityti(kelias), QByteArray("Alice\n"));
    QVERIFY(!draugai.Perjungti(u" ALICE"_s));
    QVERIFY(!draugai.ArDraugas(u"Alice"_s));
    QCOMPARE(Skaityti(kelias), QByteArray(""));
    // A name written into the file by hand since: the toggle removes it, and
    // the other hand-written line stays.
    QVERIFY(Rasyti(kelias, "Bob\nCarol\n"));
    QVERIFY(!draugai.ArDraugas(u"Bob"_s));
    QVERIFY(!draugai.Perjungti(u"bob"_s));
    QCOMPARE(Skaityti(kelias), QByteArray("Carol\n"));
    QVERIFY(draugai.ArDraugas(u"Carol"_s));
    QVERIFY(!draugai.ArDraugas(u"Bob"_s));
}

void TstDraugai::neVardai_data() {
    QTest::addColumn<QString>("vardas");
    QTest::newRow("empty") << QString();
    QTest::newRow("blanks") << u" \t "_s;
    QTest::newRow("a line feed") << u"Ali\nce"_s;
    QTest::newRow("a NUL") << (u"Ali"_s + QChar(0) + u"ce"_s);
}

void TstDraugai::neVardai() {
    QFETCH(QString, vardas);
    QVERIFY(Rasyti(kelias, "Bob\n"));
    TDraugai draugai(kelias);
    QVERIFY(!draugai.Prideti(vardas));
    QVERIFY(!draugai.Perjungti(vardas));
    QVERIFY(!draugai.Pasalinti(vardas));
    QCOMPARE(Skaityti(kelias), QByteArray("Bob\n"));
}

void TstDraugai::nepavykesRasymas() {
    QVERIFY(Rasyti(kelias, "Bob\n"));
    TDraugai draugai(kelias);
    draugai.Ikelti();
    PriesPakeiciantFaila = [](const QString&) {
        throw EFailoKlaida(u"disk full"_s);
    };
    QVERIFY_THROWS_EXCEPTION(EFailoKlaida, draugai.Prideti(u"Alice"_s));
    QVERIFY_THROWS_EXCEPTION(EFailoKlaida, draugai.Pasalinti(u"Bob"_s));
    PriesPakeiciantFaila = nullptr;
    QCOMPARE(Skaityti(kelias), QByteArray("Bob\n"));
    QCOMPARE(draugai.Vardai(), QStringList{u"Bob"_s});
    QCOMPARE(QDir(aplankas->path()).entryList(QDir::Files), QStringList{u"Draugai.txt"_s}); // no temporary left
}

void TstDraugai::neskaitomasFailas() {
    // A folder where the file should be: it cannot be read, and nothing is lost.
    QVERIFY(QDir().mkpath(kelias));
    TDraugai draugai(kelias);
    QVERIFY_THROWS_EXCEPTION(EFailoKlaida, draugai.Ikelti());
    QVERIFY_THROWS_EXCEPTION(EFailoKlaida, draugai.Prideti(u"Alice"_s));
    QVERIFY(QFileInfo(kelias).isDir());
}

void TstDraugai::saliaNustatymu_data() {
    QTest::addColumn<bool>("vartotojo");
    QTest::newRow("data folder written in place") << false;
    QTest::newRow("installed: the user's folder") << true;
}

void TstDraugai::saliaNustatymu() {
    QFETCH(bool, vartotojo);
    QDir d(aplankas->path());
    QVERIFY(d.mkpath(u"duomenys"_s));
    QVERIFY(Rasyti(d.filePath(u"duomenys/Nustatymai.tyb"_s), "-->Nustatymai<--\r\n"));
    TDuomenuAplankai aplankai;
    aplankai.Duomenys = d.filePath(u"duomenys"_s);
    if (vartotojo)
        aplankai.Vartotojo = d.filePath(u"vartotojo"_s);
    NustatytiDuomenuAplankus(aplankai);

    TDraugai draugai;
    const QString nustatymai = VietinisKelias(RasomasKelias(kNustatymuFailas));
    QCOMPARE(QFileInfo(draugai.Kelias()).absolutePath(), QFileInfo(nustatymai).absolutePath());
    QCOMPARE(QFileInfo(draugai.Kelias()).fileName(), u"Draugai.txt"_s);
    QCOMPARE(QFileInfo(nustatymai).absolutePath(), vartotojo ? aplankai.Vartotojo : aplankai.Duomenys);
    QVERIFY(draugai.Prideti(u"Alice"_s));
    QCOMPARE(Skaityti(QFileInfo(nustatymai).absolutePath() + u"/Draugai.txt"_s), QByteArray("Alice\n"));
}

QTEST_GUILESS_MAIN(TstDraugai)
#include "tst_draugai.moc"
