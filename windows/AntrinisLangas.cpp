#include "AntrinisLangas.h"

#include <QShowEvent>
#include <QWindow>

#include "Kalba.h"
#include "Stebetojas.h"

TAntrinisLangas::TAntrinisLangas(TStebetojas* stebetojas, QWidget* tevas) : QDialog(tevas), stebetojas(stebetojas) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
}

void TAntrinisLangas::setVisible(bool matomas) {
    auto* langas = dynamic_cast<QWidget*>(stebetojas);
    if (matomas && !isVisible() && langas) {
        QRect vieta = frameGeometry();
        vieta.moveCenter(langas->frameGeometry().center());
        move(vieta.topLeft());
        if (QWindow* stebetojoLangas = langas->windowHandle()) {
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
    if (stebetojas)
        stebetojas->SustabdytiAtnaujinima();
}

void TAntrinisLangas::TestiStebetoja() {
    if (stebetojas)
        stebetojas->TestiAtnaujinima();
}

QString TAntrinisLangas::Tekstas(const char* sekcija, const char* raktas) const {
    return stebetojas ? stebetojas->Kalba().Tekstas(sekcija, raktas) : QStringLiteral("###1");
}
