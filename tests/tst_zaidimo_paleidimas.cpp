// The game launch's choices: which addresses may reach the game's command line,
// the steam:// address, and the order of the ways to start the game, with the
// platform replaced by the test's own answers; and the desktop's steam:// handler
// as asked of xdg-mime.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "ZaidimoPaleidimas.h"

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TPaleidimoBudas)

namespace {

// What the fake platform was asked to do.
struct TIrasas {
    QStringList paleista; // program, then its arguments, for each start
    QStringList atidaryta;
};

struct TNetikraAplinka {
    QString wine;
    QString steam;
    bool tvarkykle = false;
    bool procesaiPasiseka = true;
    QStringList nepavyksta; // programs whose start fails
};

TPaleidimoAplinka Aplinka(const TNetikraAplinka& n, TIrasas& irasas) {
    TPaleidimoAplinka a;
    a.RastiWine = [n] {
        return n.wine;
    };
    a.RastiSteam = [n] {
        return n.steam;
    };
    a.ArYraSteamTvarkykle = [n] {
        return n.tvarkykle;
    };
    a.PaleistiProcesa = [n, &irasas](const QString& programa, const QStringList& argumentai) {
        if (n.nepavyksta.contains(programa))
            return false;
        irasas.paleista.append(programa);
        irasas.paleista.append(argumentai);
        return true;
    };
    a.AtidarytiNuoroda = [&irasas](const QString& nuoroda) {
        irasas.atidaryta.append(nuoroda);
        return true;
    };
    return a;
}

const QString kKatalogas = u"C:\\Games\\Half-Life"_s;
const QString kWine = u"/usr/bin/wine"_s;
const QString kSteam = u"/usr/games/steam"_s;

} // namespace

class TstZaidimoPaleidimas : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void tinkamasAdresas_data();
    void tinkamasAdresas();
    void pavojingasAdresas_data();
    void pavojingasAdresas();
    void steamNuoroda_data();
    void steamNuoroda();
    void budoPasirinkimas_data();
    void budoPasirinkimas();
    void atmestasAdresasNiekoNepaleidzia_data();
    void atmestasAdresasNiekoNepaleidzia();
    void steamTvarkykle_data();
    void steamTvarkykle();
};

void TstZaidimoPaleidimas::tinkamasAdresas_data() {
    QTest::addColumn<QString>("tekstas");
    QTest::addColumn<QString>("tikimasi");
    QTest::newRow("dotted IPv4") << u"127.0.0.1"_s << u"127.0.0.1"_s;
    QTest::newRow("IPv4 and port") << u"127.0.0.1:27015"_s << u"127.0.0.1:27015"_s;
    QTest::newRow("name and port") << u"game.example.org:27016"_s << u"game.example.org:27016"_s;
    QTest::newRow("single label") << u"localhost"_s << u"localhost"_s;
    QTest::newRow("hyphens inside labels") << u"cs-1.my-clan.lt"_s << u"cs-1.my-clan.lt"_s;
    QTest::newRow("digits leading a name") << u"1und1.de:27015"_s << u"1und1.de:27015"_s;
    QTest::newRow("blanks around trimmed") << u"  10.0.0.7:27015 "_s << u"10.0.0.7:27015"_s;
    QTest::newRow("tab and line end around") << u"\t10.0.0.7\r\n"_s << u"10.0.0.7"_s;
    QTest::newRow("lowest port") << u"10.0.0.7:1"_s << u"10.0.0.7:1"_s;
    QTest::newRow("highest port") << u"10.0.0.7:65535"_s << u"10.0.0.7:65535"_s;
    QTest::newRow("IPv4 edge numbers") << u"0.255.255.255"_s << u"0.255.255.255"_s;
    QTest::newRow("label of 63") << QString(63, u'a') + u".lt"_s << QString(63, u'a') + u".lt"_s;
    const QString ilgas = QString(QString(62, u'a') + u'.').repeated(4) + u"a"_s; // 253 characters
    QTest::newRow("name of 253") << ilgas << ilgas;
}

void TstZaidimoPaleidimas::tinkamasAdresas() {
    QFETCH(QString, tekstas);
    QFETCH(QString, tikimasi);
    const std::optional<QString> a = TikrintiAdresa(tekstas);
    QVERIFY(a.has_value());
    QCOMPARE(*a, tikimasi);
}

