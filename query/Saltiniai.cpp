#include "Saltiniai.h"

#include <algorithm>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QUrl>
#include <QtEndian>

#include "Tekstas.h"

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype kVdfRiba = 4 * 1024 * 1024;
constexpr int kVdfGylis = 16;
constexpr qsizetype kHostoRiba = 253;

bool ArTarpas(QChar c) {
    return c.unicode() <= u' ';
}

bool ArTarpas(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

// A whole number of at most `skaitmenu` decimal digits, nothing else.
std::optional<uint> Skaicius(QByteArrayView tekstas, qsizetype skaitmenu) {
    if (tekstas.isEmpty() || tekstas.size() > skaitmenu)
        return std::nullopt;
    uint n = 0;
    for (const char c : tekstas) {
        if (c < '0' || c > '9')
            return std::nullopt;
        n = n * 10 + uint(c - '0');
    }
    return n;
}

// A dotted IPv4 address written out in full ("a.b.c.d", no other form).
std::optional<quint32> KeturiuDaliuAdresas(QByteArrayView tekstas) {
    quint32 ip = 0;
    for (int dalis = 0; dalis < 4; ++dalis) {
        const qsizetype taskas = dalis < 3 ? tekstas.indexOf('.') : tekstas.size();
        const std::optional<uint> n = taskas < 0 ? std::nullopt : Skaicius(tekstas.first(taskas), 3);
        if (!n || *n > 255)
            return std::nullopt;
        ip = (ip << 8) | *n;
        tekstas = tekstas.sliced(qMin(taskas + 1, tekstas.size()));
    }
    return ip;
}

// An address a game server can answer from.
bool ArServerioIP(quint32 ip) {
    return (ip >> 24) != 0 && ip != 0xFFFFFFFFu && (ip >> 28) != 0xE;
}

// A host name as the name service knows one: labels of letters, digits and
// hyphens, and at least one letter (so "1.2.3" is no name).
bool ArHostoVardas(QByteArrayView vardas) {
    if (vardas.isEmpty() || vardas.size() > kHostoRiba || vardas.startsWith('.') || vardas.endsWith('.') ||
        vardas.contains(".."))
        return false;
    bool raide = false;
    for (const char c : vardas) {
        const bool r = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        raide = raide || r;
        if (!r && !(c >= '0' && c <= '9') && c != '-' && c != '.')
            return false;
    }
    return raide;
}

TSaltinis::TRusis SaltinioRusis(const QString& zodis, bool* gerai) {
    *gerai = true;
    if (zodis.compare("masterstatic"_L1, Qt::CaseInsensitive) == 0)
        return TSaltinis::TRusis::Statinis;
    if (zodis.compare("master"_L1, Qt::CaseInsensitive) == 0)
        return TSaltinis::TRusis::Xash;
    if (zodis.compare("mastergs"_L1, Qt::CaseInsensitive) == 0)
        return TSaltinis::TRusis::GoldSrc;
    *gerai = false;
    return TSaltinis::TRusis::Statinis;
}

// ---- KeyValues ----

struct TVdfZodis {
    enum class TRusis { Tekstas, Atidaro, Uzdaro, Pabaiga };
    TRusis Rusis = TRusis::Pabaiga;
    QString Tekstas;
};

// The tokens of Valve's KeyValues text: "quoted" (with \" \\ \n \t),
// bare words, braces; "//" comments; "[$WIN32]" conditions are skipped.
class TVdfSkaitytuvas {
public:
    explicit TVdfSkaitytuvas(QStringView tekstas) : t(tekstas) {}

    TVdfZodis Kitas() {
        for (;;) {
            while (i < t.size() && ArTarpas(t[i]))
                ++i;
            if (i >= t.size())
                return {};
            if (t[i] == u'/' && i + 1 < t.size() && t[i + 1] == u'/') {
                while (i < t.size() && t[i] != u'\n')
                    ++i;
                continue;
            }
            if (t[i] == u'[') {
                while (i < t.size() && t[i] != u']' && t[i] != u'\n')
                    ++i;
                ++i;
                continue;
            }
            break;
        }
        if (t[i] == u'{' || t[i] == u'}') {
            const bool atidaro = t[i++] == u'{';
            return {atidaro ? TVdfZodis::TRusis::Atidaro : TVdfZodis::TRusis::Uzdaro, {}};
        }
        QString zodis;
        if (t[i] == u'"') {
            for (++i; i < t.size() && t[i] != u'"'; ++i) {
                QChar c = t[i];
                if (c == u'\\' && i + 1 < t.size()) {
                    const QChar kitas = t[++i];
                    c = kitas == u'n' ? QChar(u'\n') : kitas == u't' ? QChar(u'\t') : kitas;
                }
                if (zodis.size() < kSarasoTekstoRiba * 4)
                    zodis += c;
            }
            ++i;
        } else {
            for (; i < t.size() && !ArTarpas(t[i]) && t[i] != u'{' && t[i] != u'}' && t[i] != u'"'; ++i)
                if (zodis.size() < kSarasoTekstoRiba * 4)
                    zodis += t[i];
        }
        return {TVdfZodis::TRusis::Tekstas, zodis};
    }

private:
    QStringView t;
    qsizetype i = 0;
};

std::optional<TSteamIrasas> SteamIrasas(const QHash<QString, QString>& laukai) {
    const std::optional<TServerioAdresas> adresas = SaltinioAdresas(laukai.value(u"address"_s));
    if (!adresas)
        return std::nullopt;
    TSteamIrasas irasas;
    irasas.Adresas = *adresas;
    irasas.Vardas = VienaEilute(laukai.value(u"name"_s), kSarasoTekstoRiba);
    bool gerai = false;
    const qint64 kada = laukai.value(u"lastplayed"_s).toLongLong(&gerai);
    irasas.PaskutiniKarta = gerai && kada > 0 ? kada : 0;
    const int appId = laukai.value(u"appid"_s).toInt(&gerai);
    irasas.AppId = gerai && appId > 0 ? appId : 0;
    return irasas;
}

} // namespace

