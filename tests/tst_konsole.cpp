// The remote console's protocol: the request datagrams and their 512-byte
// limit, the challenge and output readers, the joining of output datagrams,
// the ban guard and its file, and the exchange with the test server over
// loopback on a clock the test moves; the Quake form's fallback.
#include <optional>

#include <QDateTime>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "AtminiesSrautas.h"
#include "Biudzetas.h"
#include "Datagramos.h"
#include "Konsole.h"
#include "NMUDP.h"
#include "RankinisServeris.h"
#include "TestinisServeris.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kLaukimas = 5000;
constexpr char kSlaptazodis[] = "sl4ptas";

QByteArray D(const QByteArray& kunas) {
    return QByteArray(4, '\xFF') + kunas;
}

// The requests the server got, by their word ("challenge rcon" or "rcon").
QStringList Zodziai(const TTestinisServeris& s) {
    QStringList z;
    for (const TGautaUzklausa& u : s.Uzklausos())
        z.append(QString::fromLatin1(u.Zodis.startsWith("rcon ") ? QByteArray("rcon") : u.Zodis.trimmed()));
    return z;
}

} // namespace

class TstKonsole : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void uzklausos();
    void ilgioRiba_data();
    void ilgioRiba();
    void issukioSkaitymas_data();
    void issukioSkaitymas();
    void tekstas_data();
    void tekstas();
    void atpazinimas_data();
    void atpazinimas();
    void surinkejasTyla();
    void surinkejasRiba_data();
    void surinkejasRiba();
    void sargas();
    void sargoFailas();

    void blogasIssukis();
    void issukisAtmestasDukart();
    void klastote_data();
    void klastote();
    void sargoFailasNeirasomas();
    void blogasSlaptazodis();
    void astuoniBandymai_data();
    void astuoniBandymai();
    void netinkami_data();
    void netinkami();
    void neatsako_data();
    void neatsako();
    void svetimasSiuntejas();
    void trumpasAdresas();
    void uzimta();
    void uzdrausta();
    void biudzetas();

private:
    // Sends one command and waits until the server has answered it and the
    // console has taken every output datagram; true when it got that far.
    bool Siusti(const QString& komanda, const QString& slaptazodis = QString::fromLatin1(kSlaptazodis));
    // Moves the clock on and lets the console see it.
    void Palaukti(qint64 ms);

    std::optional<TTestinisServeris> serveris;
    std::optional<TNMUDP> udp;
    std::optional<TKonsoliuRegistras> registras;
    TServeriuRegistras serveriai;
    TUzklausuBiudzetas savasBiudzetas;
    std::optional<TKonsole> konsole;
    qint64 laikas = 0;
};

void TstKonsole::init() {
    laikas = 100000;
    serveris.emplace();
    serveris->Konsole().NustatytiSlaptazodi(kSlaptazodis);
    QVERIFY2(serveris->Paleisti(), qPrintable(serveris->Klaida()));
    udp.emplace();
    registras.emplace();
    savasBiudzetas.Isvalyti();
    serveriai.Isvalyti();
    konsole.emplace(&*udp, *registras, serveriai, savasBiudzetas, [this] { return laikas; });
    udp->OnDataReceived = [this](QObject*, int, const QString& is, int portas) {
        TAtminiesSrautas srautas;
        udp->CopyReceivedToStream(srautas);
        konsole->Gauta(srautas.Duomenys(), is, portas);
    };
    konsole->NustatytiServeri({u"127.0.0.1"_s, serveris->Prievadas()});
    QCOMPARE(konsole->Serveris(), u"127.0.0.1:"_s + QString::number(serveris->Prievadas()));
}

void TstKonsole::cleanup() {
    konsole.reset();
    udp.reset();
    registras.reset();
    serveris.reset();
}

bool TstKonsole::Siusti(const QString& komanda, const QString& slaptazodis) {
    if (konsole->Vykdyti(komanda, slaptazodis).Rezultatas != TKonsolesRezultatas::Siunciama)
        return false;
    return QTest::qWaitFor([this] { return !konsole->ArUzimta() || konsole->IsvestiesDatagramos() > 0; }, kLaukimas);
}

void TstKonsole::Palaukti(qint64 ms) {
    laikas += ms;
    konsole->Tikrinti();
}

// ---- The datagrams ----

void TstKonsole::uzklausos() {
    QCOMPARE(KonsolesIssukioUzklausa(), D("challenge rcon\n"));
    QCOMPARE(KonsolesKomandosUzklausa(123456, "pa ss", "kick \"x\""), D("rcon 123456 \"pa ss\" kick \"x\"\n"));
    // Measured with the longest challenge, the size is the real one.
    const QByteArray d = KonsolesKomandosUzklausa(4294967295u, "abc", "status");
    QCOMPARE(d.size(), KonsolesUzklausosDydis(3, 6));
}

