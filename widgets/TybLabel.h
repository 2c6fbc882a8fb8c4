// TTybLabel: a label that reports the pointer entering and leaving it.
#pragma once

#include <functional>

#include <QLabel>

// The handler shape shared by both hover events: (Sender, Shift, X, Y), with
// X and Y in screen coordinates and Shift the held modifiers and buttons.
using TMouseMoveEvent = std::function<void(QObject* Sender, Qt::KeyboardModifiers Shift, int X, int Y)>;

class TTybLabel : public QLabel {
    Q_OBJECT
public:
    explicit TTybLabel(QWidget* parent = nullptr);

    TMouseMoveEvent OnMouseEnter;
    TMouseMoveEvent OnMouseLeave;

Q_SIGNALS:
    void clicked();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};
