#include "AtsakymuKurejas.h"

#include <cstring>
#include <type_traits>

namespace {

template <typename T> void RasytiSkaiciu(QByteArray& d, T reiksme) {
    const auto u = static_cast<std::make_unsigned_t<T>>(reiksme);
    for (size_t i = 0; i < sizeof(T); ++i)
        d.append(static_cast<char>((u >> (8 * i)) & 0xFF));
}

void RasytiFloat(QByteArray& d, float reiksme) {
    quint32 u;
    std::memcpy(&u, &reiksme, sizeof u);
    RasytiSkaiciu<quint32>(d, u);
}

void RasytiEilute(QByteArray& d, const QByteArray& tekstas) {
    d.append(tekstas);
    d.append('\0');
}

} // namespace

QByteArray KurtiAntraste(char tipas) {
    QByteArray d(4, '\xFF');
    d.append(tipas);
    return d;
}

QByteArray KurtiAtsakyma(char tipas, const QByteArray& kunas) {
    return KurtiAntraste(tipas) + kunas;
}

QByteArray KurtiPingoAtsakyma(bool suNuliu) {
    QByteArray d = KurtiAntraste(kTipasPingas);
    if (suNuliu)
        d.append('\0');
    return d;
}

QByteArray KurtiBanoAtsakyma(const QByteArray& tekstas) {
    QByteArray d = KurtiAntraste(kTipasBanas);
    if (!tekstas.isEmpty())
        RasytiEilute(d, tekstas);
    return d;
}

QByteArray KurtiTekstoAtsakyma(const QByteArray& pirmas, const QByteArray& antras) {
    QByteArray d = KurtiAntraste(kTipasTekstas);
    RasytiEilute(d, pirmas);
    RasytiEilute(d, antras);
    return d;
}

QByteArray KurtiZaidejuAtsakyma(const TZaidejai& zaidejai, std::optional<quint8> kiekis) {
    qsizetype rasoma = zaidejai.size();
    if (!kiekis && rasoma > 255)
        rasoma = 255;
    QByteArray d = KurtiAntraste(kTipasZaidejai);
    RasytiSkaiciu<quint8>(d, kiekis ? *kiekis : static_cast<quint8>(rasoma));
    for (qsizetype i = 0; i < rasoma; ++i) {
        const TZaidejas& z = zaidejai[i].Zaidejas;
        RasytiSkaiciu<quint8>(d, z.Nr);
        RasytiEilute(d, z.Vardas);
        RasytiSkaiciu<qint32>(d, z.Fragai);
        RasytiFloat(d, z.Laikas);
    }
    return d;
}

QByteArray KurtiIsplestaZaidejuAtsakyma(const TZaidejai& zaidejai, int dydis) {
    QByteArray d = KurtiZaidejuAtsakyma(zaidejai);
    if (d.size() < dydis)
        d.append(dydis - d.size(), '\0');
    return d;
}

QByteArray KurtiDetaliuAtsakyma(const TDetales& detales) {
    QByteArray d = KurtiAntraste(kTipasDetales);
    RasytiEilute(d, detales.Info.Adresas);
    RasytiEilute(d, detales.Info.Pavadinimas);
    RasytiEilute(d, detales.Info.Zemelapis);
    RasytiEilute(d, detales.Info.Katalogas);
    RasytiEilute(d, detales.Info.Zaidimas);
    RasytiSkaiciu<quint8>(d, detales.Zaidejai);
    RasytiSkaiciu<quint8>(d, detales.MaxZaideju);
    RasytiSkaiciu<quint8>(d, detales.Protokolas);
    d.append(detales.ServerioTipas);
    d.append(detales.OS);
    RasytiSkaiciu<quint8>(d, detales.Slaptazodis);
    RasytiSkaiciu<quint8>(d, detales.ArModas);
    if (detales.ArModas == 1) {
        RasytiEilute(d, detales.MOD.Svetaine);
        RasytiEilute(d, detales.MOD.Parsisiuntimas);
        RasytiEilute(d, detales.MOD.Rezervuota);
        RasytiSkaiciu<qint32>(d, detales.MODVersija);
        RasytiSkaiciu<qint32>(d, detales.MODDydis);
        RasytiSkaiciu<quint8>(d, detales.TikServerio);
        RasytiSkaiciu<quint8>(d, detales.SavasDLL);
    }
    RasytiSkaiciu<quint8>(d, detales.Saugus);
    return d;
}

