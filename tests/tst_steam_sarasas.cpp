// The Steam Web API's server list: the reply read as a third party's text,
// and the request against the test server's API over real HTTP (and HTTPS
// with a certificate nobody signed).
#include <QFile>
#include <QNetworkAccessManager>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include "InternetoSarasas.h"
#include "SteamSarasas.h"

using namespace Qt::StringLiterals;

namespace {

QByteArray Sarasas(const QByteArray& eilutes) {
    return R"({"response":{"servers":[)" + eilutes + "]}}";
}

QByteArray Eilute(const QByteArray& addr, const QByteArray& kita = {}) {
    return R"({"addr":")" + addr + R"(","gameport":27015,"name":"A","players":14,"max_players":32,"bots":2)" + kita +
           "}";
}

} // namespace

class TstSteamSarasas : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void skaityti_data();
    void skaityti();
    void pavyzdys();
    void uzklausa_data();
    void uzklausa();
    void savarankiskasSertifikatas();
    void laikoRiba();
};

void TstSteamSarasas::skaityti_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<int>("riba");
    QTest::addColumn<int>("busena");
    QTest::addColumn<int>("eiluciu");
    QTest::addColumn<int>("atmesta");
    const int gerai = int(TSarasoBusena::Gerai);
    QTest::newRow("none match") << QByteArray(R"({"response":{}})") << 100 << gerai << 0 << 0;
    QTest::newRow("not JSON (a 403 page)")
        << QByteArray("<html>Forbidden</html>") << 100 << int(TSarasoBusena::BlogasAtsakymas) << 0 << 0;
    QTest::newRow("servers not a list") << QByteArray(R"({"response":{"servers":7}})") << 100
                                        << int(TSarasoBusena::BlogasAtsakymas) << 0 << 0;
    QTest::newRow("as many as asked: cut") << Sarasas(Eilute("10.0.0.1:27015") + "," + Eilute("10.0.0.2:27015")) << 2
                                           << int(TSarasoBusena::Nupjautas) << 2 << 0;
    QTest::newRow("addresses that are none")
        << Sarasas(Eilute("10.0.0.1:0") + "," + Eilute("10.0.0.1:70000") + "," + Eilute("host.example:27015") + "," +
                   Eilute("[::1]:5") + "," + R"({"name":"no address"})" + "," + Eilute("10.0.0.9:27016"))
        << 100 << gerai << 1 << 5;
}

void TstSteamSarasas::skaityti() {
    QFETCH(QByteArray, json);
    QFETCH(int, riba);
    const TSarasoRezultatas r = SkaitytiSarasa(json, riba);
    QTEST(int(r.Busena), "busena");
    QTEST(int(r.Serveriai.size()), "eiluciu");
    QTEST(r.Atmesta, "atmesta");
}

void TstSteamSarasas::pavyzdys() {
    // The published shape, and a row of a hostile listing beside it: texts
    // one line and cut, counts held to what the game means.
    QFile failas(QStringLiteral(VELMORANT_SOURCE_DIR "/../shared/steam-web-api/GetServerList-cstrike.json"));
    if (!failas.open(QIODevice::ReadOnly))
        QSKIP("the Web API sample is not here");
    const TSarasoRezultatas r = SkaitytiSarasa(failas.readAll(), 100);
    QCOMPARE(r.Busena, TSarasoBusena::Gerai);
    QVERIFY(r.Serveriai.size() >= 3);
    const TInternetoServeris& pirmas = r.Serveriai.first();
    QCOMPARE(pirmas.Adresas.Tekstas(), u"203.0.113.10:27015"_s);
    QCOMPARE(pirmas.Zmones(), 12);
    QCOMPARE(pirmas.OS, 'l');
    QVERIFY(!pirmas.FakeIP);
    QVERIFY(std::any_of(r.Serveriai.cbegin(), r.Serveriai.cend(), [](const auto& s) { return s.FakeIP; }));
    // As the browser keeps the last list, and reads it back.
    const TSarasoRezultatas atgal = SkaitytiSarasa(RasytiSarasa(r.Serveriai), 0);
    QCOMPARE(atgal.Busena, TSarasoBusena::Gerai);
    QCOMPARE(atgal.Serveriai, r.Serveriai);

    const QByteArray vardas = "\\u202e" + QByteArray(5000, 'x') + "\\nline two";
    const TSarasoRezultatas b = SkaitytiSarasa(
        Sarasas(Eilute("10.0.0.1:27015", R"(,"map":")" + vardas + R"(","players":300,"bots":9,"os":"x")")), 100);
    QCOMPARE(b.Serveriai.size(), 1);
    const TInternetoServeris& s = b.Serveriai.first();
    QCOMPARE(s.Zemelapis.size(), kSarasoTekstoRiba);
    QVERIFY(!s.Zemelapis.contains(u'\n') && !s.Zemelapis.contains(QChar(0x202E)));
    QCOMPARE(s.Zaidejai, 0);
    QCOMPARE(s.Botai, 0);
    QCOMPARE(s.OS, '\0');
}

void TstSteamSarasas::uzklausa_data() {
    QTest::addColumn<QString>("raktas");
    QTest::addColumn<int>("busena"); // of the service, 0: as asked
    QTest::addColumn<int>("riba");
    QTest::addColumn<int>("rezultatas");
    QTest::newRow("the list, filtered") << u"test"_s << 0 << 100 << int(TSarasoBusena::Gerai);
    QTest::newRow("a cut list") << u"test"_s << 0 << 3 << int(TSarasoBusena::Nupjautas);
    QTest::newRow("a refused key") << u"other"_s << 0 << 100 << int(TSarasoBusena::RaktasAtmestas);
    QTest::newRow("a busy service") << u"test"_s << 503 << 100 << int(TSarasoBusena::Uzimta);
}

