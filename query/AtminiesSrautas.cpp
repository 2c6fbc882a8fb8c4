#include "AtminiesSrautas.h"

#include <cstring>

qint64 TAtminiesSrautas::Read(void* dst, qint64 n) {
    const qint64 kiek = n < Likutis() ? n : Likutis();
    if (kiek <= 0)
        return 0;
    std::memcpy(dst, baitai.constData() + pozicija, static_cast<size_t>(kiek));
    pozicija += kiek;
    return kiek;
}

void TAtminiesSrautas::Write(const char* src, qint64 n) {
    if (n <= 0)
        return;
    if (pozicija + n > Size())
        baitai.resize(pozicija + n);
    std::memcpy(baitai.data() + pozicija, src, static_cast<size_t>(n));
    pozicija += n;
}

QByteArray TAtminiesSrautas::Dalis(qint64 nuo, qint64 ilgis) const {
    if (ilgis <= 0)
        return QByteArray();
    // data_ptr() only hands out the pointer (nothing is detached); its copy shares the buffer.
    QByteArray::DataPointer dalis = const_cast<QByteArray&>(baitai).data_ptr();
    if (!dalis.d_ptr())
        return QByteArray(baitai.constData() + nuo, ilgis); // raw data owned elsewhere: copy
    dalis.ptr += nuo;
    dalis.size = ilgis;
    return QByteArray(std::move(dalis));
}
