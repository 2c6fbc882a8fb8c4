// The remote console window: the engine's rcon for the server the watcher
// watches, opened from the watcher's menu and shown beside it (not modal: the
// watcher keeps polling). The exchange, the 512-byte limit and the guard
// against the engine's ban live in the protocol object Konsole (Konsole.h);
// this window only wires its controls to it, shows what the server sends as
// plain text, keeps this run's command history and remembers passwords in the
// desktop's secret store when asked to (Saugykla.h). A password lives in the
// password box and in memory only; no file of the program ever holds one.
//
// The layout is built in code (SukurtiValdiklius); the behaviour lives in the
// handlers named control + event.
#pragma once

#include <QStringList>

#include "AntrinisLangas.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TCentras;
class TKonsole;
class TNMUDP;
class TSlaptazodziuSaugykla;
struct TSaugyklosAtsakymas;

class TfrmKonsole : public TAntrinisLangas {
    Q_OBJECT
public:
    // `centras`: the hub whose query budgets and console registry the console uses.
    TfrmKonsole(TCentras* centras, TStebetojas* stebetojas, QWidget* tevas = nullptr);
    ~TfrmKonsole() override;

    // The name the passwords go under in the secret store.
    static constexpr char kSaugyklosTarnyba[] = "Velmorant remote console";

    // Controls and components, named as in the layout.
    QLabel* lblServeris = nullptr;
    QLabel* lblSlaptazodis = nullptr;
    QLineEdit* edtSlaptazodis = nullptr;
    QCheckBox* chkIsimintiSlaptazodi = nullptr;
    QPlainTextEdit* memIsvestis = nullptr;
    QLabel* lblKomanda = nullptr;
    QLineEdit* edtKomanda = nullptr;
    QPushButton* btnSiusti = nullptr;
    TNMUDP* NMUDP1 = nullptr;
    TKonsole* Konsole = nullptr;
    TSlaptazodziuSaugykla* Saugykla = nullptr;

    // Handlers.
    void FormCreate();
    void FormShow() override;
    void PritaikytiKalba();
    void btnSiustiClick();
    // Enter sends (a key held down sends once), Up and Down walk the history;
    // true when the key was taken.
    bool edtKomandaKeyDown(int Key, bool ArKartojamas);
    void edtSlaptazodisChange();
    void chkIsimintiSlaptazodiClick();
    void NMUDP1DataReceived(QObject* Sender, int NumberBytes, const QString& FromIP, int Port);
    void KonsoleIsvestis(const QByteArray& tekstas, bool nukirsta);
    void KonsoleSlaptazodisPriimtas(const QString& slaptazodis);
    void KonsoleSlaptazodisAtmestas(const QByteArray& tekstas);
    void KonsoleIssukisAtmestas(const QByteArray& tekstas);
    void KonsoleUzdrausta(const QByteArray& tekstas);
    void KonsoleNeatsako(bool quakeForma);
    void KonsoleAdresasNerastas();
    void KonsoleSiuntimasNepavyko(const QString& klaida);
    void KonsoleSargasNeissaugotas(const QString& failas);

    // Procedures.
    // Text as it came, at the end of the output.
    void RodytiIsvesti(const QString& tekstas);
    // One line of its own at the end of the output.
    void RasytiEilute(const QString& eilute);
    // A message of section "Pranesimai" as a line of the output.
    void Pranesti(const char* raktas, const QStringList& argumentai = {});

    // This run's commands, oldest first.
    const QStringList& Istorija() const { return istorija; }
    // The key of the watched server's password in the store ("host:port"), empty without one.
    const QString& SaugyklosRaktas() const { return raktas; }

protected:
    bool eventFilter(QObject* objektas, QEvent* ivykis) override;

private:
    void SukurtiValdiklius();
    void SujungtiIvykius();
    void PridetiIstorija(const QString& komanda);
    void IsimintiSlaptazodi(const QString& slaptazodis);
    void SaugyklaNepasiekiama(const TSaugyklosAtsakymas& atsakymas);

    TCentras* centras;
    QString raktas;
    QString priimtasSlaptazodis;  // what the server took this showing
    QString isimintasSlaptazodis; // what the store holds under raktas, as far as known
    bool arSaugyklaNepasiekiama = false;
    QStringList istorija;
    qsizetype istorijosVieta = 0; // istorija.size(): the line being typed
    QString juodrastis;           // that line, while the history is walked
};
