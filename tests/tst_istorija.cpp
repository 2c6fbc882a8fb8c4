// The history on real SQLite files: one row per round with its figures, a day
// of one server read back, a writer killed with SIGKILL, damaged, locked and
// unwritable files reported once while the rest goes on, 30 days kept and
// older days thinned; the files the program makes are the user's alone.
#include <atomic>
#include <memory>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "Atmintis.h"
#include "IstorijosRasytojas.h"
#include "Istorija.h"
#include "Konsole.h"
#include "TybINI.h"
// The programs this test starts are the writer.
#define VELMORANT_TESTSERVER_EXE VELMORANT_RASYTOJAS_EXE
#include "Procesas.h"
#include "Pagalba.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kLaukimasMs = 30000;
constexpr qint64 kMin = 60 * 1000;
constexpr qint64 kVal = 60 * kMin;
constexpr qint64 kDiena = 24 * kVal;
// A moment on a 10-minute boundary, and one 5 minutes after it.
constexpr qint64 kLygus = 1767225600000; // 2026-01-01 00:00 UTC
constexpr qint64 kNelygus = kLygus + 5 * kMin;

bool Rasyti(const QString& kelias, const QByteArray& turinys) {
    QFile f(kelias);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(turinys) == turinys.size();
}

// The test's own connection to a database file, closed when it goes.
class TJungtis {
public:
    explicit TJungtis(const QString& kelias) : vardas(u"tikrinimas-%1"_s.arg(++kiek)) {
        QSqlDatabase b = QSqlDatabase::addDatabase(u"QSQLITE"_s, vardas);
        b.setDatabaseName(kelias);
        arAtidaryta = b.open();
    }
    ~TJungtis() {
        {
            QSqlDatabase b = QSqlDatabase::database(vardas, false);
            b.close();
        }
        QSqlDatabase::removeDatabase(vardas);
    }
    QSqlDatabase Baze() const { return QSqlDatabase::database(vardas, false); }
    // The first column of every row of `sql`, as text (NULL as "NULL").
    QStringList Stulpelis(const QString& sql) const {
        QSqlQuery q(Baze());
        QStringList reiksmes;
        if (!q.exec(sql))
            return {u"error: "_s + q.lastError().text()};
        while (q.next())
            reiksmes.append(q.value(0).isNull() ? u"NULL"_s : q.value(0).toString());
        return reiksmes;
    }
    QList<TIstorijosEilute> Eilutes() const {
        QSqlQuery q(Baze());
        QList<TIstorijosEilute> eilutes;
        if (!q.exec(u"SELECT serveris, laikas, zaidejai, maks_zaideju, pingas, zemelapis FROM raundai "
                    u"ORDER BY laikas, serveris"_s))
            return eilutes;
        const auto sk = [&q](int i) -> std::optional<int> {
            return q.value(i).isNull() ? std::nullopt : std::optional<int>(q.value(i).toInt());
        };
        while (q.next())
            eilutes.append({q.value(0).toString(), q.value(1).toLongLong(), sk(2), sk(3), sk(4),
                            q.value(5).isNull() ? QString() : q.value(5).toString()});
        return eilutes;
    }
    bool arAtidaryta = false;

private:
    static inline int kiek = 0;
    QString vardas;
};

TRaundoSantrauka Raundas(const QString& serveris, qint64 laikas, std::optional<int> pingas = 30,
                         std::optional<int> zaidejai = 10, std::optional<int> max = 20,
                         const QByteArray& zemelapis = "de_dust2") {
    TRaundoSantrauka r;
    r.Serveris = serveris;
    r.LaikasMs = laikas;
    r.PingoMs = pingas;
    r.Zaidejai = zaidejai;
    r.MaxZaideju = max;
    r.Zemelapis = zemelapis;
    r.Pavadinimas = "Srv";
    return r;
}

