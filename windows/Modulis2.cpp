#include "Modulis2.h"

#include <QHelpEvent>
#include <QToolTip>

#include "Centras.h"

#include <algorithm>
#include <array>
#include <optional>

#include <QApplication>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
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

constexpr qint64 kLaukimoRiba = TApklausa::kLaukimoRibaMs;
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

TfrmServeriai::TfrmServeriai(TCentras* centras, QWidget* tevas)
    : TAntrinisLangas(tevas), TServerioLangas(this, centras, kSarasoPrasymai, TRaundoSantrauka::TSaltinis::Sarasas) {
    setObjectName(u"frmServeriai"_s);
    netikri = centras->Netikri();
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
            r > 0 ? BandytiSkaitytiAdresa(stgServeriai->Langelis(kAdresoStulpelis, r)) : std::nullopt;
        const QString tekstas = serveris ? NetikruPatarimas(netikri->Ivertis(serveris->Tekstas())) : QString();
        if (!tekstas.isEmpty()) {
            QToolTip::showText(patarimas->globalPos(), tekstas, stgServeriai->viewport());
            return true;
        }
    }
    return TAntrinisLangas::eventFilter(objektas, ivykis);
}

TfrmServeriai::~TfrmServeriai() {
    if (frmServeriai == this)
        frmServeriai = nullptr;
    if (Sarasas() == this)
        RegistruotiSarasa(nullptr);
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
    connect(stgServeriai, &QTableWidget::cellDoubleClicked, this,
            [this](int, int) { Saugiai([this] { stgServeriaiDblClick(); }); });
    connect(stgServeriai, &QTableWidget::currentCellChanged, this, [this](int eilute, int stulpelis, int, int) {
        Saugiai([&] {
            bool galima = true;
            stgServeriaiSelectCell(stulpelis, eilute, galima);
        });
    });
    connect(stgServeriai, &QTableWidget::cellChanged, this,
            [this](int eilute, int stulpelis) { Saugiai([&] { stgServeriaiCellChange(stulpelis, eilute); }); });
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
        eilutes = SkaitytiSarasa();
    } catch (const EFailoKlaida& e) {
        RodytiPranesima(this, e.Message());
    }
    arPerkeliama = true;
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
    arPerkeliama = false;
    PritaikytiKalba();
    tmrAtnaujinimasServeriai->setEnabled(true);
    // A fresh walk: what the last showing still had in flight is not taken,
    // and each showing may say a server's odd reply once.
    PamirstiTinkloPranesimus();
    Apklausa->BaigtiVisus(this);
    apklausiami.clear();
    pingai.clear();
    suZaidejais.clear();
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
    lblTusciasSarasas->setText(Tekstas("frmServeriai", "TusciasSarasas"));
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

int TfrmServeriai::PirmaTuscia() const {
    for (int r = 1; r < kEilutes; ++r)
        if (ArTusciaEilute(r))
            return r;
    return kEilutes;
}

QList<int> TfrmServeriai::Eilutes(const QString& adresas) const {
    QList<int> eilutes;
    const int galas = PirmaTuscia();
    for (int r = 1; r < galas; ++r)
        if (stgServeriai->Langelis(kAdresoStulpelis, r) == adresas)
            eilutes.append(r);
    return eilutes;
}

void TfrmServeriai::RodytiTusciaSarasa() {
    lblTusciasSarasas->setVisible(PirmaTuscia() == 1);
}

void TfrmServeriai::PradetiApejima() {
    const int galas = PirmaTuscia();
    QList<QString> vyksta;
    for (auto i = apklausiami.begin(); i != apklausiami.end();) {
        if (Apklausa->ArVyksta(i.key())) {
            vyksta.append(i.value());
            ++i;
        } else {
            pingai.remove(i.key());
            suZaidejais.remove(i.key());
            i = apklausiami.erase(i);
        }
    }
    // The friends option as it stands at the walk's start.
    const TStebetojas* stebetojas = Stebetojas();
    const bool arZaidejai = stebetojas && stebetojas->ArPranestiDraugus();
    NustatytiPrasymus(arZaidejai ? kSarasoDrauguPrasymai : kSarasoPrasymai);
    for (int r = 1; r < galas; ++r) {
        // A row's server once a walk, however many rows hold it; one still in
        // flight from the last walk goes on with that round and its own time-out.
        const QString adresas = stgServeriai->Langelis(kAdresoStulpelis, r);
        if (vyksta.contains(adresas))
            continue;
        vyksta.append(adresas);
        const std::optional<TServerioAdresas> serveris = BandytiSkaitytiAdresa(adresas);
        if (!serveris || !serveris->ArTinkamasPortas())
            continue; // like a failed send: the row keeps what it held
        const TApklausa::TId id = SiustiRaunda(*serveris);
        apklausiami.insert(id, adresas);
        if (arZaidejai)
            suZaidejais.insert(id);
    }
    ArPabaiga = apklausiami.isEmpty();
    RodytiTusciaSarasa();
}

void TfrmServeriai::tmrAtnaujinimasServeriaiTimer() {
    PradetiApejima();
}

void TfrmServeriai::UzbaigtiApklausa(TApklausa::TId id) {
    Apklausa->Baigti(id);
    apklausiami.remove(id);
    pingai.remove(id);
    suZaidejais.remove(id);
    ArPabaiga = apklausiami.isEmpty();
}

void TfrmServeriai::AtsisakytiNebereikalingu() {
    const QList<TApklausa::TId> ids = apklausiami.keys();
    for (const TApklausa::TId id : ids)
        if (Eilutes(apklausiami.value(id)).isEmpty())
            UzbaigtiApklausa(id);
}

// ---- Replies ----

