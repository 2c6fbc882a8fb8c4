// Reply readers and request datagrams against hand-built and recorded datagrams.
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

#include <QDir>
#include <QFile>
#include <QTest>

#include "Datagramos.h"
#include "cstrike.h"

using namespace Qt::StringLiterals;

class TstCstrike : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void uzklausos_data();
    void uzklausos();
    void antraste_data();
    void antraste();
    void eilutes_data();
    void eilutes();
    void laikas_data();
    void laikas();
    void zaidejai();
    void zaidejuKiekisDidesnisNeiDuomenys();
    void tusciasZaidejuSarasas();
    void detales_data();
    void detales();
    void taisykles_data();
    void taisykles();
    void detaliuNukirpimas();
    void zaidejuNukirpimas();
    void taisykliuNukirpimas();
    void taisykliuKiekisVirsDatagramos_data();
    void taisykliuKiekisVirsDatagramos();
    void tekstaiSavarankiski();
    void fiksacijosDetales_data();
    void fiksacijosDetales();
    void fiksacijosZaidejai_data();
    void fiksacijosZaidejai();
    void fiksacijosTaisykles();
};

void TstCstrike::uzklausos_data() {
    QTest::addColumn<QByteArray>("zodis");
    QTest::addColumn<QByteArray>("pradzia");
    QTest::newRow("ping") << QByteArray(kPing) << QByteArray("\xFF\xFF\xFF\xFF\x70\x69\x6E\x67\x00\x00\x00", 11);
    QTest::newRow("players") << QByteArray(kPlayers) << QByteArray("\xFF\xFF\xFF\xFF\x70\x6C\x61\x79\x65\x72\x73", 11);
    QTest::newRow("details") << QByteArray(kDetails) << QByteArray("\xFF\xFF\xFF\xFF\x64\x65\x74\x61\x69\x6C\x73", 11);
    QTest::newRow("rules") << QByteArray(kRules) << QByteArray("\xFF\xFF\xFF\xFF\x72\x75\x6C\x65\x73\x00\x00", 11);
}

void TstCstrike::uzklausos() {
    QFETCH(QByteArray, zodis);
    QFETCH(QByteArray, pradzia);
    const QByteArray d = UzklausosDatagrama(zodis.constData());
    QCOMPARE(d.size(), 256);
    QCOMPARE(d.left(11), pradzia);
    QCOMPARE(d.mid(11), QByteArray(256 - 11, '\0'));
}

void TstCstrike::antraste_data() {
    QTest::addColumn<QByteArray>("datagrama");
    QTest::addColumn<char>("tipas");
    QTest::addColumn<qint64>("pozicija");
    QTest::newRow("ping ack") << QByteArray("\xFF\xFF\xFF\xFFj", 5) << 'j' << qint64(5);
    QTest::newRow("header bytes not checked") << QByteArray("\x01\x02\x03\x04m\x00", 6) << 'm' << qint64(5);
    QTest::newRow("four bytes") << QByteArray("\xFF\xFF\xFF\xFF", 4) << char(0) << qint64(4);
    QTest::newRow("empty") << QByteArray() << char(0) << qint64(0);
}

void TstCstrike::antraste() {
    QFETCH(QByteArray, datagrama);
    QFETCH(char, tipas);
    QFETCH(qint64, pozicija);
    TAtminiesSrautas s(datagrama);
    QCOMPARE(SkaitytiAntraste(s), tipas);
    QCOMPARE(s.Position(), pozicija);
}

void TstCstrike::eilutes_data() {
    QTest::addColumn<QByteArray>("duomenys");
    QTest::addColumn<QByteArray>("pirma");
    QTest::addColumn<QByteArray>("antra");
    QTest::newRow("two texts") << QByteArray("abc\0de\0", 7) << QByteArray("abc") << QByteArray("de");
    QTest::newRow("empty text first") << QByteArray("\0x\0", 3) << QByteArray() << QByteArray("x");
    QTest::newRow("no terminator taken whole") << QByteArray("tail") << QByteArray("tail") << QByteArray();
    QTest::newRow("second without terminator") << QByteArray("a\0bc", 4) << QByteArray("a") << QByteArray("bc");
    QTest::newRow("nothing left") << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("bytes kept as they are")
        << QByteArray("\xC5\xBE\xFE\x01\0", 5) << QByteArray("\xC5\xBE\xFE\x01") << QByteArray();
}

