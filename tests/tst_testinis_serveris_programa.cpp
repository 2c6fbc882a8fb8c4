// The velmorant-testserver program: its options and content file, the "PORT"
// line, a clean end on SIGTERM and SIGINT, and an independent client (QStat)
// decoding what the server sends into the content it was given and following
// its GoldSrc master's pages.
#include <csignal>
#include <optional>

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkDatagram>
#include <QProcess>
#include <QSet>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

#include "AtsakymuKurejas.h"
#include "Procesas.h"
#include "TurinioFailas.h"
#include "UdpKlientas.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kLaukimas = 10000; // ms a start, a reply or an exit may take at most
constexpr int kTyla = 300;       // ms of silence that count as "no reply"

// Waits as long as a start may take; asks with the legacy words.
class TKlientas : public TUdpKlientas {
public:
    std::optional<TGautas> Laukti(int ms = kLaukimas) { return TUdpKlientas::Laukti(ms); }
    // Sends a 256-byte request and waits for the reply.
    std::optional<TGautas> Klausti(const char* zodis, quint16 prievadas) {
        Siusti(UzklausosDatagrama(zodis), prievadas);
        return Laukti();
    }
};

// Starts the server and sets prievadas from its "PORT <n>" line; a failure is
// recorded in the test and leaves prievadas 0.
void PaleistiServeri(TProcesas& p, const QStringList& argumentai, quint16& prievadas) {
    prievadas = 0;
    p.Pradeti(argumentai);
    QTRY_VERIFY_WITH_TIMEOUT(p.isvestis.contains('\n') || p.procesas.state() == QProcess::NotRunning, kLaukimas);
    const QByteArray eilute = p.isvestis.left(p.isvestis.indexOf('\n'));
    QVERIFY2(eilute.startsWith("PORT "), QByteArray(p.isvestis + p.klaidos).constData());
    bool gerai = false;
    const uint n = eilute.mid(5).toUInt(&gerai);
    QVERIFY2(gerai && n > 0 && n < 65536, eilute.constData());
    prievadas = static_cast<quint16>(n);
}

bool RasytiFaila(const QString& kelias, const QByteArray& turinys) {
    QFile f(kelias);
    return f.open(QIODevice::WriteOnly) && f.write(turinys) == turinys.size();
}

} // namespace

class TstTestinisServerisPrograma : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pagalba();
    void blogiArgumentai_data();
    void blogiArgumentai();
    void spausdintiTurini();
    void demonstracinisTurinys();
    void turinioFailas();
    void parinktys_data();
    void parinktys();
    void signalai_data();
    void signalai();
    void qstat_data();
    void qstat();
    void qstatMasteris_data();
    void qstatMasteris();
};

void TstTestinisServerisPrograma::pagalba() {
    TProcesas p;
    p.Pradeti({u"--help"_s});
    QVERIFY(p.LauktiPabaigos());
    QCOMPARE(p.procesas.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.procesas.exitCode(), 0);
    for (const char* parinktis : {"--address",
                                  "--port",
                                  "--content",
                                  "--print-content",
                                  "--delay",
                                  "--ignore-ping",
                                  "--ban",
                                  "--text",
                                  "--text-second",
                                  "--unknown-type",
                                  "--oversized-players",
                                  "--silent",
                                  "--reply-from-other-port",
                                  "--duplicate",
                                  "--quiet",
                                  "--mode",
                                  "--info-challenge",
                                  "--challenge",
                                  "--split-layout",
                                  "--split-size",
                                  "--split-reversed",
                                  "--split-duplicate",
                                  "--split-drop-last",
                                  "--stray-challenge",
                                  "--zero-datagram",
                                  "--rate-limit",
                                  "--loss",
                                  "--seed",
                                  "PORT",
                                  "playersCount",
                                  "rules",
                                  "appId"})
        QVERIFY2(p.isvestis.contains(parinktis), parinktis);
}

