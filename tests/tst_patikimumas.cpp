// The server windows on a network that loses datagrams and against servers
// that limit queries: a lost reply of each kind asked again within its round,
// a lost 'j' at the default period, refreshes that never blank the scoreboard,
// a budgeted server that drops nothing, a list of many servers with dead ones
// polled side by side, and a second start that goes straight to the Steam
// queries with what the first one learnt.
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

#include "Apklausa.h"
#include "Atmintis.h"
#include "AtsakymuKurejas.h"
#include "ServeriuLangai.h"
#include "StebetojoAplinka.h"
#include "TestinisServeris.h"
#include "Pagalba.h"

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TServerioRezimas)

namespace {

TServerioTurinys Turinys(const QByteArray& vardas) {
    TServerioTurinys t;
    t.Detales.Info.Pavadinimas = vardas;
    t.Detales.Info.Zemelapis = "de_nuke";
    t.Detales.Info.Katalogas = "cstrike";
    t.Detales.Info.Zaidimas = "Counter-Strike";
    t.Detales.MaxZaideju = 16;
    t.Detales.Protokolas = 47;
    t.Detales.ServerioTipas = 'd';
    t.Detales.OS = 'l';
    t.ZaidejuSkaicius = 5; // three listed, two spectators
    for (int i = 0; i < 3; ++i)
        t.Zaidejai.append(KurtiZaidejoInfo(0, "p" + QByteArray::number(i), i, 30.0f * float(i + 1)));
    for (int i = 0; i < 60; ++i) // long enough for a split reply
        t.Taisykles.append({"rule_" + QByteArray::number(i), "value " + QByteArray::number(i)});
    return t;
}

// The watcher's scoreboard, part by part; a part is whole when not empty.
struct TLenta {
    QString Vardas, Zemelapis, Skaiciai, Pingas, Stebetojai;
    QStringList Stulpeliai;
    static TLenta Dabar() {
        TLenta l;
        l.Vardas = Valdiklis<QLabel>("lblServerioPavadinimas")->text();
        l.Zemelapis = Valdiklis<QLabel>("lblZemelapis")->text();
        l.Skaiciai = Valdiklis<QLabel>("lblZaidejaiSK")->text();
        l.Pingas = Valdiklis<QLabel>("lblPingas1")->text();
        l.Stebetojai = Valdiklis<QLabel>("lblStebetojai")->text();
        for (const char* m : {"memKomanda1", "memKomanda2"})
            l.Stulpeliai += Valdiklis<TMemo>(m)->Eilutes();
        return l;
    }
    // Every part shows, the round trip as a number.
    QString Truksta() const {
        bool skaicius = false;
        Pingas.toInt(&skaicius);
        if (Vardas.isEmpty() || Zemelapis.isEmpty() || Skaiciai.isEmpty() || Stebetojai.isEmpty())
            return u"details"_s;
        if (Stulpeliai.size() != 3)
            return u"players"_s;
        if (!skaicius)
            return u"ping: "_s + Pingas;
        return QString();
    }
};

// How many requests of a kind (a legacy word or a Steam letter) the server got.
int Kartai(const TTestinisServeris& s, const QByteArray& rusis) {
    int n = 0;
    for (const TGautaUzklausa& u : s.Uzklausos())
        n += TTestinisServeris::UzklausosRusis(u.Zodis, u.Baitai) == rusis ? 1 : 0;
    return n;
}

// What the program knows of a server once it has polled it (a legacy server
// that is not known yet is not asked its legacy words again before it has
// answered one: they would only cost a server of today its budget).
void Pazinti(const TTestinisServeris& s, TServerioRezimas rezimas) {
    const bool a2s = rezimas == TServerioRezimas::Modernus;
    ProgramosCentras()->Registras().Nustatyti(Adresas(s),
                                              TServerioZinios{a2s ? TDialektas::A2S : TDialektas::Senas,
                                                              a2s ? std::optional<TIssukis>(s.Issukis()) : std::nullopt,
                                                              5, QDateTime::currentMSecsSinceEpoch()});
}

// Runs the event loop until `salyga` holds, looking at it every millisecond
// (QTRY looks every 50 ms: too coarse to time a round trip).
bool LauktiTiksliai(const std::function<bool()>& salyga, int ms) {
    QElapsedTimer laikas;
    laikas.start();
    while (!salyga() && laikas.elapsed() < ms) {
        QEventLoop ciklas;
        QTimer::singleShot(1, Qt::PreciseTimer, &ciklas, &QEventLoop::quit);
        ciklas.exec();
    }
    return salyga();
}

} // namespace

