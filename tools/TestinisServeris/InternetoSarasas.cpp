#include "InternetoSarasas.h"

#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponse>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QUrlQuery>

#include "AtsakymuKurejas.h"

using namespace Qt::StringLiterals;

namespace {

constexpr const char* kZemelapiai[] = {"de_dust2", "de_inferno", "de_nuke", "cs_assault", "cs_office",
                                       "de_train", "de_aztec",   "aim_map", "fy_snow",    "cs_italy"};
constexpr quint8 kMaksimumai[] = {12, 16, 20, 32, 10};

int ZaidejuSkaicius(const TServerioTurinys& t) {
    return t.ZaidejuSkaicius ? int(*t.ZaidejuSkaicius) : int(qMin<qsizetype>(t.Zaidejai.size(), 255));
}

// "*text*" and the like: '*' stands for any text, '?' for one character, letter case aside.
bool AtitinkaSablona(const QString& tekstas, const QString& sablonas) {
    return QRegularExpression::fromWildcard(sablonas, Qt::CaseInsensitive).match(tekstas).hasMatch();
}

bool Atitinka(const TSarasoIrasas& irasas, const QList<QPair<QString, QString>>& salygos) {
    const TServerioTurinys& t = irasas.Turinys;
    const TDetales& d = t.Detales;
    const int zaidejai = ZaidejuSkaicius(t);
    for (const auto& [raktas, reiksme] : salygos) {
        if (raktas == u"appid"_s && reiksme.toInt() != t.AppId)
            return false;
        if (raktas == u"gamedir"_s && reiksme.compare(QString::fromUtf8(d.Info.Katalogas), Qt::CaseInsensitive) != 0)
            return false;
        if (raktas == u"map"_s && reiksme.compare(QString::fromUtf8(d.Info.Zemelapis), Qt::CaseInsensitive) != 0)
            return false;
        if (raktas == u"empty"_s && reiksme == u"1"_s && zaidejai == 0)
            return false;
        if (raktas == u"full"_s && reiksme == u"1"_s && zaidejai >= d.MaxZaideju)
            return false;
        if (raktas == u"noplayers"_s && reiksme == u"1"_s && zaidejai != 0)
            return false;
        if (raktas == u"password"_s && reiksme == u"0"_s && d.Slaptazodis)
            return false;
        if (raktas == u"secure"_s && reiksme == u"1"_s && !d.Saugus)
            return false;
        if (raktas == u"linux"_s && reiksme == u"1"_s && d.OS == 'w')
            return false;
        if (raktas == u"dedicated"_s && reiksme == u"1"_s && d.ServerioTipas != 'd')
            return false;
        if (raktas == u"name_match"_s && !AtitinkaSablona(QString::fromUtf8(d.Info.Pavadinimas), reiksme))
            return false;
        if (raktas == u"gameaddr"_s) {
            const QString ip = irasas.Adresas.section(u':', 0, 0);
            const qsizetype dvitaskis = reiksme.indexOf(u':');
            if (reiksme.left(dvitaskis < 0 ? reiksme.size() : dvitaskis) != ip)
                return false;
            if (dvitaskis >= 0 && reiksme.mid(dvitaskis + 1).toInt() != irasas.ZaidimoPortas)
                return false;
        }
    }
    return true;
}

QJsonObject Eilute(const TSarasoIrasas& irasas, int nr) {
    const TServerioTurinys& t = irasas.Turinys;
    const TDetales& d = t.Detales;
    QJsonObject o;
    o.insert(u"addr"_s, irasas.Adresas);
    o.insert(u"gameport"_s, irasas.ZaidimoPortas);
    o.insert(u"steamid"_s, QString::number(85568392920000000LL + nr));
    o.insert(u"name"_s, QString::fromUtf8(d.Info.Pavadinimas));
    o.insert(u"appid"_s, t.AppId);
    o.insert(u"gamedir"_s, QString::fromUtf8(d.Info.Katalogas));
    o.insert(u"version"_s, QString::fromUtf8(t.Versija));
    o.insert(u"product"_s, QString::fromUtf8(d.Info.Katalogas));
    o.insert(u"region"_s, -1);
    o.insert(u"players"_s, ZaidejuSkaicius(t));
    o.insert(u"max_players"_s, d.MaxZaideju);
    o.insert(u"bots"_s, t.Botai);
    o.insert(u"map"_s, QString::fromUtf8(d.Info.Zemelapis));
    o.insert(u"secure"_s, d.Saugus != 0);
    o.insert(u"dedicated"_s, d.ServerioTipas == 'd');
    o.insert(u"os"_s, d.OS == 'w' ? u"w"_s : u"l"_s);
    o.insert(u"gametype"_s, QString());
    return o;
}

} // namespace

