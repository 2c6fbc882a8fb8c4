#include "Apklausa.h"

#include <algorithm>

#include <QDateTime>
#include <QPointer>
#include <QTimer>

#include "AtminiesSrautas.h"
#include "Klaidos.h"
#include "Laikas.h"
#include "NMUDP.h"
#include "Zurnalas.h"
#include "iphostport.h"

namespace {

qint64 UnixLaikas() {
    return QDateTime::currentMSecsSinceEpoch();
}

} // namespace

TApklausa::TApklausa(TNMUDP* galas, TAdresuPaieska* vardai, TServeriuRegistras& registras,
                     TUzklausuBiudzetas& biudzetas, TLaikrodis laikrodis, QObject* tevas)
    : QObject(tevas), galas(galas), vardai(vardai),
      laikrodis(laikrodis ? std::move(laikrodis) : TLaikrodis(&TikrasLaikasMs)), unixLaikrodis(&UnixLaikas),
      registras(&registras), biudzetas(&biudzetas) {
    laikmatis = new QTimer(this);
    laikmatis->setObjectName(QStringLiteral("tmrApklausa"));
    laikmatis->setSingleShot(true);
    laikmatis->setTimerType(Qt::PreciseTimer);
    connect(laikmatis, &QTimer::timeout, this, &TApklausa::Vykdyti);
    // The pause between two starts in the windows' lane: a wait, not a
    // reading of the clock, so it passes whatever clock the rounds are timed by.
    tarpas = new QTimer(this);
    tarpas->setSingleShot(true);
    tarpas->setTimerType(Qt::PreciseTimer);
    tarpas->setInterval(int(kPradziuTarpasMs));
    connect(tarpas, &QTimer::timeout, this, &TApklausa::Vykdyti);
    galas->OnDataReceived = [this](QObject*, int kiekis, const QString& is, int portas) {
        Gauta(kiekis, is, portas);
    };
    // Only the servers of rounds in flight are listened to: anything else is
    // dropped as the endpoint reads it, before it waits in its queue.
    galas->Filtras = [this](const QHostAddress& is, quint16 portas) {
        bool ipv4 = false;
        const quint32 ip = is.toIPv4Address(&ipv4);
        return ipv4 && (siuntejai.contains(SiuntejoRaktas(ip, portas)) || (kitas.Klauso && kitas.Klauso(portas)));
    };
}

TApklausa::~TApklausa() {
    galas->OnDataReceived = nullptr;
    galas->Filtras = nullptr;
}

void TApklausa::NustatytiBusena(TRaundas& r, TBusena nauja) {
    if ((r.Busena == TBusena::Vyksta) == (nauja == TBusena::Vyksta)) {
        r.Busena = nauja;
        return;
    }
    const quint64 raktas = SiuntejoRaktas(*r.Ip, quint16(r.Adresas.Portas));
    if (nauja == TBusena::Vyksta) {
        ++siuntejai[raktas];
    } else if (--siuntejai[raktas] <= 0) {
        siuntejai.remove(raktas);
    }
    r.Busena = nauja;
}

void TApklausa::NustatytiUnixLaikrodi(TLaikrodis naujas) {
    unixLaikrodis = naujas ? std::move(naujas) : TLaikrodis(&UnixLaikas);
}

TApklausa::TRaundas* TApklausa::Rasti(TId id) {
    const auto i = raundai.find(id);
    return i == raundai.end() ? nullptr : &i->second;
}

const TApklausa::TRaundas* TApklausa::Rasti(TId id) const {
    const auto i = raundai.find(id);
    return i == raundai.end() ? nullptr : &i->second;
}

TApklausa::TId TApklausa::Pradeti(const TServerioAdresas& adresas, TRaundoNustatymai nustatymai) {
    for (auto i = raundai.begin(); i != raundai.end(); ++i) {
        const TRaundoNustatymai& ankstesnis = i->second.Nustatymai;
        if (i->second.Adresas == adresas && ankstesnis.Kontekstas == nustatymai.Kontekstas &&
            (nustatymai.Kontekstas || ankstesnis.Saltinis == nustatymai.Saltinis)) {
            Uzbaigti(i->first, false);
            break;
        }
    }
    const TId id = ++paskutinis;
    TRaundas& r = raundai[id];
    r.Id = id;
    r.Adresas = adresas;
    r.Sesija = std::make_unique<TUzklausuSesija>(nustatymai.Prasymai, registras, laikrodis);
    r.Kontekstas = nustatymai.Kontekstas;
    r.Nustatymai = std::move(nustatymai);
    // The round goes out now when it may; what it reports waits for the event
    // loop, as the caller has no id yet.
    Zingsniuoti();
    Planuoti();
    return id;
}

