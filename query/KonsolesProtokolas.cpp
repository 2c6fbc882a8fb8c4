// The console's datagrams, the joining of outputs and the ban guard: no
// socket, no timer, no widget (the fuzz target builds this file alone).
#include "Konsole.h"

#include <algorithm>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "PrivatusFailas.h"

namespace {

constexpr QByteArrayView kAntraste("\xFF\xFF\xFF\xFF", 4);
constexpr QByteArrayView kIssukioZodis("challenge rcon");
constexpr QByteArrayView kSpausdinimoZodis("print\n");

} // namespace

// ---- The datagrams ----

QByteArray KonsolesIssukioUzklausa() {
    return kAntraste.toByteArray() + kIssukioZodis.toByteArray() + '\n';
}

QByteArray KonsolesKomandosUzklausa(quint32 issukis, QByteArrayView slaptazodis, QByteArrayView komanda) {
    QByteArray d = kAntraste.toByteArray();
    d.reserve(KonsolesUzklausosDydis(slaptazodis.size(), komanda.size()));
    d.append("rcon ").append(QByteArray::number(issukis)).append(" \"").append(slaptazodis).append("\" ");
    d.append(komanda).append('\n');
    return d;
}

QByteArray KonsolesQuakeUzklausa(QByteArrayView slaptazodis, QByteArrayView komanda) {
    QByteArray d = kAntraste.toByteArray();
    d.append("rcon \"").append(slaptazodis).append("\" ").append(komanda).append('\n');
    return d;
}

qsizetype KonsolesUzklausosDydis(qsizetype slaptazodzioIlgis, qsizetype komandosIlgis) {
    // FF FF FF FF "rcon " digits " \"" password "\" " command LF
    return 4 + 5 + kIssukioSkaitmenys + 2 + slaptazodzioIlgis + 2 + komandosIlgis + 1;
}

int DidziausiaKomanda(qsizetype slaptazodzioIlgis) {
    return int(kKonsolesUzklausosRiba - 1 - KonsolesUzklausosDydis(slaptazodzioIlgis, 0));
}

std::optional<quint32> SkaitytiKonsolesIssuki(QByteArrayView d) {
    if (!d.startsWith(kAntraste))
        return std::nullopt;
    d = d.sliced(4);
    if (!d.startsWith(kIssukioZodis))
        return std::nullopt;
    d = d.sliced(kIssukioZodis.size());
    if (d.isEmpty() || d.front() != ' ')
        return std::nullopt;
    d = d.sliced(1);
    qsizetype skaitmenys = 0;
    quint64 reiksme = 0;
    while (skaitmenys < d.size() && d[skaitmenys] >= '0' && d[skaitmenys] <= '9') {
        reiksme = reiksme * 10 + quint64(d[skaitmenys] - '0');
        if (reiksme > 0xFFFFFFFFull)
            return std::nullopt;
        ++skaitmenys;
    }
    if (skaitmenys == 0)
        return std::nullopt;
    // What may follow the number: the line feed and the NUL the engine adds.
    for (const char c : d.sliced(skaitmenys))
        if (c != '\n' && c != '\r' && c != '\0' && c != ' ')
            return std::nullopt;
    return quint32(reiksme);
}

std::optional<QByteArrayView> KonsolesTekstas(QByteArrayView d) {
    if (d.size() < 5 || !d.startsWith(kAntraste))
        return std::nullopt;
    QByteArrayView tekstas = d.sliced(4);
    if (tekstas.front() == 'l')
        tekstas = tekstas.sliced(1);
    else if (tekstas.startsWith(kSpausdinimoZodis))
        tekstas = tekstas.sliced(kSpausdinimoZodis.size());
    else
        return std::nullopt;
    const qsizetype nulis = tekstas.indexOf('\0');
    return nulis < 0 ? tekstas : tekstas.first(nulis);
}

TKonsolesAtsakas AtpazintiAtsakyma(QByteArrayView tekstas) {
    if (tekstas.startsWith(QByteArrayView(kBlogasSlaptazodis)))
        return TKonsolesAtsakas::BlogasSlaptazodis;
    if (tekstas.startsWith(QByteArrayView(kBlogasIssukis)))
        return TKonsolesAtsakas::BlogasIssukis;
    if (tekstas.startsWith(QByteArrayView(kUzdraustasAdresas)))
        return TKonsolesAtsakas::Uzdrausta;
    return TKonsolesAtsakas::Isvestis;
}

// ---- Joining ----

void TIsvestiesSurinkejas::Pradeti() {
    isvestis.clear();
    datagramos = 0;
    nukirsta = false;
    pirmas.reset();
    paskutinis.reset();
}

bool TIsvestiesSurinkejas::Prideti(QByteArrayView tekstas, qint64 dabar) {
    if (nukirsta)
        return false;
    ++datagramos;
    if (!pirmas)
        pirmas = dabar;
    paskutinis = dabar;
    if (isvestis.size() + tekstas.size() <= riba) {
        isvestis.append(tekstas);
        return true;
    }
    isvestis.append(tekstas.first(riba - isvestis.size()));
    const qsizetype eilute = isvestis.lastIndexOf('\n');
    if (eilute >= 0)
        isvestis.truncate(eilute + 1);
    nukirsta = true;
    return false;
}

