// Desktop notifications on a real session bus that the test starts
// (dbus-daemon with a session configuration of its own: no services to
// activate), with the test's own notification service on it: what reaches the
// service, once each; nothing while the options are off; nothing waits for a
// service that is slow, missing, or a bus that is not there.
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "Draugai.h"
#include "Pranesejas.h"
#include "PranesimuTaisykles.h"

using namespace Qt::StringLiterals;

namespace {

const QString kPaslauga = u"org.freedesktop.Notifications"_s;
const QString kObjektas = u"/org/freedesktop/Notifications"_s;
constexpr int kLaukimasMs = 10000;

// One Notify call as the service got it.
struct TGautas {
    QString Programa;
    quint32 Keiciamas = 0;
    QString Ikona;
    QString Antraste;
    QString Tekstas;
    QStringList Veiksmai;
    QVariantMap Uzuominos;
    int Galiojimas = 0;
};

} // namespace

// The notification service of the test: records every call; in the holding
// mode it answers none until told to.
class TPaslauga : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QList<TGautas> gauti;
    bool arLaikyti = false;
    QList<QDBusMessage> laikomi;
    quint32 numeris = 100;

public Q_SLOTS:
    quint32 Notify(const QString& app_name, quint32 replaces_id, const QString& app_icon, const QString& summary,
                   const QString& body, const QStringList& actions, const QVariantMap& hints, int expire_timeout) {
        gauti.append({app_name, replaces_id, app_icon, summary, body, actions, hints, expire_timeout});
        Q_EMIT Gautas();
        if (arLaikyti) {
            setDelayedReply(true);
            laikomi.append(message());
            return 0;
        }
        return ++numeris;
    }
    QStringList GetCapabilities() { return {u"body"_s}; }

Q_SIGNALS:
    void Gautas();
};

class TstPranesejas : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void pranesimas();
    void taisyklesPerMagistrale_data();
    void taisyklesPerMagistrale();
    void neatsakanciaPaslaugaNelaukiama();
    void nesantiPaslauga();
    void nesantiMagistrale_data();
    void nesantiMagistrale();

private:
    // Notifies `antraste` and waits until the service has it: every call made
    // before it on the same connection has arrived by then.
    bool Gale(TPranesejas& pranesejas, const QString& antraste);
    bool Registruoti();

    QTemporaryDir aplankas;
    QProcess demonas;
    QString adresas;
    std::optional<QDBusConnection> paslaugosJungtis;
    TPaslauga paslauga;
    QString buvesAdresas;
};

void TstPranesejas::initTestCase() {
    const QString programa = QStandardPaths::findExecutable(u"dbus-daemon"_s);
    if (programa.isEmpty())
        QSKIP("dbus-daemon is not installed (Debian package dbus-daemon, installed by tools/deps.sh test)");
    QVERIFY(aplankas.isValid());
    const QString konfiguracija = aplankas.filePath(u"sesija.conf"_s);
    QFile f(konfiguracija);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
            " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
            "<busconfig>\n"
            "  <type>session</type>\n"
            "  <listen>unix:dir=" +
            aplankas.path().toUtf8() +
            "</listen>\n"
            "  <auth>EXTERNAL</auth>\n"
            "  <policy context=\"default\">\n"
            "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
            "    <allow eavesdrop=\"true\"/>\n"
            "    <allow own=\"*\"/>\n"
            "  </policy>\n"
            "</busconfig>\n");
    f.close();
    demonas.start(programa, {u"--config-file="_s + konfiguracija, u"--print-address=1"_s, u"--nofork"_s});
    QVERIFY2(demonas.waitForStarted(kLaukimasMs), qPrintable(demonas.errorString()));
    QByteArray isvestis;
    QDeadlineTimer riba(kLaukimasMs);
    while (!isvestis.contains('\n') && !riba.hasExpired() && demonas.state() == QProcess::Running) {
        demonas.waitForReadyRead(int(qMax<qint64>(1, riba.remainingTime())));
        isvestis += demonas.readAllStandardOutput();
    }
    QVERIFY2(isvestis.contains('\n'), demonas.readAllStandardError().constData());
    adresas = QString::fromUtf8(isvestis.left(isvestis.indexOf('\n'))).trimmed();

    // The program's own bus is the session bus: the test's bus takes its place.
    buvesAdresas = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    qputenv("DBUS_SESSION_BUS_ADDRESS", adresas.toUtf8());
    paslaugosJungtis = QDBusConnection::connectToBus(adresas, u"paslauga"_s);
    QVERIFY2(paslaugosJungtis->isConnected(), qPrintable(paslaugosJungtis->lastError().message()));
    QVERIFY(paslaugosJungtis->registerObject(kObjektas, &paslauga, QDBusConnection::ExportAllSlots));
}

