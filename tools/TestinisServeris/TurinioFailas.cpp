#include "TurinioFailas.h"

#include <cmath>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QStringList>

#include "AtsakymuKurejas.h"

using namespace Qt::StringLiterals;

namespace {

// Reads one document, keeping the first error met.
class TSkaitytuvas {
public:
    QString klaida;
    bool latin1 = false;

    bool Klaida(const QString& kelias, const QString& kas) {
        if (klaida.isEmpty())
            klaida = kelias + u": "_s + kas;
        return false;
    }

    bool TikZinomiRaktai(const QJsonObject& o, const QString& kelias, const QStringList& zinomi) {
        for (auto it = o.begin(); it != o.end(); ++it)
            if (!zinomi.contains(it.key()))
                return Klaida(kelias + it.key(), u"unknown key"_s);
        return true;
    }

    bool Tekstas(const QJsonValue& v, const QString& kelias, QByteArray& i) {
        if (!v.isString())
            return Klaida(kelias, u"expected a string"_s);
        const QString s = v.toString();
        if (s.contains(QChar(u'\0')))
            return Klaida(kelias, u"a text cannot hold U+0000"_s);
        if (!latin1) {
            i = s.toUtf8();
            return true;
        }
        for (const QChar c : s)
            if (c.unicode() > 0xFF)
                return Klaida(kelias, u"character above U+00FF in latin1 encoding"_s);
        i = s.toLatin1();
        return true;
    }

    bool Sveikas(const QJsonValue& v, const QString& kelias, double nuo, double iki, double& i) {
        if (!v.isDouble())
            return Klaida(kelias, u"expected a number"_s);
        const double d = v.toDouble();
        if (d != std::floor(d) || d < nuo || d > iki)
            return Klaida(kelias, u"expected a whole number from %1 to %2"_s.arg(nuo, 0, 'f', 0).arg(iki, 0, 'f', 0));
        i = d;
        return true;
    }

    bool Baitas(const QJsonValue& v, const QString& kelias, quint8& i) {
        double d = 0;
        if (!Sveikas(v, kelias, 0, 255, d))
            return false;
        i = static_cast<quint8>(d);
        return true;
    }

    bool Int32(const QJsonValue& v, const QString& kelias, qint32& i) {
        double d = 0;
        if (!Sveikas(v, kelias, -2147483648.0, 2147483647.0, d))
            return false;
        i = static_cast<qint32>(d);
        return true;
    }

    // true/false, or a byte for the servers that send other values.
    bool Pozymis(const QJsonValue& v, const QString& kelias, quint8& i) {
        if (v.isBool()) {
            i = v.toBool() ? 1 : 0;
            return true;
        }
        if (v.isDouble())
            return Baitas(v, kelias, i);
        return Klaida(kelias, u"expected true, false or a number 0-255"_s);
    }

    bool Raide(const QJsonValue& v, const QString& kelias, char& i) {
        QByteArray b;
        if (!Tekstas(v, kelias, b))
            return false;
        if (b.size() != 1)
            return Klaida(kelias, u"expected one character"_s);
        i = b[0];
        return true;
    }

    bool Modas(const QJsonValue& v, TDetales& d) {
        if (v.isNull()) {
            d.ArModas = 0;
            return true;
        }
        if (!v.isObject())
            return Klaida(u"mod"_s, u"expected null or an object"_s);
        const QJsonObject o = v.toObject();
        if (!TikZinomiRaktai(
                o, u"mod."_s,
                {u"url"_s, u"download"_s, u"reserved"_s, u"version"_s, u"size"_s, u"serverOnly"_s, u"customDll"_s}))
            return false;
        d.ArModas = 1;
        if (o.contains(u"url"_s) && !Tekstas(o[u"url"_s], u"mod.url"_s, d.MOD.Svetaine))
            return false;
        if (o.contains(u"download"_s) && !Tekstas(o[u"download"_s], u"mod.download"_s, d.MOD.Parsisiuntimas))
            return false;
        if (o.contains(u"reserved"_s) && !Tekstas(o[u"reserved"_s], u"mod.reserved"_s, d.MOD.Rezervuota))
            return false;
        if (o.contains(u"version"_s) && !Int32(o[u"version"_s], u"mod.version"_s, d.MODVersija))
            return false;
        if (o.contains(u"size"_s) && !Int32(o[u"size"_s], u"mod.size"_s, d.MODDydis))
            return false;
        if (o.contains(u"serverOnly"_s) && !Pozymis(o[u"serverOnly"_s], u"mod.serverOnly"_s, d.TikServerio))
            return false;
        if (o.contains(u"customDll"_s) && !Pozymis(o[u"customDll"_s], u"mod.customDll"_s, d.SavasDLL))
            return false;
        return true;
    }

