#include "Modulis1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QUrl>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

#include "ApatineJuosta.h"
#include "Centras.h"
#include "Draugai.h"
#include "FailoInfo.h"
#include "Zemelapiai.h"
#include "Parinktys.h"
#include "Stebejimas.h"
#include "Registras.h"
#include "Skaiciai.h"
#include "Stiliai.h"
#include "Tekstas.h"
#include "TybLabel.h"
#include "Valdikliai.h"
#include "ZaidimoPaleidimas.h"
#include "iphostport.h"

using namespace Qt::StringLiterals;

TfrmPagrindinis::TfrmPagrindinis(TCentras* centras, TParinktys* parinktys, QWidget* tevas)
    : QWidget(tevas),
      TServerioLangas(this, centras, kStebetojoPrasymai, TRaundoSantrauka::TSaltinis::Stebetojas, &kalba),
      parinktys(parinktys) {
    setObjectName(u"frmPagrindinis"_s);
    paieska = centras->Vardai();
    stebejimas = new TStebejimas(centras->Apklausa(), this);
    tmrAtnaujinimas = stebejimas->Atnaujinimas();
    SukurtiValdiklius();
    SukurtiMeniu();
    SujungtiIvykius();
    // The count's tool tip says when the hub's judge finds the watched server's players fake.
    netikri = centras->Netikri();
    connect(netikri, &TNetikruTeisejas::Pakito, this, [this](const QString& serveris) {
        if (serveris == stebejimas->Stebimas())
            RodytiNetikrus();
    });
    Saugiai([this] { FormCreate(); });
}

TfrmPagrindinis::~TfrmPagrindinis() {
    qApp->removeEventFilter(this);
}

QString TfrmPagrindinis::Tekstas(const char* sekcija, const char* raktas) const {
    return kalba.Tekstas(sekcija, raktas);
}

// ---- The face the other windows see ----

void TfrmPagrindinis::SustabdytiAtnaujinima() {
    stebejimas->SustabdytiAtnaujinima();
}

void TfrmPagrindinis::TestiAtnaujinima() {
    stebejimas->TestiAtnaujinima();
}

bool TfrmPagrindinis::ArUzdraustas() const {
    return stebejimas->ArBanas();
}

void TfrmPagrindinis::NustatytiBana(bool taip) {
    stebejimas->NustatytiBana(taip);
}

int TfrmPagrindinis::PingoLaikas() const {
    return stebejimas->PingoLaikas();
}

int TfrmPagrindinis::AtnaujinimoIntervalas() const {
    return tmrAtnaujinimas->interval();
}

QString TfrmPagrindinis::Adresas() const {
    return edtHostas->text();
}

void TfrmPagrindinis::Stebeti(const QString& adresas) {
    edtHostas->setText(adresas);
    btnRodyti->click();
}

void TfrmPagrindinis::Prisijungti(const QString& adresas) {
    Stebeti(adresas);
    btnJungtis->click();
}

void TfrmPagrindinis::RodytiServerioDetales(const QString& adresas) {
    Stebeti(adresas);
    lblMeniu4Click();
}

// ---- Creation and showing ----

void TfrmPagrindinis::FormCreate() {
    IsvalytiLenta();
    ZaidejuSkaicius = 0;
    ArZaidejaiGauti = false;
    MeniuPerjungtas = false;
    edtHostas->setText(QString()); // runs edtHostasChange: the refresh starts disabled
    TVersijosTekstai versija;
    SkaitytiVersija(versija);
    setWindowTitle(u"Velmorant v"_s + versija[kProduktoVersija]);
    NustatytiFona(this, Qt::black);
    SkaitytiRegistra(kHkeyCurrentUser, u"\\SOFTWARE\\Valve\\Half-Life"_s, u"InstallPath"_s, ZaidimoKatalogas);
    pnlAtnaujinimai->move(137, 480);
    pnlPatvirtinimai->move(137, 408);
    if (const QScreen* ekranas = screen())
        move(ekranas->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

void TfrmPagrindinis::FormShow() {
    // A settings file that fails to load is reported, and the window is still
    // made usable: the language list, the captions and the bar follow.
    Saugiai([this] { IkeltiNustatymus(); });
    IkeltiKalbas();
    PritaikytiKalba();
    imgApacia->Nupiesti();
}

void TfrmPagrindinis::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        Saugiai([this] { FormShow(); });
}

void TfrmPagrindinis::closeEvent(QCloseEvent* event) {
    Saugiai([this] { FormClose(); });
    QWidget::closeEvent(event);
}

void TfrmPagrindinis::FormClose() {
    if (parinktys->Zyma(TParinktys::TZyma::IssaugotiPakeitimus))
        IssaugotiNustatymus();
}

void TfrmPagrindinis::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void TfrmPagrindinis::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Saugiai([this] { FormClick(); });
}

