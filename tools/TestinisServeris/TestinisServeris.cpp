#include "TestinisServeris.h"

#include <QNetworkDatagram>
#include <QTimer>
#include <QUdpSocket>

#include "AtsakymuKurejas.h"

using namespace Qt::StringLiterals;

std::optional<QByteArray> UzklausosZodis(const QByteArray& datagrama) {
    if (datagrama.size() < 5 || !datagrama.startsWith(QByteArrayView("\xFF\xFF\xFF\xFF", 4)))
        return std::nullopt;
    const QByteArray likutis = datagrama.mid(4);
    const qsizetype nulis = likutis.indexOf('\0');
    const QByteArray zodis = nulis < 0 ? likutis : likutis.left(nulis);
    if (zodis.isEmpty())
        return std::nullopt;
    return zodis;
}

TTestinisServeris::TTestinisServeris(QObject* tevas) : QObject(tevas) {}

TTestinisServeris::~TTestinisServeris() = default;

bool TTestinisServeris::Paleisti(const QHostAddress& adresas, quint16 prievadas) {
    Sustabdyti();
    klaida.clear();
    lizdas = new QUdpSocket(this);
    kitasLizdas = new QUdpSocket(this);
    if (!lizdas->bind(adresas, prievadas)) {
        klaida = u"cannot bind %1:%2: %3"_s.arg(adresas.toString()).arg(prievadas).arg(lizdas->errorString());
        Sustabdyti();
        return false;
    }
    if (!kitasLizdas->bind(adresas, 0)) {
        klaida = u"cannot bind the reply socket on %1: %2"_s.arg(adresas.toString(), kitasLizdas->errorString());
        Sustabdyti();
        return false;
    }
    connect(lizdas, &QUdpSocket::readyRead, this, &TTestinisServeris::SkaitytiDatagramas);
    // Requests that reach the second socket are read and dropped, so they
    // never pile up in its buffer.
    connect(kitasLizdas, &QUdpSocket::readyRead, kitasLizdas, [s = kitasLizdas] {
        while (s->hasPendingDatagrams())
            s->receiveDatagram(0);
    });
    return true;
}

void TTestinisServeris::Sustabdyti() {
    delete lizdas;
    lizdas = nullptr;
    delete kitasLizdas;
    kitasLizdas = nullptr;
}

bool TTestinisServeris::Veikia() const {
    return lizdas && lizdas->state() == QAbstractSocket::BoundState;
}

QHostAddress TTestinisServeris::Adresas() const {
    return lizdas ? lizdas->localAddress() : QHostAddress();
}

quint16 TTestinisServeris::Prievadas() const {
    return lizdas ? lizdas->localPort() : 0;
}

quint16 TTestinisServeris::KitasPrievadas() const {
    return kitasLizdas ? kitasLizdas->localPort() : 0;
}

void TTestinisServeris::NustatytiTurini(const TServerioTurinys& naujas) {
    turinys = naujas;
}

void TTestinisServeris::NustatytiElgsena(const TServerioElgsena& nauja) {
    elgsena = nauja;
}

void TTestinisServeris::IsvalytiSkaitiklius() {
    uzklausos.clear();
    atmesti = 0;
    issiusti = 0;
}

std::optional<QByteArray> TTestinisServeris::IprastasAtsakymas(const QByteArray& zodis) const {
    if (zodis == kPing)
        return KurtiPingoAtsakyma();
    if (zodis == kPlayers)
        return KurtiZaidejuAtsakyma(turinys.Zaidejai);
    if (zodis == kRules)
        return KurtiTaisykliuAtsakyma(turinys.Taisykles);
    if (zodis == kDetails) {
        TDetales d = turinys.Detales;
        d.Zaidejai = turinys.ZaidejuSkaicius ? *turinys.ZaidejuSkaicius
                                             : static_cast<quint8>(qMin<qsizetype>(turinys.Zaidejai.size(), 255));
        if (d.Info.Adresas.isEmpty())
            d.Info.Adresas = (Adresas().toString() + u':' + QString::number(Prievadas())).toLatin1();
        return KurtiDetaliuAtsakyma(d);
    }
    return std::nullopt;
}

