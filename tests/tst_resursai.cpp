// The files shipped in resursai/: every language file holds every text the
// program reads, in English's sections and order, readable through TTybINI
// without a marker, shadowed by no later line, with English's placeholders;
// and the settings file holds the ten options at their initial states.
#include <algorithm>
#include <memory>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QLocale>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

#include "FailuPaieska.h"
#include "TybINI.h"

using namespace Qt::StringLiterals;

namespace {

const QString kSaltinis = QString::fromUtf8(VELMORANT_SOURCE_DIR) + u"/resursai/"_s;

// Every key the program reads, by section, in the order the files keep them.
const QList<std::pair<QString, QStringList>>& Katalogas() {
    static const QList<std::pair<QString, QStringList>> katalogas{
        // The language's own name and the code page its players' old clients use.
        {u"Kalba"_s, {u"Vardas"_s, u"Koduote"_s, u"Lokale"_s}},
        {u"frmPagrindinis"_s,
         {u"lblKomanda1Title"_s,
          u"lblKomanda2Title"_s,
          u"lblStebetojaiTitle"_s,
          u"lblFragaiTitle"_s,
          u"lblLaikasTitle"_s,
          u"lblAdresas"_s,
          u"lblIvairus1"_s,
          u"lblMeniu2"_s,
          u"lblMeniu3"_s,
          u"lblMeniu4"_s,
          u"lblGerai"_s,
          u"lblKonsole"_s,
          u"lblNarsykle"_s,
          u"lblPatvirtinimai"_s,
          u"lblArIseiti"_s,
          u"lblIseitiTaip"_s,
          u"lblIseitiNe"_s,
          u"chkTAB"_s,
          u"chkMeniuApacioj"_s,
          u"chkArIseiti"_s,
          u"chkIssaugotiPakeitimus"_s,
          u"chkKeistiHosta"_s,
          u"chkPranestiVieta"_s,
          u"chkPranestiDraugus"_s,
          u"btnJungtis"_s,
          u"btnApie"_s,
          u"btnRodyti"_s,
          u"lblIntervalas"_s,
          u"lblServeriaiBendrai"_s,
          u"zaidejai"_s}},
        {u"frmServeriai"_s,
         {u"Adresas"_s, u"ServerioPavadinimas"_s, u"Zemelapis"_s, u"Zaidejai"_s, u"Pingas"_s, u"mnuServeriai"_s,
          u"mnuPrideti"_s, u"mnuPasalinti"_s, u"mnuUzdaryti"_s, u"Cap2"_s, u"OS"_s, u"TusciasSarasas"_s}},
        {u"frmTaisykles"_s,
         {u"Taisykle"_s,
          u"Reiksme"_s,
          u"Cap3"_s,
          u"lblServerioAddr"_s,
          u"lblAdresas"_s,
          u"lblServeris"_s,
          u"lblZemelapis"_s,
          u"lblKatalogas"_s,
          u"lblPavadinimas"_s,
          u"lblZaidejaiAktyvus"_s,
          u"lblZaidejaiViso"_s,
          u"lblProtokoloVersija"_s,
          u"lblServerioTipas"_s,
          u"lblOSTipas"_s,
          u"lblSlaptazodis"_s,
          u"lblModas"_s,
          u"lblSvetaine"_s,
          u"lblFTPServeris"_s,
          u"lblMODVersija"_s,
          u"lblMODDydis"_s,
          u"lblTikServerioMod"_s,
          u"lblArReikiaTavoDll"_s,
          u"lblSaugus"_s,
          u"Dedikuotas"_s,
          u"Listen"_s,
          u"Neraa"_s,
          u"Taip"_s,
          u"Nee"_s,
          u"Yra"_s}},
        {u"frmApie"_s, {u"lblKomentarai"_s, u"Cap1"_s}},
        {u"frmKonsole"_s,
         {u"Cap4"_s, u"lblServeris"_s, u"lblSlaptazodis"_s, u"chkIsimintiSlaptazodi"_s, u"lblKomanda"_s, u"btnSiusti"_s,
          u"edtKomanda"_s}},
        {u"frmNarsykle"_s, {u"Cap5"_s,           u"btnInternetas"_s,    u"btnLan"_s,
                            u"btnBendruomene"_s, u"btnSteamMegstami"_s, u"btnSteamIstorija"_s,
                            u"edtFiltras"_s,     u"edtZaidejas"_s,      u"btnDraugai"_s,
                            u"chkNePilni"_s,     u"chkNeTusti"_s,       u"chkBeSlaptazodzio"_s,
                            u"chkBeNetikru"_s,   u"lblPingas"_s,        u"lblGreitis"_s,
                            u"spnPingas"_s,      u"colSpyna"_s,         u"colVAC"_s,
                            u"colVardas"_s,      u"colZemelapis"_s,     u"colZmones"_s,
                            u"colBotai"_s,       u"colNetikri"_s,       u"colMax"_s,
                            u"colPingas"_s,      u"colAdresas"_s,       u"colOS"_s,
                            u"zymTyli"_s,        u"zymFakeIP"_s,        u"zymNeribotai"_s,
                            u"zymSaltinis"_s,    u"zymZaista"_s,        u"zymZaidejai"_s,
                            u"zymDraugai"_s,     u"mnuStebeti"_s,       u"mnuKopijuoti"_s,
                            u"mnuPrisijungti"_s, u"mnuIMegstamus"_s,    u"mnuDetales"_s}},
        {u"Pranesimai"_s,
         QStringList{u"BlogasBuferis"_s, u"BlogasSrautas"_s, u"BlogasServeris"_s, u"NezinomiDuomenys"_s,
                     u"BaituGavau"_s, u"Timeout"_s, u"Banas"_s, u"Meniu"_s, u"IPportas"_s, u"Iseiti"_s,
                     u"IrasykiteSKTitle"_s, u"IrasykiteSK"_s, u"BlogasSkaicius"_s, u"Versija"_s, u"Pataisymas"_s,
                     u"ZaidimasNepaleistas"_s, u"IntervalasVeikia"_s} +
             // The remote console's messages.
             QStringList{
                 u"KonsoleNeraServerio"_s, u"KonsoleIeskoma"_s,     u"KonsoleUzimta"_s,    u"KonsoleBeSlaptazodzio"_s,
                 u"KonsoleKabute"_s,       u"KonsoleEilute"_s,      u"KonsoleIlga"_s,      u"KonsoleAtmestas"_s,
                 u"KonsoleSaugoma"_s,      u"KonsoleNepriimtas"_s,  u"KonsoleIssukis"_s,   u"KonsoleUzdrausta"_s,
                 u"KonsoleNeatsako"_s,     u"KonsoleTyli"_s,        u"KonsoleNesiuncia"_s, u"KonsoleNukirsta"_s,
                 u"KonsoleBeSaugyklos"_s,  u"KonsoleNeisimintas"_s, u"KonsoleBiudzetas"_s, u"KonsoleSargoFailas"_s} +
             // The desktop notifications (%1, %2 the player, the server, its figures) and the history's failure.
             QStringList{u"DraugasPrisijunge"_s, u"VietaLaisva"_s, u"ServerisAtsako"_s, u"IstorijaNeveikia"_s} +
             // The server browser's status line and what a request came to.
             QStringList{u"NarsykleBusena"_s, u"NarsykleKlausiama"_s, u"NarsykleLaukti"_s, u"NarsykleRaktas"_s,
                         u"NarsykleBeRakto"_s, u"NarsykleNupjautas"_s, u"NarsykleAtmestasRaktas"_s, u"NarsykleUzimta"_s,
                         u"NarsykleSertifikatas"_s, u"NarsykleBeTinklo"_s, u"NarsykleLaikas"_s, u"NarsykleBlogas"_s,
                         u"NarsyklePerDidelis"_s, u"NarsykleNeSaugus"_s, u"NarsykleLanIeskoma"_s,
                         u"NarsykleLanRasta"_s} +
             // What the key-free sources and the Steam client's lists came to.
             QStringList{u"SaltiniaiKlausiami"_s, u"SaltiniaiAtsake"_s, u"NarsykleNeperskaityta"_s,
                         u"NarsykleBeSaltiniu"_s, u"SaltinisBeTinklo"_s, u"SaltinisLaikas"_s, u"SaltinisBlogas"_s,
                         u"SaltinisUzimtas"_s, u"SaltinisNupjautas"_s, u"SaltinisLaukti"_s, u"NarsykleSteamMegstami"_s,
                         u"NarsykleSteamIstorija"_s, u"NarsykleSteamNerasta"_s} +
             // The judge of fake players: the tool tip and its reasons.
             QStringList{u"NetikriZaidejai"_s, u"NetikriVietos"_s, u"NetikriSarasas"_s, u"NetikriVardai"_s,
                         u"NetikriLaikai"_s, u"NetikriSteam"_s} +
             // The names of the watcher's painted bar and its arrows, for screen readers.
             QStringList{u"Juosta"_s, u"KairineRodykle"_s, u"DesineRodykle"_s}},
    };
    return katalogas;
}

// Every language file shipped, by file name.
const QStringList kKalbos{u"Deutsch"_s, u"English"_s,          u"Espanol"_s, u"Lietuviu"_s,
                          u"Polski"_s,  u"Portugues-Brasil"_s, u"Russkij"_s, u"Ukrainska"_s};

QList<QByteArray> Vietos(const QByteArray& reiksme) {
    QList<QByteArray> vietos;
    for (qsizetype i = reiksme.indexOf('%'); i >= 0 && i + 1 < reiksme.size(); i = reiksme.indexOf('%', i + 1))
        if (reiksme.at(i + 1) >= '0' && reiksme.at(i + 1) <= '9')
            vietos.append(reiksme.mid(i, 2));
    std::sort(vietos.begin(), vietos.end());
    return vietos;
}

// The program puts ":" or ": " after these values, so they carry none themselves.
bool ArPridedamasDvitaskis(const QString& sekcija, const QString& raktas) {
    if (sekcija == u"frmPagrindinis"_s)
        return raktas == u"lblAdresas"_s;
    if (sekcija == u"frmKonsole"_s)
        return raktas.startsWith(u"lbl"_s);
    return sekcija == u"frmTaisykles"_s && raktas.startsWith(u"lbl"_s) && raktas != u"lblServerioAddr"_s;
}

// A section's lines between its header and the next header, split at CR LF.
QList<QByteArray> SekcijosEilutes(const QByteArray& turinys, const QString& sekcija) {
    const QByteArray antraste = "-->" + sekcija.toUtf8() + "<--";
    QList<QByteArray> eilutes;
    bool viduje = false;
    for (const QByteArray& e : turinys.split('\n')) {
        const QByteArray eilute = e.endsWith('\r') ? e.chopped(1) : e;
        if (eilute.startsWith("-->")) {
            viduje = eilute == antraste;
            continue;
        }
        if (viduje)
            eilutes.append(eilute);
    }
    return eilutes;
}

QByteArray Perskaityti(const QString& kelias) {
    QFile f(kelias);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A plain copy: QFile::copy would also flush each copy to the disk.
bool Kopijuoti(const QString& is, const QString& i) {
    const QByteArray turinys = Perskaityti(is);
    QFile f(i);
    return !turinys.isEmpty() && f.open(QIODevice::WriteOnly) && f.write(turinys) == turinys.size();
}

} // namespace

class TstResursai : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void tekstai_data();
    void tekstai();
    void failoForma_data();
    void failoForma();
    void kalbuSarasas();
    void nustatymai_data();
    void nustatymai();
    void nustatymuIssaugojimas();

private:
    std::unique_ptr<QTemporaryDir> aplankas;
    QString buvesAplankas;
};

