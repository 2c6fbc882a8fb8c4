// A small deterministic random source for the map picture generator. It is
// seeded from the map name, so the same name always gives the same picture on
// every machine and with every standard library.
#pragma once

#include <cstdint>

#include <QByteArray>

class TAtsitiktinis {
public:
    explicit TAtsitiktinis(std::uint64_t sekla) : busena(sekla) {}

    // FNV-1a over the bytes: the seed for a map name.
    static std::uint64_t Maisa(const QByteArray& baitai) {
        std::uint64_t h = 0xcbf29ce484222325ULL;
        for (const char c : baitai) {
            h ^= static_cast<unsigned char>(c);
            h *= 0x100000001b3ULL;
        }
        return h;
    }

    // splitmix64
    std::uint64_t Kitas() {
        std::uint64_t z = (busena += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }

    // A whole number in [nuo, iki], both ends included.
    int Tarp(int nuo, int iki) {
        if (iki <= nuo)
            return nuo;
        const auto plotis = static_cast<std::uint64_t>(iki - nuo) + 1;
        return nuo + static_cast<int>(Kitas() % plotis);
    }

    // True with the given chance in percent.
    bool Tikimybe(int procentai) { return Tarp(0, 99) < procentai; }

private:
    std::uint64_t busena;
};
