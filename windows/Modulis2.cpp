#include "Modulis2.h"

#include <algorithm>
#include <array>
#include <optional>

#include <QApplication>
#include <QHeaderView>
#include <QHideEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

#include "Ikona.h"
#include "Kalba.h"
#include "Keliai.h"
#include "Laikrodis.h"
#include "NMUDP.h"
#include "Stebetojas.h"
#include "Stiliai.h"
#include "Skaiciai.h"
#include "Tekstas.h"
#include "Tinklelis.h"
#include "TybINI.h"
#include "Valdikliai.h"
#include "iphostport.h"

using namespace Qt::StringLiterals;

TfrmServeriai* frmServeriai = nullptr;

const QString TfrmServeriai::kSarasoFailas = u"resursai/Serveriai.tyb"_s;
// A name under the reserved ".example" domain never reaches a real server,
// and the port shows the user how to type one.
const QString TfrmServeriai::kNaujasAdresas = u"serveris.example:27015"_s;

namespace {

constexpr int kPlociai[TfrmServeriai::kStulpeliai] = {20, 110, 173, 91, 85, 55};
constexpr const char* kAntrasciuRaktai[TfrmServeriai::kStulpeliai] = {"OS",        "Adresas",  "ServerioPavadinimas",
                                                                      "Zemelapis", "Zaidejai", "Pingas"};
constexpr int kAdresoStulpelis = 1;
constexpr int kPingoStulpelis = 5;

// A poll without a reply after this many milliseconds has timed out.
constexpr qint64 kLaukimoRiba = 5000;
// Pacing of a walk: one row per tick.
constexpr int kZingsnisMs = 200;
constexpr int kAtnaujinimasMs = 10000;

// Editing, where the grid allows it: typing, F2, or a click on the focused cell.
constexpr QAbstractItemView::EditTriggers kRedagavimas =
    QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed;

// Menus keep the system's colours on a window painted black.
void SistemosSpalvos(QWidget* valdiklis) {
    const QPalette sistemos = QApplication::palette(valdiklis);
    QPalette p = valdiklis->palette();
    for (int grupe = 0; grupe < QPalette::NColorGroups; ++grupe)
        for (int vaidmuo = 0; vaidmuo < QPalette::NColorRoles; ++vaidmuo)
            p.setBrush(QPalette::ColorGroup(grupe), QPalette::ColorRole(vaidmuo),
                       sistemos.brush(QPalette::ColorGroup(grupe), QPalette::ColorRole(vaidmuo)));
    valdiklis->setPalette(p);
}

QAction* Veiksmas(QWidget* langas, QMenu* meniu, const QString& vardas) {
    auto* a = new QAction(vardas, langas);
    a->setObjectName(vardas);
    meniu->addAction(a);
    return a;
}

// Both menus hold add, remove, a separator and close; the pop-up menu's items
// carry the suffix "2", its separator is N1 where the main menu's is N2.
void PildytiMeniu(QWidget* langas, QMenu* meniu, std::array<QAction**, 4> punktai, const char* galune) {
    const QString g = QString::fromLatin1(galune);
    *punktai[0] = Veiksmas(langas, meniu, u"mnuPrideti"_s + g);
    *punktai[1] = Veiksmas(langas, meniu, u"mnuPasalinti"_s + g);
    *punktai[2] = meniu->addSeparator();
    (*punktai[2])->setObjectName(g.isEmpty() ? u"N2"_s : u"N1"_s);
    *punktai[3] = Veiksmas(langas, meniu, u"mnuUzdaryti"_s + g);
}

// The operating system letter of a details reply, upper-cased; nothing for a
// reply that ends before it.
QString OsRaide(char os) {
    if (os == 0)
        return {};
    return RodomasTekstas(QByteArray(1, os)).toUpper();
}

} // namespace

// ---- The window ----

TfrmServeriai::TfrmServeriai(QWidget* tevas) : TAntrinisLangas(tevas), TServerioLangas(this, kSarasoPrasymai) {
    setObjectName(u"frmServeriai"_s);
    SukurtiValdiklius();
    SujungtiIvykius();
    Saugiai([this] { FormCreate(); });
}

TfrmServeriai::~TfrmServeriai() {
    if (frmServeriai == this)
        frmServeriai = nullptr;
}