void TstPranesejas::cleanupTestCase() {
    if (paslaugosJungtis) {
        paslaugosJungtis->unregisterObject(kObjektas);
        paslaugosJungtis.reset();
        QDBusConnection::disconnectFromBus(u"paslauga"_s);
    }
    if (demonas.state() != QProcess::NotRunning) {
        demonas.kill();
        demonas.waitForFinished(kLaukimasMs);
    }
    qputenv("DBUS_SESSION_BUS_ADDRESS", buvesAdresas.toUtf8());
}

bool TstPranesejas::Registruoti() {
    if (paslaugosJungtis->interface()->isServiceRegistered(kPaslauga))
        return true;
    return paslaugosJungtis->registerService(kPaslauga);
}

void TstPranesejas::init() {
    QVERIFY(Registruoti());
    paslauga.gauti.clear();
    paslauga.arLaikyti = false;
}

void TstPranesejas::cleanup() {
    for (const QDBusMessage& m : std::as_const(paslauga.laikomi))
        paslaugosJungtis->send(m.createReply(quint32(0)));
    paslauga.laikomi.clear();
}

bool TstPranesejas::Gale(TPranesejas& pranesejas, const QString& antraste) {
    const qsizetype pries = paslauga.gauti.size();
    if (!pranesejas.Pranesti(antraste, QString()))
        return false;
    QSignalSpy gautas(&paslauga, &TPaslauga::Gautas);
    QDeadlineTimer riba(kLaukimasMs);
    while (!riba.hasExpired() && (paslauga.gauti.size() == pries || paslauga.gauti.constLast().Antraste != antraste))
        gautas.wait(int(qMax<qint64>(1, riba.remainingTime())));
    return paslauga.gauti.size() > pries && paslauga.gauti.constLast().Antraste == antraste;
}

void TstPranesejas::pranesimas() {
    TPranesejas pranesejas;
    QVERIFY(pranesejas.ArYraMagistrale());
    QSignalSpy parodyta(&pranesejas, &TPranesejas::Parodyta);
    QSignalSpy nepavyko(&pranesejas, &TPranesejas::Nepavyko);
    QVERIFY(pranesejas.Pranesti(u"Alice is playing on Šilas <1>"_s, u"cs.example:27015"_s));
    QVERIFY(parodyta.wait(kLaukimasMs));
    QCOMPARE(paslauga.gauti.size(), 1);
    const TGautas& g = paslauga.gauti.at(0);
    QCOMPARE(g.Programa, u"Velmorant"_s);
    QCOMPARE(g.Keiciamas, 0u);
    QCOMPARE(g.Ikona, u"velmorant"_s);
    QCOMPARE(g.Antraste, u"Alice is playing on Šilas <1>"_s);
    QCOMPARE(g.Tekstas, u"cs.example:27015"_s);
    QVERIFY(g.Veiksmai.isEmpty());
    QCOMPARE(g.Uzuominos.value(u"desktop-entry"_s).toString(), u"velmorant"_s);
    QCOMPARE(g.Galiojimas, -1);
    QCOMPARE(parodyta.at(0).at(0).value<quint32>(), paslauga.numeris);
    QCOMPARE(nepavyko.size(), 0);
    QCOMPARE(pranesejas.Laukiami(), 0);
}

