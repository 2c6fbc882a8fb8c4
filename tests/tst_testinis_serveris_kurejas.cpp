// The reply builders of the test server against the readers of cstrike.h: every
// reply built from records decodes back into the same records and fills the
// datagram exactly, and real captured replies rebuild byte for byte.
#include <algorithm>

#include <QDir>
#include <QFile>
#include <QTest>

#include "AtsakymuKurejas.h"
#include "cstrike.h"

using namespace Qt::StringLiterals;

char* toString(const TZaidejoInfo& z) {
    return QTest::toString(u"#%1 \"%2\" %3 frags %4 s (%5:%6:%7)"_s.arg(z.Zaidejas.Nr)
                               .arg(QString::fromLatin1(z.Zaidejas.Vardas.toPercentEncoding(" !#$&'()*+,/:;=?@[]")))
                               .arg(z.Zaidejas.Fragai)
                               .arg(double(z.Zaidejas.Laikas))
                               .arg(z.Valandos)
                               .arg(z.Minutes)
                               .arg(z.Sekundes));
}

char* toString(const TTaisykle& t) {
    return QTest::toString(
        QString::fromLatin1(t.Pavadinimas.toPercentEncoding() + '=' + t.Reiksme.toPercentEncoding()));
}

namespace {

TZaidejai Zaidejai(int kiekis) {
    TZaidejai z;
    for (int i = 0; i < kiekis; ++i)
        z.append(KurtiZaidejoInfo(static_cast<quint8>(i % 256), "Player " + QByteArray::number(i), i * 7 - 500,
                                  float(i) * 13.25f));
    return z;
}

TTaisykles Taisykles(int kiekis) {
    TTaisykles t;
    for (int i = 0; i < kiekis; ++i)
        t.append(TTaisykle{"rule_" + QByteArray::number(i), QByteArray::number(i * 3)});
    return t;
}

// The size a players reply must have: header, count, and per entry the slot
// byte, the name and its zero byte, frags and time.
qsizetype ZaidejuIlgis(const TZaidejai& z) {
    qsizetype n = 6;
    for (const TZaidejoInfo& i : z)
        n += 1 + i.Zaidejas.Vardas.size() + 1 + 4 + 4;
    return n;
}

TDetales Detales() {
    TDetales d;
    d.Info = {"127.0.0.1:27015", "Test server", "de_dust2", "cstrike", "Counter-Strike"};
    d.Zaidejai = 7;
    d.MaxZaideju = 20;
    d.Protokolas = 47;
    d.ServerioTipas = 'd';
    d.OS = 'l';
    d.Slaptazodis = 0;
    d.Saugus = 1;
    return d;
}

QByteArray Irasas(const QString& vardas) {
    QFile f(QDir(QStringLiteral(VELMORANT_CAPTURES_DIR)).filePath(vardas));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

} // namespace

class TstTestinisServerisKurejas : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void zaidejai_data();
    void zaidejai();
    void zaidejuBaitai();
    void zaidejuKiekis_data();
    void zaidejuKiekis();
    void isplestiZaidejai_data();
    void isplestiZaidejai();
    void detales_data();
    void detales();
    void detaliuBaitai();
    void taisykles_data();
    void taisykles();
    void taisykliuKiekis();
    void trumpiAtsakymai_data();
    void trumpiAtsakymai();
    void tekstoAtsakymas_data();
    void tekstoAtsakymas();
    void zaidejoInfo_data();
    void zaidejoInfo();
    void irasai_data();
    void irasai();
};

