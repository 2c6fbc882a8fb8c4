// Split reply reassembly: both layouts, any order, duplicates, limits, sets
// forged in a sender's name, compressed sets, and the recorded split pairs.
#include <QFile>
#include <QTest>
#include <QtEndian>

#include "Datagramos.h"
#include "Skaidymas.h"
#include "cstrike.h"

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TDaliesBusena)

namespace {

const QHostAddress kServeris(u"127.0.0.1"_s);
constexpr quint16 kPrievadas = 27015;

// The reply cut into n fragments of the chosen layout.
QList<QByteArray> Skaidyti(const QByteArray& atsakymas, quint32 id, int n, bool naujas) {
    QList<QByteArray> dalys;
    const qsizetype dydis = (atsakymas.size() + n - 1) / n;
    for (int i = 0; i < n; ++i) {
        QByteArray d("\xFE\xFF\xFF\xFF", 4);
        char idBaitai[4];
        qToLittleEndian(id, idBaitai);
        d.append(idBaitai, 4);
        if (naujas) {
            d.append(char(n)).append(char(i)).append(char(0xE0)).append(char(0x04));
        } else {
            d.append(char((i << 4) | n));
        }
        d.append(atsakymas.mid(i * dydis, dydis));
        dalys.append(d);
    }
    return dalys;
}

QByteArray Taisykles(int kiek) {
    QByteArray d("\xFF\xFF\xFF\xFF"
                 "E",
                 5);
    d.append(char(kiek & 0xFF)).append(char(kiek >> 8));
    for (int i = 0; i < kiek; ++i)
        d.append("sv_rule_" + QByteArray::number(i)).append('\0').append(QByteArray::number(i * 7)).append('\0');
    return d;
}

} // namespace

class TstSkaidymas : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void surinkimas_data();
    void surinkimas();
    void nesuskaidytas();
    void suspaustas();
    void ribos_data();
    void ribos();
    void nebaigtiIsmetami();
    void siuntejaiAtskirti();
    void nesutampantisViso();
    void fiksacijos_data();
    void fiksacijos();
};

void TstSkaidymas::surinkimas_data() {
    QTest::addColumn<bool>("naujas");
    QTest::addColumn<int>("dalys");
    QTest::addColumn<QList<int>>("tvarka"); // fragment indexes in arrival order, repeats allowed

    QTest::newRow("this engine, two in order") << false << 2 << QList<int>{0, 1};
    QTest::newRow("this engine, two reversed") << false << 2 << QList<int>{1, 0};
    QTest::newRow("this engine, duplicate first") << false << 3 << QList<int>{0, 0, 2, 1};
    QTest::newRow("this engine, fifteen shuffled")
        << false << 15 << QList<int>{7, 3, 14, 0, 1, 2, 4, 5, 6, 8, 9, 10, 11, 12, 13};
    QTest::newRow("newer, two in order") << true << 2 << QList<int>{0, 1};
    QTest::newRow("newer, three shuffled, duplicate") << true << 3 << QList<int>{2, 2, 0, 1};
    QTest::newRow("newer, single fragment") << true << 1 << QList<int>{0};
}

void TstSkaidymas::surinkimas() {
    QFETCH(bool, naujas);
    QFETCH(int, dalys);
    QFETCH(QList<int>, tvarka);
    const QByteArray atsakymas = Taisykles(60);
    const QList<QByteArray> fragmentai = Skaidyti(atsakymas, 0x1234, dalys, naujas);
    TDaliuSurinkejas s;
    QSet<int> matyti;
    for (qsizetype i = 0; i < tvarka.size(); ++i) {
        const TDaliesRezultatas r = s.Priimti(kServeris, kPrievadas, fragmentai[tvarka[i]]);
        const bool paskutinis = i == tvarka.size() - 1;
        if (matyti.contains(tvarka[i])) {
            QCOMPARE(r.Busena, TDaliesBusena::Dublikatas);
        } else if (paskutinis) {
            QCOMPARE(r.Busena, TDaliesBusena::Surinkta);
            QCOMPARE(r.Atsakymas, atsakymas);
        } else {
            QCOMPARE(r.Busena, TDaliesBusena::Laikoma);
            QVERIFY(r.Atsakymas.isEmpty());
        }
        matyti.insert(tvarka[i]);
    }
    QCOMPARE(s.NebaigtiRinkiniai(), 0);
}

void TstSkaidymas::nesuskaidytas() {
    TDaliuSurinkejas s;
    for (const QByteArray& d :
         {QByteArray("\xFF\xFF\xFF\xFFj", 5), QByteArray(7, '\0'), QByteArray("\xFE\xFF\xFF", 3), QByteArray()}) {
        const TDaliesRezultatas r = s.Priimti(kServeris, kPrievadas, d);
        QCOMPARE(r.Busena, TDaliesBusena::Vientisas);
        QCOMPARE(r.Atsakymas, d);
    }
}

