// Texts are kept as the bytes that came from a file or a server. This unit
// turns such bytes into something a widget can show.
#pragma once

#include <QByteArray>
#include <QString>

// UTF-8 when the bytes are valid UTF-8, otherwise Windows-1257 (Baltic).
QString RodomasTekstas(const QByteArray& baitai);

// Windows-1257 alone, for texts known to be in the program's code page.
QString IsBaltuKoduotes(const QByteArray& baitai);
