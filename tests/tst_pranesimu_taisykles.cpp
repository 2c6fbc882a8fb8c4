// The notification rules: which successive round records give which
// notifications, once each, and nothing while the options are off.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "Draugai.h"
#include "PranesimuTaisykles.h"

using namespace Qt::StringLiterals;

namespace {

using TSaltinis = TRaundoSantrauka::TSaltinis;

// One round of the row, with the options the watcher had at that moment.
struct TZingsnis {
    TRaundoSantrauka Raundas;
    TPranesimuParinktys Parinktys{true, true};
};

using TZingsniai = QList<TZingsnis>;

// A round that answered with the details and, when `vardai` is given, the players.
TZingsnis Atsake(int zaidejai, int max, std::optional<QList<QByteArray>> vardai = std::nullopt,
                 const char* serveris = "10.0.0.1:27015", TSaltinis saltinis = TSaltinis::Stebetojas,
                 QByteArray pavadinimas = "Srv") {
    TZingsnis z;
    z.Raundas.Saltinis = saltinis;
    z.Raundas.Serveris = QString::fromLatin1(serveris);
    z.Raundas.PingoMs = 30;
    z.Raundas.Zaidejai = zaidejai;
    z.Raundas.MaxZaideju = max;
    z.Raundas.Pavadinimas = std::move(pavadinimas);
    z.Raundas.Zemelapis = "de_dust2";
    z.Raundas.Vardai = std::move(vardai);
    return z;
}

// A round of players only: the details reply did not come.
TZingsnis Zaidejai(QList<QByteArray> vardai, const char* serveris = "10.0.0.1:27015",
                   TSaltinis saltinis = TSaltinis::Stebetojas) {
    TZingsnis z;
    z.Raundas.Saltinis = saltinis;
    z.Raundas.Serveris = QString::fromLatin1(serveris);
    z.Raundas.PingoMs = 30;
    z.Raundas.Vardai = std::move(vardai);
    return z;
}

TZingsnis Tyla(const char* serveris = "10.0.0.1:27015", TSaltinis saltinis = TSaltinis::Stebetojas) {
    TZingsnis z;
    z.Raundas.Saltinis = saltinis;
    z.Raundas.Serveris = QString::fromLatin1(serveris);
    return z;
}

// The round `ms` later than the rows' others.
TZingsnis Po(qint64 ms, TZingsnis z) {
    z.Raundas.LaikasMs = ms;
    return z;
}

TZingsnis Su(TZingsnis z, bool vieta, bool draugai) {
    z.Parinktys = {vieta, draugai};
    return z;
}

QString Aprasas(const TPranesimas& p) {
    switch (p.Rusis) {
    case TPranesimas::TRusis::Draugas:
        return u"friend "_s + p.Zaidejas + u" on "_s + p.Pavadinimas + u" ("_s + p.Serveris + u')';
    case TPranesimas::TRusis::LaisvaVieta:
        return u"slot on "_s + p.Pavadinimas + u' ' + QString::number(p.Zaidejai) + u'/' +
               QString::number(p.MaxZaideju);
    case TPranesimas::TRusis::VelAtsako:
        return u"answers "_s + p.Pavadinimas;
    }
    return {};
}

const TPranesimuTekstai kTekstai{u"%1 is playing on %2"_s, u"A slot is free on %1: %2"_s, u"%1 answers again"_s};

} // namespace

Q_DECLARE_METATYPE(TZingsniai)

class TstPranesimuTaisykles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void taisykles_data();
    void taisykles();
    void naujasDraugasJauServeryje();
    void tekstai_data();
    void tekstai();

private:
    QTemporaryDir aplankas;
};

void TstPranesimuTaisykles::initTestCase() {
    QVERIFY(aplankas.isValid());
}

