// The history end to end: the windows as the program makes them, with the
// watching services (StebejimoPaslaugos.h) keeping a real SQLite file in a
// folder of the test's, against the project's test server whose content the
// test changes between rounds. One row per watcher round with its figures (no
// round trip for a timed-out one), the list's and the details window's rounds
// too, the details window's plot following the rounds while it is shown, the
// tray's tool tip following the watcher, and a history that cannot be kept
// said once while the watch goes on.
#include <QDateTime>
#include <QDir>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include <memory>

#include "Apklausa.h"
#include "AtsakymuKurejas.h"
#include "DekloPiktograma.h"
#include "Istorija.h"
#include "IstorijosGrafikas.h"
#include "Modulis2.h"
#include "Modulis_Taisykles.h"
#include "StebejimoPaslaugos.h"
#include "StebetojoAplinka.h"
#include "TestinisServeris.h"
#include "Pagalba.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kLaukimasMs = 10000;

TServerioTurinys Turinys(const QByteArray& vardas, int kiek, const QByteArray& zemelapis = "de_nuke") {
    TServerioTurinys t;
    t.Detales.Info.Pavadinimas = vardas;
    t.Detales.Info.Zemelapis = zemelapis;
    t.Detales.Info.Katalogas = "cstrike";
    t.Detales.Info.Zaidimas = "Counter-Strike";
    t.Detales.MaxZaideju = 16;
    t.Detales.ServerioTipas = 'd';
    t.Detales.OS = 'l';
    t.ZaidejuSkaicius = quint8(kiek);
    for (int i = 0; i < 3; ++i)
        t.Zaidejai.append(KurtiZaidejoInfo(0, "p" + QByteArray::number(i), i, 30.0f));
    t.Taisykles = {{"mp_timelimit", "30"}};
    return t;
}

// The poller of every window's rounds: the hub's.
TApklausa* Apklausa(QObject*) {
    return ProgramosCentras()->Apklausa();
}

// The rows of one server as the file holds them, oldest first, read through
// a connection of the test's own.
QList<TIstorijosEilute> Eilutes(const QString& kelias, const QString& serveris) {
    QList<TIstorijosEilute> eilutes;
    const QString vardas = u"tikrinimas"_s;
    {
        QSqlDatabase b = QSqlDatabase::addDatabase(u"QSQLITE"_s, vardas);
        b.setDatabaseName(kelias);
        if (b.open()) {
            QSqlQuery q(b);
            q.prepare(u"SELECT serveris, laikas, zaidejai, maks_zaideju, pingas, zemelapis FROM raundai "
                      u"WHERE serveris = ? ORDER BY laikas"_s);
            q.addBindValue(serveris);
            if (q.exec()) {
                const auto sk = [&q](int i) -> std::optional<int> {
                    return q.value(i).isNull() ? std::nullopt : std::optional<int>(q.value(i).toInt());
                };
                while (q.next())
                    eilutes.append({q.value(0).toString(), q.value(1).toLongLong(), sk(2), sk(3), sk(4),
                                    q.value(5).isNull() ? QString() : q.value(5).toString()});
            }
        }
        b.close();
    }
    QSqlDatabase::removeDatabase(vardas);
    return eilutes;
}

} // namespace

class TstIstorijaLangai : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void stebetojas();
    void sarasoIrDetaliuRaundai();
    void grafikas();
    void neveikianti_data();
    void neveikianti();

private:
    // The services with the history at `kelias` (empty: none).
    void Paleisti(const QString& kelias);
    // One watcher round to `adresas`, started now and waited for to its end.
    bool Raundas(const QString& adresas);
    // Waits until the history has written everything handed to it.
    bool Irasyta();
    TTestinisServeris* Serveris(const TServerioTurinys& turinys);

    TStebetojoAplinka aplinka;
    std::unique_ptr<TStebejimoPaslaugos> paslaugos;
    std::vector<std::unique_ptr<TTestinisServeris>> serveriai;
    QList<TRaundoSantrauka> stebetojoRaundai;
    QString kelias;
};

