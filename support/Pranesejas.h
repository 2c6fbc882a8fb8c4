// Desktop notifications through the freedesktop notification service: the
// method Notify of org.freedesktop.Notifications on the session bus, which
// every Linux desktop serves (GNOME Shell, Plasma, XFCE's notifyd, dunst,
// mako). The notifications carry the program's name and icon.
//
// Nothing here waits: a notification is handed to the bus and the call
// returns; the service's answer (or the bus's error, when no one serves the
// name) arrives later as a signal. Without a session bus nothing is sent and
// nothing is asked: the bus is never started on the program's behalf.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

class TPranesejas : public QObject {
    Q_OBJECT
public:
    // The desktop's session bus, when the environment names one
    // (DBUS_SESSION_BUS_ADDRESS, or the bus socket in XDG_RUNTIME_DIR).
    explicit TPranesejas(QObject* tevas = nullptr);
    // A bus connection of the caller's (tests).
    explicit TPranesejas(const QDBusConnection& jungtis, QObject* tevas = nullptr);

    static constexpr char kProgramosVardas[] = "Velmorant";
    static constexpr char kIkonosVardas[] = "velmorant"; // the installed icon's and desktop entry's name
    // How long the service may take to answer before the call counts as failed.
    static constexpr int kAtsakymoRibaMs = 10000;

    bool ArYraMagistrale() const { return jungtis.isConnected(); }
    // Calls handed to the bus that have not been answered yet.
    int Laukiami() const { return laukiami; }

    // Hands one notification to the service: `antraste` is its one-line
    // summary (plain text), `tekstas` its body (a service may read markup in
    // it). Returns at once: true when it went onto the bus, false when there
    // is no bus.
    bool Pranesti(const QString& antraste, const QString& tekstas);

Q_SIGNALS:
    // The service showed a notification and gave it this number.
    void Parodyta(quint32 id);
    // The call failed (no service, an error of the service, no answer in
    // time); the text is the bus's error message.
    void Nepavyko(const QString& klaida);

private:
    QDBusConnection jungtis;
    int laukiami = 0;
};
