#include "A2S.h"

#include <cstring>

#include <QtEndian>

namespace {

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
    return srautas.Skaicius<quint32>();
}

TA2SInfo SkaitytiInfo(TAtminiesSrautas& srautas) {
    TA2SInfo i;
    i.Protokolas = srautas.Skaicius<quint8>();
    i.Pavadinimas = SkaitytiEilute(srautas);
    i.Zemelapis = SkaitytiEilute(srautas);
    i.Katalogas = SkaitytiEilute(srautas);
    i.Zaidimas = SkaitytiEilute(srautas);
    i.AppId = srautas.Skaicius<qint16>();
    i.Zaidejai = srautas.Skaicius<quint8>();
    i.MaxZaideju = srautas.Skaicius<quint8>();
    i.Botai = srautas.Skaicius<quint8>();
    i.ServerioTipas = srautas.Baitas();
    i.OS = srautas.Baitas();
    i.Slaptazodis = srautas.Skaicius<quint8>();
    i.VAC = srautas.Skaicius<quint8>();
    i.Versija = SkaitytiEilute(srautas);
    if (srautas.Likutis() < 1)
        return i;
    i.ArPapildomi = true;
    i.EDF = srautas.Skaicius<quint8>();
    if (i.EDF & kEdfPortas)
        i.ZaidimoPortas = srautas.Skaicius<quint16>();
    if (i.EDF & kEdfSteamId)
        i.SteamId = srautas.Skaicius<quint64>();
    if (i.EDF & kEdfStebetojai) {
        i.StebetojuPortas = srautas.Skaicius<quint16>();
        i.StebetojuVardas = SkaitytiEilute(srautas);
    }
    if (i.EDF & kEdfZymes)
        i.Zymes = SkaitytiEilute(srautas);
    if (i.EDF & kEdfZaidimoId)
        i.ZaidimoId = srautas.Skaicius<quint64>();
    return i;
}

TDetalesSuBotais SkaitytiDetalesSuBotais(TAtminiesSrautas& srautas) {
    TDetalesSuBotais d;
    d.Detales = SkaitytiDetales(srautas);
    if (srautas.Likutis() >= 1)
        d.Botai = srautas.Skaicius<quint8>();
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
