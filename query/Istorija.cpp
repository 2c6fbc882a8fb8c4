#include "Istorija.h"

#include <limits>

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>

#include "PrivatusFailas.h"
#include "Tekstas.h"

using namespace Qt::StringLiterals;

namespace {

const QString kTvarkykle = u"QSQLITE"_s;

QVariant SveikasisArNull(const std::optional<int>& reiksme) {
    return reiksme ? QVariant(*reiksme) : QVariant(QMetaType::fromType<int>());
}

// Runs one statement with its values on a query of its own; the first column
// of its rows goes into `eilutes` when given. The error's text when it fails.
std::optional<QString> Vykdyti(const QSqlDatabase& baze, const QString& sql, const QVariantList& reiksmes = {},
                               QStringList* eilutes = nullptr) {
    QSqlQuery q(baze);
    if (!q.prepare(sql))
        return q.lastError().text();
    for (const QVariant& r : reiksmes)
        q.addBindValue(r);
    if (!q.exec())
        return q.lastError().text();
    while (eilutes && q.next())
        eilutes->append(q.value(0).toString());
    if (q.lastError().isValid())
        return q.lastError().text();
    return std::nullopt;
}

std::optional<int> SveikasisArNieko(const QVariant& reiksme) {
    if (reiksme.isNull())
        return std::nullopt;
    return reiksme.toInt();
}

} // namespace

TIstorijosEilute IstorijosEilute(const TRaundoSantrauka& r) {
    TIstorijosEilute e;
    e.Serveris = r.Serveris;
    e.LaikasMs = r.LaikasMs;
    e.Zaidejai = r.Zaidejai;
    e.MaxZaideju = r.MaxZaideju;
    e.PingoMs = r.PingoMs;
    // The map's name is the server's text: a row stays small whatever it sends.
    e.Zemelapis = VienaEilute(ServerioTekstas(r.Zemelapis), kZemelapioRiba);
    return e;
}

// ---- The database ----

struct TIstorijosBaze::TVidus {
    QString jungtiesVardas;
    QSqlDatabase baze;
    std::optional<QSqlQuery> irasymas;
    std::optional<QSqlQuery> skaitymas;
};

TIstorijosBaze::TIstorijosBaze(QString kelias) : kelias(std::move(kelias)) {}

TIstorijosBaze::~TIstorijosBaze() {
    Uzdaryti();
}

void TIstorijosBaze::Uzdaryti() {
    if (!vidus)
        return;
    const QString vardas = vidus->jungtiesVardas;
    vidus->irasymas.reset();
    vidus->skaitymas.reset();
    vidus->baze.close();
    vidus.reset();
    QSqlDatabase::removeDatabase(vardas);
}

bool TIstorijosBaze::Nepavyko(const QString& veiksmas, const QString& priezastis) {
    klaida = u"\"%1\": %2: %3"_s.arg(QDir::toNativeSeparators(kelias), veiksmas, priezastis);
    Uzdaryti();
    return false;
}

bool TIstorijosBaze::Atidaryti(qint64 dabarMs) {
    Uzdaryti();
    klaida.clear();
    retintaIki.reset();
    if (!QSqlDatabase::isDriverAvailable(kTvarkykle))
        return Nepavyko(u"cannot open"_s, u"Qt's SQLite driver is missing (Debian package libqt6sql6-sqlite)"_s);
    // Made the user's alone before SQLite opens it: its -wal and -shm files take its mode.
    if (!SukurtiPrivatuFaila(kelias))
        return Nepavyko(u"cannot open"_s, u"the file or its folder cannot be made"_s);

    vidus = std::make_unique<TVidus>();
    vidus->jungtiesVardas = u"istorija-%1"_s.arg(quintptr(this));
    vidus->baze = QSqlDatabase::addDatabase(kTvarkykle, vidus->jungtiesVardas);
    vidus->baze.setDatabaseName(kelias);
    // A second program on the same file may hold the write lock for a moment.
    vidus->baze.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT=2000"_s);
    if (!vidus->baze.open())
        return Nepavyko(u"cannot open"_s, vidus->baze.lastError().text());

    // A file that is no database fails here already.
    QStringList pastabos;
    if (const auto klaida = Vykdyti(vidus->baze, u"PRAGMA quick_check"_s, {}, &pastabos))
        return Nepavyko(u"cannot read"_s, *klaida);
    if (pastabos != QStringList{u"ok"_s})
        return Nepavyko(u"the file is damaged"_s, pastabos.join(u"; "_s));
    if (const auto klaida = Vykdyti(vidus->baze, u"PRAGMA journal_mode=WAL"_s))
        return Nepavyko(u"cannot set the journal"_s, *klaida);
    // In WAL mode NORMAL loses nothing a killed program committed; only a
    // power loss may take the last transactions.
    if (const auto klaida = Vykdyti(vidus->baze, u"PRAGMA synchronous=NORMAL"_s))
        return Nepavyko(u"cannot set the journal"_s, *klaida);
    if (const auto klaida =
            Vykdyti(vidus->baze, u"CREATE TABLE IF NOT EXISTS raundai (serveris TEXT, laikas INTEGER, "
                                 u"zaidejai INTEGER, maks_zaideju INTEGER, pingas INTEGER, zemelapis TEXT, "
                                 u"PRIMARY KEY (serveris, laikas)) WITHOUT ROWID"_s))
        return Nepavyko(u"cannot make the table"_s, *klaida);

    vidus->irasymas.emplace(vidus->baze);
    if (!vidus->irasymas->prepare(u"INSERT OR IGNORE INTO raundai (serveris, laikas, zaidejai, maks_zaideju, "
                                  u"pingas, zemelapis) VALUES (?, ?, ?, ?, ?, ?)"_s))
        return Nepavyko(u"cannot write"_s, vidus->irasymas->lastError().text());
    vidus->skaitymas.emplace(vidus->baze);
    vidus->skaitymas->setForwardOnly(true);
    if (!vidus->skaitymas->prepare(u"SELECT laikas, zaidejai, maks_zaideju, pingas FROM raundai "
                                   u"WHERE serveris = ? AND laikas >= ? AND laikas <= ? ORDER BY laikas"_s))
        return Nepavyko(u"cannot read"_s, vidus->skaitymas->lastError().text());
    return Tvarkyti(dabarMs);
}