void TstPranesimuTaisykles::taisykles_data() {
    QTest::addColumn<TZingsniai>("zingsniai");
    QTest::addColumn<QStringList>("tiketini");
    const QStringList alice{u"friend Alice on Srv (10.0.0.1:27015)"_s};

    // Friends.
    QTest::newRow("friend appears: told once over many rounds")
        << TZingsniai{Atsake(1, 20, {{"Bob"}}), Atsake(2, 20, {{"Bob", "Alice"}}), Atsake(2, 20, {{"Alice", "Bob"}}),
                      Atsake(1, 20, {{"Alice"}})}
        << alice;
    QTest::newRow("friend there at the first round: told")
        << TZingsniai{Atsake(1, 20, {{"Alice"}}), Atsake(1, 20, {{"Alice"}})} << alice;
    QTest::newRow("friend leaves and comes back: told again after 10 minutes")
        << TZingsniai{Atsake(1, 20, {{"Alice"}}), Atsake(1, 20, {{"Bob"}}), Po(600000, Atsake(1, 20, {{"Alice"}}))}
        << (alice + alice);
    QTest::newRow("friend back within 10 minutes: not told again")
        << TZingsniai{Atsake(1, 20, {{"Alice"}}), Atsake(1, 20, {{"Bob"}}), Po(599999, Atsake(1, 20, {{"Alice"}}))}
        << alice;
    QTest::newRow("a round without a players reply is no leaving")
        << TZingsniai{Atsake(1, 20, {{"Alice"}}), Atsake(1, 20), Tyla(), Atsake(1, 20, {{"Alice"}})}
        << QStringList{u"friend Alice on Srv (10.0.0.1:27015)"_s, u"answers Srv"_s};
    QTest::newRow("an empty players reply is a leaving")
        << TZingsniai{Atsake(1, 20, {{"Alice"}}), Atsake(0, 20, QList<QByteArray>{}),
                      Po(600000, Atsake(1, 20, {{"Alice"}}))}
        << (alice + alice);
    QTest::newRow("name matched without case and blanks, told as sent")
        << TZingsniai{Atsake(1, 20, {{"  aLIce "}})} << QStringList{u"friend aLIce on Srv (10.0.0.1:27015)"_s};
    QTest::newRow("two friends at once: one each, in reply order")
        << TZingsniai{Atsake(3, 20, {{"Carol", "Bob", "Alice"}})}
        << QStringList{u"friend Carol on Srv (10.0.0.1:27015)"_s, u"friend Alice on Srv (10.0.0.1:27015)"_s};
    QTest::newRow("the same name twice in a reply: told once")
        << TZingsniai{Atsake(2, 20, {{"Alice", "alice"}})} << alice;
    QTest::newRow("a player who is no friend: nothing")
        << TZingsniai{Atsake(1, 20, {{"Bob"}}), Atsake(2, 20, {{"Bob", "Dave"}})} << QStringList{};
    QTest::newRow("on a favourite the list polls")
        << TZingsniai{Atsake(1, 20, {{"Alice"}}, "fav.example:27016", TSaltinis::Sarasas, "Fav")}
        << QStringList{u"friend Alice on Fav (fav.example:27016)"_s};
    QTest::newRow("on two servers: one each")
        << TZingsniai{Atsake(1, 20, {{"Alice"}}), Atsake(1, 20, {{"Alice"}}, "b.example", TSaltinis::Sarasas, "B"),
                      Atsake(1, 20, {{"Alice"}}), Atsake(1, 20, {{"Alice"}}, "b.example", TSaltinis::Sarasas, "B")}
        << QStringList{u"friend Alice on Srv (10.0.0.1:27015)"_s, u"friend Alice on B (b.example)"_s};
    QTest::newRow("the watcher and the list on one server: told once")
        << TZingsniai{Atsake(1, 20, {{"Alice"}}), Atsake(1, 20, {{"Alice"}}, "10.0.0.1:27015", TSaltinis::Sarasas),
                      Atsake(1, 20, {{"Alice"}})}
        << alice;
    QTest::newRow("host letter case and the default port: one server")
        << TZingsniai{Atsake(1, 20, {{"Alice"}}, "Srv.Example"),
                      Atsake(1, 20, {{"Alice"}}, "srv.example:27015", TSaltinis::Sarasas)}
        << QStringList{u"friend Alice on Srv (Srv.Example)"_s};
    QTest::newRow("name in Windows-1257") << TZingsniai{Atsake(1, 20,
                                                               {{"\xD0"
                                                                 "ar\xFBnas"}})}
                                          << QStringList{u"friend Šarūnas on Srv (10.0.0.1:27015)"_s};
    QTest::newRow("players reply before any details: the address names the server")
        << TZingsniai{Zaidejai({"Alice"})} << QStringList{u"friend Alice on 10.0.0.1:27015 (10.0.0.1:27015)"_s};
    QTest::newRow("a name that came earlier names the server")
        << TZingsniai{Atsake(0, 20, QList<QByteArray>{}), Zaidejai({"Alice"})} << alice;
    QTest::newRow("friends option off: nothing")
        << TZingsniai{Su(Atsake(1, 20, {{"Bob"}}), true, false), Su(Atsake(2, 20, {{"Bob", "Alice"}}), true, false)}
        << QStringList{};
    QTest::newRow("friends option turned on while the friend stays: nothing")
        << TZingsniai{Su(Atsake(1, 20, {{"Alice"}}), false, false), Atsake(1, 20, {{"Alice"}})} << QStringList{};

    // Free slots.
    QTest::newRow("full to not full: told once with the figures")
        << TZingsniai{Atsake(20, 20), Atsake(19, 20), Atsake(18, 20), Atsake(19, 20)}
        << QStringList{u"slot on Srv 19/20"_s};
    QTest::newRow("full, free, full, free a minute later: told twice")
        << TZingsniai{Atsake(20, 20), Atsake(19, 20), Atsake(20, 20), Atsake(20, 20), Po(60000, Atsake(17, 20))}
        << QStringList{u"slot on Srv 19/20"_s, u"slot on Srv 17/20"_s};
    QTest::newRow("full and free again within a minute: told once")
        << TZingsniai{Atsake(20, 20), Atsake(19, 20), Atsake(20, 20), Po(59999, Atsake(17, 20))}
        << QStringList{u"slot on Srv 19/20"_s};
    QTest::newRow("never full: nothing") << TZingsniai{Atsake(18, 20), Atsake(19, 20), Atsake(17, 20)} << QStringList{};
    QTest::newRow("over full counts as full")
        << TZingsniai{Atsake(22, 20), Atsake(19, 20)} << QStringList{u"slot on Srv 19/20"_s};
    QTest::newRow("a larger maximum frees a slot")
        << TZingsniai{Atsake(20, 20), Atsake(20, 22)} << QStringList{u"slot on Srv 20/22"_s};
    QTest::newRow("no slots at all is not full")
        << TZingsniai{Atsake(0, 0), Atsake(0, 0), Atsake(0, 1)} << QStringList{};
    QTest::newRow("rounds without details between: the last figures count")
        << TZingsniai{Atsake(20, 20), Zaidejai({"Bob"}), Atsake(19, 20)} << QStringList{u"slot on Srv 19/20"_s};
    QTest::newRow("a time-out between full and free")
        << TZingsniai{Atsake(20, 20), Tyla(), Atsake(19, 20)} << QStringList{u"answers Srv"_s, u"slot on Srv 19/20"_s};
    QTest::newRow("the list's rounds are no watched server")
        << TZingsniai{Atsake(20, 20, std::nullopt, "10.0.0.1:27015", TSaltinis::Sarasas),
                      Atsake(19, 20, std::nullopt, "10.0.0.1:27015", TSaltinis::Sarasas)}
        << QStringList{};
    QTest::newRow("the details window's rounds are the watched server's")
        << TZingsniai{Atsake(20, 20), Atsake(19, 20, std::nullopt, "10.0.0.1:27015", TSaltinis::Detales)}
        << QStringList{u"slot on Srv 19/20"_s};
    QTest::newRow("another watched server starts afresh")
        << TZingsniai{Atsake(20, 20), Atsake(9, 20, std::nullopt, "10.0.0.2:27015"), Atsake(19, 20)} << QStringList{};
    QTest::newRow("slot option off: nothing")
        << TZingsniai{Su(Atsake(20, 20), false, true), Su(Atsake(19, 20), false, true)} << QStringList{};
    QTest::newRow("slot option turned on after the change: nothing")
        << TZingsniai{Su(Atsake(20, 20), false, true), Su(Atsake(19, 20), false, true), Atsake(18, 20)}
        << QStringList{};

    // Answers again.
    QTest::newRow("timed out, then answers: told once")
        << TZingsniai{Atsake(5, 20), Tyla(), Tyla(), Atsake(5, 20), Atsake(5, 20)} << QStringList{u"answers Srv"_s};
    QTest::newRow("timed out at the first round, then answers")
        << TZingsniai{Tyla(), Atsake(5, 20)} << QStringList{u"answers Srv"_s};
    QTest::newRow("answers from the first round: nothing") << TZingsniai{Atsake(5, 20), Atsake(5, 20)} << QStringList{};
    QTest::newRow("any reply counts as an answer")
        << TZingsniai{Tyla(), Zaidejai({"Bob"})} << QStringList{u"answers 10.0.0.1:27015"_s};
    QTest::newRow("a favourite that comes back is not told")
        << TZingsniai{Tyla("b.example", TSaltinis::Sarasas),
                      Atsake(5, 20, std::nullopt, "b.example", TSaltinis::Sarasas)}
        << QStringList{};
    QTest::newRow("answers again with the slot option off: nothing")
        << TZingsniai{Su(Tyla(), false, true), Su(Atsake(5, 20), false, true)} << QStringList{};
    QTest::newRow("all three in one round, in order")
        << TZingsniai{Atsake(20, 20), Tyla(), Atsake(19, 20, {{"Alice"}})}
        << QStringList{u"answers Srv"_s, u"slot on Srv 19/20"_s, u"friend Alice on Srv (10.0.0.1:27015)"_s};
    QTest::newRow("both options off: nothing at all")
        << TZingsniai{Su(Atsake(20, 20), false, false), Su(Tyla(), false, false),
                      Su(Atsake(19, 20, {{"Alice"}}), false, false)}
        << QStringList{};
}

