// The test server's remote console seen from a plain UDP client on 127.0.0.1:
// the challenge, the commands and their output over many datagrams (whole or
// split), the engine's refusals, the counting of wrong passwords and the ban
// that follows 5 of them within 30 s, the 512-byte limit, and the program's
// option and log.
#include <optional>

#include <QDeadlineTimer>
#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

#include "AtsakymuKurejas.h"
#include "Procesas.h"
#include "Skaidymas.h"
#include "TestinisServeris.h"
#include "UdpKlientas.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kLaukimas = 5000; // ms a reply may take at most
constexpr char kSlaptazodis[] = "sl4ptas";

using TKlientas = TUdpKlientas;

QByteArray Prasymas(const QByteArray& zodis) {
    return QByteArray(4, '\xFF') + zodis;
}

QByteArray Komanda(quint32 issukis, const QByteArray& slaptazodis, const QByteArray& komanda) {
    return Prasymas("rcon " + QByteArray::number(issukis) + " \"" + slaptazodis + "\" " + komanda + "\n");
}

// The text of an 'l' datagram; nothing for any other.
std::optional<QByteArray> Tekstas(const QByteArray& d) {
    if (!d.startsWith(QByteArrayView("\xFF\xFF\xFF\xFFl", 5)) || !d.endsWith('\0'))
        return std::nullopt;
    return d.mid(5, d.size() - 6);
}

} // namespace

class TstTestinisServerisKonsole : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void issukis();
    void komandos_data();
    void komandos();
    void ilgaIsvestis_data();
    void ilgaIsvestis();
    void atsisakymai_data();
    void atsisakymai();
    void uzdraudimas();
    void skaiciavimoLaikas();
    void ilgisRiba_data();
    void ilgisRiba();
    void taisykles();
    void tylusRezimas();
    void slaptazodisZurnale_data();
    void slaptazodisZurnale();
    void programa();

private:
    // Sends `d` and gathers every datagram the server sends for it, in order.
    QList<QByteArray> Atsakymai(const QByteArray& d);
    quint32 GautiIssuki();

    std::optional<TTestinisServeris> serveris;
    std::optional<TKlientas> klientas;
    qint64 laikas = 0;
};

void TstTestinisServerisKonsole::init() {
    serveris.emplace();
    klientas.emplace();
    laikas = 1000;
    serveris->Konsole().NustatytiLaikrodi([this] { return laikas; });
    serveris->Konsole().NustatytiSlaptazodi(kSlaptazodis);
    QVERIFY2(serveris->Paleisti(), qPrintable(serveris->Klaida()));
    QVERIFY(klientas->Paruosti());
}

void TstTestinisServerisKonsole::cleanup() {
    klientas.reset();
    serveris.reset();
}

QList<QByteArray> TstTestinisServerisKonsole::Atsakymai(const QByteArray& d) {
    QSignalSpy issiusta(&*serveris, &TTestinisServeris::AtsakymasIssiustas);
    QSignalSpy gauta(&*serveris, &TTestinisServeris::UzklausaGauta);
    klientas->Siusti(d, serveris->Prievadas());
    // The server answers within the handler of the request's arrival.
    if (!gauta.wait(kLaukimas))
        return {};
    QList<QByteArray> atsakymai;
    for (qsizetype i = 0; i < issiusta.size(); ++i) {
        const std::optional<QByteArray> a = klientas->LauktiDuomenu();
        if (!a)
            break;
        atsakymai.append(*a);
    }
    return atsakymai;
}

quint32 TstTestinisServerisKonsole::GautiIssuki() {
    const QList<QByteArray> a = Atsakymai(Prasymas("challenge rcon\n"));
    if (a.size() != 1)
        return 0;
    return serveris->Konsole().Issukis(QHostAddress(QHostAddress::LocalHost));
}

