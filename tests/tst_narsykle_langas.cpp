// The server browser beside the watcher: the Web API's list of the test
// server's many servers shown, pinged, filtered and sorted, every outcome of a
// request said in words, and a double click that watches; the key-free
// sources' list and the Steam client's history.
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QWindow>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>
#include <QToolTip>

#include "InternetoSarasas.h"
#include "IvairusServeris.h"
#include "Masteris.h"
#include "Modulis2.h"
#include "Modulis_Narsykle.h"
#include "Programa.h"
#include "Narsykle.h"
#include "Parinktys.h"
#include "SlaptuTarnyba.h"
#include "StebetojoAplinka.h"

using namespace Qt::StringLiterals;

namespace {

constexpr char kRaktas[] = "Velm-k3y-7f2c09";

template <typename T> T* Narsykles(const char* vardas) {
    return LangoValdiklis<T>(frmNarsykle(), vardas);
}

QStringList Stulpelis(int stulpelis) {
    const QAbstractItemModel* m = Narsykles<QTableView>("tblServeriai")->model();
    QStringList r;
    for (int i = 0; i < m->rowCount(); ++i)
        r.append(m->index(i, stulpelis).data().toString());
    return r;
}

} // namespace

class TstNarsykleLangas : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void sarasas();
    void busenos_data();
    void busenos();
    void lan();
    void bendruomene();
    void steamIstorija();
    void netikri();
    void vietaSalia_data();
    void vietaSalia();
    void atsimenaVieta();

private:
    TSlaptuTarnyba tarnyba;
    TStebetojoAplinka aplinka;
    std::vector<std::unique_ptr<TTestinisServeris>> serveriai;
    TTestinisSarasas api;
};

void TstNarsykleLangas::initTestCase() {
    // No secret store on the bus: the key comes from the environment.
    if (const QString kodel = tarnyba.Paleisti(false); !kodel.isEmpty())
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + (tarnyba.Namai() + u"/no-bus"_s).toLocal8Bit());
    QList<TSarasoIrasas> irasai;
    for (int i = 0; i < 12; ++i) {
        std::unique_ptr<TTestinisServeris> s = IvairusServeris(i);
        QVERIFY(s);
        TServerioTurinys listinginis = s->Turinys();
        listinginis.Detales.Info.Pavadinimas = "As listed";
        irasai.append({u"127.0.0.1:%1"_s.arg(s->Prievadas()), s->Prievadas(), listinginis});
        serveriai.push_back(std::move(s));
    }
    irasai.append(FakeIPIrasas(0));
    api.NustatytiIrasus(irasai);
    QVERIFY(api.Paleisti(QHostAddress::LocalHost, 0, QString::fromLatin1(kRaktas)));
    qputenv("VELMORANT_STEAM_API", u"http://127.0.0.1:%1"_s.arg(api.Prievadas()).toLatin1());
    qputenv("VELMORANT_STEAM_KEY", kRaktas);
    QVERIFY(aplinka.Paruosti());
    QVERIFY(aplinka.Paleisti());
    Valdiklis<TTybINI>("TybINI1")->setByla(u"resursai\\Kalbos\\English.lng"_s);
}

void TstNarsykleLangas::cleanupTestCase() {
    aplinka.Baigti();
    QVERIFY(!frmNarsykle());
}

