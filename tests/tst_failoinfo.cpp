// The version record: the ten texts, the build text of the about window, and
// what happens when the record is absent.
#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include "FailoInfo.h"

using namespace Qt::StringLiterals;

class TstFailoInfo : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup();
    void tekstai_data();
    void tekstai();
    void raktuTvarka();
    void raktaiBeRaidziuDydzio();
    void pataisymas_data();
    void pataisymas();
    void neraIraso();
    void numatytaPabaiga();

private:
    static TVersijosTekstai Uzpildyti() {
        TVersijosTekstai t;
        for (std::size_t i = 0; i < t.size(); ++i)
            t[i] = u"senas %1"_s.arg(i);
        return t;
    }
};

void TstFailoInfo::cleanup() {
    AtstatytiVersijosIrasa();
    NustatytiVersijosPranesima(nullptr);
    NustatytiProgramosPabaiga(nullptr);
}

void TstFailoInfo::tekstai_data() {
    QTest::addColumn<int>("indeksas");
    QTest::addColumn<QString>("tikimasi");
    QTest::newRow("0 CompanyName") << 0 << u"Velmorant developers"_s;
    QTest::newRow("1 FileDescription") << 1 << u"Velmorant game server watcher"_s;
    QTest::newRow("2 FileVersion") << 2 << u"1.1.0.0"_s;
    QTest::newRow("3 InternalName") << 3 << u"Velmorant"_s;
    QTest::newRow("4 LegalCopyright") << 4 << u"Copyright © 2026 Velmorant developers"_s;
    QTest::newRow("5 LegalTradeMarks") << 5 << u"Half-Life and Counter-Strike are trademarks of Valve Corporation"_s;
    QTest::newRow("6 OriginalFileName") << 6 << u"velmorant"_s;
    QTest::newRow("7 ProductName") << 7 << u"Velmorant"_s;
    QTest::newRow("8 ProductVersion") << 8 << u"1.1"_s;
    QTest::newRow("9 Comments") << 9 << u"Watches Half-Life and Counter-Strike game servers in real time"_s;
}

void TstFailoInfo::tekstai() {
    QFETCH(int, indeksas);
    int rodyta = 0;
    int baigta = 0;
    NustatytiVersijosPranesima([&](const QString&) { ++rodyta; });
    NustatytiProgramosPabaiga([&] { ++baigta; });
    TVersijosTekstai t = Uzpildyti();
    SkaitytiVersija(t);
    QTEST(t[indeksas], "tikimasi");
    QCOMPARE(rodyta, 0);
    QCOMPARE(baigta, 0);
}

void TstFailoInfo::raktuTvarka() {
    const QStringList tikimasi{u"CompanyName"_s,    u"FileDescription"_s, u"FileVersion"_s,      u"InternalName"_s,
                               u"LegalCopyright"_s, u"LegalTradeMarks"_s, u"OriginalFileName"_s, u"ProductName"_s,
                               u"ProductVersion"_s, u"Comments"_s};
    QStringList raktai;
    for (QStringView r : kVersijosRaktai)
        raktai.append(r.toString());
    QCOMPARE(raktai, tikimasi);
    QCOMPARE(kVersijosRaktai[kFailoVersija], u"FileVersion");
    QCOMPARE(kVersijosRaktai[kAutoriuTeises], u"LegalCopyright");
    QCOMPARE(kVersijosRaktai[kProduktoPavadinimas], u"ProductName");
    QCOMPARE(kVersijosRaktai[kProduktoVersija], u"ProductVersion");
    // The compiled-in record carries a value for every key.
    const TVersijosIrasas irasas = KompiliuotasVersijosIrasas();
    QCOMPARE(irasas.size(), 10);
    for (const TVersijosReiksme& r : irasas)
        QVERIFY2(!r.Reiksme.isEmpty(), qPrintable(r.Raktas));
}

void TstFailoInfo::raktaiBeRaidziuDydzio() {
    PakeistiVersijosIrasa(TVersijosIrasas{
        {u"productversion"_s, u"2.3"_s},
        {u"FILEVERSION"_s, u"2.3.1.457"_s},
        {u"OriginalFilename"_s, u"kitas"_s},
        {u"LegalTrademarks"_s, u"TM"_s},
        {u"Nezinomas"_s, u"x"_s},
    });
    TVersijosTekstai t = Uzpildyti();
    SkaitytiVersija(t);
    QCOMPARE(t[8], u"2.3"_s);
    QCOMPARE(t[2], u"2.3.1.457"_s);
    QCOMPARE(t[6], u"kitas"_s);
    QCOMPARE(t[5], u"TM"_s);
    // A key the record lacks gives an empty text.
    for (const int i : {0, 1, 3, 4, 7, 9})
        QVERIFY2(t[i].isEmpty(), qPrintable(t[i]));
}

void TstFailoInfo::pataisymas_data() {
    QTest::addColumn<QString>("failoVersija");
    QTest::addColumn<QString>("tikimasi");
    QTest::newRow("one digit each") << u"1.1.0.0"_s << u"0"_s;
    QTest::newRow("three-digit build") << u"2.3.1.457"_s << u"457"_s;
    QTest::newRow("four-digit build is cut to three") << u"2.3.1.4578"_s << u"457"_s;
    QTest::newRow("two-digit minor shifts the window") << u"1.10.2.3"_s << u".3"_s;
    QTest::newRow("exactly seven characters") << u"1.1.0.9"_s << u"9"_s;
    QTest::newRow("six characters") << u"1.1.0."_s << QString();
    QTest::newRow("shorter than seven") << u"1.1"_s << QString();
    QTest::newRow("empty") << QString() << QString();
}

void TstFailoInfo::pataisymas() {
    QFETCH(QString, failoVersija);
    QTEST(PataisymoTekstas(failoVersija), "tikimasi");
}

void TstFailoInfo::neraIraso() {
    QStringList rodyta;
    int baigta = 0;
    NustatytiVersijosPranesima([&](const QString& t) { rodyta.append(t); });
    NustatytiProgramosPabaiga([&] {
        // The message comes first, then the request to end.
        QCOMPARE(rodyta.size(), 1);
        ++baigta;
    });
    PakeistiVersijosIrasa(std::nullopt);
    const TVersijosTekstai pries = Uzpildyti();
    TVersijosTekstai t = pries;
    SkaitytiVersija(t);
    QCOMPARE(rodyta, QStringList{u"Byla sugadinta"_s});
    QCOMPARE(baigta, 1);
    QCOMPARE(t, pries);

    // The record back: the texts come again and nothing is shown.
    AtstatytiVersijosIrasa();
    SkaitytiVersija(t);
    QCOMPARE(t[kProduktoVersija], u"1.1"_s);
    QCOMPARE(rodyta.size(), 1);
    QCOMPARE(baigta, 1);
}

void TstFailoInfo::numatytaPabaiga() {
    // The default end leaves the caller alone and ends the event loop at its next turn.
    NustatytiVersijosPranesima([](const QString&) {});
    PakeistiVersijosIrasa(std::nullopt);
    TVersijosTekstai t = Uzpildyti();
    SkaitytiVersija(t);
    QCOMPARE(t, Uzpildyti());

    QEventLoop ciklas;
    // A guard, not a wait: it only fires when the end request never arrives.
    QTimer::singleShot(10000, &ciklas, [&] { ciklas.exit(99); });
    QCOMPARE(ciklas.exec(), 1);
}

QTEST_GUILESS_MAIN(TstFailoInfo)
#include "tst_failoinfo.moc"
