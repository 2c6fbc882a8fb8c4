#include "Netikri.h"

#include <algorithm>
#include <cmath>

#include <QSet>

namespace {

constexpr int kXashProtokolas = 49;
// The games of the engine, whose servers have at most kGoldSrcVietos slots.
constexpr int kGoldSrcZaidimai[] = {10, 20, 30, 40, 50, 60, 70, 80, 130};

bool ArGoldSrc(const TZvilgsnis& z) {
    if (z.Protokolas == kXashProtokolas)
        return false;
    if (z.AppId == 0)
        return z.Protokolas == 47 || z.Protokolas == 48;
    return std::find(std::begin(kGoldSrcZaidimai), std::end(kGoldSrcZaidimai), z.AppId) != std::end(kGoldSrcZaidimai);
}

// The named players a look lists, each name once, with their times: an empty
// name is a player still connecting, and a name listed twice tells nothing.
QHash<QByteArray, float> Vardiniai(const TZvilgsnis& z) {
    QHash<QByteArray, float> r;
    QSet<QByteArray> dvigubi;
    for (qsizetype i = 0; i < z.Vardai.size(); ++i) {
        const QByteArray& v = z.Vardai.at(i);
        if (v.trimmed().isEmpty())
            continue;
        if (r.contains(v))
            dvigubi.insert(v);
        r.insert(v, i < z.Laikai.size() ? z.Laikai.at(i) : 0.0f);
    }
    for (const QByteArray& v : dvigubi)
        r.remove(v);
    return r;
}

} // namespace

std::optional<TZvilgsnis> Zvilgsnis(const TRaundoSantrauka& r) {
    if (!r.Zaidejai || !r.MaxZaideju || !r.Vardai)
        return std::nullopt;
    TZvilgsnis z;
    z.LaikasMs = r.LaikasMs;
    z.Zaidejai = *r.Zaidejai;
    z.MaxZaideju = *r.MaxZaideju;
    z.Botai = qBound(0, r.Botai.value_or(0), z.Zaidejai);
    z.AppId = r.AppId;
    z.Protokolas = r.Protokolas;
    z.Vardai = *r.Vardai;
    z.Laikai = r.Laikai;
    return z;
}

TNetikruIvertis IvertintiNetikrus(const TZvilgsnis& senas, const TZvilgsnis& naujas, std::optional<int> steam) {
    TNetikruIvertis geriausias;
    const int zmones = naujas.Zaidejai - naujas.Botai; // at most this many can be fake
    const auto siulyti = [&](int netikri, TNetikruPriezastis priezastis, int a, int b) {
        netikri = qMin(netikri, zmones);
        if (netikri > geriausias.Netikri)
            geriausias = {netikri, priezastis, a, b};
    };
    if (zmones <= 0 || naujas.LaikasMs - senas.LaikasMs < kZvilgsniuTarpasMs)
        return {};

    // More slots than the game has: the claims beyond them are none.
    if (ArGoldSrc(naujas) && ArGoldSrc(senas) && naujas.MaxZaideju > kGoldSrcVietos &&
        senas.MaxZaideju > kGoldSrcVietos)
        siulyti(naujas.Zaidejai - kGoldSrcVietos, TNetikruPriezastis::Vietos, naujas.MaxZaideju, kGoldSrcVietos);

    // More claimed than listed, at both looks: one or two connecting is normal.
    // A list left empty is a server that hides its players, not evidence.
    const auto trukumas = [](const TZvilgsnis& z) {
        const int t = z.Zaidejai - int(z.Vardai.size());
        return !z.Vardai.isEmpty() && t >= qMax(3, z.Zaidejai / 4) ? t : 0;
    };
    if (trukumas(senas) > 0 && trukumas(naujas) > 0)
        siulyti(qMin(trukumas(senas), trukumas(naujas)), TNetikruPriezastis::Sarasas, naujas.Zaidejai,
                int(naujas.Vardai.size()));

    // A real roster changes a few names at a time.
    const QHash<QByteArray, float> pirmi = Vardiniai(senas);
    const QHash<QByteArray, float> antri = Vardiniai(naujas);
    int liko = 0;
    for (auto i = antri.cbegin(); i != antri.cend(); ++i)
        liko += pirmi.contains(i.key()) ? 1 : 0;
    const qsizetype maziau = qMin(pirmi.size(), antri.size());
    if (maziau >= 5 && liko * 4 <= maziau)
        siulyti(int(antri.size()) - liko - naujas.Botai, TNetikruPriezastis::Vardai, 0, 0);

    // A real player's time grows with the clock; a map change keeps it.
    const double tarpas = double(naujas.LaikasMs - senas.LaikasMs) / 1000.0;
    const double leidziama = qMax(5.0, tarpas / 4);
    int blogi = 0;
    int palyginta = 0;
    for (auto i = antri.cbegin(); i != antri.cend(); ++i) {
        const auto ankstesnis = pirmi.constFind(i.key());
        if (ankstesnis == pirmi.cend() || *ankstesnis < 0 || i.value() < 0)
            continue; // Xash3D FWGS's bots: -1.0 s
        ++palyginta;
        blogi += std::abs(double(i.value() - *ankstesnis) - tarpas) > leidziama ? 1 : 0;
    }
    // Bots the server declares may keep any time.
    blogi -= qMin(blogi, naujas.Botai);
    if (palyginta >= 3 && blogi >= 3 && blogi * 3 >= palyginta * 2)
        siulyti(blogi, TNetikruPriezastis::Laikai, 0, 0);

    // The Steam master's figure lags, but not by half the server.
    if (steam && *steam >= 0) {
        const int skirtumas = naujas.Zaidejai - *steam;
        if (skirtumas >= qMax(4, naujas.Zaidejai / 2))
            siulyti(skirtumas, TNetikruPriezastis::Steam, *steam, 0);
    }
    return geriausias;
}

