#include "SimulatedClock.h"
#include "app/PacedTreeRows.h"

#include <QSignalSpy>
#include <QTest>

namespace {
QStringList texts(const QTreeWidget& tree)
{
    QStringList out;
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        out << tree.topLevelItem(i)->text(0);
    return out;
}
} // namespace

class tst_PacedTreeRows : public QObject {
    Q_OBJECT
private slots:
    void rowsGoInTogetherInOrder_data()
    {
        QTest::addColumn<int>("end");
        QTest::addColumn<int>("current");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("currentText");
        QTest::newRow("log: newest on top and selected")
            << int(PacedTreeRows::End::Top) << int(PacedTreeRows::Current::Newest)
            << QStringList { "d", "c", "b", "a", "old" } << "d";
        QTest::newRow("unit list: appended, the first stays chosen")
            << int(PacedTreeRows::End::Bottom) << int(PacedTreeRows::Current::FirstIfNone)
            << QStringList { "old", "a", "b", "c", "d" } << "old";
    }
    void rowsGoInTogetherInOrder()
    {
        QFETCH(int, end);
        QFETCH(int, current);
        QFETCH(QStringList, shown);
        QFETCH(QString, currentText);
        SimulatedClock clock;
        QTreeWidget tree;
        PacedTreeRows rows(tree, clock, PacedTreeRows::End(end), PacedTreeRows::Current(current), 40);
        rows.add(new QTreeWidgetItem(QStringList { "old" }));
        clock.advance(40);
        QCOMPARE(texts(tree), QStringList { "old" });
        QCOMPARE(tree.currentItem()->text(0), QStringLiteral("old"));

        QSignalSpy inserts(tree.model(), &QAbstractItemModel::rowsInserted);
        for (const char* t : { "a", "b", "c" })
            rows.add(new QTreeWidgetItem(QStringList { QString::fromLatin1(t) }));
        auto* late = new QTreeWidgetItem(QStringList { "x" });
        rows.add(late);
        // A waiting row's texts may still change.
        late->setText(0, QStringLiteral("d"));
        clock.advance(39);
        QCOMPARE(tree.topLevelItemCount(), 1);
        clock.advance(1);
        QCOMPARE(texts(tree), shown);
        QCOMPARE(inserts.size(), 1);
        QCOMPARE(tree.currentItem()->text(0), currentText);
    }

    void flushAndClearActAtOnce()
    {
        SimulatedClock clock;
        QTreeWidget tree;
        PacedTreeRows rows(tree, clock, PacedTreeRows::End::Bottom, PacedTreeRows::Current::FirstIfNone);
        rows.add(new QTreeWidgetItem(QStringList { "a" }));
        QVERIFY(rows.waiting());
        rows.flush();
        QCOMPARE(texts(tree), QStringList { "a" });
        QCOMPARE(tree.currentItem()->text(0), QStringLiteral("a"));

        rows.add(new QTreeWidgetItem(QStringList { "b" }));
        rows.clear();
        QCOMPARE(tree.topLevelItemCount(), 0);
        // Nothing cleared comes back when the interval would have ended.
        clock.advance(1000);
        QCOMPARE(tree.topLevelItemCount(), 0);
        QVERIFY(!rows.waiting());
    }
};

QTEST_MAIN(tst_PacedTreeRows)
#include "tst_PacedTreeRows.moc"
