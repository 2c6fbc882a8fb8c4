// The Debian package, as tools/deb.sh built it from the sources in a build
// folder of its own (tests/package.cmake: CTest's step before this test), read
// back as dpkg sees it: its control fields against the version record, its
// Depends against the libraries the packaged executable really links, its file
// list, owners and modes, the shipped data byte for byte, the desktop entry,
// the AppStream metadata (appstreamcli) and the manual page. Last, the packaged
// executable, unpacked, is started for a user who has never run it; its
// watcher binds UDP 27035.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "Dieginiai.h"
#include "FailoInfo.h"
#include "Pagalba.h"

using namespace Qt::StringLiterals;

namespace {

const QString kSaltinis = QString::fromUtf8(VELMORANT_SOURCE_DIR);
const QString kId = QString::fromUtf8(VELMORANT_ID);
// The version record's company: the package's maintainer (its comments, kKomentarai, the summary).
constexpr int kImone = 0;

TVersijosTekstai VersijosIrasas() {
    TVersijosTekstai t;
    SkaitytiVersija(t);
    return t;
}

// "Name: value" fields of a control file; continuation lines join their field.
QHash<QString, QString> Laukai(const QByteArray& tekstas) {
    QHash<QString, QString> laukai;
    QString paskutinis;
    for (const QByteArray& e : tekstas.split('\n')) {
        if (e.startsWith(' ') && !paskutinis.isEmpty()) {
            laukai[paskutinis] += u'\n' + QString::fromUtf8(e);
            continue;
        }
        const qsizetype dvitaskis = e.indexOf(':');
        if (dvitaskis <= 0)
            continue;
        paskutinis = QString::fromUtf8(e.left(dvitaskis));
        laukai.insert(paskutinis, QString::fromUtf8(e.mid(dvitaskis + 1)).trimmed());
    }
    return laukai;
}

// "libfoo (>= 1.2), libbar" as package name -> its version constraint.
QHash<QString, QString> Priklausomybes(const QString& lauka) {
    static const QRegularExpression irasas(uR"(^([a-z0-9][a-z0-9+.-]*)(?::[a-z0-9]+)?\s*(?:\((.*)\))?$)"_s);
    QHash<QString, QString> p;
    for (const QString& dalis : lauka.split(u',', Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch m = irasas.match(dalis.trimmed());
        p.insert(m.hasMatch() ? m.captured(1) : dalis.trimmed(), m.captured(2).trimmed());
    }
    return p;
}

// One line of `dpkg-deb -c`.
struct TIrasas {
    QString Teises;     // "-rw-r--r--"
    QString Savininkas; // "root/root"
    QString Kelias;     // without the leading "."
};

QList<TIrasas> Turinys(const QByteArray& sarasas) {
    static const QRegularExpression eilute(uR"(^(\S+)\s+(\S+)\s+\d+\s+\S+\s+\S+\s+\.(/.*)$)"_s);
    QList<TIrasas> irasai;
    for (const QByteArray& e : sarasas.split('\n')) {
        const QRegularExpressionMatch m = eilute.match(QString::fromUtf8(e));
        if (m.hasMatch())
            irasai.append({m.captured(1), m.captured(2), m.captured(3)});
    }
    return irasai;
}

// busena.txt of the running program's look: "name<TAB>text" lines.
QHash<QString, QString> Busena(const QString& kelias) {
    QHash<QString, QString> b;
    for (const QByteArray& e : Skaityti(kelias).split('\n')) {
        const qsizetype tab = e.indexOf('\t');
        if (tab > 0)
            b.insert(QString::fromUtf8(e.left(tab)), QString::fromUtf8(e.mid(tab + 1)));
    }
    return b;
}

} // namespace

class TstPaketas : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void laukai_data();
    void laukai();
    void aprasymas();
    void priklausomybes_data();
    void priklausomybes();
    void priklausomybesIsBibliotekuSarasas();
    void failuSarasas();
    void duomenysKaipSaltinyje();
    void darbalaukioIrasas();
    void metaduomenys();
    void manualas();
    void paleidimasNaujamVartotojui();

private:
    QString Isskleista(const QString& kelias) const { return isskleista.path() + kelias; }
    QString paketas;
    QHash<QString, QString> valdymas;
    QByteArray sarasas;
    QTemporaryDir isskleista;
};

