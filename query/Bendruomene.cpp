#include "Bendruomene.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QRandomGenerator>
#include <QSet>
#include <QTimer>
#include <QUdpSocket>
#include <QUrl>

#include "Laikas.h"
#include "Zurnalas.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kTiksnisMs = 50;
constexpr qint64 kDidziausiaDatagrama = 2048;

} // namespace

struct TBendruomenesSarasas::TDarbas {
    TSaltinioAtsakymas Atsakymas;
    QString Raktas; // the source and the filter
    bool Baigtas = false;
    QList<TServerioAdresas> Adresai;
    QSet<TServerioAdresas> Jau;
    // HTTP
    QPointer<QNetworkReply> Atsakas;
    QByteArray Turinys;
    bool PerDidelis = false;
    // a master
    QString Filtras;
    std::optional<quint32> XashRaktas;
    std::optional<quint32> Ip;
    quint16 Portas = 0;
    QString Paskutinis = u"0.0.0.0:0"_s;
    int Puslapiai = 0;
    int Kartojimai = 0;
    qint64 Issiusta = 0;
    QSet<QByteArray> Matyti; // the pages' entries as sent
};

QString SaltinioVardas(const TSaltinis& s) {
    if (s.Rusis != TSaltinis::TRusis::Statinis)
        return s.Adresas;
    return QUrl(s.Adresas).adjusted(QUrl::RemoveScheme | QUrl::RemoveUserInfo).toString().mid(2);
}

TBendruomenesSarasas::TBendruomenesSarasas(QNetworkAccessManager* tinklas, TLaikrodis laikrodis, QObject* tevas)
    : QObject(tevas), tinklas(tinklas), laikrodis(laikrodis ? std::move(laikrodis) : TLaikrodis(&TikrasLaikasMs)) {
    laikmatis = new QTimer(this);
    laikmatis->setInterval(kTiksnisMs);
    connect(laikmatis, &QTimer::timeout, this, &TBendruomenesSarasas::Tiksi);
}

TBendruomenesSarasas::~TBendruomenesSarasas() {
    Nutraukti();
}

bool TBendruomenesSarasas::ArVyksta() const {
    return !pranesta;
}

void TBendruomenesSarasas::Nutraukti() {
    laikmatis->stop();
    ++kartas;
    pranesta = true;
    for (const std::unique_ptr<TDarbas>& d : darbai) {
        if (QNetworkReply* a = d->Atsakas) {
            a->disconnect(this);
            a->abort();
            a->deleteLater();
        }
    }
    darbai.clear();
    delete lizdas;
    lizdas = nullptr;
}

void TBendruomenesSarasas::Prasyti(const QList<TSaltinis>& saltiniai, const TSarasoFiltras& filtras) {
    Nutraukti();
    pranesta = false;
    const qint64 dabar = laikrodis();
    const QString filtroTekstas = filtras.Tekstas();
    for (const TSaltinis& s : saltiniai) {
        auto d = std::make_unique<TDarbas>();
        d->Atsakymas.Saltinis = s;
        d->Raktas = QString::number(int(s.Rusis)) + u' ' + s.Adresas + u' ' + filtroTekstas;
        darbai.push_back(std::move(d));
    }
    for (const std::unique_ptr<TDarbas>& d : darbai) {
        // Once a minute a source and filter: within the minute its last answer serves.
        const auto jau = paklausta.constFind(d->Raktas);
        if (jau != paklausta.cend() && dabar >= jau->Kada && dabar - jau->Kada < kTarpasMs) {
            if (jau->Atsakymas) {
                d->Atsakymas = *jau->Atsakymas;
                d->Adresai = jau->Adresai;
            } else {
                d->Atsakymas.Busena = TSarasoBusena::LaikasBaigesi;
                d->Atsakymas.Laukti = true;
            }
            d->Baigtas = true;
            continue;
        }
        paklausta.insert(d->Raktas, {dabar, std::nullopt, {}});
        if (d->Atsakymas.Saltinis.Rusis == TSaltinis::TRusis::Statinis) {
            PradetiHttp(*d, filtras);
        } else {
            if (d->Atsakymas.Saltinis.Rusis == TSaltinis::TRusis::Xash)
                d->XashRaktas = QRandomGenerator::system()->generate();
            d->Filtras = MasterioFiltras(filtras, d->XashRaktas);
            PradetiMasteri(*d);
        }
    }
    qCDebug(SarasuZurnalas).noquote() << "community list asked of" << darbai.size() << "sources, filter"
                                      << filtroTekstas;
    // Never from inside Prasyti.
    QTimer::singleShot(0, this, [this, k = kartas] {
        if (k == kartas)
            ArViskas();
    });
}

