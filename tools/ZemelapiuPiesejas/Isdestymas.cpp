#include "Isdestymas.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QRect>

#include "Atsitiktinis.h"

QPointF Centras(const QRectF& plotas) {
    return QPointF(std::round(plotas.center().x()), std::round(plotas.center().y()));
}

qreal Atstumas(const QPointF& a, const QPointF& b) {
    return std::abs(a.x() - b.x()) + std::abs(a.y() - b.y());
}

namespace {

QRectF LangeliuPlotas(const QRect& langeliai) {
    return QRectF(kKrastasX + langeliai.x() * kLangelis + 2, kKrastasY + langeliai.y() * kLangelis + 2,
                  langeliai.width() * kLangelis - 4, langeliai.height() * kLangelis - 4);
}

QRectF Veidrodis(const QRectF& plotas) {
    return QRectF(kPaveiksloPlotis - plotas.right(), plotas.y(), plotas.width(), plotas.height());
}

// An L-shaped corridor between the centres of two rooms.
void PridetiKoridoriu(TIsdestymas& isdestymas, const QPointF& a, const QPointF& b, qreal plotis,
                      bool pirmaHorizontaliai) {
    const QPointF kampas = pirmaHorizontaliai ? QPointF(b.x(), a.y()) : QPointF(a.x(), b.y());
    const auto atkarpa = [&](const QPointF& p, const QPointF& q) {
        const QRectF plotas = QRectF(p, q).normalized().adjusted(-plotis / 2, -plotis / 2, plotis / 2, plotis / 2);
        isdestymas.koridoriai << plotas;
    };
    atkarpa(a, kampas);
    atkarpa(kampas, b);
}

// Joins the rooms with a shortest spanning tree of corridors plus a few
// extra ones that make loops.
void SujungtiKambarius(TIsdestymas& isdestymas, const QList<QRectF>& kambariai, TAtsitiktinis& atsitiktinis,
                       qreal plotis) {
    const qsizetype n = kambariai.size();
    if (n < 2)
        return;
    QList<QPointF> centrai;
    for (const QRectF& k : kambariai)
        centrai << Centras(k);
    QList<bool> prijungtas(n, false);
    QList<QList<bool>> sujungti(n, QList<bool>(n, false));
    prijungtas[0] = true;
    for (qsizetype kartas = 1; kartas < n; ++kartas) {
        qreal geriausias = std::numeric_limits<qreal>::max();
        qsizetype is = 0, i = 0;
        for (qsizetype a = 0; a < n; ++a) {
            if (!prijungtas[a])
                continue;
            for (qsizetype b = 0; b < n; ++b) {
                if (prijungtas[b])
                    continue;
                const qreal d = Atstumas(centrai[a], centrai[b]);
                if (d < geriausias) {
                    geriausias = d;
                    is = a;
                    i = b;
                }
            }
        }
        prijungtas[i] = true;
        sujungti[is][i] = sujungti[i][is] = true;
        PridetiKoridoriu(isdestymas, centrai[is], centrai[i], plotis, atsitiktinis.Tikimybe(50));
    }
    const int papildomi = atsitiktinis.Tarp(1, 2);
    for (int kartas = 0; kartas < papildomi; ++kartas) {
        const auto a = qsizetype(atsitiktinis.Tarp(0, int(n) - 1));
        qsizetype artimiausias = -1;
        qreal geriausias = std::numeric_limits<qreal>::max();
        for (qsizetype b = 0; b < n; ++b) {
            if (b == a || sujungti[a][b])
                continue;
            const qreal d = Atstumas(centrai[a], centrai[b]);
            if (d < geriausias) {
                geriausias = d;
                artimiausias = b;
            }
        }
        if (artimiausias < 0)
            continue;
        sujungti[a][artimiausias] = sujungti[artimiausias][a] = true;
        PridetiKoridoriu(isdestymas, centrai[a], centrai[artimiausias], plotis, atsitiktinis.Tikimybe(50));
    }
}

// Places rooms on the cell grid between columns [nuoStulpelio, ikiStulpelio)
// so that no two touch.
void IdetiKambarius(QList<QRect>& langeliai, int kiekis, int nuoStulpelio, int ikiStulpelio,
                    TAtsitiktinis& atsitiktinis) {
    const auto telpa = [&](const QRect& naujas) {
        return std::none_of(langeliai.cbegin(), langeliai.cend(),
                            [&](const QRect& esamas) { return esamas.adjusted(-1, -1, 1, 1).intersects(naujas); });
    };
    for (int bandymas = 0; bandymas < 400 && kiekis > 0; ++bandymas) {
        const int plotis = atsitiktinis.Tarp(2, 4);
        const int aukstis = atsitiktinis.Tarp(2, 3);
        if (ikiStulpelio - nuoStulpelio < plotis)
            continue;
        // Each draw is a statement of its own: the order of evaluating function
        // arguments differs between compilers, and the pictures must not.
        const int y = atsitiktinis.Tarp(0, kEilutes - aukstis);
        const int x = atsitiktinis.Tarp(nuoStulpelio, ikiStulpelio - plotis);
        const QRect naujas(x, y, plotis, aukstis);
        if (telpa(naujas)) {
            langeliai << naujas;
            --kiekis;
        }
    }
}

} // namespace

