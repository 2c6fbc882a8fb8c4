#include "JpegVaizdas.h"

#include <csetjmp>
#include <cstdio>

#include <QFile>

#include <jpeglib.h>

namespace {

struct TKlaiduValdymas {
    jpeg_error_mgr bazinis;
    std::jmp_buf grizimas;
};

[[noreturn]] void KlaidaIsejimas(j_common_ptr info) {
    auto* valdymas = reinterpret_cast<TKlaiduValdymas*>(info->err);
    std::longjmp(valdymas->grizimas, 1);
}

void TylusPranesimas(j_common_ptr, int) {}
void TylusIsvedimas(j_common_ptr) {}

// Decodes into an image that the caller owns. Only plain data lives in this
// frame, so the long jump out of libjpeg skips no destructor.
bool Dekoduoti(const unsigned char* duomenys, unsigned long dydis, QImage* rezultatas) {
    jpeg_decompress_struct info;
    TKlaiduValdymas klaidos;
    info.err = jpeg_std_error(&klaidos.bazinis);
    klaidos.bazinis.error_exit = KlaidaIsejimas;
    klaidos.bazinis.emit_message = TylusPranesimas;
    klaidos.bazinis.output_message = TylusIsvedimas;
    if (setjmp(klaidos.grizimas)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, duomenys, dydis);
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_EXT_RGBX; // libjpeg-turbo writes four bytes per pixel, ready for a QImage
    jpeg_start_decompress(&info);
    // Guard against absurd dimensions before allocating.
    if (info.output_width == 0 || info.output_height == 0 || info.output_width > 16384 || info.output_height > 16384) {
        jpeg_destroy_decompress(&info);
        return false;
    }
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
