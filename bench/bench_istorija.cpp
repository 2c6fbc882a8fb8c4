// The history's figures. A database after 30 simulated days of a 50-server
// list polled every 10 s, written as the program writes it (rounds in
// transactions, the old rows thinned every simulated hour): its size, the
// time to read one server's last 24 hours and to draw them. And what a round
// costs the thread that hands it over (the GUI thread), against what writing
// it there would cost.
//
//   bench_istorija [--dienos=N] [benchmark options]   (N simulated days, 30 by default)
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include "IstorijosGrafikas.h"
#include "Istorija.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kServeriai = 50;
constexpr qint64 kZingsnis = 10000;        // each server every 10 s
constexpr qint64 kPradzia = 1767225600000; // 2026-01-01 00:00 UTC
int dienos = 30;

QTemporaryDir* aplankas = nullptr;
QString kelias;
qint64 pabaiga = 0;

QString Serveris(int i) {
    return u"srv%1.example.net:27015"_s.arg(i, 2, 10, QLatin1Char('0'));
}

// A round of server `i` at `t`: players follow the hour of the day, one
// round in a hundred has no reply.
TIstorijosEilute Eilute(int i, qint64 t) {
    TIstorijosEilute e;
    e.Serveris = Serveris(i);
    e.LaikasMs = t + i * 37;
    const quint64 h = quint64(t / kZingsnis) * 2654435761u + quint64(i) * 40503u;
    if (h % 100 == 0)
        return e;
    const double valanda = double(t % (24 * 3600000)) / 3600000.0;
    e.Zaidejai = int(16 + 14 * std::sin((valanda - 9) / 24 * 2 * M_PI) + int(h % 5)) % 33;
    e.MaxZaideju = 32;
    e.PingoMs = 20 + int(h % 60) + i;
    static const char* const zemelapiai[] = {"de_dust2", "de_inferno", "cs_office", "de_nuke", "de_train"};
    e.Zemelapis = QString::fromLatin1(zemelapiai[(t / (30 * 60000) + i) % 5]);
    return e;
}

qint64 FailoDydis() {
    return QFileInfo(kelias).size() + QFileInfo(kelias + u"-wal"_s).size();
}

// Writes the simulated days once, as the history's thread would.
void ParuostiBaze() {
    aplankas = new QTemporaryDir();
    kelias = aplankas->filePath(u"istorija.sqlite"_s);
    QElapsedTimer laikas;
    laikas.start();
    TIstorijosBaze baze(kelias);
    if (!baze.Atidaryti(kPradzia)) {
        std::fprintf(stderr, "%s\n", qPrintable(baze.Klaida()));
        std::exit(1);
    }
    pabaiga = kPradzia + qint64(dienos) * 24 * 3600000;
    qint64 tvarkyta = kPradzia;
    qint64 didziausias = 0;
    QList<TIstorijosEilute> eilutes;
    for (qint64 t = kPradzia; t < pabaiga; t += kZingsnis) {
        eilutes.clear();
        for (int i = 0; i < kServeriai; ++i)
            eilutes.append(Eilute(i, t));
        if (!baze.Irasyti(eilutes)) {
            std::fprintf(stderr, "%s\n", qPrintable(baze.Klaida()));
            std::exit(1);
        }
        if (t - tvarkyta >= kIstorijosTvarkymasMs) {
            baze.Tvarkyti(t);
            tvarkyta = t;
            didziausias = std::max(didziausias, FailoDydis());
            if ((t - kPradzia) % (24 * 3600000) < kIstorijosTvarkymasMs)
                std::fprintf(stderr, "day %lld: %.1f MB\n", (t - kPradzia) / (24 * 3600000),
                             double(FailoDydis()) / 1e6);
        }
    }
    baze.Uzdaryti();
    std::printf("history after %d days of %d servers every %lld s: %.1f MB (largest while writing %.1f MB), "
                "written in %.0f s\n",
                dienos, kServeriai, kZingsnis / 1000, double(FailoDydis()) / 1e6, double(didziausias) / 1e6,
                double(laikas.elapsed()) / 1000.0);
    std::fflush(stdout);
}

void BM_DuomenuBazesDydis(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(FailoDydis());
    state.counters["MB"] = double(FailoDydis()) / 1e6;
    TIstorijosBaze baze(kelias);
    baze.Atidaryti(pabaiga);
    state.counters["rows_of_a_server_24h"] =
        double(baze.Skaityti(Serveris(7), pabaiga - kIstorijosParaMs, pabaiga).size());
    state.counters["rows_of_a_server_30d"] = double(baze.Skaityti(Serveris(7), 0, pabaiga).size());
}

// The start on the history's thread: the file checked, old rows pruned and thinned.
void BM_Atidarymas(benchmark::State& state) {
    for (auto _ : state) {
        TIstorijosBaze baze(kelias);
        if (!baze.Atidaryti(pabaiga))
            state.SkipWithError(qPrintable(baze.Klaida()));
    }
}

