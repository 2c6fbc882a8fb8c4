// Address splitting and the lookups that never block, against name services
// put in through the seam.
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "Klaidos.h"
#include "iphostport.h"

using namespace Qt::StringLiterals;

class TstIphostport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void atskirtiPorta_data();
    void atskirtiPorta();
    void cleanup();

    void taskuotasAdresas_data();
    void taskuotasAdresas();
    void taskuotiBePaieskos_data();
    void taskuotiBePaieskos();
    void neatsakanti_data();
    void neatsakanti();
    void atsakymas_data();
    void atsakymas();
    void signalasNeIsKvietimo();
    void pasenesAtsakymas();
    void veluojantisAtsakymasIsmetamas();
};

namespace {

// A name service put in through the seam: it counts the questions and answers
// from a table after `delsimasMs`, or never when `atsako` is false.
struct TNetikraPaieska {
    QHash<QString, QHostInfo> atsakymai;
    QStringList klausimai;
    int delsimasMs = 0;
    bool atsako = true;
    bool iskart = false; // answers inside the call

    TPaieska Funkcija() {
        return [this](const QString& tekstas, QObject* kontekstas, TPaieskosPabaiga baigta) {
            klausimai << tekstas;
            if (!atsako)
                return;
            QHostInfo info = atsakymai.value(tekstas);
            if (!atsakymai.contains(tekstas))
                info.setError(QHostInfo::HostNotFound);
            if (iskart)
                baigta(info);
            else
                QTimer::singleShot(delsimasMs, kontekstas, [baigta, info] { baigta(info); });
        };
    }
};

QHostInfo Adresai(const QStringList& adresai) {
    QHostInfo info;
    QList<QHostAddress> a;
    for (const QString& t : adresai)
        a << QHostAddress(t);
    info.setAddresses(a);
    return info;
}

QHostInfo Vardas(const QString& vardas) {
    QHostInfo info;
    info.setHostName(vardas);
    return info;
}

std::optional<QString> Klausti(TAdresuPaieska& p, bool atgal, const QString& tekstas) {
    return atgal ? p.Vardas(tekstas) : p.IP(tekstas);
}

QSignalSpy* Sekti(TAdresuPaieska& p, bool atgal) {
    return atgal ? new QSignalSpy(&p, &TAdresuPaieska::VardasRastas) : new QSignalSpy(&p, &TAdresuPaieska::IPRastas);
}

} // namespace

void TstIphostport::atskirtiPorta_data() {
    // "skaitomas": the port of the one parser, -1 where the text is no whole number.
    QTest::addColumn<QString>("adresas");
    QTest::addColumn<QString>("hostas");
    QTest::addColumn<QString>("portas");
    QTest::addColumn<int>("skaitomas");
    QTest::newRow("host and port") << u"10.1.2.3:27016"_s << u"10.1.2.3"_s << u"27016"_s << 27016;
    QTest::newRow("blanks around an empty port") << u" srv : "_s << u"srv"_s << u"27015"_s << 27015;
    QTest::newRow("no colon") << u"srv"_s << u"srv"_s << u"27015"_s << 27015;
    QTest::newRow("no colon keeps blanks") << u" srv "_s << u" srv "_s << u"27015"_s << 27015;
    QTest::newRow("first colon splits") << u"a:b:c"_s << u"a"_s << u"b:c"_s << -1;
    QTest::newRow("trailing colon") << u"host:"_s << u"host"_s << u"27015"_s << 27015;
    QTest::newRow("empty host") << u":27016"_s << QString() << u"27016"_s << 27016;
    QTest::newRow("tabs are blanks too") << u"\thost\t:\t27017 "_s << u"host"_s << u"27017"_s << 27017;
    QTest::newRow("empty text") << QString() << QString() << u"27015"_s << 27015;
    QTest::newRow("port text kept as typed") << u"h:0x6987"_s << u"h"_s << u"0x6987"_s << 27015;
    QTest::newRow("Pascal hexadecimal") << u"h:$6987"_s << u"h"_s << u"$6987"_s << 27015;
    QTest::newRow("out of range is still a number") << u"h:70000"_s << u"h"_s << u"70000"_s << 70000;
}

void TstIphostport::atskirtiPorta() {
    QFETCH(QString, adresas);
    QFETCH(int, skaitomas);
    const TAdresoDalys d = AtskirtiPorta(adresas);
    QTEST(d.Hostas, "hostas");
    QTEST(d.Portas, "portas");

    // The typed address: the same host, the port as a number, and its text the
    // key every part of the program builds the same way.
    const std::optional<TServerioAdresas> a = BandytiSkaitytiAdresa(adresas);
    QCOMPARE(a.has_value(), skaitomas >= 0);
    if (!a) {
        QVERIFY_THROWS_EXCEPTION(EKonvertavimoKlaida, SkaitytiAdresa(adresas));
        return;
    }
    QCOMPARE(*a, (TServerioAdresas{d.Hostas, skaitomas}));
    QCOMPARE(SkaitytiAdresa(adresas), *a);
    QCOMPARE(a->Tekstas(), d.Hostas + u':' + QString::number(skaitomas));
    QCOMPARE(a->ArTinkamasPortas(), skaitomas >= 1 && skaitomas <= 65535);
}