void TApklausa::Baigti(TId id) {
    Uzbaigti(id, false);
    Planuoti();
}

void TApklausa::BaigtiVisus() {
    while (!raundai.empty())
        Uzbaigti(raundai.begin()->first, false);
    Planuoti();
}

void TApklausa::BaigtiVisus(const QObject* kontekstas) {
    QList<TId> savi;
    for (const auto& [id, r] : raundai)
        if (r.Nustatymai.Kontekstas == kontekstas)
            savi.append(id);
    for (const TId id : std::as_const(savi))
        Uzbaigti(id, false);
    Planuoti();
}

void TApklausa::Uzbaigti(TId id, bool pranesti) {
    const auto i = raundai.find(id);
    if (i == raundai.end())
        return;
    const bool atsake = i->second.Sesija && i->second.Sesija->ArPingasRodytas();
    if (i->second.Busena == TBusena::Vyksta)
        i->second.Sesija->BaigtiRaunda();
    PaleistiPaieska(i->second);
    const bool arIsejo = i->second.ArIsejo;
    TRaundoSantrauka santrauka = std::move(i->second.Santrauka);
    NustatytiBusena(i->second, TBusena::Nepavyko);
    const QPointer<QObject> kontekstas = i->second.Kontekstas;
    const auto baigtas = std::move(i->second.Nustatymai.Baigtas);
    raundai.erase(i);
    if (pranesti)
        Pranesti([id, atsake, kontekstas, baigtas] {
            if (kontekstas && baigtas)
                baigtas(id, atsake);
        });
    // Whoever ended it: a round that never left the queue never went out.
    if (arIsejo)
        Pranesti([this, s = std::move(santrauka)] { Q_EMIT RaundasBaigtas(s); });
}

bool TApklausa::ArVyksta(TId id) const {
    return Rasti(id) != nullptr;
}

bool TApklausa::ArLaukiaPingo(TId id) const {
    const TRaundas* r = Rasti(id);
    return r && r->Busena != TBusena::Eileje && !r->Sesija->ArPingasRodytas();
}

TServerioAdresas TApklausa::Serveris(TId id) const {
    const TRaundas* r = Rasti(id);
    return r ? r->Adresas : TServerioAdresas{};
}

std::optional<TServerioAdresas> TApklausa::IPAdresas(TId id) const {
    const TRaundas* r = Rasti(id);
    if (!r || !r->Ip)
        return std::nullopt;
    return TServerioAdresas{IPTekstas(*r->Ip), r->Adresas.Portas};
}

bool TApklausa::ArBaigiasiLaikas(TId id, qint64 paklaidaMs) const {
    const TRaundas* r = Rasti(id);
    return r && ArLaukiaPingo(id) && Praejo(id) >= r->Nustatymai.LaukimoRibaMs - paklaidaMs;
}

qint64 TApklausa::Praejo(TId id) const {
    const TRaundas* r = Rasti(id);
    if (!r || r->Busena == TBusena::Eileje)
        return 0;
    return qMax<qint64>(0, laikrodis() - r->Pradzia);
}

int TApklausa::Vykdomi() const {
    int n = 0;
    for (const auto& [id, r] : raundai)
        n += r.Busena != TBusena::Eileje ? 1 : 0;
    return n;
}

int TApklausa::Eileje() const {
    return int(raundai.size()) - Vykdomi();
}

int TApklausa::Tarpas(const TServerioAdresas& adresas, TPrasymai kas, int norimasMs) const {
    const TUzklausuSesija sesija(kas, registras, laikrodis);
    std::optional<quint32> ip = TaskuotasAdresas(adresas.Hostas);
    if (!ip) {
        if (const std::optional<QString> rastas = vardai->IP(adresas.Hostas))
            ip = TaskuotasAdresas(*rastas);
    }
    return TUzklausuBiudzetas::Tarpas(sesija.IprastasRaundoDydis(ip ? Raktas(*ip, adresas.Portas) : QString()),
                                      norimasMs);
}

void TApklausa::Pranesti(std::function<void()> pranesimas) {
    pranesimai.append(std::move(pranesimas));
}

bool TApklausa::Zingsniuoti() {
    if (vykdoma) {
        dar = true; // the step under way goes round once more
        return false;
    }
    vykdoma = true;
    do {
        dar = false;
        Zingsnis(laikrodis());
    } while (dar);
    vykdoma = false;
    return true;
}

