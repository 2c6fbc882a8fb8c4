#include "Centras.h"

#include "NMUDP.h"
#include "iphostport.h"

using namespace Qt::StringLiterals;

TCentras::TCentras(quint16 vietinisPortas, TApklausa::TLaikrodis laikrodis, QObject* tevas) : QObject(tevas) {
    setObjectName(u"Centras"_s);
    galas = new TNMUDP(this);
    galas->setObjectName(u"NMUDP1"_s);
    galas->setRemoteHost(u"127.0.0.1"_s);
    galas->setRemotePort(27015);
    galas->setLocalPort(vietinisPortas);
    galas->setReportLevel(2);
    apklausa = new TApklausa(galas, registras, biudzetas, std::move(laikrodis), this);
    apklausa->setObjectName(u"Apklausa"_s);
    vardai = new TAdresuPaieska(this);
    vardai->setObjectName(u"Vardai"_s);
    netikri = new TNetikruTeisejas(this);
    netikri->setObjectName(u"Netikri"_s);
    connect(apklausa, &TApklausa::RaundasBaigtas, netikri, &TNetikruTeisejas::Irasyti);
}

TCentras::~TCentras() {
    // The poller goes before the endpoint it listens to, and before the
    // registries it points to.
    delete apklausa;
    apklausa = nullptr;
}
