// The monotonic clock behind round-trip times and time-outs, in milliseconds.
// Tests replace it to move time on without waiting.
#pragma once

#include <functional>

#include <QtGlobal>

using TLaikrodis = std::function<qint64()>;

qint64 DabarMs();
// Replaces the clock; an empty function restores the real one. Returns the old one.
TLaikrodis NustatytiLaikrodi(TLaikrodis naujas);