void TApklausa::Vykdyti() {
    if (!Zingsniuoti())
        return;
    // The reports go out once the step is over: a window may start or end
    // rounds in its slots.
    QPointer<TApklausa> gyvas(this);
    while (gyvas && !pranesimai.isEmpty()) {
        const std::function<void()> p = pranesimai.takeFirst();
        p();
    }
    if (gyvas)
        Planuoti();
}

void TApklausa::Zingsnis(qint64 dabar) {
    // Rounds are found again by id after every call that may reach outside
    // (a lookup that answers at once, the endpoint's OnInvalidHost): a handler
    // running meanwhile may have started or ended rounds.
    QList<TId> eile;
    for (const auto& [id, r] : raundai)
        if (r.Busena == TBusena::Eileje)
            eile.append(id);
    // New rounds, while there is room in flight: the windows' a few ms apart,
    // the browser's at once.
    int juostose[2] = {0, 0}; // rounds in flight in the windows' lane and the browser's
    for (const auto& [id, r] : raundai)
        if (r.Busena != TBusena::Eileje)
            ++juostose[ArNarsykles(r)];
    for (const TId id : std::as_const(eile)) {
        TRaundas* r = Rasti(id);
        if (!r || r->Busena != TBusena::Eileje)
            continue;
        const bool narsykles = ArNarsykles(*r);
        if (juostose[narsykles] >= (narsykles ? kDaugiausiaNarsykles : kDaugiausiaVienuMetu))
            continue;
        if (!narsykles) {
            if (tarpas->isActive())
                continue;
            tarpas->start();
        }
        ++juostose[narsykles];
        r->Pradzia = dabar;
        r->ArIsejo = true;
        r->Santrauka.Saltinis = r->Nustatymai.Saltinis;
        r->Santrauka.Serveris = r->Adresas.Tekstas();
        r->Santrauka.LaikasMs = unixLaikrodis();
        if (!r->Adresas.ArTinkamasPortas()) {
            Nepavyko(*r);
            continue;
        }
        if (const std::optional<quint32> ip = TaskuotasAdresas(r->Adresas.Hostas)) {
            Isspresta(*r, *ip);
        } else {
            r->Busena = TBusena::Ieskoma;
            Ieskoti(*r);
        }
    }

    QList<TId> vykdomi;
    for (const auto& [id, r] : raundai)
        if (r.Busena != TBusena::Eileje)
            vykdomi.append(id);
    for (const TId id : std::as_const(vykdomi)) {
        TRaundas* r = Rasti(id);
        if (!r || r->Busena == TBusena::Eileje)
            continue;
        if (dabar < r->Pradzia)
            r->Pradzia = dabar; // the clock went back
        if (r->Busena == TBusena::Laukia)
            Isleisti(*r, dabar);
        if (r->Busena != TBusena::Laukia && dabar - r->Pradzia >= r->Nustatymai.LaukimoRibaMs) {
            Uzbaigti(id, true);
            continue;
        }
        if (r->Busena != TBusena::Vyksta)
            continue;
        if (r->Sesija->ArAtsakyta()) {
            Uzbaigti(id, true);
            continue;
        }
        const QList<QByteArray> d = r->Sesija->Tikrinti(biudzetas->Laisva(r->Raktas, dabar));
        if (!d.isEmpty())
            Siusti(*r, d, dabar);
    }
}

void TApklausa::Isspresta(TRaundas& r, quint32 ip) {
    r.Ip = ip;
    r.Raktas = Raktas(ip, r.Adresas.Portas);
    r.Busena = TBusena::Laukia;
    if (r.Nustatymai.Dialektas == TDialektas::Nezinomas)
        return;
    TServerioZinios z = registras->Zinios(r.Raktas);
    if (z.Dialektas == TDialektas::Nezinomas) {
        z.Dialektas = r.Nustatymai.Dialektas;
        registras->Nustatyti(r.Raktas, z);
    }
}

void TApklausa::Isleisti(TRaundas& r, qint64 dabar) {
    // The round goes out whole or waits for the budget to have room for it.
    const int n = r.Sesija->RaundoDydis(r.Raktas);
    if (biudzetas->Laisva(r.Raktas, dabar) < qMin(n, TUzklausuBiudzetas::kDaugiausia))
        return;
    NustatytiBusena(r, TBusena::Vyksta);
    r.Pradzia = dabar;
    Siusti(r, r.Sesija->PradetiRaunda(r.Raktas), dabar);
}

