#include "Stiliai.h"

#include <QLabel>

#include "Tekstas.h"
#include "Valdikliai.h"

QLabel* Etikete(QWidget* tevas, const char* vardas, int x, int y, int plotis, int aukstis, const QFont& sriftas,
                int spalva) {
    QLabel* l = Sukurti<QLabel>(tevas, vardas, x, y, plotis, aukstis);
    l->setTextFormat(Qt::PlainText);
    l->setFont(sriftas);
    l->setText(QString::fromLatin1(vardas));
    if (spalva >= 0)
        NustatytiSpalvas(l, SpalvaBGR(spalva));
    return l;
}

void NustatytiTeksta(QLabel* etikete, const QString& tekstas) {
    etikete->setText(tekstas);
    etikete->setToolTip(QString());
    etikete->adjustSize();
    QWidget* tevas = etikete->parentWidget();
    if (!tevas)
        return;
    // The room on the right: up to the nearest control beside the label, or
    // the edge of its parent.
    const QRect vieta = etikete->geometry();
    int riba = tevas->width();
    for (QObject* vaikas : tevas->children()) {
        auto* kitas = qobject_cast<QWidget*>(vaikas);
        if (!kitas || kitas == etikete || kitas->isWindow() || kitas->isHidden())
            continue;
        const QRect g = kitas->geometry();
        if (g.left() > vieta.left() && g.top() <= vieta.bottom() && g.bottom() >= vieta.top())
            riba = qMin(riba, g.left());
    }
    if (vieta.left() + vieta.width() <= riba)
        return;
    const int plotis = qMax(0, riba - vieta.left());
    etikete->resize(plotis, vieta.height());
    const int vidus = etikete->contentsRect().width() - etikete->margin() * 2 - qMax(0, etikete->indent());
    etikete->setText(etikete->fontMetrics().elidedText(tekstas, Qt::ElideRight, qMax(0, vidus)));
    // The whole text, which may be a server's: never read as markup.
    etikete->setToolTip(PatarimoTekstas(tekstas));
}
