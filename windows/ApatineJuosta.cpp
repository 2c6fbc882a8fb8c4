#include "ApatineJuosta.h"

#include <QPainter>

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
};

// In the order of TApatineJuosta::TPunktas.
constexpr TPunktoAprasas kPunktai[] = {
    {15, 90, 20, "Meniu", "", true},    {250, 275, 9, nullptr, "<", true},     {285, 500, 80, "IPportas", "", false},
    {510, 535, 10, nullptr, ">", true}, {698, 768, 5, "Iseiti", "    ", true},
};
// The address shown in the slot stands nearer its left edge than the slot's caption.
constexpr int kAdresoPoslinkis = 60;

} // namespace

TApatineJuosta::TApatineJuosta(QWidget* tevas, const TKalba& kalba) : TPaveiksliukas(tevas), kalba(kalba) {
    setObjectName(u"imgApacia"_s);
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
    QString tekstas = QString::fromLatin1(a.Tekstas);
    if (a.Raktas)
        tekstas += kalba.Tekstas("Pranesimai", a.Raktas);
    NupiestiPunkta(*this, a.X1, kY1, a.X2, kY2, a.Poslinkis, tekstas, pazymetas);
}

void TApatineJuosta::Nupiesti() {
    Drobe().fill(SpalvaBGR(kMeniuFonas));
    for (TPunktas p : {Meniu, Kairys, Adresas, Desinys, Iseiti})
        NupiestiPunkta(p, false);
}

void TApatineJuosta::RodytiAdresa(const QString& adresas) {
    const TPunktoAprasas& a = kPunktai[Adresas];
    NupiestiPunkta(*this, a.X1, kY1, a.X2, kY2, kAdresoPoslinkis, adresas);
}

std::optional<TApatineJuosta::TPunktas> TApatineJuosta::PunktasTaske(int x, int y) {
    for (TPunktas p : {Meniu, Kairys, Adresas, Desinys, Iseiti}) {
        const TPunktoAprasas& a = kPunktai[p];
        if (a.ArAtsakoZymekliui && a.X1 < x && x < a.X2 && kY1 < y && y < kY2)
            return p;
    }
    return std::nullopt;
}

std::optional<TApatineJuosta::TPunktas> TApatineJuosta::Pazymeti(int x, int y) {
    const std::optional<TPunktas> rastas = PunktasTaske(x, y);
    for (TPunktas p : {Meniu, Kairys, Adresas, Desinys, Iseiti})
        if (kPunktai[p].ArAtsakoZymekliui)
            NupiestiPunkta(p, p == rastas);
    return rastas;
}
