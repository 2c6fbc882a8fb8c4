// Texts are kept as the bytes that came from a file or a server. This unit
// turns such bytes into something a widget can show.
#pragma once

#include <QByteArray>
#include <QString>

// UTF-8 when the bytes are valid UTF-8, otherwise Windows-1257 (Baltic).
QString RodomasTekstas(const QByteArray& baitai);

// Windows-1257 alone, for texts known to be in the program's code page.
QString IsBaltuKoduotes(const QByteArray& baitai);

// Texts from servers: UTF-8 when the bytes are valid UTF-8, otherwise the
// servers' code page, the one of the interface language unless the user chose
// another (old clients send names in their Windows code page). Safe to call
// from any thread.
QString ServerioTekstas(const QByteArray& baitai);
// The servers' code page by the name Qt knows it ("windows-1251", "koi8-r";
// a bare number "1251" is Windows'); false, and nothing changed, for a name
// Qt cannot decode. Windows-1257 until set.
bool NustatytiServeriuKoduote(const QByteArray& pavadinimas);
QByteArray ServeriuKoduote();

// What a server sends may hold anything, of any length. Where such a text
// leaves the program's own plain-text controls (a tool tip, the desktop, a
// file), it goes through one of these.

// Lengths, in characters, of such texts where they are kept or handed on.
inline constexpr qsizetype kPatarimoRiba = 1024; // a tool tip
inline constexpr qsizetype kPranesimoRiba = 200; // a desktop notification's summary or body
inline constexpr qsizetype kZinutesRiba = 1000;  // a message box
inline constexpr qsizetype kZemelapioRiba = 64;  // a map name in the history

// The text cut to `riba` characters, the last of them then "…"; a character
// outside the basic plane is never cut in two.
QString Apkirpti(const QString& tekstas, qsizetype riba);

// One line of at most `riba` characters: line and paragraph breaks and tabs
// become spaces; other control characters and the characters that change
// the direction of the text around them are left out.
QString VienaEilute(const QString& tekstas, qsizetype riba);

// A tool tip that shows `tekstas` as it is, cut to kPatarimoRiba: Qt takes a
// tool tip for markup whenever it looks like markup, so the text goes in
// escaped, inside markup of the program's own.
QString PatarimoTekstas(const QString& tekstas);
