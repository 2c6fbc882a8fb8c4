#include "Piesejas.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <utility>

#include <QColor>
#include <QLinearGradient>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QRadialGradient>
#include <QRect>
#include <QRegularExpression>
#include <QRectF>

#include "Atsitiktinis.h"
#include "BruksniuSriftas.h"
#include "Isdestymas.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kJuostosAukstis = 26;
constexpr int kJuostosVirsus = kPaveiksloAukstis - kJuostosAukstis;

// The colours of one theme.
struct TSpalvuRinkinys {
    QColor fonasVirsus; // background, top of the gradient
    QColor fonasApacia; // background, bottom of the gradient
    QColor koridorius;  // corridor floor
    QColor kambarys;    // room floor
    QColor sienos;      // walls and crate edges
    QColor deze;        // crate tops
    QColor daiktai;     // weapon pick-ups
};

enum class ETema { Dykuma, Terakota, Sniegas, Pramone, Rudys, Miskas, Naktis, Laboratorija, Vanduo, Akmuo };

TSpalvuRinkinys Spalvos(ETema tema) {
    switch (tema) {
    case ETema::Dykuma:
        return {QColor(0x6b, 0x54, 0x3a), QColor(0x4a, 0x38, 0x26), QColor(0xc4, 0xa2, 0x6c), QColor(0xdc, 0xc0, 0x8a),
                QColor(0x7a, 0x5a, 0x36), QColor(0x9c, 0x7b, 0x4e), QColor(0x8a, 0x3b, 0x22)};
    case ETema::Terakota:
        return {QColor(0x5a, 0x36, 0x2a), QColor(0x3c, 0x22, 0x1a), QColor(0xbd, 0x7c, 0x58), QColor(0xd6, 0xa0, 0x76),
                QColor(0x6e, 0x3b, 0x29), QColor(0x94, 0x5a, 0x3c), QColor(0x3d, 0x5a, 0x2e)};
    case ETema::Sniegas:
        return {QColor(0x52, 0x6b, 0x80), QColor(0x34, 0x48, 0x5a), QColor(0xcf, 0xdc, 0xe6), QColor(0xee, 0xf4, 0xf8),
                QColor(0x7d, 0x96, 0xab), QColor(0xa9, 0xbb, 0xc9), QColor(0x2f, 0x6f, 0xb0)};
    case ETema::Pramone:
        return {QColor(0x34, 0x38, 0x3e), QColor(0x22, 0x25, 0x2a), QColor(0x86, 0x8d, 0x96), QColor(0xa6, 0xac, 0xb3),
                QColor(0x4c, 0x52, 0x5a), QColor(0x6e, 0x75, 0x7e), QColor(0xd9, 0x9a, 0x2b)};
    case ETema::Rudys:
        return {QColor(0x3c, 0x2c, 0x24), QColor(0x26, 0x1b, 0x16), QColor(0x98, 0x7b, 0x66), QColor(0xb2, 0x95, 0x7d),
                QColor(0x5e, 0x43, 0x34), QColor(0x7d, 0x5e, 0x49), QColor(0xe0, 0xb0, 0x40)};
    case ETema::Miskas:
        return {QColor(0x2c, 0x3d, 0x27), QColor(0x1b, 0x27, 0x18), QColor(0x8a, 0x98, 0x6a), QColor(0xa8, 0xb5, 0x84),
                QColor(0x4a, 0x5a, 0x36), QColor(0x70, 0x7e, 0x52), QColor(0x8a, 0x4a, 0x22)};
    case ETema::Naktis:
        return {QColor(0x1c, 0x24, 0x36), QColor(0x10, 0x15, 0x22), QColor(0x4e, 0x5c, 0x7a), QColor(0x67, 0x77, 0x98),
                QColor(0x2c, 0x36, 0x50), QColor(0x42, 0x4f, 0x6c), QColor(0xe8, 0xc1, 0x5a)};
    case ETema::Laboratorija:
        return {QColor(0x22, 0x30, 0x2c), QColor(0x14, 0x1d, 0x1a), QColor(0x6a, 0x84, 0x7e), QColor(0x88, 0xa3, 0x9c),
                QColor(0x33, 0x46, 0x40), QColor(0x57, 0x6e, 0x68), QColor(0xf0, 0x8a, 0x24)};
    case ETema::Vanduo:
        return {QColor(0x16, 0x3a, 0x52), QColor(0x0c, 0x24, 0x36), QColor(0x64, 0x92, 0xaa), QColor(0x82, 0xaf, 0xc4),
                QColor(0x26, 0x4c, 0x64), QColor(0x4f, 0x7a, 0x92), QColor(0xf2, 0xc1, 0x4e)};
    case ETema::Akmuo:
        return {QColor(0x36, 0x31, 0x2c), QColor(0x22, 0x1f, 0x1b), QColor(0x8c, 0x83, 0x77), QColor(0xa8, 0x9f, 0x92),
                QColor(0x57, 0x4f, 0x46), QColor(0x74, 0x6b, 0x5f), QColor(0x6a, 0x8a, 0x3a)};
    }
    return Spalvos(ETema::Pramone);
}

