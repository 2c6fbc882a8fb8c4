#include "Narsykle.h"

#include <algorithm>

#include <QDateTime>
#include <QLocale>
#include <QTimer>

#include "Centras.h"
#include "Draugai.h"
#include "Laikas.h"
#include "Tekstas.h"

using namespace Qt::StringLiterals;

namespace {

// The info request, and the players one for the judge of fake players.
constexpr TPrasymai kNarsyklesPrasymai{false, true, true, false};

// A player's name as a row keeps it: one line of at most kVardoRiba
// characters; the plain short names most are, without the long way round.
QString ZaidejoVardas(const QByteArray& baitai) {
    if (baitai.size() <= TNarsyklesEilute::kVardoRiba &&
        std::all_of(baitai.cbegin(), baitai.cend(), [](char c) { return c >= 0x20 && c < 0x7F; }))
        return QString::fromLatin1(baitai);
    return VienaEilute(ServerioTekstas(baitai), TNarsyklesEilute::kVardoRiba);
}

// The names of a players reply, joined as a row keeps them.
QString ZaidejuVardai(const TZaidejai& zaidejai) {
    QString r;
    r.reserve(qMin(zaidejai.size(), TNarsyklesEilute::kZaidejuRiba) * 16);
    qsizetype kiek = 0;
    for (const TZaidejoInfo& z : zaidejai) {
        const QString v = ZaidejoVardas(z.Zaidejas.Vardas);
        if (v.trimmed().isEmpty())
            continue;
        if (kiek++ > 0)
            r += u'\n';
        r += v;
        if (kiek >= TNarsyklesEilute::kZaidejuRiba)
            break;
    }
    r.squeeze();
    return r;
}

QString Taip(bool taip) {
    return taip ? u"\u2713"_s : QString();
}

} // namespace

QString SarasoTekstas(const QByteArray& baitai) {
    return VienaEilute(ServerioTekstas(baitai), kSarasoTekstoRiba);
}

TInternetoServeris LanServeris(const TLanPaieska::TRadinys& r) {
    const TA2SInfo& i = r.Info;
    TInternetoServeris s;
    s.Adresas = r.Adresas;
    s.ZaidimoPortas = i.ArPapildomi && i.ZaidimoPortas ? i.ZaidimoPortas : quint16(r.Adresas.Portas);
    s.Vardas = SarasoTekstas(i.Pavadinimas);
    s.Zemelapis = SarasoTekstas(i.Zemelapis);
    s.Katalogas = SarasoTekstas(i.Katalogas);
    s.Versija = SarasoTekstas(i.Versija);
    s.AppId = i.AppId;
    s.Zaidejai = i.Zaidejai;
    s.MaxZaideju = i.MaxZaideju;
    s.Botai = qMin<int>(i.Botai, i.Zaidejai);
    s.Saugus = i.VAC != 0;
    s.Dedikuotas = i.ServerioTipas == 'd';
    s.OS = i.OS == 'w' || i.OS == 'l' ? i.OS : 0;
    return s;
}

// ---- TNarsyklesModelis ----

TNarsyklesModelis::TNarsyklesModelis(QObject* tevas) : QAbstractTableModel(tevas) {}

void TNarsyklesModelis::NustatytiServerius(const QList<TInternetoServeris>& serveriai, bool lan) {
    beginResetModel();
    eilutes.clear();
    indeksai.clear();
    eilutes.reserve(serveriai.size());
    for (const TInternetoServeris& s : serveriai) {
        if (indeksai.contains(s.Adresas))
            continue;
        indeksai.insert(s.Adresas, int(eilutes.size()));
        TNarsyklesEilute e;
        e.Serveris = s;
        e.Lan = lan;
        if (s.FakeIP)
            e.Busena = TNarsyklesEilute::TBusena::Nepasiekiamas;
        eilutes.append(std::move(e));
    }
    endResetModel();
}

void TNarsyklesModelis::Keisti(int i, const std::function<void(TNarsyklesEilute&)>& keitimas) {
    if (i < 0 || i >= eilutes.size())
        return;
    keitimas(eilutes[i]);
    Q_EMIT dataChanged(index(i, 0), index(i, kStulpeliai - 1));
}