// Each row works on copies, in the folders the program uses.
void TstResursai::init() {
    aplankas = std::make_unique<QTemporaryDir>();
    QVERIFY(aplankas->isValid());
    QDir d(aplankas->path());
    QVERIFY(d.mkpath(u"resursai/Kalbos"_s));
    for (const QString& kalba : kKalbos) {
        const QString vardas = u"Kalbos/"_s + kalba + u".lng"_s;
        QVERIFY2(Kopijuoti(kSaltinis + vardas, d.filePath(u"resursai/"_s + vardas)), qPrintable(vardas));
    }
    QVERIFY(Kopijuoti(kSaltinis + u"Nustatymai.tyb"_s, d.filePath(u"resursai/Nustatymai.tyb"_s)));
    buvesAplankas = QDir::currentPath();
    QVERIFY(QDir::setCurrent(aplankas->path()));
}

void TstResursai::cleanup() {
    QDir::setCurrent(buvesAplankas);
    aplankas.reset();
}

void TstResursai::tekstai_data() {
    QTest::addColumn<QString>("kalba");
    QTest::addColumn<QString>("sekcija");
    QTest::addColumn<QString>("raktas");
    for (const QString& kalba : kKalbos) {
        for (const auto& [sekcija, raktai] : Katalogas()) {
            for (const QString& raktas : raktai)
                QTest::addRow("%s %s %s", qPrintable(kalba), qPrintable(sekcija), qPrintable(raktas))
                    << kalba << sekcija << raktas;
        }
    }
}