bool TIstorijosBaze::Irasyti(const QList<TIstorijosEilute>& eilutes) {
    if (!vidus)
        return false;
    if (!vidus->baze.transaction())
        return Nepavyko(u"cannot write"_s, vidus->baze.lastError().text());
    QSqlQuery& q = *vidus->irasymas;
    for (const TIstorijosEilute& e : eilutes) {
        q.bindValue(0, e.Serveris);
        q.bindValue(1, e.LaikasMs);
        q.bindValue(2, SveikasisArNull(e.Zaidejai));
        q.bindValue(3, SveikasisArNull(e.MaxZaideju));
        q.bindValue(4, SveikasisArNull(e.PingoMs));
        q.bindValue(5, e.Zemelapis.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(e.Zemelapis));
        if (!q.exec()) {
            const QString priezastis = q.lastError().text();
            vidus->baze.rollback();
            return Nepavyko(u"cannot write"_s, priezastis);
        }
    }
    if (!vidus->baze.commit()) {
        const QString priezastis = vidus->baze.lastError().text();
        vidus->baze.rollback();
        return Nepavyko(u"cannot write"_s, priezastis);
    }
    return true;
}

bool TIstorijosBaze::Tvarkyti(qint64 dabarMs) {
    if (!vidus)
        return false;
    if (const auto klaida =
            Vykdyti(vidus->baze, u"DELETE FROM raundai WHERE laikas < ?"_s, {dabarMs - kIstorijosRibaMs}))
        return Nepavyko(u"cannot prune"_s, *klaida);

    // A row goes when its server has an earlier row in the same 10 minutes;
    // the rows before retintaIki were looked at by an earlier pass already.
    const qint64 iki = dabarMs - kIstorijosParaMs;
    const qint64 nuo =
        retintaIki ? *retintaIki - *retintaIki % kIstorijosRetinimasMs : std::numeric_limits<qint64>::min();
    if (nuo < iki) {
        if (const auto klaida = Vykdyti(vidus->baze,
                                        u"DELETE FROM raundai WHERE laikas >= ? AND laikas < ? AND EXISTS ("
                                        u"SELECT 1 FROM raundai AS a WHERE a.serveris = raundai.serveris "
                                        u"AND a.laikas < raundai.laikas "
                                        u"AND a.laikas >= raundai.laikas - raundai.laikas % ?)"_s,
                                        {nuo, iki, kIstorijosRetinimasMs}))
            return Nepavyko(u"cannot thin"_s, *klaida);
    }
    retintaIki = std::max(iki, retintaIki.value_or(iki));
    return true;
}

TIstorijosTaskai TIstorijosBaze::Skaityti(const QString& serveris, qint64 nuoMs, qint64 ikiMs) {
    TIstorijosTaskai taskai;
    if (!vidus)
        return taskai;
    QSqlQuery& q = *vidus->skaitymas;
    q.bindValue(0, serveris);
    q.bindValue(1, nuoMs);
    q.bindValue(2, ikiMs);
    if (!q.exec()) {
        Nepavyko(u"cannot read"_s, q.lastError().text());
        return taskai;
    }
    while (q.next()) {
        TIstorijosTaskas t;
        t.LaikasMs = q.value(0).toLongLong();
        t.Zaidejai = SveikasisArNieko(q.value(1));
        t.MaxZaideju = SveikasisArNieko(q.value(2));
        t.PingoMs = SveikasisArNieko(q.value(3));
        taskai.append(t);
    }
    const bool klaidinga = q.lastError().isValid();
    const QString priezastis = q.lastError().text();
    q.finish();
    if (klaidinga) {
        Nepavyko(u"cannot read"_s, priezastis);
        return {};
    }
    return taskai;
}

