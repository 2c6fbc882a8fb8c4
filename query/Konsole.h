// The engine's remote console (rcon) from the client's side: the request
// datagrams, the challenge reply, the joining of a command's output, the guard
// that keeps the user's address out of the engine's ban, and the exchange with
// one server that puts them together. No widgets: the console window only
// wires its controls to TKonsole.
//
// The exchange (every datagram starts FF FF FF FF):
//   -> "challenge rcon\n"                       <- "challenge rcon <number>\n\0"
//   -> "rcon <number> \"<password>\" <command>\n"
//   <- one or more 'l' datagrams (type letter, text, NUL), with no end marker;
//      a long one may come split (Skaidymas.h joins it). Refusals come as 'l'
//      text too: "Bad rcon_password.", "Bad challenge.", and for a banned
//      address "You have been banned from this server."
// Xash3D speaks the Quake form instead: no challenge ("challenge rcon" gets no
// answer), the command as "rcon \"<password>\" <command>\n", the output one
// "print\n" datagram per line (the text after the word), and a wrong password
// gets no answer at all. A server not known to answer "challenge rcon" gets
// the command in that form once the challenge has waited the retry time
// (Sesija.h); the form a server answered is kept with what is known of it
// (TServerioZinios, cached across runs), so the next command goes straight.
// A server known to answer "challenge rcon" never gets the Quake form.
//
// The engine drops a request of 512 bytes or more without a word. It counts
// wrong passwords per address and bans the address for good after 5 within
// 30 s; a banned address gets the ban notice for every datagram, so the
// watcher loses the server too. Hence the guard: per server, at most 3
// attempts that the server may have counted as wrong reach it in any 60 s,
// and an attempt whose outcome never came back counts as wrong.
//
// Use from a window:
//
//   Konsole = new TKonsole(NMUDP1, centras->KonsoliuRegistras(), centras->Registras(), centras->Biudzetas(),
//                          &DabarMs, this, centras->Vardai());
//   Konsole->NustatytiServeri(SkaitytiAdresa(tekstas));   // at each showing
//   // NMUDP1's OnDataReceived:
//   Konsole->Gauta(bytes, fromIP, port);
//   // a user action:
//   TKonsolesVeiksmas v = Konsole->Vykdyti(komanda, slaptazodis);
//   // v.Rezultatas says whether it went or why not; what the server answers
//   // comes through the signals.
#pragma once

#include <functional>
#include <optional>

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include "Sesija.h"
#include "Skaidymas.h"
#include "iphostport.h"

class QTimer;
class TAdresuPaieska;
class TNMUDP;
class TUzklausuBiudzetas;

// ---- The datagrams ----

// The engine drops requests of this many bytes or more.
inline constexpr int kKonsolesUzklausosRiba = 512;
// Decimal digits of the longest challenge (a 32-bit number); a command is
// measured against it, so that whatever challenge the server gives, it fits.
inline constexpr int kIssukioSkaitmenys = 10;
// No datagram at all this long after a request: the server does not answer.
inline constexpr qint64 kKonsolesLaukimasMs = 5000;
// An output is whole when this long has passed after its last datagram,
inline constexpr qint64 kKonsolesTylaMs = 300;
// ... or this long after its first, whatever still comes,
inline constexpr qint64 kKonsolesIsvestiesLaikasMs = 10000;
// ... or when it has reached this many bytes (the rest is dropped).
inline constexpr qsizetype kKonsolesIsvestiesRiba = 256 * 1024;

inline constexpr char kBlogasSlaptazodis[] = "Bad rcon_password.";
inline constexpr char kBlogasIssukis[] = "Bad challenge.";
inline constexpr char kUzdraustasAdresas[] = "You have been banned from this server.";

QByteArray KonsolesIssukioUzklausa();
QByteArray KonsolesKomandosUzklausa(quint32 issukis, QByteArrayView slaptazodis, QByteArrayView komanda);
// The command in the Quake form (never longer than the one above).
QByteArray KonsolesQuakeUzklausa(QByteArrayView slaptazodis, QByteArrayView komanda);
// The size of the command request with the longest challenge.
qsizetype KonsolesUzklausosDydis(qsizetype slaptazodzioIlgis, qsizetype komandosIlgis);
// The longest command (in bytes) that fits under the limit with this password;
// below zero when not even the password fits.
int DidziausiaKomanda(qsizetype slaptazodzioIlgis);

