// The user's options while the program runs: one object, without widgets,
// holding every key of the settings file (Nustatymai.h). The settings load
// writes it and the save reads it (ParinkciuLentele); the menu panels, the
// watcher, the server list, the browser, the notifications and the history
// follow its change signals and never one another's controls.
//
// Each setter emits its signal only when the value changes, so a control
// bound both ways (its change sets the option, the option's change sets it)
// settles at once.
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QRect>
#include <QString>

#include "Nustatymai.h"

class TParinktys : public QObject {
    Q_OBJECT
public:
    // The on/off options, in the order the settings file keeps them.
    enum class TZyma {
        TAB,                 // the scoreboard stays shown
        MeniuApacioj,        // the bottom bar stays shown
        ArIseiti,            // ask before leaving
        IssaugotiPakeitimus, // save the options on leaving
        KeistiHosta,         // put the polled address's name into the address box
        PranestiVieta,       // tell when a watched server has a free slot
        PranestiDraugus,     // tell when a friend joins
        NarsykleBeNetikru,   // the browser hides servers with fake players
    };
    Q_ENUM(TZyma)

    static constexpr int kIntervalas = 5000;        // the watcher's refresh, ms
    static constexpr int kServeriaiBendrai = 10000; // the server list's walk, ms
    static constexpr int kNarsyklesGreitis = 5000;  // the browser's pings a minute

    explicit TParinktys(QObject* tevas = nullptr);

    bool Zyma(TZyma zyma) const;
    void NustatytiZyma(TZyma zyma, bool reiksme);
    // The watcher's refresh period as chosen, ms (0: never).
    int Intervalas() const { return intervalas; }
    void NustatytiIntervala(int ms);
    // The server list's period, ms (0: the walk is not repeated).
    int ServeriaiBendrai() const { return serveriaiBendrai; }
    void NustatytiServeriuBendrai(int ms);
    // The browser's pace, pings a minute (0: unlimited).
    int NarsyklesGreitis() const { return narsyklesGreitis; }
    void NustatytiNarsyklesGreiti(int pinguPerMinute);
    // The language file's name, as the settings keep it.
    QString Kalba() const { return kalba; }
    void NustatytiKalba(const QString& failas);
    // The code page of servers' texts that are not UTF-8 (empty: the language's).
    QByteArray Koduote() const { return koduote; }
    void NustatytiKoduote(const QByteArray& pavadinimas);
    // Where the user last put the browser, its frame's corner and its size
    // (empty: never moved nor resized by the user; it opens beside the watcher).
    QRect NarsyklesVieta() const { return narsyklesVieta; }
    void NustatytiNarsyklesVieta(const QRect& vieta);

Q_SIGNALS:
    void ZymaPakito(TParinktys::TZyma zyma, bool reiksme);
    void IntervalasPakito(int ms);
    void ServeriaiBendraiPakito(int ms);
    void NarsyklesGreitisPakito(int pinguPerMinute);
    void KalbaPakito(const QString& failas);
    void KoduotePakito(const QByteArray& pavadinimas);
    void NarsyklesVietaPakito(const QRect& vieta);

private:
    QList<bool> zymos;
    int intervalas = kIntervalas;
    int serveriaiBendrai = kServeriaiBendrai;
    int narsyklesGreitis = kNarsyklesGreitis;
    QString kalba;
    QByteArray koduote;
    QRect narsyklesVieta;
};

// The browser's place as the settings file keeps it, "x,y,width,height", and
// back; what is not four whole numbers with a size of a window reads as empty.
QByteArray VietosTekstas(const QRect& vieta);
QRect SkaitytiVieta(const QByteArray& tekstas);

// The settings file's keys over the options, in the file's order: the eight
// of old first, so a file of old loads exactly as before, then the later
// ones, which are not added to a file that lacks them while at their default.
QList<TNustatymas> ParinkciuLentele(TParinktys& parinktys);
