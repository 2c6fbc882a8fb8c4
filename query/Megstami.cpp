#include "Megstami.h"

#include <algorithm>

#include <QSet>

#include "Keliai.h"
#include "Skaiciai.h"
#include "Tekstas.h"
#include "TybINI.h"
#include "iphostport.h"

using namespace Qt::StringLiterals;

const QString TMegstamuModelis::kSarasoFailas = u"resursai/Serveriai.tyb"_s;

namespace {

// The operating system letter of a details reply, upper-cased; nothing for a
// reply that ends before it.
QString OsRaide(char os) {
    if (os == 0)
        return {};
    return RodomasTekstas(QByteArray(1, os)).toUpper();
}

} // namespace

TMegstamuModelis::TMegstamuModelis(TApklausa* apklausa, TTekstai tekstai, QObject* tevas)
    : QAbstractTableModel(tevas), apklausa(apklausa), tekstai(std::move(tekstai)), eilutes(kEilutes) {}

TMegstamuModelis::~TMegstamuModelis() {
    // The poller outlives the list: none of its rounds may call back into it.
    apklausa->BaigtiVisus(this);
}

// ---- The table ----

int TMegstamuModelis::rowCount(const QModelIndex& tevas) const {
    return tevas.isValid() ? 0 : kEilutes;
}

int TMegstamuModelis::columnCount(const QModelIndex& tevas) const {
    return tevas.isValid() ? 0 : kStulpeliai;
}

QVariant TMegstamuModelis::data(const QModelIndex& vieta, int vaidmuo) const {
    if (!vieta.isValid() || (vaidmuo != Qt::DisplayRole && vaidmuo != Qt::EditRole))
        return {};
    const QString& t = eilutes.at(vieta.row()).Tekstai.at(vieta.column());
    return t.isEmpty() ? QVariant() : QVariant(t);
}

QVariant TMegstamuModelis::headerData(int sekcija, Qt::Orientation kryptis, int vaidmuo) const {
    if (kryptis != Qt::Horizontal || vaidmuo != Qt::DisplayRole || sekcija < 0 || sekcija >= kStulpeliai)
        return {};
    return Langelis(sekcija, 0);
}

Qt::ItemFlags TMegstamuModelis::flags(const QModelIndex& vieta) const {
    if (!vieta.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (vieta.row() > 0 && vieta.column() == kAdresas)
        f |= Qt::ItemIsEditable;
    return f;
}

bool TMegstamuModelis::setData(const QModelIndex& vieta, const QVariant& reiksme, int vaidmuo) {
    // The titles are the program's, not the user's.
    if (!vieta.isValid() || vieta.row() == 0 || vaidmuo != Qt::EditRole)
        return false;
    const QString tekstas = reiksme.toString();
    TEilute& e = eilutes.at(vieta.row());
    if (e.Tekstai.at(vieta.column()) == tekstas)
        return true;
    e.Tekstai.at(vieta.column()) = tekstas;
    if (vieta.column() == kAdresas)
        e.AdresoBaitai.clear();
    Q_EMIT dataChanged(vieta, vieta);
    // A row's address typed over: a reply of its old server no longer belongs there.
    if (vieta.column() == kAdresas)
        AtsisakytiNebereikalingu();
    return true;
}

QString TMegstamuModelis::Langelis(int stulpelis, int eilute) const {
    if (eilute < 0 || eilute >= kEilutes || stulpelis < 0 || stulpelis >= kStulpeliai)
        return {};
    return eilutes.at(eilute).Tekstai.at(stulpelis);
}

void TMegstamuModelis::Nustatyti(int eilute, int stulpelis, const QString& tekstas) {
    QString& t = eilutes.at(eilute).Tekstai.at(stulpelis);
    if (t == tekstas)
        return;
    t = tekstas;
    Q_EMIT dataChanged(index(eilute, stulpelis), index(eilute, stulpelis));
}

void TMegstamuModelis::PranestiEilutes(int nuo, int iki) {
    Q_EMIT dataChanged(index(nuo, 0), index(iki, kStulpeliai - 1));
    if (nuo == 0)
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, kStulpeliai - 1);
}

void TMegstamuModelis::NustatytiAntraste(int stulpelis, const QString& tekstas, const QByteArray& baitai) {
    if (stulpelis < 0 || stulpelis >= kStulpeliai)
        return;
    eilutes.front().Tekstai.at(stulpelis) = tekstas;
    if (stulpelis == kAdresas)
        eilutes.front().AdresoBaitai = baitai;
    Q_EMIT dataChanged(index(0, stulpelis), index(0, stulpelis));
    Q_EMIT headerDataChanged(Qt::Horizontal, stulpelis, stulpelis);
}

void TMegstamuModelis::IsvalytiGyvus() {
    for (TEilute& e : eilutes)
        for (int c = 0; c < kStulpeliai; ++c)
            if (c != kAdresas)
                e.Tekstai.at(c).clear();
    PranestiEilutes(0, kEilutes - 1);
}