void TstKonsole::ilgioRiba_data() {
    QTest::addColumn<int>("slaptazodis");
    QTest::addColumn<int>("komanda");
    QTest::addColumn<bool>("telpa");
    const int didziausia = DidziausiaKomanda(8);
    QTest::newRow("the longest command that fits") << 8 << didziausia << true;
    QTest::newRow("one byte more") << 8 << didziausia + 1 << false;
    QTest::newRow("600 bytes") << 8 << 600 << false;
}

void TstKonsole::ilgioRiba() {
    QFETCH(int, slaptazodis);
    QFETCH(int, komanda);
    QFETCH(bool, telpa);
    const QByteArray d = KonsolesKomandosUzklausa(4294967295u, QByteArray(slaptazodis, 'p'), QByteArray(komanda, 'k'));
    QCOMPARE(d.size() < kKonsolesUzklausosRiba, telpa);
    const TKonsolesVeiksmas v = konsole->Vykdyti(QString(komanda, u'k'), QString(slaptazodis, u'p'));
    QCOMPARE(v.Rezultatas == TKonsolesRezultatas::PerIlga, !telpa);
    if (!telpa)
        QCOMPARE(v.DidziausiaKomanda, DidziausiaKomanda(slaptazodis));
}

void TstKonsole::issukioSkaitymas_data() {
    QTest::addColumn<QByteArray>("datagrama");
    QTest::addColumn<std::optional<quint32>>("issukis");
    QTest::newRow("as the engine sends it")
        << D("challenge rcon 3616718567\n") + '\0' << std::optional<quint32>(3616718567u);
    QTest::newRow("without line feed or NUL") << D("challenge rcon 7") << std::optional<quint32>(7);
    QTest::newRow("largest") << D("challenge rcon 4294967295\n") << std::optional<quint32>(4294967295u);
    QTest::newRow("beyond 32 bits") << D("challenge rcon 4294967296\n") << std::optional<quint32>();
    QTest::newRow("no number") << D("challenge rcon \n") << std::optional<quint32>();
    QTest::newRow("negative") << D("challenge rcon -5\n") << std::optional<quint32>();
    QTest::newRow("text after the number") << D("challenge rcon 12abc\n") << std::optional<quint32>();
    QTest::newRow("no blank") << D("challenge rcon12\n") << std::optional<quint32>();
    QTest::newRow("short header") << QByteArray("\xFF\xFF\xFF"
                                                "challenge rcon 12")
                                  << std::optional<quint32>();
    QTest::newRow("an output") << D("lchallenge rcon 12\n") << std::optional<quint32>();
}

void TstKonsole::issukioSkaitymas() {
    QFETCH(QByteArray, datagrama);
    QTEST(SkaitytiKonsolesIssuki(datagrama), "issukis");
}

void TstKonsole::tekstas_data() {
    QTest::addColumn<QByteArray>("datagrama");
    QTest::addColumn<std::optional<QByteArray>>("tekstas");
    QTest::newRow("output") << D("lhello\n") + '\0' << std::optional<QByteArray>("hello\n");
    QTest::newRow("up to the NUL") << D("lab") + '\0' + "cd" << std::optional<QByteArray>("ab");
    QTest::newRow("no NUL") << D("lab") << std::optional<QByteArray>("ab");
    QTest::newRow("empty") << D("l") << std::optional<QByteArray>("");
    // Xash3D's lines of "status", as recorded: the first and the empty last one.
    QTest::newRow("a Quake line") << Fiksacija(u"xash-print-1.bin"_s) << std::optional<QByteArray>("map: box\n");
    QTest::newRow("an empty Quake line") << Fiksacija(u"xash-print-9.bin"_s) << std::optional<QByteArray>("");
    QTest::newRow("another letter") << D("mab") << std::optional<QByteArray>();
    QTest::newRow("a fragment") << QByteArray("\xFE\xFF\xFF\xFFl", 5) << std::optional<QByteArray>();
}

void TstKonsole::tekstas() {
    QFETCH(QByteArray, datagrama);
    if (datagrama.isEmpty())
        QSKIP("the recorded datagrams are not there");
    QFETCH(std::optional<QByteArray>, tekstas);
    const std::optional<QByteArrayView> t = KonsolesTekstas(datagrama);
    QCOMPARE(t.has_value(), tekstas.has_value());
    if (t)
        QCOMPARE(t->toByteArray(), *tekstas);
}