void TstResursai::tekstai() {
    QFETCH(QString, kalba);
    QFETCH(QString, sekcija);
    QFETCH(QString, raktas);

    // The file name as the program writes it, with the folder spelled both ways.
    TTybINI ini;
    ini.setByla(u"resursai\\Kalbos\\"_s + kalba + u".lng"_s);
    const QByteArray reiksme = ini.SkaitytiReiksme(sekcija, raktas);
    ini.setByla(u"resursai\\kalbos\\"_s + kalba + u".lng"_s);
    QCOMPARE(ini.SkaitytiReiksme(sekcija, raktas), reiksme);
    for (const char* zyme : {"###1", "###2", "###3"})
        QVERIFY2(reiksme != zyme, reiksme.constData());
    // English's placeholders, each as often.
    ini.setByla(u"resursai\\Kalbos\\English.lng"_s);
    QCOMPARE(Vietos(reiksme), Vietos(ini.SkaitytiReiksme(sekcija, raktas)));
    if (raktas == u"Koduote"_s)
        QVERIFY2(QStringDecoder(reiksme.constData()).isValid(), reiksme.constData());
    if (raktas == u"Lokale"_s)
        QVERIFY2(QLocale(QString::fromLatin1(reiksme)).language() != QLocale::C, reiksme.constData());

    // The key's own line gives the value, and no later line of the section holds the key.
    const QList<QByteArray> eilutes = SekcijosEilutes(Perskaityti(u"resursai/Kalbos/"_s + kalba + u".lng"_s), sekcija);
    const QByteArray pradzia = raktas.toUtf8() + '=';
    qsizetype savo = -1;
    for (qsizetype i = 0; i < eilutes.size(); ++i) {
        if (eilutes.at(i).startsWith(pradzia)) {
            QVERIFY2(savo < 0, "the key has two lines");
            savo = i;
        }
    }
    QVERIFY2(savo >= 0, "no line of its own");
    QCOMPARE(reiksme, eilutes.at(savo).mid(pradzia.size()));
    for (qsizetype i = savo + 1; i < eilutes.size(); ++i)
        QVERIFY2(!eilutes.at(i).contains(raktas.toUtf8()), eilutes.at(i).constData());

    // A text fit to show: valid UTF-8, not empty, no stray blanks.
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString tekstas = utf8.decode(reiksme);
    QVERIFY(!utf8.hasError());
    QVERIFY(!tekstas.trimmed().isEmpty());
    if (raktas == u"BaituGavau"_s) {
        // Drawn straight after a byte count.
        QVERIFY2(tekstas.startsWith(u' ') && !tekstas.startsWith(u"  "_s), qPrintable(tekstas));
        QVERIFY(!tekstas.endsWith(u' '));
    } else {
        QCOMPARE(tekstas, tekstas.trimmed());
    }
    if (ArPridedamasDvitaskis(sekcija, raktas))
        QVERIFY2(!tekstas.contains(u':'), qPrintable(tekstas));
}

