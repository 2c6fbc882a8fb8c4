// The Steam server queries ("A2S") that today's servers answer instead of the
// legacy words: the request datagrams, the challenge reply 'A', the info reply
// 'I' and its record, and the details reply 'm' with its optional bots byte.
// The players 'D' and rules 'E' replies keep the layouts of cstrike.h.
//
// Readers take a TAtminiesSrautas positioned just after the five-byte header,
// as the readers of cstrike.h do, and never read past its end: a field the
// reply does not reach keeps its cleared value.
#pragma once

#include <optional>

#include <QByteArray>

#include "AtminiesSrautas.h"
#include "cstrike.h"

inline constexpr char kTipasInfo = 'I';
inline constexpr char kTipasIssukis = 'A';

// Request type letters.
inline constexpr char kA2SInfo = 'T';
inline constexpr char kA2SZaidejai = 'U';
inline constexpr char kA2STaisykles = 'V';

// The four challenge bytes, kept as they came (little-endian on the wire).
using TIssukis = quint32;
// What A2S_PLAYER and A2S_RULES carry while no challenge is known.
inline constexpr TIssukis kBeIssukio = 0xFFFFFFFFu;

// Extra-data flag bits of the info reply, and the fields each one brings.
inline constexpr quint8 kEdfPortas = 0x80;
inline constexpr quint8 kEdfSteamId = 0x10;
inline constexpr quint8 kEdfStebetojai = 0x40;
inline constexpr quint8 kEdfZymes = 0x20;
inline constexpr quint8 kEdfZaidimoId = 0x01;

// The info reply 'I'.
struct TA2SInfo {
    quint8 Protokolas = 0;
    QByteArray Pavadinimas;
    QByteArray Zemelapis;
    QByteArray Katalogas;
    QByteArray Zaidimas;
    qint16 AppId = 0;
    quint8 Zaidejai = 0; // bots included, as the server counts them
    quint8 MaxZaideju = 0;
    quint8 Botai = 0;
    char ServerioTipas = 0; // 'd' dedicated, 'l' listen, 'p' proxy
    char OS = 0;            // 'l', 'w', 'm' or 'o'
    quint8 Slaptazodis = 0;
    quint8 VAC = 0;
    QByteArray Versija;
    // The extra data: present when the reply reaches the flag byte.
    bool ArPapildomi = false;
    quint8 EDF = 0;
    quint16 ZaidimoPortas = 0;
    quint64 SteamId = 0;
    quint16 StebetojuPortas = 0;
    QByteArray StebetojuVardas;
    QByteArray Zymes;
    quint64 ZaidimoId = 0;
    bool operator==(const TA2SInfo&) const = default;
};

// 'm' with what follows its secure byte on today's servers: one byte, the bots
// count. Proxies leave it out, then Botai is empty.
struct TDetalesSuBotais {
    TDetales Detales;
    std::optional<quint8> Botai;
    bool operator==(const TDetalesSuBotais&) const = default;
};

// A2S_INFO: FF FF FF FF 'T' "Source Engine Query" 00 (25 bytes), followed by
// the four challenge bytes when one is given (29 bytes).
QByteArray A2SInfoUzklausa(std::optional<TIssukis> issukis = std::nullopt);
// A2S_PLAYER and A2S_RULES: FF FF FF FF, the letter, the challenge (9 bytes).
QByteArray A2SZaidejuUzklausa(TIssukis issukis = kBeIssukio);
QByteArray A2STaisykliuUzklausa(TIssukis issukis = kBeIssukio);

// The challenge of an 'A' reply; nothing when the reply is shorter than four bytes.
std::optional<TIssukis> SkaitytiIssuki(TAtminiesSrautas& srautas);
TA2SInfo SkaitytiInfo(TAtminiesSrautas& srautas);
TDetalesSuBotais SkaitytiDetalesSuBotais(TAtminiesSrautas& srautas);

// The details record an info reply fills, for the windows that show a details
// reply: the polled address as the address, VAC as the secure flag; the mod
// fields, which an info reply lacks, stay cleared.
TDetales DetalesIsInfo(const TA2SInfo& info, const QByteArray& adresas);
