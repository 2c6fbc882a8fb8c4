// Server address helpers: a server's address as the user typed it
// (TServerioAdresas, read by the one parser below), turning a host into its
// dotted IPv4 form and back, and name lookups that never block the caller.
//
// TAdresuPaieska answers from what it already knows and looks the rest up in
// the background, so no handler waits on the name service. The program has
// one, the hub's (TCentras::Vardai()): the poller's rounds, the console and
// the watcher's reverse lookups all go through it.
//
//   paieska = centras->Vardai();
//   connect(paieska, &TAdresuPaieska::IPRastas, this, &TfrmX::IPRastas);
//   connect(paieska, &TAdresuPaieska::VardasRastas, this, &TfrmX::VardasRastas);
//
//   paieska->IP(hostas)      dotted IPv4 text of `hostas` when it is known now:
//                            a dotted address is its own answer (never looked
//                            up), a name answered before comes from the cache.
//                            Otherwise std::nullopt, and a lookup is started
//                            (one per name, however often it is asked); when it
//                            ends, IPRastas(hostas, ip) is emitted and later
//                            calls answer at once. A name that cannot be
//                            resolved answers with itself.
//   paieska->Vardas(ip)      the same for the host name of a dotted address
//                            (reverse lookup, "change the host" option);
//                            VardasRastas(ip, vardas) when it ends. Text that is
//                            no dotted address answers with itself at once.
//
//   Asking early pays: a window can call IP(hostas) when it sends its requests
//   and again when the reply arrives. Answers are reused for Galiojimas() ms
//   (failures for a tenth of that); an older answer is still returned while a
//   fresh lookup runs. A lookup that has not answered after LaikoRiba() ms counts
//   as failed, and its late answer is dropped. Signals are always emitted from
//   the event loop, never from inside IP() or Vardas().
//
//   paieska->Rasti(hostas, kontekstas, baigta)
//                            for a caller that waits for the address (the
//                            poller's rounds): baigta(ip) with its dotted form,
//                            or with the name itself when it cannot be
//                            resolved. From the same cache and lookups as IP(),
//                            but a name that failed before is looked up anew,
//                            and the answer comes at once, from inside the
//                            call, when it is known or the name service gives
//                            it at once.
//
// The lookup seam: NustatytiPaieska replaces the one lookup function of the
// process (forward for a name, reverse for a dotted address); every
// TAdresuPaieska goes through it, so a test can put a name service that
// answers late, wrongly or never under the whole program.
#pragma once

#include <functional>
#include <optional>

#include <QElapsedTimer>
#include <QHash>
#include <QHostInfo>
#include <QObject>
#include <QHashFunctions>
#include <QList>
#include <QPointer>
#include <QString>

class QHostAddress;

inline constexpr char kNumatytasPortas[] = "27015";

struct TAdresoDalys {
    QString Hostas;
    QString Portas;
    bool operator==(const TAdresoDalys&) const = default;
};

// Splits at the first ':'. Without one, the host is the whole text (untrimmed)
// and the port "27015"; with one, both sides are trimmed and an empty port
// becomes "27015". The port stays text.
TAdresoDalys AtskirtiPorta(const QString& adresas);

// A server's address: the host as typed (a name or a dotted address) and the
// port. Its text form, "host:port", is the key the windows know the server
// by (the history, the round records); once the host is resolved, the same
// form of its dotted address, "ip:port", is the key of what is known of the
// server and of its query budget.
struct TServerioAdresas {
    QString Hostas;
    int Portas = 0;

    QString Tekstas() const { return Hostas + u':' + QString::number(Portas); }
    // A port datagrams can go to; a round to any other fails to be sent.
    bool ArTinkamasPortas() const { return Portas >= 1 && Portas <= 65535; }
    bool operator==(const TServerioAdresas&) const = default;
    friend size_t qHash(const TServerioAdresas& a, size_t seed = 0) { return qHashMulti(seed, a.Hostas, a.Portas); }
};

