// The poller over a real endpoint on loopback, with a clock the test moves:
// rounds in flight and their spacing, each round's own time-out, replies
// routed by their sender, the lanes, the query budget, name lookups, the one
// key of a server, and the per-server budget and cache on their own.
#include <algorithm>

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>

#include <memory>
#include <vector>

#include "Apklausa.h"
#include "AtsakymuKurejas.h"
#include "Atmintis.h"
#include "Biudzetas.h"
#include "NMUDP.h"
#include "RankinisServeris.h"
#include "cstrike.h"
#include "iphostport.h"

using namespace Qt::StringLiterals;

namespace {

QByteArray Detales(const QByteArray& vardas) {
    TDetales d;
    d.Info.Pavadinimas = vardas;
    d.Info.Zemelapis = "de_dust2";
    d.MaxZaideju = 20;
    return KurtiDetaliuAtsakyma(d);
}

// The name service of the process, replaced for one test.
struct TPaieskosKeitimas {
    explicit TPaieskosKeitimas(TPaieska nauja) { NustatytiPaieska(std::move(nauja)); }
    ~TPaieskosKeitimas() { NustatytiPaieska({}); }
};

// A poller on its own endpoint, lookups, registry and budget, timed by the
// test's clock; its rounds, one window's, report here.
struct TAplinka {
    qint64 laikas = 1000000;
    TServeriuRegistras registras;
    TUzklausuBiudzetas biudzetas;
    TNMUDP galas;
    TAdresuPaieska vardai;
    QObject langas; // the rounds' context
    std::unique_ptr<TApklausa> apklausa;
    TPrasymai prasymai;
    TRaundoSantrauka::TSaltinis saltinis = TRaundoSantrauka::TSaltinis::Stebetojas;
    TApklausa::TJuosta juosta = TApklausa::TJuosta::Bendra;
    std::function<bool(TApklausa::TId)> priima;
    QList<QPair<TApklausa::TId, TSesijosAtsakymas>> atsakymai;
    QList<QPair<TApklausa::TId, bool>> baigti;
    QList<TApklausa::TId> nepavyko;
    QList<TRaundoSantrauka> santraukos;
    QStringList ivykiai; // "baigtas" and "santrauka", in the order they came

    explicit TAplinka(TPrasymai prasymai) : prasymai(prasymai) {
        apklausa = std::make_unique<TApklausa>(&galas, &vardai, registras, biudzetas, [this] { return laikas; });
        QObject::connect(apklausa.get(), &TApklausa::RaundasBaigtas, apklausa.get(), [this](const TRaundoSantrauka& r) {
            santraukos.append(r);
            ivykiai.append(QStringLiteral("santrauka"));
        });
    }
    ~TAplinka() { apklausa.reset(); }
    TApklausa::TId Pradeti(const TServerioAdresas& adresas) {
        TApklausa::TRaundoNustatymai n(prasymai, saltinis, &langas);
        n.Juosta = juosta;
        n.Atsakymas = [this](TApklausa::TId id, const TSesijosAtsakymas& a) {
            atsakymai.append({id, a});
        };
        n.Baigtas = [this](TApklausa::TId id, bool atsake) {
            baigti.append({id, atsake});
            ivykiai.append(QStringLiteral("baigtas"));
        };
        n.Nepavyko = [this](TApklausa::TId id) {
            nepavyko.append(id);
        };
        if (priima)
            n.Priima = [this](TApklausa::TId id) {
                return priima(id);
            };
        return apklausa->Pradeti(adresas, std::move(n));
    }
    // A round to a legacy server: the legacy words alone go out (an unknown
    // server's first round asks A2S_INFO too).
    TApklausa::TId Pradeti(const TRankinisServeris& s) {
        const QString hostas = s.lizdas.localAddress().toString();
        registras.Nustatyti(hostas + u':' + QString::number(s.lizdas.localPort()),
                            TServerioZinios{.Dialektas = TDialektas::Senas});
        return Pradeti(TServerioAdresas{hostas, s.lizdas.localPort()});
    }
};

} // namespace

class TstApklausa : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void vienuMetuIrTarpai();
    void marsrutas();
    void laikoRiba_data();
    void laikoRiba();
    void biudzetasVisiemsLangams();
    void priima();
    void juosta_data();
    void juosta();
    void paieska_data();
    void paieska();
    void vienasRaktas_data();
    void vienasRaktas();
    void tarpas_data();
    void tarpas();
    void biudzetas();
    void atmintiesSkaitymas_data();
    void atmintiesSkaitymas();
    void atmintiesFailas();
    void santrauka_data();
    void santrauka();
    void santraukaTikIsejusiu();
};