void TstKonsole::atpazinimas_data() {
    QTest::addColumn<QByteArray>("tekstas");
    QTest::addColumn<TKonsolesAtsakas>("atsakas");
    QTest::newRow("wrong password") << QByteArray("Bad rcon_password.\n") << TKonsolesAtsakas::BlogasSlaptazodis;
    QTest::newRow("no password set") << QByteArray("Bad rcon_password.\nNo password set for this server.\n")
                                     << TKonsolesAtsakas::BlogasSlaptazodis;
    QTest::newRow("bad challenge") << QByteArray("Bad challenge.\n") << TKonsolesAtsakas::BlogasIssukis;
    QTest::newRow("banned") << QByteArray("You have been banned from this server.\n") << TKonsolesAtsakas::Uzdrausta;
    QTest::newRow("output") << QByteArray("hostname: x\n") << TKonsolesAtsakas::Isvestis;
    QTest::newRow("refusal inside the output") << QByteArray("x Bad challenge.\n") << TKonsolesAtsakas::Isvestis;
}

void TstKonsole::atpazinimas() {
    QFETCH(QByteArray, tekstas);
    QTEST(AtpazintiAtsakyma(tekstas), "atsakas");
}

// ---- Joining ----

void TstKonsole::surinkejasTyla() {
    TIsvestiesSurinkejas s(1000, 300);
    s.Pradeti();
    QVERIFY(!s.Terminas());
    QVERIFY(!s.ArBaigta(1000000));
    QVERIFY(s.Prideti("a\n", 0));
    QVERIFY(s.Prideti("b", 250));
    // The quiet time runs from the last datagram.
    QCOMPARE(s.Terminas(), std::optional<qint64>(550));
    QVERIFY(!s.ArBaigta(549));
    QVERIFY(s.Prideti("c\n", 549));
    QVERIFY(!s.ArBaigta(848));
    QVERIFY(s.ArBaigta(849));
    QCOMPARE(s.Isvestis(), QByteArray("a\nbc\n"));
    QCOMPARE(s.Datagramos(), 3);
    QVERIFY(!s.ArNukirsta());
    s.Pradeti();
    QCOMPARE(s.Isvestis(), QByteArray());
    QCOMPARE(s.Datagramos(), 0);
    // Datagrams that keep coming end it at the time limit after the first.
    TIsvestiesSurinkejas begalinis(1000, 300, 1000);
    for (qint64 t = 0; t < 1000; t += 200)
        QVERIFY(begalinis.Prideti("x", t));
    QCOMPARE(begalinis.Terminas(), std::optional<qint64>(1000));
}

void TstKonsole::surinkejasRiba_data() {
    QTest::addColumn<QList<QByteArray>>("tekstai");
    QTest::addColumn<QByteArray>("isvestis");
    QTest::addColumn<bool>("nukirsta");
    QTest::newRow("exactly the limit") << QList<QByteArray>{"0123\n", "5678\n"} << QByteArray("0123\n5678\n") << false;
    QTest::newRow("past the limit: back to the line end")
        << QList<QByteArray>{"0123\n", "56789\n"} << QByteArray("0123\n") << true;
    QTest::newRow("past the limit in one line")
        << QList<QByteArray>{"0123456789abc"} << QByteArray("0123456789") << true;
    QTest::newRow("nothing after the cut")
        << QList<QByteArray>{"0123\n", "5678\nxx", "more\n"} << QByteArray("0123\n5678\n") << true;
}

void TstKonsole::surinkejasRiba() {
    QFETCH(QList<QByteArray>, tekstai);
    TIsvestiesSurinkejas s(10, 300);
    s.Pradeti();
    bool toliau = true;
    for (const QByteArray& t : tekstai)
        toliau = s.Prideti(t, 0);
    QTEST(s.Isvestis(), "isvestis");
    QTEST(s.ArNukirsta(), "nukirsta");
    QCOMPARE(toliau, !s.ArNukirsta());
    // A cut output is whole at once.
    QCOMPARE(s.ArBaigta(0), s.ArNukirsta());
}

// ---- The guard ----

void TstKonsole::sargas() {
    TKonsolesSargas s;
    QCOMPARE(s.Laukti(0), 0);
    const quint64 a = s.Pradeti(1000);
    s.Pradeti(2000);
    QCOMPARE(s.Laukti(2000), 0);
    const quint64 c = s.Pradeti(5000);
    // Three within the minute: the next may go once the oldest is 60 s old.
    QCOMPARE(s.Skaicius(5000), 3);
    QCOMPARE(s.Laukti(5000), 56000);
    QCOMPARE(s.Laukti(60999), 1);
    QCOMPARE(s.Laukti(61000), 0);
    // An attempt the server took does not count.
    s.Neskaiciuoti(c);
    QCOMPARE(s.Laukti(5000), 0);
    s.Pradeti(6000);
    s.Pradeti(7000);
    QCOMPARE(s.Skaicius(7000), 4);
    // With four, the second oldest must age out.
    QCOMPARE(s.Laukti(7000), 2000 + 60000 - 7000);
    s.Neskaiciuoti(a);
    QCOMPARE(s.Laukti(7000), 2000 + 60000 - 7000);
    s.Isvalyti(62000);
    QCOMPARE(s.Laikai(), (QList<qint64>{6000, 7000}));
}

