#include "Nustatymai.h"

#include "Keliai.h"
#include "Skaiciai.h"
#include "Tekstas.h"
#include "TybINI.h"

using namespace Qt::StringLiterals;

namespace {

void ParuostiFaila(TTybINI& failas) {
    failas.setSectionBeginID(u"-->"_s);
    failas.setSectionEndID(u"<--"_s);
    failas.setZenklasLygu(u"="_s);
    failas.setKomentaroZenklas(u";"_s);
    failas.setByla(RasomasKelias(kNustatymuFailas));
}

} // namespace

TNustatymas ZymosNustatymas(const char* raktas, std::function<bool()> gauti, std::function<void(bool)> nustatyti) {
    return {raktas, [gauti] { return QByteArray(gauti() ? "1" : "0"); },
            [nustatyti](const QByteArray& reiksme) {
                nustatyti(reiksme == "1");
            }};
}

TNustatymas IntervaloNustatymas(const char* raktas, std::function<int()> gauti, std::function<void(int)> nustatyti,
                                bool apkarpyti) {
    return {raktas, [gauti] { return QByteArray::number(gauti()); },
            [nustatyti, apkarpyti](const QByteArray& reiksme) {
                const QString tekstas = apkarpyti ? ApkarpytiTarpus(RodomasTekstas(reiksme)) : RodomasTekstas(reiksme);
                const int ms = StrToInt(tekstas);
                if (ms < 0)
                    throw EKonvertavimoKlaida(u"'"_s + tekstas + u"' is not a valid integer value"_s);
                nustatyti(ms);
            }};
}

TNustatymas TekstoNustatymas(const char* raktas, std::function<QString()> gauti,
                             std::function<void(const QString&)> nustatyti) {
    return {raktas, [gauti] { return gauti().toUtf8(); },
            [nustatyti](const QByteArray& reiksme) {
                nustatyti(RodomasTekstas(reiksme));
            }};
}

void IkeltiNustatymus(const QList<TNustatymas>& lentele) {
    TTybINI failas;
    ParuostiFaila(failas);
    for (const TNustatymas& n : lentele)
        n.Taikyti(failas.SkaitytiReiksme(kNustatymuSekcija, QString::fromLatin1(n.Raktas)));
}

void IssaugotiNustatymus(const QList<TNustatymas>& lentele) {
    TTybINI failas;
    ParuostiFaila(failas);
    for (const TNustatymas& n : lentele) {
        const QString raktas = QString::fromLatin1(n.Raktas);
        const QByteArray reiksme = n.Reiksme();
        if (n.Numatyta && reiksme == *n.Numatyta && failas.SkaitytiReiksme(kNustatymuSekcija, raktas).startsWith("###"))
            continue;
        failas.RasytiReiksme(kNustatymuSekcija, raktas, reiksme);
    }
}
