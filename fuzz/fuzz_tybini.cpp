// Fuzzes TTybINI: the input is a file's content; reads and writes of sections and
// keys taken from it must agree with a separate model of the searches and keep the
// file's invariants:
// - a read returns what the model finds and never changes the content;
// - a write gives the model's result and leaves exactly the model's lines, each
//   ending in CR LF, with no NUL;
// - a write refuses texts with line breaks and leaves the content alone;
// - when the written line can be found again, a read returns the value, and a
//   second identical write is "###0" and changes no byte.
// Every input runs on the content in memory; one input in kFailoDalis also runs
// through a real file, whose results and bytes must be those of the memory run
// (the file round costs a few milliseconds of system calls, the memory round
// microseconds).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "Tikrinti.h"
#include "TybINI.h"

using namespace Qt::StringLiterals;

namespace {

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
// the text ends at the first NUL; CR LF, CR and LF end lines. The lines are
// views into the content, kept in `eilutes` (whose storage is reused from input
// to input).
void Eilutes(QByteArrayView turinys, std::vector<QByteArrayView>& eilutes) {
    eilutes.clear();
    const qsizetype nulis = turinys.indexOf('\0');
    const QByteArrayView t = nulis < 0 ? turinys : turinys.first(nulis);
    // The next CR and LF, each searched again only once passed (the searches
    // are the library's, so that the bytes are not traced one by one).
    qsizetype cr = -1, lf = -1;
    for (qsizetype nuo = 0; nuo < t.size();) {
        if (cr < nuo && cr != t.size())
            cr = t.indexOf('\r', nuo) < 0 ? t.size() : t.indexOf('\r', nuo);
        if (lf < nuo && lf != t.size())
            lf = t.indexOf('\n', nuo) < 0 ? t.size() : t.indexOf('\n', nuo);
        const qsizetype iki = std::min(cr, lf);
        eilutes.push_back(t.sliced(nuo, iki - nuo));
        nuo = iki + (iki == cr && iki + 1 == lf ? 2 : 1);
    }
}

bool ArVienaEilute(QByteArrayView t) {
    return !t.contains('\r') && !t.contains('\n') && !t.contains('\0');
}

// Deterministic choices from the input.
class TAtsitiktinis {
public:
    explicit TAtsitiktinis(std::size_t sekla) : busena(sekla | 1) {}
    std::uint64_t Kitas() {
        busena ^= busena << 13;
        busena ^= busena >> 7;
        busena ^= busena << 17;
        return busena;
    }
    template <typename T> const T& Is(const std::vector<T>& sarasas) { return sarasas[Kitas() % sarasas.size()]; }

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

TModelis Modeliuoti(const std::vector<QByteArrayView>& eilutes, const QByteArray& antraste, const QByteArray& raktas) {
    TModelis m;
    bool srityje = false;
    for (std::size_t i = 0; i < eilutes.size(); ++i) {
        const QByteArrayView e = eilutes[i];
        const bool komentaras = e.startsWith(';');
        if (!komentaras && e == antraste)
            m.Antraste = qsizetype(i);
        if (!komentaras && e.contains("-->") && e.contains("<--")) {
            srityje = e.first(std::min(e.size(), std::max<qsizetype>(20, antraste.size()))) == antraste;
            continue;
        }
        if (srityje && !komentaras && e.contains(raktas))
            m.Eilute = qsizetype(i);
    }
    return m;
}

// The lines joined with CR LF, with `nauja` in place of line `vietoj` or
// inserted before line `pries` (-1 for neither).
QByteArray Sujungti(const std::vector<QByteArrayView>& eilutes, QByteArrayView nauja, qsizetype vietoj,
                    qsizetype pries) {
    QByteArray t;
    for (std::size_t i = 0; i <= eilutes.size(); ++i) {
        const qsizetype n = qsizetype(i);
        if (n == pries)
            t.append(nauja).append("\r\n");
        if (i < eilutes.size())
            t.append(n == vietoj ? nauja : eilutes[i]).append("\r\n");
    }
    return t;
}

constexpr unsigned kFailoDalis = 256;
constexpr unsigned kGrandinesDalis = 8;

// Where one run keeps the content: in memory, or in the file at `kelias`.
class TSaugykla {
public:
    TSaugykla(const QByteArray& pradinis, const QString* kelias) : turinys(pradinis), kelias(kelias) {
        if (kelias) {
            Irasyti(*kelias, pradinis);
            Ini().setByla(*kelias);
        }
    }
    QByteArray Turinys() const { return kelias ? Perskaityti(*kelias) : turinys; }
    QByteArray Skaityti(const QString& sekcija, const QString& raktas) const {
        return kelias ? Ini().SkaitytiReiksme(sekcija, raktas) : Ini().SkaitytiIsTurinio(turinys, sekcija, raktas);
    }
    QByteArray Rasyti(const QString& sekcija, const QString& raktas, const QByteArray& reiksme) {
        return kelias ? Ini().RasytiReiksme(sekcija, raktas, reiksme)
                      : Ini().RasytiITurini(turinys, sekcija, raktas, reiksme);
    }

private:
    // Built once: the component keeps nothing between calls but its properties.
    TTybINI& Ini() const {
        static TTybINI atminties;
        static TTybINI failo;
        return kelias ? failo : atminties;
    }

