#include "TybINI.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <optional>

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>

#include "Keliai.h"
#include "PrivatusFailas.h"
#include "Tekstas.h"

using namespace Qt::StringLiterals;

namespace {

// A line of the content, as a view into it: nothing is copied until the file is
// written back.
using TEilute = QByteArrayView;

// Walks the lines of a text: up to the first NUL; CR LF, a lone CR and a lone LF
// each end a line, and a text that ends with a line break has no empty line after
// it. Each byte is looked at a bounded number of times: the next CR and the next
// LF are each searched once and kept until the walk passes them.
class TEiluciuEjimas {
public:
    explicit TEiluciuEjimas(TEilute turinys) : p(turinys.data()) {
        const qsizetype nulis = turinys.indexOf('\0');
        galas = p + (nulis < 0 ? turinys.size() : nulis);
    }

    // The next line in `eilute`; false after the last one.
    bool Kita(TEilute& eilute) {
        if (p == galas)
            return false;
        const char* lauzte = std::min(Kitas(cr, '\r'), Kitas(lf, '\n'));
        eilute = TEilute(p, lauzte - p);
        if (lauzte == galas)
            p = galas;
        else
            p = lauzte + (*lauzte == '\r' && lauzte + 1 != galas && lauzte[1] == '\n' ? 2 : 1);
        return true;
    }

private:
    // The first `zenklas` at or after the walk's place (`galas` when there is none).
    const char* Kitas(const char*& rastas, char zenklas) const {
        if (rastas && rastas >= p)
            return rastas;
        const void* r = std::memchr(p, zenklas, galas - p);
        rastas = r ? static_cast<const char*>(r) : galas;
        return rastas;
    }

