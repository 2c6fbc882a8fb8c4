// The console window remembering passwords through a real Secret Service
// (gnome-keyring-daemon on a D-Bus session bus that the test starts, unlocked
// with a test password), against the test server on loopback: a password the
// server took is stored under host:port when asked and filled in at the next
// opening, a refused one never is, unchecking forgets it, another client of
// the store finds it, and no file holds it. Skipped, saying what is missing,
// where the store cannot run.
#include <list>

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QProcess>

#include "Konsole.h"
#include "Modulis_Konsole.h"
#include "Saugykla.h"
#include "SlaptuTarnyba.h"
#include "StebetojoAplinka.h"
#include "TestinisServeris.h"

using namespace Qt::StringLiterals;

namespace {

constexpr char kSlaptazodis[] = "Atsimintas-5b71";
constexpr int kLaukimas = 10000;

template <typename T> T* Konsoles(const char* vardas) {
    return LangoValdiklis<T>(frmKonsole(), vardas);
}

} // namespace

class TstKonsoleSaugykla : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void isimintasIrUzpildomas();
    void neprasytasNeisimenamas();

private:
    void Atidaryti();
    void Siusti(const QString& komanda);
    // What the store holds under the key now, read by a client of the test's own.
    TSaugyklosAtsakymas Saugoma(const QString& raktas);

    TSlaptuTarnyba tarnyba;
    TStebetojoAplinka aplinka;
    // Every test's server stays bound to the end, so no later one gets its
    // port and, with it, the attempts the guard counted for it.
    std::list<TTestinisServeris> serveriai;
    TTestinisServeris* serveris = nullptr;
    QString adresas;
};

void TstKonsoleSaugykla::initTestCase() {
    if (!TSlaptazodziuSaugykla::ArSukompiliuota())
        QSKIP("built without QtKeychain (Debian package qtkeychain-qt6-dev): no secret store to test");
    const QString kodel = tarnyba.Paleisti(true);
    if (!kodel.isEmpty())
        QSKIP(qPrintable(u"no Secret Service for the test: "_s + kodel));
    QVERIFY(aplinka.Paruosti());
    QVERIFY(aplinka.Paleisti());
}

void TstKonsoleSaugykla::cleanupTestCase() {
    if (frmPagrindinis())
        aplinka.Baigti();
}

void TstKonsoleSaugykla::init() {
    serveriai.emplace_back();
    serveris = &serveriai.back();
    serveris->Konsole().NustatytiSlaptazodi(kSlaptazodis);
    QVERIFY2(serveris->Paleisti(), qPrintable(serveris->Klaida()));
    adresas = u"127.0.0.1:"_s + QString::number(serveris->Prievadas());
    frmPagrindinis()->Stebeti(adresas);
}

void TstKonsoleSaugykla::cleanup() {
    frmKonsole()->hide();
    serveris = nullptr;
}

TSaugyklosAtsakymas TstKonsoleSaugykla::Saugoma(const QString& raktas) {
    TSlaptazodziuSaugykla saugykla(QString::fromLatin1(TfrmKonsole::kSaugyklosTarnyba));
    QObject kontekstas;
    std::optional<TSaugyklosAtsakymas> atsakymas;
    saugykla.Skaityti(raktas, &kontekstas, [&](const TSaugyklosAtsakymas& a) { atsakymas = a; });
    if (!QTest::qWaitFor([&] { return atsakymas.has_value(); }, kLaukimas))
        return {TSaugyklosBusena::Klaida, {}, u"no answer"_s};
    return *atsakymas;
}

void TstKonsoleSaugykla::Atidaryti() {
    Valdiklis<QFrame>("pnlMeniuLygis1")->show();
    QTest::mouseClick(Valdiklis<TTybLabel>("lblKonsole"), Qt::LeftButton, {}, QPoint(3, 3));
    QTRY_VERIFY(frmKonsole()->isVisible());
    // The store answers in order: once ours is answered, the window's read of the opening is too.
    Saugoma(adresas);
}

