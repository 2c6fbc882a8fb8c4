#include "TybCheckBox.h"

#include <QEnterEvent>
#include <QKeyEvent>

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

void TTybCheckBox::keyPressEvent(QKeyEvent* event) {
    const int k = event->key();
    if ((k == Qt::Key_Return || k == Qt::Key_Enter) &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        if (!event->isAutoRepeat())
            click();
        return;
    }
    QCheckBox::keyPressEvent(event);
}