// The number of a "challenge rcon <number>" reply; nothing for any other datagram.
std::optional<quint32> SkaitytiKonsolesIssuki(QByteArrayView datagrama);
// The text of an output datagram, 'l' or "print\n", up to its NUL; nothing for any other datagram.
std::optional<QByteArrayView> KonsolesTekstas(QByteArrayView datagrama);

// What the first output datagram of a reply says.
enum class TKonsolesAtsakas {
    Isvestis,          // the command's output
    BlogasSlaptazodis, // "Bad rcon_password.": the server counted a wrong password
    BlogasIssukis,     // "Bad challenge.": a new challenge is needed; nothing counted
    Uzdrausta          // the ban notice: the address is banned
};
TKonsolesAtsakas AtpazintiAtsakyma(QByteArrayView tekstas);

// ---- Joining a command's output ----

// Joins the texts of a command's output datagrams in the order they came, until
// the quiet time has passed after the last one, the time limit after the
// first one, or the size limit is reached.
// At the limit the output is cut back to its last line break (when it holds
// one), so no character is cut in two, and what comes after it is dropped.
class TIsvestiesSurinkejas {
public:
    explicit TIsvestiesSurinkejas(qsizetype riba = kKonsolesIsvestiesRiba, qint64 tylaMs = kKonsolesTylaMs,
                                  qint64 ilgiausiaiMs = kKonsolesIsvestiesLaikasMs)
        : riba(riba), tylaMs(tylaMs), ilgiausiaiMs(ilgiausiaiMs) {}

    // Starts a new output: nothing joined.
    void Pradeti();
    // Adds one datagram's text, received at `dabar`. True while the output may
    // grow; false once it has reached the limit (the text was cut).
    bool Prideti(QByteArrayView tekstas, qint64 dabar);
    // When the quiet time after the last datagram ends (nothing before the first).
    std::optional<qint64> Terminas() const;
    bool ArBaigta(qint64 dabar) const;
    bool ArNukirsta() const { return nukirsta; }
    int Datagramos() const { return datagramos; }
    const QByteArray& Isvestis() const { return isvestis; }

private:
    qsizetype riba;
    qint64 tylaMs;
    qint64 ilgiausiaiMs;
    QByteArray isvestis;
    int datagramos = 0;
    bool nukirsta = false;
    std::optional<qint64> pirmas;
    std::optional<qint64> paskutinis;
};

// ---- The ban guard ----

// One server's attempts that may count as wrong passwords: every command sent
// with a password, from its send until the server is known to have taken the
// password (then it is forgotten), for kSargoLangasMs after its send.
class TKonsolesSargas {
public:
    static constexpr int kRiba = 3;
    static constexpr qint64 kLangasMs = 60000;

    // Milliseconds until another attempt may go (0: now).
    qint64 Laukti(qint64 dabar) const;
    // Counted attempts within the window.
    int Skaicius(qint64 dabar) const;
    // An attempt sent at `dabar`; its number for the calls below.
    quint64 Pradeti(qint64 dabar);
    // The server took the password, or refused the challenge before looking at
    // it: the attempt does not count.
    void Neskaiciuoti(quint64 numeris);
    // Drops what is older than the window.
    void Isvalyti(qint64 dabar);
    // The send times of the counted attempts, oldest first.
    QList<qint64> Laikai() const;
    // An attempt known from before (a former run): it counts until it ages out.
    void PridetiLaika(qint64 laikas);

private:
    struct TBandymas {
        quint64 Numeris = 0;
        qint64 Laikas = 0;
    };
    QList<TBandymas> bandymai; // in send order
    quint64 paskutinisNumeris = 0;
};

// What the console knows of every server for the run: the challenge kept per
// server and the guard's attempts, keyed by "ip:port". The attempts are also
// kept in a file (when one is set), so that a restarted program does not
// start counting from zero: it holds addresses and times, never a password.
class TKonsoliuRegistras {
public:
    TKonsolesSargas& Sargas(const QString& serveris) { return sargai[serveris]; }
    std::optional<quint32> Issukis(const QString& serveris) const;
    void NustatytiIssuki(const QString& serveris, std::optional<quint32> issukis);

