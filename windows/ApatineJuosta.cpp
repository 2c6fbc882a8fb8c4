#include "ApatineJuosta.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>

#include "Kalba.h"

using namespace Qt::StringLiterals;

namespace {

// Colours of the bar, as 0x00BBGGRR values.
constexpr int kMeniuFonas = 527376;        // #100C08
constexpr int kPunktoRemas = 1650993;      // #313119
constexpr int kPunktoTekstas = 3247756;    // #8C8E31
constexpr int kPazymetasRemas = 3263165;   // #BDCA31
constexpr int kPazymetasTekstas = 3852997; // #C5CA3A

constexpr int kY1 = 2, kY2 = 21; // every item spans these rows

struct TPunktoAprasas {
    int X1, X2;
    int Poslinkis;          // of the caption from the left edge
    const char* Raktas;     // the caption's key in "Pranesimai", or none
    const char* Tekstas;    // the caption itself (before the key's text when both are set)
    bool ArAtsakoZymekliui; // highlighted under the pointer and found by the hit test
    const char* Vardas;     // its name for screen readers, a key in "Pranesimai"
    bool ArMygtukas;        // a press does something (the arrows and the address slot: nothing)
};

// In the order of TApatineJuosta::TPunktas.
constexpr TPunktoAprasas kPunktai[] = {
    {15, 90, 20, "Meniu", "", true, "Meniu", true},
    {250, 275, 9, nullptr, "<", true, "KairineRodykle", false},
    {285, 500, 80, "IPportas", "", false, "IPportas", false},
    {510, 535, 10, nullptr, ">", true, "DesineRodykle", false},
    {698, 768, 5, "Iseiti", "    ", true, "Iseiti", true},
};
// The address shown in the slot stands nearer its left edge than the slot's caption.
constexpr int kAdresoPoslinkis = 60;

} // namespace

namespace {

constexpr TApatineJuosta::TPunktas kVisi[] = {TApatineJuosta::Meniu, TApatineJuosta::Kairys, TApatineJuosta::Adresas,
                                              TApatineJuosta::Desinys, TApatineJuosta::Iseiti};

// One item of the bar as a screen reader sees it.
class TJuostosPunktas : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    TJuostosPunktas(TApatineJuosta* juosta, TApatineJuosta::TPunktas punktas) : juosta(juosta), punktas(punktas) {}

    bool isValid() const override { return juosta; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return juosta ? juosta->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(juosta); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text kas) const override {
        if (!juosta)
            return {};
        if (kas == QAccessible::Name)
            return juosta->PunktoVardas(punktas);
        if (kas == QAccessible::Value && punktas == TApatineJuosta::Adresas)
            return juosta->RodomasAdresas();
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!juosta)
            return {};
        const QRect r = TApatineJuosta::PunktoVieta(punktas);
        return QRect(juosta->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return ArMygtukas() ? QAccessible::Button : QAccessible::StaticText; }
    QAccessible::State state() const override {
        QAccessible::State b;
        b.focusable = true;
        b.focused = juosta && juosta->hasFocus() && juosta->Dabartinis() == punktas;
        b.invisible = !juosta || !juosta->isVisible();
        return b;
    }
    void* interface_cast(QAccessible::InterfaceType tipas) override {
        return tipas == QAccessible::ActionInterface && ArMygtukas() ? static_cast<QAccessibleActionInterface*>(this)
                                                                     : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
    void doAction(const QString& veiksmas) override {
        if (juosta && veiksmas == pressAction())
            juosta->Aktyvuoti(punktas);
    }

private:
    bool ArMygtukas() const { return kPunktai[punktas].ArMygtukas; }

    QPointer<TApatineJuosta> juosta;
    TApatineJuosta::TPunktas punktas;
};

class TJuostosPrieinamumas : public QAccessibleWidget {
public:
    explicit TJuostosPrieinamumas(TApatineJuosta* juosta) : QAccessibleWidget(juosta, QAccessible::ToolBar) {}
    ~TJuostosPrieinamumas() override {
        for (const QAccessible::Id id : punktai)
            if (id)
                QAccessible::deleteAccessibleInterface(id);
    }

