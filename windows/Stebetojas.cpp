#include "Stebetojas.h"

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

void RegistruotiStebetoja(TStebetojas* naujas) {
    stebetojas = naujas;
}

void RegistruotiSarasa(TSarasas* naujas) {
    sarasas = naujas;
}

void RegistruotiKalba(const TKalba* nauja) {
    kalba = nauja;
}