// A file's mode bits (what the current user may do aside: root may do anything).
QFile::Permissions Teises(const QString& kelias) {
    return QFile::permissions(kelias) & ~QFile::Permissions(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
}

// Waits until the history has done everything handed to it before: its answer
// to a query comes after all of that.
bool Palaukti(TIstorija& istorija) {
    QSignalSpy atsakymas(&istorija, &TIstorija::ParosDuomenys);
    istorija.UzklaustiParos(u"-"_s);
    return atsakymas.wait(kLaukimasMs);
}

// A database with `kiek` rounds of one server, made by the history itself and closed.
bool SukurtiBaze(const QString& kelias, int kiek) {
    TIstorijosBaze baze(kelias);
    if (!baze.Atidaryti(kLygus))
        return false;
    QList<TIstorijosEilute> eilutes;
    for (int i = 0; i < kiek; ++i)
        eilutes.append(IstorijosEilute(Raundas(u"srv.example:27015"_s, kLygus - kVal + i * 10)));
    return baze.Irasyti(eilutes);
}

} // namespace

Q_DECLARE_METATYPE(TRaundoSantrauka)
Q_DECLARE_METATYPE(TIstorijosEilute)

class TstIstorija : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void eilute_data();
    void eilute();
    void eilutePerRaunda();
    void parosEilutes();
    void uzdarantIrasoma();
    void nuzudytasRasytojas();
    void sugadintasFailas_data();
    void sugadintasFailas();
    void uzrakintasFailas();
    void neirasomasFailas_data();
    void neirasomasFailas();
    void genejimas_data();
    void genejimas();
    void tvarkymasKasValanda();
    void numatytasKelias();
    void privatusFailai();

private:
    std::unique_ptr<QTemporaryDir> aplankas;
    QString kelias;
};

void TstIstorija::initTestCase() {
    if (!QSqlDatabase::isDriverAvailable(u"QSQLITE"_s))
        QSKIP("Qt's SQLite driver is missing (Debian package libqt6sql6-sqlite, installed by tools/deps.sh)");
}

void TstIstorija::init() {
    aplankas = std::make_unique<QTemporaryDir>();
    QVERIFY(aplankas->isValid());
    kelias = aplankas->filePath(u"Velmorant/istorija.sqlite"_s);
}

void TstIstorija::cleanup() {
    aplankas.reset();
}

void TstIstorija::eilute_data() {
    QTest::addColumn<TRaundoSantrauka>("raundas");
    QTest::addColumn<TIstorijosEilute>("eilute");
    const qint64 t = kLygus + 1234;
    QTest::newRow("every reply") << Raundas(u"cs.example:27015"_s, t, 35, 19, 20, "de_dust2")
                                 << TIstorijosEilute{u"cs.example:27015"_s, t, 19, 20, 35, u"de_dust2"_s};
    QTest::newRow("timed out: NULL figures")
        << Raundas(u"cs.example:27015"_s, t, std::nullopt, std::nullopt, std::nullopt, {})
        << TIstorijosEilute{u"cs.example:27015"_s, t, std::nullopt, std::nullopt, std::nullopt, {}};
    QTest::newRow("only the ping answered")
        << Raundas(u"cs.example:27015"_s, t, 12, std::nullopt, std::nullopt, {})
        << TIstorijosEilute{u"cs.example:27015"_s, t, std::nullopt, std::nullopt, 12, {}};
    QTest::newRow("details without a ping")
        << Raundas(u"cs.example:27015"_s, t, std::nullopt, 3, 16, "cs_office")
        << TIstorijosEilute{u"cs.example:27015"_s, t, 3, 16, std::nullopt, u"cs_office"_s};
    QTest::newRow("an empty server, zero ping") << Raundas(u"cs.example:27015"_s, t, 0, 0, 0, "x")
                                                << TIstorijosEilute{u"cs.example:27015"_s, t, 0, 0, 0, u"x"_s};
    QTest::newRow("the address as typed")
        << Raundas(u"  Cs.Example "_s, t) << TIstorijosEilute{u"  Cs.Example "_s, t, 10, 20, 30, u"de_dust2"_s};
    QTest::newRow("a map name in Windows-1257")
        << Raundas(u"a:1"_s, t, 30, 10, 20, "\xD0ilas") << TIstorijosEilute{u"a:1"_s, t, 10, 20, 30, u"Šilas"_s};
    // A row is as small for a 16 KB map name as for a real one.
    QTest::newRow("a map name of 16 KB: 64 characters, one line")
        << Raundas(u"a:1"_s, t, 30, 10, 20, "de\r\n" + QByteArray(16384, 'm'))
        << TIstorijosEilute{u"a:1"_s, t, 10, 20, 30, u"de  "_s + QString(59, u'm') + u"\u2026"_s};
}

