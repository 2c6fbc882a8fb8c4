// What the test programs share beside their set-ups: a file's bytes, a test
// server's loopback address, and a handler called by its name.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QMetaObject>
#include <QObject>
#include <QString>
#include <QTest>

// A file's bytes, or `jeiNera` when it cannot be read.
inline QByteArray Skaityti(const QString& kelias, const QByteArray& jeiNera = QByteArrayLiteral("(none)")) {
    QFile f(kelias);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : jeiNera;
}

// "127.0.0.1:port" of a test game server listening on loopback.
template <typename TServeris> QString Adresas(const TServeris& serveris) {
    return QStringLiteral("127.0.0.1:") + QString::number(serveris.Prievadas());
}

// Calls an invokable handler of a window by its name, as tools do; the test
// fails when the window has no such handler or the call could not be made.
template <typename... A> bool Kviesti(QObject* langas, const char* vardas, A... argumentai) {
    const bool pavyko = langas && QMetaObject::invokeMethod(langas, vardas, argumentai...);
    if (!pavyko)
        QTest::qFail(qPrintable(QStringLiteral("%1 has no handler %2 to call")
                                    .arg(langas ? langas->objectName() : QStringLiteral("a window not made"),
                                         QString::fromLatin1(vardas))),
                     __FILE__, __LINE__);
    return pavyko;
}