class TstPatikimumas : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void prarastasAtsakymas_data();
    void prarastasAtsakymas();
    void prarastasPingasNumatytuLaiku();
    void atnaujinimasNeistrina_data();
    void atnaujinimasNeistrina();
    void ribojamasServeris();
    void sarasasSuNeatsakanciais();
    void antrasPaleidimas_data();
    void antrasPaleidimas();

private:
    TTestinisServeris* Serveris(TServerioRezimas rezimas, const QByteArray& vardas = "Steady");

    TStebetojoAplinka aplinka;
    std::vector<std::unique_ptr<TTestinisServeris>> serveriai;
};

void TstPatikimumas::initTestCase() {
    QVERIFY(aplinka.Paruosti());
    QVERIFY(aplinka.Paleisti());
}

void TstPatikimumas::cleanupTestCase() {
    aplinka.Baigti();
}

void TstPatikimumas::init() {
    aplinka.pranesimai.clear();
    Valdiklis<TLaikmatis>("tmrAtnaujinimas")->setIntervalas(5000);
    Valdiklis<QLineEdit>("edtHostas")->clear();
    Kviesti(frmPagrindinis(), "IsvalytiLenta");
}

void TstPatikimumas::cleanup() {
    frmServeriai()->hide();
    frmTaisykles()->hide();
    Valdiklis<QLineEdit>("edtHostas")->clear(); // stops the watcher's refresh
    QTest::qWait(20);
    serveriai.clear();
}

TTestinisServeris* TstPatikimumas::Serveris(TServerioRezimas rezimas, const QByteArray& vardas) {
    serveriai.push_back(std::make_unique<TTestinisServeris>());
    TTestinisServeris* s = serveriai.back().get();
    if (!s->Paleisti())
        return nullptr;
    s->NustatytiTurini(Turinys(vardas));
    TServerioElgsena e;
    e.Rezimas = rezimas;
    s->NustatytiElgsena(e);
    return s;
}

void TstPatikimumas::prarastasAtsakymas_data() {
    QTest::addColumn<QString>("langas");
    QTest::addColumn<TServerioRezimas>("rezimas");
    QTest::addColumn<QByteArray>("rusis"); // the request whose first reply is lost
    const auto senas = TServerioRezimas::Senas, siandienos = TServerioRezimas::Modernus;
    QTest::newRow("watcher, legacy: 'j'") << u"watcher"_s << senas << QByteArray("ping");
    QTest::newRow("watcher, legacy: players") << u"watcher"_s << senas << QByteArray("players");
    QTest::newRow("watcher, legacy: details") << u"watcher"_s << senas << QByteArray("details");
    QTest::newRow("watcher, of today: players") << u"watcher"_s << siandienos << QByteArray("U");
    QTest::newRow("watcher, of today: info") << u"watcher"_s << siandienos << QByteArray("T");
    QTest::newRow("list, legacy: details") << u"server list"_s << senas << QByteArray("details");
    QTest::newRow("list, of today: info") << u"server list"_s << siandienos << QByteArray("T");
    QTest::newRow("details window, legacy: details") << u"details"_s << senas << QByteArray("details");
    QTest::newRow("details window, legacy: rules") << u"details"_s << senas << QByteArray("rules");
    QTest::newRow("details window, of today: info") << u"details"_s << siandienos << QByteArray("T");
    QTest::newRow("details window, of today: rules") << u"details"_s << siandienos << QByteArray("V");
}

