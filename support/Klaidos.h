// Error types of the program. Handlers raise them; the application guard
// (windows/Pranesimai) shows their message in a message box.
#pragma once

#include <exception>

#include <QByteArray>
#include <QString>

// The plain error: a message and nothing else.
class EKlaida : public std::exception {
public:
    explicit EKlaida(QString message) : pranesimas(std::move(message)), utf8(pranesimas.toUtf8()) {}
    const QString& Message() const noexcept { return pranesimas; }
    const char* what() const noexcept override { return utf8.constData(); }

private:
    QString pranesimas;
    QByteArray utf8;
};

// A text that should have been a whole number.
class EKonvertavimoKlaida : public EKlaida {
public:
    using EKlaida::EKlaida;
};

// A file that exists but cannot be read or written.
class EFailoKlaida : public EKlaida {
public:
    using EKlaida::EKlaida;
};