void TfrmServeriai::SukurtiValdiklius() {
    setWindowTitle(u"Velmorant - Informacija Apie Serverius"_s);
    setWindowIcon(ProgramosIkona());
    setFont(SriftasTaskais(kSansSerif, 8));

    mnuPagrindinis = new QMenuBar(this);
    mnuPagrindinis->setObjectName(u"mnuPagrindinis"_s);
    mnuPagrindinis->setNativeMenuBar(false);
    mnuServeriai = mnuPagrindinis->addMenu(u"mnuServeriai"_s);
    mnuServeriai->setObjectName(u"mnuServeriai"_s);
    PildytiMeniu(this, mnuServeriai, {&mnuPrideti, &mnuPasalinti, &N2, &mnuUzdaryti}, "");

    mnuKitoKlaviso = new QMenu(this);
    mnuKitoKlaviso->setObjectName(u"mnuKitoKlaviso"_s);
    PildytiMeniu(this, mnuKitoKlaviso, {&mnuPrideti2, &mnuPasalinti2, &N1, &mnuUzdaryti2}, "2");
    for (QWidget* meniu : std::initializer_list<QWidget*>{mnuPagrindinis, mnuServeriai, mnuKitoKlaviso})
        SistemosSpalvos(meniu);

    // The client area (583 x 434) lies under the menu bar.
    const int meniuAukstis = mnuPagrindinis->sizeHint().height();
    mnuPagrindinis->setGeometry(0, 0, 583, meniuAukstis);
    auto* klientas = new QWidget(this);
    klientas->setObjectName(u"klientoSritis"_s);
    klientas->setGeometry(0, meniuAukstis, 583, 434);
    setFixedSize(583, 434 + meniuAukstis);

    stgServeriai = new TTinklelis(kStulpeliai, kEilutes, klientas);
    stgServeriai->setObjectName(u"stgServeriai"_s);
    stgServeriai->setGeometry(8, 5, 569, 425);
    stgServeriai->horizontalHeader()->setDefaultSectionSize(20);
    for (int c = 0; c < kStulpeliai; ++c)
        stgServeriai->setColumnWidth(c, kPlociai[c]);
    stgServeriai->verticalHeader()->setDefaultSectionSize(17);
    stgServeriai->horizontalHeader()->setFixedHeight(17);
    NustatytiSpalvas(stgServeriai, SpalvaBGR(kOranzine), Qt::black);
    stgServeriai->NustatytiTeksta(SpalvaBGR(kOranzine), false);
    stgServeriai->setEditTriggers(QAbstractItemView::NoEditTriggers);
    stgServeriai->setContextMenuPolicy(Qt::CustomContextMenu);

    tmrAtnaujinimasServeriai = SukurtiLaikmati(this, "tmrAtnaujinimasServeriai", kAtnaujinimasMs);
    tmrPingas = SukurtiPingoLaikmati();
    tmrAtnaujinimas = SukurtiLaikmati(this, "tmrAtnaujinimas", kZingsnisMs);
}

void TfrmServeriai::SujungtiIvykius() {
    for (QAction* a : {mnuPrideti, mnuPrideti2})
        connect(a, &QAction::triggered, this, [this] { Saugiai([this] { mnuPridetiClick(); }); });
    for (QAction* a : {mnuPasalinti, mnuPasalinti2})
        connect(a, &QAction::triggered, this, [this] { Saugiai([this] { mnuPasalintiClick(); }); });
    for (QAction* a : {mnuUzdaryti, mnuUzdaryti2})
        connect(a, &QAction::triggered, this, [this] { Saugiai([this] { mnuUzdarytiClick(); }); });
    connect(stgServeriai, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& vieta) { mnuKitoKlaviso->popup(stgServeriai->viewport()->mapToGlobal(vieta)); });
    connect(stgServeriai, &QTableWidget::cellDoubleClicked, this,
            [this](int, int) { Saugiai([this] { stgServeriaiDblClick(); }); });
    connect(stgServeriai, &QTableWidget::currentCellChanged, this, [this](int eilute, int stulpelis, int, int) {
        Saugiai([&] {
            bool galima = true;
            stgServeriaiSelectCell(stulpelis, eilute, galima);
        });
    });
    connect(tmrAtnaujinimasServeriai, &QTimer::timeout, this,
            [this] { Saugiai([this] { tmrAtnaujinimasServeriaiTimer(); }); });
    connect(tmrAtnaujinimas, &QTimer::timeout, this, [this] { Saugiai([this] { tmrAtnaujinimasTimer(); }); });
    connect(tmrPingas, &QTimer::timeout, this, [this] { Saugiai([this] { tmrPingasTimer(); }); });
}

