// From a players and a details reply arriving on the watcher's socket to the
// scoreboard filled: time per refresh. The map has no picture and no fallback
// picture is found, so no JPEG is decoded.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QNetworkDatagram>
#include <QTemporaryDir>
#include <QUdpSocket>

#include "AtsakymuKurejas.h"
#include "Modulis1.h"
#include "Pranesimai.h"
#include "NMUDP.h"
#include "Langai.h"
#include "Programa.h"
#include "Valdikliai.h"

using namespace Qt::StringLiterals;

namespace {

void BM_Atnaujinimas(benchmark::State& state) {
    QUdpSocket serveris;
    serveris.bind(QHostAddress::LocalHost, 0);
    frmPagrindinis()
        ->findChild<QLineEdit*>(u"edtHostas"_s)
        ->setText(u"127.0.0.1:"_s + QString::number(serveris.localPort()));

    TZaidejai z;
    for (int i = 0; i < 32; ++i)
        z.append(KurtiZaidejoInfo(quint8(i + 1), "Player " + QByteArray::number(i), i, 100.0f * i));
    const QByteArray zaidejai = KurtiZaidejuAtsakyma(z);
    TDetales d;
    d.Info = {"127.0.0.1:27015", "Benchmark server", "no_picture_map", "cstrike", "Counter-Strike"};
    d.Zaidejai = 32;
    d.MaxZaideju = 32;
    const QByteArray detales = KurtiDetaliuAtsakyma(d);

    for (auto _ : state) {
        state.PauseTiming();
        // Each refresh is a round of its own: its first players and details replies are shown.
        QMetaObject::invokeMethod(frmPagrindinis(), "IsvalytiLenta");
        frmPagrindinis()->findChild<QPushButton*>(u"btnRodyti"_s)->click();
        frmPagrindinis()->findChild<TLaikmatis*>(u"tmrAtnaujinimas"_s)->setEnabled(false);
        while (!serveris.hasPendingDatagrams())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        quint16 klientas = 0;
        while (serveris.hasPendingDatagrams())
            klientas = serveris.receiveDatagram().senderPort();
        state.ResumeTiming();
        serveris.writeDatagram(zaidejai, QHostAddress::LocalHost, klientas);
        serveris.writeDatagram(detales, QHostAddress::LocalHost, klientas);
        while (frmPagrindinis()->findChild<QLabel*>(u"lblZaidejaiSK"_s)->text().isEmpty())
            QCoreApplication::processEvents();
    }
}

} // namespace

BENCHMARK(BM_Atnaujinimas)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication programa(argc, argv);
    QTemporaryDir tuscias; // no resursai folder: no picture to decode
    QDir::setCurrent(tuscias.path());
    // No settings file here: the load's complaint must not wait for a click.
    NustatytiPranesimoRodyma([](QWidget*, const QString&) {});
    SukurtiLangus();
    frmPagrindinis()->show();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SunaikintiLangus();
    return 0;
}
