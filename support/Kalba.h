// The interface language in effect: the one language file that every caption
// and message of the program is read from. The watcher owns it and changes it
// when the user picks a language or the settings name one; the other windows
// only read texts through it. Texts are never cached: each lookup reads the
// file as it is on disk now.
#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>

class QObject;
class TTybINI;

class TKalba {
public:
    // The key/value component behind the language is a child of `savininkas`
    // named "TybINI1", so the running program can be inspected by that name.
    explicit TKalba(QObject* savininkas);

    // The language file, as the program names it ("resursai\Kalbos\English.lng").
    QString Byla() const;
    void NustatytiByla(const QString& byla);
    // The language file of the language `vardas` in the folder `aplankas`
    // (the program spells the folder two ways; both reach the same one).
    void NustatytiKalba(const QString& aplankas, const QString& vardas);

    // A text of the language, or a marker ("###1" no file, "###2" no section,
    // "###3" no key), which is shown like any text.
    QString Tekstas(const char* sekcija, const char* raktas) const;
    // The same as the bytes the file holds.
    QByteArray Reiksme(const char* sekcija, const char* raktas) const;
    // How the language writes numbers and dates: the file's "Lokale" (a name
    // such as "lt_LT"), the system's for a file without one.
    QLocale Lokale() const;

private:
    TTybINI* failas;
};
