// The program's notifications and friends end to end: the windows as the
// program makes them, with the watching services (StebejimoPaslaugos.h) on a
// session bus the test starts and the test's own notification service, the
// watcher and the list against the project's test server whose content the
// test changes between rounds. A friend joining and a slot freeing up are
// told once each, with the names and figures; nothing while the options are
// off; a missing service holds nothing up. A right press on a name of the
// scoreboard adds or removes the friend, and the mark follows.
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

#include <memory>

#include "Apklausa.h"
#include "Centras.h"
#include "Programa.h"
#include "AtsakymuKurejas.h"
#include "Modulis2.h"
#include "Modulis_Taisykles.h"
#include "Pranesejas.h"
#include "PranesimuMagistrale.h"
#include "StebejimoPaslaugos.h"
#include "Sesija.h"
#include "StebetojoAplinka.h"
#include "TestinisServeris.h"
#include "Pagalba.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kLaukimasMs = 10000;

// The server's content: its name, the players listed and the details count of 20.
TServerioTurinys Turinys(const QByteArray& vardas, const QList<QByteArray>& zaidejai, int kiek) {
    TServerioTurinys t;
    t.Detales.Info.Pavadinimas = vardas;
    t.Detales.Info.Zemelapis = "de_dust2";
    t.Detales.Info.Katalogas = "cstrike";
    t.Detales.Info.Zaidimas = "Counter-Strike";
    t.Detales.MaxZaideju = 20;
    t.Detales.ServerioTipas = 'd';
    t.Detales.OS = 'l';
    t.ZaidejuSkaicius = quint8(kiek);
    for (const QByteArray& z : zaidejai)
        t.Zaidejai.append(KurtiZaidejoInfo(0, z, 1, 60.0f));
    return t;
}

// The poller of every window's rounds: the hub's.
TApklausa* Apklausa(QObject*) {
    return ProgramosCentras()->Apklausa();
}

} // namespace

class TstPranesimaiLangai : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void stebetojas_data();
    void stebetojas();
    void sarasas_data();
    void sarasas();
    void nesantiPaslauga();
    void draugoPerjungimas_data();
    void draugoPerjungimas();
    void draugaiIsFailo();

private:
    // One watcher round to `adresas`, started now and waited for to its end.
    bool Raundas(const QString& adresas);
    // Notifies a marker through the services' notifier and waits until the
    // service has it: every call made before it has arrived by then. The
    // summaries that came before it, since `nuo`.
    QStringList IkiZymes(qsizetype nuo);
    void NustatytiParinktis(bool vieta, bool draugai);

    TStebetojoAplinka aplinka;
    TPranesimuMagistrale magistrale;
    std::unique_ptr<TStebejimoPaslaugos> paslaugos;
    std::unique_ptr<TTestinisServeris> serveris;
    int raundai = 0; // the watcher's rounds reported
    QString draugai;
};

void TstPranesimaiLangai::initTestCase() {
    QVERIFY(aplinka.Paruosti());
    if (!magistrale.Paleisti(aplinka.Kelias(QString())))
        QSKIP(qPrintable(magistrale.klaida));
    // The program's own bus is the session bus: the test's takes its place.
    qputenv("DBUS_SESSION_BUS_ADDRESS", magistrale.adresas.toUtf8());
    QVERIFY(aplinka.Paleisti());
    connect(Apklausa(frmPagrindinis()), &TApklausa::RaundasBaigtas, this, [this] { ++raundai; });
    draugai = aplinka.Kelias(u"resursai/Draugai.txt"_s);
    // Rounds are the test's clicks only.
    Valdiklis<TLaikmatis>("tmrAtnaujinimas")->setIntervalas(60000);
}

void TstPranesimaiLangai::cleanupTestCase() {
    paslaugos.reset();
    aplinka.Baigti();
}

void TstPranesimaiLangai::init() {
    QVERIFY(magistrale.Registruoti());
    QFile::remove(draugai);
    QVERIFY(aplinka.Rasyti(u"resursai/Draugai.txt"_s, "  alice \n"));
    aplinka.pranesimai.clear();
    serveris = std::make_unique<TTestinisServeris>();
    QVERIFY(serveris->Paleisti());
    TStebejimoPaslaugos::TNustatymai n;
    n.DraugaiKelias = draugai;
    n.Magistrale = magistrale.Programos(u"programa"_s);
    n.ArDeklas = false;
    n.Stebetojas = frmPagrindinis();
    n.Taisykles = frmTaisykles();
    paslaugos = std::make_unique<TStebejimoPaslaugos>(n);
    NustatytiParinktis(false, false);
}

