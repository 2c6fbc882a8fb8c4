// The program's one watching hub: one UDP endpoint (the watcher's local port,
// 27035, in the program), one poller over it for the rounds of every window,
// what the program knows of the servers (their dialects and challenges, kept
// across runs by Atmintis.h), their query budgets, and the remote console's
// challenges and ban guard, and the browser's LAN search over the same
// endpoint. The start-up makes it and hands it to every window and to the
// console; tests make their own. Every name lookup of the program (the
// rounds', the console's servers', the watcher's reverse ones) goes through
// one cache, Vardai().
//
//   TCentras centras(27035);
//   centras.Apklausa()->Pradeti(adresas, nustatymai);             // a window's round
//   connect(centras.Apklausa(), &TApklausa::RaundasBaigtas, ...); // every round's record
#pragma once

#include <QObject>

#include "Apklausa.h"
#include "Biudzetas.h"
#include "Konsole.h"
#include "Netikri.h"
#include "Sesija.h"

class TAdresuPaieska;
class TLanPaieska;
class TNMUDP;

class TCentras : public QObject {
    Q_OBJECT
public:
    // `vietinisPortas`: the endpoint's local port (0: one of the system's);
    // a port another program holds leaves it to the system's choice at the
    // first send. `laikrodis`: the poller's and the LAN search's clock (the
    // system's monotonic one by default).
    explicit TCentras(quint16 vietinisPortas, TApklausa::TLaikrodis laikrodis = {}, QObject* tevas = nullptr);
    ~TCentras() override;

    // The endpoint, a child named "NMUDP1"; the poller, a child named "Apklausa".
    TNMUDP* Galas() const { return galas; }
    TApklausa* Apklausa() const { return apklausa; }
    TServeriuRegistras& Registras() { return registras; }
    TUzklausuBiudzetas& Biudzetas() { return biudzetas; }
    TKonsoliuRegistras& KonsoliuRegistras() { return konsoliuRegistras; }
    // The name lookups, a child named "Vardai".
    TAdresuPaieska* Vardai() const { return vardai; }
    // The LAN search, a child named "Lan".
    TLanPaieska* Lan() const { return lan; }
    // The judge of fake players, fed every round's record before anyone else
    // hears of it; a child named "Netikri".
    TNetikruTeisejas* Netikri() const { return netikri; }

private:
    TServeriuRegistras registras;
    TUzklausuBiudzetas biudzetas;
    TKonsoliuRegistras konsoliuRegistras;
    TNMUDP* galas = nullptr;
    TApklausa* apklausa = nullptr;
    TAdresuPaieska* vardai = nullptr;
    TLanPaieska* lan = nullptr;
    TNetikruTeisejas* netikri = nullptr;
};
