// What the three server-facing windows (the watcher, the server list and the
// details window) share around their UDP endpoint NMUDP1: its creation and the
// wiring of its events, the window's poller (Apklausa.h: the rounds of its
// servers, their dialects, retries, time-outs and query budgets), the one
// intake of every reply the poller reports, and the messages the endpoint's
// events show. Each window keeps only what a reply means to it
// (ApdorotiAtsakyma), what the end of a round means (ApklausaBaigta), and
// when it takes no replies (ArIgnoruojaAtsakymus).
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include "Apklausa.h"
#include "Pranesimai.h"
#include "Sesija.h"

class QObject;
class QWidget;
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
    // `prasymai`: what each round of the window asks (see Sesija.h);
    // `saltinis`: the window its rounds' records name.
    TServerioLangas(QWidget* langas, TPrasymai prasymai, TRaundoSantrauka::TSaltinis saltinis);
    virtual ~TServerioLangas();

    // Starts a round to hostas:portas at the endpoint's report level `lygis`.
    // An unreachable server is no error of its own: NepavykoIssiusti follows.
    TApklausa::TId SiustiRaunda(const QString& hostas, int portas, int lygis);

    // Whether the window drops the replies of round `id` now (a ban, a round
    // that is no longer the window's...).
    virtual bool ArIgnoruojaAtsakymus(TApklausa::TId id) const = 0;
    // A reply of round `id` that passed the intake: a datagram longer than a
    // reply may be has shown its byte count and the "BaituGavau" text through
    // the window's gate already.
    virtual void ApdorotiAtsakyma(TApklausa::TId id, const TSesijosAtsakymas& atsakymas) = 0;
    // Round `id` is over: answered (its round trip measured) or timed out.
    virtual void ApklausaBaigta(TApklausa::TId id, bool arAtsake) = 0;
    // Round `id` could not be sent (no such host, a bad port).
    virtual void NepavykoIssiusti(TApklausa::TId) {}

    // The endpoint could not resolve the host: "BlogasServeris", the lookup's
    // own message suppressed.
    virtual void NMUDP1InvalidHost(bool& handled);
    // An empty send: "BlogasBuferis", then the endpoint's own error.
    void NMUDP1BufferInvalid(bool& handled, QByteArray& Buff, int& length);

    // A message caused by a reply of round `id`, cut to kZinutesRiba: a
    // server's odd replies open the boxes of one datagram (an 'i' reply holds
    // two texts), once, until the window forgets them; the rest are dropped
    // (false), as is any while a box of the window is open.
    bool RodytiTinkloPranesima(TApklausa::TId id, const QString& tekstas);
    // A reply of a type the window does not read: "NezinomiDuomenys" as above.
    void PranestiNezinomusDuomenis(TApklausa::TId id);
    // The user watches anew: every server's odd reply may open its box again.
    void PamirstiTinkloPranesimus() { pranesta.clear(); }

    // The rounds of the window's servers, the child "Apklausa".
    TApklausa* Apklausa = nullptr;

private:
    void Priimti(TApklausa::TId id, const TSesijosAtsakymas& atsakymas);

    QWidget* langas;
    TTinkloPranesimai tinkloPranesimai;
    // Per server ("host:port"), the endpoint's number of the datagram whose boxes were shown.
    QHash<QString, quint64> pranesta;
};
