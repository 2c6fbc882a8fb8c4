// What the three server-facing windows share around their UDP endpoint: the
// wiring of its events to the window's handlers, and the intake of a datagram
// before it is decoded.
#pragma once

#include <QString>

#include "AtminiesSrautas.h"
#include "NMUDP.h"
#include "Pranesimai.h"

// Binds NMUDP1's six events to the window's handlers of the same names, each
// run under the application guard.
template <typename TLangas> void SujungtiNMUDP(TLangas* langas) {
    TNMUDP* udp = langas->NMUDP1;
    udp->OnDataReceived = [langas](QObject* sender, int kiekis, const QString& is, int portas) {
        Apsaugota(langas, [&] { langas->NMUDP1DataReceived(sender, kiekis, is, portas); });
    };
    udp->OnDataSend = [langas](QObject* sender) {
        Apsaugota(langas, [&] { langas->NMUDP1DataSend(sender); });
    };
    udp->OnStatus = [langas](QObject* sender, const QString& busena) {
        Apsaugota(langas, [&] { langas->NMUDP1Status(sender, busena); });
    };
    udp->OnInvalidHost = [langas](bool& handled) {
        Apsaugota(langas, [&] { langas->NMUDP1InvalidHost(handled); });
    };
    udp->OnBufferInvalid = [langas](bool& handled, QByteArray& buff, int& length) {
        Apsaugota(langas, [&] { langas->NMUDP1BufferInvalid(handled, buff, length); });
    };
    udp->OnStreamInvalid = [langas](bool& handled, TAtminiesSrautas& srautas) {
        Apsaugota(langas, [&] { langas->NMUDP1StreamInvalid(handled, srautas); });
    };
}

// The intake of a received datagram. False, and the datagram is dropped, when it
// did not come from the address and port the window last sent to, when the
// window is to ignore replies now (`ignoruoti`), when it is longer than a reply
// may be (then the byte count and the "BaituGavau" text are shown through the
// window's gate), or when it carries no type letter (a failed receive included).
// Otherwise the datagram is in `srautas`, positioned at its start.
bool PriimtiAtsakyma(TNMUDP& udp, int NumberBytes, const QString& FromIP, int Port, bool ignoruoti,
                     TTinkloPranesimai& vartai, TAtminiesSrautas& srautas);
