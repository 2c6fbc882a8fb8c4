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
#include <memory>

#include "Apklausa.h"
#include "Modulis1.h"
#include "Pranesimai.h"
#include "Programa.h"
#include "TestinisServeris.h"
#include "TurinioFailas.h"
#include "Valdikliai.h"

using namespace Qt::StringLiterals;

namespace {

template <typename T> T* Valdiklis(const char* vardas) {
    return frmPagrindinis->findChild<T*>(QString::fromLatin1(vardas));
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
        // Per round, the parts whose reply came: round trip, players, details.
        QHash<TApklausa::TId, int> dalys;
        auto* apklausa = frmPagrindinis->findChild<TApklausa*>(u"Apklausa"_s);
        QObject::connect(apklausa, &TApklausa::Atsakymas, &kontekstas,
                         [&dalys](TApklausa::TId id, const TSesijosAtsakymas& a) {
                             int& d = dalys[id];
                             d |= a.PingoMs ? 1 : 0;
                             d |= a.Rusis == TAtsakymoRusis::Zaidejai ? 2 : 0;
                             d |= a.Rusis == TAtsakymoRusis::Detales ? 4 : 0;
                         });
        QObject::connect(Valdiklis<QPushButton>("btnRodyti"), &QPushButton::clicked, &kontekstas,
                         [&paspaudimu] { ++paspaudimu; });
        Stebeti(*s, 1000);
        QElapsedTimer laikas;
        laikas.start();
        while (!ArLentaPilna() && laikas.elapsed() < 10000)
            Laukti(10);
        const QString timeout = frmPagrindinis->Kalba().Tekstas("Pranesimai", "Timeout");
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

} // namespace

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
    frmPagrindinis->show();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SunaikintiLangus();
    return 0;
}
