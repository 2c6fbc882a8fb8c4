#include "Modulis_Konsole.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

#include "AtminiesSrautas.h"
#include "Centras.h"
#include "Konsole.h"
#include "Laikrodis.h"
#include "NMUDP.h"
#include "PrivatusFailas.h"
#include "Saugykla.h"
#include "Skaiciai.h"
#include "Stebetojas.h"
#include "Stiliai.h"
#include "Tekstas.h"
#include "Valdikliai.h"
#include "iphostport.h"

using namespace Qt::StringLiterals;

namespace {

// Lines the output keeps; older ones scroll away for good.
constexpr int kIsvestiesEilutes = 20000;
// The guard's file, in the user's state folder; an earlier version kept it
// in the cache folder, which cache cleaners empty.
constexpr char kSargoFailas[] = "/konsole-bandymai.txt";

} // namespace

TfrmKonsole::TfrmKonsole(TCentras* centras, TStebetojas* stebetojas, QWidget* tevas)
    : TAntrinisLangas(stebetojas, tevas), centras(centras) {
    setObjectName(u"frmKonsole"_s);
    SukurtiValdiklius();
    SujungtiIvykius();
    Saugiai([this] { FormCreate(); });
}

TfrmKonsole::~TfrmKonsole() {
    // Nothing may call back into the window as its parts go.
    NMUDP1->OnDataReceived = nullptr;
    delete Konsole;
    Konsole = nullptr;
}

void TfrmKonsole::SukurtiValdiklius() {
    setFixedSize(640, 440);
    setWindowTitle(u"Velmorant"_s);
    setFont(SriftasTaskais(kSansSerif, 8));

    const QFont sriftas = SriftasTaskais(kSansSerif, 8);
    lblServeris = Etikete(this, "lblServeris", 8, 10, 10, 16, SriftasTaskais(kSansSerif, 10, true), kOranzine);
    lblServeris->adjustSize();
    lblSlaptazodis = Etikete(this, "lblSlaptazodis", 8, 40, 96, 16, sriftas, kOranzine);
    edtSlaptazodis = Sukurti<QLineEdit>(this, "edtSlaptazodis", 104, 37, 200, 21);
    edtSlaptazodis->setEchoMode(QLineEdit::Password);
    RedagavimoLaukas(edtSlaptazodis);
    chkIsimintiSlaptazodi = Sukurti<QCheckBox>(this, "chkIsimintiSlaptazodi", 316, 39, 316, 17);
    chkIsimintiSlaptazodi->setText(u"chkIsimintiSlaptazodi"_s);
    NustatytiSpalvas(chkIsimintiSlaptazodi, SpalvaBGR(kOranzine));
    TamsusZymimasis(chkIsimintiSlaptazodi);

    memIsvestis = Sukurti<QPlainTextEdit>(this, "memIsvestis", 8, 68, 624, 324);
    memIsvestis->setReadOnly(true);
    memIsvestis->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    memIsvestis->setLineWrapMode(QPlainTextEdit::NoWrap);
    memIsvestis->setMaximumBlockCount(kIsvestiesEilutes);
    // The desktop's fixed-pitch font: a family asked for by name may come
    // back as a font fontconfig does not mark fixed-pitch, whose columns
    // would not line up.
    QFont fiksuotas = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fiksuotas.setPixelSize(12);
    memIsvestis->setFont(fiksuotas);
    NustatytiSpalvas(memIsvestis, SpalvaBGR(kOranzine), Qt::black);
    TamsiosSlinkties(memIsvestis);

    lblKomanda = Etikete(this, "lblKomanda", 8, 407, 96, 16, sriftas, kOranzine);
    edtKomanda = Sukurti<QLineEdit>(this, "edtKomanda", 104, 404, 440, 21);
    edtKomanda->setFont(fiksuotas);
    RedagavimoLaukas(edtKomanda);
    btnSiusti = Sukurti<QPushButton>(this, "btnSiusti", 552, 402, 80, 25);
    btnSiusti->setText(u"btnSiusti"_s);
    // Enter belongs to the command box: no button of the dialog takes it too.
    btnSiusti->setAutoDefault(false);
    btnSiusti->setDefault(false);

    // The window's own endpoint: no fixed local port, the system picks one.
    NMUDP1 = new TNMUDP(this);
    NMUDP1->setObjectName(u"NMUDP1"_s);
    Konsole = new TKonsole(NMUDP1, centras->KonsoliuRegistras(), centras->Registras(), centras->Biudzetas(), &DabarMs,
                           this, centras->Vardai());
    Konsole->setObjectName(u"Konsole"_s);
    Saugykla = new TSlaptazodziuSaugykla(QString::fromLatin1(kSaugyklosTarnyba), this);
    Saugykla->setObjectName(u"Saugykla"_s);
}

