// TTybINI: reads, writes, result markers, line breaks, atomic write-backs and
// files that cannot be read or written.
#include <csignal>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaProperty>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "Tekstas.h"
#include "TybINI.h"

using namespace Qt::StringLiterals;

namespace {

// Set in the environment of the child process that is killed mid-write.
constexpr char kVaikoByla[] = "VELMORANT_TST_TYBINI_VAIKAS";

QByteArray Perskaityti(const QString& kelias) {
    QFile f(kelias);
    if (!f.open(QIODevice::ReadOnly))
        return "<unreadable>";
    return f.readAll();
}

bool Irasyti(const QString& kelias, const QByteArray& turinys) {
    QFile f(kelias);
    return f.open(QIODevice::WriteOnly) && f.write(turinys) == turinys.size();
}

// A failure that the tests raise between writing and replacing a file.
struct TImituotaKlaida {};

} // namespace

class TstTybINI : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void savybes();
    void neraFailo_data();
    void neraFailo();
    void skaitymas_data();
    void skaitymas();
    void rasymas_data();
    void rasymas();
    void kitiZenklai_data();
    void kitiZenklai();
    void baltuKoduote();
    void neperskaitomas_data();
    void neperskaitomas();
    void neirasomas_data();
    void neirasomas();
    void eilutesLauzimas_data();
    void eilutesLauzimas();
    void pertrauktasRasymas();
    void antrasIrasymasNepavyksta();
    void nuzudytasRasytojas();
    void niekoNeisimena();
    void kelioRaidziuDydis();
    void rodomasTekstas();
    void failoTurinys_data();
    void failoTurinys();
    void eilutes_data();
    void eilutes();

private:
    QString Kelias(const QString& vardas) const { return aplankas->filePath(vardas); }

    std::unique_ptr<QTemporaryDir> aplankas;
    QString buvesAplankas;
};

void TstTybINI::init() {
    aplankas = std::make_unique<QTemporaryDir>();
    QVERIFY(aplankas->isValid());
    buvesAplankas = QDir::currentPath();
    QVERIFY(QDir::setCurrent(aplankas->path()));
}

void TstTybINI::cleanup() {
    PriesPakeiciantFaila = nullptr;
    QDir::setCurrent(buvesAplankas);
    // Give back the rights some rows take away, so the folder can be removed.
    QFile::setPermissions(aplankas->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    aplankas.reset();
}

void TstTybINI::savybes() {
    TTybINI ini;
    QCOMPARE(ini.SectionBeginID(), u"-->"_s);
    QCOMPARE(ini.SectionEndID(), u"<--"_s);
    QCOMPARE(ini.ZenklasLygu(), u"="_s);
    QCOMPARE(ini.KomentaroZenklas(), u";"_s);
    QCOMPARE(ini.Byla(), u"*.Tyb"_s);

    // The five properties are reachable by name, as a layout would set them.
    const char* vardai[] = {"SectionBeginID", "SectionEndID", "ZenklasLygu", "KomentaroZenklas", "Byla"};
    for (const char* vardas : vardai) {
        const int i = ini.metaObject()->indexOfProperty(vardas);
        QVERIFY2(i >= 0, vardas);
        QVERIFY(ini.metaObject()->property(i).isWritable());
        QVERIFY(ini.setProperty(vardas, QString(u"x"_s + QLatin1StringView(vardas))));
    }
    QCOMPARE(ini.SectionBeginID(), u"xSectionBeginID"_s);
    QCOMPARE(ini.Byla(), u"xByla"_s);

    TTybINI savininkas;
    TTybINI vaikas(&savininkas);
    vaikas.setObjectName(u"TybINI1"_s);
    QCOMPARE(vaikas.parent(), &savininkas);
    QCOMPARE(savininkas.findChild<TTybINI*>(u"TybINI1"_s), &vaikas);
}

void TstTybINI::neraFailo_data() {
    QTest::addColumn<QString>("byla");
    QTest::newRow("default name with a matching file beside it") << u"*.Tyb"_s;
    QTest::newRow("question mark in the name") << u"a?.Tyb"_s;
    QTest::newRow("no such file") << u"Nustatymai.tyb"_s;
    QTest::newRow("no such folder") << u"resursai\\Nustatymai.tyb"_s;
    QTest::newRow("folder at the path") << u"aplankas"_s;
    QTest::newRow("empty name") << QString();
}

void TstTybINI::neraFailo() {
    QFETCH(QString, byla);
    QVERIFY(QDir().mkdir(u"aplankas"_s));
    // A file the wildcard names would match must not be taken for the file.
    QVERIFY(Irasyti(Kelias(u"a.Tyb"_s), "-->Nustatymai<--\r\nTAB=1\r\n"));
    const QStringList pries = QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);

    TTybINI ini;
    ini.setByla(byla);
    QCOMPARE(ini.SkaitytiReiksme(u"Nustatymai"_s, u"TAB"_s), QByteArray("###1"));
    QCOMPARE(ini.RasytiReiksme(u"Nustatymai"_s, u"TAB"_s, "0"), QByteArray("###1"));
    QCOMPARE(ini.SkaitytiReiksme(u"Nustatymai"_s, u"TAB"_s), QByteArray("###1"));

    QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), pries);
    QVERIFY(QFileInfo(u"aplankas"_s).isDir());
    QCOMPARE(Perskaityti(Kelias(u"a.Tyb"_s)), QByteArray("-->Nustatymai<--\r\nTAB=1\r\n"));
}

