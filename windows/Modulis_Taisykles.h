// The server details and rules window: everything the "details" reply says
// about the server the watcher is set to, and that server's rules from the
// "rules" reply. Each showing asks once; replies fill the window as they come.
//
// The layout is built in code from the window's layout table
// (SukurtiValdiklius); the behaviour lives in the handlers named
// control + event.
#pragma once

#include "AntrinisLangas.h"

#include <QList>

#include "Pranesimai.h"
#include "cstrike.h"

class QLabel;
class TNMUDP;
class TTinklelis;

class TfrmTaisykles : public TAntrinisLangas {
    Q_OBJECT
public:
    explicit TfrmTaisykles(QWidget* tevas = nullptr);
    ~TfrmTaisykles() override;

    static constexpr int kEilutes = 100; // the title row and at most 99 rules

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
    TNMUDP* NMUDP1 = nullptr;

    // Handlers.
    void FormCreate();
    void FormShow() override;
    void PritaikytiKalba();
    void FormHide() override;
    void NMUDP1DataReceived(QObject* Sender, int NumberBytes, const QString& FromIP, int Port);
    void NMUDP1DataSend(QObject* Sender);
    void NMUDP1Status(QObject* Sender, const QString& status);
    void NMUDP1InvalidHost(bool& handled);
    void NMUDP1BufferInvalid(bool& handled, QByteArray& Buff, int& length);
    void NMUDP1StreamInvalid(bool& handled, TAtminiesSrautas& Stream);

    // Procedures.
    void SiustiUzklausas(const QString& hostas, int portas, int lygis);
    void RodytiDetales(const TDetales& detales);
    void RodytiTaisykles(const TTaisykles& taisykles);

    // The value lines, in the order of the layout table (lblServerioAddr excluded).
    QList<QLabel*> ReiksmiuEtiketes() const;

    // A byte count in megabytes as the pattern "0.00" gives it: at least one
    // integer digit, two decimals, the decimal separator of the user's locale.
    static QString Megabaitai(qint32 baitai);

private:
    void SukurtiValdiklius();
    void SujungtiIvykius();

    TTinkloPranesimai tinkloPranesimai{this};
};

extern TfrmTaisykles* frmTaisykles;
