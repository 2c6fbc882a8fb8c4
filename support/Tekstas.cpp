#include "Tekstas.h"

#include <algorithm>
#include <optional>

#include <QMutex>
#include <QMutexLocker>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace {

// Windows-1257, bytes 0x80..0xFF. 0xFFFD marks the bytes the code page leaves undefined.
constexpr char16_t kBaltu[128] = {
    0x20AC, 0xFFFD, 0x201A, 0xFFFD, 0x201E, 0x2026, 0x2020, 0x2021, 0xFFFD, 0x2030, 0xFFFD, 0x2039, 0xFFFD,
    0x00A8, 0x02C7, 0x00B8, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0xFFFD, 0x2122,
    0xFFFD, 0x203A, 0xFFFD, 0x00AF, 0x02DB, 0xFFFD, 0x00A0, 0xFFFD, 0x00A2, 0x00A3, 0x00A4, 0xFFFD, 0x00A6,
    0x00A7, 0x00D8, 0x00A9, 0x0156, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00C6, 0x00B0, 0x00B1, 0x00B2, 0x00B3,
    0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00F8, 0x00B9, 0x0157, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00E6, 0x0104,
    0x012E, 0x0100, 0x0106, 0x00C4, 0x00C5, 0x0118, 0x0112, 0x010C, 0x00C9, 0x0179, 0x0116, 0x0122, 0x0136,
    0x012A, 0x013B, 0x0160, 0x0143, 0x0145, 0x00D3, 0x014C, 0x00D5, 0x00D6, 0x00D7, 0x0172, 0x0141, 0x015A,
    0x016A, 0x00DC, 0x017B, 0x017D, 0x00DF, 0x0105, 0x012F, 0x0101, 0x0107, 0x00E4, 0x00E5, 0x0119, 0x0113,
    0x010D, 0x00E9, 0x017A, 0x0117, 0x0123, 0x0137, 0x012B, 0x013C, 0x0161, 0x0144, 0x0146, 0x00F3, 0x014D,
    0x00F5, 0x00F6, 0x00F7, 0x0173, 0x0142, 0x015B, 0x016B, 0x00FC, 0x017C, 0x017E, 0x02D9,
};

} // namespace

QString IsBaltuKoduotes(const QByteArray& baitai) {
    QString rezultatas(baitai.size(), Qt::Uninitialized);
    char16_t* i = reinterpret_cast<char16_t*>(rezultatas.data());
    for (const char c : baitai) {
        const auto b = static_cast<unsigned char>(c);
        *i++ = b < 0x80 ? char16_t(b) : kBaltu[b - 0x80];
    }
    return rezultatas;
}

namespace {

constexpr char kBaltuKoduote[] = "windows-1257";

// The bytes as text when they are ASCII or valid UTF-8.
std::optional<QString> IsUtf8(const QByteArray& baitai) {
    bool grynasAscii = true;
    for (const char c : baitai) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            grynasAscii = false;
            break;
        }
    }
    if (grynasAscii)
        return QString::fromLatin1(baitai);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString bandymas = utf8.decode(baitai);
    if (!utf8.hasError())
        return bandymas;
    return std::nullopt;
}

QMutex koduotesSargas;
QByteArray serveriuKoduote = kBaltuKoduote;

} // namespace

QString RodomasTekstas(const QByteArray& baitai) {
    if (std::optional<QString> tekstas = IsUtf8(baitai))
        return *std::move(tekstas);
    return IsBaltuKoduotes(baitai);
}

QString ServerioTekstas(const QByteArray& baitai) {
    if (std::optional<QString> tekstas = IsUtf8(baitai))
        return *std::move(tekstas);
    const QByteArray koduote = ServeriuKoduote();
    if (koduote == kBaltuKoduote)
        return IsBaltuKoduotes(baitai);
    QStringDecoder dekoderis(koduote.constData(), QStringDecoder::Flag::Stateless);
    return dekoderis.isValid() ? dekoderis.decode(baitai) : IsBaltuKoduotes(baitai);
}

bool NustatytiServeriuKoduote(const QByteArray& pavadinimas) {
    QByteArray vardas = pavadinimas.trimmed().toLower();
    if (!vardas.isEmpty() && std::all_of(vardas.begin(), vardas.end(), [](char c) { return c >= '0' && c <= '9'; }))
        vardas.prepend("windows-");
    if (vardas != kBaltuKoduote && (vardas.isEmpty() || !QStringDecoder(vardas.constData()).isValid()))
        return false;
    const QMutexLocker uzraktas(&koduotesSargas);
    serveriuKoduote = vardas;
    return true;
}

QByteArray ServeriuKoduote() {
    const QMutexLocker uzraktas(&koduotesSargas);
    return serveriuKoduote;
}

QString Apkirpti(const QString& tekstas, qsizetype riba) {
    if (tekstas.size() <= riba)
        return tekstas;
    if (riba <= 0)
        return {};
    qsizetype galas = riba - 1;
    if (galas > 0 && tekstas.at(galas - 1).isHighSurrogate())
        --galas;
    return tekstas.left(galas) + u'\u2026';
}

namespace {

bool ArKryptiesZenklas(char32_t c) {
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

bool ArEilutesLuzis(char32_t c) {
    return c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r' || c == 0x85 || c == 0x2028 ||
           c == 0x2029;
}

} // namespace

QString VienaEilute(const QString& tekstas, qsizetype riba) {
    QString eilute;
    eilute.reserve(qMin(tekstas.size(), riba + 1));
    for (qsizetype i = 0; i < tekstas.size() && eilute.size() <= riba; ++i) {
        const QChar c = tekstas.at(i);
        if (ArEilutesLuzis(c.unicode()))
            eilute += u' ';
        else if (c.category() != QChar::Other_Control && !ArKryptiesZenklas(c.unicode()))
            eilute += c;
    }
    return Apkirpti(eilute, riba);
}

QString PatarimoTekstas(const QString& tekstas) {
    return u"<p style=\"white-space:pre-wrap\">"_s + Apkirpti(tekstas, kPatarimoRiba).toHtmlEscaped() + u"</p>"_s;
}
