// The watcher on a network that loses datagrams, and what it asks of one
// server, against local test servers on loopback (real time, real sockets).
//
//   BM_Praradimai/<percent>/<dialect>   each datagram, request or reply, lost
//       with that probability (a fixed seed); 200 rounds at a 1 s refresh, the
//       scoreboard looked at every 100 ms. Counters: whole (share of looks
//       with every part shown and the round trip a number), short (rounds
//       that ended before each of their replies came: some part of the
//       scoreboard kept the values of an earlier round), timeouts (rounds that
//       ended in "No reply"; the user's press of the show button then goes
//       on), rounds.
//   BM_DatagramosPerSekunde/<seconds>/<dialect>   the refresh interval from 1
//       to 10 s, 30 s each. Counters: per_s (datagrams the server got a
//       second, on average), max10_per_s (the most in any 10 s, a second),
//       interval_ms (the refresh period in effect).
//   BM_Antpludis   four senders flood the watcher's port for 10 s with small
//       datagrams, as fast as they can, while it watches a server of today at
//       a 1 s refresh. The senders (and the kernel's loopback work they cause)
//       are kept on the second processor and the GUI thread on the first, so
//       that the senders take no time from the GUI thread, as a flood from
//       elsewhere would not. Counters: stall_ms (the longest a 10 ms
//       timer of the GUI thread was late), rss_growth_mb (resident memory
//       after the flood less before it), whole (share of looks, every 100 ms,
//       with the scoreboard whole), flood_per_s (datagrams sent a second),
//       dropped (datagrams the watcher's endpoint dropped unread by anyone).
// dialect: 0 a legacy server, 1 a server of today.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QHash>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>

#include <netinet/in.h>
#include <sched.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QFile>

#include "Apklausa.h"
#include "Centras.h"
#include "Matavimai.h"
#include "Modulis1.h"
#include "NMUDP.h"
#include "Pranesimai.h"
#include "Langai.h"
#include "Programa.h"
#include "TestinisServeris.h"
#include "TurinioFailas.h"
#include "Valdikliai.h"

using namespace Qt::StringLiterals;

