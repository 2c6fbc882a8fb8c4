#include "Modulis_Taisykles.h"

#include <QDateTime>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QShowEvent>

#include "IstorijosGrafikas.h"
#include "Stebetojas.h"
#include "Stiliai.h"
#include "Skaiciai.h"
#include "Tekstas.h"
#include "Tinklelis.h"
#include "TybINI.h"
#include "Valdikliai.h"
#include "iphostport.h"

using namespace Qt::StringLiterals;

const QStringList TfrmTaisykles::kReiksmiuEtiketes{
    u"lblAdresas"_s,        u"lblServeris"_s,        u"lblZemelapis"_s,    u"lblKatalogas"_s,
    u"lblPavadinimas"_s,    u"lblZaidejaiAktyvus"_s, u"lblZaidejaiViso"_s, u"lblProtokoloVersija"_s,
    u"lblServerioTipas"_s,  u"lblOSTipas"_s,         u"lblSlaptazodis"_s,  u"lblModas"_s,
    u"lblSvetaine"_s,       u"lblFTPServeris"_s,     u"lblMODVersija"_s,   u"lblMODDydis"_s,
    u"lblTikServerioMod"_s, u"lblArReikiaTavoDll"_s, u"lblSaugus"_s};

namespace {

QLabel* ReiksmesEtikete(QWidget* tevas, const char* vardas, int x, int y, const QFont& sriftas) {
    QLabel* l = Etikete(tevas, vardas, x, y, 10, 13, sriftas, kOranzine);
    l->adjustSize();
    return l;
}

} // namespace

TfrmTaisykles::TfrmTaisykles(TCentras* centras, TStebetojas* stebetojas, QWidget* tevas)
    : TAntrinisLangas(stebetojas, tevas),
      TServerioLangas(this, centras, kDetaliuPrasymai, TRaundoSantrauka::TSaltinis::Detales,
                      stebetojas ? &stebetojas->Kalba() : nullptr) {
    setObjectName(u"frmTaisykles"_s);
    SukurtiValdiklius();
    Saugiai([this] { FormCreate(); });
}

TfrmTaisykles::~TfrmTaisykles() {}

void TfrmTaisykles::SukurtiValdiklius() {
    // The plot's strip below the labels and the rules grid.
    setFixedSize(752, 524);
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
    TamsiosSlinkties(stgTaisykles);
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

    imgIstorija = Sukurti<TIstorijosGrafikas>(this, "imgIstorija", 8, 416, 737, 100);
    tmrAtnaujinimas = SukurtiLaikmati(this, "tmrAtnaujinimas", 0);
    connect(tmrAtnaujinimas, &QTimer::timeout, this, [this] { Saugiai([this] { tmrAtnaujinimasTimer(); }); });
}

QList<QLabel*> TfrmTaisykles::ReiksmiuEtiketes() const {
    QList<QLabel*> etiketes;
    for (const QString& vardas : kReiksmiuEtiketes)
        etiketes.append(findChild<QLabel*>(vardas, Qt::FindDirectChildrenOnly));
    return etiketes;
}

// ---- Creation, showing, hiding ----

void TfrmTaisykles::FormCreate() {
    NustatytiFona(this, Qt::black);
}

void TfrmTaisykles::FormShow() {
    const QString adresas = stebetojas ? stebetojas->Adresas() : QString();
    const bool yraAdresas = !ApkarpytiTarpus(adresas).isEmpty();
    // Another server: its values go at once. The same one keeps what it
    // showed until this showing's replies replace it.
    if (!yraAdresas || adresas != apklaustasAdresas)
        IsvalytiReiksmes();
    // Each showing may say a server's odd reply once.
    PamirstiTinkloPranesimus();
    PritaikytiKalba();
    Apklausa->Baigti(raundas);
    raundas = 0;
    std::optional<TServerioAdresas> serveris;
    if (yraAdresas) {
        // A port that is not a whole number is a failed send: nothing goes out.
        // An unreachable server is no error of its own: the window stays empty.
        serveris = BandytiSkaitytiAdresa(adresas);
        if (serveris)
            raundas = SiustiRaunda(*serveris);
        apklaustasAdresas = adresas;
        NustatytiTeksta(lblServerioAddr, adresas);
    }
    // Another server's day goes at once; the same one's stays until its new one comes.
    if (!serveris || serveris != apklausiamas)
        imgIstorija->NustatytiDuomenis({}, QDateTime::currentMSecsSinceEpoch());
    apklausiamas = serveris;
    istorijosServeris = serveris ? serveris->Tekstas() : QString();
    tmrAtnaujinimas->setEnabled(false);
    if (serveris) {
        // The showing repeats its round as the watcher would have, and no
        // more often than the server's query budget allows.
        const TStebetojas* s = stebetojas;
        const int ms = s ? s->AtnaujinimoIntervalas() : 0;
        tmrAtnaujinimas->setIntervalas(ms);
        tmrAtnaujinimas->setMaziausias(ms > 0 ? Tarpas(*serveris, ms) : 0);
        tmrAtnaujinimas->setEnabled(true);
        Q_EMIT IstorijosReikia(istorijosServeris);
    }
    SustabdytiStebetoja();
}

