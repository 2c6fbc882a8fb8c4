#include "IstorijosGrafikas.h"

#include <algorithm>

#include <QDateTime>
#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

using namespace Qt::StringLiterals;

const QColor TIstorijosGrafikas::kFonas(0x00, 0x00, 0x00);
const QColor TIstorijosGrafikas::kZaidejuSpalva(0xFF, 0xAA, 0x00);
const QColor TIstorijosGrafikas::kMaksimumoSpalva(0xC5, 0xCA, 0x3A);
const QColor TIstorijosGrafikas::kPingoSpalva(0x40, 0xC0, 0xFF);
const QColor TIstorijosGrafikas::kZymiuSpalva(0x8C, 0x8E, 0x31);

namespace {

constexpr int kTarpas = 3; // between a label and the plotting area

// A round number at least `ms`, so the scale's label reads well.
int ApvaliRiba(int ms) {
    for (int riba : {50, 100, 200, 300, 500, 1000, 2000, 5000})
        if (ms <= riba)
            return riba;
    return ((ms + 999) / 1000) * 1000;
}

struct TStulpelis {
    int Zaidejai = -1;
    int Max = -1;
    int Pingas = -1;
};

} // namespace

TIstorijosGrafikas::TIstorijosGrafikas(QWidget* tevas) : QWidget(tevas) {
    setMinimumSize(kMazPlotis, kMazAukstis);
    QFont f = font();
    f.setPixelSize(9);
    setFont(f);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize TIstorijosGrafikas::sizeHint() const {
    return {320, 90};
}

QSize TIstorijosGrafikas::minimumSizeHint() const {
    return {kMazPlotis, kMazAukstis};
}

void TIstorijosGrafikas::NustatytiDuomenis(TIstorijosTaskai naujiTaskai, qint64 dabarMs) {
    dabar = dabarMs;
    const qint64 nuo = dabar - kLaikotarpisMs;
    naujiTaskai.removeIf([&](const TIstorijosTaskas& t) { return t.LaikasMs < nuo || t.LaikasMs > dabar; });
    taskai = std::move(naujiTaskai);
    PerskaiciuotiRibas();
    update();
}

void TIstorijosGrafikas::NustatytiLaikoJuosta(const QTimeZone& juosta) {
    laikoJuosta = juosta;
    update();
}

void TIstorijosGrafikas::PerskaiciuotiRibas() {
    int zaidejai = 1;
    int pingas = 0;
    for (const TIstorijosTaskas& t : taskai) {
        zaidejai = std::max({zaidejai, t.Zaidejai.value_or(0), t.MaxZaideju.value_or(0)});
        pingas = std::max(pingas, t.PingoMs.value_or(0));
    }
    zaidejuRiba = zaidejai;
    pingoRiba = ApvaliRiba(pingas);
    isdestymoDydis = QSize(); // the labels' widths follow the scales
}

void TIstorijosGrafikas::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange)
        isdestymoDydis = QSize();
    QWidget::changeEvent(event);
}

void TIstorijosGrafikas::PerskaiciuotiIsdestyma() const {
    const QFontMetrics fm(font());
    const int kaire = fm.horizontalAdvance(QString::number(zaidejuRiba)) + kTarpas + 1;
    const int desine = fm.horizontalAdvance(QString::number(pingoRiba) + u"ms"_s) + kTarpas + 1;
    const int virsus = fm.ascent() / 2 + 1;
    const int apacia = fm.height() + 1;
    brezinys = QRect(QPoint(kaire, virsus), QPoint(width() - 1 - desine, height() - 1 - apacia));
    isdestymoDydis = size();
}

QRect TIstorijosGrafikas::Brezinys() const {
    if (isdestymoDydis != size())
        PerskaiciuotiIsdestyma();
    return brezinys;
}

int TIstorijosGrafikas::X(qint64 ms) const {
    const qint64 x = (ms - (dabar - kLaikotarpisMs)) * (brezinys.width() - 1) / kLaikotarpisMs;
    return brezinys.left() + int(std::clamp<qint64>(x, 0, brezinys.width() - 1));
}

int TIstorijosGrafikas::ZY(int kiek) const {
    return brezinys.bottom() - int(qint64(std::clamp(kiek, 0, zaidejuRiba)) * (brezinys.height() - 1) / zaidejuRiba);
}

int TIstorijosGrafikas::PY(int ms) const {
    return brezinys.bottom() - int(qint64(std::clamp(ms, 0, pingoRiba)) * (brezinys.height() - 1) / pingoRiba);
}

int TIstorijosGrafikas::LaikoX(qint64 ms) const {
    Brezinys();
    return X(ms);
}

int TIstorijosGrafikas::ZaidejuY(int kiek) const {
    Brezinys();
    return ZY(kiek);
}

int TIstorijosGrafikas::PingoY(int ms) const {
    Brezinys();
    return PY(ms);
}

