#include "Laikrodis.h"

#include <QElapsedTimer>

namespace {

qint64 TikrasLaikas() {
    static const QElapsedTimer pradzia = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return pradzia.elapsed();
}

TLaikrodis& Laikrodis() {
    static TLaikrodis f = TikrasLaikas;
    return f;
}

} // namespace

qint64 DabarMs() {
    return Laikrodis()();
}

TLaikrodis NustatytiLaikrodi(TLaikrodis naujas) {
    TLaikrodis senas = std::move(Laikrodis());
    Laikrodis() = naujas ? std::move(naujas) : TLaikrodis(TikrasLaikas);
    return senas;
}
