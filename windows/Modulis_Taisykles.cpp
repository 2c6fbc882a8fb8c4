#include "Modulis_Taisykles.h"

#include "Atsakymai.h"

#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QShowEvent>

#include "Modulis1.h"
#include "Modulis2.h"
#include "NMUDP.h"
#include "Skaiciai.h"
#include "Tekstas.h"
#include "TybINI.h"
#include "Valdikliai.h"
#include "iphostport.h"

using namespace Qt::StringLiterals;

TfrmTaisykles* frmTaisykles = nullptr;

namespace {

constexpr int kOranzine = 43775; // #FFAA00, text of the server-facing windows
const QString kSansSerif = u"MS Sans Serif"_s;

QLabel* Etikete(QWidget* tevas, const char* vardas, int x, int y, const QFont& sriftas) {
    QLabel* l = Sukurti<QLabel>(tevas, vardas, x, y, 10, 13);
    l->setTextFormat(Qt::PlainText);
    l->setFont(sriftas);
    NustatytiSpalvas(l, SpalvaBGR(kOranzine));
    l->setText(QString::fromLatin1(vardas));
    l->adjustSize();
    return l;
}

// Labels size themselves to their text.
void NustatytiTeksta(QLabel* l, const QString& tekstas) {
    l->setText(tekstas);
    l->adjustSize();
}

void Prideti(QLabel* l, const QString& reiksme) {
    NustatytiTeksta(l, l->text() + reiksme);
}

} // namespace

TfrmTaisykles::TfrmTaisykles(QWidget* tevas) : TAntrinisLangas(tevas) {
    setObjectName(u"frmTaisykles"_s);
    SukurtiValdiklius();
    SujungtiIvykius();
    Saugiai([this] { FormCreate(); });
}

TfrmTaisykles::~TfrmTaisykles() {
    if (frmTaisykles == this)
        frmTaisykles = nullptr;
}

void TfrmTaisykles::SukurtiValdiklius() {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(752, 413);
    setWindowTitle(u"Velmorant"_s);
    setFont(SriftasTaskais(kSansSerif, 8));

    lblServerioAddr = Etikete(this, "lblServerioAddr", 64, 8, SriftasTaskais(kSansSerif, 12, true));
    const QFont sriftas = SriftasTaskais(kSansSerif, 8);
    lblAdresas = Etikete(this, "lblAdresas", 16, 40, sriftas);
    lblServeris = Etikete(this, "lblServeris", 16, 56, sriftas);
    lblZemelapis = Etikete(this, "lblZemelapis", 16, 72, sriftas);
    lblKatalogas = Etikete(this, "lblKatalogas", 16, 88, sriftas);
    lblPavadinimas = Etikete(this, "lblPavadinimas", 16, 104, sriftas);
    lblZaidejaiAktyvus = Etikete(this, "lblZaidejaiAktyvus", 16, 144, sriftas);
    lblZaidejaiViso = Etikete(this, "lblZaidejaiViso", 16, 160, sriftas);
    lblProtokoloVersija = Etikete(this, "lblProtokoloVersija", 16, 176, sriftas);
    lblServerioTipas = Etikete(this, "lblServerioTipas", 16, 192, sriftas);
    lblOSTipas = Etikete(this, "lblOSTipas", 16, 208, sriftas);
    lblSlaptazodis = Etikete(this, "lblSlaptazodis", 16, 224, sriftas);
    lblModas = Etikete(this, "lblModas", 16, 256, sriftas);
    lblSvetaine = Etikete(this, "lblSvetaine", 16, 272, sriftas);
    lblFTPServeris = Etikete(this, "lblFTPServeris", 16, 288, sriftas);
    lblMODVersija = Etikete(this, "lblMODVersija", 16, 304, sriftas);
    lblMODDydis = Etikete(this, "lblMODDydis", 16, 320, sriftas);
    lblTikServerioMod = Etikete(this, "lblTikServerioMod", 16, 336, sriftas);
    lblArReikiaTavoDll = Etikete(this, "lblArReikiaTavoDll", 16, 352, sriftas);
    lblSaugus = Etikete(this, "lblSaugus", 16, 384, sriftas);

    stgTaisykles = new TTinklelis(2, kEilutes, this);
    stgTaisykles->setObjectName(u"stgTaisykles"_s);
    stgTaisykles->setGeometry(352, 5, 393, 404);
    stgTaisykles->setFont(sriftas);
    stgTaisykles->horizontalHeader()->setDefaultSectionSize(185);
    stgTaisykles->setColumnWidth(0, 185);
    stgTaisykles->setColumnWidth(1, 185);
    stgTaisykles->verticalHeader()->setDefaultSectionSize(15);
    stgTaisykles->horizontalHeader()->setFixedHeight(15);
    NustatytiSpalvas(stgTaisykles, SpalvaBGR(kOranzine), Qt::black);
    stgTaisykles->NustatytiTeksta(SpalvaBGR(kOranzine), false);
    // The user may type into the cells; nothing reads what was typed.
    stgTaisykles->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                                  QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);

    NMUDP1 = new TNMUDP(this);
    NMUDP1->setObjectName(u"NMUDP1"_s);
    NMUDP1->setRemoteHost(u"127.0.0.1"_s);
    NMUDP1->setRemotePort(27015);
    NMUDP1->setLocalPort(27035);
    NMUDP1->setReportLevel(2);
}

