#include "Zemelapiai.h"

#include <QFileInfo>

#include "JpegVaizdas.h"
#include "Keliai.h"

using namespace Qt::StringLiterals;

namespace {

// Map names come from the server; only a plain file name may reach the disk.
bool TinkamasZemelapioVardas(const QString& vardas) {
    if (vardas.isEmpty() || vardas == u"."_s || vardas == u".."_s)
        return false;
    for (const QChar c : vardas)
        if (c == u'/' || c == u'\\' || c.unicode() < 0x20)
            return false;
    return true;
}

} // namespace

QImage ZemelapioVaizdas(const QString& vardas) {
    QImage vaizdas;
    if (TinkamasZemelapioVardas(vardas)) {
        const QString kelias = VietinisKelias(u"resursai/zemelapiai/"_s + vardas + u".jpg"_s);
        if (QFileInfo(kelias).isFile())
            vaizdas = SkaitytiJpeg(kelias);
    }
    if (vaizdas.isNull())
        vaizdas = SkaitytiJpeg(VietinisKelias(u"resursai/zemelapiai/standartinis.jpg"_s));
    return vaizdas;
}
