#include "Valdikliai.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QPolygonF>

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

namespace {

// What an accessibility client sees of a memo: a read-only multi-line text
// with no selection, the caret at its start.
class TMemoPrieinamumas : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit TMemoPrieinamumas(TMemo* memo) : QAccessibleWidget(memo, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType tipas) override {
        if (tipas == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(tipas);
    }
    QAccessible::State state() const override {
        QAccessible::State b = QAccessibleWidget::state();
        b.readOnly = true;
        b.multiLine = true;
        b.editable = false;
        return b;
    }
    QString text(QAccessible::Text kas) const override {
        if (kas == QAccessible::Value)
            return Memo()->text();
        return QAccessibleWidget::text(kas);
    }

    void selection(int, int* pradzia, int* pabaiga) const override { *pradzia = *pabaiga = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int pradzia, int pabaiga) const override {
        const QString visas = Memo()->text();
        if (pradzia < 0 || pabaiga > visas.size() || pradzia > pabaiga)
            return {};
        return visas.mid(pradzia, pabaiga - pradzia);
    }
    int characterCount() const override { return int(Memo()->text().size()); }
    QRect characterRect(int poslinkis) const override {
        const auto [eilute, stulpelis] = Vieta(poslinkis);
        if (eilute < 0)
            return {};
        const QString& e = Memo()->Eilutes().at(eilute);
        const QFontMetrics matai(Memo()->EilutesSriftas(eilute));
        const QRect r = Memo()->EilutesVieta(eilute);
        const int x = r.left() + Atitraukimas(eilute, r.width()) + matai.horizontalAdvance(e.left(stulpelis));
        const int plotis = stulpelis < e.size() ? matai.horizontalAdvance(e.at(stulpelis)) : 1;
        return QRect(Memo()->mapToGlobal(QPoint(x, r.top())), QSize(plotis, r.height()));
    }
    int offsetAtPoint(const QPoint& taskas) const override {
        const QPoint vietinis = Memo()->mapFromGlobal(taskas);
        const QStringList& eilutes = Memo()->Eilutes();
        int pradzia = 0;
        for (int i = 0; i < eilutes.size(); ++i) {
            const QRect r = Memo()->EilutesVieta(i);
            if (r.contains(vietinis)) {
                const QFontMetrics matai(Memo()->EilutesSriftas(i));
                int x = r.left() + Atitraukimas(i, r.width());
                for (int j = 0; j < eilutes.at(i).size(); ++j) {
                    x += matai.horizontalAdvance(eilutes.at(i).at(j));
                    if (vietinis.x() < x)
                        return pradzia + j;
                }
                return -1;
            }
            pradzia += int(eilutes.at(i).size()) + 1;
        }
        return -1;
    }
    void scrollToSubstring(int, int) override {}
    QString attributes(int poslinkis, int* pradzia, int* pabaiga) const override {
        *pradzia = *pabaiga = poslinkis;
        return {};
    }

private:
    TMemo* Memo() const { return static_cast<TMemo*>(widget()); }

    // The line and column of a character offset in the joined text ({-1, -1} outside it).
    std::pair<int, int> Vieta(int poslinkis) const {
        const QStringList& eilutes = Memo()->Eilutes();
        for (int i = 0; i < eilutes.size() && poslinkis >= 0; ++i) {
            if (poslinkis <= eilutes.at(i).size())
                return {i, poslinkis};
            poslinkis -= int(eilutes.at(i).size()) + 1;
        }
        return {-1, -1};
    }
    int Atitraukimas(int eilute, int plotis) const {
        const int teksto = QFontMetrics(Memo()->EilutesSriftas(eilute)).horizontalAdvance(Memo()->Eilutes().at(eilute));
        if (Memo()->Lygiavimas() & Qt::AlignRight)
            return plotis - teksto;
        if (Memo()->Lygiavimas() & Qt::AlignHCenter)
            return (plotis - teksto) / 2;
        return 0;
    }
};

QAccessibleInterface* MemoGamykla(const QString& klase, QObject* objektas) {
    if (klase == QLatin1StringView("TMemo") && objektas && objektas->isWidgetType())
        return new TMemoPrieinamumas(static_cast<TMemo*>(objektas));
    return nullptr;
}

} // namespace

TMemo::TMemo(QWidget* tevas) : QWidget(tevas) {
    static const bool gamyklaIdiegta = [] {
        QAccessible::installFactory(MemoGamykla);
        return true;
    }();
    Q_UNUSED(gamyklaIdiegta);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
}