// One server's day from the file, as the details window asks for it.
void BM_ParosSkaitymas(benchmark::State& state) {
    TIstorijosBaze baze(kelias);
    baze.Atidaryti(pabaiga);
    qsizetype kiek = 0;
    for (auto _ : state) {
        const TIstorijosTaskai taskai = baze.Skaityti(Serveris(23), pabaiga - kIstorijosParaMs, pabaiga);
        kiek = taskai.size();
        benchmark::DoNotOptimize(taskai.constData());
    }
    state.counters["rows"] = double(kiek);
}

// The day read and drawn: the plot's data set and the whole chart painted.
void BM_Grafikas24h(benchmark::State& state) {
    TIstorijosBaze baze(kelias);
    baze.Atidaryti(pabaiga);
    TIstorijosGrafikas grafikas;
    grafikas.resize(int(state.range(0)), int(state.range(1)));
    QImage vaizdas(grafikas.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        grafikas.NustatytiDuomenis(baze.Skaityti(Serveris(23), pabaiga - kIstorijosParaMs, pabaiga), pabaiga);
        QPainter p(&vaizdas);
        grafikas.Nupiesti(p);
    }
}

// Only the drawing, from data already read.
void BM_GrafikoPiesimas(benchmark::State& state) {
    TIstorijosBaze baze(kelias);
    baze.Atidaryti(pabaiga);
    const TIstorijosTaskai taskai = baze.Skaityti(Serveris(23), pabaiga - kIstorijosParaMs, pabaiga);
    TIstorijosGrafikas grafikas;
    grafikas.resize(320, 90);
    QImage vaizdas(grafikas.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        grafikas.NustatytiDuomenis(taskai, pabaiga);
        QPainter p(&vaizdas);
        grafikas.Nupiesti(p);
    }
}

TRaundoSantrauka Raundas(int i, qint64 t) {
    TRaundoSantrauka r;
    r.Saltinis = TRaundoSantrauka::TSaltinis::Sarasas;
    r.Serveris = Serveris(i % kServeriai);
    r.LaikasMs = t;
    r.PingoMs = 40;
    r.Zaidejai = 12;
    r.MaxZaideju = 32;
    r.Pavadinimas = "A server of the list";
    r.Zemelapis = "de_dust2";
    r.Vardai = QList<QByteArray>{"Alice", "Bob", "Carol"};
    return r;
}

// What TIstorija::Irasyti costs the GUI thread per round: the mean, and the
// 99th and 99.9th percentiles and the slowest call (on a busy machine the
// slowest calls are the system's scheduling rather than the call's own work).
void BM_RaundasGUIGijai(benchmark::State& state) {
    QTemporaryDir a;
    TIstorija istorija(a.filePath(u"istorija.sqlite"_s));
    qint64 t = QDateTime::currentMSecsSinceEpoch();
    std::vector<double> trukmes;
    trukmes.reserve(size_t(state.max_iterations));
    int i = 0;
    for (auto _ : state) {
        const auto pradzia = std::chrono::steady_clock::now();
        istorija.Irasyti(Raundas(++i, ++t));
        trukmes.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - pradzia).count());
    }
    std::sort(trukmes.begin(), trukmes.end());
    const auto dalis = [&trukmes](double p) {
        return trukmes.at(size_t(p * double(trukmes.size() - 1)));
    };
    state.counters["p50_us"] = dalis(0.5);
    state.counters["p99_us"] = dalis(0.99);
    state.counters["p999_us"] = dalis(0.999);
    state.counters["max_us"] = trukmes.back();
}

// The same round written on the calling thread, one transaction each: what the
// history's thread pays per round, and what the GUI thread would without it.
void BM_RaundasTiesiogiai(benchmark::State& state) {
    QTemporaryDir a;
    TIstorijosBaze baze(a.filePath(u"istorija.sqlite"_s));
    baze.Atidaryti(QDateTime::currentMSecsSinceEpoch());
    qint64 t = QDateTime::currentMSecsSinceEpoch();
    int i = 0;
    for (auto _ : state)
        baze.Irasyti({IstorijosEilute(Raundas(++i, ++t))});
}

} // namespace

BENCHMARK(BM_DuomenuBazesDydis)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Atidarymas)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParosSkaitymas)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Grafikas24h)->Args({250, 60})->Args({320, 90})->Args({700, 160})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GrafikoPiesimas)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RaundasGUIGijai)->Iterations(20000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RaundasTiesiogiai)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--dienos=", 9) == 0) {
            dienos = std::atoi(argv[i] + 9);
            std::memmove(argv + i, argv + i + 1, sizeof(char*) * (argc - i));
            --argc;
            --i;
        }
    }
    QApplication programa(argc, argv);
    benchmark::Initialize(&argc, argv);
    ParuostiBaze();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete aplankas;
    return 0;
}
