// The watcher window against the local test game server on loopback: the
// request round, the scoreboard, the round-trip clock, time-out, ban, refresh
// and the handling of hostile replies.
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkDatagram>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>

#include "AtsakymuKurejas.h"
#include "JpegVaizdas.h"
#include "Laikrodis.h"
#include "Modulis1.h"
#include "NMUDP.h"
#include "Pranesimai.h"
#include "Programa.h"
#include "RankinisServeris.h"
#include "Sesija.h"
#include "Stebejimas.h"
#include "StebetojoAplinka.h"
#include "TestinisServeris.h"
#include "TybCheckBox.h"
#include "Valdikliai.h"

using namespace Qt::StringLiterals;

namespace {

const QString kZemelapiai = QString::fromUtf8(VELMORANT_SOURCE_DIR) + u"/resursai/zemelapiai/"_s;

TZaidejai Penki() {
    return {KurtiZaidejoInfo(1, "A", 10, 61.0f), KurtiZaidejoInfo(2, "B", -3, 3661.0f),
            KurtiZaidejoInfo(3, "C", 0, 59.5f), KurtiZaidejoInfo(4, "D", 7, 99999.5f),
            KurtiZaidejoInfo(5, "E", 2, 0.4f)};
}

TServerioTurinys Turinys(const QByteArray& zemelapis = "de_dust2", const TZaidejai& zaidejai = Penki(),
                         std::optional<quint8> kiekis = std::nullopt) {
    TServerioTurinys t;
    t.Detales.Info.Pavadinimas = "Loopback server";
    t.Detales.Info.Zemelapis = zemelapis;
    t.Detales.Info.Katalogas = "cstrike";
    t.Detales.Info.Zaidimas = "Counter-Strike";
    t.Detales.MaxZaideju = 20;
    t.Detales.Protokolas = 47;
    t.Detales.ServerioTipas = 'd';
    t.Detales.OS = 'l';
    t.Zaidejai = zaidejai;
    t.ZaidejuSkaicius = kiekis;
    return t;
}

} // namespace

class TstPagrindinis : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void paleidimas();
    void isdestymas_data();
    void isdestymas();
    void raundas();
    void stulpeliai_data();
    void stulpeliai();
    void stebetojai_data();
    void stebetojai();
    void pingas();
    void timeoutSustabdoAtnaujinima();
    void atnaujinimoIrTimeoutSutapimas_data();
    void atnaujinimoIrTimeoutSutapimas();
    void banas();
    void portasIsAdreso_data();
    void portasIsAdreso();
    void blogasPortas_data();
    void blogasPortas();
    void adresoKeitimasStabdoAtnaujinima();
    void atnaujinimas();
    void zemelapis_data();
    void zemelapis();
    void atsarginisPaveikslasNeperskaitomas_data();
    void atsarginisPaveikslasNeperskaitomas();
    void adresasApatinejeJuostoje();
    void keistiHosta();
    void atsakymuTipai_data();
    void atsakymuTipai();
    void trumpiDatagramai_data();
    void trumpiDatagramai();
    void enterPaspaudziaRodyti();
    void argumentasPradedaStebeti();

private:
    void Stebeti(const QString& adresas);
    QStringList Eilutes(const char* memo) const;

    TStebetojoAplinka aplinka;
    QStringList& pranesimai = aplinka.pranesimai;
    TTestinisServeris* serveris = nullptr;
    std::function<void()> kaiRodomasPranesimas;
    // The shared fake clock of the program environment.
    qint64& netikrasLaikas = aplinka.netikrasLaikas;
    bool& netikrasLaikrodis = aplinka.netikrasLaikrodis;
};

void TstPagrindinis::initTestCase() {
    QVERIFY(aplinka.Paruosti());
    aplinka.kaiRodomasPranesimas = [this] {
        if (kaiRodomasPranesimas)
            kaiRodomasPranesimas();
    };
    QVERIFY(aplinka.Paleisti());
}

void TstPagrindinis::cleanupTestCase() {
    aplinka.Baigti();
}

void TstPagrindinis::init() {
    pranesimai.clear();
    kaiRodomasPranesimas = {};
    netikrasLaikrodis = false;
    serveris = new TTestinisServeris(this);
    QVERIFY(serveris->Paleisti());
    serveris->NustatytiTurini(Turinys());
    // A legacy server the program has met before: its rounds are the legacy words alone.
    for (const QString& hostas : {u"127.0.0.1"_s, u"localhost"_s})
        PazintiSena(hostas + u':' + QString::number(serveris->Prievadas()));
    Valdiklis<TTybCheckBox>("chkKeistiHosta")->setChecked(false);
    Valdiklis<TLaikmatis>("tmrAtnaujinimas")->setIntervalas(5000);
    Valdiklis<QLineEdit>("edtHostas")->clear();
    Kviesti(frmPagrindinis(), "IsvalytiLenta");
}

