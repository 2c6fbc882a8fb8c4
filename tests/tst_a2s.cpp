// Steam query requests and the 'A', 'I' and 'm' readers against hand-built and
// recorded datagrams.
#include <QFile>
#include <QTest>

#include "A2S.h"
#include "Datagramos.h"

using namespace Qt::StringLiterals;

namespace {

// An info reply with every extra-data field.
TRasytojas PilnasInfo() {
    TRasytojas r;
    r.antraste('I').u8(48).txt("Name").txt("de_dust2").txt("cstrike").txt("Counter-Strike").u16(10).u8(12).u8(32).u8(3);
    r.u8('d').u8('l').u8(1).u8(1).txt("1.1.2.7/Stdio").u8(0xF1);
    r.u16(27016).u64(0x0123456789ABCDEFull).u16(27020).txt("HLTV").txt("tags,here").u64(10);
    return r;
}

} // namespace

class TstA2S : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void uzklausos_data();
    void uzklausos();
    void issukis_data();
    void issukis();
    void pilnasInfo();
    void trumpasInfo_data();
    void trumpasInfo();
    void detalesIsInfo();
    void detalesSuBotais_data();
    void detalesSuBotais();
    void infoFiksacijos_data();
    void infoFiksacijos();
};

void TstA2S::uzklausos_data() {
    QTest::addColumn<QByteArray>("gauta");
    QTest::addColumn<QByteArray>("tiketasi");
    const QByteArray info = QByteArray("\xFF\xFF\xFF\xFFTSource Engine Query", 24) + '\0';
    QTest::newRow("info, no challenge") << A2SInfoUzklausa() << info;
    QTest::newRow("info, challenge") << A2SInfoUzklausa(0x04030201u) << info + QByteArray("\x01\x02\x03\x04", 4);
    QTest::newRow("players, none known") << A2SZaidejuUzklausa() << QByteArray("\xFF\xFF\xFF\xFFU\xFF\xFF\xFF\xFF", 9);
    QTest::newRow("players, challenge") << A2SZaidejuUzklausa(0xA1B2C3D4u)
                                        << QByteArray("\xFF\xFF\xFF\xFFU\xD4\xC3\xB2\xA1", 9);
    QTest::newRow("rules, none known") << A2STaisykliuUzklausa() << QByteArray("\xFF\xFF\xFF\xFFV\xFF\xFF\xFF\xFF", 9);
    QTest::newRow("rules, zero challenge") << A2STaisykliuUzklausa(0) << QByteArray("\xFF\xFF\xFF\xFFV\0\0\0\0", 9);
}

void TstA2S::uzklausos() {
    QFETCH(QByteArray, gauta);
    QFETCH(QByteArray, tiketasi);
    QCOMPARE(gauta.toHex(' '), tiketasi.toHex(' '));
}

void TstA2S::issukis_data() {
    QTest::addColumn<QByteArray>("datagrama");
    QTest::addColumn<bool>("yra");
    QTest::addColumn<quint32>("reiksme");
    QTest::newRow("four bytes") << QByteArray("\xFF\xFF\xFF\xFF"
                                              "A\x11\x22\x33\x44",
                                              9)
                                << true << 0x44332211u;
    QTest::newRow("trailing byte") << QByteArray("\xFF\xFF\xFF\xFF"
                                                 "A\x11\x22\x33\x44\x55",
                                                 10)
                                   << true << 0x44332211u;
    QTest::newRow("three bytes") << QByteArray("\xFF\xFF\xFF\xFF"
                                               "A\x11\x22\x33",
                                               8)
                                 << false << 0u;
    QTest::newRow("header only") << QByteArray("\xFF\xFF\xFF\xFF"
                                               "A",
                                               5)
                                 << false << 0u;
}

