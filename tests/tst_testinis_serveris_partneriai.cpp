// Two independent clients, QStat and gamedig, query the test game server as
// a server of today ("ping" and the Steam queries, challenge, rules split in
// two) and must decode the name, map, players and rules it was given.
#include <algorithm>

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "Procesas.h"
#include "TurinioFailas.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kLaukimas = 20000; // ms a program may take at most

QList<QByteArray> Skaidyti(QByteArray eilute, const QByteArray& skirtukas) {
    QList<QByteArray> l;
    for (qsizetype i; (i = eilute.indexOf(skirtukas)) >= 0; eilute = eilute.mid(i + skirtukas.size()))
        l << eilute.left(i);
    l << eilute;
    return l;
}

} // namespace

class TstTestinisServerisPartneriai : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void qstat_data();
    void qstat();
    void gamedig_data() { qstat_data(); }
    void gamedig();

private:
    QTemporaryDir* aplankas = nullptr;
    TProcesas* serveris = nullptr;
    quint16 prievadas = 0;
    TServerioTurinys turinys;
    void PaleistiServeri(const QByteArray& json, const QStringList& papildomi);
};

void TstTestinisServerisPartneriai::init() {
    aplankas = new QTemporaryDir;
    serveris = new TProcesas(QStringLiteral(VELMORANT_TESTSERVER_EXE), kLaukimas);
}

void TstTestinisServerisPartneriai::cleanup() {
    delete serveris;
    serveris = nullptr;
    delete aplankas;
    aplankas = nullptr;
}

void TstTestinisServerisPartneriai::PaleistiServeri(const QByteArray& json, const QStringList& papildomi) {
    prievadas = 0;
    QString klaida;
    const std::optional<TServerioTurinys> t = SkaitytiTurinioJson(json, &klaida);
    QVERIFY2(t, qPrintable(klaida));
    turinys = *t;
    const QString kelias = aplankas->filePath(u"turinys.json"_s);
    QFile f(kelias);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(json) == json.size());
    f.close();
    serveris->Pradeti(QStringList{u"--port"_s, u"0"_s, u"--mode"_s, u"modern"_s, u"--content"_s, kelias} + papildomi);
    QTRY_VERIFY_WITH_TIMEOUT(serveris->isvestis.contains('\n') || serveris->procesas.state() == QProcess::NotRunning,
                             kLaukimas);
    const QByteArray eilute = serveris->isvestis.left(serveris->isvestis.indexOf('\n'));
    QVERIFY2(eilute.startsWith("PORT "), serveris->klaidos.constData());
    prievadas = quint16(eilute.mid(5).toUInt());
    QVERIFY(prievadas != 0);
}

void TstTestinisServerisPartneriai::qstat_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QStringList>("papildomi");
    const QByteArray pilnas = R"({"name": "Peers | \u017daibas server", "map": "de_inferno", "maxPlayers": 24,
        "playersCount": 5, "secure": true, "bots": 1,
        "players": [{"name": "Vilkas", "frags": 31, "seconds": 3904.6},
                    {"name": "\u017daibas", "frags": -3, "seconds": 59.9},
                    {"name": "two words <&>", "frags": 0, "seconds": 0.4},
                    {"name": "Bot", "frags": 7, "seconds": 86405.7}],
        "rules": [["mp_timelimit", "30"], ["sv_contact", ""], ["amx_nextmap", "de_dust2"],
                  ["sv_gravity", "800"], ["mp_friendlyfire", "0"]]})";
    QTest::newRow("modern") << pilnas << QStringList{};
    QTest::newRow("modern, info challenge") << pilnas << QStringList{u"--info-challenge"_s};
    // The players and rules replies come in several fragments.
    QTest::newRow("modern, small fragments") << pilnas << QStringList{u"--split-size"_s, u"40"_s};
}

