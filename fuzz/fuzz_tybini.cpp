// Fuzzes TTybINI: the input is a file's content; reads and writes of sections and
// keys taken from it must agree with a separate model of the searches and keep the
// file's invariants:
// - a read returns what the model finds and never changes the file;
// - a write gives the model's result and leaves exactly the model's lines, each
//   ending in CR LF, with no NUL;
// - a write refuses texts with line breaks and leaves the file alone;
// - when the written line can be found again, a read returns the value, and a
//   second identical write is "###0" and changes no byte.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include <QDir>
#include <QFile>
#include <QList>
#include <QTemporaryDir>

#include "TybINI.h"

using namespace Qt::StringLiterals;

namespace {

#define TIKRINTI(salyga)                                                                                               \
    do {                                                                                                               \
        if (!(salyga)) {                                                                                               \
            std::fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #salyga);                                  \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)

QByteArray Perskaityti(const QString& kelias) {
    QFile f(kelias);
    TIKRINTI(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

void Irasyti(const QString& kelias, const QByteArray& turinys) {
    QFile f(kelias);
    TIKRINTI(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    TIKRINTI(f.write(turinys) == turinys.size());
}

// The lines as the file format defines them, written independently of TTybINI:
// the text ends at the first NUL; CR LF, CR and LF end lines.
QList<QByteArray> Eilutes(const QByteArray& turinys) {
    QByteArray t = turinys.left(turinys.indexOf('\0') < 0 ? turinys.size() : turinys.indexOf('\0'));
    t.replace("\r\n", "\n");
    t.replace('\r', '\n');
    QList<QByteArray> eilutes = t.split('\n');
    if (eilutes.last().isEmpty())
        eilutes.removeLast();
    return eilutes;
}

bool ArVienaEilute(const QByteArray& t) {
    return !t.contains('\r') && !t.contains('\n') && !t.contains('\0');
}

// Deterministic choices from the input.
class TAtsitiktinis {
public:
    explicit TAtsitiktinis(const QByteArray& sekla) : busena(qHash(sekla) | 1) {}
    std::uint64_t Kitas() {
        busena ^= busena << 13;
        busena ^= busena >> 7;
        busena ^= busena << 17;
        return busena;
    }
    template <typename T> const T& Is(const QList<T>& sarasas) { return sarasas.at(Kitas() % sarasas.size()); }

private:
    std::uint64_t busena;
};

const QString& Kelias() {
    // tmpfs when there is one: the atomic writes flush to the disk every time.
    static QTemporaryDir aplankas((QDir(u"/dev/shm"_s).exists() ? u"/dev/shm"_s : QDir::tempPath()) +
                                  u"/fuzz_tybini-XXXXXX"_s);
    static const QString kelias = aplankas.filePath(u"f.tyb"_s);
    return kelias;
}

// The searches modelled as one walk over the lines, independently of TTybINI: a
// line that is not a comment and holds both markers ends any key range, and opens
// the section's range when its first max(20, header length) bytes are the header.
struct TModelis {
    std::optional<qsizetype> Antraste; // the last line that is exactly the header
    std::optional<qsizetype> Eilute;   // the last key line matching the key
};

TModelis Modeliuoti(const QList<QByteArray>& eilutes, const QByteArray& antraste, const QByteArray& raktas) {
    TModelis m;
    bool srityje = false;
    for (qsizetype i = 0; i < eilutes.size(); ++i) {
        const QByteArray& e = eilutes.at(i);
        const bool komentaras = e.startsWith(';');
        if (!komentaras && e == antraste)
            m.Antraste = i;
        if (!komentaras && e.contains("-->") && e.contains("<--")) {
            srityje = e.left(std::max<qsizetype>(20, antraste.size())) == antraste;
            continue;
        }
        if (srityje && !komentaras && e.contains(raktas))
            m.Eilute = i;
    }
    return m;
}

QByteArray Sujungti(const QList<QByteArray>& eilutes) {
    QByteArray t;
    for (const QByteArray& e : eilutes)
        t += e + "\r\n";
    return t;
}

void Patikrinti(const QString& kelias, const QByteArray& sekcija, const QByteArray& raktas, const QByteArray& reiksme) {
    TTybINI ini;
    ini.setByla(kelias);
    const QString sekcijaQ = QString::fromUtf8(sekcija);
    const QString raktasQ = QString::fromUtf8(raktas);
    // What the component will match: the UTF-8 form of the texts it is given.
    const QByteArray sek = sekcijaQ.toUtf8();
    const QByteArray rak = raktasQ.toUtf8();
    const QByteArray antraste = "-->" + sek + "<--";

    const QByteArray pries = Perskaityti(kelias);
    const QList<QByteArray> senos = Eilutes(pries);
    const TModelis m = Modeliuoti(senos, antraste, rak);

    QByteArray laukiama = "###2";
    if (m.Antraste && !m.Eilute) {
        laukiama = "###3";
    } else if (m.Antraste) {
        const QByteArray& e = senos.at(*m.Eilute);
        laukiama = e.contains('=') ? e.mid(e.indexOf('=') + 1) : e;
    }
    TIKRINTI(ini.SkaitytiReiksme(sekcijaQ, raktasQ) == laukiama);
    TIKRINTI(Perskaityti(kelias) == pries);

    if (!ArVienaEilute(sek) || !ArVienaEilute(rak) || !ArVienaEilute(reiksme)) {
        bool klaida = false;
        try {
            ini.RasytiReiksme(sekcijaQ, raktasQ, reiksme);
        } catch (const EKlaida&) {
            klaida = true;
        }
        TIKRINTI(klaida);
        TIKRINTI(Perskaityti(kelias) == pries);
        return;
    }

    const QByteArray eilute = rak + '=' + reiksme;
    QList<QByteArray> naujos = senos;
    QByteArray rezultatas;
    if (!m.Antraste) {
        naujos << QByteArray() << antraste << eilute;
        rezultatas = "###2";
    } else if (m.Eilute) {
        naujos[*m.Eilute] = eilute;
        rezultatas = "###0";
    } else {
        naujos.insert(*m.Antraste + 1, eilute);
        rezultatas = "###3";
    }
    TIKRINTI(ini.RasytiReiksme(sekcijaQ, raktasQ, reiksme) == rezultatas);
    const QByteArray po = Perskaityti(kelias);
    TIKRINTI(po == Sujungti(naujos));

    // The line can be found again unless it is no key line: an empty key, a key
    // holding the separator or starting with the comment marker, or a line that
    // holds both section markers (which ends a key range).
    const bool randama = !rak.isEmpty() && !rak.contains('=') && !rak.startsWith(';') &&
                         !(eilute.contains("-->") && eilute.contains("<--"));
    if (!randama)
        return;
    TIKRINTI(ini.SkaitytiReiksme(sekcijaQ, raktasQ) == reiksme);
    TIKRINTI(ini.RasytiReiksme(sekcijaQ, raktasQ, reiksme) == "###0");
    TIKRINTI(Perskaityti(kelias) == po);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* duomenys, std::size_t dydis) {
    const QByteArray turinys(reinterpret_cast<const char*>(duomenys), static_cast<qsizetype>(dydis));
    const QString& kelias = Kelias();
    Irasyti(kelias, turinys);

    // Candidates: a few fixed names plus the headers and keys the input itself holds.
    QList<QByteArray> sekcijos{"Nustatymai", "frmPagrindinis", "Pranesimai", ""};
    QList<QByteArray> raktai{"TAB", "Cap1", "Timeout", "=", ";x", ""};
    QList<QByteArray> reiksmes{"1", "", " a = b ", "-->x<--", "Lietuvi\xC5\xB3", "\xEB"};
    for (const QByteArray& e : Eilutes(turinys)) {
        if (e.startsWith("-->") && e.endsWith("<--") && e.size() >= 6)
            sekcijos.append(e.mid(3, e.size() - 6));
        const qsizetype lygu = e.indexOf('=');
        if (lygu > 0) {
            raktai.append(e.left(lygu));
            raktai.append(e.mid(lygu / 2, lygu - lygu / 2)); // a part of a key matches too
            reiksmes.append(e.mid(lygu + 1));
        }
    }
    // Now and then texts that hold line breaks, which a write must refuse.
    reiksmes.append("a\r\nb");
    raktai.append("k\n");

    // Later rounds work on what the earlier ones wrote.
    TAtsitiktinis atsitiktinis(turinys);
    for (int i = 0; i < 4; ++i) {
        const QByteArray& sekcija = atsitiktinis.Is(sekcijos);
        const QByteArray& raktas = atsitiktinis.Is(raktai);
        const QByteArray& reiksme = atsitiktinis.Is(reiksmes);
        Patikrinti(kelias, sekcija, raktas, reiksme);
    }
    return 0;
}
