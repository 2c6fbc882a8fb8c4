// The watcher window: polls one game server and shows its live scoreboard.
// Its layout is built in code from the window's layout table (SukurtiValdiklius);
// the behaviour lives in the handlers named control + event.
#pragma once

#include <functional>

#include <QHash>
#include <QPointer>
#include <QWidget>

#include "Pranesimai.h"
#include "cstrike.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class TLaikmatis;
class TLinija;
class TMemo;
class TNMUDP;
class TPaveiksliukas;
class TTybCheckBox;
class TTybINI;
class TTybLabel;

class TfrmPagrindinis : public QWidget {
    Q_OBJECT
public:
    explicit TfrmPagrindinis(QWidget* tevas = nullptr);
    ~TfrmPagrindinis() override;

    // Controls, named as in the layout.
    TPaveiksliukas* imgZemelapis = nullptr;
    QLabel* lblZemelapis = nullptr;
    QLabel* lblAdresas = nullptr;
    QLineEdit* edtHostas = nullptr;
    QPushButton* btnRodyti = nullptr;
    QPushButton* btnJungtis = nullptr;
    QPushButton* btnApie = nullptr;
    QFrame* pnlTAB = nullptr;
    QLabel* lblServerioPavadinimas = nullptr;
    QLabel* lblZaidejaiSK = nullptr;
    QLabel* lblKomanda1Title = nullptr;
    QLabel* lblZaidSK1 = nullptr;
    QLabel* lblFragaiTitle = nullptr;
    QLabel* lblLaikasTitle = nullptr;
    QLabel* lblPingas1 = nullptr;
    TLinija* Shape1 = nullptr;
    TMemo* memKomanda1 = nullptr;
    TMemo* memFragai1 = nullptr;
    TMemo* memLaikas1 = nullptr;
    QLabel* lblKomanda2Title = nullptr;
    QLabel* lblZaidSK2 = nullptr;
    QLabel* lblPingas2 = nullptr;
    TLinija* Shape2 = nullptr;
    TMemo* memKomanda2 = nullptr;
    TMemo* memFragai2 = nullptr;
    TMemo* memLaikas2 = nullptr;
    TLinija* Shape3 = nullptr;
    QLabel* lblStebetojaiTitle = nullptr;
    QLabel* lblStebetojai = nullptr;
    TNMUDP* NMUDP1 = nullptr;
    QTimer* tmrPingas = nullptr;
    TLaikmatis* tmrAtnaujinimas = nullptr;
    TTybINI* TybINI1 = nullptr; // the program's one key/value file component

    // The bottom menu bar and its panels.
    TPaveiksliukas* imgApacia = nullptr;
    QFrame* pnlMeniuLygis1 = nullptr;
    TTybLabel* lblPatvirtinimai = nullptr;
    TTybLabel* lblIvairus1 = nullptr;
    TTybLabel* lblMeniu2 = nullptr;
    TTybLabel* lblMeniu3 = nullptr;
    TTybLabel* lblMeniu4 = nullptr;
    TTybLabel* lblGerai = nullptr;
    QFrame* pnlMeniuLygis2 = nullptr;
    TTybCheckBox* chkTAB = nullptr;
    TTybCheckBox* chkMeniuApacioj = nullptr;
    QLabel* Language = nullptr;
    QComboBox* cboKalbos = nullptr;
    QFrame* pnlPatvirtinimai = nullptr;
    TTybCheckBox* chkArIseiti = nullptr;
    TTybCheckBox* chkIssaugotiPakeitimus = nullptr;
    TTybCheckBox* chkKeistiHosta = nullptr;
    QFrame* pnlAtnaujinimai = nullptr;
    TTybLabel* lblIntervalas = nullptr;
    TTybLabel* lblIntervalasServeriaiBendrai = nullptr;
    QFrame* pnlArIseiti = nullptr;
    QLabel* lblArIseiti = nullptr;
    TTybLabel* lblIseitiTaip = nullptr;
    TTybLabel* lblIseitiNe = nullptr;