void TstPatikimumas::prarastasAtsakymas() {
    // The reply is asked again after the retry interval and shown within the
    // round, long before its time-out.
    QFETCH(QString, langas);
    QFETCH(TServerioRezimas, rezimas);
    QFETCH(QByteArray, rusis);
    TTestinisServeris* s = Serveris(rezimas);
    QVERIFY(s);
    TServerioElgsena e = s->Elgsena();
    e.PamestiAtsakymai.insert(rusis, 1);
    s->NustatytiElgsena(e);
    Pazinti(*s, rezimas);
    QElapsedTimer laikas;
    laikas.start();
    Langas(langas).Pradeti(Adresas(*s));
    if (langas == u"watcher"_s) {
        QTRY_VERIFY2_WITH_TIMEOUT(TLenta::Dabar().Truksta().isEmpty(), qPrintable(TLenta::Dabar().Truksta()), 3000);
        QCOMPARE(TLenta::Dabar().Stebetojai, u"2"_s);
    } else if (langas == u"server list"_s) {
        auto* g = frmServeriai()->findChild<TTinklelioVaizdas*>(u"stgServeriai"_s);
        QTRY_COMPARE_WITH_TIMEOUT(g->Langelis(2, 1), u"Steady"_s, 3000);
        bool skaicius = false;
        g->Langelis(5, 1).toInt(&skaicius);
        QVERIFY2(skaicius, qPrintable(g->Langelis(5, 1)));
    } else {
        auto* g = frmTaisykles()->findChild<TTinklelis*>(u"stgTaisykles"_s);
        auto* vardas = frmTaisykles()->findChild<QLabel*>(u"lblServeris"_s);
        QTRY_VERIFY_WITH_TIMEOUT(vardas->text().endsWith(u"Steady"_s) && g->Langelis(0, 60) == u"rule_59"_s, 3000);
    }
    QVERIFY2(laikas.elapsed() < TApklausa::kLaukimoRibaMs, qPrintable(QString::number(laikas.elapsed())));
    QCOMPARE(Kartai(*s, rusis), 2);
    QVERIFY(aplinka.pranesimai.isEmpty());
}

void TstPatikimumas::prarastasPingasNumatytuLaiku() {
    // At the default period of 5 s one lost 'j' costs nothing: the 'j' is
    // asked again, and the refresh goes on.
    TTestinisServeris* s = Serveris(TServerioRezimas::Senas);
    QVERIFY(s);
    TServerioElgsena e = s->Elgsena();
    e.PamestiAtsakymai.insert("ping", 1);
    s->NustatytiElgsena(e);
    frmPagrindinis()->Stebeti(Adresas(*s));
    QTRY_VERIFY_WITH_TIMEOUT(TLenta::Dabar().Truksta().isEmpty(), 3000);
    QCOMPARE(Kartai(*s, "ping"), 2);
    // The next refresh's round: asked and answered, the refresh still on.
    QTRY_VERIFY_WITH_TIMEOUT(Kartai(*s, "ping") == 3, 7000);
    QVERIFY(Valdiklis<TLaikmatis>("tmrAtnaujinimas")->Enabled());
    QTRY_VERIFY_WITH_TIMEOUT(!Valdiklis<QTimer>("tmrPingas")->isActive(), 3000);
    QVERIFY(TLenta::Dabar().Truksta().isEmpty());
    QVERIFY(Valdiklis<TLaikmatis>("tmrAtnaujinimas")->Enabled());
}

void TstPatikimumas::atnaujinimasNeistrina_data() {
    QTest::addColumn<TServerioRezimas>("rezimas");
    QTest::newRow("legacy server") << TServerioRezimas::Senas;
    QTest::newRow("server of today") << TServerioRezimas::Modernus;
}

