// Map pictures: the shipped pictures, the generator that draws them
// (velmorant-mappainter) and the JPEG decoder that reads them.

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <jpeglib.h>

#include "JpegVaizdas.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kPlotis = 250;
constexpr int kAukstis = 188;

QString PateiktuAplankas() {
    return QString::fromUtf8(VELMORANT_SOURCE_DIR "/resursai/zemelapiai");
}

QString Piesejas() {
    return QString::fromUtf8(VELMORANT_MAPPAINTER);
}

struct TPiesejoRezultatas {
    int kodas = -1;
    QByteArray klaidos;
};

// Runs the generator and waits for it.
TPiesejoRezultatas PaleistiPiesejas(const QStringList& argumentai) {
    QProcess procesas;
    procesas.start(Piesejas(), argumentai);
    TPiesejoRezultatas rezultatas;
    if (!procesas.waitForStarted(30000) || !procesas.waitForFinished(120000) ||
        procesas.exitStatus() != QProcess::NormalExit) {
        rezultatas.klaidos = procesas.errorString().toUtf8();
        return rezultatas;
    }
    rezultatas.kodas = procesas.exitCode();
    rezultatas.klaidos = procesas.readAllStandardError();
    return rezultatas;
}

QByteArray SkaitytiBaitus(const QString& kelias) {
    QFile failas(kelias);
    if (!failas.open(QIODevice::ReadOnly))
        return {};
    return failas.readAll();
}

bool RasytiBaitus(const QString& kelias, const QByteArray& baitai) {
    QFile failas(kelias);
    return failas.open(QIODevice::WriteOnly) && failas.write(baitai) == baitai.size();
}

QStringList JpegFailai(const QString& aplankas) {
    return QDir(aplankas).entryList({u"*.jpg"_s}, QDir::Files, QDir::Name);
}

// --- A small libjpeg encoder for test pictures --------------------------------

struct TKlaiduValdymas {
    jpeg_error_mgr bazinis;
    std::jmp_buf grizimas;
};

[[noreturn]] void KlaidaIsejimas(j_common_ptr info) {
    std::longjmp(reinterpret_cast<TKlaiduValdymas*>(info->err)->grizimas, 1);
}

void TylusIsvedimas(j_common_ptr) {}

