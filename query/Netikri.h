// Fake players told apart from people: from two looks at a server some
// seconds apart (what its info reply claimed and what its players reply
// listed, as the poller's round records carry them), and the Steam Web API's
// figure when there is one, an estimate of how many of the claimed players
// are fake and why, in one reason.
//
// Conservative: only clear evidence marks a server. Declared bots, a player
// still connecting (an empty name), a map change, a full real server and
// Xash3D FWGS's bots (-1.0 s) are no evidence; one look says nothing.
//
//   TNetikruTeisejas teisejas;                 // the hub's, fed every round
//   teisejas.Irasyti(raundas);
//   const TNetikruIvertis i = teisejas.Ivertis(u"10.0.0.5:27015"_s);
//   if (i.Netikri > 0) ...                     // i.Priezastis, i.A, i.B say why
#pragma once

#include <optional>

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include "RaundoSantrauka.h"

// One look: a round that had both an info and a players reply.
struct TZvilgsnis {
    qint64 LaikasMs = 0; // when it was taken
    int Zaidejai = 0;    // claimed, bots among them
    int MaxZaideju = 0;
    int Botai = 0; // declared
    int AppId = 0;
    int Protokolas = 0;
    QList<QByteArray> Vardai;
    QList<float> Laikai; // seconds connected, by Vardai
};
std::optional<TZvilgsnis> Zvilgsnis(const TRaundoSantrauka& raundas);

enum class TNetikruPriezastis {
    Nera,
    Vietos,  // A slots on a game of B
    Sarasas, // claims A players, lists B
    Vardai,  // the names change at every look
    Laikai,  // the times do not advance with the clock
    Steam    // the Steam list says A
};

struct TNetikruIvertis {
    int Netikri = 0; // players judged fake; 0: none
    TNetikruPriezastis Priezastis = TNetikruPriezastis::Nera;
    int A = 0, B = 0; // the reason's figures
    bool operator==(const TNetikruIvertis&) const = default;
};

inline constexpr qint64 kZvilgsniuTarpasMs = 10000; // looks nearer than this are not compared
inline constexpr int kGoldSrcVietos = 32;

// The reason in words: `sablonai` holds the texts of Vietos, Sarasas, Vardai,
// Laikai and Steam in that order ("%1", "%2": A, B); empty for none.
QString NetikruPriezastis(const TNetikruIvertis& ivertis, const QStringList& sablonai);

// `senas` and `naujas` at least kZvilgsniuTarpasMs apart; `steam`: the Web API's players figure.
TNetikruIvertis IvertintiNetikrus(const TZvilgsnis& senas, const TZvilgsnis& naujas, std::optional<int> steam = {});

// The looks of every server polled (by the round record's key), and what they come to.
class TNetikruTeisejas : public QObject {
    Q_OBJECT
public:
    static constexpr int kDaugiausiaServeriu = 25000;
    static constexpr int kZvilgsniuServeriui = 8;
    static constexpr qint64 kZvilgsnioAmziusMs = 180000; // older looks are no longer compared

    explicit TNetikruTeisejas(QObject* tevas = nullptr);

    // A finished round; a look when it had both replies.
    void Irasyti(const TRaundoSantrauka& raundas);
    // The Web API's players figure of a server its list gave.
    void NustatytiSteam(const QString& serveris, int zaidejai);
    TNetikruIvertis Ivertis(const QString& serveris) const;
    bool ArNetikras(const QString& serveris) const { return Ivertis(serveris).Netikri > 0; }

Q_SIGNALS:
    // The estimate of `serveris` changed.
    void Pakito(const QString& serveris, const TNetikruIvertis& ivertis);

private:
    struct TServeris {
        QList<TZvilgsnis> Zvilgsniai; // oldest first
        std::optional<int> Steam;
        TNetikruIvertis Ivertis;
        quint64 Naudota = 0;
    };
    void Apriboti();

    QHash<QString, TServeris> serveriai;
    quint64 laikas = 0;
};
