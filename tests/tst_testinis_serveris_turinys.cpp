// The test server's content file: JSON documents read into content, errors
// reported with the key at fault, the writer read back unchanged, and the
// built-in demo content.
#include <QTest>

#include "AtsakymuKurejas.h"
#include "TurinioFailas.h"

using namespace Qt::StringLiterals;

namespace {

// The content a document with no keys gives.
TServerioTurinys Numatytasis() {
    TServerioTurinys t;
    t.Detales.Info.Katalogas = "cstrike";
    t.Detales.Info.Zaidimas = "Counter-Strike";
    t.Detales.MaxZaideju = 32;
    t.Detales.Protokolas = 47;
    t.Detales.ServerioTipas = 'd';
    t.Detales.OS = 'l';
    return t;
}

} // namespace

class TstTestinisServerisTurinys : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void skaityti_data();
    void skaityti();
    void klaidos_data();
    void klaidos();
    void rasytiIrSkaityti_data();
    void rasytiIrSkaityti();
    void demonstracinis();
};

void TstTestinisServerisTurinys::skaityti_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<TServerioTurinys>("laukiamas");

    QTest::newRow("empty object gives the defaults") << QByteArray("{}") << Numatytasis();
    {
        TServerioTurinys t;
        TDetales& d = t.Detales;
        d.Info = {"10.0.0.5:27016",
                  "My \xC5\xBD"
                  "server",
                  "de_inferno", "czero", "Condition Zero"};
        d.MaxZaideju = 24;
        d.Protokolas = 48;
        d.ServerioTipas = 'l';
        d.OS = 'w';
        d.Slaptazodis = 1;
        d.ArModas = 1;
        d.MOD = {"www.example.lt", "http://dl", "r"};
        d.MODVersija = 2;
        d.MODDydis = -5;
        d.TikServerio = 1;
        d.SavasDLL = 0;
        d.Saugus = 1;
        t.ZaidejuSkaicius = 9;
        t.Zaidejai = {KurtiZaidejoInfo(7, "Ona", -4, 61.5f), KurtiZaidejoInfo(2, "", 0, 0.0f)};
        t.Taisykles = {{"mp_timelimit", "25"}, {"sv_contact", ""}};
        QTest::newRow("every key") << QByteArray(R"({"textEncoding": "utf-8", "name": "My Žserver", "map": "de_inferno",
                "address": "10.0.0.5:27016", "folder": "czero", "game": "Condition Zero", "maxPlayers": 24,
                "playersCount": 9, "protocol": 48, "serverType": "l", "os": "w", "password": true,
                "mod": {"url": "www.example.lt", "download": "http://dl", "reserved": "r", "version": 2,
                        "size": -5, "serverOnly": true, "customDll": false},
                "secure": 1,
                "players": [{"slot": 7, "name": "Ona", "frags": -4, "seconds": 61.5}, {"slot": 2}],
                "rules": [["mp_timelimit", "25"], ["sv_contact", ""]]})")
                                   << t;
    }
    {
        TServerioTurinys t = Numatytasis();
        t.Zaidejai = {KurtiZaidejoInfo(1, "a", 0, 0.0f), KurtiZaidejoInfo(2, "b", 0, 0.0f),
                      KurtiZaidejoInfo(3, "c", 0, 0.0f)};
        QTest::newRow("slots default to the position")
            << QByteArray(R"({"players": [{"name": "a"}, {"name": "b"}, {"name": "c"}]})") << t;
    }
    {
        TServerioTurinys t = Numatytasis();
        t.Detales.Info.Pavadinimas = "\xC0\xFF\x01 x";
        t.Zaidejai = {KurtiZaidejoInfo(1,
                                       "\xDE"
                                       "aibas",
                                       1, 2.0f)};
        QTest::newRow("latin1 texts are bytes")
            << QByteArray(R"({"textEncoding": "latin1", "name": "\u00c0\u00ff\u0001 x",
                "players": [{"name": "\u00deaibas", "frags": 1, "seconds": 2}]})")
            << t;
    }
    {
        TServerioTurinys t = Numatytasis();
        QTest::newRow("null mod and null players count") << QByteArray(R"({"mod": null, "playersCount": null})") << t;
    }
    {
        TServerioTurinys t = Numatytasis();
        t.Detales.Slaptazodis = 2;
        t.Detales.Saugus = 0;
        t.Detales.ArModas = 1;
        t.Detales.SavasDLL = 255;
        QTest::newRow("flags as bytes, empty mod object")
            << QByteArray(R"({"password": 2, "secure": false, "mod": {"customDll": 255}})") << t;
    }
}