void TMemo::PridetiEilutes(const QStringList& naujos) {
    if (naujos.isEmpty())
        return;
    const QString senas = QAccessible::isActive() ? text() : QString();
    eilutes.append(naujos);
    zymes.clear();
    update();
    PranestiPasikeitima(senas);
    Q_EMIT pasikeite();
}

void TMemo::NustatytiEilutes(const QStringList& naujos) {
    if (naujos == eilutes)
        return;
    const QString senas = QAccessible::isActive() ? text() : QString();
    eilutes = naujos;
    zymes.clear();
    update();
    PranestiPasikeitima(senas);
    Q_EMIT pasikeite();
}

void TMemo::Isvalyti() {
    if (eilutes.isEmpty())
        return;
    const QString senas = QAccessible::isActive() ? text() : QString();
    eilutes.clear();
    zymes.clear();
    update();
    PranestiPasikeitima(senas);
    Q_EMIT pasikeite();
}

void TMemo::PranestiPasikeitima(const QString& senas) {
    if (!QAccessible::isActive())
        return;
    QAccessibleTextUpdateEvent ivykis(this, 0, senas, text());
    QAccessible::updateAccessibility(&ivykis);
}

QRect TMemo::EilutesVieta(int eilute) const {
    const int aukstis = QFontMetrics(font()).lineSpacing();
    return QRect(1, eilute * aukstis, width() - 2, aukstis);
}

int TMemo::EiluteTaske(int y) const {
    if (y < 0)
        return -1;
    const int eilute = y / QFontMetrics(font()).lineSpacing();
    return eilute < eilutes.size() ? eilute : -1;
}

void TMemo::NustatytiZymes(const QList<bool>& naujos) {
    QList<bool> zymos = naujos.mid(0, eilutes.size());
    if (!zymos.contains(true))
        zymos.clear();
    // Compared by element: QList's own comparison hands memcmp a null pointer for an empty list.
    if (std::equal(zymos.cbegin(), zymos.cend(), zymes.cbegin(), zymes.cend()))
        return;
    zymes = zymos;
    update();
}

QFont TMemo::EilutesSriftas(int eilute) const {
    QFont f = font();
    if (ArPazymeta(eilute))
        f.setBold(true);
    return f;
}

QRect TMemo::ZymesVieta(int eilute) const {
    if (!ArPazymeta(eilute))
        return {};
    // A square of the line's height, beside the text on the side it leaves
    // free, inside the memo even when the text fills the line.
    const QRect vieta = EilutesVieta(eilute);
    const int krastine = qMax(4, vieta.height() - 4);
    const int plotis = QFontMetrics(EilutesSriftas(eilute)).horizontalAdvance(eilutes.at(eilute));
    int x = 0;
    if (lygiavimas & Qt::AlignRight)
        x = qMax(vieta.left(), vieta.right() - plotis - 3 - krastine);
    else
        x = qMin(vieta.left() + plotis + 3, vieta.right() - krastine);
    return QRect(x, vieta.top() + (vieta.height() - krastine) / 2, krastine, krastine);
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
    for (int i = pirma; i <= paskutine; ++i) {
        const bool pazymeta = ArPazymeta(i);
        p.setFont(EilutesSriftas(i));
        p.drawText(EilutesVieta(i), int(lygiavimas | Qt::AlignVCenter) | Qt::TextSingleLine, eilutes.at(i));
        if (pazymeta) {
            // A five-pointed star in the text's colour.
            const QRectF r = ZymesVieta(i);
            QPolygonF zvaigzde;
            for (int k = 0; k < 10; ++k) {
                const double spindulys = (k % 2 == 0 ? 0.5 : 0.2) * r.width();
                const double kampas = -std::numbers::pi / 2 + k * std::numbers::pi / 5;
                zvaigzde << r.center() + QPointF(spindulys * std::cos(kampas), spindulys * std::sin(kampas));
            }
            p.save();
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(Qt::NoPen);
            p.setBrush(palette().color(QPalette::Text));
            p.drawPolygon(zvaigzde);
            p.restore();
        }
    }
}

void TMemo::mousePressEvent(QMouseEvent* event) {
    // Taken here: the control behind the memo must not see a click of its own.
    event->accept();
    Q_EMIT pelePaspausta();
    if (event->button() == Qt::RightButton)
        if (const int eilute = EiluteTaske(event->position().toPoint().y()); eilute >= 0)
            Q_EMIT eiluteDesiniuPaspausta(eilute);
}

void TMemo::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}

void TMemo::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
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
