#include "Atmintis.h"

#include <algorithm>
#include <limits>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include "PrivatusFailas.h"

using namespace Qt::StringLiterals;

namespace {

constexpr QByteArrayView kAntraste = "Velmorant servers 1";
constexpr char kSenas[] = "legacy";
constexpr char kA2S[] = "a2s";
constexpr char kGoldSrc[] = "goldsrc";
constexpr char kQuake[] = "quake";

std::optional<qint64> Skaicius(QByteArrayView b, qint64 iki) {
    if (b.isEmpty() || b.size() > 19)
        return std::nullopt;
    qint64 n = 0;
    for (const char c : b) {
        if (c < '0' || c > '9')
            return std::nullopt;
        n = n * 10 + (c - '0');
    }
    if (n > iki)
        return std::nullopt;
    return n;
}

std::optional<TIssukis> Issukis(QByteArrayView b) {
    if (b.size() != 8)
        return std::nullopt;
    TIssukis c = 0;
    for (const char x : b) {
        int v = -1;
        if (x >= '0' && x <= '9')
            v = x - '0';
        else if (x >= 'a' && x <= 'f')
            v = x - 'a' + 10;
        else if (x >= 'A' && x <= 'F')
            v = x - 'A' + 10;
        if (v < 0)
            return std::nullopt;
        c = (c << 4) | TIssukis(v);
    }
    return c;
}

bool ArSenas(qint64 atsake, qint64 dabar) {
    return atsake <= 0 || dabar - atsake > kAtmintiesAmziusMs || atsake > dabar + kAtmintiesAmziusMs;
}

bool ArTinkamasRaktas(const QString& raktas) {
    if (raktas.isEmpty() || raktas.size() > 1024)
        return false;
    for (const QChar c : raktas)
        if (c.unicode() < 0x20)
            return false;
    return true;
}

} // namespace

QHash<QString, TServerioZinios> SkaitytiAtminti(QByteArrayView turinys, qint64 dabar) {
    QHash<QString, TServerioZinios> zinios;
    qsizetype nuo = 0;
    bool antraste = true;
    while (nuo < turinys.size()) {
        qsizetype iki = turinys.indexOf('\n', nuo);
        if (iki < 0)
            iki = turinys.size();
        QByteArrayView eilute = turinys.sliced(nuo, iki - nuo);
        nuo = iki + 1;
        if (eilute.endsWith('\r'))
            eilute.chop(1);
        if (antraste) {
            if (eilute != kAntraste)
                return {};
            antraste = false;
            continue;
        }
        QByteArrayView laukai[6];
        int n = 0;
        qsizetype pradzia = 0;
        for (qsizetype i = 0; i <= eilute.size() && n < 7; ++i) {
            if (i == eilute.size() || eilute[i] == '\t') {
                if (n < 6)
                    laukai[n] = eilute.sliced(pradzia, i - pradzia);
                ++n;
                pradzia = i + 1;
            }
        }
        if (n != 5 && n != 6)
            continue;
        const QString raktas = QString::fromUtf8(laukai[0]);
        if (!ArTinkamasRaktas(raktas) || raktas.toUtf8() != laukai[0])
            continue;
        TServerioZinios z;
        if (laukai[1] == kSenas)
            z.Dialektas = TDialektas::Senas;
        else if (laukai[1] == kA2S)
            z.Dialektas = TDialektas::A2S;
        else if (laukai[1] != "-")
            continue;
        if (n == 6) {
            if (laukai[5] == kGoldSrc)
                z.KonsolesForma = TKonsolesForma::GoldSrc;
            else if (laukai[5] == kQuake)
                z.KonsolesForma = TKonsolesForma::Quake;
            else
                continue;
        }
        if (z.Dialektas == TDialektas::Nezinomas && z.KonsolesForma == TKonsolesForma::Nezinoma)
            continue;
        if (laukai[2] != "-") {
            z.Issukis = Issukis(laukai[2]);
            if (!z.Issukis)
                continue;
        }
        if (laukai[3] != "-") {
            const std::optional<qint64> ms = Skaicius(laukai[3], 60000);
            if (!ms)
                continue;
            z.PingoMs = int(*ms);
        }
        const std::optional<qint64> atsake = Skaicius(laukai[4], std::numeric_limits<qint64>::max());
        if (!atsake || ArSenas(*atsake, dabar))
            continue;
        z.Atsake = *atsake;
        zinios.insert(raktas, z);
    }
    return zinios;
}

QByteArray RasytiAtminti(const QHash<QString, TServerioZinios>& zinios, qint64 dabar) {
    QList<QString> raktai = zinios.keys();
    std::sort(raktai.begin(), raktai.end());
    QByteArray b = kAntraste.toByteArray() + '\n';
    for (const QString& raktas : raktai) {
        const TServerioZinios& z = zinios[raktas];
        const bool zinomas = z.Dialektas != TDialektas::Nezinomas || z.KonsolesForma != TKonsolesForma::Nezinoma;
        if (!zinomas || ArSenas(z.Atsake, dabar) || !ArTinkamasRaktas(raktas))
            continue;
        b += raktas.toUtf8() + '\t';
        b += z.Dialektas == TDialektas::A2S ? kA2S : z.Dialektas == TDialektas::Senas ? kSenas : "-";
        b += '\t';
        b += z.Issukis ? QByteArray::number(*z.Issukis, 16).rightJustified(8, '0') : QByteArray("-");
        b += '\t';
        b += z.PingoMs ? QByteArray::number(qBound(0, *z.PingoMs, 60000)) : QByteArray("-");
        b += '\t' + QByteArray::number(z.Atsake);
        if (z.KonsolesForma != TKonsolesForma::Nezinoma)
            b += QByteArray("\t") + (z.KonsolesForma == TKonsolesForma::Quake ? kQuake : kGoldSrc);
        b += '\n';
    }
    return b;
}

QString AtmintiesKelias() {
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + u"/serveriai.txt"_s;
}

void IkeltiAtminti(TServeriuRegistras& registras, const QString& kelias) {
    QFile failas(kelias);
    if (!failas.open(QIODevice::ReadOnly))
        return;
    // A cache is small; anything far larger is not ours.
    const QByteArray turinys = failas.read(4 * 1024 * 1024);
    const QHash<QString, TServerioZinios> zinios = SkaitytiAtminti(turinys, QDateTime::currentMSecsSinceEpoch());
    for (auto i = zinios.constBegin(); i != zinios.constEnd(); ++i)
        if (!registras.Visos().contains(i.key()))
            registras.Nustatyti(i.key(), i.value());
}

bool IssaugotiAtminti(const TServeriuRegistras& registras, const QString& kelias) {
    QSaveFile failas(kelias);
    if (!AtidarytiPrivatu(failas))
        return false;
    const QByteArray turinys = RasytiAtminti(registras.Visos(), QDateTime::currentMSecsSinceEpoch());
    if (failas.write(turinys) != turinys.size()) {
        failas.cancelWriting();
        return false;
    }
    return failas.commit();
}