void TstCstrike::eilutes() {
    QFETCH(QByteArray, duomenys);
    QFETCH(QByteArray, pirma);
    QFETCH(QByteArray, antra);
    TAtminiesSrautas s(duomenys);
    QCOMPARE(SkaitytiEilute(s), pirma);
    QCOMPARE(SkaitytiEilute(s), antra);
    QCOMPARE(SkaitytiEilute(s), QByteArray());
    QVERIFY(s.Likutis() == 0);
}

void TstCstrike::laikas_data() {
    QTest::addColumn<float>("laikas");
    QTest::addColumn<quint32>("valandos");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<int>("sekundes");
    QTest::newRow("59 s") << 59.0f << 0u << 0 << 59;
    QTest::newRow("3599 s") << 3599.0f << 0u << 59 << 59;
    QTest::newRow("3600 s") << 3600.0f << 1u << 0 << 0;
    QTest::newRow("3630 s") << 3630.0f << 1u << 0 << 30;
    QTest::newRow("3661 s") << 3661.0f << 1u << 1 << 1;
    QTest::newRow("negative -75.4") << -75.4f << 0u << 1 << 15;
    QTest::newRow("half rounds up 59.5") << 59.5f << 0u << 1 << 0;
    QTest::newRow("just below half 59.49") << 59.49f << 0u << 0 << 59;
    QTest::newRow("zero") << 0.0f << 0u << 0 << 0;
    QTest::newRow("99999.5 s keeps real hours") << 99999.5f << 27u << 46 << 40;
    QTest::newRow("102516.2 s") << 102516.2f << 28u << 28 << 36;
    QTest::newRow("a thousand hours") << 3600000.0f << 1000u << 0 << 0;
    QTest::newRow("beyond 32 bits held at the top") << 1e30f << 596523u << 14 << 7;
    QTest::newRow("infinity held at the top") << std::numeric_limits<float>::infinity() << 596523u << 14 << 7;
    QTest::newRow("not a number is zero") << std::numeric_limits<float>::quiet_NaN() << 0u << 0 << 0;
}

void TstCstrike::laikas() {
    QFETCH(float, laikas);
    QFETCH(quint32, valandos);
    QFETCH(int, minutes);
    QFETCH(int, sekundes);
    TRasytojas r;
    r.u8(1).u8(7).txt("p").i32(0).f32(laikas);
    TAtminiesSrautas s(r.b);
    const TZaidejai z = SkaitytiZaidejus(s);
    QCOMPARE(z.size(), 1);
    QCOMPARE(z[0].Valandos, valandos);
    QCOMPARE(int(z[0].Minutes), minutes);
    QCOMPARE(int(z[0].Sekundes), sekundes);
}

void TstCstrike::zaidejai() {
    TRasytojas r;
    r.antraste('D').u8(3);
    r.u8(1).txt("Alpha").i32(12).f32(777.9f);
    r.u8(2).txt("Beta").i32(-3).f32(-75.4f);
    r.u8(200).txt("").i32(INT32_MIN).f32(3661.0f);
    TAtminiesSrautas s = PoAntrastes(r.b);
    const TZaidejai z = SkaitytiZaidejus(s);
    QCOMPARE(z.size(), 3);
    QCOMPARE(z[0].Zaidejas.Nr, quint8(1));
    QCOMPARE(z[0].Zaidejas.Vardas, QByteArray("Alpha"));
    QCOMPARE(z[0].Zaidejas.Fragai, 12);
    QCOMPARE(z[0].Zaidejas.Laikas, 777.9f);
    QCOMPARE(z[0].Minutes, quint8(12));
    QCOMPARE(z[0].Sekundes, quint8(58));
    QCOMPARE(z[1].Zaidejas.Fragai, -3);
    QCOMPARE(z[1].Zaidejas.Laikas, -75.4f);
    QCOMPARE(z[2].Zaidejas.Nr, quint8(200));
    QCOMPARE(z[2].Zaidejas.Vardas, QByteArray());
    QCOMPARE(z[2].Zaidejas.Fragai, INT32_MIN);
    QCOMPARE(z[2].Valandos, 1u);
    QCOMPARE(s.Likutis(), 0);
}

