// The server list window: the user's favourite servers, kept in
// "resursai/Serveriai.tyb" and polled one after another with the "details"
// query, each row showing the server's system letter, name, map, players and
// ping. A double-click hands a row's address to the watcher.
//
// The layout is built in code (SukurtiValdiklius); the behaviour lives in the
// handlers named control + event.
#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

#include "AntrinisLangas.h"
#include "ServerioLangas.h"
#include "cstrike.h"

class QAction;
class QMenu;
class QMenuBar;
class QTimer;
class TLaikmatis;
class TTinklelis;

class TfrmServeriai : public TAntrinisLangas, public TServerioLangas {
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
    // A host that cannot be resolved is passed over in silence: the walk moves on.
    void NMUDP1InvalidHost(bool& handled) override;
    void stgServeriaiDblClick();
    void stgServeriaiSelectCell(int ACol, int ARow, bool& CanSelect);
    void mnuPridetiClick();
    void mnuPasalintiClick();
    void mnuUzdarytiClick();

    // Procedures.
    void ApklaustiKitaServeri();
    void PazymetiTimeout();
    void RodytiDetales(const TDetales& detales);
    void RodytiPinga(int ms);
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
    // Only the poll in flight may be answered: a late reply of a server polled
    // earlier would land in the row polled now. While banned, nothing is taken.
    bool ArIgnoruojaAtsakymus() const override;
    void ApdorotiAtsakyma(const TSesijosAtsakymas& atsakymas) override;

private:
    void SukurtiValdiklius();
    void SujungtiIvykius();
    // Ends the poll in flight without an answer of its own.
    void AtsisakytiUzklausos();

    qint64 siuntimoPradzia = 0;      // clock reading when the poll in flight was sent
    bool arSiunciama = false;        // a send is under way (a name lookup runs the event loop)
    bool arLaukiaPradzios = false;   // a walk start came during a send
    std::optional<int> raundoPingas; // the round trip of the poll in flight, once known
};

extern TfrmServeriai* frmServeriai;
