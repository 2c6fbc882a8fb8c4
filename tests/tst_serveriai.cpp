// The server list window against local test game servers on loopback: the
// list file, the walk with its pacing, ping, time-out and ban, replies from the
// wrong sender, the add and remove commands, editing, the double-click that
// hands an address to the watcher, and the watcher's pause. The list's model
// on its own (the file's lines, rows removed, replies in their rows): tst_megstami.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QNetworkDatagram>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>

#include "AtsakymuKurejas.h"
#include "Laikrodis.h"
#include "Modulis1.h"
#include "Modulis2.h"
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

const QString kFailas = u"resursai/Serveriai.tyb"_s;

TServerioTurinys Turinys(const QByteArray& vardas, const QByteArray& zemelapis, char os, quint8 zaidejai, quint8 max) {
    TServerioTurinys t;
    t.Detales.Info.Pavadinimas = vardas;
    t.Detales.Info.Zemelapis = zemelapis;
    t.Detales.Info.Katalogas = "cstrike";
    t.Detales.Info.Zaidimas = "Counter-Strike";
    t.Detales.MaxZaideju = max;
    t.Detales.Protokolas = 47;
    t.Detales.ServerioTipas = 'd';
    t.Detales.OS = os;
    t.ZaidejuSkaicius = zaidejai;
    return t;
}

TDetales Detales(const QByteArray& vardas) {
    TDetales d;
    d.Info.Pavadinimas = vardas;
    d.Info.Zemelapis = "de_aztec";
    d.Zaidejai = 7;
    d.MaxZaideju = 12;
    d.OS = 'w';
    return d;
}

template <typename T> T* Sarasas(const char* vardas) {
    return LangoValdiklis<T>(frmServeriai(), vardas);
}

TTinklelioVaizdas* Tinklelis() {
    return Sarasas<TTinklelioVaizdas>("stgServeriai");
}

// Writes a cell as an edit of the grid does.
void Rasyti(int stulpelis, int eilute, const QString& tekstas) {
    QAbstractItemModel* m = Tinklelis()->model();
    QVERIFY(m->setData(m->index(eilute, stulpelis), tekstas));
}

// Makes a cell the grid's current one.
void Pazymeti(int eilute, int stulpelis) {
    Tinklelis()->setCurrentIndex(Tinklelis()->model()->index(eilute, stulpelis));
}

// Every row of the walk has its answer, its time-out or its failed send.
bool ArPabaiga() {
    return frmServeriai()->property("ArPabaiga").toBool();
}

// The address of a legacy server the program has met before: its rounds are
// the legacy words alone.
QString Adresas(const TTestinisServeris& s) {
    const QString adresas = u"127.0.0.1:"_s + QString::number(s.Prievadas());
    PazintiSena(adresas);
    return adresas;
}

} // namespace

class TstServeriai : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void isdestymas();
    void kalba();
    void failasKeiciamasAtomiskai();
    void neperskaitomasFailas();
    void neirasomasFailas();
    void apejimas();
    void banas();
    void veluojantisAtsakymasKitojeEiluteje();
    void nerandamasHostas();
    void portasIsAdreso_data();
    void portasIsAdreso();
    void blogiDatagramai_data();
    void blogiDatagramai();
    void atnaujinimasNuoPirmosEilutes();
    void pakartotinisRodymas();
    void prideti_data();
    void prideti();
    void tusciasSarasas();
    void pasalinimasApejimoMetu();
    void dvigubasPaspaudimas_data();
    void dvigubasPaspaudimas();
    void redagavimas_data();
    void redagavimas();
    void stebetojoPauze_data();
    void stebetojoPauze();
    void modalinisLangas();

private:
    void RasytiFaila(const QByteArray& turinys);
    QByteArray SkaitytiFaila() const;
    void Rodyti();
    QString Langelis(int stulpelis, int eilute) const { return Tinklelis()->Langelis(stulpelis, eilute); }
    QString Tekstas(const char* sekcija, const char* raktas) const {
        return frmPagrindinis()->Kalba().Tekstas(sekcija, raktas);
    }

    TStebetojoAplinka aplinka;
    QStringList& pranesimai = aplinka.pranesimai;
    std::function<void()>& kaiRodomasPranesimas = aplinka.kaiRodomasPranesimas;
    QStringList paieskos;
    qint64& netikrasLaikas = aplinka.netikrasLaikas;
    bool& netikrasLaikrodis = aplinka.netikrasLaikrodis;
};

void TstServeriai::initTestCase() {
    QVERIFY(aplinka.Paruosti());
    SukurtiLangus();
    QVERIFY(frmPagrindinis());
    QVERIFY(frmServeriai());
    Valdiklis<TTybINI>("TybINI1")->setByla(u"resursai\\Kalbos\\English.lng"_s);
}

void TstServeriai::cleanupTestCase() {
    aplinka.Baigti();
    QVERIFY(!frmServeriai());
}

void TstServeriai::init() {
    pranesimai.clear();
    paieskos.clear();
    kaiRodomasPranesimas = {};
    netikrasLaikrodis = false;
    QFile::remove(kFailas);
    Valdiklis<TTybINI>("TybINI1")->setByla(u"resursai\\Kalbos\\English.lng"_s);
    Valdiklis<QLineEdit>("edtHostas")->clear();
    Valdiklis<TLaikmatis>("tmrAtnaujinimas")->setEnabled(false);
    frmServeriai()->NustatytiPerioda(10000);
    // Names are looked up here, never in the real name service.
    NetikraPaieska(paieskos);
}

void TstServeriai::cleanup() {
    PriesPakeiciantFaila = {};
    frmServeriai()->hide();
    Sarasas<TLaikmatis>("tmrAtnaujinimasServeriai")->setEnabled(false);
    Sarasas<TMegstamuModelis>("Megstami")->BaigtiApejima();
    Valdiklis<TLaikmatis>("tmrAtnaujinimas")->setEnabled(false);
    Valdiklis<QTimer>("tmrPingas")->stop();
    // Let late datagrams of this case arrive now rather than in the next one.
    QTest::qWait(20);
}

