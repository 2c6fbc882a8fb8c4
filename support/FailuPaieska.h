// FailuPaieska: lists the files of a folder that match a wildcard mask,
// optionally walking its subfolders.
#pragma once

#include <QString>
#include <QStringList>

// Appends to `sarasas` every entry of the folder `katalogas` that is not a folder
// and whose name matches `kauke`, in the order the directory gives them (nothing
// is sorted), and returns how many it appended; the list's earlier entries stay.
//
// `katalogas` ends with a separator ("\" or "/"), since the mask is appended to it
// directly; the folder part of katalogas + kauke goes through VietinisKelias, so
// "resursai\kalbos\" reaches the folder whatever its letter case on disk. When
// the data folder lies in two places (VisiVietiniaiKeliai), both are searched, the
// user's first, and a name (relative to the searched folder) that the first already
// gave is not given again. Each
// appended entry is that resolved folder path (with "/" separators) followed by
// the name, so QFileInfo can split it.
//
// The mask matches names without regard to letter case: "*" stands for any run of
// characters, "?" for one; other characters stand for themselves. Hidden files
// (names beginning with ".") are listed like any other.
//
// With `suPakatalogiais`, each subfolder is searched the same way after the
// folder's own files, its entries appended as folder + subfolder + "/" + name.
// Hidden subfolders (names beginning with ".") and symbolic links to folders are
// not entered. A missing folder gives 0 and appends nothing.
int IeskotiFailu(const QString& katalogas, const QString& kauke, bool suPakatalogiais, QStringList& sarasas);

// The mask test used above, exposed for the callers that match one name.
bool AtitinkaKauke(const QString& vardas, const QString& kauke);