void TstTestinisServerisPrograma::blogiArgumentai_data() {
    QTest::addColumn<QStringList>("argumentai"); // %DIR% stands for a temporary folder
    QTest::addColumn<QByteArray>("failas");      // written to %DIR%/turinys.json when not empty
    QTest::addColumn<QByteArray>("pranesimas");

    QTest::newRow("missing content file")
        << QStringList{u"--content"_s, u"%DIR%/nera.json"_s} << QByteArray() << QByteArray("cannot read");
    QTest::newRow("content not JSON") << QStringList{u"--content"_s, u"%DIR%/turinys.json"_s}
                                      << QByteArray("{\"name\": ") << QByteArray("turinys.json: offset");
    QTest::newRow("content with a bad value") << QStringList{u"--content"_s, u"%DIR%/turinys.json"_s}
                                              << QByteArray(R"({"maxPlayers": 300})") << QByteArray("maxPlayers");
    QTest::newRow("port out of range") << QStringList{u"--port"_s, u"70000"_s} << QByteArray() << QByteArray("--port");
    QTest::newRow("address not an IP") << QStringList{u"--address"_s, u"localhost.invalid"_s} << QByteArray()
                                       << QByteArray("--address");
    QTest::newRow("two reply modes") << QStringList{u"--ban"_s, u"--silent"_s} << QByteArray()
                                     << QByteArray("exclude each other");
    QTest::newRow("type of two letters") << QStringList{u"--unknown-type"_s, u"XY"_s} << QByteArray()
                                         << QByteArray("--unknown-type");
    QTest::newRow("negative delay") << QStringList{u"--delay"_s, u"-5"_s} << QByteArray() << QByteArray("--delay");
    QTest::newRow("second text alone") << QStringList{u"--text-second"_s, u"x"_s} << QByteArray()
                                       << QByteArray("needs --text");
    QTest::newRow("duplicate not a number")
        << QStringList{u"--duplicate"_s, u"twice"_s} << QByteArray() << QByteArray("--duplicate");
    QTest::newRow("positional argument") << QStringList{u"27015"_s} << QByteArray() << QByteArray("unexpected");
    QTest::newRow("rate limit not a rate")
        << QStringList{u"--rate-limit"_s, u"fast"_s} << QByteArray() << QByteArray("--rate-limit");
    QTest::newRow("rate limit with a window of 0")
        << QStringList{u"--rate-limit"_s, u"3/0"_s} << QByteArray() << QByteArray("--rate-limit");
    QTest::newRow("loss above 1") << QStringList{u"--loss"_s, u"1.5"_s} << QByteArray() << QByteArray("--loss");
    QTest::newRow("seed not a number") << QStringList{u"--loss"_s, u"0.1"_s, u"--seed"_s, u"x"_s} << QByteArray()
                                       << QByteArray("--seed");
}

void TstTestinisServerisPrograma::blogiArgumentai() {
    QFETCH(QStringList, argumentai);
    QFETCH(QByteArray, failas);
    QFETCH(QByteArray, pranesimas);

    QTemporaryDir aplankas;
    QVERIFY(aplankas.isValid());
    if (!failas.isEmpty())
        QVERIFY(RasytiFaila(aplankas.filePath(u"turinys.json"_s), failas));
    argumentai.replaceInStrings(u"%DIR%"_s, aplankas.path());
    // Port 0 so that a wrongly accepted run still binds nothing in use.
    if (!argumentai.contains(u"--port"_s))
        argumentai << u"--port"_s << u"0"_s;

    TProcesas p;
    p.Pradeti(argumentai);
    QVERIFY(p.LauktiPabaigos());
    QCOMPARE(p.procesas.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.procesas.exitCode(), 2);
    QVERIFY2(p.klaidos.contains(pranesimas), p.klaidos.constData());
    QVERIFY(!p.isvestis.contains("PORT"));
}

void TstTestinisServerisPrograma::spausdintiTurini() {
    TProcesas demo;
    demo.Pradeti({u"--print-content"_s});
    QVERIFY(demo.LauktiPabaigos());
    QCOMPARE(demo.procesas.exitCode(), 0);
    QString klaida;
    std::optional<TServerioTurinys> t = SkaitytiTurinioJson(demo.isvestis, &klaida);
    QVERIFY2(t.has_value(), qPrintable(klaida));
    QCOMPARE(*t, DemonstracinisTurinys());

    QTemporaryDir aplankas;
    QVERIFY(aplankas.isValid());
    QVERIFY(RasytiFaila(aplankas.filePath(u"t.json"_s), R"({"name": "Mine", "rules": [["a", "b"]]})"));
    TProcesas failo;
    failo.Pradeti({u"--content"_s, aplankas.filePath(u"t.json"_s), u"--print-content"_s});
    QVERIFY(failo.LauktiPabaigos());
    QCOMPARE(failo.procesas.exitCode(), 0);
    t = SkaitytiTurinioJson(failo.isvestis, &klaida);
    QVERIFY2(t.has_value(), qPrintable(klaida));
    QCOMPARE(t->Detales.Info.Pavadinimas, QByteArray("Mine"));
    QCOMPARE(t->Taisykles, (TTaisykles{{"a", "b"}}));
}

