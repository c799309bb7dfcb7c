#include "net/CAdapter.h"
#include "net/CInterface.h"

#include <QTest>

class tst_PhysicalAddress : public QObject {
    Q_OBJECT
private slots:
    void recordsSetTheirAddress_data()
    {
        QTest::addColumn<qint32>("length");
        QTest::addColumn<QByteArray>("given");
        QTest::addColumn<QByteArray>("kept");
        QTest::addColumn<QString>("adapterText");
        QTest::addColumn<QString>("interfaceText");
        const QByteArray mac = QByteArray::fromHex("000a959d6816");
        QTest::newRow("six bytes") << 6 << mac << mac << QStringLiteral("00:0A:95:9D:68:16")
                                   << QStringLiteral("00-0A-95-9D-68-16");
        QTest::newRow("length cuts a longer array")
            << 6 << mac + QByteArray::fromHex("ffff") << mac << QStringLiteral("00:0A:95:9D:68:16")
            << QStringLiteral("00-0A-95-9D-68-16");
        QTest::newRow("one byte") << 1 << mac << QByteArray::fromHex("00") << QStringLiteral("00")
                                  << QStringLiteral("00");
        QTest::newRow("length 0") << 0 << mac << QByteArray() << QString() << QString();
        QTest::newRow("negative length") << -3 << mac << QByteArray() << QString() << QString();
    }
    void recordsSetTheirAddress()
    {
        QFETCH(qint32, length);
        QFETCH(QByteArray, given);
        QFETCH(QByteArray, kept);
        QFETCH(QString, adapterText);
        QFETCH(QString, interfaceText);
        CAdapter a;
        CInterface i;
        a.SetPhysAddr(length, given);
        i.SetPhysAddr(length, given);
        QCOMPARE(a.AdapterAddressByte(), kept);
        QCOMPARE(i.AdapterAddressByte(), kept);
        QCOMPARE(a.AdapterAddress(), adapterText);
        QCOMPARE(i.AdapterAddress(), interfaceText);
    }

    void aNewAddressReplacesTheOld()
    {
        CAdapter a;
        a.SetPhysAddr(6, QByteArray::fromHex("000a959d6816"));
        a.SetPhysAddr(0, QByteArray());
        QVERIFY(a.AdapterAddressByte().isEmpty());
        QCOMPARE(a.AdapterAddress(), QString());
    }
};

QTEST_MAIN(tst_PhysicalAddress)
#include "tst_PhysicalAddress.moc"
