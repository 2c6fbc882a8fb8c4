#include "Registras.h"

#include <QDir>
#include <QFile>

#include <cctype>
#include <iterator>
#include <string>

using namespace Qt::StringLiterals;

namespace {

// The one-letter escapes and the characters they stand for.
constexpr char16_t kRaides[] = {u'n', u'r', u't', u'a', u'b', u'f', u'v'};
constexpr char16_t kPakaitai[] = {u'\n', u'\r', u'\t', u'\a', u'\b', u'\f', u'\v'};

// Undoes Wine's escaping of a text, from `pradzia` up to the unescaped
// `pabaigosZenklas`; `pabaiga` gets the index after that character.
QString Atkoduoti(const QString& eilute, qsizetype pradzia, QChar pabaigosZenklas, qsizetype* pabaiga) {
    QString rezultatas;
    qsizetype i = pradzia;
    while (i < eilute.size() && eilute.at(i) != pabaigosZenklas) {
        const QChar c = eilute.at(i++);
        if (c != u'\\' || i >= eilute.size()) {
            rezultatas.append(c);
            continue;
        }
        const QChar e = eilute.at(i++);
        if (const char16_t* pakaitas = std::char_traits<char16_t>::find(kRaides, std::size(kRaides), e.unicode())) {
            rezultatas.append(QChar(kPakaitai[pakaitas - kRaides]));
        } else if (e == u'x') {
            // \x followed by up to four hexadecimal digits: one UTF-16 unit.
            uint reiksme = 0;
            int skaitmenu = 0;
            while (skaitmenu < 4 && i < eilute.size() &&
                   std::isxdigit(static_cast<unsigned char>(eilute.at(i).toLatin1()))) {
                reiksme = reiksme * 16 + uint(QString(eilute.at(i)).toUInt(nullptr, 16));
                ++i;
                ++skaitmenu;
            }
            rezultatas.append(QChar(char16_t(reiksme)));
        } else if (e >= u'0' && e <= u'7') {
            // Octal: up to three digits, the first one already read.
            uint reiksme = uint(e.unicode() - u'0');
            for (int k = 0; k < 2 && i < eilute.size() && eilute.at(i) >= u'0' && eilute.at(i) <= u'7'; ++k)
                reiksme = reiksme * 8 + uint(eilute.at(i++).unicode() - u'0');
            rezultatas.append(QChar(char16_t(reiksme)));
        } else {
            rezultatas.append(e); // \\ and \" stand for themselves
        }
    }
    if (pabaiga)
        *pabaiga = i < eilute.size() ? i + 1 : -1; // -1: no closing character
    return rezultatas;
}

// The key name of a "[...]" line, unescaped, or a null text for other lines.
QString RaktoVardas(const QString& eilute) {
    if (!eilute.startsWith(u'['))
        return {};
    qsizetype pabaiga = 0;
    const QString vardas = Atkoduoti(eilute, 1, u']', &pabaiga);
    if (pabaiga < 0)
        return {};
    return vardas.isNull() ? u""_s : vardas;
}

QString SutvarkytasRaktas(QString kelias) {
    kelias.replace(u'/', u'\\');
    while (kelias.startsWith(u'\\'))
        kelias.remove(0, 1);
    while (kelias.endsWith(u'\\'))
        kelias.chop(1);
    while (kelias.contains(u"\\\\"_s))
        kelias.replace(u"\\\\"_s, u"\\"_s);
    return kelias;
}

} // namespace

QString WineAplankas() {
    const QString aplinka = qEnvironmentVariable("WINEPREFIX");
    return aplinka.isEmpty() ? QDir::homePath() + u"/.wine"_s : aplinka;
}

void SkaitytiRegistra(int saknis, const QString& kelias, const QString& reiksmesVardas, QString& rezultatas) {
    QString failas = u"user.reg"_s;
    QString raktas = SutvarkytasRaktas(kelias);
    switch (saknis) {
    case kHkeyClassesRoot:
        failas = u"system.reg"_s;
        raktas = raktas.isEmpty() ? u"Software\\Classes"_s : u"Software\\Classes\\"_s + raktas;
        break;
    case kHkeyLocalMachine:
        failas = u"system.reg"_s;
        break;
    case kHkeyUsers:
        failas = u"userdef.reg"_s;
        break;
    default:
        break;
    }

    rezultatas = QString::fromLatin1(kRaktoNera);
    QFile f(WineAplankas() + u'/' + failas);
    if (!f.open(QIODevice::ReadOnly))
        return;
    const QStringList eilutes = QString::fromUtf8(f.readAll()).split(u'\n');
    const QString ieskomaReiksme = reiksmesVardas.isEmpty() ? u"@"_s : reiksmesVardas;
    bool raktasRastas = false;
    bool musuRaktas = false;
    for (QString eilute : eilutes) {
        if (eilute.endsWith(u'\r'))
            eilute.chop(1);
        const QString vardas = RaktoVardas(eilute);
        if (!vardas.isNull()) {
            musuRaktas = vardas.compare(raktas, Qt::CaseInsensitive) == 0;
            if (musuRaktas && !raktasRastas) {
                raktasRastas = true;
                rezultatas.clear(); // the key opens; a missing value reads as empty
            }
            continue;
        }
        if (!musuRaktas)
            continue;
        // A value line: "name"=data, or @=data for the default value.
        QString pavadinimas;
        qsizetype po = 0;
        if (eilute.startsWith(u'"')) {
            pavadinimas = Atkoduoti(eilute, 1, u'"', &po);
        } else if (eilute.startsWith(u'@')) {
            pavadinimas = u"@"_s;
            po = 1;
        } else {
            continue;
        }
        if (po < 0 || po >= eilute.size() || eilute.at(po) != u'=')
            continue;
        if (pavadinimas.compare(ieskomaReiksme, Qt::CaseInsensitive) != 0)
            continue;
        const QString duomenys = eilute.mid(po + 1);
        QString tekstas;
        if (duomenys.startsWith(u'"'))
            tekstas = Atkoduoti(duomenys, 1, u'"', nullptr);
        else if (duomenys.startsWith(u"str(2):\""_s))
            tekstas = Atkoduoti(duomenys, 8, u'"', nullptr);
        else
            return; // a value of another type reads as empty
        const qsizetype nulis = tekstas.indexOf(QChar(u'\0'));
        rezultatas = nulis >= 0 ? tekstas.left(nulis) : tekstas;
        return;
    }
}
