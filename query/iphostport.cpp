#include "iphostport.h"

#include <arpa/inet.h>

#include <memory>
#include <utility>

#include <QHostAddress>
#include <QTimer>

#include "Skaiciai.h"

TAdresoDalys AtskirtiPorta(const QString& adresas) {
    const qsizetype dvitaskis = adresas.indexOf(u':');
    if (dvitaskis < 0)
        return {adresas, QString::fromLatin1(kNumatytasPortas)};
    TAdresoDalys dalys;
    dalys.Hostas = ApkarpytiTarpus(adresas.left(dvitaskis));
    dalys.Portas = ApkarpytiTarpus(adresas.mid(dvitaskis + 1));
    if (dalys.Portas.isEmpty())
        dalys.Portas = QString::fromLatin1(kNumatytasPortas);
    return dalys;
}

TServerioAdresas SkaitytiAdresa(const QString& tekstas) {
    const TAdresoDalys dalys = AtskirtiPorta(tekstas);
    return {dalys.Hostas, StrToInt(dalys.Portas)};
}

std::optional<TServerioAdresas> BandytiSkaitytiAdresa(const QString& tekstas) {
    const TAdresoDalys dalys = AtskirtiPorta(tekstas);
    int portas = 0;
    if (!BandytiStrToInt(dalys.Portas, portas))
        return std::nullopt;
    return TServerioAdresas{dalys.Hostas, portas};
}

QString IPTekstas(quint32 ip) {
    return QString::asprintf("%u.%u.%u.%u", (ip >> 24) & 0xFF, (ip >> 16) & 0xFF, (ip >> 8) & 0xFF, ip & 0xFF);
}

QString IPTekstas(const QHostAddress& adresas) {
    bool ipv4 = false;
    const quint32 ip = adresas.toIPv4Address(&ipv4);
    return ipv4 ? IPTekstas(ip) : adresas.toString();
}

std::optional<quint32> TaskuotasAdresas(const QString& tekstas) {
    // inet_aton reads exactly what the endpoint sends to, so a host the window
    // shows in dotted form is the address its datagrams went to.
    const QByteArray baitai = tekstas.toLatin1();
    in_addr adresas{};
    if (baitai.isEmpty() || inet_aton(baitai.constData(), &adresas) == 0)
        return std::nullopt;
    return ntohl(adresas.s_addr);
}

namespace {

std::optional<QString> PirmasIPv4(const QHostInfo& info) {
    if (info.error() != QHostInfo::NoError)
        return std::nullopt;
    for (const QHostAddress& a : info.addresses()) {
        bool ipv4 = false;
        const quint32 adresas = a.toIPv4Address(&ipv4);
        if (ipv4)
            return IPTekstas(adresas);
    }
    return std::nullopt;
}

std::optional<QString> RastasVardas(const QHostInfo& info, const QString& ip) {
    // Without a registered name the resolver hands the address back as the name.
    if (info.error() != QHostInfo::NoError || info.hostName().isEmpty() || info.hostName() == ip)
        return std::nullopt;
    return info.hostName();
}

void SistemosPaieska(const QString& tekstas, QObject* kontekstas, TPaieskosPabaiga baigta) {
    QHostInfo::lookupHost(tekstas, kontekstas, [baigta = std::move(baigta)](const QHostInfo& info) { baigta(info); });
}

TPaieska& DabartinePaieska() {
    static TPaieska paieska;
    return paieska;
}

} // namespace

TPaieska NustatytiPaieska(TPaieska nauja) {
    std::swap(DabartinePaieska(), nauja);
    return nauja;
}

void Ieskoti(const QString& tekstas, QObject* kontekstas, TPaieskosPabaiga baigta) {
    // A copy: the seam may be replaced while it runs.
    const TPaieska paieska = DabartinePaieska();
    if (paieska)
        paieska(tekstas, kontekstas, std::move(baigta));
    else
        SistemosPaieska(tekstas, kontekstas, std::move(baigta));
}

// ---- TAdresuPaieska ----

TAdresuPaieska::TAdresuPaieska(QObject* tevas) : QObject(tevas) {}

TAdresuPaieska::~TAdresuPaieska() = default;

std::optional<QString> TAdresuPaieska::IP(const QString& hostas) {
    if (hostas.isEmpty())
        return hostas;
    if (const std::optional<quint32> adresas = TaskuotasAdresas(hostas))
        return IPTekstas(*adresas);
    return Atsakyti(TKryptis::Pirmyn, hostas);
}

std::optional<QString> TAdresuPaieska::Vardas(const QString& ip) {
    QHostAddress adresas;
    if (!adresas.setAddress(ip) || adresas.protocol() != QAbstractSocket::IPv4Protocol)
        return ip;
    return Atsakyti(TKryptis::Atgal, ip);
}