bool TApklausa::Siusti(TRaundas& r, const QList<QByteArray>& datagramos, qint64 dabar) {
    galas->setRemoteHost(IPTekstas(*r.Ip));
    galas->setRemotePort(r.Adresas.Portas);
    try {
        for (const QByteArray& d : datagramos) {
            galas->SendDatagram(d);
            biudzetas->Pazymeti(r.Raktas, dabar);
        }
    } catch (const EKlaida&) {
        if (r.Busena == TBusena::Vyksta)
            r.Sesija->BaigtiRaunda();
        Nepavyko(r);
        return false;
    }
    return true;
}

void TApklausa::Nepavyko(TRaundas& r) {
    NustatytiBusena(r, TBusena::Nepavyko);
    PaleistiPaieska(r);
    const TId id = r.Id;
    Pranesti([this, id] {
        TRaundas* rastas = Rasti(id);
        if (!rastas)
            return;
        const QPointer<QObject> kontekstas = rastas->Kontekstas;
        const auto nepavyko = rastas->Nustatymai.Nepavyko;
        if (kontekstas && nepavyko)
            nepavyko(id);
    });
}

void TApklausa::Ieskoti(TRaundas& r) {
    ++r.Paieskos;
    PaleistiPaieska(r);
    // A child of the poller: it goes with the poller, whatever the lookup does.
    r.Paieska = new QObject(this);
    const QObject* kontekstas = r.Paieska;
    const TId id = r.Id;
    // A name known, or a lookup that answers at once, answers from inside
    // this call (from inside Pradeti for a round that starts at once).
    vardai->Rasti(r.Adresas.Hostas, r.Paieska,
                  [this, id, kontekstas](const QString& ip) { PaieskaBaigta(id, kontekstas, ip); });
}

void TApklausa::PaleistiPaieska(TRaundas& r) {
    // The lookup may still be calling back into us: its context goes later.
    if (r.Paieska)
        r.Paieska->deleteLater();
    r.Paieska = nullptr;
}

void TApklausa::PaieskaBaigta(TId id, const QObject* kontekstas, const QString& ip) {
    TRaundas* r = Rasti(id);
    if (!r || r->Busena != TBusena::Ieskoma || r->Paieska != kontekstas)
        return;
    PaleistiPaieska(*r);
    qCDebug(ApklausosZurnalas) << "name" << r->Adresas.Hostas << "resolved to"
                               << (ip.isEmpty() ? QStringLiteral("nothing") : ip);
    if (const std::optional<quint32> a = TaskuotasAdresas(ip); a && *a != 0) {
        Isspresta(*r, *a);
        Vykdyti();
        return;
    }
    if (r->Paieskos == 1) {
        // The round's starter (or the endpoint's owner) hears of the bad name
        // and may have it looked up once more.
        bool handled = false;
        QPointer<TApklausa> gyvas(this);
        if (r->Nustatymai.NerastasHostas) {
            if (r->Kontekstas) {
                const auto nerastas = r->Nustatymai.NerastasHostas;
                nerastas(handled);
            }
        } else if (galas->OnInvalidHost) {
            galas->OnInvalidHost(handled);
        }
        if (!gyvas)
            return;
        r = Rasti(id);
        if (!r || r->Busena != TBusena::Ieskoma)
            return;
        if (handled) {
            Ieskoti(*r);
            return;
        }
    }
    Nepavyko(*r);
    Vykdyti();
}