// Encodes rows of `komponentai` bytes per pixel (1: grey, 3: RGB). Only plain
// data lives in this frame, so the long jump out of libjpeg skips no
// destructor. On success the caller frees *buferis.
bool KoduotiEilutes(const unsigned char* pikseliai, int plotis, int aukstis, int komponentai, bool progresyvus,
                    unsigned char** buferis, unsigned long* dydis) {
    jpeg_compress_struct info;
    TKlaiduValdymas klaidos;
    info.err = jpeg_std_error(&klaidos.bazinis);
    klaidos.bazinis.error_exit = KlaidaIsejimas;
    klaidos.bazinis.output_message = TylusIsvedimas;
    if (setjmp(klaidos.grizimas)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, buferis, dydis);
    info.image_width = JDIMENSION(plotis);
    info.image_height = JDIMENSION(aukstis);
    info.input_components = komponentai;
    info.in_color_space = komponentai == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    if (progresyvus)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        auto* eilute = const_cast<JSAMPLE*>(pikseliai + std::size_t(info.next_scanline) * std::size_t(plotis) *
                                                            std::size_t(komponentai));
        jpeg_write_scanlines(&info, &eilute, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

QByteArray Koduoti(const QImage& vaizdas, bool pilkas, bool progresyvus) {
    const QImage saltinis = vaizdas.convertToFormat(pilkas ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    const int komponentai = pilkas ? 1 : 3;
    QByteArray eilutes;
    for (int y = 0; y < saltinis.height(); ++y)
        eilutes.append(reinterpret_cast<const char*>(saltinis.constScanLine(y)), saltinis.width() * komponentai);
    unsigned char* buferis = nullptr;
    unsigned long dydis = 0;
    if (!KoduotiEilutes(reinterpret_cast<const unsigned char*>(eilutes.constData()), saltinis.width(),
                        saltinis.height(), komponentai, progresyvus, &buferis, &dydis))
        return {};
    QByteArray jpeg(reinterpret_cast<const char*>(buferis), qsizetype(dydis));
    std::free(buferis);
    return jpeg;
}

// A 64 x 64 picture of four flat 32 x 32 squares: whole 16 x 16 blocks, so the
// colours survive compression and chroma subsampling in the middle of each.
const QColor kKetvirciai[4] = {QColor(200, 40, 40), QColor(40, 180, 60), QColor(40, 60, 200), QColor(230, 210, 50)};
const int kPilki[4] = {30, 100, 170, 240};
const QPoint kKetvirciuCentrai[4] = {QPoint(16, 16), QPoint(48, 16), QPoint(16, 48), QPoint(48, 48)};

QImage Ketvirciai(bool pilkas) {
    QImage vaizdas(64, 64, QImage::Format_RGB32);
    for (int i = 0; i < 4; ++i) {
        const QColor spalva = pilkas ? QColor(kPilki[i], kPilki[i], kPilki[i]) : kKetvirciai[i];
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x)
                vaizdas.setPixelColor((i % 2) * 32 + x, (i / 2) * 32 + y, spalva);
        }
    }
    return vaizdas;
}

// The test JPEG that is cut and spoiled below: baseline or progressive colour.
QByteArray PavyzdinisJpeg(bool progresyvus = false) {
    return Koduoti(Ketvirciai(false), false, progresyvus);
}

// Offset of the first marker segment of the kind (e.g. 0xC0 for SOF0) before
// the compressed data, or -1.
qsizetype Markeris(const QByteArray& jpeg, unsigned char rusis) {
    qsizetype i = 2;
    while (i + 4 <= jpeg.size() && static_cast<unsigned char>(jpeg[i]) == 0xFF) {
        const auto zyme = static_cast<unsigned char>(jpeg[i + 1]);
        if (zyme == rusis)
            return i;
        if (zyme == 0xDA)
            break;
        const int ilgis = (static_cast<unsigned char>(jpeg[i + 2]) << 8) | static_cast<unsigned char>(jpeg[i + 3]);
        i += 2 + ilgis;
    }
    return -1;
}

struct TSkenas {
    qsizetype antraste; // the SOS marker
    qsizetype pradzia;  // the first byte of the compressed data
    qsizetype pabaiga;  // the marker that ends the compressed data
};

// The scans of the file, in order.
QList<TSkenas> Skenai(const QByteArray& jpeg) {
    QList<TSkenas> skenai;
    const auto baitas = [&](qsizetype i) {
        return static_cast<unsigned char>(jpeg[i]);
    };
    qsizetype i = 2;
    while (i + 4 <= jpeg.size() && baitas(i) == 0xFF) {
        const unsigned char zyme = baitas(i + 1);
        if (zyme == 0xD9)
            break;
        const qsizetype ilgis = (baitas(i + 2) << 8) | baitas(i + 3);
        if (zyme != 0xDA) {
            i += 2 + ilgis;
            continue;
        }
        TSkenas skenas{i, i + 2 + ilgis, -1};
        // The data runs to the next marker that is neither a stuffed 0xFF00 nor a restart marker.
        qsizetype j = skenas.pradzia;
        while (j + 1 < jpeg.size() &&
               !(baitas(j) == 0xFF && baitas(j + 1) != 0x00 && (baitas(j + 1) < 0xD0 || baitas(j + 1) > 0xD7)))
            ++j;
        skenas.pabaiga = j;
        skenai << skenas;
        i = j;
    }
    return skenai;
}

bool ArtiSpalvos(const QColor& gauta, const QColor& laukta, int leidziama) {
    return std::abs(gauta.red() - laukta.red()) <= leidziama && std::abs(gauta.green() - laukta.green()) <= leidziama &&
           std::abs(gauta.blue() - laukta.blue()) <= leidziama;
}

QString SpalvosTekstas(const QColor& spalva) {
    return u"(%1, %2, %3)"_s.arg(spalva.red()).arg(spalva.green()).arg(spalva.blue());
}

} // namespace

class TstZemelapiai : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();

    // The shipped pictures.
    void pateiktasPaveikslas_data();
    void pateiktasPaveikslas();
    void pateiktuRinkinys();

    // The generator.
    void piesejasKartojaPaveiksla_data();
    void piesejasKartojaPaveiksla();
    void piesejasAtkartojaVisusPateiktus();
    void piesejasAtmetaNetinkamusArgumentus_data();
    void piesejasAtmetaNetinkamusArgumentus();

    // The decoder.
    void netinkamasFailas_data();
    void netinkamasFailas();
    void nukirptasJpeg_data();
    void nukirptasJpeg();
    void sugadintaAntraste_data();
    void sugadintaAntraste();
    void jpegRusys_data();
    void jpegRusys();

private:
    QTemporaryDir laikinas;
};