QList<QByteArrayView> EnginoZodziai(QByteArrayView t, qsizetype riba) {
    QList<QByteArrayView> zodziai;
    qsizetype i = 0;
    while (zodziai.size() < riba) {
        while (i < t.size() && ArTarpas(t[i]))
            ++i;
        if (i >= t.size())
            break;
        if (t[i] == '#' || (t[i] == '/' && i + 1 < t.size() && t[i + 1] == '/')) {
            i = t.indexOf('\n', i);
            if (i < 0)
                break;
            continue;
        }
        if (t[i] == '"') {
            const qsizetype pradzia = i + 1;
            i = t.indexOf('"', pradzia);
            if (i < 0)
                i = t.size();
            zodziai.append(t.sliced(pradzia, i - pradzia));
            ++i;
            continue;
        }
        const qsizetype pradzia = i;
        while (i < t.size() && !ArTarpas(t[i]) && t[i] != '"')
            ++i;
        zodziai.append(t.sliced(pradzia, i - pradzia));
    }
    return zodziai;
}

QList<TSaltinis> SkaitytiSaltinius(const QByteArray& tekstas) {
    QList<TSaltinis> saltiniai;
    const QList<QByteArrayView> zodziai =
        EnginoZodziai(QByteArrayView(tekstas).first(qMin(tekstas.size(), kSaltiniuFailoRiba)), 4 * kDaugiausiaSaltiniu);
    for (qsizetype i = 0; i + 1 < zodziai.size() && saltiniai.size() < kDaugiausiaSaltiniu; ++i) {
        bool gerai = false;
        const TSaltinis::TRusis rusis = SaltinioRusis(QString::fromUtf8(zodziai.at(i)), &gerai);
        if (!gerai)
            continue;
        TSaltinis saltinis{rusis, QString::fromUtf8(zodziai.at(++i)).trimmed()};
        if (rusis == TSaltinis::TRusis::Statinis) {
            const QUrl url(saltinis.Adresas);
            if (!url.isValid() || (url.scheme() != "http"_L1 && url.scheme() != "https"_L1) || url.host().isEmpty())
                continue;
        } else if (!BandytiSkaitytiAdresa(saltinis.Adresas)) {
            continue;
        }
        if (!saltiniai.contains(saltinis))
            saltiniai.append(saltinis);
    }
    return saltiniai;
}