void TstPranesimaiLangai::cleanup() {
    frmServeriai()->hide();
    Valdiklis<QLineEdit>("edtHostas")->clear();
    QTRY_VERIFY_WITH_TIMEOUT(Apklausa(frmPagrindinis())->Vykdomi() + Apklausa(frmPagrindinis())->Eileje() == 0,
                             kLaukimasMs);
    paslaugos.reset();
    QDBusConnection::disconnectFromBus(u"programa"_s);
    serveris.reset();
    if (QFileInfo(draugai).isDir())
        QDir(draugai).removeRecursively();
    QFile::remove(draugai);
}

bool TstPranesimaiLangai::Raundas(const QString& adresas) {
    const int pries = raundai;
    frmPagrindinis()->Stebeti(adresas);
    return QTest::qWaitFor([&] { return raundai > pries; }, kLaukimasMs);
}

QStringList TstPranesimaiLangai::IkiZymes(qsizetype nuo) {
    const QString zyme = u"end of the rounds"_s;
    if (!paslaugos->Pranesejas()->Pranesti(zyme, QString()))
        return {u"no bus"_s};
    const QList<TGautasPranesimas>& gauti = magistrale.paslauga.gauti;
    while ((gauti.size() <= nuo || gauti.constLast().Antraste != zyme) && magistrale.Laukti(gauti.size() + 1)) {
    }
    if (gauti.size() <= nuo || gauti.constLast().Antraste != zyme)
        return {u"the marker never came"_s};
    QStringList antrastes;
    for (qsizetype i = nuo; i < gauti.size() - 1; ++i)
        antrastes.append(gauti.at(i).Antraste);
    return antrastes;
}

void TstPranesimaiLangai::NustatytiParinktis(bool vieta, bool draugai) {
    Valdiklis<TTybCheckBox>("chkPranestiVieta")->setChecked(vieta);
    Valdiklis<TTybCheckBox>("chkPranestiDraugus")->setChecked(draugai);
    QCOMPARE(frmPagrindinis()->ArPranestiVieta(), vieta);
    QCOMPARE(frmPagrindinis()->ArPranestiDraugus(), draugai);
}

void TstPranesimaiLangai::stebetojas_data() {
    QTest::addColumn<bool>("vieta");
    QTest::addColumn<bool>("draugai");
    QTest::addColumn<QStringList>("tiketini");
    QTest::addColumn<bool>("netikras"); // the hub's judge found the server's players fake
    const QString draugas = u"Alice is playing on Steady"_s;
    const QString vieta = u"A slot is free on Steady: 19/20"_s;
    QTest::newRow("both options on: the friend, then the slot") << true << true << QStringList{draugas, vieta} << false;
    QTest::newRow("friends only") << false << true << QStringList{draugas} << false;
    QTest::newRow("slots only") << true << false << QStringList{vieta} << false;
    QTest::newRow("both options off: nothing") << false << false << QStringList{} << false;
    QTest::newRow("fake players: no news") << true << true << QStringList{} << true;
}

void TstPranesimaiLangai::stebetojas() {
    // A full server, Alice arriving while it stays full, then a slot
    // freeing up: two rounds of each, every round as the test server answers it.
    QFETCH(bool, vieta);
    QFETCH(bool, draugai);
    QFETCH(QStringList, tiketini);
    QFETCH(bool, netikras);
    NustatytiParinktis(vieta, draugai);
    const QString adresas = Adresas(*serveris);
    if (netikras) {
        // Two looks long ago at a server that claims twelve players and lists one.
        TRaundoSantrauka r;
        r.Serveris = adresas;
        r.Zaidejai = 12;
        r.MaxZaideju = 20;
        r.Vardai = QList<QByteArray>{"Fake"};
        for (const qint64 kada : {0, 12000}) {
            r.LaikasMs = kada;
            ProgramosCentras()->Netikri()->Irasyti(r);
        }
        QVERIFY(ProgramosCentras()->Netikri()->ArNetikras(adresas));
    }
    const qsizetype nuo = magistrale.paslauga.gauti.size();
    const QList<TServerioTurinys> eiga{Turinys("Steady", {"Bob"}, 20), Turinys("Steady", {"Bob", "Alice"}, 20),
                                       Turinys("Steady", {"Alice"}, 19)};
    for (const TServerioTurinys& t : eiga) {
        serveris->NustatytiTurini(t);
        for (int i = 0; i < 2; ++i)
            QVERIFY(Raundas(adresas));
    }
    QCOMPARE(Valdiklis<QLabel>("lblZaidejaiSK")->text(), u"19/20"_s);
    QCOMPARE(IkiZymes(nuo), tiketini);
    for (qsizetype i = nuo; i < nuo + tiketini.size(); ++i) {
        QCOMPARE(magistrale.paslauga.gauti.at(i).Programa, u"Velmorant"_s);
        QCOMPARE(magistrale.paslauga.gauti.at(i).Tekstas, adresas);
    }
    QVERIFY(aplinka.pranesimai.isEmpty());
}

