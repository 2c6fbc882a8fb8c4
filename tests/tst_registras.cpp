// Registry values read from the text files of a Wine prefix written by the test.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "Registras.h"

using namespace Qt::StringLiterals;

namespace {

const char kVartotojas[] = R"(WINE REGISTRY Version 2
;; All keys relative to \\User\\S-1-5-21-0-0-0-1000

#arch=win32

[Software\\Valve\\Half-Life] 1700000000
#time=1d9a0b0c0d0e0f0
"InstallPath"="C:\\Program Files\\Valve\\Half-Life"
"Expand"=str(2):"%ProgramFiles%\\Valve"
"Zero"="abc\0def"
"Quote"="say \"hi\""
"Unicode"="caf\x00e9 \x017e"
"Number"=dword:00000001
"Multi"=str(7):"a\0b\0"
"Binary"=hex:01,02,03,\
  04,05
@="the default"

[Software\\Valve\\Half-Life\\Settings] 1700000001
"InstallPath"="not this one"

[Software\\Empty] 1700000002
)";

const char kSistema[] = "WINE REGISTRY Version 2\r\n"
                        "\r\n"
                        "[Software\\\\Classes\\\\.txt] 1700000000\r\n"
                        "@=\"txtfile\"\r\n"
                        "\r\n"
                        "[Software\\\\Valve\\\\Half-Life] 1700000000\r\n"
                        "\"InstallPath\"=\"D:\\\\Games\\\\Half-Life\"\r\n";

const char kNumatytasis[] = "WINE REGISTRY Version 2\n\n[Control Panel\\\\Desktop] 1\n\"Wallpaper\"=\"none\"\n";

} // namespace

class TstRegistras : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void skaitymas_data();
    void skaitymas();
    void beFailo();

private:
    QTemporaryDir prefiksas;
};

void TstRegistras::initTestCase() {
    QVERIFY(prefiksas.isValid());
    const auto rasyti = [this](const char* vardas, const char* turinys) {
        QFile f(prefiksas.filePath(QString::fromLatin1(vardas)));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(turinys);
    };
    rasyti("user.reg", kVartotojas);
    rasyti("system.reg", kSistema);
    rasyti("userdef.reg", kNumatytasis);
    qputenv("WINEPREFIX", prefiksas.path().toLocal8Bit());
    QCOMPARE(WineAplankas(), prefiksas.path());
}

void TstRegistras::skaitymas_data() {
    QTest::addColumn<int>("saknis");
    QTest::addColumn<QString>("kelias");
    QTest::addColumn<QString>("vardas");
    QTest::addColumn<QString>("tiketina");
    const QString hl = u"\\SOFTWARE\\Valve\\Half-Life"_s;
    QTest::newRow("install path") << 2 << hl << u"InstallPath"_s << u"C:\\Program Files\\Valve\\Half-Life"_s;
    QTest::newRow("names without regard to case")
        << 2 << u"\\software\\VALVE\\half-life"_s << u"installpath"_s << u"C:\\Program Files\\Valve\\Half-Life"_s;
    QTest::newRow("no leading separator")
        << 2 << u"Software\\Valve\\Half-Life"_s << u"InstallPath"_s << u"C:\\Program Files\\Valve\\Half-Life"_s;
    QTest::newRow("expandable string, not expanded") << 2 << hl << u"Expand"_s << u"%ProgramFiles%\\Valve"_s;
    QTest::newRow("up to the first zero") << 2 << hl << u"Zero"_s << u"abc"_s;
    QTest::newRow("escaped quotes") << 2 << hl << u"Quote"_s << u"say \"hi\""_s;
    QTest::newRow("escaped characters") << 2 << hl << u"Unicode"_s << u"café ž"_s;
    QTest::newRow("default value") << 2 << hl << QString() << u"the default"_s;
    QTest::newRow("missing value is empty") << 2 << hl << u"Nothing"_s << QString();
    QTest::newRow("number is no text") << 2 << hl << u"Number"_s << QString();
    QTest::newRow("multi-string is no text") << 2 << hl << u"Multi"_s << QString();
    QTest::newRow("binary is no text") << 2 << hl << u"Binary"_s << QString();
    QTest::newRow("subkey is another key") << 2 << hl + u"\\Settings"_s << u"InstallPath"_s << u"not this one"_s;
    QTest::newRow("key without values") << 2 << u"\\Software\\Empty"_s << u"InstallPath"_s << QString();
    QTest::newRow("missing key") << 2 << u"\\Software\\Nobody"_s << u"InstallPath"_s << u"#001"_s;
    QTest::newRow("parent of a key is no key") << 2 << u"\\Software\\Valve"_s << u"InstallPath"_s << u"#001"_s;
    QTest::newRow("local machine") << 3 << hl << u"InstallPath"_s << u"D:\\Games\\Half-Life"_s;
    QTest::newRow("classes root") << 1 << u"\\.txt"_s << QString() << u"txtfile"_s;
    QTest::newRow("users") << 4 << u"\\Control Panel\\Desktop"_s << u"Wallpaper"_s << u"none"_s;
    QTest::newRow("unknown selector is the current user")
        << 9 << hl << u"InstallPath"_s << u"C:\\Program Files\\Valve\\Half-Life"_s;
}

void TstRegistras::skaitymas() {
    QFETCH(int, saknis);
    QFETCH(QString, kelias);
    QFETCH(QString, vardas);
    QString rezultatas = u"left over"_s;
    SkaitytiRegistra(saknis, kelias, vardas, rezultatas);
    QTEST(rezultatas, "tiketina");
}

void TstRegistras::beFailo() {
    QTemporaryDir tuscias;
    qputenv("WINEPREFIX", tuscias.path().toLocal8Bit());
    QString rezultatas;
    SkaitytiRegistra(2, u"\\SOFTWARE\\Valve\\Half-Life"_s, u"InstallPath"_s, rezultatas);
    QCOMPARE(rezultatas, u"#001"_s);
    qputenv("WINEPREFIX", prefiksas.path().toLocal8Bit());
}

QTEST_APPLESS_MAIN(TstRegistras)
#include "tst_registras.moc"