void TstIstorija::eilute() {
    QFETCH(TRaundoSantrauka, raundas);
    QFETCH(TIstorijosEilute, eilute);
    {
        TIstorija istorija(kelias, [] { return kLygus; });
        QSignalSpy irasyta(&istorija, &TIstorija::Irasyta);
        istorija.Irasyti(raundas);
        QVERIFY(irasyta.wait(kLaukimasMs));
        QCOMPARE(irasyta.constLast().at(0).toLongLong(), 1);
        QVERIFY(istorija.ArVeikia());
    }
    TJungtis jungtis(kelias);
    QVERIFY(jungtis.arAtidaryta);
    QCOMPARE(jungtis.Eilutes(), QList<TIstorijosEilute>{eilute});
    QCOMPARE(jungtis.Stulpelis(u"PRAGMA journal_mode"_s), QStringList{u"wal"_s});
    // NULL is NULL, not 0 or an empty text.
    QCOMPARE(jungtis.Stulpelis(u"SELECT count(*) FROM raundai WHERE pingas IS NULL"_s),
             QStringList{QString::number(eilute.PingoMs ? 0 : 1)});
    QCOMPARE(jungtis.Stulpelis(u"SELECT typeof(zemelapis) FROM raundai"_s),
             QStringList{eilute.Zemelapis.isEmpty() ? u"null"_s : u"text"_s});
}

void TstIstorija::eilutePerRaunda() {
    // A burst of rounds of three servers, as the list and the watcher give them.
    QList<TIstorijosEilute> tiketinos;
    {
        TIstorija istorija(kelias, [] { return kLygus; });
        QSignalSpy irasyta(&istorija, &TIstorija::Irasyta);
        for (int i = 0; i < 300; ++i) {
            const TRaundoSantrauka r = Raundas(u"10.0.0.%1:27015"_s.arg(i % 3), kLygus - kVal + i * 3333,
                                               i % 11 ? std::optional<int>(i) : std::nullopt, i % 33, 32);
            istorija.Irasyti(r);
            tiketinos.append(IstorijosEilute(r));
        }
        QTRY_COMPARE_WITH_TIMEOUT(irasyta.isEmpty() ? 0 : irasyta.constLast().at(0).toLongLong(), 300, kLaukimasMs);
    }
    TJungtis jungtis(kelias);
    QCOMPARE(jungtis.Eilutes(), tiketinos);
    QCOMPARE(jungtis.Stulpelis(u"PRAGMA integrity_check"_s), QStringList{u"ok"_s});
}

void TstIstorija::parosEilutes() {
    std::atomic<qint64> dabar = kNelygus;
    TIstorija istorija(kelias, [&dabar] { return dabar.load(); });
    QSignalSpy atsakymas(&istorija, &TIstorija::ParosDuomenys);
    const QString a = u"a.example:27015"_s;
    for (const qint64 laikas :
         {kNelygus - 2 * kDiena, kNelygus - kDiena - 1, kNelygus - kDiena, kNelygus - kVal, kNelygus - 10000, kNelygus})
        istorija.Irasyti(Raundas(a, laikas, laikas == kNelygus ? std::nullopt : std::optional<int>(40)));
    istorija.Irasyti(Raundas(u"b.example:27015"_s, kNelygus - 5000));
    // Asked at once: the rounds just handed over are part of the answer.
    istorija.UzklaustiParos(a);
    QVERIFY(atsakymas.wait(kLaukimasMs));
    QCOMPARE(atsakymas.at(0).at(0).toString(), a);
    const auto taskai = atsakymas.at(0).at(1).value<TIstorijosTaskai>();
    QList<qint64> laikai;
    for (const TIstorijosTaskas& t : taskai)
        laikai.append(t.LaikasMs);
    QCOMPARE(laikai, (QList<qint64>{kNelygus - kDiena, kNelygus - kVal, kNelygus - 10000, kNelygus}));
    QCOMPARE(taskai.constLast(), (TIstorijosTaskas{kNelygus, 10, 20, std::nullopt}));
    QCOMPARE(taskai.constFirst(), (TIstorijosTaskas{kNelygus - kDiena, 10, 20, 40}));
    // A server without rows answers with none.
    istorija.UzklaustiParos(u"c.example:27015"_s);
    QVERIFY(atsakymas.wait(kLaukimasMs));
    QCOMPARE(atsakymas.at(1).at(0).toString(), u"c.example:27015"_s);
    QVERIFY(atsakymas.at(1).at(1).value<TIstorijosTaskai>().isEmpty());
}

