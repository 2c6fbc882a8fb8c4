// The browser's rows pinged through a hub of the test's own against test
// servers on loopback: the replies' figures and players replace the list's,
// the silent and the unreachable rows say so, and the pace is the one chosen;
// players and friends looked for among the rows.
#include <QSignalSpy>
#include <QTest>

#include "Centras.h"
#include "Draugai.h"
#include "InternetoSarasas.h"
#include "IvairusServeris.h"
#include "Narsykle.h"

using namespace Qt::StringLiterals;

namespace {

// The list as the Web API gives it for `serveriai`, its figures not the servers' own.
QList<TInternetoServeris> Sarasas(const std::vector<std::unique_ptr<TTestinisServeris>>& serveriai) {
    TTestinisSarasas api;
    QList<TSarasoIrasas> irasai;
    for (const auto& s : serveriai) {
        TServerioTurinys t = s->Turinys();
        t.Detales.Info.Pavadinimas = "As listed";
        t.Zaidejai.clear();
        irasai.append({u"127.0.0.1:%1"_s.arg(s->Prievadas()), s->Prievadas(), t});
    }
    irasai.append(FakeIPIrasas(0));
    api.NustatytiIrasus(irasai);
    return SkaitytiSarasa(api.Atsakymas(u"\\appid\\10"_s, 1000), 1000).Serveriai;
}

} // namespace

class TstNarsykle : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pingai();
    void greitis_data();
    void greitis();
    void lan();
    void zaidejuPaieska_data();
    void zaidejuPaieska();
};

void TstNarsykle::pingai() {
    std::vector<std::unique_ptr<TTestinisServeris>> serveriai;
    for (int i = 0; i < 10; ++i) {
        serveriai.push_back(IvairusServeris(i));
        QVERIFY(serveriai.back());
    }
    TCentras centras(0);
    TNarsyklesModelis modelis;
    TNarsyklesApklausa pingai(&centras, &modelis);
    modelis.NustatytiServerius(Sarasas(serveriai));
    QCOMPARE(modelis.Eilutes(), 11);
    pingai.NustatytiGreiti(0);
    QSignalSpy baigta(&pingai, &TNarsyklesApklausa::Baigta);
    pingai.Pradeti();
    QVERIFY(baigta.wait(TApklausa::kLaukimoRibaMs + 5000));
    QCOMPARE(pingai.Issiusta(), 10); // the FakeIP row never
    QCOMPARE(pingai.Atsake(), 9);

    for (int i = 0; i < 10; ++i) {
        const TServerioTurinys& tikras = serveriai[size_t(i)]->Turinys();
        const TNarsyklesEilute& e = modelis.Eilute(modelis.Rasti({u"127.0.0.1"_s, serveriai[size_t(i)]->Prievadas()}));
        if (IvairusTylus(i)) {
            QCOMPARE(e.Busena, TNarsyklesEilute::TBusena::Tyli);
            QCOMPARE(e.Serveris.Vardas, u"As listed"_s); // the list's figures stay
            QVERIFY(!e.PingoMs);
            continue;
        }
        QCOMPARE(e.Busena, TNarsyklesEilute::TBusena::Atsake);
        QCOMPARE(e.Serveris.Vardas, QString::fromUtf8(tikras.Detales.Info.Pavadinimas));
        QCOMPARE(e.Serveris.Zmones(), int(tikras.Zaidejai.size()) - tikras.Botai);
        QCOMPARE(e.Serveris.Botai, int(tikras.Botai));
        QVERIFY(e.Zaidejai);
        QCOMPARE(e.Zaidejai->split(u'\n', Qt::SkipEmptyParts).size(), tikras.Zaidejai.size());
        QCOMPARE(e.Slaptazodis, std::optional<bool>(tikras.Detales.Slaptazodis != 0));
        QVERIFY(e.PingoMs);
        QCOMPARE(modelis.data(modelis.index(modelis.Rasti(e.Serveris.Adresas), TNarsyklesModelis::Pingas),
                              TNarsyklesModelis::kRikiavimoRole),
                 QVariant(*e.PingoMs));
    }
    const TNarsyklesEilute& fakeIp = modelis.Eilute(10);
    QVERIFY(fakeIp.Serveris.FakeIP);
    QCOMPARE(fakeIp.Busena, TNarsyklesEilute::TBusena::Nepasiekiamas);
}

void TstNarsykle::greitis_data() {
    QTest::addColumn<int>("greitis");
    QTest::addColumn<qint64>("praejo");
    QTest::addColumn<int>("issiusta");
    QTest::newRow("600 a minute, at once") << 600 << qint64(0) << 1;
    QTest::newRow("600 a minute, not yet the second") << 600 << qint64(99) << 1;
    QTest::newRow("600 a minute, the second") << 600 << qint64(100) << 2;
    QTest::newRow("600 a minute, a late tick catches up") << 600 << qint64(450) << 5;
    QTest::newRow("5000 a minute, never past the rows") << 5000 << qint64(60000) << 20;
    QTest::newRow("unlimited") << 0 << qint64(0) << 20;
}

