// The test server object seen from a plain UDP client on 127.0.0.1: the
// replies to each request form, the players count and address of the details
// reply, every misbehaviour, the request log, and datagrams that are not
// requests.
#include <optional>

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

#include "AtsakymuKurejas.h"
#include "TestinisServeris.h"
#include "UdpKlientas.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kLaukimas = 5000; // ms a reply may take at most
constexpr int kTyla = 300;      // ms of silence that count as "no reply"

// With the silence that counts as "no reply".
class TKlientas : public TUdpKlientas {
public:
    bool Tylu(int ms = kTyla) { return TUdpKlientas::Tylu(ms); }
};

TServerioTurinys Turinys() {
    TServerioTurinys t;
    TDetales& d = t.Detales;
    d.Info.Pavadinimas = "Unit test server";
    d.Info.Zemelapis = "de_nuke";
    d.Info.Katalogas = "cstrike";
    d.Info.Zaidimas = "Counter-Strike";
    d.MaxZaideju = 16;
    d.Protokolas = 47;
    d.ServerioTipas = 'd';
    d.OS = 'l';
    d.Saugus = 1;
    t.ZaidejuSkaicius = 5;
    t.Zaidejai = {KurtiZaidejoInfo(1, "Vilkas", 12, 301.5f),
                  KurtiZaidejoInfo(2,
                                   "\xC5\xBD"
                                   "aibas",
                                   -2, 59.4f),
                  KurtiZaidejoInfo(3, "Player", 0, 4000.0f)};
    t.Taisykles = {{"mp_timelimit", "20"}, {"sv_gravity", "800"}, {"sv_contact", ""}, {"mp_friendlyfire", "0"}};
    return t;
}

QByteArray Trumpa(const char* zodis) {
    return QByteArray(4, '\xFF') + zodis + '\0';
}

} // namespace

class TstTestinisServeris : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void zodis_data();
    void zodis();
    void atsakymai_data();
    void atsakymai();
    void detaliuSkaiciusIrAdresas_data();
    void detaliuSkaiciusIrAdresas();
    void negeroves_data();
    void negeroves();
    void delsa();
    void kitasPrievadas();
    void dvigubai_data();
    void dvigubai();
    void uzklausuZurnalas();
    void siuksles();
    void keitimasVeikiant();
    void paleidimas();

private:
    std::optional<TTestinisServeris> serveris;
    std::optional<TKlientas> klientas;
};

void TstTestinisServeris::init() {
    serveris.emplace();
    serveris->NustatytiTurini(Turinys());
    QVERIFY2(serveris->Paleisti(), qPrintable(serveris->Klaida()));
    QVERIFY(serveris->Prievadas() != 0);
    klientas.emplace();
    QVERIFY(klientas->Paruosti());
}

void TstTestinisServeris::cleanup() {
    klientas.reset();
    serveris.reset();
}

void TstTestinisServeris::zodis_data() {
    QTest::addColumn<QByteArray>("datagrama");
    QTest::addColumn<QByteArray>("laukiamas"); // empty: not a request

    QTest::newRow("256-byte ping") << UzklausosDatagrama(kPing) << QByteArray("ping");
    QTest::newRow("12-byte details") << Trumpa(kDetails) << QByteArray("details");
    QTest::newRow("10-byte rules") << Trumpa(kRules) << QByteArray("rules");
    QTest::newRow("no zero byte") << QByteArray("\xFF\xFF\xFF\xFFplayers") << QByteArray("players");
    QTest::newRow("bytes after the zero") << QByteArray("\xFF\xFF\xFF\xFFping\0junk", 13) << QByteArray("ping");
    QTest::newRow("unknown word") << QByteArray("\xFF\xFF\xFF\xFFgetchallenge") << QByteArray("getchallenge");
    QTest::newRow("empty datagram") << QByteArray() << QByteArray();
    QTest::newRow("header only") << QByteArray(4, '\xFF') << QByteArray();
    QTest::newRow("empty word") << QByteArray("\xFF\xFF\xFF\xFF\0ping", 9) << QByteArray();
    QTest::newRow("three 0xFF bytes") << QByteArray("\xFF\xFF\xFFping") << QByteArray();
    QTest::newRow("split header") << QByteArray("\xFE\xFF\xFF\xFFping") << QByteArray();
    QTest::newRow("plain text") << QByteArray("ping") << QByteArray();
}

