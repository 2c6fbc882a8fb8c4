// What the reader tests share: datagrams built field by field (little-endian, as
// the servers send them) and the datagrams recorded from real servers.
#pragma once

#include <cstring>

#include <QByteArray>
#include <QFile>
#include <QString>

#include "AtminiesSrautas.h"
#include "cstrike.h"

struct TRasytojas {
    QByteArray b;
    TRasytojas& u8(quint8 v) {
        b.append(char(v));
        return *this;
    }
    TRasytojas& u16(quint16 v) {
        b.append(char(v & 0xFF)).append(char(v >> 8));
        return *this;
    }
    TRasytojas& i32(qint32 v) {
        for (int i = 0; i < 4; ++i)
            b.append(char((quint32(v) >> (8 * i)) & 0xFF));
        return *this;
    }
    TRasytojas& u64(quint64 v) {
        for (int i = 0; i < 8; ++i)
            b.append(char((v >> (8 * i)) & 0xFF));
        return *this;
    }
    TRasytojas& f32(float v) {
        quint32 u;
        std::memcpy(&u, &v, 4);
        return i32(qint32(u));
    }
    TRasytojas& txt(const QByteArray& s) {
        b.append(s).append('\0');
        return *this;
    }
    TRasytojas& antraste(char tipas) {
        b.append("\xFF\xFF\xFF\xFF", 4).append(tipas);
        return *this;
    }
};

// A stream over the datagram, past its header and type letter.
inline TAtminiesSrautas PoAntrastes(const QByteArray& datagrama) {
    TAtminiesSrautas s(datagrama);
    SkaitytiAntraste(s);
    return s;
}

// A recorded datagram, or nothing when the recordings are not there.
inline QByteArray Fiksacija(const QString& vardas) {
    QFile f(QString::fromUtf8(VELMORANT_CAPTURES_DIR) + u'/' + vardas);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