void TNarsyklesModelis::NustatytiAntrastes(const QStringList& naujos) {
    antrastes = naujos;
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, kStulpeliai - 1);
}

void TNarsyklesModelis::NustatytiZenklus(const QString& naujasTyli, const QString& naujasNepasiekiamas) {
    tyli = naujasTyli;
    nepasiekiamas = naujasNepasiekiamas;
    if (!eilutes.isEmpty())
        Q_EMIT dataChanged(index(0, Pingas), index(int(eilutes.size()) - 1, Pingas));
}

void TNarsyklesModelis::NustatytiPatarimus(const QString& saltinis, const QString& zaista) {
    saltinioPatarimas = saltinis;
    zaistaPatarimas = zaista;
}

int TNarsyklesModelis::rowCount(const QModelIndex& tevas) const {
    return tevas.isValid() ? 0 : int(eilutes.size());
}

int TNarsyklesModelis::columnCount(const QModelIndex& tevas) const {
    return tevas.isValid() ? 0 : kStulpeliai;
}

QVariant TNarsyklesModelis::data(const QModelIndex& indeksas, int role) const {
    if (!indeksas.isValid() || indeksas.row() >= eilutes.size())
        return {};
    const TNarsyklesEilute& e = eilutes.at(indeksas.row());
    const TInternetoServeris& s = e.Serveris;
    const bool rikiuoti = role == kRikiavimoRole;
    if (role == Qt::ToolTipRole) {
        QStringList dalys;
        if (!s.Saltinis.isEmpty())
            dalys.append(saltinioPatarimas.arg(s.Saltinis));
        if (const QString kodel = NetikruPriezastis(e.Netikri, netikruSablonai); !kodel.isEmpty())
            dalys.append(kodel);
        if (s.PaskutiniKarta > 0)
            dalys.append(zaistaPatarimas.arg(
                QLocale().toString(QDateTime::fromSecsSinceEpoch(s.PaskutiniKarta), QLocale::ShortFormat)));
        // A source's or a server's words, never markup.
        return dalys.isEmpty() ? QVariant() : QVariant(PatarimoTekstas(dalys.join(u'\n')));
    }
    if (role != Qt::DisplayRole && !rikiuoti) {
        if (role == Qt::TextAlignmentRole && indeksas.column() >= Zmones && indeksas.column() <= Pingas)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    }
    switch (indeksas.column()) {
    case Spyna:
        return rikiuoti ? QVariant(int(e.Slaptazodis.value_or(false))) : Taip(e.Slaptazodis.value_or(false));
    case VAC: {
        const bool vac = e.VAC.value_or(s.Saugus);
        return rikiuoti ? QVariant(int(vac)) : Taip(vac);
    }
    case Vardas:
        return rikiuoti ? QVariant(s.Vardas.toCaseFolded()) : s.Vardas;
    case Zemelapis:
        return rikiuoti ? QVariant(s.Zemelapis.toCaseFolded()) : s.Zemelapis;
    case Zmones:
        return e.Zmones();
    case Botai:
        return s.Botai;
    case Netikri:
        if (rikiuoti)
            return e.Netikri.Netikri;
        return e.Netikri.Netikri > 0 ? QVariant(e.Netikri.Netikri) : QVariant(QString());
    case Daugiausia:
        return s.MaxZaideju;
    case Pingas:
        // Unknown, silent and unreachable rows sort after every figure.
        if (e.PingoMs)
            return *e.PingoMs;
        if (rikiuoti)
            return 100000 + int(e.Busena);
        if (e.Busena == TNarsyklesEilute::TBusena::Tyli)
            return tyli;
        if (e.Busena == TNarsyklesEilute::TBusena::Nepasiekiamas)
            return nepasiekiamas;
        return QString();
    case Adresas:
        if (rikiuoti) {
            const std::optional<quint32> ip = TaskuotasAdresas(s.Adresas.Hostas);
            return (quint64(ip.value_or(0)) << 16) | quint64(s.Adresas.Portas);
        }
        return e.Lan ? s.Adresas.Tekstas() + u" LAN"_s : s.Adresas.Tekstas();
    case OS:
        return s.OS == 'w' ? u"Windows"_s : s.OS == 'l' ? u"Linux"_s : QString();
    default:
        return {};
    }
}