    // Window state.
    bool ArBanas = false;
    int PingoLaikas = 0; // milliseconds of the round in flight (or of the last answered one)
    bool ArZaidejaiGauti = false;
    int ZaidejuSkaicius = 0;
    QString ZaidimoKatalogas;
    bool MeniuPerjungtas = false;

    // Handlers.
    void FormCreate();
    void FormShow();
    void btnRodytiClick();
    void tmrAtnaujinimasTimer();
    void Timer1Timer();
    void edtHostasChange();
    void NMUDP1DataReceived(QObject* Sender, int NumberBytes, const QString& FromIP, int Port);
    void NMUDP1DataSend(QObject* Sender);
    void NMUDP1Status(QObject* Sender, const QString& status);
    void NMUDP1InvalidHost(bool& handled);
    void NMUDP1BufferInvalid(bool& handled, QByteArray& Buff, int& length);
    void NMUDP1StreamInvalid(bool& handled, TAtminiesSrautas& Stream);
    void btnApieClick();
    void btnJungtisClick();
    void FormClose();
    void FormClick();
    void FormKeyDown(int Key, Qt::KeyboardModifiers Shift);
    void FormKeyUp(int Key, Qt::KeyboardModifiers Shift);
    void chkTABClick();
    void chkMeniuApaciojClick();
    void cboKalbosChange();
    void imgApaciaClick();
    void imgApaciaMouseMove(int X, int Y);
    void imgApaciaMouseUp(Qt::MouseButton Button, int X, int Y);
    void lblMeniu2Click();
    void lblMeniu4Click();
    void lblGeraiClick();
    void lblIseitiTaipClick();
    void lblIseitiNeClick();
    void lblIntervalasClick();
    void lblIntervalasServeriaiBendraiClick();

    // Procedures.
    void IsvalytiLenta();
    void SiustiUzklausas(const QString& hostas, int portas, int lygis);
    void RodytiZaidejus(const TZaidejai& zaidejai);
    void RodytiDetales(const TDetales& detales);
    void RodytiPinga();
    void PazymetiBana();
    void PazymetiTimeout();
    void IkeltiNustatymus();
    void IssaugotiNustatymus();
    void IkeltiKalbas();
    void PritaikytiKalba();
    void NupiestiMeniu();
    void NupiestiPunkta(TPaveiksliukas* paveiksliukas, int X1, int Y1, int X2, int Y2, int poslinkis,
                        const QString& tekstas);
    void NupiestiPazymetaPunkta(TPaveiksliukas* paveiksliukas, int X1, int Y1, int X2, int Y2, int poslinkis,
                                const QString& tekstas);

    // A text of the current language file (section, key), read from disk now;
    // a marker ("###1".."###3") when the file, section or key is missing.
    QString Tekstas(const char* sekcija, const char* raktas) const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* objektas, QEvent* ivykis) override;

private:
    void SukurtiValdiklius();
    void SujungtiIvykius();
    void RodytiZemelapi(const QByteArray& zemelapis);
    void SujungtiMeniu();
    // Hides the menu panels; with the exit panel too when suIseitimu is set.
    void UzdarytiSkydelius(bool suIseitimu);
    void IntervaloDialogas(TLaikmatis* laikmatis);
    // A click on a control that has no click event of its own (labels, panels,
    // pictures): the handler runs on a left release inside the control.
    void PriskirtiPaspaudima(QWidget* valdiklis, std::function<void()> veiksmas);
    void PiestiPunkta(TPaveiksliukas* paveiksliukas, int X1, int Y1, int X2, int Y2, int poslinkis,
                      const QString& tekstas, bool pazymetas);
    // Runs a handler under the application guard.
    template <typename F> void Saugiai(F&& f) { Apsaugota(this, std::forward<F>(f)); }

    QHash<QObject*, std::function<void()>> paspaudimai;
    TTinkloPranesimai tinkloPranesimai{this};
    qint64 raundoPradzia = 0; // clock reading when the round was sent
    bool jauRodytas = false;
};

extern TfrmPagrindinis* frmPagrindinis;