void TstPranesimuTaisykles::taisykles() {
    QFETCH(TZingsniai, zingsniai);
    QFETCH(QStringList, tiketini);
    const QString kelias = aplankas.filePath(u"Draugai.txt"_s);
    QFile failas(kelias);
    QVERIFY(failas.open(QIODevice::WriteOnly | QIODevice::Truncate));
    failas.write("Alice\nCarol\nŠarūnas\n");
    failas.close();
    TDraugai draugai(kelias);
    draugai.Ikelti();

    TPranesimuTaisykles taisykles(draugai);
    QStringList gauti;
    for (const TZingsnis& z : zingsniai)
        for (const TPranesimas& p : taisykles.Apdoroti(z.Raundas, z.Parinktys))
            gauti.append(Aprasas(p));
    QCOMPARE(gauti, tiketini);
}

void TstPranesimuTaisykles::naujasDraugasJauServeryje() {
    // A player made a friend while on the server (the scoreboard's right-click)
    // has not appeared: nothing until they leave and come back.
    const QString kelias = aplankas.filePath(u"Nauji.txt"_s);
    QFile::remove(kelias);
    TDraugai draugai(kelias);
    TPranesimuTaisykles taisykles(draugai);
    const TPranesimuParinktys visos{true, true};
    QVERIFY(taisykles.Apdoroti(Atsake(1, 20, {{"Bob"}}).Raundas, visos).isEmpty());
    QVERIFY(draugai.Prideti(u"Bob"_s));
    QVERIFY(taisykles.Apdoroti(Atsake(1, 20, {{"Bob"}}).Raundas, visos).isEmpty());
    QVERIFY(taisykles.Apdoroti(Atsake(0, 20, QList<QByteArray>{}).Raundas, visos).isEmpty());
    const QList<TPranesimas> grizo = taisykles.Apdoroti(Atsake(1, 20, {{"Bob"}}).Raundas, visos);
    QCOMPARE(grizo.size(), 1);
    QCOMPARE(grizo.at(0).Zaidejas, u"Bob"_s);
}

