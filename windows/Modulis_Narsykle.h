// The server browser (frmNarsykle): the servers of a game as the Steam Web API
// lists them, with the user's own key, or as the key-free sources of the
// sources file list them (community lists and masters), or the Steam client's
// own favourites and history, or the LAN; pinged through the hub and filtered and
// sorted as the user likes; Enter or a double click watches a row's server in
// the watcher. Beside the watcher, not over it; resizable.
#pragma once

#include <QHostAddress>
#include <QLocale>

#include "AntrinisLangas.h"
#include "Bendruomene.h"
#include "SteamSarasas.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QNetworkAccessManager;
class QPushButton;
class QSpinBox;
class QTableView;
class TCentras;
class TParinktys;
class TBendruomenesSarasas;
class TNarsyklesApklausa;
class TNarsyklesFiltras;
class TNarsyklesModelis;
class TSarasas;
class TSlaptazodziuSaugykla;

class TfrmNarsykle : public TAntrinisLangas {
    Q_OBJECT
public:
    // `parinktys`: the user's options; the pace and the fake-player filter are
    // kept there. Both must outlive the window.
    // `stebetojas` watches and joins a row's server, `sarasas` takes it into the favourites.
    TfrmNarsykle(TCentras* centras, TParinktys* parinktys, TStebetojas* stebetojas, TSarasas* sarasas,
                 QWidget* tevas = nullptr);
    ~TfrmNarsykle() override;

    // The name the key goes under in the secret store, and its key there.
    static constexpr char kSaugyklosTarnyba[] = "Velmorant Steam Web API";
    static constexpr char kSaugyklosRaktas[] = "key";
    // The pace choices of cboGreitis, pings a minute (0: unlimited).
    static constexpr int kGreiciai[] = {1000, 3000, 5000, 15000, 0};

    // Controls, named as in the layout.
    QComboBox* cboZaidimas = nullptr;
    QPushButton* btnInternetas = nullptr;
    QPushButton* btnLan = nullptr;
    QPushButton* btnBendruomene = nullptr;
    QPushButton* btnSteamMegstami = nullptr;
    QPushButton* btnSteamIstorija = nullptr;
    QLineEdit* edtFiltras = nullptr;
    QLineEdit* edtZaidejas = nullptr;
    QPushButton* btnDraugai = nullptr;
    QCheckBox* chkNePilni = nullptr;
    QCheckBox* chkNeTusti = nullptr;
    QCheckBox* chkBeSlaptazodzio = nullptr;
    QCheckBox* chkBeNetikru = nullptr;
    QLabel* lblPingas = nullptr;
    QSpinBox* spnPingas = nullptr;
    QLabel* lblGreitis = nullptr;
    QComboBox* cboGreitis = nullptr;
    QTableView* tblServeriai = nullptr;
    QLabel* lblBusena = nullptr;
    QMenu* mnuEilute = nullptr;
    TSlaptazodziuSaugykla* Saugykla = nullptr;
    TSteamSarasas* Sarasas = nullptr;
    TBendruomenesSarasas* Bendruomene = nullptr;
    TNarsyklesModelis* Modelis = nullptr;
    TNarsyklesFiltras* Filtras = nullptr;
    TNarsyklesApklausa* Pingai = nullptr;

    void FormShow() override;
    void PritaikytiKalba();
    void btnInternetasClick();
    void btnLanClick();
    // The servers of every source of the sources file, no key needed.
    void btnBendruomeneClick();
    void BendruomeneBaigta(const TBendruomenesRezultatas& rezultatas);
    // The Steam client's favourites, or its history newest first.
    void btnSteamMegstamiClick() { RodytiSteamSarasa(false); }
    void btnSteamIstorijaClick() { RodytiSteamSarasa(true); }
    // Where the LAN search broadcasts: VELMORANT_LAN (addresses joined by
    // commas) when set, else the broadcast address of every IPv4 interface
    // that is up; and the ports it asks.
    static QList<QHostAddress> LanAdresai();
    static const QList<quint16> kLanPrievadai;
    static constexpr int kLanTrukmeMs = 2000;
    void SarasasBaigtas(const TSarasoRezultatas& rezultatas);
    // Watches the server of the current row in the watcher.
    void Stebeti();
    void KopijuotiAdresa();
    void Prisijungti();
    // Puts the row's server into the favourite list.
    void IMegstamus();
    void Detales();
    // Where the last list is kept (the cache folder).
    static QString SarasoKelias();
    // Pings a minute chosen (0: unlimited).
    int Greitis() const;
    void NustatytiGreiti(int pinguPerMinute);

protected:
    bool eventFilter(QObject* objektas, QEvent* ivykis) override;
    void resizeEvent(QResizeEvent* ivykis) override;
    void moveEvent(QMoveEvent* ivykis) override;
    // Where the user last put it, else beside the watcher, wide enough for
    // the table's columns.
    void Padeti(const QWidget& stebetojoLangas) override;

private:
    void SukurtiValdiklius();
    void SujungtiIvykius();
    void Prasyti(const QString& raktas);
    // The chosen game and the filters as a list is asked with.
    TSarasoFiltras SarasoFiltras() const;
    // New rows, pinged; `saltinioTvarka`: shown in the list's own order (until a heading is clicked).
    void RodytiEilutes(const QList<TInternetoServeris>& serveriai, bool lan, bool saltinioTvarka);
    void RodytiSteamSarasa(bool istorija);
    void NutrauktiSarasus();
    // The friends file's names, read anew when the Friends button goes down.
    void btnDraugaiToggled(bool ijungta);
    void KlaustiRakto();
    void RodytiBusena();
    void TaikytiSalygas();
    // The pace box keeps to the window's right edge, its caption before it.
    void IsdestytiGreiti();
    // A move or resize the window system reports, not one of the program's: the user's.
    void ArVartotojoVieta(QEvent* ivykis);
    std::optional<TInternetoServeris> DabartinisServeris() const;
    // Numbers are written as the interface's language writes them.
    QLocale Lokale() const;

    TCentras* centras;
    TParinktys* parinktys;
    TSarasas* sarasas;
    QNetworkAccessManager* tinklas = nullptr;
    QString raktas;                     // the key of this run, once known
    QString paskutineZinia;             // what the last request came to, in words
    QList<TInternetoServeris> lanRasti; // the LAN search's answers so far
    QSet<QString> draugai;              // the friends looked for (TDraugai::Raktas)
    bool arRodyta = false;              // shown once: the kept list is read then
    QRect padeta;                       // the frame's corner and size the program last gave it
};
