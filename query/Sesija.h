// The query session of one window: which datagrams a round sends to a server,
// and what each received datagram means for the window.
//
// Today's servers answer the legacy "ping" but not "players", "details" or
// "rules"; they answer the Steam queries (A2S) instead. The session learns,
// per server, which dialect it speaks and keeps that, with the server's last
// challenge, in one registry shared by every window for the whole run.
//
// Use from a window (all calls on the GUI thread, no signals):
//
//   TUzklausuSesija sesija(kStebetojoPrasymai);              // once, with the window
//   for (const QByteArray& d : sesija.PradetiRaunda("host:port")) // button or refresh
//       NMUDP1->SendDatagram(d);                             // in order; stop at a failure
//   // in NMUDP1DataReceived, after the sender filter:
//   TSesijosAtsakymas a = sesija.Gauta(ip, port, bytes);
//   for (const QByteArray& d : a.Siusti) NMUDP1->SendDatagram(d); // challenge answers
//   if (a.PingoMs) show *a.PingoMs as the round trip;
//   switch (a.Rusis) { ...Zaidejai / Detales / Taisykles / Banas / Tekstas / Nezinomas / PerDidelis... }
//   // a timer: while sesija.Terminas() is set, at that clock time
//   for (const QByteArray& d : sesija.Tikrinti()) NMUDP1->SendDatagram(d);
//   sesija.BaigtiRaunda();                                   // timeout, ban, or window hidden
//
// A round of a server whose dialect is unknown or legacy sends exactly the
// legacy datagrams in the legacy order. When neither a players nor a details
// reply has come 1 s after the round's start (or 2 x the round trip + 250 ms
// once a 'j' came, whichever is sooner), Terminas() falls due and Tikrinti()
// gives A2S_INFO and A2S_PLAYER (A2S_RULES when the window asks rules). A round
// of an A2S server sends "ping" (when the window asks it) and the A2S requests
// with the known challenge. Challenges ('A') are answered at once, at most
// three times per request per round. Within one round only the first 'j', the
// first players, first details and first rules reply are passed on, except
// that an info reply 'I' after a 'm' is passed on too ('I' wins). An A2S or
// legacy server that answers nothing for 3 rounds is unknown again.
//
// The clock is a function returning milliseconds (monotonic); tests give their own.
#pragma once

#include <functional>
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

struct TServerioZinios {
    TDialektas Dialektas = TDialektas::Nezinomas;
    std::optional<TIssukis> Issukis;
    bool ArAtsakoPinga = false; // a 'j' came in the server's last round that asked one
    int TyliRaundai = 0;        // rounds in a row without a players or details answer
    bool operator==(const TServerioZinios&) const = default;
};

// What the program knows of each server for the run, keyed by "host:port" as
// the window addresses it.
class TServeriuRegistras {
public:
    // The one registry of the running program.
    static TServeriuRegistras& Bendras();

    TServerioZinios Zinios(const QString& serveris) const { return zinios.value(serveris); }
    void Nustatyti(const QString& serveris, const TServerioZinios& z) { zinios.insert(serveris, z); }
    void Isvalyti() { zinios.clear(); }

private:
    QHash<QString, TServerioZinios> zinios;
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
inline constexpr TPrasymai kDetaliuPrasymai{false, false, true, true};  // "details", "rules"

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
    // reply of a round that expects no 'j'.
    std::optional<int> PingoMs;
    TZaidejai Zaidejai;
    TDetales Detales;             // from 'm', or filled from 'I'
    std::optional<TA2SInfo> Info; // when Detales came from 'I'
    std::optional<quint8> Botai;  // the bots count, when the reply gives one
    TTaisykles Taisykles;
    QByteArray PirmasTekstas; // 'i', read from the type letter on
    QByteArray AntrasTekstas;
    TDaliesBusena Dalis = TDaliesBusena::Vientisas; // what reassembly did with the datagram
    QList<QByteArray> Siusti;                       // datagrams to send now (challenge answers)
};

class TUzklausuSesija {
public:
    using TLaikrodis = std::function<qint64()>;

    explicit TUzklausuSesija(TPrasymai prasymai, TServeriuRegistras* registras = nullptr, TLaikrodis laikrodis = {});

    // Ends the open round, if any, and starts one to `serveris`; returns the
    // datagrams to send now, in order.
    QList<QByteArray> PradetiRaunda(const QString& serveris);
    // The clock time at which Tikrinti() will have datagrams to send.
    std::optional<qint64> Terminas() const;
    // The datagrams due now (empty before Terminas()).
    QList<QByteArray> Tikrinti();
    TSesijosAtsakymas Gauta(const QHostAddress& siuntejas, quint16 prievadas, const QByteArray& datagrama);
    // Drops incomplete split replies and settles what the round taught about the server.
    void BaigtiRaunda();

    bool ArRaundas() const { return arRaundas; }
    QString Serveris() const { return serveris; }
    TServerioZinios Zinios() const { return registras->Zinios(serveris); }
    qint64 Dabar() const { return laikrodis(); }

private:
    struct TA2SPrasymas {
        char Raide = 0;
        bool Siusta = false;
        bool Atsakyta = false;
        std::optional<TIssukis> SiustaSu;
        int IssukioAtsakymai = 0;
        qint64 SiustaMs = 0;
    };

    QByteArray A2SDatagrama(char raide, std::optional<TIssukis> issukis) const;
    QList<QByteArray> SiustiA2S(std::optional<TIssukis> issukis);
    TA2SPrasymas* Prasymas(char raide);
    void PazymetiAtsakyma(char a2sRaide, bool arA2SRaide);
    std::optional<int> A2SPingas(char a2sRaide);

    TPrasymai prasymai;
    TServeriuRegistras* registras;
    TLaikrodis laikrodis;
    TDaliuSurinkejas surinkejas;

    QString serveris;
    bool arRaundas = false;
    qint64 pradzia = 0;
    std::optional<qint64> pingoGavimas;
    bool a2sSiusta = false; // A2S requests went out this round
    bool atsargaSiusta = false;
    bool pingasRodytas = false;
    bool zaidejaiGauti = false;
    bool detalesGautos = false;
    bool infoGautas = false;
    bool taisyklesGautos = false;
    bool atsakymasGautas = false; // a players, details or rules answer
    QList<TA2SPrasymas> a2s;
};
