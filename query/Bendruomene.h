// The browser's key-free Internet list: every source of the sources file
// (Saltiniai.h) asked at once for the chosen game, a static list over HTTP,
// a master page by page over UDP, and their servers merged, each server
// once and marked with the sources that listed it.
//
//   TBendruomenesSarasas sarasas(&tinklas);
//   connect(&sarasas, &TBendruomenesSarasas::Baigta, this, &TfrmX::Gautas);
//   sarasas.Prasyti(SaltiniuFailas(), filtras);
//
// A source is a third party. Nothing but the list is asked of it: no key, no
// password, no cookie, and the user information of an address is never
// sent. An HTTP list is read to kDidziausiasAtsakymas bytes, a master to
// kDaugiausiaPuslapiu pages, both to kDaugiausiaEiluciu entries; a master
// that sends a page again is stopped there. What was read before a limit is
// kept. Each source is asked once a minute per filter at most: within the
// minute its last answer, or its failure, serves again.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include "Saltiniai.h"
#include "SteamSarasas.h"

class QNetworkAccessManager;
class QTimer;
class QUdpSocket;

struct TSaltinioAtsakymas {
    TSaltinis Saltinis;
    // Gerai; Nupjautas (a limit above was reached); PerDidelis; BeTinklo;
    // LaikasBaigesi; Uzimta (429, 5xx); BlogasAtsakymas (another status,
    // nothing a list is made of).
    TSarasoBusena Busena = TSarasoBusena::Gerai;
    int HttpKodas = 0;
    int Kiekis = 0;  // servers it listed
    int Atmesta = 0; // entries dropped
    // Asked less than a minute ago and dropped before it answered: not asked again yet.
    bool Laukti = false;
    bool ArPavyko() const { return Busena == TSarasoBusena::Gerai || Busena == TSarasoBusena::Nupjautas; }
};

struct TBendruomenesRezultatas {
    QList<TInternetoServeris> Serveriai; // the address and Saltinis alone, until they are pinged
    QList<TSaltinioAtsakymas> Saltiniai; // in the file's order
};

// How a source is named to the user: the list's address without its scheme,
// or the master's "host:port".
QString SaltinioVardas(const TSaltinis& saltinis);

class TBendruomenesSarasas : public QObject {
    Q_OBJECT
public:
    using TLaikrodis = std::function<qint64()>;

    static constexpr int kLaikoRibaMs = 10000;                       // an HTTP list, as the Web API
    static constexpr qint64 kDidziausiasAtsakymas = 4 * 1024 * 1024; // bytes of one HTTP list
    static constexpr qint64 kPuslapioLaukimasMs = 1000;              // then the page is asked again
    static constexpr int kPuslapioKartojimai = 2;                    // then the master is silent
    static constexpr qint64 kTarpasMs = 60000;

    // `laikrodis`: monotonic ms for the pages' waits and the once-a-minute rule.
    explicit TBendruomenesSarasas(QNetworkAccessManager* tinklas, TLaikrodis laikrodis = {}, QObject* tevas = nullptr);
    ~TBendruomenesSarasas() override;

    // Asks every source (what is under way is dropped first); Baigta follows,
    // never from inside Prasyti.
    void Prasyti(const QList<TSaltinis>& saltiniai, const TSarasoFiltras& filtras);
    void Nutraukti();
    bool ArVyksta() const;

Q_SIGNALS:
    void Baigta(const TBendruomenesRezultatas& rezultatas);

private:
    struct TDarbas;

    void PradetiHttp(TDarbas& d, const TSarasoFiltras& filtras);
    void HttpSkaityti(TDarbas& d);
    void HttpBaigta(TDarbas& d);
    void PradetiMasteri(TDarbas& d);
    void SiustiPuslapi(TDarbas& d);
    void Gauta();
    void Puslapis(TDarbas& d, const QByteArray& datagrama);
    void Tiksi();
    void Baigti(TDarbas& d, TSarasoBusena busena);
    void Prideti(TDarbas& d, const QList<TServerioAdresas>& adresai);
    void ArViskas();
    void Sujungti();

    QNetworkAccessManager* tinklas;
    TLaikrodis laikrodis;
    QUdpSocket* lizdas = nullptr;
    QTimer* laikmatis = nullptr;
    std::vector<std::unique_ptr<TDarbas>> darbai;
    quint64 kartas = 0; // which Prasyti the work under way belongs to
    bool pranesta = true;
    struct TPaklausta {
        qint64 Kada = 0;
        std::optional<TSaltinioAtsakymas> Atsakymas;
        QList<TServerioAdresas> Adresai;
    };
    QHash<QString, TPaklausta> paklausta; // source and filter -> its last asking
};