// ---- Creation, showing, closing ----

void TfrmServeriai::FormCreate() {
    NustatytiFona(this, Qt::black);
}

void TfrmServeriai::done(int rezultatas) {
    Saugiai([this] { FormClose(); });
    TAntrinisLangas::done(rezultatas);
}

void TfrmServeriai::FormShow() {
    std::optional<QList<QByteArray>> eilutes;
    try {
        eilutes = SkaitytiSarasa();
    } catch (const EFailoKlaida& e) {
        RodytiPranesima(this, e.Message());
    }
    if (eilutes) {
        stgServeriai->IsvalytiViska();
        IkeltiSarasa(*eilutes);
    } else {
        // The file could not be read: the list in the window stays, its live values go.
        for (int r = 0; r < kEilutes; ++r)
            for (int c = 0; c < kStulpeliai; ++c)
                if (c != kAdresoStulpelis)
                    stgServeriai->IsvalytiLangeli(c, r);
    }
    PritaikytiKalba();
    tmrAtnaujinimasServeriai->setEnabled(true);
    PradetiApejima();
    SustabdytiStebetoja();
}

void TfrmServeriai::PritaikytiKalba() {
    stgServeriai->NustatytiTeksta(SpalvaBGR(kOranzine), true);
    const TStebetojas* stebetojas = Stebetojas();
    for (int c = 0; c < kStulpeliai; ++c) {
        if (stebetojas) {
            // The title is kept with its bytes: the list file's first line holds them.
            const QByteArray b = stebetojas->Kalba().Reiksme("frmServeriai", kAntrasciuRaktai[c]);
            stgServeriai->NustatytiLangeli(c, 0, RodomasTekstas(b), b);
        } else {
            stgServeriai->NustatytiLangeli(c, 0, Tekstas("frmServeriai", kAntrasciuRaktai[c]));
        }
    }
    mnuServeriai->setTitle(Tekstas("frmServeriai", "mnuServeriai"));
    const QString prideti = Tekstas("frmServeriai", "mnuPrideti");
    mnuPrideti->setText(prideti);
    mnuPrideti2->setText(prideti);
    const QString pasalinti = Tekstas("frmServeriai", "mnuPasalinti");
    mnuPasalinti->setText(pasalinti);
    mnuPasalinti2->setText(pasalinti);
    const QString uzdaryti = Tekstas("frmServeriai", "mnuUzdaryti");
    mnuUzdaryti->setText(uzdaryti);
    mnuUzdaryti2->setText(uzdaryti);
    setWindowTitle(u"Velmorant - "_s + Tekstas("frmServeriai", "Cap2"));
}

void TfrmServeriai::FormClose() {
    try {
        IssaugotiSarasa();
    } catch (const EFailoKlaida& e) {
        RodytiPranesima(this, e.Message());
    }
    tmrAtnaujinimasServeriai->setEnabled(false);
}

void TfrmServeriai::FormHide() {
    TestiStebetoja();
}

void TfrmServeriai::mnuUzdarytiClick() {
    close();
}

// ---- The list file ----

QList<QByteArray> TfrmServeriai::SkaitytiSarasa() {
    // Unlike the key/value files, a folder where the list should be is an error.
    const std::optional<QByteArray> turinys = SkaitytiFailoTurini(VietinisKelias(RasomasKelias(kSarasoFailas)), true);
    if (!turinys)
        return {};
    return IsskaidytiEilutes(*turinys).mid(0, kEilutes);
}

void TfrmServeriai::IkeltiSarasa(const QList<QByteArray>& eilutes) {
    for (int r = 0; r < kEilutes; ++r)
        stgServeriai->IsvalytiLangeli(kAdresoStulpelis, r);
    for (int r = 0; r < eilutes.size() && r < kEilutes; ++r) {
        // An empty line keeps its slot as one blank, so later lines keep their rows.
        const QByteArray eilute = eilutes.at(r).isEmpty() ? QByteArray(" ") : eilutes.at(r);
        stgServeriai->NustatytiLangeli(kAdresoStulpelis, r, RodomasTekstas(eilute), eilute);
    }
}