void TstTestinisServerisKonsole::issukis() {
    const QList<QByteArray> a = Atsakymai(Prasymas("challenge rcon\n"));
    QCOMPARE(a.size(), 1);
    const quint32 c = serveris->Konsole().Issukis(QHostAddress(QHostAddress::LocalHost));
    QCOMPARE(a.first(), Prasymas("challenge rcon " + QByteArray::number(c) + "\n") + '\0');
    // One challenge per address, kept: asked again, the same one.
    QCOMPARE(Atsakymai(Prasymas("challenge rcon\n")), a);
    // Other words that begin the same are no console requests.
    QCOMPARE(Atsakymai(Prasymas("challenge rconx\n")), QList<QByteArray>{});
}

void TstTestinisServerisKonsole::komandos_data() {
    QTest::addColumn<QByteArray>("komanda");
    QTest::addColumn<QByteArray>("isvestis");
    QTest::newRow("echo") << QByteArray("echo hello  there ") << QByteArray("hello  there\n");
    QTest::newRow("unknown command") << QByteArray("kick_all now") << QByteArray("Unknown command: kick_all\n");
    QTest::newRow("a rule's value") << QByteArray("sv_gravity") << QByteArray("\"sv_gravity\" is \"800\"\n");
    QTest::newRow("empty output of a set") << QByteArray("sv_gravity 600") << QByteArray();
    QTest::newRow("no lines") << QByteArray("lines 0") << QByteArray();
}

void TstTestinisServerisKonsole::komandos() {
    QFETCH(QByteArray, komanda);
    QFETCH(QByteArray, isvestis);
    TServerioTurinys t;
    t.Taisykles = {{"sv_gravity", "800"}};
    serveris->NustatytiTurini(t);
    const quint32 c = GautiIssuki();
    const QList<QByteArray> a = Atsakymai(Komanda(c, kSlaptazodis, komanda));
    // Every output, an empty one too, is at least one 'l'.
    QCOMPARE(a.size(), 1);
    QCOMPARE(Tekstas(a.first()), std::optional<QByteArray>(isvestis));
    QCOMPARE(serveris->Konsole().Ivykdyta(), 1);
}

void TstTestinisServerisKonsole::ilgaIsvestis_data() {
    QTest::addColumn<int>("eilutes");
    QTest::addColumn<int>("datagramos");
    QTest::addColumn<int>("daliesDydis");
    QTest::newRow("one datagram") << 22 << 1 << 0;
    QTest::newRow("25 datagrams") << 550 << 25 << 0;
    QTest::newRow("25 datagrams, each split in three") << 550 << 75 << 500;
}

void TstTestinisServerisKonsole::ilgaIsvestis() {
    QFETCH(int, eilutes);
    QFETCH(int, datagramos);
    QFETCH(int, daliesDydis);
    if (daliesDydis > 0) {
        TServerioElgsena e;
        e.Rezimas = TServerioRezimas::Modernus;
        e.DaliesDydis = daliesDydis;
        serveris->NustatytiElgsena(e);
    }
    const quint32 c = GautiIssuki();
    const QByteArray komanda = "lines " + QByteArray::number(eilutes);
    const QList<QByteArray> a = Atsakymai(Komanda(c, kSlaptazodis, komanda));
    QCOMPARE(a.size(), datagramos);
    // Joined in order, the texts are the whole output, and no datagram holds
    // more than the engine's buffer.
    TDaliuSurinkejas dalys;
    QByteArray sujungta;
    int isvesties = 0;
    for (const QByteArray& d : a) {
        const TDaliesRezultatas r = dalys.Priimti(QHostAddress(QHostAddress::LocalHost), serveris->Prievadas(), d);
        if (r.Busena != TDaliesBusena::Vientisas && r.Busena != TDaliesBusena::Surinkta)
            continue;
        const std::optional<QByteArray> t = Tekstas(r.Atsakymas);
        QVERIFY(t);
        QVERIFY(t->size() <= TServerioKonsole::kIsvestiesTalpa);
        // The buffer is sent when the next line would not fit: whole lines only.
        QVERIFY(t->endsWith('\n'));
        sujungta += *t;
        ++isvesties;
    }
    QCOMPARE(isvesties, daliesDydis > 0 ? datagramos / 3 : datagramos);
    TServerioTurinys turinys;
    QCOMPARE(sujungta, serveris->Konsole().Vykdyti(komanda, turinys));
    QCOMPARE(sujungta.count('\n'), eilutes);
    QVERIFY(sujungta.startsWith("line 00001 of "));
}

