// An in-memory byte stream over one datagram. All bounds checks of the reply
// readers of both dialects live here: a read never goes past the end, it
// returns fewer bytes.
#pragma once

#include <cstring>

#include <QByteArray>
#include <QtEndian>

class TAtminiesSrautas {
public:
    TAtminiesSrautas() = default;
    explicit TAtminiesSrautas(QByteArray duomenys) : baitai(std::move(duomenys)) {}

    qint64 Size() const { return baitai.size(); }
    // The position may stand past the end (after a text without its zero byte);
    // every read from there yields nothing.
    qint64 Position() const { return pozicija; }
    void SetPosition(qint64 p) { pozicija = p < 0 ? 0 : p; }
    qint64 Likutis() const { return pozicija >= Size() ? 0 : Size() - pozicija; }
    const QByteArray& Duomenys() const { return baitai; }

    // Copies up to n bytes into dst and advances by the count copied.
    qint64 Read(void* dst, qint64 n);

    // Writes at the position, growing the stream when needed.
    void Write(const char* src, qint64 n);

    // `ilgis` bytes from `nuo` as a text of their own. It shares the stream's
    // buffer instead of copying (a text taken from a datagram keeps the
    // datagram's memory alive, and is copied only when it is changed), so the
    // many small texts of a reply cost no allocation each.
    QByteArray Dalis(qint64 nuo, qint64 ilgis) const;

    // A little-endian number, a byte, a 32-bit float, read at the position as
    // both dialects' replies hold them; the bytes the datagram lacks read as zero.
    template <typename T> T Skaicius() {
        T reiksme = 0;
        if (Likutis() >= qint64(sizeof(T))) {
            std::memcpy(&reiksme, Dabartinis(), sizeof(T));
            pozicija += qint64(sizeof(T));
        } else {
            Read(&reiksme, sizeof(T)); // the low bytes, the rest stays zero
        }
        return qFromLittleEndian(reiksme);
    }
    char Baitas() {
        char c = 0;
        Read(&c, 1);
        return c;
    }
    float Float() {
        const quint32 u = Skaicius<quint32>();
        float f;
        std::memcpy(&f, &u, sizeof f);
        return f;
    }

    // Pointer to the unread bytes (Likutis() of them).
    const char* Dabartinis() const { return baitai.constData() + (pozicija < Size() ? pozicija : Size()); }
    void Praleisti(qint64 n) { pozicija += n; }

private:
    QByteArray baitai;
    qint64 pozicija = 0;
};
