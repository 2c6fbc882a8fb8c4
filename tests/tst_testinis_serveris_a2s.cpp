// The test game server's Steam query behaviours (modern, proxy, both), its
// split replies and misbehaviours, seen by a plain UDP client; and the query
// session driven against it over loopback: legacy bytes unchanged, the
// scoreboard filled in the first round, one datagram per request and round.
#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>
#include <QtEndian>

#include "AtsakymuKurejas.h"
#include "SesijosVairuotojas.h"
#include "Skaidymas.h"
#include "TestinisServeris.h"
#include "TurinioFailas.h"
#include "UdpKlientas.h"

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TServerioRezimas)

namespace {

constexpr int kLaukimas = 5000; // ms a reply may take at most
constexpr int kTyla = 250;      // ms of silence that count as "no more replies"
constexpr TIssukis kIssukis = 0x5A6B7C8Du;

// Every datagram until kTyla ms pass without one.
class TKlientas : public TUdpKlientas {
public:
    QList<QByteArray> Gauti(int pirmoLaukti = kLaukimas) { return TUdpKlientas::Gauti(pirmoLaukti, kTyla); }
    QList<QByteArray> Klausti(const QByteArray& d, quint16 prievadas, int pirmoLaukti = kLaukimas) {
        Siusti(d, prievadas);
        return Gauti(pirmoLaukti);
    }
};

char Tipas(const QByteArray& d) {
    return d.size() > 4 ? d[4] : 0;
}

// The letters of the replies, split fragments shown as '~'.
QByteArray Tipai(const QList<QByteArray>& d) {
    QByteArray r;
    for (const QByteArray& x : d)
        r += x.startsWith("\xFE\xFF\xFF\xFF") ? '~' : Tipas(x);
    return r;
}

// The replies with split ones joined (all from one sender).
QList<QByteArray> Surinkti(const QList<QByteArray>& d, QList<TDaliesBusena>* busenos = nullptr) {
    TDaliuSurinkejas s;
    QList<QByteArray> r;
    for (const QByteArray& x : d) {
        const TDaliesRezultatas a = s.Priimti(QHostAddress(QHostAddress::LocalHost), 1, x);
        if (busenos)
            busenos->append(a.Busena);
        if (!a.Atsakymas.isEmpty())
            r.append(a.Atsakymas);
    }
    return r;
}

struct TServerioAplinka {
    TTestinisServeris serveris;
    explicit TServerioAplinka(const TServerioElgsena& e, TServerioTurinys t = DemonstracinisTurinys()) {
        serveris.NustatytiTurini(t);
        serveris.NustatytiElgsena(e);
        serveris.NustatytiIssuki(kIssukis);
        serveris.Paleisti();
    }
    quint16 Prievadas() const { return serveris.Prievadas(); }
};

TServerioElgsena Rezimas(TServerioRezimas r) {
    TServerioElgsena e;
    e.Rezimas = r;
    return e;
}

} // namespace

class TstTestinisServerisA2S : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void infoKurejas_data();
    void infoKurejas();
    void dalys_data();
    void dalys();
    void rezimai_data();
    void rezimai();
    void issukisInfo();
    void netvarka_data();
    void netvarka();
    void greicioRiba_data();
    void greicioRiba();
    void praradimai();
    void pamestiAtsakymai_data();
    void pamestiAtsakymai();
    void turinioFailas();
    void senasServerisTaisBaitais_data();
    void senasServerisTaisBaitais();
    void modernusPirmasRaundas_data();
    void modernusPirmasRaundas();
    void detaliuLangasTaisykles();
    void kartaPerRaunda();
};

void TstTestinisServerisA2S::infoKurejas_data() {
    QTest::addColumn<int>("edf");
    QTest::newRow("no extra data") << -1;
    QTest::newRow("port and game id") << int(kEdfPortas | kEdfZaidimoId);
    QTest::newRow("every field") << 0xF1;
    QTest::newRow("spectators only") << int(kEdfStebetojai);
}