void TfrmKonsole::SujungtiIvykius() {
    connect(btnSiusti, &QPushButton::clicked, this, [this] { Saugiai([this] { btnSiustiClick(); }); });
    connect(edtSlaptazodis, &QLineEdit::textEdited, this, [this] { Saugiai([this] { edtSlaptazodisChange(); }); });
    // Only the user's clicks: the window setting the box is no choice of theirs.
    connect(chkIsimintiSlaptazodi, &QCheckBox::clicked, this,
            [this] { Saugiai([this] { chkIsimintiSlaptazodiClick(); }); });
    edtKomanda->installEventFilter(this);
    edtSlaptazodis->installEventFilter(this);
    NMUDP1->OnDataReceived = [this](QObject* sender, int kiekis, const QString& is, int portas) {
        Saugiai([&] { NMUDP1DataReceived(sender, kiekis, is, portas); });
    };

    connect(Konsole, &TKonsole::Isvestis, this,
            [this](const QByteArray& t, bool nukirsta) { Saugiai([&] { KonsoleIsvestis(t, nukirsta); }); });
    connect(Konsole, &TKonsole::SlaptazodisPriimtas, this,
            [this](const QString& s) { Saugiai([&] { KonsoleSlaptazodisPriimtas(s); }); });
    connect(Konsole, &TKonsole::SlaptazodisAtmestas, this,
            [this](const QByteArray& t) { Saugiai([&] { KonsoleSlaptazodisAtmestas(t); }); });
    connect(Konsole, &TKonsole::IssukisAtmestas, this,
            [this](const QByteArray& t) { Saugiai([&] { KonsoleIssukisAtmestas(t); }); });
    connect(Konsole, &TKonsole::Uzdrausta, this,
            [this](const QByteArray& t) { Saugiai([&] { KonsoleUzdrausta(t); }); });
    connect(Konsole, &TKonsole::Neatsako, this, [this](bool quake) { Saugiai([&] { KonsoleNeatsako(quake); }); });
    connect(Konsole, &TKonsole::AdresasNerastas, this, [this] { Saugiai([this] { KonsoleAdresasNerastas(); }); });
    connect(Konsole, &TKonsole::SiuntimasNepavyko, this,
            [this](const QString& k) { Saugiai([&] { KonsoleSiuntimasNepavyko(k); }); });
    connect(Konsole, &TKonsole::SargasNeissaugotas, this,
            [this](const QString& f) { Saugiai([&] { KonsoleSargasNeissaugotas(f); }); });
}

// ---- Creation, showing ----

void TfrmKonsole::FormCreate() {
    NustatytiFona(this, Qt::black);
    // The guard's attempts outlive the run, so that a restart does not reset its count.
    TKonsoliuRegistras& registras = centras->KonsoliuRegistras();
    if (registras.Failas().isEmpty())
        registras.NustatytiFaila(BusenosAplankas() + QString::fromLatin1(kSargoFailas), DabarMs(),
                                 QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
                                     QString::fromLatin1(kSargoFailas));
}

