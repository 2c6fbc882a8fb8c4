#include "TybINI.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>

#include "Keliai.h"
#include "Tekstas.h"

using namespace Qt::StringLiterals;

namespace {

// The lines of one operation, as views into the content (and into the new line
// of a write): nothing is copied until the file is written back.
using TEilute = QByteArrayView;
using TEilutes = QList<TEilute>;

// Up to the first NUL; CR LF, a lone CR and a lone LF each end a line. A text
// that ends with a line break has no empty line after it.
TEilutes IsskaidytiIVaizdus(const QByteArray& turinys) {
    qsizetype pabaiga = turinys.indexOf('\0');
    if (pabaiga < 0)
        pabaiga = turinys.size();
    // The bytes up to `pabaiga` hold no NUL and one follows them (the first NUL,
    // or the terminator every QByteArray keeps), so strcspn stops at a line
    // break or at `pabaiga`.
    const char* duomenys = turinys.constData();
    qsizetype lauztes = 0;
    for (const char* p = duomenys; p < duomenys + pabaiga; ++lauztes)
        p += std::strcspn(p, "\r\n") + 1;
    TEilutes eilutes;
    eilutes.reserve(lauztes);
    qsizetype pradzia = 0;
    while (pradzia < pabaiga) {
        const qsizetype i = pradzia + qsizetype(std::strcspn(duomenys + pradzia, "\r\n"));
        eilutes.append(TEilute(duomenys + pradzia, i - pradzia));
        if (i == pabaiga)
            break;
        pradzia = i + (duomenys[i] == '\r' && duomenys[i + 1] == '\n' ? 2 : 1);
    }
    return eilutes;
}

QByteArray SujungtiVaizdus(const TEilutes& eilutes) {
    qsizetype ilgis = 0;
    for (const TEilute& e : eilutes)
        ilgis += e.size() + 2;
    QByteArray turinys;
    turinys.reserve(ilgis);
    for (const TEilute& e : eilutes)
        turinys.append(e).append("\r\n", 2);
    return turinys;
}

bool ArTinkaFailoVardui(const QString& byla) {
    return !byla.contains(u'*') && !byla.contains(u'?');
}

struct TFailas {
    QString Kelias; // the file-system path Byla resolved to
    QByteArray Turinys;
};

// The file's path and content, or nothing when no file exists there (a folder
// counts as no file).
std::optional<TFailas> SkaitytiFaila(const QString& byla) {
    if (!ArTinkaFailoVardui(byla))
        return std::nullopt;
    const QString kelias = VietinisKelias(byla);
    std::optional<QByteArray> turinys = SkaitytiFailoTurini(kelias, false);
    if (!turinys)
        return std::nullopt;
    return TFailas{kelias, std::move(*turinys)};
}

// A result marker as a text that shares the constant's bytes (no allocation).
template <qsizetype N> QByteArray Rezultatas(const char (&zyme)[N]) {
    return QByteArray::fromRawData(zyme, N - 1);
}

bool ArTinkaEilutei(const QByteArray& tekstas) {
    return !tekstas.contains('\r') && !tekstas.contains('\n') && !tekstas.contains('\0');
}

// The line model of one operation: the markers as bytes and the two searches.
class TSekcijuPaieska {
public:
    TSekcijuPaieska(const TTybINI::TZymes& zymes, const QByteArray& sekcija)
        : pradzia(zymes.Pradzia), pabaiga(zymes.Pabaiga), komentaras(zymes.Komentaras),
          antraste(pradzia + sekcija + pabaiga) {}

    const QByteArray& Antraste() const { return antraste; }

    // The last line that is exactly the section's header.
    std::optional<qsizetype> RastiSekcija(const TEilutes& eilutes) const {
        std::optional<qsizetype> rasta;
        for (qsizetype n = 0; n < eilutes.size(); ++n) {
            if (!ArKomentaras(eilutes.at(n)) && eilutes.at(n) == antraste)
                rasta = n;
        }
        return rasta;
    }

    // The last line matching `raktas` in the key ranges of all the section's headers.
    std::optional<qsizetype> RastiRakta(const TEilutes& eilutes, TEilute raktas) const {
        std::optional<qsizetype> rasta;
        for (qsizetype n = 0; n < eilutes.size(); ++n) {
            if (!ArRaktoAntraste(eilutes.at(n)))
                continue;
            const qsizetype riba = RastiRiba(eilutes, n + 1);
            for (qsizetype k = n + 1; k < riba; ++k) {
                const TEilute e = eilutes.at(k);
                if (!ArKomentarasRaktui(e) && e.contains(raktas))
                    rasta = k;
            }
        }
        return rasta;
    }

private:
    bool ArKomentaras(TEilute eilute) const { return !komentaras.isEmpty() && eilute.startsWith(komentaras); }

