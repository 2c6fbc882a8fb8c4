// Server lists that need no Steam key, as text and datagrams: the sources
// file (the Xash3D FWGS engine's syntax), the engine's static lists over
// HTTP, the master servers' pages (GoldSrc and Xash3D), and the Steam
// client's own favourites and history (serverbrowser_hist.vdf). Readers
// only: no I/O but the files they are pointed at (Bendruomene.h asks the
// sources).
//
// Every source is a third party: what it sends is read to kDaugiausiaEiluciu
// entries at most, and an entry whose address no server can have (0.0.0.0/8,
// the broadcast address, multicast, port 0, IPv6, a name that is no host
// name) is dropped and counted.
#pragma once

#include <optional>

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include "SteamSarasas.h"
#include "iphostport.h"

struct TSaltinis {
    enum class TRusis {
        Statinis, // "masterstatic <url>": a static list over HTTP
        Xash,     // "master <host:port>": a Xash3D master
        GoldSrc   // "mastergs <host:port>": a GoldSrc master
    };
    TRusis Rusis = TRusis::Statinis;
    QString Adresas; // the URL's base, or "host:port"
    bool operator==(const TSaltinis&) const = default;
};

// The engine's default: the Xash3D FWGS project's static lists.
inline constexpr char kNumatytasSaltinis[] = "http://xash.su/server-list";
inline constexpr int kDaugiausiaSaltiniu = 64;
inline constexpr qsizetype kSaltiniuFailoRiba = 64 * 1024;

// The engine's tokens, as views into `tekstas`: white space separates them,
// "#" and "//" start a comment to the end of the line, "..." quotes one
// (without escapes). At most `riba` tokens.
QList<QByteArrayView> EnginoZodziai(QByteArrayView tekstas, qsizetype riba);

// The sources of a sources file, in its order, without doubles; unknown
// lines skipped; at most kDaugiausiaSaltiniu.
QList<TSaltinis> SkaitytiSaltinius(const QByteArray& tekstas);
// VELMORANT_SOURCES when set, else $XDG_CONFIG_HOME/Velmorant/saltiniai.lst.
QString SaltiniuKelias();
// The file's sources; the built-in default when there is no such file.
QList<TSaltinis> SaltiniuFailas();

// One entry of a list: a server's query address (a dotted IPv4 address or a
// host name) and the port, 27015 when the text has none; nothing for an
// address dropped as above.
std::optional<TServerioAdresas> SaltinioAdresas(QByteArrayView tekstas);
std::optional<TServerioAdresas> SaltinioAdresas(const QString& tekstas);

struct TSaltinioSarasas {
    QList<TServerioAdresas> Adresai; // without doubles, in the list's order
    int Atmesta = 0;
    bool Nupjautas = false; // kDaugiausiaEiluciu were read: the rest was not
};

// A static list ("ip <address>" for a Xash3D server, "gs <address>" for a
// GoldSrc one; any other word is skipped with one operand).
TSaltinioSarasas SkaitytiStatiniSarasa(const QByteArray& tekstas);
// Its address for a game folder: <base>/v1/servers/<gamedir>.
QString StatinioSarasoAdresas(const QString& baze, const QString& katalogas);

// ---- masters ----

inline constexpr int kDaugiausiaPuslapiu = 100;
inline constexpr char kXashKlientoVersija[] = "0.21";

// A master's query for the page after `paskutinis` ("0.0.0.0:0" first),
// region `regionas` (0xFF: all).
QByteArray MasterioUzklausa(const QString& paskutinis, const QString& filtras, quint8 regionas = 0xFF);
// The filter a master is asked with: the Web API's keys but the application;
// a Xash3D master's carries its client's version, no NAT, and the key.
QString MasterioFiltras(const TSarasoFiltras& filtras, std::optional<quint32> raktas);

struct TMasterioPuslapis {
    QList<TServerioAdresas> Adresai;
    int Atmesta = 0;
    bool Paskutinis = false;   // it ended with 0.0.0.0:0
    QString PaskutinisAdresas; // what the next page is asked from
};
// A reply page: "FF FF FF FF 66 0A" and 6-byte entries from a GoldSrc
// master; "FF FF FF FF 66 FF", the 4 key bytes (little-endian), a reserved
// byte and the entries from a Xash3D master asked with `raktas` (also after
// "66 0A 7F", as some of the engine's masters send it). Nothing for a
// datagram that is no such page, or whose key is not `raktas`.
std::optional<TMasterioPuslapis> SkaitytiMasterioPuslapi(const QByteArray& datagrama, std::optional<quint32> raktas);

// ---- the Steam client's lists ----

struct TSteamIrasas {
    TServerioAdresas Adresas;
    QString Vardas;            // as the client kept it: one line, cut
    qint64 PaskutiniKarta = 0; // LastPlayed, Unix seconds; 0 when never
    int AppId = 0;             // often 0: not said
    bool operator==(const TSteamIrasas&) const = default;
};
struct TSteamSarasai {
    QList<TSteamIrasas> Megstami;
    QList<TSteamIrasas> Istorija;
};
// Valve's KeyValues text of serverbrowser_hist.vdf: "Filters" { "favorites"
// { "1" { "name" .. "address" .. "LastPlayed" .. "appid" .. } } "history"
// { .. } }, names in any letter case.
TSteamSarasai SkaitytiSteamSarasus(const QByteArray& vdf);
// Every account's serverbrowser_hist.vdf under the Steam client's folders
// (~/.steam/steam, ~/.local/share/Steam, the Flatpak's), each file once.
QStringList SteamSarasuFailai();
// The lists of all these files together, each server once a list (the newest
// LastPlayed kept), the history newest first; rows of `appId` or of none.
TSteamSarasai SkaitytiSteamFailus(const QStringList& failai, int appId);