void TstTestinisServeris::zodis() {
    QFETCH(QByteArray, datagrama);
    QFETCH(QByteArray, laukiamas);

    const std::optional<QByteArray> z = UzklausosZodis(datagrama);
    QCOMPARE(z.has_value(), !laukiamas.isEmpty());
    if (z)
        QCOMPARE(*z, laukiamas);
}

void TstTestinisServeris::atsakymai_data() {
    QTest::addColumn<QByteArray>("uzklausa");
    QTest::addColumn<char>("tipas");

    QTest::newRow("ping, 256 bytes") << UzklausosDatagrama(kPing) << kTipasPingas;
    QTest::newRow("players, 256 bytes") << UzklausosDatagrama(kPlayers) << kTipasZaidejai;
    QTest::newRow("details, 256 bytes") << UzklausosDatagrama(kDetails) << kTipasDetales;
    QTest::newRow("rules, 256 bytes") << UzklausosDatagrama(kRules) << kTipasTaisykles;
    QTest::newRow("details, 12 bytes") << Trumpa(kDetails) << kTipasDetales;
    QTest::newRow("players, 12 bytes") << Trumpa(kPlayers) << kTipasZaidejai;
    QTest::newRow("rules, 10 bytes") << Trumpa(kRules) << kTipasTaisykles;
    QTest::newRow("ping without zero byte") << QByteArray("\xFF\xFF\xFF\xFFping") << kTipasPingas;
    QTest::newRow("rules with bytes after the zero") << QByteArray("\xFF\xFF\xFF\xFFrules\0xyz", 13) << kTipasTaisykles;
}

void TstTestinisServeris::atsakymai() {
    QFETCH(QByteArray, uzklausa);
    QFETCH(char, tipas);

    klientas->Siusti(uzklausa, serveris->Prievadas());
    const std::optional<TGautas> g = klientas->Laukti();
    QVERIFY(g.has_value());
    QCOMPARE(g->Prievadas, serveris->Prievadas());
    TAtminiesSrautas s(g->Duomenys);
    QCOMPARE(SkaitytiAntraste(s), tipas);
    const TServerioTurinys t = Turinys();
    switch (tipas) {
    case kTipasPingas:
        QCOMPARE(g->Duomenys, QByteArray("\xFF\xFF\xFF\xFFj\0", 6));
        break;
    case kTipasZaidejai:
        QCOMPARE(SkaitytiZaidejus(s), t.Zaidejai);
        break;
    case kTipasDetales: {
        TDetales laukiamos = t.Detales;
        laukiamos.Zaidejai = 5;
        laukiamos.Info.Adresas = "127.0.0.1:" + QByteArray::number(serveris->Prievadas());
        QVERIFY(SkaitytiDetales(s) == laukiamos);
        break;
    }
    case kTipasTaisykles:
        QCOMPARE(SkaitytiTaisykles(s), t.Taisykles);
        break;
    }
    // A decoded reply fills its datagram exactly.
    if (tipas != kTipasPingas)
        QCOMPARE(s.Likutis(), 0);
    QVERIFY(klientas->Tylu());
}

void TstTestinisServeris::detaliuSkaiciusIrAdresas_data() {
    QTest::addColumn<int>("nustatytas"); // -1: none
    QTest::addColumn<int>("zaideju");
    QTest::addColumn<QByteArray>("adresas");
    QTest::addColumn<int>("laukiamas");

    QTest::newRow("count from the list") << -1 << 3 << QByteArray() << 3;
    QTest::newRow("count from an empty list") << -1 << 0 << QByteArray() << 0;
    QTest::newRow("more than listed (spectators)") << 12 << 3 << QByteArray() << 12;
    QTest::newRow("fewer than listed") << 1 << 3 << QByteArray() << 1;
    QTest::newRow("zero while players are listed") << 0 << 3 << QByteArray() << 0;
    QTest::newRow("list above 255 is held at 255") << -1 << 300 << QByteArray() << 255;
    QTest::newRow("address given") << -1 << 3 << QByteArray("203.0.113.7:27016") << 3;
}