    QString text(QAccessible::Text kas) const override {
        return kas == QAccessible::Name ? Juosta()->Vardas() : QAccessibleWidget::text(kas);
    }
    int childCount() const override { return int(std::size(kVisi)); }
    QAccessibleInterface* child(int i) const override {
        if (i < 0 || i >= childCount())
            return nullptr;
        if (!punktai[i])
            punktai[i] = QAccessible::registerAccessibleInterface(new TJuostosPunktas(Juosta(), kVisi[i]));
        return QAccessible::accessibleInterface(punktai[i]);
    }
    int indexOfChild(const QAccessibleInterface* vaikas) const override {
        for (int i = 0; i < childCount(); ++i)
            if (punktai[i] && QAccessible::accessibleInterface(punktai[i]) == vaikas)
                return i;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint taskas = Juosta()->mapFromGlobal(QPoint(x, y));
        for (int i = 0; i < childCount(); ++i)
            if (TApatineJuosta::PunktoVieta(kVisi[i]).contains(taskas))
                return child(i);
        return nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        return Juosta()->hasFocus() ? child(int(Juosta()->Dabartinis())) : nullptr;
    }

private:
    TApatineJuosta* Juosta() const { return static_cast<TApatineJuosta*>(widget()); }

    mutable QAccessible::Id punktai[std::size(kVisi)] = {};
};

QAccessibleInterface* JuostosGamykla(const QString& klase, QObject* objektas) {
    if (klase == QLatin1StringView("TApatineJuosta") && objektas && objektas->isWidgetType())
        return new TJuostosPrieinamumas(static_cast<TApatineJuosta*>(objektas));
    return nullptr;
}

} // namespace

TApatineJuosta::TApatineJuosta(QWidget* tevas, const TKalba& kalba) : TPaveiksliukas(tevas), kalba(kalba) {
    static const bool gamyklaIdiegta = [] {
        QAccessible::installFactory(JuostosGamykla);
        return true;
    }();
    Q_UNUSED(gamyklaIdiegta);
    setObjectName(u"imgApacia"_s);
    // Tab reaches it; a click leaves the focus where it was.
    setFocusPolicy(Qt::TabFocus);
    setGeometry(0, 540, 781, 25);
    Drobe() = QImage(781, 25, QImage::Format_RGB32);
    Drobe().fill(SpalvaBGR(kMeniuFonas));
    setMouseTracking(true);
}

void TApatineJuosta::NupiestiPunkta(TPaveiksliukas& paveiksliukas, int X1, int Y1, int X2, int Y2, int poslinkis,
                                    const QString& tekstas, bool pazymetas) {
    {
        QPainter p(&paveiksliukas.Drobe());
        // The rectangle covers X1..X2-1 and Y1..Y2-1; its frame is the outer ring.
        const QRect staciakampis(X1, Y1, X2 - X1, Y2 - Y1);
        p.fillRect(staciakampis, SpalvaBGR(kMeniuFonas));
        p.setPen(SpalvaBGR(pazymetas ? kPazymetasRemas : kPunktoRemas));
        p.setBrush(Qt::NoBrush);
        p.drawRect(staciakampis.adjusted(0, 0, -1, -1));
        QFont sriftas = paveiksliukas.font();
        sriftas.setBold(true);
        p.setFont(sriftas);
        p.setPen(SpalvaBGR(pazymetas ? kPazymetasTekstas : kPunktoTekstas));
        const QFontMetrics matai(sriftas);
        p.drawText(X1 + poslinkis, Y1 + 3 + matai.ascent(), tekstas);
    }
    paveiksliukas.update();
}

