// The server list over 50 local servers of today that answer 40 ms late, 5 of
// them silent, against QStat (quakestat -a2s, as Debian ships it) asking the
// same servers in the same run. Real milliseconds from the start of a walk:
//   BM_SarasoApejimas/1   the first walk, nothing known of the servers yet
//   BM_SarasoApejimas/2   the next walk, their dialects and challenges known
//   BM_QStat              one quakestat run over the same servers
// Counters: live_ms (the last live server's reply shown), dead_ms (the last
// silent row's time-out, the program's 5 s), filled (live rows with a reply).
// QStat's live_ms is the arrival of its last live line (its output is line
// buffered through stdbuf), dead_ms its whole run (its retries of the silent
// ones), both counted from the start of its process.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <memory>
#include <vector>

#include "Apklausa.h"
#include "Centras.h"
#include "Matavimai.h"
#include "Modulis1.h"
#include "Modulis2.h"
#include "Pranesimai.h"
#include "Langai.h"
#include "Programa.h"
#include "TestinisServeris.h"
#include "Tinklelis.h"
#include "Valdikliai.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kServeriai = 50;
constexpr int kDelsa = 40;

std::vector<std::unique_ptr<TTestinisServeris>> serveriai;
QString qstatSarasas;
int pranesimai = 0;

bool ArTylus(int i) {
    return i % 10 == 4; // rows 5, 15, 25, 35, 45
}

struct TApejimas {
    qint64 gyvi = -1;   // the last live reply shown
    qint64 negyvi = -1; // the last silent row's time-out
    int uzpildyta = 0;
};

TApejimas Apeiti(bool pirmas) {
    auto* apklausa = ProgramosCentras()->Apklausa();
    TApejimas r;
    int baigti = 0;
    QElapsedTimer laikas;
    QObject kontekstas;
    // Every round's record, as it ends: a live row's with its details (the
    // list's round ends with them), a silent row's at its time-out.
    QObject::connect(apklausa, &TApklausa::RaundasBaigtas, &kontekstas, [&](const TRaundoSantrauka& s) {
        if (s.Saltinis != TRaundoSantrauka::TSaltinis::Sarasas)
            return;
        if (s.MaxZaideju && ++r.uzpildyta == kServeriai - 5)
            r.gyvi = laikas.elapsed();
        if (!s.PingoMs && ++baigti == 5)
            r.negyvi = laikas.elapsed();
    });
    laikas.start();
    if (pirmas)
        frmServeriai()->show(); // reads the list and starts the walk
    else
        QMetaObject::invokeMethod(frmServeriai(), "tmrAtnaujinimasServeriaiTimer");
    while (!frmServeriai()->property("ArPabaiga").toBool() && laikas.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return r;
}

void BM_SarasoApejimas(benchmark::State& state) {
    // A period longer than the walks: only the benchmark starts them.
    frmServeriai()->NustatytiPerioda(600000);
    TApejimas r;
    for (auto _ : state) {
        r = Apeiti(true);
        if (state.range(0) == 2)
            r = Apeiti(false);
        state.SetIterationTime(double(r.gyvi) / 1000.0);
        frmServeriai()->hide();
        ProgramosCentras()->Registras().Isvalyti();
        ProgramosCentras()->Biudzetas().Isvalyti();
    }
    state.counters["live_ms"] = double(r.gyvi);
    state.counters["dead_ms"] = double(r.negyvi);
    state.counters["filled"] = r.uzpildyta;
    state.counters["boxes"] = pranesimai;
}

void BM_QStat(benchmark::State& state) {
    const TQStatBegimas r = MatuotiQStat(state, qstatSarasas, ",Bench ", kServeriai - 5, 60000);
    if (!r.Yra)
        return;
    state.counters["live_ms"] = double(r.Gyvi);
    state.counters["dead_ms"] = double(r.Visas);
    state.counters["filled"] = r.Atsake;
}

} // namespace

BENCHMARK(BM_SarasoApejimas)->Arg(1)->Arg(2)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QStat)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication programa(argc, argv);
    QTemporaryDir aplankas;
    QDir(aplankas.path()).mkpath(u"resursai"_s);
    QDir::setCurrent(aplankas.path());
    NustatytiPranesimoRodyma([](QWidget*, const QString&) { ++pranesimai; });

    QByteArray sarasas = "Address\r\n";
    QByteArray qstatFailas;
    for (int i = 0; i < kServeriai; ++i) {
        auto s = std::make_unique<TTestinisServeris>();
        if (!s->Paleisti())
            return 1;
        TServerioTurinys t;
        t.Detales.Info.Pavadinimas = "Bench " + QByteArray::number(i + 1);
        t.Detales.Info.Zemelapis = "de_dust2";
        t.Detales.MaxZaideju = 32;
        t.Detales.OS = 'l';
        s->NustatytiTurini(t);
        TServerioElgsena e;
        e.Rezimas = TServerioRezimas::Modernus;
        e.DelsaMs = kDelsa;
        if (ArTylus(i))
            e.Budas = TAtsakymuBudas::Tyla;
        s->NustatytiElgsena(e);
        const QByteArray adresas = "127.0.0.1:" + QByteArray::number(s->Prievadas());
        sarasas += adresas + "\r\n";
        qstatFailas += "A2S " + adresas + "\n";
        serveriai.push_back(std::move(s));
    }
    QFile failas(u"resursai/Serveriai.tyb"_s);
    if (!failas.open(QIODevice::WriteOnly) || failas.write(sarasas) != sarasas.size())
        return 1;
    failas.close();
    qstatSarasas = aplankas.filePath(u"qstat.txt"_s);
    QFile q(qstatSarasas);
    if (!q.open(QIODevice::WriteOnly) || q.write(qstatFailas) != qstatFailas.size())
        return 1;
    q.close();

    SukurtiLangus();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SunaikintiLangus();
    serveriai.clear();
    return 0;
}
