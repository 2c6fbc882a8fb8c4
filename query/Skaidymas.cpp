#include "Skaidymas.h"

#include <algorithm>
#include <iterator>

#include <QtEndian>

namespace {

constexpr int kVariklioPradzia = 9;
constexpr int kNaujoPradzia = 12;

bool ArDalis(const QByteArray& d) {
    return d.size() >= 4 && quint8(d[0]) == 0xFE && quint8(d[1]) == 0xFF && quint8(d[2]) == 0xFF &&
           quint8(d[3]) == 0xFF;
}

} // namespace

const char* DaliesBusenosTekstas(TDaliesBusena busena) {
    switch (busena) {
    case TDaliesBusena::Vientisas:
        return "not split";
    case TDaliesBusena::Laikoma:
        return "fragment stored";
    case TDaliesBusena::Dublikatas:
        return "duplicate fragment ignored";
    case TDaliesBusena::Atmesta:
        return "fragment refused";
    case TDaliesBusena::Suspausta:
        return "compressed split reply dropped (not supported)";
    case TDaliesBusena::Surinkta:
        return "split reply reassembled";
    }
    return "";
}

TDaliesRezultatas TDaliuSurinkejas::Priimti(const QHostAddress& siuntejas, quint16 prievadas,
                                            const QByteArray& datagrama) {
    if (!ArDalis(datagrama))
        return {TDaliesBusena::Vientisas, datagrama};
    if (datagrama.size() < kVariklioPradzia + 1)
        return {TDaliesBusena::Atmesta, {}};

    const quint32 id = qFromLittleEndian<quint32>(datagrama.constData() + 4);
    const quint8 b8 = quint8(datagrama[8]);
    const quint8 b9 = quint8(datagrama[9]);
    bool naujas = false;
    int nr = 0;
    int viso = 0;
    int pradzia = kVariklioPradzia;
    if (b8 >= 0x10 || b9 == 0xFF) {
        nr = b8 >> 4;
        viso = b8 & 0x0F;
    } else {
        naujas = true;
        viso = b8;
        nr = b9;
        pradzia = kNaujoPradzia;
        if (id & 0x80000000u)
            return {TDaliesBusena::Suspausta, {}};
    }
    if (viso < 1 || viso > kDaugiausiaDaliu || nr >= viso || datagrama.size() < pradzia)
        return {TDaliesBusena::Atmesta, {}};

    const Q_IPV6ADDR ip6 = siuntejas.toIPv6Address();
    std::array<quint8, 16> adresas;
    std::copy(std::begin(ip6.c), std::end(ip6.c), adresas.begin());
    const TRaktas raktas{adresas, prievadas, id, naujas};
    auto it = rinkiniai.find(raktas);
    if (it == rinkiniai.end()) {
        Atlaisvinti(raktas);
        TRinkinys naujasRinkinys;
        naujasRinkinys.Eile = ++atidaryta;
        naujasRinkinys.Viso = viso;
        naujasRinkinys.Dalys.resize(viso);
        naujasRinkinys.Gautos.resize(viso);
        it = rinkiniai.emplace(raktas, std::move(naujasRinkinys)).first;
    }
    TRinkinys& r = it->second;
    if (r.Viso != viso)
        return {TDaliesBusena::Atmesta, {}}; // the fragment disagrees with its set
    if (r.Gautos[nr])
        return {TDaliesBusena::Dublikatas, {}};
    const int ilgis = int(datagrama.size()) - pradzia;
    if (r.Baitu + ilgis > kDaugiausiaSurinktoBaitu) {
        rinkiniai.erase(it); // the whole set is refused, not only this fragment
        return {TDaliesBusena::Atmesta, {}};
    }
    r.Dalys[nr] = datagrama.mid(pradzia);
    r.Gautos[nr] = true;
    r.Baitu += ilgis;
    if (++r.Gauta < r.Viso)
        return {TDaliesBusena::Laikoma, {}};

    QByteArray atsakymas;
    atsakymas.reserve(r.Baitu);
    for (const QByteArray& d : r.Dalys)
        atsakymas += d;
    rinkiniai.erase(it);
    return {TDaliesBusena::Surinkta, atsakymas};
}

void TDaliuSurinkejas::Atlaisvinti(const TRaktas& naujas) {
    const auto arTasPats = [&naujas](const TRaktas& r) {
        return std::get<0>(r) == std::get<0>(naujas) && std::get<1>(r) == std::get<1>(naujas);
    };
    auto seniausias = rinkiniai.end();
    auto seniausiasSiuntejo = rinkiniai.end();
    int siuntejo = 0;
    for (auto i = rinkiniai.begin(); i != rinkiniai.end(); ++i) {
        if (seniausias == rinkiniai.end() || i->second.Eile < seniausias->second.Eile)
            seniausias = i;
        if (!arTasPats(i->first))
            continue;
        ++siuntejo;
        if (seniausiasSiuntejo == rinkiniai.end() || i->second.Eile < seniausiasSiuntejo->second.Eile)
            seniausiasSiuntejo = i;
    }
    if (siuntejo >= kDaugiausiaSiuntejoRinkiniu)
        rinkiniai.erase(seniausiasSiuntejo);
    else if (int(rinkiniai.size()) >= kDaugiausiaRinkiniu)
        rinkiniai.erase(seniausias);
}
