#include "Modulis1.h"

#include <algorithm>

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QUrl>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>

#include "ApatineJuosta.h"
#include "Centras.h"
#include "Draugai.h"
#include "FailoInfo.h"
#include "JpegVaizdas.h"
#include "Keliai.h"
#include "Laikrodis.h"
#include "NMUDP.h"
#include "Parinktys.h"
#include "Stebejimas.h"
#include "Registras.h"
#include "Skaiciai.h"
#include "Stiliai.h"
#include "Tekstas.h"
#include "TybCheckBox.h"
#include "TybINI.h"
#include "TybLabel.h"
#include "Valdikliai.h"
#include "ZaidimoPaleidimas.h"
#include "iphostport.h"

using namespace Qt::StringLiterals;

TfrmPagrindinis* frmPagrindinis = nullptr;

namespace {

// Colours of the layout, as 0x00BBGGRR values.
constexpr int kLentosFonas = 1650993; // #313119, the scoreboard panel
constexpr int kKomanda1 = 4872654;    // #CE594A
constexpr int kKomanda2 = 16763540;   // #94CAFF
constexpr int kPingas1 = 4348357;     // #C55942
constexpr int kStebetojai = 7038315;  // #6B656B
constexpr int kShape2Plunksna = 14067332;
constexpr int kSidabrine = 12632256; // silver

TMemo* Memo(QWidget* tevas, const char* vardas, int x, int y, int w, int h, int spalva, bool desineje) {
    TMemo* m = Sukurti<TMemo>(tevas, vardas, x, y, w, h);
    m->setFont(Sriftas(kCourier, 11));
    NustatytiSpalvas(m, SpalvaBGR(spalva), SpalvaBGR(kLentosFonas));
    if (desineje)
        m->NustatytiLygiavima(Qt::AlignRight);
    return m;
}

// A scoreboard rule across the panel at height y.
TLinija* Linija(QWidget* tevas, const char* vardas, int y, int tusas, int plunksna) {
    auto* l = new TLinija(tevas, SpalvaBGR(tusas), SpalvaBGR(plunksna));
    l->setObjectName(QString::fromLatin1(vardas));
    l->setGeometry(8, y, 393, 1);
    return l;
}

// Map names come from the server; only a plain file name may reach the disk.
bool TinkamasZemelapioVardas(const QString& vardas) {
    if (vardas.isEmpty() || vardas == u"."_s || vardas == u".."_s)
        return false;
    for (const QChar c : vardas)
        if (c == u'/' || c == u'\\' || c.unicode() < 0x20)
            return false;
    return true;
}

} // namespace

TfrmPagrindinis::TfrmPagrindinis(TCentras* centras, TParinktys* parinktys, QWidget* tevas)
    : QWidget(tevas), TServerioLangas(this, centras, kStebetojoPrasymai, TRaundoSantrauka::TSaltinis::Stebetojas),
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
    if (frmPagrindinis == this)
        frmPagrindinis = nullptr;
    // Nothing may reach the watcher, or read its language, once it is gone.
    if (Stebetojas() == this) {
        RegistruotiStebetoja(nullptr);
        RegistruotiKalba(nullptr);
    }
}

