// The Steam Web API's list of game servers (IGameServersService/GetServerList,
// with the user's own key): the filter the program asks with, the reply read
// into rows, and the request itself, with its time limit and its outcome told
// as one of a few kinds a window can put in words.
//
//   TSteamSarasas sarasas(&tinklas);
//   connect(&sarasas, &TSteamSarasas::Baigta, this, &TfrmX::SarasasGautas);
//   if (const std::optional<qint64> laukti = sarasas.Prasyti(filtras, raktas))
//       ...;   // the same filter was asked less than a minute ago: *laukti ms to go
//
// The service is ASCII JSON from a third party: every text of a row is made
// one line and cut, every number held to what the game can mean, a row whose
// address is no "ip:port" dropped, and the reply read to kDidziausiasAtsakymas
// bytes at most. The key travels in the address's query, so it goes only over
// HTTPS (plain HTTP only to a loopback address, for tests), never through a
// redirect, and a certificate error ends the request: it is never ignored.
#pragma once

#include <functional>
#include <optional>

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QNetworkReply>
#include <QUrl>

#include "iphostport.h"

class QNetworkAccessManager;

// The games of the engine: the Steam application, its game folder.
struct TZaidimas {
    int AppId;
    const char* Katalogas;
    const char* Pavadinimas;
};
inline constexpr TZaidimas kZaidimai[] = {
    {10, "cstrike", "Counter-Strike"},    {80, "czero", "Condition Zero"}, {70, "valve", "Half-Life"},
    {20, "tfc", "Team Fortress Classic"}, {30, "dod", "Day of Defeat"},    {40, "dmc", "Deathmatch Classic"},
    {50, "gearbox", "Opposing Force"},    {60, "ricochet", "Ricochet"},    {130, "bshift", "Blue Shift"}};

struct TSarasoFiltras {
    int AppId = 10;
    QString Katalogas = QStringLiteral("cstrike");
    bool NePilni = false;        // "full\1": not full
    bool NeTusti = false;        // "empty\1": not empty
    bool BeSlaptazodzio = false; // "password\0"

    // The service's filter: "\appid\10\gamedir\cstrike", the chosen keys after.
    QString Tekstas() const;
    bool operator==(const TSarasoFiltras&) const = default;
};

struct TInternetoServeris {
    TServerioAdresas Adresas; // the dotted address and the query port
    quint16 ZaidimoPortas = 0;
    QString Vardas;
    QString Zemelapis;
    QString Katalogas;
    QString Versija;
    int AppId = 0;
    int Zaidejai = 0; // bots among them
    int MaxZaideju = 0;
    int Botai = 0;
    bool Saugus = false;
    bool Dedikuotas = false;
    char OS = 0; // 'l', 'w', or 0 when not said
    // On Steam's networking (169.254.0.0/16): plain UDP cannot reach it.
    bool FakeIP = false;
    // Where a key-free list found it (Bendruomene.h), in words; empty for the Web API's.
    QString Saltinis;
    // When the user last played there, Unix seconds (the Steam client's history); 0: not known.
    qint64 PaskutiniKarta = 0;

    // People: the players that are no bots.
    int Zmones() const { return qMax(0, Zaidejai - Botai); }
    bool operator==(const TInternetoServeris&) const = default;
};

enum class TSarasoBusena {
    Gerai,
    Nupjautas,       // as many rows as were asked for: there are more
    RaktasAtmestas,  // 401 or 403: the key was refused
    Uzimta,          // 429 or 5xx: the service is busy
    Sertifikatas,    // the TLS certificate or handshake failed
    BeTinklo,        // no route, no name, no connection
    LaikasBaigesi,   // nothing received for kLaikoRibaMs
    BlogasAtsakymas, // another status, a redirect, or no JSON list
    PerDidelis,      // more than kDidziausiasAtsakymas bytes
    NeSaugus         // the address is neither HTTPS nor loopback: the key stays home
};

struct TSarasoRezultatas {
    TSarasoBusena Busena = TSarasoBusena::BlogasAtsakymas;
    QList<TInternetoServeris> Serveriai;
    int HttpKodas = 0;
    int Atmesta = 0; // rows dropped: an address that is no "ip:port"

    bool ArPavyko() const { return Busena == TSarasoBusena::Gerai || Busena == TSarasoBusena::Nupjautas; }
};

inline constexpr qsizetype kSarasoTekstoRiba = 128; // a name, a map, a version in a row
inline constexpr int kDaugiausiaEiluciu = 20000;

// An address in 169.254.0.0/16, where Steam lists the servers of its networking.
bool ArFakeIP(quint32 ip);

// Reads a reply body of GetServerList asked with limit `riba`: its rows, at
// most kDaugiausiaEiluciu; Nupjautas when there were `riba` or more (never
// with `riba` 0).
TSarasoRezultatas SkaitytiSarasa(const QByteArray& json, int riba);
// Rows in the shape of such a reply, which SkaitytiSarasa reads back.
QByteArray RasytiSarasa(const QList<TInternetoServeris>& serveriai);

class TSteamSarasas : public QObject {
    Q_OBJECT
public:
    using TLaikrodis = std::function<qint64()>;

    static constexpr int kLaikoRibaMs = 10000;
    static constexpr qint64 kTarpasMs = 60000;
    static constexpr qint64 kDidziausiasAtsakymas = 32 * 1024 * 1024;
    static constexpr int kNumatytaRiba = kDaugiausiaEiluciu;

    // `laikrodis`: monotonic ms for the once-a-minute rule (the system's by default).
    explicit TSteamSarasas(QNetworkAccessManager* tinklas, TLaikrodis laikrodis = {}, QObject* tevas = nullptr);
    ~TSteamSarasas() override;

    // VELMORANT_STEAM_API when set, else https://api.steampowered.com.
    static QUrl NumatytasAdresas();
    void NustatytiAdresa(const QUrl& naujas) { adresas = naujas; }
    // The next requests' time limit (kLaikoRibaMs until set).
    void NustatytiLaikoRiba(int ms) { laikoRiba = ms; }
    QUrl Adresas() const { return adresas; }

    // Asks for the list (a request under way is dropped first): nothing, and
    // Baigta follows; or, when the same filter was asked less than kTarpasMs
    // ago, the ms until it may be asked again, and nothing is sent.
    std::optional<qint64> Prasyti(const TSarasoFiltras& filtras, const QString& raktas, int riba = kNumatytaRiba);
    void Nutraukti();
    bool ArVyksta() const { return atsakymas != nullptr; }

Q_SIGNALS:
    // Never from inside Prasyti.
    void Baigta(const TSarasoRezultatas& rezultatas);

private:
    void Skaityti();
    void Baigti();
    void Pranesti(TSarasoRezultatas rezultatas);

    QNetworkAccessManager* tinklas;
    TLaikrodis laikrodis;
    QUrl adresas;
    QPointer<QNetworkReply> atsakymas;
    int laikoRiba = kLaikoRibaMs;
    QByteArray turinys;
    int riba = 0;
    std::optional<TSarasoBusena> nutraukta; // why this object aborted the reply
    QHash<QString, qint64> paklausta;       // filter text -> when it was last asked
};
