#include "Saugykla.h"

#if VELMORANT_SU_SAUGYKLA
#include <qt6keychain/keychain.h>
#else
#include <QTimer>
#endif

using namespace Qt::StringLiterals;

namespace {

#if VELMORANT_SU_SAUGYKLA

TSaugyklosAtsakymas Atsakymas(QKeychain::Job* darbas) {
    TSaugyklosAtsakymas a;
    a.Klaida = darbas->errorString();
    switch (darbas->error()) {
    case QKeychain::NoError:
        a.Busena = TSaugyklosBusena::Gerai;
        a.Klaida.clear();
        if (auto* skaitymas = qobject_cast<QKeychain::ReadPasswordJob*>(darbas))
            a.Slaptazodis = skaitymas->textData();
        break;
    case QKeychain::EntryNotFound:
        a.Busena = TSaugyklosBusena::NeraIraso;
        break;
    case QKeychain::NoBackendAvailable:
    case QKeychain::NotImplemented:
        a.Busena = TSaugyklosBusena::NeraSaugyklos;
        break;
    default:
        a.Busena = TSaugyklosBusena::Klaida;
        break;
    }
    return a;
}

// Starts a job that answers `atsakas` (in `kontekstas`) and then deletes itself.
// The job has no parent: the store's own callbacks may still be pending when
// its caller is gone, so only the job's end may end it.
void Pradeti(QKeychain::Job* darbas, const QString& raktas, QObject* kontekstas,
             TSlaptazodziuSaugykla::TAtsakas atsakas) {
    darbas->setAutoDelete(true);
    // Never the plain-file fallback: a password must not reach a file.
    darbas->setInsecureFallback(false);
    darbas->setKey(raktas);
    QObject::connect(darbas, &QKeychain::Job::finished, kontekstas,
                     [atsakas = std::move(atsakas)](QKeychain::Job* j) { atsakas(Atsakymas(j)); });
    darbas->start();
}

#else

void NeraSaugyklos(QObject* kontekstas, TSlaptazodziuSaugykla::TAtsakas atsakas) {
    QTimer::singleShot(0, kontekstas, [atsakas = std::move(atsakas)] {
        TSaugyklosAtsakymas a;
        a.Busena = TSaugyklosBusena::NeraSaugyklos;
        a.Klaida = u"built without QtKeychain"_s;
        atsakas(a);
    });
}

#endif

} // namespace

TSlaptazodziuSaugykla::TSlaptazodziuSaugykla(const QString& tarnyba, QObject* tevas)
    : QObject(tevas), tarnyba(tarnyba) {}

bool TSlaptazodziuSaugykla::ArSukompiliuota() {
    return VELMORANT_SU_SAUGYKLA;
}

void TSlaptazodziuSaugykla::Skaityti(const QString& raktas, QObject* kontekstas, TAtsakas atsakas) {
#if VELMORANT_SU_SAUGYKLA
    Pradeti(new QKeychain::ReadPasswordJob(tarnyba), raktas, kontekstas, std::move(atsakas));
#else
    Q_UNUSED(raktas);
    NeraSaugyklos(kontekstas, std::move(atsakas));
#endif
}

void TSlaptazodziuSaugykla::Rasyti(const QString& raktas, const QString& slaptazodis, QObject* kontekstas,
                                   TAtsakas atsakas) {
#if VELMORANT_SU_SAUGYKLA
    auto* darbas = new QKeychain::WritePasswordJob(tarnyba);
    darbas->setTextData(slaptazodis);
    Pradeti(darbas, raktas, kontekstas, std::move(atsakas));
#else
    Q_UNUSED(raktas);
    Q_UNUSED(slaptazodis);
    NeraSaugyklos(kontekstas, std::move(atsakas));
#endif
}

void TSlaptazodziuSaugykla::Trinti(const QString& raktas, QObject* kontekstas, TAtsakas atsakas) {
#if VELMORANT_SU_SAUGYKLA
    Pradeti(new QKeychain::DeletePasswordJob(tarnyba), raktas, kontekstas, std::move(atsakas));
#else
    Q_UNUSED(raktas);
    NeraSaugyklos(kontekstas, std::move(atsakas));
#endif
}
