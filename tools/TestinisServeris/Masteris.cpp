#include "Masteris.h"

#include <cctype>
#include <optional>

#include <QNetworkDatagram>
#include <QPointer>
#include <QTimer>
#include <QUdpSocket>
#include <QtEndian>

using namespace Qt::StringLiterals;

namespace {

constexpr quint32 kFakeIpTinklas = 0xA9FE0000;    // 169.254.0.0/16
constexpr quint32 kIsgalvotuTinklas = 0x0A000000; // 10.0.0.0/8, the made-up entries of Begalinis
constexpr quint16 kIsgalvotuPrievadas = 27015;

struct TUzklausa {
    quint32 Ip = 0;
    quint16 Prievadas = 0;
    QList<QPair<QByteArray, QByteArray>> Info;

    std::optional<QByteArray> Reiksme(const QByteArray& raktas) const {
        for (const auto& [k, v] : Info)
            if (k.compare(raktas, Qt::CaseInsensitive) == 0)
                return v;
        return std::nullopt;
    }
};

// A decimal number of 1 to 5 digits at most `iki`.
std::optional<quint32> Skaicius(QByteArrayView tekstas, quint32 iki) {
    if (tekstas.isEmpty() || tekstas.size() > 5)
        return std::nullopt;
    quint32 n = 0;
    for (const char c : tekstas) {
        if (c < '0' || c > '9')
            return std::nullopt;
        n = n * 10 + quint32(c - '0');
    }
    if (n > iki)
        return std::nullopt;
    return n;
}

// "a.b.c.d:port", nothing more.
bool SkaitytiAdresa(QByteArrayView tekstas, quint32& ip, quint16& prievadas) {
    const qsizetype dvitaskis = tekstas.indexOf(':');
    if (dvitaskis < 0)
        return false;
    const std::optional<quint32> p = Skaicius(tekstas.sliced(dvitaskis + 1), 65535);
    if (!p)
        return false;
    const QList<QByteArray> dalys = tekstas.first(dvitaskis).toByteArray().split('.');
    if (dalys.size() != 4)
        return false;
    quint32 adresas = 0;
    for (const QByteArray& d : dalys) {
        const std::optional<quint32> baitas = Skaicius(d, 255);
        if (!baitas || d.size() > 3)
            return false;
        adresas = (adresas << 8) | *baitas;
    }
    ip = adresas;
    prievadas = quint16(*p);
    return true;
}

// '1', the region, the address and its zero byte, the info string and its
// zero byte, which ends the datagram.
std::optional<TUzklausa> SkaitytiUzklausa(const QByteArray& d) {
    if (d.size() < 2 || d.at(0) != '1')
        return std::nullopt;
    const qsizetype adresoGalas = d.indexOf('\0', 2);
    if (adresoGalas < 0)
        return std::nullopt;
    TUzklausa u;
    if (!SkaitytiAdresa(QByteArrayView(d).sliced(2, adresoGalas - 2), u.Ip, u.Prievadas))
        return std::nullopt;
    const qsizetype infoGalas = d.indexOf('\0', adresoGalas + 1);
    if (infoGalas != d.size() - 1)
        return std::nullopt;
    const QByteArray info = d.sliced(adresoGalas + 1, infoGalas - adresoGalas - 1);
    if (!info.isEmpty() && !info.startsWith('\\'))
        return std::nullopt;
    // "\key\value\key\value": the text before the first backslash is nothing.
    const QList<QByteArray> dalys = info.split('\\');
    for (qsizetype i = 1; i + 1 < dalys.size(); i += 2)
        u.Info.append({dalys.at(i), dalys.at(i + 1)});
    return u;
}

// The "\key\" of a Xash3D query: exactly 8 hex digits.
std::optional<quint32> Raktas(const TUzklausa& u) {
    const std::optional<QByteArray> tekstas = u.Reiksme("key");
    if (!tekstas || tekstas->size() != 8)
        return std::nullopt;
    for (const char c : *tekstas)
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
    bool gerai = false;
    const quint32 raktas = tekstas->toUInt(&gerai, 16);
    if (!gerai)
        return std::nullopt;
    return raktas;
}

void PridetiIrasa(QByteArray& atsakymas, quint32 ip, quint16 prievadas) {
    char baitai[6];
    qToBigEndian(ip, baitai);
    qToBigEndian(prievadas, baitai + 4);
    atsakymas.append(baitai, sizeof(baitai));
}

} // namespace

TTestinisMasteris::TTestinisMasteris(TMasterioRusis rusis, QObject* tevas) : QObject(tevas), rusis(rusis) {}

TTestinisMasteris::~TTestinisMasteris() = default;

bool TTestinisMasteris::Paleisti(const QHostAddress& adresas, quint16 prievadas) {
    delete lizdas;
    lizdas = nullptr;
    klaida.clear();
    if (adresas.protocol() != QAbstractSocket::IPv4Protocol) {
        klaida = u"the master lists IPv4 servers and binds an IPv4 address, not %1"_s.arg(adresas.toString());
        return false;
    }
    lizdas = new QUdpSocket(this);
    if (!lizdas->bind(adresas, prievadas)) {
        klaida =
            u"cannot bind the master on %1:%2: %3"_s.arg(adresas.toString()).arg(prievadas).arg(lizdas->errorString());
        delete lizdas;
        lizdas = nullptr;
        return false;
    }
    connect(lizdas, &QUdpSocket::readyRead, this, &TTestinisMasteris::SkaitytiDatagramas);
    return true;
}

