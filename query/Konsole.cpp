#include "Konsole.h"

#include <algorithm>

#include <QCryptographicHash>
#include <QDateTime>
#include <QTimer>

#include "Biudzetas.h"
#include "NMUDP.h"
#include "iphostport.h"
#include "Laikas.h"
#include "Zurnalas.h"

using namespace Qt::StringLiterals;

namespace {

bool ArValdymoZenklas(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

QByteArray Maisa(QByteArrayView slaptazodis) {
    return QCryptographicHash::hash(slaptazodis, QCryptographicHash::Sha256);
}

// The form the endpoint reports senders in ("10.5" is "10.0.0.5").
QString KanoninisAdresas(const QString& taskuotas) {
    return IPTekstas(*TaskuotasAdresas(taskuotas));
}

} // namespace

// ---- The exchange ----

TKonsole::TKonsole(TNMUDP* udp, TKonsoliuRegistras& registras, TServeriuRegistras& serveriai,
                   TUzklausuBiudzetas& biudzetas, TLaikrodis laikrodis, QObject* tevas, TAdresuPaieska* bendra)
    : QObject(tevas), udp(udp), registras(&registras), serveriai(&serveriai), biudzetas(&biudzetas),
      laikrodis(laikrodis ? std::move(laikrodis) : TLaikrodis(&TikrasLaikasMs)), paieska(bendra) {
    if (!paieska) {
        paieska = new TAdresuPaieska(this);
        paieska->setObjectName(u"paieska"_s);
    }
    connect(paieska, &TAdresuPaieska::IPRastas, this, &TKonsole::AdresasRastas);
    laikmatis = new QTimer(this);
    laikmatis->setObjectName(u"tmrKonsole"_s);
    laikmatis->setSingleShot(true);
    laikmatis->setTimerType(Qt::PreciseTimer);
    connect(laikmatis, &QTimer::timeout, this, &TKonsole::Tikrinti);
    // While nothing is asked nothing is listened to, and only the server asked
    // may answer: anything else is dropped as the endpoint reads it.
    udp->Filtras = [this](const QHostAddress& is, quint16 prievadas) {
        return busena != TBusena::Laisva && !ip.isEmpty() && prievadas == adresas.Portas && is == QHostAddress(ip);
    };
}

TKonsole::~TKonsole() {
    udp->Filtras = nullptr;
}

QString TKonsole::Serveris() const {
    return ip.isEmpty() ? QString() : TServerioAdresas{ip, adresas.Portas}.Tekstas();
}

void TKonsole::NustatytiServeri(const TServerioAdresas& naujas) {
    if (naujas == adresas)
        return;
    Baigti();
    adresas = naujas;
    ip.clear();
    dalys.IsmestiNebaigtus();
    if (adresas.Hostas.isEmpty())
        return;
    if (const std::optional<QString> rastas = paieska->IP(adresas.Hostas))
        AdresasRastas(adresas.Hostas, *rastas);
}

void TKonsole::AdresasRastas(const QString& kieno, const QString& rastas) {
    if (kieno != adresas.Hostas || !ip.isEmpty())
        return;
    // A name the name service does not know comes back as itself.
    if (!TaskuotasAdresas(rastas) || !adresas.ArTinkamasPortas()) {
        Q_EMIT AdresasNerastas();
        return;
    }
    ip = KanoninisAdresas(rastas);
}

TKonsolesVeiksmas TKonsole::Vykdyti(const QString& komandosTekstas, const QString& slaptazodzioTekstas) {
    const auto rezultatas = [](TKonsolesRezultatas r) {
        TKonsolesVeiksmas v;
        v.Rezultatas = r;
        return v;
    };
    const QByteArray k = komandosTekstas.trimmed().toUtf8();
    const QByteArray s = slaptazodzioTekstas.toUtf8();
    if (k.isEmpty())
        return rezultatas(TKonsolesRezultatas::Tuscia);
    if (adresas.Hostas.isEmpty())
        return rezultatas(TKonsolesRezultatas::BeServerio);
    if (ArUzimta())
        return rezultatas(TKonsolesRezultatas::Uzimta);
    if (std::any_of(k.begin(), k.end(), [](char c) { return c == '\n' || c == '\r' || c == '\0'; }))
        return rezultatas(TKonsolesRezultatas::NetinkamaKomanda);
    if (s.isEmpty())
        return rezultatas(TKonsolesRezultatas::BeSlaptazodzio);
    // The engine reads the password as one quoted word.
    if (std::any_of(s.begin(), s.end(), [](char c) { return c == '"' || ArValdymoZenklas(c); }))
        return rezultatas(TKonsolesRezultatas::NetinkamasSlaptazodis);
    if (KonsolesUzklausosDydis(s.size(), k.size()) >= kKonsolesUzklausosRiba) {
        TKonsolesVeiksmas v = rezultatas(TKonsolesRezultatas::PerIlga);
        v.DidziausiaKomanda = std::max(0, DidziausiaKomanda(s.size()));
        return v;
    }
    // The guard and the refused passwords are kept per address.
    if (ip.isEmpty()) {
        const std::optional<QString> rastas = paieska->IP(adresas.Hostas);
        if (!rastas)
            return rezultatas(TKonsolesRezultatas::IeskomaAdreso);
        if (!TaskuotasAdresas(*rastas) || !adresas.ArTinkamasPortas())
            return rezultatas(TKonsolesRezultatas::NerastasAdresas);
        ip = KanoninisAdresas(*rastas);
    }
    if (atmestiSlaptazodziai.value(Serveris()) == Maisa(s))
        return rezultatas(TKonsolesRezultatas::Atmestas);
    if (const qint64 laukti = registras->Sargas(Serveris()).Laukti(laikrodis()); laukti > 0) {
        TKonsolesVeiksmas v = rezultatas(TKonsolesRezultatas::Saugoma);
        v.LauktiMs = laukti;
        return v;
    }
    // A command takes two datagrams at most (the challenge and the command);
    // the watchers' rounds to the server count in the same budget.
    if (const qint64 dabar = laikrodis(); biudzetas->Laisva(Serveris(), dabar) < 2) {
        TKonsolesVeiksmas v = rezultatas(TKonsolesRezultatas::Biudzetas);
        v.LauktiMs = biudzetas->KadaLaisva(Serveris(), dabar, 2) - dabar;
        return v;
    }
    komanda = TKomanda{k, s, false, false, false, std::nullopt};
    SiustiKomanda();
    return rezultatas(TKonsolesRezultatas::Siunciama);
}

bool TKonsole::Siusti(const QByteArray& datagrama) {
    const qint64 dabar = laikrodis();
    if (biudzetas->Laisva(Serveris(), dabar) < 1) {
        // Only after a "Bad challenge." can a command need more than Vykdyti made room for.
        Q_EMIT SiuntimasNepavyko(QStringLiteral("the server's query budget is used up"));
        return false;
    }
    udp->setRemoteHost(ip);
    udp->setRemotePort(adresas.Portas);
    try {
        udp->SendDatagram(datagrama);
    } catch (const EKlaida& e) {
        Q_EMIT SiuntimasNepavyko(e.Message());
        return false;
    }
    biudzetas->Pazymeti(Serveris(), dabar);
    return true;
}

void TKonsole::SiustiIssukioPrasyma() {
    busena = TBusena::LaukiaIssukio;
    siustaMs = laikrodis();
    if (!Siusti(KonsolesIssukioUzklausa())) {
        Baigti();
        return;
    }
    Planuoti();
}

void TKonsole::SiustiKomanda() {
    if (Forma() == TKonsolesForma::Quake && !komanda->QuakeBandyta) {
        SiustiQuake();
        return;
    }
    const std::optional<quint32> issukis = registras->Issukis(Serveris());
    if (!issukis) {
        SiustiIssukioPrasyma();
        return;
    }
    komanda->Quake = false;
    SiustiBandyma(KonsolesKomandosUzklausa(*issukis, komanda->Slaptazodis, komanda->Komanda));
}

void TKonsole::SiustiQuake() {
    komanda->Quake = komanda->QuakeBandyta = true;
    SiustiBandyma(KonsolesQuakeUzklausa(komanda->Slaptazodis, komanda->Komanda));
}

void TKonsole::SiustiBandyma(const QByteArray& datagrama) {
    TKonsolesSargas& sargas = registras->Sargas(Serveris());
    busena = TBusena::LaukiaIsvesties;
    siustaMs = laikrodis();
    // Counted before it goes, so that even a program that dies in the send
    // has it in the guard's file.
    komanda->Bandymas = sargas.Pradeti(siustaMs);
    IssaugotiSarga();
    // The command's first word alone: what follows may be a password being set.
    const QByteArray& k = komanda->Komanda;
    const auto zodzioGalas = std::find_if(k.begin(), k.end(), [](char c) { return c == ' ' || c == '\t'; });
    qCDebug(KonsolesZurnalas).noquote() << "command" << k.left(qMin<qsizetype>(zodzioGalas - k.begin(), 32))
                                        << "sent to" << Serveris()
                                        << (komanda->Quake ? "in the Quake form" : "with a challenge");
    if (!Siusti(datagrama)) {
        // Nothing left: nothing for the server to count.
        sargas.Neskaiciuoti(*komanda->Bandymas);
        IssaugotiSarga();
        Baigti();
        return;
    }
    Planuoti();
}

TKonsolesForma TKonsole::Forma() const {
    return serveriai->Zinios(Serveris()).KonsolesForma;
}

void TKonsole::NustatytiForma(TKonsolesForma forma) {
    TServerioZinios z = serveriai->Zinios(Serveris());
    if (z.KonsolesForma == forma)
        return;
    z.KonsolesForma = forma;
    if (forma != TKonsolesForma::Nezinoma)
        z.Atsake = QDateTime::currentMSecsSinceEpoch();
    serveriai->Nustatyti(Serveris(), z);
}

bool TKonsole::ArBandysQuake() const {
    return busena == TBusena::LaukiaIssukio && !komanda->QuakeBandyta && Forma() != TKonsolesForma::GoldSrc &&
           registras->Sargas(Serveris()).Laukti(laikrodis()) == 0;
}

void TKonsole::Gauta(const QByteArray& datagrama, const QString& is, int prievadas) {
    // Only the server asked may answer: anyone else could write into the console.
    if (ip.isEmpty() || is != ip || prievadas != adresas.Portas)
        return;
    if (busena == TBusena::Laisva)
        return;
    const TDaliesRezultatas dalis = dalys.Priimti(udp->PaskutinisAdresas(), quint16(adresas.Portas), datagrama);
    if (dalis.Busena != TDaliesBusena::Vientisas && dalis.Busena != TDaliesBusena::Surinkta)
        return;
    const QByteArray& d = dalis.Atsakymas;
    if (const std::optional<quint32> issukis = SkaitytiKonsolesIssuki(d)) {
        // The server speaks the GoldSrc form. A challenge late for the
        // Quake form is kept for a "Bad challenge." to come.
        NustatytiForma(TKonsolesForma::GoldSrc);
        registras->NustatytiIssuki(Serveris(), *issukis);
        if (busena == TBusena::LaukiaIssukio)
            SiustiKomanda();
        return;
    }
    if (busena == TBusena::LaukiaIssukio) {
        const std::optional<QByteArrayView> tekstas = KonsolesTekstas(d);
        if (tekstas && AtpazintiAtsakyma(*tekstas) == TKonsolesAtsakas::Uzdrausta) {
            const QByteArray t = tekstas->toByteArray();
            Baigti();
            Q_EMIT Uzdrausta(t);
        }
        return;
    }
    if (const std::optional<QByteArrayView> tekstas = KonsolesTekstas(d))
        GautaTekstas(*tekstas);
}

void TKonsole::GautaTekstas(QByteArrayView tekstas) {
    if (busena != TBusena::LaukiaIsvesties && busena != TBusena::Renka)
        return;
    const TKonsolesAtsakas atsakas = AtpazintiAtsakyma(tekstas);
    if (atsakas != TKonsolesAtsakas::Isvestis) {
        // A refusal wins over an output that came before it: that one may
        // have been sent in the server's name by someone else.
        surinkejas.Pradeti();
        Atsisakyta(atsakas, tekstas.toByteArray());
        return;
    }
    if (busena == TBusena::Renka) {
        // An empty datagram adds nothing, and does not keep the output open.
        if (tekstas.isEmpty())
            return;
        if (!surinkejas.Prideti(tekstas, laikrodis())) {
            BaigtiIsvestimi();
            return;
        }
        Planuoti();
        return;
    }
    busena = TBusena::Renka;
    surinkejas.Pradeti();
    if (!surinkejas.Prideti(tekstas, laikrodis())) {
        BaigtiIsvestimi();
        return;
    }
    Planuoti();
}

void TKonsole::Atsisakyta(TKonsolesAtsakas atsakas, const QByteArray& tekstas) {
    qCDebug(KonsolesZurnalas).noquote() << "command to" << Serveris() << "refused:"
                                        << (atsakas == TKonsolesAtsakas::BlogasSlaptazodis ? "bad password"
                                            : atsakas == TKonsolesAtsakas::BlogasIssukis   ? "bad challenge"
                                                                                           : "banned");
    switch (atsakas) {
    case TKonsolesAtsakas::BlogasSlaptazodis:
        // The attempt stays counted, and the password is not sent again until typed anew.
        atmestiSlaptazodziai.insert(Serveris(), Maisa(komanda->Slaptazodis));
        Baigti();
        Q_EMIT SlaptazodisAtmestas(tekstas);
        return;
    case TKonsolesAtsakas::BlogasIssukis:
        // The engine checks the challenge before the password, but the text
        // may be someone else's: the attempt stays counted. One new challenge
        // per command, and only while the guard has room for the attempt.
        // The Quake form refused so: the server wants a challenge after all.
        komanda->Bandymas.reset();
        if (!komanda->Quake)
            registras->NustatytiIssuki(Serveris(), std::nullopt);
        else if (Forma() == TKonsolesForma::Quake)
            NustatytiForma(TKonsolesForma::Nezinoma);
        komanda->Quake = false;
        if (komanda->IssukisPakartotas || registras->Sargas(Serveris()).Laukti(laikrodis()) > 0) {
            Baigti();
            Q_EMIT IssukisAtmestas(tekstas);
            return;
        }
        komanda->IssukisPakartotas = true;
        SiustiKomanda();
        return;
    default:
        Baigti();
        Q_EMIT Uzdrausta(tekstas);
        return;
    }
}

void TKonsole::BaigtiIsvestimi() {
    const QByteArray isvestis = surinkejas.Isvestis();
    const bool nukirsta = surinkejas.ArNukirsta();
    surinkejas.Pradeti();
    qCDebug(KonsolesZurnalas).noquote() << "output from" << Serveris() << isvestis.size() << "bytes"
                                        << (nukirsta ? "(cut)" : "");
    // A whole output with no refusal in it: the server took the password, and
    // the attempt does not count. The password is told once per typing.
    registras->Sargas(Serveris()).Neskaiciuoti(*komanda->Bandymas);
    IssaugotiSarga();
    if (komanda->Quake)
        NustatytiForma(TKonsolesForma::Quake);
    const QByteArray slaptazodis = komanda->Slaptazodis;
    const bool arNaujas = priimtiSlaptazodziai.value(Serveris()) != Maisa(slaptazodis);
    priimtiSlaptazodziai.insert(Serveris(), Maisa(slaptazodis));
    Baigti();
    if (arNaujas)
        Q_EMIT SlaptazodisPriimtas(QString::fromUtf8(slaptazodis));
    Q_EMIT Isvestis(isvestis, nukirsta);
}

void TKonsole::Baigti() {
    busena = TBusena::Laisva;
    komanda.reset();
    dalys.IsmestiNebaigtus();
    laikmatis->stop();
}

std::optional<qint64> TKonsole::Terminas() const {
    switch (busena) {
    case TBusena::Laisva:
        return std::nullopt;
    case TBusena::Renka:
        return surinkejas.Terminas();
    default:
        return siustaMs + (ArBandysQuake() ? KartojimoTarpas(serveriai->Zinios(Serveris())) : kKonsolesLaukimasMs);
    }
}

void TKonsole::Planuoti() {
    const std::optional<qint64> terminas = Terminas();
    if (!terminas) {
        laikmatis->stop();
        return;
    }
    laikmatis->start(int(std::clamp<qint64>(*terminas - laikrodis(), 0, 60000)));
}

void TKonsole::Tikrinti() {
    const std::optional<qint64> terminas = Terminas();
    if (!terminas)
        return;
    // A timer a little early, or a test holding its clock: look again later.
    if (laikrodis() < *terminas) {
        laikmatis->start(int(std::clamp<qint64>(*terminas - laikrodis(), 1, 60000)));
        return;
    }
    if (ArBandysQuake()) {
        SiustiQuake();
        return;
    }
    if (busena == TBusena::Renka) {
        BaigtiIsvestimi();
        return;
    }
    // The attempt, if one went, stays counted: its outcome is unknown.
    const bool quake = komanda->Quake;
    Baigti();
    Q_EMIT Neatsako(quake);
}

void TKonsole::IssaugotiSarga() {
    // A guard that cannot keep its count across restarts is said once a run.
    if (registras->Issaugoti(laikrodis()) || registras->KlaidaPasakyta)
        return;
    registras->KlaidaPasakyta = true;
    Q_EMIT SargasNeissaugotas(registras->Failas());
}
