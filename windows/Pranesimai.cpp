#include "Pranesimai.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace {

void StandartinisPranesimas(QWidget* tevas, const QString& tekstas) {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), tekstas, QMessageBox::Ok, tevas);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

QString StandartinisIvedimas(QWidget* tevas, const QString& antraste, const QString& klausimas,
                             const QString& numatyta) {
    bool gerai = false;
    const QString tekstas = QInputDialog::getText(tevas, antraste, klausimas, QLineEdit::Normal, numatyta, &gerai);
    return gerai ? tekstas : numatyta;
}

TPranesimoRodymas& Rodymas() {
    static TPranesimoRodymas f = StandartinisPranesimas;
    return f;
}

TIvedimoLangas& Ivedimas() {
    static TIvedimoLangas f = StandartinisIvedimas;
    return f;
}

} // namespace

void RodytiPranesima(QWidget* tevas, const QString& tekstas) {
    Rodymas()(tevas, tekstas);
}

QString IvestiTeksta(QWidget* tevas, const QString& antraste, const QString& klausimas, const QString& numatyta) {
    return Ivedimas()(tevas, antraste, klausimas, numatyta);
}

TPranesimoRodymas NustatytiPranesimoRodyma(TPranesimoRodymas naujas) {
    TPranesimoRodymas senas = std::move(Rodymas());
    Rodymas() = naujas ? std::move(naujas) : TPranesimoRodymas(StandartinisPranesimas);
    return senas;
}

TIvedimoLangas NustatytiIvedimoLanga(TIvedimoLangas naujas) {
    TIvedimoLangas senas = std::move(Ivedimas());
    Ivedimas() = naujas ? std::move(naujas) : TIvedimoLangas(StandartinisIvedimas);
    return senas;
}

bool TTinkloPranesimai::Rodyti(const QString& tekstas) {
    if (atidarytas)
        return false;
    atidarytas = true;
    struct TUzdarymas {
        bool& f;
        ~TUzdarymas() { f = false; }
    } uzdarymas{atidarytas};
    RodytiPranesima(langas, tekstas);
    return true;
}
