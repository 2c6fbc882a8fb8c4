// velmorant-testserver: the local test game server as a command line program.
// Once bound it prints "PORT <n>" on standard output (then the ports of the
// server lists it runs), logs each request on standard error (unless --quiet)
// and ends cleanly on SIGTERM or SIGINT.
#include <csignal>
#include <cstdio>
#include <optional>

#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <vector>

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QHostAddress>
#include <QSocketNotifier>

#include "InternetoSarasas.h"
#include "Masteris.h"
#include "TestinisServeris.h"
#include "TurinioFailas.h"

using namespace Qt::StringLiterals;

namespace {

// The signal handler only writes a byte here; the event loop reads it and quits.
int signaluPora[2] = {-1, -1};

void SignaloDoroklis(int) {
    const char baitas = 1;
    const ssize_t irasyta = ::write(signaluPora[1], &baitas, 1);
    static_cast<void>(irasyta);
}

bool ParuostiSignalus(QCoreApplication& programa) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signaluPora) != 0)
        return false;
    auto* pranesejas = new QSocketNotifier(signaluPora[0], QSocketNotifier::Read, &programa);
    QObject::connect(pranesejas, &QSocketNotifier::activated, &programa, [](QSocketDescriptor, QSocketNotifier::Type) {
        char baitas = 0;
        const ssize_t perskaityta = ::read(signaluPora[0], &baitas, 1);
        static_cast<void>(perskaityta);
        QCoreApplication::quit();
    });
    struct sigaction veiksmas = {};
    veiksmas.sa_handler = SignaloDoroklis;
    sigemptyset(&veiksmas.sa_mask);
    veiksmas.sa_flags = SA_RESTART;
    return sigaction(SIGTERM, &veiksmas, nullptr) == 0 && sigaction(SIGINT, &veiksmas, nullptr) == 0;
}

// Bytes outside printable ASCII shown as \xHH, so a log line stays one line.
QString Rodomas(const QByteArray& baitai) {
    QString s;
    for (const char c : baitai) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F && u != '\\')
            s += QLatin1Char(c);
        else
            s += u"\\x%1"_s.arg(u, 2, 16, QChar(u'0'));
    }
    return s;
}

int Klaida(const QString& tekstas) {
    std::fprintf(stderr, "velmorant-testserver: %s\n", qPrintable(tekstas));
    return 2;
}

