#include "TybINI.h"

#include <algorithm>
#include <optional>

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>

#include "Keliai.h"
#include "Tekstas.h"

using namespace Qt::StringLiterals;

namespace {

using TEilutes = QList<QByteArray>;

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

bool ArTinkaEilutei(const QByteArray& tekstas) {
    return !tekstas.contains('\r') && !tekstas.contains('\n') && !tekstas.contains('\0');
}

// The line model of one operation: the markers as bytes and the two searches.
class TSekcijuPaieska {
public:
    TSekcijuPaieska(const TTybINI& ini, const QString& sekcija)
        : pradzia(ini.SectionBeginID().toUtf8()), pabaiga(ini.SectionEndID().toUtf8()),
          komentaras(ini.KomentaroZenklas().toUtf8()), antraste(pradzia + sekcija.toUtf8() + pabaiga) {}

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
    std::optional<qsizetype> RastiRakta(const TEilutes& eilutes, const QByteArray& raktas) const {
        std::optional<qsizetype> rasta;
        for (qsizetype n = 0; n < eilutes.size(); ++n) {
            if (!ArRaktoAntraste(eilutes.at(n)))
                continue;
            const qsizetype riba = RastiRiba(eilutes, n + 1);
            for (qsizetype k = n + 1; k < riba; ++k) {
                const QByteArray& e = eilutes.at(k);
                if (!ArKomentarasRaktui(e) && e.contains(raktas))
                    rasta = k;
            }
        }
        return rasta;
    }

private:
    bool ArKomentaras(const QByteArray& eilute) const { return !komentaras.isEmpty() && eilute.startsWith(komentaras); }

    // Key lines are tested on their first character only.
    bool ArKomentarasRaktui(const QByteArray& eilute) const {
        return !komentaras.isEmpty() && !eilute.isEmpty() && eilute.at(0) == komentaras.at(0);
    }

    // The key search takes a line for the section's header when its first 20
    // bytes are the header text. Header texts longer than 20 bytes are compared
    // over their whole length, so such sections keep working.
    bool ArRaktoAntraste(const QByteArray& eilute) const {
        const qsizetype ilgis = std::max<qsizetype>(20, antraste.size());
        return !ArKomentaras(eilute) && eilute.left(ilgis) == antraste;
    }

    // The first line from `nuo` on that is not a comment and holds both markers;
    // the line count when there is none.
    qsizetype RastiRiba(const TEilutes& eilutes, qsizetype nuo) const {
        for (qsizetype k = nuo; k < eilutes.size(); ++k) {
            const QByteArray& e = eilutes.at(k);
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
      komentaroZenklas(u";"_s), byla(u"*.Tyb"_s) {}

TTybINI::~TTybINI() = default;

QByteArray TTybINI::SkaitytiReiksme(const QString& sekcija, const QString& raktas) const {
    const std::optional<TFailas> failas = SkaitytiFaila(byla);
    if (!failas)
        return kRezultatasNeraFailo;
    const TEilutes eilutes = IsskaidytiEilutes(failas->Turinys);
    const TSekcijuPaieska paieska(*this, sekcija);
    if (!paieska.RastiSekcija(eilutes))
        return kRezultatasNeraSekcijos;
    const std::optional<qsizetype> eilute = paieska.RastiRakta(eilutes, raktas.toUtf8());
    if (!eilute)
        return kRezultatasNeraRakto;
    const QByteArray& tekstas = eilutes.at(*eilute);
    const QByteArray zenklas = zenklasLygu.toUtf8();
    const qsizetype vieta = zenklas.isEmpty() ? -1 : tekstas.indexOf(zenklas);
    return vieta < 0 ? tekstas : tekstas.mid(vieta + zenklas.size());
}

QString TTybINI::SkaitytiTeksta(const QString& sekcija, const QString& raktas) const {
    return RodomasTekstas(SkaitytiReiksme(sekcija, raktas));
}

QByteArray TTybINI::RasytiReiksme(const QString& sekcija, const QString& raktas, const QByteArray& reiksme) {
    const QByteArray sekcijosBaitai = sekcija.toUtf8();
    const QByteArray raktoBaitai = raktas.toUtf8();
    if (!ArTinkaEilutei(sekcijosBaitai) || !ArTinkaEilutei(raktoBaitai) || !ArTinkaEilutei(reiksme))
        throw EKlaida(u"A section, key or value written to \"%1\" holds a line break or NUL character"_s.arg(byla));

    const std::optional<TFailas> failas = SkaitytiFaila(byla);
    if (!failas)
        return kRezultatasNeraFailo;
    const QString& kelias = failas->Kelias;
    TEilutes eilutes = IsskaidytiEilutes(failas->Turinys);
    const TSekcijuPaieska paieska(*this, sekcija);
    const std::optional<qsizetype> antraste = paieska.RastiSekcija(eilutes);
    const std::optional<qsizetype> eilute = paieska.RastiRakta(eilutes, raktoBaitai);
    const QByteArray naujaEilute = raktoBaitai + zenklasLygu.toUtf8() + reiksme;

    if (!antraste) {
        eilutes.append(QByteArray());
        eilutes.append(paieska.Antraste());
        PakeistiFailaAtomiskai(kelias, SujungtiEilutes(eilutes));
        eilutes.append(naujaEilute);
        PakeistiFailaAtomiskai(kelias, SujungtiEilutes(eilutes));
        return kRezultatasNeraSekcijos;
    }
    if (eilute) {
        eilutes[*eilute] = naujaEilute;
        PakeistiFailaAtomiskai(kelias, SujungtiEilutes(eilutes));
        return kRezultatasPakeista;
    }
    eilutes.insert(*antraste + 1, naujaEilute);
    PakeistiFailaAtomiskai(kelias, SujungtiEilutes(eilutes));
    return kRezultatasNeraRakto;
}

QList<QByteArray> IsskaidytiEilutes(const QByteArray& turinys) {
    qsizetype pabaiga = turinys.indexOf('\0');
    if (pabaiga < 0)
        pabaiga = turinys.size();
    QList<QByteArray> eilutes;
    qsizetype pradzia = 0;
    qsizetype i = 0;
    while (i < pabaiga) {
        const char c = turinys.at(i);
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        eilutes.append(turinys.mid(pradzia, i - pradzia));
        if (c == '\r' && i + 1 < pabaiga && turinys.at(i + 1) == '\n')
            ++i;
        pradzia = ++i;
    }
    if (pradzia < pabaiga)
        eilutes.append(turinys.mid(pradzia, pabaiga - pradzia));
    return eilutes;
}

QByteArray SujungtiEilutes(const QList<QByteArray>& eilutes) {
    QByteArray turinys;
    for (const QByteArray& e : eilutes)
        turinys += e + "\r\n";
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
    if (!failas.open(QIODevice::WriteOnly))
        throw klaida();
    if (failas.write(turinys) != turinys.size())
        throw klaida();
    if (PriesPakeiciantFaila)
        PriesPakeiciantFaila(kelias);
    if (!failas.commit())
        throw klaida();
}