void TstServeriai::RasytiFaila(const QByteArray& turinys) {
    QFile f(kFailas);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(turinys), turinys.size());
}

QByteArray TstServeriai::SkaitytiFaila() const {
    QFile f(kFailas);
    if (!f.open(QIODevice::ReadOnly))
        return "<unreadable>";
    return f.readAll();
}

void TstServeriai::Rodyti() {
    frmServeriai()->show();
    QVERIFY(frmServeriai()->isVisible());
}

// ---- Layout and texts ----

void TstServeriai::isdestymas() {
    // Before the first showing: the layout's own captions.
    QCOMPARE(frmServeriai()->objectName(), u"frmServeriai"_s);
    QCOMPARE(frmServeriai()->windowTitle(), u"Velmorant - Informacija Apie Serverius"_s);
    QCOMPARE(Sarasas<QAction>("mnuPrideti")->text(), u"mnuPrideti"_s);
    QCOMPARE(Sarasas<QAction>("mnuUzdaryti2")->text(), u"mnuUzdaryti2"_s);
    QCOMPARE(Sarasas<QMenu>("mnuServeriai")->title(), u"mnuServeriai"_s);
    QVERIFY(!frmServeriai()->windowIcon().isNull());

    TTinklelioVaizdas* g = frmServeriai()->findChild<TTinklelioVaizdas*>(u"stgServeriai"_s);
    QVERIFY(g);
    QCOMPARE(g->model(), Sarasas<TMegstamuModelis>("Megstami"));
    QCOMPARE(g->geometry(), QRect(8, 5, 569, 425));
    QCOMPARE(g->parentWidget()->size(), QSize(583, 434));
    QCOMPARE(g->model()->columnCount(), 6);
    QCOMPARE(g->model()->rowCount(), 200);
    const int plociai[] = {20, 110, 173, 91, 85, 55};
    for (int c = 0; c < 6; ++c)
        QCOMPARE(g->columnWidth(c), plociai[c]);
    QCOMPARE(g->verticalHeader()->defaultSectionSize(), 17);
    QVERIFY(g->isRowHidden(0)); // the title row is shown as the fixed header
    QCOMPARE(g->editTriggers(), QAbstractItemView::EditTriggers(QAbstractItemView::NoEditTriggers));
    QCOMPARE(g->palette().color(QPalette::Text), QColor(0xFF, 0xAA, 0x00));
    QCOMPARE(g->palette().color(QPalette::Base), QColor(Qt::black));
    QCOMPARE(frmServeriai()->palette().color(QPalette::Window), QColor(Qt::black));

    for (const char* vardas :
         {"mnuPrideti", "mnuPasalinti", "N2", "mnuUzdaryti", "mnuPrideti2", "mnuPasalinti2", "N1", "mnuUzdaryti2"})
        QVERIFY2(frmServeriai()->findChild<QAction*>(QString::fromLatin1(vardas)), vardas);
    QVERIFY(frmServeriai()->findChild<QMenuBar*>(u"mnuPagrindinis"_s));
    QVERIFY(frmServeriai()->findChild<QMenu*>(u"mnuKitoKlaviso"_s));
    QCOMPARE(Sarasas<QMenu>("mnuServeriai")->actions(),
             (QList<QAction*>{Sarasas<QAction>("mnuPrideti"), Sarasas<QAction>("mnuPasalinti"), Sarasas<QAction>("N2"),
                              Sarasas<QAction>("mnuUzdaryti")}));
    QVERIFY(Sarasas<QAction>("N1")->isSeparator());

    auto* udp = frmServeriai()->NMUDP1; // the hub's endpoint
    QVERIFY(udp);
    QCOMPARE(udp->LocalPort(), 27035);
    QCOMPARE(udp->RemotePort(), 27015);
    QCOMPARE(udp->ReportLevel(), 2);
    auto* periodas = frmServeriai()->findChild<TLaikmatis*>(u"tmrAtnaujinimasServeriai"_s);
    QVERIFY(periodas);
    QCOMPARE(periodas->interval(), 10000);
    QVERIFY(!periodas->isActive());
    // The walk's pacing and the round trips are the poller's: no timer of the window keeps them.
    QCOMPARE(frmServeriai()->findChild<TLaikmatis*>(u"tmrAtnaujinimas"_s), nullptr);
    QCOMPARE(frmServeriai()->findChild<QTimer*>(u"tmrPingas"_s), nullptr);
    QCOMPARE(ProgramosCentras()->Apklausa()->Vykdomi(), 0);
    QVERIFY(!ArPabaiga());
    QVERIFY(!Sarasas<QLabel>("lblTusciasSarasas")->isVisible());
}

