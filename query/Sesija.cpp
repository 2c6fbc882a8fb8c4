#include "Sesija.h"

#include <QDateTime>

#include "Laikas.h"
#include "Zurnalas.h"

namespace {

// A round shorter than this proves nothing about a server that stayed silent.
constexpr qint64 kPilnoRaundoMs = 1000;

const char* DialektoVardas(TDialektas d) {
    return d == TDialektas::A2S ? "A2S" : d == TDialektas::Senas ? "legacy" : "unknown";
}

bool ArAck(const QByteArray& d) {
    if (!d.startsWith(QByteArrayView("\xFF\xFF\xFF\xFF"
                                     "ack",
                                     7)))
        return false;
    for (qsizetype i = 7; i < d.size(); ++i)
        if (d[i] != '\0')
            return false;
    return true;
}

} // namespace

void TServeriuRegistras::Nustatyti(const QString& serveris, const TServerioZinios& z) {
    const auto i = zinios.constFind(serveris);
    if (i != zinios.constEnd() && *i == z)
        return;
    zinios.insert(serveris, z);
    ++pakeitimai;
}

void TServeriuRegistras::Isvalyti() {
    zinios.clear();
    ++pakeitimai;
}

TUzklausuSesija::TUzklausuSesija(TPrasymai prasymai, TServeriuRegistras* registras, TLaikrodis laikrodis)
    : prasymai(prasymai), registras(registras),
      laikrodis(laikrodis ? std::move(laikrodis) : TLaikrodis(&TikrasLaikasMs)) {}

QList<TUzklausuSesija::TRusis> TUzklausuSesija::PradziosRusys(const TServerioZinios& z) const {
    QList<TRusis> r;
    if (z.Dialektas == TDialektas::A2S) {
        if (prasymai.Detales)
            r.append(TRusis::A2SInfo);
        if (prasymai.Zaidejai)
            r.append(TRusis::A2SZaidejai);
        if (prasymai.Taisykles)
            r.append(TRusis::A2STaisykles);
        return r;
    }
    // Unknown and legacy servers: the legacy words, in the legacy order; an
    // unknown one A2S_INFO too, so that a server of today is known by its
    // first reply rather than after a second of silence.
    if (prasymai.Pingas)
        r.append(TRusis::Pingas);
    if (prasymai.Zaidejai)
        r.append(TRusis::Zaidejai);
    if (prasymai.Detales)
        r.append(TRusis::Detales);
    if (prasymai.Taisykles)
        r.append(TRusis::Taisykles);
    if (z.Dialektas == TDialektas::Nezinomas && prasymai.Detales)
        r.append(TRusis::A2SInfo);
    return r;
}

int TUzklausuSesija::RaundoDydis(const QString& kitas) const {
    return int(PradziosRusys(registras->Zinios(kitas)).size());
}

int TUzklausuSesija::IprastasRaundoDydis(const QString& kitas) const {
    TServerioZinios z = registras->Zinios(kitas);
    if (z.Dialektas == TDialektas::Nezinomas)
        z.Dialektas = TDialektas::Senas; // A2S_INFO goes along once, in the first round
    return int(PradziosRusys(z).size());
}

QByteArray TUzklausuSesija::Datagrama(TPrasymas& p) const {
    const std::optional<TIssukis> issukis = registras->Zinios(serveris).Issukis;
    switch (p.Rusis) {
    case TRusis::Pingas:
        return UzklausosDatagrama(kPing);
    case TRusis::Zaidejai:
        return UzklausosDatagrama(kPlayers);
    case TRusis::Detales:
        return UzklausosDatagrama(kDetails);
    case TRusis::Taisykles:
        return UzklausosDatagrama(kRules);
    case TRusis::A2SInfo:
        p.SiustaSu = issukis;
        return A2SInfoUzklausa(issukis);
    case TRusis::A2SZaidejai:
        p.SiustaSu = issukis;
        return A2SZaidejuUzklausa(issukis.value_or(kBeIssukio));
    case TRusis::A2STaisykles:
        p.SiustaSu = issukis;
        return A2STaisykliuUzklausa(issukis.value_or(kBeIssukio));
    }
    return {};
}

void TUzklausuSesija::Siusti(TPrasymas& p, qint64 dabar, QList<QByteArray>& d) {
    d.append(Datagrama(p));
    p.Siuntimai.append(dabar);
}

