// The settings unit: one table of keys serves the load and the save, the load
// applies keys in the table's order and stops at the first that fails.
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "Klaidos.h"
#include "Nustatymai.h"
#include "Parinktys.h"

using namespace Qt::StringLiterals;

class TstNustatymuLentele : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void ikelimas_data();
    void ikelimas();
    void issaugojimas();
    void parinktys();

private:
    struct TReiksmes {
        bool zyma = false;
        int apkarpytas = -1;
        int neapkarpytas = -1;
        QString tekstas = u"before"_s;
    };
    QList<TNustatymas> Lentele(TReiksmes& r) {
        return {ZymosNustatymas(
                    "Zyma", [&r] { return r.zyma; }, [&r](bool b) { r.zyma = b; }),
                IntervaloNustatymas(
                    "A", [&r] { return r.apkarpytas; }, [&r](int v) { r.apkarpytas = v; }, true),
                IntervaloNustatymas(
                    "B", [&r] { return r.neapkarpytas; }, [&r](int v) { r.neapkarpytas = v; }, false),
                TekstoNustatymas(
                    "Kalba", [&r] { return r.tekstas; }, [&r](const QString& t) { r.tekstas = t; })};
    }
    void Rasyti(const QByteArray& turinys) {
        QDir().mkpath(u"resursai"_s);
        QFile f(u"resursai/Nustatymai.tyb"_s);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(turinys);
    }

    QTemporaryDir aplankas;
    QString buves;
};

void TstNustatymuLentele::init() {
    QVERIFY(aplankas.isValid());
    buves = QDir::currentPath();
    QVERIFY(QDir::setCurrent(aplankas.path()));
}

void TstNustatymuLentele::cleanup() {
    QFile::remove(u"resursai/Nustatymai.tyb"_s);
    QDir::setCurrent(buves);
}

void TstNustatymuLentele::ikelimas_data() {
    QTest::addColumn<QByteArray>("a");
    QTest::addColumn<QByteArray>("b");
    QTest::addColumn<int>("tiketinasA");
    QTest::addColumn<int>("tiketinasB");
    QTest::addColumn<QString>("tiketinasTekstas");
    QTest::addColumn<QString>("klaida");
    QTest::newRow("all keys") << QByteArray(" 7 ") << QByteArray("  8") << 7 << 8 << u"Lietuviu"_s << QString();
    QTest::newRow("first interval fails: later keys untouched")
        << QByteArray("x") << QByteArray("8") << -1 << -1 << u"before"_s << u"'x' is not a valid integer value"_s;
    QTest::newRow("second interval's trailing blank fails, first applied")
        << QByteArray("7") << QByteArray("8 ") << 7 << -1 << u"before"_s << u"'8 ' is not a valid integer value"_s;
    QTest::newRow("negative refused") << QByteArray("7") << QByteArray("-1") << 7 << -1 << u"before"_s
                                      << u"'-1' is not a valid integer value"_s;
}

void TstNustatymuLentele::ikelimas() {
    QFETCH(QByteArray, a);
    QFETCH(QByteArray, b);
    QFETCH(QString, klaida);
    Rasyti("-->Nustatymai<--\r\nZyma=1\r\nA=" + a + "\r\nB=" + b + "\r\nKalba=Lietuviu\r\n");
    TReiksmes r;
    QString gauta;
    try {
        IkeltiNustatymus(Lentele(r));
    } catch (const EKlaida& e) {
        gauta = e.Message();
    }
    QCOMPARE(gauta, klaida);
    QVERIFY(r.zyma); // the key before the failing one is applied
    QTEST(r.apkarpytas, "tiketinasA");
    QTEST(r.neapkarpytas, "tiketinasB");
    QTEST(r.tekstas, "tiketinasTekstas");
}

void TstNustatymuLentele::issaugojimas() {
    // The save writes every key of the table, in its order, keeping the
    // file's other lines; a key missing from the file goes under the header.
    Rasyti("; options\r\n-->Nustatymai<--\r\nKalba=English\r\nA=1\r\n");
    TReiksmes r{true, 5000, 0, u"Lietuvių"_s};
    IssaugotiNustatymus(Lentele(r));
    QFile f(u"resursai/Nustatymai.tyb"_s);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(),
             QByteArray("; options\r\n-->Nustatymai<--\r\nB=0\r\nZyma=1\r\nKalba=Lietuvi\xc5\xb3\r\nA=5000\r\n"));
    // What was saved loads back to the same values.
    TReiksmes atgal;
    IkeltiNustatymus(Lentele(atgal));
    QCOMPARE(atgal.zyma, r.zyma);
    QCOMPARE(atgal.apkarpytas, r.apkarpytas);
    QCOMPARE(atgal.neapkarpytas, r.neapkarpytas);
    QCOMPARE(atgal.tekstas, r.tekstas);
}

void TstNustatymuLentele::parinktys() {
    // The program's options: a file loads into them, each change said once,
    // a second load of the same file changes nothing, and the save gives the
    // file back byte for byte.
    const QByteArray failas = "-->Nustatymai<--\r\nTAB=0\r\nMeniuApacioj=1\r\nArIseiti=0\r\nIssaugotiPakeitimus=1\r\n"
                              "KeistiHosta=1\r\nIntervalas= 7000 \r\nServeriaiBendrai=3000\r\nKalba=Deutsch\r\n"
                              "PranestiVieta=1\r\nPranestiDraugus=0\r\nNarsyklesGreitis=0\r\nNarsykleBeNetikru=1\r\n"
                              "Koduote=windows-1251\r\nNarsyklesVieta=-8,20,904,480\r\n";
    Rasyti(failas);
    TParinktys p;
    QSignalSpy zymos(&p, &TParinktys::ZymaPakito);
    QSignalSpy intervalas(&p, &TParinktys::IntervalasPakito);
    QSignalSpy greitis(&p, &TParinktys::NarsyklesGreitisPakito);
    IkeltiNustatymus(ParinkciuLentele(p));
    using Z = TParinktys::TZyma;
    QCOMPARE(zymos.count(), 5); // TAB, ArIseiti, KeistiHosta, PranestiVieta, NarsykleBeNetikru
    QCOMPARE(intervalas.count(), 1);
    QCOMPARE(greitis.count(), 1);
    QVERIFY(!p.Zyma(Z::TAB) && p.Zyma(Z::MeniuApacioj) && p.Zyma(Z::KeistiHosta) && p.Zyma(Z::NarsykleBeNetikru));
    QCOMPARE(p.Intervalas(), 7000);
    QCOMPARE(p.ServeriaiBendrai(), 3000);
    QCOMPARE(p.Kalba(), u"Deutsch"_s);
    QCOMPARE(p.NarsyklesGreitis(), 0);
    QCOMPARE(p.Koduote(), QByteArray("windows-1251"));
    QCOMPARE(p.NarsyklesVieta(), QRect(-8, 20, 904, 480));
    for (const QByteArray& blogas : {"1,2,3", "1,2,0,480", "1,2,904,480,5", "x,2,904,480", "0,0,99999,480"})
        QCOMPARE(SkaitytiVieta(blogas), QRect());
    IkeltiNustatymus(ParinkciuLentele(p));
    QCOMPARE(zymos.count() + intervalas.count() + greitis.count(), 7);
    IssaugotiNustatymus(ParinkciuLentele(p));
    QFile f(u"resursai/Nustatymai.tyb"_s);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray(failas).replace(" 7000 ", "7000"));
}

QTEST_GUILESS_MAIN(TstNustatymuLentele)
#include "tst_nustatymu_lentele.moc"
