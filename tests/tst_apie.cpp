// The about window and the program's start-up of the secondary windows: the
// layout, the version line from the version record, texts read anew at every
// activation, the program icon, and the order in which the windows are made.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>

#include "FailoInfo.h"
#include "Ikona.h"
#include "Modulis1.h"
#include "Modulis2.h"
#include "Modulis_Apie.h"
#include "Modulis_Taisykles.h"
#include "NMUDP.h"
#include "Pranesimai.h"
#include "Programa.h"
#include "StebetojoAplinka.h"
#include "TybINI.h"

using namespace Qt::StringLiterals;

namespace {

TVersijosIrasas Irasas(const QString& produktoVersija, const QString& failoVersija) {
    TVersijosIrasas irasas = KompiliuotasVersijosIrasas();
    for (TVersijosReiksme& r : irasas) {
        if (r.Raktas == u"ProductVersion"_s)
            r.Reiksme = produktoVersija;
        if (r.Raktas == u"FileVersion"_s)
            r.Reiksme = failoVersija;
    }
    return irasas;
}

} // namespace

class TstApie : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void sukurimoTvarka();
    void isdestymas();
    void ikona();
    void versija();
    void versijosIrasas_data();
    void versijosIrasas();
    void beIraso();
    void naujaKalbaKitaKartaAktyvinant();
    void ilgasKomentaras();
    void modalinisLangas();

private:
    // Takes the activation away from the about window and gives it back.
    void Aktyvinti();

    TStebetojoAplinka aplinka;
    QStringList& pranesimai = aplinka.pranesimai;
    int pabaigos = 0;
    QWidget* kitas = nullptr;
};

void TstApie::initTestCase() {
    QVERIFY(aplinka.Paruosti());
    NustatytiProgramosPabaiga([this] { ++pabaigos; });
    SukurtiLangus();
    QVERIFY(frmApie());
    Valdiklis<TTybINI>("TybINI1")->setByla(u"resursai\\Kalbos\\English.lng"_s);
    kitas = new QWidget;
    kitas->setObjectName(u"kitasLangas"_s);
    kitas->resize(50, 50);
}

void TstApie::cleanupTestCase() {
    delete kitas;
    aplinka.Baigti();
    QVERIFY(!frmPagrindinis());
    QVERIFY(!frmServeriai());
    QVERIFY(!frmApie());
    QVERIFY(!frmTaisykles());
    NustatytiProgramosPabaiga({});
    AtstatytiVersijosIrasa();
}

void TstApie::init() {
    pranesimai.clear();
    pabaigos = 0;
    AtstatytiVersijosIrasa();
    Valdiklis<TTybINI>("TybINI1")->setByla(u"resursai\\Kalbos\\English.lng"_s);
}

void TstApie::cleanup() {
    frmApie()->hide();
    kitas->hide();
}

void TstApie::Aktyvinti() {
    kitas->show();
    kitas->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(kitas));
    QVERIFY(!frmApie()->isActiveWindow());
    frmApie()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frmApie()));
}

void TstApie::sukurimoTvarka() {
    QCOMPARE(QCoreApplication::applicationName(), u"Velmorant"_s);
    QCOMPARE(frmPagrindinis()->objectName(), u"frmPagrindinis"_s);
    QCOMPARE(frmServeriai()->objectName(), u"frmServeriai"_s);
    QCOMPARE(frmApie()->objectName(), u"frmApie"_s);
    QCOMPARE(frmTaisykles()->objectName(), u"frmTaisykles"_s);
    // One endpoint, the hub's, for every window's rounds, on the local port 27035.
    QCOMPARE(frmServeriai()->NMUDP1, frmPagrindinis()->NMUDP1);
    QCOMPARE(frmTaisykles()->NMUDP1, frmPagrindinis()->NMUDP1);
    if (frmPagrindinis()->NMUDP1->UzimtasPortas() != 27035) {
        // Only another program holding the port may keep it from the watcher.
        QUdpSocket bandymas;
        QVERIFY2(!bandymas.bind(QHostAddress::AnyIPv4, 27035, QAbstractSocket::DontShareAddress),
                 "UDP 27035 is free, yet the watcher does not hold it");
    }
    // Every window lives on hidden, apart from the others' object trees.
    for (QWidget* w : std::initializer_list<QWidget*>{frmServeriai(), frmApie(), frmTaisykles()}) {
        QVERIFY(w->isWindow());
        QVERIFY(!w->isVisible());
        QCOMPARE(w->parent(), nullptr);
    }
    QVERIFY(!QApplication::windowIcon().isNull());
}

