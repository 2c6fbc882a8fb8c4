#include "Laikmatis.h"

TLaikmatis::TLaikmatis(QObject* tevas) : QTimer(tevas) {
    setTimerType(Qt::PreciseTimer);
}

void TLaikmatis::setEnabled(bool taip) {
    if (ijungtas == taip)
        return;
    ijungtas = taip;
    Atnaujinti();
}

void TLaikmatis::setIntervalas(int ms) {
    prasomas = qMax(0, ms);
    Atnaujinti();
}

void TLaikmatis::setMaziausias(int ms) {
    maziausias = qMax(0, ms);
    Atnaujinti();
}

void TLaikmatis::Atnaujinti() {
    const int veikiantis = prasomas > 0 ? qMax(prasomas, maziausias) : 0;
    const bool turiVeikti = ijungtas && veikiantis > 0;
    if (veikiantis != interval())
        setInterval(veikiantis); // restarts a running timer
    if (turiVeikti && !isActive())
        start();
    else if (!turiVeikti && isActive())
        stop();
}

TLaikmatis* SukurtiLaikmati(QObject* tevas, const char* vardas, int ms) {
    auto* t = new TLaikmatis(tevas);
    t->setObjectName(QString::fromLatin1(vardas));
    t->setIntervalas(ms);
    return t;
}
