// The favourite servers' model without its window: the list file byte for
// byte, a row removed, and the walk over a hub of the test's own on loopback,
// timed by the test's clock: replies in every row of their server, the
// time-out and ban texts, rows typed over or moved while a round is in flight.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "AtsakymuKurejas.h"
#include "Centras.h"
#include "Megstami.h"
#include "NMUDP.h"
#include "RankinisServeris.h"
#include "Tekstas.h"
#include "Pagalba.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int A = TMegstamuModelis::kAdresas;

QString Tekstai(const char* sekcija, const char* raktas) {
    return QString::fromLatin1(sekcija) + u'/' + QString::fromLatin1(raktas);
}

} // namespace

class TstMegstami : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void sarasoFailas_data();
    void sarasoFailas();
    void pasalinti_data();
    void pasalinti();
    void apejimas_data();
    void apejimas();

private:
    QTemporaryDir aplankas;
    QString senas;
};

void TstMegstami::initTestCase() {
    QVERIFY(aplankas.isValid());
    senas = QDir::currentPath();
    QVERIFY(QDir::setCurrent(aplankas.path()));
    QVERIFY(QDir().mkpath(u"resursai"_s));
}

void TstMegstami::cleanupTestCase() {
    QDir::setCurrent(senas);
}

void TstMegstami::sarasoFailas_data() {
    QTest::addColumn<QByteArray>("failas");
    QTest::addColumn<QStringList>("adresai"); // rows 1, 2, ... of the address column
    QTest::addColumn<QByteArray>("irasyta");

    QTest::newRow("fewer than 200 lines") << QByteArray("Old title\r\nalfa.example\r\nbeta.example:27016\r\n")
                                          << QStringList{u"alfa.example"_s, u"beta.example:27016"_s, QString()}
                                          << Isvestis({"alfa.example", "beta.example:27016"});
    QTest::newRow("empty file") << QByteArray() << QStringList{QString(), QString()} << Isvestis({});
    QTest::newRow("blank line between addresses kept as a slot")
        << QByteArray("t\r\nalfa.example\r\n\r\ngama.example\r\n")
        << QStringList{u"alfa.example"_s, u" "_s, u"gama.example"_s, QString()}
        << Isvestis({"alfa.example", " ", "gama.example"});
    QTest::newRow("blanks-only line kept as it is")
        << QByteArray("t\r\n   \r\nbeta.example\r\n") << QStringList{u"   "_s, u"beta.example"_s}
        << Isvestis({"   ", "beta.example"});
    QTest::newRow("LF and lone CR line ends, none after the last")
        << QByteArray("t\nalfa.example\rbeta.example\n\rgama.example")
        << QStringList{u"alfa.example"_s, u"beta.example"_s, u" "_s, u"gama.example"_s}
        << Isvestis({"alfa.example", "beta.example", " ", "gama.example"});
    QTest::newRow("a NUL byte ends the text")
        << QByteArray("t\r\nalfa.example\r\nbe") + QByteArray(1, '\0') + QByteArray("ta\r\ngama.example\r\n")
        << QStringList{u"alfa.example"_s, u"be"_s, QString()} << Isvestis({"alfa.example", "be"});
    QTest::newRow("Baltic and UTF-8 bytes written back as read")
        << QByteArray("t\r\n\xFE"
                      "aidimai.example\r\n\xC5\xBE"
                      "aidimai.example\r\n")
        << QStringList{u"žaidimai.example"_s, u"žaidimai.example"_s}
        << Isvestis({"\xFE"
                     "aidimai.example",
                     "\xC5\xBE"
                     "aidimai.example"});

    QByteArray daug = "title\r\n";
    QList<QByteArray> tiketina;
    QStringList adresai;
    for (int i = 1; i <= 250; ++i) {
        const QByteArray a = "s" + QByteArray::number(i) + ".example";
        daug += a + "\r\n";
        if (i <= 199) {
            tiketina.append(a);
            adresai.append(QString::fromLatin1(a));
        }
    }
    QTest::newRow("more than 200 lines: the rest dropped") << daug << adresai << Isvestis(tiketina);
}