void TstCstrike::zaidejuKiekisDidesnisNeiDuomenys() {
    TRasytojas r;
    r.antraste('D').u8(255).u8(9).txt("Only").i32(5).f32(10.0f);
    TAtminiesSrautas s = PoAntrastes(r.b);
    const TZaidejai z = SkaitytiZaidejus(s);
    QCOMPARE(z.size(), 255);
    QCOMPARE(z[0].Zaidejas.Vardas, QByteArray("Only"));
    QCOMPARE(z[0].Sekundes, quint8(10));
    for (qsizetype i = 1; i < z.size(); ++i)
        QCOMPARE(z[i], TZaidejoInfo{});
}

void TstCstrike::tusciasZaidejuSarasas() {
    TRasytojas r;
    r.antraste('D').u8(0);
    TAtminiesSrautas s = PoAntrastes(r.b);
    QVERIFY(SkaitytiZaidejus(s).isEmpty());
    TAtminiesSrautas tuscias = PoAntrastes(QByteArray("\xFF\xFF\xFF\xFF"
                                                      "D",
                                                      5));
    QVERIFY(SkaitytiZaidejus(tuscias).isEmpty());
}

void TstCstrike::detales_data() {
    QTest::addColumn<int>("arModas");
    QTest::addColumn<char>("tipas");
    QTest::addColumn<char>("os");
    QTest::newRow("no mod") << 0 << 'd' << 'w';
    QTest::newRow("mod block") << 1 << 'd' << 'l';
    QTest::newRow("mod flag 2 reads no block") << 2 << 'l' << 'l';
    QTest::newRow("listen server on linux") << 0 << 'l' << 'l';
}

void TstCstrike::detales() {
    QFETCH(int, arModas);
    QFETCH(char, tipas);
    QFETCH(char, os);
    TRasytojas r;
    r.antraste('m').txt("10.0.0.5:27015").txt("Server").txt("de_dust2").txt("cstrike").txt("Counter-Strike");
    r.u8(12).u8(20).u8(47).u8(quint8(tipas)).u8(quint8(os)).u8(1).u8(quint8(arModas));
    if (arModas == 1)
        r.txt("www.example.org").txt("ftp.example.org").txt("res").i32(7).i32(1572864).u8(1).u8(1);
    r.u8(1).u8(0x55); // secure flag, then a byte nobody reads
    TAtminiesSrautas s = PoAntrastes(r.b);
    const TDetales d = SkaitytiDetales(s);
    QCOMPARE(d.Info.Adresas, QByteArray("10.0.0.5:27015"));
    QCOMPARE(d.Info.Pavadinimas, QByteArray("Server"));
    QCOMPARE(d.Info.Zemelapis, QByteArray("de_dust2"));
    QCOMPARE(d.Info.Katalogas, QByteArray("cstrike"));
    QCOMPARE(d.Info.Zaidimas, QByteArray("Counter-Strike"));
    QCOMPARE(d.Zaidejai, quint8(12));
    QCOMPARE(d.MaxZaideju, quint8(20));
    QCOMPARE(d.Protokolas, quint8(47));
    QCOMPARE(d.ServerioTipas, tipas);
    QCOMPARE(d.OS, os);
    QCOMPARE(d.Slaptazodis, quint8(1));
    QCOMPARE(int(d.ArModas), arModas);
    QCOMPARE(d.Saugus, quint8(1));
    QCOMPARE(s.Likutis(), 1);
    if (arModas == 1) {
        QCOMPARE(d.MOD.Svetaine, QByteArray("www.example.org"));
        QCOMPARE(d.MOD.Parsisiuntimas, QByteArray("ftp.example.org"));
        QCOMPARE(d.MOD.Rezervuota, QByteArray("res"));
        QCOMPARE(d.MODVersija, 7);
        QCOMPARE(d.MODDydis, 1572864);
        QCOMPARE(d.TikServerio, quint8(1));
        QCOMPARE(d.SavasDLL, quint8(1));
    } else {
        QCOMPARE(d.MOD, TMODInfo{});
        QCOMPARE(d.MODVersija, 0);
        QCOMPARE(d.MODDydis, 0);
        QCOMPARE(d.TikServerio, quint8(0));
        QCOMPARE(d.SavasDLL, quint8(0));
    }
}

void TstCstrike::taisykles_data() {
    QTest::addColumn<int>("kiekis");
    QTest::newRow("none") << 0;
    QTest::newRow("one") << 1;
    QTest::newRow("300 rules") << 300;
    QTest::newRow("count above 255 uses both bytes") << 256;
}

