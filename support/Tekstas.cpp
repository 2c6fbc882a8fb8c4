#include "Tekstas.h"

#include <algorithm>
#include <optional>

#include <QMutex>
#include <QMutexLocker>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace {

constexpr char kBaltuKoduote[] = "windows-1257";

// The bytes in the code page of `dekoderis` (Qt decodes the Windows and other
// legacy code pages through ICU); Latin-1 should Qt not know the code page.
QString Dekoduoti(QStringDecoder& dekoderis, const QByteArray& baitai) {
    return dekoderis.isValid() ? QString(dekoderis.decode(baitai)) : QString::fromLatin1(baitai);
}

// Each thread keeps its decoders: making one costs some twenty times what
// decoding a player's name does.
QString IsServeriuKoduotes(const QByteArray& koduote, const QByteArray& baitai) {
    thread_local QByteArray vardas;
    thread_local QStringDecoder dekoderis;
    if (vardas != koduote) {
        dekoderis = QStringDecoder(koduote.constData(), QStringDecoder::Flag::Stateless);
        vardas = koduote;
    }
    return Dekoduoti(dekoderis, baitai);
}

} // namespace

QString IsBaltuKoduotes(const QByteArray& baitai) {
    thread_local QStringDecoder dekoderis(kBaltuKoduote, QStringDecoder::Flag::Stateless);
    QString tekstas = Dekoduoti(dekoderis, baitai);
    // ICU gives the bytes Windows-1257 leaves undefined as the C1 controls of the
    // same number (0x81 as U+0081); they are no text, and no byte of the code page
    // means such a control, so they become U+FFFD like 0xA1 and 0xA5.
    for (QChar& c : tekstas) {
        if (c.unicode() >= 0x80 && c.unicode() <= 0x9F)
            c = QChar::ReplacementCharacter;
    }
    return tekstas;
}

namespace {

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
    return IsServeriuKoduotes(koduote, baitai);
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
