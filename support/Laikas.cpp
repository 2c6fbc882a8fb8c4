#include "Laikas.h"

#include <QElapsedTimer>

qint64 TikrasLaikasMs() {
    static const QElapsedTimer pradzia = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return pradzia.elapsed();
}
