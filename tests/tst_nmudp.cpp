// The UDP endpoint on loopback: sending to dotted addresses only, errors,
// status reports, receiving (under a flood too) and the sharing of the local
// port.
#include <QEventLoop>
#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>

#include "NMUDP.h"
#include "cstrike.h"

using namespace Qt::StringLiterals;

namespace {

struct TGavimas {
    int kiekis;
    QString is;
    int portas;
    QByteArray duomenys;
};

void Klausytis(TNMUDP& udp, QList<TGavimas>& gauti) {
    udp.OnDataReceived = [&udp, &gauti](QObject* sender, int kiekis, const QString& is, int portas) {
        QCOMPARE(sender, &udp);
        TAtminiesSrautas s;
        if (kiekis >= 0)
            udp.CopyReceivedToStream(s);
        QCOMPARE(s.Position(), 0);
        gauti.append({kiekis, is, portas, s.Duomenys()});
    };
}

bool Laisvas27035() {
    QUdpSocket bandymas;
    return bandymas.bind(QHostAddress::AnyIPv4, 27035, QAbstractSocket::DontShareAddress);
}

} // namespace

class TstNmudp : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void taskuotasAdresas();
    void vardasNesiunciamas_data();
    void vardasNesiunciamas();
    void tusciasSiuntimas_data();
    void tusciasSiuntimas();
    void nulinisAdresas_data();
    void nulinisAdresas();
    void blogasPortas_data();
    void blogasPortas();
    void busenosLygiai_data();
    void busenosLygiai();
    void gavimasIrSrautas_data();
    void gavimasIrSrautas();
    void srautasRasomasPozicijoje();
    void antpludis();
    void gavimasKolAtidarytasLangas();
    void dalinamasPortas();

private:
    QUdpSocket* partneris = nullptr;
    quint16 partnerioPortas = 0;
    QList<QNetworkDatagram> partneriuiAtejo;
};

void TstNmudp::init() {
    delete partneris;
    partneris = new QUdpSocket(this);
    QVERIFY(partneris->bind(QHostAddress::LocalHost, 0));
    partnerioPortas = partneris->localPort();
    partneriuiAtejo.clear();
    connect(partneris, &QUdpSocket::readyRead, this, [this] {
        while (partneris->hasPendingDatagrams())
            partneriuiAtejo.append(partneris->receiveDatagram());
    });
}

void TstNmudp::taskuotasAdresas() {
    TNMUDP udp;
    udp.setRemoteHost(u"127.0.0.1"_s);
    udp.setRemotePort(partnerioPortas);
    udp.SendDatagram(UzklausosDatagrama(kPing));
    QTRY_COMPARE_WITH_TIMEOUT(partneriuiAtejo.size(), 1, 5000);
    QCOMPARE(partneriuiAtejo[0].data().size(), 256);
    QCOMPARE(partneriuiAtejo[0].data(), UzklausosDatagrama(kPing));
    QCOMPARE(udp.PaskutinisAdresas(), QHostAddress(u"127.0.0.1"_s));
    QCOMPARE(udp.PaskutinisPortas(), partnerioPortas);
}

void TstNmudp::vardasNesiunciamas_data() {
    QTest::addColumn<QString>("hostas");
    QTest::newRow("a name") << u"localhost"_s;
    QTest::newRow("empty") << QString();
    QTest::newRow("IPv6 text") << u"::1"_s;
}

void TstNmudp::vardasNesiunciamas() {
    // The endpoint looks no name up (the hub's lookups do): a host that is no
    // dotted address is refused, and nothing goes.
    QFETCH(QString, hostas);
    TNMUDP udp;
    bool issiusta = false;
    udp.OnDataSend = [&](QObject*) {
        issiusta = true;
    };
    udp.setRemoteHost(hostas);
    udp.setRemotePort(partnerioPortas);
    try {
        udp.SendDatagram(UzklausosDatagrama(kPing));
        QFAIL("the send should have failed");
    } catch (const UDPSockError& e) {
        QCOMPARE(e.Message(), u"Host Lookup Canceled"_s);
    }
    QVERIFY(!issiusta);
    QVERIFY(udp.PaskutinisAdresas().isNull());
}