void TstPranesimaiLangai::sarasas_data() {
    QTest::addColumn<bool>("draugai");
    QTest::newRow("friends option on: players asked, the friend told") << true;
    QTest::newRow("friends option off: details only, nothing told") << false;
}

void TstPranesimaiLangai::sarasas() {
    // A favourite the list polls: its players are asked only for the
    // friends; the list's rows fill either way.
    QFETCH(bool, draugai);
    NustatytiParinktis(true, draugai);
    serveris->NustatytiTurini(Turinys("Favourite", {"Bob", "Alice"}, 5));
    PazintiSena(Adresas(*serveris)); // met before
    QVERIFY(aplinka.Rasyti(u"resursai/Serveriai.tyb"_s, "Address\r\n" + Adresas(*serveris).toLatin1() + "\r\n"));
    const qsizetype nuo = magistrale.paslauga.gauti.size();
    frmServeriai()->show();
    auto* g = frmServeriai()->findChild<TTinklelioVaizdas*>(u"stgServeriai"_s);
    QTRY_COMPARE_WITH_TIMEOUT(g->Langelis(2, 1), u"Favourite"_s, kLaukimasMs);
    QTRY_VERIFY_WITH_TIMEOUT(frmServeriai()->property("ArPabaiga").toBool(), kLaukimasMs);
    frmServeriai()->hide();
    QByteArrayList zodziai;
    for (const TGautaUzklausa& u : serveris->Uzklausos())
        zodziai.append(u.Zodis);
    QCOMPARE(zodziai, draugai ? (QByteArrayList{"players", "details"}) : QByteArrayList{"details"});
    QCOMPARE(serveris->Uzklausos().constLast().Baitai, UzklausosDatagrama(kDetails));
    QCOMPARE(IkiZymes(nuo), draugai ? QStringList{u"Alice is playing on Favourite"_s} : QStringList{});
    QVERIFY(aplinka.pranesimai.isEmpty());
}

void TstPranesimaiLangai::nesantiPaslauga() {
    // Nobody serves the notifications: the friend's notification is handed to
    // the bus and the round is over before the bus says no; the watch goes on.
    NustatytiParinktis(true, true);
    QVERIFY(magistrale.Isregistruoti());
    const QString adresas = Adresas(*serveris);
    TPranesejas* pranesejas = paslaugos->Pranesejas();
    QSignalSpy nepavyko(pranesejas, &TPranesejas::Nepavyko);
    int laukiamiPoRaundo = -1;
    const QMetaObject::Connection c =
        connect(Apklausa(frmPagrindinis()), &TApklausa::RaundasBaigtas, this,
                [&laukiamiPoRaundo, pranesejas] { laukiamiPoRaundo = pranesejas->Laukiami(); });
    serveris->NustatytiTurini(Turinys("Steady", {"Alice"}, 5));
    QVERIFY(Raundas(adresas));
    disconnect(c);
    QCOMPARE(laukiamiPoRaundo, 1);
    QCOMPARE(nepavyko.size(), 0);
    // The next round comes and goes as ever; the bus's answer comes when it comes.
    serveris->NustatytiTurini(Turinys("Steady again", {"Alice"}, 6));
    QVERIFY(Raundas(adresas));
    QTRY_COMPARE_WITH_TIMEOUT(Valdiklis<QLabel>("lblZaidejaiSK")->text(), u"6/20"_s, kLaukimasMs);
    QTRY_COMPARE_WITH_TIMEOUT(nepavyko.size(), 1, kLaukimasMs);
    QCOMPARE(pranesejas->Laukiami(), 0);
    QVERIFY(aplinka.pranesimai.isEmpty());
    const qsizetype nuo = magistrale.paslauga.gauti.size();
    QVERIFY(magistrale.Registruoti());
    QCOMPARE(IkiZymes(nuo), QStringList{});
}

void TstPranesimaiLangai::draugoPerjungimas_data() {
    QTest::addColumn<QString>("stulpelis");
    QTest::addColumn<int>("eilute");
    QTest::addColumn<QString>("vardas");
    // Players are dealt alternately: Bob, Carol, Dave into columns 1, 2, 1.
    QTest::newRow("first column, first name") << u"memKomanda1"_s << 0 << u"Bob"_s;
    QTest::newRow("second column, first name") << u"memKomanda2"_s << 0 << u"Carol"_s;
    QTest::newRow("first column, second name") << u"memKomanda1"_s << 1 << u"Dave"_s;
}