void TstPatikimumas::atnaujinimasNeistrina() {
    // A server 150 ms away refreshed every second, looked at every 100 ms: no
    // part of the scoreboard is ever empty between its replies.
    QFETCH(TServerioRezimas, rezimas);
    TTestinisServeris* s = Serveris(rezimas);
    QVERIFY(s);
    TServerioElgsena e = s->Elgsena();
    e.DelsaMs = 150;
    s->NustatytiElgsena(e);
    Valdiklis<TLaikmatis>("tmrAtnaujinimas")->setIntervalas(1000);
    frmPagrindinis()->Stebeti(Adresas(*s));
    QTRY_VERIFY_WITH_TIMEOUT(TLenta::Dabar().Truksta().isEmpty(), 5000);
    const qsizetype pries = s->Uzklausos().size();
    for (int ziurejimas = 0; ziurejimas < 30; ++ziurejimas) {
        QTest::qWait(100);
        const QString truksta = TLenta::Dabar().Truksta();
        QVERIFY2(truksta.isEmpty(), qPrintable(u"look %1: %2"_s.arg(ziurejimas).arg(truksta)));
    }
    QVERIFY(s->Uzklausos().size() >= pries + 4); // refreshed meanwhile
    QCOMPARE(TLenta::Dabar().Stulpeliai.size(), 3);
}

void TstPatikimumas::ribojamasServeris() {
    // A server of today that takes 3 datagrams a second over 10 s, watched at
    // a 1 s refresh: it never drops one, and the scoreboard stays whole.
    TTestinisServeris* s = Serveris(TServerioRezimas::Modernus);
    QVERIFY(s);
    TServerioElgsena e = s->Elgsena();
    e.GreicioRiba = 3;
    e.GreicioLangasS = 10;
    s->NustatytiElgsena(e);
    Valdiklis<TLaikmatis>("tmrAtnaujinimas")->setIntervalas(1000);
    frmPagrindinis()->Stebeti(Adresas(*s));
    QTRY_VERIFY_WITH_TIMEOUT(TLenta::Dabar().Truksta().isEmpty(), 5000);
    // A whole window of the server's limit and more, at its pace.
    QTRY_VERIFY_WITH_TIMEOUT(s->Uzklausos().size() >= 30, 20000);
    QCOMPARE(s->Apriboti(), 0);
    QVERIFY(TLenta::Dabar().Truksta().isEmpty());
    QVERIFY(Valdiklis<TLaikmatis>("tmrAtnaujinimas")->Enabled());
}

void TstPatikimumas::sarasasSuNeatsakanciais() {
    // 30 servers of today, every sixth silent: the live rows fill at once side
    // by side, the silent ones show their time-out holding up no other row,
    // and every row is asked again the next period.
    QByteArray failas = "Address\r\n";
    QList<TTestinisServeris*> gyvi, negyvi;
    for (int i = 1; i <= 30; ++i) {
        TTestinisServeris* s = Serveris(TServerioRezimas::Modernus, "Live " + QByteArray::number(i));
        QVERIFY(s);
        if (i % 6 == 3) {
            TServerioElgsena e = s->Elgsena();
            e.Budas = TAtsakymuBudas::Tyla;
            s->NustatytiElgsena(e);
            negyvi.append(s);
        } else {
            gyvi.append(s);
        }
        failas += Adresas(*s).toLatin1() + "\r\n";
    }
    QVERIFY(aplinka.Rasyti(u"resursai/Serveriai.tyb"_s, failas));
    frmServeriai()->NustatytiPerioda(6000);
    auto* g = frmServeriai()->findChild<TTinklelioVaizdas*>(u"stgServeriai"_s);
    const auto gyvuUzpildyta = [&] {
        int n = 0;
        for (int r = 1; r <= 30; ++r)
            n += g->Langelis(2, r).startsWith(u"Live"_s) ? 1 : 0;
        return n;
    };
    QElapsedTimer laikas;
    laikas.start();
    frmServeriai()->show();
    QVERIFY(LauktiTiksliai([&] { return gyvuUzpildyta() == 25; }, 5000));
    QVERIFY2(laikas.elapsed() <= 2500, qPrintable(QString::number(laikas.elapsed())));
    for (int r = 1; r <= 30; ++r)
        if (r % 6 != 3)
            QCOMPARE(g->Langelis(2, r), u"Live "_s + QString::number(r));
    const QString timeout = frmPagrindinis()->Kalba().Tekstas("Pranesimai", "Timeout");
    const auto negyviBaigti = [&] {
        for (int r = 3; r <= 30; r += 6)
            if (g->Langelis(5, r) != timeout)
                return false;
        return true;
    };
    QTRY_VERIFY_WITH_TIMEOUT(negyviBaigti(), 7000);
    for (const TTestinisServeris* n : negyvi)
        QVERIFY(n->Uzklausos().size() >= 1);
    QCOMPARE(gyvuUzpildyta(), 25);
    // The next period reaches every row again, the silent ones too.
    QList<qsizetype> pries;
    for (const auto& s : serveriai)
        pries.append(s->Uzklausos().size());
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            for (size_t i = 0; i < serveriai.size(); ++i)
                if (serveriai[i]->Uzklausos().size() <= pries[qsizetype(i)])
                    return false;
            return true;
        }(),
        8000);
    QVERIFY(aplinka.pranesimai.isEmpty());
}