void TstTestinisServeris::detaliuSkaiciusIrAdresas() {
    QFETCH(int, nustatytas);
    QFETCH(int, zaideju);
    QFETCH(QByteArray, adresas);
    QFETCH(int, laukiamas);

    TServerioTurinys t = Turinys();
    t.ZaidejuSkaicius = nustatytas < 0 ? std::nullopt : std::optional<quint8>(static_cast<quint8>(nustatytas));
    t.Zaidejai.clear();
    for (int i = 0; i < zaideju; ++i)
        t.Zaidejai.append(KurtiZaidejoInfo(0, "p" + QByteArray::number(i), i, 1.0f));
    t.Detales.Zaidejai = 77; // not sent: the count comes from the list or ZaidejuSkaicius
    t.Detales.Info.Adresas = adresas;
    serveris->NustatytiTurini(t);

    klientas->Siusti(UzklausosDatagrama(kDetails), serveris->Prievadas());
    const std::optional<TGautas> g = klientas->Laukti();
    QVERIFY(g.has_value());
    TAtminiesSrautas s(g->Duomenys);
    QCOMPARE(SkaitytiAntraste(s), kTipasDetales);
    const TDetales d = SkaitytiDetales(s);
    QCOMPARE(int(d.Zaidejai), laukiamas);
    QCOMPARE(d.Info.Adresas, adresas.isEmpty() ? "127.0.0.1:" + QByteArray::number(serveris->Prievadas()) : adresas);
    QCOMPARE(d.Info.Pavadinimas, t.Detales.Info.Pavadinimas);
}

void TstTestinisServeris::negeroves_data() {
    QTest::addColumn<TServerioElgsena>("elgsena");
    QTest::addColumn<QByteArray>("zodis");
    QTest::addColumn<QByteArray>("laukiamas"); // empty: no reply
    QTest::addColumn<int>("ilgis");            // -1: the expected bytes tell

    const TServerioTurinys t = Turinys();
    TServerioElgsena pingas;
    pingas.IgnoruotiPinga = true;
    QTest::newRow("ignore ping: ping") << pingas << QByteArray(kPing) << QByteArray() << -1;
    QTest::newRow("ignore ping: players") << pingas << QByteArray(kPlayers) << KurtiZaidejuAtsakyma(t.Zaidejai) << -1;
    QTest::newRow("ignore ping: rules") << pingas << QByteArray(kRules) << KurtiTaisykliuAtsakyma(t.Taisykles) << -1;

    TServerioElgsena banas;
    banas.Budas = TAtsakymuBudas::Banas;
    const QByteArray banoAtsakymas("\xFF\xFF\xFF\xFFl", 5);
    QTest::newRow("ban: ping") << banas << QByteArray(kPing) << banoAtsakymas << -1;
    QTest::newRow("ban: players") << banas << QByteArray(kPlayers) << banoAtsakymas << -1;
    QTest::newRow("ban: details") << banas << QByteArray(kDetails) << banoAtsakymas << -1;
    QTest::newRow("ban: unknown word") << banas << QByteArray("info") << banoAtsakymas << -1;
    TServerioElgsena banasBePingo = banas;
    banasBePingo.IgnoruotiPinga = true;
    QTest::newRow("ban and ignore ping: ping") << banasBePingo << QByteArray(kPing) << QByteArray() << -1;
    QTest::newRow("ban and ignore ping: rules") << banasBePingo << QByteArray(kRules) << banoAtsakymas << -1;

    TServerioElgsena tekstas;
    tekstas.Budas = TAtsakymuBudas::Tekstas;
    tekstas.PirmasTekstas = "abc";
    tekstas.AntrasTekstas = "def";
    const QByteArray tekstoAtsakymas("\xFF\xFF\xFF\xFFiabc\0def\0", 13);
    QTest::newRow("text: details") << tekstas << QByteArray(kDetails) << tekstoAtsakymas << -1;
    QTest::newRow("text: ping") << tekstas << QByteArray(kPing) << tekstoAtsakymas << -1;

    TServerioElgsena tipas;
    tipas.Budas = TAtsakymuBudas::NezinomasTipas;
    tipas.NezinomasTipas = 'Q';
    QTest::newRow("unknown type: players")
        << tipas << QByteArray(kPlayers) << QByteArray("\xFF\xFF\xFF\xFFQ\0", 6) << -1;
    QTest::newRow("unknown type: rules") << tipas << QByteArray(kRules) << QByteArray("\xFF\xFF\xFF\xFFQ\0", 6) << -1;

    TServerioElgsena didelis;
    didelis.ZaidejuAtsakymoDydis = 3000;
    QTest::newRow("oversized players: players")
        << didelis << QByteArray(kPlayers) << KurtiIsplestaZaidejuAtsakyma(t.Zaidejai, 3000) << 3000;
    QTest::newRow("oversized players: rules")
        << didelis << QByteArray(kRules) << KurtiTaisykliuAtsakyma(t.Taisykles) << -1;
    QTest::newRow("oversized players: ping")
        << didelis << QByteArray(kPing) << QByteArray("\xFF\xFF\xFF\xFFj\0", 6) << -1;

    TServerioElgsena tyla;
    tyla.Budas = TAtsakymuBudas::Tyla;
    QTest::newRow("silent: ping") << tyla << QByteArray(kPing) << QByteArray() << -1;
    QTest::newRow("silent: details") << tyla << QByteArray(kDetails) << QByteArray() << -1;
    QTest::newRow("silent: players") << tyla << QByteArray(kPlayers) << QByteArray() << -1;

    QTest::newRow("normal: unknown word") << TServerioElgsena{} << QByteArray("info") << QByteArray() << -1;
}

