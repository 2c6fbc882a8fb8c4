#include "Keliai.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

// The entry of `aplankas` that `vardas` names: the exact spelling when it exists,
// otherwise the first entry (in byte order) equal to it without regard to case;
// an empty text when there is none.
QString RastiIrasa(const QString& aplankas, const QString& vardas) {
    const QFileInfo tikslus(aplankas + vardas);
    if (tikslus.exists() || tikslus.isSymLink())
        return vardas;
    QString rastas;
    QDirIterator i(aplankas.isEmpty() ? u"."_s : aplankas,
                   QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (i.hasNext()) {
        i.next();
        const QString irasas = i.fileName();
        if (irasas.compare(vardas, Qt::CaseInsensitive) == 0 && (rastas.isEmpty() || irasas < rastas))
            rastas = irasas;
    }
    return rastas;
}

} // namespace

QString VietinisKelias(const QString& kelias) {
    QString suvienodintas = kelias;
    suvienodintas.replace(u'\\', u'/');

    const bool absoliutus = suvienodintas.startsWith(u'/');
    const bool suGaliniu = suvienodintas.endsWith(u'/');
    const QStringList dalys = suvienodintas.split(u'/', Qt::SkipEmptyParts);

    // `rezultatas` is the text handed back; `aplankas` the same folder as the
    // lookups need it, ending with "/" (empty for the working directory).
    QString rezultatas = absoliutus ? u"/"_s : QString();
    QString aplankas = rezultatas;
    bool ieskoti = true;
    for (qsizetype n = 0; n < dalys.size(); ++n) {
        QString dalis = dalys.at(n);
        if (ieskoti && dalis != "."_L1 && dalis != ".."_L1) {
            const QString rasta = RastiIrasa(aplankas, dalis);
            if (rasta.isEmpty())
                ieskoti = false;
            else
                dalis = rasta;
        }
        rezultatas += dalis;
        if (n + 1 < dalys.size() || suGaliniu)
            rezultatas += u'/';
        aplankas += dalis + u'/';
    }
    return rezultatas;
}