void TstA2S::issukis() {
    QFETCH(QByteArray, datagrama);
    QFETCH(bool, yra);
    QFETCH(quint32, reiksme);
    TAtminiesSrautas s = PoAntrastes(datagrama);
    const std::optional<TIssukis> c = SkaitytiIssuki(s);
    QCOMPARE(c.has_value(), yra);
    if (yra) {
        QCOMPARE(*c, reiksme);
        // Sent back, the bytes are those received.
        QCOMPARE(A2SZaidejuUzklausa(*c).mid(5), datagrama.mid(5, 4));
    }
}

void TstA2S::pilnasInfo() {
    TAtminiesSrautas s = PoAntrastes(PilnasInfo().b);
    const TA2SInfo i = SkaitytiInfo(s);
    QCOMPARE(i.Protokolas, quint8(48));
    QCOMPARE(i.Pavadinimas, QByteArray("Name"));
    QCOMPARE(i.Zemelapis, QByteArray("de_dust2"));
    QCOMPARE(i.Katalogas, QByteArray("cstrike"));
    QCOMPARE(i.Zaidimas, QByteArray("Counter-Strike"));
    QCOMPARE(i.AppId, qint16(10));
    QCOMPARE(i.Zaidejai, quint8(12));
    QCOMPARE(i.MaxZaideju, quint8(32));
    QCOMPARE(i.Botai, quint8(3));
    QCOMPARE(i.ServerioTipas, 'd');
    QCOMPARE(i.OS, 'l');
    QCOMPARE(i.Slaptazodis, quint8(1));
    QCOMPARE(i.VAC, quint8(1));
    QCOMPARE(i.Versija, QByteArray("1.1.2.7/Stdio"));
    QVERIFY(i.ArPapildomi);
    QCOMPARE(i.EDF, quint8(0xF1));
    QCOMPARE(i.ZaidimoPortas, quint16(27016));
    QCOMPARE(i.SteamId, 0x0123456789ABCDEFull);
    QCOMPARE(i.StebetojuPortas, quint16(27020));
    QCOMPARE(i.StebetojuVardas, QByteArray("HLTV"));
    QCOMPARE(i.Zymes, QByteArray("tags,here"));
    QCOMPARE(i.ZaidimoId, quint64(10));
    QCOMPARE(s.Likutis(), 0);
}

void TstA2S::trumpasInfo_data() {
    QTest::addColumn<int>("ilgis");
    const QByteArray pilnas = PilnasInfo().b;
    // Offsets: the version ends at 66, the flag byte is 66, the port 67-68, SteamID 69-76, ...
    QTest::newRow("ends after version") << int(pilnas.indexOf("1.1.2.7/Stdio") + 14);
    QTest::newRow("cut in the SteamID") << int(pilnas.indexOf("1.1.2.7/Stdio") + 14 + 1 + 2 + 3);
    QTest::newRow("cut in the name") << 7;
    QTest::newRow("header only") << 5;
}

void TstA2S::trumpasInfo() {
    QFETCH(int, ilgis);
    const QByteArray pilnas = PilnasInfo().b;
    TAtminiesSrautas visas = PoAntrastes(pilnas);
    const TA2SInfo tikras = SkaitytiInfo(visas);
    TAtminiesSrautas s = PoAntrastes(pilnas.left(ilgis));
    const TA2SInfo i = SkaitytiInfo(s);
    QVERIFY(s.Position() <= s.Size() + 1);
    // Whatever the cut reached is as in the whole reply; whatever it did not is cleared.
    if (ilgis >= 66) {
        QCOMPARE(i.Versija, tikras.Versija);
        QCOMPARE(i.ArPapildomi, ilgis > pilnas.indexOf("1.1.2.7/Stdio") + 14);
    }
    if (ilgis <= pilnas.indexOf("1.1.2.7/Stdio") + 14) {
        QVERIFY(!i.ArPapildomi);
        QCOMPARE(i.EDF, quint8(0));
    } else {
        QCOMPARE(i.ZaidimoPortas, tikras.ZaidimoPortas);
        QCOMPARE(i.SteamId, tikras.SteamId & 0xFFFFFFull); // three of its bytes
        QCOMPARE(i.StebetojuVardas, QByteArray());
        QCOMPARE(i.ZaidimoId, quint64(0));
    }
    if (ilgis == 7) {
        QCOMPARE(i.Pavadinimas, QByteArray("N"));
        QCOMPARE(i.Zemelapis, QByteArray());
        QCOMPARE(i.MaxZaideju, quint8(0));
    }
}

