// One round of a server as its history keeps it, as the plot draws it.
#pragma once

#include <optional>

#include <QList>
#include <QtGlobal>

struct TIstorijosTaskas {
    qint64 LaikasMs = 0;         // Unix time of the round's start, ms
    std::optional<int> Zaidejai; // none when no details/info reply came
    std::optional<int> MaxZaideju;
    std::optional<int> PingoMs; // none when the round had no reply

    bool operator==(const TIstorijosTaskas&) const = default;
};

using TIstorijosTaskai = QList<TIstorijosTaskas>;