void TstServeriai::kalba() {
    Rodyti();
    TTinklelioVaizdas* g = Tinklelis();
    const QStringList antrastes{u"OS"_s, u"Address"_s, u"Server name"_s, u"Map"_s, u"Players"_s, u"Ping"_s};
    for (int c = 0; c < 6; ++c) {
        QCOMPARE(g->Langelis(c, 0), antrastes.at(c));
        QCOMPARE(g->model()->headerData(c, Qt::Horizontal).toString(), antrastes.at(c));
    }
    QCOMPARE(frmServeriai()->windowTitle(), u"Velmorant - Server list"_s);
    QCOMPARE(Sarasas<QMenu>("mnuServeriai")->title(), u"Servers"_s);
    QCOMPARE(Sarasas<QAction>("mnuPrideti")->text(), u"Add server"_s);
    QCOMPARE(Sarasas<QAction>("mnuPrideti2")->text(), u"Add server"_s);
    QCOMPARE(Sarasas<QAction>("mnuPasalinti2")->text(), u"Remove server"_s);
    QCOMPARE(Sarasas<QAction>("mnuUzdaryti")->text(), u"Close"_s);
    QVERIFY(g->font().bold());
    QCOMPARE(g->palette().color(QPalette::Text), QColor(0xFF, 0xAA, 0x00));
    frmServeriai()->hide();

    // Another language at the next showing, title line of the file included.
    Valdiklis<TTybINI>("TybINI1")->setByla(u"resursai\\Kalbos\\Lietuviu.lng"_s);
    Rodyti();
    QCOMPARE(frmServeriai()->windowTitle(), u"Velmorant - Serverių sąrašas"_s);
    QCOMPARE(g->Langelis(3, 0), u"Žemėlapis"_s);
    QCOMPARE(Sarasas<QAction>("mnuPasalinti")->text(), u"Pašalinti serverį"_s);
    frmServeriai()->close();
    QCOMPARE(SkaitytiFaila().left(9), QByteArray("Adresas\r\n"));

    // A key missing from the file shows the lookup's marker.
    QFile f(u"resursai/Kalbos/Be.lng"_s);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("-->frmServeriai<--\r\nAdresas=Addr\r\n");
    f.close();
    Valdiklis<TTybINI>("TybINI1")->setByla(u"resursai\\Kalbos\\Be.lng"_s);
    Rodyti();
    QCOMPARE(frmServeriai()->windowTitle(), u"Velmorant - ###3"_s);
    QCOMPARE(g->Langelis(1, 0), u"Addr"_s);
    QCOMPARE(g->Langelis(0, 0), u"###3"_s);
    QVERIFY(QFile::remove(u"resursai/Kalbos/Be.lng"_s));
}

// ---- The list file ----

void TstServeriai::failasKeiciamasAtomiskai() {
    RasytiFaila("t\r\nalfa.example\r\n");
    Rodyti();
    Rasyti(1, 2, u"beta.example"_s);
    // Until the new file takes its place, the old one is whole.
    QByteArray pries;
    QString kelias;
    PriesPakeiciantFaila = [&](const QString& k) {
        kelias = k;
        pries = SkaitytiFaila();
    };
    frmServeriai()->close();
    QVERIFY(kelias.endsWith(u"Serveriai.tyb"_s));
    QCOMPARE(pries, QByteArray("t\r\nalfa.example\r\n"));
    QCOMPARE(SkaitytiFaila(), Isvestis({"alfa.example", "beta.example"}));
    QVERIFY(pranesimai.isEmpty());
}

void TstServeriai::neperskaitomasFailas() {
    RasytiFaila("t\r\nalfa.example\r\nbeta.example\r\n");
    Rodyti();
    frmServeriai()->close();
    // The file's place is taken by a folder: it exists but cannot be read.
    QVERIFY(QFile::remove(kFailas));
    QVERIFY(QDir().mkpath(kFailas));
    Rodyti();
    QCOMPARE(pranesimai.size(), 1);
    QVERIFY2(pranesimai.at(0).contains(u"Serveriai.tyb"_s), qPrintable(pranesimai.at(0)));
    // The list in the window stays.
    QCOMPARE(Langelis(1, 1), u"alfa.example"_s);
    QCOMPARE(Langelis(1, 2), u"beta.example"_s);
    QCOMPARE(Langelis(1, 0), u"Address"_s);
    QTRY_VERIFY_WITH_TIMEOUT(paieskos.contains(u"beta.example"_s), 5000); // the walk runs all the same
    // Writing fails too, once, and the list still stays.
    frmServeriai()->close();
    QCOMPARE(pranesimai.size(), 2);
    QVERIFY2(pranesimai.at(1).contains(u"Serveriai.tyb"_s), qPrintable(pranesimai.at(1)));
    QCOMPARE(Langelis(1, 2), u"beta.example"_s);
    QVERIFY(!Sarasas<TLaikmatis>("tmrAtnaujinimasServeriai")->isActive());
    QVERIFY(QDir().rmdir(kFailas));
}

void TstServeriai::neirasomasFailas() {
    RasytiFaila("t\r\nalfa.example\r\n");
    Rodyti();
    Rasyti(1, 2, u"beta.example"_s);
    // A folder in the file's place: the new content cannot take it.
    QVERIFY(QFile::remove(kFailas));
    QVERIFY(QDir().mkpath(kFailas));
    frmServeriai()->close();
    QVERIFY(!frmServeriai()->isVisible());
    QCOMPARE(pranesimai.size(), 1);
    QVERIFY2(pranesimai.at(0).contains(u"Serveriai.tyb"_s), qPrintable(pranesimai.at(0)));
    QCOMPARE(Langelis(1, 1), u"alfa.example"_s);
    QCOMPARE(Langelis(1, 2), u"beta.example"_s);
    QVERIFY(QFileInfo(kFailas).isDir());
    QVERIFY(QDir().rmdir(kFailas));
    // Once the place is free again, the next close writes the list kept.
    Rodyti();
    QCOMPARE(pranesimai.size(), 1); // a missing file is an empty list, no message
    Rasyti(1, 1, u"alfa.example"_s);
    frmServeriai()->close();
    QCOMPARE(SkaitytiFaila(), Isvestis({"alfa.example"}));
}

// ---- The walk ----

