// Decoding speed of the three list replies.
#include <benchmark/benchmark.h>

#include "AtsakymuKurejas.h"
#include "cstrike.h"

namespace {

QByteArray Zaidejai32() {
    TZaidejai z;
    for (int i = 0; i < 32; ++i)
        z.append(KurtiZaidejoInfo(quint8(i + 1), "Player name " + QByteArray::number(i), i * 3 - 10, 60.5f * i));
    return KurtiZaidejuAtsakyma(z);
}

QByteArray DetalesSuModu() {
    TDetales d;
    d.Info = {"203.0.113.17:27015", "A fairly long server name | 24/7 de_dust2 | fast download", "de_dust2", "cstrike",
              "Counter-Strike"};
    d.Zaidejai = 31;
    d.MaxZaideju = 32;
    d.Protokolas = 47;
    d.ServerioTipas = 'd';
    d.OS = 'l';
    d.ArModas = 1;
    d.MOD = {"www.counter-strike.net", "ftp.example.org/cstrike", ""};
    d.MODVersija = 1;
    d.MODDydis = 184000000;
    d.SavasDLL = 1;
    d.Saugus = 1;
    return KurtiDetaliuAtsakyma(d);
}

QByteArray Taisykles300() {
    TTaisykles t;
    for (int i = 0; i < 300; ++i)
        t.append({"sv_rule_" + QByteArray::number(i), QByteArray::number(i * 17)});
    return KurtiTaisykliuAtsakyma(t);
}

template <typename F> void Dekoduoti(benchmark::State& state, const QByteArray& datagrama, F skaitytojas) {
    for (auto _ : state) {
        TAtminiesSrautas s(datagrama);
        SkaitytiAntraste(s);
        auto rezultatas = skaitytojas(s);
        benchmark::DoNotOptimize(rezultatas);
    }
    state.SetBytesProcessed(state.iterations() * datagrama.size());
}

void BM_Zaidejai32(benchmark::State& state) {
    Dekoduoti(state, Zaidejai32(), SkaitytiZaidejus);
}
void BM_DetalesSuModu(benchmark::State& state) {
    Dekoduoti(state, DetalesSuModu(), SkaitytiDetales);
}
void BM_Taisykles300(benchmark::State& state) {
    Dekoduoti(state, Taisykles300(), SkaitytiTaisykles);
}

} // namespace

BENCHMARK(BM_Zaidejai32);
BENCHMARK(BM_DetalesSuModu);
BENCHMARK(BM_Taisykles300);
BENCHMARK_MAIN();