    bool Zaidejai(const QJsonValue& v, TZaidejai& i) {
        if (!v.isArray())
            return Klaida(u"players"_s, u"expected an array"_s);
        const QJsonArray a = v.toArray();
        for (qsizetype n = 0; n < a.size(); ++n) {
            const QString kelias = u"players[%1]"_s.arg(n);
            if (!a[n].isObject())
                return Klaida(kelias, u"expected an object"_s);
            const QJsonObject o = a[n].toObject();
            if (!TikZinomiRaktai(o, kelias + u'.', {u"slot"_s, u"name"_s, u"frags"_s, u"seconds"_s}))
                return false;
            quint8 nr = static_cast<quint8>((n + 1) & 0xFF);
            QByteArray vardas;
            qint32 fragai = 0;
            double laikas = 0;
            if (o.contains(u"slot"_s) && !Baitas(o[u"slot"_s], kelias + u".slot"_s, nr))
                return false;
            if (o.contains(u"name"_s) && !Tekstas(o[u"name"_s], kelias + u".name"_s, vardas))
                return false;
            if (o.contains(u"frags"_s) && !Int32(o[u"frags"_s], kelias + u".frags"_s, fragai))
                return false;
            if (o.contains(u"seconds"_s)) {
                if (!o[u"seconds"_s].isDouble())
                    return Klaida(kelias + u".seconds"_s, u"expected a number"_s);
                laikas = o[u"seconds"_s].toDouble();
            }
            i.append(KurtiZaidejoInfo(nr, vardas, fragai, static_cast<float>(laikas)));
        }
        return true;
    }

    bool Taisykles(const QJsonValue& v, TTaisykles& i) {
        if (!v.isArray())
            return Klaida(u"rules"_s, u"expected an array"_s);
        const QJsonArray a = v.toArray();
        for (qsizetype n = 0; n < a.size(); ++n) {
            const QString kelias = u"rules[%1]"_s.arg(n);
            const QJsonArray pora = a[n].toArray();
            if (!a[n].isArray() || pora.size() != 2)
                return Klaida(kelias, u"expected [name, value]"_s);
            TTaisykle t;
            if (!Tekstas(pora[0], kelias + u"[0]"_s, t.Pavadinimas) || !Tekstas(pora[1], kelias + u"[1]"_s, t.Reiksme))
                return false;
            i.append(t);
        }
        return true;
    }

