// The installed program: what `cmake --install` puts under a prefix, the desktop
// entry as desktop-file-validate sees it, the AppStream metadata as appstreamcli
// sees it, the manual page as groff reads it, and the installed executable started
// from a home folder, offscreen, against the local test game server: the
// scoreboard fills with captions and the map picture from the installed data, and
// the settings are written into the user's configuration folder, not the prefix.
// The running program is read through its VELMORANT_ZVALGA look (busena.txt).
#include <algorithm>

#include <QCryptographicHash>
#include <QDate>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "Dieginiai.h"
#include "FailoInfo.h"
#include "JpegVaizdas.h"
#include "TybINI.h"
#include "Pagalba.h"

using namespace Qt::StringLiterals;

namespace {

bool Rasyti(const QString& kelias, const QByteArray& turinys) {
    QDir().mkpath(QFileInfo(kelias).path());
    QFile f(kelias);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(turinys) == turinys.size();
}

// busena.txt: "name<TAB>text" lines.
QHash<QString, QString> Busena(const QString& kelias) {
    QHash<QString, QString> b;
    const QList<QByteArray> eilutes = Skaityti(kelias).split('\n');
    for (const QByteArray& e : eilutes) {
        const qsizetype tab = e.indexOf('\t');
        if (tab > 0)
            b.insert(QString::fromUtf8(e.left(tab)), QString::fromUtf8(e.mid(tab + 1)));
    }
    return b;
}

// The picture's mark as the look writes it.
QString VaizdoZyme(const QImage& vaizdas) {
    const QImage argb = vaizdas.convertToFormat(QImage::Format_ARGB32);
    QCryptographicHash md5(QCryptographicHash::Md5);
    for (int y = 0; y < argb.height(); ++y)
        md5.addData(QByteArrayView(reinterpret_cast<const char*>(argb.constScanLine(y)), argb.width() * 4));
    return u"%1x%2:%3"_s.arg(argb.width()).arg(argb.height()).arg(QString::fromLatin1(md5.result().toHex()));
}

const QString kSaltinis = QString::fromUtf8(VELMORANT_SOURCE_DIR);
// Named by the program's reverse-DNS id, as its AppStream metadata is.
const QString kId = QString::fromUtf8(VELMORANT_ID);
const QString kDarbalaukioIrasas = u"share/applications/"_s + kId + u".desktop"_s;
const QString kMetaduomenys = u"share/metainfo/"_s + kId + u".metainfo.xml"_s;
const QString kManualas = u"share/man/man1/velmorant.1.gz"_s;

TVersijosTekstai VersijosIrasas() {
    TVersijosTekstai t;
    SkaitytiVersija(t);
    return t;
}

// The environment variables that the program's own code reads by name.
QSet<QString> SkaitomiKintamieji() {
    static const QRegularExpression skaitymas(
        uR"re(\b(?:qEnvironmentVariable(?:IsEmpty|IsSet|IntValue)?|qgetenv|getenv|secure_getenv)\(\s*"([A-Za-z_]\w*)")re"_s);
    QSet<QString> vardai;
    for (const char* aplankas : {"query", "support", "widgets", "windows"}) {
        QDirIterator it(kSaltinis + u'/' + QString::fromLatin1(aplankas), {u"*.cpp"_s, u"*.h"_s}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString tekstas = QString::fromUtf8(Skaityti(it.next()));
            for (auto m = skaitymas.globalMatch(tekstas); m.hasNext();)
                vardai.insert(m.next().captured(1));
        }
    }
    return vardai;
}

// The text of one section of a manual page, from its .SH line to the next.
QByteArray Skyrius(const QByteArray& puslapis, const QByteArray& vardas) {
    const qsizetype pradzia = puslapis.indexOf(QByteArray("\n.SH " + vardas + '\n'));
    if (pradzia < 0)
        return {};
    const qsizetype pabaiga = puslapis.indexOf("\n.SH ", pradzia + 1);
    return puslapis.mid(pradzia, pabaiga < 0 ? -1 : pabaiga - pradzia);
}

} // namespace

class TstDiegimas : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void idiegtiFailai_data();
    void idiegtiFailai();
    void ikonos_data();
    void ikonos();
    void darbalaukioIrasas();
    void metaduomenys();
    void manualas();
    void paleidimasIsNamu_data();
    void paleidimasIsNamu();