void TstZemelapiai::initTestCase() {
    QVERIFY2(QFileInfo(Piesejas()).isExecutable(), qPrintable(Piesejas()));
    QVERIFY(laikinas.isValid());
    QVERIFY2(QFileInfo(PateiktuAplankas()).isDir(), qPrintable(PateiktuAplankas()));
}

void TstZemelapiai::pateiktasPaveikslas_data() {
    QTest::addColumn<QString>("failas");
    const QStringList failai = JpegFailai(PateiktuAplankas());
    for (const QString& failas : failai)
        QTest::newRow(qPrintable(failas)) << failas;
}

void TstZemelapiai::pateiktasPaveikslas() {
    QFETCH(QString, failas);
    QCOMPARE(failas, failas.toLower());
    const QImage vaizdas = SkaitytiJpeg(QDir(PateiktuAplankas()).filePath(failas));
    QVERIFY(!vaizdas.isNull());
    QCOMPARE(vaizdas.width(), kPlotis);
    QCOMPARE(vaizdas.height(), kAukstis);
    // A real picture, not a flat panel: many different colours.
    QSet<QRgb> spalvos;
    for (int y = 0; y < vaizdas.height(); y += 4) {
        for (int x = 0; x < vaizdas.width(); x += 4)
            spalvos.insert(vaizdas.pixel(x, y));
    }
    QVERIFY2(spalvos.size() > 50, qPrintable(QString::number(spalvos.size())));
}

void TstZemelapiai::pateiktuRinkinys() {
    const QStringList failai = JpegFailai(PateiktuAplankas());
    QVERIFY(failai.contains(u"standartinis.jpg"_s));
    for (const QString& zemelapis : {u"de_dust2.jpg"_s, u"cs_office.jpg"_s, u"fy_iceworld.jpg"_s, u"crossfire.jpg"_s})
        QVERIFY2(failai.contains(zemelapis), qPrintable(zemelapis));
    // Every map gets a picture of its own, and all of them together stay small.
    qint64 viso = 0;
    QHash<QByteArray, QString> santraukos;
    for (const QString& failas : failai) {
        const QByteArray baitai = SkaitytiBaitus(QDir(PateiktuAplankas()).filePath(failas));
        QVERIFY(!baitai.isEmpty());
        viso += baitai.size();
        const QByteArray santrauka = QCryptographicHash::hash(baitai, QCryptographicHash::Sha256);
        QVERIFY2(!santraukos.contains(santrauka),
                 qPrintable(u"%1 and %2 are the same picture"_s.arg(failas, santraukos.value(santrauka))));
        santraukos.insert(santrauka, failas);
    }
    QVERIFY2(viso < 1024 * 1024, qPrintable(QString::number(viso)));
}

void TstZemelapiai::piesejasKartojaPaveiksla_data() {
    QTest::addColumn<QString>("argumentas");
    QTest::addColumn<QString>("failas");
    QTest::addColumn<bool>("pateiktas");
    QTest::newRow("de_dust2") << u"de_dust2"_s << u"de_dust2.jpg"_s << true;
    QTest::newRow("cs_office") << u"cs_office"_s << u"cs_office.jpg"_s << true;
    QTest::newRow("fy_iceworld") << u"fy_iceworld"_s << u"fy_iceworld.jpg"_s << true;
    QTest::newRow("crossfire") << u"crossfire"_s << u"crossfire.jpg"_s << true;
    QTest::newRow("upper case") << u"De_Aztec"_s << u"de_aztec.jpg"_s << true;
    QTest::newRow("not in the list") << u"zz_bandymas-2.b"_s << u"zz_bandymas-2.b.jpg"_s << false;
}

void TstZemelapiai::piesejasKartojaPaveiksla() {
    QFETCH(QString, argumentas);
    QFETCH(QString, failas);
    QFETCH(bool, pateiktas);
    const QString tag = QString::fromUtf8(QTest::currentDataTag());
    const QString pirmas = laikinas.filePath(u"kartojimas-1-"_s + tag);
    const QString antras = laikinas.filePath(u"kartojimas-2-"_s + tag);
    for (const QString& aplankas : {pirmas, antras}) {
        const TPiesejoRezultatas rezultatas = PaleistiPiesejas({aplankas, argumentas});
        QVERIFY2(rezultatas.kodas == 0, rezultatas.klaidos.constData());
        // Only the picture that was asked for.
        QCOMPARE(JpegFailai(aplankas), QStringList{failas});
    }
    const QByteArray pirmi = SkaitytiBaitus(QDir(pirmas).filePath(failas));
    QVERIFY(!pirmi.isEmpty());
    QCOMPARE(SkaitytiBaitus(QDir(antras).filePath(failas)), pirmi);
    const QImage vaizdas = SkaitytiJpegIsAtminties(pirmi);
    QCOMPARE(vaizdas.size(), QSize(kPlotis, kAukstis));
    if (pateiktas)
        QVERIFY2(SkaitytiBaitus(QDir(PateiktuAplankas()).filePath(failas)) == pirmi,
                 "the shipped picture differs from the generator's output; regenerate resursai/zemelapiai");
}

