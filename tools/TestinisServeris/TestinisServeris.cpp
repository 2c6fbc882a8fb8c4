#include "TestinisServeris.h"

#include <algorithm>

#include <QNetworkDatagram>
#include <QRandomGenerator>
#include <QTimer>
#include <QUdpSocket>
#include <QtEndian>

#include "AtsakymuKurejas.h"
#include "NetikriZaidejai.h"

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

TTestinisServeris::TTestinisServeris(QObject* tevas)
    : QObject(tevas), issukis(QRandomGenerator::global()->generate()),
      skaidymoId(QRandomGenerator::global()->bounded(1u << 30)), praradimai(elgsena.PraradimuSeklas),
      netikruGeneratorius(elgsena.NetikruSeklas) {
    laikas.start();
}

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
    paleistas.start();
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
    AtnaujintiNetikrus();
}

void TTestinisServeris::AtnaujintiNetikrus() {
    if (elgsena.Netikri == TNetikruBudas::Nera)
        netikras.reset();
    else
        netikras = NetikrasTurinys(elgsena.Netikri, turinys, elgsena.NetikruSeklas);
}

TZaidejai TTestinisServeris::ZaidejaiDabar() const {
    if (elgsena.Netikri == TNetikruBudas::Maisyti)
        return TrauktiNetikrus(netikruGeneratorius, kNetikruSarasas, 3600);
    TZaidejai zaidejai = RodomasTurinys().Zaidejai;
    switch (elgsena.Netikri) {
    case TNetikruBudas::Sustinge:
        return zaidejai;
    case TNetikruBudas::Nuo0:
        for (TZaidejoInfo& z : zaidejai)
            z = KurtiZaidejoInfo(z.Zaidejas.Nr, z.Zaidejas.Vardas, z.Zaidejas.Fragai,
                                 float(netikruGeneratorius.generateDouble() * 3));
        return zaidejai;
    case TNetikruBudas::Maisyti:
    case TNetikruBudas::Nera:
    case TNetikruBudas::Skaicius:
    case TNetikruBudas::Vietos:
        break;
    }
    if (!elgsena.LaikasBega)
        return zaidejai;
    const double praejo = paleistas.isValid() ? double(paleistas.nsecsElapsed()) / 1e9 : 0;
    for (TZaidejoInfo& z : zaidejai) {
        const TZaidejas& p = z.Zaidejas;
        if (p.Laikas >= 0)
            z = KurtiZaidejoInfo(p.Nr, p.Vardas, p.Fragai, float(double(p.Laikas) + praejo));
    }
    return zaidejai;
}

void TTestinisServeris::NustatytiElgsena(const TServerioElgsena& nauja) {
    // A new seed (or loss) starts the drawn sequence again.
    if (nauja.PraradimuSeklas != elgsena.PraradimuSeklas || nauja.Praradimai != elgsena.Praradimai)
        praradimai.seed(nauja.PraradimuSeklas);
    const bool kitiNetikri = nauja.Netikri != elgsena.Netikri || nauja.NetikruSeklas != elgsena.NetikruSeklas;
    if (kitiNetikri)
        netikruGeneratorius.seed(nauja.NetikruSeklas);
    elgsena = nauja;
    konsole.NustatytiQuakeForma(elgsena.Rezimas == TServerioRezimas::Xash);
    if (kitiNetikri)
        AtnaujintiNetikrus();
}

void TTestinisServeris::IsvalytiSkaitiklius() {
    uzklausos.clear();
    atmesti = 0;
    issiusti = 0;
    apriboti = 0;
    prarasta = 0;
}

std::optional<QByteArray> TTestinisServeris::IprastasAtsakymas(const QByteArray& zodis) const {
    if (zodis == kPing)
        return KurtiPingoAtsakyma();
    const TServerioTurinys& rodomas = RodomasTurinys();
    if (zodis == kPlayers)
        return KurtiZaidejuAtsakyma(ZaidejaiDabar());
    if (zodis == kRules)
        return KurtiTaisykliuAtsakyma(rodomas.Taisykles);
    if (zodis == kDetails) {
        TDetales d = rodomas.Detales;
        d.Zaidejai = rodomas.ZaidejuSkaicius ? *rodomas.ZaidejuSkaicius
                                             : static_cast<quint8>(qMin<qsizetype>(rodomas.Zaidejai.size(), 255));
        if (d.Info.Adresas.isEmpty())
            d.Info.Adresas = (Adresas().toString() + u':' + QString::number(Prievadas())).toLatin1();
        return KurtiDetaliuAtsakyma(d);
    }
    return std::nullopt;
}

