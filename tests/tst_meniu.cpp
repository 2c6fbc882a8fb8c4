// The watcher's painted bottom bar, its menu and option panels, the interval
// dialogs, the exit confirmation and the keyboard rules.
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTimer>

#include <QAccessible>

#include "ApatineJuosta.h"
#include "AtsakymuKurejas.h"
#include "Modulis2.h"
#include "Parinktys.h"
#include "StebetojoAplinka.h"
#include "TybCheckBox.h"
#include "TybLabel.h"
#include "Valdikliai.h"

using namespace Qt::StringLiterals;

namespace {

const QColor kFonas(0x10, 0x0C, 0x08);
const QColor kRemas(0x31, 0x31, 0x19);
const QColor kPazymetasRemas(0xBD, 0xCA, 0x31);
const QColor kTekstas(0x8C, 0x8E, 0x31);
const QColor kPazymetasTekstas(0xC5, 0xCA, 0x3A);
const QColor kPazymetasFonas(0x5A, 0x5D, 0x31);
const QColor kVeiksmas(0xFF, 0xBB, 0x00);
const QColor kVeiksmasPazymetas(0xFF, 0x90, 0x00);

QColor Taskas(int x, int y) {
    return Valdiklis<TApatineJuosta>("imgApacia")->Vaizdas().pixelColor(x, y);
}

// The colours an item's frame and inside show (top-left corner and the pixel inside it).
bool Pazymetas(int x1) {
    return Taskas(x1, 2) == kPazymetasRemas;
}

void Paleisti(Qt::MouseButton mygtukas, QPoint taskas) {
    if (mygtukas == Qt::LeftButton) {
        QTest::mouseClick(Valdiklis<TApatineJuosta>("imgApacia"), Qt::LeftButton, {}, taskas);
    } else {
        QTest::mousePress(Valdiklis<TApatineJuosta>("imgApacia"), mygtukas, {}, taskas);
        QTest::mouseRelease(Valdiklis<TApatineJuosta>("imgApacia"), mygtukas, {}, taskas);
    }
}

QList<QFrame*> Skydeliai() {
    return {Valdiklis<QFrame>("pnlMeniuLygis1"), Valdiklis<QFrame>("pnlMeniuLygis2"),
            Valdiklis<QFrame>("pnlAtnaujinimai"), Valdiklis<QFrame>("pnlPatvirtinimai"),
            Valdiklis<QFrame>("pnlArIseiti")};
}

QString Matomi() {
    QStringList vardai;
    for (QFrame* p : Skydeliai())
        if (p->isVisible())
            vardai.append(p->objectName());
    return vardai.join(u',');
}

void RodytiVisus() {
    for (QFrame* p : Skydeliai())
        p->show();
}

// One key event as the system sends it (QTest would add presses of the modifier
// keys first). `mod` is what is held once the key is down; the system reports a
// modifier key with the state before it, which QKeyEvent::modifiers() turns back.
void Klavisas(QEvent::Type tipas, int kodas, Qt::KeyboardModifiers mod = {}) {
    QWidget* kam = frmPagrindinis()->focusWidget() ? frmPagrindinis()->focusWidget() : frmPagrindinis();
    if (kodas == Qt::Key_Shift)
        mod ^= Qt::ShiftModifier;
    else if (kodas == Qt::Key_Control)
        mod ^= Qt::ControlModifier;
    else if (kodas == Qt::Key_Alt)
        mod ^= Qt::AltModifier;
    QKeyEvent ivykis(tipas, kodas, mod);
    QCoreApplication::sendEvent(kam, &ivykis);
}

void Paspausti(int kodas, Qt::KeyboardModifiers mod = {}) {
    Klavisas(QEvent::KeyPress, kodas, mod);
}

void Atleisti(int kodas, Qt::KeyboardModifiers mod = {}) {
    Klavisas(QEvent::KeyRelease, kodas, mod);
}

// Takes the focus away from the address box, to a button.
void AtimtiFokusa() {
    Valdiklis<QPushButton>("btnApie")->setFocus();
}

void Iejimas(QWidget* v) {
    QEnterEvent e(QPointF(2, 2), QPointF(2, 2), v->mapToGlobal(QPointF(2, 2)));
    QCoreApplication::sendEvent(v, &e);
}

void Isejimas(QWidget* v) {
    QEvent e(QEvent::Leave);
    QCoreApplication::sendEvent(v, &e);
}

} // namespace

class TstMeniu : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void juostaNupiesta();
    void paleidimoRibos_data();
    void paleidimoRibos();
    void iseitiRibos_data();
    void iseitiRibos();
    void rodyklesTikPersipiesia();
    void judejimasPazymi();
    void meniuPerjungimoSeka();
    void desinysMygtukasAtidaro();
    void lygio1Etiketes_data();
    void lygio1Etiketes();
    void zymimujuSpalvos();
    void pranesimuZymosIvairiuSkydelyje();
    void veiksmoEtikeciuSpalvos();
    void uzdarantysPaspaudimai_data();
    void uzdarantysPaspaudimai();
    void langoFonoPaspaudimas();
    void lentelesPasikeitimasUzdaro();
    void geraiUzdaro();
    void serveriuSarasasIsMeniu();
    void iseitiTaipNe();
    void intervalas_data();
    void intervalas();
    void zymimiejiValdoSkydelius();
    void shiftRodoLentele();
    void juostaKlaviaturaiIrSkaitytuvui();
    void skydeliaiKlaviaturaiIrSkaitytuvui();
    void zymimujuLangeliai_data();
    void zymimujuLangeliai();
    void ctrlSlepiaJuosta_data();
    void ctrlSlepiaJuosta();
    void ctrlTab_data();
    void ctrlTab();
    void tabAtleidimasSlepiaLenta_data();
    void tabAtleidimasSlepiaLenta();
    void stulpelioPaspaudimas_data();
    void stulpelioPaspaudimas();
    void escape_data();
    void escape();

