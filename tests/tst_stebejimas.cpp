// The watch without its window, over a hub of the test's own on loopback and
// timed by the test's clock: what each reply reports in which order, the ban
// that drops what follows, the two roads to the time-out, the refresh that
// polls anew, and an address that cannot be polled.
#include <QTest>

#include "AtsakymuKurejas.h"
#include "Centras.h"
#include "Laikmatis.h"
#include "NMUDP.h"
#include "RankinisServeris.h"
#include "Stebejimas.h"

using namespace Qt::StringLiterals;

class TstStebejimas : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void eiga_data();
    void eiga();
};

void TstStebejimas::eiga_data() {
    QTest::addColumn<QStringList>("zingsniai");
    QTest::addColumn<QStringList>("tiketini");
    QTest::addColumn<bool>("atnaujinama"); // the refresh is on at the end
    const QStringList pradzia{u"clear"_s, u"start"_s};
    QTest::newRow("details first: the spectators wait for the players")
        << QStringList{u"watch a"_s, u"+37"_s, u"ping"_s, u"details"_s, u"players"_s}
        << pradzia + QStringList{u"ping 37"_s, u"details -"_s, u"players 2"_s, u"details 2"_s} << true;
    QTest::newRow("a ban drops what follows")
        << QStringList{u"watch a"_s, u"ban"_s, u"players"_s} << pradzia + QStringList{u"ban"_s} << true;
    QTest::newRow("a tick with the time-out due takes it")
        << QStringList{u"watch a"_s, u"+4960"_s, u"tick"_s} << pradzia + QStringList{u"timeout"_s} << false;
    QTest::newRow("silence: the poller's time-out")
        << QStringList{u"watch a"_s, u"+5001"_s} << pradzia + QStringList{u"timeout"_s} << false;
    QTest::newRow("the refresh polls anew, another address clears")
        << QStringList{u"watch a"_s, u"tick"_s, u"watch b"_s} << pradzia + QStringList{u"start"_s} + pradzia << true;
    QTest::newRow("a port that is no number")
        << QStringList{u"address a:x"_s, u"tick"_s}
        << QStringList{u"clear"_s, u"error 'x' is not a valid integer value"_s} << false;
}

void TstStebejimas::eiga() {
    QFETCH(QStringList, zingsniai);
    qint64 laikas = 1000000;
    TCentras centras(0, [&laikas] { return laikas; });
    TStebejimas s(centras.Apklausa());
    TRankinisServeris a, b;
    QHash<QString, TRankinisServeris*> serveriai{{u"a"_s, &a}, {u"b"_s, &b}};
    for (TRankinisServeris* r : {&a, &b}) {
        QVERIFY(r->Paleisti());
        // A legacy server the program has met: "ping", "players" and "details".
        centras.Registras().Nustatyti(r->Adresas(), TServerioZinios{.Dialektas = TDialektas::Senas});
    }
    QStringList ivykiai;
    connect(&s, &TStebejimas::Isvalyta, this, [&] { ivykiai << u"clear"_s; });
    connect(&s, &TStebejimas::RaundasPradetas, this, [&] { ivykiai << u"start"_s; });
    connect(&s, &TStebejimas::PingasGautas, this, [&](int ms) { ivykiai << u"ping "_s + QString::number(ms); });
    connect(&s, &TStebejimas::ZaidejaiGauti, this,
            [&](const TZaidejai& z) { ivykiai << u"players "_s + QString::number(z.size()); });
    connect(&s, &TStebejimas::DetalesGautos, this, [&](const TDetales&, std::optional<int> n) {
        ivykiai << u"details "_s + (n ? QString::number(*n) : u"-"_s);
    });
    connect(&s, &TStebejimas::Timeout, this, [&] { ivykiai << u"timeout"_s; });
    connect(&s, &TStebejimas::Banas, this, [&] { ivykiai << u"ban"_s; });
    connect(&s, &TStebejimas::Klaida, this, [&](const QString& k) { ivykiai << u"error "_s + k; });

    const TNMUDP* galas = centras.Galas();
    TRankinisServeris* dabartinis = &a;
    for (const QString& z : zingsniai) {
        if (z.startsWith(u'+')) {
            laikas += z.toInt();
        } else if (z == u"tick"_s) {
            s.Atnaujinti();
        } else if (z.startsWith(u"address "_s)) {
            s.NustatytiAdresa(z.mid(8));
        } else if (z.startsWith(u"watch "_s)) {
            dabartinis = serveriai.value(z.mid(6));
            const qsizetype pries = dabartinis->gauta.size();
            s.NustatytiAdresa(dabartinis->Adresas());
            s.Stebeti();
            QTRY_COMPARE_WITH_TIMEOUT(dabartinis->gauta.size(), pries + 3, 5000);
        } else {
            TZaidejai zaidejai(2);
            const QByteArray atsakymas = z == u"ping"_s      ? KurtiPingoAtsakyma()
                                         : z == u"ban"_s     ? KurtiBanoAtsakyma()
                                         : z == u"players"_s ? KurtiZaidejuAtsakyma(zaidejai)
                                                             : KurtiDetaliuAtsakyma(TDetales());
            const quint64 pries = galas->PristatomasNumeris() + galas->Atmesta();
            dabartinis->Siusti(atsakymas);
            // Taken or dropped, the reply has been handled.
            QTRY_VERIFY_WITH_TIMEOUT(galas->PristatomasNumeris() + galas->Atmesta() > pries, 5000);
        }
    }
    QFETCH(QStringList, tiketini);
    QTRY_COMPARE_WITH_TIMEOUT(ivykiai, tiketini, 5000);
    QTEST(s.Atnaujinimas()->Enabled(), "atnaujinama");
}

QTEST_MAIN(TstStebejimas)
#include "tst_stebejimas.moc"
