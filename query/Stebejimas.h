// The watch: one server, named by the address as the user typed it, polled
// now and at every tick of its refresh through the hub's poller. It keeps the
// round in flight and its round-trip clock, the time-out and the ban, and
// what the scoreboard needs of each round (its details reply and how many
// players its players reply listed, for the spectators); the watcher window
// paints what it reports and forwards the user's presses.
//
//   TStebejimas stebejimas(centras.Apklausa(), this);
//   stebejimas.NustatytiAdresa(u"host:27015"_s);
//   stebejimas.Stebeti();                       // a round now, the refresh on
//   connect(&stebejimas, &TStebejimas::ZaidejaiGauti, ...);
//
// Replies of a round that is not the latest, or that come once a ban was
// read, never reach the round's session. A refresh tick that finds the
// round's time-out due within kLaikmacioPaklaida takes the time-out instead of
// starting a round anew (the two fall due together by default, and timers may
// fire a little early); a time-out stops the refresh.
#pragma once

#include <optional>

#include <QObject>
#include <QString>

#include "Apklausa.h"
#include "cstrike.h"
#include "iphostport.h"

class QTimer;
class TLaikmatis;

class TStebejimas : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kLaikmacioPaklaida = 50;
    static constexpr int kNumatytasIntervalas = 5000;

    // A child of `tevas` named "Stebejimas"; its refresh timer is a child
    // named "tmrAtnaujinimas", its round-trip clock one named "tmrPingas".
    explicit TStebejimas(TApklausa* apklausa, QObject* tevas = nullptr);
    ~TStebejimas() override;

    // The text polled (the address box's). A new one stops the refresh until
    // the next Stebeti.
    void NustatytiAdresa(const QString& adresas);
    QString Adresas() const { return adresas; }
    // Polls the address now and keeps the refresh on; `arAtnaujinama`: the
    // refresh asks, not the user. Throws the port's conversion error.
    void Stebeti(bool arAtnaujinama = false);
    // A tick of the refresh; an address that cannot be polled is said by Klaida.
    void Atnaujinti();

    TLaikmatis* Atnaujinimas() const { return atnaujinimas; }
    // Stops the refresh; starts it again when the address is not blank.
    void SustabdytiAtnaujinima();
    void TestiAtnaujinima();
    // Holds the refresh at the period the polled server's query budget allows;
    // true when that is above the one chosen.
    bool TaikytiBiudzeta();

    // The latest round was answered with a ban notice (its later replies are dropped).
    bool ArBanas() const { return arBanas; }
    void NustatytiBana(bool taip) { arBanas = taip; }
    // Milliseconds of the round in flight, or of the last answered one.
    int PingoLaikas() const { return pingoLaikas; }
    bool ArLaukiaPingo() const;
    TApklausa::TId Raundas() const { return raundas; }
    // The watched server's key, as the hub's judge of fake players knows it.
    QString Stebimas() const { return stebimas; }
    // Where the round's datagrams went, once resolved.
    std::optional<TServerioAdresas> IPAdresas() const { return apklausa->IPAdresas(raundas); }

Q_SIGNALS:
    // Another address is polled: the board is cleared before its round.
    void Isvalyta();
    // The user asked anew: a server's odd replies may say so once more.
    void PranesimaiPamirsti();
    // A round went out to Stebimas(), which may be another server than before.
    void RaundasPradetas();
    void PingasGautas(int ms);
    void ZaidejaiGauti(const TZaidejai& zaidejai);
    // A details reply, or the round's one again once its players came;
    // `isvardinta`: the players the round listed, when they came.
    void DetalesGautos(const TDetales& detales, std::optional<int> isvardinta);
    void Timeout();
    void Banas();
    // A reply the board does not read (a text, an unknown kind, one too long).
    void KitasAtsakymas(TApklausa::TId id, const TSesijosAtsakymas& atsakymas);
    // The host could not be resolved (`handled`: look it up once more).
    void NerastasHostas(bool& handled);
    // A refresh that could not poll its address.
    void Klaida(const QString& pranesimas);

private:
    void SiustiUzklausas(const TServerioAdresas& serveris);
    void Priimti(TApklausa::TId id, const TSesijosAtsakymas& atsakymas);
    void PazymetiTimeout();
    void PazymetiBana();

    TApklausa* apklausa;
    TLaikmatis* atnaujinimas = nullptr;
    QTimer* pingas = nullptr; // mirrors the wait, 1 ms ticks
    QString adresas;
    std::optional<QString> rodomasAdresas; // the address whose values the board shows
    std::optional<TServerioAdresas> raundoAdresas;
    TApklausa::TId raundas = 0;
    QString stebimas;
    bool arBanas = false;
    int pingoLaikas = 0;
    std::optional<TDetales> raundoDetales;
    std::optional<int> raundoIsvardinta;
};
