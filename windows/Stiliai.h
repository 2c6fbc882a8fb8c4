// What the windows share in looks: the colours and font families of their
// layouts, and the label helpers.
#pragma once

#include <QFont>
#include <QString>

class QAbstractScrollArea;
class QCheckBox;
class QLabel;
class QWidget;

// Colours of the layouts, as 0x00BBGGRR values.
inline constexpr int kOranzine = 43775; // #FFAA00, the text of the server-facing windows

inline const QString kSansSerif = QStringLiteral("MS Sans Serif");
inline const QString kCourier = QStringLiteral("Courier New");

// A plain-text label named `vardas` at (x, y) with the given size and font,
// showing its name until its caption is set; in the colour `spalva` when one
// is given (0x00BBGGRR), otherwise in the window's.
QLabel* Etikete(QWidget* tevas, const char* vardas, int x, int y, int plotis, int aukstis, const QFont& sriftas,
                int spalva = -1);

// Sets a label's text and sizes the label to it. A label that would then run
// under a control to its right (or past its parent's edge) stops short of it
// instead, its text elided and the whole text in its tool tip (as plain text,
// whatever it holds).
void NustatytiTeksta(QLabel* etikete, const QString& tekstas);

// An edit box (a line edit or a spin box) in the program's colours: text in
// `spalva` (0x00BBGGRR) on black, inside a frame that shows whether or not
// the box has the focus, brighter while it has; an empty box's hint dimmed.
void RedagavimoLaukas(QWidget* laukas, int spalva = kOranzine);
// A check box on a dark window: its box a frame in its text's colour at half
// strength (at full strength while it has the focus), its tick in the text's
// colour, both dimmed while it is disabled. The colours follow the check box's
// palette, so a hover colour reaches its box too.
void TamsusZymimasis(QCheckBox* langelis);
// Scroll bars of a black window's list or text in the program's colours: a
// dark groove with a dim orange handle, never the desktop's light bar.
void TamsiosSlinkties(QAbstractScrollArea* sritis);
