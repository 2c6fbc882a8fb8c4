// The remote console window beside the watcher, against the test server on
// loopback: its controls, the menu item that opens it without stopping the
// watcher, whole outputs of 1 and 25 datagrams in the plain-text memo, one
// request per Enter, the history, the 512-byte refusal, eight wrong passwords
// that never get the address banned, the 5 s no-reply message, a desktop with
// no secret store (said once), and no password in any file the program writes.
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <list>

#include <QCheckBox>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextBlock>

#include "Konsole.h"
#include "Modulis2.h"
#include "Modulis_Konsole.h"
#include "SlaptuTarnyba.h"
#include "Stebejimas.h"
#include "StebetojoAplinka.h"
#include "TestinisServeris.h"

using namespace Qt::StringLiterals;

namespace {

constexpr char kSlaptazodis[] = "Sl4ptas-9d2e";
constexpr int kLaukimas = 5000;

template <typename T> T* Konsoles(const char* vardas) {
    return LangoValdiklis<T>(frmKonsole(), vardas);
}

QString Isvestis() {
    return Konsoles<QPlainTextEdit>("memIsvestis")->toPlainText();
}

// The output with the console's own line breaks in its messages undone.
QString Zinutes() {
    return Isvestis().simplified();
}

int Komandos(const TTestinisServeris& s) {
    int n = 0;
    for (const TGautaUzklausa& u : s.Uzklausos())
        if (u.Zodis.startsWith("rcon "))
            ++n;
    return n;
}

} // namespace

class TstKonsoleLangas : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void valdikliai();
    void meniuAtidaro_data();
    void meniuAtidaro();
    void isvestis_data();
    void isvestis();
    void vienasEnter();
    void istorija();
    void perIlga();
    void astuoniBandymai();
    void neatsako();
    void komandosLaukas();
    void svetimasTekstas();
    void kitasServeris();
    void beServerio();
    void saugyklosNera();
    void failuoseNera();

private:
    // Opens the console from the watcher's menu and waits for the store's answer (none here).
    void Atidaryti(bool suServeriu = true);
    // Types the command and presses Enter; waits until the console is done with it.
    void Siusti(const QString& komanda);

    TSlaptuTarnyba tarnyba;
    TStebetojoAplinka aplinka;
    // Every test's server stays bound to the end, so no later one gets its
    // port and, with it, the attempts the guard counted for it.
    std::list<TTestinisServeris> serveriai;
    TTestinisServeris* serveris = nullptr;
    QString adresas;
};

void TstKonsoleLangas::initTestCase() {
    // A bus with no Secret Service on it: a desktop without a secret store.
    const QString kodel = tarnyba.Paleisti(false);
    if (!kodel.isEmpty()) {
        qInfo("%s: the console runs with no bus at all", qPrintable(kodel));
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + (tarnyba.Namai() + u"/no-bus"_s).toLocal8Bit());
    }
    QVERIFY(aplinka.Paruosti());
    QVERIFY(aplinka.Paleisti());
    QVERIFY(frmKonsole());
}

void TstKonsoleLangas::cleanupTestCase() {
    aplinka.Baigti();
    QVERIFY(!frmKonsole());
}

void TstKonsoleLangas::init() {
    aplinka.netikrasLaikrodis = false;
    aplinka.pranesimai.clear();
    // A server of its own for every test: the guard counts per server.
    serveriai.emplace_back();
    serveris = &serveriai.back();
    serveris->Konsole().NustatytiSlaptazodi(kSlaptazodis);
    QVERIFY2(serveris->Paleisti(), qPrintable(serveris->Klaida()));
    adresas = u"127.0.0.1:"_s + QString::number(serveris->Prievadas());
    frmPagrindinis()->Stebeti(adresas);
    Valdiklis<TTybINI>("TybINI1")->setByla(u"resursai\\Kalbos\\English.lng"_s);
}