// Turns every colour of the set a few degrees around the colour wheel, so that
// maps of one theme are told apart.
TSpalvuRinkinys PasuktiAtspalvi(TSpalvuRinkinys spalvos, int laipsniai) {
    const auto pasukti = [laipsniai](QColor& spalva) {
        const QColor hsl = spalva.toHsl();
        if (hsl.hslHue() < 0)
            return;
        spalva = QColor::fromHsl((hsl.hslHue() + laipsniai + 360) % 360, hsl.hslSaturation(), hsl.lightness());
    };
    for (QColor* spalva : {&spalvos.fonasVirsus, &spalvos.fonasApacia, &spalvos.koridorius, &spalvos.kambarys,
                           &spalvos.sienos, &spalvos.deze})
        pasukti(*spalva);
    return spalvos;
}

// Colours of the markers; the same on every theme so that they read alike.
const QColor kPuolejai(0xe3, 0x8b, 0x2c);
const QColor kGynejai(0x3f, 0x82, 0xd6);
const QColor kBomba(0xcc, 0x36, 0x2a);
const QColor kGelbejimas(0x3b, 0xab, 0x5a);
const QColor kIkaitas(0xf4, 0xda, 0x8a);
const QColor kPavadinimas(0xf4, 0xf0, 0xe6);

struct TRaktazodis {
    const char16_t* zodis;
    ETema tema;
};

// Words in a map name that choose its colours; a part of the name (between
// '_', '-' or '.') that begins with the word matches, and the first match wins.
constexpr TRaktazodis kRaktazodziai[] = {
    {u"dust", ETema::Dykuma},         {u"aztec", ETema::Dykuma},       {u"desert", ETema::Dykuma},
    {u"sand", ETema::Dykuma},         {u"westwood", ETema::Dykuma},    {u"survivor", ETema::Dykuma},
    {u"crossfire", ETema::Dykuma},    {u"ice", ETema::Sniegas},        {u"snow", ETema::Sniegas},
    {u"winter", ETema::Sniegas},      {u"storm", ETema::Sniegas},      {u"frost", ETema::Sniegas},
    {u"inferno", ETema::Terakota},    {u"italy", ETema::Terakota},     {u"piranesi", ETema::Terakota},
    {u"havana", ETema::Terakota},     {u"torn", ETema::Terakota},      {u"cbble", ETema::Akmuo},
    {u"chateau", ETema::Akmuo},       {u"estate", ETema::Akmuo},       {u"siege", ETema::Akmuo},
    {u"castle", ETema::Akmuo},        {u"militia", ETema::Miskas},     {u"boot", ETema::Miskas},
    {u"jungle", ETema::Miskas},       {u"forest", ETema::Miskas},      {u"office", ETema::Naktis},
    {u"backalley", ETema::Naktis},    {u"subtransit", ETema::Naktis},  {u"night", ETema::Naktis},
    {u"oilrig", ETema::Vanduo},       {u"undertow", ETema::Vanduo},    {u"water", ETema::Vanduo},
    {u"harbor", ETema::Vanduo},       {u"port", ETema::Vanduo},        {u"datacore", ETema::Laboratorija},
    {u"lambda", ETema::Laboratorija}, {u"snark", ETema::Laboratorija}, {u"bounce", ETema::Laboratorija},
    {u"frenzy", ETema::Laboratorija}, {u"lab", ETema::Laboratorija},   {u"rapidcore", ETema::Pramone},
    {u"nuke", ETema::Pramone},        {u"train", ETema::Rudys},        {u"prodigy", ETema::Pramone},
    {u"assault", ETema::Pramone},     {u"vertigo", ETema::Pramone},    {u"airstrip", ETema::Pramone},
    {u"747", ETema::Pramone},         {u"gas", ETema::Rudys},          {u"stalkyard", ETema::Rudys},
};

