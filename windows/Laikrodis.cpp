#include "Laikrodis.h"

#include "Laikas.h"

namespace {

TLaikrodis& Laikrodis() {
    static TLaikrodis f = TikrasLaikasMs;
    return f;
}

} // namespace

qint64 DabarMs() {
    return Laikrodis()();
}

TLaikrodis NustatytiLaikrodi(TLaikrodis naujas) {
    TLaikrodis senas = std::move(Laikrodis());
    Laikrodis() = naujas ? std::move(naujas) : TLaikrodis(TikrasLaikasMs);
    return senas;
}
