// The engine's remote console (rcon) as the test server runs it: the challenge
// kept per address, the password, the commands and their output over as many
// 'l' datagrams as it needs, and the engine's guard against password guessing:
// wrong passwords are counted per address (the port does not matter), and an
// address with 5 of them within 30 s is banned for good; from then on every
// datagram it sends is answered with the ban notice, the queries included.
//
// Requests, after the four 0xFF bytes:
//   "challenge rcon"                    -> "challenge rcon <number>\n"
//   "rcon <number> \"<password>\" <command>"
//                                       -> the command's output, or "Bad challenge."
//                                          (the challenge is checked first, nothing
//                                          counted) or "Bad rcon_password." (counted)
// A request of 512 bytes or more is dropped without an answer, as the engine does.
//
// In the Quake form (Xash3D's) "challenge rcon" gets no answer, the command is
// "rcon <password> <command>", a wrong password gets no answer and is not
// counted, and the output goes one "print\n" datagram per line, then an empty
// one; "status" has Xash3D's layout.
//
// Commands: "echo <text>"; "status" (name, map and players of the content);
// "lines <n>" (n numbered lines, for outputs of many datagrams); a rule name
// alone prints its value, with a value after it sets it; anything else is an
// unknown command.
#pragma once

#include <functional>
#include <optional>

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>

struct TServerioTurinys;

inline constexpr char kUzdraudimoTekstas[] = "You have been banned from this server.\n";

// A request's word with the password of an rcon request masked, for logs.
QByteArray PaslepatiSlaptazodi(const QByteArray& zodis);

class TServerioKonsole {
public:
    using TLaikrodis = std::function<qint64()>;

    static constexpr int kUzklausosRiba = 512;
    static constexpr int kNesekmiuRiba = 5;
    static constexpr qint64 kNesekmiuLaikasMs = 30000;
    // Text bytes of one output datagram: the engine gathers the output in a
    // buffer of 1400 bytes and sends it whenever the next line would not fit.
    static constexpr int kIsvestiesTalpa = 1399;

    explicit TServerioKonsole(TLaikrodis laikrodis = {});

    // The password; empty: no remote console (every command is refused).
    void NustatytiSlaptazodi(const QByteArray& slaptazodis) { slaptazodis_ = slaptazodis; }
    const QByteArray& Slaptazodis() const { return slaptazodis_; }
    void NustatytiLaikrodi(TLaikrodis laikrodis);
    void NustatytiQuakeForma(bool quake) { quakeForma = quake; }

    // The replies to one datagram from `siuntejas`: for a banned address the
    // ban notice, whatever the datagram; for the console's requests the
    // engine's answer (an empty list: none); nothing for other datagrams,
    // which the caller answers as queries. Commands may change the rules of
    // `turinys`.
    std::optional<QList<QByteArray>> Apdoroti(const QByteArray& datagrama, const QHostAddress& siuntejas,
                                              TServerioTurinys& turinys);

    bool ArUzdraustas(const QHostAddress& adresas) const;
    // Wrong passwords of the address within the counting time.
    int Nesekmes(const QHostAddress& adresas) const;
    // The address's challenge (made now when it has none).
    quint32 Issukis(const QHostAddress& adresas);
    // Every address's challenge is new: the ones given out are stale.
    void PakeistiIssukius();
    // Lifts every ban and forgets the counted failures.
    void Atleisti();
    // Commands run since the start.
    int Ivykdyta() const { return ivykdyta; }

    // The output of a command as text.
    QByteArray Vykdyti(const QByteArray& komanda, TServerioTurinys& turinys) const;
    // The output in the Quake form: a "print" datagram per line and an empty one.
    static QList<QByteArray> SpausdinimoDatagramos(const QByteArray& isvestis);
    // The output as the engine sends it: 'l' datagrams of at most
    // kIsvestiesTalpa text bytes each, broken after a line where one fits;
    // an empty output is one empty 'l'.
    static QList<QByteArray> IsvestiesDatagramos(const QByteArray& isvestis);

private:
    struct TAdresas {
        std::optional<quint32> Issukis;
        QList<qint64> Nesekmes;
        bool Uzdraustas = false;
    };
    static QString Raktas(const QHostAddress& adresas);
    QList<QByteArray> Komanda(const QByteArray& zodis, TAdresas& a, TServerioTurinys& turinys);
    QList<QByteArray> QuakeKomanda(const QByteArray& likusi, TServerioTurinys& turinys);

    QByteArray slaptazodis_;
    bool quakeForma = false;
    TLaikrodis laikrodis;
    QHash<QString, TAdresas> adresai;
    int ivykdyta = 0;
};