ETema TemaPagalPavadinima(const QString& pavadinimas, TAtsitiktinis& atsitiktinis) {
    static const QRegularExpression skyrikliai(u"[_.-]"_s);
    const QStringList dalys = pavadinimas.split(skyrikliai, Qt::SkipEmptyParts);
    for (const TRaktazodis& raktas : kRaktazodziai) {
        const QString zodis = QString::fromUtf16(raktas.zodis);
        if (std::any_of(dalys.cbegin(), dalys.cend(), [&](const QString& dalis) { return dalis.startsWith(zodis); }))
            return raktas.tema;
    }
    constexpr ETema kVisos[] = {ETema::Dykuma, ETema::Terakota, ETema::Sniegas,      ETema::Pramone, ETema::Rudys,
                                ETema::Miskas, ETema::Naktis,   ETema::Laboratorija, ETema::Vanduo,  ETema::Akmuo};
    return kVisos[atsitiktinis.Tarp(0, int(std::size(kVisos)) - 1)];
}

// What the map prefix says about the game mode, and so about the markers.
enum class ERezimas { Bomba, Ikaitai, Vip, Arena, Kova };

ERezimas RezimasPagalPavadinima(const QString& pavadinimas) {
    if (pavadinimas.startsWith(u"de_"_s))
        return ERezimas::Bomba;
    if (pavadinimas.startsWith(u"cs_"_s))
        return ERezimas::Ikaitai;
    if (pavadinimas.startsWith(u"as_"_s))
        return ERezimas::Vip;
    if (pavadinimas.startsWith(u"fy_"_s) || pavadinimas.startsWith(u"aim_"_s) || pavadinimas.startsWith(u"awp_"_s))
        return ERezimas::Arena;
    return ERezimas::Kova;
}

void PiestiTinkleli(QPainter& p, const QColor& spalva, int zingsnis) {
    p.setPen(QPen(spalva, 1));
    for (int x = kKrastasX % zingsnis; x < kPaveiksloPlotis; x += zingsnis)
        p.drawLine(QPointF(x + 0.5, 0), QPointF(x + 0.5, kPaveiksloAukstis));
    for (int y = kKrastasY % zingsnis; y < kPaveiksloAukstis; y += zingsnis)
        p.drawLine(QPointF(0, y + 0.5), QPointF(kPaveiksloPlotis, y + 0.5));
}

