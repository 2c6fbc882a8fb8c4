// The query session of one server: which datagrams a round sends it, which it
// sends again when their reply is late, and what each received datagram means.
//
// Today's servers answer the legacy "ping" but not "players", "details" or
// "rules"; they answer the Steam queries (A2S) instead. The session learns,
// per server, which dialect it speaks and keeps that, with the server's last
// challenge and round trip, in one registry shared by every window.
//
// Use (all calls on the GUI thread, no signals; the poller in Apklausa.h does
// this for the windows):
//
//   TUzklausuSesija sesija(kStebetojoPrasymai);
//   send sesija.PradetiRaunda("ip:port");            // RaundoDydis() datagrams, in order
//   // for every datagram of that server:
//   TSesijosAtsakymas a = sesija.Gauta(ip, port, bytes);
//   // whenever the clock reaches sesija.Terminas(), and after every Gauta:
//   send sesija.Tikrinti(budget);                    // challenge answers, the A2S
//                                                    // fallback, retries
//   sesija.BaigtiRaunda();                           // time-out, ban, window hidden
//
// A round of a legacy server sends exactly the legacy datagrams in the legacy
// order. A round of a server whose dialect is unknown sends them too, and
// A2S_INFO after them: the first letter only A2S has ('A' or 'I') makes the
// server one of today's, at once the rest of the round goes as A2S
// (A2S_PLAYER, A2S_RULES when the window asks rules) and the legacy words
// other than "ping" are given up; a legacy reply without one makes it a legacy
// server. A round of an A2S server sends the A2S requests alone, with the
// known challenge: the info reply gives the round trip, so no "ping" is spent
// on it.
//
// Lost datagrams: a request whose reply has not come within the retry
// interval (2 x the server's last round trip, at least 250 ms; 500 ms while
// none is known) is sent again, at most twice per round. The legacy words
// other than "ping" are repeated only to a server known to answer them. A
// challenge ('A') is answered at once, at most three times per request per
// round. The round trip is measured from the request's first send, as QStat
// does: never shorter than the real one.
//
// Within one round only the first 'j', the first players, first details and
// first rules reply are passed on, except that an info reply 'I' after a 'm'
// is passed on too ('I' wins). An A2S or legacy server that answers nothing
// in a whole round is doubted: unknown again, the next round asks both ways.
//
// The clock is a function returning milliseconds (monotonic); tests give their own.
#pragma once

#include <functional>
#include <limits>
#include <optional>

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QString>

#include "A2S.h"
#include "Skaidymas.h"
#include "cstrike.h"

enum class TDialektas { Nezinomas, Senas, A2S };

// The remote console's form the server answered: GoldSrc's, with a challenge
// ("challenge rcon", then "rcon <challenge> \"<password>\" <command>"), or
// Quake's, without one ("rcon <password> <command>", Xash3D's). Konsole.h.
enum class TKonsolesForma { Nezinoma, GoldSrc, Quake };

struct TServerioZinios {
    TDialektas Dialektas = TDialektas::Nezinomas;
    std::optional<TIssukis> Issukis;
    std::optional<int> PingoMs; // the last round trip measured
    qint64 Atsake = 0;          // Unix time (ms) of the last answer; 0: never
    TKonsolesForma KonsolesForma = TKonsolesForma::Nezinoma;
    bool operator==(const TServerioZinios&) const = default;
};

// How long a request to the server waits for its answer before it goes again
// (or, for the console, before the other form is tried): twice the last
// round trip, never under 250 ms; 500 ms while no round trip is known.
qint64 KartojimoTarpas(const TServerioZinios& z);

// What the program knows of each server, keyed by "ip:port" of its resolved
// address (a name and its dotted form are one server). It lives for the run
// and is kept across runs (Atmintis.h).
class TServeriuRegistras {
public:
    TServerioZinios Zinios(const QString& serveris) const { return zinios.value(serveris); }
    void Nustatyti(const QString& serveris, const TServerioZinios& z);
    void Isvalyti();
    const QHash<QString, TServerioZinios>& Visos() const { return zinios; }
    // Grows with every change; a writer compares it with what it wrote.
    quint64 Pakeitimai() const { return pakeitimai; }

private:
    QHash<QString, TServerioZinios> zinios;
    quint64 pakeitimai = 0;
};

// The requests of a window's round.
struct TPrasymai {
    bool Pingas = false;
    bool Zaidejai = false;
    bool Detales = false;
    bool Taisykles = false;
};
inline constexpr TPrasymai kStebetojoPrasymai{true, true, true, false}; // "ping", "players", "details"
inline constexpr TPrasymai kSarasoPrasymai{false, false, true, false};  // "details"
// The list while friends are looked for on the favourites: "players", "details".
inline constexpr TPrasymai kSarasoDrauguPrasymai{false, true, true, false};
inline constexpr TPrasymai kDetaliuPrasymai{false, false, true, true}; // "details", "rules"

enum class TAtsakymoRusis {
    Nieko,     // nothing to show (a fragment, a duplicate, a challenge, a non-reply)
    Pingas,    // 'j'
    Zaidejai,  // 'D'
    Detales,   // 'm' or 'I'
    Taisykles, // 'E'
    Banas,     // 'l'
    Tekstas,   // 'i': two texts
    Nezinomas, // any other letter
    PerDidelis // a datagram longer than a reply may be (Dydis bytes)
};

