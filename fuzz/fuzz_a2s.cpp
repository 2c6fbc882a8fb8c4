// Feeds arbitrary datagram sequences to split reassembly, the Steam query
// readers and the query session. The input is a list of datagrams, each a
// 16-bit little-endian length and that many bytes; the first byte of the
// input picks the window kind and the sender pattern. With its bit 0x08 set,
// the rest of the input is instead a cache file of what was learnt about
// servers, read and written back. No Qt application, no file or socket: one
// input costs a few allocations.
#include <cstdint>
#include <cstdlib>

#include "A2S.h"
#include "Atmintis.h"
#include "Tikrinti.h"
#include "Sesija.h"
#include "Skaidymas.h"

namespace {

void SkaitytiViska(const QByteArray& d) {
    {
        TAtminiesSrautas s(d);
        SkaitytiAntraste(s);
        const TA2SInfo i = SkaitytiInfo(s);
        TIKRINTI(s.Position() <= s.Size() + 1);
        TIKRINTI(i.Pavadinimas.size() + i.Zemelapis.size() + i.Versija.size() + i.Zymes.size() <= d.size());
        TIKRINTI(i.ArPapildomi || (i.EDF == 0 && i.SteamId == 0 && i.ZaidimoId == 0));
    }
    {
        TAtminiesSrautas s(d);
        SkaitytiAntraste(s);
        const TDetalesSuBotais m = SkaitytiDetalesSuBotais(s);
        TIKRINTI(!m.Botai || s.Position() <= s.Size());
    }
    {
        TAtminiesSrautas s(d);
        SkaitytiAntraste(s);
        const std::optional<TIssukis> c = SkaitytiIssuki(s);
        TIKRINTI(!c || d.size() >= 9);
    }
}

// A cache file: whatever it holds, what is read is young enough, of a known
// dialect, and reads back the same once written.
void SkaitytiAtminti(const std::uint8_t* data, size_t size) {
    constexpr qint64 kDabar = 1800000000000; // early 2027
    const QHash<QString, TServerioZinios> zinios =
        SkaitytiAtminti(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)), kDabar);
    for (auto i = zinios.constBegin(); i != zinios.constEnd(); ++i) {
        TIKRINTI(i.value().Dialektas != TDialektas::Nezinomas);
        TIKRINTI(i.value().Atsake > 0 && kDabar - i.value().Atsake <= kAtmintiesAmziusMs);
        TIKRINTI(!i.key().isEmpty());
    }
    TIKRINTI(SkaitytiAtminti(RasytiAtminti(zinios, kDabar), kDabar) == zinios);
}

const QHostAddress& Siuntejas(int i) {
    static const QHostAddress adresai[2] = {QHostAddress(QStringLiteral("127.0.0.1")),
                                            QHostAddress(QStringLiteral("10.0.0.7"))};
    return adresai[i & 1];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    if (size < 1 || size > 8 * 1024)
        return 0;
    const std::uint8_t parinktys = data[0];
    if (parinktys & 0x08) {
        SkaitytiAtminti(data + 1, size - 1);
        return 0;
    }
    const TPrasymai prasymai[] = {kStebetojoPrasymai, kSarasoPrasymai, kDetaliuPrasymai, kStebetojoPrasymai};
    TServeriuRegistras registras;
    qint64 laikas = 0;
    TUzklausuSesija sesija(prasymai[parinktys & 3], &registras, [&laikas] { return laikas; });
    if (parinktys & 0x10)
        registras.Nustatyti(
            QStringLiteral("s:1"),
            TServerioZinios{TDialektas::A2S, 7u, (parinktys & 0x20) ? std::optional<int>(40) : std::nullopt, 0});
    sesija.PradetiRaunda(QStringLiteral("s:1"));
    TDaliuSurinkejas surinkejas;

    size_t i = 1;
    int n = 0;
    while (i + 2 <= size) {
        const size_t ilgis = size_t(data[i]) | (size_t(data[i + 1]) << 8);
        i += 2;
        const size_t kiek = ilgis < size - i ? ilgis : size - i;
        const QByteArray d(reinterpret_cast<const char*>(data + i), qsizetype(kiek));
        i += kiek;
        const int siuntejas = (parinktys & 0x40) ? (n & 1) : 0;

        const TDaliesRezultatas r = surinkejas.Priimti(Siuntejas(siuntejas), quint16(27015 + siuntejas), d);
        TIKRINTI(surinkejas.NebaigtiRinkiniai() <= kDaugiausiaRinkiniu);
        if (r.Busena == TDaliesBusena::Surinkta) {
            TIKRINTI(r.Atsakymas.size() <= kDaugiausiaSurinktoBaitu);
            SkaitytiViska(r.Atsakymas);
        } else if (r.Busena == TDaliesBusena::Vientisas) {
            TIKRINTI(r.Atsakymas == d);
        } else {
            TIKRINTI(r.Atsakymas.isEmpty());
        }
        SkaitytiViska(d);

        const TSesijosAtsakymas a = sesija.Gauta(Siuntejas(siuntejas), quint16(27015 + siuntejas), d);
        TIKRINTI(a.Rusis != TAtsakymoRusis::PerDidelis || d.size() > kDidziausiasAtsakymas);
        // At most one datagram per request of the round, legacy and Steam (a
        // fall-back adds three), whatever came.
        TIKRINTI(sesija.Tikrinti().size() <= 7);
        laikas += 97;
        TIKRINTI(sesija.Tikrinti().size() <= 7);
        if ((parinktys & 0x80) && ++n % 5 == 0) {
            surinkejas.IsmestiNebaigtus();
            sesija.PradetiRaunda(QStringLiteral("s:1"));
        }
    }
    sesija.BaigtiRaunda();
    return 0;
}
