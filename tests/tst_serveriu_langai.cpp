// What the three server windows (watcher, server list, details) share, run
// once for each window as a row: every reply enters through one intake that
// hears only the server the window asked, and replies that open message boxes
// go through the window's gate, which never stacks a second box and opens a
// server's boxes once per watched address; every text of a reply shows as
// plain text.
#include <functional>

#include <QEventLoop>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

#include "AtsakymuKurejas.h"
#include "RankinisServeris.h"
#include "ServeriuLangai.h"
#include "Stebejimas.h"
#include "StebetojoAplinka.h"

using namespace Qt::StringLiterals;

namespace {

TDetales Detales(const QByteArray& vardas) {
    TDetales d;
    d.Info.Pavadinimas = vardas;
    d.Info.Zemelapis = "de_aztec";
    d.Zaidejai = 1;
    d.MaxZaideju = 12;
    d.OS = 'l';
    return d;
}

} // namespace

class TstServeriuLangai : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();

    void priemimas_data();
    void priemimas();
    void svetimasSiuntejas_data();
    void svetimasSiuntejas();
    void antpludis_data();
    void antpludis();
    void ilgasPavadinimas_data();
    void ilgasPavadinimas();
    void zymes_data();
    void zymes();
    void kartaIAdresa();

private:
    TStebetojoAplinka aplinka;
};

void TstServeriuLangai::initTestCase() {
    QVERIFY(aplinka.Paruosti());
    QVERIFY(aplinka.Paleisti());
}

void TstServeriuLangai::cleanupTestCase() {
    aplinka.Baigti();
}

void TstServeriuLangai::cleanup() {
    frmServeriai()->hide();
    frmTaisykles()->hide();
    Valdiklis<QLineEdit>("edtHostas")->clear(); // stops the watcher's refresh
    aplinka.kaiRodomasPranesimas = {};
    aplinka.pranesimai.clear();
    QTest::qWait(20);
}

void TstServeriuLangai::priemimas_data() {
    QTest::addColumn<QString>("langas");
    QTest::addColumn<QByteArray>("datagrama");
    QTest::addColumn<QString>("pranesimas"); // the start of the one message, or none
    for (const QString& langas : {u"watcher"_s, u"server list"_s, u"details"_s}) {
        QTest::addRow("%s, empty", qPrintable(langas)) << langas << QByteArray() << QString();
        QTest::addRow("%s, no type letter", qPrintable(langas))
            << langas << QByteArray("\xff\xff\xff\xff") << QString();
        QTest::addRow("%s, one byte over the limit", qPrintable(langas))
            << langas << QByteArray(2024, 'x') << u"2024"_s;
    }
}

void TstServeriuLangai::priemimas() {
    // A datagram that is no reply is dropped at the intake (too long ones with
    // their size shown), and the round goes on: the real reply still shows.
    QFETCH(QString, langas);
    QFETCH(QByteArray, datagrama);
    QFETCH(QString, pranesimas);
    const TLangas l = Langas(langas);
    TRankinisServeris rankinis;
    QVERIFY(PradetiPrieRankinio(l, rankinis));
    rankinis.Siusti(datagrama);
    if (pranesimas.isEmpty()) {
        QTest::qWait(50);
        QVERIFY(aplinka.pranesimai.isEmpty());
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(aplinka.pranesimai.size(), 1, 5000);
        QCOMPARE(aplinka.pranesimai.at(0), pranesimas + frmPagrindinis()->Kalba().Tekstas("Pranesimai", "BaituGavau"));
    }
    rankinis.Siusti(KurtiDetaliuAtsakyma(Detales("Polled")));
    QTRY_VERIFY_WITH_TIMEOUT(l.Rodoma().contains(u"Polled"_s), 5000);
}

void TstServeriuLangai::svetimasSiuntejas_data() {
    QTest::addColumn<QString>("langas");
    QTest::addColumn<bool>("kitasAdresas");
    for (const QString& langas : {u"watcher"_s, u"server list"_s, u"details"_s}) {
        QTest::addRow("%s, same address, other port", qPrintable(langas)) << langas << false;
        QTest::addRow("%s, other loopback address", qPrintable(langas)) << langas << true;
    }
}

void TstServeriuLangai::svetimasSiuntejas() {
    QFETCH(QString, langas);
    QFETCH(bool, kitasAdresas);
    const TLangas l = Langas(langas);
    TRankinisServeris tikras, svetimas;
    QVERIFY(tikras.Paleisti());
    if (!svetimas.Paleisti(kitasAdresas ? QHostAddress(u"127.0.0.2"_s) : QHostAddress(QHostAddress::LocalHost)))
        QSKIP("no second loopback address here");
    l.Pradeti(tikras.Adresas());
    QTRY_COMPARE_WITH_TIMEOUT(tikras.gauta.size(), l.Uzklausos, 5000);
    // Anyone else writing to the window's socket is not heard: no text, no
    // message, and no ban (which would drop the polled server's reply below).
    svetimas.klientas = tikras.klientas;
    svetimas.klientoPortas = tikras.klientoPortas;
    for (const QByteArray& d :
         {KurtiDetaliuAtsakyma(Detales("Stranger")), KurtiBanoAtsakyma(), KurtiTekstoAtsakyma("x", "y"),
          KurtiAtsakyma('X'), QByteArray(3000, 'x'), KurtiPingoAtsakyma()})
        svetimas.Siusti(d);
    QTest::qWait(50);
    QVERIFY(!l.Rodoma().contains(u"Stranger"_s));
    QVERIFY(aplinka.pranesimai.isEmpty());
    // The polled server itself is still heard.
    tikras.Siusti(KurtiDetaliuAtsakyma(Detales("Polled")));
    QTRY_VERIFY_WITH_TIMEOUT(l.Rodoma().contains(u"Polled"_s), 5000);
    QVERIFY(aplinka.pranesimai.isEmpty());
}

