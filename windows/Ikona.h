// The program's icon: a 32 x 32 picture drawn in code (a radar screen with a
// sweep and a blip, in the orange of the server-facing windows), so the
// program ships no picture file for it.
#pragma once

#include <QIcon>
#include <QImage>

// The picture itself, `dydis` x `dydis` (32 by default), ARGB with a
// transparent surround; other sizes are the same drawing scaled, not resampled.
// Needs no application object, so a build tool can export it.
QImage ProgramosIkonosVaizdas(int dydis = 32);

// The same picture as an icon, for the windows and the application.
// Needs a QGuiApplication.
QIcon ProgramosIkona();
