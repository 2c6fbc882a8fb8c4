#include "iphostport.h"

#include <QHostAddress>
#include <QHostInfo>

#include "Skaiciai.h"

TAdresoDalys AtskirtiPorta(const QString& adresas) {
    const qsizetype dvitaskis = adresas.indexOf(u':');
    if (dvitaskis < 0)
        return {adresas, QString::fromLatin1(kNumatytasPortas)};
    TAdresoDalys dalys;
    dalys.Hostas = ApkarpytiTarpus(adresas.left(dvitaskis));
    dalys.Portas = ApkarpytiTarpus(adresas.mid(dvitaskis + 1));
    if (dalys.Portas.isEmpty())
        dalys.Portas = QString::fromLatin1(kNumatytasPortas);
    return dalys;
}

QString GautiIP(const QString& hostas) {
    if (hostas.isEmpty())
        return hostas;
    const QHostInfo info = QHostInfo::fromName(hostas);
    if (info.error() != QHostInfo::NoError)
        return hostas;
    for (const QHostAddress& a : info.addresses()) {
        bool ipv4 = false;
        const quint32 adresas = a.toIPv4Address(&ipv4);
        if (ipv4)
            return QHostAddress(adresas).toString();
    }
    return hostas;
}

QString GautiVarda(const QString& ip) {
    QHostAddress adresas;
    if (!adresas.setAddress(ip) || adresas.protocol() != QAbstractSocket::IPv4Protocol)
        return ip;
    const QHostInfo info = QHostInfo::fromName(adresas.toString());
    if (info.error() != QHostInfo::NoError || info.hostName().isEmpty())
        return ip;
    return info.hostName();
}