void TstKonsole::sargoFailas() {
    TKonsoliuRegistras r;
    r.Sargas(u"10.0.0.1:27015"_s).Pradeti(1000);
    r.Sargas(u"10.0.0.1:27015"_s).Pradeti(50000);
    r.Sargas(u"10.0.0.2:27016"_s).Pradeti(30000);
    r.NustatytiIssuki(u"10.0.0.1:27015"_s, 77u);
    // At 61000 on the program's clock, 1 700 000 000 000 on the wall clock:
    // the one from 1000 has aged out.
    const QByteArray irasas = r.Irasas(61000, 1700000000000);
    QCOMPARE(irasas, QByteArray("10.0.0.1:27015 1699999989000\n10.0.0.2:27016 1699999969000\n"));
    // Passwords and challenges stay out of it.
    QVERIFY(!irasas.contains("77"));
    // Read by a later run, whose clock started elsewhere, ten seconds later.
    TKonsoliuRegistras kitas;
    kitas.Ikelti(QByteArray(irasas + "broken line\n10.0.0.3:1 x\n"), 5000, 1700000010000);
    QCOMPARE(kitas.Sargas(u"10.0.0.1:27015"_s).Laikai(), QList<qint64>{5000 - 21000});
    QCOMPARE(kitas.Sargas(u"10.0.0.2:27016"_s).Laikai(), QList<qint64>{5000 - 41000});
    QCOMPARE(kitas.Sargas(u"10.0.0.3:1"_s).Laikai(), QList<qint64>{});
    QCOMPARE(kitas.Issukis(u"10.0.0.1:27015"_s), std::optional<quint32>());
    // A time ahead of the wall clock counts from now.
    TKonsoliuRegistras ateitis;
    ateitis.Ikelti("10.0.0.1:27015 1700000099000\n", 5000, 1700000000000);
    QCOMPARE(ateitis.Sargas(u"10.0.0.1:27015"_s).Laikai(), QList<qint64>{5000});

    // Through a file: what one run wrote, the next reads; a file where an
    // earlier version kept it is read once and goes.
    QTemporaryDir aplankas;
    QVERIFY(aplankas.isValid());
    const QString kelias = aplankas.filePath(u"cache/konsole"_s);
    TKonsoliuRegistras rasantis;
    rasantis.NustatytiFaila(kelias, 1000);
    rasantis.Sargas(u"10.0.0.1:27015"_s).Pradeti(1000);
    rasantis.Sargas(u"10.0.0.1:27015"_s).Pradeti(2000);
    rasantis.Sargas(u"10.0.0.1:27015"_s).Pradeti(3000);
    QVERIFY(rasantis.Issaugoti(3000));
    TKonsoliuRegistras skaitantis;
    skaitantis.NustatytiFaila(kelias, 500);
    QCOMPARE(skaitantis.Sargas(u"10.0.0.1:27015"_s).Skaicius(500), 3);
    // The wall clock moved on between the two by a few ms at most.
    QVERIFY(skaitantis.Sargas(u"10.0.0.1:27015"_s).Laukti(500) > 55000);
    TKonsoliuRegistras perkeltas;
    perkeltas.NustatytiFaila(aplankas.filePath(u"state/konsole"_s), 500, kelias);
    QCOMPARE(perkeltas.Sargas(u"10.0.0.1:27015"_s).Skaicius(500), 3);
    QVERIFY(!QFile::exists(kelias));
    QVERIFY(QFile::exists(perkeltas.Failas()));
}

// ---- The exchange with the test server ----

void TstKonsole::blogasIssukis() {
    QSignalSpy isvestis(&*konsole, &TKonsole::Isvestis);
    QSignalSpy priimtas(&*konsole, &TKonsole::SlaptazodisPriimtas);
    QVERIFY(Siusti(u"echo first"_s));
    Palaukti(kKonsolesTylaMs);
    QCOMPARE(isvestis.size(), 1);
    // The server forgets the challenge: "Bad challenge.", one new challenge, the command again.
    serveris->Konsole().PakeistiIssukius();
    serveris->IsvalytiSkaitiklius();
    QCOMPARE(konsole->Vykdyti(u"echo second"_s, QString::fromLatin1(kSlaptazodis)).Rezultatas,
             TKonsolesRezultatas::Siunciama);
    QTRY_COMPARE(konsole->IsvestiesDatagramos(), 1);
    Palaukti(kKonsolesTylaMs);
    QCOMPARE(isvestis.size(), 2);
    QCOMPARE(isvestis.last().at(0).toByteArray(), QByteArray("second\n"));
    QCOMPARE(Zodziai(*serveris), (QStringList{u"rcon"_s, u"challenge rcon"_s, u"rcon"_s}));
    QCOMPARE(serveris->Konsole().Nesekmes(QHostAddress(QHostAddress::LocalHost)), 0);
    // The attempt refused for its challenge stays counted: the text may be someone else's.
    QCOMPARE(registras->Sargas(konsole->Serveris()).Skaicius(laikas), 1);
    // The password was taken twice, and told once.
    QCOMPARE(priimtas.size(), 1);
}

