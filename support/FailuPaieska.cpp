#include "FailuPaieska.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QSet>

#include "Keliai.h"

using namespace Qt::StringLiterals;

namespace {

int IeskotiAplanke(const QString& aplankas, const QString& kauke, bool suPakatalogiais, QStringList& sarasas) {
    const QString skaitomas = aplankas.isEmpty() ? u"."_s : aplankas;
    int kiekis = 0;
    QDirIterator failai(skaitomas, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (failai.hasNext()) {
        failai.next();
        if (failai.fileInfo().isDir() || !AtitinkaKauke(failai.fileName(), kauke))
            continue;
        sarasas.append(aplankas + failai.fileName());
        ++kiekis;
    }
    if (!suPakatalogiais)
        return kiekis;
    // Without QDir::Hidden the iterator leaves out the names beginning with ".".
    QDirIterator aplankai(skaitomas, QDir::Dirs | QDir::NoDotAndDotDot);
    while (aplankai.hasNext()) {
        aplankai.next();
        if (aplankai.fileInfo().isSymLink())
            continue;
        kiekis += IeskotiAplanke(aplankas + aplankai.fileName() + u'/', kauke, true, sarasas);
    }
    return kiekis;
}

} // namespace

bool AtitinkaKauke(const QString& vardas, const QString& kauke) {
    const QString v = vardas.toCaseFolded();
    const QString k = kauke.toCaseFolded();
    // Greedy matching with one step back to the last "*": linear enough for names.
    qsizetype iv = 0;
    qsizetype ik = 0;
    qsizetype zvaigzde = -1;
    qsizetype poZvaigzdes = 0;
    while (iv < v.size()) {
        if (ik < k.size() && (k.at(ik) == u'?' || k.at(ik) == v.at(iv))) {
            ++iv;
            ++ik;
        } else if (ik < k.size() && k.at(ik) == u'*') {
            zvaigzde = ik++;
            poZvaigzdes = iv;
        } else if (zvaigzde >= 0) {
            ik = zvaigzde + 1;
            iv = ++poZvaigzdes;
        } else {
            return false;
        }
    }
    while (ik < k.size() && k.at(ik) == u'*')
        ++ik;
    return ik == k.size();
}

int IeskotiFailu(const QString& katalogas, const QString& kauke, bool suPakatalogiais, QStringList& sarasas) {
    // As with a wildcard enumeration, the last component of folder + mask is the
    // mask and everything before it the folder.
    QString visas = katalogas + kauke;
    visas.replace(u'\\', u'/');
    const qsizetype skirtukas = visas.lastIndexOf(u'/');
    const QString kauke2 = visas.mid(skirtukas + 1);
    if (skirtukas < 0)
        return IeskotiAplanke(QString(), kauke2, suPakatalogiais, sarasas);
    // The data folder may lie in two places (the user's and the shipped one):
    // their union is listed, a name found earlier hiding the same name later.
    const QStringList aplankai = VisiVietiniaiKeliai(visas.left(skirtukas + 1));
    if (aplankai.size() == 1)
        return IeskotiAplanke(aplankai.first(), kauke2, suPakatalogiais, sarasas);
    QSet<QString> matyti;
    int kiekis = 0;
    for (const QString& aplankas : aplankai) {
        QStringList rasti;
        IeskotiAplanke(aplankas, kauke2, suPakatalogiais, rasti);
        for (const QString& kelias : rasti) {
            const QString santykinis = kelias.mid(aplankas.size());
            if (matyti.contains(santykinis))
                continue;
            matyti.insert(santykinis);
            sarasas.append(kelias);
            ++kiekis;
        }
    }
    return kiekis;
}