void TstTybINI::skaitymas_data() {
    QTest::addColumn<QByteArray>("turinys");
    QTest::addColumn<QString>("sekcija");
    QTest::addColumn<QString>("raktas");
    QTest::addColumn<QByteArray>("tikimasi");

    const QString P = u"Pranesimai"_s;
    const QString T = u"Timeout"_s;
    QTest::newRow("empty file") << QByteArray() << P << T << QByteArray("###2");
    QTest::newRow("header on line 0") << QByteArray("-->Pranesimai<--\r\nTimeout=Baigesi laikas\r\n") << P << T
                                      << QByteArray("Baigesi laikas");
    QTest::newRow("header after other lines")
        << QByteArray("free text\r\n\r\n-->Pranesimai<--\r\nTimeout=x\r\n") << P << T << QByteArray("x");
    QTest::newRow("no such section") << QByteArray("-->Kita<--\r\nTimeout=x\r\n") << P << T << QByteArray("###2");
    QTest::newRow("no such key") << QByteArray("-->Pranesimai<--\r\nBanas=x\r\n") << P << T << QByteArray("###3");
    QTest::newRow("blank after the end marker is no header")
        << QByteArray("-->Pranesimai<-- \r\nTimeout=x\r\n") << P << T << QByteArray("###2");
    QTest::newRow("blank before the begin marker is no header")
        << QByteArray(" -->Pranesimai<--\r\nTimeout=x\r\n") << P << T << QByteArray("###2");
    QTest::newRow("comment marker before the header is no header")
        << QByteArray(";-->Pranesimai<--\r\nTimeout=x\r\n") << P << T << QByteArray("###2");
    QTest::newRow("section names are case-sensitive")
        << QByteArray("-->pranesimai<--\r\nTimeout=x\r\n") << P << T << QByteArray("###2");
    QTest::newRow("keys are case-sensitive")
        << QByteArray("-->Pranesimai<--\r\ntimeout=x\r\n") << P << T << QByteArray("###3");
    QTest::newRow("comment line is no key line")
        << QByteArray("-->Pranesimai<--\r\nTimeout=a\r\n;Timeout=b\r\n") << P << T << QByteArray("a");
    QTest::newRow("comment marker inside a line is text")
        << QByteArray("-->Pranesimai<--\r\nTimeout=a;b\r\n") << P << T << QByteArray("a;b");
    QTest::newRow("blanks around the key and the separator")
        << QByteArray("-->Pranesimai<--\r\n Timeout = Baigesi\r\n") << P << T << QByteArray(" Baigesi");
    QTest::newRow("trailing blanks stay")
        << QByteArray("-->Pranesimai<--\r\nTimeout=a  \r\n") << P << T << QByteArray("a  ");
    QTest::newRow("empty value") << QByteArray("-->Pranesimai<--\r\nTimeout=\r\n") << P << T << QByteArray("");
    QTest::newRow("longer key further down wins") << QByteArray("-->frmApie<--\r\nCap1=Apie\r\nlblCap1x=Kitas\r\n")
                                                  << u"frmApie"_s << u"Cap1"_s << QByteArray("Kitas");
    QTest::newRow("key text inside a later value wins")
        << QByteArray("-->frmApie<--\r\nCap1=Apie\r\nlblKomentarai=zr. Cap1\r\n") << u"frmApie"_s << u"Cap1"_s
        << QByteArray("zr. Cap1");
    QTest::newRow("value holding the separator")
        << QByteArray("-->Nustatymai<--\r\nKalba=a=b=c\r\n") << u"Nustatymai"_s << u"Kalba"_s << QByteArray("a=b=c");
    QTest::newRow("matching line without separator")
        << QByteArray("-->Pranesimai<--\r\nno Timeout here\r\n") << P << T << QByteArray("no Timeout here");
    QTest::newRow("key line before every header")
        << QByteArray("Timeout=0\r\n-->Pranesimai<--\r\n") << P << T << QByteArray("###3");
    QTest::newRow("duplicated section, key in the first copy")
        << QByteArray("-->Pranesimai<--\r\nTimeout=pirmas\r\n-->Kita<--\r\nTimeout=kita\r\n-->Pranesimai<--\r\n"
                      "Banas=b\r\n")
        << P << T << QByteArray("pirmas");
    QTest::newRow("duplicated section, the last match over both copies")
        << QByteArray("-->Pranesimai<--\r\nTimeout=pirmas\r\n-->Pranesimai<--\r\nTimeout=antras\r\n") << P << T
        << QByteArray("antras");
    QTest::newRow("14-character section name") << QByteArray("-->frmPagrindinis<--\r\nbtnApie=Apie\r\n")
                                               << u"frmPagrindinis"_s << u"btnApie"_s << QByteArray("Apie");
    QTest::newRow("20-character header text also opens a range when text follows it")
        << QByteArray("-->frmPagrindinis<--\r\nbtnApie=pirmas\r\n-->frmPagrindinis<--!\r\nbtnApie=antras\r\n")
        << u"frmPagrindinis"_s << u"btnApie"_s << QByteArray("antras");
    QTest::newRow("shorter header text followed by text opens no range")
        << QByteArray("-->Pranesimai<--\r\nTimeout=pirmas\r\n-->Pranesimai<--!\r\nTimeout=antras\r\n") << P << T
        << QByteArray("pirmas");
    QTest::newRow("section name longer than 14 characters")
        << QByteArray("-->IlgasSekcijosVardas<--\r\nk=v\r\n") << u"IlgasSekcijosVardas"_s << u"k"_s << QByteArray("v");
    QTest::newRow("section ending the file")
        << QByteArray("-->Kita<--\r\nTimeout=x\r\n-->Pranesimai<--") << P << T << QByteArray("###3");
    QTest::newRow("header followed by its boundary")
        << QByteArray("-->Pranesimai<--\r\n-->Kita<--\r\nTimeout=x\r\n") << P << T << QByteArray("###3");
    QTest::newRow("key text in the next header line")
        << QByteArray("-->Pranesimai<--\r\nBanas=b\r\n-->Timeout<--\r\n") << P << T << QByteArray("###3");
    QTest::newRow("markers in reverse order end the range")
        << QByteArray("-->Pranesimai<--\r\nBanas=b\r\nx <-- y --> z\r\nTimeout=x\r\n") << P << T << QByteArray("###3");
    QTest::newRow("commented header does not end the range")
        << QByteArray("-->Pranesimai<--\r\n;-->Kita<--\r\nTimeout=x\r\n") << P << T << QByteArray("x");
    QTest::newRow("one marker alone does not end the range")
        << QByteArray("-->Pranesimai<--\r\na --> b\r\nTimeout=x\r\n") << P << T << QByteArray("x");
    QTest::newRow("lone CR line breaks") << QByteArray("-->Pranesimai<--\rTimeout=x\rBanas=b") << P << T
                                         << QByteArray("x");
    QTest::newRow("lone LF line breaks") << QByteArray("-->Pranesimai<--\nTimeout=x\n") << P << T << QByteArray("x");
    QTest::newRow("LF CR is two line breaks")
        << QByteArray("-->Pranesimai<--\n\rTimeout=x\n\r") << P << T << QByteArray("x");
    QTest::newRow("NUL ends the text") << "-->Pranesimai<--\r\nTimeout=x\r\n\0Timeout=y\r\n"_ba << P << T
                                       << QByteArray("x");
    QTest::newRow("NUL inside a value cuts it")
        << "-->Pranesimai<--\r\nTimeout=ab\0cd\r\n"_ba << P << T << QByteArray("ab");
    QTest::newRow("NUL before the header hides it")
        << "\0-->Pranesimai<--\r\nTimeout=x\r\n"_ba << P << T << QByteArray("###2");
    QTest::newRow("UTF-8 value comes back as its bytes")
        << QByteArray("-->Pranesimai<--\r\nTimeout=Baig\xC4\x97si\r\n") << P << T << QByteArray("Baig\xC4\x97si");
    QTest::newRow("Windows-1257 value comes back as its bytes")
        << QByteArray("-->Pranesimai<--\r\nTimeout=Baig\xEBsi\r\n") << P << T << QByteArray("Baig\xEBsi");
}

