#include "Modulis_Narsykle.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QNetworkInterface>
#include <QNetworkAccessManager>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableView>

#include "Atmintis.h"
#include "Centras.h"
#include "Draugai.h"
#include "Kalba.h"
#include "Laikrodis.h"
#include "Narsykle.h"
#include "Parinktys.h"
#include "PrivatusFailas.h"
#include "Saltiniai.h"
#include "Saugykla.h"
#include "Stebetojas.h"
#include "Stiliai.h"
#include "Tekstas.h"
#include "Valdikliai.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kPlotis = 760;
constexpr int kAukstis = 480;
constexpr const char* kStulpeliuRaktai[] = {"colSpyna",  "colVAC",     "colVardas",  "colZemelapis",
                                            "colZmones", "colBotai",   "colNetikri", "colMax",
                                            "colPingas", "colAdresas", "colOS"};
constexpr int kStulpeliuPlociai[] = {28, 36, 250, 96, 56, 44, 44, 44, 72, 136, 64};
static_assert(std::size(kStulpeliuRaktai) == TNarsyklesModelis::kStulpeliai &&
              std::size(kStulpeliuPlociai) == TNarsyklesModelis::kStulpeliai);

// The table's top: three rows of controls above it.
constexpr int kLentelesY = 92;

} // namespace

TfrmNarsykle::TfrmNarsykle(TCentras* centras, TParinktys* parinktys, TStebetojas* stebetojas, TSarasas* sarasas,
                           QWidget* tevas)
    : TAntrinisLangas(stebetojas, tevas), centras(centras), parinktys(parinktys), sarasas(sarasas) {
    setObjectName(u"frmNarsykle"_s);
    SukurtiValdiklius();
    SujungtiIvykius();
}

TfrmNarsykle::~TfrmNarsykle() {}