void TstA2S::detalesIsInfo() {
    TAtminiesSrautas s = PoAntrastes(PilnasInfo().b);
    const TA2SInfo i = SkaitytiInfo(s);
    const TDetales d = DetalesIsInfo(i, "10.0.0.5:27015");
    QCOMPARE(d.Info.Adresas, QByteArray("10.0.0.5:27015"));
    QCOMPARE(d.Info.Pavadinimas, i.Pavadinimas);
    QCOMPARE(d.Info.Zemelapis, i.Zemelapis);
    QCOMPARE(d.Info.Katalogas, i.Katalogas);
    QCOMPARE(d.Info.Zaidimas, i.Zaidimas);
    QCOMPARE(d.Zaidejai, quint8(12)); // bots count as players
    QCOMPARE(d.MaxZaideju, quint8(32));
    QCOMPARE(d.Protokolas, quint8(48));
    QCOMPARE(d.ServerioTipas, 'd');
    QCOMPARE(d.OS, 'l');
    QCOMPARE(d.Slaptazodis, quint8(1));
    QCOMPARE(d.Saugus, quint8(1));
    // Nothing the info reply lacks is made up.
    QCOMPARE(d.ArModas, quint8(0));
    QCOMPARE(d.MOD, TMODInfo{});
    QCOMPARE(d.MODVersija, 0);
    QCOMPARE(d.MODDydis, 0);
}

void TstA2S::detalesSuBotais_data() {
    QTest::addColumn<QString>("failas");
    QTest::addColumn<QByteArray>("pavadinimas");
    QTest::addColumn<int>("zaidejai");
    QTest::addColumn<int>("botai"); // -1: no bots byte
    QTest::newRow("m-1, proxy without bots byte") << u"m-1.bin"_s << QByteArray("Castle Mortimus:0") << 0 << -1;
    QTest::newRow("m-2") << u"m-2.bin"_s << QByteArray("ClanSC #3 - Engage [Logros]") << 0 << 0;
    QTest::newRow("m-3") << u"m-3.bin"_s << QByteArray("~UnconscionabLe~ l") << 7 << 0;
    QTest::newRow("m-4") << u"m-4.bin"_s << QByteArray("[YLK] Pro Public*") << 5 << 0;
    QTest::newRow("m-5") << u"m-5.bin"_s << QByteArray("Renegade Army `NoN-SteaM` [ragaming.org] [1000FPS]") << 23 << 0;
    QTest::newRow("m-6") << u"m-6.bin"_s << QByteArray("AcceleratedCS | Dust2 24/7 | Pub | Los Angeles") << 27 << 0;
    QTest::newRow("m-7, 26 bots") << u"m-7.bin"_s << QByteArray("-=Bloody Game - [Half-Life] [1000FPS]=-") << 26 << 26;
}

void TstA2S::detalesSuBotais() {
    QFETCH(QString, failas);
    QFETCH(QByteArray, pavadinimas);
    QFETCH(int, zaidejai);
    QFETCH(int, botai);
    const QByteArray d = Fiksacija(failas);
    if (d.isEmpty())
        QSKIP("the recorded datagram is not there");
    TAtminiesSrautas s = PoAntrastes(d);
    const TDetalesSuBotais r = SkaitytiDetalesSuBotais(s);
    QCOMPARE(r.Detales.Info.Pavadinimas, pavadinimas);
    QCOMPARE(int(r.Detales.Zaidejai), zaidejai);
    QCOMPARE(r.Botai.has_value(), botai >= 0);
    if (botai >= 0)
        QCOMPARE(int(*r.Botai), botai);
    // The same bytes through the legacy reader give the same record.
    TAtminiesSrautas s2 = PoAntrastes(d);
    QCOMPARE(SkaitytiDetales(s2), r.Detales);
}