void TstApklausa::vienuMetuIrTarpai() {
    // 25 silent servers: 20 rounds in flight, a few ms apart, the rest wait
    // for a place and go once rounds end.
    TAplinka a(kSarasoPrasymai);
    std::vector<std::unique_ptr<TRankinisServeris>> serveriai;
    QList<qint64> atejo; // real ms each request arrived
    QElapsedTimer tikras;
    tikras.start();
    for (int i = 0; i < 25; ++i) {
        serveriai.push_back(std::make_unique<TRankinisServeris>());
        QVERIFY(serveriai.back()->Paleisti());
        QObject::connect(&serveriai.back()->lizdas, &QUdpSocket::readyRead, &serveriai.back()->lizdas,
                         [&atejo, &tikras] { atejo.append(tikras.elapsed()); });
    }
    for (const auto& s : serveriai)
        a.Pradeti(*s);
    QCOMPARE(a.apklausa->Vykdomi() + a.apklausa->Eileje(), 25);
    QTRY_COMPARE_WITH_TIMEOUT(atejo.size(), 20, 5000);
    QTest::qWait(100);
    QCOMPARE(atejo.size(), 20);
    QCOMPARE(a.apklausa->Vykdomi(), 20);
    QCOMPARE(a.apklausa->Eileje(), 5);
    std::sort(atejo.begin(), atejo.end());
    // At least the spacing between two starts, less a millisecond of the socket's.
    QVERIFY2(atejo.last() - atejo.first() >= 19 * (TApklausa::kPradziuTarpasMs - 1),
             qPrintable(QString::number(atejo.last() - atejo.first())));
    // The time-out frees the places: the waiting five go.
    a.laikas += TApklausa::kLaukimoRibaMs;
    QTRY_COMPARE_WITH_TIMEOUT(a.baigti.size(), 20, 5000);
    for (const auto& [id, atsake] : a.baigti)
        QVERIFY(!atsake);
    QTRY_COMPARE_WITH_TIMEOUT(a.apklausa->Vykdomi(), 5, 5000);
    QCOMPARE(a.apklausa->Eileje(), 0);
    for (const auto& s : serveriai)
        QTRY_COMPARE_WITH_TIMEOUT(s->gauta.size(), 1, 5000);
}

void TstApklausa::marsrutas() {
    // Each reply reaches the round of the address and port it came from; the
    // same address from another port, and anyone else, reaches nobody.
    TAplinka a(kSarasoPrasymai);
    TRankinisServeris pirmas, antras, svetimas;
    QVERIFY(pirmas.Paleisti() && antras.Paleisti() && svetimas.Paleisti());
    const TApklausa::TId p = a.Pradeti(pirmas);
    const TApklausa::TId q = a.Pradeti(antras);
    QTRY_VERIFY_WITH_TIMEOUT(pirmas.gauta.size() == 1 && antras.gauta.size() == 1, 5000);
    svetimas.lizdas.writeDatagram(Detales("Stranger"), pirmas.klientas, pirmas.klientoPortas);
    antras.Siusti(Detales("Second"));
    QTRY_COMPARE_WITH_TIMEOUT(a.atsakymai.size(), 1, 5000);
    QCOMPARE(a.atsakymai.at(0).first, q);
    QCOMPARE(a.atsakymai.at(0).second.Detales.Info.Pavadinimas, QByteArray("Second"));
    pirmas.Siusti(Detales("First"));
    QTRY_COMPARE_WITH_TIMEOUT(a.atsakymai.size(), 2, 5000);
    QCOMPARE(a.atsakymai.at(1).first, p);
    QCOMPARE(a.atsakymai.at(1).second.Detales.Info.Pavadinimas, QByteArray("First"));
    // Both answered whole: their rounds are over, with their round trips.
    QTRY_COMPARE_WITH_TIMEOUT(a.baigti.size(), 2, 5000);
    QVERIFY(a.baigti.at(0).second && a.baigti.at(1).second);
    // A late copy finds no round.
    pirmas.Siusti(Detales("Late"));
    QTest::qWait(50);
    QCOMPARE(a.atsakymai.size(), 2);
}

void TstApklausa::laikoRiba_data() {
    QTest::addColumn<bool>("pingas"); // the 'j' comes, players and details never do
    QTest::newRow("silent server: the time-out") << false;
    QTest::newRow("only the 'j': the round trip came, no time-out") << true;
}