void TstTestinisServerisKurejas::zaidejai_data() {
    QTest::addColumn<TZaidejai>("zaidejai");
    QTest::addColumn<int>("laukiamasKiekis");

    QTest::newRow("no players") << TZaidejai{} << 0;
    QTest::newRow("one player") << TZaidejai{KurtiZaidejoInfo(1, "Vilkas", 31, 3904.6f)} << 1;
    QTest::newRow("negative frags") << TZaidejai{KurtiZaidejoInfo(0, "n00b", -3, 640.4f),
                                                 KurtiZaidejoInfo(0, "worst", INT32_MIN, 1.0f),
                                                 KurtiZaidejoInfo(0, "best", INT32_MAX, 2.0f)}
                                    << 3;
    QTest::newRow("non-ASCII names") << TZaidejai{KurtiZaidejoInfo(1,
                                                                   "\xC5\xBD"
                                                                   "aibas",
                                                                   2, 10.0f), // UTF-8
                                                  KurtiZaidejoInfo(2,
                                                                   "\xDE"
                                                                   "aibas \xE0\xE8",
                                                                   3, 20.0f), // Windows-1257 bytes
                                                  KurtiZaidejoInfo(3, "\xFF\xFE\x01\x7F", 4, 30.0f)} // odd bytes
                                     << 3;
    QTest::newRow("empty name") << TZaidejai{KurtiZaidejoInfo(5, "", 0, 0.0f)} << 1;
    QTest::newRow("odd times") << TZaidejai{KurtiZaidejoInfo(1, "a", 0, 102516.2f), KurtiZaidejoInfo(2, "b", 0, -5.5f),
                                            KurtiZaidejoInfo(3, "c", 0, 4.0e9f)}
                               << 3;
    QTest::newRow("255 players") << Zaidejai(255) << 255;
}

void TstTestinisServerisKurejas::zaidejai() {
    QFETCH(TZaidejai, zaidejai);
    QFETCH(int, laukiamasKiekis);

    const QByteArray d = KurtiZaidejuAtsakyma(zaidejai);
    QCOMPARE(d.left(4), QByteArray(4, '\xFF'));
    QCOMPARE(d.size(), ZaidejuIlgis(zaidejai));
    QCOMPARE(static_cast<quint8>(d[5]), laukiamasKiekis);

    TAtminiesSrautas s(d);
    QCOMPARE(SkaitytiAntraste(s), kTipasZaidejai);
    const TZaidejai perskaityti = SkaitytiZaidejus(s);
    QCOMPARE(perskaityti, zaidejai);
    QCOMPARE(s.Likutis(), 0);
}

void TstTestinisServerisKurejas::zaidejuBaitai() {
    const QByteArray d = KurtiZaidejuAtsakyma({KurtiZaidejoInfo(3, "Ab", -2, 1.5f)});
    QCOMPARE(d, QByteArray("\xFF\xFF\xFF\xFF"
                           "D\x01"
                           "\x03"
                           "Ab\0"
                           "\xFE\xFF\xFF\xFF"
                           "\x00\x00\xC0\x3F",
                           18));
}

void TstTestinisServerisKurejas::zaidejuKiekis_data() {
    QTest::addColumn<int>("laikomi");
    QTest::addColumn<int>("sakomas");

    QTest::newRow("count says more") << 2 << 5;
    QTest::newRow("count says fewer") << 3 << 1;
    QTest::newRow("count zero, entries held") << 2 << 0;
    QTest::newRow("count 255, none held") << 0 << 255;
}

void TstTestinisServerisKurejas::zaidejuKiekis() {
    QFETCH(int, laikomi);
    QFETCH(int, sakomas);

    const TZaidejai zaidejai = Zaidejai(laikomi);
    const QByteArray d = KurtiZaidejuAtsakyma(zaidejai, static_cast<quint8>(sakomas));
    QCOMPARE(static_cast<quint8>(d[5]), sakomas);
    QCOMPARE(d.size(), ZaidejuIlgis(zaidejai));

    TAtminiesSrautas s(d);
    SkaitytiAntraste(s);
    const TZaidejai perskaityti = SkaitytiZaidejus(s);
    QCOMPARE(perskaityti.size(), sakomas);
    for (int i = 0; i < qMin(laikomi, sakomas); ++i)
        QCOMPARE(perskaityti[i], zaidejai[i]);
    // Entries the datagram does not hold decode as cleared ones.
    for (int i = laikomi; i < sakomas; ++i)
        QCOMPARE(perskaityti[i], TZaidejoInfo{});
}

void TstTestinisServerisKurejas::isplestiZaidejai_data() {
    QTest::addColumn<int>("zaideju");
    QTest::addColumn<int>("dydis");
    QTest::addColumn<int>("laukiamas");

    QTest::newRow("3000 bytes") << 10 << 3000 << 3000;
    QTest::newRow("one byte over the decode limit") << 1 << kDidziausiasAtsakymas + 1 << kDidziausiasAtsakymas + 1;
    QTest::newRow("asked below the natural size") << 3 << 10 << int(ZaidejuIlgis(Zaidejai(3)));
}