void TfrmNarsykle::SukurtiValdiklius() {
    setWindowTitle(u"Velmorant"_s);
    setFont(SriftasTaskais(kSansSerif, 8));
    resize(kPlotis, kAukstis);
    setMinimumSize(560, 300);
    setSizeGripEnabled(true);
    NustatytiFona(this, Qt::black);
    const QFont sriftas = SriftasTaskais(kSansSerif, 8);

    cboZaidimas = Sukurti<QComboBox>(this, "cboZaidimas", 8, 8, 160, 22);
    for (const TZaidimas& z : kZaidimai)
        cboZaidimas->addItem(QString::fromLatin1(z.Pavadinimas), z.AppId);
    btnInternetas = Sukurti<QPushButton>(this, "btnInternetas", 176, 7, 96, 24);
    btnInternetas->setAutoDefault(false);
    btnLan = Sukurti<QPushButton>(this, "btnLan", 276, 7, 64, 24);
    btnBendruomene = Sukurti<QPushButton>(this, "btnBendruomene", 344, 7, 120, 24);
    btnSteamMegstami = Sukurti<QPushButton>(this, "btnSteamMegstami", 468, 7, 140, 24);
    btnSteamIstorija = Sukurti<QPushButton>(this, "btnSteamIstorija", 612, 7, 140, 24);
    for (QPushButton* b : {btnInternetas, btnLan, btnBendruomene, btnSteamMegstami, btnSteamIstorija})
        b->setAutoDefault(false);
    edtFiltras = Sukurti<QLineEdit>(this, "edtFiltras", 8, 38, 160, 22);
    edtZaidejas = Sukurti<QLineEdit>(this, "edtZaidejas", 176, 38, 120, 22);
    for (QLineEdit* e : {edtFiltras, edtZaidejas}) {
        e->setClearButtonEnabled(true);
        RedagavimoLaukas(e);
    }
    lblGreitis = Etikete(this, "lblGreitis", 488, 42, 120, 16, sriftas, kOranzine);
    cboGreitis = Sukurti<QComboBox>(this, "cboGreitis", 612, 38, 140, 22);
    chkNePilni = Sukurti<QCheckBox>(this, "chkNePilni", 8, 68, 120, 18);
    chkNeTusti = Sukurti<QCheckBox>(this, "chkNeTusti", 136, 68, 120, 18);
    chkBeSlaptazodzio = Sukurti<QCheckBox>(this, "chkBeSlaptazodzio", 264, 68, 140, 18);
    chkBeNetikru = Sukurti<QCheckBox>(this, "chkBeNetikru", 304, 40, 180, 18);
    for (QCheckBox* c : {chkNePilni, chkNeTusti, chkBeSlaptazodzio, chkBeNetikru}) {
        NustatytiSpalvas(c, SpalvaBGR(kOranzine));
        TamsusZymimasis(c);
    }
    lblPingas = Etikete(this, "lblPingas", 412, 70, 120, 16, sriftas, kOranzine);
    spnPingas = Sukurti<QSpinBox>(this, "spnPingas", 536, 66, 80, 22);
    btnDraugai = Sukurti<QPushButton>(this, "btnDraugai", 624, 65, 128, 24);
    btnDraugai->setCheckable(true);
    btnDraugai->setAutoDefault(false);
    spnPingas->setRange(0, 999);
    spnPingas->setSingleStep(25);
    spnPingas->setSuffix(u" ms"_s);
    RedagavimoLaukas(spnPingas);

    Modelis = new TNarsyklesModelis(this);
    Modelis->setObjectName(u"Modelis"_s);
    Filtras = new TNarsyklesFiltras(Modelis, this);
    Filtras->setObjectName(u"Filtras"_s);
    tblServeriai = Sukurti<QTableView>(this, "tblServeriai", 8, kLentelesY, kPlotis - 16, kAukstis - kLentelesY - 32);
    tblServeriai->setModel(Filtras);
    TamsiosSlinkties(tblServeriai);
    tblServeriai->setSortingEnabled(true);
    tblServeriai->sortByColumn(TNarsyklesModelis::Pingas, Qt::AscendingOrder);
    tblServeriai->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblServeriai->setSelectionMode(QAbstractItemView::SingleSelection);
    tblServeriai->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblServeriai->setWordWrap(false);
    tblServeriai->verticalHeader()->hide();
    tblServeriai->verticalHeader()->setDefaultSectionSize(18);
    for (int c = 0; c < TNarsyklesModelis::kStulpeliai; ++c)
        tblServeriai->setColumnWidth(c, kStulpeliuPlociai[c]);
    tblServeriai->horizontalHeader()->setStretchLastSection(true);
    tblServeriai->setContextMenuPolicy(Qt::CustomContextMenu);
    NustatytiSpalvas(tblServeriai, SpalvaBGR(kOranzine), Qt::black);
    lblBusena = Etikete(this, "lblBusena", 8, kAukstis - 26, kPlotis - 16, 18, sriftas, kOranzine);
    lblBusena->setTextFormat(Qt::PlainText);

    mnuEilute = new QMenu(this);
    mnuEilute->setObjectName(u"mnuEilute"_s);

    tinklas = new QNetworkAccessManager(this);
    Sarasas = new TSteamSarasas(tinklas, {}, this);
    Sarasas->setObjectName(u"Sarasas"_s);
    Bendruomene = new TBendruomenesSarasas(tinklas, {}, this);
    Bendruomene->setObjectName(u"Bendruomene"_s);
    Pingai = new TNarsyklesApklausa(centras, Modelis, {}, this);
    Pingai->setObjectName(u"Pingai"_s);
    Saugykla = new TSlaptazodziuSaugykla(QString::fromLatin1(kSaugyklosTarnyba), this);
    Saugykla->setObjectName(u"Saugykla"_s);
    PritaikytiKalba();
    NustatytiGreiti(parinktys->NarsyklesGreitis());
}

