// The installed program: what `cmake --install` puts under a prefix, the desktop
// entry as desktop-file-validate sees it, and the installed executable started
// from a home folder, offscreen, against the local test game server: the
// scoreboard fills with captions and the map picture from the installed data, and
// the settings are written into the user's configuration folder, not the prefix.
// The running program is read through its VELMORANT_ZVALGA look (busena.txt).
#include <algorithm>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "JpegVaizdas.h"
#include "TybINI.h"

using namespace Qt::StringLiterals;

namespace {

QByteArray Skaityti(const QString& kelias) {
    QFile f(kelias);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
}

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
    QTest::newRow("English") << d + u"Kalbos/English.lng"_s << u"resursai/Kalbos/English.lng"_s;
    QTest::newRow("Lietuviu") << d + u"Kalbos/Lietuviu.lng"_s << u"resursai/Kalbos/Lietuviu.lng"_s;
    QTest::newRow("default settings") << d + u"Nustatymai.tyb"_s << u"resursai/Nustatymai.tyb"_s;
    QTest::newRow("map picture") << d + u"zemelapiai/de_dust2.jpg"_s << u"resursai/zemelapiai/de_dust2.jpg"_s;
    QTest::newRow("fallback picture") << d + u"zemelapiai/standartinis.jpg"_s
                                      << u"resursai/zemelapiai/standartinis.jpg"_s;
    QTest::newRow("executable") << u"bin/velmorant"_s << QString();
    QTest::newRow("desktop entry") << kDarbalaukioIrasas << QString();
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
    QCOMPARE(b.value(u"cboKalbos"_s), kalba);
    // Captions in that language, from the installed file.
    TTybINI kalbosFailas;
    kalbosFailas.setByla(Prefiksas(u"share/velmorant/resursai/Kalbos/"_s + kalba + u".lng"_s));
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
}

QTEST_GUILESS_MAIN(TstDiegimas)
#include "tst_diegimas.moc"
