// JPEG map pictures, decoded with libjpeg.
#pragma once

#include <QImage>
#include <QString>

// Decodes the JPEG file at the path. A missing, unreadable or damaged file
// gives a null image; nothing is thrown and nothing is printed.
QImage SkaitytiJpeg(const QString& kelias);
QImage SkaitytiJpegIsAtminties(const QByteArray& duomenys);
