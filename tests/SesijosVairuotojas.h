// Drives a TUzklausuSesija over a real UDP socket the way a window will: sends
// a round's datagrams, feeds every received datagram to the session, sends
// the challenge answers and, at the session's deadline, the A2S fall-back.
#pragma once

#include <functional>

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkDatagram>
#include <QTimer>
#include <QUdpSocket>

#include "Sesija.h"

class TSesijosVairuotojas : public QObject {
public:
    TSesijosVairuotojas(TPrasymai prasymai, TServeriuRegistras* registras, const QHostAddress& adresas,
                        quint16 prievadas)
        : sesija(prasymai, registras, [this] { return laikrodis.elapsed(); }), adresas(adresas), prievadas(prievadas) {
        laikrodis.start();
        lizdas.bind(QHostAddress(QHostAddress::LocalHost), 0);
        laikmatis.setSingleShot(true);
        laikmatis.setTimerType(Qt::PreciseTimer);
        connect(&lizdas, &QUdpSocket::readyRead, this, &TSesijosVairuotojas::Skaityti);
        connect(&laikmatis, &QTimer::timeout, this, [this] {
            Siusti(sesija.Tikrinti());
            Planuoti();
        });
    }

    QString Serveris() const { return adresas.toString() + u':' + QString::number(prievadas); }

    void PradetiRaunda() {
        atsakymai.clear();
        pingas.reset();
        zaidejai.reset();
        detales.reset();
        taisykles.reset();
        PilnaPoMs = -1;
        raundoPradzia = laikrodis.elapsed();
        Siusti(sesija.PradetiRaunda(Serveris()));
        Planuoti();
    }

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

    TUzklausuSesija sesija;
    QList<TSesijosAtsakymas> atsakymai;
    std::optional<int> pingas;
    std::optional<TZaidejai> zaidejai;
    std::optional<TSesijosAtsakymas> detales;
    std::optional<TTaisykles> taisykles;
    int issiusta = 0;
    // Milliseconds from the round's start until ping, players and details were all in (-1: not yet).
    qint64 PilnaPoMs = -1;

private:
    void Siusti(const QList<QByteArray>& datagramos) {
        for (const QByteArray& d : datagramos) {
            lizdas.writeDatagram(d, adresas, prievadas);
            ++issiusta;
        }
    }

    void Planuoti() {
        const std::optional<qint64> t = sesija.Terminas();
        if (!t) {
            laikmatis.stop();
            return;
        }
        laikmatis.start(int(qMax<qint64>(0, *t - laikrodis.elapsed())));
    }

    void Skaityti() {
        while (lizdas.hasPendingDatagrams()) {
            const QNetworkDatagram d = lizdas.receiveDatagram();
            TSesijosAtsakymas a = sesija.Gauta(d.senderAddress(), quint16(d.senderPort()), d.data());
            Siusti(a.Siusti);
            if (a.PingoMs)
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
            atsakymai.append(std::move(a));
            if (PilnaPoMs < 0 && ArLentaPilna())
                PilnaPoMs = laikrodis.elapsed() - raundoPradzia;
        }
        Planuoti();
    }

    QElapsedTimer laikrodis;
    qint64 raundoPradzia = 0;
    QHostAddress adresas;
    quint16 prievadas;
    QUdpSocket lizdas;
    QTimer laikmatis;
};