void TfrmTaisykles::SujungtiIvykius() {
    SujungtiNMUDP(this);
}

QList<QLabel*> TfrmTaisykles::ReiksmiuEtiketes() const {
    return {lblAdresas,         lblServeris,       lblZemelapis,        lblKatalogas,     lblPavadinimas,
            lblZaidejaiAktyvus, lblZaidejaiViso,   lblProtokoloVersija, lblServerioTipas, lblOSTipas,
            lblSlaptazodis,     lblModas,          lblSvetaine,         lblFTPServeris,   lblMODVersija,
            lblMODDydis,        lblTikServerioMod, lblArReikiaTavoDll,  lblSaugus};
}

// ---- Creation, showing, hiding ----

void TfrmTaisykles::FormCreate() {
    NustatytiFona(this, Qt::black);
}

void TfrmTaisykles::FormShow() {
    stgTaisykles->IsvalytiViska();
    PritaikytiKalba();
    const QString adresas = frmPagrindinis ? frmPagrindinis->edtHostas->text() : QString();
    const bool yraAdresas = !ApkarpytiTarpus(adresas).isEmpty();
    if (yraAdresas) {
        const TAdresoDalys dalys = AtskirtiPorta(adresas);
        int portas = 0;
        // A port that is not a whole number is a failed send: nothing goes out.
        if (BandytiStrToInt(dalys.Portas, portas))
            SiustiUzklausas(dalys.Hostas, portas, 2);
    }
    if (frmPagrindinis)
        frmPagrindinis->tmrAtnaujinimas->setEnabled(false);
    if (yraAdresas)
        NustatytiTeksta(lblServerioAddr, adresas);
}

void TfrmTaisykles::PritaikytiKalba() {
    stgTaisykles->NustatytiTeksta(SpalvaBGR(kOranzine), true);
    stgTaisykles->NustatytiLangeli(0, 0, Tekstas("frmTaisykles", "Taisykle"));
    stgTaisykles->NustatytiLangeli(1, 0, Tekstas("frmTaisykles", "Reiksme"));
    setWindowTitle(u"Velmorant - "_s + Tekstas("frmTaisykles", "Cap3"));
    NustatytiTeksta(lblServerioAddr, Tekstas("frmTaisykles", "lblServerioAddr"));
    for (QLabel* l : ReiksmiuEtiketes())
        NustatytiTeksta(l, Tekstas("frmTaisykles", l->objectName().toLatin1().constData()) + u": "_s);
}

void TfrmTaisykles::SiustiUzklausas(const QString& hostas, int portas, int lygis) {
    NMUDP1->setRemoteHost(hostas);
    NMUDP1->setRemotePort(portas);
    NMUDP1->setReportLevel(lygis);
    try {
        NMUDP1->SendDatagram(UzklausosDatagrama(kDetails));
        NMUDP1->SendDatagram(UzklausosDatagrama(kRules));
    } catch (const EKlaida&) {
        // An unreachable server is no error of its own: the window stays empty.
    }
}

void TfrmTaisykles::FormHide() {
    if (frmPagrindinis && !ApkarpytiTarpus(frmPagrindinis->edtHostas->text()).isEmpty())
        frmPagrindinis->tmrAtnaujinimas->setEnabled(true);
}

// ---- Replies ----

