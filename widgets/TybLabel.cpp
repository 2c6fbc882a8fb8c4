#include "TybLabel.h"

#include <QAccessibleWidget>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "Hover.h"

namespace {

// A pressable label as a screen reader sees it: its role, its caption as its
// name, and a press action beside the focus one.
class TPaspaudziamaEtikete : public QAccessibleWidget {
public:
    explicit TPaspaudziamaEtikete(TTybLabel* etikete) : QAccessibleWidget(etikete, etikete->Vaidmuo()) {}

    QString text(QAccessible::Text kas) const override {
        if (kas == QAccessible::Name && Etikete()->accessibleName().isEmpty())
            return Etikete()->text();
        return QAccessibleWidget::text(kas);
    }
    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }
    void doAction(const QString& veiksmas) override {
        if (veiksmas == pressAction() && Etikete()->isEnabled())
            Etikete()->Paspausti();
        else
            QAccessibleWidget::doAction(veiksmas);
    }
    QStringList keyBindingsForAction(const QString& veiksmas) const override {
        return veiksmas == pressAction() ? QStringList{QStringLiteral("Return"), QStringLiteral("Space")}
                                         : QAccessibleWidget::keyBindingsForAction(veiksmas);
    }

private:
    TTybLabel* Etikete() const { return static_cast<TTybLabel*>(widget()); }
};

QAccessibleInterface* EtiketesGamykla(const QString& klase, QObject* objektas) {
    if (klase != QLatin1StringView("TTybLabel") || !objektas || !objektas->isWidgetType())
        return nullptr;
    auto* etikete = static_cast<TTybLabel*>(objektas);
    // A plain one is read as the toolkit reads any label.
    return etikete->ArPaspaudziama() ? new TPaspaudziamaEtikete(etikete) : nullptr;
}

} // namespace

TTybLabel::TTybLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
}

void TTybLabel::NustatytiPaspaudziama(QAccessible::Role naujas) {
    static const bool gamyklaIdiegta = [] {
        QAccessible::installFactory(EtiketesGamykla);
        return true;
    }();
    Q_UNUSED(gamyklaIdiegta);
    vaidmuo = naujas;
    // A screen reader may have read it as a plain label already (its caption
    // is set as it is made): that reading goes, the next one is of the item.
    if (QAccessibleInterface* buves = QAccessible::queryAccessibleInterface(this))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(buves));
    // Tab reaches it; a click leaves the focus where it was.
    setFocusPolicy(Qt::TabFocus);
}

void TTybLabel::Paspausti() {
    if (OnPress)
        OnPress();
    else
        Q_EMIT clicked();
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

void TTybLabel::keyPressEvent(QKeyEvent* event) {
    const int k = event->key();
    if (ArPaspaudziama() && (k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Space) &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        // A key held down is one press.
        if (!event->isAutoRepeat())
            Paspausti();
        return;
    }
    QLabel::keyPressEvent(event);
}

void TTybLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!ArPaspaudziama() || !hasFocus())
        return;
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