    // Key lines are tested on their first character only.
    bool ArKomentarasRaktui(TEilute eilute) const {
        return !komentaras.isEmpty() && !eilute.isEmpty() && eilute.at(0) == komentaras.at(0);
    }

    // The key search takes a line for the section's header when its first 20
    // bytes are the header text. Header texts longer than 20 bytes are compared
    // over their whole length, so such sections keep working.
    bool ArRaktoAntraste(TEilute eilute) const {
        const qsizetype ilgis = std::max<qsizetype>(20, antraste.size());
        return !ArKomentaras(eilute) && eilute.first(std::min(ilgis, eilute.size())) == antraste;
    }

    // The first line from `nuo` on that is not a comment and holds both markers;
    // the line count when there is none.
    qsizetype RastiRiba(const TEilutes& eilutes, qsizetype nuo) const {
        for (qsizetype k = nuo; k < eilutes.size(); ++k) {
            const TEilute e = eilutes.at(k);
            if (!ArKomentaras(e) && e.contains(pradzia) && e.contains(pabaiga))
                return k;
        }
        return eilutes.size();
    }

    QByteArray pradzia;
    QByteArray pabaiga;
    QByteArray komentaras;
    QByteArray antraste;
};

} // namespace

TTybINI::TTybINI(QObject* savininkas)
    : QObject(savininkas), sectionBeginID(u"-->"_s), sectionEndID(u"<--"_s), zenklasLygu(u"="_s),
      komentaroZenklas(u";"_s), zymes{"-->", "<--", "=", ";"}, byla(u"*.Tyb"_s) {}

TTybINI::~TTybINI() = default;

namespace {

QByteArray Skaityti(const TTybINI& ini, const QByteArray& turinys, const QString& sekcija, const QString& raktas) {
    const TEilutes eilutes = IsskaidytiIVaizdus(turinys);
    const TSekcijuPaieska paieska(ini.Zymes(), sekcija.toUtf8());
    if (!paieska.RastiSekcija(eilutes))
        return Rezultatas(kRezultatasNeraSekcijos);
    const std::optional<qsizetype> eilute = paieska.RastiRakta(eilutes, raktas.toUtf8());
    if (!eilute)
        return Rezultatas(kRezultatasNeraRakto);
    const TEilute tekstas = eilutes.at(*eilute);
    const QByteArray& zenklas = ini.Zymes().Lygu;
    const qsizetype vieta = zenklas.isEmpty() ? -1 : tekstas.indexOf(zenklas);
    return (vieta < 0 ? tekstas : tekstas.sliced(vieta + zenklas.size())).toByteArray();
}

void TikrintiEilutei(const QByteArray& sekcija, const QByteArray& raktas, const QByteArray& reiksme,
                     const QString& kur) {
    if (!ArTinkaEilutei(sekcija) || !ArTinkaEilutei(raktas) || !ArTinkaEilutei(reiksme))
        throw EKlaida(u"A section, key or value written to %1 holds a line break or NUL character"_s.arg(kur));
}

// The change of a write, handed to `israsyti` at each write-back: once for a
// replaced or inserted key line, twice for a new section (header, then key).
// The content is taken by value: the lines view it, and `israsyti` may replace
// the caller's copy while they are still in use.
QByteArray Rasyti(const TTybINI& ini, const QByteArray turinys, const QByteArray& sekcija, const QByteArray& raktas,
                  const QByteArray& reiksme, const std::function<void(const QByteArray&)>& israsyti) {
    TEilutes eilutes = IsskaidytiIVaizdus(turinys);
    const TSekcijuPaieska paieska(ini.Zymes(), sekcija);
    const std::optional<qsizetype> antraste = paieska.RastiSekcija(eilutes);
    const std::optional<qsizetype> eilute = paieska.RastiRakta(eilutes, raktas);
    const QByteArray naujaEilute = raktas + ini.Zymes().Lygu + reiksme;

    if (!antraste) {
        eilutes.append(TEilute());
        eilutes.append(paieska.Antraste());
        israsyti(SujungtiVaizdus(eilutes));
        eilutes.append(naujaEilute);
        israsyti(SujungtiVaizdus(eilutes));
        return Rezultatas(kRezultatasNeraSekcijos);
    }
    if (eilute) {
        eilutes[*eilute] = naujaEilute;
        israsyti(SujungtiVaizdus(eilutes));
        return Rezultatas(kRezultatasPakeista);
    }
    eilutes.insert(*antraste + 1, naujaEilute);
    israsyti(SujungtiVaizdus(eilutes));
    return Rezultatas(kRezultatasNeraRakto);
}

} // namespace

