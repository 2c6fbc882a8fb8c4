// Path helper: the program names its files Windows-style ("resursai\Kalbos\en.lng")
// and spells one folder two ways ("Kalbos", "kalbos"). Every file name of the
// program goes through VietinisKelias before it reaches the file system.
#pragma once

#include <QString>

// Turns a program path into a path for this file system:
// - "\" becomes "/", and runs of separators collapse into one;
// - each component is looked up in the folder reached so far: an entry spelled
//   exactly so wins, otherwise an entry equal to it without regard to letter case
//   (the first such in byte order when there are several); from the first
//   component that is not found on, the components stay as written;
// - "." and ".." stay as they are;
// - a relative path is looked up from the current working directory and stays
//   relative; an absolute path stays absolute; a trailing separator is kept.
// Nothing is created. Wildcard characters are ordinary characters here.
QString VietinisKelias(const QString& kelias);
