#include "Valdikliai.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>

QColor SpalvaBGR(int bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

QFont Sriftas(const QString& seimyna, int pikseliai, bool storas) {
    QFont f(seimyna);
    f.setPixelSize(pikseliai);
    f.setBold(storas);
    return f;
}

QFont SriftasTaskais(const QString& seimyna, int taskai, bool storas) {
    QFont f(seimyna);
    f.setPointSize(taskai);
    f.setBold(storas);
    return f;
}

void NustatytiSpalvas(QWidget* valdiklis, const QColor& tekstas) {
    QPalette p = valdiklis->palette();
    p.setColor(QPalette::WindowText, tekstas);
    p.setColor(QPalette::Text, tekstas);
    valdiklis->setPalette(p);
}

void NustatytiFona(QWidget* valdiklis, const QColor& fonas) {
    QPalette p = valdiklis->palette();
    p.setColor(QPalette::Window, fonas);
    p.setColor(QPalette::Base, fonas);
    valdiklis->setPalette(p);
    valdiklis->setAutoFillBackground(true);
}

void NustatytiSpalvas(QWidget* valdiklis, const QColor& tekstas, const QColor& fonas) {
    NustatytiSpalvas(valdiklis, tekstas);
    NustatytiFona(valdiklis, fonas);
}

TMemo::TMemo(QWidget* tevas) : QWidget(tevas) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
}

void TMemo::PridetiEilutes(const QStringList& naujos) {
    if (naujos.isEmpty())
        return;
    eilutes.append(naujos);
    update();
    Q_EMIT pasikeite();
}

void TMemo::Isvalyti() {
    if (eilutes.isEmpty())
        return;
    eilutes.clear();
    update();
    Q_EMIT pasikeite();
}

void TMemo::NustatytiLygiavima(Qt::Alignment naujas) {
    lygiavimas = naujas;
    update();
}

void TMemo::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.fillRect(event->rect(), palette().color(QPalette::Base));
    p.setPen(palette().color(QPalette::Text));
    const QFontMetrics matai(font());
    const int aukstis = matai.lineSpacing();
    const int pirma = qMax(0, event->rect().top() / aukstis);
    const int paskutine = qMin(int(eilutes.size()) - 1, event->rect().bottom() / aukstis);
    for (int i = pirma; i <= paskutine; ++i)
        p.drawText(QRect(1, i * aukstis, width() - 2, aukstis), int(lygiavimas | Qt::AlignVCenter) | Qt::TextSingleLine,
                   eilutes.at(i));
}

void TMemo::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    Q_EMIT pelePaspausta();
}

TPaveiksliukas::TPaveiksliukas(QWidget* tevas) : QWidget(tevas) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void TPaveiksliukas::NustatytiVaizda(const QImage& naujas) {
    vaizdas = naujas;
    update();
}

void TPaveiksliukas::paintEvent(QPaintEvent*) {
    if (vaizdas.isNull())
        return;
    QPainter p(this);
    if (Istempti) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(rect(), vaizdas);
    } else {
        p.drawImage(0, 0, vaizdas);
    }
}

void TPaveiksliukas::mouseMoveEvent(QMouseEvent* event) {
    const QPoint t = event->position().toPoint();
    Q_EMIT peleJuda(t.x(), t.y());
}

void TPaveiksliukas::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint t = event->position().toPoint();
    // The click comes first, then the release, as the bar's handlers expect.
    if (event->button() == Qt::LeftButton && rect().contains(t))
        Q_EMIT clicked();
    Q_EMIT pelePaleista(event->button(), t.x(), t.y());
}

TLinija::TLinija(QWidget* tevas, const QColor& tusas, const QColor& plunksna)
    : QWidget(tevas), tusas(tusas), plunksna(plunksna) {}

void TLinija::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), tusas);
    p.setPen(plunksna);
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

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
    if (ms < 0)
        ms = 0;
    if (ms == interval())
        return;
    setInterval(ms);
    Atnaujinti();
}

void TLaikmatis::Atnaujinti() {
    if (ijungtas && interval() > 0)
        start();
    else
        stop();
}

TLaikmatis* SukurtiLaikmati(QObject* tevas, const char* vardas, int ms) {
    auto* t = new TLaikmatis(tevas);
    t->setObjectName(QString::fromLatin1(vardas));
    t->setIntervalas(ms);
    return t;
}