// The one reading of an address text: split by AtskirtiPorta, the port text
// turned into a number by the whole-number conversion (Skaiciai.h), so "h:$6987"
// is port 27015 and "h:70000" an address whose rounds fail to be sent. A port
// text that is no whole number raises the conversion's error; the second form
// answers nothing instead.
TServerioAdresas SkaitytiAdresa(const QString& tekstas);
std::optional<TServerioAdresas> BandytiSkaitytiAdresa(const QString& tekstas);

// The dotted text of an IPv4 address ("10.0.0.5"); the one formatter of the
// program. Other addresses in Qt's own text form.
QString IPTekstas(quint32 ip);
QString IPTekstas(const QHostAddress& adresas);

// The address of an IPv4 text in the forms the socket library reads as one
// ("10.0.0.5", also "10.5" or "0x0a.0.0.5"), in host byte order; nothing for
// any other text. No lookup.
std::optional<quint32> TaskuotasAdresas(const QString& tekstas);

// One lookup: `tekstas` is a name (forward: the answer's addresses) or a dotted
// address (reverse: the answer's host name). `baigta` is called once, on the GUI
// thread, unless `kontekstas` is destroyed first.
using TPaieskosPabaiga = std::function<void(const QHostInfo&)>;
using TPaieska = std::function<void(const QString& tekstas, QObject* kontekstas, TPaieskosPabaiga baigta)>;

// Replaces the lookup of the process; an empty function restores the system
// resolver. Returns the one it replaces.
TPaieska NustatytiPaieska(TPaieska nauja);

// Runs one lookup through the current seam.
void Ieskoti(const QString& tekstas, QObject* kontekstas, TPaieskosPabaiga baigta);

class TAdresuPaieska : public QObject {
    Q_OBJECT

public:
    static constexpr int kNumatytaLaikoRiba = 10000;
    static constexpr int kNumatytasGaliojimas = 300000;
    static constexpr int kDidziausiasIrasu = 256;

    explicit TAdresuPaieska(QObject* tevas = nullptr);
    ~TAdresuPaieska() override;

    std::optional<QString> IP(const QString& hostas);
    std::optional<QString> Vardas(const QString& ip);
    // `baigta` is called once, unless `kontekstas` is destroyed first.
    void Rasti(const QString& hostas, QObject* kontekstas, std::function<void(const QString& ip)> baigta);

    int LaikoRiba() const { return laikoRiba; }
    void setLaikoRiba(int ms) { laikoRiba = ms; }
    int Galiojimas() const { return galiojimas; }
    void setGaliojimas(int ms) { galiojimas = ms; }
    // Lookups started and not yet ended.
    int Vykdomos() const;

Q_SIGNALS:
    void IPRastas(const QString& hostas, const QString& ip);
    void VardasRastas(const QString& ip, const QString& vardas);

private:
    struct TLaukiantis {
        QPointer<QObject> Kontekstas;
        std::function<void(const QString&)> Baigta;
    };
    struct TIrasas {
        QString Atsakymas;
        bool ArYra = false;            // an answer (or the failure's fallback) is there
        bool ArPavyko = false;         // the name service answered it
        QElapsedTimer Amzius;          // since the answer came
        QObject* Vyksta = nullptr;     // the running lookup's context
        QList<TLaukiantis> Laukiantys; // Rasti's callers, told when it ends
    };
    enum class TKryptis { Pirmyn, Atgal };

    std::optional<QString> Atsakyti(TKryptis kryptis, const QString& tekstas);
    void Pradeti(TKryptis kryptis, const QString& tekstas);
    // `atideti`: the signal goes through the event loop (the answer came
    // from inside a call).
    void Baigti(TKryptis kryptis, const QString& tekstas, QObject* kontekstas, const std::optional<QHostInfo>& info,
                bool atideti);
    QHash<QString, TIrasas>& Lentele(TKryptis kryptis) { return kryptis == TKryptis::Pirmyn ? ipLentele : vardai; }
    void Apriboti(QHash<QString, TIrasas>& lentele);

    QHash<QString, TIrasas> ipLentele;
    QHash<QString, TIrasas> vardai;
    int laikoRiba = kNumatytaLaikoRiba;
    int galiojimas = kNumatytasGaliojimas;
};
