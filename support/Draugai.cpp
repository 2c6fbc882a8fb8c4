#include "Draugai.h"

#include "Keliai.h"
#include "Tekstas.h"
#include "TybINI.h"

using namespace Qt::StringLiterals;

namespace {

bool ArYra(const QStringList& eilutes, const QString& raktas) {
    for (const QString& eilute : eilutes)
        if (TDraugai::Raktas(eilute) == raktas)
            return true;
    return false;
}

bool ArVardas(const QString& vardas) {
    return !vardas.trimmed().isEmpty() && !vardas.contains(u'\n') && !vardas.contains(u'\r') &&
           !vardas.contains(QChar(0));
}

} // namespace

TDraugai::TDraugai() : TDraugai(VietinisKelias(RasomasKelias(kDraugaiFailas))) {}

TDraugai::TDraugai(QString kelias) : kelias(std::move(kelias)) {}

QString TDraugai::Raktas(const QString& vardas) {
    return vardas.trimmed().toCaseFolded();
}

bool TDraugai::ArDraugas(const QString& vardas) const {
    return raktai.contains(Raktas(vardas));
}

bool TDraugai::ArDraugas(const QByteArray& vardas) const {
    return ArDraugas(ServerioTekstas(vardas));
}

QStringList TDraugai::SkaitytiEilutes() const {
    const std::optional<QByteArray> turinys = SkaitytiFailoTurini(kelias, true);
    if (!turinys)
        return {};
    QByteArray baitai = *turinys;
    if (baitai.startsWith("\xEF\xBB\xBF"))
        baitai.remove(0, 3);
    // The file is UTF-8; a line that is not (written by hand in another code
    // page) is read as the scoreboard would show such bytes.
    QStringList eilutes;
    for (const QByteArray& eilute : baitai.split('\n')) {
        const QByteArray be = eilute.endsWith('\r') ? eilute.chopped(1) : eilute;
        eilutes.append(ServerioTekstas(be));
    }
    // A file that ends with a line break has no empty line after it.
    if (!eilutes.isEmpty() && eilutes.constLast().isEmpty())
        eilutes.removeLast();
    return eilutes;
}

void TDraugai::Priimti(const QStringList& eilutes) {
    vardai.clear();
    raktai.clear();
    for (const QString& eilute : eilutes) {
        const QString vardas = eilute.trimmed();
        if (vardas.isEmpty())
            continue;
        vardai.append(vardas);
        raktai.insert(Raktas(vardas));
    }
}

void TDraugai::Rasyti(const QStringList& eilutes) {
    QByteArray turinys;
    for (const QString& eilute : eilutes)
        turinys += eilute.toUtf8() + '\n';
    PakeistiFailaAtomiskai(kelias, turinys);
}

void TDraugai::Ikelti() {
    Priimti(SkaitytiEilutes());
}

bool TDraugai::Prideti(const QString& vardas) {
    if (!ArVardas(vardas))
        return false;
    QStringList eilutes = SkaitytiEilutes();
    if (ArYra(eilutes, Raktas(vardas))) {
        Priimti(eilutes);
        return false;
    }
    eilutes.append(vardas.trimmed());
    Rasyti(eilutes);
    Priimti(eilutes);
    return true;
}

bool TDraugai::Pasalinti(const QString& vardas) {
    if (!ArVardas(vardas))
        return false;
    QStringList eilutes = SkaitytiEilutes();
    const QString raktas = Raktas(vardas);
    if (!ArYra(eilutes, raktas)) {
        Priimti(eilutes);
        return false;
    }
    eilutes.removeIf([&raktas](const QString& eilute) { return Raktas(eilute) == raktas; });
    Rasyti(eilutes);
    Priimti(eilutes);
    return true;
}

bool TDraugai::Perjungti(const QString& vardas) {
    if (!ArVardas(vardas))
        return false;
    // The file decides, not the list read earlier: it may have been edited since.
    if (ArYra(SkaitytiEilutes(), Raktas(vardas))) {
        Pasalinti(vardas);
        return false;
    }
    Prideti(vardas);
    return true;
}