void TstNmudp::tusciasSiuntimas_data() {
    QTest::addColumn<int>("elgsena"); // 0 no handler, 1 leaves handled false, 2 repairs, 3 handled without repair
    QTest::addColumn<bool>("klaida");
    QTest::addColumn<int>("ivykiu");
    QTest::newRow("no handler") << 0 << true << 0;
    QTest::newRow("handler does not handle") << 1 << true << 1;
    QTest::newRow("handler repairs the buffer") << 2 << false << 1;
    QTest::newRow("handled but still empty") << 3 << true << 1;
}

void TstNmudp::tusciasSiuntimas() {
    QFETCH(int, elgsena);
    QFETCH(bool, klaida);
    TNMUDP udp;
    udp.setRemoteHost(u"127.0.0.1"_s);
    udp.setRemotePort(partnerioPortas);
    int ivykiu = 0;
    if (elgsena > 0)
        udp.OnBufferInvalid = [&](bool& handled, QByteArray& buff, int& length) {
            ++ivykiu;
            if (elgsena == 2) {
                buff = "abc";
                length = 3;
            }
            handled = elgsena >= 2;
        };
    bool ismete = false;
    try {
        udp.SendDatagram("", 0);
    } catch (const UDPSockError&) {
        QFAIL("an empty buffer is not a socket error");
    } catch (const EKlaida& e) {
        ismete = true;
        QCOMPARE(e.Message(), u"Invalid buffer"_s);
    }
    QCOMPARE(ismete, klaida);
    QTEST(ivykiu, "ivykiu");
    if (klaida) {
        QVERIFY(udp.PaskutinisAdresas().isNull()); // refused before the socket
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(partneriuiAtejo.size(), 1, 5000);
        QCOMPARE(partneriuiAtejo[0].data(), QByteArray("abc"));
    }
}

void TstNmudp::nulinisAdresas_data() {
    QTest::addColumn<QString>("hostas");
    QTest::newRow("dotted 0.0.0.0") << u"0.0.0.0"_s;
    QTest::newRow("short dotted 0.0") << u"0.0"_s;
}

void TstNmudp::nulinisAdresas() {
    QFETCH(QString, hostas);
    TNMUDP udp;
    udp.setRemoteHost(hostas);
    udp.setRemotePort(partnerioPortas);
    try {
        udp.SendDatagram(UzklausosDatagrama(kPing));
        QFAIL("the send should have failed");
    } catch (const UDPSockError& e) {
        QCOMPARE(e.Message(), u"Null Remote Address"_s);
    }
}

void TstNmudp::blogasPortas_data() {
    QTest::addColumn<int>("portas");
    QTest::newRow("zero") << 0;
    QTest::newRow("negative") << -1;
    QTest::newRow("above 65535") << 70000;
}

void TstNmudp::blogasPortas() {
    QFETCH(int, portas);
    TNMUDP udp;
    udp.setRemoteHost(u"127.0.0.1"_s);
    udp.setRemotePort(portas);
    QVERIFY_THROWS_EXCEPTION(UDPSockError, udp.SendDatagram(UzklausosDatagrama(kPing)));
}

void TstNmudp::busenosLygiai_data() {
    QTest::addColumn<int>("lygis");
    QTest::addColumn<QStringList>("pranesimai");
    QTest::newRow("level 1 reports nothing") << 1 << QStringList();
    QTest::newRow("level 2 reports each send") << 2 << QStringList{u"Sending Data"_s, u"Sending Data"_s};
    QTest::newRow("level 16 still only sends") << 16 << QStringList{u"Sending Data"_s, u"Sending Data"_s};
}

void TstNmudp::busenosLygiai() {
    QFETCH(int, lygis);
    TNMUDP udp;
    QCOMPARE(udp.ReportLevel(), 1);
    QStringList pranesimai;
    udp.OnStatus = [&](QObject* sender, const QString& tekstas) {
        QCOMPARE(sender, &udp);
        pranesimai.append(tekstas);
    };
    int siuntimu = 0;
    udp.OnDataSend = [&](QObject*) {
        ++siuntimu;
    };
    udp.setReportLevel(lygis);
    udp.setRemoteHost(u"127.0.0.1"_s);
    udp.setRemotePort(partnerioPortas);
    udp.SendDatagram(UzklausosDatagrama(kPing));
    udp.SendDatagram(UzklausosDatagrama(kRules));
    QTEST(pranesimai, "pranesimai");
    QCOMPARE(siuntimu, 2);
}

