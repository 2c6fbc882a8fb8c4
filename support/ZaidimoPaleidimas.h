// ZaidimoPaleidimas: starting the installed game so that it joins a server.
// The address is checked first, since the game turns its command line into
// console commands; then the game is started through Wine when Wine knows the
// game's folder, otherwise through Steam. The platform's answers (is there a
// `wine`, a `steam`, a handler for steam:// addresses) and the starts themselves
// come through TPaleidimoAplinka, so the choice can be tested without them.
#pragma once

#include <functional>
#include <optional>

#include <QString>
#include <QStringList>

// The address as the game may receive it: blanks (and control characters) around
// it trimmed; then a host, either a dotted IPv4 address (four numbers 0..255) or a
// name of letters, digits, dots and hyphens (labels of 1..63 characters, neither
// beginning nor ending with a hyphen, at most 253 characters in all), optionally
// followed by ":" and a port 1..65535 in decimal digits. Anything else, such as
// "1.2.3.4;exec x.cfg" or "host +quit", gives nothing.
std::optional<QString> TikrintiAdresa(const QString& tekstas);

// The steam:// address that joins the server: "steam://connect/" + host + ":" +
// port, the port 27015 when the address has none. `adresas` is a checked one.
QString SteamNuoroda(const QString& adresas);

// The platform as the launch sees it. An empty function counts as "no".
struct TPaleidimoAplinka {
    // The full path of `wine` on PATH, or empty.
    std::function<QString()> RastiWine;
    // The full path of `steam` on PATH, or empty.
    std::function<QString()> RastiSteam;
    // Whether the desktop knows a handler for steam:// addresses.
    std::function<bool()> ArYraSteamTvarkykle;
    // Starts a program detached, with no working directory of its own; true when it started.
    std::function<bool(const QString& programa, const QStringList& argumentai)> PaleistiProcesa;
    // Hands an address to the desktop; true when it was taken.
    std::function<bool(const QString& nuoroda)> AtidarytiNuoroda;
};

// The platform itself: PATH lookups with QStandardPaths, the steam:// handler
// asked of `xdg-mime query default x-scheme-handler/steam` (bounded wait), and
// QProcess::startDetached. AtidarytiNuoroda is left empty: handing an address
// to the desktop belongs to the GUI side, which fills it in.
TPaleidimoAplinka SistemosPaleidimoAplinka();

// How the game was started.
enum class TPaleidimoBudas {
    Nepaleista,    // the address was refused, or no way exists or worked
    Wine,          // wine <folder>\hl.exe -game cstrike -toconsole +connect <address>
    SteamPrograma, // steam steam://connect/<host:port>
    SteamNuoroda,  // the steam:// address handed to the desktop
};

// Starts the game on `adresas` (the text of the address box). `zaidimoKatalogas`
// is the game's folder read from Wine's registry ("#001" or empty when unknown).
// The ways are tried in order: Wine (needs the folder and `wine`), `steam` on
// PATH, the desktop's steam:// handler; a way whose start fails gives way to the
// next. An address that TikrintiAdresa refuses starts nothing.
TPaleidimoBudas PaleistiZaidima(const QString& adresas, const QString& zaidimoKatalogas,
                                const TPaleidimoAplinka& aplinka);
