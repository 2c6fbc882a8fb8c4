#include "StebejimoPaslaugos.h"

#include <QDateTime>

#include "Apklausa.h"
#include "Centras.h"
#include "DekloPiktograma.h"
#include "Istorija.h"
#include "Kalba.h"
#include "Modulis1.h"
#include "Modulis_Taisykles.h"
#include "Parinktys.h"
#include "Pranesejas.h"
#include "Pranesimai.h"
#include "Programa.h"
#include "Stebetojas.h"

using namespace Qt::StringLiterals;

namespace {

TDraugai SukurtiDraugus(const QString& kelias) {
    return kelias.isEmpty() ? TDraugai() : TDraugai(kelias);
}

} // namespace

TStebejimoPaslaugos::TNustatymai TStebejimoPaslaugos::Numatytieji() {
    TNustatymai n;
    n.IstorijosKelias = TIstorija::NumatytasKelias();
    return n;
}

TStebejimoPaslaugos::TStebejimoPaslaugos(TNustatymai nustatymai, QObject* tevas)
    : QObject(tevas), laikrodis(std::move(nustatymai.Laikrodis)), draugai(SukurtiDraugus(nustatymai.DraugaiKelias)),
      stebetojas(nustatymai.Stebetojas), detaliuLangas(nustatymai.Taisykles) {
    setObjectName(u"StebejimoPaslaugos"_s);
    try {
        draugai.Ikelti();
    } catch (const EKlaida& e) {
        RodytiPranesima(stebetojas, e.Message());
    }
    pranesejas = nustatymai.Magistrale ? new TPranesejas(*nustatymai.Magistrale, this) : new TPranesejas(this);
    pranesejas->setObjectName(u"Pranesejas"_s);
    if (!nustatymai.IstorijosKelias.isEmpty()) {
        istorija = laikrodis ? std::make_unique<TIstorija>(nustatymai.IstorijosKelias, laikrodis)
                             : std::make_unique<TIstorija>(nustatymai.IstorijosKelias);
        istorija->setObjectName(u"Istorija"_s);
        connect(istorija.get(), &TIstorija::Sugedo, this, &TStebejimoPaslaugos::IstorijaSugedo);
        connect(istorija.get(), &TIstorija::ParosDuomenys, this, &TStebejimoPaslaugos::ParaGauta);
    }
    if (stebetojas) {
        deklas = nustatymai.ArDeklas ? new TDekloPiktograma(stebetojas, *nustatymai.ArDeklas, this)
                                     : new TDekloPiktograma(stebetojas, this);
        deklas->setObjectName(u"Deklas"_s);
        stebetojas->NustatytiDraugus(&draugai);
    }
    // Every round of every window, once, from the hub.
    TApklausa* apklausa = nustatymai.Apklausa;
    if (!apklausa && ProgramosCentras())
        apklausa = ProgramosCentras()->Apklausa();
    netikri = nustatymai.Netikri;
    if (!netikri && !nustatymai.Apklausa && ProgramosCentras())
        netikri = ProgramosCentras()->Netikri();
    parinktys = nustatymai.Parinktys ? nustatymai.Parinktys : ProgramosParinktys();
    if (apklausa)
        connect(apklausa, &TApklausa::RaundasBaigtas, this, &TStebejimoPaslaugos::PriimtiRaunda);
    if (detaliuLangas)
        connect(detaliuLangas, &TfrmTaisykles::IstorijosReikia, this, &TStebejimoPaslaugos::IstorijosReikia);
}

TStebejimoPaslaugos::~TStebejimoPaslaugos() {
    if (stebetojas)
        stebetojas->NustatytiDraugus(nullptr);
    // Everything handed over is written before the windows and the application go.
    istorija.reset();
}

QString TStebejimoPaslaugos::Tekstas(const char* sekcija, const char* raktas) const {
    // The texts of the language in effect now, as every text of the program.
    return stebetojas ? stebetojas->Kalba().Tekstas(sekcija, raktas) : QStringLiteral("###1");
}

qint64 TStebejimoPaslaugos::Dabar() const {
    return laikrodis ? laikrodis() : QDateTime::currentMSecsSinceEpoch();
}

void TStebejimoPaslaugos::PriimtiRaunda(const TRaundoSantrauka& raundas) {
    // The browser's pings are a look over thousands of servers, not a watch:
    // no history, no notification, no tray.
    if (raundas.Saltinis == TRaundoSantrauka::TSaltinis::Narsykle)
        return;
    if (istorija) {
        istorija->Irasyti(raundas);
        // The plot of the details window follows every round of its server.
        if (detaliuLangas && detaliuLangas->isVisible() && raundas.Serveris == detaliuLangas->IstorijosServeris())
            istorija->UzklaustiParos(raundas.Serveris);
    }
    PranestiApie(raundas);
    if (deklas && raundas.Saltinis == TRaundoSantrauka::TSaltinis::Stebetojas)
        deklas->RodytiRaunda(raundas, Tekstas("Pranesimai", "Timeout"));
}

void TStebejimoPaslaugos::PranestiApie(const TRaundoSantrauka& raundas) {
    using Z = TParinktys::TZyma;
    const TPranesimuParinktys kas{parinktys && parinktys->Zyma(Z::PranestiVieta),
                                  parinktys && parinktys->Zyma(Z::PranestiDraugus)};
    QList<TPranesimas> pranesimai = taisykles.Apdoroti(raundas, kas);
    // A free slot or a friend on a server whose players are fake is no news.
    if (netikri && netikri->ArNetikras(raundas.Serveris))
        pranesimai.removeIf([](const TPranesimas& p) { return p.Rusis != TPranesimas::TRusis::VelAtsako; });
    if (pranesimai.isEmpty())
        return;
    // The texts of the language in effect now, as every text of the program.
    const TPranesimuTekstai tekstai{Tekstas("Pranesimai", "DraugasPrisijunge"), Tekstas("Pranesimai", "VietaLaisva"),
                                    Tekstas("Pranesimai", "ServerisAtsako")};
    // Handed to the bus without waiting; a missing service costs nothing here.
    for (const TPranesimas& p : pranesimai)
        pranesejas->Pranesti(PranesimoAntraste(p, tekstai), PranesimoTekstas(p));
}

void TStebejimoPaslaugos::IstorijaSugedo(const QString& klaida) {
    QString tekstas = Tekstas("Pranesimai", "IstorijaNeveikia");
    tekstas.replace(u"%1"_s, klaida);
    RodytiPranesima(stebetojas, tekstas);
}

void TStebejimoPaslaugos::IstorijosReikia(const QString& serveris) {
    if (istorija)
        istorija->UzklaustiParos(serveris);
}

void TStebejimoPaslaugos::ParaGauta(const QString& serveris, const TIstorijosTaskai& taskai) {
    if (detaliuLangas)
        detaliuLangas->RodytiIstorija(serveris, taskai, Dabar());
}