void TstTestinisServerisPrograma::demonstracinisTurinys() {
    TProcesas p;
    quint16 prievadas = 0;
    PaleistiServeri(p, {u"--port"_s, u"0"_s, u"--quiet"_s}, prievadas);
    QVERIFY(prievadas != 0);
    TKlientas k;
    QVERIFY(k.Paruosti());
    const TServerioTurinys demo = DemonstracinisTurinys();

    std::optional<TGautas> g = k.Klausti(kPing, prievadas);
    QVERIFY(g.has_value());
    QCOMPARE(g->Prievadas, prievadas);
    QCOMPARE(g->Duomenys, QByteArray("\xFF\xFF\xFF\xFFj\0", 6));

    g = k.Klausti(kDetails, prievadas);
    QVERIFY(g.has_value());
    TAtminiesSrautas s(g->Duomenys);
    QCOMPARE(SkaitytiAntraste(s), kTipasDetales);
    TDetales laukiamos = demo.Detales;
    laukiamos.Zaidejai = *demo.ZaidejuSkaicius;
    laukiamos.Info.Adresas = "127.0.0.1:" + QByteArray::number(prievadas);
    QVERIFY(SkaitytiDetales(s) == laukiamos);

    g = k.Klausti(kPlayers, prievadas);
    QVERIFY(g.has_value());
    s = TAtminiesSrautas(g->Duomenys);
    QCOMPARE(SkaitytiAntraste(s), kTipasZaidejai);
    QCOMPARE(SkaitytiZaidejus(s), demo.Zaidejai);

    g = k.Klausti(kRules, prievadas);
    QVERIFY(g.has_value());
    s = TAtminiesSrautas(g->Duomenys);
    QCOMPARE(SkaitytiAntraste(s), kTipasTaisykles);
    QCOMPARE(SkaitytiTaisykles(s), demo.Taisykles);
}

void TstTestinisServerisPrograma::turinioFailas() {
    QTemporaryDir aplankas;
    QVERIFY(aplankas.isValid());
    const QString kelias = aplankas.filePath(u"turinys.json"_s);
    QVERIFY(RasytiFaila(kelias, R"({
        "name": "File server", "map": "cs_italy", "address": "198.51.100.4:27020", "folder": "czero",
        "game": "Condition Zero", "maxPlayers": 12, "playersCount": 4, "protocol": 48, "serverType": "l",
        "os": "w", "password": true, "mod": null, "secure": false,
        "players": [{"name": "Ona", "frags": -7, "seconds": 12.5}, {"slot": 9, "name": "Jonas", "frags": 3}],
        "rules": [["mp_timelimit", "15"]]})"));
    TProcesas p;
    quint16 prievadas = 0;
    PaleistiServeri(p, {u"--port"_s, u"0"_s, u"--quiet"_s, u"--content"_s, kelias}, prievadas);
    QVERIFY(prievadas != 0);
    TKlientas k;
    QVERIFY(k.Paruosti());

    std::optional<TGautas> g = k.Klausti(kDetails, prievadas);
    QVERIFY(g.has_value());
    TAtminiesSrautas s(g->Duomenys);
    QCOMPARE(SkaitytiAntraste(s), kTipasDetales);
    TDetales laukiamos;
    laukiamos.Info = {"198.51.100.4:27020", "File server", "cs_italy", "czero", "Condition Zero"};
    laukiamos.Zaidejai = 4;
    laukiamos.MaxZaideju = 12;
    laukiamos.Protokolas = 48;
    laukiamos.ServerioTipas = 'l';
    laukiamos.OS = 'w';
    laukiamos.Slaptazodis = 1;
    QVERIFY(SkaitytiDetales(s) == laukiamos);
    QCOMPARE(s.Likutis(), 0);

    g = k.Klausti(kPlayers, prievadas);
    QVERIFY(g.has_value());
    QCOMPARE(g->Duomenys, QByteArray("\xFF\xFF\xFF\xFF"
                                     "D\x02"
                                     "\x01Ona\0\xF9\xFF\xFF\xFF\x00\x00\x48\x41"
                                     "\x09Jonas\0\x03\x00\x00\x00\x00\x00\x00\x00",
                                     6 + 13 + 15));

    g = k.Klausti(kRules, prievadas);
    QVERIFY(g.has_value());
    QCOMPARE(g->Duomenys, QByteArray("\xFF\xFF\xFF\xFF"
                                     "E\x01\x00mp_timelimit\00015\0",
                                     7 + 13 + 3));
}

