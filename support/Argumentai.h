// The program's command line, read before any window is made: the address to
// watch at once, the browser to open, or the help, the version or a complaint
// to print instead of running. The Qt toolkit's own options (-platform,
// -style...) are gone from the list by then: QApplication takes them.
#pragma once

#include <optional>

#include <QString>
#include <QStringList>

struct TArgumentai {
    enum class TVeiksmas {
        Vykdyti, // run the program with Adresas and ArNarsykle
        Pagalba, // print Tekstas to the standard output and end with 0
        Versija, // likewise
        Klaida,  // print Tekstas (the complaint, then the usage) to the standard error and end with 1
    };
    TVeiksmas Veiksmas = TVeiksmas::Vykdyti;
    // "host[:port]", the first argument that is not an option; the others are ignored.
    std::optional<QString> Adresas;
    bool ArNarsykle = false; // --browser
    QString Tekstas;
};

// `argumentai` as QCoreApplication::arguments() gives them, the program's own
// name first. Adresas and ArNarsykle are set only when Veiksmas is Vykdyti.
TArgumentai SkaitytiArgumentus(const QStringList& argumentai);

// Prints what Veiksmas asks for and gives the exit code; nothing, and
// std::nullopt, when the program is to run.
std::optional<int> IsvestiArgumentuAtsakyma(const TArgumentai& argumentai);