void TstIphostport::cleanup() {
    NustatytiPaieska({});
}

void TstIphostport::taskuotasAdresas_data() {
    QTest::addColumn<QString>("tekstas");
    QTest::addColumn<bool>("arAdresas");
    QTest::addColumn<quint32>("adresas");
    QTest::newRow("dotted") << u"10.1.2.3"_s << true << 0x0A010203u;
    QTest::newRow("two parts") << u"10.5"_s << true << 0x0A000005u;
    QTest::newRow("hexadecimal") << u"0x0a.0.0.5"_s << true << 0x0A000005u;
    QTest::newRow("zero") << u"0.0.0.0"_s << true << 0u;
    QTest::newRow("name") << u"srv.example"_s << false << 0u;
    QTest::newRow("part too large") << u"10.0.0.256"_s << false << 0u;
    QTest::newRow("empty") << QString() << false << 0u;
    QTest::newRow("IPv6") << u"::1"_s << false << 0u;
}

void TstIphostport::taskuotasAdresas() {
    QFETCH(QString, tekstas);
    QFETCH(bool, arAdresas);
    const std::optional<quint32> a = TaskuotasAdresas(tekstas);
    QCOMPARE(a.has_value(), arAdresas);
    if (arAdresas)
        QTEST(*a, "adresas");
}

void TstIphostport::taskuotiBePaieskos_data() {
    QTest::addColumn<bool>("atgal");
    QTest::addColumn<QString>("tekstas");
    QTest::addColumn<QString>("atsakymas");
    QTest::newRow("dotted address") << false << u"10.0.0.5"_s << u"10.0.0.5"_s;
    QTest::newRow("short dotted address") << false << u"127.1"_s << u"127.0.0.1"_s;
    QTest::newRow("empty host") << false << QString() << QString();
    QTest::newRow("reverse of a name is the name") << true << u"srv"_s << u"srv"_s;
    QTest::newRow("reverse of IPv6 text is the text") << true << u"::1"_s << u"::1"_s;
}

void TstIphostport::taskuotiBePaieskos() {
    QFETCH(bool, atgal);
    QFETCH(QString, tekstas);
    TNetikraPaieska netikra;
    netikra.atsako = false;
    NustatytiPaieska(netikra.Funkcija());
    TAdresuPaieska p;
    const std::unique_ptr<QSignalSpy> spy(Sekti(p, atgal));
    const std::optional<QString> atsakymas = Klausti(p, atgal, tekstas);
    QVERIFY(atsakymas.has_value());
    QTEST(*atsakymas, "atsakymas");
    QCOMPARE(netikra.klausimai, QStringList());
    QCOMPARE(p.Vykdomos(), 0);
    QCOMPARE(spy->count(), 0);
}

void TstIphostport::neatsakanti_data() {
    QTest::addColumn<bool>("atgal");
    QTest::addColumn<QString>("tekstas");
    QTest::newRow("forward") << false << u"srv.example"_s;
    QTest::newRow("reverse") << true << u"10.0.0.5"_s;
}

void TstIphostport::neatsakanti() {
    QFETCH(bool, atgal);
    QFETCH(QString, tekstas);
    TNetikraPaieska netikra;
    netikra.atsako = false;
    NustatytiPaieska(netikra.Funkcija());
    TAdresuPaieska p;
    p.setLaikoRiba(100);
    const std::unique_ptr<QSignalSpy> spy(Sekti(p, atgal));

    // Nothing is known: no answer, one lookup, however often it is asked.
    QCOMPARE(Klausti(p, atgal, tekstas), std::nullopt);
    QCOMPARE(Klausti(p, atgal, tekstas), std::nullopt);
    QCOMPARE(netikra.klausimai, QStringList{tekstas});
    QCOMPARE(p.Vykdomos(), 1);

    // At the time limit the lookup counts as failed: the text stands for itself.
    QVERIFY(spy->wait(5000));
    QCOMPARE(spy->count(), 1);
    QCOMPARE(spy->at(0), (QVariantList{tekstas, tekstas}));
    QCOMPARE(p.Vykdomos(), 0);
    QCOMPARE(Klausti(p, atgal, tekstas), std::optional<QString>(tekstas));
    QCOMPARE(netikra.klausimai.size(), 1);
}

