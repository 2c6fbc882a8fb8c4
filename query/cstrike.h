// Half-Life / Counter-Strike query protocol: request datagrams, the records the
// replies decode into and the readers that decode them.
//
// Numbers on the wire are little-endian; texts are byte strings ended by one
// zero byte and are kept as bytes. Every reader works on a TAtminiesSrautas
// positioned just after the five-byte header and never reads past its end:
// a field the datagram does not reach keeps its cleared value.
#pragma once

#include <cstdint>

#include <QByteArray>
#include <QList>

#include "AtminiesSrautas.h"

struct TZaidejas {
    quint8 Nr = 0;
    QByteArray Vardas;
    qint32 Fragai = 0;
    float Laikas = 0.0f; // seconds connected
    bool operator==(const TZaidejas&) const = default;
};

struct TZaidejoInfo {
    TZaidejas Zaidejas;
    quint32 Valandos = 0; // wide enough for any connection time, not only below 256 hours
    quint8 Minutes = 0;
    quint8 Sekundes = 0;
    bool operator==(const TZaidejoInfo&) const = default;
};

using TZaidejai = QList<TZaidejoInfo>;

struct TDetaliInfo {
    QByteArray Adresas;
    QByteArray Pavadinimas;
    QByteArray Zemelapis;
    QByteArray Katalogas;
    QByteArray Zaidimas;
    bool operator==(const TDetaliInfo&) const = default;
};

struct TMODInfo {
    QByteArray Svetaine;
    QByteArray Parsisiuntimas;
    QByteArray Rezervuota;
    bool operator==(const TMODInfo&) const = default;
};

struct TDetales {
    TDetaliInfo Info;
    quint8 Zaidejai = 0;
    quint8 MaxZaideju = 0;
    quint8 Protokolas = 0;
    char ServerioTipas = 0; // 'd' dedicated, anything else listen
    char OS = 0;            // 'w' Windows, anything else Linux
    quint8 Slaptazodis = 0;
    quint8 ArModas = 0;
    TMODInfo MOD;
    qint32 MODVersija = 0;
    qint32 MODDydis = 0;
    quint8 TikServerio = 0;
    quint8 SavasDLL = 0;
    quint8 Saugus = 0;
    bool operator==(const TDetales&) const = default;
};

struct TTaisykle {
    QByteArray Pavadinimas;
    QByteArray Reiksme;
    bool operator==(const TTaisykle&) const = default;
};

using TTaisykles = QList<TTaisykle>;

// Request words and the datagram that carries one: four 0xFF bytes, the word,
// zero bytes up to 256 bytes in all.
inline constexpr int kUzklausosIlgis = 256;
inline constexpr char kPing[] = "ping";
inline constexpr char kPlayers[] = "players";
inline constexpr char kDetails[] = "details";
inline constexpr char kRules[] = "rules";
QByteArray UzklausosDatagrama(const char* zodis);

// Reply type letters (the fifth byte of a reply).
inline constexpr char kTipasZaidejai = 'D';
inline constexpr char kTipasDetales = 'm';
inline constexpr char kTipasTaisykles = 'E';
inline constexpr char kTipasPingas = 'j';
inline constexpr char kTipasBanas = 'l';
inline constexpr char kTipasTekstas = 'i';

// Datagrams longer than this are not decoded.
inline constexpr int kDidziausiasAtsakymas = 2023;
// The header: four bytes, then the type letter.
inline constexpr int kAntrastesIlgis = 5;

// Reads the five header bytes and returns the type letter (0 when the stream
// holds fewer than five bytes).
char SkaitytiAntraste(TAtminiesSrautas& srautas);
// Whether the datagram starts with a whole reply header (four 0xFF bytes and
// the type letter); zero-filled or otherwise headless datagrams are no reply.
inline bool ArAntraste(const QByteArray& d) {
    return d.size() >= kAntrastesIlgis && d.startsWith(QByteArrayView("\xFF\xFF\xFF\xFF", 4));
}

QByteArray SkaitytiEilute(TAtminiesSrautas& srautas);
TZaidejas SkaitytiZaideja(TAtminiesSrautas& srautas);
TZaidejai SkaitytiZaidejus(TAtminiesSrautas& srautas);
TDetales SkaitytiDetales(TAtminiesSrautas& srautas);
// The 16-bit count sizes the list, and pairs the datagram does not reach stay
// cleared; but a count above what a datagram of this length could ever carry
// (each pair takes at least its two zero bytes) is taken as that bound, so a
// forged count in a few bytes cannot make a list of 65535 entries.
TTaisykles SkaitytiTaisykles(TAtminiesSrautas& srautas);
inline constexpr qint64 DidziausiasTaisykliuSkaicius(qint64 datagramosIlgis) {
    return datagramosIlgis / 2;
}

struct TLaikoDalys {
    quint32 Valandos = 0;
    quint8 Minutes = 0;
    quint8 Sekundes = 0;
    bool operator==(const TLaikoDalys&) const = default;
};
TLaikoDalys IsskaidytiLaika(qint32 sekundes);

// Whole seconds of a connection time as the players reply gives it: the absolute
// value rounded half up. Values that are not a number count as 0; values beyond
// the 32-bit range are held at its top.
qint32 SveikosSekundes(float laikas);