void TstPranesimaiLangai::draugoPerjungimas() {
    QFETCH(QString, stulpelis);
    QFETCH(int, eilute);
    QFETCH(QString, vardas);
    serveris->NustatytiTurini(Turinys("Steady", {"Bob", "Carol", "Dave"}, 3));
    QVERIFY(Raundas(Adresas(*serveris)));
    auto* memo = frmPagrindinis()->findChild<TMemo*>(stulpelis);
    QVERIFY(memo);
    QCOMPARE(memo->Eilutes().at(eilute), vardas);
    const QString tekstas = memo->text();
    const auto pazymeti = [] {
        QStringList vardai;
        for (const char* m : {"memKomanda1", "memKomanda2"}) {
            const TMemo* s = Valdiklis<TMemo>(m);
            for (int i = 0; i < s->EiluciuSkaicius(); ++i)
                if (s->ArPazymeta(i))
                    vardai.append(s->Eilutes().at(i));
        }
        return vardai;
    };
    QCOMPARE(pazymeti(), QStringList{});

    // Added as the last line of the file; the line the file had stays.
    QTest::mouseClick(memo, Qt::RightButton, {}, memo->EilutesVieta(eilute).center());
    QCOMPARE(aplinka.Skaityti(u"resursai/Draugai.txt"_s), "  alice \n" + vardas.toUtf8() + '\n');
    QCOMPARE(pazymeti(), QStringList{vardas});
    QCOMPARE(memo->text(), tekstas);
    QVERIFY(paslaugos->Draugai().ArDraugas(vardas));
    // The mark stays through the next round.
    QVERIFY(Raundas(Adresas(*serveris)));
    QCOMPARE(pazymeti(), QStringList{vardas});
    // A left click changes nothing.
    QTest::mouseClick(memo, Qt::LeftButton, {}, memo->EilutesVieta(eilute).center());
    QCOMPARE(pazymeti(), QStringList{vardas});
    // Removed again, in any letter case the file has it.
    QVERIFY(aplinka.Rasyti(u"resursai/Draugai.txt"_s, "  alice \n" + vardas.toUpper().toUtf8() + '\n'));
    QTest::mouseClick(memo, Qt::RightButton, {}, memo->EilutesVieta(eilute).center());
    QCOMPARE(aplinka.Skaityti(u"resursai/Draugai.txt"_s), QByteArray("  alice \n"));
    QCOMPARE(pazymeti(), QStringList{});
    QCOMPARE(memo->text(), tekstas);

    // A file that cannot be read is said in a message box, and nothing is marked.
    QVERIFY(QFile::remove(draugai));
    QVERIFY(QDir().mkpath(draugai));
    QTest::mouseClick(memo, Qt::RightButton, {}, memo->EilutesVieta(eilute).center());
    QCOMPARE(aplinka.pranesimai.size(), 1);
    QVERIFY2(aplinka.pranesimai.at(0).contains(u"Draugai.txt"_s), qPrintable(aplinka.pranesimai.at(0)));
    QCOMPARE(pazymeti(), QStringList{});
    QVERIFY(QDir(draugai).removeRecursively());
}

void TstPranesimaiLangai::draugaiIsFailo() {
    // The friends of the file are marked as their names come, bold beside the
    // others; the names themselves stay as the server sent them.
    serveris->NustatytiTurini(Turinys("Steady", {"Bob", "Alice", "alice2"}, 3));
    QVERIFY(Raundas(Adresas(*serveris)));
    const TMemo* antras = Valdiklis<TMemo>("memKomanda2");
    QCOMPARE(antras->Eilutes(), QStringList{u"Alice"_s});
    QVERIFY(antras->ArPazymeta(0));
    QVERIFY(antras->EilutesSriftas(0).bold());
    const TMemo* pirmas = Valdiklis<TMemo>("memKomanda1");
    QCOMPARE(pirmas->Eilutes(), (QStringList{u"Bob"_s, u"alice2"_s}));
    QVERIFY(!pirmas->ArPazymeta(0) && !pirmas->ArPazymeta(1));
    // Without the services the scoreboard marks nothing.
    paslaugos.reset();
    QVERIFY(!antras->ArPazymeta(0));
}

QTEST_MAIN(TstPranesimaiLangai)
#include "tst_pranesimai_langai.moc"
