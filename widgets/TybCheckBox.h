// TTybCheckBox: a check box that reports the pointer entering and leaving it.
// Enter presses it as Space does.
#pragma once

#include <QCheckBox>

#include "TybLabel.h"

class TTybCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit TTybCheckBox(QWidget* parent = nullptr);

    TMouseMoveEvent OnMouseEnter;
    TMouseMoveEvent OnMouseLeave;

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};
