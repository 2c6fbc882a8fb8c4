// The server browser at scale, against QStat on the same servers in the same run.
//   BM_Pingai        N test servers of today (VELMORANT_NARSYKLE_SERVERIAI, 5000
//                    by default) answering 40 ms late, every tenth silent, in a
//                    process of their own; the browser's rows pinged at the
//                    fastest setting. live_ms: until every live row has its
//                    ping; players_ms: until every live row has its players;
//                    stall_ms: the GUI thread's longest wait for a 1 ms
//                    timer meanwhile; answered: rows with a ping.
//   BM_ZaidejuAtmintis  resident memory of 5,000 rows' players (the test
//                    servers', and the most a row keeps).
//   BM_Greitis       the default pace (5,000 a minute) over 12 s: rate_ratio is
//                    the pings sent against the pace's.
//   BM_QStat         quakestat -a2s over the same servers: live_ms the arrival
//                    of its last live line, whole_ms its whole run.
//   BM_Sarasas       a 10,000-server reply of the Web API, from its last byte
//                    to the rows shown and sorted by ping in the table;
//                    rss_mb: resident memory the rows added.
//   BM_Filtras       one keystroke in the filter over those 10,000 rows.
//   BM_Bendruomene   a community list of 10,000 servers over HTTP from the test
//                    server, asked and shown in the table: whole_ms from the
//                    request (the last byte is in it) to the rows shown;
//                    stall_ms: the GUI thread's longest wait meanwhile.
//   BM_Priesiskas    a hostile list: 30,000 entries and 4 MB of comments after
//                    them; stall_ms while it is read and cut.
//   BM_Masteris      5,000 servers from the test server's GoldSrc master in 22
//                    pages, each answered 20 ms late: whole_ms, and beyond_ms
//                    past the master's own 22 x 20 ms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include "Bendruomene.h"
#include "Centras.h"
#include "Matavimai.h"
#include "InternetoSarasas.h"
#include "Masteris.h"
#include "Narsykle.h"

using namespace Qt::StringLiterals;