QList<QByteArray> TUzklausuSesija::PradetiRaunda(const QString& naujas) {
    if (arRaundas)
        BaigtiRaunda();
    surinkejas.IsmestiNebaigtus();
    serveris = naujas;
    arRaundas = true;
    pradzia = laikrodis();
    a2sSiusta = a2sZinomas = pingasSiustas = pingasRodytas = false;
    zaidejaiGauti = detalesGautos = infoGautas = taisyklesGautos = atsakymasGautas = false;
    uzklausos.clear();

    const TServerioZinios z = registras->Zinios(serveris);
    a2sZinomas = z.Dialektas == TDialektas::A2S;
    for (const TRusis r : PradziosRusys(z)) {
        TPrasymas p;
        p.Rusis = r;
        uzklausos.append(p);
        a2sSiusta = a2sSiusta || ArA2S(r);
        pingasSiustas = pingasSiustas || r == TRusis::Pingas;
    }
    QList<QByteArray> d;
    for (TPrasymas& p : uzklausos)
        Siusti(p, pradzia, d);
    qCDebug(ApklausosZurnalas).noquote() << "round to" << serveris << "sent:" << d.size() << "datagrams, dialect"
                                         << DialektoVardas(z.Dialektas);
    return d;
}

qint64 KartojimoTarpas(const TServerioZinios& z) {
    return z.PingoMs ? qMax<qint64>(250, 2 * qint64(*z.PingoMs)) : 500;
}

qint64 TUzklausuSesija::KartojimoTarpas() const {
    return ::KartojimoTarpas(registras->Zinios(serveris));
}

bool TUzklausuSesija::ArKartojamas(const TPrasymas& p) const {
    if (p.Atsakyta || p.Atsisakyta || p.Siuntimai.isEmpty() || p.Kartojimai >= kKartojimai)
        return false;
    // A legacy word that an unknown server may never answer waits for the
    // Steam queries instead of going out three times.
    return p.Rusis == TRusis::Pingas || ArA2S(p.Rusis) || registras->Zinios(serveris).Dialektas == TDialektas::Senas;
}

bool TUzklausuSesija::ArTrukstaA2S() const {
    // Once the server is known to speak A2S, what the round asks goes as A2S.
    if (!arRaundas || !a2sZinomas)
        return false;
    for (const TPrasymas& p : uzklausos)
        if (!ArA2S(p.Rusis) && p.Rusis != TRusis::Pingas && !p.Atsisakyta)
            return true;
    return false;
}

std::optional<qint64> TUzklausuSesija::Terminas() const {
    if (!arRaundas)
        return std::nullopt;
    std::optional<qint64> t;
    if (ArTrukstaA2S())
        t = pradzia; // due now
    const auto anksciau = [&t](qint64 kada) {
        t = t ? qMin(*t, kada) : kada;
    };
    for (const TPrasymas& p : uzklausos) {
        if (p.LaukiaIssukio && !p.Atsakyta && !p.Atsisakyta)
            anksciau(pradzia); // due now
        else if (ArKartojamas(p))
            anksciau(p.Siuntimai.last() + KartojimoTarpas());
    }
    return t;
}

void TUzklausuSesija::PradetiA2S(qint64 dabar, QList<QByteArray>& d, int riba) {
    QList<TRusis> rusys;
    for (const auto& [norima, rusis] : {std::pair{prasymai.Detales, TRusis::A2SInfo},
                                        std::pair{prasymai.Zaidejai, TRusis::A2SZaidejai},
                                        std::pair{prasymai.Taisykles, TRusis::A2STaisykles}})
        if (norima && !Rasti(rusis))
            rusys.append(rusis);
    // All of them or, while the budget has no room for that, none yet.
    if (d.size() + rusys.size() > riba)
        return;
    for (TPrasymas& p : uzklausos)
        if (p.Rusis != TRusis::Pingas && !ArA2S(p.Rusis))
            p.Atsisakyta = true;
    a2sSiusta = a2sZinomas = true;
    for (const TRusis r : rusys) {
        TPrasymas p;
        p.Rusis = r;
        uzklausos.append(p);
        Siusti(uzklausos.last(), dabar, d);
    }
}

