// The program's icon in the desktop's tray, where the desktop has one: its
// tool tip tells the watched server's name, players/max and round trip, and a
// click on it brings the watcher up. Where there is no tray nothing is made.
#pragma once

#include <optional>

#include <QObject>
#include <QPointer>
#include <QString>
#include <QSystemTrayIcon>

#include "RaundoSantrauka.h"

class QWidget;

// The tool tip's text, always plain text: the program's name; the server's
// name (the address while no name came) as one line; players/max as the
// scoreboard shows them and the round trip, or `neatsakeTekstas` for a round
// that had no reply.
QString DekloPatarimas(const QString& pavadinimas, std::optional<int> zaidejai, std::optional<int> maxZaideju,
                       std::optional<int> pingoMs, const QString& neatsakeTekstas);

class TDekloPiktograma : public QObject {
    Q_OBJECT
public:
    // `langas` is the window a click brings up. The icon is made only when
    // `arDeklasYra` (the desktop's tray, asked by default).
    explicit TDekloPiktograma(QWidget* langas, QObject* tevas = nullptr);
    TDekloPiktograma(QWidget* langas, bool arDeklasYra, QObject* tevas = nullptr);

    // The tray icon, or nullptr where the desktop has no tray.
    QSystemTrayIcon* Piktograma() const { return piktograma; }
    // The current tool tip (kept without a tray too).
    const QString& Patarimas() const { return patarimas; }

    // A round of the watched server: the tool tip follows it. A round without
    // the details keeps the figures that came last for the same server.
    void RodytiRaunda(const TRaundoSantrauka& raundas, const QString& neatsakeTekstas);

    // The icon was activated: a click (or a double click) shows the window
    // again, unminimized, above the others, with the keyboard focus.
    void PiktogramaActivated(QSystemTrayIcon::ActivationReason priezastis);

private:
    QPointer<QWidget> langas;
    QSystemTrayIcon* piktograma = nullptr;
    QString patarimas;
    QString serveris;
    QByteArray pavadinimas;
    std::optional<int> zaidejai;
    std::optional<int> maxZaideju;
};