void TstPranesejas::taisyklesPerMagistrale_data() {
    QTest::addColumn<bool>("vieta");
    QTest::addColumn<bool>("draugai");
    QTest::addColumn<QStringList>("tiketini");
    const QString draugas = u"Alice is playing on Dust 24/7"_s;
    const QString vieta = u"A slot is free on Dust 24/7: 19/20"_s;
    const QString atsako = u"Dust 24/7 answers again"_s;
    QTest::newRow("both options on") << true << true << QStringList{draugas, vieta, atsako};
    QTest::newRow("friends only") << false << true << QStringList{draugas};
    QTest::newRow("slots only") << true << false << QStringList{vieta, atsako};
    QTest::newRow("both options off") << false << false << QStringList{};
}

void TstPranesejas::taisyklesPerMagistrale() {
    QFETCH(bool, vieta);
    QFETCH(bool, draugai);
    QFETCH(QStringList, tiketini);
    const QString kelias = aplankas.filePath(u"Draugai.txt"_s);
    QFile f(kelias);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("alice\n");
    f.close();
    TDraugai sarasas(kelias);
    sarasas.Ikelti();
    TPranesimuTaisykles taisykles(sarasas);
    TPranesejas pranesejas;
    const TPranesimuTekstai tekstai{u"%1 is playing on %2"_s, u"A slot is free on %1: %2"_s, u"%1 answers again"_s};

    // A full server with Alice arriving, staying, a slot freeing up, then a
    // time-out and the server back: every round as the poller would report it.
    const auto raundas = [](std::optional<int> zaidejai, QList<QByteArray> vardai) {
        TRaundoSantrauka r;
        r.Serveris = u"cs.example:27015"_s;
        r.Pavadinimas = "Dust 24/7";
        if (zaidejai) {
            r.PingoMs = 40;
            r.Zaidejai = zaidejai;
            r.MaxZaideju = 20;
            r.Vardai = std::move(vardai);
        }
        return r;
    };
    const QList<TRaundoSantrauka> raundai{
        raundas(20, {"Bob"}),      raundas(20, {"Bob", "Alice"}), raundas(20, {"Bob", "Alice"}),
        raundas(19, {"Alice"}),    raundas(18, {"Alice"}),        raundas(std::nullopt, {}),
        raundas(std::nullopt, {}), raundas(18, {"Alice"}),        raundas(18, {"Alice"}),
    };
    for (const TRaundoSantrauka& r : raundai)
        for (const TPranesimas& p : taisykles.Apdoroti(r, {vieta, draugai}))
            QVERIFY(pranesejas.Pranesti(PranesimoAntraste(p, tekstai), PranesimoTekstas(p)));
    QVERIFY(Gale(pranesejas, u"end of the rounds"_s));

    QStringList gautos;
    for (const TGautas& g : std::as_const(paslauga.gauti)) {
        QCOMPARE(g.Programa, u"Velmorant"_s);
        QCOMPARE(g.Ikona, u"velmorant"_s);
        if (g.Antraste != u"end of the rounds"_s) {
            QCOMPARE(g.Tekstas, u"cs.example:27015"_s);
            gautos.append(g.Antraste);
        }
    }
    QCOMPARE(gautos, tiketini);
}

void TstPranesejas::neatsakanciaPaslaugaNelaukiama() {
    // The service holds every call: the notifications are handed over all the
    // same, and their answers come whenever the service gives them.
    paslauga.arLaikyti = true;
    TPranesejas pranesejas;
    QSignalSpy parodyta(&pranesejas, &TPranesejas::Parodyta);
    QSignalSpy gautas(&paslauga, &TPaslauga::Gautas);
    QVERIFY(pranesejas.Pranesti(u"first"_s, QString()));
    QVERIFY(pranesejas.Pranesti(u"second"_s, QString()));
    QCOMPARE(pranesejas.Laukiami(), 2);
    QTRY_COMPARE_WITH_TIMEOUT(paslauga.laikomi.size(), qsizetype(2), kLaukimasMs);
    QCOMPARE(pranesejas.Laukiami(), 2);
    QCOMPARE(parodyta.size(), 0);
    for (const QDBusMessage& m : std::as_const(paslauga.laikomi))
        paslaugosJungtis->send(m.createReply(quint32(7)));
    paslauga.laikomi.clear();
    QTRY_COMPARE_WITH_TIMEOUT(parodyta.size(), 2, kLaukimasMs);
    QCOMPARE(parodyta.at(0).at(0).value<quint32>(), 7u);
    QCOMPARE(pranesejas.Laukiami(), 0);
}

