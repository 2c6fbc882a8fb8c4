// What the install test and the package test both look at in installed files:
// the AppStream metadata read back, the compressed manual page unpacked, and
// outside programs (checkers, gzip, dpkg-deb) run to their end with a bound.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

struct TIsvestis {
    bool Baige = false; // ended by itself within the bound
    int Kodas = -1;
    QByteArray Tekstas; // standard output and error together
    bool ArPavyko() const { return Baige && Kodas == 0; }
};

// Runs `programa` (a path, or a name looked up on PATH) to its end.
inline TIsvestis Vykdyti(const QString& programa, const QStringList& argumentai, int laukimasMs = 60000) {
    TIsvestis i;
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(programa, argumentai);
    if (!p.waitForStarted(10000))
        return i;
    if (!p.waitForFinished(laukimasMs)) {
        p.kill();
        p.waitForFinished(5000);
        i.Tekstas = p.readAll();
        return i;
    }
    i.Baige = p.exitStatus() == QProcess::NormalExit;
    i.Kodas = p.exitCode();
    i.Tekstas = p.readAll();
    return i;
}

// The gzip file's content; empty when gzip cannot unpack it.
inline QByteArray Isskleisti(const QString& kelias) {
    const TIsvestis i = Vykdyti(QStringLiteral("gzip"), {QStringLiteral("-dc"), kelias});
    return i.ArPavyko() ? i.Tekstas : QByteArray();
}

// The fields of an AppStream component that the tests compare.
struct TMetaduomenys {
    QString Tipas; // component type
    QString Id;
    QString Pavadinimas;
    QString Santrauka;
    QString MetaduomenuLicencija;
    QString Paleidziamas; // the desktop-id launchable
    QStringList Kategorijos;
    QString ReitingoTipas;  // content_rating type; empty when there is none
    QString LeidimoVersija; // the first release entry
    QString LeidimoData;
    QString Klaida; // the XML error, if any
};

// An attribute of the element just read; empty when it has none.
inline QString Pozymis(const QXmlStreamReader& xml, const char* vardas) {
    return xml.attributes().value(QLatin1String(vardas)).toString();
}

inline TMetaduomenys SkaitytiMetaduomenis(const QString& kelias) {
    TMetaduomenys m;
    QFile f(kelias);
    if (!f.open(QIODevice::ReadOnly)) {
        m.Klaida = f.errorString();
        return m;
    }
    QXmlStreamReader xml(&f);
    int gylis = 0; // 1 = the component's own children
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType t = xml.readNext();
        if (t == QXmlStreamReader::EndElement) {
            --gylis;
            continue;
        }
        if (t != QXmlStreamReader::StartElement)
            continue;
        ++gylis;
        const QStringView vardas = xml.name();
        if (gylis == 1 && vardas == u"component") {
            m.Tipas = Pozymis(xml, "type");
        } else if (gylis == 2 && vardas == u"id") {
            m.Id = xml.readElementText();
            --gylis;
        } else if (gylis == 2 && vardas == u"name" && Pozymis(xml, "xml:lang").isEmpty()) {
            m.Pavadinimas = xml.readElementText();
            --gylis;
        } else if (gylis == 2 && vardas == u"summary" && Pozymis(xml, "xml:lang").isEmpty()) {
            m.Santrauka = xml.readElementText();
            --gylis;
        } else if (gylis == 2 && vardas == u"metadata_license") {
            m.MetaduomenuLicencija = xml.readElementText();
            --gylis;
        } else if (gylis == 2 && vardas == u"launchable" && Pozymis(xml, "type") == u"desktop-id") {
            m.Paleidziamas = xml.readElementText();
            --gylis;
        } else if (gylis == 3 && vardas == u"category") {
            m.Kategorijos << xml.readElementText();
            --gylis;
        } else if (gylis == 2 && vardas == u"content_rating") {
            m.ReitingoTipas = Pozymis(xml, "type");
        } else if (gylis == 3 && vardas == u"release" && m.LeidimoVersija.isEmpty()) {
            m.LeidimoVersija = Pozymis(xml, "version");
            m.LeidimoData = Pozymis(xml, "date");
        }
    }
    if (xml.hasError())
        m.Klaida = xml.errorString();
    return m;
}