QByteArray KurtiTaisykliuAtsakyma(const TTaisykles& taisykles, std::optional<quint16> kiekis) {
    qsizetype rasoma = taisykles.size();
    if (!kiekis && rasoma > 65535)
        rasoma = 65535;
    QByteArray d = KurtiAntraste(kTipasTaisykles);
    RasytiSkaiciu<quint16>(d, kiekis ? *kiekis : static_cast<quint16>(rasoma));
    for (qsizetype i = 0; i < rasoma; ++i) {
        RasytiEilute(d, taisykles[i].Pavadinimas);
        RasytiEilute(d, taisykles[i].Reiksme);
    }
    return d;
}

TZaidejoInfo KurtiZaidejoInfo(quint8 nr, const QByteArray& vardas, qint32 fragai, float laikas) {
    TZaidejoInfo info;
    info.Zaidejas.Nr = nr;
    info.Zaidejas.Vardas = vardas;
    info.Zaidejas.Fragai = fragai;
    info.Zaidejas.Laikas = laikas;
    const TLaikoDalys dalys = IsskaidytiLaika(SveikosSekundes(laikas));
    info.Valandos = dalys.Valandos;
    info.Minutes = dalys.Minutes;
    info.Sekundes = dalys.Sekundes;
    return info;
}

QByteArray KurtiIssukioAtsakyma(TIssukis issukis) {
    QByteArray d = KurtiAntraste(kTipasIssukis);
    RasytiSkaiciu<quint32>(d, issukis);
    return d;
}

QByteArray KurtiInfoAtsakyma(const TA2SInfo& i) {
    QByteArray d = KurtiAntraste(kTipasInfo);
    RasytiSkaiciu<quint8>(d, i.Protokolas);
    RasytiEilute(d, i.Pavadinimas);
    RasytiEilute(d, i.Zemelapis);
    RasytiEilute(d, i.Katalogas);
    RasytiEilute(d, i.Zaidimas);
    RasytiSkaiciu<qint16>(d, i.AppId);
    RasytiSkaiciu<quint8>(d, i.Zaidejai);
    RasytiSkaiciu<quint8>(d, i.MaxZaideju);
    RasytiSkaiciu<quint8>(d, i.Botai);
    d.append(i.ServerioTipas);
    d.append(i.OS);
    RasytiSkaiciu<quint8>(d, i.Slaptazodis);
    RasytiSkaiciu<quint8>(d, i.VAC);
    RasytiEilute(d, i.Versija);
    if (!i.ArPapildomi)
        return d;
    RasytiSkaiciu<quint8>(d, i.EDF);
    if (i.EDF & kEdfPortas)
        RasytiSkaiciu<quint16>(d, i.ZaidimoPortas);
    if (i.EDF & kEdfSteamId)
        RasytiSkaiciu<quint64>(d, i.SteamId);
    if (i.EDF & kEdfStebetojai) {
        RasytiSkaiciu<quint16>(d, i.StebetojuPortas);
        RasytiEilute(d, i.StebetojuVardas);
    }
    if (i.EDF & kEdfZymes)
        RasytiEilute(d, i.Zymes);
    if (i.EDF & kEdfZaidimoId)
        RasytiSkaiciu<quint64>(d, i.ZaidimoId);
    return d;
}

QByteArray KurtiDetaliuAtsakymaSuBotais(const TDetales& detales, quint8 botai) {
    QByteArray d = KurtiDetaliuAtsakyma(detales);
    RasytiSkaiciu<quint8>(d, botai);
    return d;
}

QList<QByteArray> KurtiDalis(const QByteArray& atsakymas, quint32 id, int dydis, bool naujas, bool suspausta,
                             bool visada) {
    if (dydis < 1)
        dydis = 1;
    qsizetype kiek = (atsakymas.size() + dydis - 1) / dydis;
    if (visada && kiek < 2)
        kiek = 2;
    if (kiek > 15 || kiek > atsakymas.size())
        return {};
    const qsizetype dalies = (atsakymas.size() + kiek - 1) / kiek;
    if (suspausta)
        id |= 0x80000000u;
    else
        id &= 0x7FFFFFFFu;
    QList<QByteArray> dalys;
    for (qsizetype n = 0; n < kiek; ++n) {
        QByteArray d("\xFE\xFF\xFF\xFF", 4);
        RasytiSkaiciu<quint32>(d, id);
        if (naujas) {
            RasytiSkaiciu<quint8>(d, quint8(kiek));
            RasytiSkaiciu<quint8>(d, quint8(n));
            RasytiSkaiciu<quint16>(d, quint16(qMin(dalies + 12, qsizetype(0xFFFF))));
        } else {
            RasytiSkaiciu<quint8>(d, quint8((n << 4) | kiek));
        }
        d.append(atsakymas.mid(n * dalies, dalies));
        dalys.append(d);
    }
    return dalys;
}