void TstKonsole::klastote_data() {
    QTest::addColumn<QList<QByteArray>>("zingsniai"); // what answers the command; "+N": the clock moves N ms on
    QTest::addColumn<QList<int>>("signalai");         // outputs, passwords taken, passwords refused
    QTest::addColumn<int>("bandymai");                // attempts the guard counts
    QTest::newRow("empty datagrams do not hold an output open")
        << QList<QByteArray>{"lout\n", "+200", "l", "+100"} << QList<int>{1, 1, 0} << 0;
    QTest::newRow("an output forged before the refusal")
        << QList<QByteArray>{"lforged\n", "lBad rcon_password.\n"} << QList<int>{0, 0, 1} << 1;
}

void TstKonsole::klastote() {
    // Someone answers in the server's name as well as the server.
    QFETCH(QList<QByteArray>, zingsniai);
    QFETCH(QList<int>, signalai);
    TRankinisServeris rankinis;
    QVERIFY(rankinis.Paleisti());
    QObject::connect(&rankinis.lizdas, &QUdpSocket::readyRead, &rankinis.lizdas, [&rankinis] {
        if (rankinis.gauta.last().data().startsWith(D("challenge")))
            rankinis.Siusti(D("challenge rcon 42\n") + '\0');
    });
    konsole->NustatytiServeri({u"127.0.0.1"_s, rankinis.lizdas.localPort()});
    QSignalSpy isvestis(&*konsole, &TKonsole::Isvestis);
    QSignalSpy priimtas(&*konsole, &TKonsole::SlaptazodisPriimtas);
    QSignalSpy atmestas(&*konsole, &TKonsole::SlaptazodisAtmestas);
    QCOMPARE(konsole->Vykdyti(u"status"_s, QString::fromLatin1(kSlaptazodis)).Rezultatas,
             TKonsolesRezultatas::Siunciama);
    QTRY_COMPARE(rankinis.gauta.size(), 2);
    for (const QByteArray& z : zingsniai) {
        if (z.startsWith('+')) {
            Palaukti(z.mid(1).toLongLong());
            continue;
        }
        const quint64 pries = udp->PristatomasNumeris() + udp->Atmesta();
        rankinis.Siusti(D(z) + '\0');
        QTRY_COMPARE(udp->PristatomasNumeris() + udp->Atmesta(), pries + 1);
    }
    QCOMPARE((QList<int>{int(isvestis.size()), int(priimtas.size()), int(atmestas.size())}), signalai);
    QTEST(registras->Sargas(konsole->Serveris()).Skaicius(laikas), "bandymai");
}

void TstKonsole::sargoFailasNeirasomas() {
    // A guard whose file cannot be written says so once, however many attempts follow.
    registras->NustatytiFaila(u"/dev/null/konsole"_s, laikas);
    QSignalSpy neissaugotas(&*konsole, &TKonsole::SargasNeissaugotas);
    QVERIFY(Siusti(u"echo 1"_s));
    Palaukti(kKonsolesTylaMs);
    QVERIFY(Siusti(u"echo 2"_s));
    QCOMPARE(neissaugotas.size(), 1);
}

void TstKonsole::issukisAtmestasDukart() {
    // A server that says "Bad challenge." to everything: one new challenge, then the command is given up.
    TRankinisServeris rankinis;
    QVERIFY(rankinis.Paleisti());
    QObject::connect(&rankinis.lizdas, &QUdpSocket::readyRead, &rankinis.lizdas, [&rankinis] {
        const QByteArray d = rankinis.gauta.last().data();
        rankinis.Siusti(d.startsWith(D("challenge")) ? D("challenge rcon 42\n") + '\0' : D("lBad challenge.\n") + '\0');
    });
    konsole->NustatytiServeri({u"127.0.0.1"_s, rankinis.lizdas.localPort()});
    QSignalSpy atmestas(&*konsole, &TKonsole::IssukisAtmestas);
    QCOMPARE(konsole->Vykdyti(u"status"_s, QString::fromLatin1(kSlaptazodis)).Rezultatas,
             TKonsolesRezultatas::Siunciama);
    QVERIFY(atmestas.wait(kLaukimas));
    QCOMPARE(rankinis.gauta.size(), 4);
    QVERIFY(rankinis.gauta.at(0).data().startsWith(D("challenge rcon")));
    QVERIFY(rankinis.gauta.at(1).data().startsWith(D("rcon 42 ")));
    QVERIFY(rankinis.gauta.at(2).data().startsWith(D("challenge rcon")));
    QVERIFY(rankinis.gauta.at(3).data().startsWith(D("rcon 42 ")));
    QVERIFY(!konsole->ArUzimta());
    // Nothing more goes on its own.
    Palaukti(kKonsolesLaukimasMs * 2);
    QCoreApplication::processEvents();
    QCOMPARE(rankinis.gauta.size(), 4);
}