void TstTybINI::skaitymas() {
    QFETCH(QByteArray, turinys);
    QFETCH(QString, sekcija);
    QFETCH(QString, raktas);
    const QString kelias = Kelias(u"kalba.lng"_s);
    QVERIFY(Irasyti(kelias, turinys));
    TTybINI ini;
    ini.setByla(kelias);
    QTEST(ini.SkaitytiReiksme(sekcija, raktas), "tikimasi");
    QCOMPARE(Perskaityti(kelias), turinys);
}

void TstTybINI::rasymas_data() {
    QTest::addColumn<QByteArray>("turinys");
    QTest::addColumn<QString>("sekcija");
    QTest::addColumn<QString>("raktas");
    QTest::addColumn<QByteArray>("reiksme");
    QTest::addColumn<QByteArray>("rezultatas");
    QTest::addColumn<QByteArray>("po");

    const QString N = u"Nustatymai"_s;
    const QString T = u"TAB"_s;
    QTest::newRow("empty file gets the section and the key")
        << QByteArray() << N << T << QByteArray("1") << QByteArray("###2")
        << QByteArray("\r\n-->Nustatymai<--\r\nTAB=1\r\n");
    QTest::newRow("the same write again changes nothing")
        << QByteArray("\r\n-->Nustatymai<--\r\nTAB=1\r\n") << N << T << QByteArray("1") << QByteArray("###0")
        << QByteArray("\r\n-->Nustatymai<--\r\nTAB=1\r\n");
    QTest::newRow("missing section is appended after an empty line")
        << QByteArray("-->Kita<--\r\nx=1") << N << T << QByteArray("0") << QByteArray("###2")
        << QByteArray("-->Kita<--\r\nx=1\r\n\r\n-->Nustatymai<--\r\nTAB=0\r\n");
    QTest::newRow("existing key line is replaced")
        << QByteArray("-->Nustatymai<--\r\nTAB=0\r\nKalba=English\r\n") << N << T << QByteArray("1")
        << QByteArray("###0") << QByteArray("-->Nustatymai<--\r\nTAB=1\r\nKalba=English\r\n");
    QTest::newRow("new key goes directly under the header")
        << QByteArray("-->Nustatymai<--\r\nTAB=1\r\n") << N << u"KeistiHosta"_s << QByteArray("0") << QByteArray("###3")
        << QByteArray("-->Nustatymai<--\r\nKeistiHosta=0\r\nTAB=1\r\n");
    QTest::newRow("longer key holding the key is replaced whole")
        << QByteArray("-->Nustatymai<--\r\nxTABx=5\r\n") << N << T << QByteArray("1") << QByteArray("###0")
        << QByteArray("-->Nustatymai<--\r\nTAB=1\r\n");
    QTest::newRow("the last matching line is the one replaced")
        << QByteArray("-->Nustatymai<--\r\nTAB=0\r\nTABAS=2\r\n") << N << T << QByteArray("1") << QByteArray("###0")
        << QByteArray("-->Nustatymai<--\r\nTAB=0\r\nTAB=1\r\n");
    QTest::newRow("duplicated section, key in the first copy")
        << QByteArray("-->Nustatymai<--\r\nTAB=0\r\n-->Kita<--\r\n-->Nustatymai<--\r\nArIseiti=1\r\n") << N << T
        << QByteArray("1") << QByteArray("###0")
        << QByteArray("-->Nustatymai<--\r\nTAB=1\r\n-->Kita<--\r\n-->Nustatymai<--\r\nArIseiti=1\r\n");
    QTest::newRow("duplicated section, new key under the last copy")
        << QByteArray("-->Nustatymai<--\r\nTAB=0\r\n-->Nustatymai<--\r\nArIseiti=1\r\n") << N << u"Kalba"_s
        << QByteArray("English") << QByteArray("###3")
        << QByteArray("-->Nustatymai<--\r\nTAB=0\r\n-->Nustatymai<--\r\nKalba=English\r\nArIseiti=1\r\n");
    QTest::newRow("14-character section name")
        << QByteArray("-->frmPagrindinis<--\r\nbtnApie=Apie\r\n") << u"frmPagrindinis"_s << u"btnApie"_s
        << QByteArray("About") << QByteArray("###0") << QByteArray("-->frmPagrindinis<--\r\nbtnApie=About\r\n");
    QTest::newRow("section ending the file gets the key after its header")
        << QByteArray("-->Kita<--\r\nx=1\r\n-->Nustatymai<--") << N << T << QByteArray("1") << QByteArray("###3")
        << QByteArray("-->Kita<--\r\nx=1\r\n-->Nustatymai<--\r\nTAB=1\r\n");
    QTest::newRow("key text in the next header line is not replaced")
        << QByteArray("-->Nustatymai<--\r\nx=1\r\n-->TAB<--\r\n") << N << T << QByteArray("1") << QByteArray("###3")
        << QByteArray("-->Nustatymai<--\r\nTAB=1\r\nx=1\r\n-->TAB<--\r\n");
    QTest::newRow("commented key line stays")
        << QByteArray("-->Nustatymai<--\r\n;TAB=0\r\n") << N << T << QByteArray("1") << QByteArray("###3")
        << QByteArray("-->Nustatymai<--\r\nTAB=1\r\n;TAB=0\r\n");
    QTest::newRow("every line break becomes CR LF")
        << QByteArray("-->Nustatymai<--\rTAB=0\nx=2\r\n\rKalba=English") << N << T << QByteArray("1")
        << QByteArray("###0") << QByteArray("-->Nustatymai<--\r\nTAB=1\r\nx=2\r\n\r\nKalba=English\r\n");
    QTest::newRow("NUL and everything after it are dropped")
        << "-->Nustatymai<--\r\nTAB=0\r\n\0-->Kita<--\r\n"_ba << N << T << QByteArray("1") << QByteArray("###0")
        << QByteArray("-->Nustatymai<--\r\nTAB=1\r\n");
    QTest::newRow("other lines keep their bytes")
        << QByteArray("; komentaras\xEB \r\n-->Nustatymai<--\r\nKalba=Lietuvi\xC5\xB3  \r\n  \r\nTAB=0\r\n") << N << T
        << QByteArray("1") << QByteArray("###0")
        << QByteArray("; komentaras\xEB \r\n-->Nustatymai<--\r\nKalba=Lietuvi\xC5\xB3  \r\n  \r\nTAB=1\r\n");
    QTest::newRow("value blanks and separators stay")
        << QByteArray("-->Nustatymai<--\r\n") << N << u"Kalba"_s << QByteArray(" a = b ") << QByteArray("###3")
        << QByteArray("-->Nustatymai<--\r\nKalba= a = b \r\n");
    QTest::newRow("empty value") << QByteArray("-->Nustatymai<--\r\nTAB=1\r\n") << N << T << QByteArray()
                                 << QByteArray("###0") << QByteArray("-->Nustatymai<--\r\nTAB=\r\n");
}