void TstPagrindinis::cleanup() {
    Valdiklis<TLaikmatis>("tmrAtnaujinimas")->setEnabled(false);
    Valdiklis<QTimer>("tmrPingas")->stop();
    delete serveris;
    serveris = nullptr;
    // Let late datagrams of this case arrive now rather than in the next one.
    QTest::qWait(20);
}

void TstPagrindinis::Stebeti(const QString& adresas) {
    Valdiklis<QLineEdit>("edtHostas")->setText(adresas);
    QTest::mouseClick(Valdiklis<QPushButton>("btnRodyti"), Qt::LeftButton);
}

QStringList TstPagrindinis::Eilutes(const char* memo) const {
    auto* m = frmPagrindinis()->findChild<TMemo*>(QString::fromLatin1(memo));
    return m ? m->Eilutes() : QStringList{u"<no such memo>"_s};
}

void TstPagrindinis::paleidimas() {
    QCOMPARE(QCoreApplication::applicationName(), u"Velmorant"_s);
    QCOMPARE(frmPagrindinis()->objectName(), u"frmPagrindinis"_s);
    QCOMPARE(frmPagrindinis()->windowTitle(), u"Velmorant v1.1"_s);
    QCOMPARE(frmPagrindinis()->size(), QSize(781, 565));
    auto* udp = frmPagrindinis()->NMUDP1; // the hub's endpoint
    QVERIFY(udp);
    QCOMPARE(udp->LocalPort(), 27035);
    auto* ping = frmPagrindinis()->findChild<QTimer*>(u"tmrPingas"_s);
    QVERIFY(ping);
    QCOMPARE(ping->interval(), 1);
    auto* atnaujinimas = frmPagrindinis()->findChild<TLaikmatis*>(u"tmrAtnaujinimas"_s);
    QVERIFY(atnaujinimas);
    QCOMPARE(atnaujinimas->interval(), 5000);
    QCOMPARE(Valdiklis<QFrame>("pnlAtnaujinimai")->pos(), QPoint(137, 480));
    QCOMPARE(Valdiklis<QFrame>("pnlPatvirtinimai")->pos(), QPoint(137, 408));
    QVERIFY(Valdiklis<TTybCheckBox>("chkTAB")->isChecked());
    QVERIFY(!Valdiklis<TTybCheckBox>("chkKeistiHosta")->isChecked());
}

void TstPagrindinis::isdestymas_data() {
    QTest::addColumn<QString>("vardas");
    QTest::addColumn<QRect>("vieta");
    QTest::addColumn<QColor>("tekstas");
    QTest::newRow("map label") << u"lblZemelapis"_s << QRect(512, 210, 249, 16) << QColor(0xFF, 0xAA, 0x00);
    QTest::newRow("address box") << u"edtHostas"_s << QRect(552, 352, 177, 21) << QColor(0xFF, 0xAA, 0x00);
    QTest::newRow("first column names") << u"memKomanda1"_s << QRect(8, 48, 193, 201) << QColor(0xCE, 0x59, 0x4A);
    QTest::newRow("second column times") << u"memLaikas2"_s << QRect(272, 280, 73, 201) << QColor(0x94, 0xCA, 0xFF);
    QTest::newRow("first ping") << u"lblPingas1"_s << QRect(360, 24, 74, 16) << QColor(0xC5, 0x59, 0x42);
    QTest::newRow("spectators") << u"lblStebetojai"_s << QRect(360, 496, 71, 13) << QColor(0x6B, 0x65, 0x6B);
    QTest::newRow("server name") << u"lblServerioPavadinimas"_s << QRect(9, 2, 167, 16) << QColor(0xFF, 0xAA, 0x00);
}

void TstPagrindinis::isdestymas() {
    QFETCH(QString, vardas);
    QFETCH(QRect, vieta);
    QFETCH(QColor, tekstas);
    auto* v = frmPagrindinis()->findChild<QWidget*>(vardas);
    QVERIFY(v);
    QCOMPARE(v->geometry(), vieta);
    const QColor spalva = qobject_cast<QLineEdit*>(v) || qobject_cast<TMemo*>(v)
                              ? v->palette().color(QPalette::Text)
                              : v->palette().color(QPalette::WindowText);
    QCOMPARE(spalva, tekstas);
}

