#include "Stiliai.h"

#include <QLabel>

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
    etikete->adjustSize();
}
