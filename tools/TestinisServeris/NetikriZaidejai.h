// Made-up players, the kinds plugins fill a server with, and the content of a
// server that has them (see TNetikruBudas).
#pragma once

#include <QByteArray>
#include <QRandomGenerator>

#include "TestinisServeris.h"

// How many names the made-up players are drawn from, and how many a server of
// Maisyti, Sustinge or Nuo0 lists.
inline constexpr int kNetikruVardu = 200;
inline constexpr int kNetikruSarasas = 12;

// The n-th name of the pool (0 to kNetikruVardu - 1): nicknames, and every
// fifth a "Player_<n>" name; all different.
QByteArray NetikroVardas(int n);

// kiek different names drawn from the pool (at most kNetikruVardu), numbered
// from 1, frags 0 to 40, times from 0 to iki seconds.
TZaidejai TrauktiNetikrus(QRandomGenerator& generatorius, int kiek, double iki);

// The content a server of this kind shows: pagrindas (its name, map, rules
// and the rest) with the players, their counts, the maximum and the bots
// replaced as the kind says, the values drawn from a generator seeded with
// seklas. Nera gives pagrindas as it is.
TServerioTurinys NetikrasTurinys(TNetikruBudas budas, const TServerioTurinys& pagrindas, quint32 seklas);
