#include "unit/CQarUnitInfos.h"

#include <QTest>

using Record = CQarUnitInfos::Record;

namespace {
Record makeUnit(const QString& serial)
{
    auto r = std::make_shared<CQarUnitInfo>();
    r->setSerial(serial);
    return r;
}

// A collection holding the serials in this order.
CQarUnitInfos collectionOf(const QStringList& serials)
{
    CQarUnitInfos units;
    for (const QString& s : serials) {
        Record r = makeUnit(s);
        if (!units.Add(r, s))
            qFatal("fixture could not add %s", qPrintable(s));
    }
    return units;
}

QStringList serialsOf(const CQarUnitInfos& units)
{
    QStringList out;
    for (const Record& r : units)
        out << r->Serial();
    return out;
}
} // namespace

class tst_CQarUnitInfos : public QObject {
    Q_OBJECT
private slots:
    void addClearsTheCallersReferenceAndReturnsTheStoredRecord()
    {
        CQarUnitInfos units;
        Record r = makeUnit(QStringLiteral("1001"));
        CQarUnitInfo* const raw = r.get();
        const Record stored = units.Add(r, QStringLiteral("1001"));
        QVERIFY(!r);
        QCOMPARE(stored.get(), raw);
        QCOMPARE(units.Item(QStringLiteral("1001")).get(), raw);
        QCOMPARE(units.Count(), qsizetype(1));
    }

    void addOfAPresentKeyFailsAndChangesNothing_data()
    {
        QTest::addColumn<QString>("secondKey");
        QTest::newRow("same text") << QStringLiteral("ab12");
        QTest::newRow("other letter case") << QStringLiteral("AB12");
    }
    void addOfAPresentKeyFailsAndChangesNothing()
    {
        QFETCH(QString, secondKey);
        CQarUnitInfos units;
        Record first = makeUnit(QStringLiteral("first"));
        const Record kept = units.Add(first, QStringLiteral("ab12"));
        Record second = makeUnit(QStringLiteral("second"));
        CQarUnitInfo* const raw = second.get();
        QVERIFY(!units.Add(second, secondKey));
        QCOMPARE(second.get(), raw); // the caller still has its record
        QCOMPARE(units.Count(), qsizetype(1));
        QCOMPARE(units.Item(secondKey), kept);
    }

    void addOfNoRecordStoresNothing()
    {
        CQarUnitInfos units;
        Record none;
        QVERIFY(!units.Add(none, QStringLiteral("5")));
        QCOMPARE(units.Count(), qsizetype(0));
    }

