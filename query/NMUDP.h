// TNMUDP: one IPv4 UDP socket. Sends a caller's buffer as one datagram to
// RemoteHost:RemotePort, a dotted IPv4 address (names are resolved before, by
// the hub's lookups: iphostport.h), and hands every received datagram to its
// owner through OnDataReceived, on the GUI thread.
#pragma once

#include <deque>
#include <functional>

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>

#include "AtminiesSrautas.h"
#include "Klaidos.h"
#include "NMConst.h"

class QUdpSocket;

// Socket, lookup and address failures of the endpoint.
class UDPSockError : public EKlaida {
public:
    using EKlaida::EKlaida;
};

class QTimer;

class TNMUDP : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString RemoteHost READ RemoteHost WRITE setRemoteHost)
    Q_PROPERTY(int RemotePort READ RemotePort WRITE setRemotePort)
    Q_PROPERTY(int LocalPort READ LocalPort WRITE setLocalPort)
    Q_PROPERTY(int ReportLevel READ ReportLevel WRITE setReportLevel)

public:
    using TOnReceive = std::function<void(QObject* Sender, int NumberBytes, const QString& FromIP, int Port)>;
    using TNotifyEvent = std::function<void(QObject* Sender)>;
    using TOnStatus = std::function<void(QObject* Sender, const QString& status)>;
    using THandlerEvent = std::function<void(bool& handled)>;
    using TStreamInvalid = std::function<void(bool& handled, TAtminiesSrautas& Stream)>;
    using TBuffInvalid = std::function<void(bool& handled, QByteArray& Buff, int& length)>;

    explicit TNMUDP(QObject* owner = nullptr);
    ~TNMUDP() override;

    QString RemoteHost() const { return remoteHost; }
    void setRemoteHost(const QString& v) { remoteHost = v; }
    int RemotePort() const { return remotePort; }
    void setRemotePort(int v) { remotePort = v; }
    int LocalPort() const { return localPort; }
    void setLocalPort(int v); // rebuilds the socket and binds it
    int ReportLevel() const { return reportLevel; }
    void setReportLevel(int v) { reportLevel = v; }

    // Which senders the owner listens to (empty: every one). A datagram from
    // anyone else is dropped as it is read, before it waits in the queue.
    std::function<bool(const QHostAddress& is, quint16 portas)> Filtras;

    // What one pass of the event loop reads from the socket at most, and
    // what waits for delivery at most (datagrams, bytes): past that the rest
    // waits in the socket, and the window stays responsive under a flood.
    static constexpr int kSkaitymoRiba = 64;
    static constexpr int kEilesRiba = 256;
    static constexpr qsizetype kEilesBaitai = 2 * 1024 * 1024;
    // The guard's look at the socket after a send: every 200 ms for 10 s.
    static constexpr int kSargoMs = 200;
    static constexpr int kSargoKartai = 50;

    TOnReceive OnDataReceived;
    TNotifyEvent OnDataSend;
    TOnStatus OnStatus;
    // A host name of a round that cannot be resolved, when the round has no
    // handler of its own: the poller raises it (Apklausa.h), `handled`
    // asking for the name to be looked up once more.
    THandlerEvent OnInvalidHost;
    TStreamInvalid OnStreamInvalid; // declared only; nothing raises it
    TBuffInvalid OnBufferInvalid;

    // Sends length bytes of Buff as one datagram. Raises UDPSockError for a
    // host that is no dotted IPv4 address ("Host Lookup Canceled": the
    // endpoint looks no name up), a null address or a port outside 1..65535,
    // and EKlaida "Invalid buffer" for an empty send that OnBufferInvalid does
    // not repair.
    void SendDatagram(const char* Buff, int length);
    void SendDatagram(const QByteArray& Buff) { SendDatagram(Buff.constData(), int(Buff.size())); }

    // Writes the last received datagram into Stream at its position, then
    // rewinds the stream. Valid only inside OnDataReceived.
    void CopyReceivedToStream(TAtminiesSrautas& Stream) const;

    // The datagrams taken are numbered from 1 in the order they are received;
    // PristatomasNumeris is the number of the one OnDataReceived is handling.
    quint64 PristatomasNumeris() const { return pristatomasNumeris; }
    // Datagrams waiting for delivery now; datagrams the filter dropped so far.
    int Laukia() const { return int(eile.size()); }
    quint64 Atmesta() const { return atmesta; }

    // The address and port of the last datagram sent (null before any send).
    QHostAddress PaskutinisAdresas() const { return paskutinisAdresas; }
    quint16 PaskutinisPortas() const { return paskutinisPortas; }
    // The local port the socket holds now (0 while unbound).
    quint16 UzimtasPortas() const;
    QString PaskutinisStatusas() const { return paskutinisStatusas; }

private:
    struct TGautas {
        QByteArray duomenys;
        int kiekis = -1;
        QString is;
        int portas = 0;
        quint64 numeris = 0;
    };

    void ReportStatus(int level, const QString& text);
    quint32 ResolveRemoteHost();
    void KurtiLizda();
    void Susieti(quint16 portas);
    void SkaitytiLizda();
    void PlanuotiSkaityma();
    void IssiustiGautus();
    // While replies may come: reads what waits in the socket whatever its
    // notification says, a few times a second, for a few seconds after a send.
    void Saugoti();

    QString remoteHost;
    int remotePort = 0;
    int localPort = 0;
    int reportLevel = NMConst::kPradinisReportLevel;

    QUdpSocket* lizdas = nullptr;
    QByteArray gautas; // the datagram being delivered
    std::deque<TGautas> eile;
    qsizetype eilesBaitai = 0;
    bool issiuntimasSuplanuotas = false;
    bool skaitymasSuplanuotas = false;
    QTimer* sargas = nullptr;
    int sargoTyla = 0; // the guard's turns since the last send
    quint64 gautaIsViso = 0;
    quint64 atmesta = 0;
    quint64 pristatomasNumeris = 0;
    QString paskutinisStatusas;
    QHostAddress paskutinisAdresas;
    quint16 paskutinisPortas = 0;
};
