#include "ZaidimoPaleidimas.h"

#include <QProcess>
#include <QStandardPaths>

#include "Registras.h"
#include "Skaiciai.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kNumatytasPrievadas = 27015;
// xdg-mime is a shell script; the launch waits this long for its answer at most.
constexpr int kXdgMimeLaukimasMs = 3000;

bool ArSkaitmenys(QStringView s) {
    if (s.isEmpty())
        return false;
    for (const QChar c : s)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

bool ArRaidesSkaitmuo(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

// Decimal digits of at most `ilgis` characters whose value lies in nuo..iki.
bool SkaiciusRibose(QStringView s, int ilgis, int nuo, int iki) {
    if (!ArSkaitmenys(s) || s.size() > ilgis)
        return false;
    const int n = s.toInt();
    return n >= nuo && n <= iki;
}

bool ArIPv4(QStringView hostas) {
    const auto dalys = hostas.split(u'.');
    if (dalys.size() != 4)
        return false;
    for (const QStringView d : dalys)
        if (!SkaiciusRibose(d, 3, 0, 255))
            return false;
    return true;
}

bool ArVardas(QStringView hostas) {
    if (hostas.isEmpty() || hostas.size() > 253)
        return false;
    bool visiSkaitmenys = true;
    for (const QStringView zyme : hostas.split(u'.')) {
        if (zyme.isEmpty() || zyme.size() > 63 || zyme.front() == u'-' || zyme.back() == u'-')
            return false;
        for (const QChar c : zyme)
            if (!ArRaidesSkaitmuo(c) && c != u'-')
                return false;
        visiSkaitmenys = visiSkaitmenys && ArSkaitmenys(zyme);
    }
    // All digits is no name: it is an IPv4 address or nothing.
    return !visiSkaitmenys;
}

} // namespace

std::optional<QString> TikrintiAdresa(const QString& tekstas) {
    const QString adresas = ApkarpytiTarpus(tekstas);
    const qsizetype dvitaskis = adresas.indexOf(u':');
    const QStringView hostas = QStringView(adresas).left(dvitaskis < 0 ? adresas.size() : dvitaskis);
    if (dvitaskis >= 0 && !SkaiciusRibose(QStringView(adresas).mid(dvitaskis + 1), 5, 1, 65535))
        return std::nullopt;
    if (!ArIPv4(hostas) && !ArVardas(hostas))
        return std::nullopt;
    return adresas;
}

QString SteamNuoroda(const QString& adresas) {
    const QString a = ApkarpytiTarpus(adresas);
    return u"steam://connect/"_s + (a.contains(u':') ? a : a + u':' + QString::number(kNumatytasPrievadas));
}

TPaleidimoAplinka SistemosPaleidimoAplinka() {
    TPaleidimoAplinka aplinka;
    aplinka.RastiWine = [] {
        return QStandardPaths::findExecutable(u"wine"_s);
    };
    aplinka.RastiSteam = [] {
        return QStandardPaths::findExecutable(u"steam"_s);
    };
    aplinka.ArYraSteamTvarkykle = [] {
        const QString xdgMime = QStandardPaths::findExecutable(u"xdg-mime"_s);
        if (xdgMime.isEmpty())
            return false;
        QProcess uzklausa;
        uzklausa.setStandardInputFile(QProcess::nullDevice());
        uzklausa.start(xdgMime, {u"query"_s, u"default"_s, u"x-scheme-handler/steam"_s});
        if (!uzklausa.waitForFinished(kXdgMimeLaukimasMs)) {
            uzklausa.kill();
            uzklausa.waitForFinished(kXdgMimeLaukimasMs);
            return false;
        }
        return uzklausa.exitStatus() == QProcess::NormalExit && uzklausa.exitCode() == 0 &&
               !uzklausa.readAllStandardOutput().trimmed().isEmpty();
    };
    aplinka.PaleistiProcesa = [](const QString& programa, const QStringList& argumentai) {
        return QProcess::startDetached(programa, argumentai);
    };
    return aplinka;
}

TPaleidimoBudas PaleistiZaidima(const QString& adresas, const QString& zaidimoKatalogas,
                                const TPaleidimoAplinka& aplinka) {
    const std::optional<QString> patikrintas = TikrintiAdresa(adresas);
    if (!patikrintas)
        return TPaleidimoBudas::Nepaleista;

    const bool katalogasYra = !zaidimoKatalogas.isEmpty() && zaidimoKatalogas != QString::fromLatin1(kRaktoNera);
    if (katalogasYra && aplinka.RastiWine && aplinka.PaleistiProcesa) {
        const QString wine = aplinka.RastiWine();
        // The game's own command line: the fixed words, then the address.
        const QStringList argumentai{
            zaidimoKatalogas + u"\\hl.exe"_s, u"-game"_s, u"cstrike"_s, u"-toconsole"_s, u"+connect"_s, *patikrintas};
        if (!wine.isEmpty() && aplinka.PaleistiProcesa(wine, argumentai))
            return TPaleidimoBudas::Wine;
    }

    const QString nuoroda = SteamNuoroda(*patikrintas);
    if (aplinka.RastiSteam && aplinka.PaleistiProcesa) {
        const QString steam = aplinka.RastiSteam();
        if (!steam.isEmpty() && aplinka.PaleistiProcesa(steam, {nuoroda}))
            return TPaleidimoBudas::SteamPrograma;
    }
    if (aplinka.ArYraSteamTvarkykle && aplinka.AtidarytiNuoroda && aplinka.ArYraSteamTvarkykle() &&
        aplinka.AtidarytiNuoroda(nuoroda))
        return TPaleidimoBudas::SteamNuoroda;
    return TPaleidimoBudas::Nepaleista;
}
