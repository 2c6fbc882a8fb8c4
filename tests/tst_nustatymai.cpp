// The settings file: what the watcher's first showing loads and what its
// closing saves, byte for byte.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "Modulis2.h"
#include "Modulis_Narsykle.h"
#include "Parinktys.h"
#include "StebetojoAplinka.h"
#include "TybCheckBox.h"
#include "Tekstas.h"
#include "TybINI.h"
#include "Valdikliai.h"

using namespace Qt::StringLiterals;

namespace {

const QString kFailas = u"resursai/Nustatymai.tyb"_s;

QByteArray Failas(const QList<QByteArray>& eilutes) {
    QByteArray b;
    for (const QByteArray& e : eilutes)
        b += e + "\r\n";
    return b;
}

QByteArray Pilnas(const QByteArray& tab = "1", const QByteArray& intervalas = "5000",
                  const QByteArray& serveriai = "10000", const QByteArray& kalba = "English") {
    return Failas({"-->Nustatymai<--", "TAB=" + tab, "MeniuApacioj=1", "ArIseiti=1", "IssaugotiPakeitimus=1",
                   "KeistiHosta=0", "Intervalas=" + intervalas, "ServeriaiBendrai=" + serveriai, "Kalba=" + kalba,
                   "PranestiVieta=0", "PranestiDraugus=0"});
}

} // namespace

class TstNustatymai : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void pradinisFailas();
    void zymimieji_data();
    void zymimieji();
    void intervalai_data();
    void intervalai();
    void betKokiaTvarka();
    void trukstamasRaktas();
    void narsyklesGreitis_data();
    void narsyklesGreitis();
    void nera_data();
    void nera();
    void neissaugojus();
    void nezinomaKalbaIssaugoma();
    void issaugojimasIsseikiaTvarka();
    void klaidaNeuzlaikoLango();
    void pranesimuZymos_data();
    void pranesimuZymos();
    void koduotes_data();
    void koduotes();

private:
    void Ikelti(const QByteArray& turinys);
    TStebetojoAplinka aplinka;
};

void TstNustatymai::initTestCase() {
    QVERIFY(aplinka.Paruosti());
    QVERIFY(aplinka.Paleisti());
}

void TstNustatymai::cleanupTestCase() {
    aplinka.Baigti();
}

void TstNustatymai::init() {
    aplinka.pranesimai.clear();
    QVERIFY(aplinka.Rasyti(kFailas, Pilnas()));
}

void TstNustatymai::Ikelti(const QByteArray& turinys) {
    QVERIFY(aplinka.Rasyti(kFailas, turinys));
    Apsaugota(frmPagrindinis(), [] { Kviesti(frmPagrindinis(), "IkeltiNustatymus"); });
}

void TstNustatymai::pradinisFailas() {
    // The shipped file, loaded by the first showing.
    QVERIFY(Valdiklis<TTybCheckBox>("chkTAB")->isChecked());
    QVERIFY(Valdiklis<TTybCheckBox>("chkMeniuApacioj")->isChecked());
    QVERIFY(Valdiklis<TTybCheckBox>("chkArIseiti")->isChecked());
    QVERIFY(Valdiklis<TTybCheckBox>("chkIssaugotiPakeitimus")->isChecked());
    QVERIFY(!Valdiklis<TTybCheckBox>("chkKeistiHosta")->isChecked());
    QCOMPARE(Valdiklis<TLaikmatis>("tmrAtnaujinimas")->interval(), 5000);
    QCOMPARE(frmServeriai()->findChild<TLaikmatis*>(u"tmrAtnaujinimasServeriai"_s)->interval(), 10000);
    QCOMPARE(Valdiklis<QComboBox>("cboKalbos")->currentText(), u"English"_s);
    QCOMPARE(Valdiklis<TTybINI>("TybINI1")->Byla(), u"resursai\\kalbos\\English.lng"_s);
    QCOMPARE(Valdiklis<QLabel>("lblAdresas")->text(),
             frmPagrindinis()->Kalba().Tekstas("frmPagrindinis", "lblAdresas") + u':');
    QVERIFY(!Valdiklis<QLabel>("lblAdresas")->text().startsWith(u"###"_s));
}