void TstNarsykleLangas::sarasas() {
    Valdiklis<QFrame>("pnlMeniuLygis1")->show();
    QTest::mouseClick(Valdiklis<TTybLabel>("lblNarsykle"), Qt::LeftButton, {}, QPoint(3, 3));
    QTRY_VERIFY(frmNarsykle()->isVisible());
    QVERIFY(frmPagrindinis()->isVisible()); // beside the watcher, not instead of it
    auto* greitis = Narsykles<QComboBox>("cboGreitis");
    greitis->setCurrentIndex(greitis->findData(0));
    QSignalSpy baigta(frmNarsykle()->Pingai, &TNarsyklesApklausa::Baigta);
    // As the run command starts it: the browser asks for the list at once.
    ApdorotiArgumentus({u"velmorant"_s, u"--browser"_s});
    QVERIFY(baigta.wait(TApklausa::kLaukimoRibaMs + 5000));
    QCOMPARE(api.Uzklausos(), 1);

    // Sorted by ping: the answered first, their names the servers' own; the
    // silent one and the FakeIP row last, said so.
    QCOMPARE(Narsykles<QTableView>("tblServeriai")->model()->rowCount(), 13);
    const QStringList vardai = Stulpelis(TNarsyklesModelis::Vardas);
    QVERIFY2(vardai.first().startsWith(u"Velmorant test #"_s), qPrintable(vardai.first()));
    const QStringList pingai = Stulpelis(TNarsyklesModelis::Pingas);
    QCOMPARE(pingai.mid(11), (QStringList{u"no reply"_s, u"Steam only"_s}));
    QVERIFY(Narsykles<QLabel>("lblBusena")->text().startsWith(u"13 servers, 11 answered, 13 shown."_s));

    QVERIFY(Nuotrauka(frmNarsykle(), u"narsykle.png"_s));
    // The list is kept for the next opening, and the key in no file.
    QVERIFY(QFileInfo::exists(TfrmNarsykle::SarasoKelias()));
    QVERIFY(TfrmNarsykle::SarasoKelias().startsWith(tarnyba.Namai()));
    Kviesti(frmPagrindinis(), "IssaugotiNustatymus");
    for (const QString& aplankas : {aplinka.aplankas.path(), tarnyba.Namai()})
        QCOMPARE(TSlaptuTarnyba::FailaiSu(aplankas, kRaktas), QStringList());

    // The filter as the user types; then the check boxes.
    Ivesti(Narsykles<QLineEdit>("edtFiltras"), u"DE_NUKE"_s);
    const QStringList zemelapiai = Stulpelis(TNarsyklesModelis::Zemelapis);
    QVERIFY(!zemelapiai.isEmpty());
    QVERIFY(std::all_of(zemelapiai.cbegin(), zemelapiai.cend(), [](const QString& z) { return z == u"de_nuke"_s; }));
    Narsykles<QLineEdit>("edtFiltras")->clear();
    Narsykles<QCheckBox>("chkNeTusti")->setChecked(true);
    const QStringList zmones = Stulpelis(TNarsyklesModelis::Zmones);
    const QStringList botai = Stulpelis(TNarsyklesModelis::Botai);
    QVERIFY(!zmones.isEmpty() && zmones.size() < 13);
    for (qsizetype i = 0; i < zmones.size(); ++i)
        QVERIFY(zmones.at(i).toInt() + botai.at(i).toInt() > 0);
    Narsykles<QCheckBox>("chkNeTusti")->setChecked(false);

    // A double click watches the row's server.
    auto* lentele = Narsykles<QTableView>("tblServeriai");
    const QModelIndex pirma = lentele->model()->index(0, TNarsyklesModelis::Vardas);
    const QString adresas = lentele->model()->index(0, TNarsyklesModelis::Adresas).data().toString();
    lentele->setCurrentIndex(pirma);
    // The press before the double click, as a real one comes.
    QTest::mouseClick(lentele->viewport(), Qt::LeftButton, {}, lentele->visualRect(pirma).center());
    QTest::mouseDClick(lentele->viewport(), Qt::LeftButton, {}, lentele->visualRect(pirma).center());
    QCOMPARE(frmPagrindinis()->Adresas(), adresas);
    frmNarsykle()->hide();
}

void TstNarsykleLangas::busenos_data() {
    QTest::addColumn<int>("busena");
    QTest::addColumn<QString>("zodziai");
    QTest::newRow("cut") << int(TSarasoBusena::Nupjautas) << u"The list was cut at 0 servers."_s;
    QTest::newRow("403") << int(TSarasoBusena::RaktasAtmestas) << u"Steam refused the key"_s;
    QTest::newRow("503") << int(TSarasoBusena::Uzimta) << u"busy"_s;
    QTest::newRow("certificate") << int(TSarasoBusena::Sertifikatas) << u"certificate could not be verified"_s;
    QTest::newRow("no network") << int(TSarasoBusena::BeTinklo) << u"cannot be reached"_s;
    QTest::newRow("time") << int(TSarasoBusena::LaikasBaigesi) << u"within 10 seconds"_s;
    QTest::newRow("not HTTPS") << int(TSarasoBusena::NeSaugus) << u"the key was not sent"_s;
}