// ---- HTTP ----

void TBendruomenesSarasas::PradetiHttp(TDarbas& d, const TSarasoFiltras& filtras) {
    QUrl url(StatinioSarasoAdresas(d.Atsakymas.Saltinis.Adresas, filtras.Katalogas));
    url.setUserInfo({}); // nothing of the user's reaches a list
    QNetworkRequest prasymas(url);
    prasymas.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    prasymas.setMaximumRedirectsAllowed(3);
    prasymas.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    prasymas.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    prasymas.setAttribute(QNetworkRequest::AuthenticationReuseAttribute, QNetworkRequest::Manual);
    prasymas.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    prasymas.setHeader(QNetworkRequest::UserAgentHeader, u"Velmorant"_s);
    prasymas.setTransferTimeout(kLaikoRibaMs);
    d.Atsakas = tinklas->get(prasymas);
    TDarbas* darbas = &d;
    connect(d.Atsakas, &QNetworkReply::readyRead, this, [this, darbas] { HttpSkaityti(*darbas); });
    connect(d.Atsakas, &QNetworkReply::finished, this, [this, darbas] { HttpBaigta(*darbas); });
}

void TBendruomenesSarasas::HttpSkaityti(TDarbas& d) {
    if (!d.Atsakas || d.PerDidelis)
        return;
    const QByteArray naujas = d.Atsakas->read(kDidziausiasAtsakymas - d.Turinys.size());
    d.Turinys += naujas;
    if (d.Turinys.size() >= kDidziausiasAtsakymas && d.Atsakas->bytesAvailable() > 0) {
        // What came to the limit is kept, but for its last, perhaps cut, line.
        d.PerDidelis = true;
        d.Turinys.truncate(d.Turinys.lastIndexOf('\n') + 1);
        d.Atsakas->abort();
    }
}

void TBendruomenesSarasas::HttpBaigta(TDarbas& d) {
    QNetworkReply* a = d.Atsakas;
    if (!a || d.Baigtas)
        return;
    a->deleteLater();
    d.Atsakas = nullptr;
    HttpSkaityti(d);
    const int kodas = a->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    d.Atsakymas.HttpKodas = kodas;
    if (d.PerDidelis || (kodas == 200 && a->error() == QNetworkReply::NoError)) {
        TSaltinioSarasas s = SkaitytiStatiniSarasa(d.Turinys);
        d.Turinys.clear();
        d.Atsakymas.Atmesta += s.Atmesta;
        d.Adresai = std::move(s.Adresai); // each once already, and no more than are kept
        Baigti(d, d.PerDidelis  ? TSarasoBusena::PerDidelis
                  : s.Nupjautas ? TSarasoBusena::Nupjautas
                                : TSarasoBusena::Gerai);
        return;
    }
    d.Turinys.clear();
    if (kodas == 429 || (kodas >= 500 && kodas <= 599))
        Baigti(d, TSarasoBusena::Uzimta);
    else if (kodas != 0)
        Baigti(d, TSarasoBusena::BlogasAtsakymas);
    else if (a->error() == QNetworkReply::TimeoutError || a->error() == QNetworkReply::OperationCanceledError)
        Baigti(d, TSarasoBusena::LaikasBaigesi);
    else if (a->error() == QNetworkReply::SslHandshakeFailedError)
        Baigti(d, TSarasoBusena::Sertifikatas);
    else
        Baigti(d, TSarasoBusena::BeTinklo);
}

// ---- masters ----