void TstTestinisServeris::negeroves() {
    QFETCH(TServerioElgsena, elgsena);
    QFETCH(QByteArray, zodis);
    QFETCH(QByteArray, laukiamas);
    QFETCH(int, ilgis);

    serveris->NustatytiElgsena(elgsena);
    klientas->Siusti(UzklausosDatagrama(zodis.constData()), serveris->Prievadas());
    if (laukiamas.isEmpty()) {
        // The request did arrive; the silence is the server's.
        QTRY_COMPARE_WITH_TIMEOUT(serveris->Uzklausos().size(), 1, kLaukimas);
        QCOMPARE(serveris->Uzklausos().first().Zodis, zodis);
        QVERIFY(klientas->Tylu());
        QCOMPARE(serveris->IssiustiAtsakymai(), 0);
        return;
    }
    const std::optional<TGautas> g = klientas->Laukti();
    QVERIFY(g.has_value());
    QCOMPARE(g->Duomenys, laukiamas);
    if (ilgis >= 0)
        QCOMPARE(g->Duomenys.size(), ilgis);
    QVERIFY(klientas->Tylu());
    QCOMPARE(serveris->IssiustiAtsakymai(), 1);
}

void TstTestinisServeris::delsa() {
    TServerioElgsena e;
    e.DelsaMs = 400;
    serveris->NustatytiElgsena(e);
    QElapsedTimer laikas;
    laikas.start();
    klientas->Siusti(UzklausosDatagrama(kPing), serveris->Prievadas());
    QVERIFY(klientas->Tylu(200));
    const std::optional<TGautas> g = klientas->Laukti();
    QVERIFY(g.has_value());
    QVERIFY2(laikas.elapsed() >= 400, qPrintable(u"reply after %1 ms"_s.arg(laikas.elapsed())));
    QCOMPARE(g->Duomenys, KurtiPingoAtsakyma());

    // Without the delay the reply comes at once.
    serveris->NustatytiElgsena(TServerioElgsena{});
    laikas.restart();
    klientas->Siusti(UzklausosDatagrama(kPing), serveris->Prievadas());
    QVERIFY(klientas->Laukti().has_value());
    QVERIFY2(laikas.elapsed() < 400, qPrintable(u"reply after %1 ms"_s.arg(laikas.elapsed())));
}

void TstTestinisServeris::kitasPrievadas() {
    QVERIFY(serveris->KitasPrievadas() != 0);
    QVERIFY(serveris->KitasPrievadas() != serveris->Prievadas());

    TServerioElgsena e;
    e.AtsakytiIsKitoPrievado = true;
    serveris->NustatytiElgsena(e);
    QSignalSpy issiusta(&*serveris, &TTestinisServeris::AtsakymasIssiustas);
    klientas->Siusti(UzklausosDatagrama(kDetails), serveris->Prievadas());
    std::optional<TGautas> g = klientas->Laukti();
    QVERIFY(g.has_value());
    QCOMPARE(g->Prievadas, serveris->KitasPrievadas());
    QCOMPARE(g->Duomenys.at(4), kTipasDetales);
    QCOMPARE(issiusta.size(), 1);
    QCOMPARE(issiusta.at(0).at(1).value<quint16>(), serveris->KitasPrievadas());

    serveris->NustatytiElgsena(TServerioElgsena{});
    klientas->Siusti(UzklausosDatagrama(kDetails), serveris->Prievadas());
    g = klientas->Laukti();
    QVERIFY(g.has_value());
    QCOMPARE(g->Prievadas, serveris->Prievadas());
}