void TstServeriai::apejimas() {
    TTestinisServeris a, b, c;
    for (TTestinisServeris* s : {&a, &b, &c})
        QVERIFY(s->Paleisti());
    a.NustatytiTurini(Turinys("Alpha", "de_dust2", 'w', 3, 16));
    b.NustatytiTurini(Turinys("Bravo", "cs_office", 'l', 0, 20));
    c.NustatytiTurini(Turinys("\xC5\xBD"
                              "aibas",
                              "de_nuke", 'L', 32, 32));
    RasytiFaila("t\r\n" + Adresas(a).toLatin1() + "\r\n" + Adresas(b).toLatin1() + "\r\n" + Adresas(c).toLatin1() +
                "\r\n");
    Rodyti();
    // The rows are polled side by side, and the walk is over once each has its reply.
    QTRY_VERIFY_WITH_TIMEOUT(ArPabaiga(), 5000);

    const QStringList os{u"W"_s, u"L"_s, u"L"_s};
    const QStringList vardai{u"Alpha"_s, u"Bravo"_s, u"Žaibas"_s};
    const QStringList zemelapiai{u"de_dust2"_s, u"cs_office"_s, u"de_nuke"_s};
    const QStringList zaidejai{u"3/16"_s, u"0/20"_s, u"32/32"_s};
    for (int r = 1; r <= 3; ++r) {
        QCOMPARE(Langelis(0, r), os.at(r - 1));
        QCOMPARE(Langelis(2, r), vardai.at(r - 1));
        QCOMPARE(Langelis(3, r), zemelapiai.at(r - 1));
        QCOMPARE(Langelis(4, r), zaidejai.at(r - 1));
        bool skaicius = false;
        const int ms = Langelis(5, r).toInt(&skaicius);
        QVERIFY2(skaicius && ms >= 0 && ms < 1000, qPrintable(Langelis(5, r)));
    }
    for (TTestinisServeris* s : {&a, &b, &c}) {
        QCOMPARE(s->Uzklausos().size(), 1);
        QCOMPARE(s->Uzklausos().at(0).Zodis, QByteArray("details"));
        QCOMPARE(s->Uzklausos().at(0).Ilgis, 256);
        QCOMPARE(s->Uzklausos().at(0).SiuntejoPrievadas, frmServeriai()->NMUDP1->UzimtasPortas()); // the hub's
    }
    QCOMPARE(Langelis(2, 4), QString());
    QVERIFY(pranesimai.isEmpty());
    // A picture of the filled window for a human eye, when asked for.
    QVERIFY(Nuotrauka(frmServeriai(), u"serveriai.png"_s));
}

void TstServeriai::banas() {
    TRankinisServeris rankinis;
    QVERIFY(rankinis.Paleisti());
    TTestinisServeris kitas;
    QVERIFY(kitas.Paleisti());
    kitas.NustatytiTurini(Turinys("After ban", "de_dust", 'l', 2, 8));
    RasytiFaila("t\r\n" + rankinis.Adresas().toLatin1() + "\r\n" + Adresas(kitas).toLatin1() + "\r\n");
    Rodyti();
    QTRY_COMPARE_WITH_TIMEOUT(rankinis.gauta.size(), 1, 5000);
    rankinis.Siusti(KurtiBanoAtsakyma());
    // Everything after the ban notice is dropped without a message.
    rankinis.Siusti(KurtiDetaliuAtsakyma(Detales("Should not show")));
    rankinis.Siusti(KurtiAtsakyma('X'));
    rankinis.Siusti(QByteArray(3000, 'x'));
    const QString banas = Tekstas("Pranesimai", "Banas");
    QTRY_COMPARE_WITH_TIMEOUT(Langelis(5, 1), banas, 5000);
    QCOMPARE(banas, u"Banned"_s);
    QTest::qWait(50);
    QCOMPARE(Langelis(2, 1), QString());
    QVERIFY(pranesimai.isEmpty());
    // The other row was polled beside it.
    QTRY_COMPARE_WITH_TIMEOUT(Langelis(2, 2), u"After ban"_s, 5000);
    QCOMPARE(Langelis(2, 1), QString());
    QCOMPARE(Langelis(5, 1), banas);
    QVERIFY(pranesimai.isEmpty());
    // The next walk asks again and takes what comes.
    Kviesti(frmServeriai(), "tmrAtnaujinimasServeriaiTimer");
    QTRY_COMPARE_WITH_TIMEOUT(rankinis.gauta.size(), 2, 5000);
    rankinis.Siusti(KurtiDetaliuAtsakyma(Detales("Ban lifted")));
    QTRY_COMPARE_WITH_TIMEOUT(Langelis(2, 1), u"Ban lifted"_s, 5000);
}