void TstTestinisServerisA2S::infoKurejas() {
    QFETCH(int, edf);
    TA2SInfo i;
    i.Protokolas = 48;
    i.Pavadinimas = "Name \xC5\xBD";
    i.Zemelapis = "de_nuke";
    i.Katalogas = "cstrike";
    i.Zaidimas = "Counter-Strike";
    i.AppId = -2;
    i.Zaidejai = 9;
    i.MaxZaideju = 16;
    i.Botai = 4;
    i.ServerioTipas = 'p';
    i.OS = 'm';
    i.Slaptazodis = 1;
    i.VAC = 1;
    i.Versija = "1.1.2.7";
    if (edf >= 0) {
        i.ArPapildomi = true;
        i.EDF = quint8(edf);
        if (edf & kEdfPortas)
            i.ZaidimoPortas = 27016;
        if (edf & kEdfSteamId)
            i.SteamId = 0xFEDCBA9876543210ull;
        if (edf & kEdfStebetojai) {
            i.StebetojuPortas = 27020;
            i.StebetojuVardas = "tv";
        }
        if (edf & kEdfZymes)
            i.Zymes = "a,b";
        if (edf & kEdfZaidimoId)
            i.ZaidimoId = 10;
    }
    const QByteArray d = KurtiInfoAtsakyma(i);
    TAtminiesSrautas s(d);
    QCOMPARE(SkaitytiAntraste(s), kTipasInfo);
    QCOMPARE(SkaitytiInfo(s), i);
    QCOMPARE(s.Likutis(), 0);
}

void TstTestinisServerisA2S::dalys_data() {
    QTest::addColumn<int>("ilgis");
    QTest::addColumn<int>("dydis");
    QTest::addColumn<bool>("naujas");
    QTest::addColumn<bool>("visada");
    QTest::addColumn<int>("kiek"); // fragments; 0: refused
    QTest::newRow("engine, fits, forced in two") << 300 << 1391 << false << true << 2;
    QTest::newRow("engine, fits, not forced") << 300 << 1391 << false << false << 1;
    QTest::newRow("engine, 2000 bytes") << 2000 << 1391 << false << false << 2;
    QTest::newRow("newer, 5000 bytes") << 5000 << 1000 << true << false << 5;
    QTest::newRow("fifteen") << 1500 << 100 << false << false << 15;
    QTest::newRow("sixteen refused") << 1600 << 100 << true << false << 0;
}

void TstTestinisServerisA2S::dalys() {
    QFETCH(int, ilgis);
    QFETCH(int, dydis);
    QFETCH(bool, naujas);
    QFETCH(bool, visada);
    QFETCH(int, kiek);
    QByteArray atsakymas = KurtiAntraste('E');
    for (int i = 0; atsakymas.size() < ilgis; ++i)
        atsakymas.append(char('a' + i % 26));
    const QList<QByteArray> d = KurtiDalis(atsakymas, 0x77, dydis, naujas, false, visada);
    QCOMPARE(d.size(), kiek);
    if (kiek == 0)
        return;
    for (const QByteArray& x : d)
        QVERIFY(x.size() <= dydis + (naujas ? 12 : 9));
    QCOMPARE(Surinkti(d), QList<QByteArray>{atsakymas});
}

