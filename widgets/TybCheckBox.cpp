#include "TybCheckBox.h"

#include <QEnterEvent>

#include "Hover.h"

TTybCheckBox::TTybCheckBox(QWidget* parent) : QCheckBox(parent) {}

void TTybCheckBox::enterEvent(QEnterEvent* event) {
    // Consumed here: the base control's own hover handling does not run.
    event->accept();
    PranestiApieZymekli(this, OnMouseEnter);
}

void TTybCheckBox::leaveEvent(QEvent* event) {
    event->accept();
    PranestiApieZymekli(this, OnMouseLeave);
}