void TstPagrindinis::raundas() {
    Stebeti(u"127.0.0.1:"_s + QString::number(serveris->Prievadas()));
    QTRY_COMPARE_WITH_TIMEOUT(Eilutes("memKomanda1").size(), 3, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!Valdiklis<QLabel>("lblZaidejaiSK")->text().isEmpty(), 5000);
    const QList<TGautaUzklausa>& u = serveris->Uzklausos();
    QCOMPARE(u.size(), 3);
    QCOMPARE(u[0].Zodis, QByteArray("ping"));
    QCOMPARE(u[1].Zodis, QByteArray("players"));
    QCOMPARE(u[2].Zodis, QByteArray("details"));
    for (const TGautaUzklausa& g : u) {
        QCOMPARE(g.Ilgis, 256);
        // From the window's own port: 27035, unless another program holds it.
        QCOMPARE(g.SiuntejoPrievadas, frmPagrindinis()->NMUDP1->UzimtasPortas());
    }
    QCOMPARE(Valdiklis<QLabel>("lblServerioPavadinimas")->text(), u"Loopback server"_s);
    QCOMPARE(Valdiklis<QLabel>("lblZemelapis")->text(), u"de_dust2"_s);
    QCOMPARE(Valdiklis<QLabel>("lblZaidejaiSK")->text(), u"5/20"_s);
    QCOMPARE(Valdiklis<QLabel>("lblStebetojai")->text(), u"0"_s);
    QVERIFY(Valdiklis<TLaikmatis>("tmrAtnaujinimas")->isActive());
    QTRY_VERIFY(!Valdiklis<QLabel>("lblPingas1")->text().isEmpty());
    QCOMPARE(Valdiklis<QLabel>("lblPingas2")->text(), Valdiklis<QLabel>("lblPingas1")->text());
    bool skaicius = false;
    const int ms = Valdiklis<QLabel>("lblPingas1")->text().toInt(&skaicius);
    QVERIFY(skaicius);
    QVERIFY(ms >= 0 && ms < 1000);
    // A picture of the filled window for a human eye, when asked for.
    QVERIFY(Nuotrauka(frmPagrindinis(), u"stebetojas.png"_s));
}

void TstPagrindinis::stulpeliai_data() {
    QTest::addColumn<TZaidejai>("zaidejai");
    QTest::addColumn<QStringList>("vardai1");
    QTest::addColumn<QStringList>("vardai2");
    QTest::addColumn<QStringList>("fragai1");
    QTest::addColumn<QStringList>("laikai2");
    QTest::newRow("five alternate") << Penki() << QStringList{u"A"_s, u"C"_s, u"E"_s} << QStringList{u"B"_s, u"D"_s}
                                    << QStringList{u"10"_s, u"0"_s, u"2"_s}
                                    << QStringList{u"01:01:01"_s, u"27:46:40"_s};
    QTest::newRow("one player") << TZaidejai{KurtiZaidejoInfo(9, "Solo", -1, 3599.4f)} << QStringList{u"Solo"_s}
                                << QStringList() << QStringList{u"-1"_s} << QStringList();
    QTest::newRow("no players") << TZaidejai{} << QStringList() << QStringList() << QStringList() << QStringList();
    // The engine's bots report -1 s: no time is no "00:00:01".
    QTest::newRow("a bot's negative time shows none")
        << TZaidejai{KurtiZaidejoInfo(1, "Player", 3, 65.0f), KurtiZaidejoInfo(2, "Bot", 0, -1.0f)}
        << QStringList{u"Player"_s} << QStringList{u"Bot"_s} << QStringList{u"3"_s} << QStringList{QString()};
    QTest::newRow("empty name keeps its line")
        << TZaidejai{KurtiZaidejoInfo(1, "", 0, 0.0f), KurtiZaidejoInfo(2, "x", 1, 1.0f)} << QStringList{QString()}
        << QStringList{u"x"_s} << QStringList{u"0"_s} << QStringList{u"00:00:01"_s};
    // Not UTF-8: the code page of the language (English: Windows-1252).
    QTest::newRow("UTF-8 and Windows-1252 names")
        << TZaidejai{KurtiZaidejoInfo(1,
                                      "\xC5\xBE"
                                      "aid\xC4\x97"
                                      "jas",
                                      0, 0.0f),
                     KurtiZaidejoInfo(2, "\xFE\xE0", 0, 0.0f)}
        << QStringList{u"žaidėjas"_s} << QStringList{u"þà"_s} << QStringList{u"0"_s} << QStringList{u"00:00:00"_s};
}

void TstPagrindinis::stulpeliai() {
    QFETCH(TZaidejai, zaidejai);
    serveris->NustatytiTurini(Turinys("de_dust2", zaidejai));
    Stebeti(u"127.0.0.1:"_s + QString::number(serveris->Prievadas()));
    QTRY_VERIFY_WITH_TIMEOUT(!Valdiklis<QLabel>("lblZaidejaiSK")->text().isEmpty(), 5000);
    QTEST(Eilutes("memKomanda1"), "vardai1");
    QTEST(Eilutes("memKomanda2"), "vardai2");
    QTEST(Eilutes("memFragai1"), "fragai1");
    QTEST(Eilutes("memLaikas2"), "laikai2");
    QFETCH(QStringList, vardai1);
    QFETCH(QStringList, vardai2);
    QCOMPARE(Eilutes("memFragai2").size(), vardai2.size());
    QCOMPARE(Eilutes("memLaikas1").size(), vardai1.size());
    const QString z = frmPagrindinis()->Kalba().Tekstas("frmPagrindinis", "zaidejai");
    QCOMPARE(Valdiklis<QLabel>("lblZaidSK1")->text(), u"("_s + QString::number(vardai1.size()) + u' ' + z + u')');
    QCOMPARE(Valdiklis<QLabel>("lblZaidSK2")->text(), u"("_s + QString::number(vardai2.size()) + u' ' + z + u')');
}

