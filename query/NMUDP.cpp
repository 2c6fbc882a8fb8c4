#include "NMUDP.h"

#include <QNetworkDatagram>
#include <QPointer>
#include <QTimer>
#include <QUdpSocket>

#include "iphostport.h"

TNMUDP::TNMUDP(QObject* owner) : QObject(owner) {
    ReportStatus(NMConst::kLygisInicializavimas, QString::fromLatin1(NMConst::sInitializing));
    KurtiLizda();
    sargas = new QTimer(this);
    sargas->setInterval(kSargoMs);
    connect(sargas, &QTimer::timeout, this, &TNMUDP::Saugoti);
}

TNMUDP::~TNMUDP() = default;

void TNMUDP::ReportStatus(int level, const QString& text) {
    if (level > reportLevel)
        return;
    paskutinisStatusas = text;
    if (OnStatus)
        OnStatus(this, text);
}

void TNMUDP::KurtiLizda() {
    delete lizdas;
    lizdas = new QUdpSocket(this);
    connect(lizdas, &QUdpSocket::readyRead, this, &TNMUDP::SkaitytiLizda);
}

void TNMUDP::Susieti(quint16 portas) {
    // Exclusive bind: a port another endpoint holds stays with it. A refused
    // bind is not an error; the first send then takes a port of the system's.
    lizdas->bind(QHostAddress::AnyIPv4, portas, QAbstractSocket::DontShareAddress);
}

void TNMUDP::setLocalPort(int v) {
    KurtiLizda();
    localPort = v;
    Susieti(static_cast<quint16>(v));
}

quint16 TNMUDP::UzimtasPortas() const {
    return lizdas->state() == QAbstractSocket::BoundState ? lizdas->localPort() : 0;
}

quint32 TNMUDP::ResolveRemoteHost() {
    if (const std::optional<quint32> taskuotas = TaskuotasAdresas(remoteHost))
        return *taskuotas;
    throw UDPSockError(QString::fromLatin1(NMConst::sHostLookupCanceled));
}

void TNMUDP::SendDatagram(const char* Buff, int length) {
    QByteArray kopija(Buff, length > 0 ? length : 0);
    for (int kartas = 0; length == 0; ++kartas) {
        if (kartas == 1 || !OnBufferInvalid)
            throw EKlaida(QString::fromLatin1(NMConst::sInvalidBuffer));
        bool handled = false;
        OnBufferInvalid(handled, kopija, length);
        if (!handled)
            throw EKlaida(QString::fromLatin1(NMConst::sInvalidBuffer));
        if (length > kopija.size())
            length = int(kopija.size());
    }
    if (length < 0)
        throw EKlaida(QString::fromLatin1(NMConst::sInvalidBuffer));

    const quint32 adresas = ResolveRemoteHost();
    if (adresas == 0)
        throw UDPSockError(QString::fromLatin1(NMConst::sNullRemoteAddress));
    if (remotePort < 1 || remotePort > 65535)
        throw UDPSockError(QString::fromLatin1(NMConst::sInvalidRemotePort));

    ReportStatus(NMConst::kLygisSiuntimas, QString::fromLatin1(NMConst::sSending));
    if (lizdas->state() != QAbstractSocket::BoundState)
        Susieti(0);
    paskutinisAdresas = QHostAddress(adresas);
    paskutinisPortas = static_cast<quint16>(remotePort);
    lizdas->writeDatagram(kopija.constData(), length, paskutinisAdresas, paskutinisPortas);
    // Qt's read notification may stay off after a send while datagrams keep
    // coming (seen under a flood): what waits is read without waiting for it,
    // now and, by the guard, while the replies to this send may come.
    if (lizdas->hasPendingDatagrams())
        PlanuotiSkaityma();
    sargoTyla = 0;
    if (!sargas->isActive())
        sargas->start();
    if (OnDataSend)
        OnDataSend(this);
}

void TNMUDP::CopyReceivedToStream(TAtminiesSrautas& Stream) const {
    Stream.Write(gautas.constData(), gautas.size());
    Stream.SetPosition(0);
}

void TNMUDP::SkaitytiLizda() {
    // A bounded pass, then back to the event loop: the socket reports what
    // is left at once, and the timers and the painting get their turn in
    // between. A full queue stops the reading until it has been delivered.
    // What is read is delivered from the event loop rather than from inside
    // readyRead: an owner that opens a message box for a datagram still sees
    // the datagrams that arrive while the box is open.
    skaitymasSuplanuotas = false;
    for (int n = 0; n < kSkaitymoRiba && lizdas->hasPendingDatagrams(); ++n) {
        if (int(eile.size()) >= kEilesRiba || eilesBaitai >= kEilesBaitai)
            break;
        const QNetworkDatagram d = lizdas->receiveDatagram();
        if (Filtras && !Filtras(d.senderAddress(), quint16(d.senderPort()))) {
            ++atmesta;
            continue;
        }
        TGautas g;
        g.numeris = ++gautaIsViso;
        if (d.isValid()) {
            g.duomenys = d.data();
            g.kiekis = int(g.duomenys.size());
            g.is = IPTekstas(d.senderAddress());
            g.portas = d.senderPort();
        }
        eilesBaitai += g.duomenys.size();
        eile.push_back(std::move(g));
        if (!d.isValid())
            break;
    }
    if (!eile.empty() && !issiuntimasSuplanuotas) {
        issiuntimasSuplanuotas = true;
        QTimer::singleShot(0, this, &TNMUDP::IssiustiGautus);
    }
}

void TNMUDP::Saugoti() {
    if (lizdas->hasPendingDatagrams())
        PlanuotiSkaityma();
    if (++sargoTyla >= kSargoKartai)
        sargas->stop();
}

void TNMUDP::PlanuotiSkaityma() {
    if (skaitymasSuplanuotas)
        return;
    skaitymasSuplanuotas = true;
    QTimer::singleShot(0, this, &TNMUDP::SkaitytiLizda);
}

void TNMUDP::IssiustiGautus() {
    issiuntimasSuplanuotas = false;
    QPointer<TNMUDP> gyvas(this);
    // A bounded pass here too: a burst of replies is handed on a part at a
    // time, the rest from the next turn of the event loop, in their order.
    for (int n = 0; gyvas && !eile.empty(); ++n) {
        if (n >= kSkaitymoRiba) {
            issiuntimasSuplanuotas = true;
            QTimer::singleShot(0, this, &TNMUDP::IssiustiGautus);
            return;
        }
        TGautas g = std::move(eile.front());
        eile.pop_front();
        eilesBaitai -= g.duomenys.size();
        gautas = std::move(g.duomenys);
        pristatomasNumeris = g.numeris;
        if (OnDataReceived)
            OnDataReceived(this, g.kiekis, g.is, g.portas);
    }
    // The queue has room again: what the socket kept meanwhile comes next.
    if (gyvas && lizdas->hasPendingDatagrams())
        PlanuotiSkaityma();
}
