// Feeds arbitrary datagrams to the reply readers, the way a window dispatches
// them, and checks that no reader steps past the datagram.
#include <cstdint>
#include <cstdlib>

#include "cstrike.h"

namespace {

void Patikrinti(bool salyga) {
    if (!salyga)
        std::abort();
}

void Skaityti(const QByteArray& duomenys, char tipas) {
    TAtminiesSrautas s(duomenys);
    SkaitytiAntraste(s);
    switch (tipas) {
    case kTipasZaidejai: {
        const TZaidejai z = SkaitytiZaidejus(s);
        for (const TZaidejoInfo& i : z)
            Patikrinti(i.Minutes < 60 && i.Sekundes < 60 && i.Zaidejas.Vardas.size() <= duomenys.size());
        break;
    }
    case kTipasDetales: {
        const TDetales d = SkaitytiDetales(s);
        Patikrinti(d.ArModas == 1 || (d.MOD == TMODInfo{} && d.MODVersija == 0 && d.MODDydis == 0));
        break;
    }
    case kTipasTaisykles:
        SkaitytiTaisykles(s);
        break;
    default:
        // A text reply is read again from its type letter.
        s.SetPosition(4);
        Patikrinti(SkaitytiEilute(s).size() + SkaitytiEilute(s).size() <= duomenys.size());
        return;
    }
    Patikrinti(s.Position() <= s.Size() + 1);
    Patikrinti(s.Likutis() >= 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    if (size > 4096)
        return 0;
    const QByteArray duomenys(reinterpret_cast<const char*>(data), qsizetype(size));
    // The letter the datagram carries, and every reader over the same bytes.
    const char tipas = size > 4 ? char(data[4]) : 0;
    Skaityti(duomenys, tipas);
    for (char kitas : {kTipasZaidejai, kTipasDetales, kTipasTaisykles, kTipasTekstas})
        if (kitas != tipas)
            Skaityti(duomenys, kitas);
    return 0;
}
