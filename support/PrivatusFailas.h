// What the program writes in the user's folders tells which servers the user
// watches or runs, and when: it is the user's alone. Folders the program makes
// are 0700 and files it makes 0600; what exists keeps its mode, so a user who
// chose otherwise is not overruled.
#pragma once

#include <QString>

class QSaveFile;

// Makes the folder `kelias` with every missing folder above it, each 0700.
// True when the folder is there.
bool SukurtiPrivatuAplanka(const QString& kelias);

// Opens `failas` for writing, its folder made as above: the file it replaces
// keeps its mode, a new one is 0600. False when it cannot be opened.
bool AtidarytiPrivatu(QSaveFile& failas);

// Makes `kelias` an empty 0600 file, its folder made as above, unless it exists:
// for a file that another library fills (SQLite's, whose -wal and -shm files
// take the mode of the database). True when the file is there.
bool SukurtiPrivatuFaila(const QString& kelias);

// The user's state folder of the program ($XDG_STATE_HOME/Velmorant, by
// default ~/.local/state/Velmorant): what the program must keep across runs
// and that is no cache to be emptied.
QString BusenosAplankas();
