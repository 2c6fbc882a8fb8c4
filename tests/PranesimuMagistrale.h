// A session bus of the test's own (dbus-daemon with a configuration of its
// own: nothing to activate, loopback of the test's folder only) with the
// test's own notification service on it, which records every Notify call.
#pragma once

#include <optional>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStringList>
#include <QTest>
#include <QVariantMap>

// One Notify call as the service got it.
struct TGautasPranesimas {
    QString Programa;
    QString Antraste;
    QString Tekstas;
};

class TPranesimuPaslauga : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QList<TGautasPranesimas> gauti;
    quint32 numeris = 0;

public Q_SLOTS:
    quint32 Notify(const QString& app_name, quint32, const QString&, const QString& summary, const QString& body,
                   const QStringList&, const QVariantMap&, int) {
        gauti.append({app_name, summary, body});
        Q_EMIT Gautas();
        return ++numeris;
    }
    QStringList GetCapabilities() { return {QStringLiteral("body")}; }

Q_SIGNALS:
    void Gautas();
};

class TPranesimuMagistrale {
public:
    static inline const QString kPaslauga = QStringLiteral("org.freedesktop.Notifications");
    static inline const QString kObjektas = QStringLiteral("/org/freedesktop/Notifications");
    static constexpr int kLaukimasMs = 10000;

    TPranesimuPaslauga paslauga;
    QString adresas;
    QString klaida;

    // Starts the bus with its socket in `aplankas` and puts the service on it.
    bool Paleisti(const QString& aplankas) {
        const QString programa = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (programa.isEmpty()) {
            klaida = QStringLiteral("dbus-daemon is not installed (Debian package dbus-daemon, tools/deps.sh test)");
            return false;
        }
        const QString konfiguracija = aplankas + QStringLiteral("/sesija.conf");
        QFile f(konfiguracija);
        if (!f.open(QIODevice::WriteOnly))
            return false;
        f.write("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                "<busconfig>\n  <type>session</type>\n  <listen>unix:dir=" +
                aplankas.toUtf8() +
                "</listen>\n  <auth>EXTERNAL</auth>\n"
                "  <policy context=\"default\">\n    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                "    <allow eavesdrop=\"true\"/>\n    <allow own=\"*\"/>\n  </policy>\n</busconfig>\n");
        f.close();
        demonas.start(programa, {QStringLiteral("--config-file=") + konfiguracija, QStringLiteral("--print-address=1"),
                                 QStringLiteral("--nofork")});
        if (!demonas.waitForStarted(kLaukimasMs)) {
            klaida = demonas.errorString();
            return false;
        }
        QByteArray isvestis;
        QDeadlineTimer riba(kLaukimasMs);
        while (!isvestis.contains('\n') && !riba.hasExpired() && demonas.state() == QProcess::Running) {
            demonas.waitForReadyRead(int(qMax<qint64>(1, riba.remainingTime())));
            isvestis += demonas.readAllStandardOutput();
        }
        if (!isvestis.contains('\n')) {
            klaida = QString::fromUtf8(demonas.readAllStandardError());
            return false;
        }
        adresas = QString::fromUtf8(isvestis.left(isvestis.indexOf('\n'))).trimmed();
        jungtis = QDBusConnection::connectToBus(adresas, QStringLiteral("paslauga"));
        if (!jungtis->isConnected()) {
            klaida = jungtis->lastError().message();
            return false;
        }
        return jungtis->registerObject(kObjektas, &paslauga, QDBusConnection::ExportAllSlots) && Registruoti();
    }

    // A connection of the program's side to the bus, named `vardas`.
    QDBusConnection Programos(const QString& vardas) const { return QDBusConnection::connectToBus(adresas, vardas); }

    bool Registruoti() {
        if (jungtis->interface()->isServiceRegistered(kPaslauga))
            return true;
        return jungtis->registerService(kPaslauga);
    }
    bool Isregistruoti() {
        if (!jungtis->unregisterService(kPaslauga))
            return false;
        QDeadlineTimer riba(kLaukimasMs);
        while (jungtis->interface()->isServiceRegistered(kPaslauga) && !riba.hasExpired())
            QTest::qWait(10);
        return !jungtis->interface()->isServiceRegistered(kPaslauga);
    }

    // Waits until the service has `kiek` calls at least.
    bool Laukti(qsizetype kiek) {
        QSignalSpy gautas(&paslauga, &TPranesimuPaslauga::Gautas);
        QDeadlineTimer riba(kLaukimasMs);
        while (paslauga.gauti.size() < kiek && !riba.hasExpired())
            gautas.wait(int(qMax<qint64>(1, riba.remainingTime())));
        return paslauga.gauti.size() >= kiek;
    }

    ~TPranesimuMagistrale() {
        if (jungtis) {
            jungtis->unregisterObject(kObjektas);
            jungtis.reset();
            QDBusConnection::disconnectFromBus(QStringLiteral("paslauga"));
        }
        if (demonas.state() != QProcess::NotRunning) {
            demonas.kill();
            demonas.waitForFinished(kLaukimasMs);
        }
    }

private:
    QProcess demonas;
    std::optional<QDBusConnection> jungtis;
};
