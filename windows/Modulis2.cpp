#include "Modulis2.h"

#include <array>

#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolTip>

#include "Centras.h"
#include "Ikona.h"
#include "Kalba.h"
#include "Laikrodis.h"
#include "Skaiciai.h"
#include "Stiliai.h"
#include "Tekstas.h"
#include "Tinklelis.h"
#include "Valdikliai.h"
#include "iphostport.h"

using namespace Qt::StringLiterals;

// A name under the reserved ".example" domain never reaches a real server,
// and the port shows the user how to type one.
const QString TfrmServeriai::kNaujasAdresas = u"serveris.example:27015"_s;

namespace {

constexpr int kStulpeliai = TMegstamuModelis::kStulpeliai;
constexpr int kPlociai[kStulpeliai] = {20, 110, 173, 91, 85, 55};
constexpr const char* kAntrasciuRaktai[kStulpeliai] = {"OS",        "Adresas",  "ServerioPavadinimas",
                                                       "Zemelapis", "Zaidejai", "Pingas"};
constexpr int kAdresoStulpelis = TMegstamuModelis::kAdresas;

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

} // namespace

// ---- The window ----

TfrmServeriai::TfrmServeriai(TCentras* centras, TStebetojas* stebetojas, QWidget* tevas)
    : TAntrinisLangas(stebetojas, tevas),
      TServerioLangas(this, centras, kSarasoPrasymai, TRaundoSantrauka::TSaltinis::Sarasas,
                      stebetojas ? &stebetojas->Kalba() : nullptr) {
    setObjectName(u"frmServeriai"_s);
    netikri = centras->Netikri();
    // The rows' texts; a language file that cannot be read says so in the window's box.
    const auto tekstai = [this](const char* sekcija, const char* raktas) {
        QString tekstas;
        Saugiai([&] { tekstas = Tekstas(sekcija, raktas); });
        return tekstas;
    };
    modelis = new TMegstamuModelis(centras->Apklausa(), tekstai, this);
    modelis->setObjectName(u"Megstami"_s);
    modelis->NustatytiDraugus([s = stebetojas] { return s && s->ArPranestiDraugus(); });
    SukurtiValdiklius();
    SujungtiIvykius();
    stgServeriai->viewport()->installEventFilter(this);
    Saugiai([this] { FormCreate(); });
}

bool TfrmServeriai::eventFilter(QObject* objektas, QEvent* ivykis) {
    if (objektas == stgServeriai->viewport() && ivykis->type() == QEvent::ToolTip) {
        const auto* patarimas = static_cast<QHelpEvent*>(ivykis);
        const int r = stgServeriai->rowAt(patarimas->pos().y());
        const std::optional<TServerioAdresas> serveris =
            r > 0 ? BandytiSkaitytiAdresa(modelis->Langelis(kAdresoStulpelis, r)) : std::nullopt;
        const QString tekstas = serveris && stebetojas
                                    ? NetikruPatarimas(stebetojas->Kalba(), netikri->Ivertis(serveris->Tekstas()))
                                    : QString();
        if (!tekstas.isEmpty()) {
            QToolTip::showText(patarimas->globalPos(), tekstas, stgServeriai->viewport());
            return true;
        }
    }
    return TAntrinisLangas::eventFilter(objektas, ivykis);
}

TfrmServeriai::~TfrmServeriai() {}

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

    stgServeriai = new TTinklelioVaizdas(klientas);
    stgServeriai->setModel(modelis);
    TamsiosSlinkties(stgServeriai);
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

    // Over the grid's first rows, letting clicks through to the grid.
    lblTusciasSarasas = new QLabel(klientas);
    lblTusciasSarasas->setObjectName(u"lblTusciasSarasas"_s);
    lblTusciasSarasas->setGeometry(16, 40, 553, 40);
    lblTusciasSarasas->setAlignment(Qt::AlignCenter);
    lblTusciasSarasas->setWordWrap(true);
    lblTusciasSarasas->setTextFormat(Qt::PlainText);
    lblTusciasSarasas->setAttribute(Qt::WA_TransparentForMouseEvents);
    NustatytiSpalvas(lblTusciasSarasas, SpalvaBGR(kOranzine), Qt::black);
    lblTusciasSarasas->setAutoFillBackground(false);
    lblTusciasSarasas->hide();

    tmrAtnaujinimasServeriai = SukurtiLaikmati(this, "tmrAtnaujinimasServeriai", kAtnaujinimasMs);
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
    connect(stgServeriai, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex&) { Saugiai([this] { stgServeriaiDblClick(); }); });
    connect(stgServeriai->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& dabartinis, const QModelIndex&) {
                Saugiai([&] {
                    bool galima = true;
                    stgServeriaiSelectCell(dabartinis.column(), dabartinis.row(), galima);
                });
            });
    connect(modelis, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex& nuo, const QModelIndex& iki) {
        Saugiai([&] {
            if (nuo.column() <= kAdresoStulpelis && kAdresoStulpelis <= iki.column())
                stgServeriaiCellChange(kAdresoStulpelis, nuo.row());
        });
    });
    connect(modelis, &TMegstamuModelis::NeskaitomasAtsakymas, this,
            [this](TApklausa::TId id, const TSesijosAtsakymas& a) { Saugiai([&] { PranestiNeskaitoma(id, a); }); });
    connect(tmrAtnaujinimasServeriai, &QTimer::timeout, this,
            [this] { Saugiai([this] { tmrAtnaujinimasServeriaiTimer(); }); });
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
        eilutes = TMegstamuModelis::SkaitytiSarasa();
    } catch (const EFailoKlaida& e) {
        RodytiPranesima(this, e.Message());
    }
    if (eilutes)
        modelis->IkeltiSarasa(*eilutes);
    else
        modelis->IsvalytiGyvus(); // the file could not be read: the list in the window stays
    PritaikytiKalba();
    tmrAtnaujinimasServeriai->setEnabled(true);
    // A fresh walk: what the last showing still had in flight is not taken,
    // and each showing may say a server's odd reply once.
    PamirstiTinkloPranesimus();
    modelis->BaigtiApejima();
    PradetiApejima();
    SustabdytiStebetoja();
}