std::optional<QByteArray> TTestinisServeris::Atsakymas(const QByteArray& zodis) const {
    const bool zinomas = zodis == kPing || zodis == kPlayers || zodis == kDetails || zodis == kRules;
    if (elgsena.IgnoruotiPinga && zodis == kPing)
        return std::nullopt;
    switch (elgsena.Budas) {
    case TAtsakymuBudas::Tyla:
        return std::nullopt;
    case TAtsakymuBudas::Banas:
        return KurtiBanoAtsakyma();
    case TAtsakymuBudas::Tekstas:
        return KurtiTekstoAtsakyma(elgsena.PirmasTekstas, elgsena.AntrasTekstas);
    case TAtsakymuBudas::NezinomasTipas:
        return KurtiAtsakyma(elgsena.NezinomasTipas, QByteArray(1, '\0'));
    case TAtsakymuBudas::Iprastas:
        break;
    }
    if (!zinomas)
        return std::nullopt;
    if (zodis == kPlayers && elgsena.ZaidejuAtsakymoDydis > 0)
        return KurtiIsplestaZaidejuAtsakyma(turinys.Zaidejai, elgsena.ZaidejuAtsakymoDydis);
    return IprastasAtsakymas(zodis);
}

void TTestinisServeris::SkaitytiDatagramas() {
    while (lizdas && lizdas->hasPendingDatagrams()) {
        const QNetworkDatagram datagrama = lizdas->receiveDatagram();
        if (!datagrama.isValid())
            continue;
        Apdoroti(datagrama.data(), datagrama.senderAddress(), static_cast<quint16>(datagrama.senderPort()));
    }
}

void TTestinisServeris::Apdoroti(const QByteArray& datagrama, const QHostAddress& siuntejas, quint16 prievadas) {
    const std::optional<QByteArray> zodis = UzklausosZodis(datagrama);
    if (!zodis) {
        ++atmesti;
        Q_EMIT DatagramaAtmesta(static_cast<int>(datagrama.size()));
        return;
    }
    const TGautaUzklausa uzklausa{*zodis, static_cast<int>(datagrama.size()), siuntejas, prievadas};
    uzklausos.append(uzklausa);
    Q_EMIT UzklausaGauta(uzklausa);

    const std::optional<QByteArray> atsakymas = Atsakymas(*zodis);
    if (!atsakymas)
        return;
    int kartai = 1;
    if (elgsena.DvigubiAtsakymai != 0) {
        kartai = 2;
        if (elgsena.DvigubiAtsakymai > 0)
            --elgsena.DvigubiAtsakymai;
    }
    if (elgsena.DelsaMs <= 0) {
        Siusti(*atsakymas, siuntejas, prievadas, kartai);
        return;
    }
    // The reply is the one for the content at arrival; a precise timer never
    // fires before the delay has passed.
    QTimer::singleShot(elgsena.DelsaMs, Qt::PreciseTimer, this, [this, a = *atsakymas, siuntejas, prievadas, kartai] {
        Siusti(a, siuntejas, prievadas, kartai);
    });
}

void TTestinisServeris::Siusti(const QByteArray& atsakymas, const QHostAddress& kam, quint16 prievadas, int kartai) {
    QUdpSocket* is = elgsena.AtsakytiIsKitoPrievado ? kitasLizdas : lizdas;
    if (!is)
        return;
    for (int i = 0; i < kartai; ++i) {
        if (is->writeDatagram(atsakymas, kam, prievadas) != atsakymas.size())
            continue;
        ++issiusti;
        Q_EMIT AtsakymasIssiustas(atsakymas, is->localPort());
    }
}
