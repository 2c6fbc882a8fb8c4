#include "PrivatusFailas.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace {

constexpr QFileDevice::Permissions kAplankoTeises =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
constexpr QFileDevice::Permissions kFailoTeises = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

} // namespace

bool SukurtiPrivatuAplanka(const QString& kelias) {
    const QString visas = QDir::cleanPath(QFileInfo(kelias).absoluteFilePath());
    if (QFileInfo(visas).isDir())
        return true;
    const QString virs = QFileInfo(visas).path();
    if (virs != visas && !SukurtiPrivatuAplanka(virs))
        return false;
    // Another program may have made it meanwhile.
    return QDir().mkdir(visas, kAplankoTeises) || QFileInfo(visas).isDir();
}

bool AtidarytiPrivatu(QSaveFile& failas) {
    const QFileInfo info(failas.fileName());
    if (!SukurtiPrivatuAplanka(info.absolutePath()))
        return false;
    const bool arNaujas = !info.exists();
    if (!failas.open(QIODevice::WriteOnly))
        return false;
    // The file being written is what replaces the old one, mode and all.
    return !arNaujas || failas.setPermissions(kFailoTeises);
}

bool SukurtiPrivatuFaila(const QString& kelias) {
    const QFileInfo info(kelias);
    if (info.exists())
        return true;
    if (!SukurtiPrivatuAplanka(info.absolutePath()))
        return false;
    QFile failas(kelias);
    return failas.open(QIODevice::WriteOnly | QIODevice::NewOnly, kFailoTeises) || QFileInfo::exists(kelias);
}

QString BusenosAplankas() {
    // Only an absolute path counts, as XDG's folder rules say.
    QString bazinis = qEnvironmentVariable("XDG_STATE_HOME");
    if (bazinis.isEmpty() || QDir::isRelativePath(bazinis))
        bazinis = QDir::homePath() + u"/.local/state"_s;
    return bazinis + u"/Velmorant"_s;
}
