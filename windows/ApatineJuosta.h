// The watcher's painted bottom bar (imgApacia): five framed items along a
// 781 x 25 picture, the menu, "<", the address slot, ">" and exit. Every item
// is one row of one table (position, caption, text offset), which both the
// painting and the hit test read.
//
// The keyboard reaches the bar with Tab: Left and Right move between the
// items (the one it is on drawn as under the pointer), Enter or Space does
// what a click on it does (PunktasAktyvuotas). Screen readers see the bar as
// a tool bar named by the language with one child per item: the menu and
// exit buttons, the arrows and the address slot as text, the address its value.
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
    // The address the slot shows; empty while it shows its caption.
    const QString& RodomasAdresas() const { return adresas; }
    // An item's name in the language, and the bar's own.
    QString PunktoVardas(TPunktas punktas) const;
    QString Vardas() const;
    // The item the keyboard is on.
    TPunktas Dabartinis() const { return dabartinis; }
    // Does what Enter does on the item.
    void Aktyvuoti(TPunktas punktas) { Q_EMIT PunktasAktyvuotas(punktas); }
    // An item's rectangle in the bar.
    static QRect PunktoVieta(TPunktas punktas);
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

Q_SIGNALS:
    // Enter or Space on an item, or a screen reader's press.
    void PunktasAktyvuotas(TApatineJuosta::TPunktas punktas);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void NupiestiPunkta(TPunktas punktas, bool pazymetas);
    // Whether the item is drawn highlighted while the pointer is not on it.
    bool ArKlaviaturosPunktas(TPunktas punktas) const;
    void Perkelti(int kryptis);

    const TKalba& kalba;
    TPunktas dabartinis = Meniu;
    QString adresas;
};
