// Applying a language to the watcher: its 27 captions and the bottom bar's
// texts, every one read from the language file on disk.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>

#include "ApatineJuosta.h"
#include "Modulis1.h"
#include "Langai.h"
#include "Programa.h"
#include "TybINI.h"

using namespace Qt::StringLiterals;

namespace {

void BM_PritaikytiKalba(benchmark::State& state) {
    frmPagrindinis()
        ->findChild<TTybINI*>(u"TybINI1"_s)
        ->setByla(u"resursai\\Kalbos\\"_s + (state.range(0) ? u"Lietuviu"_s : u"English"_s) + u".lng"_s);
    for (auto _ : state) {
        QMetaObject::invokeMethod(frmPagrindinis(), "PritaikytiKalba");
        frmPagrindinis()->findChild<TApatineJuosta*>(u"imgApacia"_s)->Nupiesti();
    }
}

} // namespace

BENCHMARK(BM_PritaikytiKalba)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication programa(argc, argv);
    QDir::setCurrent(QString::fromUtf8(VELMORANT_SOURCE_DIR)); // the shipped resursai folder
    SukurtiLangus();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SunaikintiLangus();
    return 0;
}
