#include "Skaiciai.h"

#include <cstdint>

using namespace Qt::StringLiterals;

bool BandytiStrToInt(const QString& tekstas, int& rezultatas) {
    const qsizetype n = tekstas.size();
    qsizetype i = 0;
    while (i < n && tekstas.at(i) == u' ')
        ++i;
    bool neigiamas = false;
    if (i < n && (tekstas.at(i) == u'+' || tekstas.at(i) == u'-')) {
        neigiamas = tekstas.at(i) == u'-';
        ++i;
    }
    int pagrindas = 10;
    if (i < n && tekstas.at(i) == u'$') {
        pagrindas = 16;
        ++i;
    } else if (i + 1 < n && tekstas.at(i) == u'0' && (tekstas.at(i + 1) == u'x' || tekstas.at(i + 1) == u'X')) {
        pagrindas = 16;
        i += 2;
    }
    if (i >= n)
        return false;
    // Accumulate in 64 bits; anything beyond 2^31 is out of range either way.
    std::int64_t reiksme = 0;
    for (; i < n; ++i) {
        const char16_t c = tekstas.at(i).unicode();
        int skaitmuo;
        if (c >= u'0' && c <= u'9')
            skaitmuo = c - u'0';
        else if (pagrindas == 16 && c >= u'a' && c <= u'f')
            skaitmuo = c - u'a' + 10;
        else if (pagrindas == 16 && c >= u'A' && c <= u'F')
            skaitmuo = c - u'A' + 10;
        else
            return false;
        reiksme = reiksme * pagrindas + skaitmuo;
        if (reiksme > std::int64_t(INT32_MAX) + 1)
            return false;
    }
    if (neigiamas)
        reiksme = -reiksme;
    if (reiksme > INT32_MAX || reiksme < INT32_MIN)
        return false;
    rezultatas = static_cast<int>(reiksme);
    return true;
}

int StrToInt(const QString& tekstas) {
    int rezultatas = 0;
    if (!BandytiStrToInt(tekstas, rezultatas))
        throw EKonvertavimoKlaida(u"'"_s + tekstas + u"' is not a valid integer value"_s);
    return rezultatas;
}

QString ApkarpytiTarpus(const QString& tekstas) {
    qsizetype pradzia = 0;
    qsizetype pabaiga = tekstas.size();
    while (pradzia < pabaiga && tekstas.at(pradzia).unicode() <= u' ')
        ++pradzia;
    while (pabaiga > pradzia && tekstas.at(pabaiga - 1).unicode() <= u' ')
        --pabaiga;
    return tekstas.mid(pradzia, pabaiga - pradzia);
}

QByteArray ApkarpytiTarpus(const QByteArray& tekstas) {
    qsizetype pradzia = 0;
    qsizetype pabaiga = tekstas.size();
    while (pradzia < pabaiga && static_cast<unsigned char>(tekstas.at(pradzia)) <= ' ')
        ++pradzia;
    while (pabaiga > pradzia && static_cast<unsigned char>(tekstas.at(pabaiga - 1)) <= ' ')
        --pabaiga;
    return tekstas.mid(pradzia, pabaiga - pradzia);
}