void TstA2S::infoFiksacijos_data() {
    QTest::addColumn<QString>("failas");
    QTest::addColumn<QByteArray>("pavadinimas");
    QTest::addColumn<QByteArray>("zemelapis");
    QTest::addColumn<QByteArray>("katalogas");
    QTest::addColumn<QByteArray>("zaidimas");
    QTest::addColumn<int>("appId");
    QTest::addColumn<QList<int>>("skaiciai"); // players, max, bots, type, os, password, vac, EDF, port, spectator port
    QTest::addColumn<QByteArray>("versija");
    QTest::addColumn<quint64>("steamId");
    QTest::addColumn<quint64>("zaidimoId");

    QTest::newRow("I-1") << u"I-1.bin"_s << QByteArray("|SgK| CLASSIC 1000 FPS #1USA sgkclan.org  ")
                         << QByteArray("de_inferno") << QByteArray("cstrike") << QByteArray("|SgK| Clan") << 10
                         << QList<int>{23, 32, 2, 'd', 'l', 0, 1, 0x91, 27015, 0} << QByteArray("1.1.2.7/Stdio")
                         << quint64(90071992547409920ull) << quint64(10);
    QTest::newRow("I-2") << u"I-2.bin"_s << QByteArray("Renegade Army `NoN-SteaM` [ragaming.org] [1000FPS]")
                         << QByteArray("de_dust2") << QByteArray("cstrike") << QByteArray("www.ragaming.org") << 10
                         << QList<int>{23, 32, 0, 'd', 'w', 0, 1, 0x91, 27015, 0} << QByteArray("1.1.2.7/Stdio")
                         << quint64(10) << quint64(10);
    QTest::newRow("I-3, carriage return in version")
        << u"I-3.bin"_s << QByteArray("AcceleratedCS | Dust2 24/7 | Pub | Los Angeles") << QByteArray("de_dust2")
        << QByteArray("cstrike") << QByteArray("Acs-Gaming.com") << 10
        << QList<int>{27, 32, 0, 'd', 'l', 0, 1, 0x91, 27015, 0} << QByteArray("1.1.2.7\r/Stdio") << quint64(10)
        << quint64(10);
    QTest::newRow("I-4") << u"I-4.bin"_s << QByteArray("             Smokinguns Hideout") << QByteArray("de_prodigy_cz")
                         << QByteArray("czero") << QByteArray("Condition Zero") << 80
                         << QList<int>{26, 26, 0, 'd', 'w', 0, 1, 0x91, 27015, 0} << QByteArray("1.0.0.3")
                         << quint64(90094472659721216ull) << quint64(80);
    QTest::newRow("I-5") << u"I-5.bin"_s << QByteArray("24/7 [*XXL BabyGirl's -Dust2-* UPGRADED] // xxlgamers.net")
                         << QByteArray("de_dust2_cz") << QByteArray("czero") << QByteArray("WWW.XXLGAMERS.NET") << 80
                         << QList<int>{29, 32, 4, 'd', 'w', 0, 1, 0x91, 27015, 0} << QByteArray("1.0.0.3")
                         << quint64(90094492233148418ull) << quint64(80);
    QTest::newRow("I-6") << u"I-6.bin"_s << QByteArray("Merrill's Marauders | Caen 24/7 | www.475thrangers.com")
                         << QByteArray("dod_caen") << QByteArray("dod") << QByteArray("Day of Defeat") << 30
                         << QList<int>{16, 32, 4, 'd', 'w', 0, 1, 0x91, 27015, 0} << QByteArray("1.1.2.6")
                         << quint64(90094473234358277ull) << quint64(30);
    QTest::newRow("I-7") << u"I-7.bin"_s << QByteArray(" | Maniac Gungame | ~MG* || May Cause Seizures ||")
                         << QByteArray("dod_orange_2") << QByteArray("dod") << QByteArray("Day of Defeat") << 30
                         << QList<int>{13, 32, 0, 'd', 'w', 0, 1, 0x91, 27015, 0} << QByteArray("1.1.2.6")
                         << quint64(90094482672542725ull) << quint64(30);
    QTest::newRow("I-8, all bots") << u"I-8.bin"_s << QByteArray("-=Bloody Game - [Half-Life] [1000FPS]=-")
                                   << QByteArray("bounce") << QByteArray("valve") << QByteArray("VK.COM/BLOODYGAME")
                                   << 70 << QList<int>{26, 32, 26, 'd', 'l', 0, 1, 0x91, 27222, 0}
                                   << QByteArray("1.1.2.2/Stdio") << quint64(90071992547409920ull) << quint64(70);
    QTest::newRow("I-9, UTF-8 name, port only")
        << u"I-9.bin"_s << u"WAR3FT Пивка для Рывка 202 lvl [Steam Bonus]"_s.toUtf8() << QByteArray("cs_mansion")
        << QByteArray("cstrike") << QByteArray("Counter-Strike") << 10
        << QList<int>{31, 32, 0, 'd', 'l', 0, 1, 0x80, 27141, 0} << QByteArray("1.1.2.7/Stdio") << quint64(0)
        << quint64(0);
    QTest::newRow("I-10, proxy with spectator port")
        << u"I-10.bin"_s << QByteArray("Counter-Strike dedicated server:0") << QByteArray("as_oilrig")
        << QByteArray("cstrike") << QByteArray("hltv") << 10 << QList<int>{0, 127, 0, 'd', 'w', 0, 0, 0x51, 0, 27020}
        << QByteArray("1.1.2.6") << quint64(90126134187838470ull) << quint64(10);
}

