// The memo as an accessibility client and a property reader see it: a
// read-only multi-line text whose text is its lines joined by line feeds,
// with character places that match what it paints.
#include <QAccessible>
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

QTEST_MAIN(TstMemo)
#include "tst_memo.moc"
