#include "Parinktys.h"

#include "Skaiciai.h"
#include "Tekstas.h"

TParinktys::TParinktys(QObject* tevas) : QObject(tevas) {
    // The scoreboard, the bar, the exit question and the save are on until the settings say otherwise.
    zymos = {true, true, true, true, false, false, false, false};
}

bool TParinktys::Zyma(TZyma zyma) const {
    return zymos.at(int(zyma));
}

void TParinktys::NustatytiZyma(TZyma zyma, bool reiksme) {
    if (zymos.at(int(zyma)) == reiksme)
        return;
    zymos[int(zyma)] = reiksme;
    Q_EMIT ZymaPakito(zyma, reiksme);
}

void TParinktys::NustatytiIntervala(int ms) {
    if (intervalas == ms)
        return;
    intervalas = ms;
    Q_EMIT IntervalasPakito(ms);
}

void TParinktys::NustatytiServeriuBendrai(int ms) {
    if (serveriaiBendrai == ms)
        return;
    serveriaiBendrai = ms;
    Q_EMIT ServeriaiBendraiPakito(ms);
}

void TParinktys::NustatytiNarsyklesGreiti(int pinguPerMinute) {
    if (narsyklesGreitis == pinguPerMinute)
        return;
    narsyklesGreitis = pinguPerMinute;
    Q_EMIT NarsyklesGreitisPakito(pinguPerMinute);
}

void TParinktys::NustatytiKalba(const QString& failas) {
    if (kalba == failas)
        return;
    kalba = failas;
    Q_EMIT KalbaPakito(failas);
}

void TParinktys::NustatytiNarsyklesVieta(const QRect& vieta) {
    const QRect nauja = vieta.isValid() ? vieta : QRect();
    if (narsyklesVieta == nauja)
        return;
    narsyklesVieta = nauja;
    Q_EMIT NarsyklesVietaPakito(nauja);
}

QByteArray VietosTekstas(const QRect& vieta) {
    if (!vieta.isValid())
        return QByteArray();
    return QByteArray::number(vieta.x()) + ',' + QByteArray::number(vieta.y()) + ',' +
           QByteArray::number(vieta.width()) + ',' + QByteArray::number(vieta.height());
}

QRect SkaitytiVieta(const QByteArray& tekstas) {
    // Bounds far beyond any desktop: a hand-edited value cannot ask for a window of a million pixels.
    constexpr int kRiba = 100000, kDidziausiasDydis = 20000;
    const QList<QByteArray> dalys = tekstas.trimmed().split(',');
    if (dalys.size() != 4)
        return QRect();
    int n[4];
    for (int i = 0; i < 4; ++i) {
        bool gerai = false;
        n[i] = dalys.at(i).trimmed().toInt(&gerai);
        if (!gerai || n[i] < -kRiba || n[i] > kRiba)
            return QRect();
    }
    if (n[2] <= 0 || n[3] <= 0 || n[2] > kDidziausiasDydis || n[3] > kDidziausiasDydis)
        return QRect();
    return QRect(n[0], n[1], n[2], n[3]);
}

void TParinktys::NustatytiKoduote(const QByteArray& pavadinimas) {
    if (koduote == pavadinimas)
        return;
    koduote = pavadinimas;
    Q_EMIT KoduotePakito(pavadinimas);
}

QList<TNustatymas> ParinkciuLentele(TParinktys& p) {
    using Z = TParinktys::TZyma;
    const auto zyma = [&p](const char* raktas, Z z) {
        return ZymosNustatymas(
            raktas, [&p, z] { return p.Zyma(z); }, [&p, z](bool b) { p.NustatytiZyma(z, b); });
    };
    return {
        zyma("TAB", Z::TAB),
        zyma("MeniuApacioj", Z::MeniuApacioj),
        zyma("ArIseiti", Z::ArIseiti),
        zyma("IssaugotiPakeitimus", Z::IssaugotiPakeitimus),
        zyma("KeistiHosta", Z::KeistiHosta),
        // The watcher's own interval may stand between blanks, the list's only after them.
        IntervaloNustatymas(
            "Intervalas", [&p] { return p.Intervalas(); }, [&p](int ms) { p.NustatytiIntervala(ms); }, true),
        IntervaloNustatymas(
            "ServeriaiBendrai", [&p] { return p.ServeriaiBendrai(); }, [&p](int ms) { p.NustatytiServeriuBendrai(ms); },
            false),
        // The language file's name, as settings of old hold it.
        TekstoNustatymas(
            "Kalba", [&p] { return p.Kalba(); }, [&p](const QString& t) { p.NustatytiKalba(t); }),
        // Without them in the file both are off.
        zyma("PranestiVieta", Z::PranestiVieta),
        zyma("PranestiDraugus", Z::PranestiDraugus),
        // The browser's pace; missing, or no whole number, it is the default.
        TNustatymas{"NarsyklesGreitis", [&p] { return QByteArray::number(p.NarsyklesGreitis()); },
                    [&p](const QByteArray& reiksme) {
                        int n = 0;
                        if (!BandytiStrToInt(ApkarpytiTarpus(QString::fromLatin1(reiksme)), n) || n < 0)
                            n = TParinktys::kNarsyklesGreitis;
                        p.NustatytiNarsyklesGreiti(n);
                    },
                    QByteArray::number(TParinktys::kNarsyklesGreitis)},
        // Off, it is not written to a file that lacks it.
        TNustatymas{
            "NarsykleBeNetikru", [&p] { return QByteArray(p.Zyma(Z::NarsykleBeNetikru) ? "1" : "0"); },
            [&p](const QByteArray& reiksme) { p.NustatytiZyma(Z::NarsykleBeNetikru, reiksme.trimmed() == "1"); },
            QByteArray("0")},
        // A missing key reads as a marker: the language's.
        TNustatymas{"Koduote", [&p] { return p.Koduote(); },
                    [&p](const QByteArray& reiksme) {
                        p.NustatytiKoduote(reiksme.startsWith("###") ? QByteArray() : reiksme.trimmed());
                    },
                    QByteArray()},
        // Not in the file until the user has moved or resized the browser.
        TNustatymas{"NarsyklesVieta", [&p] { return VietosTekstas(p.NarsyklesVieta()); },
                    [&p](const QByteArray& reiksme) { p.NustatytiNarsyklesVieta(SkaitytiVieta(reiksme)); },
                    QByteArray()},
    };
}
