// A local game server for tests and manual runs: it binds a UDP socket and
// answers the query requests ("ping", "players", "details", "rules", and the
// Steam queries A2S_INFO, A2S_PLAYER, A2S_RULES as today's servers do) from
// the content it is given, and can be told to misbehave the ways real servers
// do (late, silent, banned, odd replies, broken split replies, rate limits) so
// a client's handling can be checked. Its players' times can advance with the
// clock, as real players' do, or the players can be made up the ways plugins
// that fill servers do.
#pragma once

#include <optional>

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QRandomGenerator>
#include <QString>

#include "A2S.h"
#include "ServerioKonsole.h"
#include "cstrike.h"

class QUdpSocket;

// What the server tells about itself.
struct TServerioTurinys {
    // Sent as the details reply, except Zaidejai (see ZaidejuSkaicius) and an
    // empty Info.Adresas, which becomes the bound "address:port".
    TDetales Detales;
    // The players count of the details reply; without it, the number of listed
    // players (at most 255). A count above the list length is how a client
    // sees spectators.
    std::optional<quint8> ZaidejuSkaicius;
    TZaidejai Zaidejai;
    TTaisykles Taisykles;
    // Fields only the info reply 'I' carries.
    qint16 AppId = 10;
    quint8 Botai = 0;
    QByteArray Versija = QByteArrayLiteral("1.1.2.7/Stdio");
    bool operator==(const TServerioTurinys&) const = default;
};

// Which queries the server speaks.
enum class TServerioRezimas {
    Senas,    // the legacy words; the Steam queries get no reply
    Modernus, // today's servers: of the legacy words only "ping" is answered; the
              // Steam queries are, the challenge required for players and rules
              // (for info too with InfoReikiaIssukio), rules split in two or more
    Tarpinis, // a proxy: the legacy words answered, A2S_INFO with 'm' without the bots byte
    Abu,      // as Modernus, but A2S_INFO gets 'm' (with the bots byte) and then 'I'
    Xash      // Xash3D FWGS: "ping" gets "ack", the other legacy words nothing;
              // A2S_INFO answered without a challenge, protocol 49, no extra
              // data; A2S_PLAYER with the challenge silent while no one plays;
              // the rules in one datagram; the console in the Quake form
};

// The layout of split replies.
enum class TSkaidymoBudas {
    Variklio,        // this engine's: one byte, number and total in its two halves
    Naujas,          // the newer engine's: total, number, largest size
    NaujasSuspaustas // the newer layout with the id's compressed bit set (the
                     // payload itself is not compressed: a client must drop the set)
};

// How the server answers the requests it recognises.
enum class TAtsakymuBudas {
    Iprastas,      // each word its own reply
    Tyla,          // no reply at all
    Banas,         // a ban notice 'l' to every request
    Tekstas,       // a text reply 'i' to every request
    NezinomasTipas // a reply with the letter NezinomasTipas to every request
};

// Made-up players, each kind with what gives it away between two looks at
// least a few seconds apart (NetikrasTurinys makes the content each shows;
// the server draws what changes per request).
enum class TNetikruBudas {
    Nera,     // the content's players as they are
    Maisyti,  // 12 names drawn afresh at every players request from a pool of 200,
              // random frags (0-40) and times (0-3600 s); 12 of 20 claimed, no bots
    Sustinge, // 12 fixed names, frags and times: nothing changes between requests
    Nuo0,     // 12 fixed names whose times restart at every request (0-3 s)
    Skaicius, // the maximum less one claimed (31 of 32), 3 real players listed
    Vietos    // 64 slots for a GoldSrc game (appid 10; it has 32 at most), 60
              // claimed and listed, real as far as the list shows
};

