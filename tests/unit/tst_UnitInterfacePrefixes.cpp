#include "unit/UnitInterfacePrefixes.h"

#include <QTest>

class tst_UnitInterfacePrefixes : public QObject {
    Q_OBJECT
private slots:
    void byModel_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("eth");
        QTest::addColumn<QString>("ppp");
        QTest::newRow("an ordinary model") << "KR5004"
                                           << "eth 0"
                                           << "PPP 1";
        QTest::newRow("second LAN port") << "KR5012"
                                         << "eth 1"
                                         << "PPP 1";
        QTest::newRow("third PPP instance") << "KR5005"
                                            << "eth 0"
                                            << "PPP 3";
        QTest::newRow("the code inside a longer text") << "Calvantor kr5012 Router"
                                                       << "eth 1"
                                                       << "PPP 1";
        QTest::newRow("the code with a suffix") << "KR5005-X"
                                                << "eth 0"
                                                << "PPP 3";
        QTest::newRow("no model known") << ""
                                        << "eth 0"
                                        << "PPP 1";
        QTest::newRow("a near miss") << "KR501"
                                     << "eth 0"
                                     << "PPP 1";
    }
    void byModel()
    {
        QFETCH(QString, model);
        QFETCH(QString, eth);
        QFETCH(QString, ppp);
        QCOMPARE(UnitInterfacePrefixes::ethIfForModel(model), eth);
        QCOMPARE(UnitInterfacePrefixes::pppIfForModel(model), ppp);

        UnitInterfacePrefixes prefixes;
        prefixes.GPRSPPP = [] { return QStringLiteral("2"); };
        prefixes.setModel(model);
        QCOMPARE(prefixes.EthIf, eth);
        QCOMPARE(prefixes.PPPIf, ppp);
        QCOMPARE(prefixes.GPRSPPP(), QStringLiteral("2"));
    }
};

QTEST_MAIN(tst_UnitInterfacePrefixes)
#include "tst_UnitInterfacePrefixes.moc"
