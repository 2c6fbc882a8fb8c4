#include "LanPaieska.h"

#include <algorithm>

#include <QTimer>

#include "AtminiesSrautas.h"
#include "Klaidos.h"
#include "Laikas.h"
#include "NMUDP.h"
#include "cstrike.h"

TLanPaieska::TLanPaieska(TNMUDP* galas, TLaikrodis laikrodis, QObject* tevas)
    : QObject(tevas), galas(galas), laikrodis(laikrodis ? std::move(laikrodis) : TLaikrodis(&TikrasLaikasMs)) {}

TLanPaieska::~TLanPaieska() = default;

void TLanPaieska::Ieskoti(const QList<QHostAddress>& adresai, const QList<quint16>& prievadai, qint64 trukmeMs,
                          QObject* kontekstas, std::function<void(const TRadinys&)> rasta,
                          std::function<void()> baigta) {
    if (paieska)
        delete paieska->Laikmatis;
    paieska.emplace();
    paieska->Prievadai = QSet<quint16>(prievadai.cbegin(), prievadai.cend());
    paieska->Pradzia = laikrodis();
    paieska->Kontekstas = kontekstas;
    paieska->Rasta = std::move(rasta);
    paieska->Baigta = std::move(baigta);
    paieska->Laikmatis = new QTimer(this);
    paieska->Laikmatis->setSingleShot(true);
    connect(paieska->Laikmatis, &QTimer::timeout, this, [this] {
        const QPointer<QObject> kontekstas = paieska->Kontekstas;
        const auto baigta = std::move(paieska->Baigta);
        paieska->Laikmatis->deleteLater();
        paieska.reset();
        if (kontekstas && baigta)
            baigta();
    });
    paieska->Laikmatis->start(int(std::clamp<qint64>(trukmeMs, 0, 60000)));
    const QByteArray uzklausa = A2SInfoUzklausa();
    for (const QHostAddress& adresas : adresai)
        for (const quint16 portas : prievadai)
            Siusti(IPTekstas(adresas), portas, uzklausa);
}

void TLanPaieska::Siusti(const QString& ip, quint16 portas, const QByteArray& datagrama) {
    galas->setRemoteHost(ip);
    galas->setRemotePort(portas);
    try {
        galas->SendDatagram(datagrama);
    } catch (const EKlaida&) {
        // An address the system will not send to: the others are still asked.
    }
}

void TLanPaieska::Gauta(const QHostAddress& siuntejas, quint16 portas, const QByteArray& datagrama) {
    if (!ArKlauso(portas))
        return;
    bool ipv4 = false;
    const quint32 ip = siuntejas.toIPv4Address(&ipv4);
    const quint64 raktas = (quint64(ip) << 16) | portas;
    if (!ipv4 || paieska->Atsake.contains(raktas) || datagrama.size() > kDidziausiasAtsakymas || !ArAntraste(datagrama))
        return;
    TAtminiesSrautas srautas(datagrama);
    const char tipas = SkaitytiAntraste(srautas);
    if (tipas == kTipasIssukis) {
        const std::optional<TIssukis> issukis = SkaitytiIssuki(srautas);
        // One answer to one challenge a server: a sender cannot keep the search busy.
        if (!issukis || paieska->Issukiai.contains(raktas))
            return;
        paieska->Issukiai.insert(raktas);
        Siusti(IPTekstas(ip), portas, A2SInfoUzklausa(*issukis));
        return;
    }
    if (tipas != kTipasInfo)
        return;
    paieska->Atsake.insert(raktas);
    const TRadinys radinys{{IPTekstas(ip), portas}, SkaitytiInfo(srautas), int(laikrodis() - paieska->Pradzia)};
    const QPointer<QObject> kontekstas = paieska->Kontekstas;
    const auto rasta = paieska->Rasta;
    if (kontekstas && rasta)
        rasta(radinys);
}
