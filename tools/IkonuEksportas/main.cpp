// velmorant-ikonos: writes the program's icon, the radar drawn in code, as PNG
// files of the sizes a desktop's icon theme looks for:
//   velmorant-ikonos <folder>  ->  <folder>/<n>x<n>/apps/velmorant.png
#include <cstdio>

#include <QDir>
#include <QImage>
#include <QString>

#include "Ikona.h"

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: velmorant-ikonos <folder>\n");
        return 2;
    }
    const QDir aplankas(QString::fromLocal8Bit(argv[1]));
    for (const int dydis : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString poaplankis = QStringLiteral("%1x%1/apps").arg(dydis);
        const QString failas = aplankas.filePath(poaplankis + QStringLiteral("/velmorant.png"));
        if (!aplankas.mkpath(poaplankis) || !ProgramosIkonosVaizdas(dydis).save(failas, "PNG")) {
            std::fprintf(stderr, "velmorant-ikonos: cannot write %s\n", qPrintable(failas));
            return 1;
        }
    }
    return 0;
}
