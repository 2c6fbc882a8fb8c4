// The favourite servers: the server list's 200 rows of six texts, the list
// file "resursai/Serveriai.tyb" they are kept in, and the walk that fills
// them. Row 0 is the title row (the file's first line holds its address
// title); the rows below hold an address each, as typed, and the live values
// the walk shows of its server: the system letter, name, map, players and ping.
//
// A walk (PradetiApejima, every period) hands the server of every row down
// to the first empty one to the poller at once, one round a server however
// many rows hold it; the poller paces them and keeps each round's own
// time-out. A reply lands in every row of the walk that holds its round's
// address at that moment, so rows moved, removed or typed over take it with
// them; a round whose address no row holds any more is ended. While the
// friends option is on (NustatytiDraugus), the rounds ask the players too
// (they are read by the notifications, not shown here).
//
//   TMegstamuModelis m(centras.Apklausa(), &KalbosTekstas);
//   m.IkeltiSarasa(TMegstamuModelis::SkaitytiSarasa());
//   m.PradetiApejima();
//   ... m.Langelis(TMegstamuModelis::kPingas, 1) ...
//   m.IssaugotiSarasa();
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <vector>

#include <QAbstractTableModel>
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include "Apklausa.h"

class TMegstamuModelis : public QAbstractTableModel {
    Q_OBJECT
public:
    // A text of the language in effect, by section and key.
    using TTekstai = std::function<QString(const char* sekcija, const char* raktas)>;

    static constexpr int kStulpeliai = 6;
    static constexpr int kEilutes = 200;
    enum TStulpelis { kOS = 0, kAdresas = 1, kPavadinimas = 2, kZemelapis = 3, kZaidejai = 4, kPingas = 5 };
    // The list file, relative to the working directory.
    static const QString kSarasoFailas;

    // `apklausa`: the poller the walk's rounds go through; `tekstai`: where the
    // time-out and ban texts of the ping column come from.
    TMegstamuModelis(TApklausa* apklausa, TTekstai tekstai, QObject* tevas = nullptr);
    ~TMegstamuModelis() override;

    int rowCount(const QModelIndex& tevas = {}) const override;
    int columnCount(const QModelIndex& tevas = {}) const override;
    // Display and edit: the cell's text. The header: the title row's texts.
    QVariant data(const QModelIndex& vieta, int vaidmuo = Qt::DisplayRole) const override;
    QVariant headerData(int sekcija, Qt::Orientation kryptis, int vaidmuo = Qt::DisplayRole) const override;
    // The address column below the title row is editable; the title row takes
    // nothing; the other cells take what the program writes.
    Qt::ItemFlags flags(const QModelIndex& vieta) const override;
    bool setData(const QModelIndex& vieta, const QVariant& reiksme, int vaidmuo = Qt::EditRole) override;

    // The cell's text, empty outside the table.
    QString Langelis(int stulpelis, int eilute) const;
    // Title `stulpelis`, with the bytes it was read from (the file's first
    // line keeps the address title's bytes).
    void NustatytiAntraste(int stulpelis, const QString& tekstas, const QByteArray& baitai = {});
    // Clears every column but the addresses, title row included.
    void IsvalytiGyvus();

    // The list file: its first 200 lines as bytes (a missing file: none).
    // Throws EFailoKlaida naming the file when it exists but cannot be read.
    static QList<QByteArray> SkaitytiSarasa();
    // Clears every cell and puts the lines into the address column, row 0 on;
    // an empty line keeps its slot as one blank.
    void IkeltiSarasa(const QList<QByteArray>& eilutes);
    // The file's content for the address column as it stands: 200 lines, each
    // ended by CR LF, a cell's bytes as they were read while it holds the text
    // they gave.
    QByteArray SarasoTurinys() const;
    // Replaces the list file atomically; throws EFailoKlaida naming the file.
    void IssaugotiSarasa() const;

    // A row without an address (blanks only).
    bool ArTusciaEilute(int eilute) const;
    // The first empty row, from row 1 on (kEilutes when there is none).
    int PirmaTuscia() const;
    // The rows of the walk (before the first empty row) whose address is `adresas`.
    QList<int> Eilutes(const QString& adresas) const;
    // Some row holds `adresas`, blanks around either aside.
    bool ArYra(const QString& adresas) const;
    // Writes `adresas` into the first empty row; false when none is empty.
    bool IrasytiLaisvoje(const QString& adresas);
    // Puts `adresas` (trimmed) into the first empty row and saves the list;
    // false when a row holds it already or none is empty. Throws as IssaugotiSarasa.
    bool Prideti(const QString& adresas);
    // Clears row `eilute` (from row 1 on; others are left) and closes the first
    // gap: every row below it moves up by one, the last row is left empty.
    void Pasalinti(int eilute);

    // Starts the period's walk; a server still in flight from the last walk
    // goes on with that round.
    void PradetiApejima();
    // Ends every round of the walk, without a report.
    void BaigtiApejima();
    // Ends the rounds whose address no row of the walk holds any more.
    void AtsisakytiNebereikalingu();
    // Every row of the walk has its answer, its time-out or its failed send.
    bool ArPabaiga() const { return arPabaiga; }
    // The friends option, read at each walk's start (empty: off).
    void NustatytiDraugus(std::function<bool()> arPranesti) { arDraugai = std::move(arPranesti); }

Q_SIGNALS:
    // A reply the rows show nothing of: one over the size a reply may be (the
    // round goes on) or one of a kind the list does not read (the round ends
    // after this). The round is still the poller's while this is emitted.
    void NeskaitomasAtsakymas(TApklausa::TId id, const TSesijosAtsakymas& atsakymas);

private:
    // A round of the walk in flight.
    struct TRaundas {
        QString Adresas;            // the address cell's text it polls
        std::optional<int> Pingas;  // the round trip, when it came before the details
        bool ArSuZaidejais = false; // it asked the players too: its end is the poller's
    };
    struct TEilute {
        std::array<QString, kStulpeliai> Tekstai;
        QByteArray AdresoBaitai; // the bytes the address was read from, while it holds their text
    };

    void Nustatyti(int eilute, int stulpelis, const QString& tekstas);
    void PranestiEilutes(int nuo, int iki);
    void Atsakymas(TApklausa::TId id, const TSesijosAtsakymas& atsakymas);
    void Baigtas(TApklausa::TId id, bool arAtsake);
    void RodytiDetales(int eilute, const TDetales& detales, int pingoMs);
    // Ends round `id` as far as the walk goes; the walk is over with its last round.
    void Uzbaigti(TApklausa::TId id);

    TApklausa* apklausa;
    TTekstai tekstai;
    std::function<bool()> arDraugai;
    std::vector<TEilute> eilutes;
    QHash<TApklausa::TId, TRaundas> raundai;
    bool arPabaiga = false;
};
