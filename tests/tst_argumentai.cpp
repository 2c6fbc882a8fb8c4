// The command line: the address, --browser, and what is answered instead of running.
#include <QTest>

#include "Argumentai.h"
#include "FailoInfo.h"

using namespace Qt::StringLiterals;
using TVeiksmas = TArgumentai::TVeiksmas;

class TstArgumentai : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void skaityti_data();
    void skaityti();
};

void TstArgumentai::skaityti_data() {
    QTest::addColumn<QString>("argumentai"); // after the program's name, split at spaces
    QTest::addColumn<TVeiksmas>("veiksmas");
    QTest::addColumn<QString>("adresas"); // null: none
    QTest::addColumn<bool>("narsykle");
    QTest::addColumn<QString>("tekste");
    TVersijosTekstai versija;
    SkaitytiVersija(versija);
    const TVeiksmas vykdyti = TVeiksmas::Vykdyti;
    QTest::newRow("address") << u"10.0.0.1:27016"_s << vykdyti << u"10.0.0.1:27016"_s << false << QString();
    QTest::newRow("browser") << u"--browser"_s << vykdyti << QString() << true << QString();
    QTest::newRow("both; the first of two") << u"a:1 --browser b:2"_s << vykdyti << u"a:1"_s << true << QString();
    QTest::newRow("--help") << u"a:1 --help"_s << TVeiksmas::Pagalba << QString() << false << u"--browser"_s;
    QTest::newRow("--version") << u"--version"_s << TVeiksmas::Versija << QString() << false
                               << u"Velmorant "_s + versija[kFailoVersija] + u'\n';
    QTest::newRow("unknown option") << u"--bogus a:1"_s << TVeiksmas::Klaida << QString() << false
                                    << u"Unknown option 'bogus'.\n\nUsage: "_s;
}

void TstArgumentai::skaityti() {
    QFETCH(QString, argumentai);
    QFETCH(QString, adresas);
    QFETCH(QString, tekste);
    const TArgumentai a = SkaitytiArgumentus(QStringList{u"velmorant"_s} + argumentai.split(u' '));
    QTEST(a.Veiksmas, "veiksmas");
    QCOMPARE(a.Adresas, adresas.isNull() ? std::nullopt : std::optional(adresas));
    QTEST(a.ArNarsykle, "narsykle");
    QVERIFY2(tekste.isEmpty() ? a.Tekstas.isEmpty() : a.Tekstas.contains(tekste), qPrintable(a.Tekstas));
    // Printed: 1 for a complaint, else 0.
    QCOMPARE(IsvestiArgumentuAtsakyma(a),
             a.Veiksmas == TVeiksmas::Vykdyti ? std::nullopt : std::optional(int(a.Veiksmas == TVeiksmas::Klaida)));
}

QTEST_GUILESS_MAIN(TstArgumentai)
#include "tst_argumentai.moc"