// ---- The list file ----

QList<QByteArray> TMegstamuModelis::SkaitytiSarasa() {
    // Unlike the key/value files, a folder where the list should be is an error.
    const std::optional<QByteArray> turinys = SkaitytiFailoTurini(VietinisKelias(RasomasKelias(kSarasoFailas)), true);
    if (!turinys)
        return {};
    return IsskaidytiEilutes(*turinys).mid(0, kEilutes);
}

void TMegstamuModelis::IkeltiSarasa(const QList<QByteArray>& naujos) {
    std::fill(eilutes.begin(), eilutes.end(), TEilute());
    for (int r = 0; r < naujos.size() && r < kEilutes; ++r) {
        // An empty line keeps its slot as one blank, so later lines keep their rows.
        const QByteArray eilute = naujos.at(r).isEmpty() ? QByteArray(" ") : naujos.at(r);
        eilutes.at(r).Tekstai.at(kAdresas) = RodomasTekstas(eilute);
        eilutes.at(r).AdresoBaitai = eilute;
    }
    PranestiEilutes(0, kEilutes - 1);
    AtsisakytiNebereikalingu();
}

QByteArray TMegstamuModelis::SarasoTurinys() const {
    QList<QByteArray> failo;
    for (const TEilute& e : eilutes) {
        QByteArray eilute = e.AdresoBaitai.isNull() ? e.Tekstai.at(kAdresas).toUtf8() : e.AdresoBaitai;
        // A line break inside a cell would shift every later row of the file.
        for (char& c : eilute)
            if (c == '\r' || c == '\n' || c == '\0')
                c = ' ';
        failo.append(eilute);
    }
    return SujungtiEilutes(failo);
}

void TMegstamuModelis::IssaugotiSarasa() const {
    PakeistiFailaAtomiskai(VietinisKelias(RasomasKelias(kSarasoFailas)), SarasoTurinys());
}

// ---- Rows ----

bool TMegstamuModelis::ArTusciaEilute(int eilute) const {
    return ApkarpytiTarpus(Langelis(kAdresas, eilute)).isEmpty();
}

int TMegstamuModelis::PirmaTuscia() const {
    for (int r = 1; r < kEilutes; ++r)
        if (ArTusciaEilute(r))
            return r;
    return kEilutes;
}

QList<int> TMegstamuModelis::Eilutes(const QString& adresas) const {
    QList<int> rastos;
    const int galas = PirmaTuscia();
    for (int r = 1; r < galas; ++r)
        if (Langelis(kAdresas, r) == adresas)
            rastos.append(r);
    return rastos;
}

bool TMegstamuModelis::ArYra(const QString& adresas) const {
    const QString ieskomas = ApkarpytiTarpus(adresas);
    for (int r = 1; r < kEilutes; ++r)
        if (ApkarpytiTarpus(Langelis(kAdresas, r)) == ieskomas)
            return true;
    return false;
}

bool TMegstamuModelis::IrasytiLaisvoje(const QString& adresas) {
    // Row 0 is the title row, never a server's slot.
    const int r = PirmaTuscia();
    if (r >= kEilutes)
        return false;
    setData(index(r, kAdresas), adresas);
    return true;
}

bool TMegstamuModelis::Prideti(const QString& adresas) {
    const QString naujas = ApkarpytiTarpus(adresas);
    if (ArYra(naujas) || !IrasytiLaisvoje(naujas))
        return false;
    IssaugotiSarasa();
    return true;
}

void TMegstamuModelis::Pasalinti(int eilute) {
    if (eilute >= 1 && eilute < kEilutes)
        eilutes.at(eilute) = TEilute();
    const int tarpas = PirmaTuscia();
    if (tarpas < kEilutes) {
        eilutes.erase(eilutes.begin() + tarpas);
        eilutes.emplace_back();
    }
    PranestiEilutes(std::clamp(std::min(eilute, tarpas), 1, kEilutes - 1), kEilutes - 1);
    // Replies follow their server's rows wherever they moved; a server no row
    // holds any more is polled no longer.
    AtsisakytiNebereikalingu();
}

// ---- The walk ----