void TstPranesejas::nesantiPaslauga() {
    QVERIFY(paslaugosJungtis->unregisterService(kPaslauga));
    QTRY_VERIFY_WITH_TIMEOUT(!paslaugosJungtis->interface()->isServiceRegistered(kPaslauga), kLaukimasMs);
    TPranesejas pranesejas;
    QSignalSpy parodyta(&pranesejas, &TPranesejas::Parodyta);
    QSignalSpy nepavyko(&pranesejas, &TPranesejas::Nepavyko);
    QVERIFY(pranesejas.Pranesti(u"nobody hears this"_s, QString()));
    // Handed over, not answered: the call returned before the bus said no.
    QCOMPARE(pranesejas.Laukiami(), 1);
    QCOMPARE(nepavyko.size(), 0);
    QVERIFY(nepavyko.wait(kLaukimasMs));
    QVERIFY2(nepavyko.at(0).at(0).toString().contains(kPaslauga), qPrintable(nepavyko.at(0).at(0).toString()));
    QCOMPARE(parodyta.size(), 0);
    QCOMPARE(pranesejas.Laukiami(), 0);
    QVERIFY(paslauga.gauti.isEmpty());
    // A service that comes later is used.
    QVERIFY(Registruoti());
    QVERIFY(Gale(pranesejas, u"now someone does"_s));
}

void TstPranesejas::nesantiMagistrale_data() {
    QTest::addColumn<bool>("vykdymoAplankas");
    QTest::newRow("no bus named, no runtime folder") << false;
    QTest::newRow("no bus named, a runtime folder without a bus socket") << true;
}

void TstPranesejas::nesantiMagistrale() {
    QFETCH(bool, vykdymoAplankas);
    QTemporaryDir vykdymas;
    QVERIFY(vykdymas.isValid());
    const QByteArray buvesVykdymas = qgetenv("XDG_RUNTIME_DIR");
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    if (vykdymoAplankas)
        qputenv("XDG_RUNTIME_DIR", vykdymas.path().toUtf8());
    else
        qunsetenv("XDG_RUNTIME_DIR");
    TPranesejas pranesejas;
    qputenv("DBUS_SESSION_BUS_ADDRESS", adresas.toUtf8());
    if (buvesVykdymas.isEmpty())
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", buvesVykdymas);
    QSignalSpy parodyta(&pranesejas, &TPranesejas::Parodyta);
    QSignalSpy nepavyko(&pranesejas, &TPranesejas::Nepavyko);
    QVERIFY(!pranesejas.ArYraMagistrale());
    QVERIFY(!pranesejas.Pranesti(u"nowhere"_s, QString()));
    QCOMPARE(pranesejas.Laukiami(), 0);
    // Nothing comes later either: the service, which is there, hears nothing.
    TPranesejas kitas;
    QVERIFY(Gale(kitas, u"the bus is fine"_s));
    QCOMPARE(paslauga.gauti.size(), 1);
    QCOMPARE(parodyta.size(), 0);
    QCOMPARE(nepavyko.size(), 0);

    // A bus address with nothing behind it: no connection, nothing sent.
    const QString niekur = u"unix:path="_s + vykdymas.filePath(u"nothing"_s);
    TPranesejas negyvas(QDBusConnection::connectToBus(niekur, u"niekur"_s));
    QVERIFY(!negyvas.ArYraMagistrale());
    QVERIFY(!negyvas.Pranesti(u"nowhere"_s, QString()));
    QDBusConnection::disconnectFromBus(u"niekur"_s);
}

QTEST_GUILESS_MAIN(TstPranesejas)
#include "tst_pranesejas.moc"
