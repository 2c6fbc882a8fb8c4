// Builders of the reply datagrams a Half-Life / Counter-Strike server sends to
// the query requests: the exact inverse of the readers of cstrike.h. Every
// builder returns one whole datagram, the four 0xFF bytes and the type letter
// included. Numbers are written little-endian, texts as their bytes and one
// zero byte (a text must hold no zero byte of its own, or a reader stops there).
#pragma once

#include <optional>

#include <QByteArray>

#include "A2S.h"
#include "cstrike.h"

// The four 0xFF bytes and the type letter.
QByteArray KurtiAntraste(char tipas);

// Any reply: the header with the given letter, then the body as given. Used for
// replies of a type the client does not know.
QByteArray KurtiAtsakyma(char tipas, const QByteArray& kunas = {});

// 'j': the header, then one zero byte when suNuliu is set.
QByteArray KurtiPingoAtsakyma(bool suNuliu = true);

// 'l': the header alone, or followed by a text when one is given.
QByteArray KurtiBanoAtsakyma(const QByteArray& tekstas = {});

// 'i': the four 0xFF bytes, then two texts. The first text on the wire is the
// letter 'i' followed by pirmas, so a client that reads texts from offset 4
// gets "i" + pirmas, then antras.
QByteArray KurtiTekstoAtsakyma(const QByteArray& pirmas, const QByteArray& antras);

// 'D': the count byte, then for every entry its Zaidejas (Nr, Vardas, Fragai,
// Laikas); Valandos, Minutes and Sekundes are not on the wire. Without kiekis
// the count byte is the number of entries, and at most 255 entries are written.
// With kiekis (0-255) the count byte says kiekis while every entry of the list
// is written, so a reply can claim more or fewer players than it holds.
QByteArray KurtiZaidejuAtsakyma(const TZaidejai& zaidejai, std::optional<quint8> kiekis = std::nullopt);

// 'D' grown with zero bytes after the entries to dydis bytes in all (a longer
// reply is left as it is), for replies larger than a client accepts.
QByteArray KurtiIsplestaZaidejuAtsakyma(const TZaidejai& zaidejai, int dydis);

// 'm': the five texts of Info, the seven bytes, the mod block only when
// ArModas == 1, then Saugus.
QByteArray KurtiDetaliuAtsakyma(const TDetales& detales);

// 'E': the 16-bit count, then name and value of every rule. Without kiekis the
// count is the number of rules and at most 65535 rules are written; with kiekis
// the count says kiekis while every rule of the list is written.
QByteArray KurtiTaisykliuAtsakyma(const TTaisykles& taisykles, std::optional<quint16> kiekis = std::nullopt);

// A player entry with the hour, minute and second parts filled the way
// SkaitytiZaidejus fills them, so it compares equal to the decoded entry.
TZaidejoInfo KurtiZaidejoInfo(quint8 nr, const QByteArray& vardas, qint32 fragai, float laikas);

// 'A': the four challenge bytes.
QByteArray KurtiIssukioAtsakyma(TIssukis issukis);

// 'I': every field of the record; the extra data as EDF says (nothing after
// the version when ArPapildomi is not set).
QByteArray KurtiInfoAtsakyma(const TA2SInfo& info);

// 'm' followed by the bots byte, as today's servers send it.
QByteArray KurtiDetaliuAtsakymaSuBotais(const TDetales& detales, quint8 botai);

// The reply as split fragments of at most dydis payload bytes each (at least
// two fragments when visada is set, at most 15), in the layout given:
// newer == false this engine's layout, otherwise the newer one, with the
// id's compressed bit when suspausta. Nothing when the reply needs more than
// 15 fragments.
QList<QByteArray> KurtiDalis(const QByteArray& atsakymas, quint32 id, int dydis, bool naujas, bool suspausta = false,
                             bool visada = false);