void TstTestinisServerisTurinys::skaityti() {
    QFETCH(QByteArray, json);
    QFETCH(TServerioTurinys, laukiamas);

    QString klaida;
    const std::optional<TServerioTurinys> t = SkaitytiTurinioJson(json, &klaida);
    QVERIFY2(t.has_value(), qPrintable(klaida));
    QVERIFY(klaida.isEmpty());
    QVERIFY(t->Detales == laukiamas.Detales);
    QCOMPARE(t->ZaidejuSkaicius, laukiamas.ZaidejuSkaicius);
    QCOMPARE(t->Zaidejai, laukiamas.Zaidejai);
    QCOMPARE(t->Taisykles, laukiamas.Taisykles);
}

void TstTestinisServerisTurinys::klaidos_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("kelias"); // what the message must name

    QTest::newRow("not JSON") << QByteArray("{\"name\": ") << u"offset"_s;
    QTest::newRow("top level array") << QByteArray("[]") << u"document"_s;
    QTest::newRow("unknown key") << QByteArray(R"({"nmae": "x"})") << u"nmae"_s;
    QTest::newRow("unknown player key") << QByteArray(R"({"players": [{"score": 1}]})") << u"players[0].score"_s;
    QTest::newRow("unknown mod key") << QByteArray(R"({"mod": {"website": ""}})") << u"mod.website"_s;
    QTest::newRow("max players above 255") << QByteArray(R"({"maxPlayers": 256})") << u"maxPlayers"_s;
    QTest::newRow("negative protocol") << QByteArray(R"({"protocol": -1})") << u"protocol"_s;
    QTest::newRow("players count fraction") << QByteArray(R"({"playersCount": 1.5})") << u"playersCount"_s;
    QTest::newRow("frags beyond 32 bits")
        << QByteArray(R"({"players": [{"frags": 2147483648}]})") << u"players[0].frags"_s;
    QTest::newRow("seconds as text") << QByteArray(R"({"players": [{"seconds": "10"}]})") << u"players[0].seconds"_s;
    QTest::newRow("name as number") << QByteArray(R"({"name": 5})") << u"name"_s;
    QTest::newRow("server type of two characters") << QByteArray(R"({"serverType": "dd"})") << u"serverType"_s;
    QTest::newRow("empty os") << QByteArray(R"({"os": ""})") << u"os"_s;
    QTest::newRow("password as text") << QByteArray(R"({"password": "yes"})") << u"password"_s;
    QTest::newRow("mod as text") << QByteArray(R"({"mod": "yes"})") << u"mod"_s;
    QTest::newRow("rule of three texts") << QByteArray(R"({"rules": [["a", "b", "c"]]})") << u"rules[0]"_s;
    QTest::newRow("rule as object") << QByteArray(R"({"rules": [{"a": "b"}]})") << u"rules[0]"_s;
    QTest::newRow("rule value as number") << QByteArray(R"({"rules": [["a", 1]]})") << u"rules[0][1]"_s;
    QTest::newRow("zero character in a name") << QByteArray(R"({"name": "a\u0000b"})") << u"name"_s;
    QTest::newRow("latin1 character above U+00FF")
        << QByteArray(R"({"textEncoding": "latin1", "map": "\u017d"})") << u"map"_s;
    QTest::newRow("unknown encoding") << QByteArray(R"({"textEncoding": "cp1257"})") << u"textEncoding"_s;
    QTest::newRow("players not an array") << QByteArray(R"({"players": {}})") << u"players"_s;
}