namespace {

QList<TInternetoServeris> eilutes; // the test servers' rows
QList<quint16> prievadai;
QString qstatSarasas;

int Gyvi() {
    int n = 0;
    for (int i = 0; i < eilutes.size(); ++i)
        n += IvairusTylus(i) ? 0 : 1;
    return n;
}

// The browser's table over `modelis`, sorted by ping and shown.
void RodytiLentele(QTableView& lentele, QAbstractItemModel* modelis) {
    lentele.setModel(modelis);
    lentele.setSortingEnabled(true);
    lentele.sortByColumn(TNarsyklesModelis::Pingas, Qt::AscendingOrder);
    lentele.resize(760, 400);
    lentele.show();
    QCoreApplication::processEvents();
}

// The GUI thread's longest wait for a 1 ms timer since it was made.
struct TStabdymas {
    TStabdymas() {
        tarpas.start();
        QObject::connect(&tiksejimas, &QTimer::timeout, &tiksejimas,
                         [this] { Ilgiausias = qMax(Ilgiausias, tarpas.restart()); });
        tiksejimas.start(1);
    }
    qint64 Ilgiausias = 0;
    QElapsedTimer tarpas;
    QTimer tiksejimas;
};

void BM_Pingai(benchmark::State& state) {
    qint64 gyvi = -1, suZaidejais = -1, stabdymas = 0;
    int atsake = 0;
    for (auto _ : state) {
        TCentras centras(0);
        TNarsyklesModelis modelis;
        TNarsyklesApklausa pingai(&centras, &modelis);
        modelis.NustatytiServerius(eilutes);
        pingai.NustatytiGreiti(int(state.range(0)));
        const int laukiama = Gyvi();
        QElapsedTimer laikas;
        QSet<int> suPingu, zaidejai;
        QObject::connect(&modelis, &QAbstractItemModel::dataChanged, &modelis, [&](const QModelIndex& i) {
            const TNarsyklesEilute& e = modelis.Eilute(i.row());
            if (gyvi < 0 && e.PingoMs) {
                suPingu.insert(i.row());
                if (suPingu.size() >= laukiama)
                    gyvi = laikas.elapsed();
            }
            if (suZaidejais < 0 && e.Zaidejai) {
                zaidejai.insert(i.row());
                if (zaidejai.size() >= laukiama)
                    suZaidejais = laikas.elapsed();
            }
        });
        laikas.start();
        const TStabdymas stabdis;
        pingai.Pradeti();
        while ((gyvi < 0 || suZaidejais < 0) && laikas.elapsed() < 600000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        stabdymas = stabdis.Ilgiausias;
        atsake = int(suPingu.size());
        state.SetIterationTime(double(gyvi) / 1000.0);
    }
    state.counters["live_ms"] = double(gyvi);
    state.counters["players_ms"] = double(suZaidejais);
    state.counters["stall_ms"] = double(stabdymas);
    state.counters["answered"] = atsake;
}

// 5,000 rows with their players, against the same rows without: the test
// servers' players (rss_mb), and the most a row keeps, 64 names of 32
// characters (rss_max_mb).
void BM_ZaidejuAtmintis(benchmark::State& state) {
    double tikri = 0, daugiausia = 0;
    for (auto _ : state) {
        for (const bool maks : {false, true}) {
            TNarsyklesModelis modelis;
            QList<TInternetoServeris> eil;
            for (int i = 0; i < 5000; ++i) {
                TInternetoServeris s;
                s.Adresas = {u"10.0.%1.%2"_s.arg(i / 256).arg(i % 256), 27015};
                eil.append(s);
            }
            modelis.NustatytiServerius(eil);
            const double pries = RezidentineAtmintisMb();
            for (int i = 0; i < 5000; ++i) {
                QStringList vardai;
                if (maks)
                    for (int k = 0; k < TNarsyklesEilute::kZaidejuRiba; ++k)
                        vardai.append(QString(TNarsyklesEilute::kVardoRiba - 3, QChar(u'a' + k % 26)) +
                                      QString::number(i % 1000).rightJustified(3, u'0'));
                else
                    for (const TZaidejoInfo& z : IvairusTurinys(i).Zaidejai)
                        vardai.append(QString::fromUtf8(z.Zaidejas.Vardas));
                modelis.Keisti(i, [&vardai](TNarsyklesEilute& e) {
                    e.Zaidejai = vardai.join(u'\n');
                    e.Zaidejai->squeeze();
                });
            }
            (maks ? daugiausia : tikri) = RezidentineAtmintisMb() - pries;
        }
        state.SetIterationTime(1e-3);
    }
    state.counters["rss_mb"] = tikri;
    state.counters["rss_max_mb"] = daugiausia;
}

void BM_Greitis(benchmark::State& state) {
    constexpr int kTrukme = 12000;
    double santykis = 0;
    for (auto _ : state) {
        TCentras centras(0);
        TNarsyklesModelis modelis;
        TNarsyklesApklausa pingai(&centras, &modelis);
        modelis.NustatytiServerius(eilutes);
        pingai.NustatytiGreiti(TNarsyklesApklausa::kNumatytasGreitis);
        QElapsedTimer laikas;
        laikas.start();
        pingai.Pradeti();
        QTimer budinti;
        budinti.start(50);
        while (laikas.elapsed() < kTrukme)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const double tiketina = 1.0 + double(laikas.elapsed()) * TNarsyklesApklausa::kNumatytasGreitis / 60000.0;
        santykis = pingai.Issiusta() / tiketina;
        state.SetIterationTime(double(laikas.elapsed()) / 1000.0);
    }
    state.counters["rate_ratio"] = santykis;
}

void BM_QStat(benchmark::State& state) {
    const TQStatBegimas r = MatuotiQStat(state, qstatSarasas, ",Velmorant test #", Gyvi(), 600000);
    if (!r.Yra)
        return;
    state.counters["live_ms"] = double(r.Gyvi);
    state.counters["whole_ms"] = double(r.Visas);
    state.counters["answered"] = r.Atsake;
}

// `kiek` servers of varied content at 10.x.y.z:27015, listed only: nothing asks them.
QList<TSarasoIrasas> Irasai(int kiek) {
    QList<TSarasoIrasas> irasai;
    for (int i = 0; i < kiek; ++i)
        irasai.append(
            {u"10.%1.%2.%3:27015"_s.arg(i / 65536).arg(i / 256 % 256).arg(i % 256), 27015, IvairusTurinys(i)});
    return irasai;
}

QByteArray DesimtTukstanciu() {
    TTestinisSarasas api;
    api.NustatytiIrasus(Irasai(10000));
    return api.Atsakymas(u"\\appid\\10"_s, 20000);
}

void BM_Sarasas(benchmark::State& state) {
    const QByteArray atsakymas = DesimtTukstanciu();
    double atmintis = -1;
    for (auto _ : state) {
        const double pries = RezidentineAtmintisMb();
        auto modelis = std::make_unique<TNarsyklesModelis>();
        TNarsyklesFiltras filtras(modelis.get());
        QTableView lentele;
        RodytiLentele(lentele, &filtras);
        QElapsedTimer laikas;
        laikas.start();
        const TSarasoRezultatas r = SkaitytiSarasa(atsakymas, 20000);
        modelis->NustatytiServerius(r.Serveriai);
        lentele.repaint();
        state.SetIterationTime(double(laikas.nsecsElapsed()) / 1e9);
        // The first time only: later ones reuse what the first one freed.
        if (atmintis < 0)
            atmintis = RezidentineAtmintisMb() - pries;
        if (filtras.rowCount() != 10000)
            state.SkipWithError("not every row shown");
    }
    state.counters["rss_mb"] = atmintis;
}

void BM_Filtras(benchmark::State& state) {
    const TSarasoRezultatas r = SkaitytiSarasa(DesimtTukstanciu(), 20000);
    TNarsyklesModelis modelis;
    TNarsyklesFiltras filtras(&modelis);
    filtras.sort(TNarsyklesModelis::Pingas);
    modelis.NustatytiServerius(r.Serveriai);
    const QStringList zingsniai{u"d"_s, u"de"_s, u"de_"_s, u"de_d"_s, u"de_du"_s, u"de_dus"_s, u"de_dust"_s};
    int i = 0;
    for (auto _ : state) {
        TNarsyklesSalygos s;
        s.Tekstas = zingsniai.at(i++ % zingsniai.size());
        QElapsedTimer laikas;
        laikas.start();
        filtras.NustatytiSalygas(s);
        state.SetIterationTime(double(laikas.nsecsElapsed()) / 1e9);
    }
}

// Asks `saltinis` anew (a new asker: the once-a-minute rule holds per asker)
// and shows the rows in a table; the whole time and the longest stall.
std::pair<qint64, qint64> Paklausti(const TSaltinis& saltinis, int* kiek) {
    QNetworkAccessManager tinklas;
    TBendruomenesSarasas sarasas(&tinklas);
    TNarsyklesModelis modelis;
    TNarsyklesFiltras filtras(&modelis);
    QTableView lentele;
    RodytiLentele(lentele, &filtras);
    qint64 visas = -1;
    QElapsedTimer laikas;
    QObject::connect(&sarasas, &TBendruomenesSarasas::Baigta, &lentele, [&](const TBendruomenesRezultatas& r) {
        modelis.NustatytiServerius(r.Serveriai);
        lentele.repaint();
        visas = laikas.elapsed();
        *kiek = int(r.Serveriai.size());
    });
    laikas.start();
    const TStabdymas stabdis;
    sarasas.Prasyti({saltinis}, TSarasoFiltras{});
    while (visas < 0 && laikas.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return {visas, stabdis.Ilgiausias};
}

QByteArray Eilutes(int kiek) {
    QByteArray tekstas = "# a community list\n";
    for (int i = 0; i < kiek; ++i)
        tekstas += "gs 10." + QByteArray::number(i / 65536) + '.' + QByteArray::number(i / 256 % 256) + '.' +
                   QByteArray::number(i % 256) + ":27015\n";
    return tekstas;
}

void BendruomenesSarasas(benchmark::State& state, const QByteArray& tekstas, int laukiama) {
    TTestinisSarasas api;
    api.NustatytiBendruomenesTeksta(tekstas);
    if (!api.Paleisti(QHostAddress::LocalHost, 0, u"key"_s)) {
        state.SkipWithError("the test server's HTTP server did not start");
        return;
    }
    const TSaltinis saltinis{TSaltinis::TRusis::Statinis, u"http://127.0.0.1:%1"_s.arg(api.Prievadas())};
    std::pair<qint64, qint64> r;
    for (auto _ : state) {
        int kiek = 0;
        r = Paklausti(saltinis, &kiek);
        if (kiek != laukiama)
            state.SkipWithError("not every server shown");
        state.SetIterationTime(double(r.first) / 1000.0);
    }
    state.counters["whole_ms"] = double(r.first);
    state.counters["stall_ms"] = double(r.second);
}

void BM_Bendruomene(benchmark::State& state) {
    BendruomenesSarasas(state, Eilutes(10000), 10000);
}

void BM_Priesiskas(benchmark::State& state) {
    BendruomenesSarasas(state, Eilutes(30000) + "# " + QByteArray(TBendruomenesSarasas::kDidziausiasAtsakymas, 'x'),
                        kDaugiausiaEiluciu);
}

void BM_Masteris(benchmark::State& state) {
    constexpr int kDelsa = 20;
    TTestinisMasteris masteris;
    masteris.NustatytiIrasus(Irasai(5000));
    TMasterioElgsena elgsena;
    elgsena.DelsaMs = kDelsa;
    masteris.NustatytiElgsena(elgsena);
    if (!masteris.Paleisti(QHostAddress::LocalHost, 0)) {
        state.SkipWithError("the test master did not start");
        return;
    }
    const TSaltinis saltinis{TSaltinis::TRusis::GoldSrc, u"127.0.0.1:%1"_s.arg(masteris.Prievadas())};
    std::pair<qint64, qint64> r;
    int puslapiai = 0;
    for (auto _ : state) {
        const int pries = masteris.Uzklausos();
        int kiek = 0;
        r = Paklausti(saltinis, &kiek);
        puslapiai = masteris.Uzklausos() - pries;
        if (kiek != 5000)
            state.SkipWithError("not every server listed");
        state.SetIterationTime(double(r.first) / 1000.0);
    }
    state.counters["whole_ms"] = double(r.first);
    state.counters["beyond_ms"] = double(r.first - qint64(puslapiai) * kDelsa);
    state.counters["pages"] = puslapiai;
    state.counters["stall_ms"] = double(r.second);
}

} // namespace

BENCHMARK(BM_ZaidejuAtmintis)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bendruomene)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Priesiskas)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Masteris)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sarasas)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Filtras)->Iterations(70)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pingai)->Arg(0)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Greitis)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QStat)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication programa(argc, argv);
    const int kiekis = qEnvironmentVariableIsSet("VELMORANT_NARSYKLE_SERVERIAI")
                           ? qEnvironmentVariableIntValue("VELMORANT_NARSYKLE_SERVERIAI")
                           : 5000;
    // The servers in a process of their own, so that their work is not the GUI thread's.
    QProcess serveriai;
    serveriai.start(QStringLiteral(VELMORANT_TESTSERVER),
                    {u"--port"_s, u"0"_s, u"--count"_s, QString::number(kiekis), u"--mode"_s, u"modern"_s, u"--delay"_s,
                     u"40"_s, u"--quiet"_s});
    QByteArray isvestis;
    QElapsedTimer laikas;
    laikas.start();
    while (isvestis.count('\n') < kiekis && laikas.elapsed() < 60000 && serveriai.waitForReadyRead(5000))
        isvestis += serveriai.readAllStandardOutput();
    QByteArray qstatFailas;
    int i = 0;
    for (const QByteArray& eilute : isvestis.split('\n')) {
        if (!eilute.startsWith("PORT "))
            continue;
        const quint16 portas = quint16(eilute.mid(5).toUInt());
        TInternetoServeris s;
        s.Adresas = {u"127.0.0.1"_s, portas};
        s.Vardas = u"listed"_s;
        eilutes.append(s);
        qstatFailas += "A2S 127.0.0.1:" + QByteArray::number(portas) + "\n";
        ++i;
    }
    if (eilutes.size() != kiekis) {
        std::fprintf(stderr, "the test servers did not start (%lld of %d)\n", qlonglong(eilutes.size()), kiekis);
        return 1;
    }
    QTemporaryDir aplankas;
    qstatSarasas = aplankas.filePath(u"qstat.txt"_s);
    QFile q(qstatSarasas);
    if (!q.open(QIODevice::WriteOnly) || q.write(qstatFailas) != qstatFailas.size())
        return 1;
    q.close();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    serveriai.terminate();
    serveriai.waitForFinished(5000);
    return 0;
}
