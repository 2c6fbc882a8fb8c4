// The history: every round of every polled server in an SQLite database,
// "istorija.sqlite" in the user's data folder, read back for the plot.
//
//   CREATE TABLE raundai (serveris TEXT, laikas INTEGER, zaidejai INTEGER,
//                         maks_zaideju INTEGER, pingas INTEGER, zemelapis TEXT,
//                         PRIMARY KEY (serveris, laikas)) WITHOUT ROWID
//
// One row per round: the address as the round record gives it, the round's
// start in Unix ms, the details/info reply's players and maximum (NULL without
// that reply), the round trip (NULL when nothing answered), the map's name as
// text (NULL without it). The table is kept in the order of its key, so the
// rows of one server lie together and a day of one server is one short walk.
// Two rounds of one server that start in the same millisecond are one row.
//
// The journal is WAL, each batch of rounds one transaction: a killed program
// loses at most the rounds it had not handed over yet. Every round of the last
// 24 hours stays; of older rows one per server and 10 minutes is kept (the
// first), and rows older than 30 days go. Both happen when the database is
// opened and then every hour.
//
// TIstorijosBaze is the database itself, for one thread. TIstorija runs it on a
// thread of its own, so the GUI thread only hands the rounds over. A database
// that cannot be used (damaged, locked, unwritable, no SQLite driver) is
// reported once, in words, and from then on the history is off: rounds are
// dropped, queries answer with nothing.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include <QList>
#include <QObject>
#include <QString>
#include <QThread>

#include "IstorijosTaskas.h"
#include "RaundoSantrauka.h"

inline constexpr qint64 kIstorijosParaMs = 24LL * 3600 * 1000;      // kept round by round
inline constexpr qint64 kIstorijosRibaMs = 30LL * 24 * 3600 * 1000; // kept at all
inline constexpr qint64 kIstorijosRetinimasMs = 10LL * 60 * 1000;   // one row per server and this, when older
inline constexpr qint64 kIstorijosTvarkymasMs = 3600LL * 1000;      // how often the old rows are thinned

// One row of the table.
struct TIstorijosEilute {
    QString Serveris;
    qint64 LaikasMs = 0;
    std::optional<int> Zaidejai;
    std::optional<int> MaxZaideju;
    std::optional<int> PingoMs;
    QString Zemelapis; // empty: NULL

    bool operator==(const TIstorijosEilute&) const = default;
};

// The row a round record comes to.
TIstorijosEilute IstorijosEilute(const TRaundoSantrauka& raundas);

class TIstorijosBaze {
public:
    explicit TIstorijosBaze(QString kelias);
    ~TIstorijosBaze();
    TIstorijosBaze(const TIstorijosBaze&) = delete;
    TIstorijosBaze& operator=(const TIstorijosBaze&) = delete;

    const QString& Kelias() const { return kelias; }
    // Why the database cannot be used, in words; empty while it can.
    const QString& Klaida() const { return klaida; }

    // Makes the folder, opens or creates the file and the table, checks the
    // file, sets the WAL journal, then thins and prunes as of `dabarMs`.
    bool Atidaryti(qint64 dabarMs);
    // The rows in one transaction.
    bool Irasyti(const QList<TIstorijosEilute>& eilutes);
    // Drops rows older than 30 days and thins those older than 24 hours, as of
    // `dabarMs`; each pass looks only at rows a previous pass has not thinned.
    bool Tvarkyti(qint64 dabarMs);
    // The rows of one server from `nuoMs` to `ikiMs`, both included, oldest first.
    TIstorijosTaskai Skaityti(const QString& serveris, qint64 nuoMs, qint64 ikiMs);
    // Closes the file (the WAL is checkpointed into it).
    void Uzdaryti();

private:
    struct TVidus;
    bool Nepavyko(const QString& veiksmas, const QString& priezastis);

    QString kelias;
    QString klaida;
    std::unique_ptr<TVidus> vidus;
    std::optional<qint64> retintaIki; // rows before this are thinned already
};

class TIstorijosDarbininkas;

class TIstorija : public QObject {
    Q_OBJECT
public:
    // "istorija.sqlite" in the user's data folder ($XDG_DATA_HOME/Velmorant/,
    // QStandardPaths::AppDataLocation of the application "Velmorant").
    static QString NumatytasKelias();

    // Opens the database at `kelias` on the history's thread. `laikrodis`
    // gives the time in Unix ms (it is called on that thread).
    explicit TIstorija(const QString& kelias = NumatytasKelias(), QObject* tevas = nullptr);
    TIstorija(const QString& kelias, std::function<qint64()> laikrodis, QObject* tevas = nullptr);
    // Writes what was handed over and closes the database.
    ~TIstorija() override;

    // Hands one round over; costs the caller no file access.
    void Irasyti(const TRaundoSantrauka& raundas);
    // Asks for one server's rows of the last 24 hours, the rounds handed over
    // before included; ParosDuomenys answers. With the history off the answer is empty.
    void UzklaustiParos(const QString& serveris);

    // False once the database has failed (the text of Klaida is set a moment later).
    bool ArVeikia() const { return arVeikia->load(); }
    QString Klaida() const { return klaida; }

Q_SIGNALS:
    void ParosDuomenys(const QString& serveris, const TIstorijosTaskai& taskai);
    // So many rounds of this run are in the database now.
    void Irasyta(qint64 kiek);
    // The database cannot be used; emitted once, with the reason in words.
    void Sugedo(const QString& klaida);

private:
    friend class TIstorijosDarbininkas;
    std::shared_ptr<std::atomic<bool>> arVeikia;
    QString klaida;
    QThread gija;
    TIstorijosDarbininkas* darbininkas = nullptr;
};