void TstTestinisServerisTurinys::klaidos() {
    QFETCH(QByteArray, json);
    QFETCH(QString, kelias);

    QString klaida;
    QVERIFY(!SkaitytiTurinioJson(json, &klaida).has_value());
    QVERIFY2(klaida.startsWith(kelias), qPrintable(klaida));
}

void TstTestinisServerisTurinys::rasytiIrSkaityti_data() {
    QTest::addColumn<TServerioTurinys>("turinys");
    QTest::addColumn<QString>("koduote");

    QTest::newRow("demo") << DemonstracinisTurinys() << u"utf-8"_s;
    {
        TServerioTurinys t = DemonstracinisTurinys();
        t.Zaidejai[3].Zaidejas.Vardas = "\xDE"
                                        "aibas \xE0\xE8";
        t.Taisykles.append(TTaisykle{"\xFF", "\x80"});
        t.Detales.Info.Adresas = "192.168.1.2:27015";
        QTest::newRow("bytes that are not UTF-8") << t << u"latin1"_s;
    }
    {
        TServerioTurinys t = DemonstracinisTurinys();
        t.ZaidejuSkaicius.reset();
        t.Detales.ArModas = 0;
        t.Detales.MOD = {};
        t.Detales.MODVersija = 0;
        t.Detales.MODDydis = 0;
        t.Detales.TikServerio = 0;
        t.Detales.SavasDLL = 0;
        t.Zaidejai.clear();
        t.Taisykles.clear();
        QTest::newRow("no mod, no players, no rules, count from the list") << t << u"utf-8"_s;
    }
}

void TstTestinisServerisTurinys::rasytiIrSkaityti() {
    QFETCH(TServerioTurinys, turinys);
    QFETCH(QString, koduote);

    const QByteArray json = RasytiTurinioJson(turinys);
    const QByteArray koduotesRaktas = "\"textEncoding\": \"" + koduote.toLatin1() + '"';
    QVERIFY(json.contains(koduotesRaktas));
    QString klaida;
    const std::optional<TServerioTurinys> atgal = SkaitytiTurinioJson(json, &klaida);
    QVERIFY2(atgal.has_value(), qPrintable(klaida));
    QVERIFY(atgal->Detales == turinys.Detales);
    QCOMPARE(atgal->ZaidejuSkaicius, turinys.ZaidejuSkaicius);
    QCOMPARE(atgal->Zaidejai, turinys.Zaidejai);
    QCOMPARE(atgal->Taisykles, turinys.Taisykles);
}

void TstTestinisServerisTurinys::demonstracinis() {
    const TServerioTurinys t = DemonstracinisTurinys();
    QCOMPARE(t.Detales.Info.Zemelapis, QByteArray("de_dust2"));
    QCOMPARE(t.Detales.Info.Katalogas, QByteArray("cstrike"));
    QCOMPARE(t.Detales.ServerioTipas, 'd');
    QVERIFY(t.Detales.MaxZaideju >= t.Zaidejai.size());
    QVERIFY(t.Zaidejai.size() >= 8 && t.Zaidejai.size() <= 12);
    QVERIFY(t.Taisykles.size() >= 12 && t.Taisykles.size() <= 20);
    QVERIFY(t.ZaidejuSkaicius.has_value());
    QVERIFY(*t.ZaidejuSkaicius > t.Zaidejai.size());
    QSet<QByteArray> vardai;
    bool neigiamiFragai = false;
    bool neAscii = false;
    for (const TZaidejoInfo& z : t.Zaidejai) {
        vardai.insert(z.Zaidejas.Vardas);
        neigiamiFragai = neigiamiFragai || z.Zaidejas.Fragai < 0;
        for (const char c : z.Zaidejas.Vardas)
            neAscii = neAscii || static_cast<unsigned char>(c) >= 0x80;
        QVERIFY(z.Zaidejas.Laikas > 0.0f);
        QVERIFY(!z.Zaidejas.Vardas.contains('\0'));
    }
    QCOMPARE(vardai.size(), t.Zaidejai.size());
    QVERIFY(neigiamiFragai);
    QVERIFY(neAscii);
}

QTEST_APPLESS_MAIN(TstTestinisServerisTurinys)
#include "tst_testinis_serveris_turinys.moc"
