// The watcher window: polls one game server and shows its live scoreboard, and
// hosts the program's menus and options. Its layout is built in code
// (SukurtiValdiklius); the behaviour lives in the handlers named
// control + event. The painted bottom bar is its own class (ApatineJuosta),
// the settings file its own unit (Nustatymai), and the language in effect one
// object (Kalba). The other windows see the watcher only through its public
// face (Stebetojas).
#pragma once

#include <functional>

#include <QHash>
#include <QPointer>
#include <QWidget>

#include "Kalba.h"
#include "ServerioLangas.h"
#include "Stebetojas.h"
#include "cstrike.h"
#include "iphostport.h"

class TCentras;
class TParinktys;
class TStebejimas;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
#include "ApatineJuosta.h"
class TDraugai;
class TLaikmatis;
class TLinija;
class TMemo;
class TPaveiksliukas;
class QCheckBox;
class TTybCheckBox;
class TTybLabel;

class TfrmPagrindinis : public QWidget, public TServerioLangas, public TStebetojas {
    Q_OBJECT
    // The window's state by name, for tools and tests.
    Q_PROPERTY(bool ArBanas READ ArUzdraustas WRITE NustatytiBana)
    Q_PROPERTY(int PingoLaikas READ PingoLaikas)
    Q_PROPERTY(bool MeniuPerjungtas MEMBER MeniuPerjungtas)
    Q_PROPERTY(bool ArZaidejaiGauti MEMBER ArZaidejaiGauti)
    Q_PROPERTY(int ZaidejuSkaicius MEMBER ZaidejuSkaicius)
    Q_PROPERTY(QString ZaidimoKatalogas MEMBER ZaidimoKatalogas)
public:
    // `parinktys`: the user's options, which the menu panels edit and the
    // settings load and save; they must outlive the window.
    TfrmPagrindinis(TCentras* centras, TParinktys* parinktys, QWidget* tevas = nullptr);
    ~TfrmPagrindinis() override;

    // The face the other windows see.
    void SustabdytiAtnaujinima() override;
    void TestiAtnaujinima() override;
    int AtnaujinimoIntervalas() const override;
    QString Adresas() const override;
    void Stebeti(const QString& adresas) override;
    void Prisijungti(const QString& adresas) override;
    void RodytiServerioDetales(const QString& adresas) override;
    bool ArUzdraustas() const override;
    const TKalba& Kalba() const override { return kalba; }

    // The notification options of the miscellaneous panel.
    bool ArPranestiVieta() const;
    bool ArPranestiDraugus() const override;

    // The friends list the scoreboard marks and a right-click on a name
    // changes (nullptr: none; it must outlive the window or be taken back).
    void NustatytiDraugus(TDraugai* nauji);

    // The windows the watcher's menus and buttons open; the start-up shows them.
    enum class TLangas { Serveriai, Taisykles, Konsole, Narsykle, Apie };
    Q_ENUM(TLangas)

Q_SIGNALS:
    // The user asked for window `langas`: the list, the details and the about
    // window modally (the signal returns once it is closed), the console and
    // the browser beside the watcher.
    void LangoReikia(TfrmPagrindinis::TLangas langas);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* objektas, QEvent* ivykis) override;

    // The watch (TStebejimas) starts the rounds and takes their replies.
    bool ArIgnoruojaAtsakymus(TApklausa::TId) const override { return true; }
    void ApdorotiAtsakyma(TApklausa::TId, const TSesijosAtsakymas&) override {}
    void ApklausaBaigta(TApklausa::TId, bool) override {}