void TstTestinisServerisPrograma::parinktys_data() {
    QTest::addColumn<QStringList>("argumentai");
    QTest::addColumn<QByteArray>("zodis");
    QTest::addColumn<char>("tipas"); // 0: no reply
    QTest::addColumn<int>("ilgis");  // -1: any
    QTest::addColumn<int>("kopijos");
    QTest::addColumn<int>("delsa"); // ms the reply may not come before
    QTest::addColumn<bool>("kitasPrievadas");

    QTest::newRow("--ban") << QStringList{u"--ban"_s} << QByteArray(kDetails) << kTipasBanas << 5 << 1 << 0 << false;
    QTest::newRow("--silent") << QStringList{u"--silent"_s} << QByteArray(kDetails) << '\0' << -1 << 0 << 0 << false;
    QTest::newRow("--ignore-ping: ping") << QStringList{u"--ignore-ping"_s} << QByteArray(kPing) << '\0' << -1 << 0 << 0
                                         << false;
    QTest::newRow("--ignore-ping: players")
        << QStringList{u"--ignore-ping"_s} << QByteArray(kPlayers) << kTipasZaidejai << -1 << 1 << 0 << false;
    QTest::newRow("--unknown-type") << QStringList{u"--unknown-type"_s, u"Z"_s} << QByteArray(kRules) << 'Z' << 6 << 1
                                    << 0 << false;
    QTest::newRow("--text") << QStringList{u"--text"_s, u"abc"_s, u"--text-second"_s, u"defg"_s} << QByteArray(kPing)
                            << kTipasTekstas << 14 << 1 << 0 << false;
    QTest::newRow("--oversized-players") << QStringList{u"--oversized-players"_s, u"3000"_s} << QByteArray(kPlayers)
                                         << kTipasZaidejai << 3000 << 1 << 0 << false;
    QTest::newRow("--delay") << QStringList{u"--delay"_s, u"300"_s} << QByteArray(kPing) << kTipasPingas << 6 << 1
                             << 300 << false;
    QTest::newRow("--reply-from-other-port")
        << QStringList{u"--reply-from-other-port"_s} << QByteArray(kPing) << kTipasPingas << 6 << 1 << 0 << true;
    QTest::newRow("--duplicate") << QStringList{u"--duplicate"_s, u"1"_s} << QByteArray(kDetails) << kTipasDetales << -1
                                 << 2 << 0 << false;
    QTest::newRow("--rate-limit: the first of the window")
        << QStringList{u"--rate-limit"_s, u"0.02/60"_s} << QByteArray(kPing) << kTipasPingas << 6 << 1 << 0 << false;
    QTest::newRow("--loss 0 with a seed") << QStringList{u"--loss"_s, u"0"_s, u"--seed"_s, u"9"_s} << QByteArray(kPing)
                                          << kTipasPingas << 6 << 1 << 0 << false;
}