void TstIstorija::uzdarantIrasoma() {
    {
        TIstorija istorija(kelias, [] { return kLygus; });
        for (int i = 0; i < 50; ++i)
            istorija.Irasyti(Raundas(u"a:1"_s, kLygus - i * 10000));
    }
    TJungtis jungtis(kelias);
    QCOMPARE(jungtis.Stulpelis(u"SELECT count(*) FROM raundai"_s), QStringList{u"50"_s});
}

void TstIstorija::nuzudytasRasytojas() {
    TProcesas rasytojas(QStringLiteral(VELMORANT_RASYTOJAS_EXE), kLaukimasMs);
    rasytojas.Pradeti({kelias});
    // Let it write a good number of rounds, then kill it in the middle of its work.
    const auto eilutes = [&rasytojas] {
        return rasytojas.isvestis.split('\n');
    };
    QTRY_VERIFY_WITH_TIMEOUT(eilutes().size() > 60 || rasytojas.procesas.state() == QProcess::NotRunning, kLaukimasMs);
    QCOMPARE(rasytojas.procesas.state(), QProcess::Running);
    rasytojas.procesas.kill(); // SIGKILL
    QVERIFY(rasytojas.LauktiPabaigos());
    QCOMPARE(rasytojas.procesas.exitStatus(), QProcess::CrashExit);

    QList<QByteArray> isvesta = eilutes();
    QVERIFY2(isvesta.first().startsWith("start "), rasytojas.isvestis.left(200).constData());
    const qint64 pradzia = isvesta.takeFirst().mid(6).toLongLong();
    if (!rasytojas.isvestis.endsWith('\n'))
        isvesta.removeLast(); // a line cut by the kill
    qint64 paskutinis = 0;
    for (const QByteArray& e : std::as_const(isvesta)) {
        if (e.isEmpty())
            continue;
        QCOMPARE(e.toLongLong(), paskutinis + 1);
        paskutinis = e.toLongLong();
    }
    QVERIFY(paskutinis >= 50);

    TJungtis jungtis(kelias);
    QVERIFY(jungtis.arAtidaryta);
    QCOMPARE(jungtis.Stulpelis(u"PRAGMA integrity_check"_s), QStringList{u"ok"_s});
    // Every round the writer saw written is there; the one it was writing may be.
    const QList<TIstorijosEilute> eilutesBazeje = jungtis.Eilutes();
    QVERIFY2(eilutesBazeje.size() == paskutinis || eilutesBazeje.size() == paskutinis + 1,
             qPrintable(u"%1 rows, %2 rounds reported"_s.arg(eilutesBazeje.size()).arg(paskutinis)));
    for (qsizetype i = 0; i < eilutesBazeje.size(); ++i)
        QCOMPARE(eilutesBazeje.at(i), IstorijosEilute(IstorijosRasytojoRaundas(pradzia, i + 1)));

    // The file goes on as the history: opened again, it takes more rounds.
    TIstorija istorija(kelias);
    QSignalSpy irasyta(&istorija, &TIstorija::Irasyta);
    istorija.Irasyti(IstorijosRasytojoRaundas(pradzia, eilutesBazeje.size() + 1));
    QVERIFY(irasyta.wait(kLaukimasMs));
    QVERIFY(istorija.ArVeikia());
}

void TstIstorija::sugadintasFailas_data() {
    QTest::addColumn<QString>("sugadinimas");
    QTest::newRow("not a database at all") << u"garbage"_s;
    QTest::newRow("header overwritten") << u"header"_s;
    QTest::newRow("a page overwritten") << u"page"_s;
    QTest::newRow("cut to half its size") << u"cut"_s;
}