void TstNarsykle::greitis() {
    QFETCH(int, greitis);
    QFETCH(qint64, praejo);
    // Silent addresses will do: only the sends are counted.
    TCentras centras(0);
    TNarsyklesModelis modelis;
    qint64 laikas = 5000;
    TNarsyklesApklausa pingai(&centras, &modelis, [&laikas] { return laikas; });
    QList<TInternetoServeris> eilutes;
    for (int i = 0; i < 20; ++i) {
        TInternetoServeris s;
        s.Adresas = {u"127.0.0.1"_s, 9 + i};
        eilutes.append(s);
    }
    modelis.NustatytiServerius(eilutes);
    pingai.NustatytiGreiti(greitis);
    pingai.Pradeti();
    laikas += praejo;
    pingai.Zingsnis();
    QTEST(pingai.Issiusta(), "issiusta");
}

void TstNarsykle::lan() {
    // Servers that take broadcasts (bound to every address), one of them
    // wanting the challenge for A2S_INFO too; the search is broadcast on
    // loopback only.
    std::vector<std::unique_ptr<TTestinisServeris>> serveriai;
    QList<quint16> prievadai;
    for (int i = 0; i < 3; ++i) {
        serveriai.push_back(IvairusServeris(i, QHostAddress(QHostAddress::AnyIPv4), 0, i == 1));
        QVERIFY(serveriai.back());
        prievadai.append(serveriai.back()->Prievadas());
    }
    TCentras centras(0);
    QObject kontekstas;
    QList<TLanPaieska::TRadinys> rasti;
    bool baigta = false;
    centras.Lan()->Ieskoti(
        {QHostAddress(u"127.255.255.255"_s)}, prievadai, 1500, &kontekstas,
        [&rasti](const TLanPaieska::TRadinys& r) { rasti.append(r); }, [&baigta] { baigta = true; });
    QTRY_VERIFY_WITH_TIMEOUT(baigta, 5000);
    QCOMPARE(rasti.size(), 3);
    for (const auto& s : serveriai) {
        const auto r = std::find_if(rasti.cbegin(), rasti.cend(), [&s](const TLanPaieska::TRadinys& r) {
            return r.Adresas.Portas == s->Prievadas();
        });
        QVERIFY(r != rasti.cend());
        QCOMPARE(r->Adresas.Hostas, u"127.0.0.1"_s);
        QCOMPARE(r->Info.Pavadinimas, s->Turinys().Detales.Info.Pavadinimas);
    }
    QVERIFY(!centras.Lan()->ArIeskoma());
}

void TstNarsykle::zaidejuPaieska_data() {
    QTest::addColumn<QString>("zaidejas");
    QTest::addColumn<QString>("tekstas");
    QTest::addColumn<QString>("draugas");
    QTest::addColumn<QString>("rodomi");
    QTest::addColumn<QString>("patarimas"); // of the first row shown
    QTest::newRow("one server of many, another letter case")
        << u"BOB"_s << QString() << QString() << u"ac"_s << u"xXBobXx"_s;
    QTest::newRow("with the text filter") << u"bob"_s << u"c"_s << QString() << u"c"_s << QString();
    QTest::newRow("a friend on two servers") << QString() << QString() << u"alice"_s << u"acd"_s << u"Alice"_s;
}

void TstNarsykle::zaidejuPaieska() {
    TNarsyklesModelis modelis; // a and d list Alice, b Carol; c's players have not come yet
    TNarsyklesFiltras filtras(&modelis);
    QList<TInternetoServeris> eilutes(4);
    for (int i = 0; i < 4; ++i) {
        eilutes[i].Adresas = {u"10.0.0.1"_s, 27015 + i};
        eilutes[i].Vardas = QString(QChar(u'a' + i));
    }
    modelis.NustatytiServerius(eilutes);
    const QList<std::optional<QString>> zaidejai{u"Alice\nxXBobXx"_s, u"carol"_s, {}, u" ALICE "_s};
    for (int i = 0; i < 4; ++i)
        modelis.Keisti(i, [&](TNarsyklesEilute& e) { e.Zaidejai = zaidejai.at(i); });
    QFETCH(QString, zaidejas);
    QFETCH(QString, tekstas);
    QFETCH(QString, draugas);
    TNarsyklesSalygos s{tekstas, false, false, false, 0, false, zaidejas, {}};
    if (!draugas.isEmpty())
        s.Draugai.insert(TDraugai::Raktas(draugas));
    filtras.NustatytiSalygas(s);
    QString rodomi;
    for (int i = 0; i < filtras.rowCount(); ++i)
        rodomi += filtras.index(i, TNarsyklesModelis::Vardas).data().toString();
    QTEST(rodomi, "rodomi");
    QFETCH(QString, patarimas);
    QVERIFY(filtras.index(0, 0).data(Qt::ToolTipRole).toString().contains(patarimas));
}

QTEST_GUILESS_MAIN(TstNarsykle)
#include "tst_narsykle.moc"
