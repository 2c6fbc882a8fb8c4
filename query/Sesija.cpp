#include "Sesija.h"

#include <QElapsedTimer>

namespace {

constexpr qint64 kAtsargosRiba = 1000;   // ms after the start without players/details: try A2S
constexpr qint64 kAtsargosPriedas = 250; // added to 2 x the round trip once a 'j' came
constexpr int kDaugiausiaIssukiu = 3;    // challenge answers per request per round
constexpr int kTyliuRaunduRiba = 3;

qint64 TikrasLaikas() {
    static QElapsedTimer laikmatis = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return laikmatis.elapsed();
}

bool ArAntraste(const QByteArray& d) {
    return d.size() >= kAntrastesIlgis && d.startsWith(QByteArrayView("\xFF\xFF\xFF\xFF", 4));
}

// The A2S request a reply letter answers.
char A2SRaideAtsakymui(char tipas) {
    switch (tipas) {
    case kTipasZaidejai:
        return kA2SZaidejai;
    case kTipasDetales:
    case kTipasInfo:
        return kA2SInfo;
    case kTipasTaisykles:
        return kA2STaisykles;
    default:
        return 0;
    }
}

} // namespace

TServeriuRegistras& TServeriuRegistras::Bendras() {
    static TServeriuRegistras registras;
    return registras;
}

TUzklausuSesija::TUzklausuSesija(TPrasymai prasymai, TServeriuRegistras* registras, TLaikrodis laikrodis)
    : prasymai(prasymai), registras(registras ? registras : &TServeriuRegistras::Bendras()),
      laikrodis(laikrodis ? std::move(laikrodis) : TLaikrodis(&TikrasLaikas)) {}

QByteArray TUzklausuSesija::A2SDatagrama(char raide, std::optional<TIssukis> issukis) const {
    switch (raide) {
    case kA2SInfo:
        return A2SInfoUzklausa(issukis);
    case kA2SZaidejai:
        return A2SZaidejuUzklausa(issukis.value_or(kBeIssukio));
    default:
        return A2STaisykliuUzklausa(issukis.value_or(kBeIssukio));
    }
}

QList<QByteArray> TUzklausuSesija::SiustiA2S(std::optional<TIssukis> issukis) {
    QList<QByteArray> d;
    const qint64 dabar = laikrodis();
    a2s.clear();
    for (const auto& [noras, raide] :
         {std::pair{prasymai.Detales, kA2SInfo}, std::pair{prasymai.Zaidejai, kA2SZaidejai},
          std::pair{prasymai.Taisykles, kA2STaisykles}}) {
        if (!noras)
            continue;
        TA2SPrasymas p;
        p.Raide = raide;
        p.Siusta = true;
        p.SiustaSu = issukis;
        p.SiustaMs = dabar;
        a2s.append(p);
        d.append(A2SDatagrama(raide, issukis));
    }
    a2sSiusta = !a2s.isEmpty();
    return d;
}

QList<QByteArray> TUzklausuSesija::PradetiRaunda(const QString& naujas) {
    if (arRaundas)
        BaigtiRaunda();
    surinkejas.IsmestiNebaigtus();
    serveris = naujas;
    arRaundas = true;
    pradzia = laikrodis();
    pingoGavimas.reset();
    a2sSiusta = atsargaSiusta = pingasRodytas = false;
    zaidejaiGauti = detalesGautos = infoGautas = taisyklesGautos = atsakymasGautas = false;
    a2s.clear();

    const TServerioZinios z = registras->Zinios(serveris);
    QList<QByteArray> d;
    if (z.Dialektas == TDialektas::A2S) {
        if (prasymai.Pingas)
            d.append(UzklausosDatagrama(kPing));
        d.append(SiustiA2S(z.Issukis));
        return d;
    }
    // Unknown and legacy servers: the legacy words, in the legacy order.
    if (prasymai.Pingas)
        d.append(UzklausosDatagrama(kPing));
    if (prasymai.Zaidejai)
        d.append(UzklausosDatagrama(kPlayers));
    if (prasymai.Detales)
        d.append(UzklausosDatagrama(kDetails));
    if (prasymai.Taisykles)
        d.append(UzklausosDatagrama(kRules));
    return d;
}