QVariant TNarsyklesModelis::headerData(int sekcija, Qt::Orientation kryptis, int role) const {
    if (kryptis != Qt::Horizontal || role != Qt::DisplayRole || sekcija < 0 || sekcija >= antrastes.size())
        return QAbstractTableModel::headerData(sekcija, kryptis, role);
    return antrastes.at(sekcija);
}

// ---- TNarsyklesApklausa ----

TNarsyklesApklausa::TNarsyklesApklausa(TCentras* centras, TNarsyklesModelis* modelis, TLaikrodis laikrodis,
                                       QObject* tevas)
    : QObject(tevas), centras(centras), modelis(modelis),
      laikrodis(laikrodis ? std::move(laikrodis) : TLaikrodis(&TikrasLaikasMs)) {
    laikmatis = new QTimer(this);
    laikmatis->setInterval(kZingsnisMs);
    laikmatis->setTimerType(Qt::PreciseTimer);
    connect(laikmatis, &QTimer::timeout, this, &TNarsyklesApklausa::Zingsnis);
    // New rows end what was asked of the old ones.
    connect(modelis, &QAbstractItemModel::modelReset, this, &TNarsyklesApklausa::Sustabdyti);
    // What the hub's judge comes to, whichever window's rounds it came from.
    connect(centras->Netikri(), &TNetikruTeisejas::Pakito, this,
            [this](const QString& serveris, const TNetikruIvertis& ivertis) {
                const std::optional<TServerioAdresas> a = BandytiSkaitytiAdresa(serveris);
                if (const int i = a ? this->modelis->Rasti(*a) : -1; i >= 0)
                    this->modelis->Keisti(i, [&ivertis](TNarsyklesEilute& e) { e.Netikri = ivertis; });
            });
}

TNarsyklesApklausa::~TNarsyklesApklausa() {
    centras->Apklausa()->BaigtiVisus(this);
}

bool TNarsyklesApklausa::ArVyksta() const {
    return kitas < eile.size() || pirmuVyksta > 0;
}

void TNarsyklesApklausa::Pradeti() {
    Sustabdyti();
    for (int i = 0; i < modelis->Eilutes(); ++i) {
        if (modelis->Eilute(i).Busena == TNarsyklesEilute::TBusena::Nepasiekiamas)
            continue;
        eile.append(i);
        modelis->Keisti(i, [](TNarsyklesEilute& e) { e.Busena = TNarsyklesEilute::TBusena::Laukia; });
    }
    pradzia = laikrodis();
    laikmatis->start();
    Zingsnis();
}

void TNarsyklesApklausa::Sustabdyti() {
    laikmatis->stop();
    centras->Apklausa()->BaigtiVisus(this);
    eile.clear();
    kitas = 0;
    antri.clear();
    kitasAntras = 0;
    issiusta = 0;
    atsake = 0;
    vyksta = 0;
    pirmuVyksta = 0;
}

void TNarsyklesApklausa::Zingsnis() {
    // As many as the pace allows since the start: a late tick catches up, so
    // the rate holds whatever the timer does.
    // No more in the poller's hands than its lane takes: a queue of thousands
    // would cost every step of the poller a walk over all of them.
    qsizetype kiek = TApklausa::kDaugiausiaNarsykles - vyksta;
    if (greitis > 0) {
        const qint64 praejo = qMax<qint64>(0, laikrodis() - pradzia);
        kiek = qMin<qsizetype>(kiek, 1 + praejo * greitis / 60000 - issiusta);
    }
    for (; kiek > 0 && kitas < eile.size(); --kiek)
        Klausti(eile.at(kitas++), false);
    // Then the second looks that are due.
    const qint64 dabar = laikrodis();
    for (; kiek > 0 && kitasAntras < antri.size() && antri.at(kitasAntras).first <= dabar; --kiek)
        Klausti(antri.at(kitasAntras++).second, true);
    if (kitas >= eile.size() && kitasAntras >= antri.size())
        laikmatis->stop();
}