TServerioTurinys IvairusTurinys(int i) {
    TServerioTurinys t;
    TDetales& d = t.Detales;
    const QByteArray zemelapis = kZemelapiai[i % std::size(kZemelapiai)];
    d.Info.Pavadinimas = "Velmorant test #" + QByteArray::number(i + 1) + " | " + zemelapis;
    if (i % 5 == 1)
        d.Info.Pavadinimas += " | [RU] \xD0\xA1\xD0\xB5\xD1\x80\xD0\xB2\xD0\xB5\xD1\x80"; // "Сервер"
    d.Info.Zemelapis = zemelapis;
    d.Info.Katalogas = "cstrike";
    d.Info.Zaidimas = "Counter-Strike";
    d.MaxZaideju = kMaksimumai[i % std::size(kMaksimumai)];
    d.Protokolas = 48;
    d.ServerioTipas = 'd';
    d.OS = i % 3 == 2 ? 'w' : 'l';
    d.Slaptazodis = i % 7 == 3 ? 1 : 0;
    d.Saugus = i % 4 == 1 ? 0 : 1;
    // Some empty, some full, most between; bots among them.
    const int visi = (i * 7) % (d.MaxZaideju + 1);
    const int botai = qMin(visi, i % 4);
    t.Botai = quint8(botai);
    for (int k = 0; k < visi; ++k) {
        const bool botas = k >= visi - botai;
        const QByteArray vardas = QByteArray(botas ? "BOT " : "Player ") + QByteArray::number(k + 1);
        t.Zaidejai.append(KurtiZaidejoInfo(quint8(k + 1), vardas, (k * 3) % 40, 60.0f * float(k + 1)));
    }
    return t;
}

bool IvairusTylus(int i) {
    return i % 10 == 9;
}

TSarasoIrasas FakeIPIrasas(int i) {
    TSarasoIrasas irasas;
    irasas.ZaidimoPortas = quint16(62600 + i);
    irasas.Adresas = u"169.254.%1.%2:%3"_s.arg(200 + i / 250).arg(1 + i % 250).arg(irasas.ZaidimoPortas);
    irasas.Turinys = IvairusTurinys(i);
    TDetales& d = irasas.Turinys.Detales;
    d.Info.Pavadinimas = "player" + QByteArray::number(i + 1) + "'s Server";
    d.ServerioTipas = 'l';
    d.OS = 'w';
    return irasas;
}

TTestinisSarasas::TTestinisSarasas(QObject* tevas) : QObject(tevas) {}

TTestinisSarasas::~TTestinisSarasas() = default;

void TTestinisSarasas::NustatytiTls(const QSslCertificate& naujas, const QSslKey& raktas) {
    sertifikatas = naujas;
    tlsRaktas = raktas;
}

