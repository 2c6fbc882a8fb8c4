// Feeds arbitrary datagrams to the reply readers, the way a window dispatches
// them (header first, then the reader of the type letter), and every other
// reader over the same bytes. Each result is compared with a separate reading
// of the bytes by plain offsets: the same records, the same final position, no
// step past the datagram, and list sizes that follow the counts.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Tikrinti.h"
#include "cstrike.h"

namespace {

// The layouts read by offsets into the datagram, written apart from the readers:
// a number takes the bytes that are there (the missing high bytes are zero), a
// text runs to its zero byte or, without one, takes the rest and leaves the
// offset past the end.
class TModelis {
public:
    TModelis(const QByteArray& duomenys, qsizetype nuo) : d(&duomenys), i(nuo) {}

    qsizetype Vieta() const { return i; }
    // Past the last byte: every further field is cleared.
    bool Pabaigoje() const { return i >= d->size(); }

    std::uint64_t Skaicius(int baitu) {
        std::uint64_t v = 0;
        for (int k = 0; k < baitu && i < d->size(); ++k, ++i)
            v |= std::uint64_t(std::uint8_t(d->at(i))) << (8 * k);
        return v;
    }

    // A view into the datagram: the model copies nothing.
    QByteArrayView Eilute() {
        if (i >= d->size())
            return {};
        const qsizetype nulis = d->indexOf('\0', i);
        const qsizetype pabaiga = nulis < 0 ? d->size() : nulis;
        const QByteArrayView t = QByteArrayView(*d).sliced(i, pabaiga - i);
        i = pabaiga + 1;
        return t;
    }

private:
    const QByteArray* d;
    qsizetype i;
};

std::uint32_t Bitai(float f) {
    std::uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
}

void TikrintiZaidejus(const TZaidejai& z, TModelis& m) {
    const auto kiekis = qsizetype(m.Skaicius(1));
    TIKRINTI(z.size() == kiekis);
    for (const TZaidejoInfo& info : z) {
        if (m.Pabaigoje()) {
            TIKRINTI(info == TZaidejoInfo{});
            continue;
        }
        TIKRINTI(info.Zaidejas.Nr == m.Skaicius(1));
        TIKRINTI(info.Zaidejas.Vardas == m.Eilute());
        TIKRINTI(info.Zaidejas.Fragai == qint32(std::uint32_t(m.Skaicius(4))));
        const auto laikas = std::uint32_t(m.Skaicius(4));
        TIKRINTI(Bitai(info.Zaidejas.Laikas) == laikas);
        // Whole seconds: the absolute value rounded half up, NaN as 0, held at the 32-bit top.
        float f;
        std::memcpy(&f, &laikas, sizeof f);
        double s = std::floor(std::fabs(double(f)) + 0.5);
        if (std::isnan(s))
            s = 0;
        const auto sekundes = std::uint64_t(s >= 2147483647.0 ? 2147483647.0 : s);
        TIKRINTI(info.Minutes < 60 && info.Sekundes < 60);
        TIKRINTI(std::uint64_t(info.Valandos) * 3600 + info.Minutes * 60 + info.Sekundes == sekundes);
    }
}

void TikrintiDetales(const TDetales& d, TModelis& m) {
    TDetales l;
    l.Info.Adresas = m.Eilute().toByteArray();
    l.Info.Pavadinimas = m.Eilute().toByteArray();
    l.Info.Zemelapis = m.Eilute().toByteArray();
    l.Info.Katalogas = m.Eilute().toByteArray();
    l.Info.Zaidimas = m.Eilute().toByteArray();
    l.Zaidejai = quint8(m.Skaicius(1));
    l.MaxZaideju = quint8(m.Skaicius(1));
    l.Protokolas = quint8(m.Skaicius(1));
    l.ServerioTipas = char(m.Skaicius(1));
    l.OS = char(m.Skaicius(1));
    l.Slaptazodis = quint8(m.Skaicius(1));
    l.ArModas = quint8(m.Skaicius(1));
    if (l.ArModas == 1) {
        l.MOD.Svetaine = m.Eilute().toByteArray();
        l.MOD.Parsisiuntimas = m.Eilute().toByteArray();
        l.MOD.Rezervuota = m.Eilute().toByteArray();
        l.MODVersija = qint32(std::uint32_t(m.Skaicius(4)));
        l.MODDydis = qint32(std::uint32_t(m.Skaicius(4)));
        l.TikServerio = quint8(m.Skaicius(1));
        l.SavasDLL = quint8(m.Skaicius(1));
    }
    l.Saugus = quint8(m.Skaicius(1));
    TIKRINTI(d == l);
}

void TikrintiTaisykles(const TTaisykles& t, TModelis& m, qsizetype dydis) {
    const auto kiekis = qsizetype(m.Skaicius(2));
    // The count is believed up to the pairs a datagram of this size could carry.
    TIKRINTI(t.size() == std::min(kiekis, dydis / 2));
    for (const TTaisykle& taisykle : t) {
        if (m.Pabaigoje()) {
            TIKRINTI(taisykle == TTaisykle{});
            continue;
        }
        TIKRINTI(taisykle.Pavadinimas == m.Eilute());
        TIKRINTI(taisykle.Reiksme == m.Eilute());
    }
    // No pair the datagram carries was left out.
    TIKRINTI(t.size() == kiekis || m.Vieta() >= dydis);
}

void Skaityti(const QByteArray& duomenys, char tipas) {
    TAtminiesSrautas s(duomenys);
    const char antraste = SkaitytiAntraste(s);
    TIKRINTI(antraste == (duomenys.size() >= kAntrastesIlgis ? duomenys.at(4) : 0));
    TIKRINTI(s.Position() == std::min<qsizetype>(duomenys.size(), kAntrastesIlgis));
    TModelis m(duomenys, s.Position());
    switch (tipas) {
    case kTipasZaidejai:
        TikrintiZaidejus(SkaitytiZaidejus(s), m);
        break;
    case kTipasDetales:
        TikrintiDetales(SkaitytiDetales(s), m);
        break;
    case kTipasTaisykles:
        TikrintiTaisykles(SkaitytiTaisykles(s), m, duomenys.size());
        break;
    default: {
        // A text reply is read again from its type letter.
        s.SetPosition(4);
        TModelis nuoRaides(duomenys, 4);
        const QByteArray pirmas = SkaitytiEilute(s);
        const QByteArray antras = SkaitytiEilute(s);
        TIKRINTI(pirmas == nuoRaides.Eilute() && antras == nuoRaides.Eilute());
        TIKRINTI(!pirmas.contains('\0') && !antras.contains('\0'));
        m = nuoRaides;
        break;
    }
    }
    TIKRINTI(s.Position() == m.Vieta());
    // At most one past the end (after a text without its zero byte), or where a
    // text reply set it on a datagram shorter than that.
    TIKRINTI(s.Position() <= std::max<qint64>(s.Size() + 1, 4));
    TIKRINTI(s.Likutis() == (s.Position() < s.Size() ? s.Size() - s.Position() : 0));
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

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    if (size > 4096)
        return 0;
    const QByteArray duomenys(reinterpret_cast<const char*>(data), qsizetype(size));
    // The letter the datagram carries, and every reader over the same bytes.
    const char tipas = size > 4 ? char(data[4]) : 0;
    Skaityti(duomenys, tipas);
    for (char kitas : {kTipasZaidejai, kTipasDetales, kTipasTaisykles, kTipasTekstas})
        if (kitas != tipas)
            Skaityti(duomenys, kitas);
    return 0;
}