void TNarsyklesApklausa::Klausti(int eilute, bool antras) {
    const TServerioAdresas adresas = modelis->Eilute(eilute).Serveris.Adresas;
    TApklausa::TRaundoNustatymai n(kNarsyklesPrasymai, TRaundoSantrauka::TSaltinis::Narsykle, this);
    // The browser's own lane: many pings at once, paced here.
    n.Juosta = TApklausa::TJuosta::Narsykle;
    // A listed server is a Steam server: it is asked in A2S, unless it
    // was met before and known otherwise.
    n.Dialektas = TDialektas::A2S;
    n.LaukimoRibaMs = kLaukimoRibaMs;
    n.Atsakymas = [this, adresas](TApklausa::TId, const TSesijosAtsakymas& a) {
        const int i = modelis->Rasti(adresas);
        if (i < 0 || (!a.PingoMs && a.Rusis != TAtsakymoRusis::Detales && a.Rusis != TAtsakymoRusis::Zaidejai))
            return;
        modelis->Keisti(i, [&a](TNarsyklesEilute& e) {
            if (a.PingoMs)
                e.PingoMs = *a.PingoMs;
            if (a.Rusis == TAtsakymoRusis::Zaidejai) {
                e.Zaidejai = ZaidejuVardai(a.Zaidejai);
            }
            if (a.Rusis != TAtsakymoRusis::Detales)
                return;
            TInternetoServeris& s = e.Serveris;
            s.Vardas = SarasoTekstas(a.Detales.Info.Pavadinimas);
            s.Zemelapis = SarasoTekstas(a.Detales.Info.Zemelapis);
            s.Zaidejai = a.Detales.Zaidejai;
            s.MaxZaideju = a.Detales.MaxZaideju;
            s.Botai = qMin<int>(a.Botai.value_or(0), s.Zaidejai);
            e.Slaptazodis = a.Detales.Slaptazodis != 0;
            if (a.Info)
                e.VAC = a.Info->VAC != 0;
        });
    };
    n.Baigtas = [this, adresas, antras, eilute](TApklausa::TId, bool arAtsake) {
        --vyksta;
        if (antras)
            return; // a look for the judge: the row has its ping already
        --pirmuVyksta;
        atsake += arAtsake ? 1 : 0;
        if (arAtsake) {
            antri.append({laikrodis() + kAntrasZvilgsnisMs, eilute});
            laikmatis->start();
        }
        const int i = modelis->Rasti(adresas);
        modelis->Keisti(i, [arAtsake](TNarsyklesEilute& e) {
            e.Busena = arAtsake ? TNarsyklesEilute::TBusena::Atsake : TNarsyklesEilute::TBusena::Tyli;
        });
        Q_EMIT Pakito();
        if (!ArVyksta())
            Q_EMIT Baigta();
    };
    n.Nepavyko = [this, adresas, antras](TApklausa::TId) {
        --vyksta;
        if (antras)
            return;
        --pirmuVyksta;
        modelis->Keisti(modelis->Rasti(adresas),
                        [](TNarsyklesEilute& e) { e.Busena = TNarsyklesEilute::TBusena::Tyli; });
        Q_EMIT Pakito();
        if (!ArVyksta())
            Q_EMIT Baigta();
    };
    ++vyksta;
    ++issiusta;
    if (!antras) {
        ++pirmuVyksta;
        modelis->Keisti(eilute, [](TNarsyklesEilute& e) { e.Busena = TNarsyklesEilute::TBusena::Klausiama; });
    }
    centras->Apklausa()->Pradeti(adresas, std::move(n));
}

QStringList ZaidejaiSu(const TNarsyklesEilute& e, const QString& tekstas) {
    // A name is one line: the text, one line too, is in the block only inside a name.
    QStringList r;
    if (!e.Zaidejai || !e.Zaidejai->contains(tekstas, Qt::CaseInsensitive))
        return r;
    for (const QStringView v : QStringView(*e.Zaidejai).split(u'\n'))
        if (v.contains(tekstas, Qt::CaseInsensitive))
            r.append(v.toString());
    return r;
}

