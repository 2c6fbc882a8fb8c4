#include "SteamSarasas.h"

#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrlQuery>

#include "Laikas.h"
#include "Tekstas.h"
#include "Zurnalas.h"

using namespace Qt::StringLiterals;

namespace {

QString EilutesTekstas(const QJsonObject& o, QLatin1StringView raktas) {
    return VienaEilute(o.value(raktas).toString(), kSarasoTekstoRiba);
}

// A count the game can mean (0 to 255); anything else is 0.
int Skaicius(const QJsonObject& o, QLatin1StringView raktas) {
    const double d = o.value(raktas).toDouble(0);
    return d >= 0 && d <= 255 ? int(d) : 0;
}

std::optional<TInternetoServeris> Eilute(const QJsonObject& o) {
    // "ip:port", the address dotted and whole, the port a port.
    const QString addr = o.value("addr"_L1).toString();
    const qsizetype dvitaskis = addr.indexOf(u':');
    if (dvitaskis <= 0 || addr.size() > 21)
        return std::nullopt;
    QHostAddress ip;
    bool gerai = false;
    const uint portas = addr.mid(dvitaskis + 1).toUInt(&gerai);
    if (!ip.setAddress(addr.left(dvitaskis)) || ip.protocol() != QAbstractSocket::IPv4Protocol || !gerai ||
        portas < 1 || portas > 65535)
        return std::nullopt;
    TInternetoServeris s;
    const quint32 ipv4 = ip.toIPv4Address();
    s.Adresas = {IPTekstas(ipv4), int(portas)};
    s.FakeIP = ArFakeIP(ipv4);
    const double zaidimo = o.value("gameport"_L1).toDouble(0);
    s.ZaidimoPortas = zaidimo >= 1 && zaidimo <= 65535 ? quint16(zaidimo) : quint16(portas);
    s.Vardas = EilutesTekstas(o, "name"_L1);
    s.Zemelapis = EilutesTekstas(o, "map"_L1);
    s.Katalogas = EilutesTekstas(o, "gamedir"_L1);
    s.Versija = EilutesTekstas(o, "version"_L1);
    const double appId = o.value("appid"_L1).toDouble(0);
    s.AppId = appId >= 0 && appId <= 1e9 ? int(appId) : 0;
    s.Zaidejai = Skaicius(o, "players"_L1);
    s.MaxZaideju = Skaicius(o, "max_players"_L1);
    s.Botai = qMin(Skaicius(o, "bots"_L1), s.Zaidejai);
    s.Saugus = o.value("secure"_L1).toBool();
    s.Dedikuotas = o.value("dedicated"_L1).toBool();
    const QString os = o.value("os"_L1).toString();
    s.OS = os == "l"_L1 || os == "w"_L1 ? char(os.at(0).toLatin1()) : 0;
    return s;
}

} // namespace

QString TSarasoFiltras::Tekstas() const {
    // The game folder is the program's own word; a backslash in it would start another key.
    QString katalogas = Katalogas;
    katalogas.remove(u'\\');
    QString f = u"\\appid\\"_s + QString::number(AppId);
    if (!katalogas.isEmpty())
        f += u"\\gamedir\\"_s + katalogas;
    if (NePilni)
        f += u"\\full\\1"_s;
    if (NeTusti)
        f += u"\\empty\\1"_s;
    if (BeSlaptazodzio)
        f += u"\\password\\0"_s;
    return f;
}

bool ArFakeIP(quint32 ip) {
    return (ip >> 16) == ((169u << 8) | 254u);
}