void TfrmPagrindinis::SukurtiValdiklius() {
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(781, 565);
    setWindowTitle(u"Velmorant"_s);
    setFont(SriftasTaskais(kSansSerif, 8));

    imgZemelapis = Sukurti<TPaveiksliukas>(this, "imgZemelapis", 511, 16, 250, 188);
    imgZemelapis->Istempti = true;
    lblZemelapis = Etikete(this, "lblZemelapis", 512, 210, 249, 16, Sriftas(kSansSerif, 13, true), kOranzine);
    lblZemelapis->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblAdresas = Etikete(this, "lblAdresas", 504, 355, 48, 13, Sriftas(kSansSerif, 11), kOranzine);
    edtHostas = Sukurti<QLineEdit>(this, "edtHostas", 552, 352, 177, 21);
    RedagavimoLaukas(edtHostas);
    edtHostas->setText(u"edtHostas"_s);
    btnRodyti = Sukurti<QPushButton>(this, "btnRodyti", 608, 376, 75, 25);
    btnRodyti->setText(u"btnRodyti"_s);
    btnRodyti->setDefault(true);
    btnJungtis = Sukurti<QPushButton>(this, "btnJungtis", 536, 408, 75, 25);
    btnJungtis->setText(u"btnJungtis"_s);
    btnApie = Sukurti<QPushButton>(this, "btnApie", 680, 408, 75, 25);
    btnApie->setText(u"btnApie"_s);

    pnlTAB = Sukurti<QFrame>(this, "pnlTAB", 48, 8, 414, 521);
    NustatytiFona(pnlTAB, SpalvaBGR(kLentosFonas));
    const QFont antraste = Sriftas(kSansSerif, 13, true);
    lblServerioPavadinimas = Etikete(pnlTAB, "lblServerioPavadinimas", 9, 2, 167, 16, antraste, kOranzine);
    NustatytiFona(lblServerioPavadinimas, SpalvaBGR(kLentosFonas));
    lblZaidejaiSK = Etikete(pnlTAB, "lblZaidejaiSK", 361, 4, 94, 16, antraste, kOranzine);
    NustatytiFona(lblZaidejaiSK, SpalvaBGR(kLentosFonas));
    lblKomanda1Title = Etikete(pnlTAB, "lblKomanda1Title", 8, 24, 122, 16, antraste, kKomanda1);
    lblZaidSK1 = Etikete(pnlTAB, "lblZaidSK1", 104, 24, 62, 13, Sriftas(kSansSerif, 8, true), kKomanda1);
    lblFragaiTitle = Etikete(pnlTAB, "lblFragaiTitle", 216, 24, 94, 16, antraste, kKomanda1);
    lblLaikasTitle = Etikete(pnlTAB, "lblLaikasTitle", 296, 24, 95, 16, antraste, kKomanda1);
    lblPingas1 = Etikete(pnlTAB, "lblPingas1", 360, 24, 74, 16, antraste, kPingas1);
    Shape1 = Linija(pnlTAB, "Shape1", 40, kPingas1, kPingas1);
    memKomanda1 = Memo(pnlTAB, "memKomanda1", 8, 48, 193, 201, kKomanda1, false);
    memFragai1 = Memo(pnlTAB, "memFragai1", 208, 48, 57, 201, kKomanda1, true);
    memLaikas1 = Memo(pnlTAB, "memLaikas1", 272, 48, 73, 201, kKomanda1, true);
    lblKomanda2Title = Etikete(pnlTAB, "lblKomanda2Title", 8, 256, 122, 16, antraste, kKomanda2);
    lblZaidSK2 = Etikete(pnlTAB, "lblZaidSK2", 104, 256, 62, 13, Sriftas(kSansSerif, 8, true), kKomanda2);
    lblPingas2 = Etikete(pnlTAB, "lblPingas2", 360, 256, 97, 16, antraste, kKomanda2);
    lblPingas2->setText(u"lblPingasTitle"_s);
    Shape2 = Linija(pnlTAB, "Shape2", 272, kKomanda2, kShape2Plunksna);
    memKomanda2 = Memo(pnlTAB, "memKomanda2", 8, 280, 193, 201, kKomanda2, false);
    memFragai2 = Memo(pnlTAB, "memFragai2", 208, 280, 57, 201, kKomanda2, true);
    memLaikas2 = Memo(pnlTAB, "memLaikas2", 272, 280, 73, 201, kKomanda2, true);
    Shape3 = Linija(pnlTAB, "Shape3", 488, kStebetojai, kSidabrine);
    lblStebetojaiTitle = Etikete(pnlTAB, "lblStebetojaiTitle", 8, 496, 120, 16, antraste, kStebetojai);
    lblStebetojai = Etikete(pnlTAB, "lblStebetojai", 360, 496, 71, 13, Sriftas(kSansSerif, 11, true), kStebetojai);
    tmrAtnaujinimas->setEnabled(true);
}

