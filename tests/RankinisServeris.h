// A server socket under the test's own hand: it records the requests it gets
// and sends whatever the test wants to the client that asked last. Each one
// started is told to Pazinti (when set): the window tests make it a legacy
// server the program has met before, whose rounds are the legacy words alone.
#pragma once

#include <functional>

#include <QHostAddress>
#include <QList>
#include <QNetworkDatagram>
#include <QUdpSocket>

struct TRankinisServeris {
    QUdpSocket lizdas;
    QList<QNetworkDatagram> gauta;
    QHostAddress klientas;
    quint16 klientoPortas = 0;

    bool Paleisti(const QHostAddress& adresas = QHostAddress::LocalHost) {
        if (!lizdas.bind(adresas, 0))
            return false;
        if (Pazinti)
            Pazinti(Adresas());
        QObject::connect(&lizdas, &QUdpSocket::readyRead, &lizdas, [this] {
            while (lizdas.hasPendingDatagrams()) {
                const QNetworkDatagram d = lizdas.receiveDatagram();
                klientas = d.senderAddress();
                klientoPortas = d.senderPort();
                gauta.append(d);
            }
        });
        return true;
    }
    static inline std::function<void(const QString& adresas)> Pazinti;

    QString Adresas() const {
        return lizdas.localAddress().toString() + QLatin1Char(':') + QString::number(lizdas.localPort());
    }
    void Siusti(const QByteArray& d) { lizdas.writeDatagram(d, klientas, klientoPortas); }
};
