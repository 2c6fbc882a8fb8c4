// When the desktop is told something: the rules that turn the round records of
// the polled servers (RaundoSantrauka.h), one after the other, into desktop
// notifications. Pure logic: no bus, no clock, no file.
//
// - A friend appears on a server: a player of the friends list is in a players
//   reply of a server whose previous players reply did not list that name
//   (the first players reply of a server counts, so a friend who is there when
//   the watch starts is told too). One notification per appearance: a round
//   without a players reply changes nothing, so a lost reply is no leaving. Any
//   window's rounds count: the watched server, the favourites the list polls,
//   the details window's server.
// - A slot frees up on the watched server: a round of the watched server (the
//   watcher's or the details window's) with players below the maximum after
//   one that showed it full (players at or above a maximum above 0). Rounds
//   without the figures change nothing.
// - The watched server answers again: a round of the watched server with any
//   reply after one with none (it timed out); a first round that answers is no
//   "again", a first round that timed out is.
// Switching the watched server starts its rules afresh. The two options gate
// what is told, never what is remembered: a friend who arrived while the
// friends option was off is not told when it is turned on.
// The answer-again notice is told under the slot option: both are about the
// watched server's state.
// However often a server flips between full and not full (or between silent
// and answering), or a friend between present and absent, each is told at
// most once a minute per server, and a friend at most once in 10 minutes per
// server; the time is the rounds' own (LaikasMs).
#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include "RaundoSantrauka.h"

class TDraugai;

// The watcher's two notification options.
struct TPranesimuParinktys {
    bool ArPranestiVieta = false;   // a slot frees up; the server answers again
    bool ArPranestiDraugus = false; // a friend appears
};

// One thing to tell the user.
struct TPranesimas {
    enum class TRusis { Draugas, LaisvaVieta, VelAtsako };
    TRusis Rusis = TRusis::Draugas;
    QString Serveris;    // the address as the round record gave it
    QString Pavadinimas; // the server's name as the scoreboard shows it; the address while no name came
    QString Zaidejas;    // Draugas: the friend's name as the scoreboard shows it, without surrounding blanks
    int Zaidejai = 0;    // LaisvaVieta: the figures as the scoreboard shows them
    int MaxZaideju = 0;

    bool operator==(const TPranesimas&) const = default;
};

// The language texts of the notifications, each with its place holders.
struct TPranesimuTekstai {
    QString Draugas;     // %1 the player, %2 the server's name
    QString LaisvaVieta; // %1 the server's name, %2 players/max ("19/20")
    QString VelAtsako;   // %1 the server's name
};

// The notification's one-line summary from the texts, at most kPranesimoRiba
// characters, without line breaks or direction controls (Tekstas.h).
QString PranesimoAntraste(const TPranesimas& pranesimas, const TPranesimuTekstai& tekstai);
// Its body: the server's address, one line as above, escaped for services
// that read markup in bodies.
QString PranesimoTekstas(const TPranesimas& pranesimas);

class TPranesimuTaisykles {
public:
    static constexpr qint64 kVietosTarpasMs = 60 * 1000;      // a slot, an answer again: per server
    static constexpr qint64 kDraugoTarpasMs = 10 * 60 * 1000; // a friend: per friend and server

    // `draugai` is asked at every players reply, so changes to the list count at once.
    explicit TPranesimuTaisykles(const TDraugai& draugai);

    // The round's notifications, in the order: answers again, slot, friends
    // (in the reply's order). Servers are told apart by host (letter case
    // aside) and port, so "host" and "host:27015" are one server.
    QList<TPranesimas> Apdoroti(const TRaundoSantrauka& raundas, const TPranesimuParinktys& parinktys);

private:
    struct TStebimas {
        QString Raktas; // the watched server; empty before its first round
        bool ArPilnas = false;
        bool ArAtsake = false; // its previous round had a reply
        bool ArBuvoRaundas = false;
    };
    struct TServeris {
        QByteArray Pavadinimas; // the latest name that came
        QSet<QString> Zaidejai; // the names of the previous players reply, as TDraugai::Raktas gives them
    };

    // Whether the notification keyed `raktas` may go at `dabarMs`; if so, its time is kept.
    bool Leisti(const QString& raktas, qint64 dabarMs, qint64 tarpasMs);
    static constexpr qsizetype kDaugiausiaIrasu = 4096;

    const TDraugai& draugai;
    TStebimas stebimas;
    QHash<QString, TServeris> serveriai;
    QHash<QString, qint64> pranesta; // when each server's kind (and friend) was last told
};
