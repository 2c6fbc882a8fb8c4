#include "Modulis_Taisykles.h"

#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QShowEvent>

#include "Stebetojas.h"
#include "Stiliai.h"
#include "Skaiciai.h"
#include "Tekstas.h"
#include "Tinklelis.h"
#include "TybINI.h"
#include "Valdikliai.h"
#include "iphostport.h"

using namespace Qt::StringLiterals;

TfrmTaisykles* frmTaisykles = nullptr;

namespace {

QLabel* ReiksmesEtikete(QWidget* tevas, const char* vardas, int x, int y, const QFont& sriftas) {
    QLabel* l = Etikete(tevas, vardas, x, y, 10, 13, sriftas, kOranzine);
    l->adjustSize();
    return l;
}

void Prideti(QLabel* l, const QString& reiksme) {
    NustatytiTeksta(l, l->text() + reiksme);
}

} // namespace

TfrmTaisykles::TfrmTaisykles(QWidget* tevas) : TAntrinisLangas(tevas), TServerioLangas(this, kDetaliuPrasymai) {
    setObjectName(u"frmTaisykles"_s);
    SukurtiValdiklius();
    Saugiai([this] { FormCreate(); });
}

TfrmTaisykles::~TfrmTaisykles() {
    if (frmTaisykles == this)
        frmTaisykles = nullptr;
}

void TfrmTaisykles::SukurtiValdiklius() {
    setFixedSize(752, 413);
    setWindowTitle(u"Velmorant"_s);
    setFont(SriftasTaskais(kSansSerif, 8));

    lblServerioAddr = ReiksmesEtikete(this, "lblServerioAddr", 64, 8, SriftasTaskais(kSansSerif, 12, true));
    const QFont sriftas = SriftasTaskais(kSansSerif, 8);
    lblAdresas = ReiksmesEtikete(this, "lblAdresas", 16, 40, sriftas);
    lblServeris = ReiksmesEtikete(this, "lblServeris", 16, 56, sriftas);
    lblZemelapis = ReiksmesEtikete(this, "lblZemelapis", 16, 72, sriftas);
    lblKatalogas = ReiksmesEtikete(this, "lblKatalogas", 16, 88, sriftas);
    lblPavadinimas = ReiksmesEtikete(this, "lblPavadinimas", 16, 104, sriftas);
    lblZaidejaiAktyvus = ReiksmesEtikete(this, "lblZaidejaiAktyvus", 16, 144, sriftas);
    lblZaidejaiViso = ReiksmesEtikete(this, "lblZaidejaiViso", 16, 160, sriftas);
    lblProtokoloVersija = ReiksmesEtikete(this, "lblProtokoloVersija", 16, 176, sriftas);
    lblServerioTipas = ReiksmesEtikete(this, "lblServerioTipas", 16, 192, sriftas);
    lblOSTipas = ReiksmesEtikete(this, "lblOSTipas", 16, 208, sriftas);
    lblSlaptazodis = ReiksmesEtikete(this, "lblSlaptazodis", 16, 224, sriftas);
    lblModas = ReiksmesEtikete(this, "lblModas", 16, 256, sriftas);
    lblSvetaine = ReiksmesEtikete(this, "lblSvetaine", 16, 272, sriftas);
    lblFTPServeris = ReiksmesEtikete(this, "lblFTPServeris", 16, 288, sriftas);
    lblMODVersija = ReiksmesEtikete(this, "lblMODVersija", 16, 304, sriftas);
    lblMODDydis = ReiksmesEtikete(this, "lblMODDydis", 16, 320, sriftas);
    lblTikServerioMod = ReiksmesEtikete(this, "lblTikServerioMod", 16, 336, sriftas);
    lblArReikiaTavoDll = ReiksmesEtikete(this, "lblArReikiaTavoDll", 16, 352, sriftas);
    lblSaugus = ReiksmesEtikete(this, "lblSaugus", 16, 384, sriftas);

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
    const TStebetojas* stebetojas = Stebetojas();
    const QString adresas = stebetojas ? stebetojas->Adresas() : QString();
    const bool yraAdresas = !ApkarpytiTarpus(adresas).isEmpty();
    if (yraAdresas) {
        const TAdresoDalys dalys = AtskirtiPorta(adresas);
        int portas = 0;
        // A port that is not a whole number is a failed send: nothing goes out.
        // An unreachable server is no error of its own: the window stays empty.
        if (BandytiStrToInt(dalys.Portas, portas))
            SiustiRaunda(dalys.Hostas, portas, 2);
        apklaustasAdresas = adresas;
    }
    SustabdytiStebetoja();
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

void TfrmTaisykles::FormHide() {
    BaigtiRaunda();
    TestiStebetoja();
}

// ---- Replies ----

bool TfrmTaisykles::ArIgnoruojaAtsakymus() const {
    const TStebetojas* stebetojas = Stebetojas();
    return stebetojas && stebetojas->ArUzdraustas();
}

void TfrmTaisykles::ApdorotiAtsakyma(const TSesijosAtsakymas& atsakymas) {
    switch (atsakymas.Rusis) {
    case TAtsakymoRusis::Detales:
        if (atsakymas.Info)
            RodytiInfo(*atsakymas.Info);
        else
            RodytiDetales(atsakymas.Detales);
        break;
    case TAtsakymoRusis::Taisykles:
        RodytiTaisykles(atsakymas.Taisykles);
        break;
    case TAtsakymoRusis::Nieko:
        break;
    default:
        PranestiNezinomusDuomenis();
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

void TfrmTaisykles::RodytiInfo(const TA2SInfo& info) {
    // An info reply may follow a 'm' in the same round: it replaces what that showed.
    PritaikytiKalba();
    NustatytiTeksta(lblServerioAddr, apklaustasAdresas);
    // The address is the one polled; what the info reply does not carry (the
    // mod lines) stays empty.
    Prideti(lblAdresas, apklaustasAdresas);
    Prideti(lblServeris, RodomasTekstas(info.Pavadinimas));
    Prideti(lblZemelapis, RodomasTekstas(info.Zemelapis));
    Prideti(lblKatalogas, RodomasTekstas(info.Katalogas));
    Prideti(lblPavadinimas, RodomasTekstas(info.Zaidimas));
    Prideti(lblZaidejaiAktyvus, QString::number(info.Zaidejai));
    Prideti(lblZaidejaiViso, QString::number(info.MaxZaideju));
    Prideti(lblProtokoloVersija, QString::number(info.Protokolas));
    Prideti(lblServerioTipas,
            info.ServerioTipas == 'd' ? Tekstas("frmTaisykles", "Dedikuotas") : Tekstas("frmTaisykles", "Listen"));
    Prideti(lblOSTipas, info.OS == 'w' ? u"Windows"_s : info.OS == 'm' || info.OS == 'o' ? u"Mac"_s : u"Linux"_s);
    Prideti(lblSlaptazodis, info.Slaptazodis == 1 ? Tekstas("frmTaisykles", "Yra") : Tekstas("frmTaisykles", "Neraa"));
    Prideti(lblSaugus, QString::number(info.VAC));
}

void TfrmTaisykles::RodytiTaisykles(const TTaisykles& taisykles) {
    // Row 0 holds the titles, so the grid shows at most kEilutes - 1 rules.
    for (int i = 0; i < taisykles.size() && i + 1 < kEilutes; ++i) {
        stgTaisykles->NustatytiLangeli(0, i + 1, RodomasTekstas(taisykles.at(i).Pavadinimas));
        stgTaisykles->NustatytiLangeli(1, i + 1, RodomasTekstas(taisykles.at(i).Reiksme));
    }
}
