// Controls and layout helpers shared by the windows: the memo, the picture
// box, the line shape and the timer with an Enabled switch, plus small
// functions that place a control (name, position, size) and set its font and
// colours.
#pragma once

#include <QFrame>
#include <QImage>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include "Laikmatis.h"

// Colours in layouts are stored as 0x00BBGGRR values.
QColor SpalvaBGR(int bgr);

QFont Sriftas(const QString& seimyna, int pikseliai, bool storas = false);
QFont SriftasTaskais(const QString& seimyna, int taskai, bool storas = false);

// Places a new control at (x, y) with the given size and object name.
template <typename T> T* Sukurti(QWidget* tevas, const char* vardas, int x, int y, int plotis, int aukstis) {
    T* v = new T(tevas);
    v->setObjectName(QString::fromLatin1(vardas));
    v->setGeometry(x, y, plotis, aukstis);
    return v;
}

// Text colour, and a filled background when one is given.
void NustatytiSpalvas(QWidget* valdiklis, const QColor& tekstas);
void NustatytiSpalvas(QWidget* valdiklis, const QColor& tekstas, const QColor& fonas);
void NustatytiFona(QWidget* valdiklis, const QColor& fonas);

// A read-only multi-line text that paints its lines itself: the scoreboard
// columns add many lines at every refresh and need the count of lines (an
// empty line counts), not editing. A press in it is its own (it reaches no
// control behind it). Accessibility clients see it as a read-only multi-line
// text whose text is its lines joined by line feeds, as `text` is. A line may
// be marked: it is painted bold with a small star after it, its text unchanged.
class TMemo : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text NOTIFY pasikeite)
public:
    explicit TMemo(QWidget* tevas = nullptr);
    void PridetiEilutes(const QStringList& naujos);
    // Replaces every line at once (one change, nothing shown empty between).
    void NustatytiEilutes(const QStringList& naujos);
    void Isvalyti();
    int EiluciuSkaicius() const { return int(eilutes.size()); }
    const QStringList& Eilutes() const { return eilutes; }
    void NustatytiLygiavima(Qt::Alignment naujas);
    Qt::Alignment Lygiavimas() const { return lygiavimas; }
    QString text() const { return eilutes.join(u'\n'); }
    // Where line `eilute` is painted, in the memo's coordinates.
    QRect EilutesVieta(int eilute) const;
    // The line painted at `y`, or -1 below the last one.
    int EiluteTaske(int y) const;
    // Marks the lines whose entry is true; a change of the lines drops the marks.
    void NustatytiZymes(const QList<bool>& naujos);
    bool ArPazymeta(int eilute) const { return eilute >= 0 && eilute < zymes.size() && zymes.at(eilute); }
    // Where the mark of a marked line is painted (empty for a line without one).
    QRect ZymesVieta(int eilute) const;
    // The font line `eilute` is painted in: the memo's, bold when it is marked.
    QFont EilutesSriftas(int eilute) const;

Q_SIGNALS:
    void pasikeite();
    void pelePaspausta();
    // A right press on line `eilute`.
    void eiluteDesiniuPaspausta(int eilute);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void PranestiPasikeitima(const QString& senas);

    QStringList eilutes;
    QList<bool> zymes;
    Qt::Alignment lygiavimas = Qt::AlignLeft;
};

// A picture box: shows its image stretched to the box, or at its top left.
class TPaveiksliukas : public QWidget {
    Q_OBJECT
public:
    explicit TPaveiksliukas(QWidget* tevas = nullptr);
    bool Istempti = false;
    const QImage& Vaizdas() const { return vaizdas; }
    QImage& Drobe() { return vaizdas; } // draw on it, then update()
    void NustatytiVaizda(const QImage& naujas);

Q_SIGNALS:
    void clicked();
    void peleJuda(int x, int y);
    void pelePaleista(Qt::MouseButton mygtukas, int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage vaizdas;
};

// A line shape: a rectangle outlined with the pen colour and filled with the brush colour.
class TLinija : public QWidget {
    Q_OBJECT
public:
    TLinija(QWidget* tevas, const QColor& tusas, const QColor& plunksna);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor tusas;
    QColor plunksna;
};
