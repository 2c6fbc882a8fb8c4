// What the test programs share beside their set-ups: a file's bytes, the
// favourite list's file, a test server's loopback address, and a handler
// called by its name.
#pragma once

#include <QByteArray>
#include <QList>
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

// The favourite list's file as the program writes it: the title line, the
// given lines, empty lines up to 200, each ended by CR LF.
inline QByteArray Isvestis(const QList<QByteArray>& eilutes, const QByteArray& antraste = "Address") {
    QByteArray b = antraste + "\r\n";
    for (int i = 0; i < 199; ++i)
        b += (i < eilutes.size() ? eilutes.at(i) : QByteArray()) + "\r\n";
    return b;
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
