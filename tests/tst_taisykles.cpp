// The server details and rules window against local test game servers on
// loopback: the two requests, every label's value and value word, the
// megabyte format in several locales, the rules grid, the watcher's ban and
// pause, and replies that are wrong, late or from the wrong sender.
#include <algorithm>

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QNetworkDatagram>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>

#include "AtsakymuKurejas.h"
#include "IstorijosGrafikas.h"
#include "Modulis1.h"
#include "Modulis2.h"
#include "Modulis_Taisykles.h"
#include "NMUDP.h"
#include "Pranesimai.h"
#include "Programa.h"
#include "RankinisServeris.h"
#include "Sesija.h"
#include "StebetojoAplinka.h"
#include "TestinisServeris.h"
#include "TybINI.h"
#include "Valdikliai.h"

using namespace Qt::StringLiterals;

namespace {

template <typename T> T* Detaliu(const char* vardas) {
    return LangoValdiklis<T>(frmTaisykles(), vardas);
}

QList<QLabel*> ReiksmiuEtiketes() {
    QList<QLabel*> etiketes;
    for (const QString& vardas : TfrmTaisykles::kReiksmiuEtiketes)
        etiketes.append(frmTaisykles()->findChild<QLabel*>(vardas));
    return etiketes;
}

// A language whose value words all differ, so a test sees which one was taken.
const QByteArray kBandomojiKalba = "-->frmTaisykles<--\r\n"
                                   "Taisykle=RULE\r\n"
                                   "Reiksme=VALUE\r\n"
                                   "Cap3=Details\r\n"
                                   "lblServerioAddr=Nothing chosen\r\n"
                                   "lblAdresas=Addr\r\n"
                                   "lblServeris=Name\r\n"
                                   "lblZemelapis=Map\r\n"
                                   "lblKatalogas=Folder\r\n"
                                   "lblPavadinimas=Game\r\n"
                                   "lblZaidejaiAktyvus=Players\r\n"
                                   "lblZaidejaiViso=Slots\r\n"
                                   "lblProtokoloVersija=Protocol\r\n"
                                   "lblServerioTipas=Type\r\n"
                                   "lblOSTipas=System\r\n"
                                   "lblSlaptazodis=Password\r\n"
                                   "lblModas=Mod\r\n"
                                   "lblSvetaine=Site\r\n"
                                   "lblFTPServeris=Download\r\n"
                                   "lblMODVersija=ModVer\r\n"
                                   "lblMODDydis=ModSize\r\n"
                                   "lblTikServerioMod=ServerOnly\r\n"
                                   "lblArReikiaTavoDll=OwnDll\r\n"
                                   "lblSaugus=Secure\r\n"
                                   "Dedikuotas=DEDICATED\r\n"
                                   "Listen=LISTENING\r\n"
                                   "Neraa=ABSENT\r\n"
                                   "Taip=AYE\r\n"
                                   "Nee=NAY\r\n"
                                   "Yra=PRESENT\r\n"
                                   "-->Pranesimai<--\r\n"
                                   "BlogasServeris=No such host\r\n"
                                   "NezinomiDuomenys=Unknown reply\r\n"
                                   "BaituGavau= bytes: too long\r\n";

TDetales SuModu() {
    TDetales d;
    d.Info = {"10.0.0.5:27016", "Mod server", "de_dust2", "cstrike", "Counter-Strike"};
    d.Zaidejai = 5;
    d.MaxZaideju = 18;
    d.Protokolas = 47;
    d.ServerioTipas = 'd';
    d.OS = 'w';
    d.Slaptazodis = 1;
    d.ArModas = 1;
    d.MOD = {"http://mod.example", "ftp://mod.example/get", "x"};
    d.MODVersija = 3;
    d.MODDydis = 1572864;
    d.TikServerio = 1;
    d.SavasDLL = 1;
    d.Saugus = 1;
    return d;
}

TDetales BeModo() {
    TDetales d;
    d.Info = {"127.0.0.1:27015", "Plain", "cs_office", "valve", "Half-Life"};
    d.Zaidejai = 0;
    d.MaxZaideju = 8;
    d.Protokolas = 46;
    d.ServerioTipas = 'l';
    d.OS = 'l';
    return d;
}

TTaisykles Taisykles(int kiekis, const QByteArray& priesdelis = "r") {
    TTaisykles t;
    for (int i = 0; i < kiekis; ++i)
        t.append({priesdelis + QByteArray::number(i), "v" + QByteArray::number(i)});
    return t;
}

} // namespace

class TstTaisykles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void isdestymas_data();
    void isdestymas();
    void tusciasAdresas_data();
    void tusciasAdresas();
    void uzklausos();
    void detales_data();
    void detales();
    void megabaitai_data();
    void megabaitai();
    void megabaitaiEtiketeje();
    void taisykles_data();
    void taisykles();
    void antrasAtsakymas_data();
    void antrasAtsakymas();
    void naujasRodymas();
    void taisyklesPriesDetales();
    void stebetojasUzblokuotas();
    void netinkamiAtsakymai_data();
    void netinkamiAtsakymai();
    void portasIsAdreso_data();
    void portasIsAdreso();
    void nerandamasHostas();
    void kalba();
    void stebetojoPauze_data();
    void stebetojoPauze();
    void modalinisLangas();
    void kartojimas_data();
    void kartojimas();

