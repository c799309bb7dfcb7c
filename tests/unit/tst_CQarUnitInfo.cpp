#include "RecordingPrompts.h"
#include "SimulatedClock.h"
#include "unit/CQarUnitInfo.h"
#include "unit/clsUnitQuerier.h"

#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>
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

    // A new scan discards the last scan's records and drops them, thousands
    // after a flood: with their commands and terminal sessions never used,
    // nothing else runs meanwhile (each record letting events run would let
    // anything at all happen in the middle of the scan's start).
    void unusedRecordsGoWithoutLettingEventsRun()
    {
        SimulatedClock clock;
        RecordingPrompts prompts;
        QTemporaryDir dir;
        QSettings remote(dir.filePath(QStringLiteral("remote.ini")), QSettings::IniFormat);
        const UnitInterfacePrefixes prefixes;
        const qint32 rebootTime = 50;
        const bool cancel = false;
        auto makeQuerier = [&](CQarUnitInfo& r) {
            return std::make_unique<clsUnitQuerier>(
                clock, prefixes, rebootTime, cancel, UnitLog {}, [&r] { return r.Mac(); },
                std::make_unique<clsTrm>(clock, prompts, TrmOptions { 23, &remote, {} }));
        };
        QList<std::shared_ptr<CQarUnitInfo>> records;
        for (int i = 0; i < 3; ++i)
            records << std::make_shared<CQarUnitInfo>(makeQuerier);
        QVERIFY(records[0]->cuq()->terminal()->isSetUp());
        int ran = 0;
        QObject context;
        QMetaObject::invokeMethod(
            &context, [&] { ++ran; }, Qt::QueuedConnection);
        clock.schedule(0, [&] { ++ran; });
        for (const auto& record : std::as_const(records))
            record->discard();
        QVERIFY(!records[0]->cuq()->terminal()->isSetUp());
        records.clear();
        QCOMPARE(ran, 0);
        clock.advance(1);
        QCOMPARE(ran, 2);
        QCOMPARE(prompts.texts(), QStringList());
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

QTEST_GUILESS_MAIN(tst_CQarUnitInfo)
#include "tst_CQarUnitInfo.moc"