void TApatineJuosta::NupiestiPunkta(TPunktas punktas, bool pazymetas) {
    const TPunktoAprasas& a = kPunktai[punktas];
    if (punktas == Adresas && !adresas.isEmpty()) {
        NupiestiPunkta(*this, a.X1, kY1, a.X2, kY2, kAdresoPoslinkis, adresas, pazymetas);
        return;
    }
    QString tekstas = QString::fromLatin1(a.Tekstas);
    if (a.Raktas)
        tekstas += kalba.Tekstas("Pranesimai", a.Raktas);
    NupiestiPunkta(*this, a.X1, kY1, a.X2, kY2, a.Poslinkis, tekstas, pazymetas);
}

void TApatineJuosta::Nupiesti() {
    adresas.clear();
    Drobe().fill(SpalvaBGR(kMeniuFonas));
    for (TPunktas p : kVisi)
        NupiestiPunkta(p, ArKlaviaturosPunktas(p));
}

void TApatineJuosta::RodytiAdresa(const QString& naujas) {
    adresas = naujas;
    NupiestiPunkta(Adresas, ArKlaviaturosPunktas(Adresas));
}

QString TApatineJuosta::PunktoVardas(TPunktas punktas) const {
    return kalba.Tekstas("Pranesimai", kPunktai[punktas].Vardas);
}

QString TApatineJuosta::Vardas() const {
    return kalba.Tekstas("Pranesimai", "Juosta");
}

QRect TApatineJuosta::PunktoVieta(TPunktas punktas) {
    const TPunktoAprasas& a = kPunktai[punktas];
    return QRect(QPoint(a.X1, kY1), QPoint(a.X2 - 1, kY2 - 1));
}

bool TApatineJuosta::ArKlaviaturosPunktas(TPunktas punktas) const {
    return hasFocus() && punktas == dabartinis;
}

void TApatineJuosta::Perkelti(int kryptis) {
    const int kitas = int(dabartinis) + kryptis;
    if (kitas < 0 || kitas >= int(std::size(kVisi)))
        return;
    const TPunktas buves = dabartinis;
    dabartinis = kVisi[kitas];
    NupiestiPunkta(buves, false);
    NupiestiPunkta(dabartinis, true);
    QAccessibleEvent ivykis(this, QAccessible::Focus);
    ivykis.setChild(kitas);
    QAccessible::updateAccessibility(&ivykis);
}

void TApatineJuosta::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
        Perkelti(-1);
        return;
    case Qt::Key_Right:
        Perkelti(1);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        // A key held down is one press.
        if (!event->isAutoRepeat())
            Aktyvuoti(dabartinis);
        return;
    default:
        TPaveiksliukas::keyPressEvent(event);
    }
}

void TApatineJuosta::focusInEvent(QFocusEvent* event) {
    TPaveiksliukas::focusInEvent(event);
    NupiestiPunkta(dabartinis, true);
    QAccessibleEvent ivykis(this, QAccessible::Focus);
    ivykis.setChild(int(dabartinis));
    QAccessible::updateAccessibility(&ivykis);
}

void TApatineJuosta::focusOutEvent(QFocusEvent* event) {
    TPaveiksliukas::focusOutEvent(event);
    NupiestiPunkta(dabartinis, false);
}

std::optional<TApatineJuosta::TPunktas> TApatineJuosta::PunktasTaske(int x, int y) {
    for (TPunktas p : kVisi) {
        const TPunktoAprasas& a = kPunktai[p];
        if (a.ArAtsakoZymekliui && a.X1 < x && x < a.X2 && kY1 < y && y < kY2)
            return p;
    }
    return std::nullopt;
}

std::optional<TApatineJuosta::TPunktas> TApatineJuosta::Pazymeti(int x, int y) {
    const std::optional<TPunktas> rastas = PunktasTaske(x, y);
    for (TPunktas p : kVisi)
        if (kPunktai[p].ArAtsakoZymekliui)
            NupiestiPunkta(p, p == rastas || ArKlaviaturosPunktas(p));
    return rastas;
}