void TstSkaidymas::suspaustas() {
    TDaliuSurinkejas s;
    const QList<QByteArray> f = Skaidyti(Taisykles(10), 0x80000007u, 2, true);
    QCOMPARE(s.Priimti(kServeris, kPrievadas, f[0]).Busena, TDaliesBusena::Suspausta);
    QCOMPARE(s.Priimti(kServeris, kPrievadas, f[1]).Busena, TDaliesBusena::Suspausta);
    QCOMPARE(s.NebaigtiRinkiniai(), 0);
    QVERIFY(QByteArray(DaliesBusenosTekstas(TDaliesBusena::Suspausta)).contains("compressed"));
}

void TstSkaidymas::ribos_data() {
    QTest::addColumn<QByteArray>("fragmentas");
    auto antraste = [](quint8 b8, quint8 b9) {
        QByteArray d("\xFE\xFF\xFF\xFF\x01\x00\x00\x00", 8);
        d.append(char(b8));
        d.append(char(b9));
        d.append(4, 'x');
        return d;
    };
    QTest::newRow("newer, sixteen fragments") << antraste(16, 0);
    QTest::newRow("newer, number beyond total") << antraste(3, 3);
    QTest::newRow("newer, total zero") << antraste(0, 0);
    QTest::newRow("this engine, total zero") << antraste(0x00, 0xFF);
    QTest::newRow("this engine, number beyond total") << antraste(0x32, 'a');
    QTest::newRow("header only") << QByteArray("\xFE\xFF\xFF\xFF\x01\x00\x00\x00\x12", 9);
}

void TstSkaidymas::ribos() {
    QFETCH(QByteArray, fragmentas);
    TDaliuSurinkejas s;
    QCOMPARE(s.Priimti(kServeris, kPrievadas, fragmentas).Busena, TDaliesBusena::Atmesta);
    QCOMPARE(s.NebaigtiRinkiniai(), 0);
}

void TstSkaidymas::nebaigtiIsmetami() {
    // A set over 16 KB is refused as a whole.
    {
        TDaliuSurinkejas s;
        const QList<QByteArray> f = Skaidyti(QByteArray("\xFF\xFF\xFF\xFF"
                                                        "E",
                                                        5) +
                                                 QByteArray(20000, 'a'),
                                             9, 3, true);
        QCOMPARE(s.Priimti(kServeris, kPrievadas, f[0]).Busena, TDaliesBusena::Laikoma);
        QCOMPARE(s.Priimti(kServeris, kPrievadas, f[1]).Busena, TDaliesBusena::Laikoma);
        QCOMPARE(s.Priimti(kServeris, kPrievadas, f[2]).Busena, TDaliesBusena::Atmesta);
        QCOMPARE(s.NebaigtiRinkiniai(), 0);
    }
    // A fragment kept from an ended round never completes a later set.
    TDaliuSurinkejas s;
    const QList<QByteArray> f = Skaidyti(Taisykles(30), 5, 2, false);
    QCOMPARE(s.Priimti(kServeris, kPrievadas, f[0]).Busena, TDaliesBusena::Laikoma);
    QCOMPARE(s.NebaigtiRinkiniai(), 1);
    s.IsmestiNebaigtus();
    QCOMPARE(s.NebaigtiRinkiniai(), 0);
    QCOMPARE(s.Priimti(kServeris, kPrievadas, f[1]).Busena, TDaliesBusena::Laikoma);
    QCOMPARE(s.Priimti(kServeris, kPrievadas, f[0]).Busena, TDaliesBusena::Surinkta);
}

void TstSkaidymas::siuntejaiAtskirti() {
    TDaliuSurinkejas s;
    const QList<QByteArray> a = Skaidyti(Taisykles(20), 77, 2, false);
    const QList<QByteArray> b = Skaidyti(Taisykles(25), 77, 2, false);
    const QHostAddress kitas(u"127.0.0.2"_s);
    QCOMPARE(s.Priimti(kServeris, kPrievadas, a[0]).Busena, TDaliesBusena::Laikoma);
    QCOMPARE(s.Priimti(kitas, kPrievadas, b[1]).Busena, TDaliesBusena::Laikoma);
    QCOMPARE(s.Priimti(kServeris, kPrievadas + 1, b[0]).Busena, TDaliesBusena::Laikoma);
    const TDaliesRezultatas r = s.Priimti(kServeris, kPrievadas, a[1]);
    QCOMPARE(r.Busena, TDaliesBusena::Surinkta);
    QCOMPARE(r.Atsakymas, Taisykles(20));
    QCOMPARE(s.NebaigtiRinkiniai(), 2);
    // Partial sets forged in a sender's name never keep its real reply out:
    // a new set takes the place of the sender's oldest, the others' stay.
    for (quint32 id = 0; id < 100; ++id)
        QCOMPARE(s.Priimti(kServeris, kPrievadas, Skaidyti(Taisykles(5), id, 2, true)[0]).Busena,
                 TDaliesBusena::Laikoma);
    QCOMPARE(s.NebaigtiRinkiniai(), kDaugiausiaSiuntejoRinkiniu + 2);
    QCOMPARE(s.Priimti(kServeris, kPrievadas, a[0]).Busena, TDaliesBusena::Laikoma);
    QCOMPARE(s.Priimti(kServeris, kPrievadas, a[1]).Atsakymas, Taisykles(20));
}

