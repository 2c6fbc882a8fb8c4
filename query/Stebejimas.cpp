#include "Stebejimas.h"

#include <algorithm>

#include <QTimer>

#include "Klaidos.h"
#include "Laikmatis.h"
#include "Skaiciai.h"

using namespace Qt::StringLiterals;

TStebejimas::TStebejimas(TApklausa* apklausa, QObject* tevas) : QObject(tevas), apklausa(apklausa) {
    setObjectName(u"Stebejimas"_s);
    atnaujinimas = SukurtiLaikmati(this, "tmrAtnaujinimas", kNumatytasIntervalas);
    connect(atnaujinimas, &QTimer::timeout, this, &TStebejimas::Atnaujinti);
    // The poller keeps the round's clock and says when it runs out; this
    // timer only mirrors the wait.
    pingas = new QTimer(this);
    pingas->setObjectName(u"tmrPingas"_s);
    pingas->setTimerType(Qt::PreciseTimer);
    pingas->setInterval(1);
    connect(pingas, &QTimer::timeout, this,
            [this] { pingoLaikas = int(qMin<qint64>(this->apklausa->Praejo(raundas), TApklausa::kLaukimoRibaMs)); });
}

TStebejimas::~TStebejimas() {
    // The hub outlives the watch: none of its rounds may call back into it.
    apklausa->BaigtiVisus(this);
}

void TStebejimas::NustatytiAdresa(const QString& naujas) {
    adresas = naujas;
    atnaujinimas->setEnabled(false);
}

void TStebejimas::SustabdytiAtnaujinima() {
    atnaujinimas->setEnabled(false);
}

void TStebejimas::TestiAtnaujinima() {
    if (!ApkarpytiTarpus(adresas).isEmpty())
        atnaujinimas->setEnabled(true);
}

bool TStebejimas::ArLaukiaPingo() const {
    return pingas->isActive();
}

void TStebejimas::Stebeti(bool arAtnaujinama) {
    // Another address clears the board at once; the same one keeps what it
    // shows until this round's replies replace it, part by part.
    if (adresas != rodomasAdresas) {
        rodomasAdresas = adresas;
        Q_EMIT Isvalyta();
        Q_EMIT PranesimaiPamirsti();
    } else if (!arAtnaujinama) {
        Q_EMIT PranesimaiPamirsti();
    }
    // A port that is no whole number ends it here, with the conversion's message.
    raundoAdresas = SkaitytiAdresa(adresas);
    SiustiUzklausas(*raundoAdresas);
    atnaujinimas->setEnabled(true);
    TaikytiBiudzeta();
    Q_EMIT RaundasPradetas();
}

void TStebejimas::Atnaujinti() {
    if (pingas->isActive() && apklausa->ArBaigiasiLaikas(raundas, kLaikmacioPaklaida)) {
        PazymetiTimeout();
        return;
    }
    if (ApkarpytiTarpus(adresas).isEmpty())
        return;
    try {
        Stebeti(true);
    } catch (const EKlaida& e) {
        Q_EMIT Klaida(e.Message());
    }
}

bool TStebejimas::TaikytiBiudzeta() {
    // Rounds to one server are spaced so that it never gets more datagrams
    // than its budget allows, whatever interval was chosen.
    const int prasomas = atnaujinimas->Intervalas();
    const int veikiantis = raundoAdresas ? apklausa->Tarpas(*raundoAdresas, kStebetojoPrasymai, prasomas) : prasomas;
    atnaujinimas->setMaziausias(veikiantis > prasomas ? veikiantis : 0);
    return veikiantis > prasomas;
}

void TStebejimas::SiustiUzklausas(const TServerioAdresas& serveris) {
    arBanas = false;
    if (raundas)
        apklausa->Baigti(raundas);
    pingas->start();
    pingoLaikas = 0;
    raundoDetales.reset();
    raundoIsvardinta.reset();
    TApklausa::TRaundoNustatymai n(kStebetojoPrasymai, TRaundoSantrauka::TSaltinis::Stebetojas, this);
    n.Atsakymas = [this](TApklausa::TId id, const TSesijosAtsakymas& a) {
        Priimti(id, a);
    };
    n.Baigtas = [this](TApklausa::TId id, bool arAtsake) {
        // A server silent for the whole wait: the time-out, and the refresh stops.
        if (id == raundas && !arAtsake && pingas->isActive())
            PazymetiTimeout();
    };
    n.Priima = [this](TApklausa::TId id) {
        return !arBanas && id == raundas;
    };
    n.NerastasHostas = [this](bool& handled) {
        Q_EMIT NerastasHostas(handled);
    };
    // An unreachable server is no error of its own: the round times out.
    raundas = apklausa->Pradeti(serveris, std::move(n));
    stebimas = serveris.Tekstas();
}

// The poller passes on the first 'j', players and details reply of a round
// only (and an 'I' after a 'm': the info reply wins).
void TStebejimas::Priimti(TApklausa::TId id, const TSesijosAtsakymas& atsakymas) {
    if (atsakymas.Rusis == TAtsakymoRusis::PerDidelis) {
        Q_EMIT KitasAtsakymas(id, atsakymas);
        return;
    }
    // The round trip: the first 'j', or the first Steam reply of a server that
    // is not asked "ping".
    if (atsakymas.PingoMs && pingas->isActive()) {
        pingas->stop();
        pingoLaikas = int(std::clamp<qint64>(*atsakymas.PingoMs, 0, TApklausa::kLaukimoRibaMs));
        Q_EMIT PingasGautas(pingoLaikas);
    }
    switch (atsakymas.Rusis) {
    // Spectators are counted when both replies of the round are in, whichever
    // came first (a Steam server answers players only after a challenge), and
    // again for an 'I' after a 'm'.
    case TAtsakymoRusis::Zaidejai:
        raundoIsvardinta = int(atsakymas.Zaidejai.size());
        Q_EMIT ZaidejaiGauti(atsakymas.Zaidejai);
        if (raundoDetales)
            Q_EMIT DetalesGautos(*raundoDetales, raundoIsvardinta);
        break;
    case TAtsakymoRusis::Detales:
        raundoDetales = atsakymas.Detales;
        Q_EMIT DetalesGautos(atsakymas.Detales, raundoIsvardinta);
        break;
    case TAtsakymoRusis::Banas:
        PazymetiBana();
        break;
    case TAtsakymoRusis::Tekstas:
    case TAtsakymoRusis::Nezinomas:
        Q_EMIT KitasAtsakymas(id, atsakymas);
        break;
    default: // the ping above; rules are read and not shown; nothing
        break;
    }
}

void TStebejimas::PazymetiTimeout() {
    pingas->stop();
    apklausa->Baigti(raundas);
    atnaujinimas->setEnabled(false);
    Q_EMIT Timeout();
}

void TStebejimas::PazymetiBana() {
    arBanas = true;
    pingas->stop();
    apklausa->Baigti(raundas);
    Q_EMIT Banas();
}
