// Where the data lies: the working directory's resursai/ or the installed data
// beside the executable, the user's folder in front of the shipped one, the
// written files copied there on first use, and the language list as the union.
#include <memory>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "FailuPaieska.h"
#include "Keliai.h"
#include "TybINI.h"

using namespace Qt::StringLiterals;

class TstDuomenuAplankai : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void aplankoPasirinkimas_data();
    void aplankoPasirinkimas();
    void vartotojoPirmas_data();
    void vartotojoPirmas();
    void beVartotojoNepasikeite();
    void rasomasNukopijuojamas_data();
    void rasomasNukopijuojamas();
    void rasomasBeNumatytojo();
    void kalbuSajunga();
    void nustatymuIrasymas();

private:
    bool Rasyti(const QString& kelias, const QByteArray& turinys) const;
    QByteArray Skaityti(const QString& kelias) const;
    std::unique_ptr<QTemporaryDir> laikinas;
    QString buves;
    QString darbinis, programa, isleistas, vartotojo;
};

bool TstDuomenuAplankai::Rasyti(const QString& kelias, const QByteArray& turinys) const {
    QDir().mkpath(QFileInfo(kelias).path());
    QFile f(kelias);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(turinys) == turinys.size();
}

QByteArray TstDuomenuAplankai::Skaityti(const QString& kelias) const {
    QFile f(kelias);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
}

void TstDuomenuAplankai::init() {
    laikinas = std::make_unique<QTemporaryDir>();
    QVERIFY(laikinas->isValid());
    // An installed tree (prefix/bin, prefix/share/velmorant/resursai), a home
    // folder as the working directory and a configuration folder.
    const QDir d(laikinas->path());
    darbinis = d.filePath(u"namai"_s);
    programa = d.filePath(u"prefiksas/bin"_s);
    isleistas = d.filePath(u"prefiksas/share/velmorant/resursai"_s);
    vartotojo = d.filePath(u"konfig/Velmorant"_s);
    QVERIFY(d.mkpath(darbinis) && d.mkpath(programa));
    QVERIFY(Rasyti(isleistas + u"/Nustatymai.tyb"_s, "-->Nustatymai<--\r\nTAB=1\r\nKalba=English\r\n"));
    QVERIFY(Rasyti(isleistas + u"/Kalbos/English.lng"_s, "shipped English"));
    QVERIFY(Rasyti(isleistas + u"/Kalbos/Lietuviu.lng"_s, "shipped Lietuviu"));
    QVERIFY(Rasyti(isleistas + u"/zemelapiai/de_dust2.jpg"_s, "shipped picture"));
    buves = QDir::currentPath();
    QVERIFY(QDir::setCurrent(darbinis));
    NustatytiDuomenuAplankus({});
}

void TstDuomenuAplankai::cleanup() {
    NustatytiDuomenuAplankus({});
    QDir::setCurrent(buves);
    laikinas.reset();
}

void TstDuomenuAplankai::aplankoPasirinkimas_data() {
    QTest::addColumn<QString>("darbiniame");   // folder made in the working directory ("" = none)
    QTest::addColumn<bool>("idiegta");         // whether the installed data exists
    QTest::addColumn<bool>("tikimasiIdiegto"); // the installed data chosen
    QTest::newRow("source checkout") << u"resursai"_s << true << false;
    QTest::newRow("checkout folder in other case") << u"Resursai"_s << true << false;
    QTest::newRow("installed, started from home") << QString() << true << true;
    QTest::newRow("neither") << QString() << false << false;
    QTest::newRow("a file named resursai is no folder") << u"file"_s << true << true;
}