void TstServeriuLangai::antpludis_data() {
    QTest::addColumn<QString>("langas");
    QTest::addColumn<QByteArray>("datagrama");
    QTest::addColumn<QStringList>("pranesimai"); // empty: the text of an unknown reply
    // The watcher shows the two lines of a text reply, the details window no
    // text reply at all; the server list takes one reply a poll in any case.
    QTest::newRow("watcher, text replies")
        << u"watcher"_s << KurtiTekstoAtsakyma("nfo", "Antras") << QStringList{u"info"_s, u"Antras"_s};
    QTest::newRow("details, text replies") << u"details"_s << KurtiTekstoAtsakyma("nfo", "Antras") << QStringList();
    for (const QString& langas : {u"watcher"_s, u"server list"_s, u"details"_s})
        QTest::addRow("%s, too long datagrams", qPrintable(langas))
            << langas << QByteArray(2100, 'x')
            << QStringList{u"2100"_s + frmPagrindinis()->Kalba().Tekstas("Pranesimai", "BaituGavau")};
}

void TstServeriuLangai::antpludis() {
    // Forty replies that each open a box, all in the socket before the first is
    // handled: the boxes of one reply, no further box, and a reply queued
    // behind the flood is still shown.
    QFETCH(QString, langas);
    QFETCH(QByteArray, datagrama);
    QFETCH(QStringList, pranesimai);
    if (pranesimai.isEmpty())
        pranesimai.append(frmPagrindinis()->Kalba().Tekstas("Pranesimai", "NezinomiDuomenys"));
    const TLangas l = Langas(langas);
    TRankinisServeris rankinis;
    QVERIFY(PradetiPrieRankinio(l, rankinis));
    for (int i = 0; i < 40; ++i)
        rankinis.Siusti(datagrama);
    rankinis.Siusti(KurtiDetaliuAtsakyma(Detales("After")));
    QTRY_VERIFY_WITH_TIMEOUT(l.Rodoma().contains(u"After"_s), 5000);
    QTest::qWait(50);
    QCOMPARE(aplinka.pranesimai, pranesimai);
}

void TstServeriuLangai::ilgasPavadinimas_data() {
    QTest::addColumn<QString>("langas");
    QTest::addColumn<QString>("etikete");
    QTest::addColumn<QByteArray>("vardas");
    QTest::addColumn<bool>("sutrumpintas");
    const QByteArray ilgas = "[EU] Public Dust2 Only | 24/7 | FastDL | Anti-Cheat | Clan XYZ";
    const QByteArray vidutinis = "Public Dust2 Only 24/7 FastDL";
    for (const auto& [langas, etikete] :
         {std::pair{u"watcher"_s, u"lblServerioPavadinimas"_s}, std::pair{u"details"_s, u"lblServeris"_s}}) {
        QTest::addRow("%s, short", qPrintable(langas)) << langas << etikete << QByteArray("Abc") << false;
        QTest::addRow("%s, 60 characters", qPrintable(langas)) << langas << etikete << ilgas << true;
    }
    QTest::newRow("watcher, past the layout's width")
        << u"watcher"_s << u"lblServerioPavadinimas"_s << vidutinis << false;
}