TA2SInfo TTestinisServeris::Info() const {
    const TServerioTurinys& rodomas = RodomasTurinys();
    const TDetales& d = rodomas.Detales;
    TA2SInfo i;
    // Servers of this engine report 48 in the info reply whatever their
    // details reply says (47); clients tell the split layout by it.
    const bool xash = elgsena.Rezimas == TServerioRezimas::Xash;
    i.Protokolas = xash ? 49 : 48;
    i.Pavadinimas = d.Info.Pavadinimas;
    i.Zemelapis = d.Info.Zemelapis;
    i.Katalogas = d.Info.Katalogas;
    i.Zaidimas = d.Info.Zaidimas;
    i.AppId = rodomas.AppId;
    i.Zaidejai = rodomas.ZaidejuSkaicius ? *rodomas.ZaidejuSkaicius
                                         : static_cast<quint8>(qMin<qsizetype>(rodomas.Zaidejai.size(), 255));
    i.MaxZaideju = d.MaxZaideju;
    i.Botai = rodomas.Botai;
    i.ServerioTipas = d.ServerioTipas;
    i.OS = d.OS;
    i.Slaptazodis = d.Slaptazodis;
    i.VAC = d.Saugus;
    i.Versija = rodomas.Versija;
    i.ArPapildomi = !xash;
    i.EDF = xash ? 0 : kEdfPortas | kEdfZaidimoId;
    i.ZaidimoPortas = Prievadas();
    i.ZaidimoId = quint64(quint16(rodomas.AppId));
    return i;
}

QList<QByteArray> TTestinisServeris::Suskaidyti(const QByteArray& atsakymas, bool visada) {
    if (elgsena.Rezimas == TServerioRezimas::Senas || (!visada && atsakymas.size() <= elgsena.DaliesDydis))
        return {atsakymas};
    const bool naujas = elgsena.Skaidymas != TSkaidymoBudas::Variklio;
    QList<QByteArray> dalys = KurtiDalis(atsakymas, ++skaidymoId, elgsena.DaliesDydis, naujas,
                                         elgsena.Skaidymas == TSkaidymoBudas::NaujasSuspaustas, visada);
    if (dalys.isEmpty())
        return {atsakymas}; // too long for fifteen fragments: sent whole
    if (elgsena.PamestiDali)
        dalys.removeLast();
    if (elgsena.DaliysAtvirkscia)
        std::reverse(dalys.begin(), dalys.end());
    if (elgsena.DaliysDukart) {
        QList<QByteArray> dukart;
        for (const QByteArray& d : std::as_const(dalys))
            dukart << d << d;
        dalys = dukart;
    }
    return dalys;
}

