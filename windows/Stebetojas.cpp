#include "Stebetojas.h"

#include "Tekstas.h"

#include "Kalba.h"

namespace {

TStebetojas* stebetojas = nullptr;
TSarasas* sarasas = nullptr;
const TKalba* kalba = nullptr;

} // namespace

TStebetojas* Stebetojas() {
    return stebetojas;
}

TSarasas* Sarasas() {
    return sarasas;
}

QString KalbosTekstas(const char* sekcija, const char* raktas) {
    return kalba ? kalba->Tekstas(sekcija, raktas) : QStringLiteral("###1");
}

QStringList NetikruSablonai() {
    QStringList sablonai;
    for (const char* raktas : {"NetikriVietos", "NetikriSarasas", "NetikriVardai", "NetikriLaikai", "NetikriSteam"})
        sablonai.append(KalbosTekstas("Pranesimai", raktas));
    return sablonai;
}

QString NetikruPatarimas(const TNetikruIvertis& ivertis) {
    const QString kodel = NetikruPriezastis(ivertis, NetikruSablonai());
    if (kodel.isEmpty())
        return {};
    return PatarimoTekstas(KalbosTekstas("Pranesimai", "NetikriZaidejai").arg(QString::number(ivertis.Netikri), kodel));
}

void RegistruotiStebetoja(TStebetojas* naujas) {
    stebetojas = naujas;
}

void RegistruotiSarasa(TSarasas* naujas) {
    sarasas = naujas;
}

void RegistruotiKalba(const TKalba* nauja) {
    kalba = nauja;
}
