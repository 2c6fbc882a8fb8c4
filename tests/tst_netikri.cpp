// The judge of fake players: each kind of fake marked with its reason, each
// kind of real server never marked, the recorded servers (Xash3D FWGS's bots
// among them) judged real.
#include <QTest>

#include "A2S.h"
#include "Datagramos.h"
#include "Netikri.h"
#include "cstrike.h"

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TZvilgsnis)

namespace {

using TSarasas = QList<std::pair<QByteArray, float>>;

TZvilgsnis Zvilgsnis(int zaidejai, int max, const TSarasas& sarasas, qint64 ms = 0, int botai = 0) {
    TZvilgsnis z;
    z.LaikasMs = ms;
    z.Zaidejai = zaidejai;
    z.MaxZaideju = max;
    z.Botai = botai;
    z.AppId = 10;
    z.Protokolas = 48;
    for (const auto& [vardas, laikas] : sarasas) {
        z.Vardai.append(vardas);
        z.Laikai.append(laikas);
    }
    return z;
}

// `kiek` players named from `nuo`, their times from `laikas` on.
TSarasas Zaidejai(int kiek, int nuo = 0, float laikas = 100, float zingsnis = 37) {
    TSarasas r;
    for (int i = 0; i < kiek; ++i)
        r.append({"Player " + QByteArray::number(nuo + i), laikas + zingsnis * float(i)});
    return r;
}

// The same players `s` seconds later, as a real server lists them.
TSarasas Veliau(TSarasas sarasas, float s) {
    for (auto& [vardas, laikas] : sarasas)
        if (laikas >= 0)
            laikas += s;
    return sarasas;
}

} // namespace

class TstNetikri : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void teisejas_data();
    void teisejas();
    void fiksacijos();
};

void TstNetikri::teisejas_data() {
    QTest::addColumn<TZvilgsnis>("senas");
    QTest::addColumn<TZvilgsnis>("naujas");
    QTest::addColumn<int>("steam"); // -1: not from the Web API
    QTest::addColumn<int>("netikri");
    QTest::addColumn<int>("priezastis");
    using P = TNetikruPriezastis;
    const TSarasas dvylika = Zaidejai(12);
    QTest::newRow("names reshuffled") << Zvilgsnis(12, 20, dvylika) << Zvilgsnis(12, 20, Zaidejai(12, 100), 12000) << -1
                                      << 12 << int(P::Vardai);
    QTest::newRow("times frozen") << Zvilgsnis(12, 20, dvylika) << Zvilgsnis(12, 20, dvylika, 15000) << -1 << 12
                                  << int(P::Laikai);
    QTest::newRow("times reset") << Zvilgsnis(12, 20, Zaidejai(12, 0, 2, 1))
                                 << Zvilgsnis(12, 20, Zaidejai(12, 0, 1, 1), 15000) << -1 << 12 << int(P::Laikai);
    QTest::newRow("claims more than it lists")
        << Zvilgsnis(31, 32, Zaidejai(3)) << Zvilgsnis(31, 32, Veliau(Zaidejai(3), 12), 12000) << -1 << 28
        << int(P::Sarasas);
    QTest::newRow("more slots than the game")
        << Zvilgsnis(60, 64, Zaidejai(60)) << Zvilgsnis(60, 64, Veliau(Zaidejai(60), 12), 12000) << -1 << 28
        << int(P::Vietos);
    QTest::newRow("the Steam list says 1")
        << Zvilgsnis(20, 32, Zaidejai(20)) << Zvilgsnis(20, 32, Veliau(Zaidejai(20), 12), 12000) << 1 << 19
        << int(P::Steam);
    // Real servers: never marked.
    const TSarasas botuTrys{{"BOT Alpha", 50}, {"BOT Beta", 50}, {"BOT Gamma", 50}};
    QTest::newRow("declared bots") << Zvilgsnis(7, 16, Zaidejai(4) + botuTrys, 0, 3)
                                   << Zvilgsnis(7, 16, Veliau(Zaidejai(4), 15) + botuTrys, 15000, 3) << -1 << 0 << 0;
    const TSarasas xash = Zaidejai(2) + TSarasas{{"Alice", -1}, {"Bob", -1}, {"Carol", -1}, {"Dave2", -1}};
    QTest::newRow("Xash3D bots at -1.0 s")
        << Zvilgsnis(6, 8, xash, 0, 4) << Zvilgsnis(6, 8, Veliau(xash, 12), 12000, 4) << -1 << 0 << 0;
    QTest::newRow("a map change") << Zvilgsnis(12, 20, dvylika) << Zvilgsnis(12, 20, Veliau(dvylika, 40), 40000) << -1
                                  << 0 << 0;
    QTest::newRow("a full server") << Zvilgsnis(32, 32, Zaidejai(32))
                                   << Zvilgsnis(32, 32, Veliau(Zaidejai(32), 11), 11000) << -1 << 0 << 0;
    // One still connecting, one who left and came back.
    const TSarasas jungiasi = Veliau(Zaidejai(8), 10) + TSarasas{{"", 0}, {"Player 3", 2}};
    QTest::newRow("one player connecting, one back")
        << Zvilgsnis(9, 20, Zaidejai(9)) << Zvilgsnis(10, 20, jungiasi, 10000) << -1 << 0 << 0;
    const TSarasas kaita = Veliau(Zaidejai(10).mid(3), 20) + Zaidejai(3, 50, 4);
    QTest::newRow("a few come and go") << Zvilgsnis(10, 20, Zaidejai(10)) << Zvilgsnis(10, 20, kaita, 20000) << -1 << 0
                                       << 0;
    QTest::newRow("players hidden") << Zvilgsnis(10, 20, {}) << Zvilgsnis(10, 20, {}, 12000) << -1 << 0 << 0;
    QTest::newRow("the Steam list lags") << Zvilgsnis(12, 20, dvylika) << Zvilgsnis(12, 20, Veliau(dvylika, 12), 12000)
                                         << 9 << 0 << 0;
    QTest::newRow("one look only") << Zvilgsnis(12, 20, dvylika) << Zvilgsnis(12, 20, Zaidejai(12, 100), 5000) << -1
                                   << 0 << 0;
}