void TstKonsole::blogasSlaptazodis() {
    QSignalSpy atmestas(&*konsole, &TKonsole::SlaptazodisAtmestas);
    QCOMPARE(konsole->Vykdyti(u"status"_s, u"wrong"_s).Rezultatas, TKonsolesRezultatas::Siunciama);
    QVERIFY(atmestas.wait(kLaukimas));
    QCOMPARE(atmestas.first().first().toByteArray(), QByteArray("Bad rcon_password.\n"));
    QVERIFY(!konsole->ArUzimta());
    QCOMPARE(registras->Sargas(konsole->Serveris()).Skaicius(laikas), 1);
    // The refused password is not sent again until it is typed anew.
    QCOMPARE(konsole->Vykdyti(u"status"_s, u"wrong"_s).Rezultatas, TKonsolesRezultatas::Atmestas);
    QCOMPARE(konsole->Vykdyti(u"echo"_s, u"wrong"_s).Rezultatas, TKonsolesRezultatas::Atmestas);
    QCOMPARE(Zodziai(*serveris), (QStringList{u"challenge rcon"_s, u"rcon"_s}));
    konsole->SlaptazodisPakeistas();
    QVERIFY(Siusti(u"echo"_s));
    QCOMPARE(Zodziai(*serveris), (QStringList{u"challenge rcon"_s, u"rcon"_s, u"rcon"_s}));
}

void TstKonsole::astuoniBandymai_data() {
    QTest::addColumn<bool>("perrasoma");
    QTest::addColumn<int>("pasiekia");
    QTest::newRow("the same wrong password eight times") << false << 1;
    QTest::newRow("a wrong password typed anew eight times") << true << 3;
}

void TstKonsole::astuoniBandymai() {
    QFETCH(bool, perrasoma);
    QFETCH(int, pasiekia);
    QList<TKonsolesRezultatas> rezultatai;
    for (int i = 0; i < 8; ++i) {
        if (perrasoma)
            konsole->SlaptazodisPakeistas();
        QSignalSpy atmestas(&*konsole, &TKonsole::SlaptazodisAtmestas);
        const TKonsolesVeiksmas v = konsole->Vykdyti(u"status"_s, u"wrong"_s);
        rezultatai.append(v.Rezultatas);
        if (v.Rezultatas == TKonsolesRezultatas::Siunciama)
            QVERIFY(atmestas.wait(kLaukimas));
        // The first attempt went at the start: the guard waits for it to age out.
        if (v.Rezultatas == TKonsolesRezultatas::Saugoma)
            QCOMPARE(v.LauktiMs, TKonsolesSargas::kLangasMs - i * 1000);
        laikas += 1000;
    }
    const QStringList zodziai = Zodziai(*serveris);
    QCOMPARE(zodziai.count(u"rcon"_s), pasiekia);
    QCOMPARE(rezultatai.count(TKonsolesRezultatas::Siunciama), pasiekia);
    QVERIFY(!serveris->Konsole().ArUzdraustas(QHostAddress(QHostAddress::LocalHost)));
    // The server still answers this address, and once the minute is over the
    // right password goes through.
    laikas += TKonsolesSargas::kLangasMs;
    konsole->SlaptazodisPakeistas();
    QSignalSpy isvestis(&*konsole, &TKonsole::Isvestis);
    QVERIFY(Siusti(u"echo still here"_s));
    Palaukti(kKonsolesTylaMs);
    QCOMPARE(isvestis.size(), 1);
    QCOMPARE(isvestis.first().first().toByteArray(), QByteArray("still here\n"));
}

void TstKonsole::netinkami_data() {
    QTest::addColumn<QString>("hostas");
    QTest::addColumn<QString>("komanda");
    QTest::addColumn<QString>("slaptazodis");
    QTest::addColumn<TKonsolesRezultatas>("rezultatas");
    QTest::newRow("empty command") << u"127.0.0.1"_s << u"  "_s << u"x"_s << TKonsolesRezultatas::Tuscia;
    QTest::newRow("no server") << QString() << u"status"_s << u"x"_s << TKonsolesRezultatas::BeServerio;
    QTest::newRow("no password") << u"127.0.0.1"_s << u"status"_s << QString() << TKonsolesRezultatas::BeSlaptazodzio;
    QTest::newRow("quote in the password")
        << u"127.0.0.1"_s << u"status"_s << u"a\"b"_s << TKonsolesRezultatas::NetinkamasSlaptazodis;
    QTest::newRow("line feed in the password")
        << u"127.0.0.1"_s << u"status"_s << u"a\nb"_s << TKonsolesRezultatas::NetinkamasSlaptazodis;
    QTest::newRow("line feed in the command")
        << u"127.0.0.1"_s << u"say a\nquit"_s << u"x"_s << TKonsolesRezultatas::NetinkamaKomanda;
}

