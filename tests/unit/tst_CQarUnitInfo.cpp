#include "SimulatedClock.h"
#include "unit/CQarUnitInfo.h"
#include "unit/clsUnitQuerier.h"

#include <QPointer>
#include <QTest>

class tst_CQarUnitInfo : public QObject {
    Q_OBJECT
private slots:
    void newRecordIsEmpty()
    {
        const CQarUnitInfo r;
        for (const QString& text : { r.model(), r.APN(), r.Phonenum(), r.Serial(), r.ip(), r.UnitID(), r.ProductID() })
            QVERIFY(text.isEmpty());
        for (bool flag : { r.IPOK(), r.PPPConfiged(), r.GPRSConfiged(), r.ConfigSaved(), r.Contacted(), r.DHCPCli(),
                 r.DHCPSrv(), r.GPRS() })
            QVERIFY(!flag);
        QVERIFY(r.Mac().isEmpty());
        QVERIFY(!r.li());
        QCOMPARE(r.Summary().Liveliness(), 0);
    }

    // The command object comes with the record, made for that record, and
    // goes with it; asking for it makes no other.
    void commandObjectIsMadeWithTheRecordAndGoesWithIt()
    {
        SimulatedClock clock;
        const UnitInterfacePrefixes prefixes;
        const qint32 rebootTime = 50;
        const bool cancel = false;
        int made = 0;
        const CQarUnitInfo* madeFor = nullptr;
        QPointer<clsUnitQuerier> querier;
        {
            const auto record = std::make_shared<CQarUnitInfo>([&](CQarUnitInfo& r) {
                ++made;
                madeFor = &r;
                return std::make_unique<clsUnitQuerier>(
                    clock, prefixes, rebootTime, cancel, UnitLog {}, [&r] { return r.Mac(); });
            });
            QCOMPARE(made, 1);
            QCOMPARE(madeFor, record.get());
            querier = record->cuq();
            QVERIFY(querier);
            record->setSerial(QStringLiteral("12345"));
            QCOMPARE(record->cuq(), querier.data());
            QCOMPARE(made, 1);
        }
        QVERIFY(!querier);
        QVERIFY(!CQarUnitInfo().cuq());
    }

    void capabilityFlagsStayFalseWhenOtherFieldsChange()
    {
        CQarUnitInfo r;
        r.setSerial(QStringLiteral("12345"));
        r.setIp(QStringLiteral("198.51.100.7"));
        r.setContacted(true);
        r.setIPOK(true);
        r.setConfigSaved(true);
        r.Summary().setLiveliness(2);
        QVERIFY(!r.DHCPCli());
        QVERIFY(!r.DHCPSrv());
        QVERIFY(!r.GPRS());
        QCOMPARE(r.Summary().Liveliness(), 2);
    }

    void macGetterReturnsACopy()
    {
        CQarUnitInfo r;
        r.setMac(QByteArray::fromHex("000a959d6816"));
        QByteArray got = r.Mac();
        got[0] = '\xff';
        got.data()[5] = '\xee';
        QCOMPARE(r.Mac(), QByteArray::fromHex("000a959d6816"));
    }

    void macSetterStoresACopy()
    {
        CQarUnitInfo r;
        QByteArray mine = QByteArray::fromHex("001122334455");
        r.setMac(mine);
        mine.data()[0] = '\x7f';
        QCOMPARE(r.Mac(), QByteArray::fromHex("001122334455"));
    }
};

QTEST_APPLESS_MAIN(tst_CQarUnitInfo)
#include "tst_CQarUnitInfo.moc"
