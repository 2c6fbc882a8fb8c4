// A desktop session of the test's own for the secret store: a home folder in a
// temporary directory, a D-Bus session bus (dbus-daemon with a configuration
// of its own, so that no service is started on demand behind the test's back)
// and, when asked, gnome-keyring-daemon on it with its Secret Service, whose
// login keyring it creates and unlocks with a test password. The process's
// HOME, XDG folders and DBUS_SESSION_BUS_ADDRESS are pointed at it, so call
// Paleisti before anything in the process talks to the bus.
#pragma once

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TSlaptuTarnyba {
public:
    static constexpr char kRaktinesSlaptazodis[] = "velmorant-test-keyring";
    static constexpr int kLaukimas = 10000;

    ~TSlaptuTarnyba() {
        Stabdyti(raktine);
        Stabdyti(magistrale);
    }

    // Points the process at the home folder, then starts the bus and, with
    // suRaktine, the keyring on it. Empty when all is running, otherwise what
    // is missing or what failed (the reason to skip); the home folder is set
    // either way, and without a bus the process has none.
    QString Paleisti(bool suRaktine) {
        if (!aplankas.isValid())
            return QStringLiteral("no temporary folder");
        QDir d(aplankas.path());
        for (const char* f : {"home/.local/share", "home/.config", "home/.cache", "run", "bus"})
            d.mkpath(QString::fromLatin1(f));
        QFile::setPermissions(d.filePath(QStringLiteral("run")),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("HOME", Namai().toLocal8Bit());
        qputenv("XDG_DATA_HOME", (Namai() + QStringLiteral("/.local/share")).toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", (Namai() + QStringLiteral("/.config")).toLocal8Bit());
        qputenv("XDG_CACHE_HOME", (Namai() + QStringLiteral("/.cache")).toLocal8Bit());
        qputenv("XDG_STATE_HOME", (Namai() + QStringLiteral("/.local/state")).toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", d.filePath(QStringLiteral("run")).toLocal8Bit());
        // QtKeychain picks its store by the desktop: none named, the Secret Service.
        for (const char* v : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION", "GNOME_KEYRING_CONTROL",
                              "DBUS_SESSION_BUS_ADDRESS"})
            qunsetenv(v);

        const QString dbus = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (dbus.isEmpty())
            return QStringLiteral("dbus-daemon is not installed (Debian package dbus-daemon)");
        const QString gnome = QStandardPaths::findExecutable(QStringLiteral("gnome-keyring-daemon"));
        if (suRaktine && gnome.isEmpty())
            return QStringLiteral("gnome-keyring-daemon is not installed (Debian package gnome-keyring)");

        QFile konfig(d.filePath(QStringLiteral("bus.conf")));
        if (!konfig.open(QIODevice::WriteOnly))
            return QStringLiteral("cannot write the bus configuration");
        konfig.write("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\" "
                     "\"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n<busconfig>\n"
                     "  <type>session</type>\n  <listen>unix:dir=" +
                     d.filePath(QStringLiteral("bus")).toLocal8Bit() +
                     "</listen>\n  <auth>EXTERNAL</auth>\n"
                     "  <policy context=\"default\">\n    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                     "    <allow eavesdrop=\"true\"/>\n    <allow own=\"*\"/>\n  </policy>\n</busconfig>\n");
        konfig.close();
        magistrale.start(dbus, {QStringLiteral("--config-file=") + konfig.fileName(), QStringLiteral("--nofork"),
                                QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
        if (!magistrale.waitForStarted(kLaukimas))
            return QStringLiteral("dbus-daemon did not start: ") + magistrale.errorString();
        QByteArray adresas;
        const QDeadlineTimer riba(kLaukimas);
        while (!adresas.contains('\n') && !riba.hasExpired() && magistrale.state() == QProcess::Running) {
            magistrale.waitForReadyRead(int(qMax<qint64>(1, riba.remainingTime())));
            adresas += magistrale.readAllStandardOutput();
        }
        adresas = adresas.trimmed();
        if (adresas.isEmpty())
            return QStringLiteral("dbus-daemon gave no address: ") +
                   QString::fromLocal8Bit(magistrale.readAllStandardError());
        magistralesAdresas = QString::fromLocal8Bit(adresas);
        qputenv("DBUS_SESSION_BUS_ADDRESS", adresas);
        if (!suRaktine)
            return {};

        raktine.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
        raktine.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        raktine.start(gnome, {QStringLiteral("--foreground"), QStringLiteral("--components=secrets"),
                              QStringLiteral("--unlock")});
        if (!raktine.waitForStarted(kLaukimas))
            return QStringLiteral("gnome-keyring-daemon did not start: ") + raktine.errorString();
        raktine.write(kRaktinesSlaptazodis);
        raktine.closeWriteChannel();
        // Ready once it owns the Secret Service's name on the bus.
        QDBusConnection rysys =
            QDBusConnection::connectToBus(magistralesAdresas, QStringLiteral("velmorant-tikrinimas"));
        const bool yra = QTest::qWaitFor(
            [&] {
                return raktine.state() != QProcess::Running ||
                       (rysys.isConnected() &&
                        rysys.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.secrets")).value());
            },
            kLaukimas);
        const bool veikia = raktine.state() == QProcess::Running;
        QDBusConnection::disconnectFromBus(QStringLiteral("velmorant-tikrinimas"));
        if (!yra || !veikia)
            return QStringLiteral("gnome-keyring-daemon did not offer the Secret Service on the test's bus");
        return {};
    }

    QString Namai() const { return aplankas.filePath(QStringLiteral("home")); }
    QString MagistralesAdresas() const { return magistralesAdresas; }

    // Files under `aplankas` (recursively) whose bytes contain `baitai`.
    static QStringList FailaiSu(const QString& aplankas, const QByteArray& baitai) {
        QStringList rasti;
        QDirIterator i(aplankas, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (i.hasNext()) {
            QFile f(i.next());
            if (f.open(QIODevice::ReadOnly) && f.readAll().contains(baitai))
                rasti.append(f.fileName());
        }
        return rasti;
    }

private:
    static void Stabdyti(QProcess& p) {
        if (p.state() == QProcess::NotRunning)
            return;
        p.terminate();
        if (!p.waitForFinished(kLaukimas)) {
            p.kill();
            p.waitForFinished(kLaukimas);
        }
    }

    QTemporaryDir aplankas;
    QProcess magistrale;
    QProcess raktine;
    QString magistralesAdresas;
};