void TstZemelapiai::piesejasAtkartojaVisusPateiktus() {
    // Without names the generator draws exactly the shipped set, byte for byte.
    const QString aplankas = laikinas.filePath(u"visi"_s);
    const TPiesejoRezultatas rezultatas = PaleistiPiesejas({aplankas});
    QVERIFY2(rezultatas.kodas == 0, rezultatas.klaidos.constData());
    const QStringList nupiesti = JpegFailai(aplankas);
    QCOMPARE(nupiesti, JpegFailai(PateiktuAplankas()));
    for (const QString& failas : nupiesti) {
        QVERIFY2(SkaitytiBaitus(QDir(aplankas).filePath(failas)) ==
                     SkaitytiBaitus(QDir(PateiktuAplankas()).filePath(failas)),
                 qPrintable(failas));
    }
}

void TstZemelapiai::piesejasAtmetaNetinkamusArgumentus_data() {
    QTest::addColumn<QStringList>("vardai");
    QTest::newRow("no folder") << QStringList{};
    QTest::newRow("path in the name") << QStringList{u"../de_dust"_s};
    QTest::newRow("hidden file") << QStringList{u".de_dust"_s};
    QTest::newRow("neutral picture's name") << QStringList{u"standartinis"_s};
    QTest::newRow("empty name") << QStringList{u"de_dust"_s, u""_s};
    QTest::newRow("unsafe character") << QStringList{u"de_dust"_s, u"cs_a:b"_s};
}

void TstZemelapiai::piesejasAtmetaNetinkamusArgumentus() {
    QFETCH(QStringList, vardai);
    const QString aplankas = laikinas.filePath(u"atmesti-"_s + QString::fromUtf8(QTest::currentDataTag()));
    const QStringList argumentai = vardai.isEmpty() ? QStringList{} : QStringList{aplankas} + vardai;
    const TPiesejoRezultatas rezultatas = PaleistiPiesejas(argumentai);
    QCOMPARE(rezultatas.kodas, 2);
    QVERIFY(!rezultatas.klaidos.isEmpty());
    // Nothing is drawn when any name is refused.
    QVERIFY(JpegFailai(aplankas).isEmpty());
}

void TstZemelapiai::netinkamasFailas_data() {
    QTest::addColumn<QByteArray>("turinys");
    QTest::addColumn<bool>("sukurti");
    QTest::newRow("missing") << QByteArray() << false;
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("text") << QByteArray("de_dust2 is a map, not a picture\n") << true;
    QTest::newRow("only SOI") << QByteArray("\xFF\xD8", 2) << true;
    QTest::newRow("SOI and EOI") << QByteArray("\xFF\xD8\xFF\xD9", 4) << true;
    QByteArray siuksles;
    for (int i = 0; i < 4096; ++i)
        siuksles.append(char((i * 131 + 7) % 251));
    QTest::newRow("noise") << siuksles << true;
    QTest::newRow("noise after SOI") << QByteArray("\xFF\xD8", 2) + siuksles << true;
}

void TstZemelapiai::netinkamasFailas() {
    QFETCH(QByteArray, turinys);
    QFETCH(bool, sukurti);
    const QString kelias = laikinas.filePath(u"netinkamas-"_s + QString::fromUtf8(QTest::currentDataTag()) + u".jpg"_s);
    if (sukurti)
        QVERIFY(RasytiBaitus(kelias, turinys));
    else
        QVERIFY(!QFile::exists(kelias));
    QVERIFY(SkaitytiJpeg(kelias).isNull());
    QVERIFY(SkaitytiJpegIsAtminties(turinys).isNull());
}

