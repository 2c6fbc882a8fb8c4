// A program of the history test: writes rounds into the history at the path
// it is given until it is killed. Its first line is "start <ms>", the time of
// its first round; then, for each round i from 1 on, it hands the round over,
// waits until the round is in the database and prints "i". The rounds are
// IstorijosRasytojoRaundas(start, i).
#include <cstdio>

#include <QCoreApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QTimer>

#include "IstorijosRasytojas.h"
#include "Istorija.h"

int main(int argc, char** argv) {
    QCoreApplication programa(argc, argv);
    if (argc < 2)
        return 2;
    const qint64 pradzia = QDateTime::currentMSecsSinceEpoch();
    TIstorija istorija(QString::fromLocal8Bit(argv[1]));
    qint64 irasyta = 0;
    QString klaida;
    QEventLoop ciklas;
    QObject::connect(&istorija, &TIstorija::Irasyta, &ciklas, [&](qint64 kiek) {
        irasyta = kiek;
        ciklas.quit();
    });
    QObject::connect(&istorija, &TIstorija::Sugedo, &ciklas, [&](const QString& tekstas) {
        klaida = tekstas;
        ciklas.quit();
    });
    std::printf("start %lld\n", static_cast<long long>(pradzia));
    std::fflush(stdout);
    for (qint64 i = 1;; ++i) {
        istorija.Irasyti(IstorijosRasytojoRaundas(pradzia, i));
        // The test kills the program long before this limit.
        QTimer riba;
        riba.setSingleShot(true);
        QObject::connect(&riba, &QTimer::timeout, &ciklas, [&] { ciklas.quit(); });
        riba.start(30000);
        while (irasyta < i && klaida.isEmpty() && riba.isActive())
            ciklas.exec();
        if (!klaida.isEmpty()) {
            std::printf("error %s\n", qPrintable(klaida));
            return 3;
        }
        if (irasyta < i)
            return 4;
        std::printf("%lld\n", static_cast<long long>(i));
        std::fflush(stdout);
    }
}
