// Shared set-up of the tests that drive the whole program: a working folder
// with a copy of resursai/, the message box, input box and clock replaced by
// the test's own, and the windows created as the program creates them.
#pragma once

#include <functional>

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ApatineJuosta.h"
#include "Centras.h"
#include "Laikrodis.h"
#include "Langai.h"
#include "Pagalba.h"
#include "Modulis1.h"
#include "NMUDP.h"
#include "Pranesimai.h"
#include "Programa.h"
#include "RankinisServeris.h"
#include "Tinklelis.h"
#include "TybCheckBox.h"
#include "TybINI.h"
#include "TybLabel.h"
#include "Valdikliai.h"
#include "iphostport.h"

// A control or component of a window, found by its name as users and tools
// see it; the test stops when there is none.
template <typename T> T* LangoValdiklis(const QObject* langas, const char* vardas) {
    T* v = langas ? langas->findChild<T*>(QString::fromLatin1(vardas)) : nullptr;
    if (!v)
        qFatal("%s has no %s", langas ? qPrintable(langas->objectName()) : "a window not made", vardas);
    return v;
}

// ... of the watcher.
template <typename T> T* Valdiklis(const char* vardas) {
    return LangoValdiklis<T>(frmPagrindinis(), vardas);
}

// Types into a box as a user does, replacing what it holds.
inline void Ivesti(QLineEdit* laukas, const QString& tekstas) {
    laukas->setFocus();
    laukas->selectAll();
    QTest::keyClick(laukas, Qt::Key_Backspace);
    QTest::keyClicks(laukas, tekstas);
}

// Makes `adresas` ("host:port") a legacy server the program has met before:
// its rounds are the legacy words alone.
inline void PazintiSena(const QString& adresas) {
    if (TCentras* centras = ProgramosCentras())
        centras->Registras().Nustatyti(adresas, TServerioZinios{.Dialektas = TDialektas::Senas});
}

// Names are looked up here, never in the real name service: each name asked
// for is recorded in `paieskos` and answered at once, and only "localhost"
// resolves (to 127.0.0.1). The reverse lookups of dotted addresses go to the
// system's as before. Baigti puts the system's back.
inline void NetikraPaieska(QStringList& paieskos) {
    NustatytiPaieska([&paieskos](const QString& tekstas, QObject* kontekstas, TPaieskosPabaiga baigta) {
        if (TaskuotasAdresas(tekstas)) {
            QHostInfo::lookupHost(tekstas, kontekstas, [baigta](const QHostInfo& info) { baigta(info); });
            return;
        }
        paieskos.append(tekstas);
        QHostInfo info;
        if (tekstas == QStringLiteral("localhost"))
            info.setAddresses({QHostAddress(QHostAddress::LocalHost)});
        else
            info.setError(QHostInfo::HostNotFound);
        baigta(info);
    });
}

// A picture of a filled window for a human eye, saved as `failas` in the folder
// named by VELMORANT_NUOTRAUKOS when it is set.
inline bool Nuotrauka(QWidget* langas, const QString& failas) {
    const QString nuotraukos = qEnvironmentVariable("VELMORANT_NUOTRAUKOS");
    return nuotraukos.isEmpty() || langas->grab().save(nuotraukos + QLatin1Char('/') + failas);
}

class TStebetojoAplinka {
public:
    QTemporaryDir aplankas;
    QStringList pranesimai;
    // What the input box answers: given the default text, the text returned.
    std::function<QString(const QString& antraste, const QString& klausimas, const QString& numatyta)> ivedimas;
    QStringList ivedimoKlausimai;
    std::function<void()> kaiRodomasPranesimas;
    bool netikrasLaikrodis = false;
    qint64 netikrasLaikas = 0;

    // Copies resursai/ of the source tree into a fresh working folder.
    bool Paruosti() {
        if (!aplankas.isValid())
            return false;
        senas = QDir::currentPath();
        const QString saltinis = QString::fromUtf8(VELMORANT_SOURCE_DIR) + QStringLiteral("/resursai");
        QDirIterator i(saltinis, QDir::Files, QDirIterator::Subdirectories);
        while (i.hasNext()) {
            const QString failas = i.next();
            const QString santykinis = QDir(saltinis).relativeFilePath(failas);
            const QString tikslas = aplankas.filePath(QStringLiteral("resursai/") + santykinis);
            QDir().mkpath(QFileInfo(tikslas).path());
            if (!QFile::copy(failas, tikslas))
                return false;
            QFile::setPermissions(tikslas, QFile::permissions(tikslas) | QFileDevice::WriteOwner);
        }
        QDir::setCurrent(aplankas.path());
        NustatytiPranesimoRodyma([this](QWidget*, const QString& tekstas) {
            pranesimai.append(tekstas);
            if (kaiRodomasPranesimas)
                kaiRodomasPranesimas();
        });
        NustatytiIvedimoLanga(
            [this](QWidget*, const QString& antraste, const QString& klausimas, const QString& numatyta) {
                ivedimoKlausimai = {antraste, klausimas, numatyta};
                return ivedimas ? ivedimas(antraste, klausimas, numatyta) : numatyta;
            });
        NustatytiLaikrodi([this]() -> qint64 { return netikrasLaikrodis ? netikrasLaikas : tikras.elapsed(); });
        tikras.start();
        TRankinisServeris::Pazinti = PazintiSena;
        return true;
    }

    // Creates the windows and shows the watcher, whose showing loads the settings.
    bool Paleisti() {
        SukurtiLangus();
        if (!frmPagrindinis())
            return false;
        frmPagrindinis()->show();
        return QTest::qWaitForWindowExposed(frmPagrindinis());
    }

    void Baigti() {
        TRankinisServeris::Pazinti = nullptr;
        SunaikintiLangus();
        QDir::setCurrent(senas);
        NustatytiPranesimoRodyma({});
        NustatytiIvedimoLanga({});
        NustatytiLaikrodi({});
        NustatytiPaieska({});
    }

    QString Kelias(const QString& santykinis) const { return aplankas.filePath(santykinis); }

    QByteArray Skaityti(const QString& santykinis) const {
        QFile f(Kelias(santykinis));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    bool Rasyti(const QString& santykinis, const QByteArray& turinys) const {
        QFile f(Kelias(santykinis));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        return f.write(turinys) == turinys.size();
    }

private:
    QString senas;
    QElapsedTimer tikras;
};