private:
    QString Prefiksas(const QString& santykinis) const { return prefiksas.filePath(santykinis); }
    QTemporaryDir prefiksas;
};

void TstDiegimas::initTestCase() {
    QVERIFY(prefiksas.isValid());
    QProcess diegimas;
    diegimas.setProcessChannelMode(QProcess::MergedChannels);
    diegimas.start(QString::fromUtf8(VELMORANT_CMAKE),
                   {u"--install"_s, QString::fromUtf8(VELMORANT_BUILD_DIR), u"--prefix"_s, prefiksas.path()});
    QVERIFY(diegimas.waitForFinished(120000));
    QVERIFY2(diegimas.exitStatus() == QProcess::NormalExit && diegimas.exitCode() == 0, diegimas.readAll().constData());
}

void TstDiegimas::idiegtiFailai_data() {
    QTest::addColumn<QString>("idiegtas");
    QTest::addColumn<QString>("saltinis"); // the source it must equal byte for byte; "" = none
    const QString d = u"share/velmorant/resursai/"_s;
    for (const QString& kalba : QDir(kSaltinis + u"/resursai/Kalbos"_s).entryList({u"*.lng"_s}, QDir::Files))
        QTest::newRow(qPrintable(kalba)) << d + u"Kalbos/"_s + kalba << u"resursai/Kalbos/"_s + kalba;
    QTest::newRow("default settings") << d + u"Nustatymai.tyb"_s << u"resursai/Nustatymai.tyb"_s;
    QTest::newRow("map picture") << d + u"zemelapiai/de_dust2.jpg"_s << u"resursai/zemelapiai/de_dust2.jpg"_s;
    QTest::newRow("fallback picture") << d + u"zemelapiai/standartinis.jpg"_s
                                      << u"resursai/zemelapiai/standartinis.jpg"_s;
    QTest::newRow("executable") << u"bin/velmorant"_s << QString();
    QTest::newRow("desktop entry") << kDarbalaukioIrasas << QString();
    QTest::newRow("AppStream metadata") << kMetaduomenys << QString();
    QTest::newRow("manual page") << kManualas << QString();
    QTest::newRow("copyright") << u"share/doc/velmorant/copyright"_s << QString();
}

void TstDiegimas::idiegtiFailai() {
    QFETCH(QString, idiegtas);
    QFETCH(QString, saltinis);
    const QFileInfo info(Prefiksas(idiegtas));
    QVERIFY2(info.isFile(), qPrintable(idiegtas));
    if (!saltinis.isEmpty())
        QCOMPARE(Skaityti(info.filePath()), Skaityti(kSaltinis + u'/' + saltinis));
    if (idiegtas.startsWith(u"bin/"_s))
        QVERIFY(info.isExecutable());
    // Nothing that a run writes is shipped.
    QVERIFY(!QFileInfo::exists(Prefiksas(u"share/velmorant/resursai/Serveriai.tyb"_s)));
}

void TstDiegimas::ikonos_data() {
    QTest::addColumn<int>("dydis");
    for (const int n : {16, 22, 24, 32, 48, 64, 128, 256})
        QTest::newRow(QByteArray::number(n).constData()) << n;
}