int TfrmServeriai::Periodas() const {
    return tmrAtnaujinimasServeriai->Intervalas();
}

void TfrmServeriai::NustatytiPerioda(int ms) {
    tmrAtnaujinimasServeriai->setIntervalas(ms);
}

void TfrmServeriai::PritaikytiKalba() {
    stgServeriai->NustatytiTeksta(SpalvaBGR(kOranzine), true);
    for (int c = 0; c < kStulpeliai; ++c) {
        if (stebetojas) {
            // The title is kept with its bytes: the list file's first line holds them.
            const QByteArray b = stebetojas->Kalba().Reiksme("frmServeriai", kAntrasciuRaktai[c]);
            modelis->NustatytiAntraste(c, RodomasTekstas(b), b);
        } else {
            modelis->NustatytiAntraste(c, Tekstas("frmServeriai", kAntrasciuRaktai[c]));
        }
        // A column is as wide as its layout says, or as its title needs at the desktop's font.
        stgServeriai->setColumnWidth(c, qMax(kPlociai[c], stgServeriai->horizontalHeader()->sectionSizeHint(c)));
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
    lblTusciasSarasas->setText(Tekstas("frmServeriai", "TusciasSarasas"));
}

void TfrmServeriai::FormClose() {
    try {
        modelis->IssaugotiSarasa();
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

// ---- The walk ----

void TfrmServeriai::PradetiApejima() {
    modelis->PradetiApejima();
    RodytiTusciaSarasa();
}

void TfrmServeriai::tmrAtnaujinimasServeriaiTimer() {
    PradetiApejima();
}

void TfrmServeriai::PranestiNeskaitoma(TApklausa::TId id, const TSesijosAtsakymas& atsakymas) {
    if (atsakymas.Rusis == TAtsakymoRusis::PerDidelis)
        RodytiTinkloPranesima(id, QString::number(atsakymas.Dydis) + Tekstas("Pranesimai", "BaituGavau"));
    else
        PranestiNezinomusDuomenis(id);
}

void TfrmServeriai::RodytiTusciaSarasa() {
    lblTusciasSarasas->setVisible(modelis->PirmaTuscia() == 1);
}

// ---- The grid and its menus ----

void TfrmServeriai::stgServeriaiDblClick() {
    const int eilute = stgServeriai->currentIndex().row();
    if (eilute < 1 || modelis->ArTusciaEilute(eilute) || !stebetojas)
        return;
    stebetojas->Stebeti(modelis->Langelis(kAdresoStulpelis, eilute));
    close();
}

void TfrmServeriai::stgServeriaiSelectCell(int ACol, int, bool&) {
    stgServeriai->setEditTriggers(ACol == kAdresoStulpelis ? kRedagavimas : QAbstractItemView::NoEditTriggers);
}

void TfrmServeriai::stgServeriaiCellChange(int ACol, int) {
    // A row's address typed over: the model drops what its old server still
    // had in flight; the window shows the empty list's line or not.
    if (ACol == kAdresoStulpelis)
        RodytiTusciaSarasa();
}

void TfrmServeriai::mnuPridetiClick() {
    // The watched server, for a newcomer who found one; the placeholder when
    // none is watched or the list holds it already.
    QString naujas = stebetojas ? ApkarpytiTarpus(stebetojas->Adresas()) : QString();
    if (naujas.isEmpty() || modelis->ArYra(naujas))
        naujas = kNaujasAdresas;
    modelis->IrasytiLaisvoje(naujas);
}

bool TfrmServeriai::Prideti(const QString& adresas) {
    return modelis->Prideti(adresas);
}

void TfrmServeriai::mnuPasalintiClick() {
    modelis->Pasalinti(stgServeriai->currentIndex().row());
    RodytiTusciaSarasa();
}