struct TServerioElgsena {
    TAtsakymuBudas Budas = TAtsakymuBudas::Iprastas;
    // Every reply leaves this many milliseconds after its request arrived.
    int DelsaMs = 0;
    // "ping" gets no reply; other words are answered as Budas says.
    bool IgnoruotiPinga = false;
    // The texts of the 'i' reply: the first one follows the letter 'i'.
    QByteArray PirmasTekstas = QByteArrayLiteral("Velmorant test server");
    QByteArray AntrasTekstas;
    char NezinomasTipas = 'X';
    // When above the usual size, the players reply is grown with zero bytes
    // to this many bytes.
    int ZaidejuAtsakymoDydis = 0;
    // Replies leave from a second socket bound to another port of the same
    // address (KitasPrievadas()).
    bool AtsakytiIsKitoPrievado = false;
    // How many of the coming answered requests get their reply sent twice;
    // a negative number: every one.
    int DvigubiAtsakymai = 0;

    TServerioRezimas Rezimas = TServerioRezimas::Senas;
    bool InfoReikiaIssukio = false;
    // Split replies (not in Senas): layout, and the payload bytes of one fragment.
    // A longer reply is split; the rules reply to A2S_RULES always is.
    TSkaidymoBudas Skaidymas = TSkaidymoBudas::Variklio;
    int DaliesDydis = 1391;
    bool DaliysAtvirkscia = false; // fragments sent last first
    bool DaliysDukart = false;     // every fragment sent twice
    bool PamestiDali = false;      // the last fragment is never sent
    // Before each reply: an 'A' nobody asked for (the current challenge), and a
    // datagram of this many zero bytes.
    bool PasalinisIssukis = false;
    int NuliniaiBaitai = 0;
    // The engine's query limit: per source address, a window of GreicioLangasS
    // seconds opens at its first datagram; every datagram counts, the dropped
    // ones too, and past GreicioRiba x GreicioLangasS in the window the rest
    // are dropped silently (0: no limit).
    double GreicioRiba = 0;
    int GreicioLangasS = 60;
    // Each datagram, request or reply, is lost with this probability, drawn
    // from a generator seeded with PraradimuSeklas.
    double Praradimai = 0;
    quint32 PraradimuSeklas = 1;
    // How many of the coming replies to a kind of request are lost: the key is
    // the legacy word ("ping", "players", "details", "rules") or the Steam
    // request's letter ("T", "U", "V"); every datagram of the reply goes.
    QHash<QByteArray, int> PamestiAtsakymai;
    // Every players reply gives each listed player the content's Laikas plus
    // the seconds since Paleisti, as real players' times grow; a negative time
    // (Xash3D FWGS bots report -1) is kept. Under Netikri, only the real
    // players of Skaicius and Vietos.
    bool LaikasBega = false;
    // Made-up players instead of the content's (the content's name, map,
    // rules and the rest stay), the draws from a generator seeded with
    // NetikruSeklas.
    TNetikruBudas Netikri = TNetikruBudas::Nera;
    quint32 NetikruSeklas = 1;
    bool operator==(const TServerioElgsena&) const = default;
};

struct TGautaUzklausa {
    QByteArray Zodis; // the word after the four 0xFF bytes, up to the first zero byte
    int Ilgis = 0;    // the whole datagram's length
    QHostAddress Siuntejas;
    quint16 SiuntejoPrievadas = 0;
    QByteArray Baitai; // the whole datagram as received
};
Q_DECLARE_METATYPE(TGautaUzklausa)

// The word of a request datagram: four 0xFF bytes, then the word up to the
// first zero byte or the end, whatever the datagram's length. Nothing when the
// datagram is not a request (shorter header, other bytes, an empty word).
std::optional<QByteArray> UzklausosZodis(const QByteArray& datagrama);

class TTestinisServeris : public QObject {
    Q_OBJECT
public:
    explicit TTestinisServeris(QObject* tevas = nullptr);
    ~TTestinisServeris() override;

    // Binds the socket (port 0: one the system chooses) and a second socket on
    // another port of the same address for AtsakytiIsKitoPrievado. On failure
    // returns false and Klaida() says why.
    bool Paleisti(const QHostAddress& adresas = QHostAddress(QHostAddress::LocalHost), quint16 prievadas = 0);
    void Sustabdyti();
    bool Veikia() const;
    QString Klaida() const { return klaida; }
    QHostAddress Adresas() const;
    quint16 Prievadas() const;
    quint16 KitasPrievadas() const;

