// The game's LAN search over the hub's endpoint: A2S_INFO to every port of
// a list on every address of another (broadcast addresses), then, for a
// while, the replies of any sender on those ports taken: a challenge
// answered once a server, each server's first info reply reported with its
// round trip.
//
//   centras->Lan()->Ieskoti(adresai, prievadai, 3000, this,
//                           [this](const TLanPaieska::TRadinys& r) { ... },
//                           [this] { ... });
//
// The search sends through the endpoint; what it receives comes from the
// poller, which hands on every datagram no round of its own claims
// (TApklausa::NustatytiKita): the endpoint's filter lets through only the
// ports the search listens to (ArKlauso), as it reads them.
#pragma once

#include <functional>
#include <optional>

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>

#include "A2S.h"
#include "iphostport.h"

class QTimer;
class TNMUDP;

class TLanPaieska : public QObject {
    Q_OBJECT
public:
    using TLaikrodis = std::function<qint64()>;

    struct TRadinys {
        TServerioAdresas Adresas; // the dotted address it answered from, and its port
        TA2SInfo Info;
        int PingoMs = 0;
    };

    // `laikrodis`: the round trips' clock, monotonic ms (the system's by default).
    TLanPaieska(TNMUDP* galas, TLaikrodis laikrodis = {}, QObject* tevas = nullptr);
    ~TLanPaieska() override;

    // Sends to every port of `prievadai` on every address of `adresai` and
    // takes the replies for `trukmeMs`: each server's first info reply goes
    // to `rasta`, then `baigta`; both only while `kontekstas` lives. A new
    // search ends the one under way (without its `baigta`).
    void Ieskoti(const QList<QHostAddress>& adresai, const QList<quint16>& prievadai, qint64 trukmeMs,
                 QObject* kontekstas, std::function<void(const TRadinys&)> rasta, std::function<void()> baigta);
    bool ArIeskoma() const { return paieska.has_value(); }

    // Whether a datagram from `portas` is the search's to take now.
    bool ArKlauso(quint16 portas) const { return paieska && paieska->Prievadai.contains(portas); }
    // A datagram from a sender on such a port.
    void Gauta(const QHostAddress& siuntejas, quint16 portas, const QByteArray& datagrama);

private:
    struct TBusena {
        TBusena() {} // NOLINT(modernize-use-equals-default): "= default" is not usable before the class ends
        QSet<quint16> Prievadai;
        qint64 Pradzia = 0;
        QSet<quint64> Atsake;   // senders reported
        QSet<quint64> Issukiai; // senders whose challenge was answered
        QPointer<QObject> Kontekstas;
        std::function<void(const TRadinys&)> Rasta;
        std::function<void()> Baigta;
        QTimer* Laikmatis = nullptr;
    };

    void Siusti(const QString& ip, quint16 portas, const QByteArray& datagrama);

    TNMUDP* galas;
    TLaikrodis laikrodis;
    std::optional<TBusena> paieska;
};
