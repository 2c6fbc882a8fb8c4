#include "AntrinisLangas.h"

#include <QShowEvent>
#include <QWindow>

#include "Kalba.h"
#include "Stebetojas.h"

TAntrinisLangas::TAntrinisLangas(TStebetojas* stebetojas, QWidget* tevas) : QDialog(tevas), stebetojas(stebetojas) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
}

std::optional<QPoint> VietaSalia(const QRect& salia, const QSize& dydis, const QRect& ekranas) {
    constexpr int kTarpas = 8;
    if (dydis.width() > ekranas.width())
        return std::nullopt;
    const int y = qMax(ekranas.top(), qMin(salia.top(), ekranas.bottom() + 1 - dydis.height()));
    if (const int x = salia.right() + 1 + kTarpas; x + dydis.width() - 1 <= ekranas.right())
        return QPoint(x, y);
    if (const int x = salia.left() - kTarpas - dydis.width(); x >= ekranas.left())
        return QPoint(x, y);
    // No room on either side: against the edge of the side with more room,
    // over as little of the other window as the area allows.
    const bool desine = ekranas.right() - salia.right() >= salia.left() - ekranas.left();
    return QPoint(desine ? ekranas.right() + 1 - dydis.width() : ekranas.left(), y);
}

void TAntrinisLangas::Padeti(const QWidget& stebetojoLangas) {
    QRect vieta = frameGeometry();
    vieta.moveCenter(stebetojoLangas.frameGeometry().center());
    move(vieta.topLeft());
}

void TAntrinisLangas::setVisible(bool matomas) {
    auto* langas = dynamic_cast<QWidget*>(stebetojas);
    if (matomas && !isVisible() && langas) {
        Padeti(*langas);
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
