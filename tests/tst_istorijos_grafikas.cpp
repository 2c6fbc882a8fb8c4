// The plot of a server's day: its size, where times and counts land, the hour
// labels, and what the painting puts where for rounds, gaps and new data.
#include <QImage>
#include <QPainter>
#include <QTest>

#include "IstorijosGrafikas.h"

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kMin = 60 * 1000;
constexpr qint64 kVal = 60 * kMin;
constexpr qint64 kDiena = 24 * kVal;
constexpr qint64 kVidurdienis = 1767268800000; // 2026-01-01 12:00 UTC

// Rounds every `zingsnis` over the whole day before `dabar`, with the given figures.
TIstorijosTaskai Diena(qint64 dabar, qint64 zingsnis, std::optional<int> zaidejai, std::optional<int> max,
                       std::optional<int> pingas) {
    TIstorijosTaskai taskai;
    for (qint64 t = dabar - kDiena; t <= dabar; t += zingsnis)
        taskai.append({t, zaidejai, max, pingas});
    return taskai;
}

QImage Piesinys(const TIstorijosGrafikas& g) {
    QImage vaizdas(g.size(), QImage::Format_RGB32);
    QPainter p(&vaizdas);
    g.Nupiesti(p);
    p.end();
    return vaizdas;
}

// Pixels not of the background: labels are drawn smoothed, in shades of their colour.
int Nefono(const QImage& v, const QRect& kur) {
    int kiek = 0;
    for (int y = kur.top(); y <= kur.bottom(); ++y)
        for (int x = kur.left(); x <= kur.right(); ++x)
            kiek += v.pixelColor(x, y) != TIstorijosGrafikas::kFonas;
    return kiek;
}

int Spalvu(const QImage& v, const QRect& kur, const QColor& spalva) {
    int kiek = 0;
    for (int y = kur.top(); y <= kur.bottom(); ++y)
        for (int x = kur.left(); x <= kur.right(); ++x)
            kiek += v.pixelColor(x, y) == spalva;
    return kiek;
}

} // namespace

class TstIstorijosGrafikas : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void dydis();
    void vietos();
    void valanduZymes_data();
    void valanduZymes();
    void piesinys();
    void spragos();
    void stulpelioDidziausi();
    void naujiDuomenys();
    void uzDienosRibu();
};

void TstIstorijosGrafikas::dydis() {
    TIstorijosGrafikas g;
    QVERIFY(g.minimumSizeHint().width() >= 250 && g.minimumSizeHint().height() >= 60);
    g.resize(10, 10);
    QVERIFY(g.width() >= 250 && g.height() >= 60);
    // At the least size the plotting area still has room.
    g.resize(250, 60);
    g.NustatytiDuomenis(Diena(kVidurdienis, 10000, 32, 32, 999), kVidurdienis);
    QVERIFY2(g.Brezinys().width() >= 150 && g.Brezinys().height() >= 30,
             qPrintable(u"%1 x %2"_s.arg(g.Brezinys().width()).arg(g.Brezinys().height())));
    QVERIFY(g.rect().contains(g.Brezinys()));
}

void TstIstorijosGrafikas::vietos() {
    TIstorijosGrafikas g;
    g.resize(400, 100);
    g.NustatytiDuomenis({{kVidurdienis - kVal, 12, 32, 180}}, kVidurdienis);
    const QRect b = g.Brezinys();
    QCOMPARE(g.ZaidejuRiba(), 32);
    QCOMPARE(g.PingoRiba(), 200);
    QCOMPARE(g.LaikoX(kVidurdienis - kDiena), b.left());
    QCOMPARE(g.LaikoX(kVidurdienis), b.right());
    QCOMPARE(g.LaikoX(kVidurdienis - kDiena / 2), b.left() + (b.width() - 1) / 2);
    QCOMPARE(g.LaikoX(kVidurdienis - 2 * kDiena), b.left()); // held inside
    QCOMPARE(g.ZaidejuY(0), b.bottom());
    QCOMPARE(g.ZaidejuY(32), b.top());
    QCOMPARE(g.ZaidejuY(16), b.bottom() - (b.height() - 1) / 2);
    QCOMPARE(g.PingoY(0), b.bottom());
    QCOMPARE(g.PingoY(200), b.top());
    QCOMPARE(g.PingoY(5000), b.top());
    // An empty day still has scales.
    g.NustatytiDuomenis({}, kVidurdienis);
    QCOMPARE(g.ZaidejuRiba(), 1);
    QCOMPARE(g.PingoRiba(), 50);
}