void TstZaidimoPaleidimas::pavojingasAdresas_data() {
    QTest::addColumn<QString>("tekstas");
    QTest::newRow("command after semicolon") << u"127.0.0.1;quit"_s;
    QTest::newRow("exec after semicolon") << u"1.2.3.4;exec x.cfg"_s;
    QTest::newRow("plus word after blank") << u"127.0.0.1 +exec x"_s;
    QTest::newRow("plus word after port") << u"127.0.0.1:27015 +quit"_s;
    QTest::newRow("semicolon after port") << u"127.0.0.1:27015;quit"_s;
    QTest::newRow("leading plus word") << u"+exec x.cfg"_s;
    QTest::newRow("engine switch as host") << u"-dev"_s;
    QTest::newRow("label starting with hyphen") << u"game.-x.lt"_s;
    QTest::newRow("label ending with hyphen") << u"game-.lt"_s;
    QTest::newRow("line break inside") << u"127.0.0.1\nquit"_s;
    QTest::newRow("NUL inside") << u"127.0.0.1"_s + QChar(0) + u"quit"_s;
    QTest::newRow("quote") << u"127.0.0.1\"; quit"_s;
    QTest::newRow("blank inside") << u"game example.lt"_s;
    QTest::newRow("empty") << QString();
    QTest::newRow("blanks only") << u"   "_s;
    QTest::newRow("port only") << u":27015"_s;
    QTest::newRow("colon without port") << u"127.0.0.1:"_s;
    QTest::newRow("port zero") << u"127.0.0.1:0"_s;
    QTest::newRow("port too big") << u"127.0.0.1:65536"_s;
    QTest::newRow("port with sign") << u"127.0.0.1:+27015"_s;
    QTest::newRow("port with letters") << u"127.0.0.1:27015a"_s;
    QTest::newRow("port too long") << u"127.0.0.1:0000027015"_s;
    QTest::newRow("two ports") << u"127.0.0.1:27015:27016"_s;
    QTest::newRow("IPv4 part over 255") << u"1.2.3.256"_s;
    QTest::newRow("three numbers") << u"1.2.3"_s;
    QTest::newRow("five numbers") << u"1.2.3.4.5"_s;
    QTest::newRow("empty label") << u"game..lt"_s;
    QTest::newRow("leading dot") << u".game.lt"_s;
    QTest::newRow("trailing dot") << u"game.lt."_s;
    QTest::newRow("IPv6 in brackets") << u"[::1]:27015"_s;
    QTest::newRow("letters beyond ASCII") << u"žaidimas.lt"_s;
    QTest::newRow("fullwidth digits") << u"１２７.0.0.1"_s;
    QTest::newRow("label of 64") << QString(64, u'a') + u".lt"_s;
    QTest::newRow("name of 254") << QString(QString(62, u'a') + u'.').repeated(4) + u"ab"_s;
    QTest::newRow("url") << u"steam://connect/127.0.0.1"_s;
    QTest::newRow("dollar") << u"$HOME"_s;
}

void TstZaidimoPaleidimas::pavojingasAdresas() {
    QFETCH(QString, tekstas);
    QVERIFY(!TikrintiAdresa(tekstas).has_value());
}

void TstZaidimoPaleidimas::steamNuoroda_data() {
    QTest::addColumn<QString>("adresas");
    QTest::addColumn<QString>("tikimasi");
    QTest::newRow("port given") << u"127.0.0.1:27016"_s << u"steam://connect/127.0.0.1:27016"_s;
    QTest::newRow("default port added") << u"127.0.0.1"_s << u"steam://connect/127.0.0.1:27015"_s;
    QTest::newRow("name kept as typed") << u"Game.Example.org"_s << u"steam://connect/Game.Example.org:27015"_s;
}

void TstZaidimoPaleidimas::steamNuoroda() {
    QFETCH(QString, adresas);
    QFETCH(QString, tikimasi);
    QCOMPARE(SteamNuoroda(adresas), tikimasi);
}

void TstZaidimoPaleidimas::budoPasirinkimas_data() {
    QTest::addColumn<QString>("katalogas");
    QTest::addColumn<QString>("wine");
    QTest::addColumn<QString>("steam");
    QTest::addColumn<bool>("tvarkykle");
    QTest::addColumn<QStringList>("nepavyksta");
    QTest::addColumn<TPaleidimoBudas>("budas");

    const QStringList niekas;
    QTest::newRow("wine and folder") << kKatalogas << kWine << QString() << false << niekas << TPaleidimoBudas::Wine;
    QTest::newRow("wine first when both exist")
        << kKatalogas << kWine << kSteam << true << niekas << TPaleidimoBudas::Wine;
    QTest::newRow("no registry key: steam")
        << u"#001"_s << kWine << kSteam << false << niekas << TPaleidimoBudas::SteamPrograma;
    QTest::newRow("empty install path: steam")
        << QString() << kWine << kSteam << false << niekas << TPaleidimoBudas::SteamPrograma;
    QTest::newRow("no wine: steam") << kKatalogas << QString() << kSteam << true << niekas
                                    << TPaleidimoBudas::SteamPrograma;
    QTest::newRow("no wine, no steam program: handler")
        << kKatalogas << QString() << QString() << true << niekas << TPaleidimoBudas::SteamNuoroda;
    QTest::newRow("wine fails to start: steam")
        << kKatalogas << kWine << kSteam << false << QStringList{kWine} << TPaleidimoBudas::SteamPrograma;
    QTest::newRow("steam fails to start: handler")
        << u"#001"_s << QString() << kSteam << true << QStringList{kSteam} << TPaleidimoBudas::SteamNuoroda;
    QTest::newRow("nothing at all") << u"#001"_s << QString() << QString() << false << niekas
                                    << TPaleidimoBudas::Nepaleista;
    QTest::newRow("folder but no wine, no steam")
        << kKatalogas << QString() << QString() << false << niekas << TPaleidimoBudas::Nepaleista;
}