void TBendruomenesSarasas::PradetiMasteri(TDarbas& d) {
    if (!lizdas) {
        lizdas = new QUdpSocket(this);
        lizdas->bind(QHostAddress::AnyIPv4, 0);
        connect(lizdas, &QUdpSocket::readyRead, this, &TBendruomenesSarasas::Gauta);
    }
    const TServerioAdresas adresas = SkaitytiAdresa(d.Atsakymas.Saltinis.Adresas);
    d.Portas = quint16(adresas.Portas);
    if (const std::optional<quint32> ip = TaskuotasAdresas(adresas.Hostas)) {
        d.Ip = *ip;
        SiustiPuslapi(d);
        return;
    }
    d.Issiusta = laikrodis(); // the lookup's wait counts as the first page's
    TDarbas* darbas = &d;
    Ieskoti(adresas.Hostas, this, [this, darbas, k = kartas](const QHostInfo& info) {
        if (k != kartas || darbas->Baigtas)
            return;
        qCDebug(SarasuZurnalas).noquote() << "master" << info.hostName() << "looked up:" << info.addresses();
        for (const QHostAddress& a : info.addresses()) {
            if (a.protocol() == QAbstractSocket::IPv4Protocol) {
                darbas->Ip = a.toIPv4Address();
                SiustiPuslapi(*darbas);
                return;
            }
        }
        Baigti(*darbas, TSarasoBusena::BeTinklo);
    });
    laikmatis->start();
}

void TBendruomenesSarasas::SiustiPuslapi(TDarbas& d) {
    d.Issiusta = laikrodis();
    lizdas->writeDatagram(MasterioUzklausa(d.Paskutinis, d.Filtras), QHostAddress(*d.Ip), d.Portas);
    laikmatis->start();
}

void TBendruomenesSarasas::Gauta() {
    while (lizdas && lizdas->hasPendingDatagrams()) {
        QHostAddress is;
        quint16 portas = 0;
        const qint64 dydis = lizdas->pendingDatagramSize();
        QByteArray datagrama(qBound<qint64>(0, dydis, kDidziausiaDatagrama), Qt::Uninitialized);
        const qint64 gauta = lizdas->readDatagram(datagrama.data(), datagrama.size(), &is, &portas);
        if (gauta < 0 || dydis > kDidziausiaDatagrama)
            continue;
        datagrama.truncate(gauta);
        bool ipv4 = false;
        const quint32 ip = is.toIPv4Address(&ipv4);
        for (const std::unique_ptr<TDarbas>& d : darbai) {
            if (!d->Baigtas && ipv4 && d->Ip == ip && d->Portas == portas) {
                Puslapis(*d, datagrama);
                break;
            }
        }
    }
}

void TBendruomenesSarasas::Puslapis(TDarbas& d, const QByteArray& datagrama) {
    const std::optional<TMasterioPuslapis> p = SkaitytiMasterioPuslapi(datagrama, d.XashRaktas);
    if (!p)
        return; // no answer: another key, another protocol
    const QByteArray irasai = datagrama.right(qsizetype(p->Adresai.size() + p->Atmesta) * 6 + (p->Paskutinis ? 6 : 0));
    if (d.Matyti.contains(irasai)) {
        // The same page again: a master that would keep us asking for ever.
        Baigti(d, TSarasoBusena::Nupjautas);
        return;
    }
    d.Matyti.insert(irasai);
    ++d.Puslapiai;
    d.Kartojimai = 0;
    d.Atsakymas.Atmesta += p->Atmesta;
    Prideti(d, p->Adresai);
    if (d.Baigtas)
        return;
    if (p->Paskutinis || p->PaskutinisAdresas.isEmpty())
        Baigti(d, TSarasoBusena::Gerai);
    else if (d.Puslapiai >= kDaugiausiaPuslapiu)
        Baigti(d, TSarasoBusena::Nupjautas);
    else {
        d.Paskutinis = p->PaskutinisAdresas;
        SiustiPuslapi(d);
    }
}