void TfrmKonsole::FormShow() {
    PritaikytiKalba();
    const QString adresas = stebetojas ? stebetojas->Adresas() : QString();
    TServerioAdresas serveris;
    QString naujasRaktas;
    if (!ApkarpytiTarpus(adresas).isEmpty()) {
        // The address as the watcher reads it; a port that is no number is port 0, where nothing goes.
        serveris = BandytiSkaitytiAdresa(adresas).value_or(TServerioAdresas{AtskirtiPorta(adresas).Hostas, 0});
        naujasRaktas = serveris.Tekstas();
    }
    NustatytiTeksta(lblServeris, Tekstas("frmKonsole", "lblServeris") + u": "_s + naujasRaktas);
    if (naujasRaktas == raktas && !raktas.isEmpty()) {
        edtKomanda->setFocus();
        return;
    }
    // Another server: another password. The old one never goes to the new server.
    raktas = naujasRaktas;
    edtSlaptazodis->clear();
    priimtasSlaptazodis.clear();
    isimintasSlaptazodis.clear();
    chkIsimintiSlaptazodi->setChecked(false);
    Konsole->NustatytiServeri(serveris);
    if (raktas.isEmpty()) {
        Pranesti("KonsoleNeraServerio");
        return;
    }
    edtSlaptazodis->setFocus();
    if (arSaugyklaNepasiekiama)
        return;
    Saugykla->Skaityti(raktas, this, [this, kieno = raktas](const TSaugyklosAtsakymas& a) {
        if (kieno != raktas)
            return;
        switch (a.Busena) {
        case TSaugyklosBusena::Gerai:
            isimintasSlaptazodis = a.Slaptazodis;
            // What the user typed meanwhile stays.
            if (edtSlaptazodis->text().isEmpty()) {
                edtSlaptazodis->setText(a.Slaptazodis);
                edtKomanda->setFocus();
            }
            chkIsimintiSlaptazodi->setChecked(true);
            break;
        case TSaugyklosBusena::NeraIraso:
            break;
        default:
            SaugyklaNepasiekiama(a);
            break;
        }
    });
}

void TfrmKonsole::PritaikytiKalba() {
    setWindowTitle(u"Velmorant - "_s + Tekstas("frmKonsole", "Cap4"));
    NustatytiTeksta(lblSlaptazodis, Tekstas("frmKonsole", "lblSlaptazodis") + u':');
    NustatytiTeksta(lblKomanda, Tekstas("frmKonsole", "lblKomanda") + u':');
    chkIsimintiSlaptazodi->setText(Tekstas("frmKonsole", "chkIsimintiSlaptazodi"));
    btnSiusti->setText(Tekstas("frmKonsole", "btnSiusti"));
    edtKomanda->setPlaceholderText(Tekstas("frmKonsole", "edtKomanda"));
}

// ---- The user's actions ----

void TfrmKonsole::btnSiustiClick() {
    const QString komanda = edtKomanda->text();
    if (komanda.trimmed().isEmpty())
        return;
    RasytiEilute(u"] "_s + komanda);
    PridetiIstorija(komanda);
    const TKonsolesVeiksmas v = Konsole->Vykdyti(komanda, edtSlaptazodis->text());
    switch (v.Rezultatas) {
    case TKonsolesRezultatas::Siunciama:
        edtKomanda->clear();
        break;
    case TKonsolesRezultatas::Tuscia:
        break;
    case TKonsolesRezultatas::BeServerio:
        Pranesti("KonsoleNeraServerio");
        break;
    case TKonsolesRezultatas::IeskomaAdreso:
        Pranesti("KonsoleIeskoma");
        break;
    case TKonsolesRezultatas::NerastasAdresas:
        Pranesti("BlogasServeris");
        break;
    case TKonsolesRezultatas::Uzimta:
        Pranesti("KonsoleUzimta");
        break;
    case TKonsolesRezultatas::BeSlaptazodzio:
        Pranesti("KonsoleBeSlaptazodzio");
        edtSlaptazodis->setFocus();
        break;
    case TKonsolesRezultatas::NetinkamasSlaptazodis:
        Pranesti("KonsoleKabute");
        break;
    case TKonsolesRezultatas::NetinkamaKomanda:
        Pranesti("KonsoleEilute");
        break;
    case TKonsolesRezultatas::PerIlga:
        Pranesti("KonsoleIlga", {QString::number(v.DidziausiaKomanda)});
        break;
    case TKonsolesRezultatas::Atmestas:
        Pranesti("KonsoleAtmestas");
        break;
    case TKonsolesRezultatas::Saugoma: {
        const qint64 sekundes = (v.LauktiMs + 999) / 1000;
        const QString kada = QDateTime::currentDateTime().addMSecs(v.LauktiMs).toString(u"HH:mm:ss"_s);
        Pranesti("KonsoleSaugoma", {QString::number(sekundes), kada});
        break;
    }
    case TKonsolesRezultatas::Biudzetas:
        Pranesti("KonsoleBiudzetas", {QString::number((v.LauktiMs + 999) / 1000)});
        break;
    }
}