void TstIstorija::sugadintasFailas() {
    QFETCH(QString, sugadinimas);
    QVERIFY(QDir().mkpath(QFileInfo(kelias).absolutePath()));
    if (sugadinimas == u"garbage"_s) {
        QVERIFY(Rasyti(kelias, QByteArray(8192, 'x')));
    } else {
        QVERIFY(SukurtiBaze(kelias, 5000));
        QByteArray turinys = Skaityti(kelias);
        QVERIFY(turinys.size() > 16 * 4096);
        if (sugadinimas == u"header"_s)
            turinys.replace(0, 100, QByteArray(100, '\x5A'));
        else if (sugadinimas == u"page"_s)
            turinys.replace(4 * 4096, 4096, QByteArray(4096, '\xA5'));
        else
            turinys.truncate(turinys.size() / 2);
        QVERIFY(Rasyti(kelias, turinys));
    }
    const QByteArray pries = Skaityti(kelias);

    TIstorija istorija(kelias, [] { return kLygus; });
    QSignalSpy sugedo(&istorija, &TIstorija::Sugedo);
    QSignalSpy atsakymas(&istorija, &TIstorija::ParosDuomenys);
    QVERIFY(sugedo.wait(kLaukimasMs));
    QVERIFY(!istorija.ArVeikia());
    const QString tekstas = sugedo.at(0).at(0).toString();
    QCOMPARE(istorija.Klaida(), tekstas);
    QVERIFY2(tekstas.contains(QDir::toNativeSeparators(kelias)), qPrintable(tekstas));
    QVERIFY2(tekstas.contains(u"malformed"_s) || tekstas.contains(u"not a database"_s) ||
                 tekstas.contains(u"damaged"_s),
             qPrintable(tekstas));
    // The watch goes on: rounds are taken and dropped, queries answer with
    // nothing, and nothing is said a second time.
    for (int i = 0; i < 20; ++i)
        istorija.Irasyti(Raundas(u"srv.example:27015"_s, kLygus - i));
    istorija.UzklaustiParos(u"srv.example:27015"_s);
    QVERIFY(atsakymas.wait(kLaukimasMs));
    QVERIFY(atsakymas.at(0).at(1).value<TIstorijosTaskai>().isEmpty());
    QCOMPARE(sugedo.size(), 1);
    // The user's file is left as it was, for them to look at.
    QCOMPARE(Skaityti(kelias), pries);
}

void TstIstorija::uzrakintasFailas() {
    // Another program holds the file's write lock for good.
    QVERIFY(QDir().mkpath(QFileInfo(kelias).absolutePath()));
    TJungtis kitas(kelias);
    QVERIFY(kitas.arAtidaryta);
    QSqlQuery q(kitas.Baze());
    QVERIFY(q.exec(u"PRAGMA journal_mode=DELETE"_s));
    QVERIFY(q.exec(u"CREATE TABLE kita (x)"_s));
    QVERIFY(q.exec(u"BEGIN EXCLUSIVE"_s));
    QVERIFY(q.exec(u"INSERT INTO kita VALUES (1)"_s));

    TIstorija istorija(kelias, [] { return kLygus; });
    QSignalSpy sugedo(&istorija, &TIstorija::Sugedo);
    QVERIFY(sugedo.wait(kLaukimasMs));
    QVERIFY2(sugedo.at(0).at(0).toString().contains(u"locked"_s), qPrintable(sugedo.at(0).at(0).toString()));
    istorija.Irasyti(Raundas(u"a:1"_s, kLygus));
    QVERIFY(Palaukti(istorija));
    QCOMPARE(sugedo.size(), 1);
    QVERIFY(q.exec(u"ROLLBACK"_s));
}

void TstIstorija::neirasomasFailas_data() {
    QTest::addColumn<QString>("kliutis");
    QTest::newRow("the folder is a file") << u"folder"_s;
    QTest::newRow("a folder in the file's place") << u"file"_s;
}

