// The settings file "resursai\Nustatymai.tyb", section "Nustatymai": the
// user's options, loaded when the watcher is shown and saved when it closes.
//
// One table of rows (TNustatymas), one row a key, serves both directions: the
// load reads the keys in the table's order and applies each value at once, so an
// error stops it at the failing key with the earlier keys applied; the save
// writes every key in the same order. Each row holds how its value is read from
// the program and how a loaded value is applied; the helpers below build the
// three kinds of rows the settings have.
#pragma once

#include <functional>
#include <optional>

#include <QByteArray>
#include <QList>
#include <QString>

// The settings file, as the program names it; the path helper maps it.
inline const QString kNustatymuFailas = QStringLiteral("resursai\\Nustatymai.tyb");
inline const QString kNustatymuSekcija = QStringLiteral("Nustatymai");

struct TNustatymas {
    const char* Raktas;
    std::function<QByteArray()> Reiksme;            // the value to save, as stored
    std::function<void(const QByteArray&)> Taikyti; // applies a loaded value; may throw
    // A key of later versions: at this value it is not added to a file that
    // lacks it, so a file of old stays as it was (none: always written).
    std::optional<QByteArray> Numatyta = {};
};

// An on/off option: "1" is on, anything else (a marker included) off; saved as "1" or "0".
TNustatymas ZymosNustatymas(const char* raktas, std::function<bool()> gauti, std::function<void(bool)> nustatyti);
// A timer's interval in milliseconds: a whole number, not negative, or the
// conversion's error "'<text>' is not a valid integer value". With `apkarpyti`
// blanks around the number are allowed, without it only leading ones.
TNustatymas IntervaloNustatymas(const char* raktas, std::function<int()> gauti, std::function<void(int)> nustatyti,
                                bool apkarpyti);
// A text, decoded for display on loading and saved as UTF-8.
TNustatymas TekstoNustatymas(const char* raktas, std::function<QString()> gauti,
                             std::function<void(const QString&)> nustatyti);

// Reads every key of the table from the settings file and applies it. A missing
// file, section or key gives the marker text as the value. Throws what the
// conversions and the file reads throw.
void IkeltiNustatymus(const QList<TNustatymas>& lentele);
// Writes every key of the table into the settings file (nothing when there is
// no file). Throws EFailoKlaida when the file cannot be written.
void IssaugotiNustatymus(const QList<TNustatymas>& lentele);
