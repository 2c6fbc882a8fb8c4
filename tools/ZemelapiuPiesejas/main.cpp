// velmorant-mappainter: draws the map pictures of the program.
//
//   velmorant-mappainter <output folder> [map names...]
//
// Without names it draws every map of the built-in list and the neutral
// picture. Each picture is written as <name in lower case>.jpg.

#include <cstdio>
#include <utility>

#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>
#include <QStringList>

#include "JpegRasytojas.h"
#include "Piesejas.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kKokybe = 85;

void Klaida(const QString& tekstas) {
    std::fprintf(stderr, "velmorant-mappainter: %s\n", qPrintable(tekstas));
}

bool Rasyti(const QDir& aplankas, const QString& pavadinimas, const QImage& vaizdas) {
    const QByteArray jpeg = KoduotiJpeg(vaizdas, kKokybe);
    if (jpeg.isEmpty()) {
        Klaida(u"could not encode %1"_s.arg(pavadinimas));
        return false;
    }
    const QString kelias = aplankas.filePath(pavadinimas + u".jpg"_s);
    QSaveFile failas(kelias);
    if (!failas.open(QIODevice::WriteOnly) || failas.write(jpeg) != jpeg.size() || !failas.commit()) {
        Klaida(u"could not write %1: %2"_s.arg(kelias, failas.errorString()));
        return false;
    }
    std::printf("%s %lld\n", qPrintable(QDir::toNativeSeparators(kelias)), static_cast<long long>(jpeg.size()));
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication programa(argc, argv);
    QStringList argumentai = QCoreApplication::arguments().mid(1);
    if (argumentai.isEmpty() || argumentai.first().startsWith(u'-')) {
        std::fprintf(stderr, "usage: velmorant-mappainter <output folder> [map names...]\n"
                             "Without names, draws the built-in map list and the neutral picture.\n");
        return 2;
    }
    const QString aplankoKelias = argumentai.takeFirst();

    QStringList pavadinimai;
    for (const QString& argumentas : std::as_const(argumentai)) {
        const QString pavadinimas = argumentas.trimmed().toLower();
        if (!TinkamasPavadinimas(pavadinimas)) {
            Klaida(u"unsuitable map name: \"%1\" (allowed: a-z 0-9 _ - . , not starting with '.', not \"%2\")"_s.arg(
                argumentas, StandartinioPavadinimas()));
            return 2;
        }
        if (!pavadinimai.contains(pavadinimas))
            pavadinimai << pavadinimas;
    }
    const bool visi = pavadinimai.isEmpty();
    if (visi)
        pavadinimai = ZinomiZemelapiai();

    if (!QDir().mkpath(aplankoKelias)) {
        Klaida(u"could not create the folder %1"_s.arg(aplankoKelias));
        return 1;
    }
    const QDir aplankas(aplankoKelias);
    bool gerai = true;
    for (const QString& pavadinimas : std::as_const(pavadinimai))
        gerai = Rasyti(aplankas, pavadinimas, PiestiZemelapi(pavadinimas)) && gerai;
    if (visi)
        gerai = Rasyti(aplankas, StandartinioPavadinimas(), PiestiStandartini()) && gerai;
    return gerai ? 0 : 1;
}