bool TfrmServeriai::ArIgnoruojaAtsakymus(TApklausa::TId id) const {
    return !apklausiami.contains(id);
}

void TfrmServeriai::ApdorotiAtsakyma(TApklausa::TId id, const TSesijosAtsakymas& atsakymas) {
    const QList<int> eilutes = Eilutes(apklausiami.value(id));
    // The round trip may come with a challenge, before the details reply.
    if (atsakymas.PingoMs && !pingai.contains(id))
        pingai.insert(id, *atsakymas.PingoMs);
    switch (atsakymas.Rusis) {
    case TAtsakymoRusis::Nieko:
        return; // the poll goes on (the poller answers a challenge itself)
    case TAtsakymoRusis::Detales: {
        const int ms = pingai.value(id, int(Apklausa->Praejo(id)));
        for (const int r : eilutes) {
            RodytiDetales(r, atsakymas.Detales);
            RodytiPinga(r, ms);
        }
        // A round that asked the players too ends when they came (or at its
        // time-out): the poller says so.
        if (suZaidejais.contains(id))
            return;
        break;
    }
    case TAtsakymoRusis::Zaidejai:
        if (suZaidejais.contains(id))
            return; // asked for the notifications, not shown
        PranestiNezinomusDuomenis(id);
        break;
    case TAtsakymoRusis::Banas:
        for (const int r : eilutes)
            stgServeriai->NustatytiLangeli(kPingoStulpelis, r, Tekstas("Pranesimai", "Banas"));
        break;
    default:
        // The poll is over either way: a reply of another kind answers it.
        PranestiNezinomusDuomenis(id);
        break;
    }
    UzbaigtiApklausa(id);
}

void TfrmServeriai::ApklausaBaigta(TApklausa::TId id, bool arAtsake) {
    if (!apklausiami.contains(id))
        return;
    // A silent server's row shows the time-out; its other columns keep their values.
    if (!arAtsake)
        for (const int r : Eilutes(apklausiami.value(id)))
            stgServeriai->NustatytiLangeli(kPingoStulpelis, r, Tekstas("Pranesimai", "Timeout"));
    UzbaigtiApklausa(id);
}

void TfrmServeriai::NepavykoIssiusti(TApklausa::TId id) {
    // An unreachable server is no error of its own: its row keeps what it held.
    UzbaigtiApklausa(id);
}

void TfrmServeriai::RodytiDetales(int ARow, const TDetales& detales) {
    stgServeriai->NustatytiLangeli(0, ARow, OsRaide(detales.OS));
    stgServeriai->NustatytiLangeli(2, ARow, ServerioTekstas(detales.Info.Pavadinimas));
    stgServeriai->NustatytiLangeli(3, ARow, ServerioTekstas(detales.Info.Zemelapis));
    stgServeriai->NustatytiLangeli(4, ARow,
                                   QString::number(detales.Zaidejai) + u'/' + QString::number(detales.MaxZaideju));
}

void TfrmServeriai::RodytiPinga(int ARow, int ms) {
    stgServeriai->NustatytiLangeli(kPingoStulpelis, ARow, QString::number(std::clamp<qint64>(ms, 0, kLaukimoRiba)));
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

void TfrmServeriai::stgServeriaiCellChange(int ACol, int) {
    if (ACol != kAdresoStulpelis || arPerkeliama)
        return;
    // A row's address typed over: a reply of its old server no longer belongs there.
    AtsisakytiNebereikalingu();
    RodytiTusciaSarasa();
}

void TfrmServeriai::mnuPridetiClick() {
    // The watched server, for a newcomer who found one; the placeholder when
    // none is watched or the list holds it already.
    const TStebetojas* stebetojas = Stebetojas();
    QString naujas = stebetojas ? ApkarpytiTarpus(stebetojas->Adresas()) : QString();
    for (int r = 1; r < kEilutes && !naujas.isEmpty(); ++r)
        if (ApkarpytiTarpus(stgServeriai->Langelis(kAdresoStulpelis, r)) == naujas)
            naujas.clear();
    if (naujas.isEmpty())
        naujas = kNaujasAdresas;
    // Row 0 is the title row, never a server's slot.
    for (int r = 1; r < kEilutes; ++r) {
        if (ArTusciaEilute(r)) {
            stgServeriai->NustatytiLangeli(kAdresoStulpelis, r, naujas);
            return;
        }
    }
}

bool TfrmServeriai::Prideti(const QString& adresas) {
    const QString naujas = ApkarpytiTarpus(adresas);
    for (int r = 1; r < kEilutes; ++r)
        if (ApkarpytiTarpus(stgServeriai->Langelis(kAdresoStulpelis, r)) == naujas)
            return false;
    for (int r = 1; r < kEilutes; ++r) {
        if (ArTusciaEilute(r)) {
            stgServeriai->NustatytiLangeli(kAdresoStulpelis, r, naujas);
            IssaugotiSarasa();
            return true;
        }
    }
    return false;
}

void TfrmServeriai::mnuPasalintiClick() {
    const int dabartine = stgServeriai->currentRow();
    arPerkeliama = true;
    if (dabartine >= 1)
        for (int c = 0; c < kStulpeliai; ++c)
            stgServeriai->IsvalytiLangeli(c, dabartine);
    int tarpas = -1;
    for (int r = 1; r < kEilutes && tarpas < 0; ++r)
        if (ArTusciaEilute(r))
            tarpas = r;
    if (tarpas >= 0) {
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
    }
    arPerkeliama = false;
    // Replies follow their server's rows wherever they moved; a server no row
    // holds any more is polled no longer.
    AtsisakytiNebereikalingu();
    RodytiTusciaSarasa();
}