void TfrmPagrindinis::FormClick() {
    UzdarytiSkydelius(false);
}

bool TfrmPagrindinis::eventFilter(QObject* objektas, QEvent* ivykis) {
    switch (ivykis->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        // Each key once: at the focused control, or at the window when nothing has the focus.
        auto* valdiklis = qobject_cast<QWidget*>(objektas);
        QWidget* fokusas = focusWidget();
        if (!valdiklis || valdiklis != (fokusas ? fokusas : this))
            break;
        auto* klavisas = static_cast<QKeyEvent*>(ivykis);
        const int kodas = klavisas->key();
        const Qt::KeyboardModifiers mod = klavisas->modifiers();
        if (ivykis->type() == QEvent::KeyRelease) {
            if (!klavisas->isAutoRepeat())
                Saugiai([&] { FormKeyUp(kodas, mod); });
            break;
        }
        // A plain Tab (or Shift+Tab) press only moves the focus; with Ctrl it
        // reaches the handlers. Every release does.
        if ((kodas == Qt::Key_Tab || kodas == Qt::Key_Backtab) && !(mod & Qt::ControlModifier))
            break;
        Saugiai([&] { FormKeyDown(kodas, mod); });
        bool zingsnis = false;
        Saugiai([&] { zingsnis = MeniuKlavisas(fokusas, kodas, mod); });
        if (zingsnis)
            return true;
        // Enter presses the default button unless a button, the bar with its
        // items, or an item of the menu panels has the focus.
        if ((kodas == Qt::Key_Return || kodas == Qt::Key_Enter) && !qobject_cast<QPushButton*>(fokusas) &&
            fokusas != imgApacia && !ArMeniuPunktas(fokusas)) {
            btnRodyti->click();
            return true;
        }
        break;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        // An item of the menu panels shows the keyboard's focus as it shows
        // the pointer, and a first-level item opens its panel for it alike.
        if (auto* v = qobject_cast<QWidget*>(objektas); v && ArMeniuPunktas(v))
            Saugiai([&] { RodytiMeniuFokusa(v, ivykis->type() == QEvent::FocusIn); });
        break;
    case QEvent::Hide:
        // The panels: the keyboard focus does not go on to whatever control is next.
        if (auto* v = qobject_cast<QWidget*>(objektas); v && Skydeliai().contains(v))
            Saugiai([&] { SkydelisUzsidaro(v); });
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (paspaudimai.contains(objektas))
            return true;
        break;
    case QEvent::MouseButtonRelease: {
        const auto i = paspaudimai.constFind(objektas);
        if (i == paspaudimai.constEnd())
            break;
        auto* pele = static_cast<QMouseEvent*>(ivykis);
        auto* valdiklis = static_cast<QWidget*>(objektas);
        if (i.value() && pele->button() == Qt::LeftButton && valdiklis->rect().contains(pele->position().toPoint()))
            Saugiai([veiksmas = i.value()] { veiksmas(); });
        return true;
    }
    default:
        break;
    }
    return QWidget::eventFilter(objektas, ivykis);
}

// ---- The watch cycle ----

void TfrmPagrindinis::IsvalytiLenta() {
    for (TMemo* m : {memKomanda1, memKomanda2, memFragai1, memFragai2, memLaikas1, memLaikas2})
        m->Isvalyti();
    for (QLabel* l : {lblPingas1, lblPingas2, lblZaidSK1, lblZaidSK2, lblStebetojai, lblServerioPavadinimas,
                      lblZaidejaiSK, lblZemelapis}) {
        l->clear();
        l->setToolTip(QString()); // the whole text of an elided name
    }
    imgZemelapis->NustatytiVaizda(QImage());
}

void TfrmPagrindinis::btnRodytiClick() {
    stebejimas->Stebeti();
}