void TstApie::isdestymas() {
    // Before the first activation: the layout's own caption.
    QCOMPARE(frmApie()->windowTitle(), u"Velmorant - Apie"_s);
    QCOMPARE(frmApie()->size(), QSize(348, 146));
    QCOMPARE(frmApie()->palette().color(QPalette::Window), QColor(Qt::white));
    QVERIFY(!frmApie()->windowIcon().isNull());
    auto* paveikslas = frmApie()->findChild<QLabel*>(u"Image1"_s);
    QVERIFY(paveikslas);
    QCOMPARE(paveikslas->geometry(), QRect(32, 24, 32, 32));
    QCOMPARE(paveikslas->pixmap().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
             ProgramosIkonosVaizdas());
    auto* pavadinimas = frmApie()->findChild<QLabel*>(u"lblPavadinimas"_s);
    QVERIFY(pavadinimas);
    QCOMPARE(pavadinimas->pos(), QPoint(96, 16));
    QCOMPARE(pavadinimas->font().pointSize(), 14);
    QCOMPARE(pavadinimas->palette().color(QPalette::WindowText), QColor(0x80, 0x00, 0x00));
    auto* versija = frmApie()->findChild<QLabel*>(u"lblVersija"_s);
    QVERIFY(versija);
    QCOMPARE(versija->pos(), QPoint(96, 40));
    QCOMPARE(versija->font().pointSize(), 8);
    auto* komentarai = frmApie()->findChild<QLabel*>(u"lblKomentarai"_s);
    QVERIFY(komentarai);
    QCOMPARE(komentarai->geometry(), QRect(16, 64, 321, 41));
    QVERIFY(komentarai->wordWrap());
    QVERIFY(komentarai->alignment() & Qt::AlignHCenter);
    auto* teises = frmApie()->findChild<QLabel*>(u"lblCopyright"_s);
    QVERIFY(teises);
    QCOMPARE(teises->geometry(), QRect(16, 120, 321, 17));
    for (QLabel* l : {pavadinimas, versija, komentarai, teises})
        QCOMPARE(l->textFormat(), Qt::PlainText);
}

void TstApie::ikona() {
    const QImage ikona = ProgramosIkonosVaizdas();
    QCOMPARE(ikona.size(), QSize(32, 32));
    // Transparent corners, an orange rim, a dark screen.
    QCOMPARE(ikona.pixelColor(0, 0).alpha(), 0);
    QCOMPARE(ikona.pixelColor(31, 31).alpha(), 0);
    const QColor krastas = ikona.pixelColor(16, 1);
    QVERIFY2(krastas.red() > 200 && krastas.green() > 120 && krastas.blue() < 80, qPrintable(krastas.name()));
    const QColor ekranas = ikona.pixelColor(10, 22);
    QVERIFY2(ekranas.red() < 80 && ekranas.alpha() == 255, qPrintable(ekranas.name()));
    // Drawn the same every time.
    QCOMPARE(ProgramosIkonosVaizdas(), ikona);
    QCOMPARE(frmServeriai()->windowIcon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
             ikona);
}

void TstApie::versija() {
    frmApie()->show();
    QCOMPARE(frmApie()->lblPavadinimas->text(), u"Velmorant"_s);
    QCOMPARE(frmApie()->lblVersija->text(), u"Version 1.1, build 0"_s);
    QCOMPARE(frmApie()->lblCopyright->text(), frmApie()->VersijosTekstai[kAutoriuTeises]);
    QVERIFY(frmApie()->lblCopyright->text().startsWith(u"Copyright"_s));
    QCOMPARE(frmApie()->lblKomentarai->text(), u"Watches Half-Life and Counter-Strike servers in real time."_s);
    QCOMPARE(frmApie()->windowTitle(), u"Velmorant - About"_s);
    // Labels that size themselves to their text.
    QCOMPARE(frmApie()->lblVersija->size(), frmApie()->lblVersija->sizeHint());
    QVERIFY(!pranesimai.contains(u"Byla sugadinta"_s));
    QVERIFY(pranesimai.isEmpty());
    // A picture of the window for a human eye, when asked for.
    QVERIFY(Nuotrauka(frmApie(), u"apie.png"_s));
}

void TstApie::versijosIrasas_data() {
    QTest::addColumn<QString>("produktas");
    QTest::addColumn<QString>("failas");
    QTest::addColumn<QString>("eilute");
    QTest::newRow("1.1.0.0: build 0") << u"1.1"_s << u"1.1.0.0"_s << u"Version 1.1, build 0"_s;
    QTest::newRow("2.3.1.457: build 457") << u"2.3"_s << u"2.3.1.457"_s << u"Version 2.3, build 457"_s;
    QTest::newRow("1.10.2.3: from the seventh character") << u"1.10"_s << u"1.10.2.3"_s << u"Version 1.10, build .3"_s;
    QTest::newRow("shorter than seven characters") << u"1.1"_s << u"1.1.0"_s << u"Version 1.1, build "_s;
}

