// The three server windows against servers of today (the Steam queries, with
// challenges and split replies) and against legacy servers, whose requests stay
// byte for byte the legacy ones; duplicated replies within one round; and a
// name service that never answers, which must not hold the watcher up.
#include <QHash>
#include <QTest>

#include "AtsakymuKurejas.h"
#include "RankinisServeris.h"
#include "ServeriuLangai.h"
#include "TestinisServeris.h"
#include "iphostport.h"

using namespace Qt::StringLiterals;

namespace {

template <typename T> T* Detaliu(const char* vardas) {
    return LangoValdiklis<T>(frmTaisykles(), vardas);
}

TServerioTurinys Turinys() {
    TServerioTurinys t;
    t.Detales.Info.Pavadinimas = "Today's server";
    t.Detales.Info.Zemelapis = "de_inferno";
    t.Detales.Info.Katalogas = "cstrike";
    t.Detales.Info.Zaidimas = "Counter-Strike";
    t.Detales.MaxZaideju = 20;
    t.Detales.Protokolas = 48;
    t.Detales.ServerioTipas = 'd';
    t.Detales.OS = 'w';
    t.Detales.Slaptazodis = 1;
    t.Detales.Saugus = 1;
    t.ZaidejuSkaicius = 5; // two spectators
    for (int i = 0; i < 3; ++i)
        t.Zaidejai.append(KurtiZaidejoInfo(0, "player" + QByteArray::number(i), i * 3, 60.0f * float(i + 1)));
    // Long enough for two fragments.
    for (int i = 0; i < 70; ++i)
        t.Taisykles.append({"rule_" + QByteArray::number(i), "value of rule " + QByteArray::number(i)});
    return t;
}

// A legacy request as it goes on the wire: four 0xFF bytes, the word, zeros to 256 bytes.
QByteArray SenaUzklausa(const QByteArray& zodis) {
    return QByteArray(4, '\xFF') + zodis + QByteArray(256 - 4 - zodis.size(), '\0');
}

QStringList Stulpeliai() {
    QStringList v;
    for (const char* m : {"memKomanda1", "memKomanda2"})
        v += Valdiklis<TMemo>(m)->Eilutes();
    v.sort();
    return v;
}

} // namespace

class TstA2SLangai : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void stebetojasSiandienos();
    void detalesSiandienos();
    void sarasasSiandienos();
    void senasServerisBaitai_data();
    void senasServerisBaitai();
    void dvigubiAtsakymai_data();
    void dvigubiAtsakymai();
    void dvigubasPingas();
    void xash();
    void paieskaNeatsako();

private:
    TTestinisServeris* Serveris(TServerioRezimas rezimas);
    QString Adresas() const { return serveris->Adresas().toString() + u':' + QString::number(serveris->Prievadas()); }
    // The requests received, one list per round; each request as its type:
    // the legacy word or the Steam letter.
    QList<QList<QByteArray>> Raundai() const;

    TStebetojoAplinka aplinka;
    TTestinisServeris* serveris = nullptr;
};

void TstA2SLangai::initTestCase() {
    QVERIFY(aplinka.Paruosti());
    QVERIFY(aplinka.Paleisti());
}

void TstA2SLangai::cleanupTestCase() {
    aplinka.Baigti();
}

void TstA2SLangai::init() {
    aplinka.pranesimai.clear();
    aplinka.netikrasLaikrodis = false;
    Valdiklis<TTybCheckBox>("chkKeistiHosta")->setChecked(false);
    Valdiklis<TLaikmatis>("tmrAtnaujinimas")->setIntervalas(5000);
    Valdiklis<QLineEdit>("edtHostas")->clear();
    Kviesti(frmPagrindinis(), "IsvalytiLenta");
}

void TstA2SLangai::cleanup() {
    frmServeriai()->hide();
    frmTaisykles()->hide();
    Valdiklis<QLineEdit>("edtHostas")->clear();
    delete serveris;
    serveris = nullptr;
    NustatytiPaieska({});
    QTest::qWait(20);
}

TTestinisServeris* TstA2SLangai::Serveris(TServerioRezimas rezimas) {
    serveris = new TTestinisServeris;
    if (!serveris->Paleisti())
        return nullptr;
    serveris->NustatytiTurini(Turinys());
    TServerioElgsena e;
    e.Rezimas = rezimas;
    serveris->NustatytiElgsena(e);
    return serveris;
}