void TstNarsykleLangas::busenos() {
    QFETCH(int, busena);
    TSarasoRezultatas r;
    r.Busena = TSarasoBusena(busena);
    frmNarsykle()->SarasasBaigtas(r);
    const QString tekstas = Narsykles<QLabel>("lblBusena")->text();
    QFETCH(QString, zodziai);
    QVERIFY2(tekstas.contains(zodziai), qPrintable(tekstas));
}

void TstNarsykleLangas::lan() {
    // Two servers on LAN search ports, taking broadcasts; the search goes to
    // loopback's broadcast address alone.
    std::vector<std::unique_ptr<TTestinisServeris>> lan;
    for (const quint16 portas : {26903, 26904}) {
        lan.push_back(IvairusServeris(portas - 26900, QHostAddress(QHostAddress::AnyIPv4), portas));
        if (!lan.back())
            QSKIP("a LAN search port is taken by another program");
    }
    qputenv("VELMORANT_LAN", "127.255.255.255");
    frmNarsykle()->show();
    QTest::mouseClick(Narsykles<QPushButton>("btnLan"), Qt::LeftButton);
    QVERIFY(!Narsykles<QPushButton>("btnLan")->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(Narsykles<QPushButton>("btnLan")->isEnabled(), TfrmNarsykle::kLanTrukmeMs + 3000);
    QStringList adresai = Stulpelis(TNarsyklesModelis::Adresas);
    adresai.sort();
    QCOMPARE(adresai, (QStringList{u"127.0.0.1:26903 LAN"_s, u"127.0.0.1:26904 LAN"_s}));
    QVERIFY(
        Stulpelis(TNarsyklesModelis::Vardas).contains(QString::fromUtf8(lan[0]->Turinys().Detales.Info.Pavadinimas)));
    QVERIFY(Narsykles<QLabel>("lblBusena")->text().contains(u"2 servers answered on the local network."_s));
    frmNarsykle()->hide();
}

void TstNarsykleLangas::bendruomene() {
    // The test servers' community list, a GoldSrc master of theirs, and a
    // list that is not there; no key is asked for, nor the Web API.
    TTestinisMasteris masteris;
    masteris.NustatytiIrasus(api.Irasai());
    QVERIFY(masteris.Paleisti(QHostAddress::LocalHost, 0));
    const QString sarasas = u"127.0.0.1:%1"_s.arg(api.Prievadas());
    const QString failas = aplinka.aplankas.filePath(u"saltiniai.lst"_s);
    QFile f(failas);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(u"masterstatic http://%1\nmasterstatic http://%1/nowhere\nmastergs 127.0.0.1:%2\n"_s.arg(sarasas)
                .arg(masteris.Prievadas())
                .toUtf8());
    f.close();
    qputenv("VELMORANT_SOURCES", failas.toLocal8Bit());
    const int klausta = api.Uzklausos();
    frmNarsykle()->show();
    QSignalSpy baigta(frmNarsykle()->Bendruomene, &TBendruomenesSarasas::Baigta);
    QTest::mouseClick(Narsykles<QPushButton>("btnBendruomene"), Qt::LeftButton);
    QVERIFY(baigta.wait(10000));
    QCOMPARE(api.Uzklausos(), klausta);
    const QAbstractItemModel* m = Narsykles<QTableView>("tblServeriai")->model();
    QCOMPARE(m->rowCount(), 12); // the FakeIP row is no master's
    const QString patarimas = m->index(0, TNarsyklesModelis::Vardas).data(Qt::ToolTipRole).toString();
    QVERIFY2(patarimas.contains(u"Listed by %1, 127.0.0.1:%2"_s.arg(sarasas).arg(masteris.Prievadas())),
             qPrintable(patarimas));
    const QString busena = Narsykles<QLabel>("lblBusena")->text();
    QVERIFY2(
        busena.contains(u"12 servers from 2 of 3 sources. Not read in full: %1/nowhere (HTTP 404)."_s.arg(sarasas)),
        qPrintable(busena));
    qunsetenv("VELMORANT_SOURCES");
}

void TstNarsykleLangas::steamIstorija() {
    // The Steam client's history of this home, newest first.
    const QString kelias = QDir::homePath() + u"/.local/share/Steam/userdata/7/7/remote"_s;
    QVERIFY(QDir().mkpath(kelias));
    QFile f(kelias + u"/serverbrowser_hist.vdf"_s);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(uR"("Filters" { "favorites" { } "history" {
        "1" { "name" "<b>Older</b>" "address" "127.0.0.1:%1" "LastPlayed" "1600000000" }
        "2" { "name" "Newer" "address" "127.0.0.1:%2" "LastPlayed" "1700000000" } } })"_s.arg(serveriai[0]->Prievadas())
                .arg(serveriai[1]->Prievadas())
                .toUtf8());
    f.close();
    auto* lentele = Narsykles<QTableView>("tblServeriai");
    lentele->sortByColumn(TNarsyklesModelis::Vardas, Qt::AscendingOrder);
    QTest::mouseClick(Narsykles<QPushButton>("btnSteamIstorija"), Qt::LeftButton);
    QCOMPARE(Stulpelis(TNarsyklesModelis::Vardas), (QStringList{u"Newer"_s, u"<b>Older</b>"_s}));
    const QString patarimas = lentele->model()->index(1, 0).data(Qt::ToolTipRole).toString();
    QVERIFY2(patarimas.contains(u"Listed by Steam\nLast played "_s), qPrintable(patarimas));
    QVERIFY(
        Narsykles<QLabel>("lblBusena")->text().contains(u"2 servers from the Steam client's history (1 accounts)."_s));
    frmNarsykle()->hide();
}

