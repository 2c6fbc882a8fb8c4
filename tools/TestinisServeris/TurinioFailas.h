// The server content as a small JSON document, and the built-in demo content.
//
// Every key is optional; a missing one takes the default shown. Unknown keys
// and values of the wrong type or range are errors.
//
//   {
//     "textEncoding": "utf-8",   // or "latin1": each character U+0000-U+00FF is one byte,
//                                // so any byte string can be written ("\u00e0")
//     "name": "",                // server name
//     "map": "",
//     "address": "",             // "ip:port" in the details reply; "" = the bound address
//     "folder": "cstrike",       // game folder
//     "game": "Counter-Strike",  // game description
//     "maxPlayers": 32,          // 0-255
//     "playersCount": null,      // players count of the details reply, 0-255; null = listed players
//     "protocol": 47,            // 0-255
//     "serverType": "d",         // one character: 'd' dedicated, 'l' listen, 'p' proxy
//     "os": "l",                 // one character: 'w' Windows, 'l' Linux
//     "password": false,         // true/false or a byte 0-255
//     "mod": null,               // or {"url": "", "download": "", "reserved": "", "version": 1,
//                                //     "size": 0, "serverOnly": false, "customDll": false}
//     "secure": false,           // true/false or a byte 0-255
//     "players": [],             // [{"name": "x", "frags": -2, "seconds": 61.5, "slot": 1}, ...];
//                                //   slot (0-255) defaults to the position in the list, from 1
//     "rules": [],               // [["mp_timelimit", "20"], ...]
//     "appId": 10,               // -32768-32767, the info reply's app id
//     "bots": 0,                 // 0-255, the bots among the players (info reply)
//     "version": "1.1.2.7/Stdio" // the info reply's version text
//   }
//
// Texts must not hold U+0000: the wire ends a text at the first zero byte.
#pragma once

#include <optional>

#include <QByteArray>
#include <QString>

#include "TestinisServeris.h"

// Nothing, with the reason in *klaida, when the document is not valid content.
std::optional<TServerioTurinys> SkaitytiTurinioJson(const QByteArray& json, QString* klaida = nullptr);

// The document SkaitytiTurinioJson reads back into the same content (the
// "latin1" encoding when some text is not valid UTF-8; ArModas other than 1
// is written as no mod block).
QByteArray RasytiTurinioJson(const TServerioTurinys& turinys);

// A plausible Counter-Strike 1.6 server on de_dust2: ten players with varied
// names, frags and times, one more counted in the details than listed, and
// sixteen rules.
TServerioTurinys DemonstracinisTurinys();