void TstTybINI::rasymas() {
    QFETCH(QByteArray, turinys);
    QFETCH(QString, sekcija);
    QFETCH(QString, raktas);
    QFETCH(QByteArray, reiksme);
    const QString kelias = Kelias(u"Nustatymai.tyb"_s);
    QVERIFY(Irasyti(kelias, turinys));
    TTybINI ini;
    ini.setByla(kelias);
    QTEST(ini.RasytiReiksme(sekcija, raktas, reiksme), "rezultatas");
    QTEST(Perskaityti(kelias), "po");
    // A write replaces exactly the line a read of the same key returns.
    QCOMPARE(ini.SkaitytiReiksme(sekcija, raktas), reiksme);
    QCOMPARE(QDir(aplankas->path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"Nustatymai.tyb"_s});

    // The same write on the content in memory: the same result and bytes.
    QByteArray atmintyje = turinys;
    QTEST(ini.RasytiITurini(atmintyje, sekcija, raktas, reiksme), "rezultatas");
    QTEST(atmintyje, "po");
    QCOMPARE(ini.SkaitytiIsTurinio(atmintyje, sekcija, raktas), reiksme);
}

void TstTybINI::kitiZenklai_data() {
    QTest::addColumn<QByteArray>("turinys");
    QTest::addColumn<QString>("raktas");
    QTest::addColumn<QByteArray>("tikimasi");
    QTest::newRow("other markers and separator")
        << QByteArray("[P]\r\nTimeout: x\r\n[Q]\r\n") << u"Timeout"_s << QByteArray(" x");
    QTest::newRow("header line with half the comment marker still ends the range")
        << QByteArray("[P]\r\nTimeout: x\r\n/[Q]\r\nTimeout: y\r\n") << u"Timeout"_s << QByteArray(" x");
    QTest::newRow("key lines are hidden by the comment marker's first character")
        << QByteArray("[P]\r\nTimeout: x\r\n/Timeout: y\r\n") << u"Timeout"_s << QByteArray(" x");
    QTest::newRow("commented header with two characters is no boundary")
        << QByteArray("[P]\r\n//[Q]\r\nTimeout: x\r\n") << u"Timeout"_s << QByteArray(" x");
}