void TstIstorija::neirasomasFailas() {
    QFETCH(QString, kliutis);
    if (kliutis == u"folder"_s)
        QVERIFY(Rasyti(QFileInfo(kelias).absolutePath(), "not a folder"));
    else
        QVERIFY(QDir().mkpath(kelias));
    TIstorija istorija(kelias, [] { return kLygus; });
    QSignalSpy sugedo(&istorija, &TIstorija::Sugedo);
    QVERIFY(sugedo.wait(kLaukimasMs));
    QVERIFY(!istorija.ArVeikia());
    QVERIFY(sugedo.at(0).at(0).toString().contains(QDir::toNativeSeparators(kelias)));
    istorija.Irasyti(Raundas(u"a:1"_s, kLygus));
    QVERIFY(Palaukti(istorija));
    QCOMPARE(sugedo.size(), 1);
}

void TstIstorija::genejimas_data() {
    // Rows put into the file before the start (server, ms before the start),
    // and those that the start leaves.
    using TEilutes = QList<std::pair<QString, qint64>>;
    QTest::addColumn<qint64>("dabar");
    QTest::addColumn<TEilutes>("pries");
    QTest::addColumn<TEilutes>("po");
    const QString a = u"a:1"_s;
    const QString b = u"b:2"_s;
    const qint64 s = 1000;
    QTest::newRow("30 days kept to the ms, older pruned")
        << kLygus << TEilutes{{a, 31 * kDiena}, {a, 30 * kDiena + 1}, {a, 30 * kDiena}, {a, 29 * kDiena}}
        << TEilutes{{a, 30 * kDiena}, {a, 29 * kDiena}};
    QTest::newRow("every round of the last 24 hours kept")
        << kNelygus << TEilutes{{a, kDiena}, {a, kDiena - 10 * s}, {a, kDiena - 20 * s}, {a, 10 * s}, {a, 0}}
        << TEilutes{{a, kDiena}, {a, kDiena - 10 * s}, {a, kDiena - 20 * s}, {a, 10 * s}, {a, 0}};
    QTest::newRow("older rounds thinned to the first of each 10 minutes")
        << kLygus << TEilutes{{a, 2 * kDiena},           {a, 2 * kDiena - 10 * s},  {a, 2 * kDiena - 590 * s},
                              {a, 2 * kDiena - 600 * s}, {a, 2 * kDiena - 610 * s}, {a, 2 * kDiena - 1199 * s},
                              {a, 2 * kDiena - 1200 * s}}
        << TEilutes{{a, 2 * kDiena}, {a, 2 * kDiena - 600 * s}, {a, 2 * kDiena - 1200 * s}};
    QTest::newRow("thinned server by server")
        << kLygus << TEilutes{{a, 2 * kDiena}, {b, 2 * kDiena - 10 * s}, {a, 2 * kDiena - 20 * s}}
        << TEilutes{{a, 2 * kDiena}, {b, 2 * kDiena - 10 * s}};
    QTest::newRow("ten minutes that straddle the 24-hour line")
        << kNelygus << TEilutes{{a, kDiena + 200 * s}, {a, kDiena + 100 * s}, {a, kDiena - 100 * s}}
        << TEilutes{{a, kDiena + 200 * s}, {a, kDiena - 100 * s}};
    QTest::newRow("a lone old round stays")
        << kLygus << TEilutes{{a, 20 * kDiena + 123}} << TEilutes{{a, 20 * kDiena + 123}};
}

void TstIstorija::genejimas() {
    using TEilutes = QList<std::pair<QString, qint64>>;
    QFETCH(qint64, dabar);
    QFETCH(TEilutes, pries);
    QFETCH(TEilutes, po);
    {
        // Written as of long before, so nothing is thinned yet.
        TIstorijosBaze baze(kelias);
        QVERIFY2(baze.Atidaryti(dabar - 40 * kDiena), qPrintable(baze.Klaida()));
        QList<TIstorijosEilute> eilutes;
        for (const auto& [serveris, pirmiau] : pries)
            eilutes.append(IstorijosEilute(Raundas(serveris, dabar - pirmiau)));
        QVERIFY(baze.Irasyti(eilutes));
    }
    TIstorija istorija(kelias, [dabar] { return dabar; });
    QVERIFY(Palaukti(istorija));
    QVERIFY(istorija.ArVeikia());
    TJungtis jungtis(kelias);
    TEilutes liko;
    for (const TIstorijosEilute& e : jungtis.Eilutes())
        liko.append({e.Serveris, dabar - e.LaikasMs});
    std::sort(po.begin(), po.end(), [](const auto& x, const auto& y) { return x.second > y.second; });
    QCOMPARE(liko, po);
}