    QByteArray turinys;
    const QString* kelias;
};

void Patikrinti(TSaugykla& saugykla, QByteArrayView sekcija, QByteArrayView raktas, QByteArrayView reiksme) {
    const QString sekcijaQ = QString::fromUtf8(sekcija);
    const QString raktasQ = QString::fromUtf8(raktas);
    // What the component will match: the UTF-8 form of the texts it is given.
    const QByteArray sek = sekcijaQ.toUtf8();
    const QByteArray rak = raktasQ.toUtf8();
    const QByteArray antraste = "-->" + sek + "<--";

    const QByteArray pries = saugykla.Turinys();
    static std::vector<QByteArrayView> senos;
    Eilutes(pries, senos);
    const TModelis m = Modeliuoti(senos, antraste, rak);

    QByteArrayView laukiama = "###2";
    if (m.Antraste && !m.Eilute) {
        laukiama = "###3";
    } else if (m.Antraste) {
        const QByteArrayView e = senos[std::size_t(*m.Eilute)];
        laukiama = e.contains('=') ? e.sliced(e.indexOf('=') + 1) : e;
    }
    TIKRINTI(saugykla.Skaityti(sekcijaQ, raktasQ) == laukiama);
    TIKRINTI(saugykla.Turinys() == pries);

    const QByteArray reiksmeB = reiksme.toByteArray();
    if (!ArVienaEilute(sek) || !ArVienaEilute(rak) || !ArVienaEilute(reiksme)) {
        bool klaida = false;
        try {
            saugykla.Rasyti(sekcijaQ, raktasQ, reiksmeB);
        } catch (const EKlaida&) {
            klaida = true;
        }
        TIKRINTI(klaida);
        TIKRINTI(saugykla.Turinys() == pries);
        return;
    }

    const QByteArray eilute = rak + '=' + reiksme;
    QByteArray naujas;
    QByteArrayView rezultatas;
    if (!m.Antraste) {
        naujas = Sujungti(senos, {}, -1, -1) + "\r\n" + antraste + "\r\n" + eilute + "\r\n";
        rezultatas = "###2";
    } else if (m.Eilute) {
        naujas = Sujungti(senos, eilute, *m.Eilute, -1);
        rezultatas = "###0";
    } else {
        naujas = Sujungti(senos, eilute, -1, *m.Antraste + 1);
        rezultatas = "###3";
    }
    TIKRINTI(saugykla.Rasyti(sekcijaQ, raktasQ, reiksmeB) == rezultatas);
    const QByteArray po = saugykla.Turinys();
    TIKRINTI(po == naujas);

    // The line can be found again unless it is no key line: an empty key, a key
    // holding the separator or starting with the comment marker, or a line that
    // holds both section markers (which ends a key range).
    const bool randama = !rak.isEmpty() && !rak.contains('=') && !rak.startsWith(';') &&
                         !(eilute.contains("-->") && eilute.contains("<--"));
    if (!randama)
        return;
    TIKRINTI(saugykla.Skaityti(sekcijaQ, raktasQ) == reiksme);
    TIKRINTI(saugykla.Rasyti(sekcijaQ, raktasQ, reiksmeB) == "###0");
    TIKRINTI(saugykla.Turinys() == po);
}

} // namespace

// Allocation stacks of ten frames instead of thirty, and a smaller quarantine:
// an input allocates a few hundred small blocks, and recording and recycling
// them was a large part of each run. Reports still name the allocating code, and
// a freed block still waits through thousands of runs before it is handed out
// again. ASAN_OPTIONS given at run time override these.
extern "C" const char* __asan_default_options() {
    return "malloc_context_size=10:quarantine_size_mb=32";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* duomenys, std::size_t dydis) {
    const QByteArray turinys(reinterpret_cast<const char*>(duomenys), static_cast<qsizetype>(dydis));

    // Candidates: a few fixed names plus the headers and keys the input itself holds,
    // and texts that hold line breaks, which a write must refuse. They are views
    // into the input and the fixed texts; the lists keep their storage between
    // inputs.
    static const std::vector<QByteArrayView> kSekcijos{"Nustatymai", "frmPagrindinis", "Pranesimai", ""};
    static const std::vector<QByteArrayView> kRaktai{"TAB", "Cap1", "Timeout", "=", ";x", "", "k\n"};
    static const std::vector<QByteArrayView> kReiksmes{"1",    "",      " a = b ", "-->x<--", "Lietuvi\xC5\xB3",
                                                       "\xEB", "a\r\nb"};
    static std::vector<QByteArrayView> sekcijos, raktai, reiksmes, eilutes;
    sekcijos.assign(kSekcijos.cbegin(), kSekcijos.cend());
    raktai.assign(kRaktai.cbegin(), kRaktai.cend());
    reiksmes.assign(kReiksmes.cbegin(), kReiksmes.cend());
    Eilutes(turinys, eilutes);
    for (const QByteArrayView e : eilutes) {
        if (e.startsWith("-->") && e.endsWith("<--") && e.size() >= 6)
            sekcijos.push_back(e.sliced(3, e.size() - 6));
        const qsizetype lygu = e.indexOf('=');
        if (lygu > 0) {
            raktai.push_back(e.first(lygu));
            raktai.push_back(e.sliced(lygu / 2, lygu - lygu / 2)); // a part of a key matches too
            reiksmes.push_back(e.sliced(lygu + 1));
        }
    }

    const size_t maisa = qHash(turinys);
    TSaugykla atmintis(turinys, nullptr);
    std::optional<TSaugykla> failas;
    if (maisa % kFailoDalis == 0)
        failas.emplace(turinys, &Kelias());

    // One input in kGrandinesDalis runs a second round on what the first one
    // wrote; the others stop after one round, at nearly twice the rate (longer
    // chains come from the fuzzer's own inputs, which are any file content).
    TAtsitiktinis atsitiktinis(maisa);
    const int raundai = maisa / kFailoDalis % kGrandinesDalis == 0 ? 2 : 1;
    for (int i = 0; i < raundai; ++i) {
        const QByteArrayView sekcija = atsitiktinis.Is(sekcijos);
        const QByteArrayView raktas = atsitiktinis.Is(raktai);
        const QByteArrayView reiksme = atsitiktinis.Is(reiksmes);
        Patikrinti(atmintis, sekcija, raktas, reiksme);
        if (failas) {
            Patikrinti(*failas, sekcija, raktas, reiksme);
            TIKRINTI(failas->Turinys() == atmintis.Turinys());
        }
    }
    return 0;
}