std::optional<qint64> TUzklausuSesija::Terminas() const {
    if (!arRaundas || atsargaSiusta || zaidejaiGauti || detalesGautos)
        return std::nullopt;
    if (!prasymai.Zaidejai && !prasymai.Detales && !prasymai.Taisykles)
        return std::nullopt;
    if (registras->Zinios(serveris).Dialektas != TDialektas::Nezinomas)
        return std::nullopt;
    qint64 t = pradzia + kAtsargosRiba;
    if (pingoGavimas)
        t = qMin(t, pradzia + 2 * (*pingoGavimas - pradzia) + kAtsargosPriedas);
    return t;
}

QList<QByteArray> TUzklausuSesija::Tikrinti() {
    const std::optional<qint64> t = Terminas();
    if (!t || laikrodis() < *t)
        return {};
    atsargaSiusta = true;
    return SiustiA2S(registras->Zinios(serveris).Issukis);
}

TUzklausuSesija::TA2SPrasymas* TUzklausuSesija::Prasymas(char raide) {
    for (TA2SPrasymas& p : a2s)
        if (p.Raide == raide)
            return &p;
    return nullptr;
}

std::optional<int> TUzklausuSesija::A2SPingas(char a2sRaide) {
    if (pingasRodytas)
        return std::nullopt;
    // A server that answers "ping" keeps the legacy clock.
    if (prasymai.Pingas && registras->Zinios(serveris).ArAtsakoPinga)
        return std::nullopt;
    qint64 nuo = pradzia;
    if (a2sSiusta) {
        const TA2SPrasymas* p = Prasymas(a2sRaide);
        if (p)
            nuo = p->SiustaMs;
        else if (!a2s.isEmpty())
            nuo = a2s.first().SiustaMs;
    }
    pingasRodytas = true;
    return int(qMax<qint64>(0, laikrodis() - nuo));
}

void TUzklausuSesija::PazymetiAtsakyma(char a2sRaide, bool arA2SRaide) {
    TServerioZinios z = registras->Zinios(serveris);
    // A letter only A2S has, or any answer once A2S requests went out after
    // the legacy ones stayed unanswered, marks the server A2S.
    if (arA2SRaide || a2sSiusta) {
        z.Dialektas = TDialektas::A2S;
        if (TA2SPrasymas* p = Prasymas(a2sRaide))
            p->Atsakyta = true;
    } else {
        z.Dialektas = TDialektas::Senas;
    }
    z.TyliRaundai = 0;
    registras->Nustatyti(serveris, z);
}