bool TTestinisSarasas::Paleisti(const QHostAddress& adresas, quint16 norimas, const QString& naujasRaktas) {
    raktas = naujasRaktas;
    serveris = std::make_unique<QHttpServer>();
    serveris->route(u"/IGameServersService/GetServerList/v1/"_s, [this](const QHttpServerRequest& uzklausa) {
        ++uzklausos;
        if (busena != 0)
            return QHttpServerResponse(QByteArrayLiteral("text/plain"), QByteArrayLiteral("Service Unavailable"),
                                       QHttpServerResponse::StatusCode(busena));
        const QUrlQuery q = uzklausa.query();
        if (q.queryItemValue(u"key"_s, QUrl::FullyDecoded) != raktas)
            return QHttpServerResponse(QByteArrayLiteral("text/html"),
                                       QByteArrayLiteral("<html><head><title>Forbidden</title></head><body><h1>"
                                                         "Forbidden</h1>Access is denied. Retrying will not help. "
                                                         "Please verify your <pre>key=</pre> parameter.</body></html>"),
                                       QHttpServerResponse::StatusCode::Forbidden);
        bool gerai = false;
        int riba = q.queryItemValue(u"limit"_s).toInt(&gerai);
        if (!gerai || riba <= 0)
            riba = kNumatytaRiba;
        return QHttpServerResponse(QByteArrayLiteral("application/json"),
                                   Atsakymas(q.queryItemValue(u"filter"_s, QUrl::FullyDecoded), riba));
    });
    serveris->route(u"/v1/servers/<arg>"_s, [this](const QString& katalogas) {
        ++bendruomenesUzklausos;
        if (busena != 0)
            return QHttpServerResponse(QByteArrayLiteral("text/plain"), QByteArrayLiteral("Service Unavailable"),
                                       QHttpServerResponse::StatusCode(busena));
        if (bendruomenesTekstas)
            return QHttpServerResponse(QByteArrayLiteral("text/plain; charset=utf-8"), *bendruomenesTekstas);
        const std::optional<QByteArray> sarasas = BendruomenesAtsakymas(katalogas);
        if (!sarasas)
            return QHttpServerResponse(QByteArrayLiteral("text/plain; charset=utf-8"),
                                       QByteArrayLiteral("no servers of this game\n"),
                                       QHttpServerResponse::StatusCode::NotFound);
        return QHttpServerResponse(QByteArrayLiteral("text/plain; charset=utf-8"), *sarasas);
    });
    if (!sertifikatas.isNull())
        serveris->sslSetup(sertifikatas, tlsRaktas);
    prievadas = serveris->listen(adresas, norimas);
    return prievadas != 0;
}

QByteArray TTestinisSarasas::Atsakymas(const QString& filtras, int riba) const {
    // "\key\value\key\value": the text before the first backslash is nothing.
    QList<QPair<QString, QString>> salygos;
    const QStringList dalys = filtras.split(u'\\');
    for (qsizetype i = 1; i + 1 < dalys.size(); i += 2)
        salygos.append({dalys.at(i), dalys.at(i + 1)});
    QJsonArray serveriai;
    for (qsizetype i = 0; i < irasai.size() && serveriai.size() < riba; ++i)
        if (Atitinka(irasai.at(i), salygos))
            serveriai.append(Eilute(irasai.at(i), int(i)));
    QJsonObject atsakymas;
    if (!serveriai.isEmpty())
        atsakymas.insert(u"servers"_s, serveriai);
    return QJsonDocument(QJsonObject{{u"response"_s, atsakymas}}).toJson(QJsonDocument::Compact);
}

std::optional<QByteArray> TTestinisSarasas::BendruomenesAtsakymas(const QString& katalogas) const {
    QByteArray eilutes;
    int kiek = 0;
    for (const TSarasoIrasas& irasas : irasai) {
        const TDetales& d = irasas.Turinys.Detales;
        if (katalogas.compare(QString::fromUtf8(d.Info.Katalogas), Qt::CaseInsensitive) != 0 ||
            irasas.Adresas.startsWith(u"169.254."_s))
            continue;
        eilutes += (d.Protokolas == 49 ? "ip " : "gs ") + irasas.Adresas.toUtf8() + '\n';
        ++kiek;
    }
    if (kiek == 0)
        return std::nullopt;
    return "# velmorant-testserver: " + QByteArray::number(kiek) + (kiek == 1 ? " server\n" : " servers\n") + eilutes;
}
