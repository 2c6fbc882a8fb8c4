// Path helper: the program names its files Windows-style ("resursai\Kalbos\en.lng")
// and spells one folder two ways ("Kalbos", "kalbos"). Every file name of the
// program goes through VietinisKelias before it reaches the file system.
//
// The program's data folder is named "resursai" in those names. Where it really
// lies is set once at start-up (NustatytiDuomenuAplankus): the folder "resursai"
// of the working directory, as in a source checkout, or the shipped folder of an
// installed program together with the user's own folder, which holds the files
// the program writes and any language files or pictures the user adds.
#pragma once

#include <QString>
#include <QStringList>

// Where the names beginning with "resursai" lead.
struct TDuomenuAplankai {
    // The shipped data folder; relative names are relative to the working directory.
    QString Duomenys = QStringLiteral("resursai");
    // The user's folder: looked at before Duomenys, and where the written files
    // live. Empty when the program writes into Duomenys itself.
    QString Vartotojo;

    bool operator==(const TDuomenuAplankai&) const = default;
};

// Sets where "resursai" leads for the rest of the run (the default: the folder
// "resursai" of the working directory, no user folder).
void NustatytiDuomenuAplankus(const TDuomenuAplankai& aplankai);
TDuomenuAplankai DuomenuAplankai();

// Turns a program path into a path for this file system:
// - "\" becomes "/", and runs of separators collapse into one;
// - a relative path whose first component is "resursai" (any letter case) is
//   looked up in the data folders instead: in the user's folder first, where it
//   is taken when it exists, then in the shipped folder, where it is taken when
//   it exists or when there is no user folder; a path found in neither leads
//   into the user's folder;
// - each component is looked up in the folder reached so far: an entry spelled
//   exactly so wins, otherwise an entry equal to it without regard to letter case
//   (the first such in byte order when there are several); from the first
//   component that is not found on, the components stay as written;
// - "." and ".." stay as they are;
// - a relative path is looked up from the current working directory and stays
//   relative; an absolute path stays absolute; a trailing separator is kept.
// Nothing is created. Wildcard characters are ordinary characters here.
QString VietinisKelias(const QString& kelias);

// Every place a program path can lead to, in the order of precedence: for a
// "resursai" path the user's folder (when set) and the shipped folder, each
// resolved as above whether it exists or not; for any other path just
// VietinisKelias. The file search lists them all to offer their union.
QStringList VisiVietiniaiKeliai(const QString& kelias);

// The path of a file that the program rewrites (the settings, the server list).
// With a user folder it is the file in that folder: on first use, when it is
// not there yet, the user folder is made and the shipped file of that name, when
// there is one, is copied into it (writable by its owner). Otherwise, and for
// paths outside "resursai", it is `kelias` unchanged. Either way the result
// goes through VietinisKelias like any program path.
QString RasomasKelias(const QString& kelias);

// Decides where the data lies, at start-up:
// - the working directory holds a "resursai" folder (any letter case): that
//   folder, written in place; the user's folder only when that folder cannot
//   be written;
// - otherwise the installed folder, `programosAplankas` + "/" + `idiegtasKelias`
//   (the shipped data relative to the executable's folder), when it exists,
//   with the user's folder `konfiguracijosAplankas`: an installed program never
//   writes into its shipped data;
// - otherwise the default, the working directory's "resursai" (which then finds
//   nothing, as a program started away from its data always did).
TDuomenuAplankai RastiDuomenuAplankus(const QString& programosAplankas, const QString& idiegtasKelias,
                                      const QString& konfiguracijosAplankas);