void TstCstrike::taisykles() {
    QFETCH(int, kiekis);
    TRasytojas r;
    r.antraste('E').u16(quint16(kiekis));
    for (int i = 0; i < kiekis; ++i)
        r.txt("rule" + QByteArray::number(i)).txt(QByteArray::number(i * 7));
    TAtminiesSrautas s = PoAntrastes(r.b);
    const TTaisykles t = SkaitytiTaisykles(s);
    QCOMPARE(t.size(), kiekis);
    for (int i = 0; i < kiekis; ++i) {
        QCOMPARE(t[i].Pavadinimas, "rule" + QByteArray::number(i));
        QCOMPARE(t[i].Reiksme, QByteArray::number(i * 7));
    }
}

// Truncation: every field that the cut datagram reaches fully keeps its value,
// a field cut in the middle keeps the bytes that are there, and everything after
// is cleared. The expectation is computed from a table of field offsets.
namespace {

struct TLaukas {
    qsizetype pradzia;
    qsizetype pabaiga; // one past the last byte (texts: past their zero byte)
    bool tekstas;
    QByteArray baitai; // bytes without the terminator
    std::function<QByteArray(const TDetales&)> detalesLaukas;
};

QByteArray SkaiciausBaitai(qint64 v, int dydis) {
    QByteArray b;
    for (int i = 0; i < dydis; ++i)
        b.append(char((quint64(v) >> (8 * i)) & 0xFF));
    return b;
}

// What the reader should make of a field when the datagram stops at ilgis.
QByteArray Tiketina(const TLaukas& l, qsizetype ilgis) {
    if (ilgis <= l.pradzia)
        return l.tekstas ? QByteArray() : QByteArray(l.pabaiga - l.pradzia, '\0');
    if (ilgis >= l.pabaiga)
        return l.baitai;
    const QByteArray dalis = l.baitai.left(ilgis - l.pradzia);
    return l.tekstas ? dalis : dalis + QByteArray(l.pabaiga - ilgis, '\0');
}

} // namespace

void TstCstrike::detaliuNukirpimas() {
    TRasytojas r;
    r.antraste('m');
    QList<TLaukas> laukai;
    auto tekstas = [&](const QByteArray& t, std::function<QByteArray(const TDetales&)> f) {
        laukai.append({r.b.size(), r.b.size() + t.size() + 1, true, t, std::move(f)});
        r.txt(t);
    };
    auto skaicius = [&](qint64 v, int dydis, std::function<QByteArray(const TDetales&)> f) {
        laukai.append({r.b.size(), r.b.size() + dydis, false, SkaiciausBaitai(v, dydis), std::move(f)});
        r.b.append(SkaiciausBaitai(v, dydis));
    };
    auto baitas = [](auto narys) {
        return [narys](const TDetales& d) {
            return SkaiciausBaitai(qint64(quint8(d.*narys)), 1);
        };
    };
    tekstas("1.2.3.4:27015", [](const TDetales& d) { return d.Info.Adresas; });
    tekstas("Name", [](const TDetales& d) { return d.Info.Pavadinimas; });
    tekstas("map", [](const TDetales& d) { return d.Info.Zemelapis; });
    tekstas("cstrike", [](const TDetales& d) { return d.Info.Katalogas; });
    tekstas("CS", [](const TDetales& d) { return d.Info.Zaidimas; });
    skaicius(9, 1, baitas(&TDetales::Zaidejai));
    skaicius(16, 1, baitas(&TDetales::MaxZaideju));
    skaicius(47, 1, baitas(&TDetales::Protokolas));
    skaicius('d', 1, baitas(&TDetales::ServerioTipas));
    skaicius('w', 1, baitas(&TDetales::OS));
    skaicius(1, 1, baitas(&TDetales::Slaptazodis));
    skaicius(1, 1, baitas(&TDetales::ArModas));
    tekstas("url", [](const TDetales& d) { return d.MOD.Svetaine; });
    tekstas("dl", [](const TDetales& d) { return d.MOD.Parsisiuntimas; });
    tekstas("r", [](const TDetales& d) { return d.MOD.Rezervuota; });
    skaicius(0x01020304, 4, [](const TDetales& d) { return SkaiciausBaitai(d.MODVersija, 4); });
    skaicius(-184000000, 4, [](const TDetales& d) { return SkaiciausBaitai(d.MODDydis, 4); });
    skaicius(1, 1, baitas(&TDetales::TikServerio));
    skaicius(1, 1, baitas(&TDetales::SavasDLL));
    skaicius(1, 1, baitas(&TDetales::Saugus));

    for (qsizetype ilgis = 0; ilgis <= r.b.size(); ++ilgis) {
        TAtminiesSrautas s(r.b.left(ilgis));
        SkaitytiAntraste(s);
        const TDetales d = SkaitytiDetales(s);
        // Without the mod flag the block is not read at all.
        const bool modas = ilgis > laukai[11].pradzia;
        for (qsizetype i = 0; i < laukai.size(); ++i) {
            const TLaukas& l = laukai[i];
            const bool modoLaukas = i >= 12 && i <= 18;
            QByteArray tiketina = Tiketina(l, ilgis);
            if (modoLaukas && !modas)
                tiketina = l.tekstas ? QByteArray() : QByteArray(l.pabaiga - l.pradzia, '\0');
            if (i == 19 && !modas) // the secure byte then follows the mod flag, which is not there either
                tiketina = QByteArray(1, '\0');
            QVERIFY2(l.detalesLaukas(d) == tiketina, qPrintable(u"length %1, field %2"_s.arg(ilgis).arg(i)));
        }
    }
}

