// The memo as an accessibility client and a property reader see it: a
// read-only multi-line text whose text is its lines joined by line feeds,
// with character places that match what it paints; its marked lines, and the
// line a right press falls on.
#include <QAccessible>
#include <QSignalSpy>
#include <QTest>

#include "Valdikliai.h"

using namespace Qt::StringLiterals;

class TstMemo : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void tekstas_data();
    void tekstas();
    void simboliuVietos_data();
    void simboliuVietos();
    void zymes_data();
    void zymes();
    void desinysPaspaudimas();
};

void TstMemo::tekstas_data() {
    QTest::addColumn<QStringList>("eilutes");
    QTest::addColumn<QString>("tekstas");
    QTest::newRow("none") << QStringList() << QString();
    QTest::newRow("one") << QStringList{u"Vardas"_s} << u"Vardas"_s;
    QTest::newRow("empty line counts") << QStringList{u"a"_s, QString(), u"b"_s} << u"a\n\nb"_s;
    QTest::newRow("last line empty") << QStringList{u"12"_s, QString()} << u"12\n"_s;
}

void TstMemo::tekstas() {
    QFETCH(QStringList, eilutes);
    QFETCH(QString, tekstas);
    QWidget langas;
    auto* memo = Sukurti<TMemo>(&langas, "memBandymas", 0, 0, 120, 200);
    memo->PridetiEilutes({u"old"_s});
    memo->Isvalyti();
    memo->PridetiEilutes(eilutes);
    QCOMPARE(memo->property("text").toString(), tekstas);

    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(memo);
    QVERIFY(i);
    QCOMPARE(i->role(), QAccessible::EditableText);
    QVERIFY(i->state().readOnly);
    QVERIFY(i->state().multiLine);
    QVERIFY(!i->state().focusable);
    QCOMPARE(i->text(QAccessible::Value), tekstas);
    QAccessibleTextInterface* t = i->textInterface();
    QVERIFY(t);
    QCOMPARE(t->characterCount(), int(tekstas.size()));
    QCOMPARE(t->text(0, t->characterCount()), tekstas);
    QCOMPARE(t->text(1, t->characterCount()), tekstas.mid(1));
    QCOMPARE(t->text(0, t->characterCount() + 1), QString());
    QCOMPARE(t->selectionCount(), 0);
    QCOMPARE(i->parent(), QAccessible::queryAccessibleInterface(&langas));
}

void TstMemo::simboliuVietos_data() {
    QTest::addColumn<int>("lygiavimas");
    QTest::newRow("left") << int(Qt::AlignLeft);
    QTest::newRow("right") << int(Qt::AlignRight);
}

void TstMemo::simboliuVietos() {
    // Every character's place leads back to the character, and lies where the
    // memo paints it: lines one under another, right-aligned ones at the right.
    QFETCH(int, lygiavimas);
    QWidget langas;
    langas.resize(200, 200);
    auto* memo = Sukurti<TMemo>(&langas, "memBandymas", 10, 10, 120, 150);
    memo->NustatytiLygiavima(Qt::Alignment(lygiavimas));
    memo->PridetiEilutes({u"Wide"_s, QString(), u"ii"_s});
    QAccessibleTextInterface* t = QAccessible::queryAccessibleInterface(memo)->textInterface();
    QVERIFY(t);
    const QString tekstas = memo->text();
    QRect ankstesnis;
    for (int k = 0; k < tekstas.size(); ++k) {
        if (tekstas.at(k) == u'\n')
            continue;
        const QRect r = t->characterRect(k);
        QVERIFY(memo->rect().contains(memo->mapFromGlobal(r.center())));
        QCOMPARE(t->offsetAtPoint(r.center()), k);
        if (k == tekstas.size() - 1 && lygiavimas == int(Qt::AlignRight))
            QVERIFY(memo->mapFromGlobal(r.topRight()).x() >= memo->width() - 4);
        if (ankstesnis.isValid())
            QVERIFY(r.top() > ankstesnis.top() || r.left() > ankstesnis.left());
        ankstesnis = r;
    }
    QCOMPARE(t->characterRect(int(tekstas.size()) + 1), QRect());
    QCOMPARE(t->offsetAtPoint(memo->mapToGlobal(QPoint(5, 140))), -1);
}

void TstMemo::zymes_data() {
    QTest::addColumn<int>("lygiavimas");
    QTest::addColumn<QString>("vardas"); // the marked line, the second of three
    QTest::newRow("left, a short name") << int(Qt::AlignLeft) << u"Bob"_s;
    QTest::newRow("right, a short name") << int(Qt::AlignRight) << u"Bob"_s;
    QTest::newRow("left, a name wider than the memo") << int(Qt::AlignLeft) << QString(40, u'W');
}

