// Program start-up: the application's title, its windows in their order of
// creation, and the run of the message loop.
#pragma once

#include <QStringList>

class TCentras;
class TParinktys;

// Sets the application name, makes the watching hub (Centras.h, its endpoint
// on UDP port 27035) and the user's options (Parinktys.h), and creates the
// windows, handing each what it uses: the watcher first, then the server
// list, the about window, the details window, the remote console and the
// browser; the watcher's requests for a window are shown from here. Tests
// call it and find the windows by their instance names.
void SukurtiLangus();
// Destroys the windows in the reverse order, then the options and the hub.
void SunaikintiLangus();
// The hub while the windows exist, otherwise nullptr.
TCentras* ProgramosCentras();
// The user's options while the windows exist, otherwise nullptr.
TParinktys* ProgramosParinktys();

// Handles the program's arguments (Argumentai.h) once the watcher is shown:
// an address ("host[:port]") is typed into the address box and watched at
// once; "--browser" opens the server browser and asks for its list.
void ApdorotiArgumentus(const QStringList& argumentai);

// The whole program: the arguments read first ("--help", "--version" and a
// mistake answered on the terminal, before any window), start-up, the watching services (history,
// notifications, friends, tray; StebejimoPaslaugos.h), the watcher shown, the
// optional address ("host[:port]") typed into it and watched at once, the
// message loop.
int VykdytiPrograma(int argc, char** argv);