    // The file of the attempts: read now (what it holds joins what is known),
    // written after every change (0600, PrivatusFailas.h). An empty path: no file.
    // A file at `senas`, where an earlier version kept it, is read too, and
    // goes once its attempts are in the new file.
    void NustatytiFaila(const QString& kelias, qint64 dabar, const QString& senas = {});
    QString Failas() const { return failas; }
    // Writes the file when one is set; false when that failed.
    bool Issaugoti(qint64 dabar) const;
    // A failed write was told to the user (once a run is enough).
    bool KlaidaPasakyta = false;

    // The attempts as the file holds them: one line "ip:port epoch-ms" each,
    // the times turned from the clock of `dabar` to the wall clock of `epocha`.
    QByteArray Irasas(qint64 dabar, qint64 epocha) const;
    void Ikelti(QByteArrayView irasas, qint64 dabar, qint64 epocha);

private:
    QHash<QString, TKonsolesSargas> sargai;
    QHash<QString, quint32> issukiai;
    QString failas;
};

// ---- The exchange with one server ----

enum class TKonsolesRezultatas {
    Siunciama,             // the request is on its way (after the challenge, when one is needed)
    Tuscia,                // an empty command: nothing to do
    BeServerio,            // no server to talk to
    IeskomaAdreso,         // the server's name is still being looked up
    NerastasAdresas,       // the server's name has no address, or the port is no port
    Uzimta,                // the previous command is still waiting for its reply
    BeSlaptazodzio,        // no password
    NetinkamasSlaptazodis, // a password with a double quote or a control character
    NetinkamaKomanda,      // a command with a line break or a NUL
    PerIlga,               // the request would reach the 512-byte limit
    Atmestas,              // the server refused this password; it goes again only once typed anew
    Saugoma,               // the guard: kRiba attempts may have counted within the last minute
    Biudzetas              // the server's query budget (Biudzetas.h) has no room for a command now
};

struct TKonsolesVeiksmas {
    TKonsolesRezultatas Rezultatas = TKonsolesRezultatas::Tuscia;
    qint64 LauktiMs = 0;       // Saugoma, Biudzetas: ms until a command may go
    int DidziausiaKomanda = 0; // PerIlga: the longest command that fits with this password
};

class TKonsole : public QObject {
    Q_OBJECT
public:
    using TLaikrodis = std::function<qint64()>;

    // `udp`: the window's endpoint, which this object sends through; its
    // received datagrams are handed to Gauta. `registras`, `serveriai`,
    // `biudzetas`: the challenges and guard, what is known of the servers
    // (their round trips and console forms) and their query budgets (the
    // hub's, Centras.h). `paieska`: the name lookups to go through (the hub's;
    // without one, its own).
    TKonsole(TNMUDP* udp, TKonsoliuRegistras& registras, TServeriuRegistras& serveriai, TUzklausuBiudzetas& biudzetas,
             TLaikrodis laikrodis = {}, QObject* tevas = nullptr, TAdresuPaieska* paieska = nullptr);
    ~TKonsole() override;

    // The server, as the watcher parses its address. A name is looked up in
    // the background at once (a command given before the answer is refused
    // with IeskomaAdreso). Setting another server drops the command in flight.
    void NustatytiServeri(const TServerioAdresas& naujas);
    const TServerioAdresas& Adresas() const { return adresas; }
    // "ip:port" once the address is known, else empty.
    QString Serveris() const;

    // One user action: sends at most one request that can count against the password.
    TKonsolesVeiksmas Vykdyti(const QString& komanda, const QString& slaptazodis);
    // The user typed the password anew: a refused one may be sent again, and
    // one the server takes is told again (SlaptazodisPriimtas).
    void SlaptazodisPakeistas() {
        atmestiSlaptazodziai.remove(Serveris());
        priimtiSlaptazodziai.remove(Serveris());
    }