QList<QByteArray> TUzklausuSesija::Tikrinti(int riba) {
    QList<QByteArray> d;
    if (!arRaundas || riba <= 0)
        return d;
    const qint64 dabar = laikrodis();
    // Challenge answers first: they are what the server waits for.
    for (TPrasymas& p : uzklausos) {
        if (d.size() >= riba)
            return d;
        if (!p.LaukiaIssukio || p.Atsakyta || p.Atsisakyta)
            continue;
        p.LaukiaIssukio = false;
        ++p.IssukioAtsakymai;
        Siusti(p, dabar, d);
    }
    if (ArTrukstaA2S())
        PradetiA2S(dabar, d, riba);
    const qint64 tarpas = KartojimoTarpas();
    for (TPrasymas& p : uzklausos) {
        if (d.size() >= riba)
            break;
        if (!ArKartojamas(p) || dabar < p.Siuntimai.last() + tarpas)
            continue;
        ++p.Kartojimai;
        Siusti(p, dabar, d);
    }
    return d;
}

bool TUzklausuSesija::ArAtsakyta() const {
    for (const TPrasymas& p : uzklausos)
        if (!p.Atsakyta && !p.Atsisakyta)
            return false;
    return arRaundas;
}

TUzklausuSesija::TPrasymas* TUzklausuSesija::Rasti(TRusis r) {
    for (TPrasymas& p : uzklausos)
        if (p.Rusis == r)
            return &p;
    return nullptr;
}

TUzklausuSesija::TPrasymas* TUzklausuSesija::Atsakyti(char tipas) {
    QList<TRusis> rusys;
    switch (tipas) {
    case kTipasPingas:
        rusys = {TRusis::Pingas};
        break;
    case kTipasZaidejai:
        rusys = {TRusis::A2SZaidejai, TRusis::Zaidejai};
        break;
    case kTipasDetales:
    case kTipasInfo:
        rusys = {TRusis::A2SInfo, TRusis::Detales};
        break;
    case kTipasTaisykles:
        rusys = {TRusis::A2STaisykles, TRusis::Taisykles};
        break;
    default:
        return nullptr;
    }
    TPrasymas* pirmas = nullptr;
    for (const TRusis r : rusys) {
        TPrasymas* p = Rasti(r);
        if (!p)
            continue;
        p->Atsakyta = true;
        // The request still asked answers for the clock, not one given up.
        if (!pirmas || (pirmas->Atsisakyta && !p->Atsisakyta))
            pirmas = p;
    }
    return pirmas;
}

std::optional<int> TUzklausuSesija::Pingas(const TPrasymas* p) {
    if (pingasRodytas)
        return std::nullopt;
    const qint64 dabar = laikrodis();
    TServerioZinios z = registras->Zinios(serveris);
    // From the request's first send: which send a reply answers cannot be
    // told, and a reply to the first credited to a later one would show a
    // round trip shorter than the real one, which then sets the next retries
    // early enough to keep it so. A first send lost shows one round trip
    // too long, never too short.
    const qint64 nuo = p && !p->Siuntimai.isEmpty() ? p->Siuntimai.first() : pradzia;
    pingasRodytas = true;
    const int ms = int(qBound<qint64>(0, dabar - nuo, qint64(std::numeric_limits<int>::max())));
    z.PingoMs = ms;
    registras->Nustatyti(serveris, z);
    return ms;
}

