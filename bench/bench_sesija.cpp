// Round start to a full scoreboard (round trip, players, info decoded) through
// the poller, against a modern test server on loopback that sends every
// reply 40 ms late. Times are real milliseconds per round (manual time).
//   known server, challenge known: A2S_INFO and A2S_PLAYER with the
//     challenge go out at once: one trip (target 2 x 40 + 10 ms)
//   A2S server, challenge not known: the players request is answered with a
//     challenge first: two trips
//   first round ever: the legacy words, the 'j', the fall-back to A2S at
//     2 x round trip + 250 ms, then the challenge
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include "SesijosVairuotojas.h"
#include "TestinisServeris.h"
#include "TurinioFailas.h"

namespace {

constexpr int kDelsa = 40;

struct TAplinka {
    TTestinisServeris serveris;
    TAplinka() {
        serveris.NustatytiTurini(DemonstracinisTurinys());
        TServerioElgsena e;
        e.Rezimas = TServerioRezimas::Modernus;
        e.DelsaMs = kDelsa;
        serveris.NustatytiElgsena(e);
        serveris.Paleisti();
    }
};

// 0: challenge known; 1: A2S server, challenge not known; 2: first round ever.
void Raundas(benchmark::State& state, int atvejis) {
    TAplinka a;
    TServeriuRegistras registras;
    TSesijosVairuotojas v(kStebetojoPrasymai, &registras, QHostAddress(QHostAddress::LocalHost),
                          a.serveris.Prievadas());
    v.PradetiRaunda(); // learns the dialect and the challenge
    if (!v.Laukti([&] { return v.ArLentaPilna(); }, 5000)) {
        state.SkipWithError("the warm-up round did not fill the scoreboard");
        return;
    }
    for (auto _ : state) {
        if (atvejis == 1) {
            TServerioZinios z = registras.Zinios(v.Serveris());
            z.Issukis.reset();
            registras.Nustatyti(v.Serveris(), z);
        } else if (atvejis == 2) {
            registras.Isvalyti();
        }
        v.PradetiRaunda();
        if (!v.Laukti([&] { return v.PilnaPoMs >= 0; }, 5000)) {
            state.SkipWithError("the scoreboard did not fill");
            return;
        }
        state.SetIterationTime(double(v.PilnaPoMs) / 1000.0);
        // Let the round's late datagrams pass before the next one starts.
        v.Laukti([] { return false; }, 2 * kDelsa);
        v.Baigti();
    }
}

void BM_PilnaLenta_IssukisZinomas(benchmark::State& state) {
    Raundas(state, 0);
}
void BM_PilnaLenta_IssukisNezinomas(benchmark::State& state) {
    Raundas(state, 1);
}
void BM_PilnaLenta_PirmasRaundas(benchmark::State& state) {
    Raundas(state, 2);
}

} // namespace

BENCHMARK(BM_PilnaLenta_IssukisZinomas)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_PilnaLenta_IssukisNezinomas)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_PilnaLenta_PirmasRaundas)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

int main(int argc, char** argv) {
    QCoreApplication programa(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
