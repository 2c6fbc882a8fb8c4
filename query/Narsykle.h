// The server browser's rows and their pings, without widgets: a table model of
// the servers a list gave (the Steam Web API's, SteamSarasas.h), and the pinger that
// asks each reachable one A2S_INFO and A2S_PLAYER through the hub's poller at
// the pace the user chose, each reply's figures replacing the list's in its
// row, and asks again some seconds later so that the hub's judge of fake
// players (Netikri.h) has two looks to compare.
//
//   TNarsyklesModelis modelis;                 // under a QSortFilterProxyModel
//   TNarsyklesApklausa pingai(centras, &modelis);
//   modelis.NustatytiServerius(rezultatas.Serveriai);
//   pingai.NustatytiGreiti(5000);              // pings a minute; 0: as fast as the poller goes
//   pingai.Pradeti();
//
// A row on Steam's networking (FakeIP) is shown from the list and never
// pinged: plain UDP cannot reach it. The counts are honest: people are the
// players that are neither bots nor judged fake, from the reply when there is one.
#pragma once

#include <functional>
#include <optional>

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QSet>
#include <QSortFilterProxyModel>
#include <QStringList>

#include "Apklausa.h"
#include "LanPaieska.h"
#include "Netikri.h"
#include "SteamSarasas.h"

class QTimer;
class TCentras;

// A text of a server's reply as a row shows it: decoded, one line, cut.
QString SarasoTekstas(const QByteArray& baitai);
// The row of a server the LAN search found, from its info reply.
TInternetoServeris LanServeris(const TLanPaieska::TRadinys& radinys);

struct TNarsyklesEilute {
    enum class TBusena { Laukia, Klausiama, Atsake, Tyli, Nepasiekiamas };

    TInternetoServeris Serveris; // the list's figures, replaced by the reply's
    TBusena Busena = TBusena::Laukia;
    std::optional<int> PingoMs;
    std::optional<bool> Slaptazodis; // only a reply tells
    std::optional<bool> VAC;
    bool Lan = false;        // found by the LAN search
    TNetikruIvertis Netikri; // the hub's judge's, once it has two looks
    // The players' names of its last players reply, decoded as everywhere,
    // each one line, joined by line breaks (one block of memory a row): at
    // most kZaidejuRiba of kVardoRiba characters; none until a reply came.
    std::optional<QString> Zaidejai;
    static constexpr qsizetype kZaidejuRiba = 64;
    static constexpr qsizetype kVardoRiba = 32;
    // People: the players that are neither bots nor judged fake.
    int Zmones() const { return qMax(0, Serveris.Zmones() - Netikri.Netikri); }
};

class TNarsyklesModelis : public QAbstractTableModel {
    Q_OBJECT
public:
    enum TStulpelis {
        Spyna,
        VAC,
        Vardas,
        Zemelapis,
        Zmones,
        Botai,
        Netikri,
        Daugiausia,
        Pingas,
        Adresas,
        OS,
        kStulpeliai
    };
    // The role by which a column sorts: numbers as numbers.
    static constexpr int kRikiavimoRole = Qt::UserRole;

    explicit TNarsyklesModelis(QObject* tevas = nullptr);

    // The rows anew (one per address; a later duplicate is left out);
    // `lan`: found by the LAN search.
    void NustatytiServerius(const QList<TInternetoServeris>& serveriai, bool lan = false);
    int Eilutes() const { return int(eilutes.size()); }
    const TNarsyklesEilute& Eilute(int i) const { return eilutes.at(i); }
    // The row of an address, or -1.
    int Rasti(const TServerioAdresas& adresas) const { return indeksai.value(adresas, -1); }
    // Changes row `i` in place: selections, sort and scroll stay.
    void Keisti(int i, const std::function<void(TNarsyklesEilute&)>& keitimas);
    // The captions of the columns, in the language in effect.
    void NustatytiAntrastes(const QStringList& antrastes);
    // What the silent and the unreachable rows show in the ping column.
    void NustatytiZenklus(const QString& tyli, const QString& nepasiekiamas);
    // The row's tool tip: where a key-free list found it ("%1": the source),
    // when the user last played there ("%1": the date).
    void NustatytiPatarimus(const QString& saltinis, const QString& zaista);
    // The reasons of the judge of fake players (NetikruPriezastis).
    void NustatytiNetikruPriezastis(const QStringList& sablonai) { netikruSablonai = sablonai; }