void TstCstrike::zaidejuNukirpimas() {
    TRasytojas r;
    r.antraste('D').u8(2).u8(1).txt("Ann").i32(-7).f32(125.0f).u8(2).txt("Bo").i32(3).f32(3661.0f);
    const TZaidejai pilnas = [&] {
        TAtminiesSrautas s = PoAntrastes(r.b);
        return SkaitytiZaidejus(s);
    }();
    QCOMPARE(pilnas.size(), 2);
    // Offsets: count 5, first entry 6..18, second 19..30.
    const qsizetype antrasPradzia = 6 + 1 + 4 + 4 + 4;
    for (qsizetype ilgis = 0; ilgis <= r.b.size(); ++ilgis) {
        TAtminiesSrautas s(r.b.left(ilgis));
        SkaitytiAntraste(s);
        const TZaidejai z = SkaitytiZaidejus(s);
        if (ilgis <= 5) {
            QVERIFY(z.isEmpty());
            continue;
        }
        QCOMPARE(z.size(), 2);
        if (ilgis >= antrasPradzia)
            QCOMPARE(z[0], pilnas[0]);
        if (ilgis <= antrasPradzia)
            QCOMPARE(z[1], TZaidejoInfo{});
        if (ilgis == r.b.size())
            QCOMPARE(z[1], pilnas[1]);
        if (ilgis > 6 && ilgis < 10) // inside the first name: only its bytes, the rest cleared
            QCOMPARE(z[0].Zaidejas.Vardas, QByteArray("Ann").left(ilgis - 7));
    }
}

void TstCstrike::taisykliuNukirpimas() {
    TRasytojas r;
    r.antraste('E').u16(2).txt("a").txt("1").txt("bb").txt("22");
    for (qsizetype ilgis = 0; ilgis <= r.b.size(); ++ilgis) {
        TAtminiesSrautas s(r.b.left(ilgis));
        SkaitytiAntraste(s);
        const TTaisykles t = SkaitytiTaisykles(s);
        if (ilgis <= 5) {
            QVERIFY(t.isEmpty());
        } else if (ilgis == 6) {
            QCOMPARE(t.size(), 2); // the low byte of the count is there
            QCOMPARE(t[0], TTaisykle{});
        } else {
            QCOMPARE(t.size(), 2);
        }
        if (ilgis == r.b.size()) {
            QCOMPARE(t[1].Pavadinimas, QByteArray("bb"));
            QCOMPARE(t[1].Reiksme, QByteArray("22"));
        }
    }
}