void TstTestinisServeris::dvigubai_data() {
    QTest::addColumn<int>("dvigubi");
    QTest::addColumn<QList<int>>("kopijos"); // replies seen for each of the requests in turn

    QTest::newRow("none") << 0 << QList<int>{1, 1, 1};
    QTest::newRow("the first one") << 1 << QList<int>{2, 1, 1};
    QTest::newRow("the first two") << 2 << QList<int>{2, 2, 1};
    QTest::newRow("every one") << -1 << QList<int>{2, 2, 2};
}

void TstTestinisServeris::dvigubai() {
    QFETCH(int, dvigubi);
    QFETCH(QList<int>, kopijos);

    TServerioElgsena e;
    e.DvigubiAtsakymai = dvigubi;
    serveris->NustatytiElgsena(e);
    for (qsizetype i = 0; i < kopijos.size(); ++i) {
        klientas->Siusti(UzklausosDatagrama(kRules), serveris->Prievadas());
        for (int k = 0; k < kopijos[i]; ++k) {
            const std::optional<TGautas> g = klientas->Laukti();
            QVERIFY2(g.has_value(), qPrintable(u"request %1, copy %2 missing"_s.arg(i).arg(k)));
            QCOMPARE(g->Duomenys, KurtiTaisykliuAtsakyma(Turinys().Taisykles));
        }
        QVERIFY2(klientas->Tylu(), qPrintable(u"request %1: more than %2 replies"_s.arg(i).arg(kopijos[i])));
    }
}

void TstTestinisServeris::uzklausuZurnalas() {
    QSignalSpy gautos(&*serveris, &TTestinisServeris::UzklausaGauta);
    const QList<QByteArray> zodziai = {kPing, kPlayers, kDetails};
    for (const QByteArray& z : zodziai) {
        klientas->Siusti(UzklausosDatagrama(z.constData()), serveris->Prievadas());
        QVERIFY(klientas->Laukti().has_value());
    }
    klientas->Siusti(Trumpa(kRules), serveris->Prievadas());
    QVERIFY(klientas->Laukti().has_value());

    const QList<TGautaUzklausa>& u = serveris->Uzklausos();
    QCOMPARE(u.size(), 4);
    QCOMPARE(gautos.size(), 4);
    for (int i = 0; i < 4; ++i) {
        const QByteArray laukiamas = i < 3 ? zodziai[i] : QByteArray(kRules);
        QCOMPARE(u[i].Zodis, laukiamas);
        QCOMPARE(u[i].Ilgis, i < 3 ? 256 : 10);
        QCOMPARE(u[i].Siuntejas, QHostAddress(QHostAddress::LocalHost));
        QCOMPARE(u[i].SiuntejoPrievadas, klientas->Prievadas());
        const TGautaUzklausa signalu = gautos.at(i).at(0).value<TGautaUzklausa>();
        QCOMPARE(signalu.Zodis, laukiamas);
        QCOMPARE(signalu.Ilgis, u[i].Ilgis);
    }
    QCOMPARE(serveris->IssiustiAtsakymai(), 4);
    QCOMPARE(serveris->AtmestiDatagramai(), 0);

    serveris->IsvalytiSkaitiklius();
    QCOMPARE(serveris->Uzklausos().size(), 0);
    QCOMPARE(serveris->IssiustiAtsakymai(), 0);
}