void TstMemo::zymes() {
    // A marked line is painted bold with its star beside the text, inside the
    // memo; its text, the memo's text and the characters' places stay right.
    QFETCH(int, lygiavimas);
    QFETCH(QString, vardas);
    QWidget langas;
    langas.resize(200, 200);
    auto* memo = Sukurti<TMemo>(&langas, "memBandymas", 10, 10, 120, 150);
    QPalette spalvos = memo->palette();
    spalvos.setColor(QPalette::Base, Qt::black);
    spalvos.setColor(QPalette::Text, Qt::yellow);
    memo->setPalette(spalvos);
    memo->NustatytiLygiavima(Qt::Alignment(lygiavimas));
    const QStringList eilutes{u"Alice"_s, vardas, u"Carol"_s};
    memo->NustatytiEilutes(eilutes);
    memo->NustatytiZymes({false, true, false, true}); // entries past the lines count for nothing
    QVERIFY(!memo->ArPazymeta(0) && memo->ArPazymeta(1) && !memo->ArPazymeta(2) && !memo->ArPazymeta(3));
    QCOMPARE(memo->Eilutes(), eilutes);
    QCOMPARE(memo->text(), eilutes.join(u'\n'));
    QVERIFY(memo->EilutesSriftas(1).bold());
    QVERIFY(!memo->EilutesSriftas(0).bold());
    QCOMPARE(memo->ZymesVieta(0), QRect());

    const QRect zyme = memo->ZymesVieta(1);
    QVERIFY(memo->rect().contains(zyme));
    QVERIFY(memo->EilutesVieta(1).contains(zyme));
    const int teksto = QFontMetrics(memo->EilutesSriftas(1)).horizontalAdvance(vardas);
    const bool arVietosYra = teksto + zyme.width() + 3 < memo->EilutesVieta(1).width();
    if (arVietosYra) { // room beside the text: the star does not cover it
        if (lygiavimas == int(Qt::AlignRight))
            QVERIFY(zyme.right() < memo->EilutesVieta(1).right() - teksto);
        else
            QVERIFY(zyme.left() > memo->EilutesVieta(1).left() + teksto);
    }
    // The star is painted in the text's colour, and goes with the mark.
    const auto geltoni = [memo](const QRect& r) {
        const QImage vaizdas = memo->grab().toImage();
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                const QColor c(vaizdas.pixel(x, y));
                n += c.red() > 128 && c.green() > 128 && c.blue() < 100 ? 1 : 0;
            }
        return n;
    };
    const int suZyme = geltoni(zyme);
    QVERIFY(suZyme > 0);
    memo->NustatytiZymes({});
    QVERIFY(!memo->ArPazymeta(1));
    QVERIFY(!memo->EilutesSriftas(1).bold());
    if (arVietosYra)
        QCOMPARE(geltoni(zyme), 0);
    else
        QVERIFY(geltoni(zyme) != suZyme);
    memo->NustatytiZymes({false, true});

    // Accessibility places follow the bold line's characters.
    QAccessibleTextInterface* t = QAccessible::queryAccessibleInterface(memo)->textInterface();
    QVERIFY(t);
    const int pradzia = int(eilutes.at(0).size()) + 1;
    for (int k = pradzia; k < pradzia + int(vardas.size()); ++k)
        if (memo->rect().contains(memo->mapFromGlobal(t->characterRect(k).center()))) // painted, not cut off
            QCOMPARE(t->offsetAtPoint(t->characterRect(k).center()), k);

    // New lines drop the marks; the same lines keep them.
    memo->NustatytiEilutes(eilutes);
    QVERIFY(memo->ArPazymeta(1));
    memo->NustatytiEilutes({u"Alice"_s, u"Dave"_s});
    QVERIFY(!memo->ArPazymeta(1));
    QCOMPARE(memo->ZymesVieta(1), QRect());
}

void TstMemo::desinysPaspaudimas() {
    // A right press tells the line under it; below the last line, or with the
    // left button, no line is told; every press still tells the press.
    QWidget langas;
    langas.resize(200, 200);
    auto* memo = Sukurti<TMemo>(&langas, "memBandymas", 10, 10, 120, 150);
    memo->NustatytiEilutes({u"Alice"_s, u"Bob"_s});
    langas.show();
    QVERIFY(QTest::qWaitForWindowExposed(&langas));
    QSignalSpy eilute(memo, &TMemo::eiluteDesiniuPaspausta);
    QSignalSpy paspausta(memo, &TMemo::pelePaspausta);
    QTest::mouseClick(memo, Qt::RightButton, {}, memo->EilutesVieta(1).center());
    QTest::mouseClick(memo, Qt::RightButton, {}, memo->EilutesVieta(0).center());
    QTest::mouseClick(memo, Qt::LeftButton, {}, memo->EilutesVieta(1).center());
    QTest::mouseClick(memo, Qt::RightButton, {}, memo->EilutesVieta(4).center());
    QCOMPARE(eilute.size(), 2);
    QCOMPARE(eilute.at(0).at(0).toInt(), 1);
    QCOMPARE(eilute.at(1).at(0).toInt(), 0);
    QCOMPARE(paspausta.size(), 4);
}

QTEST_MAIN(TstMemo)
#include "tst_memo.moc"
