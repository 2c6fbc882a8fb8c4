// The path helper: separators, letter case of every component, missing parts.
#include <memory>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "Keliai.h"

using namespace Qt::StringLiterals;

class TstKeliai : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void vietinisKelias_data();
    void vietinisKelias();
    void nuoDarbinioAplanko();
    void niekoNesukuria();

private:
    std::unique_ptr<QTemporaryDir> aplankas;
    QString buvesAplankas;
};

void TstKeliai::init() {
    aplankas = std::make_unique<QTemporaryDir>();
    QVERIFY(aplankas->isValid());
    QDir d(aplankas->path());
    for (const QString& p : {u"resursai/Kalbos"_s, u"resursai/zemelapiai"_s, u"resursai/Žemėlapiai"_s, u"dup/ABC"_s,
                             u"dup/abc"_s, u"dup/aBc"_s})
        QVERIFY(d.mkpath(p));
    for (const QString& f : {u"resursai/Kalbos/English.lng"_s, u"resursai/Nustatymai.tyb"_s, u"resursai/.Slepta"_s}) {
        QFile failas(d.filePath(f));
        QVERIFY(failas.open(QIODevice::WriteOnly));
    }
    buvesAplankas = QDir::currentPath();
    QVERIFY(QDir::setCurrent(aplankas->path()));
}

void TstKeliai::cleanup() {
    QDir::setCurrent(buvesAplankas);
    aplankas.reset();
}

void TstKeliai::vietinisKelias_data() {
    QTest::addColumn<QString>("kelias");
    QTest::addColumn<QString>("tikimasi");
    QTest::addColumn<bool>("absoliutus");

    for (const bool abs : {false, true}) {
        const auto eilute = [abs](const char* vardas) -> QTestData& {
            return QTest::newRow(QByteArray(QByteArray(vardas) + (abs ? ", absolute" : "")).constData());
        };
        eilute("exact spelling") << u"resursai/Kalbos/English.lng"_s << u"resursai/Kalbos/English.lng"_s << abs;
        eilute("backslashes") << u"resursai\\Kalbos\\English.lng"_s << u"resursai/Kalbos/English.lng"_s << abs;
        eilute("folder in other case") << u"resursai\\kalbos\\English.lng"_s << u"resursai/Kalbos/English.lng"_s << abs;
        eilute("every component in other case")
            << u"RESURSAI\\KALBOS\\english.LNG"_s << u"resursai/Kalbos/English.lng"_s << abs;
        eilute("doubled separator") << u"resursai\\kalbos\\\\English.lng"_s << u"resursai/Kalbos/English.lng"_s << abs;
        eilute("runs of mixed separators")
            << u"resursai/\\/kalbos//English.lng"_s << u"resursai/Kalbos/English.lng"_s << abs;
        eilute("trailing separator stays") << u"resursai\\kalbos\\"_s << u"resursai/Kalbos/"_s << abs;
        eilute("missing file keeps its spelling")
            << u"resursai\\kalbos\\###3.lng"_s << u"resursai/Kalbos/###3.lng"_s << abs;
        eilute("missing folder keeps the rest as written")
            << u"RESURSAI\\Nera\\KALBOS\\x.lng"_s << u"resursai/Nera/KALBOS/x.lng"_s << abs;
        eilute("file in place of a folder")
            << u"resursai\\nustatymai.TYB\\x"_s << u"resursai/Nustatymai.tyb/x"_s << abs;
        eilute("hidden entry in other case") << u"resursai\\.slepta"_s << u"resursai/.Slepta"_s << abs;
        eilute("Lithuanian letters in other case") << u"resursai\\ŽEMĖLAPIAI"_s << u"resursai/Žemėlapiai"_s << abs;
        eilute("exact spelling wins over other cases") << u"dup\\abc"_s << u"dup/abc"_s << abs;
        eilute("exact spelling wins, capitals") << u"dup\\ABC"_s << u"dup/ABC"_s << abs;
        eilute("first in byte order among other cases") << u"dup\\Abc"_s << u"dup/ABC"_s << abs;
        eilute("dot components stay") << u".\\resursai\\..\\RESURSAI\\kalbos"_s << u"./resursai/../resursai/Kalbos"_s
                                      << abs;
        eilute("wildcards are ordinary characters") << u"*.Tyb"_s << u"*.Tyb"_s << abs;
    }
    QTest::newRow("empty path") << QString() << QString() << false;
    QTest::newRow("root") << u"\\"_s << u"/"_s << false;
}

void TstKeliai::vietinisKelias() {
    QFETCH(QString, kelias);
    QFETCH(QString, tikimasi);
    QFETCH(bool, absoliutus);
    if (absoliutus) {
        // The temporary folder's own components exist as written.
        kelias = aplankas->path() + u"\\\\"_s + kelias;
        tikimasi = aplankas->path() + u"/"_s + tikimasi;
    }
    QCOMPARE(VietinisKelias(kelias), tikimasi);
}

void TstKeliai::nuoDarbinioAplanko() {
    QVERIFY(QDir::setCurrent(u"resursai"_s));
    QCOMPARE(VietinisKelias(u"KALBOS\\english.lng"_s), u"Kalbos/English.lng"_s);
    QCOMPARE(VietinisKelias(u"resursai\\kalbos"_s), u"resursai/kalbos"_s);
}

void TstKeliai::niekoNesukuria() {
    const QStringList pries = QDir(u"resursai"_s).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    VietinisKelias(u"resursai\\nauja\\x.lng"_s);
    VietinisKelias(u"resursai\\kalbos\\naujas.lng"_s);
    QCOMPARE(QDir(u"resursai"_s).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), pries);
    QCOMPARE(QDir(u"resursai/Kalbos"_s).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{u"English.lng"_s});
}

QTEST_GUILESS_MAIN(TstKeliai)
#include "tst_keliai.moc"