bool TfrmKonsole::edtKomandaKeyDown(int Key, bool ArKartojamas) {
    switch (Key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // One press, one command: a key held down does not send again.
        if (!ArKartojamas)
            btnSiustiClick();
        return true;
    case Qt::Key_Up:
        if (istorijosVieta == 0)
            return true;
        if (istorijosVieta == istorija.size())
            juodrastis = edtKomanda->text();
        --istorijosVieta;
        edtKomanda->setText(istorija.at(istorijosVieta));
        return true;
    case Qt::Key_Down:
        if (istorijosVieta >= istorija.size())
            return true;
        ++istorijosVieta;
        edtKomanda->setText(istorijosVieta == istorija.size() ? juodrastis : istorija.at(istorijosVieta));
        return true;
    default:
        return false;
    }
}

void TfrmKonsole::PridetiIstorija(const QString& komanda) {
    if (istorija.isEmpty() || istorija.last() != komanda)
        istorija.append(komanda);
    istorijosVieta = istorija.size();
    juodrastis.clear();
}

bool TfrmKonsole::eventFilter(QObject* objektas, QEvent* ivykis) {
    if (ivykis->type() != QEvent::KeyPress)
        return TAntrinisLangas::eventFilter(objektas, ivykis);
    const auto* klavisas = static_cast<QKeyEvent*>(ivykis);
    if (objektas == edtKomanda) {
        bool paimta = false;
        Saugiai([&] { paimta = edtKomandaKeyDown(klavisas->key(), klavisas->isAutoRepeat()); });
        return paimta;
    }
    // Enter in the password box goes on to the command.
    if (objektas == edtSlaptazodis && (klavisas->key() == Qt::Key_Return || klavisas->key() == Qt::Key_Enter)) {
        edtKomanda->setFocus();
        return true;
    }
    return TAntrinisLangas::eventFilter(objektas, ivykis);
}

void TfrmKonsole::edtSlaptazodisChange() {
    // Typed anew: a password the server refused may be tried again.
    Konsole->SlaptazodisPakeistas();
}

void TfrmKonsole::chkIsimintiSlaptazodiClick() {
    if (raktas.isEmpty())
        return;
    if (chkIsimintiSlaptazodi->isChecked()) {
        // A password the server took is kept at once; another one once the server takes it.
        if (!priimtasSlaptazodis.isEmpty() && priimtasSlaptazodis == edtSlaptazodis->text())
            IsimintiSlaptazodi(priimtasSlaptazodis);
        return;
    }
    isimintasSlaptazodis.clear();
    Saugykla->Trinti(raktas, this, [this](const TSaugyklosAtsakymas& a) {
        if (a.Busena == TSaugyklosBusena::Klaida)
            Pranesti("KonsoleNeisimintas", {a.Klaida});
    });
}

void TfrmKonsole::IsimintiSlaptazodi(const QString& slaptazodis) {
    if (arSaugyklaNepasiekiama || slaptazodis == isimintasSlaptazodis)
        return;
    Saugykla->Rasyti(raktas, slaptazodis, this, [this, kieno = raktas, slaptazodis](const TSaugyklosAtsakymas& a) {
        if (a.Busena == TSaugyklosBusena::Gerai) {
            if (kieno == raktas)
                isimintasSlaptazodis = slaptazodis;
            return;
        }
        if (a.Busena == TSaugyklosBusena::NeraSaugyklos)
            SaugyklaNepasiekiama(a);
        else
            Pranesti("KonsoleNeisimintas", {a.Klaida});
    });
}

void TfrmKonsole::SaugyklaNepasiekiama(const TSaugyklosAtsakymas& atsakymas) {
    chkIsimintiSlaptazodi->setChecked(false);
    chkIsimintiSlaptazodi->setEnabled(false);
    // Said once a run.
    if (arSaugyklaNepasiekiama)
        return;
    arSaugyklaNepasiekiama = true;
    Pranesti("KonsoleBeSaugyklos", {atsakymas.Klaida});
}

// ---- What the server sends ----

void TfrmKonsole::NMUDP1DataReceived(QObject*, int, const QString& FromIP, int Port) {
    TAtminiesSrautas srautas;
    NMUDP1->CopyReceivedToStream(srautas);
    Konsole->Gauta(srautas.Duomenys(), FromIP, Port);
}