// What the watch reports, painted; each under the application guard.
void TfrmPagrindinis::SujungtiStebejima() {
    TStebejimas* s = stebejimas;
    connect(s, &TStebejimas::Isvalyta, this, [this] { Saugiai([this] { IsvalytiLenta(); }); });
    connect(s, &TStebejimas::PranesimaiPamirsti, this, [this] { PamirstiTinkloPranesimus(); });
    connect(s, &TStebejimas::RaundasPradetas, this, [this] {
        Saugiai([this] {
            RodytiNetikrus();
            RodytiIntervala();
        });
    });
    connect(s, &TStebejimas::PingasGautas, this, [this](int ms) { Saugiai([&] { RodytiPinga(ms); }); });
    connect(s, &TStebejimas::ZaidejaiGauti, this, [this](const TZaidejai& z) { Saugiai([&] { RodytiZaidejus(z); }); });
    connect(s, &TStebejimas::DetalesGautos, this, [this](const TDetales& d, std::optional<int> isvardinta) {
        Saugiai([&] {
            if (isvardinta) {
                ArZaidejaiGauti = true;
                ZaidejuSkaicius = *isvardinta;
            }
            // Until this round's players reply comes, the spectators shown stay.
            const QString stebetojai = lblStebetojai->text();
            RodytiDetales(d);
            if (!isvardinta)
                lblStebetojai->setText(stebetojai);
        });
    });
    connect(s, &TStebejimas::Timeout, this, [this] { Saugiai([this] { PazymetiTimeout(); }); });
    connect(s, &TStebejimas::Banas, this, [this] { Saugiai([this] { PazymetiBana(); }); });
    connect(s, &TStebejimas::KitasAtsakymas, this,
            [this](TApklausa::TId id, const TSesijosAtsakymas& a) { Saugiai([&] { RodytiKitaAtsakyma(id, a); }); });
    connect(s, &TStebejimas::NerastasHostas, this,
            [this](bool& handled) { Saugiai([&] { NMUDP1InvalidHost(handled); }); });
    connect(s, &TStebejimas::Klaida, this, [this](const QString& pranesimas) { RodytiPranesima(this, pranesimas); });
}

void TfrmPagrindinis::RodytiNetikrus() {
    // The count keeps its "players/max"; only its tool tip tells.
    if (!lblZaidejaiSK->text().isEmpty())
        lblZaidejaiSK->setToolTip(NetikruPatarimas(kalba, netikri->Ivertis(stebejimas->Stebimas())));
}

void TfrmPagrindinis::RodytiIntervala() {
    lblIntervalas->setToolTip(stebejimas->TaikytiBiudzeta() ? IntervaloTekstas() : QString());
}

void TfrmPagrindinis::edtHostasChange() {
    stebejimas->NustatytiAdresa(edtHostas->text());
}

void TfrmPagrindinis::PazymetiTimeout() {
    const QString tekstas = Tekstas("Pranesimai", "Timeout");
    lblPingas1->setText(tekstas);
    lblPingas2->setText(tekstas);
}

void TfrmPagrindinis::PazymetiBana() {
    const QString tekstas = Tekstas("Pranesimai", "Banas");
    lblPingas1->setText(tekstas);
    lblPingas2->setText(tekstas);
}

void TfrmPagrindinis::RodytiPinga(int ms) {
    lblPingas1->setText(QString::number(ms));
    lblPingas2->setText(QString::number(ms));
}

// A server's odd reply: its texts, or what it was, in the window's message
// boxes (once a datagram, as the gate says).
void TfrmPagrindinis::RodytiKitaAtsakyma(TApklausa::TId id, const TSesijosAtsakymas& atsakymas) {
    switch (atsakymas.Rusis) {
    case TAtsakymoRusis::PerDidelis:
        RodytiTinkloPranesima(id, QString::number(atsakymas.Dydis) + Tekstas("Pranesimai", "BaituGavau"));
        break;
    case TAtsakymoRusis::Tekstas:
        if (RodytiTinkloPranesima(id, ServerioTekstas(atsakymas.PirmasTekstas)))
            RodytiTinkloPranesima(id, ServerioTekstas(atsakymas.AntrasTekstas));
        break;
    default:
        PranestiNezinomusDuomenis(id);
        break;
    }
}

// ---- The scoreboard ----

void TfrmPagrindinis::RodytiZaidejus(const TZaidejai& zaidejai) {
    // Players alternate between the two columns in reply order.
    QStringList vardai[2], fragai[2], laikai[2];
    int stulpelis = 0;
    for (const TZaidejoInfo& z : zaidejai) {
        vardai[stulpelis].append(ServerioTekstas(z.Zaidejas.Vardas));
        fragai[stulpelis].append(QString::number(z.Zaidejas.Fragai));
        // A negative time is no connection time (the bots of some engines report -1): none is shown.
        laikai[stulpelis].append(
            z.Zaidejas.Laikas < 0.0f
                ? QString()
                : QString::asprintf("%.2u:%.2u:%.2u", z.Valandos, unsigned(z.Minutes), unsigned(z.Sekundes)));
        stulpelis = 1 - stulpelis;
    }
    // Each reply replaces the columns whole: a refresh never shows them empty.
    memKomanda1->NustatytiEilutes(vardai[0]);
    memFragai1->NustatytiEilutes(fragai[0]);
    memLaikas1->NustatytiEilutes(laikai[0]);
    memKomanda2->NustatytiEilutes(vardai[1]);
    memFragai2->NustatytiEilutes(fragai[1]);
    memLaikas2->NustatytiEilutes(laikai[1]);
    ArZaidejaiGauti = true;
    ZaidejuSkaicius = int(zaidejai.size());
    PazymetiDraugus();
}