QString SaltiniuKelias() {
    const QString is = qEnvironmentVariable("VELMORANT_SOURCES");
    if (!is.isEmpty())
        return is;
    QString bazinis = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (bazinis.isEmpty() || QDir::isRelativePath(bazinis))
        bazinis = QDir::homePath() + u"/.config"_s;
    return bazinis + u"/Velmorant/saltiniai.lst"_s;
}

QList<TSaltinis> SaltiniuFailas() {
    QFile failas(SaltiniuKelias());
    if (!failas.open(QIODevice::ReadOnly))
        return {{TSaltinis::TRusis::Statinis, QString::fromLatin1(kNumatytasSaltinis)}};
    return SkaitytiSaltinius(failas.read(kSaltiniuFailoRiba));
}

namespace {

// As SaltinioAdresas; `raktas`, for a dotted address, its number and port in one (0 for a name).
std::optional<TServerioAdresas> SkaitytiSaltinioAdresa(QByteArrayView tekstas, quint64* raktas) {
    *raktas = 0;
    if (tekstas.isEmpty() || tekstas.size() > kHostoRiba + 6 || tekstas.startsWith('['))
        return std::nullopt; // IPv6: the program's queries go over IPv4
    const qsizetype dvitaskis = tekstas.lastIndexOf(':');
    const QByteArrayView hostas = dvitaskis < 0 ? tekstas : tekstas.first(dvitaskis);
    uint portas = 27015;
    if (dvitaskis >= 0) {
        const std::optional<uint> p = Skaicius(tekstas.sliced(dvitaskis + 1), 5);
        if (!p || *p < 1 || *p > 65535)
            return std::nullopt;
        portas = *p;
    }
    if (const std::optional<quint32> ip = KeturiuDaliuAdresas(hostas)) {
        if (!ArServerioIP(*ip))
            return std::nullopt;
        *raktas = (quint64(*ip) << 16) | portas;
        return TServerioAdresas{IPTekstas(*ip), int(portas)};
    }
    if (!ArHostoVardas(hostas))
        return std::nullopt;
    return TServerioAdresas{QString::fromLatin1(hostas).toLower(), int(portas)};
}

} // namespace

std::optional<TServerioAdresas> SaltinioAdresas(QByteArrayView tekstas) {
    quint64 raktas = 0;
    return SkaitytiSaltinioAdresa(tekstas, &raktas);
}

std::optional<TServerioAdresas> SaltinioAdresas(const QString& tekstas) {
    return SaltinioAdresas(QByteArrayView(tekstas.toUtf8()));
}

TSaltinioSarasas SkaitytiStatiniSarasa(const QByteArray& tekstas) {
    TSaltinioSarasas r;
    // Two tokens an entry: a list of many more words than the entries kept is cut.
    const QList<QByteArrayView> zodziai = EnginoZodziai(tekstas, 2 * qsizetype(kDaugiausiaEiluciu) + 2);
    // Doubles told by the address's number, a name's by its text.
    QSet<quint64> jauIP;
    QSet<TServerioAdresas> jauVardai;
    jauIP.reserve(zodziai.size() / 2);
    r.Adresai.reserve(zodziai.size() / 2);
    for (qsizetype i = 0; i + 1 < zodziai.size(); i += 2) {
        const QByteArrayView zodis = zodziai.at(i);
        if (zodis != "ip" && zodis != "gs")
            continue;
        if (r.Adresai.size() >= kDaugiausiaEiluciu) {
            r.Nupjautas = true;
            break;
        }
        quint64 raktas = 0;
        const std::optional<TServerioAdresas> a = SkaitytiSaltinioAdresa(zodziai.at(i + 1), &raktas);
        if (!a) {
            ++r.Atmesta;
            continue;
        }
        if (raktas ? jauIP.contains(raktas) : jauVardai.contains(*a))
            continue;
        if (raktas)
            jauIP.insert(raktas);
        else
            jauVardai.insert(*a);
        r.Adresai.append(*a);
    }
    r.Nupjautas = r.Nupjautas || zodziai.size() > 2 * qsizetype(kDaugiausiaEiluciu);
    return r;
}

