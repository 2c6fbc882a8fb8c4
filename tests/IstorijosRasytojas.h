// The rounds that the history test's writer program writes: round i of a run
// that started at `pradzia` (Unix ms), so the test can tell what each row
// should hold.
#pragma once

#include "RaundoSantrauka.h"

inline TRaundoSantrauka IstorijosRasytojoRaundas(qint64 pradzia, qint64 i) {
    TRaundoSantrauka r;
    r.Saltinis = TRaundoSantrauka::TSaltinis::Sarasas;
    r.Serveris = QStringLiteral("10.0.0.%1:27015").arg(i % 5);
    r.LaikasMs = pradzia + i * 1000;
    if (i % 7 != 0) {
        r.PingoMs = int(i % 500);
        r.Zaidejai = int(i % 33);
        r.MaxZaideju = 32;
        r.Zemelapis = i % 2 ? "de_dust2" : "cs_office";
    }
    return r;
}
