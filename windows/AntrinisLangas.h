// What the three secondary windows (server list, about, details) share: they
// are fixed-size dialogs shown modally over the watcher and centred on it, they
// read their texts from the language in effect, and their showing and hiding
// (not the platform's minimising) run the handlers FormShow and FormHide.
#pragma once

#include <optional>

#include <QDialog>

#include "Pranesimai.h"

class TStebetojas;

// Where a window of frame size `dydis` stands beside the window framed by
// `salia`, on the screen area `ekranas`: to its right when the area has room
// there, else to its left, else against the edge of the side with more room;
// its top level with the other's as far as the area allows. Nowhere when it is
// wider than the area.
std::optional<QPoint> VietaSalia(const QRect& salia, const QSize& dydis, const QRect& ekranas);

class TAntrinisLangas : public QDialog {
    Q_OBJECT
public:
    // `stebetojas`: the watcher's face (nullptr: none), which must outlive the window.
    explicit TAntrinisLangas(TStebetojas* stebetojas, QWidget* tevas = nullptr);

    // Centres the window over the watcher, and keeps it above it, as it is shown.
    void setVisible(bool matomas) override;

    virtual void FormShow() {}
    virtual void FormHide() {}

protected:
    // Places the window as it is shown: centred over the watcher's window.
    virtual void Padeti(const QWidget& stebetojoLangas);

    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

    // The windows that query servers stop the watcher's refresh while they are
    // shown, and start it again (when the address box is not blank) as they hide.
    void SustabdytiStebetoja();
    void TestiStebetoja();

    // A text of the language in effect, or "###1" without a watcher.
    QString Tekstas(const char* sekcija, const char* raktas) const;

    TStebetojas* const stebetojas;
    template <typename F> void Saugiai(F&& f) { Apsaugota(this, std::forward<F>(f)); }
};
