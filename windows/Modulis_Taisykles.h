// The server details and rules window: everything the "details" reply says
// about the server the watcher is set to, that server's rules from the
// "rules" reply, and the plot of its last 24 hours (imgIstorija). A showing
// asks at once and then again at the watcher's refresh period in effect (the
// watcher's own refresh waits while the window is shown); replies fill the
// window as they come, and a showing for the server shown before keeps its
// values until they do. The plot draws what it is given (RodytiIstorija):
// the window asks for the day of its server as it is shown (IstorijosReikia);
// without a history the plot stays empty.
//
// The layout is built in code (SukurtiValdiklius); the behaviour lives in the
// handlers named control + event. Tools and tests reach the controls by name.
#pragma once

#include <QHash>
#include <QList>
#include <QStringList>

#include <optional>

#include "AntrinisLangas.h"
#include "IstorijosTaskas.h"
#include "ServerioLangas.h"
#include "cstrike.h"

class TCentras;
class QLabel;
class TIstorijosGrafikas;
class TLaikmatis;
class TTinklelis;

class TfrmTaisykles : public TAntrinisLangas, public TServerioLangas {
    Q_OBJECT
public:
    TfrmTaisykles(TCentras* centras, TStebetojas* stebetojas, QWidget* tevas = nullptr);
    ~TfrmTaisykles() override;

    static constexpr int kEilutes = 100; // the title row and at most 99 rules
    // The value lines, top to bottom (lblServerioAddr excluded), by name.
    static const QStringList kReiksmiuEtiketes;

    // A byte count in megabytes as the pattern "0.00" gives it: at least one
    // integer digit, two decimals, the decimal separator of the user's locale.
    static QString Megabaitai(qint32 baitai);

    // The server of the showing's rounds as their records name it
    // ("host:port"); empty while none is polled.
    const QString& IstorijosServeris() const { return istorijosServeris; }
    // The day of `serveris` up to `dabarMs` (Unix ms) into the plot, when it
    // is the showing's server.
    void RodytiIstorija(const QString& serveris, const TIstorijosTaskai& taskai, qint64 dabarMs);

Q_SIGNALS:
    // A showing of `serveris` began: its day is wanted for the plot.
    void IstorijosReikia(const QString& serveris);

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
    TIstorijosGrafikas* imgIstorija = nullptr;
    // The showing's next round, at the watcher's refresh period in effect.
    TLaikmatis* tmrAtnaujinimas = nullptr;

    // Handlers.
    void FormCreate();
    void PritaikytiKalba();
    void tmrAtnaujinimasTimer();

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
    // Host and port of the showing's rounds, and their records' name for them
    // (empty: the showing polls nothing).
    std::optional<TServerioAdresas> apklausiamas; // the server polled, and whose day is plotted
    QString istorijosServeris;                    // its text, the history's key
    QHash<QLabel*, QString> reiksmes;
};