void TstNarsykleLangas::netikri() {
    // A server whose twelve players' times stand still beside a real one: the
    // second look marks it, the box hides it, and watching it says why.
    TTestinisServeris netikras;
    netikras.NustatytiTurini(IvairusTurinys(3));
    TServerioElgsena elgsena;
    elgsena.Rezimas = TServerioRezimas::Modernus;
    elgsena.Netikri = TNetikruBudas::Sustinge;
    netikras.NustatytiElgsena(elgsena);
    QVERIFY(netikras.Paleisti(QHostAddress::LocalHost, 0));
    const QString adresas = u"127.0.0.1:%1"_s.arg(netikras.Prievadas());
    QList<TInternetoServeris> eilutes(2);
    eilutes[0].Adresas = {u"127.0.0.1"_s, netikras.Prievadas()};
    eilutes[1].Adresas = {u"127.0.0.1"_s, serveriai[1]->Prievadas()};
    frmNarsykle()->show();
    frmNarsykle()->Modelis->NustatytiServerius(eilutes);
    frmNarsykle()->Pingai->Pradeti();
    QTRY_VERIFY_WITH_TIMEOUT(Stulpelis(TNarsyklesModelis::Netikri).contains(u"12"_s),
                             TNarsyklesApklausa::kAntrasZvilgsnisMs + 8000);
    QTRY_VERIFY_WITH_TIMEOUT(!frmNarsykle()->Pingai->ArLaukiaAntruZvilgsniu(), 5000);
    const QStringList netikri = Stulpelis(TNarsyklesModelis::Netikri);
    QCOMPARE(netikri.count(u""_s), 1); // the real one
    const int i = netikri.indexOf(u"12"_s);
    const QAbstractItemModel* m = Narsykles<QTableView>("tblServeriai")->model();
    QCOMPARE(m->index(i, TNarsyklesModelis::Zmones).data().toInt(), 0);
    QVERIFY(m->index(i, 0).data(Qt::ToolTipRole).toString().contains(u"times do not advance with the clock"_s));
    Narsykles<QCheckBox>("chkBeNetikru")->setChecked(true);
    QCOMPARE(m->rowCount(), 1);

    frmPagrindinis()->Stebeti(adresas);
    QTRY_COMPARE_WITH_TIMEOUT(Valdiklis<QLabel>("lblZaidejaiSK")->text(), u"12/20"_s, 5000);
    QVERIFY2(Valdiklis<QLabel>("lblZaidejaiSK")
                 ->toolTip()
                 .contains(u"The players look fake (12 of them): times do not advance with the clock."_s),
             qPrintable(Valdiklis<QLabel>("lblZaidejaiSK")->toolTip()));
    // The favourite list's row of that server says the same when pointed at.
    QVERIFY(frmServeriai()->Prideti(adresas));
    auto* tinklelis = LangoValdiklis<QTableView>(frmServeriai(), "stgServeriai");
    const QAbstractItemModel* sarasas = tinklelis->model();
    int eilute = 1;
    while (eilute < sarasas->rowCount() && sarasas->index(eilute, 1).data().toString() != adresas)
        ++eilute;
    QVERIFY(eilute < sarasas->rowCount());
    frmServeriai()->show();
    const QPoint vieta = tinklelis->visualRect(sarasas->index(eilute, 1)).center();
    QHelpEvent patarimas(QEvent::ToolTip, vieta, tinklelis->viewport()->mapToGlobal(vieta));
    QCoreApplication::sendEvent(tinklelis->viewport(), &patarimas);
    QVERIFY2(QToolTip::text().contains(u"times do not advance with the clock"_s), qPrintable(QToolTip::text()));
    frmServeriai()->hide();
    frmNarsykle()->hide();
}

