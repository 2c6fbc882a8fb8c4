// What the benchmarks measure alike: the process's resident memory, and one
// run of QStat over a server file, timed from its own start.
#pragma once

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

// Resident memory of the process, in MB.
inline double RezidentineAtmintisMb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& eilute : f.readAll().split('\n'))
        if (eilute.startsWith("VmRSS:"))
            return eilute.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

struct TQStatBegimas {
    bool Yra = false;  // quakestat and stdbuf are installed
    qint64 Gyvi = -1;  // ms until the `laukiama`-th line holding `zyme`
    qint64 Visas = -1; // ms of the whole run
    int Atsake = 0;    // lines holding `zyme`
};

// One `quakestat -f sarasas -raw , -nh`, its output line buffered through
// stdbuf, so that each line's arrival is its server's answer.
inline TQStatBegimas PaleistiQStat(const QString& sarasas, const QByteArray& zyme, int laukiama, qint64 ribaMs) {
    TQStatBegimas r;
    const QString qstat = QStandardPaths::findExecutable(QStringLiteral("quakestat"));
    const QString stdbuf = QStandardPaths::findExecutable(QStringLiteral("stdbuf"));
    if (qstat.isEmpty() || stdbuf.isEmpty())
        return r;
    r.Yra = true;
    QProcess p;
    QElapsedTimer laikas;
    QByteArray likutis;
    QObject::connect(&p, &QProcess::readyReadStandardOutput, &p, [&] {
        likutis += p.readAllStandardOutput();
        qsizetype i;
        while ((i = likutis.indexOf('\n')) >= 0) {
            if (likutis.left(i).contains(zyme) && ++r.Atsake == laukiama)
                r.Gyvi = laikas.elapsed();
            likutis.remove(0, i + 1);
        }
    });
    laikas.start();
    p.start(stdbuf, {QStringLiteral("-oL"), qstat, QStringLiteral("-f"), sarasas, QStringLiteral("-raw"),
                     QStringLiteral(","), QStringLiteral("-nh")});
    while (p.state() != QProcess::NotRunning && laikas.elapsed() < ribaMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    r.Visas = laikas.elapsed();
    return r;
}

// A QStat benchmark's loop: each iteration one run, timed until its live
// servers answered; the benchmark is skipped when QStat is not installed.
inline TQStatBegimas MatuotiQStat(benchmark::State& state, const QString& sarasas, const QByteArray& zyme, int laukiama,
                                  qint64 ribaMs) {
    TQStatBegimas r;
    for (auto _ : state) {
        r = PaleistiQStat(sarasas, zyme, laukiama, ribaMs);
        if (!r.Yra) {
            state.SkipWithError("quakestat (Debian package qstat) or stdbuf is not installed");
            break;
        }
        state.SetIterationTime(double(r.Gyvi) / 1000.0);
    }
    return r;
}
