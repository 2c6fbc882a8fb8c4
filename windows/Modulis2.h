// The server list window: the user's favourite servers, kept in
// "resursai/Serveriai.tyb" and polled one after another with the "details"
// query, each row showing the server's system letter, name, map, players and
// ping. A double-click hands a row's address to the watcher.
//
// The layout is built in code from the window's layout table
// (SukurtiValdiklius); the behaviour lives in the handlers named
// control + event. The string grid class used here serves the details window
// too.
#pragma once

#include <QByteArray>
#include <QList>
#include <QTableWidget>

#include "AntrinisLangas.h"
#include "Pranesimai.h"
#include "cstrike.h"

class QAction;
class QMenu;
class QMenuBar;
class QTimer;
class TLaikmatis;
class TNMUDP;

// A string grid: a table of texts whose row 0 is the fixed title row. Row 0
// keeps its cells like any other row, is never scrolled away and cannot be
// selected or edited: it is hidden in the table and shown as the column
// header, which follows its cells.
class TTinklelis : public QTableWidget {
    Q_OBJECT
public:
    TTinklelis(int stulpeliai, int eilutes, QWidget* tevas = nullptr);
    ~TTinklelis() override;

    // Cells[ACol][ARow]: the cell's text, empty for a cell never written and
    // for one outside the grid.
    QString Langelis(int ACol, int ARow) const;
    void NustatytiLangeli(int ACol, int ARow, const QString& tekstas);
    // The bytes a cell was read from, with its text (see LangelioBaitai).
    void NustatytiLangeli(int ACol, int ARow, const QString& tekstas, const QByteArray& baitai);
    // The bytes to store for a cell: the bytes it was read from while its text
    // is still the one they gave, otherwise its text in UTF-8.
    QByteArray LangelioBaitai(int ACol, int ARow) const;
    void IsvalytiLangeli(int ACol, int ARow);
    void IsvalytiViska();

    // Text colour and boldness of every cell, titles included.
    void NustatytiTeksta(const QColor& spalva, bool storas);

    using QTableWidget::edit;

protected:
    // No editor opens in the title row, whatever the edit triggers.
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;

private:
    void AtnaujintiAntraste(int ACol);
};

class TfrmServeriai : public TAntrinisLangas {
    Q_OBJECT
public:
    explicit TfrmServeriai(QWidget* tevas = nullptr);
    ~TfrmServeriai() override;

    static constexpr int kStulpeliai = 6;
    static constexpr int kEilutes = 200;
    // The list file, relative to the working directory.
    static const QString kSarasoFailas;
    // What the add command writes into the first free row, for the user to overtype.
    static const QString kNaujasAdresas;

    // Controls, named as in the layout.
    QMenuBar* mnuPagrindinis = nullptr;
    QMenu* mnuServeriai = nullptr;
    QAction* mnuPrideti = nullptr;
    QAction* mnuPasalinti = nullptr;
    QAction* N2 = nullptr;
    QAction* mnuUzdaryti = nullptr;
    QMenu* mnuKitoKlaviso = nullptr;
    QAction* mnuPrideti2 = nullptr;
    QAction* mnuPasalinti2 = nullptr;
    QAction* N1 = nullptr;
    QAction* mnuUzdaryti2 = nullptr;
    TTinklelis* stgServeriai = nullptr;
    TNMUDP* NMUDP1 = nullptr;
    // The refresh period: every tick starts a new walk. Change its period with
    // setIntervalas (an interval of 0 then means it never fires).
    TLaikmatis* tmrAtnaujinimasServeriai = nullptr;
    QTimer* tmrPingas = nullptr;
    // The 200 ms pacing of a walk: one row per tick.
    TLaikmatis* tmrAtnaujinimas = nullptr;

    // Window state.
    int Eilute = 0;              // the row being polled; 0 before the first poll of a walk
    bool ArGalimaSiusti = false; // no poll in flight: the next tick may poll
    bool ArPabaiga = false;      // the walk has reached the first empty row
    bool ArBanas = false;        // a ban reply came; replies are dropped until the next send
    int PingoLaikas = 0;         // milliseconds of the poll in flight (or of the last answered one)

    // Handlers.
    void FormCreate();
    void FormShow() override;
    void PritaikytiKalba();
    void FormClose();
    void FormHide() override;
    void tmrAtnaujinimasServeriaiTimer();
    void tmrAtnaujinimasTimer();
    void tmrPingasTimer();
    void NMUDP1DataReceived(QObject* Sender, int NumberBytes, const QString& FromIP, int Port);
    void NMUDP1DataSend(QObject* Sender);
    void NMUDP1Status(QObject* Sender, const QString& status);
    void NMUDP1InvalidHost(bool& handled);
    void NMUDP1BufferInvalid(bool& handled, QByteArray& Buff, int& length);
    void NMUDP1StreamInvalid(bool& handled, TAtminiesSrautas& Stream);
    void stgServeriaiDblClick();
    void stgServeriaiSelectCell(int ACol, int ARow, bool& CanSelect);
    void mnuPridetiClick();
    void mnuPasalintiClick();
    void mnuUzdarytiClick();

    // Procedures.
    void ApklaustiKitaServeri();
    void PazymetiTimeout();
    void RodytiDetales(const TDetales& detales);
    void RodytiPinga();
    void PazymetiBana();
    // Starts a walk from row 1.
    void PradetiApejima();

    // A row without an address (blanks only).
    bool ArTusciaEilute(int ARow) const;

    // The list file: its first 200 lines as bytes (a missing file: none).
    // Throws EFailoKlaida naming the file when it exists but cannot be read.
    static QList<QByteArray> SkaitytiSarasa();
    // Puts the lines into the address column, row 0 on.
    void IkeltiSarasa(const QList<QByteArray>& eilutes);
    // The file's content for the address column as it stands: 200 lines,
    // each ended by CR LF.
    QByteArray SarasoTurinys() const;
    // Replaces the list file atomically; throws EFailoKlaida naming the file.
    void IssaugotiSarasa() const;

    // Every way of closing (title-bar button, Esc, the close items, a
    // double-click) ends here.
    void done(int rezultatas) override;

protected:
private:
    void SukurtiValdiklius();
    void SujungtiIvykius();
    // Ends the poll in flight without an answer of its own.
    void AtsisakytiUzklausos();

    TTinkloPranesimai tinkloPranesimai{this};
    qint64 siuntimoPradzia = 0;    // clock reading when the poll in flight was sent
    bool arSiunciama = false;      // a send is under way (a name lookup runs the event loop)
    bool arLaukiaPradzios = false; // a walk start came during a send
};

extern TfrmServeriai* frmServeriai;
