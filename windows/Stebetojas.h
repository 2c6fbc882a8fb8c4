// What the watcher offers the other windows: its refresh can be paused while
// a secondary window is shown and its period read, its address read and a new
// address watched, its ban state and its friends option read, and the texts of
// the language in effect looked up. The other windows see the watcher only
// through this face, handed to them by the start-up; the list offers the
// browser its add command through TSarasas.
#pragma once

#include <QStringList>

#include "Netikri.h"

#include <QString>

class TKalba;

class TStebetojas {
public:
    virtual ~TStebetojas() = default;

    // Stops the refresh timer.
    virtual void SustabdytiAtnaujinima() = 0;
    // Starts the refresh timer again when the address box is not blank.
    virtual void TestiAtnaujinima() = 0;
    // The refresh period in effect, ms (the server's query budget may hold
    // it above the one chosen); 0: the refresh never runs.
    virtual int AtnaujinimoIntervalas() const = 0;
    // The address box's text as typed.
    virtual QString Adresas() const = 0;
    // Types `adresas` into the address box and presses the show button.
    virtual void Stebeti(const QString& adresas) = 0;
    // Watches `adresas` and joins its game, as the join button does.
    virtual void Prisijungti(const QString& adresas) = 0;
    // Watches `adresas` and shows its details window.
    virtual void RodytiServerioDetales(const QString& adresas) = 0;
    // The watcher's latest round was answered with a ban notice.
    virtual bool ArUzdraustas() const = 0;
    // The option "tell me when a friend joins".
    virtual bool ArPranestiDraugus() const = 0;
    // The language in effect.
    virtual const TKalba& Kalba() const = 0;
};

// What the server list offers the start-up (its walk's period, ms, which
// follows the options) and the browser (its add command).
class TSarasas {
public:
    virtual ~TSarasas() = default;
    virtual int Periodas() const = 0;
    virtual void NustatytiPerioda(int ms) = 0;
    // Puts `adresas` into the first empty row and saves the list; false when
    // the list holds it already or has no empty row.
    virtual bool Prideti(const QString& adresas) = 0;
};

// The reasons of the judge of fake players (Netikri.h) in language `kalba`,
// in the order NetikruPriezastis takes them; and the tool tip of a server
// judged so (empty for none).
QStringList NetikruSablonai(const TKalba& kalba);
QString NetikruPatarimas(const TKalba& kalba, const TNetikruIvertis& ivertis);