QString StatinioSarasoAdresas(const QString& baze, const QString& katalogas) {
    QString k = katalogas;
    k.remove(u'/');
    return (baze.endsWith(u'/') ? baze.chopped(1) : baze) + u"/v1/servers/"_s +
           QString::fromLatin1(QUrl::toPercentEncoding(k));
}

// ---- masters ----

QByteArray MasterioUzklausa(const QString& paskutinis, const QString& filtras, quint8 regionas) {
    QByteArray d;
    d += '1';
    d += char(regionas);
    d += paskutinis.toLatin1();
    d += '\0';
    d += filtras.toLatin1();
    d += '\0';
    return d;
}

QString MasterioFiltras(const TSarasoFiltras& f, std::optional<quint32> raktas) {
    QString tekstas = f.Tekstas();
    // No application: the masters know the game by its folder.
    const QString appId = u"\\appid\\"_s + QString::number(f.AppId);
    if (tekstas.startsWith(appId))
        tekstas.remove(0, appId.size());
    if (raktas)
        tekstas += u"\\clver\\"_s + QLatin1StringView(kXashKlientoVersija) + u"\\nat\\0\\key\\"_s +
                   u"%1"_s.arg(*raktas, 8, 16, QChar(u'0'));
    return tekstas;
}

std::optional<TMasterioPuslapis> SkaitytiMasterioPuslapi(const QByteArray& d, std::optional<quint32> raktas) {
    static const QByteArray kAntraste("\xFF\xFF\xFF\xFF\x66", 5);
    if (!d.startsWith(kAntraste) || d.size() < 6)
        return std::nullopt;
    qsizetype i = 6;
    const auto raktasTinka = [&](qsizetype nuo) {
        if (d.size() < nuo + 5)
            return false;
        i = nuo + 5;
        return qFromLittleEndian<quint32>(d.constData() + nuo) == *raktas;
    };
    const char rusis = d.at(5);
    if (raktas) {
        // A Xash3D master answers with the key it was asked with: anything else answers nobody.
        if (rusis == '\xFF' ? !raktasTinka(6)
                            : !(rusis == '\x0A' && d.size() > 6 && d.at(6) == '\x7F' && raktasTinka(7)))
            return std::nullopt;
    } else if (rusis != '\x0A') {
        return std::nullopt;
    }
    TMasterioPuslapis p;
    for (; i + 6 <= d.size(); i += 6) {
        const quint32 ip = qFromBigEndian<quint32>(d.constData() + i);
        const quint16 portas = qFromBigEndian<quint16>(d.constData() + i + 4);
        if (ip == 0 && portas == 0) {
            p.Paskutinis = true;
            break;
        }
        p.PaskutinisAdresas = IPTekstas(ip) + u':' + QString::number(portas);
        if (ArServerioIP(ip) && portas != 0)
            p.Adresai.append({IPTekstas(ip), portas});
        else
            ++p.Atmesta;
    }
    return p;
}

// ---- the Steam client's lists ----

