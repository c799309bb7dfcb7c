#include "net/AdapterConfigRules.h"

#include <QTest>

Q_DECLARE_METATYPE(std::optional<int>)

// Masks as both backends read and write them: a dotted text for every
// prefix length, and the prefix length of every dotted mask.
class tst_AdapterConfigRules : public QObject {
    Q_OBJECT
private slots:
    void masks_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<std::optional<int>>("prefix");
        QTest::newRow("no bits") << "0.0.0.0" << std::optional<int>(0);
        QTest::newRow("class A") << "255.0.0.0" << std::optional<int>(8);
        QTest::newRow("across a byte") << "255.255.240.0" << std::optional<int>(20);
        QTest::newRow("class C") << "255.255.255.0" << std::optional<int>(24);
        QTest::newRow("point to point") << "255.255.255.254" << std::optional<int>(31);
        QTest::newRow("one host") << "255.255.255.255" << std::optional<int>(32);
        QTest::newRow("holey") << "255.0.255.0" << std::optional<int>();
        QTest::newRow("three parts") << "255.255.255" << std::optional<int>();
        QTest::newRow("part above 255") << "255.255.256.0" << std::optional<int>();
        QTest::newRow("with a blank") << "255.255.255.0 " << std::optional<int>();
    }
    void masks()
    {
        QFETCH(QString, mask);
        QFETCH(std::optional<int>, prefix);
        QCOMPARE(AdapterConfigRules::prefixOf(mask), prefix);
        if (prefix)
            QCOMPARE(AdapterConfigRules::maskText(*prefix), mask);
    }

    void maskTextOutsideTheRange()
    {
        QCOMPARE(AdapterConfigRules::maskText(-3), QStringLiteral("0.0.0.0"));
        QCOMPARE(AdapterConfigRules::maskText(40), QStringLiteral("255.255.255.255"));
    }
};

QTEST_APPLESS_MAIN(tst_AdapterConfigRules)
#include "tst_AdapterConfigRules.moc"