void TstCstrike::taisykliuKiekisVirsDatagramos_data() {
    QTest::addColumn<int>("kiekis");
    QTest::addColumn<int>("poru");         // pairs "n<i>" / "v<i>" that follow the count
    QTest::addColumn<int>("nuliuPriedas"); // zero bytes after them
    QTest::addColumn<int>("laukiama");
    // A datagram of S bytes carries at most S / 2 pairs.
    QTest::newRow("65535 in seven bytes") << 65535 << 0 << 0 << 3;
    QTest::newRow("65535 in a full datagram") << 65535 << 0 << kDidziausiasAtsakymas - 7 << kDidziausiasAtsakymas / 2;
    QTest::newRow("count at the bound") << 10 << 0 << 13 << 10;
    QTest::newRow("one above the bound") << 11 << 0 << 13 << 10;
    QTest::newRow("count above the pairs but below the bound") << 5 << 2 << 0 << 5;
    // 7 + 40 * 6 bytes: 123 entries, the 40 pairs first.
    QTest::newRow("every pair carried is kept") << 65535 << 40 << 0 << 123;
}

void TstCstrike::taisykliuKiekisVirsDatagramos() {
    QFETCH(int, kiekis);
    QFETCH(int, poru);
    QFETCH(int, nuliuPriedas);
    QFETCH(int, laukiama);
    TRasytojas r;
    r.antraste('E').u16(quint16(kiekis));
    for (int i = 0; i < poru; ++i)
        r.txt("n" + QByteArray::number(i % 10)).txt("v" + QByteArray::number(i % 10));
    r.b.append(QByteArray(nuliuPriedas, '\0'));
    TAtminiesSrautas s = PoAntrastes(r.b);
    const TTaisykles t = SkaitytiTaisykles(s);
    QCOMPARE(int(t.size()), laukiama);
    for (int i = 0; i < t.size(); ++i) {
        const TTaisykle tiketina =
            i < poru ? TTaisykle{"n" + QByteArray::number(i % 10), "v" + QByteArray::number(i % 10)} : TTaisykle{};
        QCOMPARE(t[i], tiketina);
    }
}

void TstCstrike::tekstaiSavarankiski() {
    // Texts taken from a datagram outlive it, end with a zero byte like every
    // QByteArray, and change alone.
    TZaidejai z;
    {
        TRasytojas r;
        r.antraste('D').u8(3).u8(1).txt("Ann").i32(1).f32(1).u8(2).txt("Bo").i32(2).f32(2);
        r.u8(3).b.append("Cy"); // the last name has no terminator
        TAtminiesSrautas s = PoAntrastes(r.b);
        z = SkaitytiZaidejus(s);
        r.b.fill('x'); // the writer's buffer changes after the decoding
    }
    QCOMPARE(z[0].Zaidejas.Vardas, QByteArray("Ann"));
    QCOMPARE(z[1].Zaidejas.Vardas, QByteArray("Bo"));
    QCOMPARE(z[2].Zaidejas.Vardas, QByteArray("Cy"));
    for (const TZaidejoInfo& i : z)
        QCOMPARE(i.Zaidejas.Vardas.constData()[i.Zaidejas.Vardas.size()], '\0');
    QByteArray pirmas = z[0].Zaidejas.Vardas;
    pirmas.append("!!!!!!");
    pirmas[0] = 'X';
    QCOMPARE(pirmas, QByteArray("Xnn!!!!!!"));
    QCOMPARE(z[0].Zaidejas.Vardas, QByteArray("Ann"));
    QCOMPARE(z[1].Zaidejas.Vardas, QByteArray("Bo"));
    z[1].Zaidejas.Vardas.append("b");
    QCOMPARE(z[1].Zaidejas.Vardas, QByteArray("Bob"));
    QCOMPARE(z[2].Zaidejas.Vardas, QByteArray("Cy"));
    // A stream over bytes it does not own copies instead of sharing.
    static const char kSvetimi[] = "\xFF\xFF\xFF\xFFm"
                                   "addr";
    QByteArray adresas;
    {
        TAtminiesSrautas s(QByteArray::fromRawData(kSvetimi, sizeof kSvetimi - 1));
        SkaitytiAntraste(s);
        adresas = SkaitytiDetales(s).Info.Adresas;
    }
    QCOMPARE(adresas, QByteArray("addr"));
    QVERIFY(adresas.constData() < kSvetimi || adresas.constData() >= kSvetimi + sizeof kSvetimi);
}

