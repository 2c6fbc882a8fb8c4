// The poller: the rounds of any number of servers at once over one UDP
// endpoint. A window hands it an address and the round's settings, whose
// callbacks hear what the round comes to; the poller keeps, per round, the
// server's dialect session (Sesija.h), its outstanding requests, retries and
// deadlines, and keeps every server within its query budget (Biudzetas.h),
// all windows together.
//
//   TApklausa::TRaundoNustatymai n(kSarasoPrasymai, TRaundoSantrauka::TSaltinis::Sarasas, this);
//   n.Atsakymas = [this](TApklausa::TId id, const TSesijosAtsakymas& a) { ... };
//   n.Baigtas = [this](TApklausa::TId id, bool arAtsake) { ... };
//   TApklausa::TId id = apklausa->Pradeti(SkaitytiAdresa(u"host:27015"_s), n);
//
// The program has one poller, the hub's (Centras.h), for every window.
//
// Pradeti queues a round; in the windows' lane at most kDaugiausiaVienuMetu
// rounds are in flight, each new one started kPradziuTarpasMs after the one
// before (a pause of the event loop's timers, so a test's clock that stands
// still does not hold the starts up). The browser's pings go in a lane of
// their own (TJuosta::Narsykle): kDaugiausiaNarsykles in flight, started as
// soon as there is room (the browser paces them), each with the time-out its
// settings give.
//
// A host name is resolved by the hub's name lookups (TAdresuPaieska::Rasti,
// iphostport.h), without holding anything up: a name resolved before goes at
// once, any other waits for its lookup. One that cannot be resolved goes to
// the round's NerastasHostas, or without one to the endpoint's OnInvalidHost
// (from inside Pradeti when the lookup answers at once), and, when that
// reports it handled, is looked up once more; then the round fails
// (Nepavyko). A round that cannot be sent fails too.
//
// The server is known by "ip:port" of its resolved address: the registry of
// what is known of it (Sesija.h) and its query budget alike, whether its
// window typed a name or the dotted address. The round's record keeps the
// address as typed.
//
// Every datagram from the address and port of a round in flight goes through
// that round's session and, unless it means nothing (a fragment, a duplicate,
// a challenge), reaches the round's Atsakymas, from inside the endpoint's
// OnDataReceived. A datagram no round claims goes to whoever else listens on
// the endpoint (NustatytiKita: the hub's LAN search) when it listens to its
// port; anything else is dropped by the endpoint's filter as it is read. A
// round ends when all its requests are answered, when the window ends it
// (Baigti), when a new round of the same window to the same server starts,
// or its time-out after it went out: Baigtas then tells whether its round
// trip was measured (false: the server stayed silent). Apart from a bad
// name's handler, no callback comes from inside Pradeti or Baigti.
//
// Every round that left the queue (went out, or failed to) is reported once
// more as RaundasBaigtas when it ends, however it ends, after its Baigtas:
// what its replies said (RaundoSantrauka.h), for the fake-player judge, the
// history and the notifications. The record's time is the Unix time at which
// the round left the queue (NustatytiUnixLaikrodi; the system's by default).
// Rounds still open when the poller goes are not reported.
//
// Everything else is timed by one clock, a function returning milliseconds
// (monotonic); tests give their own. While rounds are open the poller looks
// at it at least every kDidziausiasMiegasMs, so a clock moved on by a test is
// seen at once.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>

#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QString>

#include "Biudzetas.h"
#include "RaundoSantrauka.h"
#include "Sesija.h"
#include "iphostport.h"

class QTimer;
class TNMUDP;

class TApklausa : public QObject {
    Q_OBJECT
public:
    using TId = quint64;
    using TLaikrodis = std::function<qint64()>;

    static constexpr qint64 kLaukimoRibaMs = 5000;
    static constexpr int kDaugiausiaVienuMetu = 20;
    static constexpr qint64 kPradziuTarpasMs = 5;
    static constexpr int kDaugiausiaNarsykles = 256;
    static constexpr int kDidziausiasMiegasMs = 50;

