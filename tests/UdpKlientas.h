// A client socket on 127.0.0.1 for the tests that talk to the test server
// directly: every wait bounded.
#pragma once

#include <optional>

#include <QDeadlineTimer>
#include <QList>
#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QUdpSocket>

struct TGautas {
    QByteArray Duomenys;
    quint16 Prievadas = 0;
};

class TUdpKlientas {
public:
    static constexpr int kNumatytasLaukimas = 5000; // ms a reply may take at most

    TUdpKlientas() { paruostas = lizdas.bind(QHostAddress(QHostAddress::LocalHost), 0); }
    // The socket is bound.
    bool Paruosti() const { return paruostas; }
    quint16 Prievadas() const { return lizdas.localPort(); }

    void Siusti(const QByteArray& d, quint16 prievadas) {
        lizdas.writeDatagram(d, QHostAddress(QHostAddress::LocalHost), prievadas);
    }
    // The next datagram, or nothing after `ms`.
    std::optional<TGautas> Laukti(int ms = kNumatytasLaukimas) {
        QSignalSpy spy(&lizdas, &QUdpSocket::readyRead);
        const QDeadlineTimer riba(ms);
        while (!lizdas.hasPendingDatagrams() && !riba.hasExpired())
            spy.wait(int(qMax<qint64>(1, riba.remainingTime())));
        if (!lizdas.hasPendingDatagrams())
            return std::nullopt;
        const QNetworkDatagram d = lizdas.receiveDatagram();
        return TGautas{d.data(), static_cast<quint16>(d.senderPort())};
    }
    std::optional<QByteArray> LauktiDuomenu(int ms = kNumatytasLaukimas) {
        const std::optional<TGautas> g = Laukti(ms);
        return g ? std::optional<QByteArray>(g->Duomenys) : std::nullopt;
    }
    // Nothing comes for `ms`.
    bool Tylu(int ms) { return !Laukti(ms).has_value(); }
    // Every datagram that comes until `tyla` ms pass without one (the first
    // waited for up to `pirmoLaukti`).
    QList<QByteArray> Gauti(int pirmoLaukti, int tyla) {
        QList<QByteArray> r;
        for (int laukti = pirmoLaukti; const std::optional<TGautas> g = Laukti(laukti); laukti = tyla)
            r.append(g->Duomenys);
        return r;
    }

private:
    QUdpSocket lizdas;
    bool paruostas = false;
};
