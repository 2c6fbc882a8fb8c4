// The poller: the rounds of any number of servers at once over one UDP
// endpoint. A window hands it an address and listens to what it reports; the
// poller keeps, per round, the server's dialect session (Sesija.h), its
// outstanding requests, retries and deadlines, and keeps every server within
// its query budget (Biudzetas.h), all windows together.
//
//   TApklausa::TRaundoNustatymai n(kSarasoPrasymai, TRaundoSantrauka::TSaltinis::Sarasas, this);
//   n.Atsakymas = [this](TApklausa::TId id, const TSesijosAtsakymas& a) { ... };
//   n.Baigtas = [this](TApklausa::TId id, bool arAtsake) { ... };
//   TApklausa::TId id = apklausa->Pradeti(SkaitytiAdresa(u"host:27015"_s), n);
//
// The program has one poller, the hub's (Centras.h), for every window.
//
// Pradeti queues a round; at most kDaugiausiaVienuMetu rounds are in flight,
// each new one started kPradziuTarpasMs after the one before. The browser's
// pings (source Narsykle) go in a lane of their own: kDaugiausiaNarsykles in
// flight, started as soon as there is room (the browser paces them), each
// with the time-out its settings give. A host name is
// looked up through the endpoint's lookup (VardoPaieska, answers kept
// kPaieskosGaliojimasMs) without holding anything up; one that cannot be
// resolved raises the endpoint's OnInvalidHost (from inside Pradeti when the
// lookup answers at once) and, when that reports it handled, is looked up
// once more, as a send of the endpoint does. A round that cannot be sent
// reports NepavykoIssiusti.
//
// Every datagram from the address and port of a round in flight goes through
// that round's session and, unless it means nothing (a fragment, a duplicate,
// a challenge), reaches the window as Atsakymas, from inside the endpoint's
// OnDataReceived. Anything from elsewhere is dropped by the endpoint's filter
// as it is read. A round ends when all its
// requests are answered, when the window ends it (Baigti), when a new round
// to the same server starts, or kLaukimoRibaMs after it went out: Baigtas
// then tells whether its round trip was measured (false: the server stayed
// silent, the time-out). The poller's signals never come from inside Pradeti
// or Baigti.
//
// Every round that left the queue (went out, or failed to) is reported once
// more as RaundasBaigtas when it ends, however it ends: what its replies said
// (RaundoSantrauka.h), for the history and the notifications. The window
// names its rounds' source (NustatytiSaltini); the record's time is the Unix
// time at which the round left the queue (NustatytiUnixLaikrodi; the
// system's by default). Rounds still open when the poller goes are not
// reported.
//
// The clock is a function returning milliseconds (monotonic); tests give
// their own. While rounds are open the poller looks at it at least every
// kDidziausiasMiegasMs, so a clock moved on by a test is seen at once.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>

