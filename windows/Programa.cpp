#include "Programa.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "Modulis1.h"

using namespace Qt::StringLiterals;

void SukurtiLangus() {
    QApplication::setApplicationName(u"Velmorant"_s);
    frmPagrindinis = new TfrmPagrindinis();
}

void SunaikintiLangus() {
    delete frmPagrindinis;
    frmPagrindinis = nullptr;
}

void ApdorotiArgumentus(const QStringList& argumentai) {
    if (argumentai.size() < 2)
        return;
    const QString adresas = argumentai.at(1);
    QTimer::singleShot(0, frmPagrindinis, [adresas] {
        frmPagrindinis->edtHostas->setText(adresas);
        frmPagrindinis->btnRodyti->click();
    });
}

int VykdytiPrograma(int argc, char** argv) {
    QApplication programa(argc, argv);
    SukurtiLangus();
    frmPagrindinis->show();
    ApdorotiArgumentus(QApplication::arguments());
    const int rezultatas = QApplication::exec();
    SunaikintiLangus();
    return rezultatas;
}