    // Which lane a round waits in: the windows' (spaced, few at once) or the
    // browser's (many at once, paced by the browser).
    enum class TJuosta { Bendra, Narsykle };

    // What one round asks, whose it is, and who hears of it. Its replies, its
    // end and a failed send are reported to the callbacks (any may be empty)
    // as long as `Kontekstas` lives; a name that cannot be resolved goes to
    // NerastasHostas instead of the endpoint's OnInvalidHost (`handled`: look
    // it up once more).
    struct TRaundoNustatymai {
        explicit TRaundoNustatymai(TPrasymai prasymai = {},
                                   TRaundoSantrauka::TSaltinis saltinis = TRaundoSantrauka::TSaltinis::Stebetojas,
                                   QObject* kontekstas = nullptr)
            : Prasymai(prasymai), Saltinis(saltinis), Kontekstas(kontekstas) {}

        TPrasymai Prasymai;
        // Which window the round's record names.
        TRaundoSantrauka::TSaltinis Saltinis = TRaundoSantrauka::TSaltinis::Stebetojas;
        QObject* Kontekstas = nullptr;
        TJuosta Juosta = TJuosta::Bendra;
        // The dialect a server the registry does not know yet is asked in
        // (Nezinomas: found out, the first round asks both).
        TDialektas Dialektas = TDialektas::Nezinomas;
        std::function<void(TId, const TSesijosAtsakymas&)> Atsakymas;
        std::function<void(TId, bool arAtsake)> Baigtas;
        std::function<void(TId)> Nepavyko;
        // Whether the round takes datagrams now (empty: always). A round that
        // takes none is left as if they never came.
        std::function<bool(TId)> Priima;
        std::function<void(bool& handled)> NerastasHostas;
        // How long the round waits for its replies.
        qint64 LaukimoRibaMs = kLaukimoRibaMs;
    };

    // Whoever else listens on the endpoint: `Klauso` tells whether datagrams
    // from a port are its own now, `Gauta` takes those no round claims.
    struct TKitas {
        std::function<bool(quint16 portas)> Klauso;
        std::function<void(const QHostAddress& is, quint16 portas, const QByteArray& datagrama)> Gauta;
    };

    // `vardai`: the lookups of host names (the hub's); `laikrodis`: the
    // monotonic clock (the system's by default).
    TApklausa(TNMUDP* galas, TAdresuPaieska* vardai, TServeriuRegistras& registras, TUzklausuBiudzetas& biudzetas,
              TLaikrodis laikrodis = {}, QObject* tevas = nullptr);
    ~TApklausa() override;

    // Queues a round to `adresas`. A round of the same context (of the same
    // source, without one) to the same address still open is ended first.
    TId Pradeti(const TServerioAdresas& adresas, TRaundoNustatymai nustatymai);
    // Ends a round without a report; its later datagrams are dropped.
    void Baigti(TId id);
    void BaigtiVisus();
    // Ends, without a report, every round started with this context.
    void BaigtiVisus(const QObject* kontekstas);

    // The round is queued, being looked up or sent, or open.
    bool ArVyksta(TId id) const;
    // The round is under way and its round trip has not been measured yet.
    bool ArLaukiaPingo(TId id) const;
    // The round's server as its window addressed it; empty when there is no such round.
    TServerioAdresas Serveris(TId id) const;
    // Where the round's datagrams go, its host in dotted form, once it is
    // resolved (always, by the time a reply comes); nothing before, or
    // without such a round.
    std::optional<TServerioAdresas> IPAdresas(TId id) const;
    // Milliseconds since the round went out (0 while it waits to).
    qint64 Praejo(TId id) const;
    // Rounds in flight (looked up, sent, waiting for their replies), and queued.
    int Vykdomi() const;
    int Eileje() const;
    // Whether the round still waits for its round trip and its time-out falls
    // due within `paklaidaMs` (a timer tick due together with it may take the
    // time-out rather than start a round anew).
    bool ArBaigiasiLaikas(TId id, qint64 paklaidaMs) const;
    // The interval in effect for rounds asking `prasymai` of `adresas`
    // when `norimasMs` is asked for: the server's budget may make it longer.
    // A name not resolved yet counts as a server not met.
    int Tarpas(const TServerioAdresas& adresas, TPrasymai prasymai, int norimasMs) const;