void TMegstamuModelis::PradetiApejima() {
    QSet<QString> vyksta;
    for (auto i = raundai.begin(); i != raundai.end();) {
        if (apklausa->ArVyksta(i.key())) {
            vyksta.insert(i->Adresas);
            ++i;
        } else {
            i = raundai.erase(i);
        }
    }
    // The friends option as it stands at the walk's start.
    const bool arZaidejai = arDraugai && arDraugai();
    const int galas = PirmaTuscia();
    for (int r = 1; r < galas; ++r) {
        // A row's server once a walk, however many rows hold it; one still in
        // flight from the last walk goes on with that round and its own time-out.
        const QString adresas = Langelis(kAdresas, r);
        if (vyksta.contains(adresas))
            continue;
        vyksta.insert(adresas);
        const std::optional<TServerioAdresas> serveris = BandytiSkaitytiAdresa(adresas);
        if (!serveris || !serveris->ArTinkamasPortas())
            continue; // like a failed send: the row keeps what it held
        TApklausa::TRaundoNustatymai n(arZaidejai ? kSarasoDrauguPrasymai : kSarasoPrasymai,
                                       TRaundoSantrauka::TSaltinis::Sarasas, this);
        n.Atsakymas = [this](TApklausa::TId id, const TSesijosAtsakymas& a) {
            Atsakymas(id, a);
        };
        n.Baigtas = [this](TApklausa::TId id, bool arAtsake) {
            Baigtas(id, arAtsake);
        };
        // An unreachable server is no error of its own: its row keeps what it held.
        n.Nepavyko = [this](TApklausa::TId id) {
            Uzbaigti(id);
        };
        n.Priima = [this](TApklausa::TId id) {
            return raundai.contains(id);
        };
        // A host that cannot be resolved is passed over in silence (and looked up once more).
        n.NerastasHostas = [](bool& handled) {
            handled = true;
        };
        const TApklausa::TId id = apklausa->Pradeti(*serveris, std::move(n));
        raundai.insert(id, TRaundas{adresas, std::nullopt, arZaidejai});
    }
    arPabaiga = raundai.isEmpty();
}

void TMegstamuModelis::BaigtiApejima() {
    apklausa->BaigtiVisus(this);
    raundai.clear();
}

void TMegstamuModelis::Uzbaigti(TApklausa::TId id) {
    apklausa->Baigti(id);
    raundai.remove(id);
    arPabaiga = raundai.isEmpty();
}

void TMegstamuModelis::AtsisakytiNebereikalingu() {
    const QList<TApklausa::TId> ids = raundai.keys();
    for (const TApklausa::TId id : ids)
        if (Eilutes(raundai.value(id).Adresas).isEmpty())
            Uzbaigti(id);
}

void TMegstamuModelis::Atsakymas(TApklausa::TId id, const TSesijosAtsakymas& atsakymas) {
    const auto i = raundai.find(id);
    if (i == raundai.end())
        return;
    if (atsakymas.Rusis == TAtsakymoRusis::PerDidelis) {
        Q_EMIT NeskaitomasAtsakymas(id, atsakymas);
        return; // the poll goes on until it answers or times out
    }
    // The round trip may come with a challenge, before the details reply.
    if (atsakymas.PingoMs && !i->Pingas)
        i->Pingas = *atsakymas.PingoMs;
    const TRaundas raundas = *i;
    const QList<int> rodomos = Eilutes(raundas.Adresas);
    switch (atsakymas.Rusis) {
    case TAtsakymoRusis::Nieko:
        return; // the poll goes on (the poller answers a challenge itself)
    case TAtsakymoRusis::Detales: {
        const int ms = raundas.Pingas.value_or(int(apklausa->Praejo(id)));
        for (const int r : rodomos)
            RodytiDetales(r, atsakymas.Detales, ms);
        // A round that asked the players too ends when they came (or at its
        // time-out): the poller says so.
        if (raundas.ArSuZaidejais)
            return;
        break;
    }
    case TAtsakymoRusis::Zaidejai:
        if (raundas.ArSuZaidejais)
            return; // asked for the notifications, not shown
        Q_EMIT NeskaitomasAtsakymas(id, atsakymas);
        break;
    case TAtsakymoRusis::Banas:
        for (const int r : rodomos)
            Nustatyti(r, kPingas, tekstai("Pranesimai", "Banas"));
        break;
    default:
        // The poll is over either way: a reply of another kind answers it.
        Q_EMIT NeskaitomasAtsakymas(id, atsakymas);
        break;
    }
    Uzbaigti(id);
}

void TMegstamuModelis::Baigtas(TApklausa::TId id, bool arAtsake) {
    const auto i = raundai.constFind(id);
    if (i == raundai.constEnd())
        return;
    // A silent server's rows show the time-out; their other columns keep their values.
    if (!arAtsake)
        for (const int r : Eilutes(i->Adresas))
            Nustatyti(r, kPingas, tekstai("Pranesimai", "Timeout"));
    Uzbaigti(id);
}

void TMegstamuModelis::RodytiDetales(int eilute, const TDetales& detales, int pingoMs) {
    Nustatyti(eilute, kOS, OsRaide(detales.OS));
    Nustatyti(eilute, kPavadinimas, ServerioTekstas(detales.Info.Pavadinimas));
    Nustatyti(eilute, kZemelapis, ServerioTekstas(detales.Info.Zemelapis));
    Nustatyti(eilute, kZaidejai, QString::number(detales.Zaidejai) + u'/' + QString::number(detales.MaxZaideju));
    Nustatyti(eilute, kPingas, QString::number(std::clamp<qint64>(pingoMs, 0, TApklausa::kLaukimoRibaMs)));
}
