#include "Atsakymai.h"

#include "Modulis1.h"
#include "TybINI.h"
#include "cstrike.h"

bool PriimtiAtsakyma(TNMUDP& udp, int NumberBytes, const QString& FromIP, int Port, bool ignoruoti,
                     TTinkloPranesimai& vartai, TAtminiesSrautas& srautas) {
    // Only the server the window asked may answer it: anyone else on the
    // network could otherwise write into the window or open message boxes.
    if (FromIP != udp.PaskutinisAdresas().toString() || Port != udp.PaskutinisPortas())
        return false;
    if (ignoruoti)
        return false;
    if (NumberBytes > kDidziausiasAtsakymas) {
        const QString tekstas = frmPagrindinis ? frmPagrindinis->Tekstas("Pranesimai", "BaituGavau")
                                               : QString::fromLatin1(kRezultatasNeraFailo);
        vartai.Rodyti(QString::number(NumberBytes) + tekstas);
        return false;
    }
    if (NumberBytes < kAntrastesIlgis)
        return false;
    udp.CopyReceivedToStream(srautas);
    return true;
}
