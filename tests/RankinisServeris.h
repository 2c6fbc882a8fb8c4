// A server socket under the test's own hand: it records the requests it gets
// and sends whatever the test wants to the client that asked last. The
// program knows it for a legacy server (a round sends it the legacy words
// alone), unless the test tells the registry otherwise.
#pragma once

#include <QHostAddress>
#include <QList>
#include <QNetworkDatagram>
#include <QUdpSocket>

#include "Sesija.h"

struct TRankinisServeris {
    QUdpSocket lizdas;
    QList<QNetworkDatagram> gauta;
    QHostAddress klientas;
    quint16 klientoPortas = 0;

    bool Paleisti(const QHostAddress& adresas = QHostAddress::LocalHost) {
        if (!lizdas.bind(adresas, 0))
            return false;
        TServeriuRegistras::Bendras().Nustatyti(Adresas(), TServerioZinios{.Dialektas = TDialektas::Senas});
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
    QString Adresas() const {
        return lizdas.localAddress().toString() + QLatin1Char(':') + QString::number(lizdas.localPort());
    }
    void Siusti(const QByteArray& d) { lizdas.writeDatagram(d, klientas, klientoPortas); }
};
