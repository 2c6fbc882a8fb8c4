// FailoInfo: the program's own version record, read into ten texts.
//
// Linux executables carry no version resource, so the record is build data
// compiled into the program (support/VersijosIrasas.h.in, filled in by CMake).
// Like a version resource it is a list of key/value texts; keys are matched
// without regard to letter case.
//
// The library has no widgets, so what SkaitytiVersija does when the record is
// absent goes through two replaceable actions. The windows layer installs them
// before it creates the first window:
//   NustatytiVersijosPranesima([](const QString& t) { <message box with t and one OK button> });
//   NustatytiProgramosPabaiga(...) only when the default below does not suit.
#pragma once

#include <array>
#include <functional>
#include <optional>

#include <QList>
#include <QString>
#include <QStringView>

// The key of each entry of the ten texts, in their order.
inline constexpr std::array<QStringView, 10> kVersijosRaktai{
    u"CompanyName",     u"FileDescription",  u"FileVersion", u"InternalName",   u"LegalCopyright",
    u"LegalTradeMarks", u"OriginalFileName", u"ProductName", u"ProductVersion", u"Comments",
};
inline constexpr int kFailoVersija = 2;
inline constexpr int kAutoriuTeises = 4;
inline constexpr int kProduktoPavadinimas = 7;
inline constexpr int kProduktoVersija = 8;
inline constexpr int kKomentarai = 9;

using TVersijosTekstai = std::array<QString, 10>;

// Fills entry i with the record's value for kVersijosRaktai[i]; a key the record
// lacks gives an empty text. When the record is absent, shows "Byla sugadinta",
// asks the program to end, and returns with `tekstai` unchanged; the caller runs
// to its end with its texts as they were.
void SkaitytiVersija(TVersijosTekstai& tekstai);

// The build text of the about window: the (at most) three characters of the file
// version from its seventh on ("1.1.0.0" gives "0", "2.3.1.457" gives "457");
// empty when the version is shorter than seven characters.
QString PataisymoTekstas(const QString& failoVersija);

// Shows a message to the user. The default writes it to the standard error stream.
using TVersijosPranesimas = std::function<void(const QString& tekstas)>;
// An empty function brings the default back.
void NustatytiVersijosPranesima(TVersijosPranesimas rodymas);

// Ends the program. The default asks the running application to leave its event
// loop with exit code 1 at the next turn of the loop, so the calling handler runs
// to its end first; without an application object it ends the process at once.
using TProgramosPabaiga = std::function<void()>;
// An empty function brings the default back.
void NustatytiProgramosPabaiga(TProgramosPabaiga pabaiga);

struct TVersijosReiksme {
    QString Raktas;
    QString Reiksme;
};
using TVersijosIrasas = QList<TVersijosReiksme>;

// The record compiled into the program.
TVersijosIrasas KompiliuotasVersijosIrasas();

// Test seam: makes SkaitytiVersija see `irasas` instead of the compiled-in record;
// std::nullopt makes the record absent. AtstatytiVersijosIrasa undoes it.
void PakeistiVersijosIrasa(std::optional<TVersijosIrasas> irasas);
void AtstatytiVersijosIrasa();
