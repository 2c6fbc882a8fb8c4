// The map pictures: "resursai/zemelapiai/" + map + ".jpg", else the
// standard picture of that folder.
#pragma once

#include <QImage>
#include <QString>

// The picture of map `vardas` as a server names it; the standard one when the
// name is no plain file name, its file is missing or broken; an empty image
// when the standard one is too.
QImage ZemelapioVaizdas(const QString& vardas);