// Draws the text with the stroke font, centred on the point.
void RasytiTeksta(QPainter& p, const QString& tekstas, const QPointF& centras, qreal aukstis, const QColor& spalva,
                  qreal storis, bool sesele) {
    const qreal plotis = BruksniuSriftas::Plotis(tekstas, aukstis);
    const QPainterPath kelias =
        BruksniuSriftas::Kelias(tekstas, aukstis).translated(centras.x() - plotis / 2, centras.y() - aukstis / 2);
    p.setBrush(Qt::NoBrush);
    if (sesele) {
        p.setPen(QPen(QColor(0, 0, 0, 150), storis + 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(kelias.translated(0.8, 0.8));
    }
    p.setPen(QPen(spalva, storis, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(kelias);
}

// A team's starting room: a tint, light stripes and the team letters.
void PiestiStarta(QPainter& p, const QRectF& kambarys, const QColor& spalva, const QString& zyme) {
    QColor atspalvis = spalva;
    atspalvis.setAlpha(70);
    p.fillRect(kambarys, atspalvis);
    p.save();
    p.setClipRect(kambarys);
    QColor juostos = spalva;
    juostos.setAlpha(45);
    p.setPen(QPen(juostos, 2));
    for (qreal x = kambarys.left() - kambarys.height(); x < kambarys.right(); x += 7)
        p.drawLine(QPointF(x, kambarys.bottom()), QPointF(x + kambarys.height(), kambarys.top()));
    p.restore();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(spalva, 1.5));
    p.drawRect(kambarys.adjusted(1.5, 1.5, -1.5, -1.5));
    QColor tamsi = spalva.darker(170);
    RasytiTeksta(p, zyme, Centras(kambarys), 9, tamsi, 1.8, false);
}

void PiestiBombosVieta(QPainter& p, const QRectF& kambarys, const QString& raide) {
    const QPointF c = Centras(kambarys);
    const qreal r = std::min<qreal>(18, std::min(kambarys.width(), kambarys.height()) / 2 - 3);
    QColor uzpildas = kBomba;
    uzpildas.setAlpha(80);
    p.setBrush(uzpildas);
    p.setPen(QPen(kBomba, 2, Qt::DashLine, Qt::FlatCap));
    p.drawEllipse(c, r, r);
    RasytiTeksta(p, raide, c, 11, kPavadinimas, 2.0, true);
}

void PiestiIkaitus(QPainter& p, const QRectF& kambarys, TAtsitiktinis& atsitiktinis) {
    const int kiekis = atsitiktinis.Tarp(2, 4);
    const QPointF c = Centras(kambarys);
    const qreal tarpas = 11;
    const qreal pradzia = c.x() - (kiekis - 1) * tarpas / 2;
    p.setPen(QPen(QColor(0x3a, 0x2c, 0x12), 1.2));
    p.setBrush(kIkaitas);
    for (int i = 0; i < kiekis; ++i) {
        // A head over rounded shoulders.
        const QPointF vieta(std::round(pradzia + i * tarpas), c.y() + (i % 2 == 0 ? -1 : 2));
        p.drawEllipse(vieta + QPointF(0, -4.5), 2.6, 2.6);
        QPainterPath pecia;
        pecia.moveTo(vieta + QPointF(-4.5, 5));
        pecia.lineTo(vieta + QPointF(-4.5, 2.5));
        pecia.arcTo(QRectF(vieta.x() - 4.5, vieta.y() - 1, 9, 7), 180, -180);
        pecia.lineTo(vieta + QPointF(4.5, 5));
        pecia.closeSubpath();
        p.drawPath(pecia);
    }
}

// A rescue or escape zone: a green dashed frame with a mark in the middle.
void PiestiZona(QPainter& p, const QRectF& kambarys, bool zvaigzde) {
    const QRectF zona = kambarys.adjusted(4, 4, -4, -4);
    QColor uzpildas = kGelbejimas;
    uzpildas.setAlpha(70);
    p.setBrush(uzpildas);
    p.setPen(QPen(kGelbejimas, 1.6, Qt::DashLine, Qt::FlatCap));
    p.drawRect(zona);
    const QPointF c = Centras(kambarys);
    p.setPen(QPen(QColor(0xf2, 0xfa, 0xf0), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (zvaigzde) {
        QPolygonF zv;
        for (int i = 0; i < 10; ++i) {
            const qreal kampas = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
            const qreal spindulys = i % 2 == 0 ? 6.5 : 2.8;
            zv << c + QPointF(std::cos(kampas) * spindulys, std::sin(kampas) * spindulys);
        }
        p.setBrush(QColor(0xf2, 0xfa, 0xf0));
        p.drawPolygon(zv);
    } else {
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF{c + QPointF(-5, 2), c + QPointF(0, -3), c + QPointF(5, 2)});
        p.drawPolyline(QPolygonF{c + QPointF(-5, 6), c + QPointF(0, 1), c + QPointF(5, 6)});
    }
}

// Whether a new mark fits without touching the ones already placed.
bool Laisva(const QList<QRectF>& uzimta, const QRectF& naujas) {
    return std::none_of(uzimta.cbegin(), uzimta.cend(),
                        [&](const QRectF& esamas) { return esamas.adjusted(-2, -2, 2, 2).intersects(naujas); });
}

// Pick-ups of a deathmatch map: weapons (diamonds), health (crosses) and
// armour (shields), clear of each other and of the crates.
void PiestiDaiktus(QPainter& p, const TIsdestymas& isdestymas, const TSpalvuRinkinys& spalvos, QList<QRectF> uzimta,
                   TAtsitiktinis& atsitiktinis) {
    for (const QRectF& kambarys : isdestymas.kambariai) {
        const int kiekis = atsitiktinis.Tarp(0, 2);
        for (int i = 0; i < kiekis; ++i) {
            QPointF c;
            bool rasta = false;
            for (int bandymas = 0; bandymas < 12 && !rasta; ++bandymas) {
                const int y = atsitiktinis.Tarp(int(kambarys.top()) + 8, int(kambarys.bottom()) - 8);
                const int x = atsitiktinis.Tarp(int(kambarys.left()) + 8, int(kambarys.right()) - 8);
                c = QPointF(x, y);
                rasta = Laisva(uzimta, QRectF(c.x() - 5, c.y() - 5, 10, 10));
            }
            if (!rasta)
                continue;
            uzimta << QRectF(c.x() - 5, c.y() - 5, 10, 10);
            switch (atsitiktinis.Tarp(0, 2)) {
            case 0:
                p.setPen(QPen(spalvos.daiktai.darker(160), 1.2));
                p.setBrush(spalvos.daiktai);
                p.drawPolygon(QPolygonF{c + QPointF(0, -5), c + QPointF(4, 0), c + QPointF(0, 5), c + QPointF(-4, 0)});
                break;
            case 1:
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(0xf4, 0xf4, 0xf0));
                p.drawRect(QRectF(c.x() - 5, c.y() - 5, 10, 10));
                p.setBrush(QColor(0x3b, 0xab, 0x5a));
                p.drawRect(QRectF(c.x() - 1.5, c.y() - 4, 3, 8));
                p.drawRect(QRectF(c.x() - 4, c.y() - 1.5, 8, 3));
                break;
            default:
                p.setPen(QPen(QColor(0x1a, 0x2a, 0x40), 1.2));
                p.setBrush(QColor(0x5a, 0x9a, 0xd8));
                p.drawPolygon(QPolygonF{c + QPointF(-4, -5), c + QPointF(4, -5), c + QPointF(4, 0), c + QPointF(0, 5),
                                        c + QPointF(-4, 0)});
                break;
            }
        }
    }
}

// Crates against the walls of some rooms; gives the places they take.
QList<QRectF> PiestiDezes(QPainter& p, const TIsdestymas& isdestymas, const TSpalvuRinkinys& spalvos,
                          TAtsitiktinis& atsitiktinis) {
    QList<QRectF> dezes;
    for (const QRectF& kambarys : isdestymas.kambariai) {
        if (!atsitiktinis.Tikimybe(55))
            continue;
        const int kiekis = atsitiktinis.Tarp(1, 2);
        for (int i = 0; i < kiekis; ++i) {
            const qreal dydis = atsitiktinis.Tarp(6, 9);
            const bool kaire = atsitiktinis.Tikimybe(50);
            const bool virsus = atsitiktinis.Tikimybe(50);
            const qreal x =
                kaire ? kambarys.left() + 2 + i * (dydis + 1) : kambarys.right() - 2 - dydis - i * (dydis + 1);
            const qreal y = virsus ? kambarys.top() + 2 : kambarys.bottom() - 2 - dydis;
            const QRectF deze(x, y, dydis, dydis);
            if (!Laisva(dezes, deze.adjusted(2, 2, -2, -2)))
                continue;
            dezes << deze;
            p.setPen(QPen(spalvos.sienos, 1));
            p.setBrush(spalvos.deze);
            p.drawRect(deze);
            p.drawLine(deze.topLeft(), deze.bottomRight());
            p.drawLine(deze.topRight(), deze.bottomLeft());
        }
    }
    return dezes;
}

// The two rooms farthest apart among those not excluded.
std::pair<qsizetype, qsizetype> ToliausiaPora(const QList<QRectF>& kambariai, const QList<qsizetype>& isskyrus) {
    std::pair<qsizetype, qsizetype> pora(-1, -1);
    qreal geriausias = -1;
    for (qsizetype a = 0; a < kambariai.size(); ++a) {
        for (qsizetype b = a + 1; b < kambariai.size(); ++b) {
            if (isskyrus.contains(a) || isskyrus.contains(b))
                continue;
            const qreal d = Atstumas(Centras(kambariai[a]), Centras(kambariai[b]));
            if (d > geriausias) {
                geriausias = d;
                pora = {a, b};
            }
        }
    }
    return pora;
}

// The room nearest to the given one among those not excluded, or -1.
qsizetype Artimiausias(const QList<QRectF>& kambariai, qsizetype nuo, const QList<qsizetype>& isskyrus) {
    qsizetype rastas = -1;
    qreal geriausias = std::numeric_limits<qreal>::max();
    for (qsizetype i = 0; i < kambariai.size(); ++i) {
        if (i == nuo || isskyrus.contains(i))
            continue;
        const qreal d = Atstumas(Centras(kambariai[nuo]), Centras(kambariai[i]));
        if (d < geriausias) {
            geriausias = d;
            rastas = i;
        }
    }
    return rastas;
}

void PiestiZymes(QPainter& p, const TIsdestymas& isdestymas, ERezimas rezimas, const TSpalvuRinkinys& spalvos,
                 const QList<QRectF>& dezes, TAtsitiktinis& atsitiktinis) {
    const QList<QRectF>& kambariai = isdestymas.kambariai;
    if (rezimas == ERezimas::Kova) {
        PiestiDaiktus(p, isdestymas, spalvos, dezes, atsitiktinis);
        return;
    }
    if (rezimas == ERezimas::Arena) {
        // Teams start at the two ends; the weapons wait in the middle. The
        // layout lists the centre first, then the left rooms, then their mirrors.
        if (kambariai.size() < 3)
            return;
        qsizetype kairys = 1;
        for (qsizetype i = 1; i < kambariai.size(); ++i) {
            if (kambariai[i].left() < kambariai[kairys].left())
                kairys = i;
        }
        const qsizetype desinys = kambariai.size() / 2 + kairys;
        PiestiStarta(p, kambariai[kairys], kPuolejai, u"T"_s);
        PiestiStarta(p, kambariai[desinys], kGynejai, u"CT"_s);
        const QPointF c = Centras(kambariai[0]);
        p.setPen(QPen(spalvos.daiktai.darker(160), 1.2));
        p.setBrush(spalvos.daiktai);
        for (int i = -1; i <= 1; ++i) {
            const QPointF d = c + QPointF(i * 12, 0);
            p.drawPolygon(QPolygonF{d + QPointF(0, -5), d + QPointF(4, 0), d + QPointF(0, 5), d + QPointF(-4, 0)});
        }
        return;
    }
    const auto [pirmas, antras] = ToliausiaPora(kambariai, {});
    if (pirmas < 0)
        return;
    const bool sukeisti = atsitiktinis.Tikimybe(50);
    const qsizetype puolejai = sukeisti ? antras : pirmas;
    const qsizetype gynejai = sukeisti ? pirmas : antras;
    PiestiStarta(p, kambariai[puolejai], kPuolejai, u"T"_s);
    PiestiStarta(p, kambariai[gynejai], kGynejai, u"CT"_s);
    switch (rezimas) {
    case ERezimas::Bomba: {
        const auto [a, b] = ToliausiaPora(kambariai, {puolejai, gynejai});
        if (a >= 0) {
            PiestiBombosVieta(p, kambariai[a], u"A"_s);
            PiestiBombosVieta(p, kambariai[b], u"B"_s);
        }
        break;
    }
    case ERezimas::Ikaitai: {
        const qsizetype ikaitai = Artimiausias(kambariai, puolejai, {gynejai});
        const qsizetype zona = Artimiausias(kambariai, gynejai, {puolejai, ikaitai});
        if (ikaitai >= 0)
            PiestiIkaitus(p, kambariai[ikaitai], atsitiktinis);
        PiestiZona(p, kambariai[zona >= 0 ? zona : gynejai], false);
        break;
    }
    case ERezimas::Vip: {
        const qsizetype zona = Artimiausias(kambariai, puolejai, {gynejai});
        PiestiZona(p, kambariai[zona >= 0 ? zona : puolejai], true);
        break;
    }
    case ERezimas::Arena:
    case ERezimas::Kova:
        break;
    }
}

void PiestiVinjete(QPainter& p) {
    QRadialGradient vinjete(QPointF(kPaveiksloPlotis / 2.0, kPaveiksloAukstis / 2.0), 165);
    vinjete.setColorAt(0.55, QColor(0, 0, 0, 0));
    vinjete.setColorAt(1.0, QColor(0, 0, 0, 110));
    p.fillRect(QRectF(0, 0, kPaveiksloPlotis, kPaveiksloAukstis), vinjete);
}

QImage NaujasPaveikslas() {
    QImage vaizdas(kPaveiksloPlotis, kPaveiksloAukstis, QImage::Format_RGB32);
    vaizdas.fill(Qt::black);
    return vaizdas;
}

} // namespace

QStringList ZinomiZemelapiai() {
    return {
        // Counter-Strike 1.6 and Condition Zero
        u"de_dust"_s,
        u"de_dust2"_s,
        u"de_aztec"_s,
        u"de_inferno"_s,
        u"de_nuke"_s,
        u"de_train"_s,
        u"de_cbble"_s,
        u"de_prodigy"_s,
        u"de_piranesi"_s,
        u"de_chateau"_s,
        u"de_storm"_s,
        u"de_survivor"_s,
        u"de_vertigo"_s,
        u"de_airstrip"_s,
        u"de_torn"_s,
        u"de_westwood"_s,
        u"cs_assault"_s,
        u"cs_italy"_s,
        u"cs_office"_s,
        u"cs_militia"_s,
        u"cs_siege"_s,
        u"cs_estate"_s,
        u"cs_747"_s,
        u"cs_backalley"_s,
        u"cs_havana"_s,
        u"as_oilrig"_s,
        u"fy_iceworld"_s,
        // Half-Life deathmatch
        u"crossfire"_s,
        u"bounce"_s,
        u"datacore"_s,
        u"stalkyard"_s,
        u"snark_pit"_s,
        u"boot_camp"_s,
        u"lambda_bunker"_s,
        u"undertow"_s,
        u"subtransit"_s,
        u"frenzy"_s,
        u"rapidcore"_s,
        u"gasworks"_s,
    };
}

bool TinkamasPavadinimas(const QString& pavadinimas) {
    if (pavadinimas.isEmpty() || pavadinimas.size() > 64 || pavadinimas.startsWith(u'.') ||
        pavadinimas == StandartinioPavadinimas())
        return false;
    return std::all_of(pavadinimas.cbegin(), pavadinimas.cend(), [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'_' || c == u'-' || c == u'.';
    });
}

QImage PiestiZemelapi(const QString& pavadinimas) {
    TAtsitiktinis atsitiktinis(TAtsitiktinis::Maisa(pavadinimas.toUtf8()));
    const ETema tema = TemaPagalPavadinima(pavadinimas, atsitiktinis);
    const TSpalvuRinkinys spalvos = PasuktiAtspalvi(Spalvos(tema), atsitiktinis.Tarp(-8, 8));
    const ERezimas rezimas = RezimasPagalPavadinima(pavadinimas);
    const TIsdestymas isdestymas = KurtiIsdestyma(atsitiktinis, rezimas == ERezimas::Arena);

    QImage vaizdas = NaujasPaveikslas();
    QPainter p(&vaizdas);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient fonas(0, 0, 0, kPaveiksloAukstis);
    fonas.setColorAt(0, spalvos.fonasVirsus);
    fonas.setColorAt(1, spalvos.fonasApacia);
    p.fillRect(vaizdas.rect(), fonas);
    PiestiTinkleli(p, QColor(255, 255, 255, 14), kLangelis / 2);

    QPainterPath grindys;
    grindys.setFillRule(Qt::WindingFill);
    for (const QRectF& k : isdestymas.koridoriai)
        grindys.addRect(k);
    for (const QRectF& k : isdestymas.kambariai)
        grindys.addRect(k);
    grindys = grindys.simplified();

    p.fillPath(grindys.translated(3, 3), QColor(0, 0, 0, 80));
    p.fillPath(grindys, spalvos.koridorius);
    for (const QRectF& k : isdestymas.kambariai)
        p.fillRect(k, spalvos.kambarys);
    p.save();
    p.setClipPath(grindys);
    PiestiTinkleli(p, QColor(0, 0, 0, 22), kLangelis / 2);
    p.restore();
    const QList<QRectF> dezes = PiestiDezes(p, isdestymas, spalvos, atsitiktinis);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(spalvos.sienos, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawPath(grindys);

    PiestiZymes(p, isdestymas, rezimas, spalvos, dezes, atsitiktinis);
    PiestiVinjete(p);

    // The name band along the bottom.
    const QRectF juosta(0, kJuostosVirsus, kPaveiksloPlotis, kJuostosAukstis);
    p.fillRect(juosta, QColor(0, 0, 0, 160));
    QColor linija = spalvos.kambarys;
    linija.setAlpha(150);
    p.fillRect(QRectF(0, kJuostosVirsus, kPaveiksloPlotis, 1), linija);
    qreal aukstis = 12;
    const qreal didziausias = kPaveiksloPlotis - 20;
    if (BruksniuSriftas::Plotis(pavadinimas, aukstis) > didziausias)
        aukstis *= didziausias / BruksniuSriftas::Plotis(pavadinimas, aukstis);
    RasytiTeksta(p, pavadinimas, QPointF(kPaveiksloPlotis / 2.0, kJuostosVirsus + kJuostosAukstis / 2.0), aukstis,
                 kPavadinimas, std::clamp(aukstis / 6.5, 1.1, 1.9), true);
    p.end();
    return vaizdas;
}

QImage PiestiStandartini() {
    QImage vaizdas = NaujasPaveikslas();
    QPainter p(&vaizdas);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient fonas(0, 0, 0, kPaveiksloAukstis);
    fonas.setColorAt(0, QColor(0x22, 0x28, 0x31));
    fonas.setColorAt(1, QColor(0x10, 0x13, 0x18));
    p.fillRect(vaizdas.rect(), fonas);
    PiestiTinkleli(p, QColor(255, 255, 255, 10), 10);
    PiestiTinkleli(p, QColor(255, 255, 255, 14), 50);

    const QPointF c(kPaveiksloPlotis / 2.0, kPaveiksloAukstis / 2.0);
    QRadialGradient svytejimas(c, 80);
    svytejimas.setColorAt(0, QColor(0x3a, 0x55, 0x66, 110));
    svytejimas.setColorAt(1, QColor(0x3a, 0x55, 0x66, 0));
    p.fillRect(vaizdas.rect(), svytejimas);

    const QColor blausi(0x5f, 0x7d, 0x8c);
    const QColor ryski(0x9c, 0xc0, 0xd0);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(blausi, 2));
    p.drawEllipse(c, 52, 52);
    p.setPen(QPen(blausi, 1.5, Qt::DashLine));
    p.drawEllipse(c, 31, 31);
    p.setPen(QPen(blausi, 1.5, Qt::SolidLine, Qt::FlatCap));
    for (int i = 0; i < 24; ++i) {
        const qreal kampas = i * std::numbers::pi / 12;
        const qreal ilgis = i % 6 == 0 ? 0 : (i % 2 == 0 ? 7 : 4);
        if (ilgis == 0)
            continue;
        const QPointF kryptis(std::cos(kampas), std::sin(kampas));
        p.drawLine(c + kryptis * 53, c + kryptis * (53 + ilgis));
    }
    p.setPen(QPen(ryski, 2, Qt::SolidLine, Qt::FlatCap));
    for (int i = 0; i < 4; ++i) {
        const qreal kampas = i * std::numbers::pi / 2;
        const QPointF kryptis(std::cos(kampas), std::sin(kampas));
        p.drawLine(c + kryptis * 10, c + kryptis * 66);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(ryski);
    p.drawEllipse(c, 2.5, 2.5);

    // Corner brackets of a viewfinder.
    p.setPen(QPen(blausi, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    const QRectF remas(16, 14, kPaveiksloPlotis - 32, kPaveiksloAukstis - 28);
    const qreal ilgis = 14;
    p.drawPolyline(
        QPolygonF{remas.topLeft() + QPointF(0, ilgis), remas.topLeft(), remas.topLeft() + QPointF(ilgis, 0)});
    p.drawPolyline(
        QPolygonF{remas.topRight() + QPointF(-ilgis, 0), remas.topRight(), remas.topRight() + QPointF(0, ilgis)});
    p.drawPolyline(
        QPolygonF{remas.bottomLeft() + QPointF(0, -ilgis), remas.bottomLeft(), remas.bottomLeft() + QPointF(ilgis, 0)});
    p.drawPolyline(QPolygonF{remas.bottomRight() + QPointF(-ilgis, 0), remas.bottomRight(),
                             remas.bottomRight() + QPointF(0, -ilgis)});
    PiestiVinjete(p);
    p.end();
    return vaizdas;
}