void TstServeriai::veluojantisAtsakymasKitojeEiluteje() {
    netikrasLaikrodis = true;
    netikrasLaikas = 300000;
    TRankinisServeris pirmas, antras;
    QVERIFY(pirmas.Paleisti());
    QVERIFY(antras.Paleisti());
    RasytiFaila("t\r\n" + pirmas.Adresas().toLatin1() + "\r\n" + antras.Adresas().toLatin1() + "\r\n");
    Rodyti();
    QTRY_COMPARE_WITH_TIMEOUT(pirmas.gauta.size(), 1, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(antras.gauta.size(), 1, 5000);
    netikrasLaikas += 5000;
    const QString timeout = Tekstas("Pranesimai", "Timeout");
    QTRY_COMPARE_WITH_TIMEOUT(Langelis(5, 1), timeout, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(Langelis(5, 2), timeout, 5000);
    // The first server answers now, after its time-out: its reply belongs to
    // no poll, and never to another server's row.
    pirmas.Siusti(KurtiDetaliuAtsakyma(Detales("Late")));
    pirmas.Siusti(KurtiBanoAtsakyma());
    QTest::qWait(50);
    QCOMPARE(Langelis(2, 1), QString());
    QCOMPARE(Langelis(5, 1), timeout);
    QCOMPARE(Langelis(2, 2), QString());
    QCOMPARE(Langelis(5, 2), timeout);
    // Silent a whole round, the server is doubted: the next walk asks it as
    // one met for the first time, "details" and A2S_INFO.
    Kviesti(frmServeriai(), "tmrAtnaujinimasServeriaiTimer");
    QTRY_COMPARE_WITH_TIMEOUT(antras.gauta.size(), 3, 5000);
    antras.Siusti(KurtiDetaliuAtsakyma(Detales("On time")));
    QTRY_COMPARE_WITH_TIMEOUT(Langelis(2, 2), u"On time"_s, 5000);
    QCOMPARE(Langelis(5, 2), u"0"_s);
    // A second copy of the same reply, after the poll was answered, changes nothing.
    netikrasLaikas += 250;
    antras.Siusti(KurtiDetaliuAtsakyma(Detales("Copy")));
    QTest::qWait(50);
    QCOMPARE(Langelis(2, 2), u"On time"_s);
    QCOMPARE(Langelis(5, 2), u"0"_s);
}

void TstServeriai::nerandamasHostas() {
    TTestinisServeris serveris;
    QVERIFY(serveris.Paleisti());
    serveris.NustatytiTurini(Turinys("By name", "de_train", 'l', 4, 10));
    RasytiFaila("t\r\nnowhere.example\r\nlocalhost:" + QByteArray::number(serveris.Prievadas()) + "\r\n");
    Rodyti();
    Rasyti(2, 1, u"kept"_s); // what the row held stays
    QTRY_COMPARE_WITH_TIMEOUT(Langelis(2, 2), u"By name"_s, 5000);
    QCOMPARE(serveris.Uzklausos().size(), 2); // met for the first time: "details" and A2S_INFO
    // The lookup was asked twice (the window has it tried once more), and no message came.
    QCOMPARE(paieskos, (QStringList{u"nowhere.example"_s, u"nowhere.example"_s, u"localhost"_s}));
    QVERIFY(pranesimai.isEmpty());
    QCOMPARE(Langelis(2, 1), u"kept"_s);
    for (int c : {0, 3, 4, 5})
        QCOMPARE(Langelis(c, 1), QString());
    QCOMPARE(Langelis(1, 1), u"nowhere.example"_s);
}

void TstServeriai::portasIsAdreso_data() {
    QTest::addColumn<QString>("sablonas"); // %1: the local server's port
    QTest::addColumn<int>("portas");       // 0: the local server's port
    QTest::addColumn<bool>("issiusta");
    QTest::newRow("host:port") << u"127.0.0.1:%1"_s << 0 << true;
    QTest::newRow("blanks around host and port") << u" 127.0.0.1 : %1 "_s << 0 << true;
    QTest::newRow("host name and port") << u"localhost:%1"_s << 0 << true;
    QTest::newRow("bare host: 27015") << u"127.0.0.1"_s << 27015 << true;
    QTest::newRow("empty port: 27015") << u"127.0.0.1:"_s << 27015 << true;
    QTest::newRow("port not a number") << u"127.0.0.1:abc"_s << 0 << false;
    QTest::newRow("port beyond 65535") << u"127.0.0.1:70000"_s << 0 << false;
}

void TstServeriai::portasIsAdreso() {
    QFETCH(QString, sablonas);
    QFETCH(int, portas);
    QFETCH(bool, issiusta);
    netikrasLaikrodis = true;
    netikrasLaikas = 500000;
    TTestinisServeris serveris, kitas;
    QVERIFY(serveris.Paleisti());
    QVERIFY(kitas.Paleisti());
    kitas.NustatytiTurini(Turinys("Next row", "de_cbble", 'w', 0, 2));
    const QString adresas = QString(sablonas).replace(u"%1"_s, QString::number(serveris.Prievadas()));
    RasytiFaila("t\r\n" + adresas.toLatin1() + "\r\n" + Adresas(kitas).toLatin1() + "\r\n");
    // Where every datagram of the window goes.
    QList<QPair<QString, int>> siuntimai;
    frmServeriai()->NMUDP1->OnDataSend = [&siuntimai](QObject*) {
        siuntimai.append({frmServeriai()->NMUDP1->RemoteHost(), frmServeriai()->NMUDP1->RemotePort()});
    };
    Rodyti();
    // Either way the next row is polled beside it and answers.
    QTRY_COMPARE_WITH_TIMEOUT(Langelis(2, 2), u"Next row"_s, 5000);
    const QPair<QString, int> tikslas{u"127.0.0.1"_s, portas ? portas : int(serveris.Prievadas())};
    QCOMPARE(siuntimai.contains(tikslas), issiusta);
    if (issiusta && portas == 0) {
        QTRY_COMPARE_WITH_TIMEOUT(Langelis(4, 1), u"0/0"_s, 5000);
        QCOMPARE(serveris.Uzklausos().size(), 2); // met for the first time: "details" and A2S_INFO
    }
    if (!issiusta) {
        QCOMPARE(serveris.Uzklausos().size(), 0);
        QCOMPARE(siuntimai.size(), 1); // the next row's only
    }
    frmServeriai()->NMUDP1->OnDataSend = nullptr;
    QVERIFY(pranesimai.isEmpty());
    QCOMPARE(Langelis(1, 1), adresas); // the cell keeps what was typed
}

void TstServeriai::blogiDatagramai_data() {
    QTest::addColumn<QByteArray>("datagrama");
    QTest::addColumn<QString>("pranesimas"); // empty: none
    QTest::addColumn<bool>("laukiaToliau");  // the poll stays in flight
    QTest::addColumn<QString>("pingas");     // the ping cell afterwards
    QTest::newRow("unknown letter") << KurtiAtsakyma('X', "abc") << u"NezinomiDuomenys"_s << false << QString();
    QTest::newRow("text reply") << KurtiTekstoAtsakyma("nfo", "x") << u"NezinomiDuomenys"_s << false << QString();
    QTest::newRow("players reply") << KurtiZaidejuAtsakyma({}) << u"NezinomiDuomenys"_s << false << QString();
    QTest::newRow("2024 bytes refused") << KurtiIsplestaZaidejuAtsakyma({}, 2024) << u"2024 BaituGavau"_s << true
                                        << QString();
    QTest::newRow("oversized 3000") << QByteArray(3000, 'm') << u"3000 BaituGavau"_s << true << QString();
    QTest::newRow("empty") << QByteArray() << QString() << true << QString();
    QTest::newRow("one byte") << QByteArray("\xFF", 1) << QString() << true << QString();
    QTest::newRow("four bytes") << QByteArray("\xFF\xFF\xFF\xFF", 4) << QString() << true << QString();
    QTest::newRow("header only: details decoded empty") << KurtiAntraste('m') << QString() << false << u"0"_s;
}

void TstServeriai::blogiDatagramai() {
    QFETCH(QByteArray, datagrama);
    QFETCH(QString, pranesimas);
    QFETCH(bool, laukiaToliau);
    netikrasLaikrodis = true;
    netikrasLaikas = 600000;
    TRankinisServeris rankinis;
    QVERIFY(rankinis.Paleisti());
    RasytiFaila("t\r\n" + rankinis.Adresas().toLatin1() + "\r\n");
    Rodyti();
    QTRY_COMPARE_WITH_TIMEOUT(rankinis.gauta.size(), 1, 5000);
    rankinis.Siusti(datagrama);
    if (pranesimas.isEmpty()) {
        QTest::qWait(50);
        QVERIFY(pranesimai.isEmpty());
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(pranesimai.size(), 1, 5000);
        // The texts come from the language in effect, like the other server windows'.
        const QString tiketinas =
            pranesimas == u"NezinomiDuomenys"_s
                ? Tekstas("Pranesimai", "NezinomiDuomenys")
                : QString(pranesimas).replace(u" BaituGavau"_s, Tekstas("Pranesimai", "BaituGavau"));
        QCOMPARE(pranesimai.at(0), tiketinas);
    }
    QCOMPARE(!ArPabaiga(), laukiaToliau);
    if (laukiaToliau) {
        // The poll goes on: the real reply is still taken.
        rankinis.Siusti(KurtiDetaliuAtsakyma(Detales("Still heard")));
        QTRY_COMPARE_WITH_TIMEOUT(Langelis(2, 1), u"Still heard"_s, 5000);
    } else {
        QTEST(Langelis(5, 1), "pingas");
        // The poll is over: its clock marks no time-out later.
        netikrasLaikas += 6000;
        QTest::qWait(30);
        QTEST(Langelis(5, 1), "pingas");
    }
}

void TstServeriai::atnaujinimasNuoPirmosEilutes() {
    netikrasLaikrodis = true; // the silent server never times out on its own
    netikrasLaikas = 400000;
    TTestinisServeris atsakantis, tylus, trecias;
    for (TTestinisServeris* s : {&atsakantis, &tylus, &trecias})
        QVERIFY(s->Paleisti());
    atsakantis.NustatytiTurini(Turinys("First", "de_dust2", 'w', 1, 2));
    trecias.NustatytiTurini(Turinys("Third", "de_nuke", 'w', 1, 2));
    TServerioElgsena tyla;
    tyla.Budas = TAtsakymuBudas::Tyla;
    tylus.NustatytiElgsena(tyla);
    RasytiFaila("t\r\n" + Adresas(atsakantis).toLatin1() + "\r\n" + Adresas(tylus).toLatin1() + "\r\n" +
                Adresas(trecias).toLatin1() + "\r\n");
    frmServeriai()->NustatytiPerioda(700);
    Rodyti();
    // Every row is reached in every period: a silent row keeps its own round
    // (and its own time-out) and holds up no row after it.
    QTRY_VERIFY_WITH_TIMEOUT(atsakantis.Uzklausos().size() >= 3 && trecias.Uzklausos().size() >= 3, 5000);
    QCOMPARE(tylus.Uzklausos().size(), 1);
    QCOMPARE(Langelis(2, 1), u"First"_s);
    QCOMPARE(Langelis(2, 3), u"Third"_s);
    QCOMPARE(Langelis(5, 2), QString());
    QVERIFY(pranesimai.isEmpty());
}

void TstServeriai::pakartotinisRodymas() {
    TTestinisServeris serveris;
    QVERIFY(serveris.Paleisti());
    serveris.NustatytiTurini(Turinys("Again", "de_dust2", 'w', 1, 2));
    RasytiFaila("t\r\n" + Adresas(serveris).toLatin1() + "\r\n");
    Rodyti();
    QTRY_COMPARE_WITH_TIMEOUT(Langelis(2, 1), u"Again"_s, 5000);
    frmServeriai()->close();
    QVERIFY(!Sarasas<TLaikmatis>("tmrAtnaujinimasServeriai")->isActive());
    // Showing again clears every live value and walks afresh.
    TServerioElgsena tyla;
    tyla.Budas = TAtsakymuBudas::Tyla;
    serveris.NustatytiElgsena(tyla);
    Rodyti();
    for (int c : {0, 2, 3, 4, 5})
        QCOMPARE(Langelis(c, 1), QString());
    QCOMPARE(Langelis(1, 1), Adresas(serveris));
    QVERIFY(Sarasas<TLaikmatis>("tmrAtnaujinimasServeriai")->isActive());
    QTRY_COMPARE_WITH_TIMEOUT(serveris.Uzklausos().size(), 2, 5000);
}

// ---- Add and remove ----

void TstServeriai::prideti_data() {
    QTest::addColumn<int>("uzpildyta");     // rows 1..n hold servers
    QTest::addColumn<QList<int>>("tarpai"); // rows left free among them
    QTest::addColumn<int>("eilute");        // the row that gets the new address, -1: none
    QTest::addColumn<bool>("kontekstinis");
    QTest::addColumn<QString>("stebimas"); // the watcher's address box
    QTest::addColumn<QString>("naujas");   // what the row gets
    const QString vieta = TfrmServeriai::kNaujasAdresas;
    QTest::newRow("empty list") << 0 << QList<int>{} << 1 << false << QString() << vieta;
    QTest::newRow("after three servers") << 3 << QList<int>{} << 4 << false << QString() << vieta;
    QTest::newRow("first gap taken") << 5 << QList<int>{2, 4} << 2 << false << QString() << vieta;
    QTest::newRow("from the right-click menu") << 2 << QList<int>{} << 3 << true << QString() << vieta;
    QTest::newRow("every row in use") << 199 << QList<int>{} << -1 << false << QString() << vieta;
    QTest::newRow("the watched address") << 2 << QList<int>{} << 3 << false << u" 10.0.0.7:27016 "_s
                                         << u"10.0.0.7:27016"_s;
    QTest::newRow("the watched address, listed already") << 2 << QList<int>{} << 3 << true << u"s2.example"_s << vieta;
    QTest::newRow("blanks in the address box") << 1 << QList<int>{} << 2 << false << u"   "_s << vieta;
}

void TstServeriai::prideti() {
    QFETCH(int, uzpildyta);
    QFETCH(QList<int>, tarpai);
    QFETCH(int, eilute);
    QFETCH(bool, kontekstinis);
    QFETCH(QString, stebimas);
    QFETCH(QString, naujas);
    QByteArray failas = "t\r\n";
    for (int r = 1; r <= uzpildyta; ++r)
        failas += (tarpai.contains(r) ? QByteArray() : "s" + QByteArray::number(r) + ".example") + "\r\n";
    RasytiFaila(failas);
    Valdiklis<QLineEdit>("edtHostas")->setText(stebimas);
    Rodyti();
    QStringList pries;
    for (int r = 0; r < 200; ++r)
        pries.append(Langelis(1, r));
    (kontekstinis ? Sarasas<QAction>("mnuPrideti2") : Sarasas<QAction>("mnuPrideti"))->trigger();
    for (int r = 0; r < 200; ++r)
        QCOMPARE(Langelis(1, r), r == eilute ? naujas : pries.at(r));
    QCOMPARE(Sarasas<QLabel>("lblTusciasSarasas")->isVisible(), false);
    // Only one row per click.
    if (eilute > 0) {
        Sarasas<QAction>("mnuPrideti")->trigger();
        QCOMPARE(Langelis(1, eilute), naujas);
    }
    // Nothing reaches the file before the window closes.
    QCOMPARE(SkaitytiFaila(), failas);
}

void TstServeriai::tusciasSarasas() {
    // An empty list says how to add a server, in the language in effect, until one is added.
    RasytiFaila("Address\r\n");
    Rodyti();
    QVERIFY(QTest::qWaitForWindowExposed(frmServeriai()));
    auto* eilute = Sarasas<QLabel>("lblTusciasSarasas");
    QVERIFY(eilute->isVisible());
    QCOMPARE(eilute->text(), Tekstas("frmServeriai", "TusciasSarasas"));
    QVERIFY(eilute->text().contains(u"Add server"_s));
    Sarasas<QAction>("mnuPrideti")->trigger();
    QVERIFY(!eilute->isVisible());
    Pazymeti(1, 1);
    Sarasas<QAction>("mnuPasalinti")->trigger();
    QVERIFY(eilute->isVisible());
    frmServeriai()->close();
    Valdiklis<TTybINI>("TybINI1")->setByla(u"resursai\\Kalbos\\Lietuviu.lng"_s);
    Rodyti();
    QCOMPARE(eilute->text(), Tekstas("frmServeriai", "TusciasSarasas"));
    QVERIFY(eilute->text().contains(u"Pridėti serverį"_s));
}

void TstServeriai::pasalinimasApejimoMetu() {
    TRankinisServeris tylus;
    QVERIFY(tylus.Paleisti());
    TTestinisServeris antras;
    QVERIFY(antras.Paleisti());
    antras.NustatytiTurini(Turinys("Moved up", "de_dust2", 'w', 1, 2));
    RasytiFaila("t\r\n" + tylus.Adresas().toLatin1() + "\r\n" + Adresas(antras).toLatin1() + "\r\n");
    Rodyti();
    QTRY_COMPARE_WITH_TIMEOUT(tylus.gauta.size(), 1, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(Langelis(2, 2), u"Moved up"_s, 5000);
    // The server being polled is taken out (from the right-click menu): its
    // poll ends with it, and its reply lands nowhere. (Rows moved or typed
    // over beside a poll: tst_megstami.)
    Pazymeti(1, 0);
    Sarasas<QAction>("mnuPasalinti2")->trigger();
    QCOMPARE(Langelis(1, 1), Adresas(antras));
    QCOMPARE(Langelis(2, 1), u"Moved up"_s); // the row moved with its values
    QVERIFY(ArPabaiga());
    tylus.Siusti(KurtiDetaliuAtsakyma(Detales("Removed")));
    QTest::qWait(50);
    QCOMPARE(Langelis(2, 1), u"Moved up"_s);
    QCOMPARE(Langelis(2, 2), QString());
}

// ---- The grid ----

void TstServeriai::dvigubasPaspaudimas_data() {
    QTest::addColumn<int>("eilute");
    QTest::addColumn<int>("stulpelis");
    QTest::addColumn<bool>("atidaro");
    QTest::addColumn<bool>("jauPazymetas"); // the cell was selected by an earlier click
    QTest::newRow("address cell") << 1 << 1 << true << false;
    QTest::newRow("address cell already selected") << 1 << 1 << true << true;
    QTest::newRow("another column of the row") << 2 << 3 << true << false;
    QTest::newRow("blank slot") << 3 << 1 << false << false;
    QTest::newRow("empty row") << 5 << 2 << false << true;
}

void TstServeriai::dvigubasPaspaudimas() {
    QFETCH(int, eilute);
    QFETCH(int, stulpelis);
    QFETCH(bool, atidaro);
    QFETCH(bool, jauPazymetas);
    TTestinisServeris serveris;
    QVERIFY(serveris.Paleisti());
    const QString adresas = Adresas(serveris);
    RasytiFaila("t\r\n" + adresas.toLatin1() + "\r\n" + adresas.toLatin1() + "\r\n\r\nlast.example\r\n");
    Rodyti();
    QVERIFY(QTest::qWaitForWindowExposed(frmServeriai()));
    TTinklelioVaizdas* g = Tinklelis();
    const QRect langelis = g->visualRect(g->model()->index(eilute, stulpelis));
    if (jauPazymetas)
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, langelis.center());
    // A double-click: press and release, then the second press that the system reports as one.
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, langelis.center());
    QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, langelis.center());
    if (!atidaro) {
        QVERIFY(frmServeriai()->isVisible());
        QCOMPARE(Valdiklis<QLineEdit>("edtHostas")->text(), QString());
        return;
    }
    // The watcher watches the row's address; the list closes (and saves).
    QCOMPARE(Valdiklis<QLineEdit>("edtHostas")->text(), adresas);
    QVERIFY(!frmServeriai()->isVisible());
    // The watcher's round: the words from its "ping" on (the list asks "details" alone).
    QList<QByteArray> zodziai;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            zodziai.clear();
            for (const TGautaUzklausa& u : serveris.Uzklausos())
                if (!zodziai.isEmpty() || u.Zodis == "ping")
                    zodziai.append(u.Zodis);
            return zodziai.size() >= 3;
        }(),
        5000);
    QCOMPARE(zodziai, (QList<QByteArray>{"ping", "players", "details"}));
    QVERIFY(Valdiklis<TLaikmatis>("tmrAtnaujinimas")->Enabled());
    QCOMPARE(SkaitytiFaila(), Isvestis({adresas.toLatin1(), adresas.toLatin1(), " ", "last.example"}));
    // No editor is left in the closed window, not even a delayed one.
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    QCOMPARE(g->viewport()->findChild<QLineEdit*>(), nullptr);
}

