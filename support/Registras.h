// Reading text values of the Windows registry as Wine keeps it: in the text
// files of a Wine prefix ($WINEPREFIX, by default ~/.wine).
//
//   HKEY_CURRENT_USER   user.reg
//   HKEY_LOCAL_MACHINE  system.reg
//   HKEY_USERS          userdef.reg
//   HKEY_CLASSES_ROOT   system.reg, under Software\Classes
#pragma once

#include <QString>

// The text a read gives when the key cannot be opened.
inline constexpr char kRaktoNera[] = "#001";

// Root selectors: 1 classes root, 2 current user, 3 local machine, 4 users;
// any other value means the current user.
inline constexpr int kHkeyClassesRoot = 1;
inline constexpr int kHkeyCurrentUser = 2;
inline constexpr int kHkeyLocalMachine = 3;
inline constexpr int kHkeyUsers = 4;

// Reads the value `reiksmesVardas` of the key `kelias` (a leading "\" makes it
// start at the root) under the root `saknis` into `rezultatas`: a plain or
// expandable string up to its first zero character, unexpanded; the empty text
// for a missing value or a value of another type; "#001" when the file or the
// key cannot be found. Key and value names match without regard to case.
void SkaitytiRegistra(int saknis, const QString& kelias, const QString& reiksmesVardas, QString& rezultatas);

// The folder of the Wine prefix whose registry is read.
QString WineAplankas();