void TstPagrindinis::stebetojai_data() {
    QTest::addColumn<int>("isvardinta");
    QTest::addColumn<int>("detalese");
    QTest::addColumn<bool>("beZaideju");
    QTest::addColumn<QString>("stebetojai");
    QTest::newRow("none listed, three present") << 0 << 3 << false << u"3"_s;
    QTest::newRow("six listed, four present") << 6 << 4 << false << u"-2"_s;
    QTest::newRow("all listed") << 4 << 4 << false << u"0"_s;
    QTest::newRow("details without a players reply") << 2 << 5 << true << QString();
}

void TstPagrindinis::stebetojai() {
    QFETCH(int, isvardinta);
    QFETCH(int, detalese);
    QFETCH(bool, beZaideju);
    TZaidejai zaidejai;
    for (int i = 0; i < isvardinta; ++i)
        zaidejai.append(KurtiZaidejoInfo(quint8(i), "p" + QByteArray::number(i), i, float(i)));
    TDetales d;
    d.Zaidejai = quint8(detalese);
    d.MaxZaideju = 32;
    d.Info.Zemelapis = "de_dust2";
    if (!beZaideju)
        Kviesti(frmPagrindinis(), "RodytiZaidejus", Q_ARG(TZaidejai, TZaidejai(zaidejai)));
    else
        Kviesti(frmPagrindinis(), "RodytiDetales",
                Q_ARG(TDetales, d)); // an earlier details reply used up the players reply
    Kviesti(frmPagrindinis(), "RodytiDetales", Q_ARG(TDetales, d));
    QTEST(Valdiklis<QLabel>("lblStebetojai")->text(), "stebetojai");
    QCOMPARE(frmPagrindinis()->property("ArZaidejaiGauti").toBool(), false);
    QCOMPARE(frmPagrindinis()->property("ZaidejuSkaicius").toInt(), 0);
}

void TstPagrindinis::pingas() {
    netikrasLaikrodis = true;
    netikrasLaikas = 100000;
    TRankinisServeris rankinis;
    QVERIFY(rankinis.Paleisti());
    Stebeti(rankinis.Adresas());
    QTRY_COMPARE_WITH_TIMEOUT(rankinis.gauta.size(), 3, 5000);
    QVERIFY(Valdiklis<QTimer>("tmrPingas")->isActive());
    netikrasLaikas += 40;
    rankinis.Siusti(KurtiPingoAtsakyma());
    QTRY_COMPARE_WITH_TIMEOUT(Valdiklis<QLabel>("lblPingas1")->text(), u"40"_s, 5000);
    QCOMPARE(Valdiklis<QLabel>("lblPingas2")->text(), u"40"_s);
    QCOMPARE(frmPagrindinis()->property("PingoLaikas").toInt(), 40);
    QVERIFY(!Valdiklis<QTimer>("tmrPingas")->isActive());
    // The clock stays stopped: later time does not change what is shown.
    netikrasLaikas += 10000;
    QTest::qWait(20);
    QCOMPARE(Valdiklis<QLabel>("lblPingas1")->text(), u"40"_s);
}

void TstPagrindinis::timeoutSustabdoAtnaujinima() {
    netikrasLaikrodis = true;
    netikrasLaikas = 200000;
    TServerioElgsena e;
    e.IgnoruotiPinga = true;
    serveris->NustatytiElgsena(e);
    Stebeti(u"127.0.0.1:"_s + QString::number(serveris->Prievadas()));
    QTRY_COMPARE_WITH_TIMEOUT(Eilutes("memKomanda1").size(), 3, 5000);
    QVERIFY(Valdiklis<TLaikmatis>("tmrAtnaujinimas")->isActive());
    netikrasLaikas += 4999;
    QTest::qWait(20);
    QCOMPARE(Valdiklis<QLabel>("lblPingas1")->text(), QString());
    netikrasLaikas += 1;
    const QString timeout = frmPagrindinis()->Kalba().Tekstas("Pranesimai", "Timeout");
    QTRY_COMPARE_WITH_TIMEOUT(Valdiklis<QLabel>("lblPingas1")->text(), timeout, 5000);
    QCOMPARE(Valdiklis<QLabel>("lblPingas2")->text(), timeout);
    QVERIFY(!Valdiklis<QTimer>("tmrPingas")->isActive());
    QVERIFY(!Valdiklis<TLaikmatis>("tmrAtnaujinimas")->isActive());
    QVERIFY(!Valdiklis<TLaikmatis>("tmrAtnaujinimas")->Enabled());
    QCOMPARE(Eilutes("memKomanda1").size(), 3); // the other replies were shown
}