void TstTybINI::kitiZenklai() {
    QFETCH(QByteArray, turinys);
    QFETCH(QString, raktas);
    const QString kelias = Kelias(u"kitas.ini"_s);
    QVERIFY(Irasyti(kelias, turinys));
    TTybINI ini;
    ini.setSectionBeginID(u"["_s);
    ini.setSectionEndID(u"]"_s);
    ini.setZenklasLygu(u":"_s);
    ini.setKomentaroZenklas(u"//"_s);
    ini.setByla(kelias);
    QTEST(ini.SkaitytiReiksme(u"P"_s, raktas), "tikimasi");
    QTEST(ini.SkaitytiIsTurinio(turinys, u"P"_s, raktas), "tikimasi");
    QCOMPARE(ini.RasytiReiksme(u"P"_s, raktas, "z"), QByteArray("###0"));
    QCOMPARE(ini.SkaitytiReiksme(u"P"_s, raktas), QByteArray("z"));
    QByteArray atmintyje = turinys;
    QCOMPARE(ini.RasytiITurini(atmintyje, u"P"_s, raktas, "z"), QByteArray("###0"));
    QCOMPARE(atmintyje, Perskaityti(kelias));
}

void TstTybINI::baltuKoduote() {
    // Every byte in Windows-1257: U+FFFD, never a C1 control, for the twelve it leaves undefined.
    QByteArray baitai;
    for (int b = 0; b < 256; ++b)
        baitai += char(b);
    const QString t = RodomasTekstas(baitai);
    QCOMPARE(t.left(128), QString::fromLatin1(baitai.left(128)));
    QCOMPARE(t.count(QChar::ReplacementCharacter), 12);
    QCOMPARE(RodomasTekstas("\x80\x81\x9F\xA8\xC0\xD0\xE0\xFE\xFF"_ba), u"€\uFFFD\uFFFDØĄŠąž˙"_s);
}

void TstTybINI::neperskaitomas_data() {
    QTest::addColumn<QString>("budas");
    QTest::newRow("no read permission") << u"chmod"_s;
    QTest::newRow("read fails with an I/O error") << u"eio"_s;
    QTest::newRow("not a regular file") << u"fifo"_s;
}

