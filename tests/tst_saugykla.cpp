// The secret store against a real Secret Service: gnome-keyring-daemon on a
// D-Bus session bus that the test starts, its login keyring unlocked with a
// test password. Written passwords read back, are replaced and deleted, are
// found by an independent client (secret-tool), and appear in no file in
// plain text. Skipped, saying what is missing, where the store cannot run.
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include "Saugykla.h"
#include "SlaptuTarnyba.h"

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TSaugyklosBusena)

namespace {

const QString kTarnyba = u"Velmorant test"_s;

// Runs one call and waits for its answer.
TSaugyklosAtsakymas Laukti(const std::function<void(QObject*, TSlaptazodziuSaugykla::TAtsakas)>& kvietimas) {
    QObject kontekstas;
    std::optional<TSaugyklosAtsakymas> atsakymas;
    kvietimas(&kontekstas, [&](const TSaugyklosAtsakymas& a) { atsakymas = a; });
    if (!QTest::qWaitFor([&] { return atsakymas.has_value(); }, TSlaptuTarnyba::kLaukimas)) {
        TSaugyklosAtsakymas a;
        a.Busena = TSaugyklosBusena::Klaida;
        a.Klaida = u"no answer in time"_s;
        return a;
    }
    return *atsakymas;
}

} // namespace

class TstSaugykla : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void rasytiSkaitytiTrinti_data();
    void rasytiSkaitytiTrinti();
    void raktaiAtskiri();
    void kitasKlientas();
    void failuoseNera();
    void kontekstasDingo();

private:
    TSaugyklosAtsakymas Rasyti(const QString& raktas, const QString& slaptazodis);
    TSaugyklosAtsakymas Skaityti(const QString& raktas);
    TSaugyklosAtsakymas Trinti(const QString& raktas);

    TSlaptuTarnyba tarnyba;
    std::optional<TSlaptazodziuSaugykla> saugykla;
};

TSaugyklosAtsakymas TstSaugykla::Rasyti(const QString& raktas, const QString& slaptazodis) {
    return Laukti([&](QObject* k, auto a) { saugykla->Rasyti(raktas, slaptazodis, k, a); });
}

TSaugyklosAtsakymas TstSaugykla::Skaityti(const QString& raktas) {
    return Laukti([&](QObject* k, auto a) { saugykla->Skaityti(raktas, k, a); });
}

TSaugyklosAtsakymas TstSaugykla::Trinti(const QString& raktas) {
    return Laukti([&](QObject* k, auto a) { saugykla->Trinti(raktas, k, a); });
}

void TstSaugykla::initTestCase() {
    if (!TSlaptazodziuSaugykla::ArSukompiliuota())
        QSKIP("built without QtKeychain (Debian package qtkeychain-qt6-dev): no secret store to test");
    const QString kodel = tarnyba.Paleisti(true);
    if (!kodel.isEmpty())
        QSKIP(qPrintable(u"no Secret Service for the test: "_s + kodel));
    saugykla.emplace(kTarnyba);
}

void TstSaugykla::rasytiSkaitytiTrinti_data() {
    QTest::addColumn<QString>("slaptazodis");
    QTest::newRow("plain") << u"sl4ptas"_s;
    QTest::newRow("letters beyond ASCII") << u"slaptažodis ąčę"_s;
    QTest::newRow("quotes and blanks") << u"a 'b' \\c"_s;
}

void TstSaugykla::rasytiSkaitytiTrinti() {
    QFETCH(QString, slaptazodis);
    const QString raktas = u"10.0.0.1:27015"_s;
    QCOMPARE(Skaityti(raktas).Busena, TSaugyklosBusena::NeraIraso);
    TSaugyklosAtsakymas a = Rasyti(raktas, slaptazodis);
    QVERIFY2(a.Busena == TSaugyklosBusena::Gerai, qPrintable(a.Klaida));
    a = Skaityti(raktas);
    QCOMPARE(a.Busena, TSaugyklosBusena::Gerai);
    QCOMPARE(a.Slaptazodis, slaptazodis);
    // Written again, replaced.
    QCOMPARE(Rasyti(raktas, slaptazodis + u'2').Busena, TSaugyklosBusena::Gerai);
    QCOMPARE(Skaityti(raktas).Slaptazodis, slaptazodis + u'2');
    QCOMPARE(Trinti(raktas).Busena, TSaugyklosBusena::Gerai);
    QCOMPARE(Skaityti(raktas).Busena, TSaugyklosBusena::NeraIraso);
}

