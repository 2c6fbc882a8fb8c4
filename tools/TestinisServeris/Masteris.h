// The test server's master: the server list of a GoldSrc or a Xash3D FWGS
// master over UDP, for the servers it is given, so that the program's master
// queries can be run and tested on this machine.
//
// A query is '1', a region byte (0xFF: all), the last address the client got
// as text "a.b.c.d:port" ("0.0.0.0:0" for the first page) and a zero byte,
// then an info string of backslash-separated keys and values (e.g.
// "\gamedir\cstrike\nat\0") and a zero byte. Any other datagram is dropped
// (and counted apart).
//
// GoldSrc reply: FF FF FF FF 66 0A, then 6 bytes an entry (the IPv4 address,
// then the port, both in network order): the entries after the query's last
// address (from the first when that address is not listed), at most
// PuslapioDydis of them; the page that holds the last entry ends with
// 0.0.0.0:0 (six zero bytes). Xash3D reply: FF FF FF FF 66 FF, the four bytes
// of the query's "\key\" (8 hex digits, sent little-endian), a zero byte, then
// the same entries; a query without a key gets no reply. Only servers of the
// info string's "\gamedir\" are listed (letter case aside; without it or with an empty one, all);
// servers on Steam's networking (169.254.0.0/16) never are.
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>

#include "InternetoSarasas.h"

class QUdpSocket;

enum class TMasterioRusis {
    GoldSrc, // the Half-Life master: "66 0A" pages
    Xash     // Xash3D FWGS: "66 FF" pages that echo the query's key
};

// Ways the master can go wrong, for tests.
struct TMasterioElgsena {
    // Every query gets the first page again, without the terminator: a master
    // that sends a page it has already sent.
    bool KartotiPirmaPuslapi = false;
    // The list never ends: after the real entries come pages of made-up
    // addresses 10.x.y.z:27015 (listed only, nothing runs there), and no
    // terminator ever.
    bool Begalinis = false;
    // Xash3D: the reply carries the query's key plus one.
    bool KitasRaktas = false;
    // Queries are received and counted but never answered.
    bool Tyleti = false;
    // Every reply leaves this many milliseconds after its query arrived.
    int DelsaMs = 0;
};

class TTestinisMasteris : public QObject {
    Q_OBJECT
public:
    static constexpr int kNumatytasPuslapis = 231; // entries a page, as the real master sends

    explicit TTestinisMasteris(TMasterioRusis rusis = TMasterioRusis::GoldSrc, QObject* tevas = nullptr);
    ~TTestinisMasteris() override;

    // Binds adresas:prievadas (IPv4; 0: a port of the system's); false when it
    // cannot, and Klaida() says why.
    bool Paleisti(const QHostAddress& adresas, quint16 prievadas);
    quint16 Prievadas() const;
    QString Klaida() const { return klaida; }
    TMasterioRusis Rusis() const { return rusis; }

    // The listed servers, by their query address "ip:port" and game folder.
    void NustatytiIrasus(const QList<TSarasoIrasas>& nauji);
    // Entries a page, 1 to 231 (other values are brought into that range).
    void NustatytiPuslapioDydi(int n);
    int PuslapioDydis() const { return puslapioDydis; }
    void NustatytiElgsena(const TMasterioElgsena& nauja) { elgsena = nauja; }
    const TMasterioElgsena& Elgsena() const { return elgsena; }

    // Queries of the right shape received so far (the unanswered ones too).
    int Uzklausos() const { return uzklausos; }
    // Datagrams dropped for not being a query.
    int NetinkamosUzklausos() const { return netinkamos; }
    // The last datagram received, query or not, byte for byte.
    QByteArray PaskutineUzklausa() const { return paskutine; }

    // The reply to this query datagram (Tyleti and DelsaMs aside); empty when
    // it gets none.
    QByteArray Atsakymas(const QByteArray& uzklausa) const;

Q_SIGNALS:
    // A datagram arrived; tinkama tells whether it was a query.
    void UzklausaGauta(int ilgis, bool tinkama, const QHostAddress& siuntejas, quint16 siuntejoPrievadas);

private:
    struct TIrasas {
        quint32 Ip = 0;
        quint16 Prievadas = 0;
        QString Katalogas;
    };

    void SkaitytiDatagramas();

    TMasterioRusis rusis;
    QUdpSocket* lizdas = nullptr;
    QList<TIrasas> irasai;
    int puslapioDydis = kNumatytasPuslapis;
    TMasterioElgsena elgsena;
    int uzklausos = 0;
    int netinkamos = 0;
    QByteArray paskutine;
    QString klaida;
};