void TstServeriuLangai::ilgasPavadinimas() {
    // A server name label sizes to its text; where it would run under the
    // control beside it, it stops short, the text elided and whole in its tool tip.
    QFETCH(QString, langas);
    QFETCH(QString, etikete);
    QFETCH(QByteArray, vardas);
    QFETCH(bool, sutrumpintas);
    const TLangas l = Langas(langas);
    TRankinisServeris rankinis;
    QVERIFY(PradetiPrieRankinio(l, rankinis));
    rankinis.Siusti(KurtiDetaliuAtsakyma(Detales(vardas)));
    const QString vardasTekstu = QString::fromLatin1(vardas);
    auto* lbl = (langas == u"watcher"_s ? static_cast<QWidget*>(frmPagrindinis()) : frmTaisykles())
                    ->findChild<QLabel*>(etikete);
    QVERIFY(lbl);
    QTRY_VERIFY_WITH_TIMEOUT(lbl->text().contains(vardasTekstu) || lbl->toolTip().contains(vardasTekstu), 5000);
    QCOMPARE(lbl->text().contains(vardasTekstu), !sutrumpintas);
    QCOMPARE(lbl->toolTip().contains(vardasTekstu), sutrumpintas);
    if (sutrumpintas)
        QVERIFY(lbl->text().endsWith(QChar(0x2026)));
    else
        QCOMPARE(lbl->width(), lbl->sizeHint().width());
    if (vardas.size() > 20 && langas == u"watcher"_s)
        QVERIFY(lbl->width() > 167); // wider than the layout's label
    // Nothing to its right lies under it.
    for (QWidget* kitas : lbl->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (kitas != lbl && !kitas->isHidden() && kitas->x() > lbl->x())
            QVERIFY2(!kitas->geometry().intersects(lbl->geometry()), qPrintable(kitas->objectName()));
    QVERIFY(lbl->geometry().right() < lbl->parentWidget()->width());
}

void TstServeriuLangai::zymes_data() {
    QTest::addColumn<QString>("langas");
    QTest::addColumn<int>("rodomi"); // of the name, map, folder and game: how many the window shows
    QTest::newRow("watcher") << u"watcher"_s << 2;
    QTest::newRow("server list") << u"server list"_s << 2;
    QTest::newRow("details") << u"details"_s << 4;
}

void TstServeriuLangai::zymes() {
    // Every text of the reply is markup: each control shows it as it came,
    // and no tool tip reads it (an image, bold, a link, an entity).
    QFETCH(QString, langas);
    QFETCH(int, rodomi);
    const TLangas l = Langas(langas);
    TRankinisServeris rankinis;
    QVERIFY(PradetiPrieRankinio(l, rankinis));
    TDetales d = Detales("<img src=\"velmorant-nera.png\"><b>" + QByteArray(60, 'W') + "</b>");
    d.Info.Zemelapis = "<b>m</b>";
    d.Info.Katalogas = "<a href=\"http://x\">f</a>";
    d.Info.Zaidimas = "&amp;";
    rankinis.Siusti(KurtiDetaliuAtsakyma(d));
    QTRY_VERIFY_WITH_TIMEOUT(l.Rodoma().contains(u"<img"_s), 5000);
    const QObject* w = langas == u"watcher"_s   ? static_cast<QObject*>(frmPagrindinis())
                       : langas == u"details"_s ? static_cast<QObject*>(frmTaisykles())
                                                : frmServeriai();
    QString rodoma;
    for (const QLabel* lbl : w->findChildren<QLabel*>()) {
        QTextDocument patarimas; // as Qt's tool tips take it
        if (Qt::mightBeRichText(lbl->toolTip()))
            patarimas.setHtml(lbl->toolTip());
        else
            patarimas.setPlainText(lbl->toolTip());
        rodoma += lbl->text() + u'\n' + patarimas.toPlainText() + u'\n';
    }
    for (const QTableView* tinklelis : w->findChildren<QTableView*>())
        for (int c = 0; c < tinklelis->model()->columnCount(); ++c)
            rodoma += tinklelis->model()->index(1, c).data().toString() + u'\n';
    QVERIFY(!rodoma.contains(QChar::ObjectReplacementCharacter));
    const QList<QByteArray> tekstai{d.Info.Pavadinimas, d.Info.Zemelapis, d.Info.Katalogas, d.Info.Zaidimas};
    for (const QByteArray& t : tekstai.first(rodomi))
        QVERIFY2(rodoma.contains(QString::fromLatin1(t)), t.constData());
}

void TstServeriuLangai::kartaIAdresa() {
    // A server that answers every round oddly opens its boxes in the first
    // round only, and again once the user presses the show button.
    TRankinisServeris rankinis;
    QVERIFY(rankinis.Paleisti());
    quint64 atsakyta = 0;
    QObject::connect(&rankinis.lizdas, &QUdpSocket::readyRead, &rankinis.lizdas, [&] {
        rankinis.Siusti(KurtiTekstoAtsakyma("nfo", "Antras"));
        ++atsakyta;
    });
    const TNMUDP* udp = frmPagrindinis()->NMUDP1;
    const quint64 pries = udp->PristatomasNumeris() + udp->Atmesta();
    const QStringList dezutes{u"info"_s, u"Antras"_s};
    for (int raundas = 1; raundas <= 4; ++raundas) {
        const qsizetype uzklausos = rankinis.gauta.size();
        if (raundas == 1)
            frmPagrindinis()->Stebeti(rankinis.Adresas());
        else if (raundas == 4)
            Valdiklis<QPushButton>("btnRodyti")->click();
        else
            LangoValdiklis<TStebejimas>(frmPagrindinis(), "Stebejimas")->Atnaujinti();
        QTRY_VERIFY_WITH_TIMEOUT(rankinis.gauta.size() > uzklausos, 5000);
        // Every reply sent so far has reached the window.
        QTRY_COMPARE_WITH_TIMEOUT(udp->PristatomasNumeris() + udp->Atmesta() - pries, atsakyta, 5000);
        QCOMPARE(aplinka.pranesimai, raundas < 4 ? dezutes : dezutes + dezutes);
    }
}

QTEST_MAIN(TstServeriuLangai)
#include "tst_serveriu_langai.moc"