void TstApklausa::laikoRiba() {
    QFETCH(bool, pingas);
    TAplinka a(kStebetojoPrasymai);
    TRankinisServeris s;
    QVERIFY(s.Paleisti());
    const qint64 pradzia = a.laikas;
    const TApklausa::TId id = a.Pradeti(s);
    QTRY_COMPARE_WITH_TIMEOUT(s.gauta.size(), 3, 5000);
    QVERIFY(a.apklausa->ArLaukiaPingo(id));
    if (pingas) {
        a.laikas += 40;
        s.Siusti(KurtiPingoAtsakyma());
        QTRY_COMPARE_WITH_TIMEOUT(a.atsakymai.size(), 1, 5000);
        QCOMPARE(a.atsakymai.at(0).second.PingoMs, std::optional<int>(40));
        QVERIFY(!a.apklausa->ArLaukiaPingo(id));
    }
    a.laikas = pradzia + TApklausa::kLaukimoRibaMs - 1;
    QTest::qWait(3 * TApklausa::kDidziausiasMiegasMs);
    QVERIFY(a.baigti.isEmpty());
    QVERIFY(a.apklausa->ArVyksta(id));
    QCOMPARE(a.apklausa->Praejo(id), TApklausa::kLaukimoRibaMs - 1);
    a.laikas += 1;
    QTRY_COMPARE_WITH_TIMEOUT(a.baigti.size(), 1, 5000);
    QCOMPARE(a.baigti.at(0), qMakePair(id, pingas));
    QVERIFY(!a.apklausa->ArVyksta(id));
    // Every request went again twice at most, whatever the wait.
    QHash<QByteArray, int> kartai;
    for (const QNetworkDatagram& d : s.gauta)
        ++kartai[d.data().left(12)];
    for (auto i = kartai.constBegin(); i != kartai.constEnd(); ++i)
        QVERIFY2(i.value() <= 1 + TUzklausuSesija::kKartojimai, i.key().constData());
}

void TstApklausa::biudzetasVisiemsLangams() {
    // Two pollers (two windows) asking one silent server far more often than
    // it allows: in no 10 s does it get more than 30 datagrams, retries
    // included, and rounds still go out.
    TAplinka a(kStebetojoPrasymai);
    TNMUDP kitasGalas;
    TApklausa kitas(&kitasGalas, &a.vardai, a.registras, a.biudzetas, [&a] { return a.laikas; });
    TRankinisServeris s;
    QVERIFY(s.Paleisti());
    QList<qint64> siuntimai;
    for (TNMUDP* g : {&a.galas, &kitasGalas})
        g->OnDataSend = [&siuntimai, &a](QObject*) {
            siuntimai.append(a.laikas);
        };
    const qint64 pradzia = a.laikas;
    for (int zingsnis = 0; zingsnis < 300; ++zingsnis) { // 30 s in steps of 100 ms
        if (zingsnis % 2 == 0)
            a.Pradeti(s);
        if (zingsnis % 3 == 0)
            kitas.Pradeti({s.lizdas.localAddress().toString(), s.lizdas.localPort()},
                          TApklausa::TRaundoNustatymai(kSarasoPrasymai));
        QTest::qWait(2);
        a.laikas += 100;
    }
    QTest::qWait(20);
    QVERIFY2(siuntimai.size() >= 60, qPrintable(QString::number(siuntimai.size())));
    for (qint64 t = pradzia; t <= a.laikas; t += 100) {
        const qsizetype lange =
            std::count_if(siuntimai.begin(), siuntimai.end(), [t](qint64 x) { return x >= t && x < t + 10000; });
        QVERIFY2(lange <= TUzklausuBiudzetas::kDaugiausia, qPrintable(u"%1 at %2"_s.arg(lange).arg(t - pradzia)));
    }
}

void TstApklausa::priima() {
    // A round that takes nothing now is left as if the datagrams never came:
    // the first reply after that is still its first.
    TAplinka a(kSarasoPrasymai);
    bool priimti = false;
    a.priima = [&priimti](TApklausa::TId) {
        return priimti;
    };
    TRankinisServeris s;
    QVERIFY(s.Paleisti());
    a.Pradeti(s);
    QTRY_COMPARE_WITH_TIMEOUT(s.gauta.size(), 1, 5000);
    s.Siusti(Detales("Dropped"));
    QTest::qWait(50);
    QVERIFY(a.atsakymai.isEmpty());
    priimti = true;
    s.Siusti(Detales("Taken"));
    QTRY_COMPARE_WITH_TIMEOUT(a.atsakymai.size(), 1, 5000);
    QCOMPARE(a.atsakymai.at(0).second.Detales.Info.Pavadinimas, QByteArray("Taken"));
}