void TstTestinisServerisA2S::rezimai_data() {
    QTest::addColumn<TServerioRezimas>("rezimas");
    QTest::addColumn<QByteArray>("uzklausa");
    QTest::addColumn<QByteArray>("tipai");
    const QByteArray info = A2SInfoUzklausa();
    const QByteArray zaidejai = A2SZaidejuUzklausa();
    const QByteArray zaidejaiC = A2SZaidejuUzklausa(kIssukis);
    const QByteArray taisyklesC = A2STaisykliuUzklausa(kIssukis);
    const auto senas = TServerioRezimas::Senas, modernus = TServerioRezimas::Modernus,
               tarpinis = TServerioRezimas::Tarpinis, abu = TServerioRezimas::Abu;
    QTest::newRow("legacy: details") << senas << UzklausosDatagrama(kDetails) << QByteArray("m");
    QTest::newRow("legacy: A2S_INFO silent") << senas << info << QByteArray();
    QTest::newRow("legacy: A2S_PLAYER silent") << senas << zaidejaiC << QByteArray();
    QTest::newRow("modern: ping") << modernus << UzklausosDatagrama(kPing) << QByteArray("j");
    QTest::newRow("modern: players silent") << modernus << UzklausosDatagrama(kPlayers) << QByteArray();
    QTest::newRow("modern: details silent") << modernus << UzklausosDatagrama(kDetails) << QByteArray();
    QTest::newRow("modern: rules silent") << modernus << UzklausosDatagrama(kRules) << QByteArray();
    QTest::newRow("modern: info") << modernus << info << QByteArray("I");
    QTest::newRow("modern: players, no challenge") << modernus << zaidejai << QByteArray("A");
    QTest::newRow("modern: players, wrong challenge") << modernus << A2SZaidejuUzklausa(1) << QByteArray("A");
    QTest::newRow("modern: players") << modernus << zaidejaiC << QByteArray("D");
    QTest::newRow("modern: rules in two") << modernus << taisyklesC << QByteArray("~~");
    QTest::newRow("proxy: players") << tarpinis << UzklausosDatagrama(kPlayers) << QByteArray("D");
    QTest::newRow("proxy: info as m") << tarpinis << info << QByteArray("m");
    QTest::newRow("both: info as m then I") << abu << info << QByteArray("mI");
    QTest::newRow("both: details silent") << abu << UzklausosDatagrama(kDetails) << QByteArray();
}

void TstTestinisServerisA2S::rezimai() {
    QFETCH(TServerioRezimas, rezimas);
    QFETCH(QByteArray, uzklausa);
    QFETCH(QByteArray, tipai);
    TServerioAplinka a(Rezimas(rezimas));
    TKlientas k;
    const QList<QByteArray> gauta = k.Klausti(uzklausa, a.Prievadas(), tipai.isEmpty() ? kTyla : kLaukimas);
    QCOMPARE(Tipai(gauta), tipai);
    const QList<QByteArray> atsakymai = Surinkti(gauta);
    for (const QByteArray& x : atsakymai) {
        TAtminiesSrautas s(x);
        switch (SkaitytiAntraste(s)) {
        case kTipasIssukis:
            QCOMPARE(SkaitytiIssuki(s), std::optional<TIssukis>(kIssukis));
            break;
        case kTipasInfo:
            QCOMPARE(SkaitytiInfo(s), a.serveris.Info());
            QCOMPARE(a.serveris.Info().ZaidimoPortas, a.Prievadas());
            break;
        case kTipasZaidejai:
            QCOMPARE(SkaitytiZaidejus(s), a.serveris.Turinys().Zaidejai);
            break;
        case kTipasTaisykles:
            QCOMPARE(SkaitytiTaisykles(s), a.serveris.Turinys().Taisykles);
            break;
        case kTipasDetales: {
            const TDetalesSuBotais d = SkaitytiDetalesSuBotais(s);
            QCOMPARE(d.Detales.Info.Pavadinimas, a.serveris.Turinys().Detales.Info.Pavadinimas);
            // A proxy leaves the bots byte out; "both" sends it.
            QCOMPARE(d.Botai.has_value(), rezimas == TServerioRezimas::Abu);
            break;
        }
        default:
            break;
        }
    }
    // The request log keeps the bytes as received.
    QCOMPARE(a.serveris.Uzklausos().size(), 1);
    QCOMPARE(a.serveris.Uzklausos().first().Baitai, uzklausa);
}

void TstTestinisServerisA2S::issukisInfo() {
    TServerioElgsena e = Rezimas(TServerioRezimas::Modernus);
    e.InfoReikiaIssukio = true;
    TServerioAplinka a(e);
    TKlientas k;
    QCOMPARE(Tipai(k.Klausti(A2SInfoUzklausa(), a.Prievadas())), QByteArray("A"));
    QCOMPARE(Tipai(k.Klausti(A2SInfoUzklausa(kIssukis + 1), a.Prievadas())), QByteArray("A"));
    QCOMPARE(Tipai(k.Klausti(A2SInfoUzklausa(kIssukis), a.Prievadas())), QByteArray("I"));
}