void TstA2S::infoFiksacijos() {
    QFETCH(QString, failas);
    QFETCH(QByteArray, pavadinimas);
    QFETCH(QByteArray, zemelapis);
    QFETCH(QByteArray, katalogas);
    QFETCH(QByteArray, zaidimas);
    QFETCH(int, appId);
    QFETCH(QList<int>, skaiciai);
    QFETCH(QByteArray, versija);
    QFETCH(quint64, steamId);
    QFETCH(quint64, zaidimoId);
    const QByteArray d = Fiksacija(failas);
    if (d.isEmpty())
        QSKIP("the recorded datagram is not there");
    TAtminiesSrautas s(d);
    QCOMPARE(SkaitytiAntraste(s), kTipasInfo);
    const TA2SInfo i = SkaitytiInfo(s);
    QCOMPARE(i.Protokolas, quint8(48));
    QCOMPARE(i.Pavadinimas, pavadinimas);
    QCOMPARE(i.Zemelapis, zemelapis);
    QCOMPARE(i.Katalogas, katalogas);
    QCOMPARE(i.Zaidimas, zaidimas);
    QCOMPARE(int(i.AppId), appId);
    QCOMPARE(int(i.Zaidejai), skaiciai[0]);
    QCOMPARE(int(i.MaxZaideju), skaiciai[1]);
    QCOMPARE(int(i.Botai), skaiciai[2]);
    QCOMPARE(int(i.ServerioTipas), skaiciai[3]);
    QCOMPARE(int(i.OS), skaiciai[4]);
    QCOMPARE(int(i.Slaptazodis), skaiciai[5]);
    QCOMPARE(int(i.VAC), skaiciai[6]);
    QCOMPARE(i.Versija, versija);
    QVERIFY(i.ArPapildomi);
    QCOMPARE(int(i.EDF), skaiciai[7]);
    QCOMPARE(int(i.ZaidimoPortas), skaiciai[8]);
    QCOMPARE(int(i.StebetojuPortas), skaiciai[9]);
    QCOMPARE(i.StebetojuVardas, QByteArray());
    QCOMPARE(i.SteamId, steamId);
    QCOMPARE(i.ZaidimoId, zaidimoId);
    QCOMPARE(s.Likutis(), 0); // the reply read to its last byte
}

QTEST_APPLESS_MAIN(TstA2S)
#include "tst_a2s.moc"
