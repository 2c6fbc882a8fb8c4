// The i-th server of the test server's varied population, of today's dialect,
// its players' times going on with the clock, silent when IvairusTylus(i),
// bound and answering; nullptr when it cannot bind.
#pragma once

#include <memory>

#include "InternetoSarasas.h"
#include "TestinisServeris.h"

inline std::unique_ptr<TTestinisServeris>
IvairusServeris(int i, const QHostAddress& adresas = QHostAddress(QHostAddress::LocalHost), quint16 portas = 0,
                bool infoReikiaIssukio = false) {
    auto s = std::make_unique<TTestinisServeris>();
    s->NustatytiTurini(IvairusTurinys(i));
    TServerioElgsena elgsena;
    elgsena.Rezimas = TServerioRezimas::Modernus;
    elgsena.InfoReikiaIssukio = infoReikiaIssukio;
    elgsena.LaikasBega = true;
    if (IvairusTylus(i))
        elgsena.Budas = TAtsakymuBudas::Tyla;
    s->NustatytiElgsena(elgsena);
    if (!s->Paleisti(adresas, portas))
        return nullptr;
    return s;
}
