// Server address helpers: splitting "host[:port]" and turning a host into its
// dotted IPv4 form and back.
#pragma once

#include <QString>

inline constexpr char kNumatytasPortas[] = "27015";

struct TAdresoDalys {
    QString Hostas;
    QString Portas;
    bool operator==(const TAdresoDalys&) const = default;
};

// Splits at the first ':'. Without one, the host is the whole text (untrimmed)
// and the port "27015"; with one, both sides are trimmed and an empty port
// becomes "27015". The port stays text.
TAdresoDalys AtskirtiPorta(const QString& adresas);

// First IPv4 address of the host in dotted form; the host unchanged when the
// lookup fails. Blocks while the name service answers.
QString GautiIP(const QString& hostas);

// Host name registered for a dotted IPv4 address; the text unchanged when the
// reverse lookup fails. Blocks while the name service answers.
QString GautiVarda(const QString& ip);