void TstDuomenuAplankai::aplankoPasirinkimas() {
    QFETCH(QString, darbiniame);
    QFETCH(bool, idiegta);
    QFETCH(bool, tikimasiIdiegto);
    if (darbiniame == u"file"_s)
        QVERIFY(Rasyti(darbinis + u"/resursai"_s, "x"));
    else if (!darbiniame.isEmpty())
        QVERIFY(QDir(darbinis).mkpath(darbiniame));
    if (!idiegta)
        QVERIFY(QDir(QFileInfo(isleistas).path()).removeRecursively());

    const TDuomenuAplankai a = RastiDuomenuAplankus(programa, u"../share/velmorant/resursai"_s, vartotojo);
    if (tikimasiIdiegto) {
        QCOMPARE(a.Duomenys, QFileInfo(isleistas).canonicalFilePath());
        QCOMPARE(a.Vartotojo, vartotojo);
    } else {
        QCOMPARE(a, TDuomenuAplankai{});
    }
}

void TstDuomenuAplankai::vartotojoPirmas_data() {
    QTest::addColumn<QString>("kelias");
    QTest::addColumn<QString>("tikimasi"); // "U/..." or "D/..." for the user's or the shipped folder
    QTest::newRow("user file wins") << u"resursai\\Kalbos\\English.lng"_s << u"U/Kalbos/English.lng"_s;
    QTest::newRow("shipped file when the user has none")
        << u"resursai\\Kalbos\\Lietuviu.lng"_s << u"D/Kalbos/Lietuviu.lng"_s;
    QTest::newRow("other spelling of the folder") << u"resursai\\kalbos\\Lietuviu.lng"_s << u"D/Kalbos/Lietuviu.lng"_s;
    QTest::newRow("first component in other case")
        << u"Resursai/zemelapiai/de_dust2.jpg"_s << u"D/zemelapiai/de_dust2.jpg"_s;
    QTest::newRow("user picture") << u"resursai/zemelapiai/cs_mine.jpg"_s << u"U/zemelapiai/cs_mine.jpg"_s;
    QTest::newRow("missing everywhere leads to the user")
        << u"resursai\\Kalbos\\Esperanto.lng"_s << u"U/Kalbos/Esperanto.lng"_s;
    QTest::newRow("the folder itself") << u"resursai\\kalbos\\"_s << u"U/Kalbos/"_s;
}

void TstDuomenuAplankai::vartotojoPirmas() {
    QFETCH(QString, kelias);
    QFETCH(QString, tikimasi);
    QVERIFY(Rasyti(vartotojo + u"/Kalbos/English.lng"_s, "user English"));
    QVERIFY(Rasyti(vartotojo + u"/zemelapiai/cs_mine.jpg"_s, "user picture"));
    NustatytiDuomenuAplankus({isleistas, vartotojo});
    const QString isspresta = VietinisKelias(kelias);
    const QString laukta = (tikimasi.startsWith(u'U') ? vartotojo : isleistas) + tikimasi.mid(1);
    QCOMPARE(isspresta, laukta);
    // Paths outside the data folder are not redirected.
    QCOMPARE(VietinisKelias(u"kitas\\failas.txt"_s), u"kitas/failas.txt"_s);
}

void TstDuomenuAplankai::beVartotojoNepasikeite() {
    // The default leads "resursai" to the working directory's folder, relative.
    QVERIFY(Rasyti(darbinis + u"/resursai/Kalbos/English.lng"_s, "checkout"));
    QCOMPARE(VietinisKelias(u"resursai\\kalbos\\English.lng"_s), u"resursai/Kalbos/English.lng"_s);
    QCOMPARE(RasomasKelias(u"resursai\\Nustatymai.tyb"_s), u"resursai\\Nustatymai.tyb"_s);
    QCOMPARE(VisiVietiniaiKeliai(u"resursai\\kalbos\\"_s), QStringList{u"resursai/Kalbos/"_s});
    QVERIFY(!QFileInfo::exists(vartotojo));
}

void TstDuomenuAplankai::rasomasNukopijuojamas_data() {
    QTest::addColumn<QString>("vardas");
    QTest::newRow("settings") << u"resursai\\Nustatymai.tyb"_s;
    QTest::newRow("settings, other case") << u"RESURSAI\\nustatymai.tyb"_s;
}