void TstTestinisServerisKurejas::isplestiZaidejai() {
    QFETCH(int, zaideju);
    QFETCH(int, dydis);
    QFETCH(int, laukiamas);

    const TZaidejai zaidejai = Zaidejai(zaideju);
    const QByteArray d = KurtiIsplestaZaidejuAtsakyma(zaidejai, dydis);
    QCOMPARE(d.size(), laukiamas);
    const QByteArray iprastas = KurtiZaidejuAtsakyma(zaidejai);
    QCOMPARE(d.left(iprastas.size()), iprastas);
    QCOMPARE(d.mid(iprastas.size()), QByteArray(laukiamas - iprastas.size(), '\0'));
}

void TstTestinisServerisKurejas::detales_data() {
    QTest::addColumn<TDetales>("detales");

    QTest::newRow("no mod block") << Detales();
    {
        TDetales d = Detales();
        d.ArModas = 1;
        d.MOD = {"www.counter-strike.net", "http://example.lt/dl", "res"};
        d.MODVersija = 1;
        d.MODDydis = 184000000;
        d.TikServerio = 0;
        d.SavasDLL = 1;
        QTest::newRow("mod block") << d;
    }
    {
        TDetales d = Detales();
        d.ArModas = 1;
        d.MODVersija = -7;
        d.MODDydis = INT32_MIN;
        d.TikServerio = 1;
        QTest::newRow("mod block, empty texts, negative numbers") << d;
    }
    {
        TDetales d = Detales();
        d.ArModas = 2; // not 1: no block on the wire
        QTest::newRow("mod flag 2") << d;
    }
    {
        TDetales d = Detales();
        d.Info.Pavadinimas = "Serveris \xC5\xBD"
                             "alg\xC4\x97"
                             "ris \xFF";
        d.Info.Zemelapis = "de_\xE0\xE8";
        QTest::newRow("non-ASCII texts") << d;
    }
    {
        TDetales d;
        QTest::newRow("all empty and zero") << d;
    }
    {
        TDetales d = Detales();
        d.ServerioTipas = 'l';
        d.OS = 'w';
        d.Slaptazodis = 1;
        d.Zaidejai = 255;
        d.MaxZaideju = 255;
        d.Protokolas = 48;
        d.Saugus = 0;
        QTest::newRow("listen, windows, password, full") << d;
    }
}

void TstTestinisServerisKurejas::detales() {
    QFETCH(TDetales, detales);

    const QByteArray d = KurtiDetaliuAtsakyma(detales);
    const TDetaliInfo& i = detales.Info;
    const qsizetype tekstai =
        i.Adresas.size() + i.Pavadinimas.size() + i.Zemelapis.size() + i.Katalogas.size() + i.Zaidimas.size() + 5;
    const qsizetype modas = detales.ArModas == 1 ? detales.MOD.Svetaine.size() + detales.MOD.Parsisiuntimas.size() +
                                                       detales.MOD.Rezervuota.size() + 3 + 4 + 4 + 1 + 1
                                                 : 0;
    QCOMPARE(d.size(), 5 + tekstai + 7 + modas + 1);

    TAtminiesSrautas s(d);
    QCOMPARE(SkaitytiAntraste(s), kTipasDetales);
    const TDetales perskaitytos = SkaitytiDetales(s);
    TDetales laukiamos = detales;
    if (laukiamos.ArModas != 1) {
        laukiamos.MOD = {};
        laukiamos.MODVersija = 0;
        laukiamos.MODDydis = 0;
        laukiamos.TikServerio = 0;
        laukiamos.SavasDLL = 0;
    }
    QVERIFY(perskaitytos == laukiamos);
    QCOMPARE(s.Likutis(), 0);
}

void TstTestinisServerisKurejas::detaliuBaitai() {
    TDetales d;
    d.Info = {"a", "b", "c", "d", "e"};
    d.Zaidejai = 1;
    d.MaxZaideju = 2;
    d.Protokolas = 47;
    d.ServerioTipas = 'd';
    d.OS = 'w';
    d.ArModas = 1;
    d.MOD = {"u", "", "r"};
    d.MODVersija = 1;
    d.MODDydis = 0x01020304;
    d.SavasDLL = 1;
    d.Saugus = 1;
    QCOMPARE(KurtiDetaliuAtsakyma(d), QByteArray("\xFF\xFF\xFF\xFFm"
                                                 "a\0b\0c\0d\0e\0"
                                                 "\x01\x02\x2F"
                                                 "dw\x00\x01"
                                                 "u\0\0r\0"
                                                 "\x01\x00\x00\x00"
                                                 "\x04\x03\x02\x01"
                                                 "\x00\x01"
                                                 "\x01",
                                                 38));
}