    std::optional<TServerioTurinys> Skaityti(const QByteArray& json) {
        QJsonParseError pe;
        const QJsonDocument doc = QJsonDocument::fromJson(json, &pe);
        if (pe.error != QJsonParseError::NoError) {
            Klaida(u"offset %1"_s.arg(pe.offset), pe.errorString());
            return std::nullopt;
        }
        if (!doc.isObject()) {
            Klaida(u"document"_s, u"expected an object"_s);
            return std::nullopt;
        }
        const QJsonObject o = doc.object();
        if (!TikZinomiRaktai(o, {},
                             {u"textEncoding"_s, u"name"_s, u"map"_s, u"address"_s, u"folder"_s, u"game"_s,
                              u"maxPlayers"_s, u"playersCount"_s, u"protocol"_s, u"serverType"_s, u"os"_s,
                              u"password"_s, u"mod"_s, u"secure"_s, u"players"_s, u"rules"_s, u"appId"_s, u"bots"_s,
                              u"version"_s}))
            return std::nullopt;
        if (o.contains(u"textEncoding"_s)) {
            const QString k = o[u"textEncoding"_s].toString();
            if (k == u"latin1"_s)
                latin1 = true;
            else if (k != u"utf-8"_s) {
                Klaida(u"textEncoding"_s, u"expected \"utf-8\" or \"latin1\""_s);
                return std::nullopt;
            }
        }
        TServerioTurinys t;
        TDetales& d = t.Detales;
        d.Info.Katalogas = "cstrike";
        d.Info.Zaidimas = "Counter-Strike";
        d.MaxZaideju = 32;
        d.Protokolas = 47;
        d.ServerioTipas = 'd';
        d.OS = 'l';
        bool gerai = true;
        auto tekstas = [&](const QString& raktas, QByteArray& i) {
            if (gerai && o.contains(raktas))
                gerai = Tekstas(o[raktas], raktas, i);
        };
        auto baitas = [&](const QString& raktas, quint8& i) {
            if (gerai && o.contains(raktas))
                gerai = Baitas(o[raktas], raktas, i);
        };
        auto pozymis = [&](const QString& raktas, quint8& i) {
            if (gerai && o.contains(raktas))
                gerai = Pozymis(o[raktas], raktas, i);
        };
        auto raide = [&](const QString& raktas, char& i) {
            if (gerai && o.contains(raktas))
                gerai = Raide(o[raktas], raktas, i);
        };
        tekstas(u"name"_s, d.Info.Pavadinimas);
        tekstas(u"map"_s, d.Info.Zemelapis);
        tekstas(u"address"_s, d.Info.Adresas);
        tekstas(u"folder"_s, d.Info.Katalogas);
        tekstas(u"game"_s, d.Info.Zaidimas);
        baitas(u"maxPlayers"_s, d.MaxZaideju);
        baitas(u"protocol"_s, d.Protokolas);
        raide(u"serverType"_s, d.ServerioTipas);
        raide(u"os"_s, d.OS);
        pozymis(u"password"_s, d.Slaptazodis);
        pozymis(u"secure"_s, d.Saugus);
        if (gerai && o.contains(u"playersCount"_s) && !o[u"playersCount"_s].isNull()) {
            quint8 kiekis = 0;
            gerai = Baitas(o[u"playersCount"_s], u"playersCount"_s, kiekis);
            t.ZaidejuSkaicius = kiekis;
        }
        if (gerai && o.contains(u"mod"_s))
            gerai = Modas(o[u"mod"_s], d);
        baitas(u"bots"_s, t.Botai);
        tekstas(u"version"_s, t.Versija);
        if (gerai && o.contains(u"appId"_s)) {
            double id = 0;
            gerai = Sveikas(o[u"appId"_s], u"appId"_s, -32768, 32767, id);
            t.AppId = static_cast<qint16>(id);
        }
        if (gerai && o.contains(u"players"_s))
            gerai = Zaidejai(o[u"players"_s], t.Zaidejai);
        if (gerai && o.contains(u"rules"_s))
            gerai = Taisykles(o[u"rules"_s], t.Taisykles);
        if (!gerai)
            return std::nullopt;
        return t;
    }
};

bool GeraUtf8(const QByteArray& b) {
    return QString::fromUtf8(b).toUtf8() == b;
}

} // namespace

std::optional<TServerioTurinys> SkaitytiTurinioJson(const QByteArray& json, QString* klaida) {
    TSkaitytuvas s;
    std::optional<TServerioTurinys> t = s.Skaityti(json);
    if (klaida)
        *klaida = s.klaida;
    return t;
}

