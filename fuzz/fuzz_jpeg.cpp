// libFuzzer target: SkaitytiJpegIsAtminties on arbitrary bytes. Besides the
// sanitizers' checks, a decoded picture must keep within the decoder's size
// limit and be fully opaque (libjpeg fills the fourth byte of every pixel).

#include <cstddef>
#include <cstdint>

#include <QByteArray>
#include <QImage>

#include "JpegVaizdas.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* duomenys, std::size_t dydis) {
    const QByteArray baitai = QByteArray::fromRawData(reinterpret_cast<const char*>(duomenys), qsizetype(dydis));
    const QImage vaizdas = SkaitytiJpegIsAtminties(baitai);
    if (vaizdas.isNull())
        return 0;
    if (vaizdas.width() > 4096 || vaizdas.height() > 4096 || vaizdas.format() != QImage::Format_RGBX8888)
        __builtin_trap();
    for (int y = 0; y < vaizdas.height(); ++y) {
        const uchar* eilute = vaizdas.constScanLine(y);
        for (int x = 0; x < vaizdas.width(); ++x) {
            if (eilute[4 * x + 3] != 0xFF)
                __builtin_trap();
        }
    }
    return 0;
}