    TNMUDP* Galas() const { return galas; }
    void NustatytiKita(TKitas naujas) { kitas = std::move(naujas); }
    // The clock of the records' times, Unix ms (empty: the system's).
    void NustatytiUnixLaikrodi(TLaikrodis naujas);

Q_SIGNALS:
    // A round that left the queue has ended; after its Baigtas, if any.
    void RaundasBaigtas(const TRaundoSantrauka& raundas);

private:
    enum class TBusena { Eileje, Ieskoma, Laukia, Vyksta, Nepavyko };
    struct TRaundas {
        TId Id = 0;
        TServerioAdresas Adresas;
        QString Raktas; // "ip:port", the registry's and the budget's key, once resolved
        TBusena Busena = TBusena::Eileje;
        std::optional<quint32> Ip;
        std::unique_ptr<TUzklausuSesija> Sesija;
        qint64 Pradzia = 0; // the time-out counts from here
        int Paieskos = 0;
        QObject* Paieska = nullptr; // the running lookup's context, a child of the poller
        bool ArIsejo = false;       // it left the queue: its end is reported
        TRaundoSantrauka Santrauka; // what its replies said so far
        TRaundoNustatymai Nustatymai;
        QPointer<QObject> Kontekstas; // its starter, while it lives
    };

    void NustatytiBusena(TRaundas& r, TBusena nauja);
    static bool ArNarsykles(const TRaundas& r) { return r.Nustatymai.Juosta == TJuosta::Narsykle; }
    static quint64 SiuntejoRaktas(quint32 ip, quint16 portas) { return (quint64(ip) << 16) | portas; }
    static QString Raktas(quint32 ip, int portas) { return TServerioAdresas{IPTekstas(ip), portas}.Tekstas(); }
    void Vykdyti();
    // Runs the step (again while something asked for one meanwhile); false
    // when a step is under way already, which then goes round once more.
    bool Zingsniuoti();
    void Zingsnis(qint64 dabar);
    void Planuoti();
    void Isspresta(TRaundas& r, quint32 ip);
    void Isleisti(TRaundas& r, qint64 dabar);
    void Ieskoti(TRaundas& r);
    void PaleistiPaieska(TRaundas& r);
    void PaieskaBaigta(TId id, const QObject* kontekstas, const QString& ip);
    void Nepavyko(TRaundas& r);
    bool Siusti(TRaundas& r, const QList<QByteArray>& datagramos, qint64 dabar);
    void Uzbaigti(TId id, bool pranesti);
    void Gauta(int kiekis, const QString& is, int portas);
    static void Kaupti(TRaundoSantrauka& santrauka, const TSesijosAtsakymas& atsakymas);
    void Pranesti(std::function<void()> pranesimas);
    TRaundas* Rasti(TId id);
    const TRaundas* Rasti(TId id) const;

    TNMUDP* galas;
    TAdresuPaieska* vardai;
    TLaikrodis laikrodis;
    TLaikrodis unixLaikrodis;
    TServeriuRegistras* registras;
    TUzklausuBiudzetas* biudzetas;
    QTimer* laikmatis = nullptr;
    QTimer* tarpas = nullptr; // runs while the windows' lane keeps its pause between starts
    TKitas kitas;

    std::map<TId, TRaundas> raundai; // in the order they were asked for
    TId paskutinis = 0;
    QHash<quint64, int> siuntejai; // the rounds in flight per server address and port
    bool vykdoma = false;
    bool dar = false;
    QList<std::function<void()>> pranesimai; // reports held until the step is over
};
