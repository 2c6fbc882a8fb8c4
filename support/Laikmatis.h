// The program's timers: a QTimer with an Enabled switch and a floor, as the
// watcher's refresh and the server list's walk use it.
#pragma once

#include <QTimer>

class TLaikmatis;
// A new TLaikmatis named `vardas` with the given interval, not enabled.
TLaikmatis* SukurtiLaikmati(QObject* tevas, const char* vardas, int ms);

// A timer with an Enabled switch of its own: an interval of 0 means the timer
// does not fire, whether or not it is enabled, and a later non-zero interval
// lets an enabled timer run again. isActive() tells whether it really runs.
//
// The interval asked for (Intervalas, what the settings keep) may be held up
// by a floor (Maziausias, the shortest period the watched server's query
// budget allows): the timer then runs at the floor, and interval() tells the
// period in effect.
class TLaikmatis : public QTimer {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(int Intervalas READ Intervalas WRITE setIntervalas)
    Q_PROPERTY(int Maziausias READ Maziausias WRITE setMaziausias)
public:
    explicit TLaikmatis(QObject* tevas = nullptr);
    bool Enabled() const { return ijungtas; }
    void setEnabled(bool taip);
    int Intervalas() const { return prasomas; }
    // Changes the interval; a running timer starts its period again.
    void setIntervalas(int ms);
    int Maziausias() const { return maziausias; }
    // Changes the floor; a running timer whose period changes starts it again.
    void setMaziausias(int ms);

private:
    void Atnaujinti();
    bool ijungtas = false;
    int prasomas = 0;
    int maziausias = 0;
};