void TstIstorijosGrafikas::valanduZymes_data() {
    QTest::addColumn<int>("plotis");
    QTest::addColumn<qint64>("dabar");
    QTest::addColumn<QByteArray>("juosta");
    QTest::addColumn<int>("kas");       // hours from one label to the next; 0: more than one
    QTest::addColumn<QString>("pirma"); // the first label, when it is known
    QTest::newRow("wide: every hour") << 900 << kVidurdienis + 30 * kMin << QByteArray("UTC") << 1 << u"13"_s;
    QTest::newRow("narrow: every few hours") << 250 << kVidurdienis + 30 * kMin << QByteArray("UTC") << 0 << QString();
    QTest::newRow("the day ends on the hour") << 900 << kVidurdienis << QByteArray("UTC") << 1 << u"12"_s;
    QTest::newRow("local hours of a zone east")
        << 900 << kVidurdienis + 30 * kMin << QByteArray("UTC+02:00") << 1 << u"15"_s;
}

void TstIstorijosGrafikas::valanduZymes() {
    QFETCH(int, plotis);
    QFETCH(qint64, dabar);
    QFETCH(QByteArray, juosta);
    QFETCH(int, kas);
    QFETCH(QString, pirma);
    const QTimeZone zona(juosta);
    QVERIFY(zona.isValid());
    TIstorijosGrafikas g;
    g.NustatytiLaikoJuosta(zona);
    g.resize(plotis, 80);
    g.NustatytiDuomenis(Diena(dabar, 10 * kMin, 5, 16, 40), dabar);
    const auto zymes = g.ValanduZymes();
    QVERIFY(zymes.size() >= 2);
    if (kas == 0) {
        kas = int((zymes.at(1).first - zymes.at(0).first) / kVal);
        QVERIFY(kas > 1);
        QVERIFY(24 % kas == 0);
    }
    QVERIFY(zymes.size() >= 24 / kas - 1);
    if (!pirma.isEmpty())
        QCOMPARE(zymes.first().second, pirma);
    for (qsizetype i = 0; i < zymes.size(); ++i) {
        const auto& [ms, tekstas] = zymes.at(i);
        QVERIFY(ms >= dabar - kDiena && ms <= dabar);
        QCOMPARE(tekstas, QDateTime::fromMSecsSinceEpoch(ms, zona).toString(u"HH"_s));
        QCOMPARE(QDateTime::fromMSecsSinceEpoch(ms, zona).time().minute(), 0);
        QCOMPARE(QDateTime::fromMSecsSinceEpoch(ms, zona).time().hour() % kas, 0);
        if (i > 0) {
            QCOMPARE(ms - zymes.at(i - 1).first, kas * kVal);
            // Labels do not touch.
            QVERIFY(g.LaikoX(ms) - g.LaikoX(zymes.at(i - 1).first) > QFontMetrics(g.font()).horizontalAdvance(tekstas));
        }
    }
}

void TstIstorijosGrafikas::piesinys() {
    // A day of 10 players of 40 with a round trip of 30 ms.
    TIstorijosGrafikas g;
    g.resize(400, 100);
    g.NustatytiLaikoJuosta(QTimeZone::utc());
    g.NustatytiDuomenis(Diena(kVidurdienis, 10000, 10, 40, 30), kVidurdienis);
    QCOMPARE(g.Taskai().size(), 8641);
    const QImage v = Piesinys(g);
    const QRect b = g.Brezinys();
    const int x = g.LaikoX(kVidurdienis - kDiena / 2);
    // Players from the bottom up to their count, nothing above but the lines.
    QCOMPARE(v.pixelColor(x, g.ZaidejuY(5)), TIstorijosGrafikas::kZaidejuSpalva);
    QCOMPARE(v.pixelColor(x, g.ZaidejuY(10)), TIstorijosGrafikas::kZaidejuSpalva);
    QCOMPARE(v.pixelColor(x, g.ZaidejuY(10) - 1), TIstorijosGrafikas::kFonas);
    QCOMPARE(v.pixelColor(x, g.ZaidejuY(20)), TIstorijosGrafikas::kFonas);
    // The maximum, the round trip.
    QCOMPARE(v.pixelColor(x, g.ZaidejuY(40)), TIstorijosGrafikas::kMaksimumoSpalva);
    QCOMPARE(g.PingoRiba(), 50);
    QCOMPARE(v.pixelColor(x, g.PingoY(30)), TIstorijosGrafikas::kPingoSpalva);
    // Every column of the day is drawn.
    QCOMPARE(Spalvu(v, QRect(b.left(), g.ZaidejuY(5), b.width(), 1), TIstorijosGrafikas::kZaidejuSpalva), b.width());
    // Labels: the hours below, the counts on the left, the round trip on the right.
    QVERIFY(Nefono(v, QRect(0, b.bottom() + 3, v.width(), v.height() - b.bottom() - 3)) > 24 * 4);
    QVERIFY(Nefono(v, QRect(0, 0, b.left() - 1, v.height() / 2)) > 5);
    QVERIFY(Nefono(v, QRect(b.right() + 2, 0, v.width() - b.right() - 2, b.height())) > 5);
    // The ticks of the hour labels below the plotting area.
    for (const auto& zyme : g.ValanduZymes())
        QCOMPARE(v.pixelColor(g.LaikoX(zyme.first), b.bottom() + 2), TIstorijosGrafikas::kZymiuSpalva);
}