void TstZaidimoPaleidimas::budoPasirinkimas() {
    QFETCH(QString, katalogas);
    QFETCH(QString, wine);
    QFETCH(QString, steam);
    QFETCH(bool, tvarkykle);
    QFETCH(QStringList, nepavyksta);
    QFETCH(TPaleidimoBudas, budas);

    TIrasas irasas;
    const TPaleidimoAplinka aplinka = Aplinka({wine, steam, tvarkykle, true, nepavyksta}, irasas);
    QCOMPARE(PaleistiZaidima(u" 10.0.0.7 "_s, katalogas, aplinka), budas);
    switch (budas) {
    case TPaleidimoBudas::Wine:
        QCOMPARE(irasas.paleista, (QStringList{kWine, katalogas + u"\\hl.exe"_s, u"-game"_s, u"cstrike"_s,
                                               u"-toconsole"_s, u"+connect"_s, u"10.0.0.7"_s}));
        QVERIFY(irasas.atidaryta.isEmpty());
        break;
    case TPaleidimoBudas::SteamPrograma:
        QCOMPARE(irasas.paleista, (QStringList{kSteam, u"steam://connect/10.0.0.7:27015"_s}));
        QVERIFY(irasas.atidaryta.isEmpty());
        break;
    case TPaleidimoBudas::SteamNuoroda:
        QVERIFY(irasas.paleista.isEmpty());
        QCOMPARE(irasas.atidaryta, QStringList{u"steam://connect/10.0.0.7:27015"_s});
        break;
    case TPaleidimoBudas::Nepaleista:
        QVERIFY(irasas.paleista.isEmpty());
        QVERIFY(irasas.atidaryta.isEmpty());
        break;
    }
}

void TstZaidimoPaleidimas::atmestasAdresasNiekoNepaleidzia_data() {
    QTest::addColumn<QString>("adresas");
    QTest::newRow("semicolon") << u"127.0.0.1;quit"_s;
    QTest::newRow("plus word") << u"127.0.0.1 +exec x"_s;
    QTest::newRow("bad port") << u"127.0.0.1:99999"_s;
}

void TstZaidimoPaleidimas::atmestasAdresasNiekoNepaleidzia() {
    QFETCH(QString, adresas);
    TIrasas irasas;
    bool klausta = false;
    TPaleidimoAplinka aplinka = Aplinka({kWine, kSteam, true, true, {}}, irasas);
    aplinka.RastiWine = [&klausta] {
        klausta = true;
        return kWine;
    };
    QCOMPARE(PaleistiZaidima(adresas, kKatalogas, aplinka), TPaleidimoBudas::Nepaleista);
    QVERIFY(irasas.paleista.isEmpty());
    QVERIFY(irasas.atidaryta.isEmpty());
    QVERIFY(!klausta);
}

void TstZaidimoPaleidimas::steamTvarkykle_data() {
    QTest::addColumn<QByteArray>("atsakymas");
    QTest::addColumn<int>("kodas");
    QTest::addColumn<bool>("tikimasi");
    QTest::newRow("handler named") << QByteArray("steam.desktop\n") << 0 << true;
    QTest::newRow("no handler") << QByteArray() << 0 << false;
    QTest::newRow("blank answer") << QByteArray(" \n") << 0 << false;
    QTest::newRow("xdg-mime fails") << QByteArray("steam.desktop\n") << 1 << false;
}

void TstZaidimoPaleidimas::steamTvarkykle() {
    QFETCH(QByteArray, atsakymas);
    QFETCH(int, kodas);
    QFETCH(bool, tikimasi);
    QTemporaryDir bin;
    QVERIFY(bin.isValid());
    // A stand-in xdg-mime that answers only the question the launch asks.
    QFile f(bin.filePath(u"xdg-mime"_s));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\n[ \"$*\" = \"query default x-scheme-handler/steam\" ] || exit 3\nprintf '" + atsakymas +
            "'\nexit " + QByteArray::number(kodas) + "\n");
    f.close();
    QVERIFY(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QByteArray senas = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit());
    const TPaleidimoAplinka aplinka = SistemosPaleidimoAplinka();
    const bool yra = aplinka.ArYraSteamTvarkykle();
    QVERIFY(aplinka.RastiSteam().isEmpty());
    QVERIFY(!aplinka.AtidarytiNuoroda);
    qputenv("PATH", senas);
    QCOMPARE(yra, tikimasi);
}

QTEST_GUILESS_MAIN(TstZaidimoPaleidimas)
#include "tst_zaidimo_paleidimas.moc"
