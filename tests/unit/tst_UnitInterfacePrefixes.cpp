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
        const auto row = [](const char* name, const char* model, const char* eth, const char* ppp) {
            QTest::newRow(name) << QString::fromLatin1(model) << QString::fromLatin1(eth) << QString::fromLatin1(ppp);
        };
        row("an ordinary model", "KR5004", "eth 0", "PPP 1");
        row("second LAN port", "KR5012", "eth 1", "PPP 1");
        row("third PPP instance", "KR5005", "eth 0", "PPP 3");
        row("the code inside a longer text, any case", "Calvantor kr5012 Router", "eth 1", "PPP 1");
        row("the code with a suffix", "KR5005-X", "eth 0", "PPP 3");
        row("no model known", "", "eth 0", "PPP 1");
        row("a near miss", "KR501", "eth 0", "PPP 1");
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
