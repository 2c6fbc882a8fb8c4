// Choosing the language: the list of language files, the captions and the bar
// that follow the combo box's text, and the other windows at their next showing.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

#include "FailuPaieska.h"
#include "Modulis2.h"
#include "StebetojoAplinka.h"
#include "TybCheckBox.h"
#include "TybINI.h"
#include "TybLabel.h"
#include "Valdikliai.h"

using namespace Qt::StringLiterals;

namespace {

// The languages listed, by their files' names.
QStringList Elementai() {
    QStringList s;
    for (int i = 0; i < Valdiklis<QComboBox>("cboKalbos")->count(); ++i)
        s.append(Valdiklis<QComboBox>("cboKalbos")->itemData(i).toString());
    return s;
}

QString Lt(const char* sekcija, const char* raktas) {
    TTybINI lt;
    lt.setByla(u"resursai\\Kalbos\\Lietuviu.lng"_s);
    return lt.SkaitytiTeksta(QString::fromLatin1(sekcija), QString::fromLatin1(raktas));
}

QString En(const char* sekcija, const char* raktas) {
    TTybINI en;
    en.setByla(u"resursai\\Kalbos\\English.lng"_s);
    return en.SkaitytiTeksta(QString::fromLatin1(sekcija), QString::fromLatin1(raktas));
}

} // namespace

class TstKalbos : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void sarasasKatalogoTvarka();
    void issaugotasVardasNeElementas();
    void pasirinkimasKeiciaAntrastes();
    void rasymasRaidePoRaides();
    void rodomaKalbaGalioja_data();
    void rodomaKalbaGalioja();
    void visos27Antrastes();
    void juostaPersipiesia();
    void kitiLangaiKitaKarta();
    void tuscioVardoFailas();
    void raidziuDydisAplanke();

private:
    TStebetojoAplinka aplinka;
};

void TstKalbos::initTestCase() {
    QVERIFY(aplinka.Paruosti());
    QVERIFY(aplinka.Paleisti());
}

void TstKalbos::cleanupTestCase() {
    aplinka.Baigti();
}

void TstKalbos::init() {
    Valdiklis<QComboBox>("cboKalbos")->setEditText(u"English"_s);
    Kviesti(frmPagrindinis(), "cboKalbosChange");
}

void TstKalbos::sarasasKatalogoTvarka() {
    QStringList failai;
    IeskotiFailu(u"resursai\\kalbos\\"_s, u"*.lng"_s, false, failai);
    QStringList vardai;
    for (const QString& f : failai)
        vardai.append(QFileInfo(f).completeBaseName());
    QCOMPARE(vardai.size(), 8);
    Kviesti(frmPagrindinis(), "IkeltiKalbas");
    QCOMPARE(Elementai(), vardai); // directory order, not sorted, without ".lng"
}

void TstKalbos::issaugotasVardasNeElementas() {
    Valdiklis<QComboBox>("cboKalbos")->setEditText(u"Esperanto"_s);
    Kviesti(frmPagrindinis(), "IkeltiKalbas");
    QCOMPARE(Valdiklis<QComboBox>("cboKalbos")->currentText(), u"Esperanto"_s);
    QCOMPARE(Valdiklis<QComboBox>("cboKalbos")->count(), 8);
    QCOMPARE(Valdiklis<TTybINI>("TybINI1")->Byla(), u"resursai\\kalbos\\Esperanto.lng"_s);
}

