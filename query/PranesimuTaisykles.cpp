#include "PranesimuTaisykles.h"

#include "Draugai.h"
#include "Tekstas.h"
#include "iphostport.h"

using namespace Qt::StringLiterals;

namespace {

QString ServerioRaktas(const QString& adresas) {
    const TAdresoDalys dalys = AtskirtiPorta(adresas);
    return dalys.Hostas.trimmed().toCaseFolded() + u':' + dalys.Portas;
}

bool ArAtsake(const TRaundoSantrauka& r) {
    return r.PingoMs || r.Zaidejai || r.MaxZaideju || r.Vardai;
}

} // namespace

QString PranesimoAntraste(const TPranesimas& p, const TPranesimuTekstai& tekstai) {
    switch (p.Rusis) {
    case TPranesimas::TRusis::Draugas:
        return tekstai.Draugas.arg(p.Zaidejas, p.Pavadinimas);
    case TPranesimas::TRusis::LaisvaVieta:
        return tekstai.LaisvaVieta.arg(p.Pavadinimas,
                                       QString::number(p.Zaidejai) + u'/' + QString::number(p.MaxZaideju));
    case TPranesimas::TRusis::VelAtsako:
        return tekstai.VelAtsako.arg(p.Pavadinimas);
    }
    return {};
}

QString PranesimoTekstas(const TPranesimas& p) {
    return p.Serveris.toHtmlEscaped();
}

TPranesimuTaisykles::TPranesimuTaisykles(const TDraugai& draugai) : draugai(draugai) {}

QList<TPranesimas> TPranesimuTaisykles::Apdoroti(const TRaundoSantrauka& r, const TPranesimuParinktys& parinktys) {
    QList<TPranesimas> pranesimai;
    const QString raktas = ServerioRaktas(r.Serveris);
    TServeris& serveris = serveriai[raktas];
    if (!r.Pavadinimas.isEmpty())
        serveris.Pavadinimas = r.Pavadinimas;
    const auto naujas = [&](TPranesimas::TRusis rusis) {
        TPranesimas p;
        p.Rusis = rusis;
        p.Serveris = r.Serveris;
        p.Pavadinimas = serveris.Pavadinimas.isEmpty() ? r.Serveris : RodomasTekstas(serveris.Pavadinimas);
        return p;
    };

    if (r.Saltinis != TRaundoSantrauka::TSaltinis::Sarasas) {
        if (stebimas.Raktas != raktas)
            stebimas = TStebimas{raktas};
        const bool atsake = ArAtsake(r);
        if (atsake && stebimas.ArBuvoRaundas && !stebimas.ArAtsake && parinktys.ArPranestiVieta)
            pranesimai.append(naujas(TPranesimas::TRusis::VelAtsako));
        stebimas.ArBuvoRaundas = true;
        stebimas.ArAtsake = atsake;
        if (r.Zaidejai && r.MaxZaideju) {
            const bool pilnas = *r.MaxZaideju > 0 && *r.Zaidejai >= *r.MaxZaideju;
            if (stebimas.ArPilnas && !pilnas && parinktys.ArPranestiVieta) {
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
            const QString vardas = RodomasTekstas(baitai);
            const QString zaidejoRaktas = TDraugai::Raktas(vardas);
            const bool arNaujas = !serveris.Zaidejai.contains(zaidejoRaktas) && !dabar.contains(zaidejoRaktas);
            dabar.insert(zaidejoRaktas);
            if (arNaujas && parinktys.ArPranestiDraugus && draugai.ArDraugas(vardas)) {
                TPranesimas p = naujas(TPranesimas::TRusis::Draugas);
                p.Zaidejas = vardas.trimmed();
                pranesimai.append(p);
            }
        }
        serveris.Zaidejai = std::move(dabar);
    }
    return pranesimai;
}