void TstApie::versijosIrasas() {
    QFETCH(QString, produktas);
    QFETCH(QString, failas);
    PakeistiVersijosIrasa(Irasas(produktas, failas));
    frmApie()->show();
    QTEST(frmApie()->lblVersija->text(), "eilute");
}

void TstApie::beIraso() {
    frmApie()->show();
    QCOMPARE(frmApie()->lblPavadinimas->text(), u"Velmorant"_s);
    frmApie()->hide();
    PakeistiVersijosIrasa(std::nullopt);
    frmApie()->show();
    // One message box and one request to end; the handler completes with empty texts.
    QCOMPARE(pranesimai, QStringList{u"Byla sugadinta"_s});
    QCOMPARE(pabaigos, 1);
    QCOMPARE(frmApie()->lblPavadinimas->text(), QString());
    QCOMPARE(frmApie()->lblVersija->text(), u"Version , build "_s);
    QCOMPARE(frmApie()->lblCopyright->text(), QString());
    QCOMPARE(frmApie()->windowTitle(), u"Velmorant - About"_s);
}

void TstApie::naujaKalbaKitaKartaAktyvinant() {
    frmApie()->show();
    QVERIFY(QTest::qWaitForWindowActive(frmApie()));
    QCOMPARE(frmApie()->windowTitle(), u"Velmorant - About"_s);
    // The watcher picks another language: the about window takes it at its next activation.
    Valdiklis<TTybINI>("TybINI1")->setByla(u"resursai\\Kalbos\\Lietuviu.lng"_s);
    QCOMPARE(frmApie()->windowTitle(), u"Velmorant - About"_s);
    Aktyvinti();
    QCOMPARE(frmApie()->windowTitle(), u"Velmorant - Apie programą"_s);
    QCOMPARE(frmApie()->lblKomentarai->text(), u"Realiuoju laiku stebi Half-Life ir Counter-Strike serverius."_s);
    QCOMPARE(frmApie()->lblVersija->text(), u"Versija 1.1, laida 0"_s);
    // And so at the next showing.
    frmApie()->hide();
    Valdiklis<TTybINI>("TybINI1")->setByla(u"resursai\\Kalbos\\English.lng"_s);
    frmApie()->show();
    QCOMPARE(frmApie()->windowTitle(), u"Velmorant - About"_s);
    QCOMPARE(frmApie()->lblVersija->text(), u"Version 1.1, build 0"_s);
    QVERIFY(!pranesimai.contains(u"Byla sugadinta"_s));
}

void TstApie::ilgasKomentaras() {
    QFile f(u"resursai/Kalbos/Ilgas.lng"_s);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("-->frmApie<--\r\nlblKomentarai=" + QByteArray(400, 'w').replace(7, 1, " ") + "\r\nCap1=<b>x</b>\r\n");
    f.close();
    Valdiklis<TTybINI>("TybINI1")->setByla(u"resursai\\Kalbos\\Ilgas.lng"_s);
    frmApie()->show();
    // The fixed area does not grow: a longer comment is cut at its edge.
    QCOMPARE(frmApie()->lblKomentarai->geometry(), QRect(16, 64, 321, 41));
    QCOMPARE(frmApie()->lblKomentarai->text().size(), 400);
    QCOMPARE(frmApie()->windowTitle(), u"Velmorant - <b>x</b>"_s);
    // A missing section shows the lookup's marker.
    QCOMPARE(frmApie()->lblVersija->text(), u"###2 1.1, ###2 0"_s);
    QVERIFY(QFile::remove(u"resursai/Kalbos/Ilgas.lng"_s));
}

void TstApie::modalinisLangas() {
    frmPagrindinis()->move(200, 150);
    bool patikrinta = false;
    QTimer::singleShot(0, frmApie(), [&] {
        patikrinta =
            frmApie()->isVisible() && frmApie()->isModal() &&
            (frmApie()->frameGeometry().center() - frmPagrindinis()->frameGeometry().center()).manhattanLength() <= 2 &&
            frmApie()->lblVersija->text() == u"Version 1.1, build 0"_s;
        frmApie()->close();
    });
    QTimer::singleShot(5000, frmApie(), [] { frmApie()->close(); }); // never left open
    frmApie()->exec();
    QVERIFY(patikrinta);
    QVERIFY(!frmApie()->isVisible());
    QVERIFY(frmApie()->findChild<QLabel*>(u"lblVersija"_s)); // closing only hides
}

QTEST_MAIN(TstApie)
#include "tst_apie.moc"