void TstTestinisServerisA2S::netvarka_data() {
    QTest::addColumn<int>("kas");
    QTest::addColumn<QByteArray>("tipai");
    QTest::addColumn<QList<TDaliesBusena>>("busenos");
    QTest::addColumn<int>("surinkta");
    using B = TDaliesBusena;
    QTest::newRow("reversed") << 0 << QByteArray("~~~") << QList<B>{B::Laikoma, B::Laikoma, B::Surinkta} << 1;
    QTest::newRow("duplicated") << 1
                                << QByteArray("~~~~~~")
                                // the last copy of the last fragment opens a set of its own
                                << QList<B>{B::Laikoma,    B::Dublikatas, B::Laikoma,
                                            B::Dublikatas, B::Surinkta,   B::Laikoma}
                                << 1;
    QTest::newRow("last lost") << 2 << QByteArray("~~") << QList<B>{B::Laikoma, B::Laikoma} << 0;
    QTest::newRow("newer layout") << 3 << QByteArray("~~~") << QList<B>{B::Laikoma, B::Laikoma, B::Surinkta} << 1;
    QTest::newRow("newer layout, compressed")
        << 4 << QByteArray("~~~") << QList<B>{B::Suspausta, B::Suspausta, B::Suspausta} << 0;
    QTest::newRow("stray challenge and zero datagram")
        << 5 << QByteArray("A\0~~~", 5) << QList<B>{B::Vientisas, B::Vientisas, B::Laikoma, B::Laikoma, B::Surinkta}
        << 3;
}

void TstTestinisServerisA2S::netvarka() {
    QFETCH(int, kas);
    QFETCH(QByteArray, tipai);
    QFETCH(QList<TDaliesBusena>, busenos);
    QFETCH(int, surinkta);
    TServerioElgsena e = Rezimas(TServerioRezimas::Modernus);
    // Three fragments of the demo rules.
    e.DaliesDydis = int(KurtiTaisykliuAtsakyma(DemonstracinisTurinys().Taisykles).size() + 2) / 3;
    e.DaliysAtvirkscia = kas == 0;
    e.DaliysDukart = kas == 1;
    e.PamestiDali = kas == 2;
    e.Skaidymas = kas == 3   ? TSkaidymoBudas::Naujas
                  : kas == 4 ? TSkaidymoBudas::NaujasSuspaustas
                             : TSkaidymoBudas::Variklio;
    e.PasalinisIssukis = kas == 5;
    e.NuliniaiBaitai = kas == 5 ? 32 : 0;
    TServerioAplinka a(e);
    TKlientas k;
    QList<QByteArray> gauta = k.Klausti(A2STaisykliuUzklausa(kIssukis), a.Prievadas());
    QCOMPARE(Tipai(gauta), tipai);
    QList<TDaliesBusena> gautosBusenos;
    const QList<QByteArray> atsakymai = Surinkti(gauta, &gautosBusenos);
    QCOMPARE(gautosBusenos, busenos);
    QCOMPARE(atsakymai.size(), surinkta);
    const QByteArray taisykles = KurtiTaisykliuAtsakyma(a.serveris.Turinys().Taisykles);
    if (surinkta > 0)
        QCOMPARE(atsakymai.last(), taisykles);
}

void TstTestinisServerisA2S::greicioRiba_data() {
    QTest::addColumn<double>("riba");
    QTest::addColumn<int>("langas");        // seconds
    QTest::addColumn<QList<int>>("pauzes"); // ms waited before each ping, in turn
    QTest::addColumn<QByteArray>("atsakyta");
    QTest::addColumn<int>("apriboti");
    QTest::newRow("3 in the 60 s window, 5 sent") << 0.05 << 60 << QList<int>{0, 0, 0, 0, 0} << QByteArray("jjj") << 2;
    // A window of 1 s holding 2: the third and fourth go, a new window then opens.
    QTest::newRow("a new window after the old one")
        << 2.0 << 1 << QList<int>{0, 0, 0, 0, 1100, 0} << QByteArray("jjjj") << 2;
    QTest::newRow("the engine's own: 3 a second over a minute")
        << 3.0 << 60 << QList<int>(40, 0) << QByteArray(40, 'j') << 0;
}