QList<QList<QByteArray>> TstA2SLangai::Raundai() const {
    QList<QList<QByteArray>> raundai;
    bool suInfo = false; // the round being read has its info request
    for (const TGautaUzklausa& u : serveris->Uzklausos()) {
        const char raide = u.Baitai.size() > 4 ? u.Baitai.at(4) : 0;
        // A round opens with "ping" (a legacy or unknown server) or, to a
        // server of today, with its info request.
        if (u.Zodis == "ping" || raundai.isEmpty() || (raide == 'T' && suInfo)) {
            raundai.append(QList<QByteArray>());
            suInfo = false;
        }
        suInfo = suInfo || raide == 'T';
        if (raide == 'T' || raide == 'U' || raide == 'V')             // a Steam request: its last four bytes
            raundai.last().append(raide + u.Baitai.right(4).toHex()); // tell a first ask from a challenge answer
        else
            raundai.last().append(u.Zodis);
    }
    return raundai;
}

void TstA2SLangai::stebetojasSiandienos() {
    // What users meet: the watcher fills in from the Steam replies in the first
    // round and refreshes; no request goes twice in a round.
    QVERIFY(Serveris(TServerioRezimas::Modernus));
    Valdiklis<TLaikmatis>("tmrAtnaujinimas")->setIntervalas(1500);
    frmPagrindinis()->Stebeti(Adresas());
    QTRY_VERIFY_WITH_TIMEOUT(Stulpeliai().size() == 3 && !Valdiklis<QLabel>("lblStebetojai")->text().isEmpty(), 3000);
    QCOMPARE(Raundai().size(), 1);
    QCOMPARE(Valdiklis<QLabel>("lblServerioPavadinimas")->text(), u"Today's server"_s);
    QCOMPARE(Valdiklis<QLabel>("lblZemelapis")->text(), u"de_inferno"_s);
    QCOMPARE(Valdiklis<QLabel>("lblZaidejaiSK")->text(), u"5/20"_s);
    QCOMPARE(Valdiklis<QLabel>("lblStebetojai")->text(), u"2"_s);
    QCOMPARE(Stulpeliai(), (QStringList{u"player0"_s, u"player1"_s, u"player2"_s}));
    bool arSkaicius = false;
    Valdiklis<QLabel>("lblPingas1")->text().toInt(&arSkaicius);
    QVERIFY(arSkaicius);

    // The next rounds: the server is known, the Steam queries go with its challenge at once.
    QTRY_VERIFY_WITH_TIMEOUT(Raundai().size() >= 3, 6000);
    QTest::qWait(300);
    const QList<QList<QByteArray>> raundai = Raundai();
    for (int r = 0; r < raundai.size(); ++r) {
        QHash<QByteArray, int> kartai;
        for (const QByteArray& u : raundai.at(r))
            QVERIFY2(++kartai[u] == 1, qPrintable(u"round %1 sent %2 twice"_s.arg(r).arg(QString::fromLatin1(u))));
        if (r >= 1 && r + 1 < raundai.size())
            QCOMPARE(raundai.at(r).size(), 2); // info and players, the challenge known
    }
    QCOMPARE(Stulpeliai().size(), 3);
    QVERIFY(aplinka.pranesimai.isEmpty());
}

void TstA2SLangai::detalesSiandienos() {
    QVERIFY(Serveris(TServerioRezimas::Modernus));
    Langas(u"details"_s).Pradeti(Adresas());
    QTRY_COMPARE_WITH_TIMEOUT(Detaliu<TTinklelis>("stgTaisykles")->Langelis(0, 70), u"rule_69"_s, 3000);
    QTRY_VERIFY_WITH_TIMEOUT(Detaliu<QLabel>("lblSaugus")->text().endsWith(u": 1"_s), 3000);
    for (int i = 0; i < 70; ++i)
        QCOMPARE(Detaliu<TTinklelis>("stgTaisykles")->Langelis(1, i + 1), u"value of rule "_s + QString::number(i));
    const TKalba& k = frmPagrindinis()->Kalba();
    const auto etikete = [&](QLabel* l, const QString& reiksme) -> QString {
        return k.Tekstas("frmTaisykles", l->objectName().toLatin1().constData()) + u": "_s + reiksme;
    };
    QCOMPARE(Detaliu<QLabel>("lblAdresas")->text(), etikete(Detaliu<QLabel>("lblAdresas"), Adresas()));
    QCOMPARE(Detaliu<QLabel>("lblServeris")->text(), etikete(Detaliu<QLabel>("lblServeris"), u"Today's server"_s));
    QCOMPARE(Detaliu<QLabel>("lblZaidejaiAktyvus")->text(), etikete(Detaliu<QLabel>("lblZaidejaiAktyvus"), u"5"_s));
    QCOMPARE(Detaliu<QLabel>("lblProtokoloVersija")->text(), etikete(Detaliu<QLabel>("lblProtokoloVersija"), u"48"_s));
    QCOMPARE(Detaliu<QLabel>("lblServerioTipas")->text(),
             etikete(Detaliu<QLabel>("lblServerioTipas"), k.Tekstas("frmTaisykles", "Dedikuotas")));
    QCOMPARE(Detaliu<QLabel>("lblOSTipas")->text(), etikete(Detaliu<QLabel>("lblOSTipas"), u"Windows"_s));
    QCOMPARE(Detaliu<QLabel>("lblSlaptazodis")->text(),
             etikete(Detaliu<QLabel>("lblSlaptazodis"), k.Tekstas("frmTaisykles", "Yra")));
    // What the info reply does not carry stays empty.
    for (QLabel* l : {Detaliu<QLabel>("lblModas"), Detaliu<QLabel>("lblSvetaine"), Detaliu<QLabel>("lblFTPServeris"),
                      Detaliu<QLabel>("lblMODVersija"), Detaliu<QLabel>("lblMODDydis"),
                      Detaliu<QLabel>("lblTikServerioMod"), Detaliu<QLabel>("lblArReikiaTavoDll")})
        QCOMPARE(l->text(), etikete(l, QString()));
    QVERIFY(aplinka.pranesimai.isEmpty());
}

