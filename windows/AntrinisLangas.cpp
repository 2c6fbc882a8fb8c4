#include "AntrinisLangas.h"

#include <QShowEvent>
#include <QWindow>

#include "Stebetojas.h"

TAntrinisLangas::TAntrinisLangas(QWidget* tevas) : QDialog(tevas) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
}

void TAntrinisLangas::setVisible(bool matomas) {
    auto* stebetojas = dynamic_cast<QWidget*>(Stebetojas());
    if (matomas && !isVisible() && stebetojas) {
        QRect vieta = frameGeometry();
        vieta.moveCenter(stebetojas->frameGeometry().center());
        move(vieta.topLeft());
        if (QWindow* stebetojoLangas = stebetojas->windowHandle()) {
            winId();
            if (QWindow* savas = windowHandle())
                savas->setTransientParent(stebetojoLangas);
        }
    }
    QDialog::setVisible(matomas);
}

void TAntrinisLangas::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        Saugiai([this] { FormShow(); });
}

void TAntrinisLangas::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        Saugiai([this] { FormHide(); });
}

void TAntrinisLangas::SustabdytiStebetoja() {
    if (TStebetojas* s = Stebetojas())
        s->SustabdytiAtnaujinima();
}

void TAntrinisLangas::TestiStebetoja() {
    if (TStebetojas* s = Stebetojas())
        s->TestiAtnaujinima();
}

QString TAntrinisLangas::Tekstas(const char* sekcija, const char* raktas) {
    return KalbosTekstas(sekcija, raktas);
}