void TstCstrike::fiksacijosDetales_data() {
    QTest::addColumn<QString>("failas");
    QTest::addColumn<QByteArray>("pavadinimas");
    QTest::addColumn<QByteArray>("zemelapis");
    QTest::addColumn<int>("zaidejai");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("arModas");
    QTest::addColumn<int>("modDydis");
    QTest::addColumn<int>("saugus");
    QTest::newRow("m-1 hltv, no mod") << u"m-1.bin"_s << QByteArray("Castle Mortimus:0") << QByteArray("op4_kbase") << 0
                                      << 1 << 0 << 0 << 0;
    QTest::newRow("m-3 mod block") << u"m-3.bin"_s << QByteArray("~UnconscionabLe~ l") << QByteArray("de_inferno") << 7
                                   << 30 << 1 << 184000000 << 0;
    QTest::newRow("m-7 secure") << u"m-7.bin"_s << QByteArray("-=Bloody Game - [Half-Life] [1000FPS]=-")
                                << QByteArray("bounce") << 26 << 32 << 1 << 0 << 1;
}

void TstCstrike::fiksacijosDetales() {
    QFETCH(QString, failas);
    const QByteArray d = Fiksacija(failas);
    if (d.isEmpty())
        QSKIP("recorded datagrams are not available here");
    TAtminiesSrautas s(d);
    QCOMPARE(SkaitytiAntraste(s), 'm');
    const TDetales det = SkaitytiDetales(s);
    QTEST(det.Info.Pavadinimas, "pavadinimas");
    QTEST(det.Info.Zemelapis, "zemelapis");
    QTEST(int(det.Zaidejai), "zaidejai");
    QTEST(int(det.MaxZaideju), "max");
    QTEST(int(det.ArModas), "arModas");
    QTEST(det.MODDydis, "modDydis");
    QTEST(int(det.Saugus), "saugus");
}

void TstCstrike::fiksacijosZaidejai_data() {
    QTest::addColumn<QString>("failas");
    QTest::addColumn<int>("kiekis");
    QTest::addColumn<int>("kuris");
    QTest::addColumn<QByteArray>("vardas");
    QTest::addColumn<int>("fragai");
    QTest::addColumn<quint32>("valandos");
    QTest::newRow("D-1") << u"D-1.bin"_s << 7 << 1 << QByteArray("Addicted") << 16 << 0u;
    QTest::newRow("D-3 over 27 hours") << u"D-3.bin"_s << 23 << 1 << QByteArray("|SGK| WarGod Shield") << 2 << 28u;
    QTest::newRow("D-10") << u"D-10.bin"_s << 16 << 0 << QByteArray("[M|475|M] PNCO {A}") << 137 << 2u;
    QTest::newRow("Xash3D, a bot's time -1.0 s") << u"xash-D.bin"_s << 5 << 0 << QByteArray("Alice") << 0 << 0u;
}

void TstCstrike::fiksacijosZaidejai() {
    QFETCH(QString, failas);
    const QByteArray d = Fiksacija(failas);
    if (d.isEmpty())
        QSKIP("recorded datagrams are not available here");
    TAtminiesSrautas s(d);
    QCOMPARE(SkaitytiAntraste(s), 'D');
    const TZaidejai z = SkaitytiZaidejus(s);
    QTEST(int(z.size()), "kiekis");
    QFETCH(int, kuris);
    QTEST(z[kuris].Zaidejas.Vardas, "vardas");
    QTEST(z[kuris].Zaidejas.Fragai, "fragai");
    QTEST(z[kuris].Valandos, "valandos");
    QCOMPARE(s.Likutis(), 0); // the whole datagram is the list
}

void TstCstrike::fiksacijosTaisykles() {
    const QByteArray d = Fiksacija(u"E-1.bin"_s);
    if (d.isEmpty())
        QSKIP("recorded datagrams are not available here");
    TAtminiesSrautas s(d);
    QCOMPARE(SkaitytiAntraste(s), 'E');
    const TTaisykles t = SkaitytiTaisykles(s);
    QCOMPARE(t.size(), 61);
    QCOMPARE(t[0].Pavadinimas, QByteArray("aghl.ru"));
    QCOMPARE(t[0].Reiksme, QByteArray("0.2.9+9315e11"));
    bool laikoRiba = false;
    for (const TTaisykle& taisykle : t)
        laikoRiba |= taisykle.Pavadinimas == "mp_timelimit" && taisykle.Reiksme == "20";
    QVERIFY(laikoRiba);
    QCOMPARE(s.Likutis(), 0);
}

QTEST_APPLESS_MAIN(TstCstrike)
#include "tst_cstrike.moc"
