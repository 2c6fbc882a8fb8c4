// What one finished round of one polled server came to, as the poller reports
// it at the end of every round of every server it polls (the watcher's, the
// server list's and the details window's alike). The history and the desktop
// notifications read nothing else.
#pragma once

#include <optional>

#include <QByteArray>
#include <QList>
#include <QString>

struct TRaundoSantrauka {
    enum class TSaltinis { Stebetojas, Sarasas, Detales, Narsykle }; // which window polled
    TSaltinis Saltinis = TSaltinis::Stebetojas;
    QString Serveris;            // "host:port" as the user typed it
    qint64 LaikasMs = 0;         // Unix time of the round's start, ms
    std::optional<int> PingoMs;  // round trip; none when the round timed out / had no reply
    std::optional<int> Zaidejai; // players count of the details/info reply, when it came
    std::optional<int> MaxZaideju;
    QByteArray Pavadinimas, Zemelapis;       // server name and map, bytes as received (decode with ServerioTekstas)
    std::optional<QList<QByteArray>> Vardai; // player names of the players reply, when it came
    QList<float> Laikai;                     // their seconds connected, by Vardai
    // What the info reply said besides; for the judge of fake players (Netikri.h).
    std::optional<int> Botai;
    int AppId = 0;
    int Protokolas = 0;

    bool operator==(const TRaundoSantrauka&) const = default;
};
