// The server details and rules window: everything the "details" reply says
// about the server the watcher is set to, and that server's rules from the
// "rules" reply. Each showing asks once; replies fill the window as they come,
// and a showing for the server shown before keeps its values until they do.
//
// The layout is built in code (SukurtiValdiklius); the behaviour lives in the
// handlers named control + event. Tools and tests reach the controls by name.
#pragma once

#include <QHash>
#include <QList>
#include <QStringList>

#include <optional>

#include "AntrinisLangas.h"
#include "ServerioLangas.h"
#include "cstrike.h"

class QLabel;
class TTinklelis;

class TfrmTaisykles : public TAntrinisLangas, public TServerioLangas {
    Q_OBJECT
public:
    explicit TfrmTaisykles(QWidget* tevas = nullptr);
    ~TfrmTaisykles() override;

    static constexpr int kEilutes = 100; // the title row and at most 99 rules
    // The value lines, top to bottom (lblServerioAddr excluded), by name.
    static const QStringList kReiksmiuEtiketes;

    // A byte count in megabytes as the pattern "0.00" gives it: at least one
    // integer digit, two decimals, the decimal separator of the user's locale.
    static QString Megabaitai(qint32 baitai);

protected:
    void FormShow() override;
    void FormHide() override;

    // Nothing is taken while the watcher's latest round was answered with a
    // ban, nor from a round of an earlier showing.
    bool ArIgnoruojaAtsakymus(TApklausa::TId id) const override;
    void ApdorotiAtsakyma(TApklausa::TId id, const TSesijosAtsakymas& atsakymas) override;
    void ApklausaBaigta(TApklausa::TId, bool) override {}

private:
    // Controls, named as in the layout.
    QLabel* lblServerioAddr = nullptr;
    QLabel* lblAdresas = nullptr;
    QLabel* lblServeris = nullptr;
    QLabel* lblZemelapis = nullptr;
    QLabel* lblKatalogas = nullptr;
    QLabel* lblPavadinimas = nullptr;
    QLabel* lblZaidejaiAktyvus = nullptr;
    QLabel* lblZaidejaiViso = nullptr;
    QLabel* lblProtokoloVersija = nullptr;
    QLabel* lblServerioTipas = nullptr;
    QLabel* lblOSTipas = nullptr;
    QLabel* lblSlaptazodis = nullptr;
    QLabel* lblModas = nullptr;
    QLabel* lblSvetaine = nullptr;
    QLabel* lblFTPServeris = nullptr;
    QLabel* lblMODVersija = nullptr;
    QLabel* lblMODDydis = nullptr;
    QLabel* lblTikServerioMod = nullptr;
    QLabel* lblArReikiaTavoDll = nullptr;
    QLabel* lblSaugus = nullptr;
    TTinklelis* stgTaisykles = nullptr;

    // Handlers.
    void FormCreate();
    void PritaikytiKalba();

    // Procedures.
    void RodytiDetales(const TDetales& detales);
    // An info reply ('I'): the labels it has fields for; the others keep only their captions.
    void RodytiInfo(const TA2SInfo& info);
    Q_INVOKABLE void RodytiTaisykles(const TTaisykles& taisykles);

    // The value lines, top to bottom (lblServerioAddr excluded).
    QList<QLabel*> ReiksmiuEtiketes() const;

    void SukurtiValdiklius();
    // A value line: its caption, ": " and the value, which stays until a reply replaces it.
    void NustatytiReiksme(QLabel* l, const QString& reiksme);
    // Every value and rule gone (another server is shown).
    void IsvalytiReiksmes();

    std::optional<QString> apklaustasAdresas; // the address the showings poll
    TApklausa::TId raundas = 0;               // the round of this showing
    QHash<QLabel*, QString> reiksmes;
};

extern TfrmTaisykles* frmTaisykles;
