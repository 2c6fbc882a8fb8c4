#include "Modulis1.h"

#include "Modulis2.h"
#include "Modulis_Apie.h"
#include "Modulis_Taisykles.h"

#include "Atsakymai.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QDesktopServices>
#include <QUrl>
#include <QComboBox>
#include <QSignalBlocker>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>

#include "JpegVaizdas.h"
#include "Keliai.h"
#include "Laikrodis.h"
#include "NMUDP.h"
#include "Skaiciai.h"
#include "Tekstas.h"
#include "FailoInfo.h"
#include "FailuPaieska.h"
#include "Registras.h"
#include "TybINI.h"
#include "TybCheckBox.h"
#include "TybLabel.h"
#include "Valdikliai.h"
#include "ZaidimoPaleidimas.h"
#include "iphostport.h"

using namespace Qt::StringLiterals;

TfrmPagrindinis* frmPagrindinis = nullptr;

namespace {

// Colours of the layout, as 0x00BBGGRR values.
constexpr int kOranzine = 43775;      // #FFAA00, text of the server-facing windows
constexpr int kLentosFonas = 1650993; // #313119, the scoreboard panel
constexpr int kKomanda1 = 4872654;    // #CE594A
constexpr int kKomanda2 = 16763540;   // #94CAFF
constexpr int kPingas1 = 4348357;     // #C55942
constexpr int kStebetojai = 7038315;  // #6B656B
constexpr int kShape2Plunksna = 14067332;
constexpr int kSidabrine = 12632256; // silver

// The bottom bar and its panels.
constexpr int kMeniuFonas = 527376;        // #100C08
constexpr int kPunktoRemas = 1650993;      // #313119
constexpr int kPunktoTekstas = 3247756;    // #8C8E31
constexpr int kPazymetasRemas = 3263165;   // #BDCA31
constexpr int kPazymetasTekstas = 3852997; // #C5CA3A
constexpr int kVeiksmoTekstas = 48127;     // #FFBB00

// The round-trip clock gives up after this many milliseconds.
constexpr qint64 kLaukimoRiba = 5000;
// A refresh tick that finds the round waiting this long takes the time-out
// instead of starting a new round (the two fall due together by default).
constexpr qint64 kLaukimoRibaAtnaujinant = 4950;

// The address slot of the bottom bar.
constexpr int kAdresoX1 = 285, kAdresoX2 = 500, kPunktoY1 = 2, kPunktoY2 = 21, kAdresoPoslinkis = 60;

// Files of the program, named as the program names them; the path helper maps them.
const QString kNustatymuFailas = u"resursai\\Nustatymai.tyb"_s;
const QString kKalbuAplankas = u"resursai\\Kalbos\\"_s;
const QString kKalbuSarasoAplankas = u"resursai\\kalbos\\"_s;
const QString kNustatymuSekcija = u"Nustatymai"_s;

// The hover colours of the menu panels.
constexpr int kPazymetasFonas = 3235162; // #5A5D31
constexpr int kVeiksmoPazymetas = 37119; // #FF9000

// The bar's items: X1, X2 and text offset (all share Y1 = 2, Y2 = 21).
struct TPunktas {
    int X1, X2, poslinkis;
};
constexpr TPunktas kMeniuPunktas{15, 90, 20};
constexpr TPunktas kKairysPunktas{250, 275, 9};
constexpr TPunktas kDesinysPunktas{510, 535, 10};
constexpr TPunktas kIseitiPunktas{698, 768, 5};

// Strictly inside: X1 < x < X2 and Y1 < y < Y2.
bool Viduje(const TPunktas& p, int x, int y) {
    return p.X1 < x && x < p.X2 && 2 < y && y < 21;
}

bool TikShift(Qt::KeyboardModifiers m) {
    return (m & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == Qt::ShiftModifier;
}

bool TikCtrl(Qt::KeyboardModifiers m) {
    return (m & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == Qt::ControlModifier;
}

const QString kSansSerif = u"MS Sans Serif"_s;
const QString kCourier = u"Courier New"_s;

QLabel* Etikete(QWidget* tevas, const char* vardas, int x, int y, int w, int h, const QFont& sriftas, int spalva) {
    QLabel* l = Sukurti<QLabel>(tevas, vardas, x, y, w, h);
    l->setTextFormat(Qt::PlainText);
    l->setFont(sriftas);
    l->setText(QString::fromLatin1(vardas));
    NustatytiSpalvas(l, SpalvaBGR(spalva));
    return l;
}

TMemo* Memo(QWidget* tevas, const char* vardas, int x, int y, int w, int h, int spalva, bool desineje) {
    TMemo* m = Sukurti<TMemo>(tevas, vardas, x, y, w, h);
    m->setFont(Sriftas(kCourier, 11));
    NustatytiSpalvas(m, SpalvaBGR(spalva), SpalvaBGR(kLentosFonas));
    if (desineje)
        m->NustatytiLygiavima(Qt::AlignRight);
    return m;
}

QFrame* Skydelis(QWidget* tevas, const char* vardas, int x, int y, int w, int h) {
    QFrame* p = Sukurti<QFrame>(tevas, vardas, x, y, w, h);
    NustatytiFona(p, SpalvaBGR(kMeniuFonas));
    p->hide();
    return p;
}

TTybLabel* MeniuEtikete(QWidget* tevas, const char* vardas, int x, int y, int w, int h, const QFont& sriftas,
                        int spalva) {
    TTybLabel* l = Sukurti<TTybLabel>(tevas, vardas, x, y, w, h);
    l->setFont(sriftas);
    l->setText(QString::fromLatin1(vardas));
    NustatytiSpalvas(l, SpalvaBGR(spalva));
    return l;
}

TTybCheckBox* Zymimasis(QWidget* tevas, const char* vardas, int x, int y, bool pazymetas) {
    TTybCheckBox* c = Sukurti<TTybCheckBox>(tevas, vardas, x, y, 241, 17);
    c->setFont(Sriftas(kSansSerif, 11));
    c->setText(QString::fromLatin1(vardas));
    NustatytiSpalvas(c, SpalvaBGR(kPunktoTekstas));
    c->setChecked(pazymetas);
    return c;
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

TfrmPagrindinis::TfrmPagrindinis(QWidget* tevas) : QWidget(tevas) {
    setObjectName(u"frmPagrindinis"_s);
    SukurtiValdiklius();
    SujungtiIvykius();
    Saugiai([this] { FormCreate(); });
}

TfrmPagrindinis::~TfrmPagrindinis() {
    qApp->removeEventFilter(this);
    if (frmPagrindinis == this)
        frmPagrindinis = nullptr;
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
    edtHostas->setFrame(false);
    NustatytiSpalvas(edtHostas, SpalvaBGR(kOranzine), Qt::black);
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
    Shape1 = new TLinija(pnlTAB, SpalvaBGR(kPingas1), SpalvaBGR(kPingas1));
    Shape1->setObjectName(u"Shape1"_s);
    Shape1->setGeometry(8, 40, 393, 1);
    memKomanda1 = Memo(pnlTAB, "memKomanda1", 8, 48, 193, 201, kKomanda1, false);
    memFragai1 = Memo(pnlTAB, "memFragai1", 208, 48, 57, 201, kKomanda1, true);
    memLaikas1 = Memo(pnlTAB, "memLaikas1", 272, 48, 73, 201, kKomanda1, true);
    lblKomanda2Title = Etikete(pnlTAB, "lblKomanda2Title", 8, 256, 122, 16, antraste, kKomanda2);
    lblZaidSK2 = Etikete(pnlTAB, "lblZaidSK2", 104, 256, 62, 13, Sriftas(kSansSerif, 8, true), kKomanda2);
    lblPingas2 = Etikete(pnlTAB, "lblPingas2", 360, 256, 97, 16, antraste, kKomanda2);
    lblPingas2->setText(u"lblPingasTitle"_s);
    Shape2 = new TLinija(pnlTAB, SpalvaBGR(kKomanda2), SpalvaBGR(kShape2Plunksna));
    Shape2->setObjectName(u"Shape2"_s);
    Shape2->setGeometry(8, 272, 393, 1);
    memKomanda2 = Memo(pnlTAB, "memKomanda2", 8, 280, 193, 201, kKomanda2, false);
    memFragai2 = Memo(pnlTAB, "memFragai2", 208, 280, 57, 201, kKomanda2, true);
    memLaikas2 = Memo(pnlTAB, "memLaikas2", 272, 280, 73, 201, kKomanda2, true);
    Shape3 = new TLinija(pnlTAB, SpalvaBGR(kStebetojai), SpalvaBGR(kSidabrine));
    Shape3->setObjectName(u"Shape3"_s);
    Shape3->setGeometry(8, 488, 393, 1);
    lblStebetojaiTitle = Etikete(pnlTAB, "lblStebetojaiTitle", 8, 496, 120, 16, antraste, kStebetojai);
    lblStebetojai = Etikete(pnlTAB, "lblStebetojai", 360, 496, 71, 13, Sriftas(kSansSerif, 11, true), kStebetojai);

    NMUDP1 = new TNMUDP(this);
    NMUDP1->setObjectName(u"NMUDP1"_s);
    NMUDP1->setRemoteHost(u"127.0.0.1"_s);
    NMUDP1->setRemotePort(27015);
    NMUDP1->setLocalPort(27035);
    NMUDP1->setReportLevel(2);

    tmrPingas = new QTimer(this);
    tmrPingas->setObjectName(u"tmrPingas"_s);
    tmrPingas->setTimerType(Qt::PreciseTimer);
    tmrPingas->setInterval(1);
    tmrAtnaujinimas = new TLaikmatis(this);
    tmrAtnaujinimas->setObjectName(u"tmrAtnaujinimas"_s);
    tmrAtnaujinimas->setIntervalas(5000);
    tmrAtnaujinimas->setEnabled(true);

    TybINI1 = new TTybINI(this);
    TybINI1->setObjectName(u"TybINI1"_s);
    TybINI1->setSectionBeginID(u"-->"_s);
    TybINI1->setSectionEndID(u"<--"_s);
    TybINI1->setZenklasLygu(u"="_s);
    TybINI1->setKomentaroZenklas(u";"_s);
    TybINI1->setByla(u"*.Tyb"_s);

    // The bottom bar and the menu panels lie above the scoreboard.
    imgApacia = Sukurti<TPaveiksliukas>(this, "imgApacia", 0, 540, 781, 25);
    imgApacia->Drobe() = QImage(781, 25, QImage::Format_RGB32);
    imgApacia->Drobe().fill(SpalvaBGR(kMeniuFonas));
    imgApacia->setMouseTracking(true);

    const QFont meniu = Sriftas(kSansSerif, 11, true);
    pnlMeniuLygis1 = Skydelis(this, "pnlMeniuLygis1", 8, 424, 129, 112);
    lblPatvirtinimai = MeniuEtikete(pnlMeniuLygis1, "lblPatvirtinimai", 8, 8, 113, 13, meniu, kPunktoTekstas);
    lblIvairus1 = MeniuEtikete(pnlMeniuLygis1, "lblIvairus1", 8, 24, 113, 13, meniu, kPunktoTekstas);
    lblMeniu2 = MeniuEtikete(pnlMeniuLygis1, "lblMeniu2", 8, 40, 113, 13, meniu, kPunktoTekstas);
    lblMeniu3 = MeniuEtikete(pnlMeniuLygis1, "lblMeniu3", 8, 56, 113, 13, meniu, kPunktoTekstas);
    lblMeniu4 = MeniuEtikete(pnlMeniuLygis1, "lblMeniu4", 8, 72, 113, 13, meniu, kPunktoTekstas);
    lblGerai = MeniuEtikete(pnlMeniuLygis1, "lblGerai", 8, 88, 113, 13, meniu, kPunktoTekstas);

    pnlMeniuLygis2 = Skydelis(this, "pnlMeniuLygis2", 137, 384, 257, 97);
    chkTAB = Zymimasis(pnlMeniuLygis2, "chkTAB", 8, 7, true);
    chkMeniuApacioj = Zymimasis(pnlMeniuLygis2, "chkMeniuApacioj", 8, 31, true);
    Language = Etikete(pnlMeniuLygis2, "Language", 8, 56, 51, 13, Sriftas(kSansSerif, 11), kPunktoTekstas);
    NustatytiFona(Language, Qt::black);
    Language->setText(u"Language:"_s);
    cboKalbos = Sukurti<QComboBox>(pnlMeniuLygis2, "cboKalbos", 8, 72, 145, 21);
    cboKalbos->setEditable(true);
    cboKalbos->setInsertPolicy(QComboBox::NoInsert);
    cboKalbos->setFont(Sriftas(kSansSerif, 11));
    NustatytiSpalvas(cboKalbos, SpalvaBGR(kPunktoTekstas), Qt::black);
    cboKalbos->setEditText(u"cboKalbos"_s);

    pnlPatvirtinimai = Skydelis(this, "pnlPatvirtinimai", 522, 456, 255, 81);
    chkArIseiti = Zymimasis(pnlPatvirtinimai, "chkArIseiti", 8, 7, true);
    chkIssaugotiPakeitimus = Zymimasis(pnlPatvirtinimai, "chkIssaugotiPakeitimus", 8, 31, true);
    chkKeistiHosta = Zymimasis(pnlPatvirtinimai, "chkKeistiHosta", 8, 55, false);

    const QFont didelis = Sriftas(kSansSerif, 16, true);
    pnlAtnaujinimai = Skydelis(this, "pnlAtnaujinimai", 138, 480, 375, 57);
    lblIntervalas = MeniuEtikete(pnlAtnaujinimai, "lblIntervalas", 11, 6, 98, 20, didelis, kVeiksmoTekstas);
    lblIntervalasServeriaiBendrai =
        MeniuEtikete(pnlAtnaujinimai, "lblIntervalasServeriaiBendrai", 11, 30, 230, 20, didelis, kVeiksmoTekstas);

    pnlArIseiti = Skydelis(this, "pnlArIseiti", 288, 216, 289, 145);
    lblArIseiti = Etikete(pnlArIseiti, "lblArIseiti", 49, 28, 216, 69, Sriftas(kSansSerif, 16), kOranzine);
    lblArIseiti->setWordWrap(true);
    lblArIseiti->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblIseitiTaip = MeniuEtikete(pnlArIseiti, "lblIseitiTaip", 48, 112, 92, 20, didelis, kVeiksmoTekstas);
    lblIseitiNe = MeniuEtikete(pnlArIseiti, "lblIseitiNe", 184, 112, 80, 20, didelis, kVeiksmoTekstas);
}

void TfrmPagrindinis::SujungtiIvykius() {
    connect(btnRodyti, &QPushButton::clicked, this, [this] { Saugiai([this] { btnRodytiClick(); }); });
    connect(btnJungtis, &QPushButton::clicked, this, [this] { Saugiai([this] { btnJungtisClick(); }); });
    connect(btnApie, &QPushButton::clicked, this, [this] { Saugiai([this] { btnApieClick(); }); });
    connect(edtHostas, &QLineEdit::textChanged, this, [this] { Saugiai([this] { edtHostasChange(); }); });
    connect(tmrPingas, &QTimer::timeout, this, [this] { Saugiai([this] { Timer1Timer(); }); });
    connect(tmrAtnaujinimas, &QTimer::timeout, this, [this] { Saugiai([this] { tmrAtnaujinimasTimer(); }); });
    SujungtiNMUDP(this);

    // Every scoreboard change closes the menus; a press in a column hands the
    // keyboard to the address box.
    for (TMemo* m : {memKomanda1, memKomanda2, memFragai1, memFragai2, memLaikas1, memLaikas2}) {
        connect(m, &TMemo::pasikeite, this, [this] { Saugiai([this] { UzdarytiSkydelius(true); }); });
        connect(m, &TMemo::pelePaspausta, this, [this] { edtHostas->setFocus(); });
    }
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

void TfrmPagrindinis::SujungtiMeniu() {
    connect(imgApacia, &TPaveiksliukas::clicked, this, [this] { Saugiai([this] { imgApaciaClick(); }); });
    connect(imgApacia, &TPaveiksliukas::peleJuda, this,
            [this](int x, int y) { Saugiai([&] { imgApaciaMouseMove(x, y); }); });
    connect(imgApacia, &TPaveiksliukas::pelePaleista, this,
            [this](Qt::MouseButton b, int x, int y) { Saugiai([&] { imgApaciaMouseUp(b, x, y); }); });

    connect(lblMeniu2, &TTybLabel::clicked, this, [this] { Saugiai([this] { lblMeniu2Click(); }); });
    connect(lblMeniu4, &TTybLabel::clicked, this, [this] { Saugiai([this] { lblMeniu4Click(); }); });
    connect(lblGerai, &TTybLabel::clicked, this, [this] { Saugiai([this] { lblGeraiClick(); }); });
    connect(lblIseitiTaip, &TTybLabel::clicked, this, [this] { Saugiai([this] { lblIseitiTaipClick(); }); });
    connect(lblIseitiNe, &TTybLabel::clicked, this, [this] { Saugiai([this] { lblIseitiNeClick(); }); });
    connect(lblIntervalas, &TTybLabel::clicked, this, [this] { Saugiai([this] { lblIntervalasClick(); }); });
    connect(lblIntervalasServeriaiBendrai, &TTybLabel::clicked, this,
            [this] { Saugiai([this] { lblIntervalasServeriaiBendraiClick(); }); });
    // A check box's click handler runs whenever its state changes, from code too.
    connect(chkTAB, &QCheckBox::toggled, this, [this] { Saugiai([this] { chkTABClick(); }); });
    connect(chkMeniuApacioj, &QCheckBox::toggled, this, [this] { Saugiai([this] { chkMeniuApaciojClick(); }); });
    // The language follows every change the user makes: a pick or each typed letter.
    connect(cboKalbos, &QComboBox::activated, this, [this] { Saugiai([this] { cboKalbosChange(); }); });
    connect(cboKalbos->lineEdit(), &QLineEdit::textEdited, this, [this] { Saugiai([this] { cboKalbosChange(); }); });

    // Hover colours. Level-1 labels and check boxes change text and background,
    // the action labels only their text.
    const auto lygis1 = [this](TTybLabel* l, QFrame* rodomas) {
        l->OnMouseEnter = [this, l, rodomas](QObject*, Qt::KeyboardModifiers, int, int) {
            NustatytiSpalvas(l, SpalvaBGR(kPazymetasTekstas), SpalvaBGR(kPazymetasFonas));
            for (QFrame* p : {pnlMeniuLygis2, pnlAtnaujinimai, pnlPatvirtinimai})
                p->setVisible(p == rodomas);
        };
        l->OnMouseLeave = [l](QObject*, Qt::KeyboardModifiers, int, int) {
            NustatytiSpalvas(l, SpalvaBGR(kPunktoTekstas), SpalvaBGR(kMeniuFonas));
        };
    };
    lygis1(lblPatvirtinimai, pnlPatvirtinimai);
    lygis1(lblIvairus1, pnlMeniuLygis2);
    lygis1(lblMeniu3, pnlAtnaujinimai);
    lygis1(lblMeniu2, nullptr);
    lygis1(lblMeniu4, nullptr);
    lygis1(lblGerai, nullptr);
    for (TTybCheckBox* c : {chkTAB, chkMeniuApacioj, chkArIseiti, chkIssaugotiPakeitimus, chkKeistiHosta}) {
        c->OnMouseEnter = [c](QObject*, Qt::KeyboardModifiers, int, int) {
            NustatytiSpalvas(c, SpalvaBGR(kPazymetasTekstas), SpalvaBGR(kPazymetasFonas));
        };
        c->OnMouseLeave = [c](QObject*, Qt::KeyboardModifiers, int, int) {
            NustatytiSpalvas(c, SpalvaBGR(kPunktoTekstas), SpalvaBGR(kMeniuFonas));
        };
    }
    for (TTybLabel* l : {lblIntervalas, lblIntervalasServeriaiBendrai, lblIseitiTaip, lblIseitiNe}) {
        l->OnMouseEnter = [l](QObject*, Qt::KeyboardModifiers, int, int) {
            NustatytiSpalvas(l, SpalvaBGR(kVeiksmoPazymetas));
        };
        l->OnMouseLeave = [l](QObject*, Qt::KeyboardModifiers, int, int) {
            NustatytiSpalvas(l, SpalvaBGR(kVeiksmoTekstas));
        };
    }
}

QString TfrmPagrindinis::Tekstas(const char* sekcija, const char* raktas) const {
    return TybINI1->SkaitytiTeksta(QString::fromLatin1(sekcija), QString::fromLatin1(raktas));
}

// ---- Creation and showing ----

void TfrmPagrindinis::FormCreate() {
    IsvalytiLenta();
    ArBanas = false;
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
    NupiestiMeniu();
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
    if (chkIssaugotiPakeitimus->isChecked())
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
        // A plain Tab (or Shift+Tab) only moves the focus; Ctrl+Tab reaches the handlers.
        if ((kodas == Qt::Key_Tab || kodas == Qt::Key_Backtab) && !(mod & Qt::ControlModifier))
            break;
        if (ivykis->type() == QEvent::KeyRelease) {
            if (!klavisas->isAutoRepeat())
                Saugiai([&] { FormKeyUp(kodas, mod); });
            break;
        }
        Saugiai([&] { FormKeyDown(kodas, mod); });
        // Enter presses the default button unless a button has the focus.
        if ((kodas == Qt::Key_Return || kodas == Qt::Key_Enter) && !qobject_cast<QPushButton*>(fokusas)) {
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
                      lblZaidejaiSK, lblZemelapis})
        l->clear();
    imgZemelapis->NustatytiVaizda(QImage());
}

void TfrmPagrindinis::btnRodytiClick() {
    IsvalytiLenta();
    const TAdresoDalys dalys = AtskirtiPorta(edtHostas->text());
    const int portas = StrToInt(dalys.Portas); // a bad port ends the click here
    SiustiUzklausas(dalys.Hostas, portas, 1);
    tmrAtnaujinimas->setEnabled(true);
}

void TfrmPagrindinis::SiustiUzklausas(const QString& hostas, int portas, int lygis) {
    NMUDP1->setRemoteHost(hostas);
    NMUDP1->setRemotePort(portas);
    NMUDP1->setReportLevel(lygis);
    ArBanas = false;
    tmrPingas->start();
    raundoPradzia = DabarMs();
    PingoLaikas = 0;
    try {
        for (const char* zodis : {kPing, kPlayers, kDetails})
            NMUDP1->SendDatagram(UzklausosDatagrama(zodis));
    } catch (const EKlaida&) {
        // An unreachable server is no error of its own: the clock runs out.
    }
}

void TfrmPagrindinis::tmrAtnaujinimasTimer() {
    if (tmrPingas->isActive() && DabarMs() - raundoPradzia >= kLaukimoRibaAtnaujinant) {
        PazymetiTimeout();
        return;
    }
    if (!ApkarpytiTarpus(edtHostas->text()).isEmpty())
        btnRodyti->click();
}

void TfrmPagrindinis::Timer1Timer() {
    PingoLaikas = int(qMin<qint64>(DabarMs() - raundoPradzia, kLaukimoRiba));
    if (PingoLaikas >= kLaukimoRiba)
        PazymetiTimeout();
}

void TfrmPagrindinis::edtHostasChange() {
    tmrAtnaujinimas->setEnabled(false);
}

void TfrmPagrindinis::PazymetiTimeout() {
    tmrPingas->stop();
    const QString tekstas = Tekstas("Pranesimai", "Timeout");
    lblPingas1->setText(tekstas);
    lblPingas2->setText(tekstas);
    tmrAtnaujinimas->setEnabled(false);
}

void TfrmPagrindinis::PazymetiBana() {
    ArBanas = true;
    tmrPingas->stop();
    const QString tekstas = Tekstas("Pranesimai", "Banas");
    lblPingas1->setText(tekstas);
    lblPingas2->setText(tekstas);
}

void TfrmPagrindinis::RodytiPinga() {
    tmrPingas->stop();
    PingoLaikas = int(qMin<qint64>(DabarMs() - raundoPradzia, kLaukimoRiba));
    lblPingas1->setText(QString::number(PingoLaikas));
    lblPingas2->setText(QString::number(PingoLaikas));
}

// ---- Replies ----

void TfrmPagrindinis::NMUDP1DataReceived(QObject*, int NumberBytes, const QString& FromIP, int Port) {
    // While banned, nothing received is shown until the next round.
    TAtminiesSrautas srautas;
    if (!PriimtiAtsakyma(*NMUDP1, NumberBytes, FromIP, Port, ArBanas, tinkloPranesimai, srautas))
        return;
    switch (SkaitytiAntraste(srautas)) {
    case kTipasZaidejai:
        RodytiZaidejus(SkaitytiZaidejus(srautas));
        break;
    case kTipasDetales:
        RodytiDetales(SkaitytiDetales(srautas));
        break;
    case kTipasBanas:
        PazymetiBana();
        break;
    case kTipasPingas:
        RodytiPinga();
        break;
    case kTipasTaisykles:
        SkaitytiTaisykles(srautas);
        break;
    case kTipasTekstas: {
        srautas.SetPosition(4);
        const QByteArray pirmas = SkaitytiEilute(srautas);
        const QByteArray antras = SkaitytiEilute(srautas);
        if (tinkloPranesimai.Rodyti(RodomasTekstas(pirmas)))
            tinkloPranesimai.Rodyti(RodomasTekstas(antras));
        break;
    }
    default:
        tinkloPranesimai.Rodyti(Tekstas("Pranesimai", "NezinomiDuomenys"));
        break;
    }
}

void TfrmPagrindinis::NMUDP1DataSend(QObject*) {}

void TfrmPagrindinis::NMUDP1Status(QObject*, const QString&) {}

void TfrmPagrindinis::NMUDP1InvalidHost(bool& handled) {
    RodytiPranesima(this, Tekstas("Pranesimai", "BlogasServeris"));
    handled = true;
}

void TfrmPagrindinis::NMUDP1BufferInvalid(bool&, QByteArray&, int&) {
    RodytiPranesima(this, Tekstas("Pranesimai", "BlogasBuferis"));
}

void TfrmPagrindinis::NMUDP1StreamInvalid(bool& handled, TAtminiesSrautas&) {
    RodytiPranesima(this, Tekstas("Pranesimai", "BlogasSrautas"));
    handled = true;
}

// ---- The scoreboard ----

void TfrmPagrindinis::RodytiZaidejus(const TZaidejai& zaidejai) {
    // Players alternate between the two columns in reply order.
    QStringList vardai[2], fragai[2], laikai[2];
    int stulpelis = 0;
    for (const TZaidejoInfo& z : zaidejai) {
        vardai[stulpelis].append(RodomasTekstas(z.Zaidejas.Vardas));
        fragai[stulpelis].append(QString::number(z.Zaidejas.Fragai));
        laikai[stulpelis].append(
            QString::asprintf("%.2u:%.2u:%.2u", z.Valandos, unsigned(z.Minutes), unsigned(z.Sekundes)));
        stulpelis = 1 - stulpelis;
    }
    memKomanda1->PridetiEilutes(vardai[0]);
    memFragai1->PridetiEilutes(fragai[0]);
    memLaikas1->PridetiEilutes(laikai[0]);
    memKomanda2->PridetiEilutes(vardai[1]);
    memFragai2->PridetiEilutes(fragai[1]);
    memLaikas2->PridetiEilutes(laikai[1]);
    ArZaidejaiGauti = true;
    ZaidejuSkaicius = int(zaidejai.size());
}

void TfrmPagrindinis::RodytiZemelapi(const QByteArray& zemelapis) {
    const QString vardas = RodomasTekstas(zemelapis);
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
    lblServerioPavadinimas->setText(RodomasTekstas(detales.Info.Pavadinimas));
    RodytiZemelapi(detales.Info.Zemelapis);
    lblZemelapis->setText(RodomasTekstas(detales.Info.Zemelapis));
    const QString zaidejai = Tekstas("frmPagrindinis", "zaidejai");
    lblZaidSK1->setText(u"("_s + QString::number(memKomanda1->EiluciuSkaicius()) + u' ' + zaidejai + u')');
    lblZaidSK2->setText(u"("_s + QString::number(memKomanda2->EiluciuSkaicius()) + u' ' + zaidejai + u')');
    lblZaidejaiSK->setText(QString::number(detales.Zaidejai) + u'/' + QString::number(detales.MaxZaideju));
    if (ArZaidejaiGauti)
        lblStebetojai->setText(QString::number(int(detales.Zaidejai) - ZaidejuSkaicius));
    else
        lblStebetojai->clear();
    ArZaidejaiGauti = false;
    ZaidejuSkaicius = 0;

    const TAdresoDalys dalys = AtskirtiPorta(edtHostas->text());
    const QString ip = GautiIP(dalys.Hostas);
    if (chkKeistiHosta->isChecked())
        edtHostas->setText(GautiVarda(ip));
    NupiestiPunkta(imgApacia, kAdresoX1, kPunktoY1, kAdresoX2, kPunktoY2, kAdresoPoslinkis, ip + u':' + dalys.Portas);
}

// ---- The bottom bar ----

void TfrmPagrindinis::PiestiPunkta(TPaveiksliukas* paveiksliukas, int X1, int Y1, int X2, int Y2, int poslinkis,
                                   const QString& tekstas, bool pazymetas) {
    QImage& drobe = paveiksliukas->Drobe();
    {
        QPainter p(&drobe);
        // The rectangle covers X1..X2-1 and Y1..Y2-1; its frame is the outer ring.
        const QRect staciakampis(X1, Y1, X2 - X1, Y2 - Y1);
        p.fillRect(staciakampis, SpalvaBGR(kMeniuFonas));
        p.setPen(SpalvaBGR(pazymetas ? kPazymetasRemas : kPunktoRemas));
        p.setBrush(Qt::NoBrush);
        p.drawRect(staciakampis.adjusted(0, 0, -1, -1));
        QFont sriftas = paveiksliukas->font();
        sriftas.setBold(true);
        p.setFont(sriftas);
        p.setPen(SpalvaBGR(pazymetas ? kPazymetasTekstas : kPunktoTekstas));
        const QFontMetrics matai(sriftas);
        p.drawText(X1 + poslinkis, Y1 + 3 + matai.ascent(), tekstas);
    }
    paveiksliukas->update();
}

void TfrmPagrindinis::NupiestiPunkta(TPaveiksliukas* paveiksliukas, int X1, int Y1, int X2, int Y2, int poslinkis,
                                     const QString& tekstas) {
    PiestiPunkta(paveiksliukas, X1, Y1, X2, Y2, poslinkis, tekstas, false);
}

void TfrmPagrindinis::NupiestiPazymetaPunkta(TPaveiksliukas* paveiksliukas, int X1, int Y1, int X2, int Y2,
                                             int poslinkis, const QString& tekstas) {
    PiestiPunkta(paveiksliukas, X1, Y1, X2, Y2, poslinkis, tekstas, true);
}

void TfrmPagrindinis::NupiestiMeniu() {
    QImage& drobe = imgApacia->Drobe();
    drobe.fill(SpalvaBGR(kMeniuFonas));
    NupiestiPunkta(imgApacia, 15, kPunktoY1, 90, kPunktoY2, 20, Tekstas("Pranesimai", "Meniu"));
    NupiestiPunkta(imgApacia, 250, kPunktoY1, 275, kPunktoY2, 9, u"<"_s);
    NupiestiPunkta(imgApacia, kAdresoX1, kPunktoY1, kAdresoX2, kPunktoY2, 80, Tekstas("Pranesimai", "IPportas"));
    NupiestiPunkta(imgApacia, 510, kPunktoY1, 535, kPunktoY2, 10, u">"_s);
    NupiestiPunkta(imgApacia, 698, kPunktoY1, 768, kPunktoY2, 5, u"    "_s + Tekstas("Pranesimai", "Iseiti"));
}

// ---- Menus, options and keys ----

void TfrmPagrindinis::UzdarytiSkydelius(bool suIseitimu) {
    pnlMeniuLygis1->hide();
    pnlMeniuLygis2->hide();
    pnlAtnaujinimai->hide();
    pnlPatvirtinimai->hide();
    if (suIseitimu)
        pnlArIseiti->hide();
}

void TfrmPagrindinis::chkTABClick() {
    pnlTAB->setVisible(chkTAB->isChecked());
}

void TfrmPagrindinis::chkMeniuApaciojClick() {
    imgApacia->setVisible(chkMeniuApacioj->isChecked());
}

void TfrmPagrindinis::imgApaciaClick() {
    if (!MeniuPerjungtas) {
        pnlMeniuLygis1->hide();
        pnlArIseiti->hide();
    }
    pnlMeniuLygis2->hide();
    pnlAtnaujinimai->hide();
    pnlPatvirtinimai->hide();
}

void TfrmPagrindinis::imgApaciaMouseMove(int X, int Y) {
    const auto piesti = [&](const TPunktas& p, const QString& tekstas) {
        if (Viduje(p, X, Y))
            NupiestiPazymetaPunkta(imgApacia, p.X1, kPunktoY1, p.X2, kPunktoY2, p.poslinkis, tekstas);
        else
            NupiestiPunkta(imgApacia, p.X1, kPunktoY1, p.X2, kPunktoY2, p.poslinkis, tekstas);
    };
    piesti(kMeniuPunktas, Tekstas("Pranesimai", "Meniu"));
    piesti(kKairysPunktas, u"<"_s);
    piesti(kDesinysPunktas, u">"_s);
    piesti(kIseitiPunktas, u"    "_s + Tekstas("Pranesimai", "Iseiti"));
}

void TfrmPagrindinis::imgApaciaMouseUp(Qt::MouseButton, int X, int Y) {
    MeniuPerjungtas = !MeniuPerjungtas;
    const auto piesti = [&](const TPunktas& p, const QString& tekstas) {
        const bool viduje = Viduje(p, X, Y);
        if (viduje)
            NupiestiPazymetaPunkta(imgApacia, p.X1, kPunktoY1, p.X2, kPunktoY2, p.poslinkis, tekstas);
        else
            NupiestiPunkta(imgApacia, p.X1, kPunktoY1, p.X2, kPunktoY2, p.poslinkis, tekstas);
        return viduje;
    };
    if (piesti(kMeniuPunktas, Tekstas("Pranesimai", "Meniu")))
        pnlMeniuLygis1->show();
    piesti(kKairysPunktas, u"<"_s);
    piesti(kDesinysPunktas, u">"_s);
    if (piesti(kIseitiPunktas, u"    "_s + Tekstas("Pranesimai", "Iseiti"))) {
        if (chkArIseiti->isChecked())
            pnlArIseiti->show();
        else
            close();
    } else {
        pnlArIseiti->hide();
    }
}

void TfrmPagrindinis::lblMeniu2Click() {
    UzdarytiSkydelius(false);
    frmServeriai->exec();
    MeniuPerjungtas = false;
}

void TfrmPagrindinis::lblMeniu4Click() {
    UzdarytiSkydelius(false);
    frmTaisykles->exec();
}

void TfrmPagrindinis::btnApieClick() {
    frmApie->exec();
}

void TfrmPagrindinis::lblGeraiClick() {
    pnlMeniuLygis1->hide();
    pnlMeniuLygis2->hide();
    pnlAtnaujinimai->hide();
    pnlArIseiti->hide();
    MeniuPerjungtas = false;
}

void TfrmPagrindinis::lblIseitiTaipClick() {
    close();
}

void TfrmPagrindinis::lblIseitiNeClick() {
    pnlArIseiti->hide();
}

void TfrmPagrindinis::IntervaloDialogas(TLaikmatis* laikmatis) {
    const QString klausimas = Tekstas("Pranesimai", "IrasykiteSK");
    const QString antraste = Tekstas("Pranesimai", "IrasykiteSKTitle");
    const QString numatyta = QString::number(laikmatis->interval() / 1000);
    const QString ivesta = IvestiTeksta(this, antraste, klausimas, numatyta);
    int sekundes = 0;
    const qint64 ms = BandytiStrToInt(ivesta, sekundes) ? qint64(sekundes) * 1000 : -1;
    // Intervals are counted in milliseconds on 31 bits: nothing negative, nothing beyond.
    if (ms < 0 || ms > INT32_MAX) {
        RodytiPranesima(this, Tekstas("Pranesimai", "BlogasSkaicius"));
        return;
    }
    laikmatis->setIntervalas(int(ms));
}

void TfrmPagrindinis::lblIntervalasClick() {
    IntervaloDialogas(tmrAtnaujinimas);
}

void TfrmPagrindinis::lblIntervalasServeriaiBendraiClick() {
    IntervaloDialogas(frmServeriai->tmrAtnaujinimasServeriai);
}

void TfrmPagrindinis::FormKeyDown(int Key, Qt::KeyboardModifiers Shift) {
    if (TikShift(Shift) && !chkTAB->isChecked())
        pnlTAB->show();
    if (TikCtrl(Shift) && !chkMeniuApacioj->isChecked() && imgApacia->isVisible())
        imgApacia->hide();
    else if (!TikShift(Shift))
        imgApacia->show();
    if (Key == Qt::Key_Tab)
        RodytiPranesima(this, u"it's good"_s);
}

void TfrmPagrindinis::FormKeyUp(int Key, Qt::KeyboardModifiers) {
    if (!chkTAB->isChecked())
        pnlTAB->hide();
    if (Key == Qt::Key_Escape) {
        if (chkArIseiti->isChecked())
            pnlArIseiti->show();
        else
            close();
    }
}

// ---- Settings ----

namespace {

// A whole number of milliseconds for a timer: the conversion's error for
// anything that is not a whole number or is negative.
int Intervalas(const QString& tekstas) {
    const int ms = StrToInt(tekstas);
    if (ms < 0)
        throw EKonvertavimoKlaida(u"'"_s + tekstas + u"' is not a valid integer value"_s);
    return ms;
}

} // namespace

void TfrmPagrindinis::IkeltiNustatymus() {
    TybINI1->setByla(RasomasKelias(kNustatymuFailas));
    const auto taip = [this](const char* raktas) {
        return TybINI1->SkaitytiReiksme(kNustatymuSekcija, QString::fromLatin1(raktas)) == "1";
    };
    chkTAB->setChecked(taip("TAB"));
    chkMeniuApacioj->setChecked(taip("MeniuApacioj"));
    chkArIseiti->setChecked(taip("ArIseiti"));
    chkIssaugotiPakeitimus->setChecked(taip("IssaugotiPakeitimus"));
    chkKeistiHosta->setChecked(taip("KeistiHosta"));
    tmrAtnaujinimas->setIntervalas(
        Intervalas(ApkarpytiTarpus(TybINI1->SkaitytiTeksta(kNustatymuSekcija, u"Intervalas"_s))));
    frmServeriai->tmrAtnaujinimasServeriai->setIntervalas(
        Intervalas(TybINI1->SkaitytiTeksta(kNustatymuSekcija, u"ServeriaiBendrai"_s)));
    cboKalbos->setEditText(TybINI1->SkaitytiTeksta(kNustatymuSekcija, u"Kalba"_s));
    TybINI1->setByla(kKalbuAplankas + cboKalbos->currentText() + u".lng"_s);
}

void TfrmPagrindinis::IssaugotiNustatymus() {
    TybINI1->setByla(RasomasKelias(kNustatymuFailas));
    const auto rasyti = [this](const char* raktas, const QByteArray& reiksme) {
        TybINI1->RasytiReiksme(kNustatymuSekcija, QString::fromLatin1(raktas), reiksme);
    };
    const auto zyma = [](const QCheckBox* c) {
        return QByteArray(c->isChecked() ? "1" : "0");
    };
    rasyti("TAB", zyma(chkTAB));
    rasyti("MeniuApacioj", zyma(chkMeniuApacioj));
    rasyti("ArIseiti", zyma(chkArIseiti));
    rasyti("IssaugotiPakeitimus", zyma(chkIssaugotiPakeitimus));
    rasyti("KeistiHosta", zyma(chkKeistiHosta));
    rasyti("Intervalas", QByteArray::number(tmrAtnaujinimas->interval()));
    rasyti("ServeriaiBendrai", QByteArray::number(frmServeriai->tmrAtnaujinimasServeriai->interval()));
    rasyti("Kalba", cboKalbos->currentText().toUtf8());
    TybINI1->setByla(kKalbuAplankas + cboKalbos->currentText() + u".lng"_s);
}

// ---- Language ----

void TfrmPagrindinis::IkeltiKalbas() {
    QStringList failai;
    IeskotiFailu(kKalbuSarasoAplankas, u"*.lng"_s, false, failai);
    const QString tekstas = cboKalbos->currentText();
    {
        // Filling the list is no choice of the user's.
        const QSignalBlocker blokas(cboKalbos);
        const QSignalBlocker eilutesBlokas(cboKalbos->lineEdit());
        cboKalbos->clear();
        for (const QString& failas : failai) {
            const QString vardas = QFileInfo(failas).fileName();
            cboKalbos->addItem(vardas.left(vardas.size() - 4));
        }
        cboKalbos->setCurrentIndex(-1);
        cboKalbos->setEditText(tekstas);
    }
    TybINI1->setByla(kKalbuSarasoAplankas + tekstas + u".lng"_s);
}

void TfrmPagrindinis::PritaikytiKalba() {
    const auto antraste = [this](QWidget* v, const char* raktas, const QString& galune = {}) {
        const QString tekstas = Tekstas("frmPagrindinis", raktas) + galune;
        if (auto* l = qobject_cast<QLabel*>(v)) {
            l->setText(tekstas);
            // The action labels size themselves to their text.
            if (auto* tyb = qobject_cast<TTybLabel*>(v);
                tyb && (tyb == lblIntervalas || tyb == lblIntervalasServeriaiBendrai || tyb == lblIseitiTaip ||
                        tyb == lblIseitiNe))
                tyb->adjustSize();
        } else if (auto* b = qobject_cast<QAbstractButton*>(v)) {
            b->setText(tekstas);
        }
    };
    antraste(lblKomanda1Title, "lblKomanda1Title");
    antraste(lblKomanda2Title, "lblKomanda2Title");
    antraste(lblStebetojaiTitle, "lblStebetojaiTitle");
    antraste(lblFragaiTitle, "lblFragaiTitle");
    antraste(lblLaikasTitle, "lblLaikasTitle");
    antraste(lblAdresas, "lblAdresas", u":"_s);
    antraste(lblIvairus1, "lblIvairus1");
    antraste(lblMeniu2, "lblMeniu2");
    antraste(lblMeniu3, "lblMeniu3");
    antraste(lblMeniu4, "lblMeniu4");
    antraste(lblGerai, "lblGerai");
    antraste(lblArIseiti, "lblArIseiti");
    antraste(lblIseitiTaip, "lblIseitiTaip");
    antraste(lblIseitiNe, "lblIseitiNe");
    antraste(lblPatvirtinimai, "lblPatvirtinimai");
    antraste(chkTAB, "chkTAB");
    antraste(chkMeniuApacioj, "chkMeniuApacioj");
    antraste(chkArIseiti, "chkArIseiti");
    antraste(chkIssaugotiPakeitimus, "chkIssaugotiPakeitimus");
    antraste(chkKeistiHosta, "chkKeistiHosta");
    antraste(btnJungtis, "btnJungtis");
    antraste(btnApie, "btnApie");
    antraste(btnRodyti, "btnRodyti");
    antraste(lblIntervalas, "lblIntervalas");
    antraste(lblIntervalasServeriaiBendrai, "lblServeriaiBendrai");
}

void TfrmPagrindinis::cboKalbosChange() {
    TybINI1->setByla(kKalbuAplankas + cboKalbos->currentText() + u".lng"_s);
    PritaikytiKalba();
    NupiestiMeniu();
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
