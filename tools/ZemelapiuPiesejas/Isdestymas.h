// The ground plan of a generated map picture: rooms on a grid of square cells
// above the band with the map name, joined by corridors.
#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>

#include "Piesejas.h"

class TAtsitiktinis;

// Rooms sit on a grid of square cells above the band with the map name.
inline constexpr int kLangelis = 18;
inline constexpr int kStulpeliai = 13;
inline constexpr int kEilutes = 8;
inline constexpr int kKrastasX = (kPaveiksloPlotis - kStulpeliai * kLangelis) / 2;
inline constexpr int kKrastasY = 8;

struct TIsdestymas {
    QList<QRectF> kambariai;
    QList<QRectF> koridoriai;
};

// The centre of a room, on whole pixels.
QPointF Centras(const QRectF& plotas);
// The distance along the grid (corridors run across and down).
qreal Atstumas(const QPointF& a, const QPointF& b);

// A new plan from the generator's draws; a symmetric one is mirrored about
// the vertical axis (the arena maps).
TIsdestymas KurtiIsdestyma(TAtsitiktinis& atsitiktinis, bool simetriskas);