void TstTestinisServerisPrograma::parinktys() {
    QFETCH(QStringList, argumentai);
    QFETCH(QByteArray, zodis);
    QFETCH(char, tipas);
    QFETCH(int, ilgis);
    QFETCH(int, kopijos);
    QFETCH(int, delsa);
    QFETCH(bool, kitasPrievadas);

    TProcesas p;
    quint16 prievadas = 0;
    PaleistiServeri(p, QStringList{u"--port"_s, u"0"_s} + argumentai, prievadas);
    QVERIFY(prievadas != 0);
    TKlientas k;
    QVERIFY(k.Paruosti());
    QElapsedTimer laikas;
    laikas.start();
    k.Siusti(UzklausosDatagrama(zodis.constData()), prievadas);
    for (int i = 0; i < kopijos; ++i) {
        const std::optional<TGautas> g = k.Laukti();
        QVERIFY2(g.has_value(), qPrintable(u"reply %1 missing"_s.arg(i + 1)));
        QVERIFY(laikas.elapsed() >= delsa);
        QCOMPARE(g->Duomenys.left(4), QByteArray(4, '\xFF'));
        QCOMPARE(g->Duomenys.at(4), tipas);
        if (ilgis >= 0)
            QCOMPARE(g->Duomenys.size(), ilgis);
        QCOMPARE(g->Prievadas != prievadas, kitasPrievadas);
    }
    if (kopijos == 0) {
        // The request arrived (the log says so); the silence is the server's.
        const QByteArray irasas = "request " + zodis + " 256 bytes";
        QTRY_VERIFY_WITH_TIMEOUT(p.klaidos.contains(irasas), kLaukimas);
    }
    QVERIFY(!k.Laukti(kTyla).has_value());
}

void TstTestinisServerisPrograma::signalai_data() {
    QTest::addColumn<int>("signalas");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void TstTestinisServerisPrograma::signalai() {
    QFETCH(int, signalas);

    TProcesas p;
    quint16 prievadas = 0;
    PaleistiServeri(p, {u"--port"_s, u"0"_s, u"--quiet"_s}, prievadas);
    QVERIFY(prievadas != 0);
    TKlientas k;
    QVERIFY(k.Paruosti());
    QVERIFY(k.Klausti(kPing, prievadas).has_value());

    QCOMPARE(::kill(static_cast<pid_t>(p.procesas.processId()), signalas), 0);
    QVERIFY(p.LauktiPabaigos());
    QCOMPARE(p.procesas.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.procesas.exitCode(), 0);
}

void TstTestinisServerisPrograma::qstat_data() {
    QTest::addColumn<QByteArray>("turinys");
    QTest::addColumn<QList<QByteArray>>("serveris"); // name, map, max players, players
    QTest::addColumn<QList<QByteArray>>("taisykles");
    QTest::addColumn<QList<QByteArray>>("zaidejai"); // name, frags, whole seconds
    QTest::addColumn<QList<QByteArray>>("uzklausos");

    QTest::newRow("mod block, players, rules")
        << QByteArray(R"({"name": "QStat check | \u017daibas server", "map": "de_inferno", "folder": "cstrike",
            "game": "Counter-Strike", "maxPlayers": 24, "playersCount": 7, "protocol": 47, "serverType": "d",
            "os": "w", "password": true,
            "mod": {"url": "www.counter-strike.net", "download": "", "reserved": "", "version": 1,
                    "size": 184000000, "serverOnly": false, "customDll": true},
            "secure": true,
            "players": [{"name": "Vilkas", "frags": 31, "seconds": 3904.6},
                        {"name": "\u017daibas", "frags": -3, "seconds": 59.9},
                        {"name": "two words <&>", "frags": 0, "seconds": 0.4},
                        {"name": "", "frags": 5, "seconds": 86405.7}],
            "rules": [["mp_timelimit", "30"], ["sv_contact", ""], ["amx_nextmap", "de_dust2 = best"],
                      ["sv_gravity", "800"]]})")
        << QList<QByteArray>{"QStat check | \xC5\xBD"
                             "aibas server",
                             "de_inferno", "24", "7"}
        << QList<QByteArray>{"gamedir=cstrike",
                             "game=cstrike",
                             "gamename=Counter-Strike",
                             "protocol=47",
                             "sv_type=dedicated",
                             "sv_os=windows",
                             "sv_password=1",
                             "mod=1",
                             "mod_info_url=www.counter-strike.net",
                             "modversion=1",
                             "modsize=184000000",
                             "svonly=0",
                             "cldll=1",
                             "secure=1",
                             "mp_timelimit=30",
                             "sv_contact=",
                             "amx_nextmap=de_dust2 = best",
                             "sv_gravity=800"} // QStat cuts the seconds to whole ones (59.9 is 59).
        << QList<QByteArray>{"Vilkas|#|31|#|3904",
                             "\xC5\xBD"
                             "aibas|#|-3|#|59",
                             "two words <&>|#|0|#|0", "|#|5|#|86405"}
        << QList<QByteArray>{"request details 12 bytes", "request players 12 bytes", "request rules 10 bytes"};

    // With no players in the details QStat does not ask for the list, and it
    // shows the secure byte only with a mod block.
    QTest::newRow("no mod block, no players, no rules")
        << QByteArray(R"({"name": "Empty listen server", "map": "cs_office", "folder": "cstrike", "game": "CS",
            "maxPlayers": 8, "protocol": 47, "serverType": "l", "os": "l", "password": false, "mod": null,
            "secure": true, "players": [], "rules": []})")
        << QList<QByteArray>{"Empty listen server", "cs_office", "8", "0"}
        << QList<QByteArray>{"gamedir=cstrike", "game=cstrike", "gamename=CS",   "protocol=47",
                             "sv_type=listen",  "sv_os=linux",  "sv_password=0", "mod=0"}
        << QList<QByteArray>{} << QList<QByteArray>{"request details 12 bytes", "request rules 10 bytes"};
}

