#include "app/clsScanOptions.h"

#include <QTest>

class tst_clsScanOptions : public QObject {
    Q_OBJECT
private slots:
    void newRecordWantsThePingAndNoCellular()
    {
        const clsScanOptions o;
        QVERIFY(o.InitialPing());
        QVERIFY(!o.MustHaveGPRS());
    }

    void switchesAreIndependent()
    {
        clsScanOptions o;
        o.setInitialPing(false);
        QVERIFY(!o.InitialPing());
        QVERIFY(!o.MustHaveGPRS());
        o.setMustHaveGPRS(true);
        QVERIFY(o.MustHaveGPRS());
        QVERIFY(!o.InitialPing());
        o.setInitialPing(true);
        QVERIFY(o.InitialPing());
        QVERIFY(o.MustHaveGPRS());
    }
};

QTEST_APPLESS_MAIN(tst_clsScanOptions)
#include "tst_clsScanOptions.moc"
