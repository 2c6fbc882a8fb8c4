// TTybLabel: a label that reports the pointer entering and leaving it.
#pragma once

#include <functional>

#include <QAccessible>
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

    // Makes the label an item the keyboard and screen readers can press: Tab
    // reaches it, Enter or Space press it, its focus shows as a frame in its
    // text's colour, and accessibility clients see it in the role `vaidmuo` (a
    // menu item, a button) with a press action. Set before it is first shown.
    void NustatytiPaspaudziama(QAccessible::Role vaidmuo);
    // Its role for accessibility clients (a plain label's while not pressable).
    QAccessible::Role Vaidmuo() const { return vaidmuo; }
    bool ArPaspaudziama() const { return vaidmuo != QAccessible::StaticText; }
    // A press by the keyboard or a screen reader: OnPress when set, else clicked().
    void Paspausti();
    std::function<void()> OnPress;

Q_SIGNALS:
    void clicked();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QAccessible::Role vaidmuo = QAccessible::StaticText;
};