QList<QByteArray> TTestinisServeris::A2SAtsakymai(const QByteArray& datagrama) {
    const char raide = datagrama[4];
    const TServerioRezimas r = elgsena.Rezimas;
    auto issukisTinka = [&](qsizetype nuo) {
        return datagrama.size() >= nuo + 4 && qFromLittleEndian<quint32>(datagrama.constData() + nuo) == issukis;
    };
    if (raide == kA2SInfo) {
        if (!datagrama.startsWith(QByteArrayView(A2SInfoUzklausa())))
            return {};
        if (r == TServerioRezimas::Tarpinis) {
            const std::optional<QByteArray> m = IprastasAtsakymas(kDetails);
            return {*m};
        }
        if (elgsena.InfoReikiaIssukio && r != TServerioRezimas::Xash && !issukisTinka(25))
            return {KurtiIssukioAtsakyma(issukis)};
        const QByteArray info = KurtiInfoAtsakyma(Info());
        if (r == TServerioRezimas::Abu) {
            TDetales d = RodomasTurinys().Detales;
            d.Zaidejai = Info().Zaidejai;
            if (d.Info.Adresas.isEmpty())
                d.Info.Adresas = (Adresas().toString() + u':' + QString::number(Prievadas())).toLatin1();
            return {KurtiDetaliuAtsakymaSuBotais(d, RodomasTurinys().Botai), info};
        }
        return {info}; // the info reply is never split
    }
    if (raide != kA2SZaidejai && raide != kA2STaisykles)
        return {};
    if (!issukisTinka(5))
        return {KurtiIssukioAtsakyma(issukis)};
    if (raide == kA2SZaidejai) {
        if (r == TServerioRezimas::Xash && RodomasTurinys().Zaidejai.isEmpty())
            return {}; // the engine sends no 'D' for an empty server
        return Suskaidyti(KurtiZaidejuAtsakyma(ZaidejaiDabar()), false);
    }
    return Suskaidyti(KurtiTaisykliuAtsakyma(RodomasTurinys().Taisykles), r != TServerioRezimas::Xash);
}

QList<QByteArray> TTestinisServeris::Atsakymai(const QByteArray& zodis, const QByteArray& datagrama) {
    const bool zinomas = zodis == kPing || zodis == kPlayers || zodis == kDetails || zodis == kRules;
    const bool a2s = elgsena.Rezimas != TServerioRezimas::Senas && datagrama.size() >= 9 &&
                     (datagrama[4] == kA2SInfo || datagrama[4] == kA2SZaidejai || datagrama[4] == kA2STaisykles);
    if (elgsena.IgnoruotiPinga && zodis == kPing)
        return {};
    switch (elgsena.Budas) {
    case TAtsakymuBudas::Tyla:
        return {};
    case TAtsakymuBudas::Banas:
        return {KurtiBanoAtsakyma()};
    case TAtsakymuBudas::Tekstas:
        return {KurtiTekstoAtsakyma(elgsena.PirmasTekstas, elgsena.AntrasTekstas)};
    case TAtsakymuBudas::NezinomasTipas:
        return {KurtiAtsakyma(elgsena.NezinomasTipas, QByteArray(1, '\0'))};
    case TAtsakymuBudas::Iprastas:
        break;
    }
    if (a2s)
        return A2SAtsakymai(datagrama);
    if (!zinomas)
        return {};
    if (elgsena.Rezimas == TServerioRezimas::Xash)
        return zodis == kPing ? QList<QByteArray>{QByteArray(4, '\xFF') + "ack"} : QList<QByteArray>{};
    // Today's servers answer only "ping" of the legacy words.
    const bool modernus = elgsena.Rezimas == TServerioRezimas::Modernus || elgsena.Rezimas == TServerioRezimas::Abu;
    if (modernus && zodis != kPing)
        return {};
    if (zodis == kPlayers && elgsena.ZaidejuAtsakymoDydis > 0)
        return {KurtiIsplestaZaidejuAtsakyma(ZaidejaiDabar(), elgsena.ZaidejuAtsakymoDydis)};
    return Suskaidyti(*IprastasAtsakymas(zodis), false);
}

std::optional<QList<QByteArray>> TTestinisServeris::KonsolesAtsakymai(const QByteArray& datagrama,
                                                                      const QHostAddress& siuntejas) {
    // The other ways of answering answer the console's requests too.
    if (elgsena.Budas != TAtsakymuBudas::Iprastas)
        return std::nullopt;
    const std::optional<QList<QByteArray>> atsakymai = konsole.Apdoroti(datagrama, siuntejas, turinys);
    if (!atsakymai)
        return std::nullopt;
    if (netikras)
        AtnaujintiNetikrus(); // a rule the command set shows there too
    QList<QByteArray> dalys;
    for (const QByteArray& d : *atsakymai)
        dalys.append(Suskaidyti(d, false));
    return dalys;
}