void TstResursai::failoForma_data() {
    QTest::addColumn<QString>("kalba");
    for (const QString& kalba : kKalbos)
        QTest::newRow(qPrintable(kalba)) << kalba;
}

void TstResursai::failoForma() {
    QFETCH(QString, kalba);
    const QByteArray turinys = Perskaityti(u"resursai/Kalbos/"_s + kalba + u".lng"_s);
    QVERIFY(!turinys.isEmpty());
    QVERIFY(!turinys.startsWith("\xEF\xBB\xBF"));
    QVERIFY(!turinys.contains('\0'));
    // CR LF after every line, the last one included, and no other line break.
    QVERIFY(turinys.endsWith("\r\n"));
    QCOMPARE(turinys.count('\r'), turinys.count("\r\n"));
    QCOMPARE(turinys.count('\n'), turinys.count("\r\n"));

    QStringList sekcijos;
    for (const QByteArray& e : turinys.split('\n')) {
        if (e.startsWith("-->"))
            sekcijos.append(QString::fromUtf8(e.chopped(1)));
    }
    QStringList laukiamos;
    for (const auto& [sekcija, raktai] : Katalogas())
        laukiamos.append(u"-->"_s + sekcija + u"<--"_s);
    QCOMPARE(sekcijos, laukiamos);

    // Every key line is a key of the catalogue, in the catalogue's order, so the
    // ordering rules hold: "IrasykiteSK" after "IrasykiteSKTitle", and the short
    // keys "OS", "Taip", "Nee", "Yra" at the end of their sections.
    for (const auto& [sekcija, raktai] : Katalogas()) {
        QStringList rasti;
        for (const QByteArray& e : SekcijosEilutes(turinys, sekcija)) {
            if (e.isEmpty() || e.startsWith(';'))
                continue;
            QVERIFY2(e.contains('='), e.constData());
            rasti.append(QString::fromUtf8(e.left(e.indexOf('='))));
        }
        QCOMPARE(rasti, raktai);
    }
}

