// The friends list: "Draugai.txt" beside the settings file, UTF-8, one player
// name per line. A player is a friend when their name equals a line of the
// file, letter case and surrounding blanks aside. The scoreboard's right-click
// adds and removes names; the desktop notifications ask who is a friend.
#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>

// The file, as the program names it; RasomasKelias finds its folder.
inline const QString kDraugaiFailas = QStringLiteral("resursai\\Draugai.txt");

class TDraugai {
public:
    // The file beside the settings file (the data folders must be set first).
    TDraugai();
    // The file at `kelias`, a file-system path.
    explicit TDraugai(QString kelias);

    const QString& Kelias() const { return kelias; }

    // Reads the file again; a missing file is an empty list. Throws
    // EFailoKlaida when the file is there but cannot be read; the list then
    // stays as it was.
    void Ikelti();

    // What a name is compared by: the name without surrounding blanks, case folded.
    static QString Raktas(const QString& vardas);

    bool ArDraugas(const QString& vardas) const;
    // A player's name as the server sent it (decoded as the scoreboard shows it).
    bool ArDraugas(const QByteArray& vardas) const;
    // The names of the file, in its order, without blank lines.
    QStringList Vardai() const { return vardai; }

    // The three changes read the file first, so that lines written by hand in
    // the meantime stay, then rewrite it atomically. Each throws EFailoKlaida
    // when the file cannot be read or written; the list and the file then stay
    // as they were. A name that is blank or holds a line break is no name:
    // nothing changes and the result is false.
    // Adds the name (trimmed) as the last line unless it is a friend already.
    bool Prideti(const QString& vardas);
    // Removes every line that matches the name; false when none did.
    bool Pasalinti(const QString& vardas);
    // Adds a name that is not a friend, removes one that is; true when the
    // name is a friend afterwards.
    bool Perjungti(const QString& vardas);

private:
    // The file's lines as read (blank ones included, without line ends).
    QStringList SkaitytiEilutes() const;
    void Rasyti(const QStringList& eilutes);
    void Priimti(const QStringList& eilutes);

    QString kelias;
    QStringList vardai;
    QSet<QString> raktai;
};