void TstTestinisServerisKonsole::atsisakymai_data() {
    QTest::addColumn<bool>("issukisPaprasytas");
    QTest::addColumn<bool>("geraIssukis");
    QTest::addColumn<QByteArray>("slaptazodis");
    QTest::addColumn<QByteArray>("serverioSlaptazodis");
    QTest::addColumn<QByteArray>("tekstas");
    QTest::addColumn<int>("nesekmes");
    QTest::newRow("no challenge asked") << false << false << QByteArray(kSlaptazodis) << QByteArray(kSlaptazodis)
                                        << QByteArray("Bad challenge.\n") << 0;
    QTest::newRow("stale challenge") << true << false << QByteArray(kSlaptazodis) << QByteArray(kSlaptazodis)
                                     << QByteArray("Bad challenge.\n") << 0;
    // The challenge is looked at first: a wrong password with it is not counted.
    QTest::newRow("stale challenge, wrong password")
        << true << false << QByteArray("wrong") << QByteArray(kSlaptazodis) << QByteArray("Bad challenge.\n") << 0;
    QTest::newRow("wrong password") << true << true << QByteArray("wrong") << QByteArray(kSlaptazodis)
                                    << QByteArray("Bad rcon_password.\n") << 1;
    QTest::newRow("letter case counts") << true << true << QByteArray("SL4PTAS") << QByteArray(kSlaptazodis)
                                        << QByteArray("Bad rcon_password.\n") << 1;
    QTest::newRow("no password set on the server")
        << true << true << QByteArray("anything") << QByteArray()
        << QByteArray("Bad rcon_password.\nNo password set for this server.\n") << 0;
}

void TstTestinisServerisKonsole::atsisakymai() {
    QFETCH(bool, issukisPaprasytas);
    QFETCH(bool, geraIssukis);
    QFETCH(QByteArray, slaptazodis);
    QFETCH(QByteArray, serverioSlaptazodis);
    QFETCH(QByteArray, tekstas);
    QFETCH(int, nesekmes);
    serveris->Konsole().NustatytiSlaptazodi(serverioSlaptazodis);
    quint32 c = 12345;
    if (issukisPaprasytas)
        c = GautiIssuki();
    if (!geraIssukis)
        serveris->Konsole().PakeistiIssukius();
    const QList<QByteArray> a = Atsakymai(Komanda(c, slaptazodis, "echo x"));
    QCOMPARE(a.size(), 1);
    QCOMPARE(Tekstas(a.first()), std::optional<QByteArray>(tekstas));
    QCOMPARE(serveris->Konsole().Nesekmes(QHostAddress(QHostAddress::LocalHost)), nesekmes);
    QCOMPARE(serveris->Konsole().Ivykdyta(), 0);
}

