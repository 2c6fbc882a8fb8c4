// Shared part of the hover controls: raising an enter or leave event.
#pragma once

#include <QCursor>
#include <QWidget>

#include "TybLabel.h"

// Calls the handler, when there is one, with the control, an empty Shift and
// the pointer's position on the screen.
inline void PranestiApieZymekli(QWidget* valdiklis, const TMouseMoveEvent& ivykis) {
    if (!ivykis)
        return;
    const QPoint taskas = QCursor::pos();
    ivykis(valdiklis, Qt::NoModifier, taskas.x(), taskas.y());
}