void TstTestinisServerisKurejas::taisykles_data() {
    QTest::addColumn<TTaisykles>("taisykles");

    QTest::newRow("no rules") << TTaisykles{};
    QTest::newRow("one rule") << TTaisykles{{"mp_timelimit", "20"}};
    QTest::newRow("empty name and value") << TTaisykles{{"", ""}, {"sv_contact", ""}};
    QTest::newRow("non-ASCII values") << TTaisykles{{"sv_hostname", "\xC5\xBD"
                                                                    "aibas \xE0"},
                                                    {"\xFF", "\x01"}};
    QTest::newRow("300 rules") << Taisykles(300);
}

void TstTestinisServerisKurejas::taisykles() {
    QFETCH(TTaisykles, taisykles);

    const QByteArray d = KurtiTaisykliuAtsakyma(taisykles);
    qsizetype ilgis = 7;
    for (const TTaisykle& t : taisykles)
        ilgis += t.Pavadinimas.size() + t.Reiksme.size() + 2;
    QCOMPARE(d.size(), ilgis);
    QCOMPARE(static_cast<quint8>(d[5]) | (static_cast<quint8>(d[6]) << 8), taisykles.size());

    TAtminiesSrautas s(d);
    QCOMPARE(SkaitytiAntraste(s), kTipasTaisykles);
    QCOMPARE(SkaitytiTaisykles(s), taisykles);
    QCOMPARE(s.Likutis(), 0);
}

void TstTestinisServerisKurejas::taisykliuKiekis() {
    const TTaisykles taisykles = Taisykles(2);
    const QByteArray d = KurtiTaisykliuAtsakyma(taisykles, 0x0104);
    QCOMPARE(d.mid(5, 2), QByteArray("\x04\x01", 2));
    TAtminiesSrautas s(d);
    SkaitytiAntraste(s);
    const TTaisykles perskaitytos = SkaitytiTaisykles(s);
    // The reader believes the count up to the pairs a datagram of this size could carry.
    QCOMPARE(perskaitytos.size(), std::min<qsizetype>(0x0104, d.size() / 2));
    QCOMPARE(perskaitytos.mid(0, 2), taisykles);
    QCOMPARE(perskaitytos[2], TTaisykle{});
}

void TstTestinisServerisKurejas::trumpiAtsakymai_data() {
    QTest::addColumn<QByteArray>("atsakymas");
    QTest::addColumn<QByteArray>("laukiamas");

    QTest::newRow("ping") << KurtiPingoAtsakyma() << QByteArray("\xFF\xFF\xFF\xFFj\0", 6);
    QTest::newRow("ping without zero byte") << KurtiPingoAtsakyma(false) << QByteArray("\xFF\xFF\xFF\xFFj", 5);
    QTest::newRow("ban") << KurtiBanoAtsakyma() << QByteArray("\xFF\xFF\xFF\xFFl", 5);
    QTest::newRow("ban with text") << KurtiBanoAtsakyma("You are banned.")
                                   << QByteArray("\xFF\xFF\xFF\xFFlYou are banned.\0", 21);
    QTest::newRow("unknown type") << KurtiAtsakyma('Q', QByteArray("\0", 1)) << QByteArray("\xFF\xFF\xFF\xFFQ\0", 6);
    QTest::newRow("header only") << KurtiAntraste('E')
                                 << QByteArray("\xFF\xFF\xFF\xFF"
                                               "E",
                                               5);
}

void TstTestinisServerisKurejas::trumpiAtsakymai() {
    QFETCH(QByteArray, atsakymas);
    QFETCH(QByteArray, laukiamas);
    QCOMPARE(atsakymas, laukiamas);
}

void TstTestinisServerisKurejas::tekstoAtsakymas_data() {
    QTest::addColumn<QByteArray>("pirmas");
    QTest::addColumn<QByteArray>("antras");

    QTest::newRow("two texts") << QByteArray("nfo text") << QByteArray("second");
    QTest::newRow("empty texts") << QByteArray() << QByteArray();
    QTest::newRow("non-ASCII") << QByteArray("\xC5\xBD\xE0") << QByteArray("\xFF");
}