void TstTestinisServerisPrograma::qstat() {
    QFETCH(QByteArray, turinys);
    QFETCH(QList<QByteArray>, serveris);
    QFETCH(QList<QByteArray>, taisykles);
    QFETCH(QList<QByteArray>, zaidejai);
    QFETCH(QList<QByteArray>, uzklausos);

    const QString quakestat = QStandardPaths::findExecutable(u"quakestat"_s);
    if (quakestat.isEmpty())
        QSKIP("quakestat is not on PATH (install the Debian package qstat to run this check)");

    QTemporaryDir aplankas;
    QVERIFY(aplankas.isValid());
    const QString kelias = aplankas.filePath(u"turinys.json"_s);
    QVERIFY(RasytiFaila(kelias, turinys));
    TProcesas srv;
    quint16 prievadas = 0;
    PaleistiServeri(srv, {u"--port"_s, u"0"_s, u"--content"_s, kelias}, prievadas);
    QVERIFY(prievadas != 0);

    // Raw output with a delimiter no content holds; -nnx keeps the name bytes
    // as they are (the XML output drops bytes above 0x7F).
    const QByteArray skirtukas = "|#|";
    const QString adresas = u"127.0.0.1:%1"_s.arg(prievadas);
    TProcesas qs(quakestat);
    qs.Pradeti({u"-hls"_s, adresas, u"-P"_s, u"-R"_s, u"-raw"_s, QString::fromLatin1(skirtukas), u"-nnx"_s,
                u"-timeout"_s, u"5"_s, u"-retry"_s, u"3"_s});
    QVERIFY2(qs.LauktiPabaigos(), "quakestat did not finish");
    QCOMPARE(qs.procesas.exitStatus(), QProcess::NormalExit);
    QCOMPARE(qs.procesas.exitCode(), 0);

    const QList<QByteArray> eilutes = qs.isvestis.split('\n');
    QVERIFY2(eilutes.size() >= 3, qs.isvestis.constData());
    const QList<QByteArray> laukai = [&] {
        QList<QByteArray> l;
        QByteArray likutis = eilutes[0];
        for (qsizetype i; (i = likutis.indexOf(skirtukas)) >= 0; likutis = likutis.mid(i + skirtukas.size()))
            l << likutis.left(i);
        l << likutis;
        return l;
    }();
    // HLS, address, name, map, max players, players, ping, retries.
    QVERIFY2(laukai.size() == 8, eilutes[0].constData());
    QCOMPARE(laukai[0], QByteArray("HLS"));
    QCOMPARE(laukai[1], adresas.toLatin1());
    QCOMPARE(laukai[2], serveris[0]);
    QCOMPARE(laukai[3], serveris[1]);
    QCOMPARE(laukai[4], serveris[2]);
    QCOMPARE(laukai[5], serveris[3]);

    QList<QByteArray> gautosTaisykles;
    {
        QByteArray likutis = eilutes[1];
        for (qsizetype i; (i = likutis.indexOf(skirtukas)) >= 0; likutis = likutis.mid(i + skirtukas.size()))
            gautosTaisykles << likutis.left(i);
        gautosTaisykles << likutis;
    }
    QCOMPARE(gautosTaisykles, taisykles);

    QList<QByteArray> gautiZaidejai;
    for (qsizetype i = 2; i < eilutes.size() && !eilutes[i].isEmpty(); ++i)
        gautiZaidejai << eilutes[i];
    QCOMPARE(gautiZaidejai, zaidejai);

    // The server saw QStat's short requests, and answered each.
    for (const QByteArray& u : uzklausos)
        QTRY_VERIFY2_WITH_TIMEOUT(srv.klaidos.contains(u), srv.klaidos.constData(), kLaukimas);
    if (zaidejai.isEmpty())
        QVERIFY(!srv.klaidos.contains("request players"));
}

