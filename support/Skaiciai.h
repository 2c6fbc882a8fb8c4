// Whole-number conversion of texts, as used for ports and refresh intervals.
#pragma once

#include <QString>

#include "Klaidos.h"

// Leading blanks are skipped; then an optional "+" or "-"; then decimal digits,
// or hexadecimal digits after "$" or "0x". The value must fit a signed 32-bit
// integer and nothing may follow the digits. Anything else raises
// EKonvertavimoKlaida with "'<text>' is not a valid integer value".
int StrToInt(const QString& tekstas);

// The same test without raising: false when the text is not a whole number.
bool BandytiStrToInt(const QString& tekstas, int& rezultatas);

// Removes characters up to and including the blank (control characters and
// spaces) from both ends, as the program trims everything it calls blanks.
QString ApkarpytiTarpus(const QString& tekstas);
QByteArray ApkarpytiTarpus(const QByteArray& tekstas);