private:
    TStebetojoAplinka aplinka;
};

void TstMeniu::initTestCase() {
    QVERIFY(aplinka.Paruosti());
    QVERIFY(aplinka.Paleisti());
}

void TstMeniu::cleanupTestCase() {
    aplinka.Baigti();
}

void TstMeniu::init() {
    if (!frmPagrindinis()->isVisible()) {
        frmPagrindinis()->show();
        QVERIFY(QTest::qWaitForWindowExposed(frmPagrindinis()));
    }
    aplinka.pranesimai.clear();
    aplinka.ivedimas = {};
    Valdiklis<TTybCheckBox>("chkTAB")->setChecked(true);
    Valdiklis<TTybCheckBox>("chkMeniuApacioj")->setChecked(true);
    Valdiklis<TTybCheckBox>("chkArIseiti")->setChecked(true);
    Valdiklis<TTybCheckBox>("chkIssaugotiPakeitimus")->setChecked(false);
    for (QFrame* p : Skydeliai())
        p->hide();
    frmPagrindinis()->setProperty("MeniuPerjungtas", false);
    Valdiklis<TApatineJuosta>("imgApacia")->Nupiesti();
}

void TstMeniu::juostaNupiesta() {
    // The five items in their normal colours on the bar's background.
    for (int x1 : {15, 250, 285, 510, 698}) {
        QCOMPARE(Taskas(x1, 2), kRemas);
        QCOMPARE(Taskas(x1 + 1, 3), kFonas);
    }
    QCOMPARE(Taskas(89, 20), kRemas);
    QCOMPARE(Taskas(90, 21), kFonas); // the rectangle ends before X2 and Y2
    QCOMPARE(Taskas(5, 10), kFonas);
    QCOMPARE(Taskas(780, 24), kFonas);
    // Some text is drawn in each item in the normal text colour.
    const auto turiTeksta = [](int x1, int x2) {
        for (int x = x1 + 1; x < x2 - 1; ++x)
            for (int y = 3; y < 20; ++y)
                if (Taskas(x, y) == kTekstas)
                    return true;
        return false;
    };
    QVERIFY(turiTeksta(15, 90));
    QVERIFY(turiTeksta(285, 500));
    QVERIFY(turiTeksta(698, 768));
    QCOMPARE(Valdiklis<TApatineJuosta>("imgApacia")->geometry(), QRect(0, 540, 781, 25));
}

void TstMeniu::paleidimoRibos_data() {
    QTest::addColumn<QPoint>("taskas");
    QTest::addColumn<bool>("atidaro");
    QTest::newRow("x 15 is the frame") << QPoint(15, 10) << false;
    QTest::newRow("x 16 is inside") << QPoint(16, 10) << true;
    QTest::newRow("x 89 is inside") << QPoint(89, 10) << true;
    QTest::newRow("x 90 is outside") << QPoint(90, 10) << false;
    QTest::newRow("y 2 is the frame") << QPoint(50, 2) << false;
    QTest::newRow("y 3 is inside") << QPoint(50, 3) << true;
    QTest::newRow("y 20 is inside") << QPoint(50, 20) << true;
    QTest::newRow("y 21 is outside") << QPoint(50, 21) << false;
}

void TstMeniu::paleidimoRibos() {
    QFETCH(QPoint, taskas);
    QFETCH(bool, atidaro);
    Paleisti(Qt::LeftButton, taskas);
    QCOMPARE(Valdiklis<QFrame>("pnlMeniuLygis1")->isVisible(), atidaro);
    QCOMPARE(Pazymetas(15), atidaro);
}

void TstMeniu::iseitiRibos_data() {
    QTest::addColumn<QPoint>("taskas");
    QTest::addColumn<bool>("klausia");
    QTest::newRow("x 698 hides the question") << QPoint(698, 10) << false;
    QTest::newRow("x 699 asks") << QPoint(699, 10) << true;
    QTest::newRow("x 767 asks") << QPoint(767, 10) << true;
    QTest::newRow("x 768 hides the question") << QPoint(768, 10) << false;
}

void TstMeniu::iseitiRibos() {
    QFETCH(QPoint, taskas);
    QFETCH(bool, klausia);
    Valdiklis<QFrame>("pnlArIseiti")->show();
    Paleisti(Qt::LeftButton, taskas);
    QCOMPARE(Valdiklis<QFrame>("pnlArIseiti")->isVisible(), klausia);
    QCOMPARE(Pazymetas(698), klausia);
    QVERIFY(frmPagrindinis()->isVisible());
}

void TstMeniu::rodyklesTikPersipiesia() {
    Paleisti(Qt::LeftButton, QPoint(260, 10));
    QVERIFY(Pazymetas(250));
    QVERIFY(!Pazymetas(510));
    QCOMPARE(Matomi(), QString());
    Paleisti(Qt::LeftButton, QPoint(520, 10));
    QVERIFY(!Pazymetas(250));
    QVERIFY(Pazymetas(510));
    QCOMPARE(Matomi(), QString());
    QVERIFY(frmPagrindinis()->isVisible());
}

void TstMeniu::judejimasPazymi() {
    QTest::mouseMove(Valdiklis<TApatineJuosta>("imgApacia"), QPoint(50, 10));
    QTRY_VERIFY(Pazymetas(15));
    QVERIFY(!Pazymetas(698));
    QTest::mouseMove(Valdiklis<TApatineJuosta>("imgApacia"), QPoint(720, 10));
    QTRY_VERIFY(Pazymetas(698));
    QVERIFY(!Pazymetas(15));
    // The address slot is never highlighted.
    QTest::mouseMove(Valdiklis<TApatineJuosta>("imgApacia"), QPoint(400, 10));
    QTRY_VERIFY(!Pazymetas(698));
    QVERIFY(!Pazymetas(285));
    QCOMPARE(Matomi(), QString());
}