quint16 TTestinisMasteris::Prievadas() const {
    return lizdas ? lizdas->localPort() : 0;
}

void TTestinisMasteris::NustatytiIrasus(const QList<TSarasoIrasas>& nauji) {
    irasai.clear();
    for (const TSarasoIrasas& s : nauji) {
        const qsizetype dvitaskis = s.Adresas.lastIndexOf(u':');
        bool gerai = false;
        const quint32 ip = QHostAddress(s.Adresas.left(dvitaskis)).toIPv4Address(&gerai);
        const uint prievadas = s.Adresas.mid(dvitaskis + 1).toUInt();
        if (dvitaskis < 0 || !gerai || prievadas > 65535 || (ip & 0xFFFF0000) == kFakeIpTinklas)
            continue;
        irasai.append({ip, quint16(prievadas), QString::fromUtf8(s.Turinys.Detales.Info.Katalogas)});
    }
}

void TTestinisMasteris::NustatytiPuslapioDydi(int n) {
    puslapioDydis = qBound(1, n, kNumatytasPuslapis);
}

QByteArray TTestinisMasteris::Atsakymas(const QByteArray& uzklausa) const {
    const std::optional<TUzklausa> u = SkaitytiUzklausa(uzklausa);
    if (!u)
        return {};
    QByteArray atsakymas("\xFF\xFF\xFF\xFF\x66", 5);
    if (rusis == TMasterioRusis::Xash) {
        std::optional<quint32> raktas = Raktas(*u);
        if (!raktas)
            return {};
        if (elgsena.KitasRaktas)
            ++*raktas;
        char baitai[4];
        qToLittleEndian(*raktas, baitai);
        atsakymas.append('\xFF');
        atsakymas.append(baitai, sizeof(baitai));
        atsakymas.append('\0');
    } else {
        atsakymas.append('\x0A');
    }

    QList<const TIrasas*> sarasas;
    const std::optional<QByteArray> katalogas = u->Reiksme("gamedir");
    for (const TIrasas& s : irasai)
        if (!katalogas || katalogas->isEmpty() ||
            s.Katalogas.compare(QString::fromUtf8(*katalogas), Qt::CaseInsensitive) == 0)
            sarasas.append(&s);
    const qsizetype tikri = sarasas.size();

    // The page starts after the query's last address; a made-up one of
    // Begalinis (10.x.y.z:27015, not in the list) tells its own place.
    qsizetype pradzia = 0;
    if (!elgsena.KartotiPirmaPuslapi) {
        bool rasta = false;
        for (qsizetype i = 0; i < tikri && !rasta; ++i) {
            if (sarasas.at(i)->Ip == u->Ip && sarasas.at(i)->Prievadas == u->Prievadas) {
                pradzia = i + 1;
                rasta = true;
            }
        }
        if (!rasta && elgsena.Begalinis && (u->Ip & 0xFF000000) == kIsgalvotuTinklas &&
            u->Prievadas == kIsgalvotuPrievadas)
            pradzia = tikri + qsizetype(u->Ip & 0x00FFFFFF);
    }
    const bool baigtinis = !elgsena.Begalinis && !elgsena.KartotiPirmaPuslapi;
    const qsizetype galas = elgsena.Begalinis ? pradzia + puslapioDydis : qMin(pradzia + puslapioDydis, tikri);
    for (qsizetype i = pradzia; i < galas; ++i) {
        if (i < tikri)
            PridetiIrasa(atsakymas, sarasas.at(i)->Ip, sarasas.at(i)->Prievadas);
        else // the made-up entries count from 10.0.0.1
            PridetiIrasa(atsakymas, kIsgalvotuTinklas | (quint32(i - tikri + 1) & 0x00FFFFFF), kIsgalvotuPrievadas);
    }
    if (baigtinis && galas >= tikri)
        PridetiIrasa(atsakymas, 0, 0);
    return atsakymas;
}

void TTestinisMasteris::SkaitytiDatagramas() {
    while (lizdas && lizdas->hasPendingDatagrams()) {
        const QNetworkDatagram d = lizdas->receiveDatagram();
        paskutine = d.data();
        const bool tinkama = SkaitytiUzklausa(paskutine).has_value();
        if (tinkama)
            ++uzklausos;
        else
            ++netinkamos;
        Q_EMIT UzklausaGauta(int(paskutine.size()), tinkama, d.senderAddress(), quint16(d.senderPort()));
        if (!tinkama || elgsena.Tyleti)
            continue;
        const QByteArray atsakymas = Atsakymas(paskutine);
        if (atsakymas.isEmpty())
            continue;
        const QHostAddress kam = d.senderAddress();
        const quint16 kuriuo = quint16(d.senderPort());
        if (elgsena.DelsaMs <= 0) {
            lizdas->writeDatagram(atsakymas, kam, kuriuo);
            continue;
        }
        // A socket bound again meanwhile sends nothing of the old one's.
        QTimer::singleShot(elgsena.DelsaMs, this, [this, senas = QPointer<QUdpSocket>(lizdas), atsakymas, kam, kuriuo] {
            if (senas && senas == lizdas)
                lizdas->writeDatagram(atsakymas, kam, kuriuo);
        });
    }
}
