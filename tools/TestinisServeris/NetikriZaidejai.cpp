#include "NetikriZaidejai.h"

#include <iterator>
#include <numeric>
#include <utility>
#include <vector>

#include "AtsakymuKurejas.h"

namespace {

constexpr const char* kPradzios[] = {"Dark",   "Silent", "Crazy", "Lucky", "Red",   "Ghost", "Iron",
                                     "Toxic",  "Frosty", "Mad",   "Sly",   "Rapid", "Lazy",  "Wild",
                                     "Sneaky", "Angry",  "Cold",  "Happy", "Night", "Big"};
constexpr const char* kGalai[] = {"Wolf",  "Sniper", "Fox",  "Hunter", "Eagle",
                                  "Tiger", "Ninja",  "Bear", "Viper",  "Rider"};
static_assert(std::size(kPradzios) * std::size(kGalai) == kNetikruVardu);

// The players a real server of this kind still has.
constexpr int kTikruSkaiciaus = 3;
// Slots no GoldSrc server has (it takes 32 at most), nearly all of them taken.
constexpr quint8 kVietosMax = 64;
constexpr int kVietosZaideju = 60;
constexpr quint8 kMaisymoMax = 20;

} // namespace

QByteArray NetikroVardas(int n) {
    if (n % 5 == 4)
        return "Player_" + QByteArray::number(100 + n);
    return QByteArray(kPradzios[n % std::size(kPradzios)]) + kGalai[(n / std::size(kPradzios)) % std::size(kGalai)];
}

TZaidejai TrauktiNetikrus(QRandomGenerator& generatorius, int kiek, double iki) {
    kiek = qBound(0, kiek, kNetikruVardu);
    // The first kiek places of a partly shuffled pool.
    std::vector<int> vardai(kNetikruVardu);
    std::iota(vardai.begin(), vardai.end(), 0);
    TZaidejai zaidejai;
    for (int k = 0; k < kiek; ++k) {
        std::swap(vardai[size_t(k)], vardai[size_t(k + int(generatorius.bounded(kNetikruVardu - k)))]);
        const qint32 fragai = qint32(generatorius.bounded(41));
        const float laikas = float(generatorius.generateDouble() * iki);
        zaidejai.append(KurtiZaidejoInfo(quint8(k + 1), NetikroVardas(vardai[size_t(k)]), fragai, laikas));
    }
    return zaidejai;
}

TServerioTurinys NetikrasTurinys(TNetikruBudas budas, const TServerioTurinys& pagrindas, quint32 seklas) {
    if (budas == TNetikruBudas::Nera)
        return pagrindas;
    QRandomGenerator generatorius(seklas);
    TServerioTurinys t = pagrindas;
    t.Botai = 0;
    t.ZaidejuSkaicius.reset();
    switch (budas) {
    case TNetikruBudas::Nera:
        break;
    case TNetikruBudas::Maisyti:
    case TNetikruBudas::Sustinge:
    case TNetikruBudas::Nuo0:
        t.Detales.MaxZaideju = kMaisymoMax;
        t.Zaidejai = TrauktiNetikrus(generatorius, kNetikruSarasas, 3600);
        break;
    case TNetikruBudas::Skaicius:
        if (t.Detales.MaxZaideju < kTikruSkaiciaus + 2)
            t.Detales.MaxZaideju = 32;
        t.ZaidejuSkaicius = quint8(t.Detales.MaxZaideju - 1);
        t.Zaidejai = TrauktiNetikrus(generatorius, kTikruSkaiciaus, 2400);
        break;
    case TNetikruBudas::Vietos:
        t.AppId = 10;
        t.Detales.MaxZaideju = kVietosMax;
        t.Zaidejai = TrauktiNetikrus(generatorius, kVietosZaideju, 3600);
        break;
    }
    return t;
}
