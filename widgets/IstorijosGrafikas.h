// The plot of one server's last 24 hours: its players as a filled area, its
// maximum as a line above them, its round trip as a thin line on a scale of
// its own, with hour labels along the bottom, the players' scale on the left
// and the round trip's on the right. Painted with QPainter from the rounds it
// is given; rounds without figures leave gaps.
//
// Each pixel column stands for its share of the day: of the rounds that fall
// into it the highest figures are drawn, so a day of rounds every few seconds
// costs one walk over the rounds and one line per column.
#pragma once

#include <utility>

#include <QList>
#include <QTimeZone>
#include <QWidget>

#include "IstorijosTaskas.h"

class QPainter;

class TIstorijosGrafikas : public QWidget {
    Q_OBJECT
public:
    explicit TIstorijosGrafikas(QWidget* tevas = nullptr);

    static constexpr int kMazPlotis = 250;
    static constexpr int kMazAukstis = 60;
    static constexpr qint64 kLaikotarpisMs = 24LL * 3600 * 1000;

    // The rounds and the moment the day shown ends (Unix ms); repaints.
    // Rounds outside the day are left out.
    void NustatytiDuomenis(TIstorijosTaskai taskai, qint64 dabarMs);
    // The time zone of the hour labels (the system's by default).
    void NustatytiLaikoJuosta(const QTimeZone& juosta);

    const TIstorijosTaskai& Taskai() const { return taskai; }
    qint64 Pabaiga() const { return dabar; }

    // Where things are drawn, for the painting and for tests.
    QRect Brezinys() const; // the plotting area, inside the labels
    int LaikoX(qint64 ms) const;
    int ZaidejuY(int kiek) const;
    int PingoY(int ms) const;
    int ZaidejuRiba() const { return zaidejuRiba; } // the top of the players' scale
    int PingoRiba() const { return pingoRiba; }     // the top of the round trip's scale, ms
    // The hour labels drawn: their moment and text ("HH").
    QList<std::pair<qint64, QString>> ValanduZymes() const;

    // The whole chart onto `p`, in the widget's coordinates.
    void Nupiesti(QPainter& p) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    static const QColor kFonas;
    static const QColor kZaidejuSpalva;
    static const QColor kMaksimumoSpalva;
    static const QColor kPingoSpalva;
    static const QColor kZymiuSpalva;

protected:
    void paintEvent(QPaintEvent* event) override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void PerskaiciuotiRibas();
    // The plotting area and the scales' factors, worked out once per change
    // of size, font or data rather than once per round drawn.
    void PerskaiciuotiIsdestyma() const;
    int X(qint64 ms) const;
    int ZY(int kiek) const;
    int PY(int ms) const;

    TIstorijosTaskai taskai;
    qint64 dabar = 0;
    QTimeZone laikoJuosta = QTimeZone::systemTimeZone();
    int zaidejuRiba = 1;
    int pingoRiba = 100;
    mutable QRect brezinys;
    mutable QSize isdestymoDydis; // the size brezinys was worked out for; empty: to be worked out
};