std::optional<int> SkaiciusIs(const QString& tekstas, int nuo, int iki) {
    bool gerai = false;
    const int n = tekstas.toInt(&gerai);
    if (!gerai || n < nuo || n > iki)
        return std::nullopt;
    return n;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication programa(argc, argv);
    QCoreApplication::setApplicationName(u"velmorant-testserver"_s);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Local Half-Life / Counter-Strike test game server. It answers the query requests \"ping\", "
        "\"players\", \"details\" and \"rules\" (four 0xFF bytes, the word, zero bytes; any length) over UDP "
        "from the content it is given, and can misbehave on request. Once bound it prints \"PORT <n>\" on "
        "standard output; it stops on SIGTERM or SIGINT.\n\n"
        "Content file (JSON, every key optional): {\"textEncoding\": \"utf-8\"|\"latin1\", \"name\", \"map\", "
        "\"address\" (\"\" = the bound ip:port), \"folder\" (cstrike), \"game\" (Counter-Strike), \"maxPlayers\" "
        "(32), \"playersCount\" (null = listed players), \"protocol\" (47), \"serverType\" (\"d\"), \"os\" "
        "(\"l\"), \"password\" (false), \"mod\": null | {\"url\", \"download\", \"reserved\", \"version\", "
        "\"size\", \"serverOnly\", \"customDll\"}, \"secure\" (false), \"players\": [{\"name\", \"frags\", "
        "\"seconds\", \"slot\"}], \"rules\": [[name, value], ...], \"appId\" (10), \"bots\" (0), \"version\" "
        "(\"1.1.2.7/Stdio\")}. --print-content shows a full example.\n\n"
        "Modes (--mode): legacy answers the legacy words only; modern answers \"ping\" and the Steam queries "
        "A2S_INFO, A2S_PLAYER and A2S_RULES (challenge required for players and rules, rules split), as today's "
        "servers do; proxy answers the legacy words and A2S_INFO with 'm'; both answers A2S_INFO with 'm' then "
        "'I'; xash answers as Xash3D FWGS does (\"ack\" to \"ping\", A2S_INFO protocol 49 without a challenge, "
        "no 'D' while no one plays, the remote console as \"rcon <password> <command>\" answered in \"print\" "
        "lines).\n\n"
        "Many servers (--count N): N servers of varied names, maps, players, bots, maximums and passwords on "
        "consecutive ports from --port (or ports of the system's with --port 0), every tenth one silent; a "
        "\"PORT <n>\" line each; their players' times advance with the clock (--frozen-times: they do "
        "not). --web-api serves the Steam Web API's IGameServersService/GetServerList/v1/ "
        "for them over HTTP (filter keys appid, gamedir, map, empty, full, noplayers, password, secure, linux, "
        "dedicated, name_match, gameaddr; limit; 403 for a key other than --web-api-key) and prints "
        "\"WEBAPI <port>\"; the same HTTP server answers GET /v1/servers/<gamedir>, whatever the key, with a "
        "community server list in Xash3D FWGS's static list format (\"gs ip:port\" for GoldSrc servers, \"ip "
        "ip:port\" for Xash3D ones, protocol 49; 404 for a game folder no server has).\n\n"
        "Masters (UDP, on --address): --master-gs runs a GoldSrc master and prints \"MASTERGS <port>\", "
        "--master-xash a Xash3D FWGS master and prints \"MASTER <port>\", both listing the servers run here "
        "(of the query's \\gamedir\\, all without one). A query is '1', a region byte, the last address "
        "received (\"0.0.0.0:0\" first) and a zero byte, an info string and a zero byte; the reply is FF FF FF "
        "FF 66 0A (GoldSrc) or FF FF FF FF 66 FF, the 4 bytes of the info string's \\key\\ (8 hex digits) "
        "little-endian and a zero byte (Xash3D), then 6 bytes an entry (IPv4, port), at most --master-page of "
        "them, the last page ended by 0.0.0.0:0. Output order: the PORT lines, WEBAPI, MASTERGS, MASTER.\n\n"
        "Fake players (--fakes), as plugins that fill servers make them; with --count every tenth server "
        "(i % 10 == 4, none of the silent ones) has them. shuffle lists 12 names drawn afresh "
        "at every players request from a pool of 200, with random frags and times, and claims 12 of 20 "
        "without bots; frozen lists 12 fixed names whose times never change; reset lists 12 fixed names whose "
        "times restart (0 to 3 s) at every request; count claims one below the maximum (e.g. 31 of 32) but "
        "lists 3 real players; slots claims 64 slots for a GoldSrc game (32 at most) with 60 players listed. "
        "Real players' times advance unless --frozen-times is given."_s);
    parser.addHelpOption();
    const QCommandLineOption adresasOpt(u"address"_s, u"Address to bind (default 127.0.0.1)."_s, u"ip"_s,
                                        u"127.0.0.1"_s);
    const QCommandLineOption prievadasOpt(u"port"_s, u"UDP port to bind (default 27015; 0 = chosen by the system)."_s,
                                          u"port"_s, u"27015"_s);
    const QCommandLineOption turinysOpt(u"content"_s,
                                        u"JSON file with the server content (default: a demo CS 1.6 "
                                        "server on de_dust2)."_s,
                                        u"file"_s);
    const QCommandLineOption spausdintiOpt(u"print-content"_s,
                                           u"Print the content (the file's or the demo) as JSON and exit."_s);
    const QCommandLineOption delsaOpt(u"delay"_s, u"Send every reply this many milliseconds late."_s, u"ms"_s);
    const QCommandLineOption pingasOpt(u"ignore-ping"_s, u"Do not answer \"ping\" (the other words are answered)."_s);
    const QCommandLineOption banasOpt(u"ban"_s, u"Answer every request with a ban notice 'l'."_s);
    const QCommandLineOption tekstasOpt(u"text"_s,
                                        u"Answer every request with a text reply 'i' whose first text is 'i' "
                                        "followed by this text."_s,
                                        u"text"_s);
    const QCommandLineOption antrasTekstasOpt(u"text-second"_s,
                                              u"The second text of the --text reply (default empty)."_s, u"text"_s);
    const QCommandLineOption tipasOpt(
        u"unknown-type"_s, u"Answer every request with a reply of this type letter (one character)."_s, u"letter"_s);
    const QCommandLineOption didelisOpt(u"oversized-players"_s,
                                        u"Grow the \"players\" reply with zero bytes to this many bytes "
                                        "(e.g. 3000; the program decodes no datagram above 2023)."_s,
                                        u"bytes"_s);
    const QCommandLineOption tylaOpt(u"silent"_s, u"Receive requests but never answer."_s);
    const QCommandLineOption kitasOpt(u"reply-from-other-port"_s,
                                      u"Send the replies from a second socket on another port."_s);
    const QCommandLineOption dvigubaiOpt(u"duplicate"_s,
                                         u"Send the replies to the first n answered requests twice "
                                         "(-1: every reply)."_s,
                                         u"n"_s);
    const QCommandLineOption tylusOpt(u"quiet"_s, u"Do not log the requests on standard error."_s);
    const QCommandLineOption rezimasOpt(u"mode"_s, u"legacy (default), modern, proxy, both or xash."_s, u"mode"_s,
                                        u"legacy"_s);
    const QCommandLineOption infoIssukisOpt(u"info-challenge"_s, u"A2S_INFO too needs the challenge."_s);
    const QCommandLineOption issukisOpt(u"challenge"_s, u"The challenge, 8 hex digits (default: random)."_s, u"hex"_s);
    const QCommandLineOption skaidymasOpt(u"split-layout"_s,
                                          u"Split replies in this engine's layout (engine, default), the newer "
                                          "one (newer), or the newer one marked compressed (newer-compressed)."_s,
                                          u"layout"_s, u"engine"_s);
    const QCommandLineOption dydisOpt(u"split-size"_s, u"Payload bytes of one fragment (default 1391)."_s, u"bytes"_s);
    const QCommandLineOption atvirksciaOpt(u"split-reversed"_s, u"Send the fragments last first."_s);
    const QCommandLineOption dukartOpt(u"split-duplicate"_s, u"Send every fragment twice."_s);
    const QCommandLineOption pamestiOpt(u"split-drop-last"_s, u"Never send the last fragment."_s);
    const QCommandLineOption pasalinisOpt(u"stray-challenge"_s, u"Send an 'A' nobody asked for before each reply."_s);
    const QCommandLineOption nuliaiOpt(u"zero-datagram"_s,
                                       u"Send a datagram of this many zero bytes before each reply."_s, u"bytes"_s);
    const QCommandLineOption ribaOpt(u"rate-limit"_s,
                                     u"The engine's query limit, N datagrams a second over a window of W seconds "
                                     "(W: 60 when left out): per source address a window opens at its first "
                                     "datagram, every datagram counts (the dropped ones too), and past N x W in "
                                     "the window the rest are dropped silently."_s,
                                     u"N/W"_s);
    const QCommandLineOption praradimaiOpt(
        u"loss"_s, u"Lose each datagram, request or reply, with probability P (0 to 1)."_s, u"P"_s);
    const QCommandLineOption seklasOpt(u"seed"_s, u"Seed of the --loss and --fakes draws (default 1)."_s, u"n"_s);
    const QCommandLineOption gyviOpt(u"live-times"_s,
                                     u"The players' times advance with the clock from the start (with --count "
                                     "and --fakes they do unless --frozen-times is given)."_s);
    const QCommandLineOption sustingeOpt(u"frozen-times"_s,
                                         u"The players' times stay as the content gives them, with --count and "
                                         "--fakes too."_s);
    const QCommandLineOption netikriOpt(u"fakes"_s,
                                        u"Fake players: shuffle, frozen, reset, count or slots (see above); with "
                                        "--count every tenth server."_s,
                                        u"mode"_s);
    const QCommandLineOption konsoleOpt(u"rcon-password"_s,
                                        u"Run the remote console (\"challenge rcon\", \"rcon\") with this "
                                        "password. Commands: echo <text>, status, lines <n>, a rule's name (and "
                                        "a value to set it). 5 wrong passwords within 30 s ban the address for "
                                        "good: every datagram from it then gets the ban notice."_s,
                                        u"password"_s);
    const QCommandLineOption kiekisOpt(u"count"_s, u"Run this many servers of varied content (1 to 20000)."_s, u"n"_s);
    const QCommandLineOption apiOpt(u"web-api"_s,
                                    u"Serve the Steam Web API's server list, and the community list "
                                    "GET /v1/servers/<gamedir>, on this TCP port (0: a port of the system's)."_s,
                                    u"port"_s);
    const QCommandLineOption apiRaktasOpt(u"web-api-key"_s, u"The key the Web API takes (default \"test\")."_s,
                                          u"key"_s, u"test"_s);
    const QCommandLineOption fakeIpOpt(u"fakeip"_s,
                                       u"List this many servers on Steam's networking (169.254.0.0/16, never "
                                       "bound) in the Web API's list too."_s,
                                       u"n"_s);
    const QCommandLineOption masterisGsOpt(u"master-gs"_s,
                                           u"Run a GoldSrc master listing the servers run here on this UDP port "
                                           "(0: a port of the system's); prints \"MASTERGS <port>\"."_s,
                                           u"port"_s);
    const QCommandLineOption masterisXashOpt(u"master-xash"_s,
                                             u"Run a Xash3D FWGS master listing the servers run here on this UDP "
                                             "port (0: a port of the system's); prints \"MASTER <port>\"."_s,
                                             u"port"_s);
    const QCommandLineOption puslapisOpt(u"master-page"_s,
                                         u"Entries a master's reply holds at most, 1 to 231 (default 231)."_s, u"n"_s);
    parser.addOptions({kiekisOpt, apiOpt, apiRaktasOpt, fakeIpOpt, masterisGsOpt, masterisXashOpt, puslapisOpt});
    parser.addOption(konsoleOpt);
    parser.addOptions({adresasOpt,   prievadasOpt, turinysOpt,       spausdintiOpt, delsaOpt,       pingasOpt,
                       banasOpt,     tekstasOpt,   antrasTekstasOpt, tipasOpt,      didelisOpt,     tylaOpt,
                       kitasOpt,     dvigubaiOpt,  tylusOpt,         rezimasOpt,    infoIssukisOpt, issukisOpt,
                       skaidymasOpt, dydisOpt,     atvirksciaOpt,    dukartOpt,     pamestiOpt,     pasalinisOpt,
                       nuliaiOpt,    ribaOpt,      praradimaiOpt,    seklasOpt});
    parser.addOptions({gyviOpt, sustingeOpt, netikriOpt});
    parser.process(programa);
    if (!parser.positionalArguments().isEmpty())
        return Klaida(u"unexpected argument %1 (see --help)"_s.arg(parser.positionalArguments().first()));

    TServerioTurinys turinys = DemonstracinisTurinys();
    if (parser.isSet(turinysOpt)) {
        QFile failas(parser.value(turinysOpt));
        if (!failas.open(QIODevice::ReadOnly))
            return Klaida(u"cannot read %1: %2"_s.arg(failas.fileName(), failas.errorString()));
        QString klaida;
        const std::optional<TServerioTurinys> is = SkaitytiTurinioJson(failas.readAll(), &klaida);
        if (!is)
            return Klaida(u"%1: %2"_s.arg(failas.fileName(), klaida));
        turinys = *is;
    }
    if (parser.isSet(spausdintiOpt)) {
        const QByteArray json = RasytiTurinioJson(turinys);
        std::fwrite(json.constData(), 1, static_cast<size_t>(json.size()), stdout);
        return 0;
    }

    TServerioElgsena elgsena;
    const int budai = int(parser.isSet(banasOpt)) + int(parser.isSet(tekstasOpt)) + int(parser.isSet(tipasOpt)) +
                      int(parser.isSet(tylaOpt));
    if (budai > 1)
        return Klaida(u"--ban, --text, --unknown-type and --silent exclude each other"_s);
    if (parser.isSet(banasOpt))
        elgsena.Budas = TAtsakymuBudas::Banas;
    if (parser.isSet(tylaOpt))
        elgsena.Budas = TAtsakymuBudas::Tyla;
    if (parser.isSet(tekstasOpt)) {
        elgsena.Budas = TAtsakymuBudas::Tekstas;
        elgsena.PirmasTekstas = parser.value(tekstasOpt).toUtf8();
        elgsena.AntrasTekstas = parser.value(antrasTekstasOpt).toUtf8();
    } else if (parser.isSet(antrasTekstasOpt)) {
        return Klaida(u"--text-second needs --text"_s);
    }
    if (parser.isSet(tipasOpt)) {
        const QByteArray raide = parser.value(tipasOpt).toLatin1();
        if (raide.size() != 1)
            return Klaida(u"--unknown-type takes one character"_s);
        elgsena.Budas = TAtsakymuBudas::NezinomasTipas;
        elgsena.NezinomasTipas = raide[0];
    }
    if (parser.isSet(delsaOpt)) {
        const std::optional<int> ms = SkaiciusIs(parser.value(delsaOpt), 0, 3600000);
        if (!ms)
            return Klaida(u"--delay takes milliseconds from 0 to 3600000"_s);
        elgsena.DelsaMs = *ms;
    }
    if (parser.isSet(didelisOpt)) {
        const std::optional<int> dydis = SkaiciusIs(parser.value(didelisOpt), 0, 65507);
        if (!dydis)
            return Klaida(u"--oversized-players takes a size from 0 to 65507 bytes"_s);
        elgsena.ZaidejuAtsakymoDydis = *dydis;
    }
    if (parser.isSet(dvigubaiOpt)) {
        const std::optional<int> n = SkaiciusIs(parser.value(dvigubaiOpt), -1, 1000000);
        if (!n)
            return Klaida(u"--duplicate takes a count, or -1 for every reply"_s);
        elgsena.DvigubiAtsakymai = *n;
    }
    const QString rezimas = parser.value(rezimasOpt);
    if (rezimas == u"legacy"_s)
        elgsena.Rezimas = TServerioRezimas::Senas;
    else if (rezimas == u"modern"_s)
        elgsena.Rezimas = TServerioRezimas::Modernus;
    else if (rezimas == u"proxy"_s)
        elgsena.Rezimas = TServerioRezimas::Tarpinis;
    else if (rezimas == u"both"_s)
        elgsena.Rezimas = TServerioRezimas::Abu;
    else if (rezimas == u"xash"_s)
        elgsena.Rezimas = TServerioRezimas::Xash;
    else
        return Klaida(u"--mode takes legacy, modern, proxy, both or xash"_s);
    const QString skaidymas = parser.value(skaidymasOpt);
    if (skaidymas == u"engine"_s)
        elgsena.Skaidymas = TSkaidymoBudas::Variklio;
    else if (skaidymas == u"newer"_s)
        elgsena.Skaidymas = TSkaidymoBudas::Naujas;
    else if (skaidymas == u"newer-compressed"_s)
        elgsena.Skaidymas = TSkaidymoBudas::NaujasSuspaustas;
    else
        return Klaida(u"--split-layout takes engine, newer or newer-compressed"_s);
    if (parser.isSet(dydisOpt)) {
        const std::optional<int> n = SkaiciusIs(parser.value(dydisOpt), 1, 65000);
        if (!n)
            return Klaida(u"--split-size takes a size from 1 to 65000 bytes"_s);
        elgsena.DaliesDydis = *n;
    }
    if (parser.isSet(nuliaiOpt)) {
        const std::optional<int> n = SkaiciusIs(parser.value(nuliaiOpt), 1, 65507);
        if (!n)
            return Klaida(u"--zero-datagram takes a size from 1 to 65507 bytes"_s);
        elgsena.NuliniaiBaitai = *n;
    }
    if (parser.isSet(ribaOpt)) {
        const QStringList dalys = parser.value(ribaOpt).split(u'/');
        bool gerai = dalys.size() <= 2;
        const double n = gerai ? dalys.at(0).toDouble(&gerai) : 0;
        const std::optional<int> w = dalys.size() == 2 ? SkaiciusIs(dalys.at(1), 1, 86400) : std::optional<int>(60);
        if (!gerai || !(n > 0) || n > 1e6 || !w)
            return Klaida(u"--rate-limit takes N/W: a rate above 0 and a window of 1 to 86400 seconds"_s);
        elgsena.GreicioRiba = n;
        elgsena.GreicioLangasS = *w;
    }
    if (parser.isSet(praradimaiOpt)) {
        bool gerai = false;
        const double p = parser.value(praradimaiOpt).toDouble(&gerai);
        if (!gerai || p < 0 || p > 1)
            return Klaida(u"--loss takes a probability from 0 to 1"_s);
        elgsena.Praradimai = p;
    }
    if (parser.isSet(seklasOpt)) {
        bool gerai = false;
        const uint seklas = parser.value(seklasOpt).toUInt(&gerai);
        if (!gerai)
            return Klaida(u"--seed takes a whole number"_s);
        elgsena.PraradimuSeklas = seklas;
        elgsena.NetikruSeklas = seklas;
    }
    if (parser.isSet(gyviOpt) && parser.isSet(sustingeOpt))
        return Klaida(u"--live-times and --frozen-times exclude each other"_s);
    std::optional<TNetikruBudas> netikri;
    if (parser.isSet(netikriOpt)) {
        const QString budas = parser.value(netikriOpt);
        if (budas == u"shuffle"_s)
            netikri = TNetikruBudas::Maisyti;
        else if (budas == u"frozen"_s)
            netikri = TNetikruBudas::Sustinge;
        else if (budas == u"reset"_s)
            netikri = TNetikruBudas::Nuo0;
        else if (budas == u"count"_s)
            netikri = TNetikruBudas::Skaicius;
        else if (budas == u"slots"_s)
            netikri = TNetikruBudas::Vietos;
        else
            return Klaida(u"--fakes takes shuffle, frozen, reset, count or slots"_s);
    }
    elgsena.InfoReikiaIssukio = parser.isSet(infoIssukisOpt);
    elgsena.DaliysAtvirkscia = parser.isSet(atvirksciaOpt);
    elgsena.DaliysDukart = parser.isSet(dukartOpt);
    elgsena.PamestiDali = parser.isSet(pamestiOpt);
    elgsena.PasalinisIssukis = parser.isSet(pasalinisOpt);
    std::optional<TIssukis> issukis;
    if (parser.isSet(issukisOpt)) {
        bool gerai = false;
        const uint c = parser.value(issukisOpt).toUInt(&gerai, 16);
        if (!gerai || parser.value(issukisOpt).size() != 8)
            return Klaida(u"--challenge takes 8 hex digits"_s);
        issukis = c;
    }
    elgsena.IgnoruotiPinga = parser.isSet(pingasOpt);
    elgsena.AtsakytiIsKitoPrievado = parser.isSet(kitasOpt);

    const QHostAddress adresas(parser.value(adresasOpt));
    if (adresas.isNull())
        return Klaida(u"--address takes an IP address, not %1"_s.arg(parser.value(adresasOpt)));
    const std::optional<int> prievadas = SkaiciusIs(parser.value(prievadasOpt), 0, 65535);
    if (!prievadas)
        return Klaida(u"--port takes a number from 0 to 65535"_s);

    if (!ParuostiSignalus(programa))
        return Klaida(u"cannot set up the signal handlers"_s);

    int kiekis = 1;
    if (parser.isSet(kiekisOpt)) {
        const std::optional<int> n = SkaiciusIs(parser.value(kiekisOpt), 1, 20000);
        if (!n)
            return Klaida(u"--count takes a number from 1 to 20000"_s);
        if (parser.isSet(turinysOpt))
            return Klaida(u"--count and --content exclude each other"_s);
        kiekis = *n;
        if (*prievadas != 0 && *prievadas + kiekis - 1 > 65535)
            return Klaida(u"--count servers from --port run past port 65535"_s);
        // A socket each, and a few more: as many files as the system lets us open.
        rlimit riba{};
        if (getrlimit(RLIMIT_NOFILE, &riba) == 0 && riba.rlim_cur < riba.rlim_max) {
            riba.rlim_cur = riba.rlim_max;
            setrlimit(RLIMIT_NOFILE, &riba);
        }
    }
    std::optional<int> apiPrievadas;
    if (parser.isSet(apiOpt)) {
        apiPrievadas = SkaiciusIs(parser.value(apiOpt), 0, 65535);
        if (!apiPrievadas)
            return Klaida(u"--web-api takes a port from 0 to 65535"_s);
    }
    std::optional<int> masterioGsPrievadas;
    if (parser.isSet(masterisGsOpt)) {
        masterioGsPrievadas = SkaiciusIs(parser.value(masterisGsOpt), 0, 65535);
        if (!masterioGsPrievadas)
            return Klaida(u"--master-gs takes a port from 0 to 65535"_s);
    }
    std::optional<int> masterioXashPrievadas;
    if (parser.isSet(masterisXashOpt)) {
        masterioXashPrievadas = SkaiciusIs(parser.value(masterisXashOpt), 0, 65535);
        if (!masterioXashPrievadas)
            return Klaida(u"--master-xash takes a port from 0 to 65535"_s);
    }
    int puslapis = TTestinisMasteris::kNumatytasPuslapis;
    if (parser.isSet(puslapisOpt)) {
        const std::optional<int> n = SkaiciusIs(parser.value(puslapisOpt), 1, TTestinisMasteris::kNumatytasPuslapis);
        if (!n)
            return Klaida(u"--master-page takes a number from 1 to 231"_s);
        puslapis = *n;
    }
    int fakeIp = 0;
    if (parser.isSet(fakeIpOpt)) {
        const std::optional<int> n = SkaiciusIs(parser.value(fakeIpOpt), 0, 20000);
        if (!n)
            return Klaida(u"--fakeip takes a number from 0 to 20000"_s);
        fakeIp = *n;
    }

    std::vector<std::unique_ptr<TTestinisServeris>> visi;
    QList<TSarasoIrasas> irasai;
    for (int i = 0; i < kiekis; ++i) {
        auto s = std::make_unique<TTestinisServeris>();
        s->Konsole().NustatytiSlaptazodi(parser.value(konsoleOpt).toUtf8());
        TServerioElgsena savo = elgsena;
        const bool daug = parser.isSet(kiekisOpt);
        // The many servers are the browser's and the benchmarks' population:
        // real ones, their times advancing, as are the fake ones' real players.
        savo.LaikasBega = parser.isSet(gyviOpt) || ((daug || netikri) && !parser.isSet(sustingeOpt));
        const bool netikras = netikri && (!daug || i % 10 == 4);
        if (netikras) {
            savo.Netikri = *netikri;
            savo.NetikruSeklas = elgsena.NetikruSeklas + quint32(i);
        }
        if (daug) {
            s->NustatytiTurini(IvairusTurinys(i));
            // The silent ones stay silent; none of them is fake.
            if (IvairusTylus(i))
                savo.Budas = TAtsakymuBudas::Tyla;
        } else {
            s->NustatytiTurini(turinys);
        }
        s->NustatytiElgsena(savo);
        if (issukis)
            s->NustatytiIssuki(*issukis);
        const quint16 norimas = *prievadas == 0 ? 0 : static_cast<quint16>(*prievadas + i);
        if (!s->Paleisti(adresas, norimas))
            return Klaida(s->Klaida());
        irasai.append({u"%1:%2"_s.arg(adresas.toString()).arg(s->Prievadas()), s->Prievadas(), s->RodomasTurinys()});
        visi.push_back(std::move(s));
    }
    for (int i = 0; i < fakeIp; ++i)
        irasai.append(FakeIPIrasas(i));
    TTestinisSarasas sarasas;
    if (apiPrievadas) {
        sarasas.NustatytiIrasus(irasai);
        if (!sarasas.Paleisti(adresas, static_cast<quint16>(*apiPrievadas), parser.value(apiRaktasOpt)))
            return Klaida(u"cannot listen for the Web API on TCP port %1"_s.arg(*apiPrievadas));
    }
    TTestinisMasteris masterisGs(TMasterioRusis::GoldSrc);
    TTestinisMasteris masterisXash(TMasterioRusis::Xash);
    const std::pair<TTestinisMasteris*, std::optional<int>> masteriai[] = {{&masterisGs, masterioGsPrievadas},
                                                                           {&masterisXash, masterioXashPrievadas}};
    for (const auto& [masteris, norimas] : masteriai) {
        if (!norimas)
            continue;
        masteris->NustatytiIrasus(irasai);
        masteris->NustatytiPuslapioDydi(puslapis);
        if (!masteris->Paleisti(adresas, static_cast<quint16>(*norimas)))
            return Klaida(masteris->Klaida());
        if (parser.isSet(tylusOpt))
            continue;
        const char* vardas = masteris->Rusis() == TMasterioRusis::Xash ? "xash" : "goldsrc";
        QObject::connect(masteris, &TTestinisMasteris::UzklausaGauta, masteris,
                         [vardas](int ilgis, bool tinkama, const QHostAddress& siuntejas, quint16 siuntejoPrievadas) {
                             std::fprintf(stderr, "%s master %s %d bytes from %s:%u\n", vardas,
                                          tinkama ? "query" : "ignored a datagram of", ilgis,
                                          qPrintable(siuntejas.toString()), unsigned(siuntejoPrievadas));
                         });
    }
    for (const auto& s : visi) {
        if (parser.isSet(tylusOpt))
            break;
        TTestinisServeris& serveris = *s;
        QObject::connect(&serveris, &TTestinisServeris::UzklausaGauta, &serveris, [](const TGautaUzklausa& u) {
            std::fprintf(stderr, "request %s %d bytes from %s:%u\n", qPrintable(Rodomas(PaslepatiSlaptazodi(u.Zodis))),
                         u.Ilgis, qPrintable(u.Siuntejas.toString()), unsigned(u.SiuntejoPrievadas));
        });
        QObject::connect(&serveris, &TTestinisServeris::DatagramaAtmesta, &serveris, [](int ilgis) {
            std::fprintf(stderr, "ignored a %d-byte datagram that is not a request\n", ilgis);
        });
        if (elgsena.AtsakytiIsKitoPrievado)
            std::fprintf(stderr, "replies leave from port %u\n", unsigned(serveris.KitasPrievadas()));
    }
    for (const auto& s : visi)
        std::printf("PORT %u\n", unsigned(s->Prievadas()));
    if (apiPrievadas)
        std::printf("WEBAPI %u\n", unsigned(sarasas.Prievadas()));
    if (masterioGsPrievadas)
        std::printf("MASTERGS %u\n", unsigned(masterisGs.Prievadas()));
    if (masterioXashPrievadas)
        std::printf("MASTER %u\n", unsigned(masterisXash.Prievadas()));
    std::fflush(stdout);
    return programa.exec();
}
