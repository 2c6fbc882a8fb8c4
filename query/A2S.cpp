#include "A2S.h"

#include <cstring>

#include <QtEndian>

namespace {

template <typename T> T Skaicius(TAtminiesSrautas& srautas) {
    T reiksme = 0;
    srautas.Read(&reiksme, sizeof(T)); // missing high bytes stay zero
    return qFromLittleEndian(reiksme);
}

char Baitas(TAtminiesSrautas& srautas) {
    char c = 0;
    srautas.Read(&c, 1);
    return c;
}

QByteArray Uzklausa(char raide) {
    QByteArray d(4, '\xFF');
    d.append(raide);
    return d;
}

void PridetiIssuki(QByteArray& d, TIssukis issukis) {
    char baitai[4];
    qToLittleEndian(issukis, baitai);
    d.append(baitai, 4);
}

} // namespace

QByteArray A2SInfoUzklausa(std::optional<TIssukis> issukis) {
    QByteArray d = Uzklausa(kA2SInfo);
    d.append("Source Engine Query", 19);
    d.append('\0');
    if (issukis)
        PridetiIssuki(d, *issukis);
    return d;
}

QByteArray A2SZaidejuUzklausa(TIssukis issukis) {
    QByteArray d = Uzklausa(kA2SZaidejai);
    PridetiIssuki(d, issukis);
    return d;
}

QByteArray A2STaisykliuUzklausa(TIssukis issukis) {
    QByteArray d = Uzklausa(kA2STaisykles);
    PridetiIssuki(d, issukis);
    return d;
}

std::optional<TIssukis> SkaitytiIssuki(TAtminiesSrautas& srautas) {
    if (srautas.Likutis() < 4)
        return std::nullopt;
    return Skaicius<quint32>(srautas);
}

TA2SInfo SkaitytiInfo(TAtminiesSrautas& srautas) {
    TA2SInfo i;
    i.Protokolas = Skaicius<quint8>(srautas);
    i.Pavadinimas = SkaitytiEilute(srautas);
    i.Zemelapis = SkaitytiEilute(srautas);
    i.Katalogas = SkaitytiEilute(srautas);
    i.Zaidimas = SkaitytiEilute(srautas);
    i.AppId = Skaicius<qint16>(srautas);
    i.Zaidejai = Skaicius<quint8>(srautas);
    i.MaxZaideju = Skaicius<quint8>(srautas);
    i.Botai = Skaicius<quint8>(srautas);
    i.ServerioTipas = Baitas(srautas);
    i.OS = Baitas(srautas);
    i.Slaptazodis = Skaicius<quint8>(srautas);
    i.VAC = Skaicius<quint8>(srautas);
    i.Versija = SkaitytiEilute(srautas);
    if (srautas.Likutis() < 1)
        return i;
    i.ArPapildomi = true;
    i.EDF = Skaicius<quint8>(srautas);
    if (i.EDF & kEdfPortas)
        i.ZaidimoPortas = Skaicius<quint16>(srautas);
    if (i.EDF & kEdfSteamId)
        i.SteamId = Skaicius<quint64>(srautas);
    if (i.EDF & kEdfStebetojai) {
        i.StebetojuPortas = Skaicius<quint16>(srautas);
        i.StebetojuVardas = SkaitytiEilute(srautas);
    }
    if (i.EDF & kEdfZymes)
        i.Zymes = SkaitytiEilute(srautas);
    if (i.EDF & kEdfZaidimoId)
        i.ZaidimoId = Skaicius<quint64>(srautas);
    return i;
}

TDetalesSuBotais SkaitytiDetalesSuBotais(TAtminiesSrautas& srautas) {
    TDetalesSuBotais d;
    d.Detales = SkaitytiDetales(srautas);
    if (srautas.Likutis() >= 1)
        d.Botai = Skaicius<quint8>(srautas);
    return d;
}

TDetales DetalesIsInfo(const TA2SInfo& info, const QByteArray& adresas) {
    TDetales d;
    d.Info.Adresas = adresas;
    d.Info.Pavadinimas = info.Pavadinimas;
    d.Info.Zemelapis = info.Zemelapis;
    d.Info.Katalogas = info.Katalogas;
    d.Info.Zaidimas = info.Zaidimas;
    d.Zaidejai = info.Zaidejai;
    d.MaxZaideju = info.MaxZaideju;
    d.Protokolas = info.Protokolas;
    d.ServerioTipas = info.ServerioTipas;
    d.OS = info.OS;
    d.Slaptazodis = info.Slaptazodis;
    d.Saugus = info.VAC;
    return d;
}
