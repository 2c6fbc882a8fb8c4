// The test server's Steam Web API: IGameServersService/GetServerList over
// real HTTP (Qt HTTP Server) for the servers it is given, so that the
// program's server browser can be run and tested without Steam.
//
//   GET /IGameServersService/GetServerList/v1/?key=KEY&filter=\appid\10\map\de_dust2&limit=N
//
// answers {"response":{"servers":[...]}} (or {"response":{}} when none match)
// with the fields the real service sends; another key gets 403 with an HTML
// body, as the real one does. Filter keys: appid, gamedir, map, empty\1 (not
// empty), full\1 (not full), noplayers\1 (empty), password\0, secure\1,
// linux\1, dedicated\1, name_match\*text* (case-insensitive, * any text),
// gameaddr\ip[:port]; unknown keys are ignored. `limit` defaults to 100.
//
// The same HTTP server also serves a community server list, whatever the key
// (none is sent):
//
//   GET /v1/servers/<gamedir>
//
// answers text/plain in Xash3D FWGS's static list format: a comment line
// ("# ..."), then "gs a.b.c.d:port" for each GoldSrc server (protocol other
// than 49) and "ip a.b.c.d:port" for each Xash3D one (protocol 49) of that
// game folder (letter case aside), those on Steam's networking left out; a
// folder no server has gets 404.
//
// Also: IvairusTurinys(i), the i-th of many servers of varied content, for
// --count and the benchmarks.
#pragma once

#include <memory>
#include <optional>

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QSslCertificate>
#include <QSslKey>
#include <QString>

#include "TestinisServeris.h"

class QHttpServer;

// One server of the list.
struct TSarasoIrasas {
    QString Adresas; // "ip:queryport"
    quint16 ZaidimoPortas = 0;
    TServerioTurinys Turinys;
};

// The i-th server of a varied population (names, maps, players, bots,
// maximums, passwords, operating systems); every tenth (i % 10 == 9) is one
// that is meant to stay silent, which IvairusTylus tells.
TServerioTurinys IvairusTurinys(int i);
bool IvairusTylus(int i);

// A server on Steam's networking ("FakeIP"): an address in 169.254.0.0/16 and a
// high port, a listen server hosted from the game.
TSarasoIrasas FakeIPIrasas(int i);

class TTestinisSarasas : public QObject {
    Q_OBJECT
public:
    static constexpr int kNumatytaRiba = 100;

    explicit TTestinisSarasas(QObject* tevas = nullptr);
    ~TTestinisSarasas() override;

    // HTTPS with this certificate from Paleisti on (before it: plain HTTP).
    void NustatytiTls(const QSslCertificate& sertifikatas, const QSslKey& raktas);
    // Listens on adresas:prievadas (0: a port of the system's); false when it cannot.
    bool Paleisti(const QHostAddress& adresas, quint16 prievadas, const QString& raktas);
    quint16 Prievadas() const { return prievadas; }

    void NustatytiIrasus(QList<TSarasoIrasas> nauji) { irasai = std::move(nauji); }
    const QList<TSarasoIrasas>& Irasai() const { return irasai; }
    // Every request is answered with this HTTP status and a short text body
    // (0: as the request asks), as a busy service answers.
    void NustatytiBusena(int http) { busena = http; }
    // GetServerList requests answered so far, whatever the answer.
    int Uzklausos() const { return uzklausos; }
    // When set, every community list request gets 200 with exactly this body
    // (NustatytiBusena still comes first).
    void NustatytiBendruomenesTeksta(std::optional<QByteArray> tekstas) { bendruomenesTekstas = std::move(tekstas); }
    // Community list requests answered so far, whatever the answer.
    int BendruomenesUzklausos() const { return bendruomenesUzklausos; }

    // The reply body for these query parameters (the key aside).
    QByteArray Atsakymas(const QString& filtras, int riba) const;
    // The community list of this game folder; none (404) when no server has it.
    std::optional<QByteArray> BendruomenesAtsakymas(const QString& katalogas) const;

private:
    std::unique_ptr<QHttpServer> serveris;
    QList<TSarasoIrasas> irasai;
    QString raktas;
    QSslCertificate sertifikatas;
    QSslKey tlsRaktas;
    quint16 prievadas = 0;
    int busena = 0;
    int uzklausos = 0;
    std::optional<QByteArray> bendruomenesTekstas;
    int bendruomenesUzklausos = 0;
};
