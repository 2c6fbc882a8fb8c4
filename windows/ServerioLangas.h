// What the three server-facing windows (the watcher, the server list and the
// details window) share around their UDP endpoint NMUDP1: its creation and the
// wiring of its events, the window's query session (which datagrams a round
// sends to a server of either dialect, split replies joined, challenges
// answered, duplicates dropped), the send of a round, the one intake of every
// received datagram, and the messages the endpoint's events show. Each window
// keeps only what a reply means to it (ApdorotiAtsakyma) and when it takes none
// (ArIgnoruojaAtsakymus).
#pragma once

#include <QByteArray>
#include <QString>

#include "Pranesimai.h"
#include "Sesija.h"

class QObject;
class QTimer;
class QWidget;
class TAtminiesSrautas;
class TNMUDP;

class TServerioLangas {
public:
    TServerioLangas(const TServerioLangas&) = delete;
    TServerioLangas& operator=(const TServerioLangas&) = delete;

    // The window's endpoint, a child of the window named "NMUDP1". All three
    // declare local port 27035: the first window binds it, the later ones
    // take a port of the system's choice at their first send.
    TNMUDP* NMUDP1 = nullptr;

protected:
    // `prasymai`: what each round of the window asks (see Sesija.h).
    TServerioLangas(QWidget* langas, TPrasymai prasymai);
    virtual ~TServerioLangas();

    // The send of one round: the endpoint is pointed at the server and the
    // session's datagrams for it go out back to back (a host name is looked up
    // first). To a server of unknown or legacy dialect they are the legacy
    // query words; to a server known to answer the Steam queries, those. False
    // when the send failed: an unreachable server is no error of its own, so
    // nothing is shown.
    bool SiustiRaunda(const QString& hostas, int portas, int lygis);
    // Ends the round: its incomplete split replies are dropped and nothing more
    // is sent for it (a time-out, a ban, the window hidden).
    void BaigtiRaunda();

    // The intake of every received datagram (NMUDP1's OnDataReceived). The
    // datagram is dropped when it did not come from the address and port the
    // window last sent to, or when the window takes no replies now. Otherwise
    // it goes through the session: a datagram longer than a reply may be shows
    // its byte count and the "BaituGavau" text through the window's gate,
    // challenge answers go out at once, and ApdorotiAtsakyma gets what the
    // reply means to the window (Nieko for a fragment, a duplicate, a challenge
    // or a datagram without a type letter, a failed receive included).
    void NMUDP1DataReceived(QObject* Sender, int NumberBytes, const QString& FromIP, int Port);

    // Whether the window drops every reply now (a ban, no request in flight...).
    virtual bool ArIgnoruojaAtsakymus() const = 0;
    // A reply that passed the intake and the session.
    virtual void ApdorotiAtsakyma(const TSesijosAtsakymas& atsakymas) = 0;

    // The endpoint could not resolve the host: "BlogasServeris", the lookup's
    // own message suppressed.
    virtual void NMUDP1InvalidHost(bool& handled);
    // An empty send: "BlogasBuferis", then the endpoint's own error.
    void NMUDP1BufferInvalid(bool& handled, QByteArray& Buff, int& length);

    // The round-trip clock's timer "tmrPingas" of the window: 1 ms precise
    // ticks, not running.
    QTimer* SukurtiPingoLaikmati();

    // A message caused by network input, through the window's gate: dropped
    // (false) while a box of that gate is open, and also when the datagram
    // being handled was already received when the last such box closed: a
    // flood of replies then opens the boxes of one reply, not one after another,
    // while the other replies that queued up behind the box are still handled.
    bool RodytiTinkloPranesima(const QString& tekstas);
    // A reply of a type the window does not read: "NezinomiDuomenys" through the gate.
    void PranestiNezinomusDuomenis();

    // The session of the window's rounds.
    TUzklausuSesija Sesija;

private:
    // Sends datagrams of the session to the round's server; false at the first failed send.
    bool Siusti(const QList<QByteArray>& datagramos);
    // Arms tmrSesija at the session's next deadline, or stops it.
    void PlanuotiSesija();
    void tmrSesijaTimer();

    QWidget* langas;
    TTinkloPranesimai tinkloPranesimai;
    QTimer* tmrSesija = nullptr;
    // The numbers of the endpoint's datagrams whose boxes are dropped: after
    // the one that opened the last box, up to the last received when it closed.
    quint64 nutildytiNuo = 0;
    quint64 nutildytiIki = 0;
};