void TfrmTaisykles::tmrAtnaujinimasTimer() {
    if (!apklausiamas)
        return;
    Apklausa->Baigti(raundas);
    raundas = SiustiRaunda(*apklausiamas);
}

void TfrmTaisykles::RodytiIstorija(const QString& serveris, const TIstorijosTaskai& taskai, qint64 dabarMs) {
    if (serveris.isEmpty() || serveris != istorijosServeris)
        return;
    imgIstorija->NustatytiDuomenis(taskai, dabarMs);
}

void TfrmTaisykles::PritaikytiKalba() {
    stgTaisykles->NustatytiTeksta(SpalvaBGR(kOranzine), true);
    stgTaisykles->NustatytiLangeli(0, 0, Tekstas("frmTaisykles", "Taisykle"));
    stgTaisykles->NustatytiLangeli(1, 0, Tekstas("frmTaisykles", "Reiksme"));
    setWindowTitle(u"Velmorant - "_s + Tekstas("frmTaisykles", "Cap3"));
    NustatytiTeksta(lblServerioAddr, Tekstas("frmTaisykles", "lblServerioAddr"));
    for (QLabel* l : ReiksmiuEtiketes())
        NustatytiReiksme(l, reiksmes.value(l));
}

void TfrmTaisykles::NustatytiReiksme(QLabel* l, const QString& reiksme) {
    if (reiksme.isEmpty())
        reiksmes.remove(l);
    else
        reiksmes.insert(l, reiksme);
    NustatytiTeksta(l, Tekstas("frmTaisykles", l->objectName().toLatin1().constData()) + u": "_s + reiksme);
}

void TfrmTaisykles::IsvalytiReiksmes() {
    reiksmes.clear();
    stgTaisykles->IsvalytiViska();
}

void TfrmTaisykles::FormHide() {
    tmrAtnaujinimas->setEnabled(false);
    Apklausa->Baigti(raundas);
    raundas = 0;
    TestiStebetoja();
}

// ---- Replies ----

bool TfrmTaisykles::ArIgnoruojaAtsakymus(TApklausa::TId id) const {
    return id != raundas || (stebetojas && stebetojas->ArUzdraustas());
}