void TstApklausa::juosta_data() {
    // The lane is the round's own option, whatever window its record names.
    QTest::addColumn<TApklausa::TJuosta>("juosta");
    QTest::addColumn<TRaundoSantrauka::TSaltinis>("saltinis");
    QTest::addColumn<int>("iskart"); // in flight as soon as all are asked for
    QTest::addColumn<int>("vykdomi");
    QTest::newRow("the browser's lane: all at once")
        << TApklausa::TJuosta::Narsykle << TRaundoSantrauka::TSaltinis::Sarasas << 21 << 21;
    QTest::newRow("the windows' lane: spaced, 20 at most")
        << TApklausa::TJuosta::Bendra << TRaundoSantrauka::TSaltinis::Narsykle << 1 << 20;
}

void TstApklausa::juosta() {
    QFETCH(TApklausa::TJuosta, juosta);
    QFETCH(TRaundoSantrauka::TSaltinis, saltinis);
    QFETCH(int, iskart);
    QFETCH(int, vykdomi);
    TAplinka a(kSarasoPrasymai);
    a.juosta = juosta;
    a.saltinis = saltinis;
    std::vector<std::unique_ptr<TRankinisServeris>> serveriai;
    for (int i = 0; i <= TApklausa::kDaugiausiaVienuMetu; ++i) {
        serveriai.push_back(std::make_unique<TRankinisServeris>());
        QVERIFY(serveriai.back()->Paleisti());
        a.Pradeti(*serveriai.back());
    }
    QCOMPARE(a.apklausa->Vykdomi(), iskart);
    QTRY_COMPARE_WITH_TIMEOUT(a.apklausa->Vykdomi(), vykdomi, 5000);
    QTest::qWait(3 * TApklausa::kDidziausiasMiegasMs);
    QCOMPARE(a.apklausa->Vykdomi(), vykdomi);
    QCOMPARE(a.apklausa->Eileje(), TApklausa::kDaugiausiaVienuMetu + 1 - vykdomi);
}

void TstApklausa::paieska_data() {
    QTest::addColumn<bool>("randamas");
    QTest::addColumn<bool>("antraKarta"); // the endpoint's owner has it looked up again
    QTest::addColumn<int>("paieskos");
    QTest::newRow("found: sent to its address, kept for the next round") << true << true << 1;
    QTest::newRow("not found, looked up again") << false << true << 2;
    QTest::newRow("not found, not looked up again") << false << false << 1;
}

void TstApklausa::paieska() {
    QFETCH(bool, randamas);
    QFETCH(bool, antraKarta);
    QFETCH(int, paieskos);
    TAplinka a(kSarasoPrasymai);
    TRankinisServeris s;
    QVERIFY(s.Paleisti());
    QStringList klausta;
    const TPaieskosKeitimas keitimas([&](const QString& vardas, QObject* kontekstas, TPaieskosPabaiga baigta) {
        klausta.append(vardas);
        QHostInfo info;
        if (randamas)
            info.setAddresses({QHostAddress(QHostAddress::LocalHost)});
        else
            info.setError(QHostInfo::HostNotFound);
        // The answer comes later, from the event loop.
        QTimer::singleShot(10, kontekstas, [baigta, info] { baigta(info); });
    });
    int blogi = 0;
    a.galas.OnInvalidHost = [&](bool& handled) {
        ++blogi;
        handled = antraKarta;
    };
    const TApklausa::TId id = a.Pradeti(TServerioAdresas{u"srv.example"_s, s.lizdas.localPort()});
    if (randamas) {
        // The details and A2S_INFO of an unknown server's first round, each round.
        QTRY_COMPARE_WITH_TIMEOUT(s.gauta.size(), 2, 5000);
        a.Pradeti(TServerioAdresas{u"srv.example"_s, s.lizdas.localPort()});
        QTRY_COMPARE_WITH_TIMEOUT(s.gauta.size(), 4, 5000);
        QCOMPARE(blogi, 0);
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(a.nepavyko, QList<TApklausa::TId>{id}, 5000);
        QCOMPARE(blogi, 1);
        QCOMPARE(s.gauta.size(), 0);
        // A round that could not go out still ends at its time-out.
        a.laikas += TApklausa::kLaukimoRibaMs;
        QTRY_COMPARE_WITH_TIMEOUT(a.baigti.size(), 1, 5000);
        QCOMPARE(a.baigti.at(0), qMakePair(id, false));
    }
    QCOMPARE(klausta, QStringList(paieskos, u"srv.example"_s));
}

