// What the three server-facing windows (the watcher, the server list and the
// details window) share around the program's one hub (Centras.h): their rounds
// started through its poller with the window's own reports (a window hears of
// its rounds alone), the one intake of every reply a round reports, and the
// messages that replies and failed lookups show. Each window keeps only what a
// reply means to it (ApdorotiAtsakyma), what the end of a round means
// (ApklausaBaigta), and when it takes no replies (ArIgnoruojaAtsakymus).
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include "Apklausa.h"
#include "Pranesimai.h"
#include "Sesija.h"

class QObject;
class QWidget;
class TCentras;
class TKalba;
class TNMUDP;

class TServerioLangas {
public:
    TServerioLangas(const TServerioLangas&) = delete;
    TServerioLangas& operator=(const TServerioLangas&) = delete;

    // The hub's endpoint, which every window's rounds go through (local port
    // 27035 in the program).
    TNMUDP* NMUDP1 = nullptr;

protected:
    // `prasymai`: what each round of the window asks (see Sesija.h), until
    // NustatytiPrasymus; `saltinis`: the window its rounds' records name.
    // `kalba`: the language in effect (nullptr: texts are "###1"); it must outlive the window.
    TServerioLangas(QWidget* langas, TCentras* centras, TPrasymai prasymai, TRaundoSantrauka::TSaltinis saltinis,
                    const TKalba* kalba);
    virtual ~TServerioLangas();

    // Starts a round to hostas:portas. An unreachable server is no error of
    // its own: NepavykoIssiusti follows.
    TApklausa::TId SiustiRaunda(const TServerioAdresas& adresas);
    void NustatytiPrasymus(TPrasymai nauji) { prasymai = nauji; }
    TPrasymai Prasymai() const { return prasymai; }
    // The refresh period in effect for the window's rounds to hostas:portas.
    int Tarpas(const TServerioAdresas& adresas, int norimasMs) const;

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

    // The host of a round could not be resolved: "BlogasServeris", the
    // lookup's own message suppressed.
    virtual void NMUDP1InvalidHost(bool& handled);

    // A message caused by a reply of round `id`, cut to kZinutesRiba: a
    // server's odd replies open the boxes of one datagram (an 'i' reply holds
    // two texts), once, until the window forgets them; the rest are dropped
    // (false), as is any while a box of the window is open.
    bool RodytiTinkloPranesima(TApklausa::TId id, const QString& tekstas);
    // A reply of a type the window does not read: "NezinomiDuomenys" as above.
    void PranestiNezinomusDuomenis(TApklausa::TId id);
    // The user watches anew: every server's odd reply may open its box again.
    void PamirstiTinkloPranesimus() { pranesta.clear(); }

    // The hub's poller, which runs the rounds of every window.
    TApklausa* Apklausa = nullptr;

private:
    void Priimti(TApklausa::TId id, const TSesijosAtsakymas& atsakymas);

    QWidget* langas;
    const TKalba* kalba;
    QString KalbosTekstas(const char* sekcija, const char* raktas) const;
    TPrasymai prasymai;
    TRaundoSantrauka::TSaltinis saltinis;
    TTinkloPranesimai tinkloPranesimai;
    // Per server ("host:port"), the endpoint's number of the datagram whose boxes were shown.
    QHash<TServerioAdresas, quint64> pranesta;
};
