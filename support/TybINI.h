// TTybINI: reads and writes single values of a plain text file divided into
// named sections. It is the one reader of the settings file and of the language
// files.
//
// The file:
//   ; a comment line (it begins with KomentaroZenklas)
//   -->Nustatymai<--          a section header: SectionBeginID + name + SectionEndID
//   TAB=1                     a key line: key + ZenklasLygu + value
// Lines end with CR LF, a lone CR or a lone LF; a NUL byte ends the text. A
// section's key range runs from its header to the next line that is not a
// comment and holds both markers. A key matches every line of the range that
// contains its text anywhere (and does not begin with the comment marker's first
// character); the last match in the file wins, over all copies of the section.
// The value is everything after the first ZenklasLygu of that line, untrimmed,
// or the whole line when it has none.
//
// Nothing is kept in memory: every operation reads the file from disk, and a
// change writes the whole file back, every line ending with CR LF. Each write-back
// replaces the file atomically, so a crash or a full disk leaves the old content
// or the new one.
//
// Parameter types: section names and keys are the program's own ASCII texts and
// are QStrings, matched as their UTF-8 bytes. Values are bytes (QByteArray),
// exactly as they stand in the file; SkaitytiTeksta gives the same value decoded
// for display. The marker properties are QStrings, matched as UTF-8 bytes.
#pragma once

#include <functional>
#include <optional>

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include "Klaidos.h"

// Result texts returned in place of a value (reads) or as the outcome (writes).
inline constexpr char kRezultatasPakeista[] = "###0";     // write: the key's line was replaced
inline constexpr char kRezultatasNeraFailo[] = "###1";    // no file at Byla
inline constexpr char kRezultatasNeraSekcijos[] = "###2"; // no such section (a write appended it)
inline constexpr char kRezultatasNeraRakto[] = "###3";    // no line matches the key (a write inserted it)

class TTybINI : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString SectionBeginID READ SectionBeginID WRITE setSectionBeginID)
    Q_PROPERTY(QString SectionEndID READ SectionEndID WRITE setSectionEndID)
    Q_PROPERTY(QString ZenklasLygu READ ZenklasLygu WRITE setZenklasLygu)
    Q_PROPERTY(QString KomentaroZenklas READ KomentaroZenklas WRITE setKomentaroZenklas)
    Q_PROPERTY(QString Byla READ Byla WRITE setByla)

public:
    explicit TTybINI(QObject* savininkas = nullptr);
    ~TTybINI() override;

    QString SectionBeginID() const { return sectionBeginID; }
    void setSectionBeginID(const QString& v) { sectionBeginID = v, zymes.Pradzia = v.toUtf8(); }
    QString SectionEndID() const { return sectionEndID; }
    void setSectionEndID(const QString& v) { sectionEndID = v, zymes.Pabaiga = v.toUtf8(); }
    QString ZenklasLygu() const { return zenklasLygu; }
    void setZenklasLygu(const QString& v) { zenklasLygu = v, zymes.Lygu = v.toUtf8(); }
    QString KomentaroZenklas() const { return komentaroZenklas; }
    void setKomentaroZenklas(const QString& v) { komentaroZenklas = v, zymes.Komentaras = v.toUtf8(); }

    // The four markers as the bytes the operations match.
    struct TZymes {
        QByteArray Pradzia;
        QByteArray Pabaiga;
        QByteArray Lygu;
        QByteArray Komentaras;
    };
    const TZymes& Zymes() const { return zymes; }

    // The file the operations work on, as the program names it ("resursai\Nustatymai.tyb");
    // each operation passes it through VietinisKelias. Assigning reads nothing. A name
    // holding "*" or "?" (the default "*.Tyb") names no file.
    QString Byla() const { return byla; }
    void setByla(const QString& v) { byla = v; }

    // The value of `raktas` in section `sekcija`, or "###1" (no file), "###2" (no
    // section) or "###3" (no matching line). Never changes the file.
    // Throws EFailoKlaida when a file exists at Byla but cannot be read.
    QByteArray SkaitytiReiksme(const QString& sekcija, const QString& raktas) const;

    // SkaitytiReiksme decoded for display (UTF-8 when valid, else Windows-1257);
    // the markers come through as they are.
    QString SkaitytiTeksta(const QString& sekcija, const QString& raktas) const;

    // Stores `reiksme` as the value of `raktas` in section `sekcija`. Returns
    // "###0" (the key's line was replaced), "###1" (no file; nothing is created),
    // "###2" (the section was appended after an empty line, written, then the key
    // line inserted under it and written again) or "###3" (the key line was
    // inserted directly under the section's last header).
    // Throws EFailoKlaida when the file cannot be read or written back (after a
    // failed second write-back of a new section, the header stays without the key),
    // and EKlaida, before touching the file, when the section, key or value holds
    // CR, LF or NUL, which the line format cannot carry.
    QByteArray RasytiReiksme(const QString& sekcija, const QString& raktas, const QByteArray& reiksme);

    // The two operations on a file content held in memory instead of the file
    // at Byla, with the same markers: the same results (never "###1"), and the
    // write leaves in `turinys` exactly what RasytiReiksme leaves in the file.
    // The write throws EKlaida, leaving `turinys` alone, for line breaks and NUL.
    QByteArray SkaitytiIsTurinio(const QByteArray& turinys, const QString& sekcija, const QString& raktas) const;
    QByteArray RasytiITurini(QByteArray& turinys, const QString& sekcija, const QString& raktas,
                             const QByteArray& reiksme) const;

private:
    QString sectionBeginID;
    QString sectionEndID;
    QString zenklasLygu;
    QString komentaroZenklas;
    TZymes zymes;
    QString byla;
};

// The line format's file helpers, shared by the component and the server
// list's file.

// The lines of a text: up to the first NUL; CR LF, a lone CR and a lone LF each
// end a line, and a text that ends with a line break has no empty line after it.
QList<QByteArray> IsskaidytiEilutes(const QByteArray& turinys);
// The lines joined, each ended by CR LF.
QByteArray SujungtiEilutes(const QList<QByteArray>& eilutes);
// The content of the file at `kelias` (a file-system path), or nothing when no
// file is there. A folder counts as no file, unless `aplankasKlaida` is set, when
// it is an error like any other thing that is not a regular file. Throws
// EFailoKlaida naming the file when it exists but cannot be read.
std::optional<QByteArray> SkaitytiFailoTurini(const QString& kelias, bool aplankasKlaida);

// Replaces the file at `kelias` (a file-system path) by `turinys` atomically: the
// bytes go to a temporary file beside it, which then takes the file's place.
// Throws EFailoKlaida naming the file when that fails; the old content then stays.
void PakeistiFailaAtomiskai(const QString& kelias, const QByteArray& turinys);

// Test seam: when set, PakeistiFailaAtomiskai calls it with the file's path after
// the new content is written and before it replaces the file, so a test can fail
// or kill the writer at the worst moment.
inline std::function<void(const QString& kelias)> PriesPakeiciantFaila;