void TstKalbos::pasirinkimasKeiciaAntrastes() {
    QCOMPARE(Valdiklis<QPushButton>("btnRodyti")->text(), En("frmPagrindinis", "btnRodyti"));
    const int lt = Valdiklis<QComboBox>("cboKalbos")->findData(u"Lietuviu"_s);
    QVERIFY(lt >= 0);
    // The user picks an item: the window follows at once.
    Valdiklis<QComboBox>("cboKalbos")->setCurrentIndex(lt);
    Q_EMIT Valdiklis<QComboBox>("cboKalbos")->activated(lt);
    QCOMPARE(Valdiklis<TTybINI>("TybINI1")->Byla(), u"resursai\\Kalbos\\Lietuviu.lng"_s);
    QCOMPARE(Valdiklis<QPushButton>("btnRodyti")->text(), Lt("frmPagrindinis", "btnRodyti"));
    QCOMPARE(Valdiklis<QLabel>("lblAdresas")->text(), Lt("frmPagrindinis", "lblAdresas") + u':');
    QVERIFY(En("frmPagrindinis", "btnRodyti") != Lt("frmPagrindinis", "btnRodyti"));
}

void TstKalbos::rasymasRaidePoRaides() {
    QLineEdit* eilute = Valdiklis<QComboBox>("cboKalbos")->lineEdit();
    eilute->clear();
    frmPagrindinis()->activateWindow();
    eilute->setFocus();
    QStringList antrastes;
    for (const QChar c : u"Lietuviu"_s) {
        QTest::keyClick(eilute, c.toLatin1());
        antrastes.append(Valdiklis<TTybLabel>("lblMeniu2")->text());
    }
    QCOMPARE(antrastes.size(), 8);
    for (int i = 0; i < 7; ++i)
        QCOMPARE(antrastes[i], u"###1"_s);
    QCOMPARE(antrastes[7], Lt("frmPagrindinis", "lblMeniu2"));
    QCOMPARE(Valdiklis<QLabel>("lblAdresas")->text(), Lt("frmPagrindinis", "lblAdresas") + u':');
}

void TstKalbos::rodomaKalbaGalioja_data() {
    QTest::addColumn<QString>("rasoma");
    QTest::newRow("prefix of a language") << u"L"_s;
    QTest::newRow("prefix of the other") << u"Eng"_s;
    QTest::newRow("whole name") << u"Lietuviu"_s;
    QTest::newRow("other case") << u"lietuviu"_s;
    QTest::newRow("no such language") << u"Lx"_s;
}

void TstKalbos::rodomaKalbaGalioja() {
    // At every typed letter the box shows what was typed and nothing more, that
    // text is the language in effect, and it is what the settings file keeps.
    QFETCH(QString, rasoma);
    auto* kalbos = Valdiklis<QComboBox>("cboKalbos");
    kalbos->lineEdit()->clear();
    frmPagrindinis()->activateWindow();
    kalbos->lineEdit()->setFocus();
    for (qsizetype i = 0; i < rasoma.size(); ++i) {
        QTest::keyClick(kalbos->lineEdit(), rasoma.at(i).toLatin1());
        const QString ivesta = rasoma.left(i + 1);
        QCOMPARE(kalbos->currentText(), ivesta);
        QCOMPARE(kalbos->lineEdit()->selectedText(), QString());
        QCOMPARE(Valdiklis<TTybINI>("TybINI1")->Byla(), u"resursai\\Kalbos\\"_s + ivesta + u".lng"_s);
    }
    Kviesti(frmPagrindinis(), "IssaugotiNustatymus");
    QFile failas(u"resursai/Nustatymai.tyb"_s);
    QVERIFY(failas.open(QIODevice::ReadOnly));
    QVERIFY(failas.readAll().split('\n').contains("Kalba=" + rasoma.toLatin1() + '\r'));
}