void TstTestinisServerisPartneriai::qstat() {
    QFETCH(QByteArray, json);
    QFETCH(QStringList, papildomi);
    const QString quakestat = QStandardPaths::findExecutable(u"quakestat"_s);
    if (quakestat.isEmpty())
        QSKIP("quakestat is not on PATH (install the Debian package qstat to run this check)");
    PaleistiServeri(json, papildomi);
    QVERIFY(prievadas != 0);

    const QByteArray skirtukas = "|#|";
    const QString adresas = u"127.0.0.1:%1"_s.arg(prievadas);
    TProcesas qs(quakestat, kLaukimas);
    qs.Pradeti({u"-a2s"_s, adresas, u"-P"_s, u"-R"_s, u"-raw"_s, QString::fromLatin1(skirtukas), u"-nnx"_s,
                u"-timeout"_s, u"5"_s, u"-retry"_s, u"3"_s});
    QVERIFY2(qs.LauktiPabaigos(), "quakestat did not finish");
    QCOMPARE(qs.procesas.exitCode(), 0);
    const QList<QByteArray> eilutes = qs.isvestis.split('\n');
    QVERIFY2(eilutes.size() >= 3, qs.isvestis.constData());
    const QList<QByteArray> laukai = Skaidyti(eilutes[0], skirtukas);
    QVERIFY2(laukai.size() == 8, eilutes[0].constData());
    QCOMPARE(laukai[1], adresas.toLatin1());
    QCOMPARE(laukai[2], turinys.Detales.Info.Pavadinimas);
    QCOMPARE(laukai[3], turinys.Detales.Info.Zemelapis);
    QCOMPARE(laukai[4], QByteArray::number(turinys.Detales.MaxZaideju));
    QCOMPARE(laukai[5], QByteArray::number(*turinys.ZaidejuSkaicius));

    // Every rule, in the server's order, among QStat's own keys.
    const QList<QByteArray> taisykles = Skaidyti(eilutes[1], skirtukas);
    QList<QByteArray> gautos;
    for (const QByteArray& t : taisykles)
        for (const TTaisykle& r : std::as_const(turinys.Taisykles))
            if (t == r.Pavadinimas + '=' + r.Reiksme)
                gautos << t;
    QCOMPARE(gautos.size(), turinys.Taisykles.size());

    QList<QByteArray> zaidejai, tiketasi;
    for (qsizetype i = 2; i < eilutes.size() && !eilutes[i].isEmpty(); ++i)
        zaidejai << eilutes[i];
    for (const TZaidejoInfo& z : std::as_const(turinys.Zaidejai)) // QStat cuts the seconds to whole ones
        tiketasi << z.Zaidejas.Vardas + skirtukas + QByteArray::number(z.Zaidejas.Fragai) + skirtukas +
                        QByteArray::number(qint64(z.Zaidejas.Laikas));
    std::sort(zaidejai.begin(), zaidejai.end());
    std::sort(tiketasi.begin(), tiketasi.end());
    QCOMPARE(zaidejai, tiketasi);
}

void TstTestinisServerisPartneriai::gamedig() {
    QFETCH(QByteArray, json);
    QFETCH(QStringList, papildomi);
    const QString node = QStringLiteral(VELMORANT_NODE);
    const QString skriptas = QStringLiteral(VELMORANT_GAMEDIG);
    if (node.isEmpty() || node.endsWith(u"-NOTFOUND"_s) || !QFile::exists(skriptas))
        QSKIP("gamedig is not installed in the build folder (needs node and npm at build time)");
    PaleistiServeri(json, papildomi);
    QVERIFY(prievadas != 0);

    TProcesas gd(node, kLaukimas);
    gd.Pradeti({skriptas, u"--type"_s, u"counterstrike16"_s, u"--host"_s, u"127.0.0.1"_s, u"--port"_s,
                QString::number(prievadas), u"--requestRules"_s, u"--socketTimeout"_s, u"3000"_s});
    QVERIFY2(gd.LauktiPabaigos(), "gamedig did not finish");
    QJsonParseError klaida;
    const QJsonObject o = QJsonDocument::fromJson(gd.isvestis, &klaida).object();
    QVERIFY2(klaida.error == QJsonParseError::NoError && !o.contains(u"error"_s),
             QByteArray(gd.isvestis + gd.klaidos).constData());
    QCOMPARE(o[u"name"_s].toString().toUtf8(), turinys.Detales.Info.Pavadinimas);
    QCOMPARE(o[u"map"_s].toString().toUtf8(), turinys.Detales.Info.Zemelapis);
    QCOMPARE(o[u"maxplayers"_s].toInt(), int(turinys.Detales.MaxZaideju));
    QCOMPARE(o[u"numplayers"_s].toInt(), int(*turinys.ZaidejuSkaicius));

    const QJsonObject raw = o[u"raw"_s].toObject();
    QList<QByteArray> zaidejai, tiketasi;
    for (const QJsonValue& v : raw[u"players"_s].toArray()) {
        const QJsonObject p = v.toObject();
        zaidejai << p[u"name"_s].toString().toUtf8() + '/' + QByteArray::number(p[u"score"_s].toInt());
    }
    for (const TZaidejoInfo& z : std::as_const(turinys.Zaidejai))
        tiketasi << z.Zaidejas.Vardas + '/' + QByteArray::number(z.Zaidejas.Fragai);
    QCOMPARE(zaidejai, tiketasi); // in reply order

    const QJsonObject taisykles = raw[u"rules"_s].toObject();
    QCOMPARE(taisykles.size(), turinys.Taisykles.size());
    for (const TTaisykle& r : std::as_const(turinys.Taisykles))
        QCOMPARE(taisykles[QString::fromUtf8(r.Pavadinimas)].toString().toUtf8(), r.Reiksme);
}

QTEST_GUILESS_MAIN(TstTestinisServerisPartneriai)
#include "tst_testinis_serveris_partneriai.moc"