private:
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
    TLaikmatis* tmrAtnaujinimas = nullptr; // the watch's refresh

    // The bottom menu bar and its panels.
    TApatineJuosta* imgApacia = nullptr;
    QFrame* pnlMeniuLygis1 = nullptr;
    TTybLabel* lblPatvirtinimai = nullptr;
    TTybLabel* lblIvairus1 = nullptr;
    TTybLabel* lblMeniu2 = nullptr;
    TTybLabel* lblMeniu3 = nullptr;
    TTybLabel* lblMeniu4 = nullptr;
    TTybLabel* lblKonsole = nullptr;
    TTybLabel* lblNarsykle = nullptr;
    TTybLabel* lblGerai = nullptr;
    QFrame* pnlMeniuLygis2 = nullptr;
    TTybCheckBox* chkTAB = nullptr;
    TTybCheckBox* chkMeniuApacioj = nullptr;
    QLabel* Language = nullptr;
    QComboBox* cboKalbos = nullptr;
    TTybCheckBox* chkPranestiVieta = nullptr;
    TTybCheckBox* chkPranestiDraugus = nullptr;
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

    // The language in effect; its key/value component is the child "TybINI1".
    TKalba kalba{this};
    TParinktys* parinktys;
    // Binds a check box of the panels to its option, both ways.
    void SusietiZyma(QCheckBox* langelis, int zyma);

    // The watched server, its refresh and its rounds.
    TStebejimas* stebejimas = nullptr;

    // Window state.
    bool ArZaidejaiGauti = false;
    int ZaidejuSkaicius = 0;
    QString ZaidimoKatalogas;
    bool MeniuPerjungtas = false;
    int PingoLaikas() const;
    void NustatytiBana(bool taip);

    // Handlers.
    void FormCreate();
    Q_INVOKABLE void FormShow();
    void btnRodytiClick();
    void edtHostasChange();
    void btnApieClick();
    void btnJungtisClick();
    void FormClose();
    void FormClick();
    void FormKeyDown(int Key, Qt::KeyboardModifiers Shift);
    void FormKeyUp(int Key, Qt::KeyboardModifiers Shift);
    void chkTABClick();
    void chkMeniuApaciojClick();
    Q_INVOKABLE void cboKalbosChange();
    void imgApaciaClick();
    // Enter or Space on an item of the bar (or a screen reader's press).
    void imgApaciaPunktas(TApatineJuosta::TPunktas punktas);
    void imgApaciaMouseMove(int X, int Y);
    void imgApaciaMouseUp(Qt::MouseButton Button, int X, int Y);
    void lblMeniu2Click();
    void lblMeniu4Click();
    void lblKonsoleClick();
    void lblNarsykleClick();
    void lblGeraiClick();
    void lblIseitiTaipClick();
    void lblIseitiNeClick();
    void lblIntervalasClick();
    void lblIntervalasServeriaiBendraiClick();
    // A right press on a name of a players column: that player joins or
    // leaves the friends list.
    void memKomandaContextPopup(TMemo* memo, int eilute);

    // Procedures.
    Q_INVOKABLE void IsvalytiLenta();
    Q_INVOKABLE void RodytiZaidejus(const TZaidejai& zaidejai);
    // Marks the friends among the names of both players columns.
    void PazymetiDraugus();
    Q_INVOKABLE void RodytiDetales(const TDetales& detales);
    void RodytiPinga(int ms);
    // With "change the host", the name of laukiamasAdresas in edtHostas once
    // its reverse lookup has answered.
    void RodytiAdresa();
    void PazymetiBana();
    void PazymetiTimeout();
    void RodytiKitaAtsakyma(TApklausa::TId id, const TSesijosAtsakymas& atsakymas);
    void SujungtiStebejima();
    Q_INVOKABLE void IkeltiKalbas();
    Q_INVOKABLE void PritaikytiKalba();
    // The language file named by cboKalbos: the box lists each language by its
    // own name and keeps the file's name as the item's data; a typed text
    // that is no item's name is taken as a file's name.
    QString KalbosFailas() const;
    // Points the language at the file of cboKalbos in `aplankas`, and the
    // servers' code page at the user's choice, else the language's.
    void NustatytiKalba(const QString& aplankas);

    // A text of the language in effect (section, key), read from disk now.
    QString Tekstas(const char* sekcija, const char* raktas) const;

    void SukurtiValdiklius();
    void SukurtiMeniu();
    void SujungtiIvykius();
    void SujungtiMeniu();
    void RodytiZemelapi(const QByteArray& zemelapis);
    // Loads the settings and takes the language they name; saves them.
    Q_INVOKABLE void IkeltiNustatymus();
    Q_INVOKABLE void IssaugotiNustatymus();
    // Exit: the question panel when the user wants to be asked, otherwise closing.
    void KlaustiIseiti();
    // Hides the menu panels; with the exit panel too when suIseitimu is set.
    void UzdarytiSkydelius(bool suIseitimu);

    // The keyboard in the menu panels: the arrows walk the open panel's items
    // (Right into the option panel a first-level item opens, Left back), the
    // quit question's answers too; true when the key was such a step.
    bool MeniuKlavisas(QWidget* fokusas, int kodas, Qt::KeyboardModifiers mod);
    bool ArMeniuPunktas(const QWidget* valdiklis) const;
    // The first-level items in their order, and the five menu panels.
    QList<QWidget*> PirmoLygioPunktai() const;
    QList<QWidget*> Skydeliai() const;
    // The option panel a first-level item opens, and its items in order.
    QList<QWidget*> SkydelioPunktai(const QWidget* atidarantis) const;
    // The keyboard focus into a panel's item, the control it leaves kept to
    // come back to when the panel closes.
    void IMeniu(QWidget* punktas);
    // A panel closing with the focus inside: the focus goes to the first-level
    // item under the pointer, else back where it came from.
    void SkydelisUzsidaro(QWidget* skydelis);
    // An item's hover handlers, run as the keyboard's focus enters or leaves it.
    void RodytiMeniuFokusa(QWidget* punktas, bool ieina);
    QPointer<QWidget> fokusasPriesMeniu;
    // Asks for an interval in whole seconds (the dialog shows `dabartinisMs`,
    // and `pastaba` above its question); the milliseconds, or nothing when
    // the answer was no whole number (said in a message).
    std::optional<int> IntervaloDialogas(int dabartinisMs, const QString& pastaba);
    // "Refreshing every N s ...": the watcher's refresh period in effect.
    QString IntervaloTekstas() const;
    // A click on a control that has no click event of its own (labels, panels,
    // pictures): the handler runs on a left release inside the control.
    void PriskirtiPaspaudima(QWidget* valdiklis, std::function<void()> veiksmas);
    // Runs a handler under the application guard.
    template <typename F> void Saugiai(F&& f) { Apsaugota(this, std::forward<F>(f)); }

    QHash<QObject*, std::function<void()>> paspaudimai;
    TNetikruTeisejas* netikri = nullptr;
    void RodytiNetikrus();
    // The refresh period in effect, when the server's budget holds it above the chosen one.
    void RodytiIntervala();
    TAdresuPaieska* paieska = nullptr;                // the hub's name lookups
    std::optional<TServerioAdresas> laukiamasAdresas; // the polled "ip:port", its name not yet in the box
    TDraugai* draugai = nullptr;
};
