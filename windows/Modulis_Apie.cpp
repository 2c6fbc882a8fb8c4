#include "Modulis_Apie.h"

#include <QEvent>
#include <QHideEvent>
#include <QLabel>
#include <QPixmap>
#include <QShowEvent>

#include "Ikona.h"
#include "Stiliai.h"
#include "Valdikliai.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kBordo = 128; // #800000, maroon

} // namespace

TfrmApie::TfrmApie(TStebetojas* stebetojas, QWidget* tevas) : TAntrinisLangas(stebetojas, tevas) {
    setObjectName(u"frmApie"_s);
    SukurtiValdiklius();
}

TfrmApie::~TfrmApie() {}

void TfrmApie::SukurtiValdiklius() {
    setFixedSize(348, 146);
    setWindowTitle(u"Velmorant - Apie"_s);
    setWindowIcon(ProgramosIkona());
    const QFont sriftas = SriftasTaskais(kSansSerif, 8);
    setFont(sriftas);
    NustatytiSpalvas(this, Qt::black, Qt::white);

    Image1 = Sukurti<QLabel>(this, "Image1", 32, 24, 32, 32);
    Image1->setPixmap(QPixmap::fromImage(ProgramosIkonosVaizdas()));
    Image1->adjustSize(); // sized to its picture

    lblPavadinimas = Etikete(this, "lblPavadinimas", 96, 16, 10, 10, SriftasTaskais(kSansSerif, 14));
    NustatytiSpalvas(lblPavadinimas, SpalvaBGR(kBordo));
    lblPavadinimas->adjustSize();
    lblVersija = Etikete(this, "lblVersija", 96, 40, 10, 10, sriftas);
    lblVersija->adjustSize();
    // Fixed areas: a longer text is cut off at the bottom edge.
    lblKomentarai = Etikete(this, "lblKomentarai", 16, 64, 321, 41, sriftas);
    lblKomentarai->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblKomentarai->setWordWrap(true);
    lblCopyright = Etikete(this, "lblCopyright", 16, 120, 321, 17, sriftas);
    lblCopyright->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblCopyright->setWordWrap(true);
}

void TfrmApie::showEvent(QShowEvent* event) {
    TAntrinisLangas::showEvent(event);
    if (event->spontaneous())
        return;
    // The platform may or may not activate a window it shows; the texts are
    // read now, and the activation that comes with the showing reads nothing again.
    Saugiai([this] { FormActivate(); });
    laukiamaAktyvinimo = true;
}

void TfrmApie::hideEvent(QHideEvent* event) {
    TAntrinisLangas::hideEvent(event);
    if (!event->spontaneous())
        laukiamaAktyvinimo = false;
}

bool TfrmApie::event(QEvent* ivykis) {
    if (ivykis->type() == QEvent::WindowActivate) {
        if (laukiamaAktyvinimo)
            laukiamaAktyvinimo = false;
        else
            Saugiai([this] { FormActivate(); });
    }
    return TAntrinisLangas::event(ivykis);
}

void TfrmApie::FormActivate() {
    // Empty texts when the record cannot be read (SkaitytiVersija then leaves them).
    VersijosTekstai = TVersijosTekstai{};
    SkaitytiVersija(VersijosTekstai);
    NustatytiTeksta(lblPavadinimas, VersijosTekstai[kProduktoPavadinimas]);
    NustatytiTeksta(lblVersija, Tekstas("Pranesimai", "Versija") + u' ' + VersijosTekstai[kProduktoVersija] + u", "_s +
                                    Tekstas("Pranesimai", "Pataisymas") + u' ' +
                                    PataisymoTekstas(VersijosTekstai[kFailoVersija]));
    lblCopyright->setText(VersijosTekstai[kAutoriuTeises]);
    lblKomentarai->setText(Tekstas("frmApie", "lblKomentarai"));
    setWindowTitle(u"Velmorant - "_s + Tekstas("frmApie", "Cap1"));
}