void TstNmudp::gavimasIrSrautas_data() {
    QTest::addColumn<int>("dydis");
    QTest::newRow("100 bytes") << 100;
    QTest::newRow("empty datagram") << 0;
    QTest::newRow("oversized keeps its true size") << 3000;
}

void TstNmudp::gavimasIrSrautas() {
    QFETCH(int, dydis);
    TNMUDP udp;
    QList<TGavimas> gauti;
    Klausytis(udp, gauti);
    udp.setRemoteHost(u"127.0.0.1"_s);
    udp.setRemotePort(partnerioPortas);
    udp.SendDatagram(UzklausosDatagrama(kPing));
    QTRY_COMPARE_WITH_TIMEOUT(partneriuiAtejo.size(), 1, 5000);
    QByteArray duomenys(dydis, '\0');
    for (int i = 0; i < dydis; ++i)
        duomenys[i] = char(i * 7);
    partneris->writeDatagram(duomenys, QHostAddress::LocalHost, partneriuiAtejo[0].senderPort());
    QTRY_COMPARE_WITH_TIMEOUT(gauti.size(), 1, 5000);
    QCOMPARE(gauti[0].kiekis, dydis);
    QCOMPARE(gauti[0].is, u"127.0.0.1"_s);
    QCOMPARE(gauti[0].portas, int(partnerioPortas));
    QCOMPARE(gauti[0].duomenys, duomenys);
}

void TstNmudp::srautasRasomasPozicijoje() {
    TNMUDP udp;
    TAtminiesSrautas s;
    udp.OnDataReceived = [&](QObject*, int, const QString&, int) {
        s.Write("xyz", 3);
        s.SetPosition(1);
        udp.CopyReceivedToStream(s);
    };
    udp.setLocalPort(0);
    udp.setRemoteHost(u"127.0.0.1"_s);
    udp.setRemotePort(partnerioPortas);
    udp.SendDatagram(UzklausosDatagrama(kPing));
    QTRY_COMPARE_WITH_TIMEOUT(partneriuiAtejo.size(), 1, 5000);
    partneris->writeDatagram(QByteArray("ABCD"), QHostAddress::LocalHost, partneriuiAtejo[0].senderPort());
    QTRY_COMPARE_WITH_TIMEOUT(s.Size(), qint64(5), 5000);
    QCOMPARE(s.Duomenys(), QByteArray("xABCD"));
    QCOMPARE(s.Position(), 0);
}

void TstNmudp::antpludis() {
    // Four senders flood the endpoint while the one its owner listens to
    // sends 30 datagrams: those all arrive, in order, and nothing else does.
    TNMUDP udp;
    QList<TGavimas> gauti;
    Klausytis(udp, gauti);
    udp.Filtras = [this](const QHostAddress&, quint16 portas) {
        return portas == partnerioPortas;
    };
    udp.setRemoteHost(u"127.0.0.1"_s);
    udp.setRemotePort(partnerioPortas);
    udp.SendDatagram(UzklausosDatagrama(kPing));
    QTRY_COMPARE_WITH_TIMEOUT(partneriuiAtejo.size(), 1, 5000);
    const quint16 vietinis = partneriuiAtejo[0].senderPort();
    QUdpSocket plustantys[4];
    for (int i = 0; i < 30; ++i) {
        for (QUdpSocket& p : plustantys)
            for (int j = 0; j < 25; ++j)
                p.writeDatagram(QByteArray(64, 'f'), QHostAddress::LocalHost, vietinis);
        partneris->writeDatagram(QByteArray::number(i), QHostAddress::LocalHost, vietinis);
        QTRY_COMPARE_WITH_TIMEOUT(gauti.size(), i + 1, 5000);
        QCOMPARE(gauti[i].duomenys, QByteArray::number(i));
    }
    QTRY_COMPARE_WITH_TIMEOUT(udp.Atmesta(), quint64(30 * 4 * 25), 5000);
    QCOMPARE(gauti.size(), 30);
}