void TstMegstami::sarasoFailas() {
    QFETCH(QByteArray, failas);
    QFETCH(QStringList, adresai);
    const QString kelias = TMegstamuModelis::kSarasoFailas;
    QFile f(kelias);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(failas), failas.size());
    f.close();
    TCentras centras(0);
    TMegstamuModelis m(centras.Apklausa(), Tekstai);
    m.IkeltiSarasa(TMegstamuModelis::SkaitytiSarasa());
    // The title row shows the current title, and the file keeps it, not its first line.
    m.NustatytiAntraste(A, u"Address"_s);
    QCOMPARE(m.headerData(A, Qt::Horizontal).toString(), u"Address"_s);
    for (int i = 0; i < adresai.size(); ++i)
        QCOMPARE(m.Langelis(A, i + 1), adresai.at(i));
    m.IssaugotiSarasa();
    QTEST(Skaityti(kelias), "irasyta");
}

void TstMegstami::pasalinti_data() {
    QTest::addColumn<QStringList>("adresai"); // rows 1, 2, ...
    QTest::addColumn<int>("dabartine");
    QTest::addColumn<QStringList>("liko");
    QTest::newRow("middle row, no gap above")
        << QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s} << 2 << QStringList{u"a"_s, u"c"_s, u"d"_s, QString()};
    QTest::newRow("first row") << QStringList{u"a"_s, u"b"_s} << 1 << QStringList{u"b"_s, QString()};
    QTest::newRow("last server") << QStringList{u"a"_s, u"b"_s} << 2 << QStringList{u"a"_s, QString()};
    QTest::newRow("gap above: the first gap is closed")
        << QStringList{u"a"_s, u" "_s, u"c"_s, u"d"_s} << 4 << QStringList{u"a"_s, u"c"_s, QString(), QString()};
    QTest::newRow("empty row: nothing visible changes")
        << QStringList{u"a"_s, u"b"_s} << 7 << QStringList{u"a"_s, u"b"_s, QString()};
    QTest::newRow("the title row: nothing visible changes")
        << QStringList{u"a"_s, u"b"_s} << 0 << QStringList{u"a"_s, u"b"_s, QString()};
}

void TstMegstami::pasalinti() {
    QFETCH(QStringList, adresai);
    QFETCH(int, dabartine);
    QFETCH(QStringList, liko);
    TCentras centras(0);
    TMegstamuModelis m(centras.Apklausa(), Tekstai);
    m.NustatytiAntraste(A, u"Address"_s);
    // Every column of a row carries its row's mark, so a move shows in all six.
    for (int r = 1; r <= adresai.size(); ++r)
        for (int c = 0; c < 6; ++c)
            m.setData(m.index(r, c), c == A ? adresai.at(r - 1) : adresai.at(r - 1) + QString::number(c));
    m.setData(m.index(199, A), u"last"_s);
    m.setData(m.index(199, 5), u"last5"_s);
    m.Pasalinti(dabartine);
    for (int r = 1; r <= liko.size(); ++r)
        for (int c = 0; c < 6; ++c)
            QCOMPARE(m.Langelis(c, r),
                     c == A || liko.at(r - 1).isEmpty() ? liko.at(r - 1) : liko.at(r - 1) + QString::number(c));
    // The rows below the gap moved up, the last row is left empty.
    QCOMPARE(m.Langelis(A, 198), u"last"_s);
    QCOMPARE(m.Langelis(5, 198), u"last5"_s);
    for (int c = 0; c < 6; ++c)
        QCOMPARE(m.Langelis(c, 199), QString());
    QCOMPARE(m.Langelis(A, 0), u"Address"_s); // the title row never moves
}

