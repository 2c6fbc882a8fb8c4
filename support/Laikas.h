// The program's monotonic clock: milliseconds since its first reading. The
// query layer times rounds, retries and budgets by it unless it is given a
// clock of its own (tests move theirs by hand).
#pragma once

#include <QtGlobal>

qint64 TikrasLaikasMs();