void TstSkaidymas::nesutampantisViso() {
    TDaliuSurinkejas s;
    const QList<QByteArray> du = Skaidyti(Taisykles(20), 3, 2, true);
    const QList<QByteArray> trys = Skaidyti(Taisykles(20), 3, 3, true);
    QCOMPARE(s.Priimti(kServeris, kPrievadas, du[0]).Busena, TDaliesBusena::Laikoma);
    QCOMPARE(s.Priimti(kServeris, kPrievadas, trys[1]).Busena, TDaliesBusena::Atmesta);
    QCOMPARE(s.Priimti(kServeris, kPrievadas, du[1]).Busena, TDaliesBusena::Surinkta);
}

void TstSkaidymas::fiksacijos_data() {
    QTest::addColumn<QString>("pirmas");
    QTest::addColumn<QString>("antras");
    QTest::addColumn<int>("dydis");
    QTest::addColumn<int>("taisykliu");
    QTest::addColumn<QByteArray>("timelimit");
    QTest::newRow("split-1 + split-2") << u"split-1.bin"_s << u"split-2.bin"_s << 1626 << 94 << QByteArray("40");
    QTest::newRow("split-3 + split-4") << u"split-3.bin"_s << u"split-4.bin"_s << 1613 << 94 << QByteArray("35");
    QTest::newRow("split-5 + split-6") << u"split-5.bin"_s << u"split-6.bin"_s << 1818 << 98 << QByteArray("0");
    QTest::newRow("split-7 + split-8") << u"split-7.bin"_s << u"split-8.bin"_s << 1801 << 95 << QByteArray("0");
    QTest::newRow("split-9 + split-10") << u"split-9.bin"_s << u"split-10.bin"_s << 1778 << 94 << QByteArray("120");
    QTest::newRow("split-11 + split-12") << u"split-11.bin"_s << u"split-12.bin"_s << 2331 << 125 << QByteArray("20");
    QTest::newRow("split-13 + split-14") << u"split-13.bin"_s << u"split-14.bin"_s << 2279 << 122 << QByteArray("100");
    QTest::newRow("split-15 + split-16") << u"split-15.bin"_s << u"split-16.bin"_s << 2342 << 101
                                         << QByteArray("690.000000");
    QTest::newRow("split-17 + split-18") << u"split-17.bin"_s << u"split-18.bin"_s << 2285 << 100 << QByteArray("60");
}

void TstSkaidymas::fiksacijos() {
    QFETCH(QString, pirmas);
    QFETCH(QString, antras);
    QFETCH(int, dydis);
    QFETCH(int, taisykliu);
    QFETCH(QByteArray, timelimit);
    const QByteArray a = Fiksacija(pirmas);
    const QByteArray b = Fiksacija(antras);
    if (a.isEmpty() || b.isEmpty())
        QSKIP("the recorded datagrams are not there");
    for (const bool atvirkstine : {false, true}) {
        TDaliuSurinkejas s;
        QCOMPARE(s.Priimti(kServeris, kPrievadas, atvirkstine ? b : a).Busena, TDaliesBusena::Laikoma);
        const TDaliesRezultatas r = s.Priimti(kServeris, kPrievadas, atvirkstine ? a : b);
        QCOMPARE(r.Busena, TDaliesBusena::Surinkta);
        QCOMPARE(r.Atsakymas.size(), dydis);
        TAtminiesSrautas srautas(r.Atsakymas);
        QCOMPARE(SkaitytiAntraste(srautas), kTipasTaisykles);
        const TTaisykles t = SkaitytiTaisykles(srautas);
        QCOMPARE(t.size(), taisykliu);
        QByteArray rasta;
        for (const TTaisykle& x : t) {
            QVERIFY(!x.Pavadinimas.isEmpty());
            if (x.Pavadinimas == "mp_timelimit")
                rasta = x.Reiksme;
        }
        QCOMPARE(rasta, timelimit);
        QCOMPARE(srautas.Likutis(), 0); // every pair read, nothing left over
    }
}

QTEST_APPLESS_MAIN(TstSkaidymas)
#include "tst_skaidymas.moc"