void TstDiegimas::ikonos() {
    QFETCH(int, dydis);
    const QImage ikona(Prefiksas(u"share/icons/hicolor/%1x%1/apps/velmorant.png"_s.arg(dydis)));
    QCOMPARE(ikona.size(), QSize(dydis, dydis));
    // A round radar: transparent corners, an opaque middle.
    QCOMPARE(qAlpha(ikona.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(ikona.pixel(dydis / 2, dydis / 2)), 255);
}

void TstDiegimas::darbalaukioIrasas() {
    const QString failas = Prefiksas(kDarbalaukioIrasas);
    // One entry, by the id: none left under an older name.
    QCOMPARE(QDir(Prefiksas(u"share/applications"_s)).entryList(QDir::Files), QStringList{kId + u".desktop"_s});
    const QList<QByteArray> eilutes = Skaityti(failas).split('\n');
    QCOMPARE(eilutes.first(), QByteArray("[Desktop Entry]"));
    const QList<QByteArray> privalomos{"Type=Application",         "Name=Velmorant",
                                       "Icon=velmorant",           "Categories=Game;Network;",
                                       "StartupWMClass=velmorant", "Exec=" + Prefiksas(u"bin/velmorant"_s).toUtf8()};
    for (const QByteArray& tikimasi : privalomos)
        QVERIFY2(eilutes.contains(tikimasi), tikimasi.constData());
    QVERIFY(std::any_of(eilutes.begin(), eilutes.end(), [](const QByteArray& e) { return e.startsWith("Comment="); }));

    const QString tikrintojas = QStandardPaths::findExecutable(u"desktop-file-validate"_s);
    if (tikrintojas.isEmpty())
        QSKIP("desktop-file-validate is not installed (tools/deps.sh test installs it)");
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(tikrintojas, {failas});
    QVERIFY(p.waitForFinished(30000));
    const QByteArray isvestis = p.readAll();
    QVERIFY2(p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0, isvestis.constData());
    QVERIFY2(!isvestis.contains("error:"), isvestis.constData());
}

void TstDiegimas::metaduomenys() {
    const QString failas = Prefiksas(kMetaduomenys);
    const TMetaduomenys m = SkaitytiMetaduomenis(failas);
    QVERIFY2(m.Klaida.isEmpty(), qPrintable(m.Klaida));
    const TVersijosTekstai irasas = VersijosIrasas();
    QCOMPARE(m.Tipas, u"desktop-application"_s);
    QCOMPARE(m.Id, kId);
    // The launchable is the installed desktop entry, by its file name.
    QCOMPARE(m.Paleidziamas, kId + u".desktop"_s);
    QVERIFY(QFileInfo::exists(Prefiksas(u"share/applications/"_s + m.Paleidziamas)));
    QCOMPARE(m.Pavadinimas, irasas[kProduktoPavadinimas]);
    QVERIFY(!m.Santrauka.isEmpty());
    QVERIFY(!m.MetaduomenuLicencija.isEmpty());
    QCOMPARE(m.ReitingoTipas, u"oars-1.1"_s);
    // The categories are the desktop entry's.
    const QList<QByteArray> eilutes = Skaityti(Prefiksas(kDarbalaukioIrasas)).split('\n');
    const auto kategorijos =
        std::find_if(eilutes.begin(), eilutes.end(), [](const QByteArray& e) { return e.startsWith("Categories="); });
    QVERIFY(kategorijos != eilutes.end());
    QCOMPARE(m.Kategorijos.join(u';') + u';', QString::fromUtf8(kategorijos->mid(11)));
    // The release entry is this version's.
    QCOMPARE(m.LeidimoVersija, irasas[kFailoVersija]);
    QVERIFY2(QDate::fromString(m.LeidimoData, Qt::ISODate).isValid(), qPrintable(m.LeidimoData));

    const QString tikrintojas = QStandardPaths::findExecutable(u"appstreamcli"_s);
    if (tikrintojas.isEmpty())
        QSKIP("appstreamcli is not installed (tools/deps.sh test installs it)");
    const TIsvestis i = Vykdyti(tikrintojas, {u"validate"_s, u"--no-net"_s, failas});
    QVERIFY2(i.ArPavyko(), i.Tekstas.constData());
}

void TstDiegimas::manualas() {
    const QByteArray puslapis = Isskleisti(Prefiksas(kManualas));
    QVERIFY2(!puslapis.isEmpty(), "the manual page does not unpack");
    // Its title line names this version, released on the metadata's date.
    static const QRegularExpression antraste(uR"re(^\.TH VELMORANT 1 "([0-9-]+)" "Velmorant ([^"]+)" )re"_s,
                                             QRegularExpression::MultilineOption);
    const QRegularExpressionMatch a = antraste.match(QString::fromUtf8(puslapis));
    QVERIFY2(a.hasMatch(), puslapis.left(400).constData());
    QCOMPARE(a.captured(2), VersijosIrasas()[kFailoVersija]);
    QCOMPARE(a.captured(1), SkaitytiMetaduomenis(Prefiksas(kMetaduomenys)).LeidimoData);

    for (const QByteArray skyrius : {"NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "FILES", "ENVIRONMENT"})
        QVERIFY2(!Skyrius(puslapis, skyrius).isEmpty(), skyrius.constData());
    const QByteArray sinopsis = Skyrius(puslapis, "SYNOPSIS");
    QVERIFY(sinopsis.contains(".B velmorant\n") && sinopsis.contains("host") && sinopsis.contains("port"));
    // The files the program reads and writes, each under its own entry.
    const QByteArray failai = Skyrius(puslapis, "FILES");
    for (const char* failas : {"share/velmorant/resursai/", "Nustatymai.tyb", "Serveriai.tyb", "Kalbos/", "zemelapiai/",
                               "Velmorant/serveriai.txt", "/user.reg", "Draugai.txt", "Velmorant/istorija.sqlite"})
        QVERIFY2(failai.contains(failas), failas);
    // Every variable the program reads is described, and where the folders lie.
    const QByteArray aplinka = Skyrius(puslapis, "ENVIRONMENT");
    QSet<QString> kintamieji = SkaitomiKintamieji();
    QVERIFY2(kintamieji.contains(u"WINEPREFIX"_s), "the look for environment reads found nothing");
    kintamieji += QSet<QString>{u"XDG_CONFIG_HOME"_s, u"XDG_CACHE_HOME"_s, u"XDG_DATA_HOME"_s, u"HOME"_s, u"PATH"_s};
    for (const QString& k : std::as_const(kintamieji))
        QVERIFY2(aplinka.contains(QByteArray("\n.B " + k.toLatin1() + '\n')), qPrintable(k));

    // groff reads it without a warning.
    const QString groff = QStandardPaths::findExecutable(u"groff"_s);
    if (groff.isEmpty())
        QSKIP("groff is not installed (tools/deps.sh test installs it)");
    QTemporaryDir laikinas;
    QVERIFY(laikinas.isValid());
    const QString isskleistas = laikinas.filePath(u"velmorant.1"_s);
    QVERIFY(Rasyti(isskleistas, puslapis));
    const TIsvestis i = Vykdyti(groff, {u"-man"_s, u"-ww"_s, u"-z"_s, isskleistas});
    QVERIFY2(i.ArPavyko() && i.Tekstas.isEmpty(), i.Tekstas.constData());
}

void TstDiegimas::paleidimasIsNamu_data() {
    QTest::addColumn<QByteArray>("kopija"); // the user's settings before the start; "" = none yet
    QTest::addColumn<QString>("kalba");
    QTest::newRow("first start: the shipped default") << QByteArray() << u"English"_s;
    QTest::newRow("later start: the user's copy")
        << QByteArray("-->Nustatymai<--\r\nTAB=1\r\nMeniuApacioj=1\r\nArIseiti=1\r\nIssaugotiPakeitimus=1\r\n"
                      "KeistiHosta=0\r\nIntervalas=5000\r\nServeriaiBendrai=10000\r\nKalba=Lietuviu\r\n")
        << u"Lietuviu"_s;
}

void TstDiegimas::paleidimasIsNamu() {
    QFETCH(QByteArray, kopija);
    QFETCH(QString, kalba);
    QTemporaryDir laikinas;
    QVERIFY(laikinas.isValid());
    const QDir l(laikinas.path());
    const QString namai = l.filePath(u"namai"_s);
    const QString konfig = l.filePath(u"namai/.config"_s);
    const QString zvalga = l.filePath(u"zvalga"_s);
    const QString nustatymai = konfig + u"/Velmorant/Nustatymai.tyb"_s;
    QVERIFY(l.mkpath(namai) && l.mkpath(zvalga));
    if (!kopija.isEmpty())
        QVERIFY(Rasyti(nustatymai, kopija));
    const QByteArray numatytas = Skaityti(Prefiksas(u"share/velmorant/resursai/Nustatymai.tyb"_s));

    // The test server, on a port the system picks.
    const QString turinys = l.filePath(u"turinys.json"_s);
    QVERIFY(Rasyti(turinys, R"({"name": "Diegimo bandymas", "map": "de_dust2", "players": [
        {"name": "Vilkas", "frags": 3, "seconds": 60}, {"name": "Lape", "frags": 1, "seconds": 30}]})"));
    QProcess serveris;
    serveris.start(QString::fromUtf8(VELMORANT_TESTSERVER_EXE),
                   {u"--port"_s, u"0"_s, u"--quiet"_s, u"--content"_s, turinys});
    QVERIFY(serveris.waitForStarted(10000));
    QTRY_VERIFY_WITH_TIMEOUT(serveris.canReadLine() || serveris.state() != QProcess::Running, 10000);
    const QByteArray pirma = serveris.readLine().trimmed();
    QVERIFY2(pirma.startsWith("PORT "), pirma.constData());
    const QString adresas = u"127.0.0.1:"_s + QString::fromLatin1(pirma.mid(5));

    QProcess programa;
    QProcessEnvironment aplinka = QProcessEnvironment::systemEnvironment();
    aplinka.insert(u"HOME"_s, namai);
    aplinka.insert(u"XDG_CONFIG_HOME"_s, konfig);
    aplinka.insert(u"XDG_CACHE_HOME"_s, namai + u"/.cache"_s);
    aplinka.insert(u"XDG_DATA_HOME"_s, namai + u"/.local/share"_s);
    aplinka.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    aplinka.insert(u"VELMORANT_ZVALGA"_s, zvalga);
    programa.setProcessEnvironment(aplinka);
    programa.setWorkingDirectory(namai);
    programa.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    programa.start(Prefiksas(u"bin/velmorant"_s), {adresas});
    QVERIFY(programa.waitForStarted(10000));

    // The scoreboard fills: the server's name, both columns, the map and its picture.
    const QString busena = zvalga + u"/busena.txt"_s;
    QTRY_VERIFY_WITH_TIMEOUT(Busena(busena).value(u"memKomanda2"_s) == u"Lape"_s, 30000);
    const QHash<QString, QString> b = Busena(busena);
    QCOMPARE(b.value(u"lblServerioPavadinimas"_s), u"Diegimo bandymas"_s);
    QCOMPARE(b.value(u"memKomanda1"_s), u"Vilkas"_s);
    QCOMPARE(b.value(u"lblZemelapis"_s), u"de_dust2"_s);
    QCOMPARE(b.value(u"imgZemelapis"_s),
             VaizdoZyme(SkaitytiJpeg(Prefiksas(u"share/velmorant/resursai/zemelapiai/de_dust2.jpg"_s))));
    // Captions in that language, from the installed file, which names the language in the box.
    TTybINI kalbosFailas;
    kalbosFailas.setByla(Prefiksas(u"share/velmorant/resursai/Kalbos/"_s + kalba + u".lng"_s));
    QCOMPARE(b.value(u"cboKalbos"_s), kalbosFailas.SkaitytiTeksta(u"Kalba"_s, u"Vardas"_s));
    for (const char* raktas : {"lblKomanda1Title", "btnJungtis", "btnRodyti"}) {
        const QString tekstas = kalbosFailas.SkaitytiTeksta(u"frmPagrindinis"_s, QString::fromLatin1(raktas));
        QVERIFY(!tekstas.startsWith(u"###"_s));
        QCOMPARE(b.value(QString::fromLatin1(raktas)), tekstas);
    }

    // Closed as by its close box: the settings are saved, into the user's folder.
    QVERIFY(Rasyti(zvalga + u"/baigti"_s, {}));
    QVERIFY(programa.waitForFinished(30000));
    QCOMPARE(programa.exitStatus(), QProcess::NormalExit);
    QCOMPARE(programa.exitCode(), 0);
    serveris.terminate();
    QVERIFY(serveris.waitForFinished(10000));

    const QByteArray irasyta = Skaityti(nustatymai);
    QVERIFY(irasyta.startsWith("-->Nustatymai<--\r\n"));
    QVERIFY(irasyta.contains(QByteArray("\r\nKalba=" + kalba.toUtf8() + "\r\n")));
    QVERIFY(irasyta.contains("\r\nIntervalas=5000\r\n"));
    QCOMPARE(Skaityti(Prefiksas(u"share/velmorant/resursai/Nustatymai.tyb"_s)), numatytas);
    QVERIFY(!QFileInfo::exists(namai + u"/resursai"_s));
    // What the run learnt of the server is in the user's cache folder for the next one.
    const QByteArray atmintis = Skaityti(namai + u"/.cache/Velmorant/serveriai.txt"_s);
    QVERIFY2(atmintis.startsWith("Velmorant servers 1\n") &&
                 atmintis.contains(QByteArray("\n" + adresas.toLatin1() + "\tlegacy\t")),
             atmintis.constData());
    // The rounds went into the history in the user's data folder.
    QVERIFY(QFileInfo(namai + u"/.local/share/Velmorant/istorija.sqlite"_s).size() > 0);
}

QTEST_GUILESS_MAIN(TstDiegimas)
#include "tst_diegimas.moc"
