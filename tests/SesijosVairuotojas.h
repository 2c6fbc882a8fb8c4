// Drives the poller (TApklausa) over its own UDP endpoint on loopback the way
// a window does: starts a round to one server and keeps what the round
// reports, with the real clock.
#pragma once

#include <functional>

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "Apklausa.h"
#include "NMUDP.h"

class TSesijosVairuotojas : public QObject {
public:
    TSesijosVairuotojas(TPrasymai prasymai, TServeriuRegistras* registras, const QHostAddress& adresas,
                        quint16 prievadas, TUzklausuBiudzetas* biudzetas = nullptr)
        : registras(registras), prasymai(prasymai), adresas(adresas), prievadas(prievadas) {
        laikrodis.start();
        apklausa = new TApklausa(
            &galas, &vardai, *registras, biudzetas ? *biudzetas : savasBiudzetas,
            [this] { return laikrodis.elapsed(); }, this);
    }

    ~TSesijosVairuotojas() override { delete apklausa; }

    QString Serveris() const { return adresas.toString() + u':' + QString::number(prievadas); }
    TServerioZinios Zinios() const { return registras->Zinios(Serveris()); }

    void PradetiRaunda() {
        atsakymai.clear();
        pingas.reset();
        zaidejai.reset();
        detales.reset();
        taisykles.reset();
        Atsake.reset();
        PilnaPoMs = -1;
        raundoPradzia = laikrodis.elapsed();
        TApklausa::TRaundoNustatymai n(prasymai, TRaundoSantrauka::TSaltinis::Stebetojas, this);
        n.Atsakymas = [this](TApklausa::TId id, const TSesijosAtsakymas& a) {
            if (id == raundas)
                Gauta(a);
        };
        n.Baigtas = [this](TApklausa::TId id, bool arAtsake) {
            if (id == raundas)
                Atsake = arAtsake;
        };
        raundas = apklausa->Pradeti({adresas.toString(), prievadas}, std::move(n));
    }
    // The round is over (answered whole, timed out or ended).
    bool ArBaigtas() const { return !apklausa->ArVyksta(raundas); }
    void Baigti() { apklausa->Baigti(raundas); }

    // Runs the event loop until salyga holds or ms have passed.
    bool Laukti(const std::function<bool()>& salyga, int ms) {
        const QDeadlineTimer riba(ms);
        while (!salyga() && !riba.hasExpired()) {
            QEventLoop ciklas;
            QTimer::singleShot(5, &ciklas, &QEventLoop::quit);
            ciklas.exec();
        }
        return salyga();
    }

    bool ArLentaPilna() const { return pingas && zaidejai && detales; }

    QList<TSesijosAtsakymas> atsakymai;
    std::optional<int> pingas;
    std::optional<TZaidejai> zaidejai;
    std::optional<TSesijosAtsakymas> detales;
    std::optional<TTaisykles> taisykles;
    // How the round ended: its round trip measured (true) or timed out; nothing while open.
    std::optional<bool> Atsake;
    // Milliseconds from the round's start until ping, players and details were all in (-1: not yet).
    qint64 PilnaPoMs = -1;

private:
    void Gauta(const TSesijosAtsakymas& a) {
        if (a.PingoMs && !pingas)
            pingas = a.PingoMs;
        switch (a.Rusis) {
        case TAtsakymoRusis::Zaidejai:
            zaidejai = a.Zaidejai;
            break;
        case TAtsakymoRusis::Detales:
            detales = a;
            break;
        case TAtsakymoRusis::Taisykles:
            taisykles = a.Taisykles;
            break;
        default:
            break;
        }
        atsakymai.append(a);
        if (PilnaPoMs < 0 && ArLentaPilna())
            PilnaPoMs = laikrodis.elapsed() - raundoPradzia;
    }

    TServeriuRegistras* registras;
    TPrasymai prasymai;
    TUzklausuBiudzetas savasBiudzetas;
    QElapsedTimer laikrodis;
    qint64 raundoPradzia = 0;
    QHostAddress adresas;
    quint16 prievadas;
    TNMUDP galas;
    TAdresuPaieska vardai;
    TApklausa* apklausa = nullptr;
    TApklausa::TId raundas = 0;
};