void TfrmTaisykles::ApdorotiAtsakyma(TApklausa::TId id, const TSesijosAtsakymas& atsakymas) {
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
        PranestiNezinomusDuomenis(id);
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
    NustatytiReiksme(lblAdresas, ServerioTekstas(detales.Info.Adresas));
    NustatytiReiksme(lblServeris, ServerioTekstas(detales.Info.Pavadinimas));
    NustatytiReiksme(lblZemelapis, ServerioTekstas(detales.Info.Zemelapis));
    NustatytiReiksme(lblKatalogas, ServerioTekstas(detales.Info.Katalogas));
    NustatytiReiksme(lblPavadinimas, ServerioTekstas(detales.Info.Zaidimas));
    NustatytiReiksme(lblZaidejaiAktyvus, QString::number(detales.Zaidejai));
    NustatytiReiksme(lblZaidejaiViso, QString::number(detales.MaxZaideju));
    NustatytiReiksme(lblProtokoloVersija, QString::number(detales.Protokolas));
    NustatytiReiksme(lblServerioTipas, detales.ServerioTipas == 'd' ? Tekstas("frmTaisykles", "Dedikuotas")
                                                                    : Tekstas("frmTaisykles", "Listen"));
    NustatytiReiksme(lblOSTipas, detales.OS == 'w' ? u"Windows"_s : u"Linux"_s);
    NustatytiReiksme(lblSlaptazodis, detales.Slaptazodis == 1 ? yra : neraa);
    NustatytiReiksme(lblModas, detales.ArModas == 1 ? yra : neraa);
    NustatytiReiksme(lblSvetaine, ServerioTekstas(detales.MOD.Svetaine));
    NustatytiReiksme(lblFTPServeris, ApkarpytiTarpus(detales.MOD.Parsisiuntimas).isEmpty()
                                         ? neraa
                                         : ServerioTekstas(detales.MOD.Parsisiuntimas));
    NustatytiReiksme(lblMODVersija, QString::number(detales.MODVersija));
    NustatytiReiksme(lblMODDydis, Megabaitai(detales.MODDydis) + u" MB"_s);
    NustatytiReiksme(lblTikServerioMod, detales.TikServerio == 1 ? taip : nee);
    NustatytiReiksme(lblArReikiaTavoDll, detales.SavasDLL == 1 ? taip : nee);
    NustatytiReiksme(lblSaugus, QString::number(detales.Saugus));
}

void TfrmTaisykles::RodytiInfo(const TA2SInfo& info) {
    // An info reply may follow a 'm' in the same round: it replaces what that
    // showed. The address is the one polled; what the info reply does not
    // carry (the mod lines) stays empty.
    const QString adresas = apklaustasAdresas.value_or(QString());
    NustatytiTeksta(lblServerioAddr, adresas);
    for (QLabel* l :
         {lblModas, lblSvetaine, lblFTPServeris, lblMODVersija, lblMODDydis, lblTikServerioMod, lblArReikiaTavoDll})
        NustatytiReiksme(l, QString());
    NustatytiReiksme(lblAdresas, adresas);
    NustatytiReiksme(lblServeris, ServerioTekstas(info.Pavadinimas));
    NustatytiReiksme(lblZemelapis, ServerioTekstas(info.Zemelapis));
    NustatytiReiksme(lblKatalogas, ServerioTekstas(info.Katalogas));
    NustatytiReiksme(lblPavadinimas, ServerioTekstas(info.Zaidimas));
    NustatytiReiksme(lblZaidejaiAktyvus, QString::number(info.Zaidejai));
    NustatytiReiksme(lblZaidejaiViso, QString::number(info.MaxZaideju));
    NustatytiReiksme(lblProtokoloVersija, QString::number(info.Protokolas));
    NustatytiReiksme(lblServerioTipas, info.ServerioTipas == 'd' ? Tekstas("frmTaisykles", "Dedikuotas")
                                                                 : Tekstas("frmTaisykles", "Listen"));
    NustatytiReiksme(lblOSTipas, info.OS == 'w'                     ? u"Windows"_s
                                 : info.OS == 'm' || info.OS == 'o' ? u"Mac"_s
                                                                    : u"Linux"_s);
    NustatytiReiksme(lblSlaptazodis,
                     info.Slaptazodis == 1 ? Tekstas("frmTaisykles", "Yra") : Tekstas("frmTaisykles", "Neraa"));
    NustatytiReiksme(lblSaugus, QString::number(info.VAC));
}

void TfrmTaisykles::RodytiTaisykles(const TTaisykles& taisykles) {
    // Row 0 holds the titles, so the grid shows at most kEilutes - 1 rules;
    // the rows of an earlier, longer list go.
    for (int r = 1; r < kEilutes; ++r) {
        const qsizetype i = r - 1;
        if (i < taisykles.size()) {
            stgTaisykles->NustatytiLangeli(0, r, ServerioTekstas(taisykles.at(i).Pavadinimas));
            stgTaisykles->NustatytiLangeli(1, r, ServerioTekstas(taisykles.at(i).Reiksme));
        } else {
            stgTaisykles->IsvalytiLangeli(0, r);
            stgTaisykles->IsvalytiLangeli(1, r);
        }
    }
}