void TstMeniu::meniuPerjungimoSeka() {
    QCOMPARE(frmPagrindinis()->property("MeniuPerjungtas").toBool(), false);
    Paleisti(Qt::LeftButton, QPoint(50, 10)); // opens, flag true
    QVERIFY(Valdiklis<QFrame>("pnlMeniuLygis1")->isVisible());
    QCOMPARE(frmPagrindinis()->property("MeniuPerjungtas").toBool(), true);
    Paleisti(Qt::LeftButton, QPoint(50, 10)); // stays open, flag false
    QVERIFY(Valdiklis<QFrame>("pnlMeniuLygis1")->isVisible());
    QCOMPARE(frmPagrindinis()->property("MeniuPerjungtas").toBool(), false);
    Paleisti(Qt::LeftButton, QPoint(400, 10)); // flag false at this click: closes
    QVERIFY(!Valdiklis<QFrame>("pnlMeniuLygis1")->isVisible());
    QCOMPARE(frmPagrindinis()->property("MeniuPerjungtas").toBool(), true);
    Paleisti(Qt::LeftButton, QPoint(50, 10)); // opens again, flag false
    QCOMPARE(frmPagrindinis()->property("MeniuPerjungtas").toBool(), false);
    Valdiklis<QFrame>("pnlPatvirtinimai")->show();
    Paleisti(Qt::LeftButton, QPoint(400, 10)); // the option panels always close
    QVERIFY(!Valdiklis<QFrame>("pnlMeniuLygis1")->isVisible());
    QVERIFY(!Valdiklis<QFrame>("pnlPatvirtinimai")->isVisible());
    QCOMPARE(frmPagrindinis()->property("MeniuPerjungtas").toBool(), true);
    Valdiklis<QFrame>("pnlMeniuLygis1")->show();
    Paleisti(Qt::LeftButton, QPoint(400, 10)); // flag true at this click: the panel stays
    QVERIFY(Valdiklis<QFrame>("pnlMeniuLygis1")->isVisible());
}

void TstMeniu::desinysMygtukasAtidaro() {
    Paleisti(Qt::RightButton, QPoint(50, 10));
    QVERIFY(Valdiklis<QFrame>("pnlMeniuLygis1")->isVisible());
    QCOMPARE(frmPagrindinis()->property("MeniuPerjungtas").toBool(), true);
    Paleisti(Qt::MiddleButton, QPoint(400, 10)); // no click: nothing closes
    QVERIFY(Valdiklis<QFrame>("pnlMeniuLygis1")->isVisible());
    QCOMPARE(frmPagrindinis()->property("MeniuPerjungtas").toBool(), false);
}

void TstMeniu::lygio1Etiketes_data() {
    QTest::addColumn<QString>("etikete");
    QTest::addColumn<QString>("skydelis");
    QTest::newRow("confirmations") << u"lblPatvirtinimai"_s << u"pnlPatvirtinimai"_s;
    QTest::newRow("miscellaneous") << u"lblIvairus1"_s << u"pnlMeniuLygis2"_s;
    QTest::newRow("refresh intervals") << u"lblMeniu3"_s << u"pnlAtnaujinimai"_s;
    QTest::newRow("server list") << u"lblMeniu2"_s << QString();
    QTest::newRow("server details") << u"lblMeniu4"_s << QString();
    QTest::newRow("close the menus") << u"lblGerai"_s << QString();
}

void TstMeniu::lygio1Etiketes() {
    QFETCH(QString, etikete);
    QFETCH(QString, skydelis);
    auto* l = frmPagrindinis()->findChild<TTybLabel*>(etikete);
    QVERIFY(l);
    Valdiklis<QFrame>("pnlMeniuLygis1")->show();
    // Another option panel is open; entering the label picks its own (or none).
    Valdiklis<QFrame>("pnlAtnaujinimai")->show();
    Iejimas(l);
    const QString tiketina = skydelis.isEmpty() ? u"pnlMeniuLygis1"_s
                             : skydelis == u"pnlMeniuLygis2"_s
                                 ? u"pnlMeniuLygis1,pnlMeniuLygis2"_s
                                 : (skydelis == u"pnlAtnaujinimai"_s ? u"pnlMeniuLygis1,pnlAtnaujinimai"_s
                                                                     : u"pnlMeniuLygis1,pnlPatvirtinimai"_s);
    QCOMPARE(Matomi(), tiketina);
    QCOMPARE(l->palette().color(QPalette::WindowText), kPazymetasTekstas);
    QCOMPARE(l->palette().color(QPalette::Window), kPazymetasFonas);
    QVERIFY(l->autoFillBackground());
    // Leaving keeps the panel open, so the pointer can travel into it.
    Isejimas(l);
    QCOMPARE(Matomi(), tiketina);
    QCOMPARE(l->palette().color(QPalette::WindowText), kTekstas);
    QCOMPARE(l->palette().color(QPalette::Window), kFonas);
}

void TstMeniu::zymimujuSpalvos() {
    for (TTybCheckBox* c : {Valdiklis<TTybCheckBox>("chkTAB"), Valdiklis<TTybCheckBox>("chkMeniuApacioj"),
                            Valdiklis<TTybCheckBox>("chkArIseiti"), Valdiklis<TTybCheckBox>("chkIssaugotiPakeitimus"),
                            Valdiklis<TTybCheckBox>("chkKeistiHosta"), Valdiklis<TTybCheckBox>("chkPranestiVieta"),
                            Valdiklis<TTybCheckBox>("chkPranestiDraugus")}) {
        Iejimas(c);
        QCOMPARE(c->palette().color(QPalette::WindowText), kPazymetasTekstas);
        QCOMPARE(c->palette().color(QPalette::Window), kPazymetasFonas);
        Isejimas(c);
        QCOMPARE(c->palette().color(QPalette::WindowText), kTekstas);
        QCOMPARE(c->palette().color(QPalette::Window), kFonas);
    }
}

