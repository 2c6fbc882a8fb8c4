// Feeds arbitrary datagram sequences to the joining of remote console output:
// split reassembly, the challenge and output readers, the recognition of the
// engine's refusals and the output joiner with its quiet time and size limit,
// checked against a plain model of what the joined output must be. The input:
// one byte of options (the joiner's limit), then datagrams, each a 16-bit
// little-endian length, one byte of milliseconds since the previous one, and
// that many bytes. No Qt application, no file or socket.
#include <cstdint>
#include <cstdlib>

#include "Konsole.h"
#include "Skaidymas.h"
#include "Tikrinti.h"

namespace {

// What the joiner must hold after the texts given, at the limit `riba`.
QByteArray Tiketina(const QByteArray& visas, qsizetype riba) {
    if (visas.size() <= riba)
        return visas;
    const QByteArray iki = visas.left(riba);
    const qsizetype eilute = iki.lastIndexOf('\n');
    return eilute >= 0 ? iki.left(eilute + 1) : iki;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    if (size < 1 || size > 4 * 1024)
        return 0;
    const std::uint8_t parinktys = data[0];
    // Small limits reach the cut often; the program's own one now and then.
    const qsizetype riba = (parinktys & 0x80) ? kKonsolesIsvestiesRiba : 16 + qsizetype(parinktys & 0x7F) * 24;
    static const QHostAddress siuntejas(QStringLiteral("127.0.0.1"));

    TDaliuSurinkejas dalys;
    TIsvestiesSurinkejas surinkejas(riba, kKonsolesTylaMs);
    surinkejas.Pradeti();
    QByteArray visas; // the texts of the output being joined, whole
    bool renka = false;
    qint64 laikas = 0;

    size_t i = 1;
    while (i + 3 <= size) {
        const size_t ilgis = size_t(data[i]) | (size_t(data[i + 1]) << 8);
        laikas += data[i + 2] * 4;
        i += 3;
        const size_t kiek = ilgis < size - i ? ilgis : size - i;
        const QByteArray d = QByteArray::fromRawData(reinterpret_cast<const char*>(data + i), qsizetype(kiek));
        i += kiek;

        // The output so far is whole once the quiet time has passed.
        if (renka && surinkejas.ArBaigta(laikas)) {
            TIKRINTI(surinkejas.Isvestis() == Tiketina(visas, riba));
            surinkejas.Pradeti();
            visas.clear();
            renka = false;
        }

        const TDaliesRezultatas r = dalys.Priimti(siuntejas, 27015, d);
        TIKRINTI(dalys.NebaigtiRinkiniai() <= kDaugiausiaRinkiniu);
        if (r.Busena != TDaliesBusena::Vientisas && r.Busena != TDaliesBusena::Surinkta)
            continue;
        const QByteArray& atsakymas = r.Atsakymas;

        if (const std::optional<quint32> issukis = SkaitytiKonsolesIssuki(atsakymas)) {
            TIKRINTI(atsakymas.startsWith("\xFF\xFF\xFF\xFF"
                                          "challenge rcon "));
            TIKRINTI(atsakymas.contains(QByteArray::number(*issukis)));
            TIKRINTI(!KonsolesTekstas(atsakymas));
            continue;
        }
        const std::optional<QByteArrayView> tekstas = KonsolesTekstas(atsakymas);
        if (!tekstas)
            continue;
        TIKRINTI(tekstas->size() <= atsakymas.size() - 5);
        TIKRINTI(!tekstas->contains('\0'));
        if (!renka) {
            // The first datagram of a reply says whether there is an output at all.
            const TKonsolesAtsakas atsakas = AtpazintiAtsakyma(*tekstas);
            if (atsakas != TKonsolesAtsakas::Isvestis) {
                TIKRINTI(tekstas->startsWith("Bad ") || tekstas->startsWith("You "));
                continue;
            }
            renka = true;
        }
        const int pries = surinkejas.Datagramos();
        const bool toliau = surinkejas.Prideti(*tekstas, laikas);
        visas.append(*tekstas);
        TIKRINTI(surinkejas.Datagramos() == pries + 1);
        TIKRINTI(surinkejas.Isvestis().size() <= riba);
        TIKRINTI(toliau == !surinkejas.ArNukirsta());
        TIKRINTI(surinkejas.Terminas() == laikas + kKonsolesTylaMs);
        if (!toliau) {
            // Cut at the limit: whole at once, and what comes after is dropped.
            TIKRINTI(surinkejas.ArBaigta(laikas));
            TIKRINTI(surinkejas.Isvestis() == Tiketina(visas, riba));
            TIKRINTI(!surinkejas.Prideti("more", laikas));
            surinkejas.Pradeti();
            visas.clear();
            renka = false;
        } else {
            // The whole text is compared once the output is whole; here its size.
            TIKRINTI(surinkejas.Isvestis().size() == visas.size());
            TIKRINTI(!surinkejas.ArBaigta(laikas + kKonsolesTylaMs - 1));
        }
    }
    if (renka)
        TIKRINTI(surinkejas.Isvestis() == Tiketina(visas, riba));

    // The guard's file reads back what it wrote, whatever it was given (its
    // first kilobyte: a real file holds a few lines).
    if (parinktys & 0x40) {
        TKonsoliuRegistras registras;
        registras.Ikelti(
            QByteArrayView(reinterpret_cast<const char*>(data + 1), qsizetype(qMin<size_t>(size - 1, 1024))), 100000,
            1700000000000);
        const QByteArray irasas = registras.Irasas(100000, 1700000000000);
        TKonsoliuRegistras kitas;
        kitas.Ikelti(irasas, 100000, 1700000000000);
        TIKRINTI(kitas.Irasas(100000, 1700000000000) == irasas);
    }
    return 0;
}