void TstZemelapiai::nukirptasJpeg_data() {
    QTest::addColumn<bool>("progresyvus");
    QTest::addColumn<QString>("vieta");
    QTest::addColumn<int>("poslinkis");
    // Cuts inside the compressed data too: an incomplete picture is no picture.
    for (const bool progresyvus : {false, true}) {
        const char* rusis = progresyvus ? "progressive" : "baseline";
        QTest::addRow("%s, after SOI", rusis) << progresyvus << u"SOI"_s << 2;
        QTest::addRow("%s, inside APP0", rusis) << progresyvus << u"APP0"_s << 6;
        QTest::addRow("%s, inside DQT", rusis) << progresyvus << u"DQT"_s << 20;
        QTest::addRow("%s, inside SOF", rusis) << progresyvus << u"SOF"_s << 7;
        QTest::addRow("%s, inside DHT", rusis) << progresyvus << u"DHT"_s << 12;
        QTest::addRow("%s, inside SOS", rusis) << progresyvus << u"SOS"_s << 5;
        QTest::addRow("%s, start of the first scan's data", rusis) << progresyvus << u"pirmas"_s << 3;
        QTest::addRow("%s, middle of the longest scan's data", rusis) << progresyvus << u"ilgiausias"_s << 0;
    }
    QTest::newRow("progressive, before the second scan") << true << u"antras"_s << 0;
}

void TstZemelapiai::nukirptasJpeg() {
    QFETCH(bool, progresyvus);
    QFETCH(QString, vieta);
    QFETCH(int, poslinkis);
    const QByteArray jpeg = PavyzdinisJpeg(progresyvus);
    QVERIFY(!jpeg.isEmpty());
    QVERIFY(!SkaitytiJpegIsAtminties(jpeg).isNull());
    const QList<TSkenas> skenai = Skenai(jpeg);
    QVERIFY(progresyvus ? skenai.size() > 2 : skenai.size() == 1);

    const QHash<QString, unsigned char> markeriai{
        {u"APP0"_s, 0xE0}, {u"DQT"_s, 0xDB}, {u"SOF"_s, progresyvus ? 0xC2 : 0xC0}, {u"DHT"_s, 0xC4}, {u"SOS"_s, 0xDA}};
    qsizetype ilgis = 0;
    if (vieta == u"SOI"_s) {
        ilgis = poslinkis;
    } else if (markeriai.contains(vieta)) {
        const qsizetype markeris = Markeris(jpeg, markeriai.value(vieta));
        QVERIFY(markeris > 0);
        ilgis = markeris + poslinkis;
    } else if (vieta == u"pirmas"_s) {
        ilgis = skenai.first().pradzia + poslinkis;
        QVERIFY(ilgis < skenai.first().pabaiga);
    } else if (vieta == u"ilgiausias"_s) {
        const TSkenas ilgiausias = *std::max_element(skenai.cbegin(), skenai.cend(), [](const auto& a, const auto& b) {
            return a.pabaiga - a.pradzia < b.pabaiga - b.pradzia;
        });
        ilgis = (ilgiausias.pradzia + ilgiausias.pabaiga) / 2;
        QVERIFY(ilgis > ilgiausias.pradzia + 8);
    } else {
        ilgis = skenai.at(1).antraste;
    }
    QVERIFY(ilgis > 0 && ilgis < jpeg.size() - 2);
    const QByteArray nukirptas = jpeg.left(ilgis);

    const QString kelias = laikinas.filePath(u"nukirptas.jpg"_s);
    QVERIFY(RasytiBaitus(kelias, nukirptas));
    QVERIFY(SkaitytiJpeg(kelias).isNull());
    QVERIFY(SkaitytiJpegIsAtminties(nukirptas).isNull());
}