void TstIphostport::atsakymas_data() {
    QTest::addColumn<bool>("atgal");
    QTest::addColumn<QString>("tekstas");
    QTest::addColumn<QHostInfo>("info");
    QTest::addColumn<QString>("laukiama");
    QTest::newRow("first IPv4 address") << false << u"srv.example"_s
                                        << Adresai({u"::1"_s, u"10.0.0.7"_s, u"10.0.0.8"_s}) << u"10.0.0.7"_s;
    QTest::newRow("only IPv6: the name") << false << u"srv.example"_s << Adresai({u"::1"_s}) << u"srv.example"_s;
    QTest::newRow("unknown name: the name") << false << u"nera.example"_s << QHostInfo() << u"nera.example"_s;
    QTest::newRow("reverse name") << true << u"10.0.0.5"_s << Vardas(u"srv.example"_s) << u"srv.example"_s;
    QTest::newRow("reverse without a name") << true << u"10.0.0.6"_s << Vardas(u"10.0.0.6"_s) << u"10.0.0.6"_s;
}

void TstIphostport::atsakymas() {
    QFETCH(bool, atgal);
    QFETCH(QString, tekstas);
    QFETCH(QHostInfo, info);
    QFETCH(QString, laukiama);
    TNetikraPaieska netikra;
    netikra.delsimasMs = 20;
    if (!info.addresses().isEmpty() || !info.hostName().isEmpty())
        netikra.atsakymai.insert(tekstas, info);
    NustatytiPaieska(netikra.Funkcija());
    TAdresuPaieska p;
    const std::unique_ptr<QSignalSpy> spy(Sekti(p, atgal));
    QCOMPARE(Klausti(p, atgal, tekstas), std::nullopt);
    QVERIFY(spy->wait(5000));
    QCOMPARE(spy->at(0), (QVariantList{tekstas, laukiama}));
    // Reused: answered at once, no second lookup.
    QCOMPARE(Klausti(p, atgal, tekstas), std::optional<QString>(laukiama));
    QCOMPARE(netikra.klausimai.size(), 1);
}

void TstIphostport::signalasNeIsKvietimo() {
    TNetikraPaieska netikra;
    netikra.iskart = true;
    netikra.atsakymai.insert(u"srv"_s, Adresai({u"10.0.0.9"_s}));
    NustatytiPaieska(netikra.Funkcija());
    TAdresuPaieska p;
    QSignalSpy spy(&p, &TAdresuPaieska::IPRastas);
    QCOMPARE(p.IP(u"srv"_s), std::nullopt);
    QCOMPARE(spy.count(), 0);
    QVERIFY(spy.wait(5000));
    QCOMPARE(spy.at(0), (QVariantList{u"srv"_s, u"10.0.0.9"_s}));
}

void TstIphostport::pasenesAtsakymas() {
    TNetikraPaieska netikra;
    netikra.atsakymai.insert(u"srv"_s, Adresai({u"10.0.0.1"_s}));
    NustatytiPaieska(netikra.Funkcija());
    TAdresuPaieska p;
    QSignalSpy spy(&p, &TAdresuPaieska::IPRastas);
    QCOMPARE(p.IP(u"srv"_s), std::nullopt);
    QVERIFY(spy.wait(5000));
    // Past its validity the old answer still serves while a new lookup runs.
    p.setGaliojimas(0);
    netikra.atsakymai.insert(u"srv"_s, Adresai({u"10.0.0.2"_s}));
    QCOMPARE(p.IP(u"srv"_s), std::optional<QString>(u"10.0.0.1"_s));
    QCOMPARE(netikra.klausimai.size(), 2);
    QVERIFY(spy.wait(5000));
    QCOMPARE(spy.last(), (QVariantList{u"srv"_s, u"10.0.0.2"_s}));
    // A failed refresh keeps the answer that was found.
    netikra.atsakymai.clear();
    QCOMPARE(p.IP(u"srv"_s), std::optional<QString>(u"10.0.0.2"_s));
    QVERIFY(spy.wait(5000));
    QCOMPARE(spy.last(), (QVariantList{u"srv"_s, u"10.0.0.2"_s}));
}

void TstIphostport::veluojantisAtsakymasIsmetamas() {
    TNetikraPaieska netikra;
    netikra.delsimasMs = 300;
    netikra.atsakymai.insert(u"srv"_s, Adresai({u"10.0.0.3"_s}));
    NustatytiPaieska(netikra.Funkcija());
    TAdresuPaieska p;
    p.setLaikoRiba(30);
    QSignalSpy spy(&p, &TAdresuPaieska::IPRastas);
    QCOMPARE(p.IP(u"srv"_s), std::nullopt);
    QVERIFY(spy.wait(5000));
    QCOMPARE(spy.at(0), (QVariantList{u"srv"_s, u"srv"_s}));
    // The answer that comes after the limit changes nothing.
    QVERIFY(!spy.wait(600));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(p.IP(u"srv"_s), std::optional<QString>(u"srv"_s));
}

QTEST_GUILESS_MAIN(TstIphostport)
#include "tst_iphostport.moc"