void TstApklausa::vienasRaktas_data() {
    QTest::addColumn<QString>("hostas");
    QTest::newRow("dotted") << u"127.0.0.1"_s;
    QTest::newRow("short dotted form") << u"127.1"_s;
    QTest::newRow("a name of it") << u"srv.example"_s;
}

void TstApklausa::vienasRaktas() {
    // What is known of a server and its budget go by its resolved address,
    // whatever form its window typed; its record keeps the form typed.
    QFETCH(QString, hostas);
    const TPaieskosKeitimas keitimas([](const QString&, QObject* kontekstas, TPaieskosPabaiga baigta) {
        QHostInfo info;
        info.setAddresses({QHostAddress(QHostAddress::LocalHost)});
        QTimer::singleShot(0, kontekstas, [baigta, info] { baigta(info); });
    });
    TAplinka a(kSarasoPrasymai);
    TRankinisServeris s;
    QVERIFY(s.Paleisti());
    const quint16 portas = s.lizdas.localPort();
    const QString raktas = u"127.0.0.1:"_s + QString::number(portas);
    a.registras.Nustatyti(raktas, TServerioZinios{.Dialektas = TDialektas::Senas});
    const TApklausa::TId id = a.Pradeti(TServerioAdresas{hostas, portas});
    // A legacy server's one request: no A2S_INFO, as for a server not met.
    QTRY_COMPARE_WITH_TIMEOUT(s.gauta.size(), 1, 5000);
    QCOMPARE(s.gauta.at(0).data(), UzklausosDatagrama(kDetails));
    QCOMPARE(a.apklausa->IPAdresas(id), std::optional(TServerioAdresas{u"127.0.0.1"_s, portas}));
    QCOMPARE(a.biudzetas.Laisva(raktas, a.laikas), TUzklausuBiudzetas::kDaugiausia - 1);
    s.Siusti(Detales("Known"));
    QTRY_COMPARE_WITH_TIMEOUT(a.santraukos.size(), 1, 5000);
    QCOMPARE(a.santraukos.at(0).Serveris, hostas + u':' + QString::number(portas));
    QCOMPARE(a.registras.Visos().keys(), QStringList{raktas});
}

void TstApklausa::tarpas_data() {
    QTest::addColumn<int>("dialektas");
    QTest::addColumn<int>("prasymai"); // 0 watcher, 1 list
    QTest::addColumn<int>("norimas");
    QTest::addColumn<int>("veikiantis");
    QTest::newRow("legacy watcher at 1 s: three a round, 1.25 s") << int(TDialektas::Senas) << 0 << 1000 << 1250;
    QTest::newRow("unknown watcher at 1 s: as a legacy one") << int(TDialektas::Nezinomas) << 0 << 1000 << 1250;
    QTest::newRow("watcher of today at 1 s: two a round, kept") << int(TDialektas::A2S) << 0 << 1000 << 1000;
    QTest::newRow("watcher of today at 0.5 s") << int(TDialektas::A2S) << 0 << 500 << 834;
    QTest::newRow("legacy watcher at 5 s: kept") << int(TDialektas::Senas) << 0 << 5000 << 5000;
    QTest::newRow("list at 1 s") << int(TDialektas::Senas) << 1 << 1000 << 1000;
    QTest::newRow("never: stays never") << int(TDialektas::Senas) << 0 << 0 << 0;
}

void TstApklausa::tarpas() {
    QFETCH(int, dialektas);
    QFETCH(int, prasymai);
    QFETCH(int, norimas);
    QFETCH(int, veikiantis);
    TAplinka a(prasymai == 0 ? kStebetojoPrasymai : kSarasoPrasymai);
    a.registras.Nustatyti(u"10.0.0.1:27015"_s, TServerioZinios{TDialektas(dialektas), 5u, 30, 1});
    QCOMPARE(a.apklausa->Tarpas({u"10.0.0.1"_s, 27015}, a.prasymai, norimas), veikiantis);
}