void TstTestinisServerisKonsole::uzdraudimas() {
    const quint32 c = GautiIssuki();
    for (int i = 1; i <= 4; ++i) {
        QCOMPARE(Tekstas(Atsakymai(Komanda(c, "wrong", "status")).value(0)),
                 std::optional<QByteArray>("Bad rcon_password.\n"));
        laikas += 5000;
    }
    QVERIFY(!serveris->Konsole().ArUzdraustas(QHostAddress(QHostAddress::LocalHost)));
    // The fifth within 30 s is still answered, and bans the address for good.
    QCOMPARE(Tekstas(Atsakymai(Komanda(c, "wrong", "status")).value(0)),
             std::optional<QByteArray>("Bad rcon_password.\n"));
    QVERIFY(serveris->Konsole().ArUzdraustas(QHostAddress(QHostAddress::LocalHost)));
    const QByteArray banas = KurtiBanoAtsakyma(kUzdraudimoTekstas);
    // From now on every datagram of the address gets the ban notice: the right
    // password, a challenge request, the queries, from any port of the address.
    QCOMPARE(Atsakymai(Komanda(c, kSlaptazodis, "status")), QList<QByteArray>{banas});
    QCOMPARE(Atsakymai(Prasymas("challenge rcon\n")), QList<QByteArray>{banas});
    QCOMPARE(Atsakymai(Prasymas(QByteArray("ping") + '\0')), QList<QByteArray>{banas});
    QCOMPARE(Atsakymai(Prasymas(QByteArray("TSource Engine Query") + '\0')), QList<QByteArray>{banas});
    TKlientas kitas;
    QVERIFY(kitas.Paruosti());
    kitas.Siusti(Prasymas(QByteArray("details") + '\0'), serveris->Prievadas());
    QCOMPARE(kitas.LauktiDuomenu(), std::optional<QByteArray>(banas));
    laikas += 24LL * 3600 * 1000;
    QCOMPARE(Atsakymai(Prasymas(QByteArray("ping") + '\0')), QList<QByteArray>{banas});
    QCOMPARE(serveris->Konsole().Ivykdyta(), 0);
}

void TstTestinisServerisKonsole::skaiciavimoLaikas() {
    const quint32 c = GautiIssuki();
    // Four wrong ones, then the oldest leaves the 30 s: a fifth bans nobody.
    for (int i = 0; i < 4; ++i) {
        Atsakymai(Komanda(c, "wrong", "status"));
        laikas += 1000;
    }
    laikas += 30000 - 4000;
    QCOMPARE(serveris->Konsole().Nesekmes(QHostAddress(QHostAddress::LocalHost)), 3);
    Atsakymai(Komanda(c, "wrong", "status"));
    QVERIFY(!serveris->Konsole().ArUzdraustas(QHostAddress(QHostAddress::LocalHost)));
    QCOMPARE(serveris->Konsole().Nesekmes(QHostAddress(QHostAddress::LocalHost)), 4);
    // The right password works between the wrong ones and clears nothing.
    QCOMPARE(Tekstas(Atsakymai(Komanda(c, kSlaptazodis, "echo ok")).value(0)), std::optional<QByteArray>("ok\n"));
    Atsakymai(Komanda(c, "wrong", "status"));
    QVERIFY(serveris->Konsole().ArUzdraustas(QHostAddress(QHostAddress::LocalHost)));
}

void TstTestinisServerisKonsole::ilgisRiba_data() {
    QTest::addColumn<int>("dydis");
    QTest::addColumn<bool>("atsako");
    QTest::newRow("511 bytes answered") << 511 << true;
    QTest::newRow("512 bytes dropped") << 512 << false;
    QTest::newRow("600 bytes dropped") << 600 << false;
}

void TstTestinisServerisKonsole::ilgisRiba() {
    QFETCH(int, dydis);
    QFETCH(bool, atsako);
    const quint32 c = GautiIssuki();
    QByteArray d = Komanda(c, kSlaptazodis, "echo ");
    d.insert(d.size() - 1, QByteArray(dydis - d.size(), 'x'));
    QCOMPARE(d.size(), dydis);
    const QList<QByteArray> a = Atsakymai(d);
    QCOMPARE(a.size(), atsako ? 1 : 0);
    QCOMPARE(serveris->Konsole().Ivykdyta(), atsako ? 1 : 0);
}