void TstIstorijosGrafikas::spragos() {
    // Six hours without an answer in the middle of the day, and the first hours unknown.
    TIstorijosTaskai taskai;
    for (qint64 t = kVidurdienis - 20 * kVal; t <= kVidurdienis; t += 10000) {
        const bool tyla = t > kVidurdienis - 12 * kVal && t < kVidurdienis - 6 * kVal;
        taskai.append(tyla ? TIstorijosTaskas{t, std::nullopt, std::nullopt, std::nullopt}
                           : TIstorijosTaskas{t, 10, 40, 30});
    }
    TIstorijosGrafikas g;
    g.resize(400, 100);
    g.NustatytiDuomenis(taskai, kVidurdienis);
    const QImage v = Piesinys(g);
    for (const qint64 kada : {kVidurdienis - 9 * kVal, kVidurdienis - 22 * kVal}) {
        const int x = g.LaikoX(kada);
        QCOMPARE(v.pixelColor(x, g.ZaidejuY(5)), TIstorijosGrafikas::kFonas);
        QCOMPARE(v.pixelColor(x, g.ZaidejuY(40)), TIstorijosGrafikas::kFonas);
        QCOMPARE(v.pixelColor(x, g.PingoY(30)), TIstorijosGrafikas::kFonas);
    }
    const int x = g.LaikoX(kVidurdienis - 3 * kVal);
    QCOMPARE(v.pixelColor(x, g.ZaidejuY(5)), TIstorijosGrafikas::kZaidejuSpalva);
    QCOMPARE(v.pixelColor(x, g.PingoY(30)), TIstorijosGrafikas::kPingoSpalva);
}

void TstIstorijosGrafikas::stulpelioDidziausi() {
    // Two rounds in one column: the higher figures are drawn.
    TIstorijosGrafikas g;
    g.resize(400, 100);
    const qint64 t = kVidurdienis - 5 * kVal;
    g.NustatytiDuomenis({{t, 4, 40, 10}, {t + 1000, 20, 40, 45}, {kVidurdienis, 1, 40, 1}}, kVidurdienis);
    const QImage v = Piesinys(g);
    const int x = g.LaikoX(t);
    QCOMPARE(g.LaikoX(t + 1000), x);
    QCOMPARE(v.pixelColor(x, g.ZaidejuY(19)), TIstorijosGrafikas::kZaidejuSpalva);
    QCOMPARE(v.pixelColor(x, g.PingoY(45)), TIstorijosGrafikas::kPingoSpalva);
}

void TstIstorijosGrafikas::naujiDuomenys() {
    TIstorijosGrafikas g;
    g.resize(400, 100);
    g.NustatytiDuomenis(Diena(kVidurdienis, 60000, 10, 40, 30), kVidurdienis);
    const int x = g.LaikoX(kVidurdienis - kVal);
    QCOMPARE(Piesinys(g).pixelColor(x, g.ZaidejuY(30)), TIstorijosGrafikas::kFonas);
    // The next round's data: 30 players, the scale stays.
    TIstorijosTaskai taskai = Diena(kVidurdienis + kMin, 60000, 30, 40, 30);
    g.NustatytiDuomenis(taskai, kVidurdienis + kMin);
    QCOMPARE(Piesinys(g).pixelColor(x, g.ZaidejuY(30)), TIstorijosGrafikas::kZaidejuSpalva);
    // The widget paints what it was given.
    g.show();
    QVERIFY(QTest::qWaitForWindowExposed(&g));
    QCOMPARE(g.grab().toImage().convertToFormat(QImage::Format_RGB32), Piesinys(g));
}

void TstIstorijosGrafikas::uzDienosRibu() {
    TIstorijosGrafikas g;
    g.NustatytiDuomenis({{kVidurdienis - kDiena - 1, 50, 50, 900},
                         {kVidurdienis - kDiena, 2, 8, 20},
                         {kVidurdienis, 3, 8, 20},
                         {kVidurdienis + 1, 60, 60, 900}},
                        kVidurdienis);
    QCOMPARE(g.Taskai().size(), 2);
    QCOMPARE(g.ZaidejuRiba(), 8);
    QCOMPARE(g.PingoRiba(), 50);
}

QTEST_MAIN(TstIstorijosGrafikas)
#include "tst_istorijos_grafikas.moc"
