// The watcher's menus: the panels of the bottom menu and their hover colours,
// the bar's pointer handling, the options, the keys, the settings file's keys
// and the language choice. The rest of the watcher is in Modulis1.cpp.
#include "Modulis1.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "ApatineJuosta.h"
#include "FailuPaieska.h"
#include "Nustatymai.h"
#include "Parinktys.h"
#include "Skaiciai.h"
#include "Stiliai.h"
#include "Tekstas.h"
#include "TybINI.h"
#include "TybCheckBox.h"
#include "TybLabel.h"
#include "Valdikliai.h"

using namespace Qt::StringLiterals;

namespace {

// Colours of the menu panels, as 0x00BBGGRR values.
constexpr int kMeniuFonas = 527376;        // #100C08
constexpr int kPunktoTekstas = 3247756;    // #8C8E31
constexpr int kPazymetasTekstas = 3852997; // #C5CA3A
constexpr int kVeiksmoTekstas = 48127;     // #FFBB00
constexpr int kPazymetasFonas = 3235162;   // #5A5D31, under the pointer
constexpr int kVeiksmoPazymetas = 37119;   // #FF9000, an action label under the pointer

// The language files' folder, as the program names it: the language list
// spells it "kalbos", the choice of a language "Kalbos"; the path helper makes
// both reach the same folder.
const QString kKalbuAplankas = u"resursai\\Kalbos\\"_s;
const QString kKalbuSarasoAplankas = u"resursai\\kalbos\\"_s;

bool TikShift(Qt::KeyboardModifiers m) {
    return (m & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == Qt::ShiftModifier;
}

bool TikCtrl(Qt::KeyboardModifiers m) {
    return (m & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == Qt::ControlModifier;
}

QFrame* Skydelis(QWidget* tevas, const char* vardas, int x, int y, int w, int h) {
    QFrame* p = Sukurti<QFrame>(tevas, vardas, x, y, w, h);
    NustatytiFona(p, SpalvaBGR(kMeniuFonas));
    p->hide();
    return p;
}

TTybLabel* MeniuEtikete(QWidget* tevas, const char* vardas, int x, int y, int w, int h, const QFont& sriftas,
                        int spalva) {
    TTybLabel* l = Sukurti<TTybLabel>(tevas, vardas, x, y, w, h);
    l->setFont(sriftas);
    l->setText(QString::fromLatin1(vardas));
    NustatytiSpalvas(l, SpalvaBGR(spalva));
    return l;
}

TTybCheckBox* Zymimasis(QWidget* tevas, const char* vardas, int x, int y, bool pazymetas) {
    TTybCheckBox* c = Sukurti<TTybCheckBox>(tevas, vardas, x, y, 241, 17);
    c->setFont(Sriftas(kSansSerif, 11));
    c->setText(QString::fromLatin1(vardas));
    NustatytiSpalvas(c, SpalvaBGR(kPunktoTekstas));
    TamsusZymimasis(c);
    c->setChecked(pazymetas);
    return c;
}

} // namespace

void TfrmPagrindinis::SukurtiMeniu() {
    // The bottom bar and the menu panels lie above the scoreboard.
    imgApacia = new TApatineJuosta(this, kalba);

    const QFont meniu = Sriftas(kSansSerif, 11, true);
    // Two rows more than the six of old (the console, the browser): the panel grows upwards, its bottom stays.
    pnlMeniuLygis1 = Skydelis(this, "pnlMeniuLygis1", 8, 392, 129, 144);
    lblPatvirtinimai = MeniuEtikete(pnlMeniuLygis1, "lblPatvirtinimai", 8, 8, 113, 13, meniu, kPunktoTekstas);
    lblIvairus1 = MeniuEtikete(pnlMeniuLygis1, "lblIvairus1", 8, 24, 113, 13, meniu, kPunktoTekstas);
    lblMeniu2 = MeniuEtikete(pnlMeniuLygis1, "lblMeniu2", 8, 40, 113, 13, meniu, kPunktoTekstas);
    lblMeniu3 = MeniuEtikete(pnlMeniuLygis1, "lblMeniu3", 8, 56, 113, 13, meniu, kPunktoTekstas);
    lblMeniu4 = MeniuEtikete(pnlMeniuLygis1, "lblMeniu4", 8, 72, 113, 13, meniu, kPunktoTekstas);
    lblKonsole = MeniuEtikete(pnlMeniuLygis1, "lblKonsole", 8, 88, 113, 13, meniu, kPunktoTekstas);
    lblNarsykle = MeniuEtikete(pnlMeniuLygis1, "lblNarsykle", 8, 104, 113, 13, meniu, kPunktoTekstas);
    lblGerai = MeniuEtikete(pnlMeniuLygis1, "lblGerai", 8, 120, 113, 13, meniu, kPunktoTekstas);

    // The miscellaneous panel reaches down far enough for the notification options below the language.
    pnlMeniuLygis2 = Skydelis(this, "pnlMeniuLygis2", 137, 384, 257, 148);
    chkTAB = Zymimasis(pnlMeniuLygis2, "chkTAB", 8, 7, true);
    chkMeniuApacioj = Zymimasis(pnlMeniuLygis2, "chkMeniuApacioj", 8, 31, true);
    Language = Etikete(pnlMeniuLygis2, "Language", 8, 56, 51, 13, Sriftas(kSansSerif, 11), kPunktoTekstas);
    NustatytiFona(Language, Qt::black);
    Language->setText(u"Language:"_s);
    // Wide enough for its caption at the desktop's font, into the free room on its right.
    Language->resize(qMax(51, Language->sizeHint().width()), qBound(13, Language->sizeHint().height(), 16));
    cboKalbos = Sukurti<QComboBox>(pnlMeniuLygis2, "cboKalbos", 8, 72, 145, 21);
    cboKalbos->setEditable(true);
    cboKalbos->setInsertPolicy(QComboBox::NoInsert);
    // A plain edit: the text shown is the language in effect, so nothing may
    // complete a typed prefix behind the change handler's back.
    cboKalbos->setCompleter(nullptr);
    cboKalbos->setFont(Sriftas(kSansSerif, 11));
    NustatytiSpalvas(cboKalbos, SpalvaBGR(kPunktoTekstas), Qt::black);
    cboKalbos->setEditText(u"cboKalbos"_s);
    chkPranestiVieta = Zymimasis(pnlMeniuLygis2, "chkPranestiVieta", 8, 100, false);
    chkPranestiDraugus = Zymimasis(pnlMeniuLygis2, "chkPranestiDraugus", 8, 124, false);

    pnlPatvirtinimai = Skydelis(this, "pnlPatvirtinimai", 522, 456, 255, 81);
    chkArIseiti = Zymimasis(pnlPatvirtinimai, "chkArIseiti", 8, 7, true);
    chkIssaugotiPakeitimus = Zymimasis(pnlPatvirtinimai, "chkIssaugotiPakeitimus", 8, 31, true);
    chkKeistiHosta = Zymimasis(pnlPatvirtinimai, "chkKeistiHosta", 8, 55, false);

    const QFont didelis = Sriftas(kSansSerif, 16, true);
    pnlAtnaujinimai = Skydelis(this, "pnlAtnaujinimai", 138, 480, 375, 57);
    lblIntervalas = MeniuEtikete(pnlAtnaujinimai, "lblIntervalas", 11, 6, 98, 20, didelis, kVeiksmoTekstas);
    lblIntervalasServeriaiBendrai =
        MeniuEtikete(pnlAtnaujinimai, "lblIntervalasServeriaiBendrai", 11, 30, 230, 20, didelis, kVeiksmoTekstas);

    pnlArIseiti = Skydelis(this, "pnlArIseiti", 288, 216, 289, 145);
    lblArIseiti = Etikete(pnlArIseiti, "lblArIseiti", 49, 28, 216, 69, Sriftas(kSansSerif, 16), kOranzine);
    lblArIseiti->setWordWrap(true);
    lblArIseiti->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblIseitiTaip = MeniuEtikete(pnlArIseiti, "lblIseitiTaip", 48, 112, 92, 20, didelis, kVeiksmoTekstas);
    lblIseitiNe = MeniuEtikete(pnlArIseiti, "lblIseitiNe", 184, 112, 80, 20, didelis, kVeiksmoTekstas);
}

void TfrmPagrindinis::SujungtiMeniu() {
    connect(imgApacia, &TPaveiksliukas::clicked, this, [this] { Saugiai([this] { imgApaciaClick(); }); });
    connect(imgApacia, &TPaveiksliukas::peleJuda, this,
            [this](int x, int y) { Saugiai([&] { imgApaciaMouseMove(x, y); }); });
    connect(imgApacia, &TPaveiksliukas::pelePaleista, this,
            [this](Qt::MouseButton b, int x, int y) { Saugiai([&] { imgApaciaMouseUp(b, x, y); }); });
    connect(imgApacia, &TApatineJuosta::PunktasAktyvuotas, this,
            [this](TApatineJuosta::TPunktas p) { Saugiai([&] { imgApaciaPunktas(p); }); });

    connect(lblMeniu2, &TTybLabel::clicked, this, [this] { Saugiai([this] { lblMeniu2Click(); }); });
    connect(lblMeniu4, &TTybLabel::clicked, this, [this] { Saugiai([this] { lblMeniu4Click(); }); });
    connect(lblKonsole, &TTybLabel::clicked, this, [this] { Saugiai([this] { lblKonsoleClick(); }); });
    connect(lblNarsykle, &TTybLabel::clicked, this, [this] { Saugiai([this] { lblNarsykleClick(); }); });
    connect(lblGerai, &TTybLabel::clicked, this, [this] { Saugiai([this] { lblGeraiClick(); }); });
    connect(lblIseitiTaip, &TTybLabel::clicked, this, [this] { Saugiai([this] { lblIseitiTaipClick(); }); });
    connect(lblIseitiNe, &TTybLabel::clicked, this, [this] { Saugiai([this] { lblIseitiNeClick(); }); });
    connect(lblIntervalas, &TTybLabel::clicked, this, [this] { Saugiai([this] { lblIntervalasClick(); }); });
    connect(lblIntervalasServeriaiBendrai, &TTybLabel::clicked, this,
            [this] { Saugiai([this] { lblIntervalasServeriaiBendraiClick(); }); });
    // A check box's click handler runs whenever its state changes, from code too.
    connect(chkTAB, &QCheckBox::toggled, this, [this] { Saugiai([this] { chkTABClick(); }); });
    connect(chkMeniuApacioj, &QCheckBox::toggled, this, [this] { Saugiai([this] { chkMeniuApaciojClick(); }); });
    // The language follows every change the user makes: a pick or each typed letter.
    connect(cboKalbos, &QComboBox::activated, this, [this] { Saugiai([this] { cboKalbosChange(); }); });
    connect(cboKalbos->lineEdit(), &QLineEdit::textEdited, this, [this] { Saugiai([this] { cboKalbosChange(); }); });

    // The panels edit the options; the settings load and other windows reach them through the options too.
    using Z = TParinktys::TZyma;
    SusietiZyma(chkTAB, int(Z::TAB));
    SusietiZyma(chkMeniuApacioj, int(Z::MeniuApacioj));
    SusietiZyma(chkArIseiti, int(Z::ArIseiti));
    SusietiZyma(chkIssaugotiPakeitimus, int(Z::IssaugotiPakeitimus));
    SusietiZyma(chkKeistiHosta, int(Z::KeistiHosta));
    SusietiZyma(chkPranestiVieta, int(Z::PranestiVieta));
    SusietiZyma(chkPranestiDraugus, int(Z::PranestiDraugus));
    tmrAtnaujinimas->setIntervalas(parinktys->Intervalas());
    connect(parinktys, &TParinktys::IntervalasPakito, this, [this](int ms) {
        tmrAtnaujinimas->setIntervalas(ms);
        RodytiIntervala();
    });
    // The language the settings name is shown in the box, by its own name
    // where the list has it; whatever the box shows is the option.
    connect(cboKalbos, &QComboBox::editTextChanged, parinktys, [this] { parinktys->NustatytiKalba(KalbosFailas()); });
    connect(parinktys, &TParinktys::KalbaPakito, this, [this](const QString& failas) {
        if (KalbosFailas() == failas)
            return;
        if (const int i = cboKalbos->findData(failas); i >= 0)
            cboKalbos->setCurrentIndex(i);
        else
            cboKalbos->setEditText(failas);
    });

    // Hover colours. Level-1 labels and check boxes change text and background,
    // the action labels only their text.
    const auto lygis1 = [this](TTybLabel* l, QFrame* rodomas) {
        l->OnMouseEnter = [this, l, rodomas](QObject*, Qt::KeyboardModifiers, int, int) {
            NustatytiSpalvas(l, SpalvaBGR(kPazymetasTekstas), SpalvaBGR(kPazymetasFonas));
            for (QFrame* p : {pnlMeniuLygis2, pnlAtnaujinimai, pnlPatvirtinimai})
                p->setVisible(p == rodomas);
        };
        l->OnMouseLeave = [l](QObject*, Qt::KeyboardModifiers, int, int) {
            NustatytiSpalvas(l, SpalvaBGR(kPunktoTekstas), SpalvaBGR(kMeniuFonas));
        };
    };
    lygis1(lblPatvirtinimai, pnlPatvirtinimai);
    lygis1(lblIvairus1, pnlMeniuLygis2);
    lygis1(lblMeniu3, pnlAtnaujinimai);
    lygis1(lblMeniu2, nullptr);
    lygis1(lblMeniu4, nullptr);
    lygis1(lblKonsole, nullptr);
    lygis1(lblNarsykle, nullptr);
    lygis1(lblGerai, nullptr);
    for (TTybCheckBox* c : {chkTAB, chkMeniuApacioj, chkArIseiti, chkIssaugotiPakeitimus, chkKeistiHosta,
                            chkPranestiVieta, chkPranestiDraugus}) {
        c->OnMouseEnter = [c](QObject*, Qt::KeyboardModifiers, int, int) {
            NustatytiSpalvas(c, SpalvaBGR(kPazymetasTekstas), SpalvaBGR(kPazymetasFonas));
        };
        c->OnMouseLeave = [c](QObject*, Qt::KeyboardModifiers, int, int) {
            NustatytiSpalvas(c, SpalvaBGR(kPunktoTekstas), SpalvaBGR(kMeniuFonas));
        };
    }
    for (TTybLabel* l : {lblIntervalas, lblIntervalasServeriaiBendrai, lblIseitiTaip, lblIseitiNe}) {
        l->OnMouseEnter = [l](QObject*, Qt::KeyboardModifiers, int, int) {
            NustatytiSpalvas(l, SpalvaBGR(kVeiksmoPazymetas));
        };
        l->OnMouseLeave = [l](QObject*, Qt::KeyboardModifiers, int, int) {
            NustatytiSpalvas(l, SpalvaBGR(kVeiksmoTekstas));
        };
    }

    // The keyboard and screen readers: the panels' items are menu items, the
    // quit question's answers buttons. Tab walks a first-level item, then the
    // items of the option panel it opens, then the next first-level item.
    for (TTybLabel* l : {lblPatvirtinimai, lblIvairus1, lblMeniu2, lblMeniu3, lblMeniu4, lblKonsole, lblNarsykle,
                         lblGerai, lblIntervalas, lblIntervalasServeriaiBendrai})
        l->NustatytiPaspaudziama(QAccessible::MenuItem);
    for (TTybLabel* l : {lblIseitiTaip, lblIseitiNe})
        l->NustatytiPaspaudziama(QAccessible::Button);
    QWidget* ankstesnis = nullptr;
    for (QWidget* l : PirmoLygioPunktai()) {
        if (ankstesnis)
            setTabOrder(ankstesnis, l);
        ankstesnis = l;
        for (QWidget* p : SkydelioPunktai(l)) {
            setTabOrder(ankstesnis, p);
            ankstesnis = p;
        }
        // Pressing an item that opens a panel steps into it.
        if (auto* atidarantis = static_cast<TTybLabel*>(l); !SkydelioPunktai(l).isEmpty())
            atidarantis->OnPress = [this, atidarantis] {
                RodytiMeniuFokusa(atidarantis, true); // its panel opens, as for the pointer
                IMeniu(SkydelioPunktai(atidarantis).constFirst());
            };
    }
    setTabOrder(lblIseitiTaip, lblIseitiNe);
}

void TfrmPagrindinis::RodytiMeniuFokusa(QWidget* punktas, bool ieina) {
    TMouseMoveEvent ivykis;
    if (auto* l = qobject_cast<TTybLabel*>(punktas))
        ivykis = ieina ? l->OnMouseEnter : l->OnMouseLeave;
    else if (auto* c = qobject_cast<TTybCheckBox*>(punktas))
        ivykis = ieina ? c->OnMouseEnter : c->OnMouseLeave;
    if (ivykis)
        ivykis(punktas, Qt::NoModifier, 0, 0);
}

QList<QWidget*> TfrmPagrindinis::PirmoLygioPunktai() const {
    return {lblPatvirtinimai, lblIvairus1, lblMeniu2, lblMeniu3, lblMeniu4, lblKonsole, lblNarsykle, lblGerai};
}

QList<QWidget*> TfrmPagrindinis::Skydeliai() const {
    return {pnlMeniuLygis1, pnlMeniuLygis2, pnlPatvirtinimai, pnlAtnaujinimai, pnlArIseiti};
}

QList<QWidget*> TfrmPagrindinis::SkydelioPunktai(const QWidget* atidarantis) const {
    if (atidarantis == lblPatvirtinimai)
        return {chkArIseiti, chkIssaugotiPakeitimus, chkKeistiHosta};
    if (atidarantis == lblIvairus1)
        return {chkTAB, chkMeniuApacioj, cboKalbos, chkPranestiVieta, chkPranestiDraugus};
    if (atidarantis == lblMeniu3)
        return {lblIntervalas, lblIntervalasServeriaiBendrai};
    return {};
}

bool TfrmPagrindinis::ArMeniuPunktas(const QWidget* valdiklis) const {
    for (const QWidget* p : Skydeliai())
        if (valdiklis && p->isAncestorOf(valdiklis))
            return true;
    return false;
}

void TfrmPagrindinis::IMeniu(QWidget* punktas) {
    if (QWidget* dabar = QApplication::focusWidget(); dabar && !ArMeniuPunktas(dabar))
        fokusasPriesMeniu = dabar;
    punktas->setFocus(Qt::TabFocusReason);
}

bool TfrmPagrindinis::MeniuKlavisas(QWidget* fokusas, int kodas, Qt::KeyboardModifiers mod) {
    if (mod & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const bool atgal = kodas == Qt::Key_Up || kodas == Qt::Key_Left;
    if (!atgal && kodas != Qt::Key_Down && kodas != Qt::Key_Right)
        return false;
    // The next item of a row that can take the focus, round from its end; the
    // language box keeps its arrows for its own list and is reached by Tab.
    const auto zingsnis = [this, fokusas](const QList<QWidget*>& eile, int kryptis) {
        const auto n = eile.size();
        const auto i = eile.indexOf(fokusas);
        for (qsizetype k = 1; k < n; ++k) {
            QWidget* kitas = eile.at(((i + kryptis * k) % n + n) % n);
            if (kitas != cboKalbos && kitas->isVisible() && kitas->isEnabled()) {
                kitas->setFocus(Qt::TabFocusReason);
                break;
            }
        }
        return true;
    };
    const QList<QWidget*> atsakymai{lblIseitiTaip, lblIseitiNe};
    if (atsakymai.contains(fokusas))
        return zingsnis(atsakymai, atgal ? -1 : 1);
    const QList<QWidget*> pirmas = PirmoLygioPunktai();
    if (pirmas.contains(fokusas)) {
        if (kodas == Qt::Key_Up || kodas == Qt::Key_Down)
            return zingsnis(pirmas, atgal ? -1 : 1);
        if (kodas == Qt::Key_Right && !SkydelioPunktai(fokusas).isEmpty()) {
            static_cast<TTybLabel*>(fokusas)->Paspausti();
            return true;
        }
        return kodas == Qt::Key_Left; // nothing to its left
    }
    for (QWidget* atidarantis : pirmas) {
        const QList<QWidget*> punktai = SkydelioPunktai(atidarantis);
        if (!punktai.contains(fokusas) || fokusas == cboKalbos)
            continue;
        if (kodas == Qt::Key_Left) {
            atidarantis->setFocus(Qt::TabFocusReason);
            return true;
        }
        return kodas == Qt::Key_Right || zingsnis(punktai, atgal ? -1 : 1);
    }
    return false;
}

void TfrmPagrindinis::SkydelisUzsidaro(QWidget* skydelis) {
    if (!skydelis->isAncestorOf(QApplication::focusWidget()))
        return;
    // An option panel closed by the pointer entering another first-level item:
    // the focus goes to that item, whose hover it already shows.
    if (pnlMeniuLygis1->isVisible() && skydelis != pnlMeniuLygis1 && skydelis != pnlArIseiti)
        for (QWidget* l : pnlMeniuLygis1->findChildren<TTybLabel*>(Qt::FindDirectChildrenOnly))
            if (l->underMouse()) {
                l->setFocus(Qt::OtherFocusReason);
                return;
            }
    QWidget* grizti = fokusasPriesMeniu;
    if (!grizti || !grizti->isVisible() || !grizti->isEnabled() || ArMeniuPunktas(grizti))
        grizti = imgApacia->isVisible() ? static_cast<QWidget*>(imgApacia) : edtHostas;
    grizti->setFocus(Qt::OtherFocusReason);
}

// ---- Menus, options and keys ----

void TfrmPagrindinis::SusietiZyma(QCheckBox* langelis, int zyma) {
    const auto z = TParinktys::TZyma(zyma);
    langelis->setChecked(parinktys->Zyma(z));
    connect(langelis, &QCheckBox::toggled, parinktys, [this, z](bool b) { parinktys->NustatytiZyma(z, b); });
    connect(parinktys, &TParinktys::ZymaPakito, langelis, [langelis, z](TParinktys::TZyma kuri, bool b) {
        if (kuri == z)
            langelis->setChecked(b);
    });
}

void TfrmPagrindinis::UzdarytiSkydelius(bool suIseitimu) {
    pnlMeniuLygis1->hide();
    pnlMeniuLygis2->hide();
    pnlAtnaujinimai->hide();
    pnlPatvirtinimai->hide();
    if (suIseitimu)
        pnlArIseiti->hide();
}

void TfrmPagrindinis::chkTABClick() {
    pnlTAB->setVisible(chkTAB->isChecked());
}

void TfrmPagrindinis::chkMeniuApaciojClick() {
    imgApacia->setVisible(chkMeniuApacioj->isChecked());
}

void TfrmPagrindinis::imgApaciaClick() {
    if (!MeniuPerjungtas) {
        pnlMeniuLygis1->hide();
        pnlArIseiti->hide();
    }
    pnlMeniuLygis2->hide();
    pnlAtnaujinimai->hide();
    pnlPatvirtinimai->hide();
}

void TfrmPagrindinis::imgApaciaMouseMove(int X, int Y) {
    imgApacia->Pazymeti(X, Y);
}

void TfrmPagrindinis::imgApaciaMouseUp(Qt::MouseButton, int X, int Y) {
    MeniuPerjungtas = !MeniuPerjungtas;
    const std::optional<TApatineJuosta::TPunktas> punktas = imgApacia->Pazymeti(X, Y);
    if (punktas == TApatineJuosta::Meniu)
        pnlMeniuLygis1->show();
    if (punktas == TApatineJuosta::Iseiti) {
        KlaustiIseiti();
    } else {
        pnlArIseiti->hide();
    }
}

void TfrmPagrindinis::imgApaciaPunktas(TApatineJuosta::TPunktas punktas) {
    // What a click on the item does: the bar's click, then the release over it;
    // the keyboard then steps into the panel it opened.
    imgApaciaClick();
    const QPoint vidurys = TApatineJuosta::PunktoVieta(punktas).center();
    imgApaciaMouseUp(Qt::LeftButton, vidurys.x(), vidurys.y());
    if (punktas == TApatineJuosta::Meniu && pnlMeniuLygis1->isVisible())
        IMeniu(lblPatvirtinimai);
    else if (punktas == TApatineJuosta::Iseiti && pnlArIseiti->isVisible())
        IMeniu(lblIseitiTaip);
}

void TfrmPagrindinis::lblMeniu2Click() {
    UzdarytiSkydelius(false);
    // The list is shown modally: the menu's state is reset once it is closed.
    Q_EMIT LangoReikia(TLangas::Serveriai);
    MeniuPerjungtas = false;
}

void TfrmPagrindinis::lblMeniu4Click() {
    UzdarytiSkydelius(false);
    Q_EMIT LangoReikia(TLangas::Taisykles);
}

void TfrmPagrindinis::lblKonsoleClick() {
    UzdarytiSkydelius(false);
    MeniuPerjungtas = false;
    Q_EMIT LangoReikia(TLangas::Konsole);
}

void TfrmPagrindinis::lblNarsykleClick() {
    UzdarytiSkydelius(false);
    MeniuPerjungtas = false;
    Q_EMIT LangoReikia(TLangas::Narsykle);
}

void TfrmPagrindinis::btnApieClick() {
    Q_EMIT LangoReikia(TLangas::Apie);
}

void TfrmPagrindinis::lblGeraiClick() {
    pnlMeniuLygis1->hide();
    pnlMeniuLygis2->hide();
    pnlAtnaujinimai->hide();
    pnlArIseiti->hide();
    MeniuPerjungtas = false;
}

void TfrmPagrindinis::KlaustiIseiti() {
    if (chkArIseiti->isChecked())
        pnlArIseiti->show();
    else
        close();
}

void TfrmPagrindinis::lblIseitiTaipClick() {
    close();
}

void TfrmPagrindinis::lblIseitiNeClick() {
    pnlArIseiti->hide();
}

std::optional<int> TfrmPagrindinis::IntervaloDialogas(int dabartinisMs, const QString& pastaba) {
    QString klausimas = Tekstas("Pranesimai", "IrasykiteSK");
    if (!pastaba.isEmpty())
        klausimas = pastaba + u'\n' + klausimas;
    const QString antraste = Tekstas("Pranesimai", "IrasykiteSKTitle");
    const QString numatyta = QString::number(dabartinisMs / 1000);
    const QString ivesta = IvestiTeksta(this, antraste, klausimas, numatyta);
    int sekundes = 0;
    const qint64 ms = BandytiStrToInt(ivesta, sekundes) ? qint64(sekundes) * 1000 : -1;
    // Intervals are counted in milliseconds on 31 bits: nothing negative, nothing beyond.
    if (ms < 0 || ms > INT32_MAX) {
        RodytiPranesima(this, Tekstas("Pranesimai", "BlogasSkaicius"));
        return std::nullopt;
    }
    return int(ms);
}

QString TfrmPagrindinis::IntervaloTekstas() const {
    // The period in effect in seconds, with one decimal where it has one.
    const int ms = tmrAtnaujinimas->interval();
    const QString sekundes = ms % 1000 == 0 ? QString::number(ms / 1000) : QString::number(ms / 1000.0, 'f', 1);
    return Tekstas("Pranesimai", "IntervalasVeikia").replace(u"%1"_s, sekundes);
}

void TfrmPagrindinis::lblIntervalasClick() {
    const bool laikoma = tmrAtnaujinimas->interval() > tmrAtnaujinimas->Intervalas();
    if (const std::optional<int> ms =
            IntervaloDialogas(tmrAtnaujinimas->Intervalas(), laikoma ? IntervaloTekstas() : QString())) {
        parinktys->NustatytiIntervala(*ms);
    }
}

void TfrmPagrindinis::lblIntervalasServeriaiBendraiClick() {
    if (const std::optional<int> ms = IntervaloDialogas(parinktys->ServeriaiBendrai(), QString()))
        parinktys->NustatytiServeriuBendrai(*ms);
}

void TfrmPagrindinis::FormKeyDown(int Key, Qt::KeyboardModifiers Shift) {
    if (TikShift(Shift) && !chkTAB->isChecked())
        pnlTAB->show();
    if (TikCtrl(Shift) && !chkMeniuApacioj->isChecked() && imgApacia->isVisible())
        imgApacia->hide();
    else if (!TikShift(Shift))
        imgApacia->show();
    // Ctrl+Shift+Tab arrives as Backtab: the same key to the user.
    if (Key == Qt::Key_Tab || Key == Qt::Key_Backtab)
        RodytiPranesima(this, u"it's good"_s);
}

void TfrmPagrindinis::FormKeyUp(int Key, Qt::KeyboardModifiers) {
    if (!chkTAB->isChecked())
        pnlTAB->hide();
    if (Key == Qt::Key_Escape) {
        KlaustiIseiti();
        // The answers are a key away.
        if (pnlArIseiti->isVisible() && !pnlArIseiti->isAncestorOf(focusWidget()))
            IMeniu(lblIseitiTaip);
    }
}

bool TfrmPagrindinis::ArPranestiVieta() const {
    return parinktys->Zyma(TParinktys::TZyma::PranestiVieta);
}

bool TfrmPagrindinis::ArPranestiDraugus() const {
    return parinktys->Zyma(TParinktys::TZyma::PranestiDraugus);
}

// ---- Settings ----

void TfrmPagrindinis::IkeltiNustatymus() {
    ::IkeltiNustatymus(ParinkciuLentele(*parinktys));
    NustatytiKalba(kKalbuAplankas);
}

void TfrmPagrindinis::IssaugotiNustatymus() {
    ::IssaugotiNustatymus(ParinkciuLentele(*parinktys));
}

// ---- Language ----

void TfrmPagrindinis::IkeltiKalbas() {
    QStringList failai;
    IeskotiFailu(kKalbuSarasoAplankas, u"*.lng"_s, false, failai);
    const QString tekstas = cboKalbos->currentText();
    {
        // Filling the list is no choice of the user's.
        const QSignalBlocker blokas(cboKalbos);
        const QSignalBlocker eilutesBlokas(cboKalbos->lineEdit());
        cboKalbos->clear();
        for (const QString& failas : failai) {
            const QString vardas = QFileInfo(failas).completeBaseName();
            // Each language by the name it calls itself, or its file's name.
            TTybINI ini;
            ini.setByla(kKalbuSarasoAplankas + vardas + u".lng"_s);
            QString savas = VienaEilute(ini.SkaitytiTeksta(u"Kalba"_s, u"Vardas"_s), 64).trimmed();
            if (savas.isEmpty() || savas.startsWith(u"###"_s))
                savas = vardas;
            // Two files calling themselves alike are told apart by their names.
            if (cboKalbos->findText(savas) >= 0)
                savas += u" ("_s + vardas + u')';
            cboKalbos->addItem(savas, vardas);
        }
        const int rodomas = cboKalbos->findData(tekstas);
        cboKalbos->setCurrentIndex(rodomas);
        if (rodomas < 0)
            cboKalbos->setEditText(tekstas);
    }
    NustatytiKalba(kKalbuSarasoAplankas);
}

QString TfrmPagrindinis::KalbosFailas() const {
    const QString tekstas = cboKalbos->currentText();
    const int i = cboKalbos->findText(tekstas);
    return i >= 0 ? cboKalbos->itemData(i).toString() : tekstas;
}

void TfrmPagrindinis::NustatytiKalba(const QString& aplankas) {
    kalba.NustatytiKalba(aplankas, KalbosFailas());
    if (const QByteArray koduote = parinktys->Koduote(); !koduote.isEmpty() && NustatytiServeriuKoduote(koduote))
        return;
    if (!NustatytiServeriuKoduote(kalba.Reiksme("Kalba", "Koduote")))
        NustatytiServeriuKoduote("windows-1257");
}

void TfrmPagrindinis::PritaikytiKalba() {
    const auto antraste = [this](QWidget* v, const char* raktas, const QString& galune = {}) {
        const QString tekstas = Tekstas("frmPagrindinis", raktas) + galune;
        if (auto* l = qobject_cast<QLabel*>(v)) {
            l->setText(tekstas);
            // The action labels size themselves to their text.
            if (auto* tyb = qobject_cast<TTybLabel*>(v);
                tyb && (tyb == lblIntervalas || tyb == lblIntervalasServeriaiBendrai || tyb == lblIseitiTaip ||
                        tyb == lblIseitiNe))
                tyb->adjustSize();
        } else if (auto* b = qobject_cast<QAbstractButton*>(v)) {
            b->setText(tekstas);
        }
    };
    antraste(lblKomanda1Title, "lblKomanda1Title");
    antraste(lblKomanda2Title, "lblKomanda2Title");
    antraste(lblStebetojaiTitle, "lblStebetojaiTitle");
    antraste(lblFragaiTitle, "lblFragaiTitle");
    antraste(lblLaikasTitle, "lblLaikasTitle");
    antraste(lblAdresas, "lblAdresas", u":"_s);
    antraste(lblIvairus1, "lblIvairus1");
    antraste(lblMeniu2, "lblMeniu2");
    antraste(lblMeniu3, "lblMeniu3");
    antraste(lblMeniu4, "lblMeniu4");
    antraste(lblKonsole, "lblKonsole");
    antraste(lblNarsykle, "lblNarsykle");
    antraste(lblGerai, "lblGerai");
    antraste(lblArIseiti, "lblArIseiti");
    antraste(lblIseitiTaip, "lblIseitiTaip");
    antraste(lblIseitiNe, "lblIseitiNe");
    antraste(lblPatvirtinimai, "lblPatvirtinimai");
    antraste(chkTAB, "chkTAB");
    antraste(chkMeniuApacioj, "chkMeniuApacioj");
    antraste(chkArIseiti, "chkArIseiti");
    antraste(chkIssaugotiPakeitimus, "chkIssaugotiPakeitimus");
    antraste(chkKeistiHosta, "chkKeistiHosta");
    antraste(chkPranestiVieta, "chkPranestiVieta");
    antraste(chkPranestiDraugus, "chkPranestiDraugus");
    antraste(btnJungtis, "btnJungtis");
    antraste(btnApie, "btnApie");
    antraste(btnRodyti, "btnRodyti");
    antraste(lblIntervalas, "lblIntervalas");
    antraste(lblIntervalasServeriaiBendrai, "lblServeriaiBendrai");
    RodytiIntervala(); // its tool tip is in the language too
}

void TfrmPagrindinis::cboKalbosChange() {
    NustatytiKalba(kKalbuAplankas);
    PritaikytiKalba();
    imgApacia->Nupiesti();
}