    void NustatytiTurini(const TServerioTurinys& turinys);
    const TServerioTurinys& Turinys() const { return turinys; }
    // The content the replies are built from: Turinys(), or under Netikri the
    // made-up one (the players of its first Maisyti draw).
    const TServerioTurinys& RodomasTurinys() const { return netikras ? *netikras : turinys; }
    void NustatytiElgsena(const TServerioElgsena& elgsena);
    const TServerioElgsena& Elgsena() const { return elgsena; }

    // The reply the server sends now to a request with this word when it
    // answers normally (no misbehaviour applied); nothing for unknown words.
    // A players reply of Maisyti or Nuo0 is drawn anew at every call.
    std::optional<QByteArray> IprastasAtsakymas(const QByteArray& zodis) const;
    // The info reply 'I' the content gives.
    TA2SInfo Info() const;

    // The challenge the Steam queries must carry (random at construction).
    TIssukis Issukis() const { return issukis; }
    void NustatytiIssuki(TIssukis c) { issukis = c; }

    // The remote console (rcon): its password, challenges, counted failures and bans.
    TServerioKonsole& Konsole() { return konsole; }

    // Every request received since the start or the last IsvalytiSkaitiklius().
    const QList<TGautaUzklausa>& Uzklausos() const { return uzklausos; }
    // Datagrams received that were not requests.
    int AtmestiDatagramai() const { return atmesti; }
    // Datagrams sent (a reply sent twice counts twice).
    int IssiustiAtsakymai() const { return issiusti; }
    // Requests left unanswered by the rate limit.
    int Apriboti() const { return apriboti; }
    // Datagrams lost on purpose (Praradimai, PamestiAtsakymai), both ways.
    int Prarasta() const { return prarasta; }
    // The request kind PamestiAtsakymai counts a datagram under.
    static QByteArray UzklausosRusis(const QByteArray& zodis, const QByteArray& datagrama);
    void IsvalytiSkaitiklius();

Q_SIGNALS:
    void UzklausaGauta(const TGautaUzklausa& uzklausa);
    void DatagramaAtmesta(int ilgis);
    void AtsakymasIssiustas(const QByteArray& datagrama, quint16 isPrievado);

private:
    void SkaitytiDatagramas();
    void Apdoroti(const QByteArray& datagrama, const QHostAddress& siuntejas, quint16 prievadas);
    QList<QByteArray> Atsakymai(const QByteArray& zodis, const QByteArray& datagrama);
    QList<QByteArray> A2SAtsakymai(const QByteArray& datagrama);
    // The console's answer (a banned address gets the ban notice for anything); nothing for the queries.
    std::optional<QList<QByteArray>> KonsolesAtsakymai(const QByteArray& datagrama, const QHostAddress& siuntejas);
    QList<QByteArray> Suskaidyti(const QByteArray& atsakymas, bool visada);
    bool ArLeidziama(const QHostAddress& siuntejas);
    // The players a players reply lists now (LaikasBega and Netikri applied).
    TZaidejai ZaidejaiDabar() const;
    void AtnaujintiNetikrus();
    void Siusti(const QList<QByteArray>& atsakymai, const QHostAddress& kam, quint16 prievadas, int kartai);

    QUdpSocket* lizdas = nullptr;
    QUdpSocket* kitasLizdas = nullptr;
    QString klaida;
    TServerioTurinys turinys;
    TServerioElgsena elgsena;
    QList<TGautaUzklausa> uzklausos;
    int atmesti = 0;
    int issiusti = 0;
    int apriboti = 0;
    int prarasta = 0;
    TIssukis issukis = 0;
    quint32 skaidymoId = 0;
    struct TRibosLangas {
        qint64 Pradzia = 0;
        qint64 Kiekis = 0;
    };
    QHash<QString, TRibosLangas> ribosLangai; // per source address, for the rate limit
    QRandomGenerator praradimai;
    bool ArPrarasti();
    QElapsedTimer laikas;
    QElapsedTimer paleistas; // since Paleisti, for LaikasBega
    std::optional<TServerioTurinys> netikras;
    // The per-request draws of Maisyti and Nuo0; a reply built is not a change
    // of the server's state, so const members draw too.
    mutable QRandomGenerator netikruGeneratorius;
    TServerioKonsole konsole;
};
