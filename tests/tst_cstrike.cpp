#include <QTest>

#include "cstrike.h"

class TstCstrike : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void uzklausos();
};

void TstCstrike::uzklausos() {
    const QByteArray d = UzklausosDatagrama(kPing);
    QCOMPARE(d.size(), 256);
    QCOMPARE(d.left(9), QByteArray("\xFF\xFF\xFF\xFFping\0", 9));
}

QTEST_APPLESS_MAIN(TstCstrike)
#include "tst_cstrike.moc"
