#include "DekloPiktograma.h"

#include <QWidget>

#include "Ikona.h"
#include "Pranesejas.h"
#include "Tekstas.h"

using namespace Qt::StringLiterals;

QString DekloPatarimas(const QString& pavadinimas, std::optional<int> zaidejai, std::optional<int> maxZaideju,
                       std::optional<int> pingoMs, const QString& neatsakeTekstas) {
    QStringList eilute;
    if (zaidejai && maxZaideju)
        eilute.append(QString::number(*zaidejai) + u'/' + QString::number(*maxZaideju));
    eilute.append(pingoMs ? QString::number(*pingoMs) + u" ms"_s : neatsakeTekstas);
    // The program's name on the first line: Qt's tool tips (the tray of an X
    // desktop) judge by the first line whether a text is markup, and the
    // desktop's own trays take the text as plain. The server's name is one
    // line of its own, so it cannot pass for the figures.
    return QString::fromLatin1(TPranesejas::kProgramosVardas) + u'\n' + VienaEilute(pavadinimas, kPranesimoRiba) +
           u'\n' + eilute.join(u"  "_s);
}

TDekloPiktograma::TDekloPiktograma(QWidget* langas, QObject* tevas)
    : TDekloPiktograma(langas, QSystemTrayIcon::isSystemTrayAvailable(), tevas) {}

TDekloPiktograma::TDekloPiktograma(QWidget* langas, bool arDeklasYra, QObject* tevas) : QObject(tevas), langas(langas) {
    if (!arDeklasYra)
        return;
    piktograma = new QSystemTrayIcon(ProgramosIkona(), this);
    piktograma->setObjectName(u"trayPiktograma"_s);
    piktograma->setToolTip(QString::fromLatin1(TPranesejas::kProgramosVardas));
    connect(piktograma, &QSystemTrayIcon::activated, this, &TDekloPiktograma::PiktogramaActivated);
    piktograma->show();
}

void TDekloPiktograma::RodytiRaunda(const TRaundoSantrauka& r, const QString& neatsakeTekstas) {
    if (r.Serveris != serveris) {
        serveris = r.Serveris;
        pavadinimas.clear();
        zaidejai.reset();
        maxZaideju.reset();
    }
    if (!r.Pavadinimas.isEmpty())
        pavadinimas = r.Pavadinimas;
    if (r.Zaidejai && r.MaxZaideju) {
        zaidejai = r.Zaidejai;
        maxZaideju = r.MaxZaideju;
    }
    const QString vardas = pavadinimas.isEmpty() ? r.Serveris : ServerioTekstas(pavadinimas);
    // A round that had no reply shows no figures of an earlier one.
    const bool atsake = r.PingoMs || r.Zaidejai || r.Vardai;
    patarimas = atsake ? DekloPatarimas(vardas, zaidejai, maxZaideju, r.PingoMs, neatsakeTekstas)
                       : DekloPatarimas(vardas, std::nullopt, std::nullopt, std::nullopt, neatsakeTekstas);
    if (piktograma)
        piktograma->setToolTip(patarimas);
}

void TDekloPiktograma::PiktogramaActivated(QSystemTrayIcon::ActivationReason priezastis) {
    if (!langas || (priezastis != QSystemTrayIcon::Trigger && priezastis != QSystemTrayIcon::DoubleClick))
        return;
    langas->setWindowState((langas->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    langas->show();
    langas->raise();
    langas->activateWindow();
}