void TfrmPagrindinis::SujungtiIvykius() {
    connect(btnRodyti, &QPushButton::clicked, this, [this] { Saugiai([this] { btnRodytiClick(); }); });
    connect(btnJungtis, &QPushButton::clicked, this, [this] { Saugiai([this] { btnJungtisClick(); }); });
    connect(btnApie, &QPushButton::clicked, this, [this] { Saugiai([this] { btnApieClick(); }); });
    connect(edtHostas, &QLineEdit::textChanged, this, [this] { Saugiai([this] { edtHostasChange(); }); });
    SujungtiStebejima();
    connect(paieska, &TAdresuPaieska::VardasRastas, this, [this] { Saugiai([this] { RodytiAdresa(); }); });

    // Every scoreboard change closes the menus; a press in a column hands the
    // keyboard to the address box.
    for (TMemo* m : {memKomanda1, memKomanda2, memFragai1, memFragai2, memLaikas1, memLaikas2}) {
        connect(m, &TMemo::pasikeite, this, [this] { Saugiai([this] { UzdarytiSkydelius(true); }); });
        connect(m, &TMemo::pelePaspausta, this, [this] { edtHostas->setFocus(); });
    }
    for (TMemo* m : {memKomanda1, memKomanda2})
        connect(m, &TMemo::eiluteDesiniuPaspausta, this,
                [this, m](int eilute) { Saugiai([&] { memKomandaContextPopup(m, eilute); }); });
    for (QWidget* v : std::initializer_list<QWidget*>{
             pnlTAB, lblKomanda1Title, lblKomanda2Title, lblStebetojaiTitle, lblStebetojai, lblZaidSK1, lblZaidSK2,
             lblFragaiTitle, lblLaikasTitle, lblPingas1, lblPingas2, imgZemelapis, lblZemelapis, lblAdresas})
        PriskirtiPaspaudima(v, [this] { UzdarytiSkydelius(true); });
    // Controls without a click of their own take the click all the same, so it
    // does not reach the window behind them.
    for (QWidget* v : std::initializer_list<QWidget*>{lblServerioPavadinimas, lblZaidejaiSK, Shape1, Shape2, Shape3,
                                                      pnlMeniuLygis1, pnlMeniuLygis2, pnlPatvirtinimai, pnlAtnaujinimai,
                                                      pnlArIseiti, lblArIseiti, Language})
        PriskirtiPaspaudima(v, {});

    SujungtiMeniu();
    // Key preview: the window sees every key before the focused control does.
    qApp->installEventFilter(this);
}

void TfrmPagrindinis::PriskirtiPaspaudima(QWidget* valdiklis, std::function<void()> veiksmas) {
    paspaudimai.insert(valdiklis, std::move(veiksmas));
    valdiklis->installEventFilter(this);
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
        // Enter presses the default button unless a button, or the bar with
        // its items, has the focus.
        if ((kodas == Qt::Key_Return || kodas == Qt::Key_Enter) && !qobject_cast<QPushButton*>(fokusas) &&
            fokusas != imgApacia) {
            btnRodyti->click();
            return true;
        }
        break;
    }
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
        lblZaidejaiSK->setToolTip(NetikruPatarimas(netikri->Ivertis(stebejimas->Stebimas())));
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
        laikai[stulpelis].append(
            QString::asprintf("%.2u:%.2u:%.2u", z.Valandos, unsigned(z.Minutes), unsigned(z.Sekundes)));
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
    const QString vardas = ServerioTekstas(zemelapis);
    QImage vaizdas;
    if (TinkamasZemelapioVardas(vardas)) {
        const QString kelias = VietinisKelias(u"resursai/zemelapiai/"_s + vardas + u".jpg"_s);
        if (QFileInfo(kelias).isFile())
            vaizdas = SkaitytiJpeg(kelias);
    }
    if (vaizdas.isNull())
        vaizdas = SkaitytiJpeg(VietinisKelias(u"resursai/zemelapiai/standartinis.jpg"_s));
    // A missing or broken fallback leaves the picture empty.
    imgZemelapis->NustatytiVaizda(vaizdas);
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