void TstIstorijaLangai::initTestCase() {
    QVERIFY(aplinka.Paruosti());
    QVERIFY(aplinka.Paleisti());
    connect(Apklausa(frmPagrindinis()), &TApklausa::RaundasBaigtas, this, [this](const TRaundoSantrauka& r) {
        if (r.Saltinis == TRaundoSantrauka::TSaltinis::Stebetojas)
            stebetojoRaundai.append(r);
    });
    // Rounds are the test's clicks only.
    Valdiklis<TLaikmatis>("tmrAtnaujinimas")->setIntervalas(60000);
}

void TstIstorijaLangai::cleanupTestCase() {
    paslaugos.reset();
    aplinka.Baigti();
}

void TstIstorijaLangai::init() {
    aplinka.pranesimai.clear();
    stebetojoRaundai.clear();
    kelias = aplinka.Kelias(u"duomenys/"_s + QString::fromLatin1(QTest::currentTestFunction()) + u'/' +
                            QString::fromLatin1(QTest::currentDataTag()) + u"/istorija.sqlite"_s);
    QVERIFY(QDir().mkpath(QFileInfo(kelias).path()));
}

void TstIstorijaLangai::cleanup() {
    frmServeriai()->hide();
    frmTaisykles()->hide();
    Valdiklis<QLineEdit>("edtHostas")->clear();
    QTRY_VERIFY_WITH_TIMEOUT(Apklausa(frmPagrindinis())->Vykdomi() + Apklausa(frmPagrindinis())->Eileje() == 0,
                             kLaukimasMs);
    Valdiklis<TLaikmatis>("tmrAtnaujinimas")->setIntervalas(60000);
    Valdiklis<TLaikmatis>("tmrAtnaujinimas")->setEnabled(false);
    aplinka.netikrasLaikrodis = false;
    paslaugos.reset();
    serveriai.clear();
}

void TstIstorijaLangai::Paleisti(const QString& istorijosKelias) {
    TStebejimoPaslaugos::TNustatymai n;
    n.DraugaiKelias = aplinka.Kelias(u"resursai/Draugai.txt"_s);
    n.IstorijosKelias = istorijosKelias;
    n.Magistrale = QDBusConnection(QString()); // no bus: nothing to tell here
    n.ArDeklas = false;
    n.Stebetojas = frmPagrindinis();
    n.Taisykles = frmTaisykles();
    paslaugos = std::make_unique<TStebejimoPaslaugos>(n);
}

bool TstIstorijaLangai::Raundas(const QString& adresas) {
    const qsizetype pries = stebetojoRaundai.size();
    frmPagrindinis()->Stebeti(adresas);
    return QTest::qWaitFor([&] { return stebetojoRaundai.size() > pries; }, kLaukimasMs);
}

bool TstIstorijaLangai::Irasyta() {
    TIstorija* istorija = paslaugos->Istorija();
    if (!istorija)
        return false;
    QSignalSpy atsakymas(istorija, &TIstorija::ParosDuomenys);
    istorija->UzklaustiParos(u"-"_s);
    return QTest::qWaitFor(
        [&] {
            for (const QList<QVariant>& a : std::as_const(atsakymas))
                if (a.at(0).toString() == u"-"_s)
                    return true;
            return false;
        },
        kLaukimasMs);
}

TTestinisServeris* TstIstorijaLangai::Serveris(const TServerioTurinys& turinys) {
    serveriai.push_back(std::make_unique<TTestinisServeris>());
    TTestinisServeris* s = serveriai.back().get();
    if (!s->Paleisti())
        return nullptr;
    s->NustatytiTurini(turinys);
    return s;
}