void TstPaketas::initTestCase() {
    for (const char* irankis : {"dpkg", "dpkg-deb", "dpkg-shlibdeps", "dpkg-architecture", "objdump"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(irankis)).isEmpty())
            QSKIP(qPrintable(u"%1 is not installed: the Debian package is built and read on Debian "
                             "(tools/deps.sh test installs dpkg-dev)"_s.arg(QString::fromLatin1(irankis))));
    }
    QVERIFY(isskleista.isValid());

    const QDir aplankas(QString::fromUtf8(VELMORANT_PAKETO_APLANKAS));
    const QStringList paketai = aplankas.entryList({u"velmorant_*.deb"_s}, QDir::Files);
    QVERIFY2(paketai.size() == 1, qPrintable(aplankas.path() + u": "_s + paketai.join(u' ')));
    paketas = aplankas.filePath(paketai.first());
    qInfo("%s: %lld bytes", qPrintable(paketai.first()), QFileInfo(paketas).size());

    const TIsvestis laukai = Vykdyti(u"dpkg-deb"_s, {u"-f"_s, paketas});
    QVERIFY2(laukai.ArPavyko(), laukai.Tekstas.constData());
    valdymas = Laukai(laukai.Tekstas);
    qInfo("Depends: %s", qPrintable(valdymas.value(u"Depends"_s)));
    const TIsvestis turinys = Vykdyti(u"dpkg-deb"_s, {u"-c"_s, paketas});
    QVERIFY2(turinys.ArPavyko(), turinys.Tekstas.constData());
    sarasas = turinys.Tekstas;
    const TIsvestis isskleidimas = Vykdyti(u"dpkg-deb"_s, {u"-x"_s, paketas, isskleista.path()});
    QVERIFY2(isskleidimas.ArPavyko(), isskleidimas.Tekstas.constData());
}

void TstPaketas::laukai_data() {
    QTest::addColumn<QString>("laukas");
    QTest::addColumn<QString>("tikimasi");
    const TVersijosTekstai irasas = VersijosIrasas();
    const TIsvestis architektura = Vykdyti(u"dpkg"_s, {u"--print-architecture"_s});
    QTest::newRow("name") << u"Package"_s << u"velmorant"_s;
    QTest::newRow("version: the record's file version, first revision")
        << u"Version"_s << irasas[kFailoVersija] + u"-1"_s;
    QTest::newRow("section") << u"Section"_s << u"games"_s;
    QTest::newRow("priority") << u"Priority"_s << u"optional"_s;
    QTest::newRow("architecture") << u"Architecture"_s << QString::fromUtf8(architektura.Tekstas.trimmed());
    QTest::newRow("maintainer") << u"Maintainer"_s << irasas[kImone];
}

void TstPaketas::laukai() {
    QFETCH(QString, laukas);
    QFETCH(QString, tikimasi);
    QVERIFY(!tikimasi.isEmpty());
    QCOMPARE(valdymas.value(laukas), tikimasi);
}

void TstPaketas::aprasymas() {
    const QStringList eilutes = valdymas.value(u"Description"_s).split(u'\n');
    // The summary is the record's comment; below it the description, in
    // paragraphs, each line short enough for a terminal.
    QCOMPARE(eilutes.first(), VersijosIrasas()[kKomentarai]);
    QVERIFY(eilutes.size() > 3);
    QVERIFY(eilutes.contains(u" ."_s));
    for (const QString& e : eilutes.mid(1)) {
        QVERIFY2(e.startsWith(u' ') && e.size() <= 80, qPrintable(e));
        QVERIFY2(e.trimmed().size() > 1 || e == u" ."_s, qPrintable(e));
    }
    QVERIFY(eilutes.join(u' ').contains(u"Counter-Strike"_s));
}