void TstA2SLangai::sarasasSiandienos() {
    QVERIFY(Serveris(TServerioRezimas::Modernus));
    Langas(u"server list"_s).Pradeti(Adresas());
    auto* tinklelis = frmServeriai()->findChild<TTinklelioVaizdas*>(u"stgServeriai"_s);
    QTRY_VERIFY_WITH_TIMEOUT(!tinklelis->Langelis(5, 1).isEmpty(), 5000);
    QCOMPARE(tinklelis->Langelis(2, 1), u"Today's server"_s);
    QCOMPARE(tinklelis->Langelis(3, 1), u"de_inferno"_s);
    QCOMPARE(tinklelis->Langelis(4, 1), u"5/20"_s);
    bool arSkaicius = false;
    const int pingas = tinklelis->Langelis(5, 1).toInt(&arSkaicius);
    QVERIFY(arSkaicius);
    QVERIFY2(pingas < 1000, "the round trip of the Steam reply, not the wait before it");
    QVERIFY(aplinka.pranesimai.isEmpty());
}

void TstA2SLangai::senasServerisBaitai_data() {
    QTest::addColumn<QString>("langas");
    QTest::addColumn<QByteArrayList>("zodziai");
    QTest::newRow("watcher") << u"watcher"_s << QByteArrayList{"ping", "players", "details"};
    QTest::newRow("server list") << u"server list"_s << QByteArrayList{"details"};
    QTest::newRow("details") << u"details"_s << QByteArrayList{"details", "rules"};
}

void TstA2SLangai::senasServerisBaitai() {
    // A server that answers the legacy words gets exactly the legacy datagrams,
    // with A2S_INFO after them in the first round (while its dialect is
    // unknown), and nothing else once its answers came.
    QFETCH(QString, langas);
    QFETCH(QByteArrayList, zodziai);
    QVERIFY(Serveris(TServerioRezimas::Senas));
    const TLangas l = Langas(langas);
    l.Pradeti(Adresas());
    QTRY_COMPARE_WITH_TIMEOUT(l.Rodoma().contains(u"Today's server"_s), true, 3000);
    QTest::qWait(1300);
    QByteArrayList gauta;
    for (const TGautaUzklausa& u : serveris->Uzklausos())
        gauta.append(u.Baitai);
    QByteArrayList tiketina;
    for (const QByteArray& z : zodziai)
        tiketina.append(SenaUzklausa(z));
    tiketina.append(A2SInfoUzklausa());
    QCOMPARE(gauta, tiketina);
}

void TstA2SLangai::dvigubiAtsakymai_data() {
    QTest::addColumn<TServerioRezimas>("rezimas");
    QTest::newRow("legacy server") << TServerioRezimas::Senas;
    QTest::newRow("server of today") << TServerioRezimas::Modernus;
    QTest::newRow("proxy") << TServerioRezimas::Tarpinis;
    QTest::newRow("Xash3D FWGS: \"ack\" for \"ping\"") << TServerioRezimas::Xash;
}

void TstA2SLangai::dvigubiAtsakymai() {
    // Every reply comes twice: the scoreboard lists each player once and the
    // spectators are counted against the one players reply.
    QFETCH(TServerioRezimas, rezimas);
    QVERIFY(Serveris(rezimas));
    TServerioElgsena e = serveris->Elgsena();
    e.DvigubiAtsakymai = -1;
    serveris->NustatytiElgsena(e);
    frmPagrindinis()->Stebeti(Adresas());
    QTRY_VERIFY_WITH_TIMEOUT(Stulpeliai().size() >= 3 && !Valdiklis<QLabel>("lblStebetojai")->text().isEmpty(), 3000);
    QTest::qWait(200);
    QCOMPARE(Stulpeliai(), (QStringList{u"player0"_s, u"player1"_s, u"player2"_s}));
    QCOMPARE(Valdiklis<QLabel>("lblStebetojai")->text(), u"2"_s);
    QVERIFY(aplinka.pranesimai.isEmpty());
}