void TfrmNarsykle::SujungtiIvykius() {
    connect(btnInternetas, &QPushButton::clicked, this, [this] { Saugiai([this] { btnInternetasClick(); }); });
    connect(btnLan, &QPushButton::clicked, this, [this] { Saugiai([this] { btnLanClick(); }); });
    connect(btnBendruomene, &QPushButton::clicked, this, [this] { Saugiai([this] { btnBendruomeneClick(); }); });
    connect(btnSteamMegstami, &QPushButton::clicked, this, [this] { Saugiai([this] { btnSteamMegstamiClick(); }); });
    connect(btnSteamIstorija, &QPushButton::clicked, this, [this] { Saugiai([this] { btnSteamIstorijaClick(); }); });
    connect(Bendruomene, &TBendruomenesSarasas::Baigta, this,
            [this](const TBendruomenesRezultatas& r) { Saugiai([&] { BendruomeneBaigta(r); }); });
    connect(Sarasas, &TSteamSarasas::Baigta, this,
            [this](const TSarasoRezultatas& r) { Saugiai([&] { SarasasBaigtas(r); }); });
    connect(Pingai, &TNarsyklesApklausa::Pakito, this, &TfrmNarsykle::RodytiBusena);
    connect(edtFiltras, &QLineEdit::textChanged, this, &TfrmNarsykle::TaikytiSalygas);
    connect(edtZaidejas, &QLineEdit::textChanged, this, &TfrmNarsykle::TaikytiSalygas);
    connect(btnDraugai, &QPushButton::toggled, this, [this](bool b) { Saugiai([this, b] { btnDraugaiToggled(b); }); });
    for (QCheckBox* c : {chkNePilni, chkNeTusti, chkBeSlaptazodzio, chkBeNetikru})
        connect(c, &QCheckBox::toggled, this, &TfrmNarsykle::TaikytiSalygas);
    connect(spnPingas, &QSpinBox::valueChanged, this, &TfrmNarsykle::TaikytiSalygas);
    connect(cboGreitis, &QComboBox::currentIndexChanged, this, [this] {
        Pingai->NustatytiGreiti(cboGreitis->currentData().toInt());
        parinktys->NustatytiNarsyklesGreiti(cboGreitis->currentData().toInt());
    });
    connect(parinktys, &TParinktys::NarsyklesGreitisPakito, this, &TfrmNarsykle::NustatytiGreiti);
    using Z = TParinktys::TZyma;
    chkBeNetikru->setChecked(parinktys->Zyma(Z::NarsykleBeNetikru));
    connect(chkBeNetikru, &QCheckBox::toggled, parinktys,
            [this](bool b) { parinktys->NustatytiZyma(Z::NarsykleBeNetikru, b); });
    connect(parinktys, &TParinktys::ZymaPakito, this, [this](Z zyma, bool b) {
        if (zyma == Z::NarsykleBeNetikru)
            chkBeNetikru->setChecked(b);
    });
    connect(tblServeriai, &QTableView::doubleClicked, this, [this] { Saugiai([this] { Stebeti(); }); });
    connect(tblServeriai, &QWidget::customContextMenuRequested, this, [this](const QPoint& vieta) {
        if (DabartinisServeris())
            mnuEilute->popup(tblServeriai->viewport()->mapToGlobal(vieta));
    });
    connect(Filtras, &QAbstractItemModel::rowsInserted, this, &TfrmNarsykle::RodytiBusena);
    connect(Filtras, &QAbstractItemModel::rowsRemoved, this, &TfrmNarsykle::RodytiBusena);
    tblServeriai->installEventFilter(this);
}

QString TfrmNarsykle::SarasoKelias() {
    return QFileInfo(AtmintiesKelias()).dir().filePath(u"narsykle.json"_s);
}

void TfrmNarsykle::FormShow() {
    PritaikytiKalba();
    if (arRodyta)
        return;
    arRodyta = true;
    // The last list, as the cache keeps it, read as warily as the service's.
    QFile failas(SarasoKelias());
    if (Modelis->Eilutes() > 0 || !failas.open(QIODevice::ReadOnly))
        return;
    const TSarasoRezultatas r = SkaitytiSarasa(failas.read(TSteamSarasas::kDidziausiasAtsakymas), 0);
    if (!r.ArPavyko() || r.Serveriai.isEmpty())
        return;
    Modelis->NustatytiServerius(r.Serveriai);
    Pingai->Pradeti();
    RodytiBusena();
}