// ---- The history's thread ----

class TIstorijosDarbininkas : public QObject {
public:
    TIstorijosDarbininkas(const QString& kelias, std::function<qint64()> laikrodis,
                          std::shared_ptr<std::atomic<bool>> arVeikia, TIstorija* istorija)
        : baze(kelias), laikrodis(std::move(laikrodis)), arVeikia(std::move(arVeikia)), istorija(istorija) {}

    void Pradeti() {
        const qint64 dabar = laikrodis();
        if (!baze.Atidaryti(dabar))
            return Sugesti();
        tvarkyta = dabar;
    }

    void Prideti(const TIstorijosEilute& eilute) {
        if (arSugedo)
            return;
        laukia.append(eilute);
        // Every round handed over before this write runs goes into its transaction.
        if (!arRasymasLaukia) {
            arRasymasLaukia = true;
            QMetaObject::invokeMethod(
                this, [this] { Rasyti(); }, Qt::QueuedConnection);
        }
    }

    void Rasyti() {
        arRasymasLaukia = false;
        if (arSugedo || laukia.isEmpty())
            return;
        const bool pavyko = baze.Irasyti(laukia);
        const qint64 kiek = laukia.size();
        laukia.clear();
        if (!pavyko)
            return Sugesti();
        irasyta += kiek;
        QMetaObject::invokeMethod(istorija, [i = istorija, n = irasyta] { Q_EMIT i->Irasyta(n); });
        const qint64 dabar = laikrodis();
        if (dabar - tvarkyta >= kIstorijosTvarkymasMs) {
            tvarkyta = dabar;
            if (!baze.Tvarkyti(dabar))
                Sugesti();
        }
    }

    void Skaityti(const QString& serveris) {
        Rasyti();
        TIstorijosTaskai taskai;
        if (!arSugedo) {
            taskai = baze.Skaityti(serveris, laikrodis() - kIstorijosParaMs, std::numeric_limits<qint64>::max());
            if (!baze.Klaida().isEmpty())
                Sugesti();
        }
        QMetaObject::invokeMethod(istorija,
                                  [i = istorija, serveris, taskai] { Q_EMIT i->ParosDuomenys(serveris, taskai); });
    }

    void Baigti() {
        Rasyti();
        baze.Uzdaryti();
    }

private:
    void Sugesti() {
        if (arSugedo)
            return;
        arSugedo = true;
        arVeikia->store(false);
        laukia.clear();
        QMetaObject::invokeMethod(istorija, [i = istorija, tekstas = baze.Klaida()] {
            i->klaida = tekstas;
            Q_EMIT i->Sugedo(tekstas);
        });
        baze.Uzdaryti();
    }

    TIstorijosBaze baze;
    std::function<qint64()> laikrodis;
    std::shared_ptr<std::atomic<bool>> arVeikia;
    TIstorija* istorija;
    QList<TIstorijosEilute> laukia;
    bool arRasymasLaukia = false;
    bool arSugedo = false;
    qint64 irasyta = 0;
    qint64 tvarkyta = 0;
};

QString TIstorija::NumatytasKelias() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + u"/istorija.sqlite"_s;
}

TIstorija::TIstorija(const QString& kelias, QObject* tevas)
    : TIstorija(
          kelias, [] { return QDateTime::currentMSecsSinceEpoch(); }, tevas) {}

TIstorija::TIstorija(const QString& kelias, std::function<qint64()> laikrodis, QObject* tevas)
    : QObject(tevas), arVeikia(std::make_shared<std::atomic<bool>>(true)) {
    darbininkas = new TIstorijosDarbininkas(kelias, std::move(laikrodis), arVeikia, this);
    darbininkas->moveToThread(&gija);
    gija.setObjectName(u"istorija"_s);
    gija.start(QThread::LowPriority);
    QMetaObject::invokeMethod(darbininkas, [d = darbininkas] { d->Pradeti(); });
}

TIstorija::~TIstorija() {
    QMetaObject::invokeMethod(
        darbininkas, [d = darbininkas] { d->Baigti(); }, Qt::BlockingQueuedConnection);
    gija.quit();
    gija.wait();
    delete darbininkas;
}

void TIstorija::Irasyti(const TRaundoSantrauka& raundas) {
    if (!arVeikia->load())
        return;
    QMetaObject::invokeMethod(darbininkas, [d = darbininkas, e = IstorijosEilute(raundas)] { d->Prideti(e); });
}

void TIstorija::UzklaustiParos(const QString& serveris) {
    QMetaObject::invokeMethod(darbininkas, [d = darbininkas, serveris] { d->Skaityti(serveris); });
}