void TstResursai::kalbuSarasas() {
    // The watcher lists the languages from "resursai\kalbos\" below its folder.
    QStringList sarasas;
    QCOMPARE(IeskotiFailu(QDir::currentPath() + u"/\\resursai\\kalbos\\"_s, u"*.lng"_s, false, sarasas),
             int(kKalbos.size()));
    QStringList vardai;
    for (const QString& kelias : sarasas) {
        QVERIFY(QFileInfo(kelias).isFile());
        vardai.append(QFileInfo(kelias).fileName().chopped(4));
    }
    vardai.sort();
    QCOMPARE(vardai, kKalbos);
    // Every file shipped is one of them, so each is checked above.
    QStringList isleisti;
    for (const QString& f : QDir(kSaltinis + u"Kalbos"_s).entryList({u"*.lng"_s}, QDir::Files, QDir::Name))
        isleisti.append(f.chopped(4));
    QCOMPARE(isleisti, kKalbos);
}

void TstResursai::nustatymai_data() {
    QTest::addColumn<QString>("raktas");
    QTest::addColumn<QByteArray>("reiksme");
    QTest::newRow("TAB") << u"TAB"_s << QByteArray("1");
    QTest::newRow("MeniuApacioj") << u"MeniuApacioj"_s << QByteArray("1");
    QTest::newRow("ArIseiti") << u"ArIseiti"_s << QByteArray("1");
    QTest::newRow("IssaugotiPakeitimus") << u"IssaugotiPakeitimus"_s << QByteArray("1");
    QTest::newRow("KeistiHosta") << u"KeistiHosta"_s << QByteArray("0");
    QTest::newRow("Intervalas") << u"Intervalas"_s << QByteArray("5000");
    QTest::newRow("ServeriaiBendrai") << u"ServeriaiBendrai"_s << QByteArray("10000");
    QTest::newRow("Kalba") << u"Kalba"_s << QByteArray("English");
    QTest::newRow("PranestiVieta") << u"PranestiVieta"_s << QByteArray("0");
    QTest::newRow("PranestiDraugus") << u"PranestiDraugus"_s << QByteArray("0");
}

void TstResursai::nustatymai() {
    QFETCH(QString, raktas);
    TTybINI ini;
    ini.setByla(u"resursai\\Nustatymai.tyb"_s);
    QTEST(ini.SkaitytiReiksme(u"Nustatymai"_s, raktas), "reiksme");
    // The language it names is shipped.
    if (raktas == u"Kalba"_s) {
        ini.setByla(u"resursai\\Kalbos\\"_s + QString::fromUtf8(ini.SkaitytiReiksme(u"Nustatymai"_s, raktas)) +
                    u".lng"_s);
        QCOMPARE(ini.SkaitytiReiksme(u"Pranesimai"_s, u"Meniu"_s), QByteArray("Menu"));
    }
}

void TstResursai::nustatymuIssaugojimas() {
    // Saving the initial states again, in the save's order, leaves the file byte for byte.
    const QByteArray pries = Perskaityti(u"resursai/Nustatymai.tyb"_s);
    QVERIFY(pries.endsWith("\r\n"));
    QCOMPARE(pries.count('\n'), pries.count("\r\n"));
    TTybINI ini;
    ini.setByla(u"resursai\\Nustatymai.tyb"_s);
    const QList<std::pair<QString, QByteArray>> issaugoti{
        {u"TAB"_s, "1"},
        {u"MeniuApacioj"_s, "1"},
        {u"ArIseiti"_s, "1"},
        {u"IssaugotiPakeitimus"_s, "1"},
        {u"KeistiHosta"_s, "0"},
        {u"Intervalas"_s, "5000"},
        {u"ServeriaiBendrai"_s, "10000"},
        {u"Kalba"_s, "English"},
        {u"PranestiVieta"_s, "0"},
        {u"PranestiDraugus"_s, "0"},
    };
    for (const auto& [raktas, reiksme] : issaugoti)
        QCOMPARE(ini.RasytiReiksme(u"Nustatymai"_s, raktas, reiksme), QByteArray("###0"));
    QCOMPARE(Perskaityti(u"resursai/Nustatymai.tyb"_s), pries);
}

QTEST_GUILESS_MAIN(TstResursai)
#include "tst_resursai.moc"