void TstTestinisServerisA2S::greicioRiba() {
    // The engine's rule: a window opens at an address's first datagram, every
    // datagram counts, past rate x window the rest are dropped until it ends.
    QFETCH(double, riba);
    QFETCH(int, langas);
    QFETCH(QList<int>, pauzes);
    TServerioElgsena e = Rezimas(TServerioRezimas::Modernus);
    e.GreicioRiba = riba;
    e.GreicioLangasS = langas;
    TServerioAplinka a(e);
    TKlientas k;
    QByteArray gauta;
    for (const int ms : pauzes) {
        if (ms > 0) {
            gauta += Tipai(k.Gauti(kTyla));
            QTest::qWait(ms);
        }
        k.Siusti(UzklausosDatagrama(kPing), a.Prievadas());
    }
    gauta += Tipai(k.Gauti(kTyla));
    QTEST(gauta, "atsakyta");
    QCOMPARE(a.serveris.Uzklausos().size(), pauzes.size());
    QTEST(a.serveris.Apriboti(), "apriboti");
}

void TstTestinisServerisA2S::praradimai() {
    // Loss drawn from a seed: the same seed loses the same datagrams, another
    // seed others; about the share asked for, both ways.
    struct TRezultatas {
        QList<int> atejo; // the requests that reached the server
        int atsakymu = 0;
        int prarasta = 0;
    };
    const auto bandyti = [](quint32 seklas) {
        TServerioElgsena e = Rezimas(TServerioRezimas::Modernus);
        e.Praradimai = 0.3;
        e.PraradimuSeklas = seklas;
        TServerioAplinka a(e);
        TKlientas k;
        // Each request told apart by the four bytes after the info request.
        for (quint32 i = 0; i < 60; ++i)
            k.Siusti(A2SInfoUzklausa(i), a.Prievadas());
        TRezultatas r;
        r.atsakymu = int(k.Gauti(kTyla).size());
        for (const TGautaUzklausa& u : a.serveris.Uzklausos())
            r.atejo.append(int(qFromLittleEndian<quint32>(u.Baitai.constData() + 25)));
        r.prarasta = a.serveris.Prarasta();
        return r;
    };
    const TRezultatas pirmas = bandyti(7), antras = bandyti(7), kitas = bandyti(8);
    QCOMPARE(pirmas.atejo, antras.atejo);
    QCOMPARE(pirmas.atsakymu, antras.atsakymu);
    QVERIFY(pirmas.atejo != kitas.atejo);
    QVERIFY2(pirmas.atejo.size() > 30 && pirmas.atejo.size() < 55, qPrintable(QString::number(pirmas.atejo.size())));
    QVERIFY(pirmas.atsakymu < pirmas.atejo.size()); // replies are lost too
    QCOMPARE(pirmas.prarasta, 60 - pirmas.atsakymu);
}

void TstTestinisServerisA2S::pamestiAtsakymai_data() {
    QTest::addColumn<QByteArray>("rusis");
    QTest::addColumn<QByteArray>("uzklausa");
    QTest::newRow("ping") << QByteArray("ping") << UzklausosDatagrama(kPing);
    QTest::newRow("info") << QByteArray("T") << A2SInfoUzklausa();
    QTest::newRow("players") << QByteArray("U") << A2SZaidejuUzklausa(kIssukis);
    QTest::newRow("rules, split: every fragment") << QByteArray("V") << A2STaisykliuUzklausa(kIssukis);
}

void TstTestinisServerisA2S::pamestiAtsakymai() {
    // The next replies to one kind of request are lost, whole; other kinds are not.
    QFETCH(QByteArray, rusis);
    QFETCH(QByteArray, uzklausa);
    TServerioElgsena e = Rezimas(TServerioRezimas::Modernus);
    e.PamestiAtsakymai.insert(rusis, 2);
    TServerioAplinka a(e);
    TKlientas k;
    QVERIFY(k.Klausti(uzklausa, a.Prievadas(), kTyla).isEmpty());
    QVERIFY(!k.Klausti(rusis == "ping" ? A2SInfoUzklausa() : UzklausosDatagrama(kPing), a.Prievadas()).isEmpty());
    QVERIFY(k.Klausti(uzklausa, a.Prievadas(), kTyla).isEmpty());
    QVERIFY(!k.Klausti(uzklausa, a.Prievadas()).isEmpty());
    QVERIFY(a.serveris.Prarasta() >= 2);
}