void TstMeniu::pranesimuZymosIvairiuSkydelyje() {
    // The notification options sit in the miscellaneous panel, below the
    // language, inside the panel, clear of its other controls and of the bar.
    QFrame* skydelis = Valdiklis<QFrame>("pnlMeniuLygis2");
    const QList<QWidget*> kiti = skydelis->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (const char* vardas : {"chkPranestiVieta", "chkPranestiDraugus"}) {
        auto* c = Valdiklis<TTybCheckBox>(vardas);
        QCOMPARE(c->parentWidget(), skydelis);
        QVERIFY(skydelis->rect().contains(c->geometry()));
        QVERIFY(c->geometry().top() > Valdiklis<QComboBox>("cboKalbos")->geometry().bottom());
        for (QWidget* kitas : kiti)
            QVERIFY2(kitas == c || !kitas->geometry().intersects(c->geometry()), qPrintable(kitas->objectName()));
        QCOMPARE(c->font(), Valdiklis<TTybCheckBox>("chkTAB")->font());
    }
    QVERIFY(skydelis->geometry().bottom() < Valdiklis<TApatineJuosta>("imgApacia")->geometry().top());
    // The panel opens with them.
    Valdiklis<QFrame>("pnlMeniuLygis1")->show();
    Iejimas(Valdiklis<TTybLabel>("lblIvairus1"));
    QVERIFY(Valdiklis<TTybCheckBox>("chkPranestiVieta")->isVisible());
    QVERIFY(Valdiklis<TTybCheckBox>("chkPranestiDraugus")->isVisible());
    Isejimas(Valdiklis<TTybLabel>("lblIvairus1"));
}

void TstMeniu::veiksmoEtikeciuSpalvos() {
    for (TTybLabel* l : {Valdiklis<TTybLabel>("lblIntervalas"), Valdiklis<TTybLabel>("lblIntervalasServeriaiBendrai"),
                         Valdiklis<TTybLabel>("lblIseitiTaip"), Valdiklis<TTybLabel>("lblIseitiNe")}) {
        const bool fonas = l->autoFillBackground();
        Iejimas(l);
        QCOMPARE(l->palette().color(QPalette::WindowText), kVeiksmasPazymetas);
        QCOMPARE(l->autoFillBackground(), fonas); // only the text changes
        Isejimas(l);
        QCOMPARE(l->palette().color(QPalette::WindowText), kVeiksmas);
    }
}

void TstMeniu::uzdarantysPaspaudimai_data() {
    QTest::addColumn<QString>("valdiklis");
    QTest::addColumn<bool>("uzdaro");
    for (const char* v : {"pnlTAB", "lblKomanda1Title", "lblKomanda2Title", "lblStebetojaiTitle", "lblStebetojai",
                          "lblZaidSK1", "lblZaidSK2", "lblFragaiTitle", "lblLaikasTitle", "lblPingas1", "lblPingas2",
                          "imgZemelapis", "lblZemelapis", "lblAdresas"})
        QTest::newRow(v) << QString::fromLatin1(v) << true;
    // Controls without a click of their own close nothing.
    QTest::newRow("server name label") << u"lblServerioPavadinimas"_s << false;
    QTest::newRow("players count label") << u"lblZaidejaiSK"_s << false;
}

