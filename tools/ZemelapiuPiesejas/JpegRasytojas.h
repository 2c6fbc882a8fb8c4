// JPEG encoding for the map picture generator, with libjpeg directly.
#pragma once

#include <QByteArray>
#include <QImage>

// Encodes the picture as a baseline colour JPEG (optimised Huffman tables) at
// the given quality (1..100). Gives an empty array if libjpeg fails.
QByteArray KoduotiJpeg(const QImage& vaizdas, int kokybe);