void TstZemelapiai::sugadintaAntraste_data() {
    QTest::addColumn<unsigned char>("markeris");
    QTest::addColumn<int>("poslinkis");
    QTest::addColumn<QByteArray>("baitai");
    // Offsets count from the marker's 0xFF byte.
    QTest::newRow("SOI marker") << static_cast<unsigned char>(0xD8) << 1 << QByteArray("\x00", 1);
    QTest::newRow("frame marker becomes lossless") << static_cast<unsigned char>(0xC0) << 1 << QByteArray("\xC3");
    QTest::newRow("frame length") << static_cast<unsigned char>(0xC0) << 2 << QByteArray("\x00\x05", 2);
    QTest::newRow("12-bit precision") << static_cast<unsigned char>(0xC0) << 4 << QByteArray("\x0C");
    QTest::newRow("zero height") << static_cast<unsigned char>(0xC0) << 5 << QByteArray("\x00\x00", 2);
    QTest::newRow("zero width") << static_cast<unsigned char>(0xC0) << 7 << QByteArray("\x00\x00", 2);
    QTest::newRow("no components") << static_cast<unsigned char>(0xC0) << 9 << QByteArray("\x00", 1);
    QTest::newRow("sampling factor 0") << static_cast<unsigned char>(0xC0) << 11 << QByteArray("\x00", 1);
    QTest::newRow("oversized picture") << static_cast<unsigned char>(0xC0) << 5 << QByteArray("\x4E\x20\x4E\x20");
    QTest::newRow("one pixel too tall") << static_cast<unsigned char>(0xC0) << 5 << QByteArray("\x10\x01");
    QTest::newRow("one pixel too wide") << static_cast<unsigned char>(0xC0) << 7 << QByteArray("\x10\x01");
    QTest::newRow("quantisation table 7") << static_cast<unsigned char>(0xDB) << 4 << QByteArray("\x07");
    QTest::newRow("Huffman counts") << static_cast<unsigned char>(0xC4) << 5 << QByteArray(16, '\xFF');
    QTest::newRow("unknown component in scan") << static_cast<unsigned char>(0xDA) << 5 << QByteArray("\x55");
}

void TstZemelapiai::sugadintaAntraste() {
    QFETCH(unsigned char, markeris);
    QFETCH(int, poslinkis);
    QFETCH(QByteArray, baitai);
    QByteArray jpeg = PavyzdinisJpeg();
    QVERIFY(!SkaitytiJpegIsAtminties(jpeg).isNull());
    const qsizetype vieta = markeris == 0xD8 ? 0 : Markeris(jpeg, markeris);
    QVERIFY(vieta >= 0);
    QVERIFY(vieta + poslinkis + baitai.size() <= jpeg.size());
    const QByteArray pries = jpeg;
    jpeg.replace(vieta + poslinkis, baitai.size(), baitai);
    QVERIFY(jpeg != pries);
    QCOMPARE(jpeg.size(), pries.size());
    QVERIFY(SkaitytiJpegIsAtminties(jpeg).isNull());
    const QString kelias = laikinas.filePath(u"sugadintas.jpg"_s);
    QVERIFY(RasytiBaitus(kelias, jpeg));
    QVERIFY(SkaitytiJpeg(kelias).isNull());
}

void TstZemelapiai::jpegRusys_data() {
    QTest::addColumn<bool>("pilkas");
    QTest::addColumn<bool>("progresyvus");
    QTest::newRow("colour baseline") << false << false;
    QTest::newRow("grey baseline") << true << false;
    QTest::newRow("colour progressive") << false << true;
    QTest::newRow("grey progressive") << true << true;
}

void TstZemelapiai::jpegRusys() {
    QFETCH(bool, pilkas);
    QFETCH(bool, progresyvus);
    const QByteArray jpeg = Koduoti(Ketvirciai(pilkas), pilkas, progresyvus);
    QVERIFY(!jpeg.isEmpty());
    // The file really is of the kind under test.
    const qsizetype sof = Markeris(jpeg, progresyvus ? 0xC2 : 0xC0);
    QVERIFY(sof > 0);
    QCOMPARE(static_cast<unsigned char>(jpeg[sof + 9]), static_cast<unsigned char>(pilkas ? 1 : 3));

    const QString kelias = laikinas.filePath(u"rusis-"_s + QString::fromUtf8(QTest::currentDataTag()) + u".jpg"_s);
    QVERIFY(RasytiBaitus(kelias, jpeg));
    const QImage vaizdas = SkaitytiJpeg(kelias);
    QVERIFY(!vaizdas.isNull());
    QCOMPARE(vaizdas.size(), QSize(64, 64));
    QCOMPARE(SkaitytiJpegIsAtminties(jpeg), vaizdas);
    for (int i = 0; i < 4; ++i) {
        const QColor laukta = pilkas ? QColor(kPilki[i], kPilki[i], kPilki[i]) : kKetvirciai[i];
        const QColor gauta = vaizdas.pixelColor(kKetvirciuCentrai[i]);
        QCOMPARE(gauta.alpha(), 255);
        QVERIFY2(ArtiSpalvos(gauta, laukta, 8),
                 qPrintable(u"square %1: %2, expected %3"_s.arg(i).arg(SpalvosTekstas(gauta), SpalvosTekstas(laukta))));
        if (pilkas) {
            QCOMPARE(gauta.green(), gauta.red());
            QCOMPARE(gauta.blue(), gauta.red());
        }
    }
}

QTEST_GUILESS_MAIN(TstZemelapiai)
#include "tst_zemelapiai.moc"
