#include <QTest>
class tst_unitsim : public QObject {
    Q_OBJECT
};
QTEST_GUILESS_MAIN(tst_unitsim)
#include "tst_unitsim.moc"