QByteArray TfrmServeriai::SarasoTurinys() const {
    QList<QByteArray> eilutes;
    for (int r = 0; r < kEilutes; ++r) {
        QByteArray eilute = stgServeriai->LangelioBaitai(kAdresoStulpelis, r);
        // A line break inside a cell would shift every later row of the file.
        for (char& c : eilute)
            if (c == '\r' || c == '\n' || c == '\0')
                c = ' ';
        eilutes.append(eilute);
    }
    return SujungtiEilutes(eilutes);
}

void TfrmServeriai::IssaugotiSarasa() const {
    PakeistiFailaAtomiskai(VietinisKelias(RasomasKelias(kSarasoFailas)), SarasoTurinys());
}

// ---- The walk ----

bool TfrmServeriai::ArTusciaEilute(int ARow) const {
    return ApkarpytiTarpus(stgServeriai->Langelis(kAdresoStulpelis, ARow)).isEmpty();
}

void TfrmServeriai::AtsisakytiUzklausos() {
    ArGalimaSiusti = true;
    tmrPingas->stop();
    BaigtiRaunda();
}

void TfrmServeriai::PradetiApejima() {
    if (arSiunciama) {
        // A name lookup is running the event loop: the walk starts once the send is over.
        arLaukiaPradzios = true;
        return;
    }
    // A poll still in flight belonged to the abandoned walk: its reply is not taken.
    AtsisakytiUzklausos();
    tmrAtnaujinimas->setEnabled(true);
    Eilute = 0;
    ArPabaiga = false;
}

void TfrmServeriai::tmrAtnaujinimasServeriaiTimer() {
    PradetiApejima();
}

void TfrmServeriai::tmrAtnaujinimasTimer() {
    ApklaustiKitaServeri();
}

void TfrmServeriai::ApklaustiKitaServeri() {
    if (!ArGalimaSiusti || arSiunciama)
        return;
    ++Eilute;
    if (Eilute >= kEilutes || ArTusciaEilute(Eilute)) {
        ArPabaiga = true;
        tmrAtnaujinimas->setEnabled(false);
        return;
    }
    const TAdresoDalys dalys = AtskirtiPorta(stgServeriai->Langelis(kAdresoStulpelis, Eilute));
    int portas = 0;
    if (!BandytiStrToInt(dalys.Portas, portas))
        return; // like a failed send: the next tick goes on to the next row
    ArBanas = false;
    PingoLaikas = 0;
    raundoPingas.reset();
    arSiunciama = true;
    // An unreachable server is no error of its own: its row keeps what it held.
    const bool issiusta = SiustiRaunda(dalys.Hostas, portas, 2);
    arSiunciama = false;
    if (issiusta) {
        siuntimoPradzia = DabarMs();
        tmrPingas->start();
        ArGalimaSiusti = false;
    }
    if (arLaukiaPradzios) {
        arLaukiaPradzios = false;
        PradetiApejima();
    }
}

void TfrmServeriai::tmrPingasTimer() {
    if (ArGalimaSiusti) {
        tmrPingas->stop(); // no poll in flight
        return;
    }
    PingoLaikas = int(qMin<qint64>(DabarMs() - siuntimoPradzia, kLaukimoRiba));
    if (PingoLaikas >= kLaukimoRiba)
        PazymetiTimeout();
}

void TfrmServeriai::PazymetiTimeout() {
    AtsisakytiUzklausos();
    if (Eilute >= 1 && Eilute < kEilutes)
        stgServeriai->NustatytiLangeli(kPingoStulpelis, Eilute, Tekstas("Pranesimai", "Timeout"));
}

// ---- Replies ----

bool TfrmServeriai::ArIgnoruojaAtsakymus() const {
    const bool belaukiant = ArGalimaSiusti || Eilute < 1 || Eilute >= kEilutes;
    return belaukiant || ArBanas;
}