void TstTestinisServerisKonsole::taisykles() {
    TServerioTurinys t;
    t.Taisykles = {{"mp_timelimit", "20"}};
    serveris->NustatytiTurini(t);
    const quint32 c = GautiIssuki();
    Atsakymai(Komanda(c, kSlaptazodis, "mp_timelimit \"35\""));
    QCOMPARE(serveris->Turinys().Taisykles.value(0).Reiksme, QByteArray("35"));
    // The rules reply says so too.
    QCOMPARE(serveris->IprastasAtsakymas(kRules),
             std::optional<QByteArray>(KurtiTaisykliuAtsakyma({{"mp_timelimit", "35"}})));
}

void TstTestinisServerisKonsole::tylusRezimas() {
    TServerioElgsena e;
    e.Budas = TAtsakymuBudas::Tyla;
    serveris->NustatytiElgsena(e);
    QSignalSpy gauta(&*serveris, &TTestinisServeris::UzklausaGauta);
    QCOMPARE(Atsakymai(Prasymas("challenge rcon\n")), QList<QByteArray>{});
    QCOMPARE(gauta.size(), 1);
    QCOMPARE(serveris->IssiustiAtsakymai(), 0);
}

void TstTestinisServerisKonsole::slaptazodisZurnale_data() {
    QTest::addColumn<QByteArray>("zodis");
    QTest::addColumn<QByteArray>("rodomas");
    QTest::newRow("quoted") << QByteArray("rcon 123 \"secret\" status\n") << QByteArray("rcon 123 \"***\" status\n");
    QTest::newRow("bare") << QByteArray("rcon 123 secret status") << QByteArray("rcon 123 \"***\" status");
    QTest::newRow("no command") << QByteArray("rcon 123 \"secret\"") << QByteArray("rcon 123 \"***\"");
    QTest::newRow("challenge only") << QByteArray("rcon 123") << QByteArray("rcon 123");
    QTest::newRow("the Quake form") << QByteArray("rcon \"secret\" status") << QByteArray("rcon \"***\" status");
    QTest::newRow("other words") << QByteArray("challenge rcon\n") << QByteArray("challenge rcon\n");
    QTest::newRow("ping") << QByteArray("ping") << QByteArray("ping");
}

void TstTestinisServerisKonsole::slaptazodisZurnale() {
    QFETCH(QByteArray, zodis);
    QTEST(PaslepatiSlaptazodi(zodis), "rodomas");
}

void TstTestinisServerisKonsole::programa() {
    // The program's option and its request log, which must not show the password.
    TProcesas p;
    p.Pradeti({u"--port"_s, u"0"_s, u"--rcon-password"_s, QString::fromLatin1(kSlaptazodis)});
    QTRY_VERIFY_WITH_TIMEOUT(p.isvestis.contains('\n'), kLaukimas);
    const QByteArray eilute = p.isvestis.left(p.isvestis.indexOf('\n'));
    QVERIFY2(eilute.startsWith("PORT "), eilute.constData());
    const auto prievadas = quint16(eilute.mid(5).toUInt());
    TKlientas k;
    QVERIFY(k.Paruosti());
    k.Siusti(Prasymas("challenge rcon\n"), prievadas);
    const std::optional<QByteArray> issukis = k.LauktiDuomenu();
    QVERIFY(issukis);
    const QByteArray skaicius = issukis->mid(19).chopped(2);
    k.Siusti(Prasymas("rcon " + skaicius + " \"" + kSlaptazodis + "\" echo velmorant\n"), prievadas);
    const std::optional<QByteArray> isvestis = k.LauktiDuomenu();
    QVERIFY(isvestis);
    QCOMPARE(Tekstas(*isvestis), std::optional<QByteArray>("velmorant\n"));
    QTRY_VERIFY_WITH_TIMEOUT(p.klaidos.contains("echo velmorant"), kLaukimas);
    QVERIFY2(!p.klaidos.contains(kSlaptazodis), p.klaidos.constData());
}

QTEST_GUILESS_MAIN(TstTestinisServerisKonsole)
#include "tst_testinis_serveris_konsole.moc"
