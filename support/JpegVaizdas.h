// JPEG map pictures, decoded with libjpeg.
#pragma once

#include <QImage>
#include <QString>

// Decodes the JPEG file at the path. A missing, unreadable, damaged or
// incomplete file, and a picture wider or taller than 4096 pixels, give a null
// image; nothing is thrown and nothing is printed.
QImage SkaitytiJpeg(const QString& kelias);
QImage SkaitytiJpegIsAtminties(const QByteArray& duomenys);