void TstA2SLangai::dvigubasPingas() {
    // The round trip stops at the first 'j': a second one much later changes nothing.
    aplinka.netikrasLaikrodis = true;
    aplinka.netikrasLaikas = 50000;
    TRankinisServeris rankinis;
    QVERIFY(PradetiPrieRankinio(Langas(u"watcher"_s), rankinis));
    aplinka.netikrasLaikas += 40;
    rankinis.Siusti(KurtiPingoAtsakyma());
    QTRY_COMPARE_WITH_TIMEOUT(Valdiklis<QLabel>("lblPingas1")->text(), u"40"_s, 3000);
    aplinka.netikrasLaikas += 700;
    rankinis.Siusti(KurtiPingoAtsakyma());
    rankinis.Siusti(KurtiTekstoAtsakyma("marker", "")); // handled after the second 'j'
    QTRY_VERIFY_WITH_TIMEOUT(!aplinka.pranesimai.isEmpty(), 3000);
    QCOMPARE(Valdiklis<QLabel>("lblPingas1")->text(), u"40"_s);
    QCOMPARE(Valdiklis<QLabel>("lblPingas2")->text(), u"40"_s);
}

void TstA2SLangai::paieskaNeatsako() {
    // A name service that never answers: the details reply still shows the
    // polled address at once, and the refresh keeps its period.
    QList<TPaieskosPabaiga> laukiancios;
    NustatytiPaieska([&](const QString&, QObject*, TPaieskosPabaiga baigta) { laukiancios.append(baigta); });
    QVERIFY(Serveris(TServerioRezimas::Senas));
    Valdiklis<TTybCheckBox>("chkKeistiHosta")->setChecked(true);
    Valdiklis<TLaikmatis>("tmrAtnaujinimas")->setIntervalas(300);
    frmPagrindinis()->Stebeti(Adresas());
    QTRY_COMPARE_WITH_TIMEOUT(Valdiklis<QLabel>("lblServerioPavadinimas")->text(), u"Today's server"_s, 3000);
    QTRY_VERIFY_WITH_TIMEOUT(!laukiancios.isEmpty(), 3000); // the reverse lookup of "change the host"
    // Three legacy requests a round: the server's budget spaces 300 ms out to 1.25 s.
    QCOMPARE(Valdiklis<TLaikmatis>("tmrAtnaujinimas")->interval(), 1250);
    const qsizetype pries = Raundai().size();
    QTRY_VERIFY_WITH_TIMEOUT(Raundai().size() >= pries + 2, 3000); // two refreshes of 1.25 s
    QCOMPARE(Valdiklis<QLineEdit>("edtHostas")->text(), Adresas());

    // The bar shows the polled address although the name never came.
    auto* juosta = Valdiklis<TApatineJuosta>("imgApacia");
    TPaveiksliukas tiketinas;
    tiketinas.setFont(juosta->font());
    tiketinas.Drobe() = QImage(781, 25, QImage::Format_RGB32);
    tiketinas.Drobe().fill(Qt::black);
    TApatineJuosta::NupiestiPunkta(tiketinas, 285, 2, 500, 21, 60, Adresas());
    QCOMPARE(juosta->Vaizdas().copy(285, 2, 215, 19), tiketinas.Vaizdas().copy(285, 2, 215, 19));
    Valdiklis<QLineEdit>("edtHostas")->clear();
}

void TstA2SLangai::xash() {
    // Xash3D FWGS with no one playing: A2S_PLAYER never answered, round after
    // round, and no message box.
    QVERIFY(Serveris(TServerioRezimas::Xash));
    TServerioTurinys t = Turinys();
    t.Zaidejai.clear();
    t.ZaidejuSkaicius = 0;
    serveris->NustatytiTurini(t);
    Valdiklis<TLaikmatis>("tmrAtnaujinimas")->setIntervalas(1500);
    frmPagrindinis()->Stebeti(Adresas());
    QTRY_VERIFY_WITH_TIMEOUT(Raundai().size() >= 3, 8000);
    QCOMPARE(Valdiklis<QLabel>("lblServerioPavadinimas")->text(), u"Today's server"_s);
    QVERIFY2(aplinka.pranesimai.isEmpty(), qPrintable(aplinka.pranesimai.join(u'|')));
}

QTEST_MAIN(TstA2SLangai)
#include "tst_a2s_langai.moc"