void TstServeriai::redagavimas_data() {
    QTest::addColumn<int>("stulpelis");
    QTest::addColumn<bool>("galima");
    for (int c = 0; c < 6; ++c)
        QTest::newRow(qPrintable(u"column %1"_s.arg(c))) << c << (c == 1);
}

void TstServeriai::redagavimas() {
    QFETCH(int, stulpelis);
    QFETCH(bool, galima);
    RasytiFaila("t\r\nalfa.example\r\n");
    Rodyti();
    QVERIFY(QTest::qWaitForWindowExposed(frmServeriai()));
    frmServeriai()->activateWindow();
    TTinklelioVaizdas* g = Tinklelis();
    g->setFocus();
    const QRect langelis = g->visualRect(g->model()->index(2, stulpelis));
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, langelis.center());
    QCOMPARE(g->currentIndex().row(), 2);
    QCOMPARE(g->currentIndex().column(), stulpelis);
    QCOMPARE(g->editTriggers() != QAbstractItemView::NoEditTriggers, galima);
    QTest::keyClick(g, Qt::Key_Q);
    QCOMPARE(g->viewport()->findChild<QLineEdit*>() != nullptr, galima);
    if (galima) {
        auto* redaktorius = g->viewport()->findChild<QLineEdit*>();
        QVERIFY(redaktorius);
        QTest::keyClicks(redaktorius, u"uake.example"_s);
        QTest::keyClick(redaktorius, Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(Langelis(1, 2), u"quake.example"_s, 5000);
        frmServeriai()->close();
        QCOMPARE(SkaitytiFaila(), Isvestis({"alfa.example", "quake.example"}));
    } else {
        QCOMPARE(Langelis(stulpelis, 2), QString());
        QCOMPARE(g->viewport()->findChild<QLineEdit*>(), nullptr);
    }
    // The title row takes no typing even where the column does.
    frmServeriai()->show();
    Pazymeti(0, 1);
    QVERIFY(g->editTriggers() != QAbstractItemView::NoEditTriggers);
    QTest::keyClick(g, Qt::Key_F2);
    QTest::keyClick(g, Qt::Key_Z);
    QCOMPARE(g->viewport()->findChild<QLineEdit*>(), nullptr);
    QCOMPARE(Langelis(1, 0), u"Address"_s);
}