void TstMeniu::uzdarantysPaspaudimai() {
    QFETCH(QString, valdiklis);
    QFETCH(bool, uzdaro);
    auto* v = frmPagrindinis()->findChild<QWidget*>(valdiklis);
    QVERIFY(v);
    RodytiVisus();
    QTest::mouseClick(v, Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(Matomi().isEmpty(), uzdaro);
}

void TstMeniu::langoFonoPaspaudimas() {
    RodytiVisus();
    QTest::mouseClick(frmPagrindinis(), Qt::LeftButton, {}, QPoint(480, 300));
    QCOMPARE(Matomi(), u"pnlArIseiti"_s);
    // A click inside a panel is the panel's own: nothing closes.
    RodytiVisus();
    QTest::mouseClick(Valdiklis<QFrame>("pnlMeniuLygis2"), Qt::LeftButton, {}, QPoint(200, 90));
    QCOMPARE(Skydeliai().size(), qsizetype(Matomi().split(u',').size()));
}

void TstMeniu::lentelesPasikeitimasUzdaro() {
    RodytiVisus();
    Kviesti(frmPagrindinis(), "RodytiZaidejus", Q_ARG(TZaidejai, TZaidejai({KurtiZaidejoInfo(1, "x", 1, 1.0f)})));
    QCOMPARE(Matomi(), QString());
    // A press in a column hands the keyboard to the address box.
    frmPagrindinis()->activateWindow();
    QTest::mousePress(Valdiklis<TMemo>("memFragai2"), Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mouseRelease(Valdiklis<TMemo>("memFragai2"), Qt::LeftButton, {}, QPoint(3, 3));
    QTRY_VERIFY(Valdiklis<QLineEdit>("edtHostas")->hasFocus());
}

void TstMeniu::geraiUzdaro() {
    RodytiVisus();
    frmPagrindinis()->setProperty("MeniuPerjungtas", true);
    QTest::mouseClick(Valdiklis<TTybLabel>("lblGerai"), Qt::LeftButton, {}, QPoint(3, 3));
    // The confirmations panel is not among those it closes.
    QCOMPARE(Matomi(), u"pnlPatvirtinimai"_s);
    QCOMPARE(frmPagrindinis()->property("MeniuPerjungtas").toBool(), false);
}

void TstMeniu::serveriuSarasasIsMeniu() {
    Valdiklis<QFrame>("pnlMeniuLygis1")->show();
    Valdiklis<QFrame>("pnlPatvirtinimai")->show();
    Valdiklis<QFrame>("pnlArIseiti")->show();
    frmPagrindinis()->setProperty("MeniuPerjungtas", true);
    bool buvoRodomas = false;
    QTimer::singleShot(50, frmServeriai(), [&] {
        buvoRodomas = frmServeriai()->isVisible() && frmServeriai()->isModal();
        frmServeriai()->close();
    });
    QTimer::singleShot(5000, frmServeriai(), [] { frmServeriai()->close(); }); // never left open
    QTest::mouseClick(Valdiklis<TTybLabel>("lblMeniu2"), Qt::LeftButton, {}, QPoint(3, 3));
    QVERIFY(buvoRodomas);
    QVERIFY(!frmServeriai()->isVisible());
    QCOMPARE(Matomi(), u"pnlArIseiti"_s);
    QCOMPARE(frmPagrindinis()->property("MeniuPerjungtas").toBool(), false);
}

void TstMeniu::iseitiTaipNe() {
    Valdiklis<QFrame>("pnlArIseiti")->show();
    QTest::mouseClick(Valdiklis<TTybLabel>("lblIseitiNe"), Qt::LeftButton, {}, QPoint(3, 3));
    QVERIFY(!Valdiklis<QFrame>("pnlArIseiti")->isVisible());
    QVERIFY(frmPagrindinis()->isVisible());
    Valdiklis<QFrame>("pnlArIseiti")->show();
    QTest::mouseClick(Valdiklis<TTybLabel>("lblIseitiTaip"), Qt::LeftButton, {}, QPoint(3, 3));
    QVERIFY(!frmPagrindinis()->isVisible());
}

void TstMeniu::intervalas_data() {
    QTest::addColumn<bool>("serveriu");
    QTest::addColumn<int>("pries");
    QTest::addColumn<QString>("siulo");
    QTest::addColumn<QString>("ivesta"); // "<cancel>" leaves the default text
    QTest::addColumn<int>("po");
    QTest::addColumn<bool>("klaida");
    QTest::newRow("cancel keeps whole seconds") << false << 2500 << u"2"_s << u"<cancel>"_s << 2000 << false;
    QTest::newRow("below a second offers 0") << false << 999 << u"0"_s << u"<cancel>"_s << 0 << false;
    QTest::newRow("seven seconds") << false << 5000 << u"5"_s << u"7"_s << 7000 << false;
    QTest::newRow("zero stops the refresh") << false << 5000 << u"5"_s << u"0"_s << 0 << false;
    QTest::newRow("hexadecimal") << false << 5000 << u"5"_s << u"$A"_s << 10000 << false;
    QTest::newRow("letters") << false << 5000 << u"5"_s << u"abc"_s << 5000 << true;
    QTest::newRow("empty text") << false << 5000 << u"5"_s << QString() << 5000 << true;
    QTest::newRow("negative refused") << false << 5000 << u"5"_s << u"-3"_s << 5000 << true;
    QTest::newRow("largest that fits") << false << 5000 << u"5"_s << u"2147483"_s << 2147483000 << false;
    QTest::newRow("beyond 31 bits refused") << false << 5000 << u"5"_s << u"2147484"_s << 5000 << true;
    QTest::newRow("server list: ten seconds") << true << 10000 << u"10"_s << u"12"_s << 12000 << false;
    QTest::newRow("server list: bad number") << true << 10000 << u"10"_s << u"1x"_s << 10000 << true;
}

void TstMeniu::intervalas() {
    QFETCH(bool, serveriu);
    QFETCH(int, pries);
    QFETCH(QString, ivesta);
    QFETCH(bool, klaida);
    TLaikmatis* laikmatis = serveriu ? frmServeriai()->findChild<TLaikmatis*>(u"tmrAtnaujinimasServeriai"_s)
                                     : Valdiklis<TLaikmatis>("tmrAtnaujinimas");
    if (serveriu)
        ProgramosParinktys()->NustatytiServeriuBendrai(pries);
    else
        ProgramosParinktys()->NustatytiIntervala(pries);
    laikmatis->setEnabled(true);
    aplinka.ivedimas = [&](const QString&, const QString&, const QString& numatyta) {
        return ivesta == u"<cancel>"_s ? numatyta : ivesta;
    };
    TTybLabel* etikete =
        serveriu ? Valdiklis<TTybLabel>("lblIntervalasServeriaiBendrai") : Valdiklis<TTybLabel>("lblIntervalas");
    Valdiklis<QFrame>("pnlAtnaujinimai")->show();
    QTest::mouseClick(etikete, Qt::LeftButton, {}, QPoint(3, 3));
    QCOMPARE(aplinka.ivedimoKlausimai.size(), 3);
    QCOMPARE(aplinka.ivedimoKlausimai[0], frmPagrindinis()->Kalba().Tekstas("Pranesimai", "IrasykiteSKTitle"));
    QCOMPARE(aplinka.ivedimoKlausimai[1], frmPagrindinis()->Kalba().Tekstas("Pranesimai", "IrasykiteSK"));
    QTEST(aplinka.ivedimoKlausimai[2], "siulo");
    QTEST(laikmatis->interval(), "po");
    QCOMPARE(laikmatis->isActive(), laikmatis->interval() > 0);
    QCOMPARE(aplinka.pranesimai,
             klaida ? QStringList{frmPagrindinis()->Kalba().Tekstas("Pranesimai", "BlogasSkaicius")} : QStringList());
    laikmatis->setEnabled(false);
}

void TstMeniu::zymimiejiValdoSkydelius() {
    Valdiklis<TTybCheckBox>("chkTAB")->setChecked(false);
    QVERIFY(!Valdiklis<QFrame>("pnlTAB")->isVisible());
    Valdiklis<TTybCheckBox>("chkTAB")->setChecked(true);
    QVERIFY(Valdiklis<QFrame>("pnlTAB")->isVisible());
    Valdiklis<TTybCheckBox>("chkMeniuApacioj")->setChecked(false);
    QVERIFY(!Valdiklis<TApatineJuosta>("imgApacia")->isVisible());
    Valdiklis<TTybCheckBox>("chkMeniuApacioj")->setChecked(true);
    QVERIFY(Valdiklis<TApatineJuosta>("imgApacia")->isVisible());
}

void TstMeniu::shiftRodoLentele() {
    Valdiklis<TTybCheckBox>("chkTAB")->setChecked(false);
    frmPagrindinis()->activateWindow();
    Valdiklis<QLineEdit>("edtHostas")->setFocus();
    Paspausti(Qt::Key_Shift, Qt::ShiftModifier);
    QVERIFY(Valdiklis<QFrame>("pnlTAB")->isVisible());
    Paspausti(Qt::Key_A, Qt::ShiftModifier); // still Shift alone
    QVERIFY(Valdiklis<QFrame>("pnlTAB")->isVisible());
    Atleisti(Qt::Key_A, Qt::ShiftModifier);
    QVERIFY(!Valdiklis<QFrame>("pnlTAB")->isVisible()); // any release hides it
    Paspausti(Qt::Key_Shift, Qt::ShiftModifier | Qt::ControlModifier);
    QVERIFY(!Valdiklis<QFrame>("pnlTAB")->isVisible()); // not Shift alone
    Paspausti(Qt::Key_Shift, Qt::ShiftModifier | Qt::AltModifier);
    QVERIFY(!Valdiklis<QFrame>("pnlTAB")->isVisible());
    Atleisti(Qt::Key_Shift, Qt::AltModifier);
    // With the option on, the scoreboard stays whatever the keys.
    Valdiklis<TTybCheckBox>("chkTAB")->setChecked(true);
    Paspausti(Qt::Key_B);
    Atleisti(Qt::Key_B);
    QVERIFY(Valdiklis<QFrame>("pnlTAB")->isVisible());
    Valdiklis<QLineEdit>("edtHostas")->clear();
}

void TstMeniu::ctrlSlepiaJuosta_data() {
    QTest::addColumn<bool>("prikalta");
    QTest::newRow("bar not pinned") << false;
    QTest::newRow("bar pinned") << true;
}

void TstMeniu::ctrlSlepiaJuosta() {
    QFETCH(bool, prikalta);
    Valdiklis<TTybCheckBox>("chkMeniuApacioj")->setChecked(prikalta);
    Valdiklis<TApatineJuosta>("imgApacia")->show();
    frmPagrindinis()->activateWindow();
    Valdiklis<QLineEdit>("edtHostas")->setFocus();
    Paspausti(Qt::Key_Control, Qt::ControlModifier);
    QCOMPARE(Valdiklis<TApatineJuosta>("imgApacia")->isVisible(), prikalta);
    Atleisti(Qt::Key_Control);
    Paspausti(Qt::Key_Shift, Qt::ShiftModifier);
    QCOMPARE(Valdiklis<TApatineJuosta>("imgApacia")->isVisible(), prikalta); // Shift alone brings nothing back
    Atleisti(Qt::Key_Shift);
    Paspausti(Qt::Key_Control, Qt::ControlModifier);
    QVERIFY(Valdiklis<TApatineJuosta>("imgApacia")->isVisible()); // the next key, Ctrl too, shows it again
    QCOMPARE(Valdiklis<TTybCheckBox>("chkMeniuApacioj")->isChecked(), prikalta);
    Paspausti(Qt::Key_Control, Qt::ControlModifier);
    QCOMPARE(Valdiklis<TApatineJuosta>("imgApacia")->isVisible(), prikalta);
    Paspausti(Qt::Key_X);
    QVERIFY(Valdiklis<TApatineJuosta>("imgApacia")->isVisible());
    Atleisti(Qt::Key_X);
    Valdiklis<QLineEdit>("edtHostas")->clear();
}

void TstMeniu::ctrlTab_data() {
    QTest::addColumn<int>("kodas");
    QTest::addColumn<Qt::KeyboardModifiers>("mod");
    QTest::addColumn<bool>("gerai");
    QTest::newRow("Tab") << int(Qt::Key_Tab) << Qt::KeyboardModifiers() << false;
    QTest::newRow("Shift+Tab") << int(Qt::Key_Backtab) << Qt::KeyboardModifiers(Qt::ShiftModifier) << false;
    QTest::newRow("Ctrl+Tab") << int(Qt::Key_Tab) << Qt::KeyboardModifiers(Qt::ControlModifier) << true;
    // Ctrl+Shift+Tab arrives as Backtab.
    QTest::newRow("Ctrl+Shift+Tab") << int(Qt::Key_Backtab)
                                    << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::ShiftModifier) << true;
}

void TstMeniu::ctrlTab() {
    QFETCH(int, kodas);
    QFETCH(Qt::KeyboardModifiers, mod);
    QFETCH(bool, gerai);
    frmPagrindinis()->activateWindow();
    Valdiklis<QLineEdit>("edtHostas")->setFocus();
    QTest::keyClick(Valdiklis<QLineEdit>("edtHostas"), Qt::Key(kodas), mod);
    QCOMPARE(aplinka.pranesimai, gerai ? QStringList{u"it's good"_s} : QStringList());
}

void TstMeniu::tabAtleidimasSlepiaLenta_data() {
    QTest::addColumn<int>("kodas");
    QTest::addColumn<Qt::KeyboardModifiers>("mod");
    QTest::newRow("Tab") << int(Qt::Key_Tab) << Qt::KeyboardModifiers();
    QTest::newRow("Shift+Tab") << int(Qt::Key_Backtab) << Qt::KeyboardModifiers(Qt::ShiftModifier);
    QTest::newRow("Ctrl+Tab") << int(Qt::Key_Tab) << Qt::KeyboardModifiers(Qt::ControlModifier);
}

void TstMeniu::tabAtleidimasSlepiaLenta() {
    // With "TAB" off the scoreboard shows while a key is held: the release of a
    // Tab, which moves the focus, hides it like any other.
    QFETCH(int, kodas);
    QFETCH(Qt::KeyboardModifiers, mod);
    Valdiklis<TTybCheckBox>("chkTAB")->setChecked(false);
    frmPagrindinis()->activateWindow();
    Valdiklis<QLineEdit>("edtHostas")->setFocus();
    Valdiklis<QFrame>("pnlTAB")->show();
    Atleisti(kodas, mod);
    QVERIFY(!Valdiklis<QFrame>("pnlTAB")->isVisible());
    QCOMPARE(aplinka.pranesimai, QStringList());
}

void TstMeniu::stulpelioPaspaudimas_data() {
    QTest::addColumn<QString>("memo");
    for (const char* m : {"memKomanda1", "memFragai1", "memLaikas1", "memKomanda2", "memFragai2", "memLaikas2"})
        QTest::newRow(m) << QString::fromLatin1(m);
}

void TstMeniu::stulpelioPaspaudimas() {
    // A click in a scoreboard column only hands the keyboard to the address
    // box: the panel behind it does not take it as its own click.
    QFETCH(QString, memo);
    frmPagrindinis()->activateWindow();
    AtimtiFokusa();
    RodytiVisus();
    QTest::mouseClick(frmPagrindinis()->findChild<TMemo*>(memo), Qt::LeftButton, {}, QPoint(4, 4));
    QTRY_VERIFY(Valdiklis<QLineEdit>("edtHostas")->hasFocus());
    QCOMPARE(Matomi(), u"pnlMeniuLygis1,pnlMeniuLygis2,pnlAtnaujinimai,pnlPatvirtinimai,pnlArIseiti"_s);
    QTest::mouseDClick(frmPagrindinis()->findChild<TMemo*>(memo), Qt::LeftButton, {}, QPoint(4, 4));
    QCOMPARE(Matomi(), u"pnlMeniuLygis1,pnlMeniuLygis2,pnlAtnaujinimai,pnlPatvirtinimai,pnlArIseiti"_s);
}

void TstMeniu::escape_data() {
    QTest::addColumn<bool>("klausti");
    QTest::newRow("asks first") << true;
    QTest::newRow("closes at once") << false;
}

void TstMeniu::escape() {
    QFETCH(bool, klausti);
    Valdiklis<TTybCheckBox>("chkArIseiti")->setChecked(klausti);
    frmPagrindinis()->activateWindow();
    Valdiklis<QLineEdit>("edtHostas")->setFocus();
    Paspausti(Qt::Key_Escape);
    QVERIFY(frmPagrindinis()->isVisible()); // the release decides, not the press
    QVERIFY(!Valdiklis<QFrame>("pnlArIseiti")->isVisible());
    Atleisti(Qt::Key_Escape);
    QCOMPARE(Valdiklis<QFrame>("pnlArIseiti")->isVisible(), klausti);
    QCOMPARE(frmPagrindinis()->isVisible(), klausti);
}

void TstMeniu::juostaKlaviaturaiIrSkaitytuvui() {
    // A screen reader finds the bar and its five items by the language's
    // names, the address slot's text its value; the keyboard alone reaches
    // the bar and opens the menu.
    auto* juosta = Valdiklis<TApatineJuosta>("imgApacia");
    QAccessibleInterface* sasaja = QAccessible::queryAccessibleInterface(juosta);
    QVERIFY(sasaja);
    const TKalba& k = frmPagrindinis()->Kalba();
    QCOMPARE(sasaja->text(QAccessible::Name), k.Tekstas("Pranesimai", "Juosta"));
    QCOMPARE(sasaja->childCount(), 5);
    const char* raktai[] = {"Meniu", "KairineRodykle", "IPportas", "DesineRodykle", "Iseiti"};
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(sasaja->child(i)->text(QAccessible::Name), k.Tekstas("Pranesimai", raktai[i]));
        QCOMPARE(sasaja->child(i)->role(), i == 0 || i == 4 ? QAccessible::Button : QAccessible::StaticText);
        QCOMPARE(sasaja->indexOfChild(sasaja->child(i)), i);
    }
    juosta->RodytiAdresa(u"10.0.0.1:27015"_s);
    QCOMPARE(sasaja->child(2)->text(QAccessible::Value), u"10.0.0.1:27015"_s);

    frmPagrindinis()->activateWindow();
    AtimtiFokusa();
    for (int n = 0; n < 30 && !juosta->hasFocus(); ++n)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QVERIFY(juosta->hasFocus());
    QCOMPARE(sasaja->focusChild(), sasaja->child(0));
    QTest::keyClick(juosta, Qt::Key_Right);
    QCOMPARE(sasaja->focusChild(), sasaja->child(1));
    QTest::keyClick(juosta, Qt::Key_Left);
    QVERIFY(!Valdiklis<QFrame>("pnlMeniuLygis1")->isVisible());
    QTest::keyClick(juosta, Qt::Key_Return);
    QVERIFY(Valdiklis<QFrame>("pnlMeniuLygis1")->isVisible());
}

