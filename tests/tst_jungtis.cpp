// Starting the installed game on the watched server through Wine or Steam: the
// install folder from Wine's registry, the command, the address check, and what
// happens when nothing starts.
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>

#include "StebetojoAplinka.h"
#include "TybCheckBox.h"
#include "TybINI.h"

using namespace Qt::StringLiterals;

namespace {

const char kVartotojas[] = "WINE REGISTRY Version 2\n\n"
                           "[Software\\\\Valve\\\\Half-Life] 1700000000\n"
                           "\"InstallPath\"=\"C:\\\\Games\\\\Half-Life\"\n";

} // namespace

class TstJungtis : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void katalogasIsRegistro();
    void paleidimas_data();
    void paleidimas();
    void tusciasAdresasNieko_data();
    void tusciasAdresasNieko();
    void nepavykes_data();
    void nepavykes();
    void issaugoNustatymus_data();
    void issaugoNustatymus();
    void pavojingasAdresas_data();
    void pavojingasAdresas();
    void steamBeWine_data();
    void steamBeWine();

private:
    QStringList Argumentai() const;
    TStebetojoAplinka aplinka;
    QTemporaryDir prefiksas;
    QTemporaryDir bin;
    QTemporaryDir steamBin;
    QTemporaryDir tusciasPrefiksas;
    QByteArray senasPath;
    QByteArray senasWinePrefix;
};