QList<std::pair<qint64, QString>> TIstorijosGrafikas::ValanduZymes() const {
    const qint64 nuo = dabar - kLaikotarpisMs;
    const QRect b = Brezinys();
    const QFontMetrics fm(font());
    const int zymesPlotis = fm.horizontalAdvance(u"00"_s) + 2 * kTarpas;
    // Every k-th hour, the smallest k whose labels do not touch.
    int kas = 24;
    for (int k : {1, 2, 3, 4, 6, 12}) {
        if (qint64(b.width()) * k * 3600 * 1000 / kLaikotarpisMs >= zymesPlotis) {
            kas = k;
            break;
        }
    }
    QList<std::pair<qint64, QString>> zymes;
    const QDateTime pradzia = QDateTime::fromMSecsSinceEpoch(nuo, laikoJuosta);
    QDateTime valanda(pradzia.date(), QTime(pradzia.time().hour(), 0), laikoJuosta);
    if (valanda < pradzia)
        valanda = valanda.addSecs(3600);
    for (; valanda.toMSecsSinceEpoch() <= dabar; valanda = valanda.addSecs(3600)) {
        if (valanda.time().hour() % kas != 0)
            continue;
        const qint64 ms = valanda.toMSecsSinceEpoch();
        // A label that would stick out of the widget is left out.
        const int x = X(ms);
        const int puse = fm.horizontalAdvance(u"00"_s) / 2;
        if (x - puse < 0 || x + puse >= width())
            continue;
        zymes.append({ms, valanda.toString(u"HH"_s)});
    }
    return zymes;
}

void TIstorijosGrafikas::paintEvent(QPaintEvent*) {
    QPainter p(this);
    Nupiesti(p);
}

void TIstorijosGrafikas::Nupiesti(QPainter& p) const {
    p.fillRect(rect(), kFonas);
    const QRect b = Brezinys();
    if (b.width() < 2 || b.height() < 2)
        return;
    const QFontMetrics fm(font());
    p.setFont(font());

    // The highest figures of each column.
    QList<TStulpelis> stulpeliai(b.width());
    for (const TIstorijosTaskas& t : taskai) {
        TStulpelis& s = stulpeliai[X(t.LaikasMs) - b.left()];
        if (t.Zaidejai)
            s.Zaidejai = std::max(s.Zaidejai, *t.Zaidejai);
        if (t.MaxZaideju)
            s.Max = std::max(s.Max, *t.MaxZaideju);
        if (t.PingoMs)
            s.Pingas = std::max(s.Pingas, *t.PingoMs);
    }

    // The frame and the hour lines.
    p.setPen(kZymiuSpalva);
    p.drawLine(b.bottomLeft(), b.bottomRight());
    p.drawLine(b.topLeft(), b.bottomLeft());
    p.drawLine(b.topRight(), b.bottomRight());
    for (const auto& [ms, tekstas] : ValanduZymes()) {
        const int x = X(ms);
        p.drawLine(x, b.bottom(), x, b.bottom() + 2);
        const int plotis = fm.horizontalAdvance(tekstas);
        p.drawText(x - plotis / 2, b.bottom() + 1 + fm.ascent(), tekstas);
    }
    // The scales' labels: players on the left, round trip on the right.
    const QString virsus = QString::number(zaidejuRiba);
    p.drawText(b.left() - kTarpas - fm.horizontalAdvance(virsus), b.top() + fm.ascent() / 2, virsus);
    p.drawText(b.left() - kTarpas - fm.horizontalAdvance(u"0"_s), b.bottom() + fm.ascent() / 2, u"0"_s);
    p.setPen(kPingoSpalva);
    p.drawText(b.right() + kTarpas, b.top() + fm.ascent() / 2, QString::number(pingoRiba) + u"ms"_s);

    // Players: one line per column from the bottom up.
    p.setPen(kZaidejuSpalva);
    for (int i = 0; i < stulpeliai.size(); ++i) {
        const TStulpelis& s = stulpeliai.at(i);
        if (s.Zaidejai > 0)
            p.drawLine(b.left() + i, b.bottom() - 1, b.left() + i, ZY(s.Zaidejai));
    }
    // The maximum: one point per column, a line where columns follow each other.
    p.setPen(kMaksimumoSpalva);
    for (int i = 0; i < stulpeliai.size(); ++i) {
        const TStulpelis& s = stulpeliai.at(i);
        if (s.Max < 0)
            continue;
        p.drawPoint(b.left() + i, ZY(s.Max));
        if (i > 0 && stulpeliai.at(i - 1).Max >= 0)
            p.drawLine(b.left() + i - 1, ZY(stulpeliai.at(i - 1).Max), b.left() + i, ZY(s.Max));
    }
    // The round trip: a line through the columns that had an answer.
    p.setPen(kPingoSpalva);
    QPainterPath kelias;
    bool arTesiama = false;
    for (int i = 0; i < stulpeliai.size(); ++i) {
        const TStulpelis& s = stulpeliai.at(i);
        if (s.Pingas < 0) {
            arTesiama = false;
            continue;
        }
        const QPointF taskas(b.left() + i, PY(s.Pingas));
        if (arTesiama)
            kelias.lineTo(taskas);
        else
            kelias.moveTo(taskas);
        arTesiama = true;
    }
    p.drawPath(kelias);
    // A lone answered column is a path of one point, which draws nothing.
    for (int i = 0; i < stulpeliai.size(); ++i) {
        const bool kaire = i > 0 && stulpeliai.at(i - 1).Pingas >= 0;
        const bool desine = i + 1 < stulpeliai.size() && stulpeliai.at(i + 1).Pingas >= 0;
        if (stulpeliai.at(i).Pingas >= 0 && !kaire && !desine)
            p.drawPoint(b.left() + i, PY(stulpeliai.at(i).Pingas));
    }
}