void TstKonsoleSaugykla::Siusti(const QString& komanda) {
    Ivesti(Konsoles<QLineEdit>("edtKomanda"), komanda);
    QTest::keyClick(Konsoles<QLineEdit>("edtKomanda"), Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(!frmKonsole()->Konsole->ArUzimta(), kLaukimas);
}

void TstKonsoleSaugykla::isimintasIrUzpildomas() {
    Atidaryti();
    auto* slaptazodis = Konsoles<QLineEdit>("edtSlaptazodis");
    auto* isiminti = Konsoles<QCheckBox>("chkIsimintiSlaptazodi");
    QVERIFY(isiminti->isEnabled());
    QVERIFY(!isiminti->isChecked());
    QVERIFY(slaptazodis->text().isEmpty());
    QCOMPARE(frmKonsole()->SaugyklosRaktas(), adresas);

    // Asked to remember a password the server has not taken yet: nothing is kept.
    Ivesti(slaptazodis, u"neteisingas"_s);
    QTest::mouseClick(isiminti, Qt::LeftButton);
    QVERIFY(isiminti->isChecked());
    Siusti(u"status"_s);
    QVERIFY(Konsoles<QPlainTextEdit>("memIsvestis")->toPlainText().contains(u"Bad rcon_password."_s));
    QCOMPARE(Saugoma(adresas).Busena, TSaugyklosBusena::NeraIraso);

    // The right one, once the server takes it.
    Ivesti(slaptazodis, QString::fromLatin1(kSlaptazodis));
    Siusti(u"echo remembered"_s);
    QTRY_VERIFY(Konsoles<QPlainTextEdit>("memIsvestis")->toPlainText().endsWith(u"remembered\n"_s));
    QTRY_COMPARE_WITH_TIMEOUT(Saugoma(adresas).Slaptazodis, QString::fromLatin1(kSlaptazodis), kLaukimas);

    // Another client of the Secret Service finds it under the server's host:port.
    const QString secretTool = QStandardPaths::findExecutable(u"secret-tool"_s);
    if (!secretTool.isEmpty()) {
        QProcess p;
        p.start(secretTool,
                {u"lookup"_s, u"server"_s, QString::fromLatin1(TfrmKonsole::kSaugyklosTarnyba), u"user"_s, adresas});
        QVERIFY(p.waitForFinished(kLaukimas));
        QCOMPARE(p.readAllStandardOutput(), QByteArray(kSlaptazodis));
    } else {
        qInfo(
            "secret-tool is not installed (Debian package libsecret-tools): the store is read back by QtKeychain only");
    }

    // Another server in between, then this one again: the password is filled in.
    frmKonsole()->hide();
    TTestinisServeris kitas;
    QVERIFY(kitas.Paleisti());
    frmPagrindinis()->Stebeti(u"127.0.0.1:"_s + QString::number(kitas.Prievadas()));
    Valdiklis<QFrame>("pnlMeniuLygis1")->show();
    QTest::mouseClick(Valdiklis<TTybLabel>("lblKonsole"), Qt::LeftButton, {}, QPoint(3, 3));
    QTRY_VERIFY(frmKonsole()->isVisible());
    QVERIFY(slaptazodis->text().isEmpty());
    frmKonsole()->hide();
    frmPagrindinis()->Stebeti(adresas);
    Atidaryti();
    QTRY_COMPARE_WITH_TIMEOUT(slaptazodis->text(), QString::fromLatin1(kSlaptazodis), kLaukimas);
    QVERIFY(isiminti->isChecked());
    Siusti(u"echo filled in"_s);
    QTRY_VERIFY(Konsoles<QPlainTextEdit>("memIsvestis")->toPlainText().endsWith(u"filled in\n"_s));

    // No file holds it, not even the store's own (it is encrypted).
    QVERIFY(!QDir(tarnyba.Namai() + u"/.local/share/keyrings"_s).entryList(QDir::Files).isEmpty());
    Kviesti(frmPagrindinis(), "IssaugotiNustatymus");
    for (const QString& aplankas : {aplinka.aplankas.path(), tarnyba.Namai()}) {
        QCOMPARE(TSlaptuTarnyba::FailaiSu(aplankas, kSlaptazodis), QStringList());
        QCOMPARE(TSlaptuTarnyba::FailaiSu(aplankas, QByteArray(kSlaptazodis).toBase64()), QStringList());
    }

    // Unchecked: forgotten.
    QTest::mouseClick(isiminti, Qt::LeftButton);
    QVERIFY(!isiminti->isChecked());
    QTRY_COMPARE_WITH_TIMEOUT(Saugoma(adresas).Busena, TSaugyklosBusena::NeraIraso, kLaukimas);
}

void TstKonsoleSaugykla::neprasytasNeisimenamas() {
    Atidaryti();
    QVERIFY(!Konsoles<QCheckBox>("chkIsimintiSlaptazodi")->isChecked());
    Ivesti(Konsoles<QLineEdit>("edtSlaptazodis"), QString::fromLatin1(kSlaptazodis));
    Siusti(u"echo not kept"_s);
    QTRY_VERIFY(Konsoles<QPlainTextEdit>("memIsvestis")->toPlainText().endsWith(u"not kept\n"_s));
    QCOMPARE(Saugoma(adresas).Busena, TSaugyklosBusena::NeraIraso);
    // Checked after the server took it: kept at once.
    QTest::mouseClick(Konsoles<QCheckBox>("chkIsimintiSlaptazodi"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(Saugoma(adresas).Slaptazodis, QString::fromLatin1(kSlaptazodis), kLaukimas);
}

QTEST_MAIN(TstKonsoleSaugykla)
#include "tst_konsole_saugykla.moc"