void TstTestinisServerisA2S::turinioFailas() {
    QString klaida;
    const std::optional<TServerioTurinys> t =
        SkaitytiTurinioJson(R"({"name": "n", "appId": 80, "bots": 3, "version": "1.0.0.3"})", &klaida);
    QVERIFY2(t, qPrintable(klaida));
    QCOMPARE(t->AppId, qint16(80));
    QCOMPARE(t->Botai, quint8(3));
    QCOMPARE(t->Versija, QByteArray("1.0.0.3"));
    QCOMPARE(SkaitytiTurinioJson(RasytiTurinioJson(*t)), t);
    QVERIFY(!SkaitytiTurinioJson(R"({"bots": 256})"));
    QVERIFY(!SkaitytiTurinioJson(R"({"appId": 40000})"));
}

void TstTestinisServerisA2S::senasServerisTaisBaitais_data() {
    QTest::addColumn<int>("langas");
    QTest::addColumn<QList<QByteArray>>("zodziai");
    QTest::newRow("watcher") << 0 << QList<QByteArray>{"ping", "players", "details"};
    QTest::newRow("server list") << 1 << QList<QByteArray>{"details"};
    QTest::newRow("details window") << 2 << QList<QByteArray>{"details", "rules"};
}

void TstTestinisServerisA2S::senasServerisTaisBaitais() {
    QFETCH(int, langas);
    QFETCH(QList<QByteArray>, zodziai);
    const TPrasymai p[] = {kStebetojoPrasymai, kSarasoPrasymai, kDetaliuPrasymai};
    TServerioAplinka a(Rezimas(TServerioRezimas::Senas));
    TServeriuRegistras registras;
    TSesijosVairuotojas v(p[langas], &registras, QHostAddress(QHostAddress::LocalHost), a.Prievadas());
    for (int raundas = 0; raundas < 2; ++raundas) {
        a.serveris.IsvalytiSkaitiklius();
        v.PradetiRaunda();
        QVERIFY(v.Laukti([&] { return v.detales.has_value() && (langas != 2 || v.taisykles); }, kLaukimas));
        QVERIFY(v.Laukti([&] { return v.ArBaigtas(); }, kLaukimas));
        // The log holds exactly the legacy datagrams, in their order; the
        // first round, while the dialect is unknown, A2S_INFO after them.
        QList<QByteArray> tiketini;
        for (const QByteArray& z : std::as_const(zodziai))
            tiketini.append(UzklausosDatagrama(z.constData()));
        if (raundas == 0)
            tiketini.append(A2SInfoUzklausa());
        QList<QByteArray> gauti;
        for (const TGautaUzklausa& u : a.serveris.Uzklausos())
            gauti.append(u.Baitai);
        QCOMPARE(gauti, tiketini);
        QCOMPARE(v.Zinios().Dialektas, TDialektas::Senas);
    }
}

void TstTestinisServerisA2S::modernusPirmasRaundas_data() {
    QTest::addColumn<TServerioRezimas>("rezimas");
    QTest::addColumn<bool>("infoIssukis");
    QTest::addColumn<bool>("ignoruotiPinga");
    QTest::newRow("modern") << TServerioRezimas::Modernus << false << false;
    QTest::newRow("modern, info challenge") << TServerioRezimas::Modernus << true << false;
    QTest::newRow("modern, no ping") << TServerioRezimas::Modernus << false << true;
    QTest::newRow("both") << TServerioRezimas::Abu << false << false;
    QTest::newRow("proxy") << TServerioRezimas::Tarpinis << false << false;
}

