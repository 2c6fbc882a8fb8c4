// What watches beside the windows: every round of every server window (the
// watcher's, the server list's, the details window's) goes into the history,
// through the notification rules to the desktop's notifications, and, for the
// watcher's rounds, into the tray icon's tool tip. The friends list behind the
// scoreboard's marks and the rules lives here, and so does the wiring of the
// details window's plot to the history.
//
// The program makes one at start-up, once the windows exist, with the user's
// files and the desktop's bus (Numatytieji); tests make their own with files
// of their own and a bus they started. It must go before the windows do.
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include "Draugai.h"
#include "IstorijosTaskas.h"
#include "PranesimuTaisykles.h"
#include "RaundoSantrauka.h"

class TApklausa;
class TDekloPiktograma;
class TNetikruTeisejas;
class TIstorija;
class TPranesejas;
class TParinktys;
class TfrmPagrindinis;
class TfrmTaisykles;

class TStebejimoPaslaugos : public QObject {
    Q_OBJECT
public:
    struct TNustatymai {
        QString DraugaiKelias;                     // the friends file; empty: Draugai.txt beside the settings
        QString IstorijosKelias;                   // the history database; empty: no history is kept
        std::optional<QDBusConnection> Magistrale; // the notifications' bus; none: the desktop's session bus
        std::optional<bool> ArDeklas;              // make the tray icon; none: where the desktop has a tray
        std::function<qint64()> Laikrodis;         // Unix ms (history, plot); empty: the system's
        TApklausa* Apklausa = nullptr;             // whose rounds are taken; none: the hub's (Programa.h)
        TNetikruTeisejas* Netikri = nullptr;       // the judge of fake players; none: the hub's
        TParinktys* Parinktys = nullptr;           // the notification options; none: the program's
        TfrmPagrindinis* Stebetojas = nullptr;     // marks friends, owns the tray; none: neither
        TfrmTaisykles* Taisykles = nullptr;        // shows the plot of the history; none: no plot
    };
    // The program's own: the friends file beside the settings, the history in
    // the user's data folder, the session bus, the desktop's tray.
    static TNustatymai Numatytieji();

    // Takes every round of the hub's poller, wires the windows it is handed
    // and reads the friends file (an error said
    // in a message box).
    explicit TStebejimoPaslaugos(TNustatymai nustatymai, QObject* tevas = nullptr);
    // Takes the friends list back from the watcher and closes the history.
    ~TStebejimoPaslaugos() override;

    TDraugai& Draugai() { return draugai; }
    TIstorija* Istorija() const { return istorija.get(); } // nullptr without history
    TPranesejas* Pranesejas() const { return pranesejas; }
    TDekloPiktograma* Deklas() const { return deklas; }

    // One finished round of a window's poller.
    void PriimtiRaunda(const TRaundoSantrauka& raundas);

private:
    void PranestiApie(const TRaundoSantrauka& raundas);
    void IstorijaSugedo(const QString& klaida);
    void ParaGauta(const QString& serveris, const TIstorijosTaskai& taskai);
    void IstorijosReikia(const QString& serveris);
    qint64 Dabar() const;
    QString Tekstas(const char* sekcija, const char* raktas) const;

    std::function<qint64()> laikrodis;
    TDraugai draugai;
    TPranesimuTaisykles taisykles{draugai};
    TPranesejas* pranesejas = nullptr;
    TDekloPiktograma* deklas = nullptr;
    TNetikruTeisejas* netikri = nullptr;
    TParinktys* parinktys = nullptr;
    TfrmPagrindinis* stebetojas = nullptr;
    TfrmTaisykles* detaliuLangas = nullptr;
    std::unique_ptr<TIstorija> istorija;
};