void TstSaugykla::raktaiAtskiri() {
    QCOMPARE(Rasyti(u"10.0.0.1:27015"_s, u"pirmas"_s).Busena, TSaugyklosBusena::Gerai);
    QCOMPARE(Rasyti(u"10.0.0.1:27016"_s, u"antras"_s).Busena, TSaugyklosBusena::Gerai);
    QCOMPARE(Skaityti(u"10.0.0.1:27015"_s).Slaptazodis, u"pirmas"_s);
    QCOMPARE(Skaityti(u"10.0.0.1:27016"_s).Slaptazodis, u"antras"_s);
    // Another program's entries under the same key are not ours.
    TSlaptazodziuSaugykla kita(u"Another program"_s);
    QCOMPARE(Laukti([&](QObject* k, auto a) { kita.Skaityti(u"10.0.0.1:27015"_s, k, a); }).Busena,
             TSaugyklosBusena::NeraIraso);
    QCOMPARE(Trinti(u"10.0.0.1:27015"_s).Busena, TSaugyklosBusena::Gerai);
    QCOMPARE(Skaityti(u"10.0.0.1:27016"_s).Slaptazodis, u"antras"_s);
    QCOMPARE(Trinti(u"10.0.0.1:27016"_s).Busena, TSaugyklosBusena::Gerai);
}

void TstSaugykla::kitasKlientas() {
    // The entry is in the Secret Service itself, where another client finds it.
    const QString secretTool = QStandardPaths::findExecutable(u"secret-tool"_s);
    if (secretTool.isEmpty())
        QSKIP("secret-tool is not installed (Debian package libsecret-tools)");
    QCOMPARE(Rasyti(u"10.0.0.9:27015"_s, u"matomas"_s).Busena, TSaugyklosBusena::Gerai);
    QProcess p;
    p.start(secretTool, {u"lookup"_s, u"server"_s, kTarnyba, u"user"_s, u"10.0.0.9:27015"_s});
    QVERIFY(p.waitForFinished(TSlaptuTarnyba::kLaukimas));
    QCOMPARE(p.readAllStandardOutput(), QByteArray("matomas"));
    QCOMPARE(Trinti(u"10.0.0.9:27015"_s).Busena, TSaugyklosBusena::Gerai);
}

void TstSaugykla::failuoseNera() {
    const QString slaptazodis = u"niekur-faile-7c1f"_s;
    QCOMPARE(Rasyti(u"10.0.0.7:27015"_s, slaptazodis).Busena, TSaugyklosBusena::Gerai);
    QCOMPARE(Skaityti(u"10.0.0.7:27015"_s).Slaptazodis, slaptazodis);
    // The keyring keeps its file under the home folder, encrypted.
    QVERIFY(!QDir(tarnyba.Namai() + u"/.local/share/keyrings"_s).entryList(QDir::Files).isEmpty());
    QCOMPARE(TSlaptuTarnyba::FailaiSu(tarnyba.Namai(), slaptazodis.toUtf8()), QStringList());
    QCOMPARE(TSlaptuTarnyba::FailaiSu(tarnyba.Namai(), slaptazodis.toUtf8().toBase64()), QStringList());
    QCOMPARE(Trinti(u"10.0.0.7:27015"_s).Busena, TSaugyklosBusena::Gerai);
}

void TstSaugykla::kontekstasDingo() {
    // The caller is gone before the answer: nothing is called, the job still ends.
    bool iskviesta = false;
    {
        QObject kontekstas;
        saugykla->Rasyti(u"10.0.0.8:27015"_s, u"x"_s, &kontekstas,
                         [&](const TSaugyklosAtsakymas&) { iskviesta = true; });
    }
    // The write still happens: a read after it finds it.
    QTRY_COMPARE_WITH_TIMEOUT(Skaityti(u"10.0.0.8:27015"_s).Slaptazodis, u"x"_s, TSlaptuTarnyba::kLaukimas);
    QVERIFY(!iskviesta);
    QCOMPARE(Trinti(u"10.0.0.8:27015"_s).Busena, TSaugyklosBusena::Gerai);
}

QTEST_GUILESS_MAIN(TstSaugykla)
#include "tst_saugykla.moc"