    // A datagram the endpoint received. Only the server asked is listened to.
    void Gauta(const QByteArray& datagrama, const QString& is, int portas);
    // Deadlines due at the clock's time now (the object's timer calls it; tests may too).
    void Tikrinti();
    std::optional<qint64> Terminas() const;
    bool ArUzimta() const { return busena != TBusena::Laisva; }
    // Output datagrams of the command in flight joined so far.
    int IsvestiesDatagramos() const { return surinkejas.Datagramos(); }
    qint64 Dabar() const { return laikrodis(); }
    // The guard and challenges in use.
    TKonsoliuRegistras& Registras() const { return *registras; }

Q_SIGNALS:
    // The output of a command, as the server sent it; `nukirsta`: cut at the size limit.
    void Isvestis(const QByteArray& tekstas, bool nukirsta);
    // The server took the password: a command's whole output came, and no
    // refusal in it. Told once per password typed, before that Isvestis.
    void SlaptazodisPriimtas(const QString& slaptazodis);
    // "Bad rcon_password.": the server counted the attempt; its text.
    void SlaptazodisAtmestas(const QByteArray& tekstas);
    // "Bad challenge." again after a new challenge: the command is given up.
    void IssukisAtmestas(const QByteArray& tekstas);
    // The ban notice.
    void Uzdrausta(const QByteArray& tekstas);
    // No datagram came within kKonsolesLaukimasMs of the request; `quakeForma`:
    // the command went in the Quake form, where a wrong password is not answered.
    void Neatsako(bool quakeForma);
    // The lookup of the server's name found no address, or the port is no port.
    void AdresasNerastas();
    // The endpoint could not send.
    void SiuntimasNepavyko(const QString& klaida);
    // The guard's file cannot be written (its path): said once a run.
    void SargasNeissaugotas(const QString& failas);

private:
    enum class TBusena {
        Laisva,          // nothing in flight
        LaukiaIssukio,   // "challenge rcon" sent
        LaukiaIsvesties, // the command sent, nothing back yet
        Renka            // output datagrams coming
    };
    struct TKomanda {
        QByteArray Komanda;
        QByteArray Slaptazodis;
        bool IssukisPakartotas = false;  // a "Bad challenge." was answered with a new challenge
        bool Quake = false;              // the attempt in flight went in the Quake form
        bool QuakeBandyta = false;       // the Quake form went once for this command
        std::optional<quint64> Bandymas; // the guard's number of the attempt in flight
    };

    // Every datagram of the console leaves through here, counted in the
    // server's query budget with the pollers' ones: false when the endpoint
    // could not send it, or the budget has no room left for it.
    bool Siusti(const QByteArray& datagrama);
    void SiustiIssukioPrasyma();
    void SiustiKomanda();
    // The command in the Quake form, once per command.
    void SiustiQuake();
    // Counts the attempt in the guard and sends it.
    void SiustiBandyma(const QByteArray& datagrama);
    TKonsolesForma Forma() const;
    void NustatytiForma(TKonsolesForma forma);
    // The challenge request in flight gives way to the Quake form when it has
    // waited the retry time unanswered.
    bool ArBandysQuake() const;
    void GautaTekstas(QByteArrayView tekstas);
    // A refusal of the command in flight: "Bad rcon_password.", "Bad challenge.", the ban notice.
    void Atsisakyta(TKonsolesAtsakas atsakas, const QByteArray& tekstas);
    void BaigtiIsvestimi();
    void Baigti();
    void Planuoti();
    void AdresasRastas(const QString& hostas, const QString& ip);
    void IssaugotiSarga();

    TNMUDP* udp;
    TKonsoliuRegistras* registras;
    TServeriuRegistras* serveriai;
    TUzklausuBiudzetas* biudzetas;
    TLaikrodis laikrodis;
    TAdresuPaieska* paieska = nullptr;
    QTimer* laikmatis = nullptr;
    TDaliuSurinkejas dalys;
    TIsvestiesSurinkejas surinkejas;

    TServerioAdresas adresas;
    QString ip; // the dotted address once known
    TBusena busena = TBusena::Laisva;
    std::optional<TKomanda> komanda;
    qint64 siustaMs = 0;
    // Per server, a digest of the password it refused, and of the one it took
    // (told already), until the user types the password anew.
    QHash<QString, QByteArray> atmestiSlaptazodziai;
    QHash<QString, QByteArray> priimtiSlaptazodziai;
};
