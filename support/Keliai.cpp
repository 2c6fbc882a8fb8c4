#include "Keliai.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include "PrivatusFailas.h"

using namespace Qt::StringLiterals;

namespace {

TDuomenuAplankai duomenuAplankai;

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

QString Suvienodinti(const QString& kelias) {
    QString s = kelias;
    s.replace(u'\\', u'/');
    return s;
}

// The component-by-component lookup of a path with "/" separators.
QString Issprensti(const QString& suvienodintas) {
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

// For a relative path whose first component is "resursai": true, with the
// rest of the path after that component (its separator included, or empty).
bool DuomenuKelias(const QString& suvienodintas, QString& likutis) {
    qsizetype pradzia = 0;
    while (pradzia < suvienodintas.size() && suvienodintas.at(pradzia) == u'/')
        ++pradzia;
    if (pradzia > 0)
        return false;
    const qsizetype galas = suvienodintas.indexOf(u'/');
    const QString pirma = galas < 0 ? suvienodintas : suvienodintas.left(galas);
    if (pirma.compare("resursai"_L1, Qt::CaseInsensitive) != 0)
        return false;
    likutis = galas < 0 ? QString() : suvienodintas.mid(galas);
    return true;
}

QString Sujungti(const QString& aplankas, const QString& likutis) {
    return Issprensti(Suvienodinti(aplankas) + likutis);
}

bool Yra(const QString& kelias) {
    const QFileInfo info(kelias);
    return info.exists() || info.isSymLink();
}

} // namespace

void NustatytiDuomenuAplankus(const TDuomenuAplankai& aplankai) {
    duomenuAplankai = aplankai;
}

TDuomenuAplankai DuomenuAplankai() {
    return duomenuAplankai;
}

QString VietinisKelias(const QString& kelias) {
    const QString suvienodintas = Suvienodinti(kelias);
    QString likutis;
    if (!DuomenuKelias(suvienodintas, likutis))
        return Issprensti(suvienodintas);
    if (!duomenuAplankai.Vartotojo.isEmpty()) {
        const QString vartotojo = Sujungti(duomenuAplankai.Vartotojo, likutis);
        if (Yra(vartotojo))
            return vartotojo;
        const QString isleistas = Sujungti(duomenuAplankai.Duomenys, likutis);
        return Yra(isleistas) ? isleistas : vartotojo;
    }
    return Sujungti(duomenuAplankai.Duomenys, likutis);
}

QStringList VisiVietiniaiKeliai(const QString& kelias) {
    const QString suvienodintas = Suvienodinti(kelias);
    QString likutis;
    if (!DuomenuKelias(suvienodintas, likutis))
        return {Issprensti(suvienodintas)};
    QStringList keliai;
    if (!duomenuAplankai.Vartotojo.isEmpty())
        keliai.append(Sujungti(duomenuAplankai.Vartotojo, likutis));
    keliai.append(Sujungti(duomenuAplankai.Duomenys, likutis));
    return keliai;
}

QString RasomasKelias(const QString& kelias) {
    const QString suvienodintas = Suvienodinti(kelias);
    QString likutis;
    if (duomenuAplankai.Vartotojo.isEmpty() || !DuomenuKelias(suvienodintas, likutis))
        return kelias;
    QString tikslas = Sujungti(duomenuAplankai.Vartotojo, likutis);
    if (Yra(tikslas))
        return tikslas;
    const QString isleistas = Sujungti(duomenuAplankai.Duomenys, likutis);
    const bool yraNumatytas = QFileInfo(isleistas).isFile();
    // The copy is spelled as the shipped file is, whatever spelling asked for it.
    if (yraNumatytas)
        tikslas = Sujungti(duomenuAplankai.Vartotojo, isleistas.mid(Suvienodinti(duomenuAplankai.Duomenys).size()));
    SukurtiPrivatuAplanka(QFileInfo(tikslas).path());
    // The user's copy is the user's alone, as every file the program writes.
    if (yraNumatytas && QFile::copy(isleistas, tikslas))
        QFile::setPermissions(tikslas, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return tikslas;
}

TDuomenuAplankai RastiDuomenuAplankus(const QString& programosAplankas, const QString& idiegtasKelias,
                                      const QString& konfiguracijosAplankas) {
    TDuomenuAplankai aplankai;
    const QFileInfo vietinis(Issprensti(u"resursai"_s));
    if (vietinis.isDir()) {
        if (!vietinis.isWritable())
            aplankai.Vartotojo = konfiguracijosAplankas;
        return aplankai;
    }
    const QFileInfo idiegtas(QDir(programosAplankas).filePath(idiegtasKelias));
    if (!programosAplankas.isEmpty() && idiegtas.isDir()) {
        aplankai.Duomenys = idiegtas.canonicalFilePath();
        aplankai.Vartotojo = konfiguracijosAplankas;
    }
    return aplankai;
}