void TstSteamSarasas::uzklausa() {
    QFETCH(QString, raktas);
    QFETCH(int, busena);
    QFETCH(int, riba);
    TTestinisSarasas api;
    QList<TSarasoIrasas> irasai;
    for (int i = 0; i < 40; ++i)
        irasai.append({u"127.0.0.1:%1"_s.arg(30000 + i), quint16(30000 + i), IvairusTurinys(i)});
    irasai.append(FakeIPIrasas(0));
    api.NustatytiIrasus(irasai);
    api.NustatytiBusena(busena);
    QVERIFY(api.Paleisti(QHostAddress::LocalHost, 0, u"test"_s));

    QNetworkAccessManager tinklas;
    qint64 laikas = 1000;
    TSteamSarasas sarasas(&tinklas, [&laikas] { return laikas; });
    sarasas.NustatytiAdresa(QUrl(u"http://127.0.0.1:%1"_s.arg(api.Prievadas())));
    QSignalSpy baigta(&sarasas, &TSteamSarasas::Baigta);
    TSarasoFiltras filtras;
    filtras.NeTusti = true;
    filtras.BeSlaptazodzio = true;
    QVERIFY(!sarasas.Prasyti(filtras, raktas, riba));
    QVERIFY(baigta.isEmpty());
    QVERIFY(baigta.wait(5000));
    const auto r = baigta.first().first().value<TSarasoRezultatas>();
    QTEST(int(r.Busena), "rezultatas");
    if (r.ArPavyko()) {
        // What the service answered to the filter it was sent, row for row.
        const TSarasoRezultatas tiesiai = SkaitytiSarasa(api.Atsakymas(filtras.Tekstas(), riba), riba);
        QCOMPARE(r.Serveriai, tiesiai.Serveriai);
        QVERIFY(!r.Serveriai.isEmpty());
        QVERIFY(std::all_of(r.Serveriai.cbegin(), r.Serveriai.cend(), [](const TInternetoServeris& s) {
            return s.Zaidejai > 0 && s.Vardas.startsWith(u"Velmorant test #"_s);
        }));
    }
    // The same filter again within the minute: nothing goes out.
    laikas += 59000;
    QCOMPARE(sarasas.Prasyti(filtras, raktas, riba), std::optional<qint64>(1000));
    QCOMPARE(api.Uzklausos(), 1);
    // The key goes over plain HTTP to no address but the machine's own.
    laikas += 60000;
    sarasas.NustatytiAdresa(QUrl(u"http://192.0.2.1:%1"_s.arg(api.Prievadas())));
    QVERIFY(!sarasas.Prasyti(filtras, raktas, riba));
    QVERIFY(baigta.wait(5000));
    QCOMPARE(baigta.last().first().value<TSarasoRezultatas>().Busena, TSarasoBusena::NeSaugus);
    QCOMPARE(api.Uzklausos(), 1);
}

void TstSteamSarasas::savarankiskasSertifikatas() {
    QFile sertifikatas(QStringLiteral(VELMORANT_SOURCE_DIR "/tests/savarankiskas.crt"));
    QFile raktas(QStringLiteral(VELMORANT_SOURCE_DIR "/tests/savarankiskas.key"));
    QVERIFY(sertifikatas.open(QIODevice::ReadOnly) && raktas.open(QIODevice::ReadOnly));
    if (!QSslSocket::supportsSsl())
        QSKIP("no TLS backend");
    TTestinisSarasas api;
    api.NustatytiIrasus({{u"127.0.0.1:27015"_s, 27015, IvairusTurinys(2)}});
    api.NustatytiTls(QSslCertificate(&sertifikatas), QSslKey(&raktas, QSsl::Rsa));
    QVERIFY(api.Paleisti(QHostAddress::LocalHost, 0, u"test"_s));
    QNetworkAccessManager tinklas;
    TSteamSarasas sarasas(&tinklas);
    sarasas.NustatytiAdresa(QUrl(u"https://127.0.0.1:%1"_s.arg(api.Prievadas())));
    QSignalSpy baigta(&sarasas, &TSteamSarasas::Baigta);
    QVERIFY(!sarasas.Prasyti({}, u"test"_s));
    QVERIFY(baigta.wait(5000));
    const auto r = baigta.first().first().value<TSarasoRezultatas>();
    QCOMPARE(r.Busena, TSarasoBusena::Sertifikatas);
    QVERIFY(r.Serveriai.isEmpty());
}

void TstSteamSarasas::laikoRiba() {
    QTcpServer api;
    QVERIFY(api.listen(QHostAddress::LocalHost));
    // The status and the body's first byte, then nothing.
    connect(&api, &QTcpServer::newConnection, &api, [&api] {
        while (QTcpSocket* s = api.nextPendingConnection())
            s->write("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n{");
    });
    QNetworkAccessManager tinklas;
    TSteamSarasas sarasas(&tinklas);
    sarasas.NustatytiAdresa(QUrl(u"http://127.0.0.1:%1"_s.arg(api.serverPort())));
    sarasas.NustatytiLaikoRiba(300);
    QSignalSpy baigta(&sarasas, &TSteamSarasas::Baigta);
    QVERIFY(!sarasas.Prasyti({}, u"test"_s));
    QVERIFY(baigta.wait(5000));
    QCOMPARE(baigta.first().first().value<TSarasoRezultatas>().Busena, TSarasoBusena::LaikasBaigesi);
}

QTEST_GUILESS_MAIN(TstSteamSarasas)
#include "tst_steam_sarasas.moc"