void TstTestinisServeris::siuksles() {
    // Datagrams that are not requests: counted, never answered.
    const QList<QByteArray> neUzklausos = {
        QByteArray(),
        QByteArray(1, '\xFF'),
        QByteArray(4, '\xFF'),
        QByteArray("\xFF\xFF\xFF\xFF\0", 5),
        QByteArray("\xFE\xFF\xFF\xFFping\0", 9),
        QByteArray("ping"),
        QByteArray(60000, 'A'),
    };
    QSignalSpy atmestos(&*serveris, &TTestinisServeris::DatagramaAtmesta);
    for (const QByteArray& d : neUzklausos)
        klientas->Siusti(d, serveris->Prievadas());
    QTRY_COMPARE_WITH_TIMEOUT(serveris->AtmestiDatagramai(), int(neUzklausos.size()), kLaukimas);
    QCOMPARE(atmestos.size(), neUzklausos.size());
    QCOMPARE(atmestos.last().at(0).toInt(), 60000);
    QCOMPARE(serveris->Uzklausos().size(), 0);

    // Random bytes, a third of them behind a request header; sent in small
    // batches so that none is dropped before the server reads it.
    QRandomGenerator atsitiktinis(20240611);
    int issiusta = 0;
    for (int partija = 0; partija < 15; ++partija) {
        for (int i = 0; i < 20; ++i) {
            QByteArray d(atsitiktinis.bounded(0, 600), '\0');
            for (char& c : d)
                c = static_cast<char>(atsitiktinis.bounded(256));
            if (i % 3 == 0)
                d.prepend(QByteArray(4, '\xFF'));
            klientas->Siusti(d, serveris->Prievadas());
            ++issiusta;
        }
        QTRY_COMPARE_WITH_TIMEOUT(serveris->AtmestiDatagramai() + serveris->Uzklausos().size() - neUzklausos.size(),
                                  issiusta, kLaukimas);
    }
    QVERIFY(serveris->Uzklausos().size() > 0);
    QCOMPARE(serveris->IssiustiAtsakymai(), 0);

    // Still answering, and only the ping gets a reply.
    klientas->Siusti(UzklausosDatagrama(kPing), serveris->Prievadas());
    const std::optional<TGautas> g = klientas->Laukti();
    QVERIFY(g.has_value());
    QCOMPARE(g->Duomenys, KurtiPingoAtsakyma());
    QVERIFY(klientas->Tylu());
}

void TstTestinisServeris::keitimasVeikiant() {
    klientas->Siusti(UzklausosDatagrama(kPlayers), serveris->Prievadas());
    std::optional<TGautas> g = klientas->Laukti();
    QVERIFY(g.has_value());
    QCOMPARE(g->Duomenys, KurtiZaidejuAtsakyma(Turinys().Zaidejai));

    TServerioTurinys kitas = Turinys();
    kitas.Zaidejai = {KurtiZaidejoInfo(9, "Naujas", 1, 2.0f)};
    serveris->NustatytiTurini(kitas);
    QCOMPARE(serveris->Turinys(), kitas);
    klientas->Siusti(UzklausosDatagrama(kPlayers), serveris->Prievadas());
    g = klientas->Laukti();
    QVERIFY(g.has_value());
    TAtminiesSrautas s(g->Duomenys);
    SkaitytiAntraste(s);
    QCOMPARE(SkaitytiZaidejus(s), kitas.Zaidejai);

    TServerioElgsena banas;
    banas.Budas = TAtsakymuBudas::Banas;
    serveris->NustatytiElgsena(banas);
    QCOMPARE(serveris->Elgsena(), banas);
    klientas->Siusti(UzklausosDatagrama(kPlayers), serveris->Prievadas());
    g = klientas->Laukti();
    QVERIFY(g.has_value());
    QCOMPARE(g->Duomenys, KurtiBanoAtsakyma());

    serveris->NustatytiElgsena(TServerioElgsena{});
    klientas->Siusti(UzklausosDatagrama(kPing), serveris->Prievadas());
    g = klientas->Laukti();
    QVERIFY(g.has_value());
    QCOMPARE(g->Duomenys, KurtiPingoAtsakyma());
}

void TstTestinisServeris::paleidimas() {
    QVERIFY(serveris->Veikia());
    QCOMPARE(serveris->Adresas(), QHostAddress(QHostAddress::LocalHost));
    const quint16 prievadas = serveris->Prievadas();

    // The port is held: a second server cannot bind it.
    TTestinisServeris antras;
    QVERIFY(!antras.Paleisti(QHostAddress(QHostAddress::LocalHost), prievadas));
    QVERIFY(!antras.Klaida().isEmpty());
    QVERIFY(!antras.Veikia());
    QCOMPARE(antras.Prievadas(), quint16(0));

    serveris->Sustabdyti();
    QVERIFY(!serveris->Veikia());
    QCOMPARE(serveris->Prievadas(), quint16(0));

    // Freed, the port can be bound again, and the new server answers there.
    QVERIFY2(antras.Paleisti(QHostAddress(QHostAddress::LocalHost), prievadas), qPrintable(antras.Klaida()));
    QCOMPARE(antras.Prievadas(), prievadas);
    klientas->Siusti(UzklausosDatagrama(kPing), prievadas);
    const std::optional<TGautas> g = klientas->Laukti();
    QVERIFY(g.has_value());
    QCOMPARE(g->Duomenys, KurtiPingoAtsakyma());
}

QTEST_GUILESS_MAIN(TstTestinisServeris)
#include "tst_testinis_serveris.moc"
