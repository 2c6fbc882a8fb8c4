// What the program learnt about servers, kept from one run to the next in the
// user's cache folder: each server's dialect, last challenge and round trip,
// so that the first round of a known server of today goes straight to the
// Steam queries with the challenge it will most likely take.
//
// The file is text, one server a line after a header line:
//   Velmorant servers 1
//   <ip:port> TAB legacy|a2s|- TAB <challenge, 8 hex digits>|- TAB <round trip ms>|- TAB <last answer, Unix ms>
//   [TAB goldsrc|quake: the remote console's form, when known]
// Lines that do not read so are skipped; a file without the header is
// ignored whole. A server is known by its resolved address; the lines of
// older files keyed by a host name as typed are read all the same, asked
// for by nothing, and age out. Entries older than kAtmintiesAmziusMs are dropped, both when
// reading and when writing. It is only a cache: a stale challenge costs one
// challenge round trip, a wrong dialect one fallback.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>

#include "Sesija.h"

inline constexpr qint64 kAtmintiesAmziusMs = 30LL * 24 * 60 * 60 * 1000;

// The entries of a cache file's content that are younger than the limit at `dabar` (Unix ms).
QHash<QString, TServerioZinios> SkaitytiAtminti(QByteArrayView turinys, qint64 dabar);
// The content for what is known of dialect or console form (unknown servers are left out).
QByteArray RasytiAtminti(const QHash<QString, TServerioZinios>& zinios, qint64 dabar);

// The cache file: "serveriai.txt" in the user's cache folder of the program
// ($XDG_CACHE_HOME/Velmorant), whatever folder the data comes from.
QString AtmintiesKelias();
// Adds to the registry what the file knows of servers the registry does not
// know yet. A missing or unreadable file adds nothing.
void IkeltiAtminti(TServeriuRegistras& registras, const QString& kelias);
// Writes the registry's knowledge atomically; false when it could not.
bool IssaugotiAtminti(const TServeriuRegistras& registras, const QString& kelias);
