// The watcher's layout: its controls, named, placed and coloured as the
// layout gives them, and wired to their handlers. The menus are in Modulis1Meniu.cpp, the behaviour in
// Modulis1.cpp.
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "Modulis1.h"

#include <QApplication>

#include "ApatineJuosta.h"
#include "iphostport.h"
#include "Laikmatis.h"
#include "Stiliai.h"
#include "Valdikliai.h"

using namespace Qt::StringLiterals;

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

} // namespace

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
