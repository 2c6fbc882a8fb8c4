#include "JpegRasytojas.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "JpegKlaidos.h"

namespace {

// Destination that gathers the encoded bytes in a QByteArray owned by the
// caller, in fixed-size pieces.
struct TPaskirtis {
    jpeg_destination_mgr bazinis;
    QByteArray* isvestis;
    JOCTET buferis[16384];
};

void PradetiPaskirti(j_compress_ptr info) {
    auto* paskirtis = reinterpret_cast<TPaskirtis*>(info->dest);
    paskirtis->bazinis.next_output_byte = paskirtis->buferis;
    paskirtis->bazinis.free_in_buffer = sizeof(paskirtis->buferis);
}

boolean IstustintiPaskirti(j_compress_ptr info) {
    auto* paskirtis = reinterpret_cast<TPaskirtis*>(info->dest);
    paskirtis->isvestis->append(reinterpret_cast<const char*>(paskirtis->buferis), sizeof(paskirtis->buferis));
    PradetiPaskirti(info);
    return TRUE;
}

void BaigtiPaskirti(j_compress_ptr info) {
    auto* paskirtis = reinterpret_cast<TPaskirtis*>(info->dest);
    const auto kiekis = sizeof(paskirtis->buferis) - paskirtis->bazinis.free_in_buffer;
    paskirtis->isvestis->append(reinterpret_cast<const char*>(paskirtis->buferis), qsizetype(kiekis));
}

// Only plain data lives in this frame, so the long jump out of libjpeg skips
// no destructor. `eilutes` holds the RGB rows, `zingsnis` bytes apart.
bool Koduoti(const unsigned char* eilutes, int plotis, int aukstis, int zingsnis, int kokybe, TPaskirtis* paskirtis) {
    jpeg_compress_struct info;
    TKlaiduValdymas klaidos;
    info.err = jpeg_std_error(&klaidos.bazinis);
    klaidos.bazinis.error_exit = KlaidaIsejimas;
    klaidos.bazinis.output_message = TylusIsvedimas;
    if (setjmp(klaidos.grizimas)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    paskirtis->bazinis.init_destination = PradetiPaskirti;
    paskirtis->bazinis.empty_output_buffer = IstustintiPaskirti;
    paskirtis->bazinis.term_destination = BaigtiPaskirti;
    info.dest = &paskirtis->bazinis;

    info.image_width = JDIMENSION(plotis);
    info.image_height = JDIMENSION(aukstis);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, kokybe, TRUE);
    info.optimize_coding = TRUE;
    info.dct_method = JDCT_ISLOW; // the exact integer transform: the same bytes everywhere

    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        auto* eilute = const_cast<JSAMPLE*>(eilutes + std::size_t(info.next_scanline) * std::size_t(zingsnis));
        jpeg_write_scanlines(&info, &eilute, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

} // namespace

QByteArray KoduotiJpeg(const QImage& vaizdas, int kokybe) {
    if (vaizdas.isNull())
        return {};
    const QImage rgb = vaizdas.convertToFormat(QImage::Format_RGB888);
    QByteArray isvestis;
    TPaskirtis paskirtis{};
    paskirtis.isvestis = &isvestis;
    if (!Koduoti(rgb.constBits(), rgb.width(), rgb.height(), int(rgb.bytesPerLine()), kokybe, &paskirtis))
        return {};
    return isvestis;
}
