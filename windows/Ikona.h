// The program's icon: a 32 x 32 picture drawn in code (a radar screen with a
// sweep and a blip, in the orange of the server-facing windows), so the
// program ships no picture file for it.
#pragma once

#include <QIcon>
#include <QImage>

// The picture itself, 32 x 32, ARGB with a transparent surround.
QImage ProgramosIkonosVaizdas();

// The same picture as an icon, for the windows and the application.
// Needs a QGuiApplication.
QIcon ProgramosIkona();