    const char* p;
    const char* galas;
    const char* cr = nullptr;
    const char* lf = nullptr;
};

// The one change a write makes to the lines: the line numbered `Kur` is
// replaced by `Nauja` or, when `Iterpti` is set, `Nauja` is inserted after it.
struct TPakeitimas {
    qsizetype Kur = -1; // no line: nothing is replaced or inserted
    TEilute Nauja;
    bool Iterpti = false;
};

// The lines of `turinys` joined, each ended by CR LF, with `pakeitimas` made,
// then the lines of `pabaigoje` appended. `ilgis` is the length of the result,
// known to the caller from its walk.

QByteArray Sujungti(TEilute turinys, const TPakeitimas& pakeitimas, std::initializer_list<TEilute> pabaigoje,
                    qsizetype ilgis) {
    QByteArray rezultatas;
    rezultatas.reserve(ilgis);
    const auto prideti = [&rezultatas](TEilute e) {
        rezultatas.append(e).append("\r\n", 2);
    };
    TEiluciuEjimas ejimas(turinys);
    TEilute e;
    for (qsizetype n = 0; ejimas.Kita(e); ++n) {
        const bool cia = n == pakeitimas.Kur;
        prideti(cia && !pakeitimas.Iterpti ? pakeitimas.Nauja : e);
        if (cia && pakeitimas.Iterpti)
            prideti(pakeitimas.Nauja);
    }
    for (const TEilute p : pabaigoje)
        prideti(p);
    return rezultatas;
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

// What one walk over the content finds for a section and a key.
struct TRadiniai {
    std::optional<qsizetype> Antraste; // the last line that is exactly the section's header
    std::optional<qsizetype> Eilute;   // the last line matching the key in the section's key ranges
    TEilute EilutesTekstas;            // that line
    qsizetype Eiluciu = 0;             // the number of lines
    qsizetype Baitu = 0;               // their bytes, without the line breaks
};

// The line model of one operation: the markers as bytes and the search.
class TSekcijuPaieska {
public:
    TSekcijuPaieska(const TTybINI::TZymes& zymes, const QByteArray& sekcija)
        : pradzia(zymes.Pradzia), pabaiga(zymes.Pabaiga), komentaras(zymes.Komentaras),
          antraste(pradzia + sekcija + pabaiga) {}

    const QByteArray& Antraste() const { return antraste; }

    // One walk over the lines. A key range runs from a line the key search takes
    // for the section's header to the next line that is not a comment and holds
    // both markers. Such a header is itself such a line (it begins with the header
    // text, which holds both markers), so the ranges of all the section's headers
    // are found by noting, at each of these lines, whether it opens one.
    TRadiniai Rasti(TEilute turinys, TEilute raktas) const {
        TRadiniai r;
        bool srityje = false;
        TEiluciuEjimas ejimas(turinys);
        TEilute e;
        for (; ejimas.Kita(e); ++r.Eiluciu) {
            r.Baitu += e.size();
            const bool komentaras = ArKomentaras(e);
            if (!komentaras && e == antraste)
                r.Antraste = r.Eiluciu;
            if (!komentaras && e.contains(pradzia) && e.contains(pabaiga)) {
                srityje = ArRaktoAntraste(e);
            } else if (srityje && !ArKomentarasRaktui(e) && e.contains(raktas)) {
                r.Eilute = r.Eiluciu;
                r.EilutesTekstas = e;
            }
        }
        return r;
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
        return eilute.first(std::min(ilgis, eilute.size())) == antraste;
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
    const TSekcijuPaieska paieska(ini.Zymes(), sekcija.toUtf8());
    const TRadiniai r = paieska.Rasti(turinys, raktas.toUtf8());
    if (!r.Antraste)
        return Rezultatas(kRezultatasNeraSekcijos);
    if (!r.Eilute)
        return Rezultatas(kRezultatasNeraRakto);
    const TEilute tekstas = r.EilutesTekstas;
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
// The content is taken by value: `israsyti` may replace the caller's copy while
// the walk still reads it.
QByteArray Rasyti(const TTybINI& ini, const QByteArray turinys, const QByteArray& sekcija, const QByteArray& raktas,
                  const QByteArray& reiksme, const std::function<void(const QByteArray&)>& israsyti) {
    const TSekcijuPaieska paieska(ini.Zymes(), sekcija);
    const TRadiniai r = paieska.Rasti(turinys, raktas);
    const QByteArray naujaEilute = raktas + ini.Zymes().Lygu + reiksme;
    const qsizetype ilgis = r.Baitu + 2 * r.Eiluciu;
    const qsizetype su = naujaEilute.size() + 2;

    if (!r.Antraste) {
        const QByteArray& antraste = paieska.Antraste();
        const qsizetype suAntraste = ilgis + 2 + antraste.size() + 2;
        israsyti(Sujungti(turinys, {}, {TEilute(), antraste}, suAntraste));
        israsyti(Sujungti(turinys, {}, {TEilute(), antraste, naujaEilute}, suAntraste + su));
        return Rezultatas(kRezultatasNeraSekcijos);
    }
    if (r.Eilute) {
        israsyti(Sujungti(turinys, {*r.Eilute, naujaEilute, false}, {}, ilgis - r.EilutesTekstas.size() + su - 2));
        return Rezultatas(kRezultatasPakeista);
    }
    israsyti(Sujungti(turinys, {*r.Antraste, naujaEilute, true}, {}, ilgis + su));
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
    QList<QByteArray> eilutes;
    TEiluciuEjimas ejimas(turinys);
    for (TEilute e; ejimas.Kita(e);)
        eilutes.append(e.toByteArray());
    return eilutes;
}

QByteArray SujungtiEilutes(const QList<QByteArray>& eilutes) {
    QByteArray turinys;
    qsizetype ilgis = 0;
    for (const QByteArray& e : eilutes)
        ilgis += e.size() + 2;
    turinys.reserve(ilgis);
    for (const QByteArray& e : eilutes)
        turinys.append(e).append("\r\n", 2);
    return turinys;
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
    if (!AtidarytiPrivatu(failas))
        throw klaida();
    if (failas.write(turinys) != turinys.size())
        throw klaida();
    if (PriesPakeiciantFaila)
        PriesPakeiciantFaila(kelias);
    if (!failas.commit())
        throw klaida();
}