void TstNetikri::teisejas() {
    QFETCH(TZvilgsnis, senas);
    QFETCH(TZvilgsnis, naujas);
    QFETCH(int, steam);
    const TNetikruIvertis i = IvertintiNetikrus(senas, naujas, steam < 0 ? std::nullopt : std::optional<int>(steam));
    QTEST(i.Netikri, "netikri");
    QTEST(int(i.Priezastis), "priezastis");
}

void TstNetikri::fiksacijos() {
    // Each recorded server's info and players, looked at again 15 s later as
    // a real server answers then.
    const QList<std::pair<const char*, const char*>> poros{
        {"m-3.bin", "D-1.bin"},  {"m-4.bin", "D-2.bin"},  {"I-1.bin", "D-3.bin"},      {"I-2.bin", "D-4.bin"},
        {"I-3.bin", "D-6.bin"},  {"I-4.bin", "D-8.bin"},  {"I-5.bin", "D-9.bin"},      {"I-6.bin", "D-10.bin"},
        {"I-7.bin", "D-11.bin"}, {"I-8.bin", "D-12.bin"}, {"xash-I.bin", "xash-D.bin"}};
    for (const auto& [info, zaidejai] : poros) {
        const QByteArray i = Fiksacija(QString::fromLatin1(info));
        const QByteArray d = Fiksacija(QString::fromLatin1(zaidejai));
        if (i.isEmpty() || d.isEmpty())
            QSKIP("the recorded datagrams are not here");
        TZvilgsnis z;
        TAtminiesSrautas is = PoAntrastes(i);
        if (i.at(4) == 'm') {
            const TDetales det = SkaitytiDetales(is);
            z = Zvilgsnis(det.Zaidejai, det.MaxZaideju, {});
            z.Protokolas = det.Protokolas;
        } else {
            const TA2SInfo a = SkaitytiInfo(is);
            z = Zvilgsnis(a.Zaidejai, a.MaxZaideju, {}, 0, a.Botai);
            z.AppId = a.AppId;
            z.Protokolas = a.Protokolas;
        }
        TAtminiesSrautas ds = PoAntrastes(d);
        for (const TZaidejoInfo& p : SkaitytiZaidejus(ds)) {
            z.Vardai.append(p.Zaidejas.Vardas);
            z.Laikai.append(p.Zaidejas.Laikas);
        }
        TZvilgsnis veliau = z;
        veliau.LaikasMs = 15000;
        for (float& laikas : veliau.Laikai)
            laikas += laikas >= 0 ? 15 : 0;
        QVERIFY2(IvertintiNetikrus(z, veliau).Netikri == 0, zaidejai);
    }
}

QTEST_GUILESS_MAIN(TstNetikri)
#include "tst_netikri.moc"