    void itemOfUnknownKeysAndPositionsIsEmpty_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<qsizetype>("position");
        QTest::newRow("never added serial") << QStringLiteral("9999") << qsizetype(-1);
        QTest::newRow("empty key") << QString() << qsizetype(-1);
        QTest::newRow("position 0") << QString() << qsizetype(0);
        QTest::newRow("position Count + 1") << QString() << qsizetype(4);
        QTest::newRow("negative position") << QString() << qsizetype(-5);
    }
    void itemOfUnknownKeysAndPositionsIsEmpty()
    {
        QFETCH(QString, key);
        QFETCH(qsizetype, position);
        const CQarUnitInfos units = collectionOf({ "11", "22", "33" });
        if (position == -1)
            QVERIFY(!units.Item(key));
        else
            QVERIFY(!units.Item(position));
    }

    void itemByKeyIgnoresCaseAndByPositionCountsFromOne()
    {
        const CQarUnitInfos units = collectionOf({ "sn-a", "SN-B", "sn-c" });
        QCOMPARE(units.Item(QStringLiteral("SN-A"))->Serial(), QStringLiteral("sn-a"));
        QCOMPARE(units.Item(QStringLiteral("sn-b"))->Serial(), QStringLiteral("SN-B"));
        QCOMPARE(units.Item(qsizetype(1))->Serial(), QStringLiteral("sn-a"));
        QCOMPARE(units.Item(qsizetype(3))->Serial(), QStringLiteral("sn-c"));
    }

    void numericTextIsAKeyNotAPosition()
    {
        // Serial numbers are digits; looking one up must never pick a row by
        // its place in the list.
        const CQarUnitInfos units = collectionOf({ "2", "1" });
        QCOMPARE(units.Item(QStringLiteral("1"))->Serial(), QStringLiteral("1"));
        QCOMPARE(units.Item(qsizetype(1))->Serial(), QStringLiteral("2"));
    }

    void removeByKeyOrPosition_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<qsizetype>("position");
        QTest::addColumn<bool>("removed");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("key in the middle")
            << QStringLiteral("22") << qsizetype(-1) << true << QStringList { "11", "33", "x" };
        QTest::newRow("key in other case")
            << QStringLiteral("X") << qsizetype(-1) << true << QStringList { "11", "22", "33" };
        QTest::newRow("unknown key") << QStringLiteral("44") << qsizetype(-1) << false
                                     << QStringList { "11", "22", "33", "x" };
        QTest::newRow("first position") << QString() << qsizetype(1) << true << QStringList { "22", "33", "x" };
        QTest::newRow("last position") << QString() << qsizetype(4) << true << QStringList { "11", "22", "33" };
        QTest::newRow("position past the end")
            << QString() << qsizetype(5) << false << QStringList { "11", "22", "33", "x" };
    }
    void removeByKeyOrPosition()
    {
        QFETCH(QString, key);
        QFETCH(qsizetype, position);
        QFETCH(bool, removed);
        QFETCH(QStringList, left);
        CQarUnitInfos units = collectionOf({ "11", "22", "33", "x" });
        QCOMPARE(position == -1 ? units.Remove(key) : units.Remove(position), removed);
        QCOMPARE(serialsOf(units), left);
        QCOMPARE(units.Count(), left.size());
        // Keys and positions stay in step: what is left is found under its
        // key, and a removed key is free again.
        for (const QString& serial : left)
            QCOMPARE(units.Item(serial)->Serial(), serial);
        for (const QString& serial :
            { QStringLiteral("11"), QStringLiteral("22"), QStringLiteral("33"), QStringLiteral("x") }) {
            if (left.contains(serial))
                continue;
            QVERIFY(!units.Item(serial));
            Record again = makeUnit(serial);
            QVERIFY(units.Add(again, serial));
            QCOMPARE(units.Item(units.Count())->Serial(), serial);
        }
    }

    void enumerationKeepsInsertionOrderAndSkipsRemoved()
    {
        CQarUnitInfos units = collectionOf({ "30", "10", "20", "40" });
        QVERIFY(units.Remove(QStringLiteral("10")));
        Record late = makeUnit(QStringLiteral("5"));
        QVERIFY(units.Add(late, QStringLiteral("5")));
        QCOMPARE(serialsOf(units), (QStringList { "30", "20", "40", "5" }));
    }

    void snapshotWalkVisitsEveryRecordOnceWhileRemoving()
    {
        CQarUnitInfos units = collectionOf({ "1", "2", "3", "4" });
        QStringList visited;
        for (const Record& r : units.NewEnum()) {
            visited << r->Serial();
            if (r->Serial() == QLatin1String("2") || r->Serial() == QLatin1String("3"))
                QVERIFY(units.Remove(r->Serial()));
        }
        QCOMPARE(visited, (QStringList { "1", "2", "3", "4" }));
        QCOMPARE(serialsOf(units), (QStringList { "1", "4" }));
    }

    void recordOutlivesTheCollectionWhileHeldElsewhere()
    {
        std::weak_ptr<CQarUnitInfo> watch;
        Record chosen;
        {
            CQarUnitInfos units = collectionOf({ "77", "88" });
            chosen = units.Item(QStringLiteral("88"));
            watch = units.Item(QStringLiteral("77"));
        }
        QVERIFY(watch.expired());
        QCOMPARE(chosen->Serial(), QStringLiteral("88"));
    }
};

QTEST_APPLESS_MAIN(tst_CQarUnitInfos)
#include "tst_CQarUnitInfos.moc"