void TstKonsole::netinkami() {
    QFETCH(QString, hostas);
    QFETCH(QString, komanda);
    QFETCH(QString, slaptazodis);
    konsole->NustatytiServeri({hostas, serveris->Prievadas()});
    QTEST(konsole->Vykdyti(komanda, slaptazodis).Rezultatas, "rezultatas");
    QVERIFY(!konsole->ArUzimta());
    QCOMPARE(udp->PaskutinisPortas(), quint16(0));
}

void TstKonsole::neatsako_data() {
    QTest::addColumn<bool>("issukisAtsakomas");
    QTest::addColumn<TKonsolesForma>("forma"); // what is known of the server
    QTest::addColumn<int>("siunciama");        // datagrams the server gets
    QTest::addColumn<int>("skaiciuojama");
    QTest::addColumn<bool>("quake");
    // The challenge unanswered for the retry time: the command in the Quake
    // form, whose wrong password gets no answer; the attempt counts.
    QTest::newRow("a silent server") << false << TKonsolesForma::Nezinoma << 2 << 1 << true;
    // No password in the Quake form to a server that answered the challenge.
    QTest::newRow("a server known to answer the challenge") << false << TKonsolesForma::GoldSrc << 1 << 0 << false;
    QTest::newRow("a server of the Quake form: straight") << false << TKonsolesForma::Quake << 1 << 1 << true;
    // The command went and nothing came back: the server may have counted it.
    QTest::newRow("the command unanswered") << true << TKonsolesForma::Nezinoma << 2 << 1 << false;
}

void TstKonsole::neatsako() {
    QFETCH(bool, issukisAtsakomas);
    QFETCH(TKonsolesForma, forma);
    QFETCH(int, siunciama);
    QFETCH(bool, quake);
    TRankinisServeris rankinis;
    QVERIFY(rankinis.Paleisti());
    QObject::connect(&rankinis.lizdas, &QUdpSocket::readyRead, &rankinis.lizdas, [&] {
        if (issukisAtsakomas && rankinis.gauta.last().data().startsWith(D("challenge")))
            rankinis.Siusti(D("challenge rcon 42\n") + '\0');
    });
    const TServerioAdresas adresas{u"127.0.0.1"_s, rankinis.lizdas.localPort()};
    TServerioZinios z;
    z.KonsolesForma = forma;
    serveriai.Nustatyti(adresas.Tekstas(), z);
    konsole->NustatytiServeri(adresas);
    QSignalSpy neatsako(&*konsole, &TKonsole::Neatsako);
    QCOMPARE(konsole->Vykdyti(u"status"_s, QString::fromLatin1(kSlaptazodis)).Rezultatas,
             TKonsolesRezultatas::Siunciama);
    QTRY_COMPARE(rankinis.gauta.size(), issukisAtsakomas ? 2 : 1);
    Palaukti(KartojimoTarpas(z) - 1);
    QCOMPARE(rankinis.gauta.size(), issukisAtsakomas ? 2 : 1);
    Palaukti(1);
    QTRY_COMPARE(rankinis.gauta.size(), siunciama);
    Palaukti(*konsole->Terminas() - laikas - 1);
    QCOMPARE(neatsako.size(), 0);
    Palaukti(1);
    QCOMPARE(neatsako.size(), 1);
    QCOMPARE(neatsako.first().first().toBool(), quake);
    QVERIFY(!konsole->ArUzimta());
    QTEST(registras->Sargas(konsole->Serveris()).Skaicius(laikas), "skaiciuojama");
}

void TstKonsole::svetimasSiuntejas() {
    // Replies from another port of the server's address are not the server's.
    TServerioElgsena e;
    e.AtsakytiIsKitoPrievado = true;
    serveris->NustatytiElgsena(e);
    QSignalSpy issiusta(&*serveris, &TTestinisServeris::AtsakymasIssiustas);
    QSignalSpy neatsako(&*konsole, &TKonsole::Neatsako);
    QCOMPARE(konsole->Vykdyti(u"status"_s, QString::fromLatin1(kSlaptazodis)).Rezultatas,
             TKonsolesRezultatas::Siunciama);
    QVERIFY(issiusta.wait(kLaukimas));
    // The answer was dropped as the endpoint read it, before the clock moves on.
    QTRY_COMPARE(udp->Atmesta(), quint64(1));
    QVERIFY(konsole->ArUzimta());
    // The Quake form after the retry time, its answer dropped too.
    Palaukti(KartojimoTarpas({}));
    Palaukti(kKonsolesLaukimasMs);
    QCOMPARE(neatsako.size(), 1);
    QTRY_COMPARE(Zodziai(*serveris), (QStringList{u"challenge rcon"_s, u"rcon"_s}));
}