TSarasoRezultatas SkaitytiSarasa(const QByteArray& json, int riba) {
    TSarasoRezultatas r;
    QJsonParseError klaida{};
    const QJsonDocument dok = QJsonDocument::fromJson(json, &klaida);
    const QJsonValue atsakymas = dok.object().value("response"_L1);
    if (klaida.error != QJsonParseError::NoError || !atsakymas.isObject())
        return r; // BlogasAtsakymas
    const QJsonValue serveriai = atsakymas.toObject().value("servers"_L1);
    if (!serveriai.isUndefined() && !serveriai.isArray())
        return r;
    const QJsonArray eilutes = serveriai.toArray();
    r.Busena = riba > 0 && eilutes.size() >= riba ? TSarasoBusena::Nupjautas : TSarasoBusena::Gerai;
    r.Serveriai.reserve(qMin<qsizetype>(eilutes.size(), kDaugiausiaEiluciu));
    for (const QJsonValue& v : eilutes) {
        if (r.Serveriai.size() >= kDaugiausiaEiluciu) {
            r.Busena = TSarasoBusena::Nupjautas;
            break;
        }
        if (const std::optional<TInternetoServeris> s = Eilute(v.toObject()))
            r.Serveriai.append(*s);
        else
            ++r.Atmesta;
    }
    return r;
}

QByteArray RasytiSarasa(const QList<TInternetoServeris>& serveriai) {
    QJsonArray eilutes;
    for (const TInternetoServeris& s : serveriai) {
        eilutes.append(QJsonObject{{"addr"_L1, s.Adresas.Tekstas()},
                                   {"gameport"_L1, s.ZaidimoPortas},
                                   {"name"_L1, s.Vardas},
                                   {"map"_L1, s.Zemelapis},
                                   {"gamedir"_L1, s.Katalogas},
                                   {"version"_L1, s.Versija},
                                   {"appid"_L1, s.AppId},
                                   {"players"_L1, s.Zaidejai},
                                   {"max_players"_L1, s.MaxZaideju},
                                   {"bots"_L1, s.Botai},
                                   {"secure"_L1, s.Saugus},
                                   {"dedicated"_L1, s.Dedikuotas},
                                   {"os"_L1, s.OS ? QString(QLatin1Char(s.OS)) : QString()}});
    }
    return QJsonDocument(QJsonObject{{"response"_L1, QJsonObject{{"servers"_L1, eilutes}}}})
        .toJson(QJsonDocument::Compact);
}

// ---- TSteamSarasas ----

TSteamSarasas::TSteamSarasas(QNetworkAccessManager* tinklas, TLaikrodis laikrodis, QObject* tevas)
    : QObject(tevas), tinklas(tinklas), laikrodis(laikrodis ? std::move(laikrodis) : TLaikrodis(&TikrasLaikasMs)),
      adresas(NumatytasAdresas()) {}

TSteamSarasas::~TSteamSarasas() {
    Nutraukti();
}

QUrl TSteamSarasas::NumatytasAdresas() {
    const QString is = qEnvironmentVariable("VELMORANT_STEAM_API");
    return QUrl(is.isEmpty() ? u"https://api.steampowered.com"_s : is);
}