TSteamSarasai SkaitytiSteamSarasus(const QByteArray& vdf) {
    TSteamSarasai r;
    const QString tekstas = QString::fromUtf8(vdf.left(kVdfRiba));
    TVdfSkaitytuvas s(tekstas);
    // The keys of the blocks open: "filters", "favorites", "1", ...
    QStringList kelias;
    QHash<QString, QString> laukai;
    QString raktas;
    for (TVdfZodis z = s.Kitas(); z.Rusis != TVdfZodis::TRusis::Pabaiga; z = s.Kitas()) {
        switch (z.Rusis) {
        case TVdfZodis::TRusis::Tekstas:
            if (raktas.isNull()) {
                raktas = z.Tekstas.toLower();
            } else {
                if (kelias.size() == 3)
                    laukai.insert(raktas, z.Tekstas);
                raktas = QString();
            }
            break;
        case TVdfZodis::TRusis::Atidaro:
            if (kelias.size() >= kVdfGylis)
                return r;
            kelias.append(raktas.isNull() ? QString() : raktas);
            raktas = QString();
            laukai.clear();
            break;
        case TVdfZodis::TRusis::Uzdaro:
            if (kelias.isEmpty())
                return r;
            if (kelias.size() == 3 && kelias.at(0) == "filters"_L1) {
                QList<TSteamIrasas>* sarasas = kelias.at(1) == "favorites"_L1 ? &r.Megstami
                                               : kelias.at(1) == "history"_L1 ? &r.Istorija
                                                                              : nullptr;
                if (sarasas && sarasas->size() < kDaugiausiaEiluciu)
                    if (const std::optional<TSteamIrasas> irasas = SteamIrasas(laukai))
                        sarasas->append(*irasas);
            }
            kelias.removeLast();
            raktas = QString();
            laukai.clear();
            break;
        case TVdfZodis::TRusis::Pabaiga:
            break;
        }
    }
    return r;
}

QStringList SteamSarasuFailai() {
    const QString namai = QDir::homePath();
    const QStringList saknys = {namai + u"/.steam/steam"_s, namai + u"/.local/share/Steam"_s,
                                namai + u"/.var/app/com.valvesoftware.Steam/.local/share/Steam"_s};
    QStringList failai;
    QSet<QString> jau;
    for (const QString& saknis : saknys) {
        const QDir paskyros(saknis + u"/userdata"_s);
        for (const QString& paskyra : paskyros.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
            const QString kelias = paskyros.filePath(paskyra + u"/7/remote/serverbrowser_hist.vdf"_s);
            const QString tikras = QFileInfo(kelias).canonicalFilePath();
            if (!tikras.isEmpty() && !jau.contains(tikras)) {
                jau.insert(tikras);
                failai.append(kelias);
            }
        }
    }
    return failai;
}

TSteamSarasai SkaitytiSteamFailus(const QStringList& failai, int appId) {
    TSteamSarasai visi;
    QHash<TServerioAdresas, qsizetype> megstamu;
    QHash<TServerioAdresas, qsizetype> istorijos;
    const auto prideti = [appId](QList<TSteamIrasas>& sarasas, QHash<TServerioAdresas, qsizetype>& kur,
                                 const QList<TSteamIrasas>& nauji) {
        for (const TSteamIrasas& n : nauji) {
            if (n.AppId != 0 && n.AppId != appId)
                continue;
            const auto jau = kur.constFind(n.Adresas);
            if (jau == kur.cend()) {
                if (sarasas.size() >= kDaugiausiaEiluciu)
                    continue;
                kur.insert(n.Adresas, sarasas.size());
                sarasas.append(n);
            } else if (n.PaskutiniKarta > sarasas.at(*jau).PaskutiniKarta) {
                sarasas[*jau] = n;
            }
        }
    };
    for (const QString& kelias : failai) {
        QFile failas(kelias);
        if (!failas.open(QIODevice::ReadOnly))
            continue;
        const TSteamSarasai vieno = SkaitytiSteamSarasus(failas.read(kVdfRiba));
        prideti(visi.Megstami, megstamu, vieno.Megstami);
        prideti(visi.Istorija, istorijos, vieno.Istorija);
    }
    std::stable_sort(visi.Istorija.begin(), visi.Istorija.end(),
                     [](const TSteamIrasas& a, const TSteamIrasas& b) { return a.PaskutiniKarta > b.PaskutiniKarta; });
    return visi;
}
