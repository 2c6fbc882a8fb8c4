// Reassembly of replies that a server splits over several datagrams.
//
// A split fragment starts FE FF FF FF, then a 32-bit split id. Two layouts
// follow the id:
//   this engine's:  one byte, fragment number in the high four bits and the
//                   total in the low four; payload from offset 9.
//   the newer one:  total (u8), number (u8), largest size (u16); payload from
//                   offset 12. The id's high bit marks a bzip2-compressed set.
// Fragment 0 of this engine's layout carries the joined reply's FF at offset
// 9, where the newer layout has its number, and with at most 15 fragments a
// total byte of the newer layout never has a high nibble: the two never read
// the same bytes.
//
// Fragments are gathered per sender, split id and layout, in any order; a
// fragment seen twice is ignored; a set of more than 15 fragments or more than
// 16 KB is refused. The joined payload is the reply, FF FF FF FF + type letter.
// A sender has a few sets open at once at most, and all senders together a
// few dozen: a new set takes the place of the oldest one open (the sender's
// own first), so partial sets forged in a sender's name never keep its real
// reply out. The owner drops what is still open when its round ends.
#pragma once

#include <array>
#include <map>
#include <tuple>

#include <QByteArray>
#include <QHostAddress>
#include <QList>

// What became of one datagram.
enum class TDaliesBusena {
    Vientisas,  // not a fragment: the datagram itself is the reply
    Laikoma,    // a fragment stored until its set is whole
    Dublikatas, // a fragment already stored: ignored
    Atmesta,    // a fragment that breaks the limits or its set: dropped
    Suspausta,  // a fragment of a compressed set: nothing here decompresses it, dropped
    Surinkta    // the last missing fragment: the joined reply
};

struct TDaliesRezultatas {
    TDaliesBusena Busena = TDaliesBusena::Atmesta;
    QByteArray Atsakymas; // the reply for Vientisas and Surinkta, otherwise empty
};

// A short English text for a status, for logs and test messages.
const char* DaliesBusenosTekstas(TDaliesBusena busena);

inline constexpr int kDaugiausiaDaliu = 15;
inline constexpr int kDaugiausiaSurinktoBaitu = 16 * 1024;
// Sets open at once, per sender and in all.
inline constexpr int kDaugiausiaSiuntejoRinkiniu = 8;
inline constexpr int kDaugiausiaRinkiniu = 64;

class TDaliuSurinkejas {
public:
    TDaliesRezultatas Priimti(const QHostAddress& siuntejas, quint16 prievadas, const QByteArray& datagrama);
    // Drops every set that is not whole yet (a round has ended).
    void IsmestiNebaigtus() { rinkiniai.clear(); }
    int NebaigtiRinkiniai() const { return int(rinkiniai.size()); }

private:
    struct TRinkinys {
        quint64 Eile = 0; // opened as the Eile-th set
        int Viso = 0;
        int Baitu = 0;
        QList<QByteArray> Dalys; // an empty slot waits for its fragment
        QList<bool> Gautos;
        int Gauta = 0;
    };
    // address (IPv6 form, IPv4 mapped), port, id, newer layout
    using TRaktas = std::tuple<std::array<quint8, 16>, quint16, quint32, bool>;
    // Makes room for a new set of this sender's (address and port).
    void Atlaisvinti(const TRaktas& naujas);
    std::map<TRaktas, TRinkinys> rinkiniai;
    quint64 atidaryta = 0;
};