void TstIstorijaLangai::stebetojas() {
    // Three answered rounds with the content changed between them, then one
    // the server leaves unanswered until the time-out.
    Paleisti(kelias);
    TTestinisServeris* s = Serveris(Turinys("Steady", 5));
    QVERIFY(s);
    const QString adresas = Adresas(*s);
    const qint64 pradzia = QDateTime::currentMSecsSinceEpoch();
    QVERIFY(Raundas(adresas));
    s->NustatytiTurini(Turinys("Steady", 7));
    QVERIFY(Raundas(adresas));
    s->NustatytiTurini(Turinys("Steady", 7, "de_inferno"));
    QVERIFY(Raundas(adresas));
    QCOMPARE(Valdiklis<QLabel>("lblZaidejaiSK")->text(), u"7/16"_s);
    QCOMPARE(paslaugos->Deklas()->Patarimas(),
             DekloPatarimas(u"Steady"_s, 7, 16, stebetojoRaundai.constLast().PingoMs, u"No reply"_s));

    TServerioElgsena e = s->Elgsena();
    e.Budas = TAtsakymuBudas::Tyla;
    s->NustatytiElgsena(e);
    aplinka.netikrasLaikas = DabarMs();
    aplinka.netikrasLaikrodis = true;
    frmPagrindinis()->Stebeti(adresas);
    QTRY_VERIFY_WITH_TIMEOUT(Apklausa(frmPagrindinis())->Vykdomi() == 1, kLaukimasMs);
    aplinka.netikrasLaikas += TApklausa::kLaukimoRibaMs;
    QTRY_COMPARE_WITH_TIMEOUT(stebetojoRaundai.size(), qsizetype(4), kLaukimasMs);
    QTRY_COMPARE_WITH_TIMEOUT(Valdiklis<QLabel>("lblPingas1")->text(), u"No reply"_s, kLaukimasMs);
    aplinka.netikrasLaikrodis = false;
    const qint64 pabaiga = QDateTime::currentMSecsSinceEpoch();
    QCOMPARE(paslaugos->Deklas()->Patarimas(), u"Velmorant\nSteady\nNo reply"_s);

    QVERIFY(Irasyta());
    const QList<TIstorijosEilute> eilutes = Eilutes(kelias, adresas);
    QCOMPARE(eilutes.size(), 4);
    const QList<std::optional<int>> zaidejai{5, 7, 7, std::nullopt};
    const QStringList zemelapiai{u"de_nuke"_s, u"de_nuke"_s, u"de_inferno"_s, QString()};
    for (int i = 0; i < 4; ++i) {
        const TIstorijosEilute& r = eilutes.at(i);
        QCOMPARE(r.Serveris, adresas);
        QCOMPARE(r.LaikasMs, stebetojoRaundai.at(i).LaikasMs);
        QVERIFY(r.LaikasMs >= pradzia && r.LaikasMs <= pabaiga);
        QCOMPARE(r.Zaidejai, zaidejai.at(i));
        QCOMPARE(r.MaxZaideju, i < 3 ? std::optional<int>(16) : std::nullopt);
        QCOMPARE(r.Zemelapis, zemelapiai.at(i));
        // The round trip the scoreboard showed; none for the time-out.
        QCOMPARE(r.PingoMs, stebetojoRaundai.at(i).PingoMs);
        QCOMPARE(r.PingoMs.has_value(), i < 3);
        if (r.PingoMs)
            QVERIFY(*r.PingoMs >= 0 && *r.PingoMs < TApklausa::kLaukimoRibaMs);
    }
    QVERIFY(aplinka.pranesimai.isEmpty());
}