void TfrmNarsykle::PritaikytiKalba() {
    const auto t = [this](const char* raktas) {
        return Tekstas("frmNarsykle", raktas);
    };
    setWindowTitle(u"Velmorant - "_s + t("Cap5"));
    btnInternetas->setText(t("btnInternetas"));
    btnLan->setText(t("btnLan"));
    btnBendruomene->setText(t("btnBendruomene"));
    btnSteamMegstami->setText(t("btnSteamMegstami"));
    btnSteamIstorija->setText(t("btnSteamIstorija"));
    edtFiltras->setPlaceholderText(t("edtFiltras"));
    edtZaidejas->setPlaceholderText(t("edtZaidejas"));
    btnDraugai->setText(t("btnDraugai"));
    Filtras->NustatytiZaidejuPatarimus(t("zymZaidejai"), t("zymDraugai"));
    chkNePilni->setText(t("chkNePilni"));
    chkNeTusti->setText(t("chkNeTusti"));
    chkBeSlaptazodzio->setText(t("chkBeSlaptazodzio"));
    chkBeNetikru->setText(t("chkBeNetikru"));
    lblPingas->setText(t("lblPingas"));
    lblGreitis->setText(t("lblGreitis"));
    IsdestytiGreiti();
    spnPingas->setSpecialValueText(t("spnPingas"));
    QStringList antrastes;
    for (const char* raktas : kStulpeliuRaktai)
        antrastes.append(t(raktas));
    Modelis->NustatytiAntrastes(antrastes);
    // A narrow column never hides its heading, whatever the language.
    const QFontMetrics metrika = tblServeriai->horizontalHeader()->fontMetrics();
    for (int c = 0; c < TNarsyklesModelis::kStulpeliai; ++c)
        tblServeriai->setColumnWidth(
            c, qMax(tblServeriai->columnWidth(c), metrika.horizontalAdvance(antrastes.at(c)) + 8));
    Modelis->NustatytiZenklus(t("zymTyli"), t("zymFakeIP"));
    Modelis->NustatytiPatarimus(t("zymSaltinis"), t("zymZaista"));
    Modelis->NustatytiNetikruPriezastis(stebetojas ? NetikruSablonai(stebetojas->Kalba()) : QStringList());
    {
        const QSignalBlocker blokas(cboGreitis);
        cboGreitis->clear();
        const QLocale l = Lokale();
        for (const int g : kGreiciai)
            cboGreitis->addItem(g > 0 ? l.toString(g) : t("zymNeribotai"), g);
    }
    // The pace chosen stays, one of the choices or not.
    NustatytiGreiti(parinktys->NarsyklesGreitis());
    mnuEilute->clear();
    const auto punktas = [this, &t](const char* raktas, void (TfrmNarsykle::*veiksmas)()) {
        QAction* a = mnuEilute->addAction(t(raktas));
        a->setObjectName(QString::fromLatin1(raktas));
        connect(a, &QAction::triggered, this, [this, veiksmas] { Saugiai([this, veiksmas] { (this->*veiksmas)(); }); });
    };
    punktas("mnuStebeti", &TfrmNarsykle::Stebeti);
    punktas("mnuPrisijungti", &TfrmNarsykle::Prisijungti);
    punktas("mnuIMegstamus", &TfrmNarsykle::IMegstamus);
    punktas("mnuKopijuoti", &TfrmNarsykle::KopijuotiAdresa);
    punktas("mnuDetales", &TfrmNarsykle::Detales);
    RodytiBusena();
}

QLocale TfrmNarsykle::Lokale() const {
    return stebetojas ? stebetojas->Kalba().Lokale() : QLocale();
}

int TfrmNarsykle::Greitis() const {
    return cboGreitis->currentIndex() < 0 ? TNarsyklesApklausa::kNumatytasGreitis : cboGreitis->currentData().toInt();
}

void TfrmNarsykle::NustatytiGreiti(int pinguPerMinute) {
    // A pace of the settings file that is none of the choices becomes one.
    if (pinguPerMinute > 0 && cboGreitis->findData(pinguPerMinute) < 0)
        cboGreitis->addItem(Lokale().toString(pinguPerMinute), pinguPerMinute);
    const int i = cboGreitis->findData(qMax(0, pinguPerMinute));
    cboGreitis->setCurrentIndex(i >= 0 ? i : cboGreitis->findData(TNarsyklesApklausa::kNumatytasGreitis));
    Pingai->NustatytiGreiti(cboGreitis->currentData().toInt());
}

void TfrmNarsykle::NutrauktiSarasus() {
    // The list last asked for is the one shown: an earlier one's answer comes to nothing.
    Sarasas->Nutraukti();
    Bendruomene->Nutraukti();
}

void TfrmNarsykle::btnInternetasClick() {
    NutrauktiSarasus();
    // The environment's key first, then this run's, then the secret store's;
    // without any the user is asked.
    const QString aplinkos = qEnvironmentVariable("VELMORANT_STEAM_KEY");
    if (!aplinkos.isEmpty()) {
        Prasyti(aplinkos);
        return;
    }
    if (!raktas.isEmpty()) {
        Prasyti(raktas);
        return;
    }
    Saugykla->Skaityti(QString::fromLatin1(kSaugyklosRaktas), this, [this](const TSaugyklosAtsakymas& a) {
        Saugiai([&] {
            if (a.Busena == TSaugyklosBusena::Gerai && !a.Slaptazodis.isEmpty()) {
                raktas = a.Slaptazodis;
                Prasyti(raktas);
                return;
            }
            KlaustiRakto();
        });
    });
}