    int rowCount(const QModelIndex& tevas = {}) const override;
    int columnCount(const QModelIndex& tevas = {}) const override;
    QVariant data(const QModelIndex& indeksas, int role) const override;
    QVariant headerData(int sekcija, Qt::Orientation kryptis, int role) const override;

private:
    QList<TNarsyklesEilute> eilutes;
    QHash<TServerioAdresas, int> indeksai;
    QStringList antrastes;
    QString tyli = QStringLiteral("-");
    QString nepasiekiamas = QStringLiteral("FakeIP");
    QString saltinioPatarimas = QStringLiteral("%1");
    QString zaistaPatarimas = QStringLiteral("%1");
    QStringList netikruSablonai;
};

class TNarsyklesApklausa : public QObject {
    Q_OBJECT
public:
    using TLaikrodis = std::function<qint64()>;

    static constexpr int kNumatytasGreitis = 5000; // pings a minute
    static constexpr int kZingsnisMs = 10;
    // A ping's wait: a server that takes longer is no game for its players.
    static constexpr qint64 kLaukimoRibaMs = 2000;
    static constexpr qint64 kAntrasZvilgsnisMs = kZvilgsniuTarpasMs + 500;

    // `laikrodis`: monotonic ms that pace the pings (the system's by default).
    TNarsyklesApklausa(TCentras* centras, TNarsyklesModelis* modelis, TLaikrodis laikrodis = {},
                       QObject* tevas = nullptr);
    ~TNarsyklesApklausa() override;

    // Pings a minute; 0: every row handed to the poller at once.
    void NustatytiGreiti(int pinguPerMinute) { greitis = qMax(0, pinguPerMinute); }
    int Greitis() const { return greitis; }
    // Pings every reachable row once, in the model's order, from the start;
    // a row that answered is asked once more kAntrasZvilgsnisMs after, for
    // the judge of fake players (within the same pace).
    void Pradeti();
    void Sustabdyti();
    // Asks the rows that are due by the clock now; the timer calls it.
    void Zingsnis();

    int Issiusta() const { return issiusta; }
    int Atsake() const { return atsake; }
    // The first pass is under way (Baigta ends it); second looks may follow.
    bool ArVyksta() const;
    bool ArLaukiaAntruZvilgsniu() const { return kitasAntras < antri.size(); }

Q_SIGNALS:
    // A row got its answer or its silence; Baigta when none is left.
    void Pakito();
    void Baigta();

private:
    void Klausti(int eilute, bool antras);

    TCentras* centras;
    TNarsyklesModelis* modelis;
    TLaikrodis laikrodis;
    QTimer* laikmatis = nullptr;
    int greitis = kNumatytasGreitis;
    QList<int> eile; // rows still to ask
    qsizetype kitas = 0;
    QList<std::pair<qint64, int>> antri; // when a row's second look is due, in that order
    qsizetype kitasAntras = 0;
    qint64 pradzia = 0;
    int issiusta = 0;
    int atsake = 0;
    int vyksta = 0;      // rounds in the poller's hands
    int pirmuVyksta = 0; // of them, the first pass's
};

// The names of the row's players that hold `tekstas`, letter case aside.
QStringList ZaidejaiSu(const TNarsyklesEilute& eilute, const QString& tekstas);
// The names of the row's players that are friends (`raktai`: TDraugai::Raktas of each).
QStringList DraugaiEiluteje(const TNarsyklesEilute& eilute, const QSet<QString>& raktai);

// What the user filters the rows by, as they type.
struct TNarsyklesSalygos {
    QString Tekstas;             // in the name or the map, letter case aside
    bool NePilni = false;        // a free slot
    bool NeTusti = false;        // a player at least
    bool BeSlaptazodzio = false; // no password known
    int DidziausiasPingas = 0;   // ms; 0: any (a row not answered yet stays)
    bool BeNetikru = false;      // no server judged to have fake players
    // A player whose name holds this text, letter case aside; a friend of
    // these (TDraugai::Raktas). A row whose players have not come yet stays.
    QString Zaidejas;
    QSet<QString> Draugai;
    bool operator==(const TNarsyklesSalygos&) const = default;
};

// The rows shown: those that meet the conditions, sorted by the column's
// number or text (the model's kRikiavimoRole).
class TNarsyklesFiltras : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit TNarsyklesFiltras(TNarsyklesModelis* modelis, QObject* tevas = nullptr);
    void NustatytiSalygas(const TNarsyklesSalygos& naujos);
    const TNarsyklesSalygos& Salygos() const { return salygos; }
    // The players looked for (the matching names, the friends) lead a row's tool tip.
    void NustatytiZaidejuPatarimus(const QString& zaidejai, const QString& draugai);
    QVariant data(const QModelIndex& indeksas, int role) const override;

protected:
    bool filterAcceptsRow(int eilute, const QModelIndex& tevas) const override;

private:
    TNarsyklesModelis* modelis;
    TNarsyklesSalygos salygos;
    QString zaidejuPatarimas = QStringLiteral("%1");
    QString drauguPatarimas = QStringLiteral("%1");
};
