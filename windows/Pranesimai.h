// Message boxes and the application's error guard.
//
// Every message of the program goes through RodytiPranesima, a plain box with
// one OK button. Tests put their own function in its place (a seam), so that
// nothing modal blocks them. Every event handler runs inside Apsaugota: an
// error it raises is shown in a message box and the rest of the handler is
// skipped; no exception reaches the Qt event loop.
#pragma once

#include <exception>
#include <functional>

#include <QString>

#include "Klaidos.h"

class QWidget;

using TPranesimoRodymas = std::function<void(QWidget* tevas, const QString& tekstas)>;
// The input box: caption, prompt, default text; returns the text to use
// (the default unchanged when the user cancels).
using TIvedimoLangas =
    std::function<QString(QWidget* tevas, const QString& antraste, const QString& klausimas, const QString& numatyta)>;

void RodytiPranesima(QWidget* tevas, const QString& tekstas);
QString IvestiTeksta(QWidget* tevas, const QString& antraste, const QString& klausimas, const QString& numatyta);

// Replace the box or the input box (tests); each returns the function it replaced.
TPranesimoRodymas NustatytiPranesimoRodyma(TPranesimoRodymas naujas);
TIvedimoLangas NustatytiIvedimoLanga(TIvedimoLangas naujas);

// The application guard around one handler.
template <typename F> void Apsaugota(QWidget* langas, F&& veiksmas) {
    try {
        veiksmas();
    } catch (const EKlaida& e) {
        RodytiPranesima(langas, e.Message());
    } catch (const std::exception& e) {
        RodytiPranesima(langas, QString::fromLocal8Bit(e.what()));
    }
}

// One window's gate for messages caused by network input: while one such box
// of the window is open, further ones are dropped instead of stacking up.
class TTinkloPranesimai {
public:
    explicit TTinkloPranesimai(QWidget* langas) : langas(langas) {}
    // Shows the text unless a box of this gate is already open; false when dropped.
    bool Rodyti(const QString& tekstas);
    bool Atidarytas() const { return atidarytas; }

private:
    QWidget* langas;
    bool atidarytas = false;
};