QStringList DraugaiEiluteje(const TNarsyklesEilute& e, const QSet<QString>& raktai) {
    QStringList r;
    if (e.Zaidejai && !raktai.isEmpty() && !e.Zaidejai->isEmpty())
        for (const QStringView v : QStringView(*e.Zaidejai).split(u'\n'))
            if (raktai.contains(TDraugai::Raktas(v.toString())))
                r.append(v.toString());
    return r;
}

// ---- TNarsyklesFiltras ----

TNarsyklesFiltras::TNarsyklesFiltras(TNarsyklesModelis* modelis, QObject* tevas)
    : QSortFilterProxyModel(tevas), modelis(modelis) {
    setSourceModel(modelis);
    setSortRole(TNarsyklesModelis::kRikiavimoRole);
    setDynamicSortFilter(true);
}

void TNarsyklesFiltras::NustatytiSalygas(const TNarsyklesSalygos& naujos) {
    if (naujos == salygos)
        return;
    salygos = naujos;
    invalidateRowsFilter();
}

bool TNarsyklesFiltras::filterAcceptsRow(int eilute, const QModelIndex&) const {
    const TNarsyklesEilute& e = modelis->Eilute(eilute);
    const TInternetoServeris& s = e.Serveris;
    if (salygos.NePilni && s.Zaidejai >= s.MaxZaideju)
        return false;
    if (salygos.NeTusti && s.Zaidejai == 0)
        return false;
    if (salygos.BeSlaptazodzio && e.Slaptazodis.value_or(false))
        return false;
    if (salygos.BeNetikru && e.Netikri.Netikri > 0)
        return false;
    if (!salygos.Zaidejas.isEmpty() || !salygos.Draugai.isEmpty()) {
        // Players are looked for: a row that cannot tell is no match, one
        // whose players have not come yet stays until they do.
        if (e.Busena == TNarsyklesEilute::TBusena::Tyli || e.Busena == TNarsyklesEilute::TBusena::Nepasiekiamas)
            return false;
        if (e.Zaidejai && ((!salygos.Zaidejas.isEmpty() && ZaidejaiSu(e, salygos.Zaidejas).isEmpty()) ||
                           (!salygos.Draugai.isEmpty() && DraugaiEiluteje(e, salygos.Draugai).isEmpty())))
            return false;
    }
    if (salygos.DidziausiasPingas > 0) {
        if (e.PingoMs
                ? *e.PingoMs > salygos.DidziausiasPingas
                : e.Busena == TNarsyklesEilute::TBusena::Tyli || e.Busena == TNarsyklesEilute::TBusena::Nepasiekiamas)
            return false;
    }
    if (!salygos.Tekstas.isEmpty() && !s.Vardas.contains(salygos.Tekstas, Qt::CaseInsensitive) &&
        !s.Zemelapis.contains(salygos.Tekstas, Qt::CaseInsensitive))
        return false;
    return true;
}

void TNarsyklesFiltras::NustatytiZaidejuPatarimus(const QString& zaidejai, const QString& draugai) {
    zaidejuPatarimas = zaidejai;
    drauguPatarimas = draugai;
}

QVariant TNarsyklesFiltras::data(const QModelIndex& indeksas, int role) const {
    const QVariant kita = QSortFilterProxyModel::data(indeksas, role);
    if (role != Qt::ToolTipRole || (salygos.Zaidejas.isEmpty() && salygos.Draugai.isEmpty()))
        return kita;
    const TNarsyklesEilute& e = modelis->Eilute(mapToSource(indeksas).row());
    QStringList dalys;
    if (const QStringList v = ZaidejaiSu(e, salygos.Zaidejas); !salygos.Zaidejas.isEmpty() && !v.isEmpty())
        dalys.append(zaidejuPatarimas.arg(v.join(u", "_s)));
    if (const QStringList v = DraugaiEiluteje(e, salygos.Draugai); !v.isEmpty())
        dalys.append(drauguPatarimas.arg(v.join(u", "_s)));
    if (dalys.isEmpty())
        return kita;
    // The names as the servers sent them, never markup; the row's own tip after them.
    QString tekstas = PatarimoTekstas(dalys.join(u'\n'));
    if (const QString jau = kita.toString(); !jau.isEmpty())
        tekstas += jau;
    return tekstas;
}
