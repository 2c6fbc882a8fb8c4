#include "AntrinisLangas.h"

#include <QShowEvent>
#include <QWindow>

#include "Modulis1.h"
#include "TybINI.h"

TAntrinisLangas::TAntrinisLangas(QWidget* tevas) : QDialog(tevas) {}

void TAntrinisLangas::setVisible(bool matomas) {
    if (matomas && !isVisible() && frmPagrindinis) {
        QRect vieta = frameGeometry();
        vieta.moveCenter(frmPagrindinis->frameGeometry().center());
        move(vieta.topLeft());
        if (QWindow* stebetojas = frmPagrindinis->windowHandle()) {
            winId();
            if (QWindow* savas = windowHandle())
                savas->setTransientParent(stebetojas);
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

QString TAntrinisLangas::Tekstas(const char* sekcija, const char* raktas) const {
    if (!frmPagrindinis)
        return QString::fromLatin1(kRezultatasNeraFailo);
    return frmPagrindinis->Tekstas(sekcija, raktas);
}
