#include "Biudzetas.h"

#include <algorithm>

QList<qint64>& TUzklausuBiudzetas::Langas(const QString& serveris, qint64 dabar) {
    QList<qint64>& laikai = siuntimai[serveris];
    laikai.removeIf([dabar](qint64 t) { return t <= dabar - kLangasMs || t > dabar; });
    return laikai;
}

int TUzklausuBiudzetas::Panaudota(const QString& serveris, qint64 dabar) {
    if (!siuntimai.contains(serveris))
        return 0;
    return int(Langas(serveris, dabar).size());
}

int TUzklausuBiudzetas::Laisva(const QString& serveris, qint64 dabar) {
    return qMax(0, kDaugiausia - Panaudota(serveris, dabar));
}

qint64 TUzklausuBiudzetas::KadaLaisva(const QString& serveris, qint64 dabar, int kiek) {
    kiek = std::clamp(kiek, 1, kDaugiausia);
    if (!siuntimai.contains(serveris))
        return dabar;
    QList<qint64> laikai = Langas(serveris, dabar);
    const int perdaug = int(laikai.size()) + kiek - kDaugiausia;
    if (perdaug <= 0)
        return dabar;
    // The oldest `perdaug` sends have to leave the window first.
    std::sort(laikai.begin(), laikai.end());
    return laikai.at(perdaug - 1) + kLangasMs;
}

void TUzklausuBiudzetas::Pazymeti(const QString& serveris, qint64 dabar, int kiek) {
    QList<qint64>& laikai = Langas(serveris, dabar);
    for (int i = 0; i < kiek; ++i)
        laikai.append(dabar);
}

int TUzklausuBiudzetas::Tarpas(int datagramos, int norimasMs) {
    if (norimasMs <= 0 || datagramos <= 0)
        return norimasMs;
    // datagramos per round, at most kRaunduDalisProc % of kDaugiausia per kLangasMs.
    const qint64 maziausias = (qint64(datagramos) * kLangasMs * 100 + qint64(kDaugiausia) * kRaunduDalisProc - 1) /
                              (qint64(kDaugiausia) * kRaunduDalisProc);
    return int(qMax<qint64>(norimasMs, maziausias));
}
