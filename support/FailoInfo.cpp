#include "FailoInfo.h"

#include <cstdio>
#include <cstdlib>

#include <QCoreApplication>
#include <QThread>

#include "VersijosIrasas.h"

using namespace Qt::StringLiterals;

namespace {

void RodytiStandartinejeKlaidoje(const QString& tekstas) {
    std::fprintf(stderr, "%s\n", tekstas.toUtf8().constData());
}

// Posted to the application's queue: it runs at the next turn of an event loop.
// Should that turn come from a processEvents() call outside any loop, the request
// waits for the next one.
void PrasytiPabaigos() {
    QCoreApplication* programa = QCoreApplication::instance();
    if (!programa)
        std::exit(EXIT_FAILURE);
    QMetaObject::invokeMethod(
        programa,
        [] {
            if (QThread::currentThread()->loopLevel() > 0)
                QCoreApplication::exit(EXIT_FAILURE);
            else
                PrasytiPabaigos();
        },
        Qt::QueuedConnection);
}

TVersijosPranesimas pranesimoRodymas;
TProgramosPabaiga programosPabaiga;
// Unset: the compiled-in record. Set to std::nullopt: no record at all.
std::optional<std::optional<TVersijosIrasas>> pakeistasIrasas;

} // namespace

TVersijosIrasas KompiliuotasVersijosIrasas() {
    TVersijosIrasas irasas;
    for (const TIrasoEilute& e : kVersijosIrasas)
        irasas.append({QString::fromUtf8(e.Raktas), QString::fromUtf8(e.Reiksme)});
    return irasas;
}

void SkaitytiVersija(TVersijosTekstai& tekstai) {
    const std::optional<TVersijosIrasas> irasas = pakeistasIrasas ? *pakeistasIrasas : KompiliuotasVersijosIrasas();
    if (!irasas) {
        const QString pranesimas = u"Byla sugadinta"_s;
        if (pranesimoRodymas)
            pranesimoRodymas(pranesimas);
        else
            RodytiStandartinejeKlaidoje(pranesimas);
        if (programosPabaiga)
            programosPabaiga();
        else
            PrasytiPabaigos();
        return;
    }
    for (std::size_t i = 0; i < kVersijosRaktai.size(); ++i) {
        tekstai[i].clear();
        for (const TVersijosReiksme& r : *irasas) {
            if (QStringView(r.Raktas).compare(kVersijosRaktai[i], Qt::CaseInsensitive) == 0) {
                tekstai[i] = r.Reiksme;
                break;
            }
        }
    }
}

QString PataisymoTekstas(const QString& failoVersija) {
    return failoVersija.mid(6, 3);
}

void NustatytiVersijosPranesima(TVersijosPranesimas rodymas) {
    pranesimoRodymas = std::move(rodymas);
}

void NustatytiProgramosPabaiga(TProgramosPabaiga pabaiga) {
    programosPabaiga = std::move(pabaiga);
}

void PakeistiVersijosIrasa(std::optional<TVersijosIrasas> irasas) {
    pakeistasIrasas = std::move(irasas);
}

void AtstatytiVersijosIrasa() {
    pakeistasIrasas.reset();
}