void TfrmTaisykles::NMUDP1DataReceived(QObject*, int NumberBytes, const QString& FromIP, int Port) {
    // Nothing is taken while the watcher's latest poll was answered with a ban.
    const bool banas = frmPagrindinis && frmPagrindinis->ArBanas;
    TAtminiesSrautas srautas;
    if (!PriimtiAtsakyma(*NMUDP1, NumberBytes, FromIP, Port, banas, tinkloPranesimai, srautas))
        return;
    switch (SkaitytiAntraste(srautas)) {
    case kTipasDetales:
        RodytiDetales(SkaitytiDetales(srautas));
        break;
    case kTipasTaisykles:
        RodytiTaisykles(SkaitytiTaisykles(srautas));
        break;
    default:
        tinkloPranesimai.Rodyti(Tekstas("Pranesimai", "NezinomiDuomenys"));
        break;
    }
}

QString TfrmTaisykles::Megabaitai(qint32 baitai) {
    QString tekstas = QString::number(double(baitai) / 1048576.0, 'f', 2);
    if (tekstas == u"-0.00"_s)
        tekstas = u"0.00"_s;
    return tekstas.replace(u'.', QLocale().decimalPoint());
}

void TfrmTaisykles::RodytiDetales(const TDetales& detales) {
    const QString taip = Tekstas("frmTaisykles", "Taip");
    const QString nee = Tekstas("frmTaisykles", "Nee");
    const QString yra = Tekstas("frmTaisykles", "Yra");
    const QString neraa = Tekstas("frmTaisykles", "Neraa");
    Prideti(lblAdresas, RodomasTekstas(detales.Info.Adresas));
    Prideti(lblServeris, RodomasTekstas(detales.Info.Pavadinimas));
    Prideti(lblZemelapis, RodomasTekstas(detales.Info.Zemelapis));
    Prideti(lblKatalogas, RodomasTekstas(detales.Info.Katalogas));
    Prideti(lblPavadinimas, RodomasTekstas(detales.Info.Zaidimas));
    Prideti(lblZaidejaiAktyvus, QString::number(detales.Zaidejai));
    Prideti(lblZaidejaiViso, QString::number(detales.MaxZaideju));
    Prideti(lblProtokoloVersija, QString::number(detales.Protokolas));
    Prideti(lblServerioTipas,
            detales.ServerioTipas == 'd' ? Tekstas("frmTaisykles", "Dedikuotas") : Tekstas("frmTaisykles", "Listen"));
    Prideti(lblOSTipas, detales.OS == 'w' ? u"Windows"_s : u"Linux"_s);
    Prideti(lblSlaptazodis, detales.Slaptazodis == 1 ? yra : neraa);
    Prideti(lblModas, detales.ArModas == 1 ? yra : neraa);
    Prideti(lblSvetaine, RodomasTekstas(detales.MOD.Svetaine));
    Prideti(lblFTPServeris,
            ApkarpytiTarpus(detales.MOD.Parsisiuntimas).isEmpty() ? neraa : RodomasTekstas(detales.MOD.Parsisiuntimas));
    Prideti(lblMODVersija, QString::number(detales.MODVersija));
    Prideti(lblMODDydis, Megabaitai(detales.MODDydis) + u" MB"_s);
    Prideti(lblTikServerioMod, detales.TikServerio == 1 ? taip : nee);
    Prideti(lblArReikiaTavoDll, detales.SavasDLL == 1 ? taip : nee);
    Prideti(lblSaugus, QString::number(detales.Saugus));
}

void TfrmTaisykles::RodytiTaisykles(const TTaisykles& taisykles) {
    // Row 0 holds the titles, so the grid shows at most kEilutes - 1 rules.
    for (int i = 0; i < taisykles.size() && i + 1 < kEilutes; ++i) {
        stgTaisykles->NustatytiLangeli(0, i + 1, RodomasTekstas(taisykles.at(i).Pavadinimas));
        stgTaisykles->NustatytiLangeli(1, i + 1, RodomasTekstas(taisykles.at(i).Reiksme));
    }
}

void TfrmTaisykles::NMUDP1DataSend(QObject*) {}

void TfrmTaisykles::NMUDP1Status(QObject*, const QString&) {}

void TfrmTaisykles::NMUDP1InvalidHost(bool& handled) {
    RodytiPranesima(this, Tekstas("Pranesimai", "BlogasServeris"));
    handled = true;
}

void TfrmTaisykles::NMUDP1BufferInvalid(bool&, QByteArray&, int&) {
    RodytiPranesima(this, Tekstas("Pranesimai", "BlogasBuferis"));
}

void TfrmTaisykles::NMUDP1StreamInvalid(bool& handled, TAtminiesSrautas&) {
    RodytiPranesima(this, Tekstas("Pranesimai", "BlogasSrautas"));
    handled = true;
}