void TstDuomenuAplankai::rasomasNukopijuojamas() {
    QFETCH(QString, vardas);
    NustatytiDuomenuAplankus({isleistas, vartotojo});
    const QByteArray numatytas = Skaityti(isleistas + u"/Nustatymai.tyb"_s);
    const QString kelias = RasomasKelias(vardas);
    QVERIFY(kelias.startsWith(vartotojo + u'/'));
    QCOMPARE(QFileInfo(kelias).fileName(), u"Nustatymai.tyb"_s);
    QCOMPARE(Skaityti(kelias), numatytas);
    QVERIFY(QFileInfo(kelias).isWritable());
    // From then on the copy is the file: a changed copy is not overwritten.
    QVERIFY(Rasyti(kelias, "changed"));
    QCOMPARE(RasomasKelias(vardas), kelias);
    QCOMPARE(Skaityti(kelias), QByteArray("changed"));
    QCOMPARE(VietinisKelias(vardas), kelias);
    QCOMPARE(Skaityti(isleistas + u"/Nustatymai.tyb"_s), numatytas);
}

void TstDuomenuAplankai::rasomasBeNumatytojo() {
    // No shipped list: the user's folder is made, the file is not.
    NustatytiDuomenuAplankus({isleistas, vartotojo});
    const QString kelias = RasomasKelias(u"resursai/Serveriai.tyb"_s);
    QCOMPARE(kelias, vartotojo + u"/Serveriai.tyb"_s);
    QVERIFY(QFileInfo(vartotojo).isDir());
    QVERIFY(!QFileInfo::exists(kelias));
}

void TstDuomenuAplankai::kalbuSajunga() {
    QVERIFY(Rasyti(vartotojo + u"/kalbos/English.lng"_s, "user English"));
    QVERIFY(Rasyti(vartotojo + u"/kalbos/Esperanto.lng"_s, "user Esperanto"));
    NustatytiDuomenuAplankus({isleistas, vartotojo});
    QStringList rasti{u"earlier"_s};
    QCOMPARE(IeskotiFailu(u"resursai\\kalbos\\"_s, u"*.lng"_s, false, rasti), 3);
    QCOMPARE(rasti.takeFirst(), u"earlier"_s);
    QStringList tikimasi{isleistas + u"/Kalbos/Lietuviu.lng"_s, vartotojo + u"/kalbos/English.lng"_s,
                         vartotojo + u"/kalbos/Esperanto.lng"_s};
    rasti.sort();
    tikimasi.sort();
    QCOMPARE(rasti, tikimasi);
    // The user's English is the one read.
    TTybINI ini;
    ini.setByla(u"resursai\\Kalbos\\English.lng"_s);
    QCOMPARE(Skaityti(VietinisKelias(ini.Byla())), QByteArray("user English"));
}

void TstDuomenuAplankai::nustatymuIrasymas() {
    // The settings written through the key/value file land in the user's copy,
    // byte for byte as in place, and the shipped default stays as it was.
    NustatytiDuomenuAplankus({isleistas, vartotojo});
    const QByteArray numatytas = Skaityti(isleistas + u"/Nustatymai.tyb"_s);
    TTybINI ini;
    ini.setByla(RasomasKelias(u"resursai\\Nustatymai.tyb"_s));
    QCOMPARE(ini.RasytiReiksme(u"Nustatymai"_s, u"TAB"_s, "0"), QByteArray("###0"));
    QCOMPARE(Skaityti(vartotojo + u"/Nustatymai.tyb"_s), QByteArray("-->Nustatymai<--\r\nTAB=0\r\nKalba=English\r\n"));
    QCOMPARE(Skaityti(isleistas + u"/Nustatymai.tyb"_s), numatytas);
}

QTEST_GUILESS_MAIN(TstDuomenuAplankai)
#include "tst_duomenu_aplankai.moc"