void TstKonsoleLangas::cleanup() {
    frmKonsole()->hide();
    serveris = nullptr;
}

void TstKonsoleLangas::Atidaryti(bool suServeriu) {
    Valdiklis<QFrame>("pnlMeniuLygis1")->show();
    QTest::mouseClick(Valdiklis<TTybLabel>("lblKonsole"), Qt::LeftButton, {}, QPoint(3, 3));
    QTRY_VERIFY(frmKonsole()->isVisible());
    if (suServeriu)
        QTRY_VERIFY_WITH_TIMEOUT(!Konsoles<QCheckBox>("chkIsimintiSlaptazodi")->isEnabled(), kLaukimas);
}

void TstKonsoleLangas::Siusti(const QString& komanda) {
    Ivesti(Konsoles<QLineEdit>("edtKomanda"), komanda);
    QTest::keyClick(Konsoles<QLineEdit>("edtKomanda"), Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(!frmKonsole()->Konsole->ArUzimta(), kLaukimas);
}

void TstKonsoleLangas::valdikliai() {
    QCOMPARE(frmKonsole()->objectName(), u"frmKonsole"_s);
    auto* slaptazodis = Konsoles<QLineEdit>("edtSlaptazodis");
    QCOMPARE(slaptazodis->echoMode(), QLineEdit::Password);
    Konsoles<QCheckBox>("chkIsimintiSlaptazodi");
    Konsoles<QLineEdit>("edtKomanda");
    auto* siusti = Konsoles<QPushButton>("btnSiusti");
    QVERIFY(!siusti->isDefault());
    QVERIFY(!siusti->autoDefault());
    auto* memo = Konsoles<QPlainTextEdit>("memIsvestis");
    QVERIFY(memo->isReadOnly());
    QVERIFY(memo->textInteractionFlags() & Qt::TextSelectableByMouse);
    QVERIFY(memo->textInteractionFlags() & Qt::TextSelectableByKeyboard);
    // Columns line up: what the user sees, whatever fontconfig says of the font.
    QCOMPARE(memo->fontMetrics().horizontalAdvance(u"iiii"_s), memo->fontMetrics().horizontalAdvance(u"WWWW"_s));
    QCOMPARE(Konsoles<TNMUDP>("NMUDP1")->parent(), frmKonsole());
    QVERIFY(frmKonsole()->findChild<TKonsole*>(u"Konsole"_s));
    // The console's endpoint never takes the watcher's port.
    QVERIFY(Konsoles<TNMUDP>("NMUDP1")->UzimtasPortas() != 27035);
}

void TstKonsoleLangas::meniuAtidaro_data() {
    QTest::addColumn<QString>("kalba");
    QTest::newRow("English") << u"English"_s;
    QTest::newRow("Lithuanian") << u"Lietuviu"_s;
}

void TstKonsoleLangas::meniuAtidaro() {
    QFETCH(QString, kalba);
    Valdiklis<QComboBox>("cboKalbos")->setEditText(kalba);
    Kviesti(frmPagrindinis(), "cboKalbosChange");
    TTybINI failas;
    failas.setByla(u"resursai\\Kalbos\\"_s + kalba + u".lng"_s);
    QCOMPARE(Valdiklis<TTybLabel>("lblKonsole")->text(),
             QString::fromUtf8(failas.SkaitytiReiksme(u"frmPagrindinis"_s, u"lblKonsole"_s)));
    QVERIFY(!Valdiklis<TTybLabel>("lblKonsole")->text().startsWith(u"###"_s));
    // The item lies inside its panel, below the others.
    const QRect panele = Valdiklis<QFrame>("pnlMeniuLygis1")->rect();
    QVERIFY(panele.contains(Valdiklis<TTybLabel>("lblKonsole")->geometry()));
    QVERIFY(panele.contains(Valdiklis<TTybLabel>("lblGerai")->geometry()));

    Atidaryti();
    QVERIFY(!Valdiklis<QFrame>("pnlMeniuLygis1")->isVisible());
    QVERIFY(!frmKonsole()->isModal());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(frmKonsole()->windowTitle(),
             u"Velmorant - "_s + QString::fromUtf8(failas.SkaitytiReiksme(u"frmKonsole"_s, u"Cap4"_s)));
    QCOMPARE(Konsoles<QPushButton>("btnSiusti")->text(),
             QString::fromUtf8(failas.SkaitytiReiksme(u"frmKonsole"_s, u"btnSiusti"_s)));
    QVERIFY(Konsoles<QLabel>("lblServeris")->text().endsWith(adresas));
    // The watcher keeps polling beside it: its refresh runs, and a round goes out.
    QVERIFY(Valdiklis<TLaikmatis>("tmrAtnaujinimas")->isActive());
    const qsizetype pries = serveris->Uzklausos().size();
    LangoValdiklis<TStebejimas>(frmPagrindinis(), "Stebejimas")->Atnaujinti();
    QTRY_VERIFY_WITH_TIMEOUT(serveris->Uzklausos().size() > pries, kLaukimas);
    QCOMPARE(serveris->Uzklausos().last().Siuntejas, QHostAddress(QHostAddress::LocalHost));
    Valdiklis<QComboBox>("cboKalbos")->setEditText(u"English"_s);
    Kviesti(frmPagrindinis(), "cboKalbosChange");
}

void TstKonsoleLangas::isvestis_data() {
    QTest::addColumn<QString>("komanda");
    QTest::addColumn<int>("konsolei"); // the console's datagrams from the server
    QTest::addColumn<TServerioRezimas>("rezimas");
    QTest::addColumn<int>("daliesDydis");
    QTest::newRow("1 datagram") << u"echo Velmorant says hello"_s << 2 << TServerioRezimas::Senas << 0;
    QTest::newRow("25 datagrams") << u"lines 550"_s << 26 << TServerioRezimas::Senas << 0;
    // A server of today splits every one of them in three.
    QTest::newRow("25 datagrams, each split") << u"lines 550"_s << 76 << TServerioRezimas::Modernus << 600;
    // Xash3D: no challenge, the Quake form after the retry time, a "print" a
    // line (two heads, the demo's 19 players, a blank) and an empty one.
    QTest::newRow("Xash3D's status") << u"status"_s << 23 << TServerioRezimas::Xash << 0;
}

void TstKonsoleLangas::isvestis() {
    QFETCH(QString, komanda);
    QFETCH(TServerioRezimas, rezimas);
    TServerioElgsena e;
    e.Rezimas = rezimas;
    QFETCH(int, daliesDydis);
    e.DaliesDydis = daliesDydis;
    serveris->NustatytiElgsena(e);
    QSignalSpy issiusta(&*serveris, &TTestinisServeris::AtsakymasIssiustas);
    Atidaryti();
    Ivesti(Konsoles<QLineEdit>("edtSlaptazodis"), QString::fromLatin1(kSlaptazodis));
    const QString pries = Isvestis();
    Siusti(komanda);
    TServerioTurinys turinys = serveris->Turinys();
    const QByteArray tiketina = serveris->Konsole().Vykdyti(komanda.toLatin1(), turinys);
    // The challenge's answer, then the output's datagrams (the watcher's replies aside).
    int konsolei = 0;
    for (const QList<QVariant>& a : issiusta) {
        const QByteArray d = a.first().toByteArray();
        // Fragments are the console's too: the watcher's replies are never split here.
        konsolei += d.startsWith("\xFF\xFF\xFF\xFFl") || d.startsWith("\xFE\xFF\xFF\xFF") ||
                    d.startsWith("\xFF\xFF\xFF\xFFprint") ||
                    d.startsWith("\xFF\xFF\xFF\xFF"
                                 "challenge rcon");
    }
    QTEST(konsolei, "konsolei");
    QCOMPARE(Isvestis(), pries + u"] "_s + komanda + u'\n' + QString::fromLatin1(tiketina));
    QCOMPARE(Komandos(*serveris), 1);
    QVERIFY(Konsoles<QLineEdit>("edtKomanda")->text().isEmpty());
    // The form the server answered is kept with it, for the next command to go straight.
    QCOMPARE(ProgramosCentras()->Registras().Zinios(adresas).KonsolesForma,
             rezimas == TServerioRezimas::Xash ? TKonsolesForma::Quake : TKonsolesForma::GoldSrc);
}

void TstKonsoleLangas::vienasEnter() {
    Atidaryti();
    Ivesti(Konsoles<QLineEdit>("edtSlaptazodis"), QString::fromLatin1(kSlaptazodis));
    auto* komanda = Konsoles<QLineEdit>("edtKomanda");
    Ivesti(komanda, u"echo once"_s);
    // Enter held down: the press and its repeats are one action.
    QTest::keyPress(komanda, Qt::Key_Return);
    for (int i = 0; i < 5; ++i) {
        QKeyEvent kartojamas(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
        QCoreApplication::sendEvent(komanda, &kartojamas);
    }
    QTest::keyRelease(komanda, Qt::Key_Return);
    // Enter in the password box only moves on to the command.
    QTest::keyClick(Konsoles<QLineEdit>("edtSlaptazodis"), Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(!frmKonsole()->Konsole->ArUzimta(), kLaukimas);
    QTRY_VERIFY(Isvestis().endsWith(u"once\n"_s));
    QCOMPARE(Komandos(*serveris), 1);
    QCOMPARE(Isvestis().count(u"] echo once"_s), 1);
    QCOMPARE(frmKonsole()->focusWidget(), komanda);
}

void TstKonsoleLangas::istorija() {
    Atidaryti();
    Ivesti(Konsoles<QLineEdit>("edtSlaptazodis"), QString::fromLatin1(kSlaptazodis));
    auto* komanda = Konsoles<QLineEdit>("edtKomanda");
    const qsizetype buvo = frmKonsole()->Istorija().size();
    for (const QString& k : {u"echo a"_s, u"echo b"_s, u"echo b"_s, u"echo c"_s})
        Siusti(k);
    // A command repeated at once is kept once.
    QCOMPARE(frmKonsole()->Istorija().mid(buvo), (QStringList{u"echo a"_s, u"echo b"_s, u"echo c"_s}));
    QTest::keyClicks(komanda, u"draft"_s);
    QTest::keyClick(komanda, Qt::Key_Up);
    QCOMPARE(komanda->text(), u"echo c"_s);
    QTest::keyClick(komanda, Qt::Key_Up);
    QCOMPARE(komanda->text(), u"echo b"_s);
    QTest::keyClick(komanda, Qt::Key_Down);
    QCOMPARE(komanda->text(), u"echo c"_s);
    QTest::keyClick(komanda, Qt::Key_Down);
    QCOMPARE(komanda->text(), u"draft"_s);
    QTest::keyClick(komanda, Qt::Key_Down);
    QCOMPARE(komanda->text(), u"draft"_s);
    for (int i = 0; i < 100; ++i)
        QTest::keyClick(komanda, Qt::Key_Up);
    QCOMPARE(komanda->text(), frmKonsole()->Istorija().first());
    // Up and Down only walk: nothing more went to the server.
    QCOMPARE(Komandos(*serveris), 4);
}

void TstKonsoleLangas::perIlga() {
    Atidaryti();
    Ivesti(Konsoles<QLineEdit>("edtSlaptazodis"), QString::fromLatin1(kSlaptazodis));
    const QString komanda = u"say "_s + QString(596, u'x');
    QCOMPARE(komanda.size(), 600);
    Konsoles<QLineEdit>("edtKomanda")->setText(komanda);
    QTest::keyClick(Konsoles<QLineEdit>("edtKomanda"), Qt::Key_Return);
    const QString zinute = frmPagrindinis()
                               ->Kalba()
                               .Tekstas("Pranesimai", "KonsoleIlga")
                               .arg(DidziausiaKomanda(qsizetype(strlen(kSlaptazodis))));
    QVERIFY2(Zinutes().endsWith(zinute), qPrintable(Isvestis().right(300)));
    // Nothing left the console, not even a challenge; the command stays to be shortened.
    QVERIFY(Konsoles<TNMUDP>("NMUDP1")->PaskutinisPortas() != serveris->Prievadas());
    for (const TGautaUzklausa& u : serveris->Uzklausos())
        QVERIFY(!u.Zodis.contains("rcon"));
    QCOMPARE(Konsoles<QLineEdit>("edtKomanda")->text(), komanda);
    QVERIFY(!frmKonsole()->Konsole->ArUzimta());
}

void TstKonsoleLangas::astuoniBandymai() {
    Atidaryti();
    const QString sargas = frmPagrindinis()->Kalba().Tekstas("Pranesimai", "KonsoleSaugoma");
    const QString sargoPradzia = sargas.left(sargas.indexOf(u"%1"_s));
    for (int i = 0; i < 8; ++i) {
        // Typed anew each time, so nothing but the guard stands in the way.
        Ivesti(Konsoles<QLineEdit>("edtSlaptazodis"), u"wrong-"_s + QString::number(i % 2));
        Siusti(u"status"_s);
    }
    QCOMPARE(Komandos(*serveris), 3);
    QCOMPARE(Isvestis().count(u"Bad rcon_password."_s), 3);
    QCOMPARE(Zinutes().count(sargoPradzia.simplified()), 5);
    // The guard's long message, the last, is seen whole without scrolling sideways.
    auto* memo = Konsoles<QPlainTextEdit>("memIsvestis");
    const QStringList eilutes = Isvestis().split(u'\n');
    const qsizetype po = eilutes.lastIndexOf(u"] status"_s) + 1;
    QVERIFY(eilutes.size() - po > 3);
    for (qsizetype i = po; i < eilutes.size(); ++i)
        QVERIFY2(memo->fontMetrics().horizontalAdvance(eilutes.at(i)) <= memo->viewport()->width(),
                 qPrintable(eilutes.at(i)));
    QVERIFY(!serveris->Konsole().ArUzdraustas(QHostAddress(QHostAddress::LocalHost)));
    QCOMPARE(serveris->Konsole().Nesekmes(QHostAddress(QHostAddress::LocalHost)), 3);
    // The watcher still gets answers from the server.
    frmPagrindinis()->Stebeti(adresas);
    QTRY_COMPARE_WITH_TIMEOUT(Valdiklis<QLabel>("lblServerioPavadinimas")->text(),
                              QString::fromUtf8(serveris->Turinys().Detales.Info.Pavadinimas), kLaukimas);
    QCOMPARE(frmPagrindinis()->property("ArBanas").toBool(), false);
}

void TstKonsoleLangas::neatsako() {
    TServerioElgsena e;
    e.Budas = TAtsakymuBudas::Tyla;
    serveris->NustatytiElgsena(e);
    Atidaryti();
    Ivesti(Konsoles<QLineEdit>("edtSlaptazodis"), QString::fromLatin1(kSlaptazodis));
    aplinka.netikrasLaikas = DabarMs();
    aplinka.netikrasLaikrodis = true;
    Ivesti(Konsoles<QLineEdit>("edtKomanda"), u"status"_s);
    QTest::keyClick(Konsoles<QLineEdit>("edtKomanda"), Qt::Key_Return);
    QTRY_COMPARE(serveris->Uzklausos().size() > 0 && serveris->Uzklausos().last().Zodis.startsWith("challenge"), true);
    // The challenge unanswered for the retry time: the command goes in the Quake form.
    aplinka.netikrasLaikas += KartojimoTarpas({});
    frmKonsole()->Konsole->Tikrinti();
    QTRY_COMPARE(Komandos(*serveris), 1);
    const QString zinute = frmPagrindinis()->Kalba().Tekstas("Pranesimai", "KonsoleTyli");
    aplinka.netikrasLaikas += kKonsolesLaukimasMs - 1;
    frmKonsole()->Konsole->Tikrinti();
    QVERIFY(!Zinutes().contains(zinute));
    aplinka.netikrasLaikas += 1;
    frmKonsole()->Konsole->Tikrinti();
    QVERIFY(Zinutes().endsWith(zinute));
    QVERIFY(!frmKonsole()->Konsole->ArUzimta());
}

void TstKonsoleLangas::komandosLaukas() {
    // Without the focus the command box is seen all round against the black
    // window, and while empty it says what it is for.
    Atidaryti();
    auto* komanda = Konsoles<QLineEdit>("edtKomanda");
    komanda->clear();
    Konsoles<QLineEdit>("edtSlaptazodis")->setFocus();
    QVERIFY(!komanda->hasFocus());
    QCOMPARE(komanda->placeholderText(), frmPagrindinis()->Kalba().Tekstas("frmKonsole", "edtKomanda"));
    const QImage vaizdas = frmKonsole()->grab().toImage();
    const QRect g = komanda->geometry();
    const QColor fonas = vaizdas.pixelColor(g.center().x(), g.top() - 3);
    for (int x = g.left() + 2; x < g.right() - 2; x += 4) {
        QVERIFY2(vaizdas.pixelColor(x, g.top()) != fonas, qPrintable(u"top %1"_s.arg(x)));
        QVERIFY2(vaizdas.pixelColor(x, g.bottom()) != fonas, qPrintable(u"bottom %1"_s.arg(x)));
    }
    for (int y = g.top() + 2; y < g.bottom() - 2; y += 2) {
        QVERIFY2(vaizdas.pixelColor(g.left(), y) != fonas, qPrintable(u"left %1"_s.arg(y)));
        QVERIFY2(vaizdas.pixelColor(g.right(), y) != fonas, qPrintable(u"right %1"_s.arg(y)));
    }
}

void TstKonsoleLangas::svetimasTekstas() {
    // What the server prints is text, never markup.
    Atidaryti();
    Ivesti(Konsoles<QLineEdit>("edtSlaptazodis"), QString::fromLatin1(kSlaptazodis));
    Siusti(u"echo <b>bold</b> <img src=x> &amp;"_s);
    QTRY_VERIFY(Isvestis().endsWith(u"<b>bold</b> <img src=x> &amp;\n"_s));
    const QTextBlock eilute = Konsoles<QPlainTextEdit>("memIsvestis")->document()->lastBlock().previous();
    QCOMPARE(eilute.text(), u"<b>bold</b> <img src=x> &amp;"_s);
    QVERIFY(!eilute.charFormat().font().bold());
}

void TstKonsoleLangas::kitasServeris() {
    Atidaryti();
    Ivesti(Konsoles<QLineEdit>("edtSlaptazodis"), QString::fromLatin1(kSlaptazodis));
    frmKonsole()->hide();
    // The same server again: the password stays for the run.
    Atidaryti();
    QCOMPARE(Konsoles<QLineEdit>("edtSlaptazodis")->text(), QString::fromLatin1(kSlaptazodis));
    frmKonsole()->hide();
    // Another server: its password is not this one.
    TTestinisServeris kitas;
    QVERIFY(kitas.Paleisti());
    frmPagrindinis()->Stebeti(u"127.0.0.1:"_s + QString::number(kitas.Prievadas()));
    Atidaryti();
    QVERIFY(Konsoles<QLineEdit>("edtSlaptazodis")->text().isEmpty());
    QVERIFY(Konsoles<QLabel>("lblServeris")->text().endsWith(QString::number(kitas.Prievadas())));
    // Open already: the menu item takes up the watcher's address.
    frmPagrindinis()->Stebeti(adresas);
    Atidaryti();
    QVERIFY(Konsoles<QLabel>("lblServeris")->text().endsWith(adresas));
}

void TstKonsoleLangas::beServerio() {
    Valdiklis<QLineEdit>("edtHostas")->clear();
    Atidaryti(false);
    const QString zinute = frmPagrindinis()->Kalba().Tekstas("Pranesimai", "KonsoleNeraServerio");
    QVERIFY(Zinutes().endsWith(zinute));
    Ivesti(Konsoles<QLineEdit>("edtSlaptazodis"), QString::fromLatin1(kSlaptazodis));
    Ivesti(Konsoles<QLineEdit>("edtKomanda"), u"status"_s);
    QTest::keyClick(Konsoles<QLineEdit>("edtKomanda"), Qt::Key_Return);
    QVERIFY(Zinutes().endsWith(u"] status "_s + zinute));
    QCOMPARE(Komandos(*serveris), 0);
}

void TstKonsoleLangas::saugyklosNera() {
    const QString zinute = frmPagrindinis()->Kalba().Tekstas("Pranesimai", "KonsoleBeSaugyklos");
    const QString pradzia = zinute.left(zinute.indexOf(u"%1"_s));
    for (int i = 0; i < 3; ++i) {
        TTestinisServeris kitas;
        QVERIFY(kitas.Paleisti());
        frmPagrindinis()->Stebeti(u"127.0.0.1:"_s + QString::number(kitas.Prievadas()));
        Atidaryti();
        QTRY_VERIFY_WITH_TIMEOUT(!Konsoles<QCheckBox>("chkIsimintiSlaptazodi")->isEnabled(), kLaukimas);
        QVERIFY(!Konsoles<QCheckBox>("chkIsimintiSlaptazodi")->isChecked());
        frmKonsole()->hide();
    }
    // Said once in the run, however often the console opens.
    QCOMPARE(Zinutes().count(pradzia.simplified()), 1);
}

void TstKonsoleLangas::failuoseNera() {
    Atidaryti();
    Ivesti(Konsoles<QLineEdit>("edtSlaptazodis"), QString::fromLatin1(kSlaptazodis));
    Siusti(u"echo kept"_s);
    QTRY_VERIFY(Isvestis().endsWith(u"kept\n"_s));
    Ivesti(Konsoles<QLineEdit>("edtSlaptazodis"), QString::fromLatin1(kSlaptazodis) + u"-wrong"_s);
    Siusti(u"status"_s);
    frmKonsole()->hide();
    // Everything the program writes: the settings, the server list, the guard's file.
    Kviesti(frmPagrindinis(), "IssaugotiNustatymus");
    frmServeriai()->show();
    frmServeriai()->hide();
    QVERIFY(QFileInfo::exists(aplinka.Kelias(u"resursai/Nustatymai.tyb"_s)));
    const QString sargoFailas = ProgramosCentras()->KonsoliuRegistras().Failas();
    QVERIFY(sargoFailas.startsWith(tarnyba.Namai()));
    QVERIFY(QFileInfo::exists(sargoFailas));
    const QString slaptazodis = QString::fromLatin1(kSlaptazodis);
    const QByteArray utf16(reinterpret_cast<const char*>(slaptazodis.utf16()), slaptazodis.size() * 2);
    for (const QString& aplankas : {aplinka.aplankas.path(), tarnyba.Namai()}) {
        QCOMPARE(TSlaptuTarnyba::FailaiSu(aplankas, kSlaptazodis), QStringList());
        QCOMPARE(TSlaptuTarnyba::FailaiSu(aplankas, QByteArray(kSlaptazodis).toBase64()), QStringList());
        QCOMPARE(TSlaptuTarnyba::FailaiSu(aplankas, utf16), QStringList());
    }
}

QTEST_MAIN(TstKonsoleLangas)
#include "tst_konsole_langas.moc"