void TstApklausa::biudzetas() {
    TUzklausuBiudzetas b;
    const QString s = u"10.0.0.1:27015"_s;
    QCOMPARE(b.Laisva(s, 0), 30);
    QCOMPARE(b.KadaLaisva(s, 0, 3), qint64(0));
    b.Pazymeti(s, 1000, 20);
    b.Pazymeti(s, 4000, 10);
    QCOMPARE(b.Laisva(s, 5000), 0);
    QCOMPARE(b.Laisva(u"10.0.0.1:27016"_s, 5000), 30); // another server, its own budget
    // Three may go once the three oldest leave the window.
    QCOMPARE(b.KadaLaisva(s, 5000, 3), qint64(11000));
    QCOMPARE(b.KadaLaisva(s, 5000, 25), qint64(14000));
    QCOMPARE(b.Laisva(s, 10999), 0);
    QCOMPARE(b.Laisva(s, 11000), 20);
    // A clock that went back forgets what lies ahead.
    QCOMPARE(b.Laisva(s, 500), 30);
}

void TstApklausa::atmintiesSkaitymas_data() {
    QTest::addColumn<QByteArray>("turinys");
    QTest::addColumn<QStringList>("raktai"); // the servers read, sorted
    const qint64 dabar = 1800000000000;
    const QByteArray a = "Velmorant servers 1\n";
    const QByteArray t = QByteArray::number(dabar - 1000);
    QTest::newRow("one of each dialect") << a + "h:1\ta2s\t0a0b0c0d\t40\t" + t + "\nl:2\tlegacy\t-\t-\t" + t + "\n"
                                         << QStringList{u"h:1"_s, u"l:2"_s};
    QTest::newRow("CR LF line ends, no end at the last")
        << a.chopped(1) + "\r\nh:1\ta2s\t-\t-\t" + t << QStringList{u"h:1"_s};
    QTest::newRow("no header: ignored whole") << "h:1\ta2s\t-\t-\t" + t + "\n" << QStringList{};
    QTest::newRow("another version: ignored whole") << "Velmorant servers 2\nh:1\ta2s\t-\t-\t" + t + "\n"
                                                    << QStringList{};
    QTest::newRow("damaged lines skipped, the rest kept")
        << a + "h:1\tmodern\t-\t-\t" + t + "\nh:2\ta2s\txyz\t-\t" + t + "\nh:3\ta2s\t-\t-\n" + "h:4\ta2s\t-\t-1\t" + t +
               "\nh:5\ta2s\t-\t-\t" + t + "\textra\n\th:6\nh:7\tlegacy\t-\t99\t" + t + "\n"
        << QStringList{u"h:7"_s};
    QTest::newRow("older than 30 days dropped")
        << a + "h:1\ta2s\t-\t-\t" + QByteArray::number(dabar - kAtmintiesAmziusMs - 1) + "\nh:2\ta2s\t-\t-\t" +
               QByteArray::number(dabar - kAtmintiesAmziusMs) + "\n"
        << QStringList{u"h:2"_s};
    QTest::newRow("the console's forms, with a dialect or without")
        << a + "q:1\t-\t-\t-\t" + t + "\tquake\ng:2\ta2s\t-\t-\t" + t + "\tgoldsrc\nn:3\t-\t-\t-\t" + t + "\n"
        << QStringList{u"g:2"_s, u"q:1"_s};
    QTest::newRow("never answered dropped") << a + "h:1\ta2s\t-\t-\t0\n" << QStringList{};
    QTest::newRow("a round trip past a minute refused") << a + "h:1\ta2s\t-\t60001\t" + t + "\n" << QStringList{};
    QTest::newRow("a control character in the name refused") << a + "h\x01:1\ta2s\t-\t-\t" + t + "\n" << QStringList{};
}

void TstApklausa::atmintiesSkaitymas() {
    QFETCH(QByteArray, turinys);
    QFETCH(QStringList, raktai);
    const qint64 dabar = 1800000000000;
    const QHash<QString, TServerioZinios> z = SkaitytiAtminti(turinys, dabar);
    QStringList rasti = z.keys();
    rasti.sort();
    QCOMPARE(rasti, raktai);
    // What is written reads back the same.
    QCOMPARE(SkaitytiAtminti(RasytiAtminti(z, dabar), dabar), z);
}

