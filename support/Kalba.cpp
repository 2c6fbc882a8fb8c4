#include "Kalba.h"

#include <algorithm>

#include "TybINI.h"

using namespace Qt::StringLiterals;

TKalba::TKalba(QObject* savininkas) : failas(new TTybINI(savininkas)) {
    failas->setObjectName(u"TybINI1"_s);
    failas->setSectionBeginID(u"-->"_s);
    failas->setSectionEndID(u"<--"_s);
    failas->setZenklasLygu(u"="_s);
    failas->setKomentaroZenklas(u";"_s);
    failas->setByla(u"*.Tyb"_s); // no language until one is chosen: every text is "###1"
}

QString TKalba::Byla() const {
    return failas->Byla();
}

void TKalba::NustatytiByla(const QString& byla) {
    failas->setByla(byla);
}

void TKalba::NustatytiKalba(const QString& aplankas, const QString& vardas) {
    failas->setByla(aplankas + vardas + u".lng"_s);
}

QString TKalba::Tekstas(const char* sekcija, const char* raktas) const {
    return failas->SkaitytiTeksta(QString::fromLatin1(sekcija), QString::fromLatin1(raktas));
}

QByteArray TKalba::Reiksme(const char* sekcija, const char* raktas) const {
    return failas->SkaitytiReiksme(QString::fromLatin1(sekcija), QString::fromLatin1(raktas));
}

QLocale TKalba::Lokale() const {
    const QByteArray vardas = Reiksme("Kalba", "Lokale").trimmed();
    // Only a name of letters and one underscore, as the shipped files hold: nothing else is asked of QLocale.
    const bool tinka = !vardas.isEmpty() && vardas.size() <= 16 &&
                       std::all_of(vardas.cbegin(), vardas.cend(),
                                   [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; });
    return tinka ? QLocale(QString::fromLatin1(vardas)) : QLocale();
}