void TstKalbos::visos27Antrastes() {
    Valdiklis<QComboBox>("cboKalbos")->setEditText(u"Lietuviu"_s);
    Kviesti(frmPagrindinis(), "cboKalbosChange");
    const QList<std::pair<const char*, const char*>> lentele{
        {"lblKomanda1Title", "lblKomanda1Title"},
        {"lblKomanda2Title", "lblKomanda2Title"},
        {"lblStebetojaiTitle", "lblStebetojaiTitle"},
        {"lblFragaiTitle", "lblFragaiTitle"},
        {"lblLaikasTitle", "lblLaikasTitle"},
        {"lblIvairus1", "lblIvairus1"},
        {"lblMeniu2", "lblMeniu2"},
        {"lblMeniu3", "lblMeniu3"},
        {"lblMeniu4", "lblMeniu4"},
        {"lblGerai", "lblGerai"},
        {"lblArIseiti", "lblArIseiti"},
        {"lblIseitiTaip", "lblIseitiTaip"},
        {"lblIseitiNe", "lblIseitiNe"},
        {"lblPatvirtinimai", "lblPatvirtinimai"},
        {"chkTAB", "chkTAB"},
        {"chkMeniuApacioj", "chkMeniuApacioj"},
        {"chkArIseiti", "chkArIseiti"},
        {"chkIssaugotiPakeitimus", "chkIssaugotiPakeitimus"},
        {"chkKeistiHosta", "chkKeistiHosta"},
        {"chkPranestiVieta", "chkPranestiVieta"},
        {"chkPranestiDraugus", "chkPranestiDraugus"},
        {"btnJungtis", "btnJungtis"},
        {"btnApie", "btnApie"},
        {"btnRodyti", "btnRodyti"},
        {"lblIntervalas", "lblIntervalas"},
        {"lblIntervalasServeriaiBendrai", "lblServeriaiBendrai"},
    };
    for (const auto& [valdiklis, raktas] : lentele) {
        QWidget* v = frmPagrindinis()->findChild<QWidget*>(QString::fromLatin1(valdiklis));
        QVERIFY2(v, valdiklis);
        const QString tekstas =
            qobject_cast<QLabel*>(v) ? qobject_cast<QLabel*>(v)->text() : qobject_cast<QAbstractButton*>(v)->text();
        QCOMPARE(tekstas, Lt("frmPagrindinis", raktas));
        QVERIFY(!tekstas.startsWith(u"###"_s));
    }
    QCOMPARE(Valdiklis<QLabel>("lblAdresas")->text(), Lt("frmPagrindinis", "lblAdresas") + u':');
    QCOMPARE(Valdiklis<QLabel>("Language")->text(), u"Language:"_s); // fixed in every language
    // The action labels size themselves to their text.
    QCOMPARE(Valdiklis<TTybLabel>("lblIseitiTaip")->size(), Valdiklis<TTybLabel>("lblIseitiTaip")->sizeHint());
}

void TstKalbos::juostaPersipiesia() {
    // Watching a server puts its address into the bar; a language change puts the label back.
    TApatineJuosta::NupiestiPunkta(*Valdiklis<TApatineJuosta>("imgApacia"), 285, 2, 500, 21, 60, u"10.0.0.1:27015"_s);
    const QImage suAdresu = Valdiklis<TApatineJuosta>("imgApacia")->Vaizdas().copy(285, 2, 215, 19);
    Valdiklis<QComboBox>("cboKalbos")->setEditText(u"English"_s);
    Kviesti(frmPagrindinis(), "cboKalbosChange");
    const QImage en = Valdiklis<TApatineJuosta>("imgApacia")->Vaizdas().copy(0, 0, 781, 25);
    QVERIFY(Valdiklis<TApatineJuosta>("imgApacia")->Vaizdas().copy(285, 2, 215, 19) != suAdresu);
    Valdiklis<QComboBox>("cboKalbos")->setEditText(u"Lietuviu"_s);
    Kviesti(frmPagrindinis(), "cboKalbosChange");
    QVERIFY(Valdiklis<TApatineJuosta>("imgApacia")->Vaizdas().copy(15, 2, 75, 19) != en.copy(15, 2, 75, 19)); // "Meniu"
    // Drawing the bar in English again gives the English bar back, pixel for pixel.
    Valdiklis<QComboBox>("cboKalbos")->setEditText(u"English"_s);
    Kviesti(frmPagrindinis(), "cboKalbosChange");
    QCOMPARE(Valdiklis<TApatineJuosta>("imgApacia")->Vaizdas().copy(0, 0, 781, 25), en);
    // A name with no file: every text, bar items included, is the marker.
    Valdiklis<QComboBox>("cboKalbos")->setEditText(u"Nothing"_s);
    Kviesti(frmPagrindinis(), "cboKalbosChange");
    QCOMPARE(Valdiklis<TTybLabel>("lblGerai")->text(), u"###1"_s);
    QCOMPARE(Valdiklis<QLabel>("lblAdresas")->text(), u"###1:"_s);
    QCOMPARE(frmPagrindinis()->Kalba().Tekstas("Pranesimai", "Meniu"), u"###1"_s);
}