QByteArray TTybINI::SkaitytiReiksme(const QString& sekcija, const QString& raktas) const {
    const std::optional<TFailas> failas = SkaitytiFaila(byla);
    if (!failas)
        return Rezultatas(kRezultatasNeraFailo);
    return Skaityti(*this, failas->Turinys, sekcija, raktas);
}

QString TTybINI::SkaitytiTeksta(const QString& sekcija, const QString& raktas) const {
    return RodomasTekstas(SkaitytiReiksme(sekcija, raktas));
}

QByteArray TTybINI::RasytiReiksme(const QString& sekcija, const QString& raktas, const QByteArray& reiksme) {
    const QByteArray sek = sekcija.toUtf8();
    const QByteArray rak = raktas.toUtf8();
    TikrintiEilutei(sek, rak, reiksme, u'"' + byla + u'"');
    const std::optional<TFailas> failas = SkaitytiFaila(byla);
    if (!failas)
        return Rezultatas(kRezultatasNeraFailo);
    const QString& kelias = failas->Kelias;
    return Rasyti(*this, failas->Turinys, sek, rak, reiksme,
                  [&kelias](const QByteArray& naujas) { PakeistiFailaAtomiskai(kelias, naujas); });
}

QByteArray TTybINI::SkaitytiIsTurinio(const QByteArray& turinys, const QString& sekcija, const QString& raktas) const {
    return Skaityti(*this, turinys, sekcija, raktas);
}

QByteArray TTybINI::RasytiITurini(QByteArray& turinys, const QString& sekcija, const QString& raktas,
                                  const QByteArray& reiksme) const {
    const QByteArray sek = sekcija.toUtf8();
    const QByteArray rak = raktas.toUtf8();
    TikrintiEilutei(sek, rak, reiksme, u"a content in memory"_s);
    return Rasyti(*this, turinys, sek, rak, reiksme, [&turinys](const QByteArray& naujas) { turinys = naujas; });
}

QList<QByteArray> IsskaidytiEilutes(const QByteArray& turinys) {
    const TEilutes vaizdai = IsskaidytiIVaizdus(turinys);
    QList<QByteArray> eilutes;
    eilutes.reserve(vaizdai.size());
    for (const TEilute& e : vaizdai)
        eilutes.append(e.toByteArray());
    return eilutes;
}

QByteArray SujungtiEilutes(const QList<QByteArray>& eilutes) {
    return SujungtiVaizdus(TEilutes(eilutes.cbegin(), eilutes.cend()));
}

std::optional<QByteArray> SkaitytiFailoTurini(const QString& kelias, bool aplankasKlaida) {
    const QFileInfo info(kelias);
    if (!info.exists() || (info.isDir() && !aplankasKlaida))
        return std::nullopt;
    if (!info.isFile())
        throw EFailoKlaida(u"Cannot read the file \"%1\": it is not a regular file"_s.arg(kelias));
    QFile failas(kelias);
    if (!failas.open(QIODevice::ReadOnly)) {
        // Removed between the test above and the opening: that is no file as well.
        if (!QFileInfo::exists(kelias))
            return std::nullopt;
        throw EFailoKlaida(u"Cannot read the file \"%1\": %2"_s.arg(kelias, failas.errorString()));
    }
    QByteArray turinys = failas.readAll();
    if (failas.error() != QFileDevice::NoError)
        throw EFailoKlaida(u"Cannot read the file \"%1\": %2"_s.arg(kelias, failas.errorString()));
    return turinys;
}

void PakeistiFailaAtomiskai(const QString& kelias, const QByteArray& turinys) {
    QSaveFile failas(kelias);
    const auto klaida = [&] {
        return EFailoKlaida(u"Cannot write the file \"%1\": %2"_s.arg(kelias, failas.errorString()));
    };
    if (!failas.open(QIODevice::WriteOnly))
        throw klaida();
    if (failas.write(turinys) != turinys.size())
        throw klaida();
    if (PriesPakeiciantFaila)
        PriesPakeiciantFaila(kelias);
    if (!failas.commit())
        throw klaida();
}
