#include "net/CAdapters.h"
#include "net/CInterfaces.h"

#include <QTest>

namespace {
std::shared_ptr<CAdapter> adapter(qint32 index)
{
    auto a = std::make_shared<CAdapter>();
    a->setInterfaceIndex(index);
    return a;
}
} // namespace

class tst_KeyedRecords : public QObject {
    Q_OBJECT
private slots:
    void addTakesTheRecordOver()
    {
        CAdapters list;
        auto a = adapter(12);
        CAdapter* raw = a.get();
        const auto added = list.Add(std::move(a), CAdapters::keyOf(12));
        QVERIFY(!a);
        QCOMPARE(added.get(), raw);
        QCOMPARE(list.Count(), 1);
    }

    void itemByPositionAndByKey()
    {
        CAdapters list;
        list.Add(adapter(12), QStringLiteral("12"));
        list.Add(adapter(3), QStringLiteral("3"));
        list.Add(adapter(7), QStringLiteral("7"));
        QCOMPARE(list.Item(1)->InterfaceIndex(), 12);
        QCOMPARE(list.Item(3)->InterfaceIndex(), 7);
        QCOMPARE(list.Item(QStringLiteral("3"))->InterfaceIndex(), 3);
        // A key is text: "1" is not the first position.
        QVERIFY(!list.Item(QStringLiteral("1")));
        QVERIFY(!list.Item(0));
        QVERIFY(!list.Item(4));
        QVERIFY(!list.Item(-1));
    }

    void duplicateKeyAddsNothing()
    {
        CAdapters list;
        list.Add(adapter(5), QStringLiteral("5"));
        QVERIFY(!list.Add(adapter(5), QStringLiteral("5")));
        QVERIFY(!list.Add(nullptr, QStringLiteral("6")));
        QCOMPARE(list.Count(), 1);
    }

    void removeKeepsTheOrderOfTheRest()
    {
        CInterfaces list;
        for (qint32 i : { 4, 8, 15, 16 }) {
            auto r = std::make_shared<CInterface>();
            r->setInterfaceIndex(i);
            list.Add(std::move(r), CInterfaces::keyOf(i));
        }
        QVERIFY(list.Remove(QStringLiteral("8")));
        QVERIFY(list.Remove(3)); // 16
        QVERIFY(!list.Remove(QStringLiteral("8")));
        QVERIFY(!list.Remove(3));
        QList<qint32> order;
        for (const auto& r : list)
            order << r->InterfaceIndex();
        QCOMPARE(order, (QList<qint32> { 4, 15 }));
        QCOMPARE(list.records().size(), 2);
    }

    void keyIsDecimalWithoutSign()
    {
        QCOMPARE(CInterfaces::keyOf(0), QStringLiteral("0"));
        QCOMPARE(CInterfaces::keyOf(1234), QStringLiteral("1234"));
        // A row's unsigned index stored bit for bit still reads unsigned.
        QCOMPARE(CInterfaces::keyOf(-1), QStringLiteral("4294967295"));
    }
};

QTEST_MAIN(tst_KeyedRecords)
#include "tst_KeyedRecords.moc"