void TstPaketas::priklausomybes_data() {
    QTest::addColumn<QString>("paketasPriklausomybe");
    for (const char* p :
         {"libqt6widgets6", "libqt6network6", "libqt6gui6", "libqt6core6", "libjpeg62-turbo", "libc6", "libstdc++6"})
        QTest::newRow(p) << QString::fromLatin1(p);
}

void TstPaketas::priklausomybes() {
    QFETCH(QString, paketasPriklausomybe);
    const QHash<QString, QString> p = Priklausomybes(valdymas.value(u"Depends"_s));
    QVERIFY2(p.contains(paketasPriklausomybe), qPrintable(valdymas.value(u"Depends"_s)));
    // A lowest version, as the libraries' symbol files give it.
    QVERIFY2(p.value(paketasPriklausomybe).startsWith(u">= "_s), qPrintable(valdymas.value(u"Depends"_s)));
}

void TstPaketas::priklausomybesIsBibliotekuSarasas() {
    // The libraries the packaged executable names, and the packages that hold them.
    const TIsvestis antrastes = Vykdyti(u"objdump"_s, {u"-p"_s, Isskleista(u"/usr/bin/velmorant"_s)});
    QVERIFY2(antrastes.ArPavyko(), antrastes.Tekstas.constData());
    static const QRegularExpression reikia(uR"(^\s*NEEDED\s+(\S+)\s*$)"_s, QRegularExpression::MultilineOption);
    QStringList bibliotekos;
    for (auto m = reikia.globalMatch(QString::fromUtf8(antrastes.Tekstas)); m.hasNext();)
        bibliotekos << m.next().captured(1);
    QVERIFY(bibliotekos.contains(u"libjpeg.so.62"_s));
    QVERIFY(bibliotekos.contains(u"libQt6Widgets.so.6"_s));

    // This architecture's libraries only, not another's or a 32-bit copy's.
    const TIsvestis architektura = Vykdyti(u"dpkg-architecture"_s, {u"-qDEB_HOST_MULTIARCH"_s});
    QVERIFY2(architektura.ArPavyko(), architektura.Tekstas.constData());
    const QString architekturosAplankas = QString::fromUtf8(architektura.Tekstas.trimmed());
    QSet<QString> savininkai;
    for (const QString& b : std::as_const(bibliotekos)) {
        const TIsvestis s = Vykdyti(u"dpkg"_s, {u"-S"_s, u"*/"_s + architekturosAplankas + u'/' + b});
        QVERIFY2(s.ArPavyko(), qPrintable(b + u": "_s + QString::fromUtf8(s.Tekstas)));
        // "pkg:arch, pkg2:arch: /path" lines; diversions say so and are skipped.
        for (const QByteArray& e : s.Tekstas.split('\n')) {
            const qsizetype dvitaskis = e.indexOf(": /");
            if (dvitaskis <= 0 || e.startsWith("diversion "))
                continue;
            for (const QByteArray& vardas : e.left(dvitaskis).split(','))
                savininkai.insert(QString::fromUtf8(vardas.trimmed().split(':').first()));
        }
    }
    // What the program loads only when it runs: Qt's SQLite driver and libsecret.
    savininkai += QSet<QString>{u"libqt6sql6-sqlite"_s, u"libsecret-1-0"_s};
    // Depends names exactly those packages: none missing, none extra.
    const QHash<QString, QString> p = Priklausomybes(valdymas.value(u"Depends"_s));
    const QSet<QString> priklausomybes(p.keyBegin(), p.keyEnd());
    QCOMPARE(priklausomybes, savininkai);
}