QString NetikruPriezastis(const TNetikruIvertis& ivertis, const QStringList& sablonai) {
    const qsizetype i = qsizetype(ivertis.Priezastis) - 1;
    if (ivertis.Netikri <= 0 || i < 0 || i >= sablonai.size())
        return {};
    QString t = sablonai.at(i);
    if (t.contains(QLatin1String("%2")))
        return t.arg(ivertis.A).arg(ivertis.B);
    return t.contains(QLatin1String("%1")) ? t.arg(ivertis.A) : t;
}

// ---- TNetikruTeisejas ----

TNetikruTeisejas::TNetikruTeisejas(QObject* tevas) : QObject(tevas) {}

void TNetikruTeisejas::Irasyti(const TRaundoSantrauka& raundas) {
    const std::optional<TZvilgsnis> z = Zvilgsnis(raundas);
    if (!z)
        return;
    TServeris& s = serveriai[raundas.Serveris];
    s.Naudota = ++laikas;
    // Looks too old to compare, or from a clock that went back, go.
    while (!s.Zvilgsniai.isEmpty() && (z->LaikasMs - s.Zvilgsniai.constFirst().LaikasMs > kZvilgsnioAmziusMs ||
                                       z->LaikasMs < s.Zvilgsniai.constFirst().LaikasMs))
        s.Zvilgsniai.removeFirst();
    // The newest look old enough to compare with.
    const TZvilgsnis* senas = nullptr;
    for (const TZvilgsnis& kitas : std::as_const(s.Zvilgsniai))
        if (z->LaikasMs - kitas.LaikasMs >= kZvilgsniuTarpasMs)
            senas = &kitas;
    if (senas) {
        const TNetikruIvertis naujas = IvertintiNetikrus(*senas, *z, s.Steam);
        if (naujas != s.Ivertis) {
            s.Ivertis = naujas;
            Q_EMIT Pakito(raundas.Serveris, naujas);
        }
    }
    s.Zvilgsniai.append(*z);
    if (s.Zvilgsniai.size() > kZvilgsniuServeriui)
        s.Zvilgsniai.removeFirst();
    Apriboti();
}

void TNetikruTeisejas::NustatytiSteam(const QString& serveris, int zaidejai) {
    TServeris& s = serveriai[serveris];
    s.Steam = zaidejai;
    s.Naudota = ++laikas;
    Apriboti();
}

TNetikruIvertis TNetikruTeisejas::Ivertis(const QString& serveris) const {
    const auto i = serveriai.constFind(serveris);
    return i == serveriai.cend() ? TNetikruIvertis{} : i->Ivertis;
}

void TNetikruTeisejas::Apriboti() {
    if (serveriai.size() <= kDaugiausiaServeriu)
        return;
    // The tenth least recently seen go at once, so this runs seldom.
    QList<quint64> kada;
    kada.reserve(serveriai.size());
    for (const TServeris& s : std::as_const(serveriai))
        kada.append(s.Naudota);
    std::nth_element(kada.begin(), kada.begin() + kDaugiausiaServeriu / 10, kada.end());
    const quint64 riba = kada.at(kDaugiausiaServeriu / 10);
    serveriai.removeIf([riba](const auto& i) { return i.value().Naudota < riba; });
}