private:
    void Rodyti(const QString& adresas);
    QString Tekstas(const char* sekcija, const char* raktas) const {
        return frmPagrindinis()->Kalba().Tekstas(sekcija, raktas);
    }
    QString Langelis(int stulpelis, int eilute) const {
        return Detaliu<TTinklelis>("stgTaisykles")->Langelis(stulpelis, eilute);
    }

    TStebetojoAplinka aplinka;
    QStringList& pranesimai = aplinka.pranesimai;
    std::function<void()>& kaiRodomasPranesimas = aplinka.kaiRodomasPranesimas;
    QStringList paieskos;
    int siuntimai = 0;
};

void TstTaisykles::initTestCase() {
    QVERIFY(aplinka.Paruosti());
    QVERIFY(aplinka.Rasyti(u"resursai/Kalbos/Bandymas.lng"_s, kBandomojiKalba));
    SukurtiLangus();
    QVERIFY(frmPagrindinis());
    QVERIFY(frmTaisykles());
    // Counts what the window sends, then does what the window does (if anything).
    TNMUDP::TNotifyEvent siuntimas = frmTaisykles()->NMUDP1->OnDataSend;
    frmTaisykles()->NMUDP1->OnDataSend = [this, siuntimas](QObject* s) {
        ++siuntimai;
        if (siuntimas)
            siuntimas(s);
    };
}

void TstTaisykles::cleanupTestCase() {
    aplinka.Baigti();
    QVERIFY(!frmTaisykles());
}

void TstTaisykles::init() {
    pranesimai.clear();
    paieskos.clear();
    kaiRodomasPranesimas = {};
    siuntimai = 0;
    QLocale::setDefault(QLocale::c());
    Valdiklis<TTybINI>("TybINI1")->setByla(u"resursai\\Kalbos\\English.lng"_s);
    Valdiklis<QLineEdit>("edtHostas")->clear();
    frmPagrindinis()->setProperty("ArBanas", false);
    Valdiklis<TLaikmatis>("tmrAtnaujinimas")->setEnabled(false);
    NetikraPaieska(paieskos);
}

void TstTaisykles::cleanup() {
    frmTaisykles()->hide();
    frmPagrindinis()->setProperty("ArBanas", false);
    Valdiklis<TLaikmatis>("tmrAtnaujinimas")->setEnabled(false);
    QLocale::setDefault(QLocale::c());
    QTest::qWait(20);
}

void TstTaisykles::Rodyti(const QString& adresas) {
    Valdiklis<QLineEdit>("edtHostas")->setText(adresas);
    frmTaisykles()->show();
    QVERIFY(frmTaisykles()->isVisible());
}

// ---- Layout ----

void TstTaisykles::isdestymas_data() {
    QTest::addColumn<QString>("vardas");
    QTest::addColumn<QPoint>("vieta");
    QTest::addColumn<int>("taskai");
    QTest::newRow("heading") << u"lblServerioAddr"_s << QPoint(64, 8) << 12;
    QTest::newRow("address") << u"lblAdresas"_s << QPoint(16, 40) << 8;
    QTest::newRow("game") << u"lblPavadinimas"_s << QPoint(16, 104) << 8;
    QTest::newRow("players now") << u"lblZaidejaiAktyvus"_s << QPoint(16, 144) << 8;
    QTest::newRow("password") << u"lblSlaptazodis"_s << QPoint(16, 224) << 8;
    QTest::newRow("mod") << u"lblModas"_s << QPoint(16, 256) << 8;
    QTest::newRow("own library") << u"lblArReikiaTavoDll"_s << QPoint(16, 352) << 8;
    QTest::newRow("secure") << u"lblSaugus"_s << QPoint(16, 384) << 8;
}

void TstTaisykles::isdestymas() {
    QFETCH(QString, vardas);
    QFETCH(QPoint, vieta);
    QFETCH(int, taskai);
    auto* l = frmTaisykles()->findChild<QLabel*>(vardas);
    QVERIFY(l);
    QCOMPARE(l->pos(), vieta);
    QCOMPARE(l->font().pointSize(), taskai);
    QCOMPARE(l->font().bold(), taskai == 12);
    QCOMPARE(l->textFormat(), Qt::PlainText);
    QCOMPARE(l->palette().color(QPalette::WindowText), QColor(0xFF, 0xAA, 0x00));
    // Before the first showing each label shows its own name.
    QCOMPARE(l->text(), vardas);
    QCOMPARE(frmTaisykles()->objectName(), u"frmTaisykles"_s);
    QCOMPARE(frmTaisykles()->windowTitle(), u"Velmorant"_s);
    // The plot's strip below the layout's 413 pixels.
    QCOMPARE(frmTaisykles()->size(), QSize(752, 524));
    auto* grafikas = frmTaisykles()->findChild<TIstorijosGrafikas*>(u"imgIstorija"_s);
    QVERIFY(grafikas);
    QCOMPARE(grafikas->geometry(), QRect(8, 416, 737, 100));
    QVERIFY(grafikas->geometry().bottom() < frmTaisykles()->height());
    QVERIFY(grafikas->width() >= TIstorijosGrafikas::kMazPlotis &&
            grafikas->height() >= TIstorijosGrafikas::kMazAukstis);
    QCOMPARE(ReiksmiuEtiketes().size(), 19);
    TTinklelis* g = frmTaisykles()->findChild<TTinklelis*>(u"stgTaisykles"_s);
    QVERIFY(g);
    QCOMPARE(g->geometry(), QRect(352, 5, 393, 404));
    QCOMPARE(g->columnCount(), 2);
    QCOMPARE(g->rowCount(), 100);
    QCOMPARE(g->columnWidth(0), 185);
    QCOMPARE(g->columnWidth(1), 185);
    QCOMPARE(g->verticalHeader()->defaultSectionSize(), 15);
    QVERIFY(g->editTriggers() & QAbstractItemView::AnyKeyPressed);
    auto* udp = frmTaisykles()->NMUDP1; // the hub's endpoint
    QVERIFY(udp);
    QCOMPARE(udp->LocalPort(), 27035);
    QCOMPARE(udp->RemotePort(), 27015);
    QCOMPARE(udp->ReportLevel(), 2);
    QCOMPARE(frmTaisykles()->palette().color(QPalette::Window), QColor(Qt::black));
}