void TstIstorijaLangai::sarasoIrDetaliuRaundai() {
    // The list's walk over two favourites and the details window's round are
    // kept too, each under its server.
    Paleisti(kelias);
    TTestinisServeris* pirmas = Serveris(Turinys("First", 4));
    TTestinisServeris* antras = Serveris(Turinys("Second", 9, "cs_office"));
    QVERIFY(pirmas && antras);
    QVERIFY(aplinka.Rasyti(u"resursai/Serveriai.tyb"_s, "Address\r\n" + Adresas(*pirmas).toLatin1() + "\r\n" +
                                                            Adresas(*antras).toLatin1() + "\r\n"));
    frmServeriai()->show();
    auto* g = frmServeriai()->findChild<TTinklelioVaizdas*>(u"stgServeriai"_s);
    QTRY_VERIFY_WITH_TIMEOUT(g->Langelis(2, 1) == u"First"_s && g->Langelis(2, 2) == u"Second"_s, kLaukimasMs);
    QTRY_VERIFY_WITH_TIMEOUT(frmServeriai()->property("ArPabaiga").toBool(), kLaukimasMs);
    frmServeriai()->hide();

    Valdiklis<QLineEdit>("edtHostas")->setText(Adresas(*pirmas));
    frmTaisykles()->show();
    QTRY_COMPARE_WITH_TIMEOUT(frmTaisykles()->findChild<QLabel*>(u"lblServeris"_s)->text().endsWith(u"First"_s), true,
                              kLaukimasMs);
    QTRY_VERIFY_WITH_TIMEOUT(Apklausa(frmTaisykles())->Vykdomi() == 0, kLaukimasMs);
    frmTaisykles()->hide();
    Valdiklis<TLaikmatis>("tmrAtnaujinimas")->setEnabled(false);
    QVERIFY(stebetojoRaundai.isEmpty());

    QVERIFY(Irasyta());
    const QList<TIstorijosEilute> p = Eilutes(kelias, Adresas(*pirmas));
    const QList<TIstorijosEilute> a = Eilutes(kelias, Adresas(*antras));
    QCOMPARE(p.size(), 2); // the list's round, then the details window's
    QCOMPARE(a.size(), 1);
    for (const TIstorijosEilute& r : p) {
        QCOMPARE(r.Zaidejai, std::optional<int>(4));
        QCOMPARE(r.MaxZaideju, std::optional<int>(16));
        QCOMPARE(r.Zemelapis, u"de_nuke"_s);
        QVERIFY(r.PingoMs.has_value());
    }
    QVERIFY(p.at(0).LaikasMs < p.at(1).LaikasMs);
    QCOMPARE(a.at(0).Zaidejai, std::optional<int>(9));
    QCOMPARE(a.at(0).Zemelapis, u"cs_office"_s);
    QVERIFY(a.at(0).PingoMs.has_value());
    QVERIFY(aplinka.pranesimai.isEmpty());
}