void TstApklausa::atmintiesFailas() {
    // Written atomically into a folder made for it, read into a registry that
    // keeps what it knows already; a dialect unknown is not written.
    QTemporaryDir aplankas;
    QVERIFY(aplankas.isValid());
    const QString kelias = aplankas.filePath(u"cache/Velmorant/serveriai.txt"_s);
    const qint64 dabar = QDateTime::currentMSecsSinceEpoch();
    TServeriuRegistras rasomas;
    rasomas.Nustatyti(u"today.example:27015"_s, TServerioZinios{TDialektas::A2S, 0x0A0B0C0Du, 35, dabar});
    rasomas.Nustatyti(u"old.example:27015"_s, TServerioZinios{TDialektas::Senas, std::nullopt, std::nullopt, dabar});
    rasomas.Nustatyti(u"unknown.example:27015"_s, TServerioZinios{TDialektas::Nezinomas, 5u, 20, dabar});
    QVERIFY(IssaugotiAtminti(rasomas, kelias));
    QVERIFY(QDir(aplankas.filePath(u"cache/Velmorant"_s)).entryList(QDir::Files) == QStringList{u"serveriai.txt"_s});

    TServeriuRegistras skaitomas;
    const TServerioZinios savas{TDialektas::Senas, std::nullopt, 12, dabar};
    skaitomas.Nustatyti(u"old.example:27015"_s, savas);
    IkeltiAtminti(skaitomas, kelias);
    QCOMPARE(skaitomas.Zinios(u"today.example:27015"_s), rasomas.Zinios(u"today.example:27015"_s));
    QCOMPARE(skaitomas.Zinios(u"old.example:27015"_s), savas);
    QVERIFY(!skaitomas.Visos().contains(u"unknown.example:27015"_s));
    // A damaged file is no error: nothing is taken from it.
    QFile f(kelias);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("\x00\xFFgarbage\n", 10);
    f.close();
    TServeriuRegistras tuscias;
    IkeltiAtminti(tuscias, kelias);
    IkeltiAtminti(tuscias, aplankas.filePath(u"missing.txt"_s));
    QVERIFY(tuscias.Visos().isEmpty());
}

void TstApklausa::santrauka_data() {
    QTest::addColumn<bool>("pingas"); // which of the watcher's three replies the server sends
    QTest::addColumn<bool>("zaidejai");
    QTest::addColumn<bool>("detales");
    QTest::addColumn<QString>("pabaiga"); // how the round ends
    QTest::newRow("whole round: ends by itself") << true << true << true << u"answered"_s;
    QTest::newRow("silent server: the time-out, no figures") << false << false << false << u"time-out"_s;
    QTest::newRow("players reply lost: no names, the rest kept") << true << false << true << u"time-out"_s;
    QTest::newRow("ended early by its window") << true << false << false << u"window"_s;
    QTest::newRow("replaced by a new round, no 'j': no round trip") << false << true << true << u"new round"_s;
    QTest::newRow("could not be sent: no reply") << false << false << false << u"not sent"_s;
}