void TstTestinisServerisKurejas::tekstoAtsakymas() {
    QFETCH(QByteArray, pirmas);
    QFETCH(QByteArray, antras);

    const QByteArray d = KurtiTekstoAtsakyma(pirmas, antras);
    QCOMPARE(d.size(), 4 + 1 + pirmas.size() + 1 + antras.size() + 1);
    TAtminiesSrautas s(d);
    QCOMPARE(SkaitytiAntraste(s), kTipasTekstas);
    // The client reads the texts from offset 4: the type letter opens the first.
    s.SetPosition(4);
    QCOMPARE(SkaitytiEilute(s), "i" + pirmas);
    QCOMPARE(SkaitytiEilute(s), antras);
    QCOMPARE(s.Likutis(), 0);
}

void TstTestinisServerisKurejas::zaidejoInfo_data() {
    QTest::addColumn<float>("laikas");
    QTest::addColumn<quint32>("valandos");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<int>("sekundes");

    QTest::newRow("zero") << 0.0f << 0u << 0 << 0;
    QTest::newRow("rounds half up") << 59.5f << 0u << 1 << 0;
    QTest::newRow("hour, minutes, seconds") << 3725.25f << 1u << 2 << 5;
    QTest::newRow("over a day") << 86405.7f << 24u << 0 << 6;
    QTest::newRow("negative counts its size") << -61.0f << 0u << 1 << 1;
}

void TstTestinisServerisKurejas::zaidejoInfo() {
    QFETCH(float, laikas);
    QFETCH(quint32, valandos);
    QFETCH(int, minutes);
    QFETCH(int, sekundes);

    const TZaidejoInfo z = KurtiZaidejoInfo(4, "x", -1, laikas);
    QCOMPARE(z.Zaidejas, (TZaidejas{4, "x", -1, laikas}));
    QCOMPARE(z.Valandos, valandos);
    QCOMPARE(int(z.Minutes), minutes);
    QCOMPARE(int(z.Sekundes), sekundes);
}

void TstTestinisServerisKurejas::irasai_data() {
    QTest::addColumn<QString>("failas");
    QTest::addColumn<int>("perteklius"); // bytes after the layout (a bots count)

    for (int i = 1; i <= 12; ++i)
        QTest::addRow("D-%d", i) << u"D-%1.bin"_s.arg(i) << 0;
    QTest::newRow("E-1") << u"E-1.bin"_s << 0;
    QTest::newRow("m-1") << u"m-1.bin"_s << 0;
    for (int i = 2; i <= 7; ++i)
        QTest::addRow("m-%d", i) << u"m-%1.bin"_s.arg(i) << 1;
}

void TstTestinisServerisKurejas::irasai() {
    QFETCH(QString, failas);
    QFETCH(int, perteklius);
    if (!QDir(QStringLiteral(VELMORANT_CAPTURES_DIR)).exists())
        QSKIP("the captures folder " VELMORANT_CAPTURES_DIR " is absent");

    const QByteArray irasas = Irasas(failas);
    QVERIFY2(!irasas.isEmpty(), qPrintable(u"cannot read "_s + failas));
    TAtminiesSrautas s(irasas);
    const char tipas = SkaitytiAntraste(s);
    QByteArray atkurtas;
    switch (tipas) {
    case kTipasZaidejai: {
        const TZaidejai zaidejai = SkaitytiZaidejus(s);
        QVERIFY(!zaidejai.isEmpty());
        atkurtas = KurtiZaidejuAtsakyma(zaidejai);
        break;
    }
    case kTipasDetales:
        atkurtas = KurtiDetaliuAtsakyma(SkaitytiDetales(s));
        break;
    case kTipasTaisykles: {
        const TTaisykles taisykles = SkaitytiTaisykles(s);
        QVERIFY(!taisykles.isEmpty());
        atkurtas = KurtiTaisykliuAtsakyma(taisykles);
        break;
    }
    default:
        QFAIL(qPrintable(u"unexpected type letter in "_s + failas));
    }
    QCOMPARE(s.Likutis(), perteklius);
    QCOMPARE(atkurtas.size(), irasas.size() - perteklius);
    QCOMPARE(atkurtas, irasas.left(atkurtas.size()));
}

QTEST_APPLESS_MAIN(TstTestinisServerisKurejas)
#include "tst_testinis_serveris_kurejas.moc"