void TstKonsole::trumpasAdresas() {
    // An address in a short form reaches the same server, and its replies are taken.
    konsole->NustatytiServeri({u"127.1"_s, serveris->Prievadas()});
    QCOMPARE(konsole->Serveris(), u"127.0.0.1:"_s + QString::number(serveris->Prievadas()));
    QSignalSpy isvestis(&*konsole, &TKonsole::Isvestis);
    QVERIFY(Siusti(u"echo short"_s));
    Palaukti(kKonsolesTylaMs);
    QCOMPARE(isvestis.size(), 1);
}

void TstKonsole::uzimta() {
    QCOMPARE(konsole->Vykdyti(u"status"_s, QString::fromLatin1(kSlaptazodis)).Rezultatas,
             TKonsolesRezultatas::Siunciama);
    QVERIFY(konsole->ArUzimta());
    QCOMPARE(konsole->Vykdyti(u"status"_s, QString::fromLatin1(kSlaptazodis)).Rezultatas, TKonsolesRezultatas::Uzimta);
    QTRY_COMPARE(konsole->IsvestiesDatagramos(), 1);
    QCOMPARE(konsole->Vykdyti(u"status"_s, QString::fromLatin1(kSlaptazodis)).Rezultatas, TKonsolesRezultatas::Uzimta);
    Palaukti(kKonsolesTylaMs);
    QCOMPARE(Zodziai(*serveris), (QStringList{u"challenge rcon"_s, u"rcon"_s}));
}

void TstKonsole::uzdrausta() {
    // An address the server has banned: the ban notice answers the challenge request.
    for (int i = 0; i < 5; ++i) {
        // A registry of its own each time: the guard would stop this.
        registras.emplace();
        konsole.emplace(&*udp, *registras, serveriai, savasBiudzetas, [this] { return laikas; });
        konsole->NustatytiServeri({u"127.0.0.1"_s, serveris->Prievadas()});
        QSignalSpy atmestasNaujo(&*konsole, &TKonsole::SlaptazodisAtmestas);
        QCOMPARE(konsole->Vykdyti(u"status"_s, u"wrong"_s).Rezultatas, TKonsolesRezultatas::Siunciama);
        QVERIFY(atmestasNaujo.wait(kLaukimas));
    }
    QVERIFY(serveris->Konsole().ArUzdraustas(QHostAddress(QHostAddress::LocalHost)));
    registras.emplace();
    konsole.emplace(&*udp, *registras, serveriai, savasBiudzetas, [this] { return laikas; });
    konsole->NustatytiServeri({u"127.0.0.1"_s, serveris->Prievadas()});
    QSignalSpy uzdrausta(&*konsole, &TKonsole::Uzdrausta);
    QCOMPARE(konsole->Vykdyti(u"status"_s, QString::fromLatin1(kSlaptazodis)).Rezultatas,
             TKonsolesRezultatas::Siunciama);
    QVERIFY(uzdrausta.wait(kLaukimas));
    QCOMPARE(uzdrausta.first().first().toByteArray(), QByteArray(kUzdraudimoTekstas));
    QVERIFY(!konsole->ArUzimta());
}

void TstKonsole::biudzetas() {
    // The console's datagrams count in the server's query budget beside the
    // watchers' ones, and a command waits while the budget has no room for it.
    const QString kas = konsole->Serveris();
    TUzklausuBiudzetas& b = savasBiudzetas;
    QVERIFY(Siusti(u"echo one"_s));
    QTRY_VERIFY_WITH_TIMEOUT(!konsole->ArUzimta() || konsole->IsvestiesDatagramos() > 0, kLaukimas);
    Palaukti(kKonsolesTylaMs);
    QCOMPARE(b.Panaudota(kas, laikas), 2); // the challenge and the command
    b.Pazymeti(kas, laikas, TUzklausuBiudzetas::kDaugiausia - 3);
    const qsizetype gauta = serveris->Uzklausos().size();
    const TKonsolesVeiksmas v = konsole->Vykdyti(u"echo two"_s, QString::fromLatin1(kSlaptazodis));
    QCOMPARE(v.Rezultatas, TKonsolesRezultatas::Biudzetas);
    QCOMPARE(v.LauktiMs, TUzklausuBiudzetas::kLangasMs - kKonsolesTylaMs); // the first two leave the window first
    QTest::qWait(50);
    QCOMPARE(serveris->Uzklausos().size(), gauta);
    Palaukti(TUzklausuBiudzetas::kLangasMs);
    QVERIFY(Siusti(u"echo three"_s));
    b.Isvalyti();
}

QTEST_GUILESS_MAIN(TstKonsole)
#include "tst_konsole.moc"