void TstNmudp::gavimasKolAtidarytasLangas() {
    // An owner that runs a modal loop for a datagram (a message box) still
    // gets the datagrams that arrive meanwhile, each exactly once.
    TNMUDP udp;
    QList<QByteArray> gauti;
    int gylis = 0;
    int didziausiasGylis = 0;
    quint16 siuntejoPortas = 0;
    udp.OnDataReceived = [&](QObject*, int, const QString&, int) {
        TAtminiesSrautas s;
        udp.CopyReceivedToStream(s);
        gauti.append(s.Duomenys());
        ++gylis;
        didziausiasGylis = qMax(didziausiasGylis, gylis);
        if (s.Duomenys() == "first") {
            partneris->writeDatagram(QByteArray("second"), QHostAddress::LocalHost, siuntejoPortas);
            QEventLoop langas;
            QTimer::singleShot(3000, &langas, &QEventLoop::quit);
            QTimer tikrinimas;
            connect(&tikrinimas, &QTimer::timeout, &langas, [&] {
                if (gauti.size() >= 2)
                    langas.quit();
            });
            tikrinimas.start(5);
            langas.exec();
        }
        --gylis;
    };
    udp.setRemoteHost(u"127.0.0.1"_s);
    udp.setRemotePort(partnerioPortas);
    udp.SendDatagram(UzklausosDatagrama(kPing));
    QTRY_COMPARE_WITH_TIMEOUT(partneriuiAtejo.size(), 1, 5000);
    siuntejoPortas = partneriuiAtejo[0].senderPort();
    partneris->writeDatagram(QByteArray("first"), QHostAddress::LocalHost, siuntejoPortas);
    QTRY_COMPARE_WITH_TIMEOUT(gauti.size(), 2, 5000);
    QCOMPARE(gauti, (QList<QByteArray>{"first", "second"}));
    QCOMPARE(didziausiasGylis, 2);
    QTest::qWait(20);
    QCOMPARE(gauti.size(), 2);
}

void TstNmudp::dalinamasPortas() {
    if (!Laisvas27035())
        QSKIP("UDP port 27035 is held by another program");
    TNMUDP pirmas;
    pirmas.setLocalPort(27035);
    TNMUDP antras;
    antras.setLocalPort(27035);
    QCOMPARE(pirmas.UzimtasPortas(), quint16(27035));
    QCOMPARE(antras.UzimtasPortas(), quint16(0)); // the bind was refused, silently
    QCOMPARE(antras.LocalPort(), 27035);

    QList<TGavimas> pirmoGauti, antroGauti;
    Klausytis(pirmas, pirmoGauti);
    Klausytis(antras, antroGauti);
    for (TNMUDP* udp : {&pirmas, &antras}) {
        udp->setRemoteHost(u"127.0.0.1"_s);
        udp->setRemotePort(partnerioPortas);
        udp->SendDatagram(UzklausosDatagrama(kDetails));
    }
    QTRY_COMPARE_WITH_TIMEOUT(partneriuiAtejo.size(), 2, 5000);
    QCOMPARE(partneriuiAtejo[0].senderPort(), 27035);
    const quint16 sistemos = partneriuiAtejo[1].senderPort();
    QVERIFY(sistemos != 27035 && sistemos != 0);
    QCOMPARE(antras.UzimtasPortas(), sistemos);
    // Each endpoint gets only the replies to its own requests.
    for (const QNetworkDatagram& d : partneriuiAtejo)
        partneris->writeDatagram(QByteArray::number(d.senderPort()), d.senderAddress(), d.senderPort());
    QTRY_VERIFY_WITH_TIMEOUT(pirmoGauti.size() == 1 && antroGauti.size() == 1, 5000);
    QCOMPARE(pirmoGauti[0].duomenys, QByteArray("27035"));
    QCOMPARE(antroGauti[0].duomenys, QByteArray::number(sistemos));
}

QTEST_GUILESS_MAIN(TstNmudp)
#include "tst_nmudp.moc"
