#include "cstrike.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>

#include <QtEndian>

QByteArray UzklausosDatagrama(const char* zodis) {
    QByteArray d(kUzklausosIlgis, '\0');
    std::memset(d.data(), 0xFF, 4);
    const size_t ilgis = std::strlen(zodis);
    // The word is always followed by at least one zero byte.
    std::memcpy(d.data() + 4, zodis, ilgis < size_t(kUzklausosIlgis - 5) ? ilgis : size_t(kUzklausosIlgis - 5));
    return d;
}

char SkaitytiAntraste(TAtminiesSrautas& srautas) {
    char antraste[kAntrastesIlgis] = {};
    if (srautas.Read(antraste, kAntrastesIlgis) < kAntrastesIlgis)
        return 0;
    return antraste[4];
}

QByteArray SkaitytiEilute(TAtminiesSrautas& srautas) {
    const qint64 likutis = srautas.Likutis();
    if (likutis == 0)
        return {};
    const char* pradzia = srautas.Dabartinis();
    const void* nulis = std::memchr(pradzia, 0, static_cast<size_t>(likutis));
    if (!nulis) {
        // No terminator: the whole rest, and the position moves past the end.
        QByteArray rezultatas = srautas.Dalis(srautas.Position(), likutis);
        srautas.Praleisti(likutis + 1);
        return rezultatas;
    }
    const qint64 ilgis = static_cast<const char*>(nulis) - pradzia;
    QByteArray rezultatas = srautas.Dalis(srautas.Position(), ilgis);
    srautas.Praleisti(ilgis + 1);
    return rezultatas;
}

namespace {

void SkaitytiZaidejaI(TAtminiesSrautas& srautas, TZaidejas& z) {
    z.Nr = srautas.Skaicius<quint8>();
    z.Vardas = SkaitytiEilute(srautas);
    z.Fragai = srautas.Skaicius<qint32>();
    z.Laikas = srautas.Float();
}

} // namespace

TZaidejas SkaitytiZaideja(TAtminiesSrautas& srautas) {
    TZaidejas z;
    SkaitytiZaidejaI(srautas, z);
    return z;
}

qint32 SveikosSekundes(float laikas) {
    const double a = std::fabs(static_cast<double>(laikas));
    if (std::isnan(a))
        return 0;
    const double apvalinta = std::floor(a + 0.5);
    if (apvalinta >= 2147483647.0)
        return INT32_MAX;
    return static_cast<qint32>(apvalinta);
}

TLaikoDalys IsskaidytiLaika(qint32 sekundes) {
    const quint32 s = sekundes < 0 ? 0u : static_cast<quint32>(sekundes);
    TLaikoDalys d;
    d.Valandos = s / 3600;
    d.Minutes = static_cast<quint8>((s % 3600) / 60);
    d.Sekundes = static_cast<quint8>(s % 60);
    return d;
}

TZaidejai SkaitytiZaidejus(TAtminiesSrautas& srautas) {
    const quint8 kiekis = srautas.Skaicius<quint8>();
    TZaidejai sarasas(kiekis);
    for (TZaidejoInfo& info : sarasas) {
        // Once the datagram is used up, every further entry stays cleared.
        if (srautas.Likutis() == 0)
            break;
        SkaitytiZaidejaI(srautas, info.Zaidejas);
        const TLaikoDalys dalys = IsskaidytiLaika(SveikosSekundes(info.Zaidejas.Laikas));
        info.Valandos = dalys.Valandos;
        info.Minutes = dalys.Minutes;
        info.Sekundes = dalys.Sekundes;
    }
    return sarasas;
}

TDetales SkaitytiDetales(TAtminiesSrautas& srautas) {
    TDetales d;
    d.Info.Adresas = SkaitytiEilute(srautas);
    d.Info.Pavadinimas = SkaitytiEilute(srautas);
    d.Info.Zemelapis = SkaitytiEilute(srautas);
    d.Info.Katalogas = SkaitytiEilute(srautas);
    d.Info.Zaidimas = SkaitytiEilute(srautas);
    d.Zaidejai = srautas.Skaicius<quint8>();
    d.MaxZaideju = srautas.Skaicius<quint8>();
    d.Protokolas = srautas.Skaicius<quint8>();
    d.ServerioTipas = srautas.Baitas();
    d.OS = srautas.Baitas();
    d.Slaptazodis = srautas.Skaicius<quint8>();
    d.ArModas = srautas.Skaicius<quint8>();
    if (d.ArModas == 1) {
        d.MOD.Svetaine = SkaitytiEilute(srautas);
        d.MOD.Parsisiuntimas = SkaitytiEilute(srautas);
        d.MOD.Rezervuota = SkaitytiEilute(srautas);
        d.MODVersija = srautas.Skaicius<qint32>();
        d.MODDydis = srautas.Skaicius<qint32>();
        d.TikServerio = srautas.Skaicius<quint8>();
        d.SavasDLL = srautas.Skaicius<quint8>();
    }
    d.Saugus = srautas.Skaicius<quint8>();
    return d;
}

TTaisykles SkaitytiTaisykles(TAtminiesSrautas& srautas) {
    const quint16 kiekis = srautas.Skaicius<quint16>();
    TTaisykles sarasas(std::min<qint64>(kiekis, DidziausiasTaisykliuSkaicius(srautas.Size())));
    for (TTaisykle& t : sarasas) {
        if (srautas.Likutis() == 0)
            break;
        t.Pavadinimas = SkaitytiEilute(srautas);
        t.Reiksme = SkaitytiEilute(srautas);
    }
    return sarasas;
}