void TstMeniu::skydeliaiKlaviaturaiIrSkaitytuvui() {
    // Opened from the bar, the menu is walked by the arrows and Tab, Enter
    // presses an item; a screen reader reads each item as a menu item or a
    // button it can press, and the quit question is answered by keys alone.
    frmPagrindinis()->activateWindow();
    AtimtiFokusa();
    QAccessibleInterface* juosta = QAccessible::queryAccessibleInterface(Valdiklis<TApatineJuosta>("imgApacia"));
    juosta->child(0)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    const auto fokusas = [] {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    };
    QCOMPARE(fokusas(), u"lblPatvirtinimai"_s);
    QCOMPARE(Matomi(), u"pnlMeniuLygis1,pnlPatvirtinimai"_s); // as the pointer opens it
    auto* tab = Valdiklis<TTybCheckBox>("chkTAB");
    // Each key, and where the focus is after it.
    const auto zingsniuoti = [&fokusas](const QList<int>& klavisai, const QStringList& kur) {
        for (qsizetype n = 0; n < klavisai.size(); ++n) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(klavisai.at(n)));
            QCOMPARE(fokusas(), kur.at(n));
        }
    };
    // Up from the first check box goes round to the last, past the language box.
    zingsniuoti({Qt::Key_Down, Qt::Key_Right, Qt::Key_Return, Qt::Key_Up, Qt::Key_Left, Qt::Key_Tab, Qt::Key_Up,
                 Qt::Key_Tab, Qt::Key_Up, Qt::Key_Up, Qt::Key_Up},
                {u"lblIvairus1"_s, u"chkTAB"_s, u"chkTAB"_s, u"chkPranestiDraugus"_s, u"lblIvairus1"_s, u"chkTAB"_s,
                 u"chkPranestiDraugus"_s, u"lblMeniu2"_s, u"lblIvairus1"_s, u"lblPatvirtinimai"_s, u"lblGerai"_s});
    QVERIFY(!tab->isChecked());

    QAccessibleInterface* i = nullptr;
    for (const char* vardas : {"lblMeniu3", "lblIntervalas", "lblIseitiTaip", "lblGerai"}) {
        i = QAccessible::queryAccessibleInterface(Valdiklis<TTybLabel>(vardas));
        QCOMPARE(i->role(), qstrcmp(vardas, "lblIseitiTaip") == 0 ? QAccessible::Button : QAccessible::MenuItem);
        QCOMPARE(i->text(QAccessible::Name), Valdiklis<TTybLabel>(vardas)->text());
        QVERIFY(i->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    }
    // Pressed by a screen reader, "Close menu" closes it; the focus goes back to the button it came from.
    i->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(Matomi(), QString());
    QCOMPARE(fokusas(), u"btnApie"_s);

    Atleisti(Qt::Key_Escape);
    QCOMPARE(fokusas(), u"lblIseitiTaip"_s);
    zingsniuoti({Qt::Key_Right, Qt::Key_Space}, {u"lblIseitiNe"_s, u"btnApie"_s});
    QCOMPARE(Matomi(), QString());
    tab->setChecked(true);
}

