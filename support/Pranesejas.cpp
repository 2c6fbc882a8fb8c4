#include "Pranesejas.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>
#include <QVariantMap>

using namespace Qt::StringLiterals;

namespace {

// Left alone, the bus library would launch a bus of its own when the
// environment names none (and X is there); asking for one only when it is
// named keeps the program from starting anything.
bool ArSesijosMagistraleNurodyta() {
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QString vykdymoAplankas = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !vykdymoAplankas.isEmpty() && QFileInfo(vykdymoAplankas + u"/bus"_s).exists();
}

QDBusConnection SesijosMagistrale() {
    if (ArSesijosMagistraleNurodyta())
        return QDBusConnection::sessionBus();
    return QDBusConnection(QString());
}

} // namespace

TPranesejas::TPranesejas(QObject* tevas) : TPranesejas(SesijosMagistrale(), tevas) {}

TPranesejas::TPranesejas(const QDBusConnection& jungtis, QObject* tevas) : QObject(tevas), jungtis(jungtis) {}

bool TPranesejas::Pranesti(const QString& antraste, const QString& tekstas) {
    if (!jungtis.isConnected())
        return false;
    QDBusMessage kvietimas =
        QDBusMessage::createMethodCall(u"org.freedesktop.Notifications"_s, u"/org/freedesktop/Notifications"_s,
                                       u"org.freedesktop.Notifications"_s, u"Notify"_s);
    const QString ikona = QString::fromLatin1(kIkonosVardas);
    kvietimas << QString::fromLatin1(kProgramosVardas) << quint32(0) << ikona << antraste << tekstas << QStringList()
              << QVariantMap{{u"desktop-entry"_s, ikona}} << qint32(-1);
    const QDBusPendingCall laukiamas = jungtis.asyncCall(kvietimas, kAtsakymoRibaMs);
    ++laukiami;
    auto* stebetojas = new QDBusPendingCallWatcher(laukiamas, this);
    connect(stebetojas, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* baigtas) {
        baigtas->deleteLater();
        --laukiami;
        const QDBusPendingReply<quint32> atsakymas = *baigtas;
        if (atsakymas.isError())
            Q_EMIT Nepavyko(atsakymas.error().message());
        else
            Q_EMIT Parodyta(atsakymas.value());
    });
    return true;
}