TSesijosAtsakymas TUzklausuSesija::Gauta(const QHostAddress& siuntejas, quint16 prievadas,
                                         const QByteArray& datagrama) {
    TSesijosAtsakymas a;
    a.Dydis = int(datagrama.size());
    if (datagrama.size() > kDidziausiasAtsakymas) {
        a.Rusis = TAtsakymoRusis::PerDidelis;
        return a;
    }
    const TDaliesRezultatas dalis = surinkejas.Priimti(siuntejas, prievadas, datagrama);
    a.Dalis = dalis.Busena;
    if (dalis.Busena != TDaliesBusena::Vientisas && dalis.Busena != TDaliesBusena::Surinkta)
        return a;
    const QByteArray& atsakymas = dalis.Atsakymas;
    a.Dydis = int(atsakymas.size());
    // Zero-filled or otherwise headless datagrams are no reply.
    if (!ArAntraste(atsakymas))
        return a;

    TAtminiesSrautas srautas(atsakymas);
    a.Tipas = SkaitytiAntraste(srautas);
    switch (a.Tipas) {
    case kTipasPingas: {
        if (pingasRodytas)
            return a; // the clock stopped at the first one
        pingasRodytas = true;
        const qint64 dabar = laikrodis();
        pingoGavimas = dabar;
        a.PingoMs = int(dabar - pradzia);
        a.Rusis = TAtsakymoRusis::Pingas;
        if (prasymai.Pingas) {
            TServerioZinios z = registras->Zinios(serveris);
            z.ArAtsakoPinga = true;
            registras->Nustatyti(serveris, z);
        }
        return a;
    }
    case kTipasIssukis: {
        const std::optional<TIssukis> c = SkaitytiIssuki(srautas);
        if (!c || !a2sSiusta)
            return a; // a challenge nobody asked for
        TServerioZinios z = registras->Zinios(serveris);
        z.Issukis = *c;
        registras->Nustatyti(serveris, z);
        PazymetiAtsakyma(0, true);
        a.PingoMs = A2SPingas(0);
        const qint64 dabar = laikrodis();
        for (TA2SPrasymas& p : a2s) {
            if (p.Atsakyta || p.SiustaSu == c || p.IssukioAtsakymai >= kDaugiausiaIssukiu)
                continue;
            ++p.IssukioAtsakymai;
            p.SiustaSu = c;
            p.SiustaMs = dabar;
            a.Siusti.append(A2SDatagrama(p.Raide, c));
        }
        return a;
    }
    case kTipasZaidejai:
        if (zaidejaiGauti)
            return a;
        zaidejaiGauti = atsakymasGautas = true;
        a.Zaidejai = SkaitytiZaidejus(srautas);
        a.Rusis = TAtsakymoRusis::Zaidejai;
        break;
    case kTipasDetales: {
        if (detalesGautos)
            return a;
        detalesGautos = atsakymasGautas = true;
        TDetalesSuBotais d = SkaitytiDetalesSuBotais(srautas);
        a.Detales = std::move(d.Detales);
        a.Botai = d.Botai;
        a.Rusis = TAtsakymoRusis::Detales;
        break;
    }
    case kTipasInfo: {
        if (infoGautas)
            return a;
        infoGautas = detalesGautos = atsakymasGautas = true;
        a.Info = SkaitytiInfo(srautas);
        a.Detales = DetalesIsInfo(*a.Info, serveris.toUtf8());
        a.Botai = a.Info->Botai;
        a.Rusis = TAtsakymoRusis::Detales;
        break;
    }
    case kTipasTaisykles:
        if (taisyklesGautos)
            return a;
        taisyklesGautos = atsakymasGautas = true;
        a.Taisykles = SkaitytiTaisykles(srautas);
        a.Rusis = TAtsakymoRusis::Taisykles;
        break;
    case kTipasBanas:
        a.Rusis = TAtsakymoRusis::Banas;
        return a;
    case kTipasTekstas:
        srautas.SetPosition(4);
        a.PirmasTekstas = SkaitytiEilute(srautas);
        a.AntrasTekstas = SkaitytiEilute(srautas);
        a.Rusis = TAtsakymoRusis::Tekstas;
        return a;
    default:
        a.Rusis = TAtsakymoRusis::Nezinomas;
        return a;
    }
    // A players, details or rules answer.
    const char a2sRaide = A2SRaideAtsakymui(a.Tipas);
    PazymetiAtsakyma(a2sRaide, a.Tipas == kTipasInfo);
    if (!prasymai.Pingas || a2sSiusta)
        a.PingoMs = A2SPingas(a2sRaide);
    return a;
}

void TUzklausuSesija::BaigtiRaunda() {
    surinkejas.IsmestiNebaigtus();
    if (!arRaundas)
        return;
    arRaundas = false;
    TServerioZinios z = registras->Zinios(serveris);
    const bool pilnas = laikrodis() - pradzia >= kAtsargosRiba; // a round cut short proves nothing
    if (pilnas && prasymai.Pingas && !pingoGavimas)
        z.ArAtsakoPinga = false;
    if (pilnas && !atsakymasGautas && z.Dialektas != TDialektas::Nezinomas && ++z.TyliRaundai >= kTyliuRaunduRiba) {
        z.Dialektas = TDialektas::Nezinomas;
        z.Issukis.reset();
        z.TyliRaundai = 0;
    }
    registras->Nustatyti(serveris, z);
}
