// The server list window: the user's favourite servers, kept in
// "resursai/Serveriai.tyb" and polled side by side with the "details" query,
// each row showing the server's system letter, name, map, players and ping. A
// double-click hands a row's address to the watcher.
//
// The rows, the list file and the walk over the hub's poller are the model's
// (Megstami.h); the grid is a view of it. Every period the window starts a
// walk; while the watcher's option "tell me when a friend joins" is on, the
// walk asks each server its players too (nobody reads them here; the
// notifications do).
//
// The layout is built in code (SukurtiValdiklius); the behaviour lives in the
// handlers named control + event. Tools and tests reach the controls by name
// and the handlers marked Q_INVOKABLE through the meta-object system.
#pragma once

#include "AntrinisLangas.h"
#include "Megstami.h"
#include "ServerioLangas.h"
#include "Stebetojas.h"

class TCentras;
class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class TLaikmatis;
class TTinklelioVaizdas;

class TfrmServeriai : public TAntrinisLangas, public TServerioLangas, public TSarasas {
    Q_OBJECT
    // Every row of the period's walk has its answer, its time-out or its failed send.
    Q_PROPERTY(bool ArPabaiga READ ArPabaigaSavybe)
public:
    // `stebetojas`: the watcher's face, which takes a row's address; it must outlive the window.
    TfrmServeriai(TCentras* centras, TStebetojas* stebetojas, QWidget* tevas = nullptr);
    ~TfrmServeriai() override;

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

    // The rounds are the model's: the window starts none through its base.
    bool ArIgnoruojaAtsakymus(TApklausa::TId) const override { return true; }
    void ApdorotiAtsakyma(TApklausa::TId, const TSesijosAtsakymas&) override {}
    void ApklausaBaigta(TApklausa::TId, bool) override {}
    // A row's tool tip: what the hub's judge of fake players says of its server.
    bool eventFilter(QObject* objektas, QEvent* ivykis) override;

private:
    bool ArPabaigaSavybe() const { return modelis->ArPabaiga(); }
    TNetikruTeisejas* netikri = nullptr;
    // The rows, the list file and the walk; a child named "Megstami".
    TMegstamuModelis* modelis = nullptr;

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
    TTinklelioVaizdas* stgServeriai = nullptr;
    // The one line an empty list shows: how to add a server.
    QLabel* lblTusciasSarasas = nullptr;
    // The refresh period: every tick starts a new walk.
    TLaikmatis* tmrAtnaujinimasServeriai = nullptr;

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
    // A reply the rows show nothing of: its byte count and "BaituGavau", or
    // "NezinomiDuomenys", through the window's gate.
    void PranestiNeskaitoma(TApklausa::TId id, const TSesijosAtsakymas& atsakymas);
    // Shows the newcomer's line while the list holds no server.
    void RodytiTusciaSarasa();

    void SukurtiValdiklius();
    void SujungtiIvykius();
};
