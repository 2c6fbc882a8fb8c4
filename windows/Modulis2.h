// The server list window: the user's favourite servers, kept in
// "resursai/Serveriai.tyb" and polled side by side with the "details" query,
// each row showing the server's system letter, name, map, players and ping. A
// double-click hands a row's address to the watcher.
//
// Every period the rows down to the first empty one are handed to the
// window's poller at once (Apklausa.h paces them and keeps each row's own
// time-out), and each reply lands in the rows of its own server. While the
// watcher's option "tell me when a friend joins" is on, the walk asks each
// server its players too (nobody reads them here; the notifications do).
//
// The layout is built in code (SukurtiValdiklius); the behaviour lives in the
// handlers named control + event. Tools and tests reach the controls by name
// and the handlers marked Q_INVOKABLE through the meta-object system.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QList>

#include <optional>

#include "AntrinisLangas.h"
#include "ServerioLangas.h"
#include "Stebetojas.h"
#include "cstrike.h"

class TCentras;
class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class TLaikmatis;
class TTinklelis;

class TfrmServeriai : public TAntrinisLangas, public TServerioLangas, public TSarasas {
    Q_OBJECT
    // Every row of the period's walk has its answer, its time-out or its failed send.
    Q_PROPERTY(bool ArPabaiga READ ArPabaigaSavybe)
public:
    explicit TfrmServeriai(TCentras* centras, QWidget* tevas = nullptr);
    ~TfrmServeriai() override;

    static constexpr int kStulpeliai = 6;
    static constexpr int kEilutes = 200;
    // The list file, relative to the working directory.
    static const QString kSarasoFailas;
    // What the add command writes into the first free row, for the user to
    // overtype, when no address is watched.
    static const QString kNaujasAdresas;

    // The refresh period in milliseconds ("ServeriaiBendrai" of the settings;
    // 0: the walk is never repeated).
    int Periodas() const override;
    void NustatytiPerioda(int ms) override;
    bool Prideti(const QString& adresas) override;

    // Every way of closing (title-bar button, Esc, the close items, a
    // double-click) ends here.
    void done(int rezultatas) override;

protected:
    void FormShow() override;
    void FormHide() override;

    // Nothing is taken while banned: a ban ends its round in the poller.
    bool ArIgnoruojaAtsakymus(TApklausa::TId id) const override;
    void ApdorotiAtsakyma(TApklausa::TId id, const TSesijosAtsakymas& atsakymas) override;
    void ApklausaBaigta(TApklausa::TId id, bool arAtsake) override;
    void NepavykoIssiusti(TApklausa::TId id) override;
    // A host that cannot be resolved is passed over in silence: its row keeps what it held.
    void NMUDP1InvalidHost(bool& handled) override;
    // A row's tool tip: what the hub's judge of fake players says of its server.
    bool eventFilter(QObject* objektas, QEvent* ivykis) override;

private:
    bool ArPabaigaSavybe() const { return ArPabaiga; }
    TNetikruTeisejas* netikri = nullptr;

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
    // The one line an empty list shows: how to add a server.
    QLabel* lblTusciasSarasas = nullptr;
    // The refresh period: every tick starts a new walk.
    TLaikmatis* tmrAtnaujinimasServeriai = nullptr;

    // Window state.
    bool ArPabaiga = false; // the walk of this period is over
    // The rounds of the walk in flight, with the address (the cell's text) they poll.
    QHash<TApklausa::TId, QString> apklausiami;
    // The round trip of a round in flight, when it came before its details reply.
    QHash<TApklausa::TId, int> pingai;
    // The rounds in flight that asked the players too: their end is the poller's.
    QSet<TApklausa::TId> suZaidejais;
    bool arPerkeliama = false; // rows are being moved: their addresses are in passing

    // Handlers.
    void FormCreate();
    void PritaikytiKalba();
    void FormClose();
    Q_INVOKABLE void tmrAtnaujinimasServeriaiTimer();
    void stgServeriaiDblClick();
    void stgServeriaiSelectCell(int ACol, int ARow, bool& CanSelect);
    void stgServeriaiCellChange(int ACol, int ARow);
    void mnuPridetiClick();
    void mnuPasalintiClick();
    void mnuUzdarytiClick();

    // Procedures.
    // Hands every server row down to the first empty one to the poller; a row
    // whose server is still in flight from the last walk keeps that round.
    Q_INVOKABLE void PradetiApejima();
    void RodytiDetales(int ARow, const TDetales& detales);
    void RodytiPinga(int ARow, int ms);
    // Ends round `id` as far as the window goes; the walk is over with its last round.
    void UzbaigtiApklausa(TApklausa::TId id);
    // Ends the rounds whose address no row of the walk holds any more.
    void AtsisakytiNebereikalingu();
    // The rows of the walk (before the first empty row) whose address is `adresas`.
    QList<int> Eilutes(const QString& adresas) const;
    // The first empty row, from row 1 on (kEilutes when there is none).
    int PirmaTuscia() const;
    // A row without an address (blanks only).
    bool ArTusciaEilute(int ARow) const;
    // Shows the newcomer's line while the list holds no server.
    void RodytiTusciaSarasa();

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

    void SukurtiValdiklius();
    void SujungtiIvykius();
};

extern TfrmServeriai* frmServeriai;