void TstPagrindinis::atnaujinimoIrTimeoutSutapimas_data() {
    QTest::addColumn<int>("praejo");
    QTest::addColumn<bool>("timeout");
    QTest::newRow("4949 ms: a new round") << 4949 << false;
    QTest::newRow("4950 ms: the time-out first") << 4950 << true;
    QTest::newRow("5000 ms: the time-out first") << 5000 << true;
}

void TstPagrindinis::atnaujinimoIrTimeoutSutapimas() {
    QFETCH(int, praejo);
    QFETCH(bool, timeout);
    netikrasLaikrodis = true;
    netikrasLaikas = 300000;
    TServerioElgsena e;
    e.IgnoruotiPinga = true;
    serveris->NustatytiElgsena(e);
    Stebeti(u"127.0.0.1:"_s + QString::number(serveris->Prievadas()));
    QTRY_COMPARE_WITH_TIMEOUT(serveris->Uzklausos().size(), 3, 5000);
    // The round's replies shown first: a round that had none yet would make
    // the next one doubt the server's dialect and ask A2S_INFO besides.
    QTRY_COMPARE_WITH_TIMEOUT(Eilutes("memKomanda1").size(), 3, 5000);
    // The refresh falls due before the clock's own tick has seen the time.
    netikrasLaikas += praejo;
    LangoValdiklis<TStebejimas>(frmPagrindinis(), "Stebejimas")->Atnaujinti();
    QTest::qWait(30);
    QByteArrayList zodziai;
    for (const TGautaUzklausa& u : serveris->Uzklausos())
        zodziai.append(u.Zodis);
    QVERIFY2(serveris->Uzklausos().size() == (timeout ? 3 : 6), zodziai.join(' ').constData());
    QCOMPARE(Valdiklis<QLabel>("lblPingas1")->text() == frmPagrindinis()->Kalba().Tekstas("Pranesimai", "Timeout"),
             timeout);
    QCOMPARE(Valdiklis<TLaikmatis>("tmrAtnaujinimas")->Enabled(), !timeout);
}