void TstTybINI::neperskaitomas() {
    QFETCH(QString, budas);
    const QString kelias = Kelias(u"Nustatymai.tyb"_s);
    if (budas == u"chmod"_s) {
        if (::geteuid() == 0)
            QSKIP("the superuser reads files whatever their permissions");
        QVERIFY(Irasyti(kelias, "-->Nustatymai<--\r\nTAB=1\r\n"));
        QVERIFY(QFile::setPermissions(kelias, QFileDevice::Permissions()));
    } else if (budas == u"eio"_s) {
        // Reading a process's own memory file at offset 0 fails: nothing is mapped there.
        if (!QFileInfo::exists(u"/proc/self/mem"_s))
            QSKIP("no /proc/self/mem here");
        QVERIFY(QFile::link(u"/proc/self/mem"_s, kelias));
    } else {
        QCOMPARE(::mkfifo(QFile::encodeName(kelias).constData(), 0600), 0);
    }

    TTybINI ini;
    ini.setByla(kelias);
    const auto tikrinti = [&](auto&& veiksmas) {
        try {
            veiksmas();
        } catch (const EFailoKlaida& e) {
            QVERIFY2(e.Message().contains(kelias), qPrintable(e.Message()));
            return;
        }
        QFAIL("no EFailoKlaida");
    };
    tikrinti([&] { ini.SkaitytiReiksme(u"Nustatymai"_s, u"TAB"_s); });
    tikrinti([&] { ini.RasytiReiksme(u"Nustatymai"_s, u"TAB"_s, "0"); });
}

void TstTybINI::neirasomas_data() {
    QTest::addColumn<QString>("budas");
    QTest::newRow("folder without write permission") << u"aplankas"_s;
    QTest::newRow("file without write permission") << u"failas"_s;
    QTest::newRow("name too long for the temporary file") << u"vardas"_s;
}

void TstTybINI::neirasomas() {
    QFETCH(QString, budas);
    const QByteArray turinys("-->Nustatymai<--\r\nTAB=1\r\n");
    // 250 bytes is a valid name; the temporary file beside it needs a longer one.
    const QString kelias = Kelias(budas == u"vardas"_s ? QString(250, u'n') : u"Nustatymai.tyb"_s);
    QVERIFY(Irasyti(kelias, turinys));
    if (budas != u"vardas"_s && ::geteuid() == 0)
        QSKIP("the superuser writes whatever the permissions");
    if (budas == u"aplankas"_s)
        QVERIFY(QFile::setPermissions(aplankas->path(), QFile::ReadOwner | QFile::ExeOwner));
    if (budas == u"failas"_s)
        QVERIFY(QFile::setPermissions(kelias, QFile::ReadOwner));

    TTybINI ini;
    ini.setByla(kelias);
    QCOMPARE(ini.SkaitytiReiksme(u"Nustatymai"_s, u"TAB"_s), QByteArray("1"));
    for (const QString& raktas : {u"TAB"_s, u"Kalba"_s, u"Kita"_s}) {
        try {
            ini.RasytiReiksme(raktas == u"Kita"_s ? raktas : u"Nustatymai"_s, raktas, "0");
            QFAIL("no EFailoKlaida");
        } catch (const EFailoKlaida& e) {
            QVERIFY2(e.Message().contains(kelias), qPrintable(e.Message()));
        }
        QCOMPARE(Perskaityti(kelias), turinys);
    }
}

void TstTybINI::eilutesLauzimas_data() {
    QTest::addColumn<QString>("sekcija");
    QTest::addColumn<QString>("raktas");
    QTest::addColumn<QByteArray>("reiksme");
    QTest::newRow("CR LF in the value") << u"Nustatymai"_s << u"TAB"_s << QByteArray("1\r\n-->Kita<--");
    QTest::newRow("lone LF in the value") << u"Nustatymai"_s << u"TAB"_s << QByteArray("1\nx");
    QTest::newRow("NUL in the value") << u"Nustatymai"_s << u"TAB"_s << "1\0x"_ba;
    QTest::newRow("CR in the key") << u"Nustatymai"_s << u"T\rAB"_s << QByteArray("1");
    QTest::newRow("LF in the section") << u"Nusta\ntymai"_s << u"TAB"_s << QByteArray("1");
}

void TstTybINI::eilutesLauzimas() {
    QFETCH(QString, sekcija);
    QFETCH(QString, raktas);
    QFETCH(QByteArray, reiksme);
    const QByteArray turinys("-->Nustatymai<--\nTAB=0");
    const QString kelias = Kelias(u"Nustatymai.tyb"_s);
    QVERIFY(Irasyti(kelias, turinys));
    TTybINI ini;
    ini.setByla(kelias);
    QVERIFY_THROWS_EXCEPTION(EKlaida, ini.RasytiReiksme(sekcija, raktas, reiksme));
    QCOMPARE(Perskaityti(kelias), turinys);
    QByteArray atmintyje = turinys;
    QVERIFY_THROWS_EXCEPTION(EKlaida, ini.RasytiITurini(atmintyje, sekcija, raktas, reiksme));
    QCOMPARE(atmintyje, turinys);
}