// ---- Requests ----

void TstTaisykles::tusciasAdresas_data() {
    QTest::addColumn<QString>("adresas");
    QTest::newRow("empty") << QString();
    QTest::newRow("blanks only") << u"  \t "_s;
}

void TstTaisykles::tusciasAdresas() {
    QFETCH(QString, adresas);
    Rodyti(adresas);
    QCOMPARE(siuntimai, 0);
    QCOMPARE(Detaliu<QLabel>("lblServerioAddr")->text(), u"No server chosen"_s);
    QCOMPARE(Detaliu<QLabel>("lblAdresas")->text(), u"Address: "_s);
    QCOMPARE(Detaliu<QLabel>("lblSaugus")->text(), u"Secure: "_s);
    QCOMPARE(Langelis(0, 0), u"Rule"_s);
    QCOMPARE(Langelis(1, 0), u"Value"_s);
    QCOMPARE(Detaliu<TTinklelis>("stgTaisykles")->horizontalHeaderItem(1)->text(), u"Value"_s);
    QCOMPARE(Langelis(0, 1), QString());
    QCOMPARE(frmTaisykles()->windowTitle(), u"Velmorant - Server details"_s);
    QVERIFY(Detaliu<TTinklelis>("stgTaisykles")->font().bold());
    QVERIFY(pranesimai.isEmpty());
    // Labels size themselves to their text.
    QCOMPARE(Detaliu<QLabel>("lblAdresas")->size(), Detaliu<QLabel>("lblAdresas")->sizeHint());
}

