// Drawing of the map pictures: abstract top-down layouts made up from the map
// name, and the neutral picture for maps without one of their own.
#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

constexpr int kPaveiksloPlotis = 250;
constexpr int kPaveiksloAukstis = 188;

// File name (without ".jpg") of the neutral picture.
inline QString StandartinioPavadinimas() {
    return QStringLiteral("standartinis");
}

// Maps that get a picture when the generator is given no names.
QStringList ZinomiZemelapiai();

// Whether the name may become a picture file name: lower-case letters, digits,
// '_', '-' and '.', not starting with '.', at most 64 characters, and not the
// name of the neutral picture.
bool TinkamasPavadinimas(const QString& pavadinimas);

// The picture for a map. The layout, colours and markers follow from the name
// alone, so the same name always gives the same pixels.
QImage PiestiZemelapi(const QString& pavadinimas);

// The neutral picture: a dark panel with a target mark and no name.
QImage PiestiStandartini();