void TfrmServeriai::ApdorotiAtsakyma(const TSesijosAtsakymas& atsakymas) {
    if (DabarMs() - siuntimoPradzia >= kLaukimoRiba) {
        PazymetiTimeout(); // the clock's own tick has not seen the limit yet
        return;
    }
    // The round trip comes with the first reply, a challenge included.
    if (atsakymas.PingoMs && !raundoPingas)
        raundoPingas = atsakymas.PingoMs;
    // A fragment, a duplicate or a challenge: the poll goes on (the session
    // answers a challenge itself).
    if (atsakymas.Rusis == TAtsakymoRusis::Nieko)
        return;
    ArGalimaSiusti = true;
    switch (atsakymas.Rusis) {
    case TAtsakymoRusis::Detales:
        RodytiDetales(atsakymas.Detales);
        RodytiPinga(raundoPingas.value_or(int(DabarMs() - siuntimoPradzia)));
        break;
    case TAtsakymoRusis::Banas:
        PazymetiBana();
        break;
    default:
        // The poll is over either way; a running clock would later mark a row it no longer owns.
        tmrPingas->stop();
        PranestiNezinomusDuomenis();
        break;
    }
}

void TfrmServeriai::RodytiDetales(const TDetales& detales) {
    stgServeriai->NustatytiLangeli(0, Eilute, OsRaide(detales.OS));
    stgServeriai->NustatytiLangeli(2, Eilute, RodomasTekstas(detales.Info.Pavadinimas));
    stgServeriai->NustatytiLangeli(3, Eilute, RodomasTekstas(detales.Info.Zemelapis));
    stgServeriai->NustatytiLangeli(4, Eilute,
                                   QString::number(detales.Zaidejai) + u'/' + QString::number(detales.MaxZaideju));
}

void TfrmServeriai::RodytiPinga(int ms) {
    tmrPingas->stop();
    PingoLaikas = int(std::clamp<qint64>(ms, 0, kLaukimoRiba));
    stgServeriai->NustatytiLangeli(kPingoStulpelis, Eilute, QString::number(PingoLaikas));
}

void TfrmServeriai::PazymetiBana() {
    ArBanas = true;
    tmrPingas->stop();
    BaigtiRaunda();
    stgServeriai->NustatytiLangeli(kPingoStulpelis, Eilute, Tekstas("Pranesimai", "Banas"));
}

void TfrmServeriai::NMUDP1InvalidHost(bool& handled) {
    handled = true;
}

// ---- The grid and its menus ----

void TfrmServeriai::stgServeriaiDblClick() {
    const int eilute = stgServeriai->currentRow();
    TStebetojas* stebetojas = Stebetojas();
    if (eilute < 1 || ArTusciaEilute(eilute) || !stebetojas)
        return;
    stebetojas->Stebeti(stgServeriai->Langelis(kAdresoStulpelis, eilute));
    close();
}

void TfrmServeriai::stgServeriaiSelectCell(int ACol, int, bool&) {
    stgServeriai->setEditTriggers(ACol == kAdresoStulpelis ? kRedagavimas : QAbstractItemView::NoEditTriggers);
}

void TfrmServeriai::mnuPridetiClick() {
    // Row 0 is the title row, never a server's slot.
    for (int r = 1; r < kEilutes; ++r) {
        if (ArTusciaEilute(r)) {
            stgServeriai->NustatytiLangeli(kAdresoStulpelis, r, kNaujasAdresas);
            return;
        }
    }
}

void TfrmServeriai::mnuPasalintiClick() {
    const int dabartine = stgServeriai->currentRow();
    if (dabartine >= 1) {
        if (dabartine == Eilute && !ArGalimaSiusti)
            AtsisakytiUzklausos(); // the server being polled is gone
        for (int c = 0; c < kStulpeliai; ++c)
            stgServeriai->IsvalytiLangeli(c, dabartine);
    }
    int tarpas = -1;
    for (int r = 1; r < kEilutes && tarpas < 0; ++r)
        if (ArTusciaEilute(r))
            tarpas = r;
    if (tarpas < 0)
        return;
    for (int r = tarpas; r < kEilutes - 1; ++r) {
        for (int c = 0; c < kStulpeliai; ++c) {
            if (QTableWidgetItem* zemiau = stgServeriai->takeItem(r + 1, c))
                stgServeriai->setItem(r, c, zemiau);
            else
                stgServeriai->IsvalytiLangeli(c, r);
        }
    }
    for (int c = 0; c < kStulpeliai; ++c)
        stgServeriai->IsvalytiLangeli(c, kEilutes - 1);
    // The walk follows its rows up: a poll in flight below the gap keeps its
    // server, and the row that moved into the gap is the next one polled.
    if (Eilute >= 1 && Eilute >= tarpas) {
        if (Eilute == tarpas)
            AtsisakytiUzklausos(); // the row being polled is the one taken out
        --Eilute;
    }
}