void TstTaisykles::uzklausos() {
    TTestinisServeris serveris;
    QVERIFY(serveris.Paleisti());
    TServerioTurinys t;
    t.Detales = SuModu();
    t.Taisykles = Taisykles(3);
    serveris.NustatytiTurini(t);
    const QString adresas = u"127.0.0.1:"_s + QString::number(serveris.Prievadas());
    PazintiSena(adresas); // met before
    Rodyti(adresas);
    QTRY_COMPARE_WITH_TIMEOUT(serveris.Uzklausos().size(), 2, 5000);
    QCOMPARE(serveris.Uzklausos().at(0).Zodis, QByteArray("details"));
    QCOMPARE(serveris.Uzklausos().at(1).Zodis, QByteArray("rules"));
    for (const TGautaUzklausa& u : serveris.Uzklausos()) {
        QCOMPARE(u.Ilgis, 256);
        QCOMPARE(u.SiuntejoPrievadas, frmTaisykles()->NMUDP1->UzimtasPortas()); // the hub's endpoint
    }
    QCOMPARE(frmTaisykles()->NMUDP1->ReportLevel(), 2);
    QCOMPARE(Detaliu<QLabel>("lblServerioAddr")->text(), adresas);
    QTRY_COMPARE_WITH_TIMEOUT(Langelis(0, 3), u"r2"_s, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(Detaliu<QLabel>("lblServeris")->text(), u"Name: Mod server"_s, 5000);
    QVERIFY(pranesimai.isEmpty());
    // Each showing asks once, then again only at the watcher's refresh period (5 s here).
    QTest::qWait(100);
    QCOMPARE(serveris.Uzklausos().size(), 2);
}

// ---- Details ----

void TstTaisykles::detales_data() {
    QTest::addColumn<TDetales>("detales");
    QTest::addColumn<QStringList>("tekstai"); // the 19 value lines, in layout order

    QTest::newRow("mod server, every flag set") << SuModu()
                                                << QStringList{u"Addr: 10.0.0.5:27016"_s,
                                                               u"Name: Mod server"_s,
                                                               u"Map: de_dust2"_s,
                                                               u"Folder: cstrike"_s,
                                                               u"Game: Counter-Strike"_s,
                                                               u"Players: 5"_s,
                                                               u"Slots: 18"_s,
                                                               u"Protocol: 47"_s,
                                                               u"Type: DEDICATED"_s,
                                                               u"System: Windows"_s,
                                                               u"Password: PRESENT"_s,
                                                               u"Mod: PRESENT"_s,
                                                               u"Site: http://mod.example"_s,
                                                               u"Download: ftp://mod.example/get"_s,
                                                               u"ModVer: 3"_s,
                                                               u"ModSize: 1.50 MB"_s,
                                                               u"ServerOnly: AYE"_s,
                                                               u"OwnDll: AYE"_s,
                                                               u"Secure: 1"_s};
    QTest::newRow("no mod: zero, 0.00 MB, no, none") << BeModo()
                                                     << QStringList{u"Addr: 127.0.0.1:27015"_s,
                                                                    u"Name: Plain"_s,
                                                                    u"Map: cs_office"_s,
                                                                    u"Folder: valve"_s,
                                                                    u"Game: Half-Life"_s,
                                                                    u"Players: 0"_s,
                                                                    u"Slots: 8"_s,
                                                                    u"Protocol: 46"_s,
                                                                    u"Type: LISTENING"_s,
                                                                    u"System: Linux"_s,
                                                                    u"Password: ABSENT"_s,
                                                                    u"Mod: ABSENT"_s,
                                                                    u"Site: "_s,
                                                                    u"Download: ABSENT"_s,
                                                                    u"ModVer: 0"_s,
                                                                    u"ModSize: 0.00 MB"_s,
                                                                    u"ServerOnly: NAY"_s,
                                                                    u"OwnDll: NAY"_s,
                                                                    u"Secure: 0"_s};
    TDetales kitos = SuModu();
    kitos.ServerioTipas = 'p';
    kitos.OS = 'm';
    kitos.Slaptazodis = 2; // only 1 means yes
    kitos.MOD.Parsisiuntimas = " \t ";
    kitos.TikServerio = 0;
    kitos.SavasDLL = 7;
    kitos.Saugus = 200;
    kitos.MODDydis = 5 * 1048576 + 1048576 / 4;
    kitos.Info.Pavadinimas = "\xC5\xBD"
                             "aid<b>imas</b>";
    kitos.Info.Zemelapis = "\xFE"
                           "emel";
    QTest::newRow("other letters, blank download, hostile text") << kitos
                                                                 << QStringList{u"Addr: 10.0.0.5:27016"_s,
                                                                                u"Name: Žaid<b>imas</b>"_s,
                                                                                u"Map: žemel"_s,
                                                                                u"Folder: cstrike"_s,
                                                                                u"Game: Counter-Strike"_s,
                                                                                u"Players: 5"_s,
                                                                                u"Slots: 18"_s,
                                                                                u"Protocol: 47"_s,
                                                                                u"Type: LISTENING"_s,
                                                                                u"System: Linux"_s,
                                                                                u"Password: ABSENT"_s,
                                                                                u"Mod: PRESENT"_s,
                                                                                u"Site: http://mod.example"_s,
                                                                                u"Download: ABSENT"_s,
                                                                                u"ModVer: 3"_s,
                                                                                u"ModSize: 5.25 MB"_s,
                                                                                u"ServerOnly: NAY"_s,
                                                                                u"OwnDll: NAY"_s,
                                                                                u"Secure: 200"_s};
}

void TstTaisykles::detales() {
    QFETCH(TDetales, detales);
    QFETCH(QStringList, tekstai);
    Valdiklis<TTybINI>("TybINI1")->setByla(u"resursai\\Kalbos\\Bandymas.lng"_s);
    TTestinisServeris serveris;
    QVERIFY(serveris.Paleisti());
    TServerioTurinys t;
    t.Detales = detales;
    t.ZaidejuSkaicius = detales.Zaidejai; // the server counts its players itself otherwise
    serveris.NustatytiTurini(t);
    Rodyti(u"127.0.0.1:"_s + QString::number(serveris.Prievadas()));
    QTRY_COMPARE_WITH_TIMEOUT(Detaliu<QLabel>("lblSaugus")->text(), tekstai.last(), 5000);
    const QList<QLabel*> etiketes = ReiksmiuEtiketes();
    for (int i = 0; i < etiketes.size(); ++i) {
        QCOMPARE(etiketes.at(i)->text(), tekstai.at(i));
        QCOMPARE(etiketes.at(i)->textFormat(), Qt::PlainText);
        QCOMPARE(etiketes.at(i)->width(), etiketes.at(i)->sizeHint().width());
    }
    QVERIFY(pranesimai.isEmpty());
    // A picture of the filled window for a human eye, when asked for.
    if (QByteArray(QTest::currentDataTag()) == "mod server, every flag set") {
        if (!qEnvironmentVariableIsEmpty("VELMORANT_NUOTRAUKOS"))
            Kviesti(frmTaisykles(), "RodytiTaisykles", Q_ARG(TTaisykles, Taisykles(30)));
        QVERIFY(Nuotrauka(frmTaisykles(), u"taisykles.png"_s));
    }
}

// ---- The megabyte format ----

void TstTaisykles::megabaitai_data() {
    QTest::addColumn<QLocale>("vieta");
    QTest::addColumn<int>("baitai");
    QTest::addColumn<QString>("tekstas");
    const QLocale c = QLocale::c();
    const QLocale lt(QLocale::Lithuanian, QLocale::Lithuania);
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale de(QLocale::German, QLocale::Germany);
    QTest::newRow("1572864 bytes, C") << c << 1572864 << u"1.50"_s;
    QTest::newRow("1572864 bytes, Lithuanian comma") << lt << 1572864 << u"1,50"_s;
    QTest::newRow("1572864 bytes, German comma") << de << 1572864 << u"1,50"_s;
    QTest::newRow("no mod, Lithuanian") << lt << 0 << u"0,00"_s;
    QTest::newRow("no group separator, US") << us << 2147483647 << u"2048.00"_s;
    QTest::newRow("no group separator, German") << de << 1073741824 << u"1024,00"_s;
    QTest::newRow("rounded to two decimals") << c << 1048576 + 5243 << u"1.01"_s;
    QTest::newRow("under one megabyte") << c << 524288 << u"0.50"_s;
    QTest::newRow("tiny negative shows no sign") << c << -1 << u"0.00"_s;
    QTest::newRow("negative") << lt << -3 * 1048576 << u"-3,00"_s;
}

void TstTaisykles::megabaitai() {
    QFETCH(QLocale, vieta);
    QFETCH(int, baitai);
    QLocale::setDefault(vieta);
    QTEST(TfrmTaisykles::Megabaitai(baitai), "tekstas");
}

void TstTaisykles::megabaitaiEtiketeje() {
    // The label uses the user's locale at the moment the reply comes.
    QLocale::setDefault(QLocale(QLocale::Lithuanian, QLocale::Lithuania));
    TTestinisServeris serveris;
    QVERIFY(serveris.Paleisti());
    TServerioTurinys t;
    t.Detales = SuModu();
    serveris.NustatytiTurini(t);
    Rodyti(u"127.0.0.1:"_s + QString::number(serveris.Prievadas()));
    QTRY_COMPARE_WITH_TIMEOUT(Detaliu<QLabel>("lblMODDydis")->text(), u"Mod size: 1,50 MB"_s, 5000);
}

// ---- Rules ----

void TstTaisykles::taisykles_data() {
    QTest::addColumn<int>("kiekis");
    QTest::addColumn<int>("rodoma");
    QTest::newRow("none") << 0 << 0;
    QTest::newRow("three") << 3 << 3;
    QTest::newRow("99 fill the grid") << 99 << 99;
    QTest::newRow("150 rules show 99") << 150 << 99;
}

void TstTaisykles::taisykles() {
    QFETCH(int, kiekis);
    QFETCH(int, rodoma);
    TRankinisServeris rankinis;
    QVERIFY(rankinis.Paleisti());
    Rodyti(rankinis.Adresas());
    QTRY_COMPARE_WITH_TIMEOUT(rankinis.gauta.size(), 2, 5000);
    const QByteArray atsakymas = KurtiTaisykliuAtsakyma(Taisykles(kiekis));
    QVERIFY(atsakymas.size() <= 2023);
    rankinis.Siusti(atsakymas);
    rankinis.Siusti(KurtiDetaliuAtsakyma(BeModo())); // a marker that the rules were handled
    QTRY_COMPARE_WITH_TIMEOUT(Detaliu<QLabel>("lblSaugus")->text(), u"Secure: 0"_s, 5000);
    QCOMPARE(Detaliu<TTinklelis>("stgTaisykles")->rowCount(), 100);
    for (int r = 1; r < 100; ++r) {
        QCOMPARE(Langelis(0, r), r <= rodoma ? u"r"_s + QString::number(r - 1) : QString());
        QCOMPARE(Langelis(1, r), r <= rodoma ? u"v"_s + QString::number(r - 1) : QString());
    }
    QCOMPARE(Langelis(0, 0), u"Rule"_s);
    QVERIFY(pranesimai.isEmpty());
}

void TstTaisykles::antrasAtsakymas_data() {
    QTest::addColumn<QByteArray>("pirmas");
    QTest::addColumn<QByteArray>("antras");
    QTest::addColumn<QByteArray>("zyme"); // a reply of the other kind, shown once the two were handled
    QTest::addColumn<QString>("vaizdas"); // the server name line, then rule names of rows 1 to 6
    const QByteArray detales = KurtiDetaliuAtsakyma(BeModo());
    QTest::newRow("rules twice") << KurtiTaisykliuAtsakyma(Taisykles(5, "first"))
                                 << KurtiTaisykliuAtsakyma(Taisykles(3, "second")) << detales
                                 << u"Name: Plain|first0|first1|first2|first3|first4|"_s;
    QTest::newRow("details twice") << detales << KurtiDetaliuAtsakyma(SuModu())
                                   << KurtiTaisykliuAtsakyma(Taisykles(2, "r")) << u"Name: Plain|r0|r1||||"_s;
    QTest::newRow("the same rules datagram twice")
        << KurtiTaisykliuAtsakyma(Taisykles(2, "same")) << KurtiTaisykliuAtsakyma(Taisykles(2, "same")) << detales
        << u"Name: Plain|same0|same1||||"_s;
}

void TstTaisykles::antrasAtsakymas() {
    // UDP may deliver a reply twice and servers have sent one twice: within one
    // showing the first reply of each kind stays, later ones are dropped.
    QFETCH(QByteArray, pirmas);
    QFETCH(QByteArray, antras);
    QFETCH(QByteArray, zyme);
    TRankinisServeris rankinis;
    QVERIFY(rankinis.Paleisti());
    Rodyti(rankinis.Adresas());
    QTRY_COMPARE_WITH_TIMEOUT(rankinis.gauta.size(), 2, 5000);
    for (const QByteArray& d : {pirmas, antras, zyme})
        rankinis.Siusti(d);
    QTRY_VERIFY_WITH_TIMEOUT(Detaliu<QLabel>("lblServeris")->text() != u"Name: "_s && !Langelis(0, 1).isEmpty(), 5000);
    QTest::qWait(20);
    QStringList vaizdas{Detaliu<QLabel>("lblServeris")->text()};
    for (int r = 1; r <= 6; ++r)
        vaizdas.append(Langelis(0, r));
    QTEST(vaizdas.join(u'|'), "vaizdas");
    QVERIFY(pranesimai.isEmpty());
}

void TstTaisykles::naujasRodymas() {
    TRankinisServeris rankinis;
    QVERIFY(rankinis.Paleisti());
    Rodyti(rankinis.Adresas());
    QTRY_COMPARE_WITH_TIMEOUT(rankinis.gauta.size(), 2, 5000);
    rankinis.Siusti(KurtiTaisykliuAtsakyma(Taisykles(5, "first")));
    QTRY_COMPARE_WITH_TIMEOUT(Langelis(0, 5), u"first4"_s, 5000);
    // The next showing starts from titles again.
    frmTaisykles()->hide();
    Valdiklis<QLineEdit>("edtHostas")->clear();
    frmTaisykles()->show();
    QCOMPARE(Langelis(0, 1), QString());
    QCOMPARE(Langelis(0, 0), u"Rule"_s);
}

void TstTaisykles::taisyklesPriesDetales() {
    TRankinisServeris rankinis;
    QVERIFY(rankinis.Paleisti());
    Rodyti(rankinis.Adresas());
    QTRY_COMPARE_WITH_TIMEOUT(rankinis.gauta.size(), 2, 5000);
    QCOMPARE(rankinis.gauta.at(0).data().mid(4, 8), QByteArray("details\0", 8));
    QCOMPARE(rankinis.gauta.at(1).data().mid(4, 6), QByteArray("rules\0", 6));
    rankinis.Siusti(KurtiTaisykliuAtsakyma(Taisykles(2)));
    QTRY_COMPARE_WITH_TIMEOUT(Langelis(1, 2), u"v1"_s, 5000);
    QCOMPARE(Detaliu<QLabel>("lblServeris")->text(), u"Name: "_s);
    rankinis.Siusti(KurtiDetaliuAtsakyma(BeModo()));
    QTRY_COMPARE_WITH_TIMEOUT(Detaliu<QLabel>("lblServeris")->text(), u"Name: Plain"_s, 5000);
}

// ---- Replies that are not shown ----

void TstTaisykles::stebetojasUzblokuotas() {
    TRankinisServeris rankinis;
    QVERIFY(rankinis.Paleisti());
    frmPagrindinis()->setProperty("ArBanas", true);
    Rodyti(rankinis.Adresas());
    QTRY_COMPARE_WITH_TIMEOUT(rankinis.gauta.size(), 2, 5000); // asked all the same
    for (const QByteArray& d : {KurtiDetaliuAtsakyma(SuModu()), KurtiTaisykliuAtsakyma(Taisykles(4)),
                                KurtiAtsakyma('X'), KurtiBanoAtsakyma(), QByteArray(3000, 'x')})
        rankinis.Siusti(d);
    QTest::qWait(100);
    QCOMPARE(Detaliu<QLabel>("lblServeris")->text(), u"Name: "_s);
    QCOMPARE(Langelis(0, 1), QString());
    QVERIFY(pranesimai.isEmpty());
    // Once the watcher is no longer banned, replies show again.
    frmPagrindinis()->setProperty("ArBanas", false);
    rankinis.Siusti(KurtiTaisykliuAtsakyma(Taisykles(4)));
    QTRY_COMPARE_WITH_TIMEOUT(Langelis(0, 4), u"r3"_s, 5000);
}

void TstTaisykles::netinkamiAtsakymai_data() {
    QTest::addColumn<QByteArray>("datagrama");
    QTest::addColumn<QString>("pranesimas"); // empty: none
    QTest::newRow("unknown letter") << KurtiAtsakyma('X', "abc") << u"Unknown reply"_s;
    QTest::newRow("ban notice") << KurtiBanoAtsakyma() << u"Unknown reply"_s;
    QTest::newRow("players reply") << KurtiZaidejuAtsakyma({}) << u"Unknown reply"_s;
    QTest::newRow("2023 bytes decoded") << KurtiIsplestaZaidejuAtsakyma({}, 2023) << u"Unknown reply"_s;
    QTest::newRow("2024 bytes refused") << KurtiIsplestaZaidejuAtsakyma({}, 2024) << u"2024 bytes: too long"_s;
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("four bytes") << QByteArray("\xFF\xFF\xFF\xFF", 4) << QString();
}

void TstTaisykles::netinkamiAtsakymai() {
    QFETCH(QByteArray, datagrama);
    QFETCH(QString, pranesimas);
    Valdiklis<TTybINI>("TybINI1")->setByla(u"resursai\\Kalbos\\Bandymas.lng"_s);
    TRankinisServeris rankinis;
    QVERIFY(rankinis.Paleisti());
    Rodyti(rankinis.Adresas());
    QTRY_COMPARE_WITH_TIMEOUT(rankinis.gauta.size(), 2, 5000);
    rankinis.Siusti(datagrama);
    rankinis.Siusti(KurtiTaisykliuAtsakyma(Taisykles(1))); // a marker that the first was handled
    QTRY_COMPARE_WITH_TIMEOUT(Langelis(0, 1), u"r0"_s, 5000);
    QCOMPARE(pranesimai, pranesimas.isEmpty() ? QStringList() : QStringList{pranesimas});
    QCOMPARE(Detaliu<QLabel>("lblServeris")->text(), u"Name: "_s);
}

// ---- Address and port ----

void TstTaisykles::portasIsAdreso_data() {
    QTest::addColumn<QString>("sablonas"); // %1: the local server's port
    QTest::addColumn<int>("portas");       // 0: the local server's port
    QTest::addColumn<int>("siunciama");    // datagrams sent
    // A server met for the first time: "details", "rules" and A2S_INFO.
    QTest::newRow("host:port") << u"127.0.0.1:%1"_s << 0 << 3;
    QTest::newRow("blanks around host and port") << u" 127.0.0.1 : %1 "_s << 0 << 3;
    QTest::newRow("host name and port") << u"localhost:%1"_s << 0 << 3;
    QTest::newRow("bare host: 27015") << u"127.0.0.1"_s << 27015 << 3;
    QTest::newRow("port not a number: nothing sent") << u"127.0.0.1:x1"_s << 0 << 0;
    QTest::newRow("port 0: nothing sent") << u"127.0.0.1:0"_s << 0 << 0;
}

void TstTaisykles::portasIsAdreso() {
    QFETCH(QString, sablonas);
    QFETCH(int, portas);
    QFETCH(int, siunciama);
    TTestinisServeris serveris;
    QVERIFY(serveris.Paleisti());
    TServerioTurinys t;
    t.Detales = BeModo();
    serveris.NustatytiTurini(t);
    const QString adresas = QString(sablonas).replace(u"%1"_s, QString::number(serveris.Prievadas()));
    Rodyti(adresas);
    QCOMPARE(siuntimai, siunciama);
    if (siunciama > 0)
        QCOMPARE(int(frmTaisykles()->NMUDP1->PaskutinisPortas()), portas ? portas : int(serveris.Prievadas()));
    if (siunciama > 0 && portas == 0) {
        QTRY_COMPARE_WITH_TIMEOUT(Detaliu<QLabel>("lblServeris")->text(), u"Name: Plain"_s, 5000);
        QCOMPARE(serveris.Uzklausos().size(), 3);
    } else {
        QTest::qWait(50);
        QCOMPARE(serveris.Uzklausos().size(), 0);
    }
    // The heading shows the address as typed, whatever came of it.
    QCOMPARE(Detaliu<QLabel>("lblServerioAddr")->text(), adresas);
    QVERIFY(pranesimai.isEmpty());
}

void TstTaisykles::nerandamasHostas() {
    Rodyti(u"nowhere.example:27016"_s);
    // One message for the failed lookup; the second try it asks for fails too,
    // and the rules request is not sent.
    QCOMPARE(pranesimai, QStringList{u"The server's address could not be found."_s});
    QCOMPARE(paieskos, (QStringList{u"nowhere.example"_s, u"nowhere.example"_s}));
    QCOMPARE(siuntimai, 0);
    QCOMPARE(Detaliu<QLabel>("lblServeris")->text(), u"Name: "_s);
    QCOMPARE(Detaliu<QLabel>("lblServerioAddr")->text(), u"nowhere.example:27016"_s);
}

// ---- Language and the watcher ----

void TstTaisykles::kalba() {
    Rodyti(QString());
    QCOMPARE(Detaliu<QLabel>("lblModas")->text(), u"Mod: "_s);
    frmTaisykles()->hide();
    Valdiklis<TTybINI>("TybINI1")->setByla(u"resursai\\Kalbos\\Lietuviu.lng"_s);
    frmTaisykles()->show();
    QCOMPARE(frmTaisykles()->windowTitle(), u"Velmorant - Apie serverį"_s);
    QCOMPARE(Detaliu<QLabel>("lblModas")->text(), u"Modifikacija: "_s);
    QCOMPARE(Detaliu<QLabel>("lblServerioAddr")->text(), u"Serveris nepasirinktas"_s);
    QCOMPARE(Langelis(0, 0), u"Taisyklė"_s);
    QCOMPARE(Detaliu<TTinklelis>("stgTaisykles")->horizontalHeaderItem(1)->text(), u"Reikšmė"_s);
}

void TstTaisykles::stebetojoPauze_data() {
    QTest::addColumn<QString>("adresas");
    QTest::addColumn<bool>("atnaujinama");
    QTest::newRow("watcher has an address") << u"127.0.0.1:x"_s << true;
    QTest::newRow("blanks only") << u"   "_s << false;
}

void TstTaisykles::stebetojoPauze() {
    QFETCH(QString, adresas);
    QFETCH(bool, atnaujinama);
    Valdiklis<QLineEdit>("edtHostas")->setText(adresas);
    Valdiklis<TLaikmatis>("tmrAtnaujinimas")->setEnabled(true);
    frmTaisykles()->show();
    QVERIFY(!Valdiklis<TLaikmatis>("tmrAtnaujinimas")->Enabled());
    frmTaisykles()->close();
    QVERIFY(!frmTaisykles()->isVisible());
    QCOMPARE(Valdiklis<TLaikmatis>("tmrAtnaujinimas")->Enabled(), atnaujinama);
}

void TstTaisykles::modalinisLangas() {
    TTestinisServeris serveris;
    QVERIFY(serveris.Paleisti());
    TServerioTurinys t;
    t.Detales = SuModu();
    serveris.NustatytiTurini(t);
    Valdiklis<QLineEdit>("edtHostas")->setText(u"127.0.0.1:"_s + QString::number(serveris.Prievadas()));
    frmPagrindinis()->move(40, 30);
    bool patikrinta = false;
    QTimer::singleShot(0, frmTaisykles(), [&] {
        patikrinta =
            frmTaisykles()->isVisible() && frmTaisykles()->isModal() &&
            (frmTaisykles()->frameGeometry().center() - frmPagrindinis()->frameGeometry().center()).manhattanLength() <=
                2;
    });
    // Closed by the test once the reply is shown.
    QTimer tikrinimas;
    connect(&tikrinimas, &QTimer::timeout, frmTaisykles(), [] {
        if (Detaliu<QLabel>("lblServeris")->text() == u"Name: Mod server"_s)
            frmTaisykles()->close();
    });
    tikrinimas.start(10);
    QTimer::singleShot(5000, frmTaisykles(), [] { frmTaisykles()->close(); }); // never left open
    frmTaisykles()->exec();
    tikrinimas.stop();
    QVERIFY(patikrinta);
    QVERIFY(!frmTaisykles()->isVisible());
    QCOMPARE(Detaliu<QLabel>("lblServeris")->text(), u"Name: Mod server"_s);
    QVERIFY(Valdiklis<TLaikmatis>("tmrAtnaujinimas")->Enabled());
}

void TstTaisykles::kartojimas_data() {
    QTest::addColumn<int>("intervalas"); // the watcher's refresh period
    QTest::newRow("watcher every second: asked again every second") << 1000;
    QTest::newRow("watcher never refreshes: asked once") << 0;
}

void TstTaisykles::kartojimas() {
    // While shown, the window repeats its round at the watcher's refresh
    // period in effect (the watcher's own refresh waits meanwhile); hidden, it stops.
    QFETCH(int, intervalas);
    auto* stebetojoLaikmatis = Valdiklis<TLaikmatis>("tmrAtnaujinimas");
    const int buves = stebetojoLaikmatis->Intervalas();
    stebetojoLaikmatis->setIntervalas(intervalas);
    TTestinisServeris serveris;
    QVERIFY(serveris.Paleisti());
    TServerioTurinys t;
    t.Detales = SuModu();
    t.Taisykles = Taisykles(3);
    serveris.NustatytiTurini(t);
    const auto detaliuPrasymai = [&serveris] {
        return std::count_if(serveris.Uzklausos().cbegin(), serveris.Uzklausos().cend(),
                             [](const TGautaUzklausa& u) { return u.Zodis == "details"; });
    };
    Rodyti(u"127.0.0.1:"_s + QString::number(serveris.Prievadas()));
    QTRY_COMPARE_WITH_TIMEOUT(Langelis(0, 3), u"r2"_s, 5000);
    auto* laikmatis = frmTaisykles()->findChild<TLaikmatis*>(u"tmrAtnaujinimas"_s);
    QVERIFY(laikmatis);
    QCOMPARE(laikmatis->interval(), intervalas);
    QCOMPARE(laikmatis->isActive(), intervalas > 0);
    if (intervalas == 0)
        QCOMPARE(detaliuPrasymai(), 1);
    if (intervalas > 0) {
        // The next round's replies fill the window.
        t.Taisykles = Taisykles(3, "again");
        serveris.NustatytiTurini(t);
        QTRY_COMPARE_WITH_TIMEOUT(Langelis(0, 3), u"again2"_s, 5000);
        QVERIFY(detaliuPrasymai() >= 2);
    }
    QVERIFY(!stebetojoLaikmatis->isActive());
    frmTaisykles()->hide();
    QVERIFY(!laikmatis->isActive());
    stebetojoLaikmatis->setEnabled(false); // the watcher's refresh, back on, would ask the same server
    const qsizetype paslepus = detaliuPrasymai();
    QTest::qWait(intervalas + 200);
    QCOMPARE(detaliuPrasymai(), paslepus);
    QVERIFY(pranesimai.isEmpty());
    stebetojoLaikmatis->setIntervalas(buves);
}

QTEST_MAIN(TstTaisykles)
#include "tst_taisykles.moc"