#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QSet>
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
    static constexpr qint64 kPaieskosGaliojimasMs = 300000;
    static constexpr int kDidziausiasMiegasMs = 50;

    // What one round asks, whose it is, and who hears of it. Its replies, its
    // end and a failed send are reported to the callbacks (any may be empty)
    // as long as `Kontekstas` lives, besides the poller's signals; a name that
    // cannot be resolved goes to NerastasHostas instead of the endpoint's
    // OnInvalidHost (`handled`: look it up once more).
    struct TRaundoNustatymai {
        explicit TRaundoNustatymai(TPrasymai prasymai = {},
                                   TRaundoSantrauka::TSaltinis saltinis = TRaundoSantrauka::TSaltinis::Stebetojas,
                                   QObject* kontekstas = nullptr)
            : Prasymai(prasymai), Saltinis(saltinis), Kontekstas(kontekstas) {}

        TPrasymai Prasymai;
        TRaundoSantrauka::TSaltinis Saltinis = TRaundoSantrauka::TSaltinis::Stebetojas;
        QObject* Kontekstas = nullptr;
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

    TApklausa(TNMUDP* galas, TServeriuRegistras& registras, TUzklausuBiudzetas& biudzetas, TLaikrodis laikrodis = {},
              QObject* tevas = nullptr);
    ~TApklausa() override;

    // Queues a round to `adresas` (the registry knows the server by its
    // Tekstas()). A round of the same context (of the same source, without
    // one) to the same server still open is ended first.
    TId Pradeti(const TServerioAdresas& adresas, TRaundoNustatymai nustatymai);
    // A round as the poller's defaults say (NustatytiPrasymus, NustatytiSaltini).
    TId Pradeti(const TServerioAdresas& adresas) { return Pradeti(adresas, TRaundoNustatymai(prasymai, saltinis)); }
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
    int Tarpas(const TServerioAdresas& adresas, TPrasymai prasymai, int norimasMs) const;
    int Tarpas(const TServerioAdresas& adresas, int norimasMs) const { return Tarpas(adresas, prasymai, norimasMs); }

    TNMUDP* Galas() const { return galas; }

    // The game's LAN search: A2S_INFO to every port of `prievadai` on every
    // address of `adresai` (broadcast addresses), and for `trukmeMs` the
    // replies of any sender on those ports taken: a challenge answered once
    // a server, each server's first info reply reported to `rasta` with its
    // round trip; then `baigta`. Both only while `kontekstas` lives. A new
    // search ends the one under way (without its `baigta`).
    struct TLanRadinys {
        TServerioAdresas Adresas; // the dotted address it answered from, and its port
        TA2SInfo Info;
        int PingoMs = 0;
    };
    void IeskotiLan(const QList<QHostAddress>& adresai, const QList<quint16>& prievadai, qint64 trukmeMs,
                    QObject* kontekstas, std::function<void(const TLanRadinys&)> rasta, std::function<void()> baigta);
    bool ArIeskomaLan() const { return lan.has_value(); }

    // What later rounds started without their own settings ask; rounds under
    // way keep what they asked.
    void NustatytiPrasymus(TPrasymai nauji) { prasymai = nauji; }
    TPrasymai Prasymai() const { return prasymai; }
    // Which window the records of such rounds name.
    void NustatytiSaltini(TRaundoSantrauka::TSaltinis naujas) { saltinis = naujas; }
    TRaundoSantrauka::TSaltinis Saltinis() const { return saltinis; }
    // The clock of the records' times, Unix ms (empty: the system's).
    void NustatytiUnixLaikrodi(TLaikrodis naujas);

    // Whether round `id` takes datagrams now (empty: every round does). A
    // round that takes none is left as if they never came.
    std::function<bool(TId id)> Priima;

Q_SIGNALS:
    void Atsakymas(TApklausa::TId id, const TSesijosAtsakymas& atsakymas);
    void Baigtas(TApklausa::TId id, bool arAtsake);
    void NepavykoIssiusti(TApklausa::TId id);
    // A round that left the queue has ended; after its Baigtas, if any.
    void RaundasBaigtas(const TRaundoSantrauka& raundas);

private:
    enum class TBusena { Eileje, Ieskoma, Laukia, Vyksta, Nepavyko };
    struct TRaundas {
        TId Id = 0;
        TServerioAdresas Adresas;
        QString Raktas;         // the registry's key, Adresas.Tekstas()
        QString BiudzetoRaktas; // "ip:port"
        TBusena Busena = TBusena::Eileje;
        std::optional<quint32> Ip;
        std::unique_ptr<TUzklausuSesija> Sesija;
        qint64 Pradzia = 0; // the 5 s limit counts from here
        int Paieskos = 0;
        QObject* Paieska = nullptr; // the running lookup's context, a child of the poller
        bool ArIsejo = false;       // it left the queue: its end is reported
        TRaundoSantrauka Santrauka; // what its replies said so far
        TRaundoNustatymai Nustatymai;
        QPointer<QObject> Kontekstas; // its starter, while it lives
    };
    struct TAdresas {
        quint32 Ip = 0;
        qint64 Rastas = 0;
    };

    void NustatytiBusena(TRaundas& r, TBusena nauja);
    static bool ArNarsykles(const TRaundas& r) {
        return r.Nustatymai.Saltinis == TRaundoSantrauka::TSaltinis::Narsykle;
    }
    static quint64 SiuntejoRaktas(quint32 ip, quint16 portas) { return (quint64(ip) << 16) | portas; }
    void Vykdyti();
    // Runs the step (again while something asked for one meanwhile); false
    // when a step is under way already, which then goes round once more.
    bool Zingsniuoti();
    void Zingsnis(qint64 dabar);
    void Planuoti();
    void Isleisti(TRaundas& r, qint64 dabar);
    void Ieskoti(TRaundas& r);
    void PaleistiPaieska(TRaundas& r);
    void PaieskaBaigta(TId id, const QObject* kontekstas, const QList<QHostAddress>& adresai);
    void Nepavyko(TRaundas& r);
    bool Siusti(TRaundas& r, const QList<QByteArray>& datagramos, qint64 dabar);
    void Uzbaigti(TId id, bool pranesti);
    void Gauta(int kiekis, const QString& is, int portas);
    static void Kaupti(TRaundoSantrauka& santrauka, const TSesijosAtsakymas& atsakymas);
    void Pranesti(std::function<void()> pranesimas);
    TRaundas* Rasti(TId id);
    const TRaundas* Rasti(TId id) const;

    TNMUDP* galas;
    TPrasymai prasymai = kStebetojoPrasymai;
    TLaikrodis laikrodis;
    TLaikrodis unixLaikrodis;
    TRaundoSantrauka::TSaltinis saltinis = TRaundoSantrauka::TSaltinis::Stebetojas;
    TServeriuRegistras* registras;
    TUzklausuBiudzetas* biudzetas;
    QTimer* laikmatis = nullptr;

    std::map<TId, TRaundas> raundai; // in the order they were asked for
    TId paskutinis = 0;
    QElapsedTimer tikrasLaikas;
    std::optional<qint64> paskutinePradzia; // real ms of the last round's start
    QHash<QString, TAdresas> adresai;       // names looked up
    QHash<quint64, int> siuntejai;          // the rounds in flight per server address and port
    struct TLan {
        TLan() {} // NOLINT(modernize-use-equals-default): "= default" is not usable before the class ends
        QSet<quint16> Prievadai;
        qint64 Pradzia = 0;
        QSet<quint64> Atsake;   // senders reported
        QSet<quint64> Issukiai; // senders whose challenge was answered
        QPointer<QObject> Kontekstas;
        std::function<void(const TLanRadinys&)> Rasta;
        std::function<void()> Baigta;
        QTimer* Laikmatis = nullptr;
    };
    void LanGauta(const QHostAddress& siuntejas, quint16 portas, const QByteArray& datagrama);
    std::optional<TLan> lan;
    bool vykdoma = false;
    bool dar = false;
    QList<std::function<void()>> pranesimai; // reports held until the step is over
};
