#include "Stebetojas.h"

#include "Kalba.h"
#include "Tekstas.h"

QStringList NetikruSablonai(const TKalba& kalba) {
    QStringList sablonai;
    for (const char* raktas : {"NetikriVietos", "NetikriSarasas", "NetikriVardai", "NetikriLaikai", "NetikriSteam"})
        sablonai.append(kalba.Tekstas("Pranesimai", raktas));
    return sablonai;
}

QString NetikruPatarimas(const TKalba& kalba, const TNetikruIvertis& ivertis) {
    const QString kodel = NetikruPriezastis(ivertis, NetikruSablonai(kalba));
    if (kodel.isEmpty())
        return {};
    return PatarimoTekstas(kalba.Tekstas("Pranesimai", "NetikriZaidejai").arg(QString::number(ivertis.Netikri), kodel));
}