void TstTestinisServerisPrograma::qstatMasteris_data() {
    QTest::addColumn<QString>("puslapis"); // --master-page
    QTest::addColumn<QString>("zaidimas"); // QStat's game=, the master's \gamedir\ filter
    QTest::addColumn<bool>("visiSarase");  // all five servers listed, or none
    QTest::addColumn<int>("uzklausos");    // the pages QStat asks for

    QTest::newRow("three pages of two") << u"2"_s << u"cstrike"_s << true << 3;
    QTest::newRow("one page") << u"231"_s << u"CStrike"_s << true << 1;
    QTest::newRow("a game no server runs") << u"2"_s << u"valve"_s << false << 1;
}

void TstTestinisServerisPrograma::qstatMasteris() {
    QFETCH(QString, puslapis);
    QFETCH(QString, zaidimas);
    QFETCH(bool, visiSarase);
    QFETCH(int, uzklausos);

    const QString quakestat = QStandardPaths::findExecutable(u"quakestat"_s);
    if (quakestat.isEmpty())
        QSKIP("quakestat is not on PATH (install the Debian package qstat to run this check)");

    TProcesas srv;
    srv.Pradeti({u"--count"_s, u"5"_s, u"--port"_s, u"0"_s, u"--master-gs"_s, u"0"_s, u"--master-page"_s, puslapis});
    QTRY_VERIFY_WITH_TIMEOUT(srv.isvestis.contains("MASTERGS ") && srv.isvestis.endsWith('\n'), kLaukimas);
    QSet<QByteArray> serveriai;
    QByteArray masteris;
    for (const QByteArray& eilute : srv.isvestis.trimmed().split('\n')) {
        if (eilute.startsWith("PORT "))
            serveriai.insert("127.0.0.1:" + eilute.mid(5));
        else if (eilute.startsWith("MASTERGS "))
            masteris = "127.0.0.1:" + eilute.mid(9);
    }
    QCOMPARE(serveriai.size(), 5);

    // QStat's "Half-Life master (Steam)" asks in the form this master takes
    // (its -hlm sends the older WON query); "outfile" with "-" prints the list,
    // one "a2s ip:port" line a server, without querying the servers.
    TProcesas qs(quakestat);
    qs.Pradeti({u"-stm,outfile,game=%1"_s.arg(zaidimas), QString::fromLatin1(masteris) + u",-"_s, u"-nh"_s,
                u"-timeout"_s, u"5"_s});
    QVERIFY2(qs.LauktiPabaigos(), "quakestat did not finish");
    QCOMPARE(qs.procesas.exitCode(), 0);
    QSet<QByteArray> gauti;
    for (const QByteArray& eilute : qs.isvestis.trimmed().split('\n'))
        if (eilute.startsWith("a2s "))
            gauti.insert(eilute.mid(4).trimmed());
    QCOMPARE(gauti, visiSarase ? serveriai : QSet<QByteArray>());
    // Every page asked for once, the one with the terminator last.
    QTRY_COMPARE_WITH_TIMEOUT(srv.klaidos.count("goldsrc master query"), qsizetype(uzklausos), kLaukimas);
}

QTEST_GUILESS_MAIN(TstTestinisServerisPrograma)
#include "tst_testinis_serveris_programa.moc"
