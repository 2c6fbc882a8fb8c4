#include "Zvalga.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QSaveFile>
#include <QTimer>
#include <QWidget>

#include "Valdikliai.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kZvalgosPeriodasMs = 200;

QByteArray Eilute(const QString& vardas, QString tekstas) {
    tekstas.replace(u'\\', u"\\\\"_s).replace(u'\n', u"\\n"_s).replace(u'\r', u"\\r"_s).replace(u'\t', u"\\t"_s);
    return vardas.toUtf8() + '\t' + tekstas.toUtf8() + '\n';
}

QString VaizdoZyme(const QImage& vaizdas) {
    if (vaizdas.isNull())
        return u"-"_s;
    const QImage argb = vaizdas.convertToFormat(QImage::Format_ARGB32);
    QCryptographicHash md5(QCryptographicHash::Md5);
    for (int y = 0; y < argb.height(); ++y)
        md5.addData(QByteArrayView(reinterpret_cast<const char*>(argb.constScanLine(y)), argb.width() * 4));
    return u"%1x%2:%3"_s.arg(argb.width()).arg(argb.height()).arg(QString::fromLatin1(md5.result().toHex()));
}

} // namespace

QByteArray MatomaBusena(const QWidget* langas) {
    QByteArray busena;
    const auto valdikliai = langas->findChildren<QWidget*>();
    for (const QWidget* v : valdikliai) {
        const QString vardas = v->objectName();
        if (vardas.isEmpty())
            continue;
        if (const auto* l = qobject_cast<const QLabel*>(v))
            busena += Eilute(vardas, l->text());
        else if (const auto* b = qobject_cast<const QAbstractButton*>(v))
            busena += Eilute(vardas, b->text());
        else if (const auto* e = qobject_cast<const QLineEdit*>(v); e && !qobject_cast<const QComboBox*>(v->parent()))
            busena += Eilute(vardas, e->text());
        else if (const auto* c = qobject_cast<const QComboBox*>(v))
            busena += Eilute(vardas, c->currentText());
        else if (const auto* m = qobject_cast<const TMemo*>(v))
            busena += Eilute(vardas, m->Eilutes().join(u'|'));
        else if (const auto* p = qobject_cast<const TPaveiksliukas*>(v))
            busena += Eilute(vardas, VaizdoZyme(p->Vaizdas()));
    }
    return busena;
}

void PradetiZvalgaJeiReikia(QWidget* stebetojas) {
    const QString aplankas = qEnvironmentVariable("VELMORANT_ZVALGA");
    if (aplankas.isEmpty() || !stebetojas)
        return;
    auto* laikmatis = new QTimer(stebetojas);
    laikmatis->setInterval(kZvalgosPeriodasMs);
    QObject::connect(laikmatis, &QTimer::timeout, stebetojas, [aplankas, stebetojas] {
        const QDir folderis(aplankas);
        QSaveFile failas(folderis.filePath(u"busena.txt"_s));
        if (failas.open(QIODevice::WriteOnly)) {
            failas.write(MatomaBusena(stebetojas));
            failas.commit();
        }
        if (QFile::exists(folderis.filePath(u"baigti"_s)) && stebetojas->isVisible())
            stebetojas->close();
    });
    laikmatis->start();
}