namespace {

template <typename T> T* Valdiklis(const char* vardas) {
    return frmPagrindinis()->findChild<T*>(QString::fromLatin1(vardas));
}

std::unique_ptr<TTestinisServeris> Serveris(bool siandienos, double praradimai) {
    auto s = std::make_unique<TTestinisServeris>();
    s->NustatytiTurini(DemonstracinisTurinys());
    TServerioElgsena e;
    e.Rezimas = siandienos ? TServerioRezimas::Modernus : TServerioRezimas::Senas;
    e.DelsaMs = 20;
    e.Praradimai = praradimai;
    e.PraradimuSeklas = 20261209;
    s->NustatytiElgsena(e);
    s->Paleisti();
    return s;
}

void Stebeti(const TTestinisServeris& s, int intervalasMs) {
    Valdiklis<TLaikmatis>("tmrAtnaujinimas")->setIntervalas(intervalasMs);
    Valdiklis<QLineEdit>("edtHostas")->setText(u"127.0.0.1:"_s + QString::number(s.Prievadas()));
    Valdiklis<QPushButton>("btnRodyti")->click();
}

// Runs the event loop for ms milliseconds without spinning.
void Laukti(int ms) {
    QEventLoop ciklas;
    QTimer::singleShot(ms, Qt::PreciseTimer, &ciklas, &QEventLoop::quit);
    ciklas.exec();
}

bool ArLentaPilna() {
    for (const char* l : {"lblServerioPavadinimas", "lblZemelapis", "lblZaidejaiSK", "lblStebetojai"})
        if (Valdiklis<QLabel>(l)->text().isEmpty())
            return false;
    bool skaicius = false;
    Valdiklis<QLabel>("lblPingas1")->text().toInt(&skaicius);
    return skaicius && !Valdiklis<TMemo>("memKomanda1")->Eilutes().isEmpty();
}

void BM_Praradimai(benchmark::State& state) {
    const double p = double(state.range(0)) / 100.0;
    const bool siandienos = state.range(1) != 0;
    double pilnos = 0, ziurejimai = 0, timeoutai = 0, raundai = 0, trumpi = 0;
    for (auto _ : state) {
        auto s = Serveris(siandienos, p);
        int paspaudimu = 0;
        QObject kontekstas;
        // Per round that had a reply, the parts whose reply came: round trip,
        // players, details (its record, as it ends).
        QList<int> dalys;
        auto* apklausa = ProgramosCentras()->Apklausa();
        QObject::connect(apklausa, &TApklausa::RaundasBaigtas, &kontekstas, [&dalys](const TRaundoSantrauka& s) {
            const int d = (s.PingoMs ? 1 : 0) | (s.Vardai ? 2 : 0) | (s.MaxZaideju ? 4 : 0);
            if (d != 0)
                dalys.append(d);
        });
        QObject::connect(Valdiklis<QPushButton>("btnRodyti"), &QPushButton::clicked, &kontekstas,
                         [&paspaudimu] { ++paspaudimu; });
        Stebeti(*s, 1000);
        QElapsedTimer laikas;
        laikas.start();
        while (!ArLentaPilna() && laikas.elapsed() < 10000)
            Laukti(10);
        const QString timeout = frmPagrindinis()->Kalba().Tekstas("Pranesimai", "Timeout");
        while (paspaudimu < 200) {
            Laukti(100);
            ziurejimai += 1;
            pilnos += ArLentaPilna() ? 1 : 0;
            if (Valdiklis<QLabel>("lblPingas1")->text() == timeout) {
                timeoutai += 1;
                Valdiklis<QPushButton>("btnRodyti")->click();
            }
        }
        raundai += paspaudimu;
        for (const int d : std::as_const(dalys))
            trumpi += d != 7 ? 1 : 0;
        Valdiklis<QLineEdit>("edtHostas")->clear();
        Laukti(50);
    }
    state.counters["whole"] = pilnos / qMax(1.0, ziurejimai);
    state.counters["looks"] = ziurejimai;
    state.counters["short"] = trumpi;
    state.counters["timeouts"] = timeoutai;
    state.counters["rounds"] = raundai;
}

void BM_DatagramosPerSekunde(benchmark::State& state) {
    const int intervalas = int(state.range(0)) * 1000;
    const bool siandienos = state.range(1) != 0;
    constexpr int kTrukme = 30000;
    double perSekunde = 0, daugiausia = 0, veikiantis = 0;
    for (auto _ : state) {
        auto s = Serveris(siandienos, 0);
        QList<qint64> atejo;
        QElapsedTimer laikas;
        laikas.start();
        QObject::connect(s.get(), &TTestinisServeris::UzklausaGauta, s.get(),
                         [&atejo, &laikas] { atejo.append(laikas.elapsed()); });
        Stebeti(*s, intervalas);
        Laukti(kTrukme);
        veikiantis = Valdiklis<TLaikmatis>("tmrAtnaujinimas")->interval();
        Valdiklis<QLineEdit>("edtHostas")->clear();
        perSekunde = double(atejo.size()) * 1000.0 / kTrukme;
        daugiausia = 0;
        for (const qint64 nuo : atejo) {
            const auto kiek =
                std::count_if(atejo.begin(), atejo.end(), [nuo](qint64 t) { return t >= nuo && t < nuo + 10000; });
            daugiausia = qMax(daugiausia, double(kiek) / 10.0);
        }
        Laukti(50);
    }
    state.counters["per_s"] = perSekunde;
    state.counters["max10_per_s"] = daugiausia;
    state.counters["interval_ms"] = veikiantis;
}

// Keeps the calling thread on one processor, where the machine has more than
// one (Linux); -1 lets it run anywhere again.
void PrisegtiPrieProcesoriaus(int procesorius) {
    const int kiek = int(std::thread::hardware_concurrency());
    if (kiek < 2)
        return;
    cpu_set_t aibe;
    CPU_ZERO(&aibe);
    for (int i = 0; i < kiek; ++i)
        if (procesorius < 0 || i == procesorius)
            CPU_SET(i, &aibe);
    sched_setaffinity(0, sizeof aibe, &aibe);
}

// One flooding sender: its own socket, small datagrams to 127.0.0.1:portas
// until told to stop; what it sent is added to `issiusta`.
void Plusti(quint16 portas, const std::atomic<bool>& baigti, std::atomic<quint64>& issiusta) {
    PrisegtiPrieProcesoriaus(1);
    const int lizdas = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in kur{};
    kur.sin_family = AF_INET;
    kur.sin_port = htons(portas);
    kur.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const char d[64] = "\xFF\xFF\xFF\xFFmflood";
    quint64 n = 0;
    while (!baigti.load(std::memory_order_relaxed))
        if (::sendto(lizdas, d, sizeof d, 0, reinterpret_cast<const sockaddr*>(&kur), sizeof kur) > 0)
            ++n;
    ::close(lizdas);
    issiusta += n;
}

void BM_Antpludis(benchmark::State& state) {
    constexpr int kTrukme = 10000;
    double velavimas = 0, atmintis = 0, pilnos = 0, ziurejimai = 0, perSekunde = 0, atmesta = 0;
    for (auto _ : state) {
        auto s = Serveris(true, 0);
        Stebeti(*s, 1000);
        QElapsedTimer laikas;
        laikas.start();
        while (!ArLentaPilna() && laikas.elapsed() < 10000)
            Laukti(10);
        const TNMUDP* galas = ProgramosCentras()->Galas();
        const quint64 atmestaPries = galas->Atmesta();
        const double pries = RezidentineAtmintisMb();
        PrisegtiPrieProcesoriaus(0);
        std::atomic<bool> baigti = false;
        std::atomic<quint64> issiusta = 0;
        std::vector<std::thread> siuntejai;
        for (int i = 0; i < 4; ++i)
            siuntejai.emplace_back(Plusti, galas->UzimtasPortas(), std::cref(baigti), std::ref(issiusta));
        QObject kontekstas;
        QTimer tiksejimas;
        tiksejimas.setTimerType(Qt::PreciseTimer);
        qint64 paskutinis = 0;
        velavimas = 0;
        laikas.restart();
        QObject::connect(&tiksejimas, &QTimer::timeout, &kontekstas, [&] {
            const qint64 dabar = laikas.elapsed();
            velavimas = qMax(velavimas, double(dabar - paskutinis - 10));
            paskutinis = dabar;
        });
        tiksejimas.start(10);
        while (laikas.elapsed() < kTrukme) {
            Laukti(100);
            ziurejimai += 1;
            pilnos += ArLentaPilna() ? 1 : 0;
        }
        baigti = true;
        for (std::thread& t : siuntejai)
            t.join();
        PrisegtiPrieProcesoriaus(-1);
        tiksejimas.stop();
        Laukti(200);
        atmintis = RezidentineAtmintisMb() - pries;
        perSekunde = double(issiusta) * 1000.0 / kTrukme;
        atmesta = double(galas->Atmesta() - atmestaPries);
        Valdiklis<QLineEdit>("edtHostas")->clear();
        Laukti(50);
    }
    state.counters["stall_ms"] = velavimas;
    state.counters["rss_growth_mb"] = atmintis;
    state.counters["whole"] = pilnos / qMax(1.0, ziurejimai);
    state.counters["flood_per_s"] = perSekunde;
    state.counters["dropped"] = atmesta;
}

} // namespace

BENCHMARK(BM_Antpludis)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_Praradimai)->ArgsProduct({{1, 5}, {0, 1}})->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_DatagramosPerSekunde)
    ->ArgsProduct({benchmark::CreateDenseRange(1, 10, 1), {0, 1}})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication programa(argc, argv);
    QTemporaryDir aplankas;
    QDir(aplankas.path()).mkpath(u"resursai"_s);
    QDir::setCurrent(aplankas.path());
    NustatytiPranesimoRodyma([](QWidget*, const QString&) {});
    SukurtiLangus();
    frmPagrindinis()->show();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SunaikintiLangus();
    return 0;
}