void TstTestinisServerisA2S::modernusPirmasRaundas() {
    QFETCH(TServerioRezimas, rezimas);
    QFETCH(bool, infoIssukis);
    QFETCH(bool, ignoruotiPinga);
    TServerioElgsena e = Rezimas(rezimas);
    e.InfoReikiaIssukio = infoIssukis;
    e.IgnoruotiPinga = ignoruotiPinga;
    TServerioAplinka a(e);
    TServeriuRegistras registras;
    TSesijosVairuotojas v(kStebetojoPrasymai, &registras, QHostAddress(QHostAddress::LocalHost), a.Prievadas());
    const TServerioTurinys& t = a.serveris.Turinys();
    for (int raundas = 0; raundas < 3; ++raundas) {
        v.PradetiRaunda();
        QVERIFY2(v.Laukti([&] { return v.ArLentaPilna(); }, kLaukimas), qPrintable(u"round %1"_s.arg(raundas)));
        QCOMPARE(*v.zaidejai, t.Zaidejai);
        QCOMPARE(v.detales->Detales.Info.Pavadinimas, t.Detales.Info.Pavadinimas);
        QCOMPARE(v.detales->Detales.Info.Zemelapis, t.Detales.Info.Zemelapis);
        QCOMPARE(int(v.detales->Detales.Zaidejai), int(*t.ZaidejuSkaicius));
        QCOMPARE(v.detales->Detales.MaxZaideju, t.Detales.MaxZaideju);
        if (rezimas == TServerioRezimas::Tarpinis) {
            // A proxy answers the legacy words: it stays a legacy server.
            QCOMPARE(v.Zinios().Dialektas, TDialektas::Senas);
            continue;
        }
        QCOMPARE(v.Zinios().Dialektas, TDialektas::A2S);
        QCOMPARE(v.Zinios().Issukis, std::optional<TIssukis>(kIssukis));
        // Both: the 'I' after the 'm' is what stays shown.
        QCOMPARE(v.detales->Info.has_value(), true);
    }
}

void TstTestinisServerisA2S::detaliuLangasTaisykles() {
    TServerioAplinka a(Rezimas(TServerioRezimas::Modernus));
    TServeriuRegistras registras;
    TSesijosVairuotojas v(kDetaliuPrasymai, &registras, QHostAddress(QHostAddress::LocalHost), a.Prievadas());
    for (int raundas = 0; raundas < 2; ++raundas) {
        v.PradetiRaunda();
        QVERIFY(v.Laukti([&] { return v.taisykles && v.detales; }, kLaukimas));
        QCOMPARE(*v.taisykles, a.serveris.Turinys().Taisykles);
        QVERIFY(std::any_of(v.atsakymai.begin(), v.atsakymai.end(),
                            [](const TSesijosAtsakymas& x) { return x.Dalis == TDaliesBusena::Surinkta; }));
    }
}

void TstTestinisServerisA2S::kartaPerRaunda() {
    TServerioAplinka a(Rezimas(TServerioRezimas::Modernus));
    TServeriuRegistras registras;
    TSesijosVairuotojas v(kStebetojoPrasymai, &registras, QHostAddress(QHostAddress::LocalHost), a.Prievadas());
    for (int raundas = 0; raundas < 4; ++raundas) {
        a.serveris.IsvalytiSkaitiklius();
        v.PradetiRaunda();
        QVERIFY(v.Laukti([&] { return v.ArLentaPilna(); }, kLaukimas));
        // Late replies and fall-backs would still come within this time.
        QVERIFY(!v.Laukti([] { return false; }, 300));
        QHash<QByteArray, int> kartai;
        for (const TGautaUzklausa& u : a.serveris.Uzklausos()) {
            const QByteArray& d = u.Baitai;
            const bool suIssukiu = d.size() == 29 || (d.size() == 9 && d.mid(5) != QByteArray(4, '\xFF'));
            kartai[d.size() == kUzklausosIlgis ? d.left(12) : d.left(5) + (suIssukiu ? "+c" : "")]++;
        }
        for (auto it = kartai.begin(); it != kartai.end(); ++it)
            QVERIFY2(it.value() == 1, it.key().toHex().constData());
        // From the second round on, only the two A2S requests: the info reply gives the round trip.
        if (raundas > 0)
            QCOMPARE(a.serveris.Uzklausos().size(), 2);
    }
}

QTEST_GUILESS_MAIN(TstTestinisServerisA2S)
#include "tst_testinis_serveris_a2s.moc"