void TstNustatymai::zymimieji_data() {
    QTest::addColumn<QByteArray>("reiksme");
    QTest::addColumn<bool>("pazymetas");
    QTest::newRow("1") << QByteArray("1") << true;
    QTest::newRow("0") << QByteArray("0") << false;
    QTest::newRow("blank before") << QByteArray(" 1") << false;
    QTest::newRow("blank after") << QByteArray("1 ") << false;
    QTest::newRow("a word") << QByteArray("yes") << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void TstNustatymai::zymimieji() {
    QFETCH(QByteArray, reiksme);
    QFETCH(bool, pazymetas);
    Valdiklis<TTybCheckBox>("chkTAB")->setChecked(!pazymetas);
    Ikelti(Pilnas(reiksme));
    QCOMPARE(Valdiklis<TTybCheckBox>("chkTAB")->isChecked(), pazymetas);
    QCOMPARE(Valdiklis<QFrame>("pnlTAB")->isVisible(), pazymetas); // its click handler ran
    QVERIFY(aplinka.pranesimai.isEmpty());
}

void TstNustatymai::intervalai_data() {
    QTest::addColumn<QByteArray>("intervalas");
    QTest::addColumn<QByteArray>("serveriai");
    QTest::addColumn<int>("stebetojo");
    QTest::addColumn<int>("saraso");
    QTest::addColumn<QString>("klaida");
    QTest::newRow("plain") << QByteArray("7000") << QByteArray("8000") << 7000 << 8000 << QString();
    QTest::newRow("watcher's trimmed at both ends")
        << QByteArray(" 7000 ") << QByteArray("8000") << 7000 << 8000 << QString();
    QTest::newRow("list's leading blanks skipped")
        << QByteArray("7000") << QByteArray("   7000") << 7000 << 7000 << QString();
    QTest::newRow("list's trailing blank fails")
        << QByteArray("7000") << QByteArray("7000 ") << 7000 << 10000 << u"'7000 ' is not a valid integer value"_s;
    QTest::newRow("hexadecimal") << QByteArray("$1F4") << QByteArray("0x10") << 500 << 16 << QString();
    QTest::newRow("zero stops the refresh") << QByteArray("0") << QByteArray("10000") << 0 << 10000 << QString();
    QTest::newRow("not a number") << QByteArray("soon") << QByteArray("8000") << 5000 << 10000
                                  << u"'soon' is not a valid integer value"_s;
    QTest::newRow("negative refused") << QByteArray("-5000") << QByteArray("8000") << 5000 << 10000
                                      << u"'-5000' is not a valid integer value"_s;
    QTest::newRow("beyond 32 bits") << QByteArray("2147483648") << QByteArray("8000") << 5000 << 10000
                                    << u"'2147483648' is not a valid integer value"_s;
}

void TstNustatymai::intervalai() {
    QFETCH(QByteArray, intervalas);
    QFETCH(QByteArray, serveriai);
    QFETCH(QString, klaida);
    ProgramosParinktys()->NustatytiIntervala(5000);
    ProgramosParinktys()->NustatytiServeriuBendrai(10000);
    Valdiklis<QComboBox>("cboKalbos")->setEditText(u"before"_s);
    Valdiklis<TLaikmatis>("tmrAtnaujinimas")->setEnabled(true);
    const QString kalbaPries = Valdiklis<TTybINI>("TybINI1")->Byla();
    Ikelti(Pilnas("1", intervalas, serveriai, "Lietuviu"));
    QTEST(Valdiklis<TLaikmatis>("tmrAtnaujinimas")->interval(), "stebetojo");
    QTEST(frmServeriai()->findChild<TLaikmatis*>(u"tmrAtnaujinimasServeriai"_s)->interval(), "saraso");
    QCOMPARE(Valdiklis<TLaikmatis>("tmrAtnaujinimas")->isActive(),
             Valdiklis<TLaikmatis>("tmrAtnaujinimas")->interval() > 0);
    Valdiklis<TLaikmatis>("tmrAtnaujinimas")->setEnabled(false);
    if (klaida.isEmpty()) {
        QVERIFY(aplinka.pranesimai.isEmpty());
        QCOMPARE(Valdiklis<QComboBox>("cboKalbos")->currentText(), u"Lietuvių"_s);
        QCOMPARE(Valdiklis<TTybINI>("TybINI1")->Byla(), u"resursai\\Kalbos\\Lietuviu.lng"_s);
    } else {
        // The load stops at the failing key: the language in effect stays.
        QCOMPARE(aplinka.pranesimai, QStringList{klaida});
        QCOMPARE(Valdiklis<QComboBox>("cboKalbos")->currentText(), u"before"_s);
        QCOMPARE(Valdiklis<TTybINI>("TybINI1")->Byla(), kalbaPries);
    }
}

void TstNustatymai::betKokiaTvarka() {
    Valdiklis<TTybCheckBox>("chkKeistiHosta")->setChecked(false);
    Ikelti(Failas({"; options", "-->Nustatymai<--", "Kalba=Lietuviu", "ServeriaiBendrai=3000", "KeistiHosta=1",
                   "Intervalas=4000", "TAB=0", "ArIseiti=0", "IssaugotiPakeitimus=1", "MeniuApacioj=0"}));
    QVERIFY(aplinka.pranesimai.isEmpty());
    QVERIFY(Valdiklis<TTybCheckBox>("chkKeistiHosta")->isChecked());
    QVERIFY(!Valdiklis<TTybCheckBox>("chkTAB")->isChecked());
    QVERIFY(!Valdiklis<TTybCheckBox>("chkMeniuApacioj")->isChecked());
    QVERIFY(!Valdiklis<TApatineJuosta>("imgApacia")->isVisible());
    QCOMPARE(Valdiklis<TLaikmatis>("tmrAtnaujinimas")->interval(), 4000);
    QCOMPARE(frmServeriai()->findChild<TLaikmatis*>(u"tmrAtnaujinimasServeriai"_s)->interval(), 3000);
    QCOMPARE(Valdiklis<QComboBox>("cboKalbos")->currentText(), u"Lietuvių"_s);
    Valdiklis<TTybCheckBox>("chkMeniuApacioj")->setChecked(true);
    Valdiklis<TTybCheckBox>("chkTAB")->setChecked(true);
}

void TstNustatymai::narsyklesGreitis_data() {
    QTest::addColumn<QByteArray>("eilute"); // in the file; empty: none
    QTest::addColumn<int>("greitis");
    QTest::addColumn<bool>("irasoma");
    QTest::newRow("a choice") << QByteArray("NarsyklesGreitis=15000") << 15000 << true;
    QTest::newRow("unlimited") << QByteArray("NarsyklesGreitis=0") << 0 << true;
    QTest::newRow("another pace becomes a choice") << QByteArray("NarsyklesGreitis=7777") << 7777 << true;
    QTest::newRow("no number: the default") << QByteArray("NarsyklesGreitis=fast") << 5000 << true;
    QTest::newRow("a file of old: the default, and it stays as it was") << QByteArray() << 5000 << false;
}

void TstNustatymai::narsyklesGreitis() {
    QFETCH(QByteArray, eilute);
    frmNarsykle()->NustatytiGreiti(1000);
    Ikelti(Pilnas() + (eilute.isEmpty() ? QByteArray() : eilute + "\r\n"));
    QVERIFY(aplinka.pranesimai.isEmpty());
    QTEST(frmNarsykle()->Greitis(), "greitis");
    Kviesti(frmPagrindinis(), "IssaugotiNustatymus");
    QTEST(aplinka.Skaityti(kFailas).contains("NarsyklesGreitis="), "irasoma");
}

void TstNustatymai::trukstamasRaktas() {
    const QByteArray be =
        Failas({"-->Nustatymai<--", "TAB=1", "MeniuApacioj=1", "ArIseiti=1", "IssaugotiPakeitimus=1", "Intervalas=5000",
                "ServeriaiBendrai=10000", "Kalba=English", "PranestiVieta=0", "PranestiDraugus=0"});
    Valdiklis<TTybCheckBox>("chkKeistiHosta")->setChecked(true);
    Ikelti(be);
    QVERIFY(!Valdiklis<TTybCheckBox>("chkKeistiHosta")->isChecked());
    Valdiklis<TTybCheckBox>("chkKeistiHosta")->setChecked(true);
    Kviesti(frmPagrindinis(), "IssaugotiNustatymus");
    // The missing key is inserted right under the header; every other line keeps its place.
    QCOMPARE(
        aplinka.Skaityti(kFailas),
        Failas({"-->Nustatymai<--", "KeistiHosta=1", "TAB=1", "MeniuApacioj=1", "ArIseiti=1", "IssaugotiPakeitimus=1",
                "Intervalas=5000", "ServeriaiBendrai=10000", "Kalba=English", "PranestiVieta=0", "PranestiDraugus=0"}));
    QCOMPARE(Valdiklis<TTybINI>("TybINI1")->Byla(), u"resursai\\Kalbos\\English.lng"_s);
    Valdiklis<TTybCheckBox>("chkKeistiHosta")->setChecked(false);
}

void TstNustatymai::nera_data() {
    QTest::addColumn<bool>("failas");
    QTest::addColumn<QString>("zyme");
    QTest::newRow("no file") << false << u"###1"_s;
    QTest::newRow("no section") << true << u"###2"_s;
}

void TstNustatymai::nera() {
    QFETCH(bool, failas);
    QFETCH(QString, zyme);
    QVERIFY(QFile::remove(aplinka.Kelias(kFailas)));
    if (failas)
        QVERIFY(aplinka.Rasyti(kFailas, Failas({"-->Kita<--", "TAB=1"})));
    for (TTybCheckBox* c : {Valdiklis<TTybCheckBox>("chkTAB"), Valdiklis<TTybCheckBox>("chkMeniuApacioj"),
                            Valdiklis<TTybCheckBox>("chkArIseiti"), Valdiklis<TTybCheckBox>("chkIssaugotiPakeitimus")})
        c->setChecked(true);
    Apsaugota(frmPagrindinis(), [] { Kviesti(frmPagrindinis(), "IkeltiNustatymus"); });
    QVERIFY(!Valdiklis<TTybCheckBox>("chkTAB")->isChecked());
    QVERIFY(!Valdiklis<TTybCheckBox>("chkIssaugotiPakeitimus")->isChecked());
    QCOMPARE(aplinka.pranesimai, QStringList{u"'"_s + zyme + u"' is not a valid integer value"_s});
    Valdiklis<TTybCheckBox>("chkIssaugotiPakeitimus")->setChecked(true);
    Kviesti(frmPagrindinis(), "IssaugotiNustatymus");
    if (!failas) {
        QVERIFY(!QFile::exists(aplinka.Kelias(kFailas))); // never created
    } else {
        // The section is appended with all ten keys.
        TTybINI skaitytojas;
        skaitytojas.setByla(kFailas);
        for (const char* raktas : {"TAB", "MeniuApacioj", "ArIseiti", "IssaugotiPakeitimus", "KeistiHosta",
                                   "Intervalas", "ServeriaiBendrai", "Kalba", "PranestiVieta", "PranestiDraugus"})
            QVERIFY2(!skaitytojas.SkaitytiReiksme(u"Nustatymai"_s, QString::fromLatin1(raktas)).startsWith("###"),
                     raktas);
        QVERIFY(aplinka.Skaityti(kFailas).startsWith(Failas({"-->Kita<--", "TAB=1", "", "-->Nustatymai<--"})));
    }
    Valdiklis<TTybCheckBox>("chkTAB")->setChecked(true);
    Valdiklis<TTybCheckBox>("chkMeniuApacioj")->setChecked(true);
}

void TstNustatymai::neissaugojus() {
    const QByteArray pries = aplinka.Skaityti(kFailas);
    Valdiklis<TTybCheckBox>("chkIssaugotiPakeitimus")->setChecked(false);
    Valdiklis<TTybCheckBox>("chkTAB")->setChecked(false);
    frmPagrindinis()->close();
    QCOMPARE(aplinka.Skaityti(kFailas), pries); // the unchecked box itself is not saved either
    frmPagrindinis()->show();                   // loads the file again
    QVERIFY(QTest::qWaitForWindowExposed(frmPagrindinis()));
    QVERIFY(Valdiklis<TTybCheckBox>("chkIssaugotiPakeitimus")->isChecked());
    QVERIFY(Valdiklis<TTybCheckBox>("chkTAB")->isChecked());
}

void TstNustatymai::nezinomaKalbaIssaugoma() {
    Valdiklis<QComboBox>("cboKalbos")->setEditText(u"Klingon"_s);
    Valdiklis<TTybCheckBox>("chkIssaugotiPakeitimus")->setChecked(true);
    frmPagrindinis()->close();
    TTybINI skaitytojas;
    skaitytojas.setByla(kFailas);
    QCOMPARE(skaitytojas.SkaitytiReiksme(u"Nustatymai"_s, u"Kalba"_s), QByteArray("Klingon"));
    frmPagrindinis()->show(); // every text is then a marker
    QVERIFY(QTest::qWaitForWindowExposed(frmPagrindinis()));
    QCOMPARE(Valdiklis<QComboBox>("cboKalbos")->currentText(), u"Klingon"_s);
    QCOMPARE(Valdiklis<QPushButton>("btnRodyti")->text(), u"###1"_s);
    Ikelti(Pilnas());
    Kviesti(frmPagrindinis(), "PritaikytiKalba");
}

void TstNustatymai::issaugojimasIsseikiaTvarka() {
    // Load, change nothing, save: the file keeps every byte.
    const QByteArray originalas =
        Failas({"; Velmorant settings", "", "-->Nustatymai<--", "Kalba=English", "TAB=1", "PranestiDraugus=0",
                "KeistiHosta=0", "MeniuApacioj=1", "ArIseiti=1", "IssaugotiPakeitimus=1", "Intervalas=5000",
                "PranestiVieta=0", "ServeriaiBendrai=10000", "", "-->Kita<--", "x=y"});
    Ikelti(originalas);
    Kviesti(frmPagrindinis(), "IssaugotiNustatymus");
    QCOMPARE(aplinka.Skaityti(kFailas), originalas);
    // A change of every option comes back after a load.
    Valdiklis<TTybCheckBox>("chkArIseiti")->setChecked(false);
    ProgramosParinktys()->NustatytiIntervala(12000);
    ProgramosParinktys()->NustatytiServeriuBendrai(3000);
    Kviesti(frmPagrindinis(), "IssaugotiNustatymus");
    Valdiklis<TTybCheckBox>("chkArIseiti")->setChecked(true);
    ProgramosParinktys()->NustatytiIntervala(5000);
    Apsaugota(frmPagrindinis(), [] { Kviesti(frmPagrindinis(), "IkeltiNustatymus"); });
    QVERIFY(!Valdiklis<TTybCheckBox>("chkArIseiti")->isChecked());
    QCOMPARE(Valdiklis<TLaikmatis>("tmrAtnaujinimas")->interval(), 12000);
    QCOMPARE(frmServeriai()->findChild<TLaikmatis*>(u"tmrAtnaujinimasServeriai"_s)->interval(), 3000);
    QVERIFY(aplinka.pranesimai.isEmpty());
}

void TstNustatymai::klaidaNeuzlaikoLango() {
    // A conversion error in the load is reported; the language list, the
    // captions and the bar are still made.
    QVERIFY(aplinka.Rasyti(kFailas, Pilnas("1", "x")));
    Valdiklis<QComboBox>("cboKalbos")->clear();
    Valdiklis<QPushButton>("btnRodyti")->setText(u"btnRodyti"_s);
    Valdiklis<TApatineJuosta>("imgApacia")->Drobe().fill(Qt::white);
    Kviesti(frmPagrindinis(), "FormShow");
    QCOMPARE(aplinka.pranesimai, QStringList{u"'x' is not a valid integer value"_s});
    QCOMPARE(Valdiklis<QComboBox>("cboKalbos")->count(), 8);
    QVERIFY(Valdiklis<QPushButton>("btnRodyti")->text() != u"btnRodyti"_s);
    QCOMPARE(Valdiklis<TApatineJuosta>("imgApacia")->Vaizdas().pixelColor(5, 10), QColor(0x10, 0x0C, 0x08));
}

void TstNustatymai::pranesimuZymos_data() {
    QTest::addColumn<QList<QByteArray>>("eilutes"); // the notification keys' lines of the file
    QTest::addColumn<bool>("vieta");
    QTest::addColumn<bool>("draugai");
    QTest::newRow("both on") << QList<QByteArray>{"PranestiVieta=1", "PranestiDraugus=1"} << true << true;
    QTest::newRow("slots only") << QList<QByteArray>{"PranestiVieta=1", "PranestiDraugus=0"} << true << false;
    QTest::newRow("friends only") << QList<QByteArray>{"PranestiDraugus=1", "PranestiVieta=0"} << false << true;
    QTest::newRow("a file without them: both off") << QList<QByteArray>{} << false << false;
    QTest::newRow("anything but 1 is off")
        << QList<QByteArray>{"PranestiVieta= 1", "PranestiDraugus=yes"} << false << false;
}

void TstNustatymai::pranesimuZymos() {
    QFETCH(QList<QByteArray>, eilutes);
    QFETCH(bool, vieta);
    QFETCH(bool, draugai);
    auto* chkVieta = Valdiklis<TTybCheckBox>("chkPranestiVieta");
    auto* chkDraugai = Valdiklis<TTybCheckBox>("chkPranestiDraugus");
    chkVieta->setChecked(!vieta);
    chkDraugai->setChecked(!draugai);
    Ikelti(
        Failas(QList<QByteArray>{"-->Nustatymai<--", "TAB=1", "MeniuApacioj=1", "ArIseiti=1", "IssaugotiPakeitimus=1",
                                 "KeistiHosta=0", "Intervalas=5000", "ServeriaiBendrai=10000", "Kalba=English"} +
               eilutes));
    QVERIFY(aplinka.pranesimai.isEmpty());
    QCOMPARE(chkVieta->isChecked(), vieta);
    QCOMPARE(chkDraugai->isChecked(), draugai);
    QCOMPARE(frmPagrindinis()->ArPranestiVieta(), vieta);
    QCOMPARE(frmPagrindinis()->ArPranestiDraugus(), draugai);

    // Saved as 1 or 0 and loaded back.
    chkVieta->setChecked(!vieta);
    chkDraugai->setChecked(!draugai);
    Kviesti(frmPagrindinis(), "IssaugotiNustatymus");
    TTybINI skaitytojas;
    skaitytojas.setByla(kFailas);
    QCOMPARE(skaitytojas.SkaitytiReiksme(u"Nustatymai"_s, u"PranestiVieta"_s), QByteArray(vieta ? "0" : "1"));
    QCOMPARE(skaitytojas.SkaitytiReiksme(u"Nustatymai"_s, u"PranestiDraugus"_s), QByteArray(draugai ? "0" : "1"));
    chkVieta->setChecked(vieta);
    chkDraugai->setChecked(draugai);
    Apsaugota(frmPagrindinis(), [] { Kviesti(frmPagrindinis(), "IkeltiNustatymus"); });
    QCOMPARE(chkVieta->isChecked(), !vieta);
    QCOMPARE(chkDraugai->isChecked(), !draugai);
    chkVieta->setChecked(false);
    chkDraugai->setChecked(false);
}

void TstNustatymai::koduotes_data() {
    QTest::addColumn<QByteArray>("kalba");
    QTest::addColumn<QByteArray>("koduote"); // the user's choice; null: no such key
    QTest::addColumn<QByteArray>("vardas");  // a player's name as an old client sends it
    QTest::addColumn<QString>("rodomas");
    QTest::addColumn<QString>("kalbosVardas"); // what the language box shows
    const QByteArray privet("\xCF\xF0\xE8\xE2\xE5\xF2"), lodz("\xA3\xF3"
                                                              "d\x9F");
    QTest::newRow("Russian: Windows-1251") << "Russkij"_ba << QByteArray() << privet << u"Привет"_s << u"Русский"_s;
    QTest::newRow("Polish: Windows-1250") << "Polski"_ba << QByteArray() << lodz << u"Łódź"_s << u"Polski"_s;
    QTest::newRow("German: Windows-1252") << "Deutsch"_ba << QByteArray() << "Gro\xDF"_ba << u"Groß"_s << u"Deutsch"_s;
    QTest::newRow("Lithuanian: Windows-1257")
        << "Lietuviu"_ba << QByteArray() << "\xFE\xE0"_ba << u"žą"_s << u"Lietuvių"_s;
    QTest::newRow("valid UTF-8 stays UTF-8")
        << "Polski"_ba << QByteArray() << u"Привет"_s.toUtf8() << u"Привет"_s << u"Polski"_s;
    QTest::newRow("the user's code page over the language's")
        << "English"_ba
        << "windows-1251"_ba << privet << u"Привет"_s << u"English"_s;
    QTest::newRow("a code page no one knows: the language's") << "Polski"_ba
                                                              << "no-such-page"_ba << lodz << u"Łódź"_s << u"Polski"_s;
}

void TstNustatymai::koduotes() {
    QFETCH(QByteArray, kalba);
    QFETCH(QByteArray, koduote);
    QFETCH(QByteArray, vardas);
    Ikelti(Pilnas("1", "5000", "10000", kalba) + (koduote.isNull() ? QByteArray() : "Koduote=" + koduote + "\r\n"));
    QTEST(ServerioTekstas(vardas), "rodomas");
    QTEST(Valdiklis<QComboBox>("cboKalbos")->currentText(), "kalbosVardas");
    // Saved, the file keeps the language's file name and the choice as they were.
    Kviesti(frmPagrindinis(), "IssaugotiNustatymus");
    TTybINI ini;
    ini.setByla(u"resursai\\Nustatymai.tyb"_s);
    QCOMPARE(ini.SkaitytiReiksme(u"Nustatymai"_s, u"Kalba"_s), kalba);
    QCOMPARE(ini.SkaitytiReiksme(u"Nustatymai"_s, u"Koduote"_s), koduote.isNull() ? "###3"_ba : koduote);
    Ikelti(Pilnas());
}

QTEST_MAIN(TstNustatymai)
#include "tst_nustatymai.moc"
