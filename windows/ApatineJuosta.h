// The watcher's painted bottom bar (imgApacia): five framed items along a
// 781 x 25 picture, the menu, "<", the address slot, ">" and exit. Every item
// is one row of one table (position, caption, text offset), which both the
// painting and the hit test read.
#pragma once

#include <optional>

#include "Valdikliai.h"

class TKalba;

class TApatineJuosta : public TPaveiksliukas {
    Q_OBJECT
public:
    enum TPunktas { Meniu, Kairys, Adresas, Desinys, Iseiti };

    TApatineJuosta(QWidget* tevas, const TKalba& kalba);

    // Paints the whole bar anew: the background and every item with its caption.
    void Nupiesti();
    // Shows an address ("ip:port") in the address slot.
    void RodytiAdresa(const QString& adresas);
    // Repaints the items that answer the pointer, the one under (x, y)
    // highlighted, and returns that one; nothing when the point is on none.
    std::optional<TPunktas> Pazymeti(int x, int y);

    // The item under (x, y): strictly inside its rectangle. The address slot
    // takes no pointer and is never found.
    static std::optional<TPunktas> PunktasTaske(int x, int y);

    // Paints one item on `paveiksliukas`: the rectangle X1..X2-1, Y1..Y2-1 in
    // the bar's background with a one-pixel frame, and `tekstas` in bold at
    // `poslinkis` from the left edge; in the highlight colours when `pazymetas`.
    static void NupiestiPunkta(TPaveiksliukas& paveiksliukas, int X1, int Y1, int X2, int Y2, int poslinkis,
                               const QString& tekstas, bool pazymetas = false);

private:
    void NupiestiPunkta(TPunktas punktas, bool pazymetas);

    const TKalba& kalba;
};
