// The query budget of every server: today's engines drop, without a word,
// every connectionless datagram of an address past about three a second
// (counted over a window of a minute, the dropped ones included), so the
// program never sends one server more than kDaugiausia datagrams in any
// kLangasMs, whatever the windows and their intervals ask. Retries and
// challenge answers count like every other datagram.
//
// Servers are keyed by "ip:port" (the address the datagrams really go to), so
// two spellings of one server share its budget. The clock is the caller's
// (milliseconds, monotonic); a clock that goes back forgets what lies ahead.
#pragma once

#include <QHash>
#include <QList>
#include <QString>

class TUzklausuBiudzetas {
public:
    static constexpr qint64 kLangasMs = 10000;
    static constexpr int kDaugiausia = 30;
    // Rounds are spaced so that their own datagrams take at most this share
    // of the budget: what is left is for retries and challenge answers.
    static constexpr int kRaunduDalisProc = 80;

    // Datagrams the server may get now.
    int Laisva(const QString& serveris, qint64 dabar);
    // The earliest time, not before `dabar`, at which `kiek` datagrams may go
    // at once (kiek is at most kDaugiausia).
    qint64 KadaLaisva(const QString& serveris, qint64 dabar, int kiek);
    // Counts `kiek` datagrams sent at `dabar`.
    void Pazymeti(const QString& serveris, qint64 dabar, int kiek = 1);
    // Datagrams counted in the window ending at `dabar`.
    int Panaudota(const QString& serveris, qint64 dabar);
    void Isvalyti() { siuntimai.clear(); }

    // The interval in effect for rounds of `datagramos` datagrams each when
    // `norimasMs` is asked for: never shorter than the budget allows. An
    // interval of 0 (a timer that never fires) stays 0.
    static int Tarpas(int datagramos, int norimasMs);

private:
    QList<qint64>& Langas(const QString& serveris, qint64 dabar);

    QHash<QString, QList<qint64>> siuntimai;
};
