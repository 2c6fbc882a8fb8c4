#include "Programa.h"

#include <memory>
#include <optional>

#include <QApplication>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>

#include "Argumentai.h"
#include "Atmintis.h"
#include "Centras.h"
#include "FailoInfo.h"
#include "Ikona.h"
#include "Keliai.h"
#include "Laikrodis.h"
#include "Modulis1.h"
#include "Modulis2.h"
#include "Modulis_Apie.h"
#include "Modulis_Konsole.h"
#include "Modulis_Narsykle.h"
#include "Modulis_Taisykles.h"
#include "Parinktys.h"
#include "Pranesimai.h"
#include "StebejimoPaslaugos.h"
#include "Stebetojas.h"
#include "Zvalga.h"

using namespace Qt::StringLiterals;

namespace {

std::unique_ptr<TCentras> centras;

void RodytiSalia(QWidget* langas) {
    langas->show();
    langas->raise();
    langas->activateWindow();
}

std::unique_ptr<TParinktys> parinktys;
// The windows, in their order of creation; they find one another only through
// what they are handed here.
TfrmPagrindinis* frmPagrindinis = nullptr;
TfrmServeriai* frmServeriai = nullptr;
TfrmApie* frmApie = nullptr;
TfrmTaisykles* frmTaisykles = nullptr;
TfrmKonsole* frmKonsole = nullptr;
TfrmNarsykle* frmNarsykle = nullptr;

// A window the watcher asked for: the list, the details and the about window
// over it, modally; the console and the browser beside it, the watcher polling
// on. An open console takes up the address the watcher has now.
void RodytiLanga(TfrmPagrindinis::TLangas langas) {
    using L = TfrmPagrindinis::TLangas;
    switch (langas) {
    case L::Serveriai:
        frmServeriai->exec();
        return;
    case L::Taisykles:
        frmTaisykles->exec();
        return;
    case L::Apie:
        frmApie->exec();
        return;
    case L::Konsole:
        if (frmKonsole->isVisible())
            frmKonsole->FormShow();
        RodytiSalia(frmKonsole);
        return;
    case L::Narsykle:
        RodytiSalia(frmNarsykle);
        return;
    }
}

} // namespace

TCentras* ProgramosCentras() {
    return centras.get();
}

TParinktys* ProgramosParinktys() {
    return parinktys.get();
}

void SukurtiLangus() {
    QApplication::setApplicationName(u"Velmorant"_s);
    QApplication::setWindowIcon(ProgramosIkona());
    // The version record's complaint is a message box like every other.
    NustatytiVersijosPranesima([](const QString& tekstas) { RodytiPranesima(nullptr, tekstas); });
    // The hub first: its endpoint takes UDP port 27035, and every window's
    // rounds go through it. Then the watcher, whose language every window
    // reads its texts in.
    centras = std::make_unique<TCentras>(27035, &DabarMs);
    parinktys = std::make_unique<TParinktys>();
    frmPagrindinis = new TfrmPagrindinis(centras.get(), parinktys.get());
    frmServeriai = new TfrmServeriai(centras.get(), frmPagrindinis);
    // The list walks at the period of the options.
    frmServeriai->NustatytiPerioda(parinktys->ServeriaiBendrai());
    QObject::connect(parinktys.get(), &TParinktys::ServeriaiBendraiPakito, frmServeriai,
                     &TfrmServeriai::NustatytiPerioda);
    frmApie = new TfrmApie(frmPagrindinis);
    frmTaisykles = new TfrmTaisykles(centras.get(), frmPagrindinis);
    frmKonsole = new TfrmKonsole(centras.get(), frmPagrindinis);
    frmNarsykle = new TfrmNarsykle(centras.get(), parinktys.get(), frmPagrindinis, frmServeriai);
    QObject::connect(frmPagrindinis, &TfrmPagrindinis::LangoReikia, frmPagrindinis, &RodytiLanga);
}

void SunaikintiLangus() {
    delete frmNarsykle;
    frmNarsykle = nullptr;
    delete frmKonsole;
    frmKonsole = nullptr;
    delete frmTaisykles;
    frmTaisykles = nullptr;
    delete frmApie;
    frmApie = nullptr;
    delete frmServeriai;
    frmServeriai = nullptr;
    delete frmPagrindinis;
    frmPagrindinis = nullptr;
    parinktys.reset();
    centras.reset();
}

void ApdorotiArgumentus(const QStringList& argumentai) {
    const TArgumentai komandine = SkaitytiArgumentus(argumentai);
    if (komandine.Adresas) {
        const QString adresas = *komandine.Adresas;
        QTimer::singleShot(0, frmPagrindinis, [adresas] { frmPagrindinis->Stebeti(adresas); });
    }
    if (komandine.ArNarsykle) {
        QTimer::singleShot(0, frmNarsykle, [] {
            frmNarsykle->show();
            // The Web API's list when a key is given; without one, the key-free sources'.
            if (qEnvironmentVariable("VELMORANT_STEAM_KEY").isEmpty())
                frmNarsykle->btnBendruomene->click();
            else
                frmNarsykle->btnInternetas->click();
        });
    }
}

int VykdytiPrograma(int argc, char** argv) {
    QApplication programa(argc, argv);
    // --help, --version and a wrong option are answered before any window or folder is made.
    if (const std::optional<int> pabaiga = IsvestiArgumentuAtsakyma(SkaitytiArgumentus(QApplication::arguments())))
        return *pabaiga;
    // The application name names the user's configuration folder below.
    QApplication::setApplicationName(u"Velmorant"_s);
    // The installed desktop entry, by which Wayland and KDE tie the windows to it.
    QGuiApplication::setDesktopFileName(QString::fromUtf8(VELMORANT_ID));
    // The data: "resursai" of the working directory, else the installed data
    // beside the executable with the user's configuration folder for what is written.
    NustatytiDuomenuAplankus(RastiDuomenuAplankus(QApplication::applicationDirPath(),
                                                  QString::fromUtf8(VELMORANT_IDIEGTI_DUOMENYS),
                                                  QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)));
    SukurtiLangus();
    // What earlier runs learnt of servers (their dialects and challenges), kept
    // in the user's cache folder whatever folder the data comes from; written
    // when it changed, once a minute and at the end.
    TServeriuRegistras& registras = centras->Registras();
    const QString atmintis = AtmintiesKelias();
    IkeltiAtminti(registras, atmintis);
    quint64 issaugota = registras.Pakeitimai();
    const auto issaugoti = [&registras, &atmintis, &issaugota] {
        if (registras.Pakeitimai() != issaugota && IssaugotiAtminti(registras, atmintis))
            issaugota = registras.Pakeitimai();
    };
    QTimer saugojimas;
    saugojimas.setInterval(60000);
    QObject::connect(&saugojimas, &QTimer::timeout, &programa, issaugoti);
    saugojimas.start();

    // The history, the notifications, the friends list and the tray icon,
    // fed by every window's rounds.
    TStebejimoPaslaugos::TNustatymai n = TStebejimoPaslaugos::Numatytieji();
    n.Stebetojas = frmPagrindinis;
    n.Taisykles = frmTaisykles;
    auto paslaugos = std::make_unique<TStebejimoPaslaugos>(std::move(n));
    frmPagrindinis->show();
    ApdorotiArgumentus(QApplication::arguments());
    PradetiZvalgaJeiReikia(frmPagrindinis);
    const int rezultatas = QApplication::exec();
    // The history writes what it holds and closes before the windows go.
    paslaugos.reset();
    issaugoti();
    SunaikintiLangus();
    return rezultatas;
}
