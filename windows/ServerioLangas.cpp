#include "ServerioLangas.h"

#include <QWidget>

#include "Centras.h"
#include "NMUDP.h"
#include "Kalba.h"
#include "Tekstas.h"
#include "TybINI.h"
#include "cstrike.h"

using namespace Qt::StringLiterals;

TServerioLangas::TServerioLangas(QWidget* langas, TCentras* centras, TPrasymai prasymai,
                                 TRaundoSantrauka::TSaltinis saltinis, const TKalba* kalba)
    : NMUDP1(centras->Galas()), Apklausa(centras->Apklausa()), langas(langas), kalba(kalba), prasymai(prasymai),
      saltinis(saltinis), tinkloPranesimai(langas) {}

QString TServerioLangas::KalbosTekstas(const char* sekcija, const char* raktas) const {
    return kalba ? kalba->Tekstas(sekcija, raktas) : QStringLiteral("###1");
}

TServerioLangas::~TServerioLangas() {
    // The hub outlives the window: none of its rounds may call back into it.
    Apklausa->BaigtiVisus(langas);
}

TApklausa::TId TServerioLangas::SiustiRaunda(const TServerioAdresas& adresas) {
    TApklausa::TRaundoNustatymai n(prasymai, saltinis, langas);
    n.Atsakymas = [this](TApklausa::TId id, const TSesijosAtsakymas& a) {
        Apsaugota(langas, [&] { Priimti(id, a); });
    };
    n.Baigtas = [this](TApklausa::TId id, bool arAtsake) {
        Apsaugota(langas, [&] { ApklausaBaigta(id, arAtsake); });
    };
    n.Nepavyko = [this](TApklausa::TId id) {
        Apsaugota(langas, [&] { NepavykoIssiusti(id); });
    };
    // A reply the window would drop now never reaches the round's session.
    n.Priima = [this](TApklausa::TId id) {
        return !ArIgnoruojaAtsakymus(id);
    };
    n.NerastasHostas = [this](bool& handled) {
        Apsaugota(langas, [&] { NMUDP1InvalidHost(handled); });
    };
    return Apklausa->Pradeti(adresas, std::move(n));
}

int TServerioLangas::Tarpas(const TServerioAdresas& adresas, int norimasMs) const {
    return Apklausa->Tarpas(adresas, prasymai, norimasMs);
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

bool TServerioLangas::RodytiTinkloPranesima(TApklausa::TId id, const QString& tekstas) {
    // A server that answers every round oddly nags once, not every round.
    const TServerioAdresas serveris = Apklausa->Serveris(id);
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