void TstTybINI::pertrauktasRasymas() {
    const QByteArray turinys("-->Nustatymai<--\r\nTAB=1\r\n");
    const QString kelias = Kelias(u"Nustatymai.tyb"_s);
    QVERIFY(Irasyti(kelias, turinys));
    int kartai = 0;
    PriesPakeiciantFaila = [&](const QString& k) {
        ++kartai;
        QCOMPARE(k, kelias);
        throw TImituotaKlaida{};
    };
    TTybINI ini;
    ini.setByla(kelias);
    QVERIFY_THROWS_EXCEPTION(TImituotaKlaida, ini.RasytiReiksme(u"Nustatymai"_s, u"TAB"_s, "0"));
    QCOMPARE(kartai, 1);
    QCOMPARE(Perskaityti(kelias), turinys);
    // No half-written temporary file is left beside it either.
    QCOMPARE(QDir(aplankas->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{u"Nustatymai.tyb"_s});
}

void TstTybINI::antrasIrasymasNepavyksta() {
    const QString kelias = Kelias(u"Nustatymai.tyb"_s);
    QVERIFY(Irasyti(kelias, "-->Kita<--\r\n"));
    int kartai = 0;
    PriesPakeiciantFaila = [&](const QString&) {
        if (++kartai == 2)
            throw TImituotaKlaida{};
    };
    TTybINI ini;
    ini.setByla(kelias);
    QVERIFY_THROWS_EXCEPTION(TImituotaKlaida, ini.RasytiReiksme(u"Nustatymai"_s, u"TAB"_s, "1"));
    QCOMPARE(kartai, 2);
    // The first write-back (the new header) stands; the key line is not there.
    QCOMPARE(Perskaityti(kelias), QByteArray("-->Kita<--\r\n\r\n-->Nustatymai<--\r\n"));
    PriesPakeiciantFaila = nullptr;
    QCOMPARE(ini.SkaitytiReiksme(u"Nustatymai"_s, u"TAB"_s), QByteArray("###3"));
}

void TstTybINI::nuzudytasRasytojas() {
    const QByteArray turinys("-->Nustatymai<--\r\nTAB=1\r\nKalba=English\r\n");
    const QString kelias = Kelias(u"Nustatymai.tyb"_s);
    QVERIFY(Irasyti(kelias, turinys));

    QProcess vaikas;
    QProcessEnvironment aplinka = QProcessEnvironment::systemEnvironment();
    aplinka.insert(QString::fromLatin1(kVaikoByla), kelias);
    vaikas.setProcessEnvironment(aplinka);
    vaikas.setProcessChannelMode(QProcess::ForwardedChannels);
    vaikas.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(vaikas.waitForFinished(60000));
    QCOMPARE(vaikas.exitStatus(), QProcess::CrashExit);
    // The child got as far as the moment between writing and replacing.
    QVERIFY(QFileInfo::exists(kelias + u".pasiekta"_s));
    QCOMPARE(Perskaityti(kelias), turinys);
    TTybINI ini;
    ini.setByla(kelias);
    QCOMPARE(ini.SkaitytiReiksme(u"Nustatymai"_s, u"Kalba"_s), QByteArray("English"));
}

void TstTybINI::niekoNeisimena() {
    const QString kelias = Kelias(u"English.lng"_s);
    QVERIFY(Irasyti(kelias, "-->Pranesimai<--\r\nTimeout=a\r\n"));
    TTybINI ini;
    ini.setByla(kelias);
    QCOMPARE(ini.SkaitytiReiksme(u"Pranesimai"_s, u"Timeout"_s), QByteArray("a"));
    QVERIFY(Irasyti(kelias, "-->Pranesimai<--\r\nTimeout=b\r\n"));
    QCOMPARE(ini.SkaitytiReiksme(u"Pranesimai"_s, u"Timeout"_s), QByteArray("b"));
    QVERIFY(QFile::remove(kelias));
    QCOMPARE(ini.SkaitytiReiksme(u"Pranesimai"_s, u"Timeout"_s), QByteArray("###1"));
}

void TstTybINI::kelioRaidziuDydis() {
    QVERIFY(QDir().mkpath(u"resursai/kalbos"_s));
    QVERIFY(Irasyti(Kelias(u"resursai/kalbos/English.lng"_s), "-->Pranesimai<--\r\nTimeout=a\r\n"));
    TTybINI ini;
    ini.setByla(u"resursai\\Kalbos\\English.lng"_s);
    QCOMPARE(ini.SkaitytiReiksme(u"Pranesimai"_s, u"Timeout"_s), QByteArray("a"));
    QCOMPARE(ini.RasytiReiksme(u"Pranesimai"_s, u"Timeout"_s, "b"), QByteArray("###0"));
    ini.setByla(u"resursai\\kalbos\\\\english.LNG"_s);
    QCOMPARE(ini.SkaitytiReiksme(u"Pranesimai"_s, u"Timeout"_s), QByteArray("b"));
    QCOMPARE(QDir(u"resursai"_s).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{u"kalbos"_s});
    QCOMPARE(QDir(u"resursai/kalbos"_s).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{u"English.lng"_s});
}

void TstTybINI::rodomasTekstas() {
    const QString kelias = Kelias(u"Lietuviu.lng"_s);
    QVERIFY(Irasyti(kelias, "-->P<--\r\nu=I\xC5\xA1\x65iti\r\nw=I\xF0\x65iti\r\n"));
    TTybINI ini;
    ini.setByla(kelias);
    QCOMPARE(ini.SkaitytiTeksta(u"P"_s, u"u"_s), u"Išeiti"_s);
    QCOMPARE(ini.SkaitytiTeksta(u"P"_s, u"w"_s), u"Išeiti"_s);
    QCOMPARE(ini.SkaitytiTeksta(u"P"_s, u"x"_s), u"###3"_s);
}

// The child of nuzudytasRasytojas: starts a write-back and is killed between
// writing the new content and replacing the file.
static int RasytiIrButiNuzudytam(const QString& kelias) {
    PriesPakeiciantFaila = [](const QString& k) {
        QFile zyme(k + u".pasiekta"_s);
        if (zyme.open(QIODevice::WriteOnly))
            zyme.close();
        ::raise(SIGKILL);
    };
    TTybINI ini;
    ini.setByla(kelias);
    ini.RasytiReiksme(u"Nustatymai"_s, u"Kalba"_s, QByteArray(1 << 20, 'x'));
    return 0;
}

void TstTybINI::failoTurinys_data() {
    QTest::addColumn<int>("kas"); // 0 nothing, 1 a folder, 2 a file
    QTest::addColumn<bool>("aplankasKlaida");
    QTest::addColumn<bool>("klaida");
    QTest::addColumn<bool>("yra");
    QTest::newRow("no file") << 0 << false << false << false;
    QTest::newRow("no file, folders refused") << 0 << true << false << false;
    QTest::newRow("folder counts as no file") << 1 << false << false << false;
    QTest::newRow("folder refused") << 1 << true << true << false;
    QTest::newRow("file") << 2 << true << false << true;
}

void TstTybINI::failoTurinys() {
    QFETCH(int, kas);
    QFETCH(bool, aplankasKlaida);
    const QString kelias = Kelias(u"sarasas"_s);
    if (kas == 1)
        QVERIFY(QDir().mkdir(kelias));
    if (kas == 2) {
        QFile f(kelias);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("a\r\nb");
    }
    std::optional<QByteArray> turinys;
    bool klaida = false;
    try {
        turinys = SkaitytiFailoTurini(kelias, aplankasKlaida);
    } catch (const EFailoKlaida& e) {
        klaida = true;
        QVERIFY(e.Message().contains(kelias));
    }
    QTEST(klaida, "klaida");
    QTEST(turinys.has_value(), "yra");
    if (turinys)
        QCOMPARE(*turinys, QByteArray("a\r\nb"));
}

void TstTybINI::eilutes_data() {
    QTest::addColumn<QByteArray>("tekstas");
    QTest::addColumn<QList<QByteArray>>("eilutes");
    QTest::addColumn<QByteArray>("sujungtos");
    using L = QList<QByteArray>;
    QTest::newRow("empty") << QByteArray() << L{} << QByteArray();
    QTest::newRow("no final break") << QByteArray("a\nb") << L{"a", "b"} << QByteArray("a\r\nb\r\n");
    QTest::newRow("final break opens no line") << QByteArray("a\r\n") << L{"a"} << QByteArray("a\r\n");
    QTest::newRow("lone CR, LF CR") << QByteArray("a\rb\n\rc") << L{"a", "b", "", "c"}
                                    << QByteArray("a\r\nb\r\n\r\nc\r\n");
    QTest::newRow("NUL ends the text") << QByteArray("a\nb\0c\nd", 7) << L{"a", "b"} << QByteArray("a\r\nb\r\n");
    // Text that shares a longer buffer ends at its size, not at the buffer's NUL.
    QTest::newRow("borrowed bytes") << QByteArray::fromRawData("a\rbcd", 4) << L{"a", "bc"}
                                    << QByteArray("a\r\nbc\r\n");
    QTest::newRow("borrowed, CR at the end") << QByteArray::fromRawData("a\r\nb", 2) << L{"a"} << QByteArray("a\r\n");
}

void TstTybINI::eilutes() {
    QFETCH(QByteArray, tekstas);
    QFETCH(QList<QByteArray>, eilutes);
    QCOMPARE(IsskaidytiEilutes(tekstas), eilutes);
    QTEST(SujungtiEilutes(eilutes), "sujungtos");
    // Joined lines split back into the same lines.
    QCOMPARE(IsskaidytiEilutes(SujungtiEilutes(eilutes)), eilutes);
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsSet(kVaikoByla))
        return RasytiIrButiNuzudytam(qEnvironmentVariable(kVaikoByla));
    QCoreApplication programa(argc, argv);
    TstTybINI bandymai;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&bandymai, argc, argv);
}

#include "tst_tybini.moc"