void TstIstorijaLangai::grafikas() {
    // The plot shows the server's day from the history as the window is
    // shown, and takes every round of it while the window stays open.
    Paleisti(kelias);
    TTestinisServeris* s = Serveris(Turinys("Steady", 5));
    QVERIFY(s);
    const QString adresas = Adresas(*s);
    QVERIFY(Raundas(adresas)); // a round of the watcher before the window opens
    auto* grafikas = frmTaisykles()->findChild<TIstorijosGrafikas*>(u"imgIstorija"_s);
    QVERIFY(grafikas);
    QVERIFY(frmTaisykles()->IstorijosServeris() != adresas);

    Valdiklis<TLaikmatis>("tmrAtnaujinimas")->setIntervalas(1000); // the details window repeats at this period
    const qint64 pries = QDateTime::currentMSecsSinceEpoch();
    frmTaisykles()->show();
    QCOMPARE(frmTaisykles()->IstorijosServeris(), adresas);
    QTRY_VERIFY_WITH_TIMEOUT(!grafikas->Taskai().isEmpty(), kLaukimasMs);
    QCOMPARE(grafikas->Taskai().constFirst().LaikasMs, stebetojoRaundai.constFirst().LaikasMs);
    QCOMPARE(grafikas->Taskai().constFirst().Zaidejai, std::optional<int>(5));
    QVERIFY(grafikas->Pabaiga() >= pries);

    // The next rounds of the window, with another count of players: the plot follows.
    s->NustatytiTurini(Turinys("Steady", 11));
    QTRY_VERIFY_WITH_TIMEOUT(grafikas->Taskai().constLast().Zaidejai == std::optional<int>(11), kLaukimasMs);
    const qsizetype dabar = grafikas->Taskai().size();
    QVERIFY(dabar >= 2);
    QCOMPARE(grafikas->Taskai().constLast().MaxZaideju, std::optional<int>(16));
    QVERIFY(grafikas->Taskai().constLast().PingoMs.has_value());
    s->NustatytiTurini(Turinys("Steady", 12));
    QTRY_VERIFY_WITH_TIMEOUT(grafikas->Taskai().constLast().Zaidejai == std::optional<int>(12), kLaukimasMs);
    QVERIFY(grafikas->Taskai().size() > dabar);
    frmTaisykles()->hide();
    Valdiklis<TLaikmatis>("tmrAtnaujinimas")->setEnabled(false);

    // Another server's showing starts empty: its day has no rounds yet.
    TTestinisServeris* kitas = Serveris(Turinys("Other", 1));
    QVERIFY(kitas);
    Valdiklis<TLaikmatis>("tmrAtnaujinimas")->setIntervalas(0);
    Valdiklis<QLineEdit>("edtHostas")->setText(Adresas(*kitas));
    frmTaisykles()->show();
    QVERIFY(grafikas->Taskai().isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(grafikas->Taskai().size(), qsizetype(1), kLaukimasMs);
    QCOMPARE(grafikas->Taskai().constFirst().Zaidejai, std::optional<int>(1));
    QVERIFY(aplinka.pranesimai.isEmpty());
}

void TstIstorijaLangai::neveikianti_data() {
    QTest::addColumn<QByteArray>("turinys"); // what lies at the database's place
    QTest::addColumn<bool>("aplankas");      // a folder lies there instead
    QTest::addColumn<bool>("beIstorijos");   // the services keep no history at all
    QTest::newRow("damaged file") << QByteArray(4096, 'x') << false << false;
    QTest::newRow("a folder in the file's place") << QByteArray() << true << false;
    QTest::newRow("no history kept: nothing said") << QByteArray() << false << true;
}

void TstIstorijaLangai::neveikianti() {
    // A history that cannot be kept is said once, in words; the watch goes on
    // and the plot stays empty.
    QFETCH(QByteArray, turinys);
    QFETCH(bool, aplankas);
    QFETCH(bool, beIstorijos);
    if (aplankas)
        QVERIFY(QDir().mkpath(kelias));
    else if (!turinys.isEmpty())
        QVERIFY(aplinka.Rasyti(QDir(aplinka.Kelias(QString())).relativeFilePath(kelias), turinys));
    Paleisti(beIstorijos ? QString() : kelias);
    TTestinisServeris* s = Serveris(Turinys("Steady", 5));
    QVERIFY(s);
    const QString adresas = Adresas(*s);
    if (!beIstorijos)
        QTRY_COMPARE_WITH_TIMEOUT(aplinka.pranesimai.size(), 1, kLaukimasMs);
    for (int i = 0; i < 3; ++i)
        QVERIFY(Raundas(adresas));
    QCOMPARE(Valdiklis<QLabel>("lblServerioPavadinimas")->text(), u"Steady"_s);
    Valdiklis<TLaikmatis>("tmrAtnaujinimas")->setIntervalas(0);
    frmTaisykles()->show();
    QTRY_VERIFY_WITH_TIMEOUT(Apklausa(frmTaisykles())->Vykdomi() == 0, kLaukimasMs);
    QTRY_COMPARE_WITH_TIMEOUT(frmTaisykles()->findChild<QLabel*>(u"lblServeris"_s)->text().endsWith(u"Steady"_s), true,
                              kLaukimasMs);
    auto* grafikas = frmTaisykles()->findChild<TIstorijosGrafikas*>(u"imgIstorija"_s);
    if (paslaugos->Istorija())
        QVERIFY(Irasyta()); // its answers, empty, are in
    QVERIFY(grafikas->Taskai().isEmpty());
    if (beIstorijos) {
        QVERIFY(aplinka.pranesimai.isEmpty());
        return;
    }
    QCOMPARE(aplinka.pranesimai.size(), 1);
    QVERIFY2(aplinka.pranesimai.at(0).startsWith(u"The history is not kept: "_s), qPrintable(aplinka.pranesimai.at(0)));
    QVERIFY(aplinka.pranesimai.at(0).size() > int(qstrlen("The history is not kept: ")));
    QVERIFY(!paslaugos->Istorija()->ArVeikia());
    if (!aplankas)
        QCOMPARE(aplinka.Skaityti(QDir(aplinka.Kelias(QString())).relativeFilePath(kelias)), turinys); // left as it was
}

QTEST_MAIN(TstIstorijaLangai)
#include "tst_istorija_langai.moc"