QByteArray RasytiTurinioJson(const TServerioTurinys& t) {
    const TDetales& d = t.Detales;
    QList<QByteArray> tekstai = {d.Info.Pavadinimas,  d.Info.Zemelapis, d.Info.Adresas,
                                 d.Info.Katalogas,    d.Info.Zaidimas,  QByteArray(1, d.ServerioTipas),
                                 QByteArray(1, d.OS), t.Versija};
    if (d.ArModas == 1)
        tekstai << d.MOD.Svetaine << d.MOD.Parsisiuntimas << d.MOD.Rezervuota;
    for (const TZaidejoInfo& z : t.Zaidejai)
        tekstai << z.Zaidejas.Vardas;
    for (const TTaisykle& r : t.Taisykles)
        tekstai << r.Pavadinimas << r.Reiksme;
    bool utf8 = true;
    for (const QByteArray& b : tekstai)
        utf8 = utf8 && GeraUtf8(b);
    auto tekstas = [utf8](const QByteArray& b) {
        return utf8 ? QString::fromUtf8(b) : QString::fromLatin1(b);
    };

    QJsonObject o;
    o[u"textEncoding"_s] = utf8 ? u"utf-8"_s : u"latin1"_s;
    o[u"name"_s] = tekstas(d.Info.Pavadinimas);
    o[u"map"_s] = tekstas(d.Info.Zemelapis);
    if (!d.Info.Adresas.isEmpty())
        o[u"address"_s] = tekstas(d.Info.Adresas);
    o[u"folder"_s] = tekstas(d.Info.Katalogas);
    o[u"game"_s] = tekstas(d.Info.Zaidimas);
    o[u"maxPlayers"_s] = d.MaxZaideju;
    o[u"playersCount"_s] = t.ZaidejuSkaicius ? QJsonValue(*t.ZaidejuSkaicius) : QJsonValue(QJsonValue::Null);
    o[u"protocol"_s] = d.Protokolas;
    o[u"serverType"_s] = tekstas(QByteArray(1, d.ServerioTipas));
    o[u"os"_s] = tekstas(QByteArray(1, d.OS));
    o[u"password"_s] = d.Slaptazodis;
    if (d.ArModas == 1) {
        QJsonObject m;
        m[u"url"_s] = tekstas(d.MOD.Svetaine);
        m[u"download"_s] = tekstas(d.MOD.Parsisiuntimas);
        m[u"reserved"_s] = tekstas(d.MOD.Rezervuota);
        m[u"version"_s] = d.MODVersija;
        m[u"size"_s] = d.MODDydis;
        m[u"serverOnly"_s] = d.TikServerio;
        m[u"customDll"_s] = d.SavasDLL;
        o[u"mod"_s] = m;
    } else {
        o[u"mod"_s] = QJsonValue(QJsonValue::Null);
    }
    o[u"secure"_s] = d.Saugus;
    o[u"appId"_s] = t.AppId;
    o[u"bots"_s] = t.Botai;
    o[u"version"_s] = tekstas(t.Versija);
    QJsonArray zaidejai;
    for (const TZaidejoInfo& z : t.Zaidejai) {
        QJsonObject p;
        p[u"slot"_s] = z.Zaidejas.Nr;
        p[u"name"_s] = tekstas(z.Zaidejas.Vardas);
        p[u"frags"_s] = z.Zaidejas.Fragai;
        p[u"seconds"_s] = static_cast<double>(z.Zaidejas.Laikas);
        zaidejai.append(p);
    }
    o[u"players"_s] = zaidejai;
    QJsonArray taisykles;
    for (const TTaisykle& r : t.Taisykles)
        taisykles.append(QJsonArray{tekstas(r.Pavadinimas), tekstas(r.Reiksme)});
    o[u"rules"_s] = taisykles;
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

TServerioTurinys DemonstracinisTurinys() {
    TServerioTurinys t;
    TDetales& d = t.Detales;
    d.Info.Pavadinimas = "Velmorant test server | de_dust2 only | 100 tick";
    d.Info.Zemelapis = "de_dust2";
    d.Info.Katalogas = "cstrike";
    d.Info.Zaidimas = "Counter-Strike";
    d.MaxZaideju = 20;
    d.Protokolas = 47;
    d.ServerioTipas = 'd';
    d.OS = 'l';
    d.Slaptazodis = 0;
    d.ArModas = 1;
    d.MOD.Svetaine = "www.counter-strike.net";
    d.MODVersija = 1;
    d.MODDydis = 184000000;
    d.TikServerio = 0;
    d.SavasDLL = 1;
    d.Saugus = 1;
    // One more than listed: a spectator.
    t.ZaidejuSkaicius = 11;

    struct TIrasas {
        const char* vardas;
        qint32 fragai;
        float laikas;
    };
    const TIrasas zaidejai[] = {
        {"Vilkas", 31, 3904.6f},
        {"[LT] \xC5\xBD"
         "aibas",
         24, 2471.2f}, // "Žaibas" in UTF-8
        {"Player", 0, 12.9f},
        {"-=ShadowFox=-", 17, 1820.0f},
        {"n00b killer", -3, 640.4f},
        {"Gintaras <AFK>", 2, 86405.7f},
        {"xX_Sniper_Xx", 12, 1022.5f},
        {"Ruta", -1, 59.5f},
        {"ak47 & deagle", 9, 733.1f},
        {"Marius", 5, 301.0f},
    };
    quint8 nr = 1;
    for (const TIrasas& z : zaidejai)
        t.Zaidejai.append(KurtiZaidejoInfo(nr++, z.vardas, z.fragai, z.laikas));

    const char* taisykles[][2] = {
        {"allow_spectators", "1"},
        {"amxmodx_version", "1.9.0.5294"},
        {"metamod_version", "1.3.0.138"},
        {"mp_autoteambalance", "1"},
        {"mp_buytime", "0.25"},
        {"mp_c4timer", "35"},
        {"mp_footsteps", "1"},
        {"mp_freezetime", "3"},
        {"mp_friendlyfire", "0"},
        {"mp_limitteams", "2"},
        {"mp_roundtime", "2.5"},
        {"mp_startmoney", "800"},
        {"mp_timelimit", "30"},
        {"sv_alltalk", "0"},
        {"sv_contact", "admin@example.lt"},
        {"sv_gravity", "800"},
    };
    for (const auto& r : taisykles)
        t.Taisykles.append(TTaisykle{r[0], r[1]});
    return t;
}