struct TSesijosAtsakymas {
    TAtsakymoRusis Rusis = TAtsakymoRusis::Nieko;
    char Tipas = 0; // the reply's type letter
    int Dydis = 0;  // the reply's size; a split reply's joined size
    // The round trip to show now, in ms: at the first 'j', or at the first
    // reply of a round that has no "ping" to answer or of a server known to
    // speak A2S (a legacy server's clock is its 'j').
    std::optional<int> PingoMs;
    TZaidejai Zaidejai;
    TDetales Detales;             // from 'm', or filled from 'I'
    std::optional<TA2SInfo> Info; // when Detales came from 'I'
    std::optional<quint8> Botai;  // the bots count, when the reply gives one
    TTaisykles Taisykles;
    QByteArray PirmasTekstas; // 'i', read from the type letter on
    QByteArray AntrasTekstas;
    TDaliesBusena Dalis = TDaliesBusena::Vientisas; // what reassembly did with the datagram
};

class TUzklausuSesija {
public:
    using TLaikrodis = std::function<qint64()>;

    static constexpr int kKartojimai = 2;       // retries per request per round
    static constexpr int kIssukioAtsakymai = 3; // challenge answers per request per round

    // `registras`: what is known of the servers (the hub's, in the program).
    TUzklausuSesija(TPrasymai prasymai, TServeriuRegistras* registras, TLaikrodis laikrodis = {});

    // How many datagrams PradetiRaunda(serveris) would send now.
    int RaundoDydis(const QString& serveris) const;
    // How many the rounds to `serveris` send once its dialect is known: what
    // its refresh is spaced by.
    int IprastasRaundoDydis(const QString& serveris) const;
    // Ends the open round, if any, and starts one to `serveris`; returns the
    // datagrams to send now, in order.
    QList<QByteArray> PradetiRaunda(const QString& serveris);
    // The clock time at which Tikrinti() will have datagrams to send.
    std::optional<qint64> Terminas() const;
    // The datagrams due now (empty before Terminas()), at most `riba` of them:
    // what is left waits for the next call.
    QList<QByteArray> Tikrinti(int riba = std::numeric_limits<int>::max());
    TSesijosAtsakymas Gauta(const QHostAddress& siuntejas, quint16 prievadas, const QByteArray& datagrama);
    // Drops incomplete split replies and settles what the round taught about the server.
    void BaigtiRaunda();

    bool ArRaundas() const { return arRaundas; }
    // Every request of the round has its reply (requests given up aside).
    bool ArAtsakyta() const;
    // The round trip of the round was given (PingoMs).
    bool ArPingasRodytas() const { return pingasRodytas; }
    QString Serveris() const { return serveris; }
    TServerioZinios Zinios() const { return registras->Zinios(serveris); }
    qint64 Dabar() const { return laikrodis(); }
    // The retry interval for the server now.
    qint64 KartojimoTarpas() const;

private:
    enum class TRusis { Pingas, Zaidejai, Detales, Taisykles, A2SInfo, A2SZaidejai, A2STaisykles };
    struct TPrasymas {
        TRusis Rusis = TRusis::Pingas;
        QList<qint64> Siuntimai; // clock time of every send
        int Kartojimai = 0;
        int IssukioAtsakymai = 0;
        std::optional<TIssukis> SiustaSu;
        bool Atsakyta = false;
        bool Atsisakyta = false;    // a legacy word given up for the Steam queries
        bool LaukiaIssukio = false; // a new challenge came: due now with it
    };

    static bool ArA2S(TRusis r) { return r >= TRusis::A2SInfo; }
    QByteArray Datagrama(TPrasymas& p) const;
    void Siusti(TPrasymas& p, qint64 dabar, QList<QByteArray>& d);
    bool ArKartojamas(const TPrasymas& p) const;
    // The server is known to speak A2S, and some request still goes as a legacy word.
    bool ArTrukstaA2S() const;
    void PradetiA2S(qint64 dabar, QList<QByteArray>& d, int riba);
    TPrasymas* Rasti(TRusis r);
    // Marks the requests a reply of type `tipas` answers; the one it answers
    // first, for the round trip.
    TPrasymas* Atsakyti(char tipas);
    void PazymetiAtsakyma(bool arA2SRaide);
    std::optional<int> Pingas(const TPrasymas* p);
    QList<TRusis> PradziosRusys(const TServerioZinios& z) const;

    TPrasymai prasymai;
    TServeriuRegistras* registras;
    TLaikrodis laikrodis;
    TDaliuSurinkejas surinkejas;

    QString serveris;
    bool arRaundas = false;
    qint64 pradzia = 0;
    bool a2sSiusta = false;  // A2S requests went out this round
    bool a2sZinomas = false; // the server speaks A2S, as far as this round knows
    bool pingasSiustas = false;
    bool pingasRodytas = false;
    bool zaidejaiGauti = false;
    bool detalesGautos = false;
    bool infoGautas = false;
    bool taisyklesGautos = false;
    bool atsakymasGautas = false; // a players, details or rules answer
    QList<TPrasymas> uzklausos;
};