void TBendruomenesSarasas::Tiksi() {
    const qint64 dabar = laikrodis();
    bool laukia = false;
    for (const std::unique_ptr<TDarbas>& d : darbai) {
        if (d->Baigtas || d->Atsakymas.Saltinis.Rusis == TSaltinis::TRusis::Statinis)
            continue;
        // A name looked up has the whole of the pages' waits; a page, one at a time.
        const qint64 laukti = d->Ip ? kPuslapioLaukimasMs : kPuslapioLaukimasMs * (kPuslapioKartojimai + 1);
        if (dabar - d->Issiusta < laukti) {
            laukia = true;
        } else if (!d->Ip || d->Kartojimai >= kPuslapioKartojimai) {
            Baigti(*d, d->Ip ? TSarasoBusena::LaikasBaigesi : TSarasoBusena::BeTinklo);
        } else {
            ++d->Kartojimai;
            SiustiPuslapi(*d);
            laukia = true;
        }
    }
    if (!laukia)
        laikmatis->stop();
}

// ---- the end ----

void TBendruomenesSarasas::Prideti(TDarbas& d, const QList<TServerioAdresas>& adresai) {
    for (const TServerioAdresas& a : adresai) {
        if (d.Jau.contains(a))
            continue;
        if (d.Adresai.size() >= kDaugiausiaEiluciu) {
            Baigti(d, TSarasoBusena::Nupjautas);
            return;
        }
        d.Jau.insert(a);
        d.Adresai.append(a);
    }
}

void TBendruomenesSarasas::Baigti(TDarbas& d, TSarasoBusena busena) {
    if (d.Baigtas)
        return;
    d.Baigtas = true;
    d.Atsakymas.Busena = busena;
    d.Atsakymas.Kiekis = int(d.Adresai.size());
    qCDebug(SarasuZurnalas).noquote() << "source" << SaltinioVardas(d.Atsakymas.Saltinis) << "answered: status"
                                      << int(busena) << "HTTP" << d.Atsakymas.HttpKodas << "servers"
                                      << d.Atsakymas.Kiekis << "dropped" << d.Atsakymas.Atmesta;
    d.Jau.clear();
    d.Matyti.clear();
    // What a source answered, or how it failed, serves for a minute.
    if (auto i = paklausta.find(d.Raktas); i != paklausta.end()) {
        i->Atsakymas = d.Atsakymas;
        i->Adresai = d.Adresai;
    }
    ArViskas();
}

void TBendruomenesSarasas::ArViskas() {
    if (pranesta)
        return;
    for (const std::unique_ptr<TDarbas>& d : darbai)
        if (!d->Baigtas)
            return;
    pranesta = true;
    laikmatis->stop();
    // Merged in an event of its own: a long list's reading and its merging
    // never hold the window up together.
    QTimer::singleShot(0, this, [this, k = kartas] {
        if (k == kartas)
            Sujungti();
    });
}

void TBendruomenesSarasas::Sujungti() {
    TBendruomenesRezultatas r;
    QHash<TServerioAdresas, qsizetype> kur;
    for (const std::unique_ptr<TDarbas>& d : darbai) {
        const QString vardas = SaltinioVardas(d->Atsakymas.Saltinis);
        for (const TServerioAdresas& a : d->Adresai) {
            if (const auto i = kur.constFind(a); i != kur.cend()) {
                QString& saltiniai = r.Serveriai[*i].Saltinis;
                if (saltiniai.size() < kSarasoTekstoRiba)
                    saltiniai += u", "_s + vardas;
                continue;
            }
            if (r.Serveriai.size() >= kDaugiausiaEiluciu)
                break;
            kur.insert(a, r.Serveriai.size());
            TInternetoServeris s;
            s.Adresas = a;
            s.ZaidimoPortas = quint16(a.Portas);
            s.Saltinis = vardas;
            r.Serveriai.append(std::move(s));
        }
        r.Saltiniai.append(d->Atsakymas);
    }
    // And told in one more: what the window makes of it is its own event too.
    QTimer::singleShot(0, this, [this, r = std::move(r), k = kartas] {
        if (k == kartas)
            Q_EMIT Baigta(r);
    });
}