const QList<quint16> TfrmNarsykle::kLanPrievadai{27015, 27016, 27017, 27018, 27019, 27020,
                                                 26900, 26901, 26902, 26903, 26904, 26905};

QList<QHostAddress> TfrmNarsykle::LanAdresai() {
    QList<QHostAddress> adresai;
    const QString aplinkos = qEnvironmentVariable("VELMORANT_LAN");
    if (!aplinkos.isEmpty()) {
        for (const QString& dalis : aplinkos.split(u',', Qt::SkipEmptyParts)) {
            const QHostAddress a(dalis.trimmed());
            if (a.protocol() == QAbstractSocket::IPv4Protocol)
                adresai.append(a);
        }
        return adresai;
    }
    for (const QNetworkInterface& sasaja : QNetworkInterface::allInterfaces()) {
        const auto zymes = sasaja.flags();
        if (!(zymes & QNetworkInterface::IsUp) || !(zymes & QNetworkInterface::CanBroadcast) ||
            (zymes & QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& irasas : sasaja.addressEntries())
            if (irasas.ip().protocol() == QAbstractSocket::IPv4Protocol && !irasas.broadcast().isNull() &&
                !adresai.contains(irasas.broadcast()))
                adresai.append(irasas.broadcast());
    }
    return adresai;
}

void TfrmNarsykle::btnLanClick() {
    NutrauktiSarasus();
    lanRasti.clear();
    btnLan->setEnabled(false);
    paskutineZinia = Tekstas("Pranesimai", "NarsykleLanIeskoma");
    RodytiBusena();
    centras->Lan()->Ieskoti(
        LanAdresai(), kLanPrievadai, kLanTrukmeMs, this,
        [this](const TLanPaieska::TRadinys& r) { lanRasti.append(LanServeris(r)); },
        [this] {
            Saugiai([this] {
                btnLan->setEnabled(true);
                paskutineZinia = Tekstas("Pranesimai", "NarsykleLanRasta").arg(lanRasti.size());
                // The LAN's servers in place of the list, then pinged as the others.
                RodytiEilutes(lanRasti, true, false);
            });
        });
}

void TfrmNarsykle::KlaustiRakto() {
    bool gerai = false;
    const QString naujas =
        QInputDialog::getText(this, Tekstas("frmNarsykle", "Cap5"), Tekstas("Pranesimai", "NarsykleRaktas"),
                              QLineEdit::Password, QString(), &gerai)
            .trimmed();
    if (!gerai || naujas.isEmpty()) {
        paskutineZinia = Tekstas("Pranesimai", "NarsykleBeRakto");
        RodytiBusena();
        return;
    }
    raktas = naujas;
    // Kept in the desktop's secret store, never in a file; without a store it lasts the run.
    Saugykla->Rasyti(QString::fromLatin1(kSaugyklosRaktas), raktas, this, [](const TSaugyklosAtsakymas&) {});
    Prasyti(raktas);
}

TSarasoFiltras TfrmNarsykle::SarasoFiltras() const {
    const int i = qMax(0, cboZaidimas->currentIndex());
    TSarasoFiltras f;
    f.AppId = kZaidimai[i].AppId;
    f.Katalogas = QString::fromLatin1(kZaidimai[i].Katalogas);
    f.NePilni = chkNePilni->isChecked();
    f.NeTusti = chkNeTusti->isChecked();
    f.BeSlaptazodzio = chkBeSlaptazodzio->isChecked();
    return f;
}

void TfrmNarsykle::RodytiEilutes(const QList<TInternetoServeris>& serveriai, bool lan, bool saltinioTvarka) {
    Modelis->NustatytiServerius(serveriai, lan);
    QHeaderView* antraste = tblServeriai->horizontalHeader();
    if (saltinioTvarka)
        antraste->setSortIndicator(-1, Qt::AscendingOrder);
    else if (antraste->sortIndicatorSection() < 0)
        tblServeriai->sortByColumn(TNarsyklesModelis::Pingas, Qt::AscendingOrder);
    Pingai->Pradeti();
    RodytiBusena();
}

void TfrmNarsykle::btnBendruomeneClick() {
    const QList<TSaltinis> saltiniai = SaltiniuFailas();
    if (saltiniai.isEmpty()) {
        paskutineZinia = Tekstas("Pranesimai", "NarsykleBeSaltiniu").arg(SaltiniuKelias());
        RodytiBusena();
        return;
    }
    NutrauktiSarasus();
    Bendruomene->Prasyti(saltiniai, SarasoFiltras());
    paskutineZinia = Tekstas("Pranesimai", "SaltiniaiKlausiami");
    RodytiBusena();
}

void TfrmNarsykle::BendruomeneBaigta(const TBendruomenesRezultatas& r) {
    int pavyko = 0;
    QStringList nepavyko;
    for (const TSaltinioAtsakymas& a : r.Saltiniai) {
        if (a.Busena == TSarasoBusena::Gerai) {
            ++pavyko;
            continue;
        }
        const char* kodel = "SaltinisBlogas";
        switch (a.Busena) {
        case TSarasoBusena::Nupjautas:
        case TSarasoBusena::PerDidelis:
            ++pavyko;
            kodel = "SaltinisNupjautas";
            break;
        case TSarasoBusena::BeTinklo:
        case TSarasoBusena::Sertifikatas:
            kodel = "SaltinisBeTinklo";
            break;
        case TSarasoBusena::LaikasBaigesi:
            kodel = "SaltinisLaikas";
            break;
        case TSarasoBusena::Uzimta:
            kodel = "SaltinisUzimtas";
            break;
        default:
            break;
        }
        if (a.Laukti)
            kodel = "SaltinisLaukti";
        QString priezastis = Tekstas("Pranesimai", kodel);
        if (a.Busena == TSarasoBusena::BlogasAtsakymas && a.HttpKodas != 0)
            priezastis = u"HTTP "_s + QString::number(a.HttpKodas);
        nepavyko.append(SaltinioVardas(a.Saltinis) + u" ("_s + priezastis + u')');
    }
    const QLocale l = Lokale();
    paskutineZinia = Tekstas("Pranesimai", "SaltiniaiAtsake")
                         .arg(l.toString(r.Serveriai.size()), l.toString(pavyko), l.toString(r.Saltiniai.size()));
    if (!nepavyko.isEmpty())
        paskutineZinia += u' ' + Tekstas("Pranesimai", "NarsykleNeperskaityta").arg(nepavyko.join(u", "_s));
    RodytiEilutes(r.Serveriai, false, false);
}

void TfrmNarsykle::RodytiSteamSarasa(bool istorija) {
    NutrauktiSarasus();
    const QStringList failai = SteamSarasuFailai();
    if (failai.isEmpty()) {
        paskutineZinia = Tekstas("Pranesimai", "NarsykleSteamNerasta");
        RodytiBusena();
        return;
    }
    const TSteamSarasai sarasai = SkaitytiSteamFailus(failai, SarasoFiltras().AppId);
    QList<TInternetoServeris> serveriai;
    for (const TSteamIrasas& irasas : istorija ? sarasai.Istorija : sarasai.Megstami) {
        TInternetoServeris s;
        s.Adresas = irasas.Adresas;
        s.ZaidimoPortas = quint16(irasas.Adresas.Portas);
        s.Vardas = irasas.Vardas;
        s.AppId = irasas.AppId;
        s.PaskutiniKarta = irasas.PaskutiniKarta;
        s.Saltinis = u"Steam"_s;
        serveriai.append(std::move(s));
    }
    paskutineZinia = Tekstas("Pranesimai", istorija ? "NarsykleSteamIstorija" : "NarsykleSteamMegstami")
                         .arg(Lokale().toString(serveriai.size()), Lokale().toString(failai.size()));
    RodytiEilutes(serveriai, false, istorija);
}

void TfrmNarsykle::Prasyti(const QString& kuriuo) {
    if (const std::optional<qint64> laukti = Sarasas->Prasyti(SarasoFiltras(), kuriuo)) {
        paskutineZinia = Tekstas("Pranesimai", "NarsykleLaukti").arg((*laukti + 999) / 1000);
        RodytiBusena();
        return;
    }
    paskutineZinia = Tekstas("Pranesimai", "NarsykleKlausiama");
    RodytiBusena();
}

void TfrmNarsykle::SarasasBaigtas(const TSarasoRezultatas& r) {
    static constexpr const char* kZinios[] = {"",
                                              "NarsykleNupjautas",
                                              "NarsykleAtmestasRaktas",
                                              "NarsykleUzimta",
                                              "NarsykleSertifikatas",
                                              "NarsykleBeTinklo",
                                              "NarsykleLaikas",
                                              "NarsykleBlogas",
                                              "NarsyklePerDidelis",
                                              "NarsykleNeSaugus"};
    static_assert(std::size(kZinios) == size_t(TSarasoBusena::NeSaugus) + 1);
    const char* zinia = kZinios[int(r.Busena)];
    paskutineZinia = *zinia ? Tekstas("Pranesimai", zinia) : QString();
    if (r.Busena == TSarasoBusena::Nupjautas)
        paskutineZinia = paskutineZinia.arg(Lokale().toString(r.Serveriai.size()));
    if (r.Busena == TSarasoBusena::RaktasAtmestas && qEnvironmentVariable("VELMORANT_STEAM_KEY").isEmpty()) {
        // A refused key is asked anew next time, and leaves the store.
        raktas.clear();
        Saugykla->Trinti(QString::fromLatin1(kSaugyklosRaktas), this, [](const TSaugyklosAtsakymas&) {});
    }
    if (r.ArPavyko()) {
        // What Steam's master was told, for the judge of fake players.
        for (const TInternetoServeris& s : r.Serveriai)
            centras->Netikri()->NustatytiSteam(s.Adresas.Tekstas(), s.Zaidejai);
        RodytiEilutes(r.Serveriai, false, false);
        // The window opens with the last list next time.
        QSaveFile failas(SarasoKelias());
        if (AtidarytiPrivatu(failas) && failas.write(RasytiSarasa(r.Serveriai)) >= 0)
            failas.commit();
    }
    RodytiBusena();
}

void TfrmNarsykle::RodytiBusena() {
    QString tekstas = Tekstas("Pranesimai", "NarsykleBusena");
    if (tekstas.contains(u"%3"_s)) {
        const QLocale l = Lokale();
        tekstas =
            tekstas.arg(l.toString(Modelis->Eilutes()), l.toString(Pingai->Atsake()), l.toString(Filtras->rowCount()));
    }
    if (!paskutineZinia.isEmpty())
        tekstas += u"  "_s + paskutineZinia;
    lblBusena->setText(VienaEilute(tekstas, kPatarimoRiba));
}

void TfrmNarsykle::TaikytiSalygas() {
    TNarsyklesSalygos s;
    s.Tekstas = edtFiltras->text().trimmed();
    s.NePilni = chkNePilni->isChecked();
    s.NeTusti = chkNeTusti->isChecked();
    s.BeSlaptazodzio = chkBeSlaptazodzio->isChecked();
    s.BeNetikru = chkBeNetikru->isChecked();
    s.Zaidejas = edtZaidejas->text().trimmed();
    if (btnDraugai->isChecked())
        s.Draugai = draugai;
    s.DidziausiasPingas = spnPingas->value();
    Filtras->NustatytiSalygas(s);
    RodytiBusena();
}

void TfrmNarsykle::btnDraugaiToggled(bool ijungta) {
    draugai.clear();
    if (ijungta) {
        // The friends file of the notifications, as it stands now.
        TDraugai failas;
        failas.Ikelti();
        for (const QString& vardas : failas.Vardai())
            draugai.insert(TDraugai::Raktas(vardas));
    }
    TaikytiSalygas();
}

std::optional<TInternetoServeris> TfrmNarsykle::DabartinisServeris() const {
    const QModelIndex i = Filtras->mapToSource(tblServeriai->currentIndex());
    if (!i.isValid())
        return std::nullopt;
    return Modelis->Eilute(i.row()).Serveris;
}

void TfrmNarsykle::Stebeti() {
    const std::optional<TInternetoServeris> s = DabartinisServeris();
    if (!s || s->FakeIP || !stebetojas)
        return;
    stebetojas->Stebeti(s->Adresas.Tekstas());
}

void TfrmNarsykle::Prisijungti() {
    const std::optional<TInternetoServeris> s = DabartinisServeris();
    if (s && !s->FakeIP && stebetojas)
        stebetojas->Prisijungti(s->Adresas.Tekstas());
}

void TfrmNarsykle::IMegstamus() {
    const std::optional<TInternetoServeris> s = DabartinisServeris();
    if (s && !s->FakeIP && sarasas)
        sarasas->Prideti(s->Adresas.Tekstas());
}

void TfrmNarsykle::Detales() {
    const std::optional<TInternetoServeris> s = DabartinisServeris();
    if (s && !s->FakeIP && stebetojas)
        stebetojas->RodytiServerioDetales(s->Adresas.Tekstas());
}

void TfrmNarsykle::KopijuotiAdresa() {
    if (const std::optional<TInternetoServeris> s = DabartinisServeris())
        QGuiApplication::clipboard()->setText(s->Adresas.Tekstas());
}

void TfrmNarsykle::resizeEvent(QResizeEvent* ivykis) {
    TAntrinisLangas::resizeEvent(ivykis);
    // The table takes what the window grows by; the status line stays under it.
    tblServeriai->setGeometry(8, kLentelesY, width() - 16, height() - kLentelesY - 32);
    lblBusena->setGeometry(8, height() - 26, width() - 16, 18);
    IsdestytiGreiti();
    ArVartotojoVieta(ivykis);
}

void TfrmNarsykle::moveEvent(QMoveEvent* ivykis) {
    TAntrinisLangas::moveEvent(ivykis);
    ArVartotojoVieta(ivykis);
}

void TfrmNarsykle::ArVartotojoVieta(QEvent* ivykis) {
    const QRect vieta(pos(), size());
    if (ivykis->spontaneous() && isVisible() && vieta != padeta)
        parinktys->NustatytiNarsyklesVieta(vieta);
}

void TfrmNarsykle::IsdestytiGreiti() {
    const int y = cboGreitis->y();
    cboGreitis->move(width() - 8 - cboGreitis->width(), y);
    lblGreitis->adjustSize();
    lblGreitis->move(cboGreitis->x() - 4 - lblGreitis->width(), lblGreitis->y());
    // The check box before them is as wide as its caption, as far as they leave room.
    const int laisva = lblGreitis->x() - 4 - chkBeNetikru->x();
    chkBeNetikru->resize(qMax(0, qMin(chkBeNetikru->sizeHint().width(), laisva)), chkBeNetikru->height());
}

void TfrmNarsykle::Padeti(const QWidget& stebetojoLangas) {
    const QRect laikoma = parinktys->NarsyklesVieta();
    const auto matoma = [](const QRect& r) {
        // Its title bar can be reached on some screen.
        const QRect juosta(r.topLeft(), QSize(r.width(), 24));
        for (const QScreen* ekranas : QGuiApplication::screens()) {
            const QRect bendra = ekranas->availableGeometry().intersected(juosta);
            if (bendra.width() >= 64 && bendra.height() >= 8)
                return true;
        }
        return false;
    };
    if (laikoma.isValid() && matoma(laikoma)) {
        resize(laikoma.size());
        move(laikoma.topLeft());
    } else {
        // The watcher's frame stands for this window's, which has none before it is first shown.
        const QRect remas = stebetojoLangas.frameGeometry(), vidus = stebetojoLangas.geometry();
        const QSize krastai(remas.width() - vidus.width(), remas.height() - vidus.height());
        const QScreen* ekranas = stebetojoLangas.screen();
        const QRect sritis = ekranas ? ekranas->availableGeometry() : QRect();
        int stulpeliai = 16 + 2 * tblServeriai->frameWidth() + tblServeriai->verticalScrollBar()->sizeHint().width();
        for (int c = 0; c < TNarsyklesModelis::kStulpeliai; ++c)
            stulpeliai += tblServeriai->columnWidth(c);
        int plotis = qMax(width(), stulpeliai);
        if (sritis.isValid())
            plotis = qMax(minimumWidth(), qMin(plotis, sritis.width() - krastai.width()));
        resize(plotis, height());
        if (const std::optional<QPoint> vieta = VietaSalia(remas, size() + krastai, sritis))
            move(*vieta);
    }
    padeta = QRect(pos(), size());
}

bool TfrmNarsykle::eventFilter(QObject* objektas, QEvent* ivykis) {
    if (objektas == tblServeriai && ivykis->type() == QEvent::KeyPress) {
        const int klavisas = static_cast<QKeyEvent*>(ivykis)->key();
        if (klavisas == Qt::Key_Return || klavisas == Qt::Key_Enter) {
            Saugiai([this] { Stebeti(); });
            return true;
        }
    }
    return TAntrinisLangas::eventFilter(objektas, ivykis);
}
