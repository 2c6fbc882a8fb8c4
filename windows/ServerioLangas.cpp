#include "ServerioLangas.h"

#include <QWidget>

#include "Laikrodis.h"
#include "NMUDP.h"
#include "Stebetojas.h"
#include "Tekstas.h"
#include "TybINI.h"
#include "cstrike.h"

using namespace Qt::StringLiterals;

TServerioLangas::TServerioLangas(QWidget* langas, TPrasymai prasymai, TRaundoSantrauka::TSaltinis saltinis)
    : langas(langas), tinkloPranesimai(langas) {
    NMUDP1 = new TNMUDP(langas);
    NMUDP1->setObjectName(u"NMUDP1"_s);
    NMUDP1->setRemoteHost(u"127.0.0.1"_s);
    NMUDP1->setRemotePort(27015);
    NMUDP1->setLocalPort(27035);
    NMUDP1->setReportLevel(2);
    // The endpoint's OnDataSend and OnStatus stay empty: no window shows them.
    // OnStreamInvalid is not assigned either, as nothing raises it. The poller
    // takes OnDataReceived.
    NMUDP1->OnInvalidHost = [this](bool& handled) {
        Apsaugota(this->langas, [&] { NMUDP1InvalidHost(handled); });
    };
    NMUDP1->OnBufferInvalid = [this](bool& handled, QByteArray& buff, int& length) {
        Apsaugota(this->langas, [&] { NMUDP1BufferInvalid(handled, buff, length); });
    };
    Apklausa = new TApklausa(NMUDP1, prasymai, &DabarMs, langas);
    Apklausa->setObjectName(u"Apklausa"_s);
    Apklausa->NustatytiSaltini(saltinis);
    // A reply the window would drop now never reaches the round's session.
    Apklausa->Priima = [this](TApklausa::TId id) {
        return !ArIgnoruojaAtsakymus(id);
    };
    QObject::connect(Apklausa, &TApklausa::Atsakymas, langas, [this](TApklausa::TId id, const TSesijosAtsakymas& a) {
        Apsaugota(this->langas, [&] { Priimti(id, a); });
    });
    QObject::connect(Apklausa, &TApklausa::Baigtas, langas, [this](TApklausa::TId id, bool arAtsake) {
        Apsaugota(this->langas, [&] { ApklausaBaigta(id, arAtsake); });
    });
    QObject::connect(Apklausa, &TApklausa::NepavykoIssiusti, langas,
                     [this](TApklausa::TId id) { Apsaugota(this->langas, [&] { NepavykoIssiusti(id); }); });
}

TServerioLangas::~TServerioLangas() {
    // The endpoint and the poller outlive this part of the window (they are
    // children of the QWidget part): nothing may call back into it any more.
    QObject::disconnect(Apklausa, nullptr, langas, nullptr);
    delete Apklausa;
    NMUDP1->OnInvalidHost = nullptr;
    NMUDP1->OnBufferInvalid = nullptr;
}

TApklausa::TId TServerioLangas::SiustiRaunda(const QString& hostas, int portas, int lygis) {
    NMUDP1->setReportLevel(lygis);
    return Apklausa->Pradeti(hostas, portas);
}

void TServerioLangas::Priimti(TApklausa::TId id, const TSesijosAtsakymas& atsakymas) {
    // What the window drops never reached the round's session (Priima above).
    if (atsakymas.Rusis == TAtsakymoRusis::PerDidelis) {
        RodytiTinkloPranesima(id, QString::number(atsakymas.Dydis) + KalbosTekstas("Pranesimai", "BaituGavau"));
        return;
    }
    ApdorotiAtsakyma(id, atsakymas);
}

void TServerioLangas::NMUDP1InvalidHost(bool& handled) {
    RodytiPranesima(langas, KalbosTekstas("Pranesimai", "BlogasServeris"));
    handled = true;
}

void TServerioLangas::NMUDP1BufferInvalid(bool&, QByteArray&, int&) {
    RodytiPranesima(langas, KalbosTekstas("Pranesimai", "BlogasBuferis"));
}

bool TServerioLangas::RodytiTinkloPranesima(TApklausa::TId id, const QString& tekstas) {
    // A server that answers every round oddly nags once, not every round.
    const QString serveris = Apklausa->Serveris(id);
    const quint64 numeris = NMUDP1->PristatomasNumeris();
    if (const auto i = pranesta.constFind(serveris); i != pranesta.constEnd() && *i != numeris)
        return false;
    if (tinkloPranesimai.Atidarytas())
        return false;
    pranesta.insert(serveris, numeris);
    return tinkloPranesimai.Rodyti(Apkirpti(tekstas, kZinutesRiba));
}

void TServerioLangas::PranestiNezinomusDuomenis(TApklausa::TId id) {
    RodytiTinkloPranesima(id, KalbosTekstas("Pranesimai", "NezinomiDuomenys"));
}
