// One run of a program started by a test, with its output gathered while the
// event loop runs; killed at the end of the test if it is still running.
// Tests that include this define VELMORANT_TESTSERVER_EXE, the default program.
#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QProcess>
#include <QSignalSpy>
#include <QString>
#include <QStringList>

class TProcesas : public QObject {
public:
    // `laukimasMs`: how long a run and the end of a killed run may take at most.
    explicit TProcesas(const QString& programa = QStringLiteral(VELMORANT_TESTSERVER_EXE), int laukimasMs = 10000)
        : programa(programa), laukimas(laukimasMs) {
        connect(&procesas, &QProcess::readyReadStandardOutput, this,
                [this] { isvestis += procesas.readAllStandardOutput(); });
        connect(&procesas, &QProcess::readyReadStandardError, this,
                [this] { klaidos += procesas.readAllStandardError(); });
    }
    ~TProcesas() override {
        if (procesas.state() == QProcess::NotRunning)
            return;
        QSignalSpy baigta(&procesas, &QProcess::finished);
        procesas.kill();
        baigta.wait(laukimas);
    }

    void Pradeti(const QStringList& argumentai) { procesas.start(programa, argumentai); }

    // Waits until the program has ended; false when it is still running.
    bool LauktiPabaigos() {
        QSignalSpy baigta(&procesas, &QProcess::finished);
        const QDeadlineTimer riba(laukimas);
        while (procesas.state() != QProcess::NotRunning && !riba.hasExpired())
            baigta.wait(int(qMax<qint64>(1, riba.remainingTime())));
        // What the program wrote just before it ended may not have been read yet.
        isvestis += procesas.readAllStandardOutput();
        klaidos += procesas.readAllStandardError();
        return procesas.state() == QProcess::NotRunning;
    }

    QString programa;
    int laukimas;
    QProcess procesas;
    QByteArray isvestis;
    QByteArray klaidos;
};
