// Fixed texts and sizes of the UDP endpoint.
#pragma once

namespace NMConst {

inline constexpr char sInitializing[] = "Initializing Winsock";
inline constexpr char sSending[] = "Sending Data";
inline constexpr char sHostLookupCanceled[] = "Host Lookup Canceled";
inline constexpr char sNullRemoteAddress[] = "Null Remote Address";
inline constexpr char sInvalidBuffer[] = "Invalid buffer";
inline constexpr char sInvalidRemotePort[] = "Invalid Remote Port";

// Status levels of the texts above.
inline constexpr int kLygisInicializavimas = 8;
inline constexpr int kLygisSiuntimas = 2;

inline constexpr int kPradinisReportLevel = 1;

} // namespace NMConst
