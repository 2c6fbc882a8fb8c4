#include "TybLabel.h"

#include <QCursor>
#include <QMouseEvent>

#include "Hover.h"

TTybLabel::TTybLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
}

void TTybLabel::enterEvent(QEnterEvent* event) {
    event->accept();
    PranestiApieZymekli(this, OnMouseEnter);
}

void TTybLabel::leaveEvent(QEvent* event) {
    event->accept();
    PranestiApieZymekli(this, OnMouseLeave);
}

void TTybLabel::mouseReleaseEvent(QMouseEvent* event) {
    // A click is a left press and release inside the label.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
    QLabel::mouseReleaseEvent(event);
}
