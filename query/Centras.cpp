#include "Centras.h"

#include "LanPaieska.h"
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
    vardai = new TAdresuPaieska(this);
    vardai->setObjectName(u"Vardai"_s);
    lan = new TLanPaieska(galas, laikrodis, this);
    lan->setObjectName(u"Lan"_s);
    apklausa = new TApklausa(galas, vardai, registras, biudzetas, std::move(laikrodis), this);
    apklausa->setObjectName(u"Apklausa"_s);
    // What no round claims is the LAN search's when it listens to its port.
    apklausa->NustatytiKita({[l = lan](quint16 portas) { return l->ArKlauso(portas); },
                             [l = lan](const QHostAddress& is, quint16 portas, const QByteArray& d) {
                                 l->Gauta(is, portas, d);
                             }});
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