void TstPagrindinis::banas() {
    TRankinisServeris rankinis;
    QVERIFY(rankinis.Paleisti());
    Stebeti(rankinis.Adresas());
    QTRY_COMPARE_WITH_TIMEOUT(rankinis.gauta.size(), 3, 5000);
    rankinis.Siusti(KurtiBanoAtsakyma());
    const QString banas = frmPagrindinis()->Kalba().Tekstas("Pranesimai", "Banas");
    QTRY_COMPARE_WITH_TIMEOUT(Valdiklis<QLabel>("lblPingas1")->text(), banas, 5000);
    QCOMPARE(Valdiklis<QLabel>("lblPingas2")->text(), banas);
    QVERIFY(frmPagrindinis()->ArUzdraustas());
    QVERIFY(!Valdiklis<QTimer>("tmrPingas")->isActive());
    QVERIFY(Valdiklis<TLaikmatis>("tmrAtnaujinimas")->isActive()); // the refresh goes on
    // Nothing is shown until the next round, not even messages.
    rankinis.Siusti(KurtiZaidejuAtsakyma(Penki()));
    rankinis.Siusti(KurtiPingoAtsakyma());
    rankinis.Siusti(KurtiAtsakyma('?'));
    rankinis.Siusti(QByteArray(3000, 'x'));
    QTest::qWait(50);
    QVERIFY(Eilutes("memKomanda1").isEmpty());
    QCOMPARE(Valdiklis<QLabel>("lblPingas1")->text(), banas);
    QVERIFY(pranesimai.isEmpty());
    // The next round asks again and shows what comes.
    QTest::mouseClick(Valdiklis<QPushButton>("btnRodyti"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(rankinis.gauta.size(), 6, 5000);
    QVERIFY(!frmPagrindinis()->ArUzdraustas());
    rankinis.Siusti(KurtiZaidejuAtsakyma(Penki()));
    QTRY_COMPARE_WITH_TIMEOUT(Eilutes("memKomanda1").size(), 3, 5000);
}

void TstPagrindinis::portasIsAdreso_data() {
    QTest::addColumn<QString>("sablonas");
    QTest::newRow("host:port") << u"127.0.0.1:%1"_s;
    QTest::newRow("blanks around both") << u" 127.0.0.1 : %1 "_s;
    QTest::newRow("host name") << u"localhost:%1"_s;
}

void TstPagrindinis::portasIsAdreso() {
    QFETCH(QString, sablonas);
    Stebeti(sablonas.arg(serveris->Prievadas()));
    QTRY_COMPARE_WITH_TIMEOUT(serveris->Uzklausos().size(), 3, 5000);
    QCOMPARE(frmPagrindinis()->NMUDP1->RemotePort(), int(serveris->Prievadas()));
    QTRY_COMPARE_WITH_TIMEOUT(Eilutes("memKomanda2").size(), 2, 5000);
}

void TstPagrindinis::blogasPortas_data() {
    QTest::addColumn<QString>("adresas");
    QTest::addColumn<QString>("pranesimas");
    QTest::addColumn<bool>("atnaujinimasIjungtas");
    QTest::newRow("letters") << u"127.0.0.1:abc"_s << u"'abc' is not a valid integer value"_s << false;
    QTest::newRow("letters while watching") << u"127.0.0.1:2x"_s << u"'2x' is not a valid integer value"_s << true;
    QTest::newRow("beyond 32 bits") << u"h:99999999999"_s << u"'99999999999' is not a valid integer value"_s << false;
}

void TstPagrindinis::blogasPortas() {
    QFETCH(QString, adresas);
    QFETCH(bool, atnaujinimasIjungtas);
    Valdiklis<QLabel>("lblServerioPavadinimas")->setText(u"old"_s);
    Valdiklis<QLineEdit>("edtHostas")->setText(adresas);
    Valdiklis<TLaikmatis>("tmrAtnaujinimas")->setEnabled(atnaujinimasIjungtas);
    QTest::mouseClick(Valdiklis<QPushButton>("btnRodyti"), Qt::LeftButton);
    QFETCH(QString, pranesimas);
    QTRY_COMPARE_WITH_TIMEOUT(pranesimai, QStringList{pranesimas}, 5000);
    QCOMPARE(Valdiklis<QLabel>("lblServerioPavadinimas")->text(), QString()); // cleared before the conversion
    QCOMPARE(Valdiklis<TLaikmatis>("tmrAtnaujinimas")->Enabled(), atnaujinimasIjungtas);
    QVERIFY(!Valdiklis<QTimer>("tmrPingas")->isActive());
    QTest::qWait(20);
    QCOMPARE(serveris->Uzklausos().size(), 0);
}

namespace {

// The bottom bar's address slot as it looks showing `adresas`.
QImage JuostosAdresas(const QString& adresas) {
    TPaveiksliukas tiketinas;
    tiketinas.setFont(Valdiklis<TApatineJuosta>("imgApacia")->font());
    tiketinas.Drobe() = QImage(781, 25, QImage::Format_RGB32);
    tiketinas.Drobe().fill(Qt::black);
    TApatineJuosta::NupiestiPunkta(tiketinas, 285, 2, 500, 21, 60, adresas);
    return tiketinas.Vaizdas().copy(285, 2, 215, 19);
}

} // namespace

void TstPagrindinis::adresoKeitimasStabdoAtnaujinima() {
    netikrasLaikrodis = true;
    netikrasLaikas = 400000;
    TRankinisServeris rankinis;
    QVERIFY(rankinis.Paleisti());
    Stebeti(rankinis.Adresas());
    QTRY_COMPARE_WITH_TIMEOUT(rankinis.gauta.size(), 3, 5000);
    QVERIFY(Valdiklis<TLaikmatis>("tmrAtnaujinimas")->isActive());
    QTest::keyClick(Valdiklis<QLineEdit>("edtHostas"), Qt::Key_End);
    QTest::keyClicks(Valdiklis<QLineEdit>("edtHostas"), u"9"_s);
    QVERIFY(!Valdiklis<TLaikmatis>("tmrAtnaujinimas")->isActive());
    // The round in flight still ends as it would, and shows its own address,
    // not the one being typed.
    netikrasLaikas += 25;
    rankinis.Siusti(KurtiPingoAtsakyma());
    QTRY_COMPARE_WITH_TIMEOUT(Valdiklis<QLabel>("lblPingas1")->text(), u"25"_s, 5000);
    QVERIFY(!Valdiklis<TLaikmatis>("tmrAtnaujinimas")->isActive());
    rankinis.Siusti(KurtiDetaliuAtsakyma(TDetales{}));
    QTRY_COMPARE_WITH_TIMEOUT(Valdiklis<TApatineJuosta>("imgApacia")->Vaizdas().copy(285, 2, 215, 19),
                              JuostosAdresas(rankinis.Adresas()), 5000);
}

void TstPagrindinis::atnaujinimas() {
    Valdiklis<TLaikmatis>("tmrAtnaujinimas")->setIntervalas(60);
    Stebeti(u"127.0.0.1:"_s + QString::number(serveris->Prievadas()));
    QTRY_VERIFY_WITH_TIMEOUT(serveris->Uzklausos().size() >= 9, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!Valdiklis<QLabel>("lblZaidejaiSK")->text().isEmpty(), 5000);
    // Every round rebuilds the scoreboard instead of adding to it.
    QCOMPARE(Eilutes("memKomanda1"), (QStringList{u"A"_s, u"C"_s, u"E"_s}));
    // Blanks only: the refresh presses nothing.
    Valdiklis<QLineEdit>("edtHostas")->setText(u"   "_s);
    Valdiklis<TLaikmatis>("tmrAtnaujinimas")->setEnabled(true);
    QTest::qWait(100);
    const qsizetype pries = serveris->Uzklausos().size();
    QTest::qWait(150);
    QCOMPARE(serveris->Uzklausos().size(), pries);
}

void TstPagrindinis::zemelapis_data() {
    QTest::addColumn<QByteArray>("zemelapis");
    QTest::addColumn<QString>("paveikslas");
    QTest::newRow("picture of its own") << QByteArray("de_dust2") << u"de_dust2.jpg"_s;
    // File names are matched without regard to case, as servers spell maps as they like.
    QTest::newRow("capitalised name") << QByteArray("De_Aztec") << u"de_aztec.jpg"_s;
    QTest::newRow("upper-case name") << QByteArray("DE_DUST2") << u"de_dust2.jpg"_s;
    QTest::newRow("no picture: fallback") << QByteArray("m1") << u"standartinis.jpg"_s;
    QTest::newRow("path outside the folder") << QByteArray("../zemelapiai/de_dust2") << u"standartinis.jpg"_s;
    QTest::newRow("absolute path") << QByteArray("/etc/passwd") << u"standartinis.jpg"_s;
    QTest::newRow("empty map name") << QByteArray() << u"standartinis.jpg"_s;
}

void TstPagrindinis::zemelapis() {
    QFETCH(QByteArray, zemelapis);
    QFETCH(QString, paveikslas);
    serveris->NustatytiTurini(Turinys(zemelapis));
    Stebeti(u"127.0.0.1:"_s + QString::number(serveris->Prievadas()));
    QTRY_VERIFY_WITH_TIMEOUT(!Valdiklis<QLabel>("lblZaidejaiSK")->text().isEmpty(), 5000);
    QCOMPARE(Valdiklis<QLabel>("lblZemelapis")->text(), QString::fromUtf8(zemelapis));
    const QImage tiketina = SkaitytiJpeg(kZemelapiai + paveikslas);
    QVERIFY(!tiketina.isNull());
    QCOMPARE(Valdiklis<TPaveiksliukas>("imgZemelapis")->Vaizdas(), tiketina);
}

void TstPagrindinis::atsarginisPaveikslasNeperskaitomas_data() {
    QTest::addColumn<QByteArray>("turinys");
    QTest::addColumn<bool>("yra");
    QTest::newRow("missing") << QByteArray() << false;
    QTest::newRow("not a JPEG") << QByteArray("plain text") << true;
    QTest::newRow("empty file") << QByteArray() << true;
}

void TstPagrindinis::atsarginisPaveikslasNeperskaitomas() {
    QFETCH(QByteArray, turinys);
    QFETCH(bool, yra);
    const QString kelias = u"resursai/zemelapiai/standartinis.jpg"_s;
    QVERIFY(QFile::remove(kelias));
    if (yra) {
        QFile f(kelias);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(turinys);
    }
    serveris->NustatytiTurini(Turinys("m1"));
    Stebeti(u"127.0.0.1:"_s + QString::number(serveris->Prievadas()));
    QTRY_VERIFY_WITH_TIMEOUT(!Valdiklis<QLabel>("lblZaidejaiSK")->text().isEmpty(), 5000);
    // The picture stays empty; the rest of the details is shown.
    QVERIFY(Valdiklis<TPaveiksliukas>("imgZemelapis")->Vaizdas().isNull());
    QCOMPARE(Valdiklis<QLabel>("lblZemelapis")->text(), u"m1"_s);
    QVERIFY(Valdiklis<QLabel>("lblZaidSK1")->text().startsWith(u"(3 "_s));
    QCOMPARE(Valdiklis<QLabel>("lblStebetojai")->text(), u"0"_s);
    QFile::remove(kelias);
    QVERIFY(QFile::copy(kZemelapiai + u"standartinis.jpg"_s, kelias));
}

void TstPagrindinis::adresasApatinejeJuostoje() {
    const QString adresas = u"127.0.0.1:"_s + QString::number(serveris->Prievadas());
    Valdiklis<TApatineJuosta>("imgApacia")->Nupiesti();
    Stebeti(u"localhost:"_s + QString::number(serveris->Prievadas()));
    QTRY_VERIFY_WITH_TIMEOUT(!Valdiklis<QLabel>("lblZaidejaiSK")->text().isEmpty(), 5000);
    // The slot shows the numeric address and the port, drawn as an item is drawn.
    QCOMPARE(Valdiklis<TApatineJuosta>("imgApacia")->Vaizdas().copy(285, 2, 215, 19), JuostosAdresas(adresas));
    // Its frame is the normal frame colour, its inside the bar's background.
    QCOMPARE(Valdiklis<TApatineJuosta>("imgApacia")->Vaizdas().pixelColor(285, 2), QColor(0x31, 0x31, 0x19));
    QCOMPARE(Valdiklis<TApatineJuosta>("imgApacia")->Vaizdas().pixelColor(499, 20), QColor(0x31, 0x31, 0x19));
    QCOMPARE(Valdiklis<TApatineJuosta>("imgApacia")->Vaizdas().pixelColor(286, 3), QColor(0x10, 0x0C, 0x08));
    // The other items are left alone.
    QCOMPARE(Valdiklis<TApatineJuosta>("imgApacia")->Vaizdas().pixelColor(500, 2), QColor(0x10, 0x0C, 0x08));
}

void TstPagrindinis::keistiHosta() {
    Valdiklis<TTybCheckBox>("chkKeistiHosta")->setChecked(true);
    Stebeti(u"127.0.0.1:"_s + QString::number(serveris->Prievadas()));
    QTRY_COMPARE_WITH_TIMEOUT(Valdiklis<QLineEdit>("edtHostas")->text(), u"localhost"_s, 5000);
    QVERIFY(!Valdiklis<TLaikmatis>("tmrAtnaujinimas")->isActive());
}

void TstPagrindinis::atsakymuTipai_data() {
    QTest::addColumn<QByteArray>("datagrama");
    QTest::addColumn<QStringList>("tiketina");
    const auto tekstas = [](const char* raktas) {
        return frmPagrindinis()->Kalba().Tekstas("Pranesimai", raktas);
    };
    QTest::newRow("text reply: two boxes")
        << KurtiTekstoAtsakyma("nfo", "second line") << QStringList{u"info"_s, u"second line"_s};
    QTest::newRow("unknown letter") << KurtiAtsakyma('X', "abc") << QStringList{tekstas("NezinomiDuomenys")};
    QTest::newRow("rules decoded, nothing shown") << KurtiTaisykliuAtsakyma({{"a", "1"}}) << QStringList();
    QTest::newRow("2023 bytes decoded") << KurtiIsplestaZaidejuAtsakyma({}, 2023) << QStringList();
    QTest::newRow("2024 bytes refused") << KurtiIsplestaZaidejuAtsakyma({}, 2024)
                                        << QStringList{u"2024"_s + tekstas("BaituGavau")};
    QTest::newRow("oversized 3000") << QByteArray(3000, 'm') << QStringList{u"3000"_s + tekstas("BaituGavau")};
}

void TstPagrindinis::atsakymuTipai() {
    QFETCH(QByteArray, datagrama);
    TRankinisServeris rankinis;
    QVERIFY(rankinis.Paleisti());
    Stebeti(rankinis.Adresas());
    QTRY_COMPARE_WITH_TIMEOUT(rankinis.gauta.size(), 3, 5000);
    rankinis.Siusti(datagrama);
    rankinis.Siusti(KurtiPingoAtsakyma()); // a marker that the first one was handled
    QTRY_VERIFY_WITH_TIMEOUT(!Valdiklis<QLabel>("lblPingas1")->text().isEmpty(), 5000);
    QTEST(pranesimai, "tiketina");
}

void TstPagrindinis::trumpiDatagramai_data() {
    QTest::addColumn<QByteArray>("datagrama");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("one byte") << QByteArray("\xFF", 1);
    QTest::newRow("four bytes") << QByteArray("\xFF\xFF\xFF\xFF", 4);
}

void TstPagrindinis::trumpiDatagramai() {
    QFETCH(QByteArray, datagrama);
    TRankinisServeris rankinis;
    QVERIFY(rankinis.Paleisti());
    Stebeti(rankinis.Adresas());
    QTRY_COMPARE_WITH_TIMEOUT(rankinis.gauta.size(), 3, 5000);
    rankinis.Siusti(datagrama);
    rankinis.Siusti(KurtiPingoAtsakyma());
    QTRY_VERIFY_WITH_TIMEOUT(!Valdiklis<QLabel>("lblPingas1")->text().isEmpty(), 5000);
    QVERIFY(pranesimai.isEmpty());
}

void TstPagrindinis::enterPaspaudziaRodyti() {
    frmPagrindinis()->activateWindow();
    Valdiklis<QLineEdit>("edtHostas")->setFocus();
    Valdiklis<QLineEdit>("edtHostas")->setText(u"127.0.0.1:"_s + QString::number(serveris->Prievadas()));
    QTest::keyClick(Valdiklis<QLineEdit>("edtHostas"), Qt::Key_Return);
    QTRY_COMPARE_WITH_TIMEOUT(serveris->Uzklausos().size(), 3, 5000);
}

void TstPagrindinis::argumentasPradedaStebeti() {
    const QString adresas = u"127.0.0.1:"_s + QString::number(serveris->Prievadas());
    ApdorotiArgumentus({u"velmorant"_s, adresas});
    QTRY_COMPARE_WITH_TIMEOUT(serveris->Uzklausos().size(), 3, 5000);
    QCOMPARE(Valdiklis<QLineEdit>("edtHostas")->text(), adresas);
    QVERIFY(Valdiklis<TLaikmatis>("tmrAtnaujinimas")->isActive());
    QTRY_COMPARE_WITH_TIMEOUT(Eilutes("memKomanda1").size(), 3, 5000);
}

QTEST_MAIN(TstPagrindinis)
#include "tst_pagrindinis.moc"