void TstIstorija::tvarkymasKasValanda() {
    // The program started 24.5 hours ago and wrote rounds every 10 s for an hour.
    std::atomic<qint64> dabar = kLygus - kDiena - 30 * kMin;
    TIstorija istorija(kelias, [&dabar] { return dabar.load(); });
    const QString a = u"a:1"_s;
    for (qint64 t = kLygus - kDiena - 30 * kMin; t < kLygus - kDiena + 30 * kMin; t += 10000)
        istorija.Irasyti(Raundas(a, t));
    QVERIFY(Palaukti(istorija));
    {
        TJungtis jungtis(kelias);
        QCOMPARE(jungtis.Stulpelis(u"SELECT count(*) FROM raundai"_s), QStringList{u"360"_s});
    }
    // A day later every one of them is older than 24 hours: the next round's
    // write finds the hourly thinning due.
    dabar = kLygus + kVal;
    istorija.Irasyti(Raundas(a, kLygus + kVal));
    QVERIFY(Palaukti(istorija));
    TJungtis jungtis(kelias);
    QStringList tiketini;
    for (qint64 t = kLygus - kDiena - 30 * kMin; t < kLygus - kDiena + 30 * kMin; t += 10 * kMin)
        tiketini.append(QString::number(t));
    tiketini.append(QString::number(kLygus + kVal));
    QCOMPARE(jungtis.Stulpelis(u"SELECT laikas FROM raundai ORDER BY laikas"_s), tiketini);
}

void TstIstorija::numatytasKelias() {
    qputenv("XDG_DATA_HOME", aplankas->path().toUtf8());
    QCoreApplication::setApplicationName(u"Velmorant"_s);
    QCOMPARE(TIstorija::NumatytasKelias(), aplankas->path() + u"/Velmorant/istorija.sqlite"_s);
    {
        TIstorija istorija;
        QVERIFY(Palaukti(istorija));
        QVERIFY(istorija.ArVeikia());
    }
    QVERIFY(QFileInfo(aplankas->path() + u"/Velmorant/istorija.sqlite"_s).isFile());
}

void TstIstorija::privatusFailai() {
    // What the program writes tells which servers the user watches or runs:
    // files it makes are 0600 in folders it makes 0700; what exists keeps its mode.
    const QList<std::function<bool(const QString&)>> rasytojai{
        [](const QString& k) { // the history, whose -wal and -shm take the database's mode
            TIstorijosBaze baze(k);
            return baze.Atidaryti(kLygus) && baze.Irasyti({IstorijosEilute(Raundas(u"a:1"_s, kLygus))}) &&
                   Teises(k + u"-wal"_s) == Teises(k) && Teises(k + u"-shm"_s) == Teises(k);
        },
        [](const QString& k) { return IssaugotiAtminti(TServeriuRegistras(), k); },
        [](const QString& k) {
            TKonsoliuRegistras registras;
            registras.NustatytiFaila(k, 0);
            registras.Sargas(u"10.0.0.1:1"_s).Pradeti(0);
            return registras.Issaugoti(0);
        },
        [](const QString& k) { return (PakeistiFailaAtomiskai(k, "x"), true); }, // settings, list, friends
    };
    const QFile::Permissions savininko = QFile::ReadOwner | QFile::WriteOwner;
    for (qsizetype i = 0; i < rasytojai.size(); ++i) {
        const QString failas = aplankas->filePath(u"%1/Velmorant/failas"_s.arg(i));
        QVERIFY(rasytojai[i](failas));
        QCOMPARE(Teises(failas), savininko);
        QCOMPARE(Teises(QFileInfo(failas).path()), savininko | QFile::ExeOwner);
        QCOMPARE(Teises(aplankas->filePath(QString::number(i))), savininko | QFile::ExeOwner);
        QVERIFY(QFile::setPermissions(failas, savininko | QFile::ReadOther));
        QVERIFY(rasytojai[i](failas));
        QCOMPARE(Teises(failas), savininko | QFile::ReadOther);
    }
}

QTEST_GUILESS_MAIN(TstIstorija)
#include "tst_istorija.moc"
