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

#include <QDir>
#include <QFile>
#include <QList>
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
// views into `Tekstas`.
struct TEilutes {
    QByteArray Tekstas;
    QList<QByteArrayView> Sarasas;
};

TEilutes Eilutes(const QByteArray& turinys) {
    TEilutes e;
    e.Tekstas = turinys.left(turinys.indexOf('\0') < 0 ? turinys.size() : turinys.indexOf('\0'));
    e.Tekstas.replace("\r\n", "\n");
    e.Tekstas.replace('\r', '\n');
    const QByteArrayView t(e.Tekstas);
    e.Sarasas.reserve(e.Tekstas.count('\n') + 1);
    for (qsizetype nuo = 0; nuo < t.size();) {
        const qsizetype iki = t.indexOf('\n', nuo);
        e.Sarasas.append(t.sliced(nuo, (iki < 0 ? t.size() : iki) - nuo));
        nuo = iki < 0 ? t.size() : iki + 1;
    }
    return e;
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

TModelis Modeliuoti(const QList<QByteArrayView>& eilutes, const QByteArray& antraste, const QByteArray& raktas) {
    TModelis m;
    bool srityje = false;
    for (qsizetype i = 0; i < eilutes.size(); ++i) {
        const QByteArrayView e = eilutes.at(i);
        const bool komentaras = e.startsWith(';');
        if (!komentaras && e == antraste)
            m.Antraste = i;
        if (!komentaras && e.contains("-->") && e.contains("<--")) {
            srityje = e.first(std::min(e.size(), std::max<qsizetype>(20, antraste.size()))) == antraste;
            continue;
        }
        if (srityje && !komentaras && e.contains(raktas))
            m.Eilute = i;
    }
    return m;
}

QByteArray Sujungti(const QList<QByteArrayView>& eilutes) {
    QByteArray t;
    for (const QByteArrayView e : eilutes)
        t.append(e).append("\r\n");
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

void Patikrinti(TSaugykla& saugykla, const QByteArray& sekcija, const QByteArray& raktas, const QByteArray& reiksme) {
    const QString sekcijaQ = QString::fromUtf8(sekcija);
    const QString raktasQ = QString::fromUtf8(raktas);
    // What the component will match: the UTF-8 form of the texts it is given.
    const QByteArray sek = sekcijaQ.toUtf8();
    const QByteArray rak = raktasQ.toUtf8();
    const QByteArray antraste = "-->" + sek + "<--";

    const QByteArray pries = saugykla.Turinys();
    const TEilutes senosEilutes = Eilutes(pries);
    const QList<QByteArrayView>& senos = senosEilutes.Sarasas;
    const TModelis m = Modeliuoti(senos, antraste, rak);

    QByteArray laukiama = "###2";
    if (m.Antraste && !m.Eilute) {
        laukiama = "###3";
    } else if (m.Antraste) {
        const QByteArrayView e = senos.at(*m.Eilute);
        laukiama = (e.contains('=') ? e.sliced(e.indexOf('=') + 1) : e).toByteArray();
    }
    TIKRINTI(saugykla.Skaityti(sekcijaQ, raktasQ) == laukiama);
    TIKRINTI(saugykla.Turinys() == pries);

    if (!ArVienaEilute(sek) || !ArVienaEilute(rak) || !ArVienaEilute(reiksme)) {
        bool klaida = false;
        try {
            saugykla.Rasyti(sekcijaQ, raktasQ, reiksme);
        } catch (const EKlaida&) {
            klaida = true;
        }
        TIKRINTI(klaida);
        TIKRINTI(saugykla.Turinys() == pries);
        return;
    }

    const QByteArray eilute = rak + '=' + reiksme;
    QList<QByteArrayView> naujos = senos;
    QByteArray rezultatas;
    if (!m.Antraste) {
        naujos << QByteArrayView() << antraste << eilute;
        rezultatas = "###2";
    } else if (m.Eilute) {
        naujos[*m.Eilute] = eilute;
        rezultatas = "###0";
    } else {
        naujos.insert(*m.Antraste + 1, eilute);
        rezultatas = "###3";
    }
    TIKRINTI(saugykla.Rasyti(sekcijaQ, raktasQ, reiksme) == rezultatas);
    const QByteArray po = saugykla.Turinys();
    TIKRINTI(po == Sujungti(naujos));

    // The line can be found again unless it is no key line: an empty key, a key
    // holding the separator or starting with the comment marker, or a line that
    // holds both section markers (which ends a key range).
    const bool randama = !rak.isEmpty() && !rak.contains('=') && !rak.startsWith(';') &&
                         !(eilute.contains("-->") && eilute.contains("<--"));
    if (!randama)
        return;
    TIKRINTI(saugykla.Skaityti(sekcijaQ, raktasQ) == reiksme);
    TIKRINTI(saugykla.Rasyti(sekcijaQ, raktasQ, reiksme) == "###0");
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
    // and texts that hold line breaks, which a write must refuse.
    // (The fixed texts are built once; the lists share them.)
    static const QList<QByteArray> kSekcijos{"Nustatymai", "frmPagrindinis", "Pranesimai", ""};
    static const QList<QByteArray> kRaktai{"TAB", "Cap1", "Timeout", "=", ";x", "", "k\n"};
    static const QList<QByteArray> kReiksmes{"1", "", " a = b ", "-->x<--", "Lietuvi\xC5\xB3", "\xEB", "a\r\nb"};
    QList<QByteArray> sekcijos = kSekcijos;
    QList<QByteArray> raktai = kRaktai;
    QList<QByteArray> reiksmes = kReiksmes;
    const TEilutes eilutes = Eilutes(turinys);
    for (const QByteArrayView e : eilutes.Sarasas) {
        if (e.startsWith("-->") && e.endsWith("<--") && e.size() >= 6)
            sekcijos.append(e.sliced(3, e.size() - 6).toByteArray());
        const qsizetype lygu = e.indexOf('=');
        if (lygu > 0) {
            raktai.append(e.first(lygu).toByteArray());
            raktai.append(e.sliced(lygu / 2, lygu - lygu / 2).toByteArray()); // a part of a key matches too
            reiksmes.append(e.sliced(lygu + 1).toByteArray());
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
    TAtsitiktinis atsitiktinis(turinys);
    const int raundai = maisa / kFailoDalis % kGrandinesDalis == 0 ? 2 : 1;
    for (int i = 0; i < raundai; ++i) {
        const QByteArray& sekcija = atsitiktinis.Is(sekcijos);
        const QByteArray& raktas = atsitiktinis.Is(raktai);
        const QByteArray& reiksme = atsitiktinis.Is(reiksmes);
        Patikrinti(atmintis, sekcija, raktas, reiksme);
        if (failas) {
            Patikrinti(*failas, sekcija, raktas, reiksme);
            TIKRINTI(failas->Turinys() == atmintis.Turinys());
        }
    }
    return 0;
}
