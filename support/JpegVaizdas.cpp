#include "JpegVaizdas.h"

#include <csetjmp>
#include <cstdio>

#include <QFile>

#include <jpeglib.h>

#include "JpegKlaidos.h"

namespace {

// Map pictures are small; anything larger than this is refused before any
// pixel memory is taken.
constexpr JDIMENSION kDidziausiasKrastas = 4096;
constexpr long kDidziausiaAtmintis = 64L * 1024 * 1024;
// A progressive file may carry any number of scans; real pictures need few.
constexpr int kDidziausiasSkenuSkaicius = 64;

// A warning (corrupt data, a file that ends early) makes the picture
// incomplete: it ends the decoding like an error. Trace messages are ignored.
void Pranesimas(j_common_ptr info, int lygis) {
    if (lygis < 0)
        KlaidaIsejimas(info);
}

void Eiga(j_common_ptr info) {
    const auto* d = reinterpret_cast<j_decompress_ptr>(info);
    if (d->input_scan_number > kDidziausiasSkenuSkaicius)
        KlaidaIsejimas(info);
}

// Decodes into an image that the caller owns. Only plain data lives in this
// frame, so the long jump out of libjpeg skips no destructor.
bool Dekoduoti(const unsigned char* duomenys, unsigned long dydis, QImage* rezultatas) {
    jpeg_decompress_struct info;
    TKlaiduValdymas klaidos;
    info.err = jpeg_std_error(&klaidos.bazinis);
    klaidos.bazinis.error_exit = KlaidaIsejimas;
    klaidos.bazinis.emit_message = Pranesimas;
    klaidos.bazinis.output_message = TylusIsvedimas;
    jpeg_progress_mgr eiga{};
    eiga.progress_monitor = Eiga;
    if (setjmp(klaidos.grizimas)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = kDidziausiaAtmintis;
    info.progress = &eiga;
    jpeg_mem_src(&info, duomenys, dydis);
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK || info.image_width == 0 || info.image_height == 0 ||
        info.image_width > kDidziausiasKrastas || info.image_height > kDidziausiasKrastas) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_EXT_RGBX; // libjpeg-turbo writes four bytes per pixel, ready for a QImage
    jpeg_start_decompress(&info);
    *rezultatas = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGBX8888);
    if (rezultatas->isNull()) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW eilute = rezultatas->scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &eilute, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

QImage SkaitytiJpegIsAtminties(const QByteArray& duomenys) {
    if (duomenys.isEmpty())
        return {};
    QImage vaizdas;
    if (!Dekoduoti(reinterpret_cast<const unsigned char*>(duomenys.constData()),
                   static_cast<unsigned long>(duomenys.size()), &vaizdas))
        return {};
    return vaizdas;
}

QImage SkaitytiJpeg(const QString& kelias) {
    QFile failas(kelias);
    if (!failas.open(QIODevice::ReadOnly))
        return {};
    return SkaitytiJpegIsAtminties(failas.readAll());
}
