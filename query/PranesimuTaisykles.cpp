#include "PranesimuTaisykles.h"

#include "Draugai.h"
#include "Tekstas.h"
#include "iphostport.h"

using namespace Qt::StringLiterals;

namespace {

// A server however its host was typed ("Srv:27015" and "srv:0x6987" are one).
QString ServerioRaktas(const QString& adresas) {
    const std::optional<TServerioAdresas> a = BandytiSkaitytiAdresa(adresas);
    return a ? TServerioAdresas{a->Hostas.trimmed().toCaseFolded(), a->Portas}.Tekstas() : adresas;
}

bool ArAtsake(const TRaundoSantrauka& r) {
    return r.PingoMs || r.Zaidejai || r.MaxZaideju || r.Vardai;
}

} // namespace

QString PranesimoAntraste(const TPranesimas& p, const TPranesimuTekstai& tekstai) {
    // The names are the servers' texts: each one line before it goes in,
    // so that none can pass for the language text around it.
    const QString pavadinimas = VienaEilute(p.Pavadinimas, kPranesimoRiba);
    QString antraste;
    switch (p.Rusis) {
    case TPranesimas::TRusis::Draugas:
        antraste = tekstai.Draugas.arg(VienaEilute(p.Zaidejas, kPranesimoRiba), pavadinimas);
        break;
    case TPranesimas::TRusis::LaisvaVieta:
        antraste =
            tekstai.LaisvaVieta.arg(pavadinimas, QString::number(p.Zaidejai) + u'/' + QString::number(p.MaxZaideju));
        break;
    case TPranesimas::TRusis::VelAtsako:
        antraste = tekstai.VelAtsako.arg(pavadinimas);
        break;
    }
    return VienaEilute(antraste, kPranesimoRiba);
}

QString PranesimoTekstas(const TPranesimas& p) {
    return VienaEilute(p.Serveris, kPranesimoRiba).toHtmlEscaped();
}

TPranesimuTaisykles::TPranesimuTaisykles(const TDraugai& draugai) : draugai(draugai) {}

QList<TPranesimas> TPranesimuTaisykles::Apdoroti(const TRaundoSantrauka& r, const TPranesimuParinktys& parinktys) {
    QList<TPranesimas> pranesimai;
    const QString raktas = ServerioRaktas(r.Serveris);
    TServeris& serveris = serveriai[raktas];
    if (!r.Pavadinimas.isEmpty())
        serveris.Pavadinimas = r.Pavadinimas;
    // Told at most once per server and kind (and friend) within its interval,
    // however often the state flips: the time is the round's own.
    const auto galima = [&](TPranesimas::TRusis rusis, const QString& kas, qint64 tarpasMs) {
        return Leisti(QString::number(int(rusis)) + u'\n' + raktas + u'\n' + kas, r.LaikasMs, tarpasMs);
    };
    const auto naujas = [&](TPranesimas::TRusis rusis) {
        TPranesimas p;
        p.Rusis = rusis;
        p.Serveris = r.Serveris;
        p.Pavadinimas = serveris.Pavadinimas.isEmpty() ? r.Serveris : ServerioTekstas(serveris.Pavadinimas);
        return p;
    };

    if (r.Saltinis != TRaundoSantrauka::TSaltinis::Sarasas) {
        if (stebimas.Raktas != raktas)
            stebimas = TStebimas{raktas};
        const bool atsake = ArAtsake(r);
        if (atsake && stebimas.ArBuvoRaundas && !stebimas.ArAtsake && parinktys.ArPranestiVieta &&
            galima(TPranesimas::TRusis::VelAtsako, {}, kVietosTarpasMs))
            pranesimai.append(naujas(TPranesimas::TRusis::VelAtsako));
        stebimas.ArBuvoRaundas = true;
        stebimas.ArAtsake = atsake;
        if (r.Zaidejai && r.MaxZaideju) {
            const bool pilnas = *r.MaxZaideju > 0 && *r.Zaidejai >= *r.MaxZaideju;
            if (stebimas.ArPilnas && !pilnas && parinktys.ArPranestiVieta &&
                galima(TPranesimas::TRusis::LaisvaVieta, {}, kVietosTarpasMs)) {
                TPranesimas p = naujas(TPranesimas::TRusis::LaisvaVieta);
                p.Zaidejai = *r.Zaidejai;
                p.MaxZaideju = *r.MaxZaideju;
                pranesimai.append(p);
            }
            stebimas.ArPilnas = pilnas;
        }
    }

    if (r.Vardai) {
        QSet<QString> dabar;
        for (const QByteArray& baitai : *r.Vardai) {
            const QString vardas = ServerioTekstas(baitai);
            const QString zaidejoRaktas = TDraugai::Raktas(vardas);
            const bool arNaujas = !serveris.Zaidejai.contains(zaidejoRaktas) && !dabar.contains(zaidejoRaktas);
            dabar.insert(zaidejoRaktas);
            if (arNaujas && parinktys.ArPranestiDraugus && draugai.ArDraugas(vardas) &&
                galima(TPranesimas::TRusis::Draugas, zaidejoRaktas, kDraugoTarpasMs)) {
                TPranesimas p = naujas(TPranesimas::TRusis::Draugas);
                p.Zaidejas = vardas.trimmed();
                pranesimai.append(p);
            }
        }
        serveris.Zaidejai = std::move(dabar);
    }
    return pranesimai;
}

bool TPranesimuTaisykles::Leisti(const QString& raktas, qint64 dabarMs, qint64 tarpasMs) {
    const auto i = pranesta.constFind(raktas);
    // A clock set back tells again rather than keeping quiet until it is back.
    if (i != pranesta.constEnd() && dabarMs >= *i && dabarMs - *i < tarpasMs)
        return false;
    if (pranesta.size() >= kDaugiausiaIrasu) {
        // What has aged past every interval no longer holds anything back.
        pranesta.removeIf([dabarMs](const auto& p) { return dabarMs - p.value() >= kDraugoTarpasMs; });
    }
    pranesta.insert(raktas, dabarMs);
    return true;
}