void TstNarsykleLangas::vietaSalia_data() {
    // A window of 781 x 565 and one of 904 x 480 on an area of 2560 x 1440.
    QTest::addColumn<QRect>("salia");
    QTest::addColumn<QPoint>("vieta");
    QTest::newRow("room on the right") << QRect(100, 100, 781, 565) << QPoint(889, 100);
    QTest::newRow("room only on the left") << QRect(1600, 100, 781, 565) << QPoint(688, 100);
    QTest::newRow("low on the screen: kept on it") << QRect(100, 1200, 781, 565) << QPoint(889, 960);
    QTest::newRow("no room: the edge of the wider side") << QRect(880, 100, 781, 565) << QPoint(1656, 100);
}

void TstNarsykleLangas::vietaSalia() {
    QFETCH(QRect, salia);
    QTEST(VietaSalia(salia, QSize(904, 480), QRect(0, 0, 2560, 1440)).value_or(QPoint(-1, -1)), "vieta");
}

void TstNarsykleLangas::atsimenaVieta() {
    // Opened from the menu, the browser stands beside the watcher, whole, wide
    // enough for its columns; the settings learn its place only once the user
    // has moved it, and it opens there again.
    frmNarsykle()->hide();
    ProgramosParinktys()->NustatytiNarsyklesVieta(QRect());
    frmPagrindinis()->move(100, 100);
    Valdiklis<QFrame>("pnlMeniuLygis1")->show();
    QTest::mouseClick(Valdiklis<TTybLabel>("lblNarsykle"), Qt::LeftButton, {}, QPoint(3, 3));
    QVERIFY(QTest::qWaitForWindowExposed(frmNarsykle()));
    const QRect stebetojas = frmPagrindinis()->frameGeometry(), narsykle = frmNarsykle()->frameGeometry();
    QVERIFY2(!narsykle.intersects(stebetojas) && narsykle.left() > stebetojas.right(),
             qPrintable(u"%1,%2"_s.arg(narsykle.x()).arg(narsykle.y())));
    QCOMPARE(narsykle.top(), stebetojas.top());
    const auto* lentele = Narsykles<QTableView>("tblServeriai");
    QVERIFY(!lentele->horizontalScrollBar()->isVisible());
    QTest::qWait(50);
    QCOMPARE(ProgramosParinktys()->NarsyklesVieta(), QRect());

    // The window system moves it, as a drag of its title bar does.
    frmNarsykle()->windowHandle()->setPosition(1200, 300);
    QTRY_VERIFY(ProgramosParinktys()->NarsyklesVieta().isValid());
    const QRect vieta(frmNarsykle()->pos(), frmNarsykle()->size());
    QCOMPARE(ProgramosParinktys()->NarsyklesVieta(), vieta);
    frmNarsykle()->hide();
    frmPagrindinis()->move(300, 300);
    frmNarsykle()->show();
    QCOMPARE(QRect(frmNarsykle()->pos(), frmNarsykle()->size()), vieta);
    frmNarsykle()->hide();
    ProgramosParinktys()->NustatytiNarsyklesVieta(QRect());
}

// A screen wide enough for both windows side by side, unless another platform is asked for.
int main(int argc, char** argv) {
    QTemporaryDir aplankas;
    QFile f(aplankas.filePath(u"ekranas.json"_s));
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen" && f.open(QIODevice::WriteOnly)) {
        f.write(R"({"screens": [{"name": "Wide", "x": 0, "y": 0, "width": 2560, "height": 1440, "dpr": 1,
                    "logicalDpi": 96, "logicalBaseDpi": 96}]})");
        f.close();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + f.fileName().toLocal8Bit());
    }
    QApplication programa(argc, argv);
    TstNarsykleLangas testas;
    return QTest::qExec(&testas, argc, argv);
}
#include "tst_narsykle_langas.moc"