void TstMeniu::zymimujuLangeliai_data() {
    QTest::addColumn<QString>("vardas");
    QTest::addColumn<bool>("pazymetas");
    QTest::addColumn<bool>("ijungtas");
    QTest::addColumn<double>("remas"); // the frame's strength, of the text's colour; 1: focused
    QTest::newRow("the browser's, off: its box") << u"chkNePilni"_s << false << true << 0.5;
    QTest::newRow("the browser's, on: its tick") << u"chkNePilni"_s << true << true << 0.5;
    QTest::newRow("a panel's, focused") << u"chkKeistiHosta"_s << false << true << 1.0;
    QTest::newRow("a panel's, disabled") << u"chkKeistiHosta"_s << true << false << 0.3;
}

void TstMeniu::zymimujuLangeliai() {
    // On black, a check box shows its box whether or not it is checked.
    QFETCH(QString, vardas);
    QFETCH(bool, pazymetas);
    QFETCH(bool, ijungtas);
    QFETCH(double, remas);
    auto* langelis = frmNarsykle()->findChild<QCheckBox*>(vardas);
    langelis = langelis ? langelis : Valdiklis<QCheckBox>(qPrintable(vardas));
    const bool buvo = langelis->isChecked();
    langelis->setChecked(pazymetas);
    langelis->setEnabled(ijungtas);
    if (remas == 1.0) {
        Valdiklis<QFrame>("pnlPatvirtinimai")->show();
        frmPagrindinis()->activateWindow();
        langelis->setFocus();
        QVERIFY(langelis->hasFocus());
    }
    const QImage vaizdas = langelis->grab().toImage();
    QStyleOptionButton o;
    o.initFrom(langelis);
    const QRect r = langelis->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &o, langelis);
    const int k = qMin(r.width(), r.height());
    const QRect dezute(r.x(), r.y() + (r.height() - k) / 2, k, k);
    const QColor t = langelis->palette().color(QPalette::WindowText);
    const auto dalis = [&t](double d) {
        return QColor::fromRgbF(t.redF() * d, t.greenF() * d, t.blueF() * d);
    };
    QCOMPARE(vaizdas.pixelColor(dezute.center().x(), dezute.top()).name(), dalis(remas).name());
    // The tick, in the text's colour (dimmed when disabled), only when checked.
    const QColor zenklas = dalis(ijungtas ? 1.0 : 0.5);
    bool tikas = false;
    for (int x = dezute.left() + 2; x < dezute.right() - 1; ++x)
        for (int y = dezute.top() + 2; y < dezute.bottom() - 1; ++y) {
            const QColor c = vaizdas.pixelColor(x, y);
            tikas |=
                qAbs(c.red() - zenklas.red()) + qAbs(c.green() - zenklas.green()) + qAbs(c.blue() - zenklas.blue()) <=
                24;
        }
    QCOMPARE(tikas, pazymetas);
    langelis->setEnabled(true);
    langelis->setChecked(buvo);
    Valdiklis<QFrame>("pnlPatvirtinimai")->hide();
}

QTEST_MAIN(TstMeniu)
#include "tst_meniu.moc"
