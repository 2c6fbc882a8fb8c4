// One walk of the server list over 50 local test game servers that all
// answer: the wall time from the window's showing to the last row filled, and
// how much of it is the 200 ms pacing between rows (50 x 200 ms). Counters:
// walk_ms, end_ms (the tick that finds the end of the list), pacing_share,
// step_dev_ms (largest distance of a step from 200 ms), lost (rows left
// without a ping), boxes (message boxes raised).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <memory>
#include <vector>

#include "Modulis1.h"
#include "Modulis2.h"
#include "Pranesimai.h"
#include "Programa.h"
#include "TestinisServeris.h"
#include "Tinklelis.h"
#include "Valdikliai.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kServeriai = 50;
constexpr int kZingsnisMs = 200;

std::vector<std::unique_ptr<TTestinisServeris>> serveriai;
int pranesimai = 0;

int UzpildytosEilutes() {
    int kiek = 0;
    for (int r = 1; r <= kServeriai; ++r) {
        bool skaicius = false;
        frmServeriai->stgServeriai->Langelis(5, r).toInt(&skaicius);
        kiek += skaicius ? 1 : 0;
    }
    return kiek;
}

void BM_SarasoApejimas(benchmark::State& state) {
    // A period longer than the walk: the walk is never restarted midway.
    frmServeriai->tmrAtnaujinimasServeriai->setIntervalas(600000);
    QElapsedTimer laikas;
    std::vector<qint64> uzklausos; // when each server's request arrived
    for (const auto& s : serveriai)
        QObject::connect(s.get(), &TTestinisServeris::UzklausaGauta, s.get(),
                         [&uzklausos, &laikas] { uzklausos.push_back(laikas.elapsed()); });

    double apejimas = 0, pabaiga = 0, nuokrypis = 0, prarasta = 0;
    for (auto _ : state) {
        uzklausos.clear();
        pranesimai = 0;
        laikas.start();
        frmServeriai->show(); // reads the list and starts the walk
        qint64 paskutinis = -1;
        while (!frmServeriai->ArPabaiga && laikas.elapsed() < 60000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            if (paskutinis < 0 && UzpildytosEilutes() == kServeriai)
                paskutinis = laikas.elapsed();
        }
        const qint64 galas = laikas.elapsed();
        state.SetIterationTime(double(paskutinis < 0 ? galas : paskutinis) / 1000.0);
        apejimas += double(paskutinis < 0 ? galas : paskutinis);
        pabaiga += double(galas);
        prarasta += kServeriai - UzpildytosEilutes();
        for (size_t i = 1; i < uzklausos.size(); ++i)
            nuokrypis = qMax(nuokrypis, qAbs(double(uzklausos[i] - uzklausos[i - 1]) - kZingsnisMs));
        frmServeriai->hide();
    }
    const double n = double(state.iterations());
    state.counters["walk_ms"] = apejimas / n;
    state.counters["end_ms"] = pabaiga / n;
    state.counters["pacing_share"] = double(kServeriai * kZingsnisMs) / (apejimas / n);
    state.counters["step_dev_ms"] = nuokrypis;
    state.counters["lost"] = prarasta;
    state.counters["boxes"] = pranesimai;
}

} // namespace

BENCHMARK(BM_SarasoApejimas)->Iterations(2)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication programa(argc, argv);
    QTemporaryDir aplankas;
    QDir(aplankas.path()).mkpath(u"resursai"_s);
    QDir::setCurrent(aplankas.path());
    NustatytiPranesimoRodyma([](QWidget*, const QString&) { ++pranesimai; });

    QByteArray sarasas = "Address\r\n";
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
        sarasas += "127.0.0.1:" + QByteArray::number(s->Prievadas()) + "\r\n";
        serveriai.push_back(std::move(s));
    }
    QFile failas(u"resursai/Serveriai.tyb"_s);
    if (!failas.open(QIODevice::WriteOnly) || failas.write(sarasas) != sarasas.size())
        return 1;
    failas.close();

    SukurtiLangus();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SunaikintiLangus();
    serveriai.clear();
    return 0;
}