bool TTestinisServeris::ArLeidziama(const QHostAddress& siuntejas) {
    if (elgsena.GreicioRiba <= 0)
        return true;
    const qint64 dabar = laikas.elapsed();
    const qint64 langasMs = qint64(qMax(1, elgsena.GreicioLangasS)) * 1000;
    const auto i = ribosLangai.find(siuntejas.toString());
    if (i == ribosLangai.end()) {
        ribosLangai.insert(siuntejas.toString(), {dabar, 1});
        return true;
    }
    ++i->Kiekis;
    if (dabar - i->Pradzia > langasMs) {
        i->Pradzia = dabar;
        i->Kiekis = 1;
        return true;
    }
    return double(i->Kiekis) / double(qMax(1, elgsena.GreicioLangasS)) <= elgsena.GreicioRiba;
}

bool TTestinisServeris::ArPrarasti() {
    if (elgsena.Praradimai <= 0 || praradimai.generateDouble() >= elgsena.Praradimai)
        return false;
    ++prarasta;
    return true;
}

QByteArray TTestinisServeris::UzklausosRusis(const QByteArray& zodis, const QByteArray& datagrama) {
    if (datagrama.size() >= 5 &&
        (datagrama[4] == kA2SInfo || datagrama[4] == kA2SZaidejai || datagrama[4] == kA2STaisykles))
        return QByteArray(1, datagrama[4]);
    return zodis;
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
    if (ArPrarasti())
        return; // it never arrived
    const std::optional<QByteArray> zodis = UzklausosZodis(datagrama);
    if (!zodis) {
        ++atmesti;
        Q_EMIT DatagramaAtmesta(static_cast<int>(datagrama.size()));
        return;
    }
    const TGautaUzklausa uzklausa{*zodis, static_cast<int>(datagrama.size()), siuntejas, prievadas, datagrama};
    uzklausos.append(uzklausa);
    Q_EMIT UzklausaGauta(uzklausa);

    if (!ArLeidziama(siuntejas)) {
        ++apriboti;
        return;
    }
    std::optional<QList<QByteArray>> konsolei = KonsolesAtsakymai(datagrama, siuntejas);
    QList<QByteArray> atsakymas = konsolei ? *konsolei : Atsakymai(*zodis, datagrama);
    if (atsakymas.isEmpty())
        return;
    const QByteArray rusis = UzklausosRusis(*zodis, datagrama);
    if (int& pamesti = elgsena.PamestiAtsakymai[rusis]; pamesti > 0) {
        --pamesti;
        prarasta += int(atsakymas.size());
        return;
    }
    if (elgsena.PamestiAtsakymai.value(rusis) == 0)
        elgsena.PamestiAtsakymai.remove(rusis);
    if (elgsena.NuliniaiBaitai > 0)
        atsakymas.prepend(QByteArray(elgsena.NuliniaiBaitai, '\0'));
    if (elgsena.PasalinisIssukis)
        atsakymas.prepend(KurtiIssukioAtsakyma(issukis));
    int kartai = 1;
    if (elgsena.DvigubiAtsakymai != 0) {
        kartai = 2;
        if (elgsena.DvigubiAtsakymai > 0)
            --elgsena.DvigubiAtsakymai;
    }
    if (elgsena.DelsaMs <= 0) {
        Siusti(atsakymas, siuntejas, prievadas, kartai);
        return;
    }
    // The reply is the one for the content at arrival; a precise timer never
    // fires before the delay has passed.
    QTimer::singleShot(elgsena.DelsaMs, Qt::PreciseTimer, this, [this, a = atsakymas, siuntejas, prievadas, kartai] {
        Siusti(a, siuntejas, prievadas, kartai);
    });
}

void TTestinisServeris::Siusti(const QList<QByteArray>& atsakymai, const QHostAddress& kam, quint16 prievadas,
                               int kartai) {
    QUdpSocket* is = elgsena.AtsakytiIsKitoPrievado ? kitasLizdas : lizdas;
    if (!is)
        return;
    for (int i = 0; i < kartai; ++i) {
        for (const QByteArray& atsakymas : atsakymai) {
            if (ArPrarasti())
                continue;
            if (is->writeDatagram(atsakymas, kam, prievadas) != atsakymas.size())
                continue;
            ++issiusti;
            Q_EMIT AtsakymasIssiustas(atsakymas, is->localPort());
        }
    }
}