void TstPaketas::failuSarasas() {
    QSet<QString> tikimasi{
        u"/usr/bin/velmorant"_s,
        u"/usr/share/applications/"_s + kId + u".desktop"_s,
        u"/usr/share/metainfo/"_s + kId + u".metainfo.xml"_s,
        u"/usr/share/man/man1/velmorant.1.gz"_s,
        u"/usr/share/doc/velmorant/copyright"_s,
        u"/usr/share/velmorant/resursai/Nustatymai.tyb"_s,
    };
    for (const int n : {16, 22, 24, 32, 48, 64, 128, 256})
        tikimasi.insert(u"/usr/share/icons/hicolor/%1x%1/apps/velmorant.png"_s.arg(n));
    // Every language file and map picture of the sources, and nothing else of them.
    for (const auto& [aplankas, kauke] : {std::pair{u"Kalbos"_s, u"*.lng"_s}, std::pair{u"zemelapiai"_s, u"*.jpg"_s}}) {
        const QStringList failai = QDir(kSaltinis + u"/resursai/"_s + aplankas).entryList({kauke}, QDir::Files);
        QVERIFY(!failai.isEmpty());
        for (const QString& f : failai)
            tikimasi.insert(u"/usr/share/velmorant/resursai/"_s + aplankas + u'/' + f);
    }
    QVERIFY(tikimasi.contains(u"/usr/share/velmorant/resursai/Kalbos/English.lng"_s));
    QVERIFY(tikimasi.contains(u"/usr/share/velmorant/resursai/zemelapiai/standartinis.jpg"_s));

    QSet<QString> failai;
    const QList<TIrasas> irasai = Turinys(sarasas);
    QVERIFY(!irasai.isEmpty());
    for (const TIrasas& i : irasai) {
        QVERIFY2(i.Savininkas == u"root/root"_s, qPrintable(i.Kelias));
        // Everything under /usr; no links, no devices.
        QVERIFY2(i.Kelias.startsWith(u"/usr/"_s), qPrintable(i.Kelias));
        if (i.Teises.startsWith(u'd')) {
            QCOMPARE(i.Teises, u"drwxr-xr-x"_s);
            continue;
        }
        QVERIFY2(i.Teises.startsWith(u'-'), qPrintable(i.Kelias));
        const QString teises = i.Kelias == u"/usr/bin/velmorant"_s ? u"-rwxr-xr-x"_s : u"-rw-r--r--"_s;
        QVERIFY2(i.Teises == teises, qPrintable(i.Kelias + u": "_s + i.Teises));
        failai.insert(i.Kelias);
    }
    // So neither the test game server nor any other tool is in it.
    QCOMPARE(failai, tikimasi);
}

void TstPaketas::duomenysKaipSaltinyje() {
    QDirIterator it(Isskleista(u"/usr/share/velmorant/resursai"_s), QDir::Files, QDirIterator::Subdirectories);
    int kiek = 0;
    while (it.hasNext()) {
        const QString kelias = it.next();
        const QString santykinis = QDir(Isskleista(u"/usr/share/velmorant"_s)).relativeFilePath(kelias);
        QVERIFY2(Skaityti(kelias) == Skaityti(kSaltinis + u'/' + santykinis), qPrintable(santykinis));
        ++kiek;
    }
    QVERIFY(kiek > 3);
}

void TstPaketas::darbalaukioIrasas() {
    const QString failas = Isskleista(u"/usr/share/applications/"_s + kId + u".desktop"_s);
    const QList<QByteArray> eilutes = Skaityti(failas).split('\n');
    // The installed executable, not CPack's staging folder.
    QVERIFY(eilutes.contains("Exec=/usr/bin/velmorant"));
    QVERIFY(eilutes.contains("Icon=velmorant"));
    const QString tikrintojas = QStandardPaths::findExecutable(u"desktop-file-validate"_s);
    if (tikrintojas.isEmpty())
        QSKIP("desktop-file-validate is not installed (tools/deps.sh test installs it)");
    const TIsvestis i = Vykdyti(tikrintojas, {failas});
    QVERIFY2(i.ArPavyko() && !i.Tekstas.contains("error:"), i.Tekstas.constData());
}

