#include "ServerioLangas.h"

#include <algorithm>

#include <QTimer>
#include <QWidget>

#include "AtminiesSrautas.h"
#include "Laikrodis.h"
#include "NMUDP.h"
#include "Stebetojas.h"
#include "TybINI.h"
#include "cstrike.h"

using namespace Qt::StringLiterals;

TServerioLangas::TServerioLangas(QWidget* langas, TPrasymai prasymai)
    : Sesija(prasymai, nullptr, &DabarMs), langas(langas), tinkloPranesimai(langas) {
    NMUDP1 = new TNMUDP(langas);
    NMUDP1->setObjectName(u"NMUDP1"_s);
    NMUDP1->setRemoteHost(u"127.0.0.1"_s);
    NMUDP1->setRemotePort(27015);
    NMUDP1->setLocalPort(27035);
    NMUDP1->setReportLevel(2);
    // The endpoint's OnDataSend and OnStatus stay empty: no window shows them.
    // OnStreamInvalid is not assigned either, as nothing raises it.
    NMUDP1->OnDataReceived = [this](QObject* sender, int kiekis, const QString& is, int portas) {
        Apsaugota(this->langas, [&] { NMUDP1DataReceived(sender, kiekis, is, portas); });
    };
    NMUDP1->OnInvalidHost = [this](bool& handled) {
        Apsaugota(this->langas, [&] { NMUDP1InvalidHost(handled); });
    };
    NMUDP1->OnBufferInvalid = [this](bool& handled, QByteArray& buff, int& length) {
        Apsaugota(this->langas, [&] { NMUDP1BufferInvalid(handled, buff, length); });
    };
    // The session's deadline (the Steam queries after a silent legacy round).
    tmrSesija = new QTimer(langas);
    tmrSesija->setObjectName(u"tmrSesija"_s);
    tmrSesija->setSingleShot(true);
    tmrSesija->setTimerType(Qt::PreciseTimer);
    QObject::connect(tmrSesija, &QTimer::timeout, langas,
                     [this] { Apsaugota(this->langas, [this] { tmrSesijaTimer(); }); });
}

TServerioLangas::~TServerioLangas() {
    // The endpoint outlives this part of the window (it is a child of the
    // QWidget part): nothing may call back into it any more.
    NMUDP1->OnDataReceived = nullptr;
    NMUDP1->OnInvalidHost = nullptr;
    NMUDP1->OnBufferInvalid = nullptr;
}

bool TServerioLangas::SiustiRaunda(const QString& hostas, int portas, int lygis) {
    NMUDP1->setRemoteHost(hostas);
    NMUDP1->setRemotePort(portas);
    NMUDP1->setReportLevel(lygis);
    const bool issiusta = Siusti(Sesija.PradetiRaunda(hostas + u':' + QString::number(portas)));
    PlanuotiSesija();
    return issiusta;
}

void TServerioLangas::BaigtiRaunda() {
    Sesija.BaigtiRaunda();
    tmrSesija->stop();
}

bool TServerioLangas::Siusti(const QList<QByteArray>& datagramos) {
    try {
        for (const QByteArray& d : datagramos)
            NMUDP1->SendDatagram(d);
    } catch (const EKlaida&) {
        return false;
    }
    return true;
}

void TServerioLangas::PlanuotiSesija() {
    const std::optional<qint64> terminas = Sesija.Terminas();
    if (!terminas) {
        tmrSesija->stop();
        return;
    }
    tmrSesija->start(int(std::clamp<qint64>(*terminas - DabarMs(), 0, 60000)));
}

void TServerioLangas::tmrSesijaTimer() {
    // A clock that has not reached the deadline yet (the timer fires a little
    // early, or a test holds the clock) asks again a little later.
    if (DabarMs() < Sesija.Terminas().value_or(0)) {
        tmrSesija->start(qMax(1, int(*Sesija.Terminas() - DabarMs())));
        return;
    }
    Siusti(Sesija.Tikrinti());
    PlanuotiSesija();
}

void TServerioLangas::NMUDP1DataReceived(QObject*, int, const QString& FromIP, int Port) {
    // Only the server the window asked may answer it: anyone else on the
    // network could otherwise write into the window or open message boxes.
    if (FromIP != NMUDP1->PaskutinisAdresas().toString() || Port != NMUDP1->PaskutinisPortas())
        return;
    if (ArIgnoruojaAtsakymus())
        return;
    // The session counts a too long datagram by its size alone.
    TAtminiesSrautas srautas;
    NMUDP1->CopyReceivedToStream(srautas);
    const TSesijosAtsakymas atsakymas =
        Sesija.Gauta(NMUDP1->PaskutinisAdresas(), NMUDP1->PaskutinisPortas(), srautas.Duomenys());
    if (!atsakymas.Siusti.isEmpty())
        Siusti(atsakymas.Siusti);
    PlanuotiSesija();
    if (atsakymas.Rusis == TAtsakymoRusis::PerDidelis) {
        RodytiTinkloPranesima(QString::number(atsakymas.Dydis) + KalbosTekstas("Pranesimai", "BaituGavau"));
        return;
    }
    ApdorotiAtsakyma(atsakymas);
}

void TServerioLangas::NMUDP1InvalidHost(bool& handled) {
    RodytiPranesima(langas, KalbosTekstas("Pranesimai", "BlogasServeris"));
    handled = true;
}

void TServerioLangas::NMUDP1BufferInvalid(bool&, QByteArray&, int&) {
    RodytiPranesima(langas, KalbosTekstas("Pranesimai", "BlogasBuferis"));
}

QTimer* TServerioLangas::SukurtiPingoLaikmati() {
    auto* t = new QTimer(langas);
    t->setObjectName(u"tmrPingas"_s);
    t->setTimerType(Qt::PreciseTimer);
    t->setInterval(1);
    return t;
}

bool TServerioLangas::RodytiTinkloPranesima(const QString& tekstas) {
    const quint64 numeris = NMUDP1->PristatomasNumeris();
    if (numeris > nutildytiNuo && numeris <= nutildytiIki)
        return false;
    if (!tinkloPranesimai.Rodyti(tekstas))
        return false;
    nutildytiNuo = numeris;
    nutildytiIki = NMUDP1->SurinktiLaukiancius();
    return true;
}

void TServerioLangas::PranestiNezinomusDuomenis() {
    RodytiTinkloPranesima(KalbosTekstas("Pranesimai", "NezinomiDuomenys"));
}