// ---- The watcher ----

void TstServeriai::stebetojoPauze_data() {
    QTest::addColumn<QString>("adresas");
    QTest::addColumn<bool>("atnaujinama");
    QTest::newRow("watcher has an address") << u"127.0.0.1:27999"_s << true;
    QTest::newRow("blanks only") << u"   "_s << false;
    QTest::newRow("empty") << QString() << false;
}

void TstServeriai::stebetojoPauze() {
    QFETCH(QString, adresas);
    QFETCH(bool, atnaujinama);
    Valdiklis<QLineEdit>("edtHostas")->setText(adresas);
    Valdiklis<TLaikmatis>("tmrAtnaujinimas")->setEnabled(true);
    Rodyti();
    QVERIFY(!Valdiklis<TLaikmatis>("tmrAtnaujinimas")->Enabled());
    QVERIFY(!Valdiklis<TLaikmatis>("tmrAtnaujinimas")->isActive());
    frmServeriai()->close();
    QCOMPARE(Valdiklis<TLaikmatis>("tmrAtnaujinimas")->Enabled(), atnaujinama);
    // Hiding without closing resumes the watcher the same way.
    Valdiklis<TLaikmatis>("tmrAtnaujinimas")->setEnabled(true);
    Rodyti();
    QVERIFY(!Valdiklis<TLaikmatis>("tmrAtnaujinimas")->Enabled());
    frmServeriai()->hide();
    QCOMPARE(Valdiklis<TLaikmatis>("tmrAtnaujinimas")->Enabled(), atnaujinama);
}

void TstServeriai::modalinisLangas() {
    RasytiFaila("t\r\nalfa.example\r\n");
    frmPagrindinis()->move(100, 80);
    bool patikrinta = false;
    QTimer::singleShot(0, frmServeriai(), [&] {
        patikrinta =
            frmServeriai()->isVisible() && frmServeriai()->isModal() &&
            (frmServeriai()->frameGeometry().center() - frmPagrindinis()->frameGeometry().center()).manhattanLength() <=
                2;
        Sarasas<QAction>("mnuUzdaryti")->trigger();
    });
    QTimer::singleShot(5000, frmServeriai(), [] { frmServeriai()->hide(); }); // never left open
    frmServeriai()->exec();
    QVERIFY(patikrinta);
    QVERIFY(!frmServeriai()->isVisible());
    QCOMPARE(SkaitytiFaila(), Isvestis({"alfa.example"}));
    QVERIFY(frmServeriai()->findChild<QWidget*>(u"stgServeriai"_s)); // closing only hides
}

QTEST_MAIN(TstServeriai)
#include "tst_serveriai.moc"
