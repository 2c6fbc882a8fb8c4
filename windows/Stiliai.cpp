#include "Stiliai.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyleOption>

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

namespace {

QString Spalva(const QColor& c) {
    return c.name(QColor::HexRgb);
}

// A colour at a part of its strength, towards black.
QColor Silpnesne(const QColor& c, float dalis) {
    return QColor::fromRgbF(c.redF() * dalis, c.greenF() * dalis, c.blueF() * dalis);
}

// The desktop's style draws a check box's box in light colours of its own or,
// on a black palette, not at all; this one draws it from the check box's text
// colour and leaves everything else to the desktop's style.
class TTamsusZymimuStilius : public QProxyStyle {
public:
    void drawPrimitive(PrimitiveElement elementas, const QStyleOption* o, QPainter* p,
                       const QWidget* w) const override {
        if (elementas == PE_FrameFocusRect && qobject_cast<const QCheckBox*>(w))
            return; // the box shows the focus
        if (elementas != PE_IndicatorCheckBox) {
            QProxyStyle::drawPrimitive(elementas, o, p, w);
            return;
        }
        const QColor tekstas = o->palette.color(QPalette::WindowText);
        const bool ijungtas = o->state & State_Enabled;
        const QColor zenklas = ijungtas ? tekstas : Silpnesne(tekstas, 0.5f);
        const QColor remas =
            (o->state & State_HasFocus) && ijungtas ? tekstas : Silpnesne(tekstas, ijungtas ? 0.5f : 0.3f);
        const int krastine = qMin(o->rect.width(), o->rect.height());
        const QRect r(o->rect.x(), o->rect.y() + (o->rect.height() - krastine) / 2, krastine, krastine);
        p->save();
        p->setPen(remas);
        p->setBrush(Qt::NoBrush);
        p->drawRect(r.adjusted(0, 0, -1, -1));
        if (o->state & (State_On | State_NoChange)) {
            p->setRenderHint(QPainter::Antialiasing, true);
            p->setPen(QPen(zenklas, qMax(1.5, krastine / 7.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            const QRectF v = QRectF(r).adjusted(krastine * 0.22, krastine * 0.22, -krastine * 0.22, -krastine * 0.22);
            QPainterPath kelias;
            if (o->state & State_On) {
                kelias.moveTo(v.left(), v.center().y());
                kelias.lineTo(v.left() + v.width() * 0.4, v.bottom());
                kelias.lineTo(v.right(), v.top());
            } else {
                kelias.moveTo(v.left(), v.center().y());
                kelias.lineTo(v.right(), v.center().y());
            }
            p->drawPath(kelias);
        }
        p->restore();
    }
};

} // namespace

void TamsusZymimasis(QCheckBox* langelis) {
    // One style for every such box, the application's to end.
    static QPointer<TTamsusZymimuStilius> stilius;
    if (!stilius) {
        stilius = new TTamsusZymimuStilius;
        stilius->setParent(qApp);
    }
    langelis->setStyle(stilius);
}

void RedagavimoLaukas(QWidget* laukas, int spalva) {
    const QColor tekstas = SpalvaBGR(spalva);
    // The frame at half the text's strength: seen on black, yet quieter than the focus.
    const QColor remas = Silpnesne(tekstas, 0.5f);
    QPalette p = laukas->palette();
    p.setColor(QPalette::PlaceholderText, remas);
    laukas->setPalette(p);
    const QString klase = QString::fromLatin1(laukas->metaObject()->className());
    // A spin box's arrows on the frame's colour, so they show on black.
    laukas->setStyleSheet(QStringLiteral("%1 { color: %2; background: black; border: 1px solid %3; padding: 0 2px; "
                                         "selection-background-color: %3; } %1:focus { border-color: %2; }"
                                         "%1::up-button, %1::down-button { background: %3; border: none; width: 12px; }"
                                         "%1::up-arrow, %1::down-arrow { width: 0; height: 0; border: 4px solid %3; }"
                                         "%1::up-arrow { border-bottom-color: black; }"
                                         "%1::down-arrow { border-top-color: black; }")
                              .arg(klase, Spalva(tekstas), Spalva(remas)));
}

void TamsiosSlinkties(QAbstractScrollArea* sritis) {
    const QColor rankena = SpalvaBGR(kOranzine).darker(250);
    const QString stilius =
        QStringLiteral("QScrollBar { background: #141414; border: 1px solid #202020; margin: 0; }"
                       "QScrollBar:vertical { width: 14px; } QScrollBar:horizontal { height: 14px; }"
                       "QScrollBar::handle { background: %1; border-radius: 2px; min-width: 20px; min-height: 20px; }"
                       "QScrollBar::handle:hover { background: %2; }"
                       "QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; border: none; }"
                       "QScrollBar::add-page, QScrollBar::sub-page { background: none; }")
            .arg(Spalva(rankena), Spalva(rankena.lighter(150)));
    for (QScrollBar* juosta : {sritis->verticalScrollBar(), sritis->horizontalScrollBar()})
        juosta->setStyleSheet(stilius);
}