void TstJungtis::initTestCase() {
    QVERIFY(aplinka.Paruosti());
    QVERIFY(prefiksas.isValid() && bin.isValid());
    {
        QFile f(prefiksas.filePath(u"user.reg"_s));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(kVartotojas);
    }
    // A stand-in for wine that writes its arguments, one per line, and ends.
    {
        QFile f(bin.filePath(u"wine"_s));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$VELMORANT_WINE_LOG.tmp\"\n"
                "mv \"$VELMORANT_WINE_LOG.tmp\" \"$VELMORANT_WINE_LOG\"\n");
        f.close();
        QVERIFY(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
    // No handler for steam:// addresses, whatever the machine has.
    {
        QFile f(bin.filePath(u"xdg-mime"_s));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\nexit 0\n");
        f.close();
        QVERIFY(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
    // A stand-in for steam, logging the same way.
    {
        QVERIFY(steamBin.isValid() && tusciasPrefiksas.isValid());
        QFile f(steamBin.filePath(u"steam"_s));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$VELMORANT_WINE_LOG.tmp\"\n"
                "/bin/mv \"$VELMORANT_WINE_LOG.tmp\" \"$VELMORANT_WINE_LOG\"\n");
        f.close();
        QVERIFY(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
    senasWinePrefix = qgetenv("WINEPREFIX");
    qputenv("WINEPREFIX", prefiksas.path().toLocal8Bit());
    qputenv("VELMORANT_WINE_LOG", aplinka.Kelias(u"wine.log"_s).toLocal8Bit());
    senasPath = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit() + ':' + senasPath);
    QVERIFY(aplinka.Paleisti());
}

void TstJungtis::cleanupTestCase() {
    aplinka.Baigti();
    qputenv("PATH", senasPath);
    qputenv("WINEPREFIX", senasWinePrefix);
}

void TstJungtis::init() {
    if (!frmPagrindinis()->isVisible()) {
        frmPagrindinis()->show();
        QVERIFY(QTest::qWaitForWindowExposed(frmPagrindinis()));
    }
    aplinka.pranesimai.clear();
    QFile::remove(aplinka.Kelias(u"wine.log"_s));
    frmPagrindinis()->setProperty("ZaidimoKatalogas", u"C:\\Games\\Half-Life"_s);
    Valdiklis<TTybCheckBox>("chkIssaugotiPakeitimus")->setChecked(false);
    Valdiklis<TTybCheckBox>("chkArIseiti")->setChecked(true);
    qputenv("PATH", bin.path().toLocal8Bit() + ':' + senasPath);
}

QStringList TstJungtis::Argumentai() const {
    const QByteArray zurnalas = aplinka.Skaityti(u"wine.log"_s);
    QStringList a = QString::fromUtf8(zurnalas).split(u'\n');
    if (!a.isEmpty() && a.last().isEmpty())
        a.removeLast();
    return a;
}

void TstJungtis::katalogasIsRegistro() {
    // Read once, when the watcher was created.
    QCOMPARE(QStandardPaths::findExecutable(u"wine"_s), bin.filePath(u"wine"_s));
    SunaikintiLangus();
    SukurtiLangus();
    QCOMPARE(frmPagrindinis()->property("ZaidimoKatalogas").toString(), u"C:\\Games\\Half-Life"_s);
    frmPagrindinis()->show();
    QVERIFY(QTest::qWaitForWindowExposed(frmPagrindinis()));
}

void TstJungtis::paleidimas_data() {
    QTest::addColumn<QString>("adresas");
    QTest::addColumn<QString>("perduotas");
    QTest::newRow("host and port") << u"game.example.org:27016"_s << u"game.example.org:27016"_s;
    QTest::newRow("blanks around, trimmed") << u"  10.0.0.7:27015 "_s << u"10.0.0.7:27015"_s;
    QTest::newRow("bare host") << u"10.0.0.7"_s << u"10.0.0.7"_s;
}

void TstJungtis::paleidimas() {
    QFETCH(QString, adresas);
    QFETCH(QString, perduotas);
    Valdiklis<QLineEdit>("edtHostas")->setText(adresas);
    QTest::mouseClick(Valdiklis<QPushButton>("btnJungtis"), Qt::LeftButton);
    // No exit question, whatever the option says: the watcher closes.
    QVERIFY(!frmPagrindinis()->isVisible());
    QVERIFY(!Valdiklis<QFrame>("pnlArIseiti")->isVisible());
    QVERIFY(aplinka.pranesimai.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(aplinka.Kelias(u"wine.log"_s)), 10000);
    QCOMPARE(Argumentai(), (QStringList{u"C:\\Games\\Half-Life\\hl.exe"_s, u"-game"_s, u"cstrike"_s, u"-toconsole"_s,
                                        u"+connect"_s, perduotas}));
}

void TstJungtis::tusciasAdresasNieko_data() {
    QTest::addColumn<QString>("adresas");
    QTest::newRow("empty") << QString();
    QTest::newRow("blanks only") << u"   "_s;
}

void TstJungtis::tusciasAdresasNieko() {
    QFETCH(QString, adresas);
    Valdiklis<QLineEdit>("edtHostas")->setText(adresas);
    QTest::mouseClick(Valdiklis<QPushButton>("btnJungtis"), Qt::LeftButton);
    QVERIFY(frmPagrindinis()->isVisible());
    QVERIFY(aplinka.pranesimai.isEmpty());
    QTest::qWait(50);
    QVERIFY(!QFile::exists(aplinka.Kelias(u"wine.log"_s)));
}

void TstJungtis::nepavykes_data() {
    QTest::addColumn<QString>("katalogas");
    QTest::addColumn<bool>("wine");
    QTest::newRow("no wine on the path") << u"C:\\Games\\Half-Life"_s << false;
    QTest::newRow("no key in the registry") << u"#001"_s << true;
    QTest::newRow("no install path value") << QString() << true;
}

void TstJungtis::nepavykes() {
    QFETCH(QString, katalogas);
    QFETCH(bool, wine);
    frmPagrindinis()->setProperty("ZaidimoKatalogas", katalogas);
    if (!wine)
        qputenv("PATH", "/nonexistent");
    Valdiklis<TTybCheckBox>("chkIssaugotiPakeitimus")->setChecked(true);
    const QByteArray nustatymai = aplinka.Skaityti(u"resursai/Nustatymai.tyb"_s);
    Valdiklis<QLineEdit>("edtHostas")->setText(u"10.0.0.7:27015"_s);
    QTest::mouseClick(Valdiklis<QPushButton>("btnJungtis"), Qt::LeftButton);
    // The user is told, and keeps the watcher.
    QCOMPARE(aplinka.pranesimai, QStringList{frmPagrindinis()->Kalba().Tekstas("Pranesimai", "ZaidimasNepaleistas")});
    QVERIFY(!aplinka.pranesimai.first().startsWith(u"###"_s));
    QVERIFY(frmPagrindinis()->isVisible());
    QCOMPARE(aplinka.Skaityti(u"resursai/Nustatymai.tyb"_s), nustatymai);
    QTest::qWait(50);
    QVERIFY(!QFile::exists(aplinka.Kelias(u"wine.log"_s)));
}

void TstJungtis::issaugoNustatymus_data() {
    QTest::addColumn<bool>("issaugoti");
    QTest::newRow("save option on") << true;
    QTest::newRow("save option off") << false;
}

void TstJungtis::issaugoNustatymus() {
    QFETCH(bool, issaugoti);
    Valdiklis<TTybCheckBox>("chkIssaugotiPakeitimus")->setChecked(issaugoti);
    Valdiklis<TTybCheckBox>("chkKeistiHosta")->setChecked(true);
    Valdiklis<QLineEdit>("edtHostas")->setText(u"10.0.0.7"_s);
    QTest::mouseClick(Valdiklis<QPushButton>("btnJungtis"), Qt::LeftButton);
    QVERIFY(!frmPagrindinis()->isVisible());
    TTybINI nustatymai;
    nustatymai.setByla(u"resursai\\Nustatymai.tyb"_s);
    QCOMPARE(nustatymai.SkaitytiReiksme(u"Nustatymai"_s, u"KeistiHosta"_s), issaugoti ? "1" : "0");
    Valdiklis<TTybCheckBox>("chkKeistiHosta")->setChecked(false);
    if (issaugoti)
        QVERIFY(nustatymai.RasytiReiksme(u"Nustatymai"_s, u"KeistiHosta"_s, "0") == "###0");
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(aplinka.Kelias(u"wine.log"_s)), 10000);
}

void TstJungtis::pavojingasAdresas_data() {
    QTest::addColumn<QString>("adresas");
    QTest::newRow("command after semicolon") << u"127.0.0.1;quit"_s;
    QTest::newRow("plus word") << u"127.0.0.1 +exec x"_s;
    QTest::newRow("exec after port") << u"1.2.3.4:27015;exec x.cfg"_s;
    QTest::newRow("engine switch") << u"-dev"_s;
}

void TstJungtis::pavojingasAdresas() {
    // Both ways exist: Wine knows the folder, steam is on the path. The address
    // alone keeps the game from starting.
    QFETCH(QString, adresas);
    qputenv("PATH", bin.path().toLocal8Bit() + ':' + steamBin.path().toLocal8Bit() + ':' + senasPath);
    Valdiklis<QLineEdit>("edtHostas")->setText(adresas);
    QTest::mouseClick(Valdiklis<QPushButton>("btnJungtis"), Qt::LeftButton);
    QCOMPARE(aplinka.pranesimai, QStringList{frmPagrindinis()->Kalba().Tekstas("Pranesimai", "ZaidimasNepaleistas")});
    QVERIFY(frmPagrindinis()->isVisible());
    QTest::qWait(50);
    QVERIFY(!QFile::exists(aplinka.Kelias(u"wine.log"_s)));
}

void TstJungtis::steamBeWine_data() {
    QTest::addColumn<QString>("adresas");
    QTest::addColumn<QString>("nuoroda");
    QTest::newRow("address with port") << u"127.0.0.1:27015"_s << u"steam://connect/127.0.0.1:27015"_s;
    QTest::newRow("default port") << u"127.0.0.1"_s << u"steam://connect/127.0.0.1:27015"_s;
    QTest::newRow("name, other port, blanks")
        << u" game.example.org:27016 "_s << u"steam://connect/game.example.org:27016"_s;
}

void TstJungtis::steamBeWine() {
    // No Wine prefix at all: the watcher, created afresh, finds no game folder;
    // steam is on the path, wine is not.
    QFETCH(QString, adresas);
    QFETCH(QString, nuoroda);
    qputenv("WINEPREFIX", tusciasPrefiksas.path().toLocal8Bit());
    qputenv("PATH", steamBin.path().toLocal8Bit());
    SunaikintiLangus();
    SukurtiLangus();
    qputenv("WINEPREFIX", prefiksas.path().toLocal8Bit());
    QCOMPARE(frmPagrindinis()->property("ZaidimoKatalogas").toString(), u"#001"_s);
    frmPagrindinis()->show();
    QVERIFY(QTest::qWaitForWindowExposed(frmPagrindinis()));
    Valdiklis<TTybCheckBox>("chkArIseiti")->setChecked(true);
    Valdiklis<QLineEdit>("edtHostas")->setText(adresas);
    QTest::mouseClick(Valdiklis<QPushButton>("btnJungtis"), Qt::LeftButton);
    // As for a game started through Wine: no question, no message, the watcher closes.
    QVERIFY(!frmPagrindinis()->isVisible());
    QVERIFY(!Valdiklis<QFrame>("pnlArIseiti")->isVisible());
    QVERIFY(aplinka.pranesimai.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(aplinka.Kelias(u"wine.log"_s)), 10000);
    QCOMPARE(Argumentai(), QStringList{nuoroda});
}

QTEST_MAIN(TstJungtis)
#include "tst_jungtis.moc"
