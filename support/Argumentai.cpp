#include "Argumentai.h"

#include <cstdio>
#include <cstdlib>

#include <QCommandLineOption>
#include <QCommandLineParser>

#include "FailoInfo.h"

using namespace Qt::StringLiterals;

TArgumentai SkaitytiArgumentus(const QStringList& argumentai) {
    TVersijosTekstai irasas;
    for (const TVersijosReiksme& r : KompiliuotasVersijosIrasas()) {
        for (std::size_t i = 0; i < kVersijosRaktai.size(); ++i) {
            if (QStringView(r.Raktas).compare(kVersijosRaktai[i], Qt::CaseInsensitive) == 0)
                irasas[i] = r.Reiksme;
        }
    }

    QCommandLineParser skaitytuvas;
    skaitytuvas.setApplicationDescription(irasas[kKomentarai]);
    // Help and version by hand: the parser's own would end the process itself,
    // and its --help-all prints what QApplication has already taken.
    const QCommandLineOption pagalba({u"h"_s, u"help"_s}, u"Show this help and exit."_s);
    const QCommandLineOption versija({u"v"_s, u"version"_s}, u"Show the program's version and exit."_s);
    const QCommandLineOption narsykle(u"browser"_s, u"Open the server browser and ask for its list at once."_s);
    skaitytuvas.addOption(pagalba);
    skaitytuvas.addOption(versija);
    skaitytuvas.addOption(narsykle);
    skaitytuvas.addPositionalArgument(
        u"address"_s, u"The server to watch at once, host[:port] (port 27015 when left out)."_s, u"[address]"_s);

    TArgumentai rezultatas;
    if (!skaitytuvas.parse(argumentai)) {
        rezultatas.Veiksmas = TArgumentai::TVeiksmas::Klaida;
        rezultatas.Tekstas = skaitytuvas.errorText() + u"\n\n"_s + skaitytuvas.helpText();
    } else if (skaitytuvas.isSet(pagalba)) {
        rezultatas.Veiksmas = TArgumentai::TVeiksmas::Pagalba;
        rezultatas.Tekstas = skaitytuvas.helpText();
    } else if (skaitytuvas.isSet(versija)) {
        rezultatas.Veiksmas = TArgumentai::TVeiksmas::Versija;
        rezultatas.Tekstas = irasas[kProduktoPavadinimas] + u' ' + irasas[kFailoVersija] + u'\n';
    } else {
        const QStringList kiti = skaitytuvas.positionalArguments();
        if (!kiti.isEmpty())
            rezultatas.Adresas = kiti.first();
        rezultatas.ArNarsykle = skaitytuvas.isSet(narsykle);
    }
    return rezultatas;
}

std::optional<int> IsvestiArgumentuAtsakyma(const TArgumentai& argumentai) {
    const bool klaida = argumentai.Veiksmas == TArgumentai::TVeiksmas::Klaida;
    if (argumentai.Veiksmas == TArgumentai::TVeiksmas::Vykdyti)
        return std::nullopt;
    std::FILE* srautas = klaida ? stderr : stdout;
    std::fputs(argumentai.Tekstas.toLocal8Bit().constData(), srautas);
    std::fflush(srautas);
    return klaida ? EXIT_FAILURE : EXIT_SUCCESS;
}