void TUzklausuSesija::PazymetiAtsakyma(bool arA2SRaide) {
    TServerioZinios z = registras->Zinios(serveris);
    // A letter only A2S has marks the server A2S, and so does any answer in a
    // round that knows it for one (remembered, or the Steam queries went out
    // after the legacy words stayed unanswered, or an A2S letter came).
    a2sZinomas = a2sZinomas || arA2SRaide;
    z.Dialektas = a2sZinomas ? TDialektas::A2S : TDialektas::Senas;
    z.Atsake = QDateTime::currentMSecsSinceEpoch();
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
    // Xash3D FWGS answers "ping" with "ack" (zero bytes after it, if any, are padding).
    if (ArAck(atsakymas))
        a.Tipas = kTipasPingas;
    switch (a.Tipas) {
    case kTipasPingas: {
        const TPrasymas* p = Atsakyti(kTipasPingas);
        // No "ping" went out this round (a late one of an earlier round), or
        // the clock stopped at an earlier reply.
        if (!pingasSiustas || pingasRodytas)
            return a;
        a.PingoMs = Pingas(p);
        a.Rusis = TAtsakymoRusis::Pingas;
        return a;
    }
    case kTipasIssukis: {
        const std::optional<TIssukis> c = SkaitytiIssuki(srautas);
        if (!c || !a2sSiusta)
            return a; // a challenge nobody asked for
        TServerioZinios z = registras->Zinios(serveris);
        z.Issukis = *c;
        registras->Nustatyti(serveris, z);
        PazymetiAtsakyma(true);
        const TPrasymas* laikrodzio = nullptr;
        for (TPrasymas& p : uzklausos) {
            if (!ArA2S(p.Rusis) || p.Atsakyta || p.Atsisakyta)
                continue;
            if (!laikrodzio)
                laikrodzio = &p;
            if (p.SiustaSu != c && p.IssukioAtsakymai < kIssukioAtsakymai)
                p.LaukiaIssukio = true;
        }
        if (!pingasSiustas || a2sZinomas)
            a.PingoMs = Pingas(laikrodzio);
        return a;
    }
    case kTipasZaidejai:
    case kTipasDetales:
    case kTipasInfo:
    case kTipasTaisykles:
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
    const TPrasymas* p = Atsakyti(a.Tipas);
    switch (a.Tipas) {
    case kTipasZaidejai:
        if (zaidejaiGauti)
            return a;
        zaidejaiGauti = true;
        a.Zaidejai = SkaitytiZaidejus(srautas);
        a.Rusis = TAtsakymoRusis::Zaidejai;
        break;
    case kTipasDetales: {
        if (detalesGautos)
            return a;
        detalesGautos = true;
        TDetalesSuBotais d = SkaitytiDetalesSuBotais(srautas);
        a.Detales = std::move(d.Detales);
        a.Botai = d.Botai;
        a.Rusis = TAtsakymoRusis::Detales;
        break;
    }
    case kTipasInfo:
        if (infoGautas)
            return a;
        infoGautas = detalesGautos = true;
        a.Info = SkaitytiInfo(srautas);
        a.Detales = DetalesIsInfo(*a.Info, serveris.toUtf8());
        a.Botai = a.Info->Botai;
        a.Rusis = TAtsakymoRusis::Detales;
        break;
    default: // kTipasTaisykles
        if (taisyklesGautos)
            return a;
        taisyklesGautos = true;
        a.Taisykles = SkaitytiTaisykles(srautas);
        a.Rusis = TAtsakymoRusis::Taisykles;
        break;
    }
    atsakymasGautas = true;
    PazymetiAtsakyma(a.Tipas == kTipasInfo);
    if (!pingasSiustas || a2sZinomas)
        a.PingoMs = Pingas(p);
    return a;
}

void TUzklausuSesija::BaigtiRaunda() {
    surinkejas.IsmestiNebaigtus();
    if (!arRaundas)
        return;
    arRaundas = false;
    TServerioZinios z = registras->Zinios(serveris);
    // A server remembered for one dialect that answers nothing in a whole
    // round is doubted: the next round asks as for an unknown server, and
    // what answers then is remembered instead.
    const bool pilnas = laikrodis() - pradzia >= kPilnoRaundoMs;
    const bool abejojama = pilnas && !atsakymasGautas && z.Dialektas != TDialektas::Nezinomas;
    if (abejojama) {
        z.Dialektas = TDialektas::Nezinomas;
        z.Issukis.reset();
    }
    registras->Nustatyti(serveris, z);
    if (!ApklausosZurnalas().isDebugEnabled())
        return;
    const qint64 trukme = laikrodis() - pradzia;
    if (!atsakymasGautas && !pingasRodytas) {
        qCDebug(ApklausosZurnalas).noquote().nospace() << "round to " << serveris << " unanswered after " << trukme
                                                       << " ms" << (abejojama ? ": its dialect is asked anew" : "");
        return;
    }
    QByteArray kas;
    if (pingasRodytas)
        kas += " ping " + QByteArray::number(z.PingoMs.value_or(0)) + " ms";
    if (infoGautas || detalesGautos)
        kas += infoGautas ? " info" : " details";
    if (zaidejaiGauti)
        kas += " players";
    if (taisyklesGautos)
        kas += " rules";
    qCDebug(ApklausosZurnalas).noquote().nospace() << "round to " << serveris << " answered in " << trukme
                                                   << " ms:" << kas << ", dialect " << DialektoVardas(z.Dialektas);
}