void TstPaketas::metaduomenys() {
    const QString failas = Isskleista(u"/usr/share/metainfo/"_s + kId + u".metainfo.xml"_s);
    const TMetaduomenys m = SkaitytiMetaduomenis(failas);
    QVERIFY2(m.Klaida.isEmpty(), qPrintable(m.Klaida));
    QCOMPARE(m.Id, kId);
    QVERIFY(QFileInfo::exists(Isskleista(u"/usr/share/applications/"_s + m.Paleidziamas)));
    // The release entry is the package's version.
    QCOMPARE(m.LeidimoVersija + u"-1"_s, valdymas.value(u"Version"_s));

    const QString tikrintojas = QStandardPaths::findExecutable(u"appstreamcli"_s);
    if (tikrintojas.isEmpty())
        QSKIP("appstreamcli is not installed (tools/deps.sh test installs it)");
    const TIsvestis failo = Vykdyti(tikrintojas, {u"validate"_s, u"--no-net"_s, failas});
    QVERIFY2(failo.ArPavyko(), failo.Tekstas.constData());
    // The tree as installed: the metadata together with its desktop entry.
    const TIsvestis medzio = Vykdyti(tikrintojas, {u"validate-tree"_s, u"--no-net"_s, isskleista.path()});
    QVERIFY2(medzio.ArPavyko(), medzio.Tekstas.constData());
}

void TstPaketas::manualas() {
    const QByteArray puslapis = Isskleisti(Isskleista(u"/usr/share/man/man1/velmorant.1.gz"_s));
    QVERIFY2(!puslapis.isEmpty(), "the manual page does not unpack");
    QVERIFY(puslapis.contains(QByteArray("\n.TH VELMORANT 1 ")));
    QVERIFY(puslapis.contains(QByteArray(" \"Velmorant " + VersijosIrasas()[kFailoVersija].toUtf8() + "\" ")));
    // Where the package puts the data.
    QVERIFY(puslapis.contains(QByteArray("\n.I /usr/share/velmorant/resursai/\n")));
}

void TstPaketas::paleidimasNaujamVartotojui() {
    QTemporaryDir laikinas;
    QVERIFY(laikinas.isValid());
    const QDir l(laikinas.path());
    const QString namai = l.filePath(u"namai"_s);
    const QString konfig = l.filePath(u"namai/.config"_s);
    const QString zvalga = l.filePath(u"zvalga"_s);
    QVERIFY(l.mkpath(namai) && l.mkpath(zvalga));

    QProcess programa;
    QProcessEnvironment aplinka = QProcessEnvironment::systemEnvironment();
    aplinka.insert(u"HOME"_s, namai);
    aplinka.insert(u"XDG_CONFIG_HOME"_s, konfig);
    // The history and the cache the program writes stay in the new user's home.
    aplinka.insert(u"XDG_DATA_HOME"_s, namai + u"/.local/share"_s);
    aplinka.insert(u"XDG_CACHE_HOME"_s, namai + u"/.cache"_s);
    aplinka.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    aplinka.insert(u"VELMORANT_ZVALGA"_s, zvalga);
    programa.setProcessEnvironment(aplinka);
    programa.setWorkingDirectory(namai);
    programa.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    programa.start(Isskleista(u"/usr/bin/velmorant"_s), {});
    QVERIFY(programa.waitForStarted(10000));

    // The captions come from the packaged English language file.
    const QString busena = zvalga + u"/busena.txt"_s;
    QTRY_VERIFY_WITH_TIMEOUT(Busena(busena).contains(u"btnRodyti"_s), 30000);
    QCOMPARE(Busena(busena).value(u"cboKalbos"_s), u"English"_s);
    QVERIFY(!Busena(busena).value(u"btnRodyti"_s).startsWith(u"###"_s));

    QFile baigti(zvalga + u"/baigti"_s);
    QVERIFY(baigti.open(QIODevice::WriteOnly));
    baigti.close();
    QVERIFY(programa.waitForFinished(30000));
    QCOMPARE(programa.exitStatus(), QProcess::NormalExit);
    QCOMPARE(programa.exitCode(), 0);
    // The settings were copied into the user's folder, from the packaged default.
    QCOMPARE(Skaityti(konfig + u"/Velmorant/Nustatymai.tyb"_s),
             Skaityti(Isskleista(u"/usr/share/velmorant/resursai/Nustatymai.tyb"_s)));
    QVERIFY(!QFileInfo::exists(namai + u"/resursai"_s));
}

QTEST_GUILESS_MAIN(TstPaketas)
#include "tst_paketas.moc"
