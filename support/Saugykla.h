// Passwords in the desktop's secret store: the Secret Service of GNOME and KDE
// (through QtKeychain, never its plain-file fallback), keyed by a text of the
// caller's. Nothing here writes a file. Built without QtKeychain, every call
// answers NeraSaugyklos.
//
// Calls return at once; the answer comes later from the event loop, to the
// callback, unless `kontekstas` is gone by then.
#pragma once

#include <functional>

#include <QObject>
#include <QString>

enum class TSaugyklosBusena {
    Gerai,         // done; a read found the password
    NeraIraso,     // a read or delete found nothing under the key
    NeraSaugyklos, // no secret store on this desktop (or the program was built without one)
    Klaida         // the store is there but refused or failed; Klaida says why
};

struct TSaugyklosAtsakymas {
    TSaugyklosBusena Busena = TSaugyklosBusena::NeraSaugyklos;
    QString Slaptazodis; // a read's password
    QString Klaida;      // the store's own words
};

class TSlaptazodziuSaugykla : public QObject {
    Q_OBJECT
public:
    using TAtsakas = std::function<void(const TSaugyklosAtsakymas&)>;

    // `tarnyba`: the name the program's entries go under in the store.
    explicit TSlaptazodziuSaugykla(const QString& tarnyba, QObject* tevas = nullptr);

    // Whether the program was built with a secret store at all.
    static bool ArSukompiliuota();

    void Skaityti(const QString& raktas, QObject* kontekstas, TAtsakas atsakas);
    void Rasyti(const QString& raktas, const QString& slaptazodis, QObject* kontekstas, TAtsakas atsakas);
    void Trinti(const QString& raktas, QObject* kontekstas, TAtsakas atsakas);

    QString Tarnyba() const { return tarnyba; }

private:
    QString tarnyba;
};