void TApklausa::Gauta(int, const QString& is, int portas) {
    const QHostAddress siuntejas(is);
    QList<TId> kam;
    for (const auto& [id, r] : raundai)
        if (r.Busena == TBusena::Vyksta && r.Ip && QHostAddress(*r.Ip) == siuntejas && r.Adresas.Portas == portas)
            kam.append(id);
    if (kam.isEmpty()) {
        // Nobody asked that address: a LAN server's answer to the search, or nothing.
        if (kitas.Klauso && kitas.Gauta && kitas.Klauso(quint16(portas))) {
            TAtminiesSrautas srautas;
            galas->CopyReceivedToStream(srautas);
            kitas.Gauta(siuntejas, quint16(portas), srautas.Duomenys());
        }
        return;
    }
    TAtminiesSrautas srautas;
    galas->CopyReceivedToStream(srautas);
    const QByteArray datagrama = srautas.Duomenys();
    QPointer<TApklausa> gyvas(this);
    for (const TId id : kam) {
        TRaundas* r = Rasti(id);
        if (!r || r->Busena != TBusena::Vyksta)
            continue;
        // A round whose window takes nothing now does not see the datagram at
        // all: what comes later is still its first reply of each kind.
        if (r->Nustatymai.Priima && (!r->Kontekstas || !r->Nustatymai.Priima(id)))
            continue;
        if (laikrodis() - r->Pradzia >= r->Nustatymai.LaukimoRibaMs) {
            Uzbaigti(id, true); // the wait was over before the reply came
            continue;
        }
        const TSesijosAtsakymas a = r->Sesija->Gauta(siuntejas, quint16(portas), datagrama);
        if (a.Rusis != TAtsakymoRusis::Nieko || a.PingoMs) {
            // Before the window hears it: its callback may end the round.
            Kaupti(r->Santrauka, a);
            const QPointer<QObject> kontekstas = r->Kontekstas;
            const auto atsakymas = r->Nustatymai.Atsakymas;
            if (kontekstas && atsakymas)
                atsakymas(id, a);
        }
        if (!gyvas)
            return;
    }
    Vykdyti();
}

void TApklausa::Kaupti(TRaundoSantrauka& s, const TSesijosAtsakymas& a) {
    if (a.PingoMs && !s.PingoMs)
        s.PingoMs = a.PingoMs;
    switch (a.Rusis) {
    case TAtsakymoRusis::Detales:
        // An info reply after a 'm' is passed on too, and wins, as on the scoreboard.
        s.Zaidejai = int(a.Detales.Zaidejai);
        s.MaxZaideju = int(a.Detales.MaxZaideju);
        s.Pavadinimas = a.Detales.Info.Pavadinimas;
        s.Zemelapis = a.Detales.Info.Zemelapis;
        s.Protokolas = a.Detales.Protokolas;
        if (a.Botai)
            s.Botai = *a.Botai;
        if (a.Info)
            s.AppId = a.Info->AppId;
        break;
    case TAtsakymoRusis::Zaidejai: {
        QList<QByteArray> vardai;
        vardai.reserve(a.Zaidejai.size());
        s.Laikai.clear();
        for (const TZaidejoInfo& z : a.Zaidejai) {
            vardai.append(z.Zaidejas.Vardas);
            s.Laikai.append(z.Zaidejas.Laikas);
        }
        s.Vardai = std::move(vardai);
        break;
    }
    default:
        break;
    }
}

void TApklausa::Planuoti() {
    if (raundai.empty() && pranesimai.isEmpty()) {
        laikmatis->stop();
        return;
    }
    if (!pranesimai.isEmpty()) {
        laikmatis->start(0);
        return;
    }
    const qint64 dabar = laikrodis();
    qint64 kada = dabar + kDidziausiasMiegasMs;
    const auto anksciau = [&kada](qint64 t) {
        kada = qMin(kada, t);
    };
    bool eileje[2] = {false, false};
    int vykdomi[2] = {0, 0};
    for (const auto& [id, r] : raundai) {
        if (r.Busena != TBusena::Eileje)
            ++vykdomi[ArNarsykles(r)];
        switch (r.Busena) {
        case TBusena::Eileje:
            eileje[ArNarsykles(r)] = true;
            break;
        case TBusena::Laukia:
            anksciau(biudzetas->KadaLaisva(r.Raktas, dabar,
                                           qMin(r.Sesija->RaundoDydis(r.Raktas), TUzklausuBiudzetas::kDaugiausia)));
            break;
        case TBusena::Vyksta:
            if (r.Sesija->ArAtsakyta())
                anksciau(dabar);
            if (const std::optional<qint64> t = r.Sesija->Terminas())
                anksciau(qMax(*t, dabar));
            anksciau(r.Pradzia + r.Nustatymai.LaukimoRibaMs);
            break;
        case TBusena::Ieskoma:
        case TBusena::Nepavyko:
            anksciau(r.Pradzia + r.Nustatymai.LaukimoRibaMs);
            break;
        }
    }
    if (eileje[1] && vykdomi[1] < kDaugiausiaNarsykles)
        anksciau(dabar);
    // Past its pause the lane's timer calls the step itself.
    if (eileje[0] && vykdomi[0] < kDaugiausiaVienuMetu && !tarpas->isActive())
        anksciau(dabar);
    laikmatis->start(int(qBound<qint64>(0, kada - dabar, qint64(kDidziausiasMiegasMs))));
}