void TstPatikimumas::antrasPaleidimas_data() {
    QTest::addColumn<bool>("naujasIssukis");
    QTest::newRow("challenge still good: one trip") << false;
    QTest::newRow("challenge changed since: one more trip") << true;
}

void TstPatikimumas::antrasPaleidimas() {
    // What a run learnt of a server of today, kept in the cache file, lets the
    // next run find it whole within two round trips of the click.
    QFETCH(bool, naujasIssukis);
    constexpr int kKelione = 200;
    TTestinisServeris* s = Serveris(TServerioRezimas::Modernus);
    QVERIFY(s);
    TServerioElgsena e = s->Elgsena();
    e.DelsaMs = kKelione;
    s->NustatytiElgsena(e);
    frmPagrindinis()->Stebeti(Adresas(*s));
    QTRY_VERIFY_WITH_TIMEOUT(TLenta::Dabar().Truksta().isEmpty(), 5000);
    Valdiklis<QLineEdit>("edtHostas")->clear();
    QTest::qWait(2 * kKelione); // late replies of this run pass

    // The run ends, the next one starts with the file.
    QTemporaryDir aplankas;
    const QString failas = aplankas.filePath(u"Velmorant/serveriai.txt"_s);
    QVERIFY(IssaugotiAtminti(ProgramosCentras()->Registras(), failas));
    ProgramosCentras()->Registras().Isvalyti();
    IkeltiAtminti(ProgramosCentras()->Registras(), failas);
    QCOMPARE(ProgramosCentras()->Registras().Zinios(Adresas(*s)).Dialektas, TDialektas::A2S);
    if (naujasIssukis)
        s->NustatytiIssuki(s->Issukis() + 1);
    Kviesti(frmPagrindinis(), "IsvalytiLenta");
    s->IsvalytiSkaitiklius();

    QElapsedTimer laikas;
    laikas.start();
    frmPagrindinis()->Stebeti(Adresas(*s));
    QVERIFY(LauktiTiksliai([] { return TLenta::Dabar().Truksta().isEmpty(); }, 5000));
    QVERIFY2(laikas.elapsed() <= 2 * kKelione + 50, qPrintable(QString::number(laikas.elapsed())));
    // Straight to the Steam queries: no legacy word, no fall-back wait.
    for (const TGautaUzklausa& u : s->Uzklausos())
        QVERIFY2(u.Zodis != "ping" && u.Zodis != "players" && u.Zodis != "details", u.Zodis.constData());
}

QTEST_MAIN(TstPatikimumas)
#include "tst_patikimumas.moc"