void TAdresuPaieska::Rasti(const QString& hostas, QObject* kontekstas, std::function<void(const QString&)> baigta) {
    if (hostas.isEmpty() || TaskuotasAdresas(hostas)) {
        baigta(*IP(hostas));
        return;
    }
    if (const auto it = ipLentele.constFind(hostas); it != ipLentele.cend() && it->ArYra && it->ArPavyko) {
        const QString atsakymas = it->Atsakymas;
        if (it->Amzius.elapsed() >= galiojimas)
            Pradeti(TKryptis::Pirmyn, hostas); // the older answer serves until the new one comes
        baigta(atsakymas);
        return;
    }
    if (!ipLentele.contains(hostas))
        Apriboti(ipLentele);
    ipLentele[hostas].Laukiantys.append({kontekstas, std::move(baigta)});
    Pradeti(TKryptis::Pirmyn, hostas);
}

int TAdresuPaieska::Vykdomos() const {
    int kiek = 0;
    for (const QHash<QString, TIrasas>* lentele : {&ipLentele, &vardai})
        for (const TIrasas& irasas : *lentele)
            kiek += irasas.Vyksta ? 1 : 0;
    return kiek;
}

std::optional<QString> TAdresuPaieska::Atsakyti(TKryptis kryptis, const QString& tekstas) {
    QHash<QString, TIrasas>& lentele = Lentele(kryptis);
    const auto it = lentele.constFind(tekstas);
    if (it == lentele.cend() || !it->ArYra) {
        Pradeti(kryptis, tekstas);
        return std::nullopt;
    }
    const qint64 riba = it->ArPavyko ? galiojimas : galiojimas / 10;
    if (it->Amzius.elapsed() >= riba)
        Pradeti(kryptis, tekstas); // the older answer serves until the new one comes
    return it->Atsakymas;
}

void TAdresuPaieska::Pradeti(TKryptis kryptis, const QString& tekstas) {
    QHash<QString, TIrasas>& lentele = Lentele(kryptis);
    if (!lentele.contains(tekstas))
        Apriboti(lentele);
    TIrasas& irasas = lentele[tekstas];
    if (irasas.Vyksta)
        return;
    // One context object per lookup: deleting it drops the lookup's late answer
    // and its time limit together.
    QObject* kontekstas = new QObject(this);
    irasas.Vyksta = kontekstas;
    QTimer::singleShot(laikoRiba, kontekstas, [this, kryptis, tekstas, kontekstas] {
        Baigti(kryptis, tekstas, kontekstas, std::nullopt, false);
    });
    // A seam that answers at once does so inside this call: the answer is
    // kept (and Rasti's callers told) at once, the signal comes from the
    // event loop, so that none comes out of IP() or Vardas().
    const auto viduje = std::make_shared<bool>(true);
    Ieskoti(tekstas, kontekstas, [this, kryptis, tekstas, kontekstas, viduje](const QHostInfo& info) {
        Baigti(kryptis, tekstas, kontekstas, info, *viduje);
    });
    *viduje = false;
}

void TAdresuPaieska::Baigti(TKryptis kryptis, const QString& tekstas, QObject* kontekstas,
                            const std::optional<QHostInfo>& info, bool atideti) {
    QHash<QString, TIrasas>& lentele = Lentele(kryptis);
    const auto it = lentele.find(tekstas);
    if (it == lentele.end() || it->Vyksta != kontekstas)
        return;
    it->Vyksta = nullptr;
    kontekstas->deleteLater();

    std::optional<QString> atsakymas;
    if (info)
        atsakymas = kryptis == TKryptis::Pirmyn ? PirmasIPv4(*info) : RastasVardas(*info, tekstas);
    if (atsakymas) {
        it->Atsakymas = *atsakymas;
        it->ArPavyko = true;
    } else if (!(it->ArYra && it->ArPavyko)) {
        // A failed refresh keeps the answer it had; otherwise the text stands for itself.
        it->Atsakymas = tekstas;
        it->ArPavyko = false;
    }
    it->ArYra = true;
    it->Amzius.start();
    const QString rastas = it->Atsakymas;
    const QList<TLaukiantis> laukiantys = std::exchange(it->Laukiantys, {});
    const auto pranesti = [this, kryptis, tekstas, rastas] {
        if (kryptis == TKryptis::Pirmyn)
            Q_EMIT IPRastas(tekstas, rastas);
        else
            Q_EMIT VardasRastas(tekstas, rastas);
    };
    QPointer<TAdresuPaieska> gyvas(this);
    if (atideti)
        QTimer::singleShot(0, this, pranesti);
    else
        pranesti();
    // The entry is not touched again: a caller may start lookups of its own.
    for (const TLaukiantis& l : laukiantys)
        if (gyvas && l.Kontekstas)
            l.Baigta(rastas);
}

void TAdresuPaieska::Apriboti(QHash<QString, TIrasas>& lentele) {
    // Room for one more: the answer kept longest goes (running lookups stay).
    while (lentele.size() >= kDidziausiasIrasu) {
        auto seniausias = lentele.end();
        for (auto it = lentele.begin(); it != lentele.end(); ++it) {
            if (it->Vyksta || !it->ArYra)
                continue;
            if (seniausias == lentele.end() || it->Amzius.elapsed() > seniausias->Amzius.elapsed())
                seniausias = it;
        }
        if (seniausias == lentele.end())
            return;
        lentele.erase(seniausias);
    }
}