void TstMegstami::apejimas_data() {
    QTest::addColumn<QStringList>("eilutes");   // rows 1, 2, ...: servers "a" and "b"
    QTest::addColumn<QStringList>("zingsniai"); // once both have their request, in order
    QTest::addColumn<QStringList>("rodoma");    // per row of the walk: name column, "|", ping column
    QTest::addColumn<bool>("pabaiga");
    const QString timeout = u"|Pranesimai/Timeout"_s;
    QTest::newRow("a reply lands in every row of its server")
        << QStringList{u"a"_s, u"b"_s, u"a"_s} << QStringList{u"+37"_s, u"a"_s}
        << QStringList{u"Alpha|37"_s, u"|"_s, u"Alpha|37"_s} << false;
    QTest::newRow("reply before the clock moves")
        << QStringList{u"a"_s} << QStringList{u"a"_s} << QStringList{u"Alpha|0"_s} << true;
    QTest::newRow("4999 ms, just in time")
        << QStringList{u"a"_s} << QStringList{u"+4999"_s, u"a"_s} << QStringList{u"Alpha|4999"_s} << true;
    QTest::newRow("silent rows time out and hold up no other")
        << QStringList{u"a"_s, u"b"_s, u"a"_s} << QStringList{u"b"_s, u"+5000"_s}
        << QStringList{timeout, u"Bravo|0"_s, timeout} << true;
    QTest::newRow("ban") << QStringList{u"a"_s, u"b"_s} << QStringList{u"a bans"_s}
                         << QStringList{u"|Pranesimai/Banas"_s, u"|"_s} << false;
    QTest::newRow("row typed over: the old server's reply lands nowhere")
        << QStringList{u"a"_s, u"b"_s} << QStringList{u"row 1 := b"_s, u"a"_s} << QStringList{u"|"_s, u"|"_s} << false;
    QTest::newRow("row moved up: the reply follows it")
        << QStringList{u"b"_s, u"a"_s} << QStringList{u"row 1 removed"_s, u"+37"_s, u"a"_s}
        << QStringList{u"Alpha|37"_s} << true;
}

void TstMegstami::apejimas() {
    QFETCH(QStringList, eilutes);
    QFETCH(QStringList, zingsniai);
    qint64 laikas = 1000000;
    TCentras centras(0, [&laikas] { return laikas; });
    TMegstamuModelis m(centras.Apklausa(), Tekstai);
    TRankinisServeris a, b;
    QHash<QString, TRankinisServeris*> serveriai{{u"a"_s, &a}, {u"b"_s, &b}};
    for (TRankinisServeris* s : {&a, &b}) {
        QVERIFY(s->Paleisti());
        // A legacy server the program has met: its round is "details" alone.
        centras.Registras().Nustatyti(s->Adresas(), TServerioZinios{.Dialektas = TDialektas::Senas});
    }
    for (int r = 1; r <= eilutes.size(); ++r)
        QVERIFY(m.setData(m.index(r, A), serveriai.value(eilutes.at(r - 1))->Adresas()));
    m.PradetiApejima();
    QVERIFY(!m.ArPabaiga());
    // One round a server, however many rows hold it.
    const bool arB = eilutes.contains(u"b"_s);
    QTRY_VERIFY_WITH_TIMEOUT(a.gauta.size() == 1 && b.gauta.size() == int(arB), 5000);
    QTest::qWait(20);
    QCOMPARE(a.gauta.size() + b.gauta.size(), 1 + int(arB));

    const TNMUDP* galas = centras.Galas();
    for (const QString& z : zingsniai) {
        if (z.startsWith(u'+')) {
            laikas += z.toInt();
        } else if (z == u"row 1 := b"_s) {
            QVERIFY(m.setData(m.index(1, A), b.Adresas()));
        } else if (z == u"row 1 removed"_s) {
            m.Pasalinti(1);
        } else {
            TDetales d;
            d.Info.Pavadinimas = z == u"a"_s ? "Alpha" : "Bravo";
            const quint64 pries = galas->PristatomasNumeris() + galas->Atmesta();
            serveriai.value(z.left(1))->Siusti(z.endsWith(u"bans"_s) ? KurtiBanoAtsakyma() : KurtiDetaliuAtsakyma(d));
            // Taken or dropped, the reply has been handled.
            QTRY_VERIFY_WITH_TIMEOUT(galas->PristatomasNumeris() + galas->Atmesta() > pries, 5000);
        }
    }
    // The rows of the walk as they stand.
    const auto rodomos = [&m] {
        QStringList eil;
        for (int r = 1; r < m.PirmaTuscia(); ++r)
            eil.append(m.Langelis(TMegstamuModelis::kPavadinimas, r) + u'|' + m.Langelis(TMegstamuModelis::kPingas, r));
        return eil;
    };
    QFETCH(QStringList, rodoma);
    QTRY_COMPARE_WITH_TIMEOUT(rodomos(), rodoma, 5000);
    QTEST(m.ArPabaiga(), "pabaiga");
}

QTEST_MAIN(TstMegstami)
#include "tst_megstami.moc"
