// The hover-aware label and check box: one enter and one leave per crossing,
// screen coordinates, an empty Shift, and nothing without a handler.
#include <QCursor>
#include <QTest>
#include <QWidget>

#include "TybCheckBox.h"
#include "TybLabel.h"

using namespace Qt::StringLiterals;

namespace {

struct TIvykis {
    QObject* siuntejas;
    Qt::KeyboardModifiers shift;
    QPoint taskas;
};

template <typename T> void Stebeti(T* valdiklis, QList<TIvykis>& iejimai, QList<TIvykis>& isejimai) {
    valdiklis->OnMouseEnter = [&iejimai](QObject* s, Qt::KeyboardModifiers m, int x, int y) {
        iejimai.append({s, m, QPoint(x, y)});
    };
    valdiklis->OnMouseLeave = [&isejimai](QObject* s, Qt::KeyboardModifiers m, int x, int y) {
        isejimai.append({s, m, QPoint(x, y)});
    };
}

} // namespace

class TstHover : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void vienasKartasPerKirtima_data();
    void vienasKartasPerKirtima();
    void ekranoKoordinates();
    void shiftVisadaTuscias();
    void beValdikliu();

private:
    QWidget* langas = nullptr;
    TTybLabel* etikete = nullptr;
    TTybCheckBox* zymimasis = nullptr;
};

void TstHover::init() {
    langas = new QWidget;
    langas->resize(300, 200);
    langas->move(100, 100);
    etikete = new TTybLabel(langas);
    etikete->setText(u"label"_s);
    etikete->setGeometry(20, 20, 100, 20);
    zymimasis = new TTybCheckBox(langas);
    zymimasis->setText(u"check box"_s);
    zymimasis->setGeometry(20, 80, 120, 20);
    langas->show();
    QVERIFY(QTest::qWaitForWindowExposed(langas));
    QTest::mouseMove(langas, QPoint(250, 180));
}

void TstHover::cleanup() {
    delete langas;
    langas = nullptr;
}

void TstHover::vienasKartasPerKirtima_data() {
    QTest::addColumn<bool>("zymimasis");
    QTest::newRow("label") << false;
    QTest::newRow("check box") << true;
}

void TstHover::vienasKartasPerKirtima() {
    QFETCH(bool, zymimasis);
    QWidget* valdiklis = zymimasis ? static_cast<QWidget*>(this->zymimasis) : etikete;
    QList<TIvykis> iejimai, isejimai;
    if (zymimasis)
        Stebeti(this->zymimasis, iejimai, isejimai);
    else
        Stebeti(etikete, iejimai, isejimai);
    const QPoint centras = valdiklis->geometry().center();
    QTest::mouseMove(langas, centras);
    QTRY_COMPARE_WITH_TIMEOUT(iejimai.size(), 1, 2000);
    QCOMPARE(isejimai.size(), 0);
    QCOMPARE(iejimai[0].siuntejas, valdiklis);
    // Moving inside raises nothing more.
    QTest::mouseMove(langas, centras + QPoint(5, 2));
    QTest::mouseMove(langas, centras + QPoint(-10, -3));
    QTest::qWait(20);
    QCOMPARE(iejimai.size(), 1);
    QCOMPARE(isejimai.size(), 0);
    QTest::mouseMove(langas, QPoint(250, 180));
    QTRY_COMPARE_WITH_TIMEOUT(isejimai.size(), 1, 2000);
    QCOMPARE(iejimai.size(), 1);
    QCOMPARE(isejimai[0].siuntejas, valdiklis);
    // A second crossing: one more of each.
    QTest::mouseMove(langas, centras);
    QTest::mouseMove(langas, QPoint(250, 10));
    QTRY_COMPARE_WITH_TIMEOUT(isejimai.size(), 2, 2000);
    QCOMPARE(iejimai.size(), 2);
}

void TstHover::ekranoKoordinates() {
    QList<TIvykis> iejimai, isejimai;
    Stebeti(etikete, iejimai, isejimai);
    const QPoint vieta(30, 25);
    QTest::mouseMove(langas, vieta);
    QTRY_COMPARE_WITH_TIMEOUT(iejimai.size(), 1, 2000);
    QCOMPARE(iejimai[0].taskas, langas->mapToGlobal(vieta));
    QCOMPARE(iejimai[0].taskas, QCursor::pos());
    QTest::mouseMove(langas, QPoint(250, 180));
    QTRY_COMPARE_WITH_TIMEOUT(isejimai.size(), 1, 2000);
    QCOMPARE(isejimai[0].taskas, langas->mapToGlobal(QPoint(250, 180)));
    // The same point of the label, the window moved: other coordinates.
    const QPoint pries = langas->mapToGlobal(vieta);
    langas->move(langas->pos() + QPoint(40, 30));
    QTRY_COMPARE_WITH_TIMEOUT(langas->mapToGlobal(vieta), pries + QPoint(40, 30), 2000);
    QTest::mouseMove(langas, vieta);
    QTRY_COMPARE_WITH_TIMEOUT(iejimai.size(), 2, 2000);
    QCOMPARE(iejimai[1].taskas, langas->mapToGlobal(vieta));
    QVERIFY(iejimai[1].taskas != iejimai[0].taskas);
}

void TstHover::shiftVisadaTuscias() {
    QList<TIvykis> iejimai, isejimai;
    Stebeti(zymimasis, iejimai, isejimai);
    // Enter and leave with a modifier and a button held.
    QEnterEvent iejimas(QPointF(5, 5), QPointF(5, 5), zymimasis->mapToGlobal(QPointF(5, 5)));
    QTest::keyPress(langas, Qt::Key_Shift, Qt::ShiftModifier);
    QCoreApplication::sendEvent(zymimasis, &iejimas);
    QEvent isejimas(QEvent::Leave);
    QCoreApplication::sendEvent(zymimasis, &isejimas);
    QTest::keyRelease(langas, Qt::Key_Shift, Qt::ShiftModifier);
    QCOMPARE(iejimai.size(), 1);
    QCOMPARE(isejimai.size(), 1);
    QCOMPARE(iejimai[0].shift, Qt::KeyboardModifiers());
    QCOMPARE(isejimai[0].shift, Qt::KeyboardModifiers());
}

void TstHover::beValdikliu() {
    // No handler: crossing the controls raises nothing and breaks nothing.
    for (QWidget* v : {static_cast<QWidget*>(etikete), static_cast<QWidget*>(zymimasis)}) {
        QTest::mouseMove(langas, v->geometry().center());
        QTest::mouseMove(langas, QPoint(250, 180));
    }
    QTest::mouseClick(zymimasis, Qt::LeftButton);
    QVERIFY(zymimasis->isChecked());
}

QTEST_MAIN(TstHover)
#include "tst_hover.moc"