void TstKalbos::kitiLangaiKitaKarta() {
    const auto atidarytiIrUzdaryti = [] {
        QTimer::singleShot(0, frmServeriai(), [] { frmServeriai()->close(); });
        QTimer::singleShot(5000, frmServeriai(), [] { frmServeriai()->close(); });
        frmServeriai()->exec();
    };
    atidarytiIrUzdaryti();
    QCOMPARE(
        frmServeriai()->findChild<QTableView*>(u"stgServeriai"_s)->model()->headerData(1, Qt::Horizontal).toString(),
        En("frmServeriai", "Adresas"));
    Valdiklis<QComboBox>("cboKalbos")->setEditText(u"Lietuviu"_s);
    Kviesti(frmPagrindinis(), "cboKalbosChange");
    // Nothing tells the list window: it shows the new texts when it next opens.
    QCOMPARE(frmServeriai()->windowTitle(), u"Velmorant - "_s + En("frmServeriai", "Cap2"));
    atidarytiIrUzdaryti();
    QCOMPARE(frmServeriai()->windowTitle(), u"Velmorant - "_s + Lt("frmServeriai", "Cap2"));
}

void TstKalbos::tuscioVardoFailas() {
    QVERIFY(aplinka.Rasyti(u"resursai/Kalbos/.lng"_s, aplinka.Skaityti(u"resursai/Kalbos/English.lng"_s)));
    Kviesti(frmPagrindinis(), "IkeltiKalbas");
    QCOMPARE(Valdiklis<QComboBox>("cboKalbos")->count(), 9);
    const int tuscias = Valdiklis<QComboBox>("cboKalbos")->findData(QString());
    QVERIFY(tuscias >= 0);
    Valdiklis<QComboBox>("cboKalbos")->setCurrentIndex(tuscias);
    Q_EMIT Valdiklis<QComboBox>("cboKalbos")->activated(tuscias);
    QCOMPARE(Valdiklis<TTybINI>("TybINI1")->Byla(), u"resursai\\Kalbos\\.lng"_s);
    QCOMPARE(Valdiklis<QPushButton>("btnRodyti")->text(), En("frmPagrindinis", "btnRodyti"));
    QVERIFY(QFile::remove(aplinka.Kelias(u"resursai/Kalbos/.lng"_s)));
    Kviesti(frmPagrindinis(), "IkeltiKalbas");
}

void TstKalbos::raidziuDydisAplanke() {
    // The program spells the folder "Kalbos" and "kalbos"; on disk it may be either, or neither.
    QVERIFY(QDir(aplinka.Kelias(u"resursai"_s)).rename(u"Kalbos"_s, u"KALBOS"_s));
    Kviesti(frmPagrindinis(), "IkeltiKalbas");
    QCOMPARE(Valdiklis<QComboBox>("cboKalbos")->count(), 8);
    Valdiklis<QComboBox>("cboKalbos")->setEditText(u"Lietuviu"_s);
    Kviesti(frmPagrindinis(), "cboKalbosChange");
    QCOMPARE(Valdiklis<QPushButton>("btnRodyti")->text(), Lt("frmPagrindinis", "btnRodyti"));
    QVERIFY(QDir(aplinka.Kelias(u"resursai"_s)).rename(u"KALBOS"_s, u"Kalbos"_s));
}

QTEST_MAIN(TstKalbos)
#include "tst_kalbos.moc"