std::optional<qint64> TIsvestiesSurinkejas::Terminas() const {
    if (!paskutinis)
        return std::nullopt;
    return std::min(*paskutinis + tylaMs, *pirmas + ilgiausiaiMs);
}

bool TIsvestiesSurinkejas::ArBaigta(qint64 dabar) const {
    const std::optional<qint64> terminas = Terminas();
    return nukirsta || (terminas && dabar >= *terminas);
}

// ---- The guard ----

qint64 TKonsolesSargas::Laukti(qint64 dabar) const {
    QList<qint64> laikai;
    for (const TBandymas& b : bandymai)
        if (b.Laikas > dabar - kLangasMs)
            laikai.append(b.Laikas);
    if (laikai.size() < kRiba)
        return 0;
    std::sort(laikai.begin(), laikai.end());
    // Once this one has aged out, fewer than kRiba remain.
    return laikai.at(laikai.size() - kRiba) + kLangasMs - dabar;
}

int TKonsolesSargas::Skaicius(qint64 dabar) const {
    return int(std::count_if(bandymai.begin(), bandymai.end(),
                             [dabar](const TBandymas& b) { return b.Laikas > dabar - kLangasMs; }));
}

quint64 TKonsolesSargas::Pradeti(qint64 dabar) {
    bandymai.append({++paskutinisNumeris, dabar});
    return paskutinisNumeris;
}

void TKonsolesSargas::Neskaiciuoti(quint64 numeris) {
    bandymai.removeIf([numeris](const TBandymas& b) { return b.Numeris == numeris; });
}

void TKonsolesSargas::Isvalyti(qint64 dabar) {
    bandymai.removeIf([dabar](const TBandymas& b) { return b.Laikas <= dabar - kLangasMs; });
}

QList<qint64> TKonsolesSargas::Laikai() const {
    QList<qint64> laikai;
    for (const TBandymas& b : bandymai)
        laikai.append(b.Laikas);
    std::sort(laikai.begin(), laikai.end());
    return laikai;
}

void TKonsolesSargas::PridetiLaika(qint64 laikas) {
    bandymai.append({++paskutinisNumeris, laikas});
}

std::optional<quint32> TKonsoliuRegistras::Issukis(const QString& serveris) const {
    const auto i = issukiai.constFind(serveris);
    if (i == issukiai.constEnd())
        return std::nullopt;
    return *i;
}

void TKonsoliuRegistras::NustatytiIssuki(const QString& serveris, std::optional<quint32> issukis) {
    if (issukis)
        issukiai.insert(serveris, *issukis);
    else
        issukiai.remove(serveris);
}

QByteArray TKonsoliuRegistras::Irasas(qint64 dabar, qint64 epocha) const {
    QByteArray irasas;
    QStringList serveriai = sargai.keys();
    serveriai.sort();
    for (const QString& serveris : serveriai) {
        for (const qint64 laikas : sargai.value(serveris).Laikai()) {
            if (laikas <= dabar - TKonsolesSargas::kLangasMs)
                continue;
            irasas.append(serveris.toLatin1()).append(' ').append(QByteArray::number(epocha - (dabar - laikas)));
            irasas.append('\n');
        }
    }
    return irasas;
}

void TKonsoliuRegistras::Ikelti(QByteArrayView irasas, qint64 dabar, qint64 epocha) {
    while (!irasas.isEmpty()) {
        const qsizetype galas = irasas.indexOf('\n');
        const QByteArrayView eilute = galas < 0 ? irasas : irasas.first(galas);
        irasas = galas < 0 ? QByteArrayView() : irasas.sliced(galas + 1);
        const qsizetype tarpas = eilute.indexOf(' ');
        if (tarpas <= 0)
            continue;
        bool gerai = false;
        const qint64 siena = eilute.sliced(tarpas + 1).toLongLong(&gerai);
        // Nothing before the epoch: no such attempt, and no overflow below.
        if (!gerai || siena <= 0)
            continue;
        // A time from the future (the wall clock went back) counts as now.
        const qint64 laikas = dabar - std::max<qint64>(0, epocha - siena);
        if (laikas <= dabar - TKonsolesSargas::kLangasMs)
            continue;
        sargai[QString::fromLatin1(eilute.first(tarpas))].PridetiLaika(laikas);
    }
}

void TKonsoliuRegistras::NustatytiFaila(const QString& kelias, qint64 dabar, const QString& senas) {
    failas = kelias;
    if (failas.isEmpty())
        return;
    const auto skaityti = [&](const QString& kas) {
        QFile f(kas);
        if (!f.open(QIODevice::ReadOnly))
            return false;
        Ikelti(f.read(1024 * 1024), dabar, QDateTime::currentMSecsSinceEpoch());
        return true;
    };
    skaityti(failas);
    if (!senas.isEmpty() && senas != failas && skaityti(senas) && Issaugoti(dabar))
        QFile::remove(senas);
}

bool TKonsoliuRegistras::Issaugoti(qint64 dabar) const {
    if (failas.isEmpty())
        return true;
    QSaveFile f(failas);
    if (!AtidarytiPrivatu(f))
        return false;
    f.write(Irasas(dabar, QDateTime::currentMSecsSinceEpoch()));
    return f.commit();
}
