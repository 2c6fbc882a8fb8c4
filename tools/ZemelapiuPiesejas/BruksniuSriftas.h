// A built-in stroke font for the map picture generator. The letters are drawn
// as lines on a small grid, so the pictures do not depend on the fonts
// installed on the machine that makes them.
#pragma once

#include <QPainterPath>
#include <QString>

namespace BruksniuSriftas {

// Outline of the text as open strokes (to be drawn with a pen, not filled).
// The capitals are `aukstis` high; the top of the text is at y = 0 and the
// text starts at x = 0 (an underscore reaches a little below the baseline). Lower-case letters are drawn as capitals; a
// character the font lacks is drawn as a question mark.
QPainterPath Kelias(const QString& tekstas, qreal aukstis);

// Width of the text drawn by Kelias at the same height.
qreal Plotis(const QString& tekstas, qreal aukstis);

} // namespace BruksniuSriftas
