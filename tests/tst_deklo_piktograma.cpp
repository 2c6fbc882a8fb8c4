// The tray icon: made only where there is a tray, its tool tip follows the
// watched server's rounds, a click brings the watcher up.
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>
#include <QWidget>

#include "DekloPiktograma.h"

using namespace Qt::StringLiterals;

namespace {

TRaundoSantrauka Raundas(const char* serveris, std::optional<int> pingas, std::optional<int> zaidejai,
                         std::optional<int> max, QByteArray pavadinimas = {}) {
    TRaundoSantrauka r;
    r.Serveris = QString::fromLatin1(serveris);
    r.PingoMs = pingas;
    r.Zaidejai = zaidejai;
    r.MaxZaideju = max;
    r.Pavadinimas = std::move(pavadinimas);
    return r;
}

} // namespace

Q_DECLARE_METATYPE(QList<TRaundoSantrauka>)

class TstDekloPiktograma : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void patarimas_data();
    void patarimas();
    void beDeklo();
    void suDeklu();
    void paspaudimasIskeliaLanga_data();
    void paspaudimasIskeliaLanga();
};

void TstDekloPiktograma::patarimas_data() {
    QTest::addColumn<QList<TRaundoSantrauka>>("raundai");
    QTest::addColumn<QString>("tiketinas");
    QTest::newRow("a full reply") << QList<TRaundoSantrauka>{Raundas("a:1", 35, 19, 20, "Dust 24/7")}
                                  << u"Velmorant\nDust 24/7\n19/20  35 ms"_s;
    QTest::newRow("no name yet: the address")
        << QList<TRaundoSantrauka>{Raundas("10.0.0.1:27015", 8, std::nullopt, std::nullopt)}
        << u"Velmorant\n10.0.0.1:27015\n8 ms"_s;
    QTest::newRow("timed out: no figures of before")
        << QList<TRaundoSantrauka>{Raundas("a:1", 35, 19, 20, "Dust"),
                                   Raundas("a:1", std::nullopt, std::nullopt, std::nullopt)}
        << u"Velmorant\nDust\nNo reply"_s;
    QTest::newRow("a round without details keeps the figures")
        << QList<TRaundoSantrauka>{Raundas("a:1", 35, 19, 20, "Dust"), Raundas("a:1", 41, std::nullopt, std::nullopt)}
        << u"Velmorant\nDust\n19/20  41 ms"_s;
    QTest::newRow("another server forgets the last one's")
        << QList<TRaundoSantrauka>{Raundas("a:1", 35, 19, 20, "Dust"), Raundas("b:2", 12, std::nullopt, std::nullopt)}
        << u"Velmorant\nb:2\n12 ms"_s;
    QTest::newRow("a name in Windows-1257")
        << QList<TRaundoSantrauka>{Raundas("a:1", 5, 0, 16, "\xD0ilas")} << u"Velmorant\nŠilas\n0/16  5 ms"_s;
    // Qt's tool tips read markup by the first line, which is the program's:
    // the name stays plain text, one line that cannot pass for the figures.
    QTest::newRow("markup and line breaks in the name")
        << QList<TRaundoSantrauka>{Raundas("a:1", 5, 1, 2, "<img src=\"/dev/zero\"><b>\n9/9  1 ms")}
        << u"Velmorant\n<img src=\"/dev/zero\"><b> 9/9  1 ms\n1/2  5 ms"_s;
}

void TstDekloPiktograma::patarimas() {
    QFETCH(QList<TRaundoSantrauka>, raundai);
    QFETCH(QString, tiketinas);
    QWidget langas;
    TDekloPiktograma piktograma(&langas, false);
    for (const TRaundoSantrauka& r : raundai)
        piktograma.RodytiRaunda(r, u"No reply"_s);
    QCOMPARE(piktograma.Patarimas(), tiketinas);
    QVERIFY(!Qt::mightBeRichText(piktograma.Patarimas()));
}

void TstDekloPiktograma::beDeklo() {
    // The offscreen desktop has no tray: nothing is made, nothing shows.
    QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
    QWidget langas;
    TDekloPiktograma piktograma(&langas);
    QVERIFY(!piktograma.Piktograma());
    QVERIFY(!langas.findChild<QSystemTrayIcon*>());
    piktograma.RodytiRaunda(Raundas("a:1", 35, 19, 20, "Dust"), u"No reply"_s);
    QCOMPARE(piktograma.Patarimas(), u"Velmorant\nDust\n19/20  35 ms"_s);
}

void TstDekloPiktograma::suDeklu() {
    QWidget langas;
    TDekloPiktograma piktograma(&langas, true);
    QVERIFY(piktograma.Piktograma());
    QVERIFY(!piktograma.Piktograma()->icon().isNull());
    piktograma.RodytiRaunda(Raundas("a:1", 35, 19, 20, "Dust"), u"No reply"_s);
    QCOMPARE(piktograma.Piktograma()->toolTip(), u"Velmorant\nDust\n19/20  35 ms"_s);
    // The icon's own click goes to the handler.
    langas.showMinimized();
    Q_EMIT piktograma.Piktograma()->activated(QSystemTrayIcon::Trigger);
    QVERIFY(langas.isVisible());
    QVERIFY(!langas.isMinimized());
}

void TstDekloPiktograma::paspaudimasIskeliaLanga_data() {
    QTest::addColumn<int>("priezastis");
    QTest::addColumn<bool>("minimizuotas");
    QTest::addColumn<bool>("iskelia");
    QTest::newRow("click on a hidden window") << int(QSystemTrayIcon::Trigger) << false << true;
    QTest::newRow("click on a minimized window") << int(QSystemTrayIcon::Trigger) << true << true;
    QTest::newRow("double click") << int(QSystemTrayIcon::DoubleClick) << true << true;
    QTest::newRow("context menu: nothing") << int(QSystemTrayIcon::Context) << true << false;
    QTest::newRow("middle click: nothing") << int(QSystemTrayIcon::MiddleClick) << false << false;
}

void TstDekloPiktograma::paspaudimasIskeliaLanga() {
    QFETCH(int, priezastis);
    QFETCH(bool, minimizuotas);
    QFETCH(bool, iskelia);
    QWidget langas;
    langas.resize(200, 100);
    if (minimizuotas) {
        langas.showMinimized();
        QVERIFY(langas.isMinimized());
    }
    TDekloPiktograma piktograma(&langas, false);
    piktograma.PiktogramaActivated(QSystemTrayIcon::ActivationReason(priezastis));
    if (iskelia) {
        QVERIFY(langas.isVisible());
        QVERIFY(!langas.isMinimized());
        QVERIFY(QTest::qWaitForWindowActive(&langas));
    } else {
        QCOMPARE(langas.isVisible(), minimizuotas);
        QCOMPARE(langas.isMinimized(), minimizuotas);
    }
}

QTEST_MAIN(TstDekloPiktograma)
#include "tst_deklo_piktograma.moc"