TIsdestymas KurtiIsdestyma(TAtsitiktinis& atsitiktinis, bool simetriskas) {
    TIsdestymas isdestymas;
    const qreal koridoriausPlotis = atsitiktinis.Tarp(8, 11);
    QList<QRect> langeliai;
    if (simetriskas) {
        // A central arena across the axis, rooms on the left, and their mirror images.
        const int plotis = atsitiktinis.Tarp(1, 2) * 2 + 1;
        const int aukstis = atsitiktinis.Tarp(3, 4);
        langeliai << QRect(kStulpeliai / 2 - plotis / 2, atsitiktinis.Tarp(0, kEilutes - aukstis), plotis, aukstis);
        IdetiKambarius(langeliai, atsitiktinis.Tarp(3, 4), 0, kStulpeliai / 2, atsitiktinis);
        QList<QRectF> kambariai;
        for (const QRect& l : langeliai)
            kambariai << LangeliuPlotas(l);
        SujungtiKambarius(isdestymas, kambariai, atsitiktinis, koridoriausPlotis);
        isdestymas.kambariai = kambariai;
        for (qsizetype i = 1; i < kambariai.size(); ++i)
            isdestymas.kambariai << Veidrodis(kambariai[i]);
        const qsizetype koridoriai = isdestymas.koridoriai.size();
        for (qsizetype i = 0; i < koridoriai; ++i)
            isdestymas.koridoriai << Veidrodis(isdestymas.koridoriai[i]);
        return isdestymas;
    }
    // One large open area first, then smaller rooms around it. An unlucky
    // placement leaves too few rooms; then the layout is drawn again, and the
    // fullest of the tries is kept.
    for (int bandymas = 0; bandymas < 20 && langeliai.size() < 6; ++bandymas) {
        QList<QRect> naujas;
        const int plotis = atsitiktinis.Tarp(4, 5);
        const int aukstis = atsitiktinis.Tarp(3, 4);
        const int y = atsitiktinis.Tarp(1, kEilutes - aukstis - 1);
        const int x = atsitiktinis.Tarp(2, kStulpeliai - plotis - 2);
        naujas << QRect(x, y, plotis, aukstis);
        IdetiKambarius(naujas, atsitiktinis.Tarp(5, 7), 0, kStulpeliai, atsitiktinis);
        if (naujas.size() > langeliai.size())
            langeliai = naujas;
    }
    for (const QRect& l : langeliai)
        isdestymas.kambariai << LangeliuPlotas(l);
    SujungtiKambarius(isdestymas, isdestymas.kambariai, atsitiktinis, koridoriausPlotis);
    return isdestymas;
}