void TfrmKonsole::KonsoleIsvestis(const QByteArray& tekstas, bool nukirsta) {
    RodytiIsvesti(ServerioTekstas(tekstas));
    if (nukirsta)
        Pranesti("KonsoleNukirsta", {QString::number(kKonsolesIsvestiesRiba)});
}

void TfrmKonsole::KonsoleSlaptazodisPriimtas(const QString& slaptazodis) {
    priimtasSlaptazodis = slaptazodis;
    if (chkIsimintiSlaptazodi->isChecked() && chkIsimintiSlaptazodi->isEnabled())
        IsimintiSlaptazodi(slaptazodis);
}

void TfrmKonsole::KonsoleSlaptazodisAtmestas(const QByteArray& tekstas) {
    RodytiIsvesti(ServerioTekstas(tekstas));
    Pranesti("KonsoleNepriimtas");
}

void TfrmKonsole::KonsoleIssukisAtmestas(const QByteArray& tekstas) {
    RodytiIsvesti(ServerioTekstas(tekstas));
    Pranesti("KonsoleIssukis");
}

void TfrmKonsole::KonsoleUzdrausta(const QByteArray& tekstas) {
    RodytiIsvesti(ServerioTekstas(tekstas));
    Pranesti("KonsoleUzdrausta");
}

void TfrmKonsole::KonsoleNeatsako(bool quakeForma) {
    // A server of the Quake form answers nothing to a wrong password.
    Pranesti(quakeForma ? "KonsoleTyli" : "KonsoleNeatsako");
}

void TfrmKonsole::KonsoleAdresasNerastas() {
    Pranesti("BlogasServeris");
}

void TfrmKonsole::KonsoleSiuntimasNepavyko(const QString& klaida) {
    Pranesti("KonsoleNesiuncia", {klaida});
}

void TfrmKonsole::KonsoleSargasNeissaugotas(const QString& failas) {
    Pranesti("KonsoleSargoFailas", {QDir::toNativeSeparators(failas)});
}

// ---- The output ----

void TfrmKonsole::RodytiIsvesti(const QString& tekstas) {
    QString t = tekstas;
    // A CR of a CR LF would show as a line of its own.
    t.replace(u"\r\n"_s, u"\n"_s);
    QTextCursor zymeklis(memIsvestis->document());
    zymeklis.movePosition(QTextCursor::End);
    zymeklis.insertText(t);
    memIsvestis->verticalScrollBar()->setValue(memIsvestis->verticalScrollBar()->maximum());
}

void TfrmKonsole::RasytiEilute(const QString& eilute) {
    // An output that did not end its last line gets its line ended first.
    if (!memIsvestis->document()->lastBlock().text().isEmpty())
        RodytiIsvesti(u"\n"_s);
    RodytiIsvesti(eilute + u'\n');
}

void TfrmKonsole::Pranesti(const char* raktas, const QStringList& argumentai) {
    const QString tekstas = Tekstas("Pranesimai", raktas);
    // All at once: a value holding "%2" stays as it is.
    const QString zinute = argumentai.isEmpty()     ? tekstas
                           : argumentai.size() == 1 ? tekstas.arg(argumentai.at(0))
                                                    : tekstas.arg(argumentai.at(0), argumentai.at(1));
    // The console's own words are broken into lines that fit the output's
    // width (the server's output stays as it came, however wide).
    const int plotis = memIsvestis->contentsRect().width() - memIsvestis->verticalScrollBar()->sizeHint().width() -
                       2 * int(memIsvestis->document()->documentMargin()) - 4;
    QTextLayout isdestymas(zinute, memIsvestis->font());
    QTextOption parinktys;
    parinktys.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    isdestymas.setTextOption(parinktys);
    QStringList eilutes;
    isdestymas.beginLayout();
    for (QTextLine eilute = isdestymas.createLine(); eilute.isValid(); eilute = isdestymas.createLine()) {
        eilute.setLineWidth(qMax(1, plotis));
        eilutes.append(zinute.mid(eilute.textStart(), eilute.textLength()).trimmed());
    }
    isdestymas.endLayout();
    RasytiEilute(eilutes.join(u'\n'));
}