void TstApklausa::santrauka() {
    // Every round that went out is told once when it ends, however it ends,
    // with what its replies said and the Unix time it went out.
    QFETCH(bool, pingas);
    QFETCH(bool, zaidejai);
    QFETCH(bool, detales);
    QFETCH(QString, pabaiga);
    TAplinka a(kStebetojoPrasymai);
    qint64 unix = 1767225600000;
    a.apklausa->NustatytiUnixLaikrodi([&unix] { return unix; });
    a.saltinis = TRaundoSantrauka::TSaltinis::Sarasas;
    TRankinisServeris s;
    QVERIFY(s.Paleisti());
    const bool nesiunciamas = pabaiga == u"not sent"_s;
    const TApklausa::TId id =
        nesiunciamas ? a.Pradeti(TServerioAdresas{s.lizdas.localAddress().toString(), 0}) : a.Pradeti(s);
    const qint64 isejo = unix;
    unix += 777; // the record keeps the time the round went out
    if (nesiunciamas) {
        QTRY_COMPARE_WITH_TIMEOUT(a.nepavyko, QList<TApklausa::TId>{id}, 5000);
        QVERIFY(a.santraukos.isEmpty());
        a.apklausa->Baigti(id); // as the windows do
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(s.gauta.size(), 3, 5000);
        TDetales d;
        d.Info.Pavadinimas = "Dust 24/7";
        d.Info.Zemelapis = "de_dust2";
        d.Zaidejai = 19;
        d.MaxZaideju = 20;
        a.laikas += 40;
        qsizetype laukiama = 0;
        if (pingas) {
            s.Siusti(KurtiPingoAtsakyma());
            ++laukiama;
        }
        if (zaidejai) {
            s.Siusti(
                KurtiZaidejuAtsakyma({KurtiZaidejoInfo(1, "Alice", 3, 60.0f), KurtiZaidejoInfo(2, "Bob", 0, 5.0f)}));
            ++laukiama;
        }
        if (detales) {
            s.Siusti(KurtiDetaliuAtsakyma(d));
            ++laukiama;
        }
        QTRY_COMPARE_WITH_TIMEOUT(a.atsakymai.size(), laukiama, 5000);
        if (pabaiga == u"time-out"_s)
            a.laikas += TApklausa::kLaukimoRibaMs;
        else if (pabaiga == u"window"_s)
            a.apklausa->Baigti(id);
        else if (pabaiga == u"new round"_s)
            a.Pradeti(s);
    }
    QTRY_COMPARE_WITH_TIMEOUT(a.santraukos.size(), 1, 5000);
    // Reported after the window heard the round's end, when it hears one.
    if (pabaiga == u"answered"_s || pabaiga == u"time-out"_s)
        QCOMPARE(a.ivykiai, (QStringList{u"baigtas"_s, u"santrauka"_s}));
    else
        QCOMPARE(a.ivykiai, QStringList{u"santrauka"_s});

    TRaundoSantrauka tiketina;
    tiketina.Saltinis = TRaundoSantrauka::TSaltinis::Sarasas;
    tiketina.Serveris =
        s.lizdas.localAddress().toString() + u':' + (nesiunciamas ? u"0"_s : QString::number(s.lizdas.localPort()));
    tiketina.LaikasMs = isejo;
    if (pingas)
        tiketina.PingoMs = 40;
    if (detales) {
        tiketina.Zaidejai = 19;
        tiketina.MaxZaideju = 20;
        tiketina.Pavadinimas = "Dust 24/7";
        tiketina.Zemelapis = "de_dust2";
        tiketina.Protokolas = TDetales{}.Protokolas;
    }
    if (zaidejai) {
        tiketina.Vardai = QList<QByteArray>{"Alice", "Bob"};
        tiketina.Laikai = {60.0f, 5.0f};
    }
    QCOMPARE(a.santraukos.at(0), tiketina);
    // Once only: the round is gone, whatever comes later.
    if (pabaiga == u"new round"_s)
        QTRY_COMPARE_WITH_TIMEOUT(s.gauta.size(), 6, 5000); // the new round went out
    if (!nesiunciamas)
        s.Siusti(KurtiPingoAtsakyma());
    a.laikas += TApklausa::kLaukimoRibaMs;
    if (pabaiga == u"new round"_s)
        QTRY_COMPARE_WITH_TIMEOUT(a.santraukos.size(), 2, 5000); // the new round's own, at its time-out
    else
        QTest::qWait(3 * TApklausa::kDidziausiasMiegasMs);
    QCOMPARE(a.santraukos.size(), pabaiga == u"new round"_s ? 2 : 1);
}

void TstApklausa::santraukaTikIsejusiu() {
    // A round ended while it still waited in the queue never went out: no record.
    TAplinka a(kSarasoPrasymai);
    std::vector<std::unique_ptr<TRankinisServeris>> serveriai;
    QList<TApklausa::TId> ids;
    for (int i = 0; i <= TApklausa::kDaugiausiaVienuMetu; ++i) {
        serveriai.push_back(std::make_unique<TRankinisServeris>());
        QVERIFY(serveriai.back()->Paleisti());
        ids.append(a.Pradeti(*serveriai.back()));
    }
    QTRY_COMPARE_WITH_TIMEOUT(a.apklausa->Vykdomi(), TApklausa::kDaugiausiaVienuMetu, 5000);
    QCOMPARE(a.apklausa->Eileje(), 1);
    a.apklausa->Baigti(ids.last());
    a.apklausa->Baigti(ids.first());
    QTRY_COMPARE_WITH_TIMEOUT(a.santraukos.size(), 1, 5000);
    QCOMPARE(a.santraukos.at(0).Serveris, serveriai.front()->Adresas());
    a.apklausa->BaigtiVisus();
    QTRY_COMPARE_WITH_TIMEOUT(a.santraukos.size(), TApklausa::kDaugiausiaVienuMetu, 5000);
    QTest::qWait(3 * TApklausa::kDidziausiasMiegasMs);
    QCOMPARE(a.santraukos.size(), TApklausa::kDaugiausiaVienuMetu);
    for (const TRaundoSantrauka& r : std::as_const(a.santraukos))
        QVERIFY(r.Serveris != serveriai.back()->Adresas());
}

QTEST_GUILESS_MAIN(TstApklausa)
#include "tst_apklausa.moc"
