// Address splitting and the blocking name lookups (loopback names only).
#include <QTest>

#include "iphostport.h"

using namespace Qt::StringLiterals;

class TstIphostport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void atskirtiPorta_data();
    void atskirtiPorta();
    void gautiIP_data();
    void gautiIP();
    void gautiVarda_data();
    void gautiVarda();
};

void TstIphostport::atskirtiPorta_data() {
    QTest::addColumn<QString>("adresas");
    QTest::addColumn<QString>("hostas");
    QTest::addColumn<QString>("portas");
    QTest::newRow("host and port") << u"10.1.2.3:27016"_s << u"10.1.2.3"_s << u"27016"_s;
    QTest::newRow("blanks around an empty port") << u" srv : "_s << u"srv"_s << u"27015"_s;
    QTest::newRow("no colon") << u"srv"_s << u"srv"_s << u"27015"_s;
    QTest::newRow("no colon keeps blanks") << u" srv "_s << u" srv "_s << u"27015"_s;
    QTest::newRow("first colon splits") << u"a:b:c"_s << u"a"_s << u"b:c"_s;
    QTest::newRow("trailing colon") << u"host:"_s << u"host"_s << u"27015"_s;
    QTest::newRow("empty host") << u":27016"_s << QString() << u"27016"_s;
    QTest::newRow("tabs are blanks too") << u"\thost\t:\t27017 "_s << u"host"_s << u"27017"_s;
    QTest::newRow("empty text") << QString() << QString() << u"27015"_s;
    QTest::newRow("port text kept as typed") << u"h:0x6987"_s << u"h"_s << u"0x6987"_s;
}

void TstIphostport::atskirtiPorta() {
    QFETCH(QString, adresas);
    const TAdresoDalys d = AtskirtiPorta(adresas);
    QTEST(d.Hostas, "hostas");
    QTEST(d.Portas, "portas");
}

void TstIphostport::gautiIP_data() {
    QTest::addColumn<QString>("hostas");
    QTest::addColumn<QString>("ip");
    QTest::newRow("dotted stays") << u"127.0.0.1"_s << u"127.0.0.1"_s;
    QTest::newRow("localhost") << u"localhost"_s << u"127.0.0.1"_s;
    QTest::newRow("empty") << QString() << QString();
}

void TstIphostport::gautiIP() {
    QFETCH(QString, hostas);
    QTEST(GautiIP(hostas), "ip");
}

void TstIphostport::gautiVarda_data() {
    QTest::addColumn<QString>("ip");
    QTest::addColumn<QString>("vardas");
    QTest::newRow("loopback has a name") << u"127.0.0.1"_s << u"localhost"_s;
    QTest::newRow("not an address stays") << u"srv"_s << u"srv"_s;
    QTest::newRow("IPv6 text stays") << u"::1"_s << u"::1"_s;
}

void TstIphostport::gautiVarda() {
    QFETCH(QString, ip);
    QTEST(GautiVarda(ip), "vardas");
}

QTEST_GUILESS_MAIN(TstIphostport)
#include "tst_iphostport.moc"
