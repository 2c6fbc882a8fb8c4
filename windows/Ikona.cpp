#include "Ikona.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

constexpr int kDydis = 32;

} // namespace

QImage ProgramosIkonosVaizdas(int dydis) {
    QImage vaizdas(dydis, dydis, QImage::Format_ARGB32_Premultiplied);
    vaizdas.fill(Qt::transparent);
    QPainter p(&vaizdas);
    p.setRenderHint(QPainter::Antialiasing);
    // The drawing below is in the coordinates of the 32 x 32 picture.
    p.scale(qreal(dydis) / kDydis, qreal(dydis) / kDydis);

    const QColor oranzine(0xFF, 0xAA, 0x00);
    const QColor tamsi(0x19, 0x31, 0x31);
    const QPointF centras(16.0, 16.0);

    // The screen: a dark disc in an orange rim.
    p.setPen(QPen(oranzine, 2.0));
    p.setBrush(tamsi);
    p.drawEllipse(centras, 14.5, 14.5);

    // Range rings and the cross hair, dimmed.
    QColor blankesne = oranzine;
    blankesne.setAlpha(110);
    p.setPen(QPen(blankesne, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centras, 9.5, 9.5);
    p.drawEllipse(centras, 4.5, 4.5);
    p.drawLine(QPointF(16.0, 3.0), QPointF(16.0, 29.0));
    p.drawLine(QPointF(3.0, 16.0), QPointF(29.0, 16.0));

    // The sweep: a wedge fading behind its leading edge.
    QPainterPath pleistas;
    pleistas.moveTo(centras);
    pleistas.arcTo(QRectF(2.5, 2.5, 27.0, 27.0), 45.0, 50.0);
    pleistas.closeSubpath();
    QColor sviesa = oranzine;
    sviesa.setAlpha(90);
    p.setPen(Qt::NoPen);
    p.setBrush(sviesa);
    p.drawPath(pleistas);
    p.setPen(QPen(oranzine, 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centras, QPointF(16.0 + 13.5 * 0.7071, 16.0 - 13.5 * 0.7071));

    // A server caught by the sweep.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0xE0, 0x80));
    p.drawEllipse(QPointF(21.5, 8.5), 2.0, 2.0);
    p.end();
    return vaizdas;
}

QIcon ProgramosIkona() {
    return QIcon(QPixmap::fromImage(ProgramosIkonosVaizdas()));
}