void TstPranesimuTaisykles::tekstai_data() {
    QTest::addColumn<int>("rusis");
    QTest::addColumn<QString>("zaidejas");
    QTest::addColumn<QString>("serveris");
    QTest::addColumn<QString>("antraste");
    QTest::addColumn<QString>("tekstas");
    QTest::newRow("friend") << int(TPranesimas::TRusis::Draugas) << u"Alice"_s << u"cs.example:27015"_s
                            << u"Alice is playing on Srv"_s << u"cs.example:27015"_s;
    QTest::newRow("slot") << int(TPranesimas::TRusis::LaisvaVieta) << QString() << u"cs.example:27015"_s
                          << u"A slot is free on Srv: 19/20"_s << u"cs.example:27015"_s;
    QTest::newRow("answers again") << int(TPranesimas::TRusis::VelAtsako) << QString() << u"10.0.0.1"_s
                                   << u"Srv answers again"_s << u"10.0.0.1"_s;
    QTest::newRow("a place holder inside the player's name stays")
        << int(TPranesimas::TRusis::Draugas) << u"%2%1"_s << u"a:1"_s << u"%2%1 is playing on Srv"_s << u"a:1"_s;
    QTest::newRow("a server's name: one line, no direction controls, 200 characters")
        << int(TPranesimas::TRusis::Draugas) << u"<b>A\nB\u202E</b>"_s + QString(300, u'x') << u"a:1"_s
        << u"<b>A B</b>"_s + QString(189, u'x') + u"\u2026"_s << u"a:1"_s;
    QTest::newRow("markup in the address is escaped in the body")
        << int(TPranesimas::TRusis::VelAtsako) << QString() << u"<b>x&y</b>"_s << u"Srv answers again"_s
        << u"&lt;b&gt;x&amp;y&lt;/b&gt;"_s;
}

void TstPranesimuTaisykles::tekstai() {
    QFETCH(int, rusis);
    QFETCH(QString, zaidejas);
    QFETCH(QString, serveris);
    TPranesimas p;
    p.Rusis = TPranesimas::TRusis(rusis);
    p.Zaidejas = zaidejas;
    p.Serveris = serveris;
    p.Pavadinimas = u"Srv"_s;
    p.Zaidejai = 19;
    p.MaxZaideju = 20;
    QTEST(PranesimoAntraste(p, kTekstai), "antraste");
    QTEST(PranesimoTekstas(p), "tekstas");
}

QTEST_APPLESS_MAIN(TstPranesimuTaisykles)
#include "tst_pranesimu_taisykles.moc"