std::optional<qint64> TSteamSarasas::Prasyti(const TSarasoFiltras& filtras, const QString& raktas, int naujaRiba) {
    const QString f = filtras.Tekstas();
    const qint64 dabar = laikrodis();
    if (const auto i = paklausta.constFind(f); i != paklausta.cend() && dabar - *i < kTarpasMs && dabar >= *i)
        return kTarpasMs - (dabar - *i);
    Nutraukti();
    riba = naujaRiba;

    const bool vietinis = QHostAddress(adresas.host()).isLoopback() || adresas.host() == "localhost"_L1;
    if (adresas.scheme() != "https"_L1 && !(adresas.scheme() == "http"_L1 && vietinis)) {
        TSarasoRezultatas r;
        r.Busena = TSarasoBusena::NeSaugus;
        Pranesti(std::move(r));
        return std::nullopt;
    }
    paklausta.insert(f, dabar);

    QUrl url = adresas;
    url.setPath(url.path().chopped(url.path().endsWith(u'/') ? 1 : 0) + "/IGameServersService/GetServerList/v1/"_L1);
    QUrlQuery q;
    q.addQueryItem(u"key"_s, QString::fromLatin1(QUrl::toPercentEncoding(raktas)));
    q.addQueryItem(u"filter"_s, QString::fromLatin1(QUrl::toPercentEncoding(f)));
    q.addQueryItem(u"limit"_s, QString::number(riba));
    url.setQuery(q);
    QNetworkRequest prasymas(url);
    // The key is in the address: it follows no redirect anywhere.
    prasymas.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    prasymas.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    prasymas.setHeader(QNetworkRequest::UserAgentHeader, u"Velmorant"_s);
    prasymas.setTransferTimeout(laikoRiba);
    turinys.clear();
    nutraukta.reset();
    atsakymas = tinklas->get(prasymas);
    connect(atsakymas, &QNetworkReply::readyRead, this, &TSteamSarasas::Skaityti);
    connect(atsakymas, &QNetworkReply::finished, this, &TSteamSarasas::Baigti);
    // The address without its query: the key stays out of the log.
    qCDebug(SarasuZurnalas).noquote() << "Web API list asked of" << adresas.toString(QUrl::RemoveUserInfo) << "filter"
                                      << f << "limit" << riba;
    return std::nullopt;
}

void TSteamSarasas::Nutraukti() {
    if (!atsakymas)
        return;
    QNetworkReply* senas = atsakymas;
    atsakymas = nullptr;
    senas->disconnect(this);
    senas->abort();
    senas->deleteLater();
}

void TSteamSarasas::Skaityti() {
    if (!atsakymas)
        return;
    if (turinys.size() + atsakymas->bytesAvailable() > kDidziausiasAtsakymas) {
        nutraukta = TSarasoBusena::PerDidelis;
        atsakymas->abort();
        return;
    }
    turinys += atsakymas->readAll();
}

void TSteamSarasas::Baigti() {
    QNetworkReply* baigtas = atsakymas;
    if (!baigtas)
        return;
    atsakymas = nullptr;
    baigtas->deleteLater();
    if (!nutraukta)
        Skaityti();

    const int kodas = baigtas->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    TSarasoRezultatas r;
    if (nutraukta) {
        r.Busena = *nutraukta;
    } else if (baigtas->error() == QNetworkReply::OperationCanceledError) {
        // The transfer's time-out aborted it, before or after the status came
        // (this object's own aborts are told by `nutraukta`, or never get here).
        r.Busena = TSarasoBusena::LaikasBaigesi;
    } else if (kodas == 200 && baigtas->error() == QNetworkReply::NoError) {
        r = SkaitytiSarasa(turinys, riba);
    } else if (kodas == 401 || kodas == 403) {
        r.Busena = TSarasoBusena::RaktasAtmestas;
    } else if (kodas == 429 || (kodas >= 500 && kodas <= 599)) {
        r.Busena = TSarasoBusena::Uzimta;
    } else if (kodas != 0) {
        r.Busena = TSarasoBusena::BlogasAtsakymas;
    } else {
        switch (baigtas->error()) {
        case QNetworkReply::SslHandshakeFailedError:
            r.Busena = TSarasoBusena::Sertifikatas;
            break;
        case QNetworkReply::TimeoutError:
            r.Busena = TSarasoBusena::LaikasBaigesi;
            break;
        default:
            r.Busena = TSarasoBusena::BeTinklo;
            break;
        }
    }
    r.HttpKodas = kodas;
    turinys.clear();
    qCDebug(SarasuZurnalas).noquote() << "Web API list answered: status" << int(r.Busena) << "HTTP" << kodas
                                      << "servers" << r.Serveriai.size() << "dropped" << r.Atmesta;
    Pranesti(std::move(r));
}

void TSteamSarasas::Pranesti(TSarasoRezultatas rezultatas) {
    // Through the event loop: never from inside Prasyti.
    QTimer::singleShot(0, this, [this, r = std::move(rezultatas)] { Q_EMIT Baigta(r); });
}
