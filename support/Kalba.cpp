#include "Kalba.h"

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