// ---- Friends ----

void TfrmPagrindinis::NustatytiDraugus(TDraugai* nauji) {
    draugai = nauji;
    PazymetiDraugus();
}

void TfrmPagrindinis::PazymetiDraugus() {
    for (TMemo* m : {memKomanda1, memKomanda2}) {
        QList<bool> zymes;
        if (draugai)
            for (const QString& vardas : m->Eilutes())
                zymes.append(draugai->ArDraugas(vardas));
        m->NustatytiZymes(zymes);
    }
}

void TfrmPagrindinis::memKomandaContextPopup(TMemo* memo, int eilute) {
    if (!draugai || eilute < 0 || eilute >= memo->EiluciuSkaicius())
        return;
    // A file that cannot be read or written is said by the guard, and the list stays.
    draugai->Perjungti(memo->Eilutes().at(eilute));
    PazymetiDraugus();
}

void TfrmPagrindinis::RodytiZemelapi(const QByteArray& zemelapis) {
    imgZemelapis->NustatytiVaizda(ZemelapioVaizdas(ServerioTekstas(zemelapis)));
}

void TfrmPagrindinis::RodytiDetales(const TDetales& detales) {
    NustatytiTeksta(lblServerioPavadinimas, ServerioTekstas(detales.Info.Pavadinimas));
    RodytiZemelapi(detales.Info.Zemelapis);
    lblZemelapis->setText(ServerioTekstas(detales.Info.Zemelapis));
    const QString zaidejai = Tekstas("frmPagrindinis", "zaidejai");
    lblZaidSK1->setText(u"("_s + QString::number(memKomanda1->EiluciuSkaicius()) + u' ' + zaidejai + u')');
    lblZaidSK2->setText(u"("_s + QString::number(memKomanda2->EiluciuSkaicius()) + u' ' + zaidejai + u')');
    NustatytiTeksta(lblZaidejaiSK, QString::number(detales.Zaidejai) + u'/' + QString::number(detales.MaxZaideju));
    RodytiNetikrus();
    if (ArZaidejaiGauti)
        lblStebetojai->setText(QString::number(int(detales.Zaidejai) - ZaidejuSkaicius));
    else
        lblStebetojai->clear();
    ArZaidejaiGauti = false;
    ZaidejuSkaicius = 0;

    // The address the round's datagrams went to, whatever the box holds by now.
    laukiamasAdresas = stebejimas->IPAdresas();
    if (laukiamasAdresas)
        imgApacia->RodytiAdresa(laukiamasAdresas->Tekstas());
    RodytiAdresa();
}

void TfrmPagrindinis::RodytiAdresa() {
    // With "change the host", the polled address's name goes into the box once
    // the reverse lookup answers (in the background: VardasRastas comes back here).
    if (!laukiamasAdresas)
        return;
    if (parinktys->Zyma(TParinktys::TZyma::KeistiHosta)) {
        const std::optional<QString> vardas = paieska->Vardas(laukiamasAdresas->Hostas);
        if (!vardas)
            return;
        laukiamasAdresas.reset();
        edtHostas->setText(*vardas);
        return;
    }
    laukiamasAdresas.reset();
}

// ---- Game launch ----

void TfrmPagrindinis::btnJungtisClick() {
    const QString adresas = edtHostas->text();
    if (ApkarpytiTarpus(adresas).isEmpty())
        return;
    TPaleidimoAplinka aplinka = SistemosPaleidimoAplinka();
    aplinka.AtidarytiNuoroda = [](const QString& nuoroda) {
        return QDesktopServices::openUrl(QUrl(nuoroda));
    };
    if (PaleistiZaidima(adresas, ZaidimoKatalogas, aplinka) == TPaleidimoBudas::Nepaleista) {
        // Nothing was started: say so and keep watching.
        RodytiPranesima(this, Tekstas("Pranesimai", "ZaidimasNepaleistas"));
        return;
    }
    close();
}
