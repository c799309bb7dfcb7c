#include "app/UnitLookup.h"
#include "unit/CQarUnitInfo.h"
#include "unit/UnitListRow.h"

#include <QTest>

namespace {
// A list row that only has its text.
class TextRow final : public UnitListRow {
public:
    explicit TextRow(QString text)
        : m_text(std::move(text))
    { }
    QString text() const override { return m_text; }
    QString subItem(Column) const override { return {}; }
    void setSubItem(Column, const QString&) override { }

private:
    QString m_text;
};

// Serial and row text of one record; a null row text: the record has no row.
using Records = QList<std::pair<QString, QString>>;

std::shared_ptr<CQarUnitInfos> units(const Records& serialAndRow)
{
    auto out = std::make_shared<CQarUnitInfos>();
    for (const auto& [serial, rowText] : serialAndRow) {
        auto unit = std::make_shared<CQarUnitInfo>();
        unit->setSerial(serial);
        if (!rowText.isNull())
            unit->setLi(std::make_shared<TextRow>(rowText));
        (void)out->Add(unit, serial);
    }
    return out;
}
} // namespace

class tst_UnitLookup : public QObject {
    Q_OBJECT
private slots:
    void numericValue_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("whole number") << "61000" << 61000.0;
        QTest::newRow("blanks first, letters after") << "  61A00" << 61.0;
        QTest::newRow("sign and decimals") << "+12.5 units" << 12.5;
        QTest::newRow("negative") << "-3" << -3.0;
        QTest::newRow("no number") << "SN61000" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
    }
    void numericValue()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(UnitLookup::numericValue(text), value);
    }

    void rowNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("whole");
        QTest::addColumn<int>("number");
        QTest::newRow("serial") << "61000" << true << 61000;
        QTest::newRow("blanks around") << " 10 " << true << 10;
        QTest::newRow("leading zeros") << "0061000" << true << 61000;
        QTest::newRow("letters inside") << "61A00" << false << 0;
        QTest::newRow("decimal") << "610.5" << false << 0;
        QTest::newRow("beyond 32 bits") << "4294967296" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
    }
    void rowNumber()
    {
        QFETCH(QString, text);
        QFETCH(bool, whole);
        QFETCH(int, number);
        const std::optional<qint32> n = UnitLookup::rowNumber(text);
        QCOMPARE(n.has_value(), whole);
        if (whole)
            QCOMPARE(*n, number);
    }

    void bySelectedUnitNo_data()
    {
        QTest::addColumn<Records>("records");
        QTest::addColumn<int>("selectedUnitNo");
        QTest::addColumn<QString>("found"); // serial; empty: none
        QTest::newRow("the matching row") << Records { { "61000", "61000" }, { "61001", "61001" } } << 61001 << "61001";
        QTest::newRow("first in collection order of equal value")
            << Records { { "A", "0061000" }, { "B", "61000" } } << 61000 << "A";
        QTest::newRow("row read by its leading number") << Records { { "61A00", "61A00" } } << 61 << "61A00";
        QTest::newRow("a record without a row is passed by")
            << Records { { "X", QString() }, { "61000", "61000" } } << 61000 << "61000";
        QTest::newRow("no match") << Records { { "61000", "61000" } } << 61001 << "";
        QTest::newRow("empty collection") << Records {} << 61000 << "";
    }
    void bySelectedUnitNo()
    {
        QFETCH(Records, records);
        QFETCH(int, selectedUnitNo);
        QFETCH(QString, found);
        const auto unit = UnitLookup::bySelectedUnitNo(units(records), selectedUnitNo);
        QCOMPARE(unit ? unit->Serial() : QString(), found);
    }

    void byRowText_data()
    {
        QTest::addColumn<Records>("records");
        QTest::addColumn<QString>("rowText");
        QTest::addColumn<QString>("found"); // serial; empty: none
        QTest::newRow("the matching row") << Records { { "61000", "61000" }, { "61001", "61001" } } << "61001"
                                          << "61001";
        QTest::newRow("letters in the serial") << Records { { "61", "61" }, { "61A00", "61A00" } } << "61A00"
                                               << "61A00";
        QTest::newRow("beyond 32 bits") << Records { { "0", "0" }, { "4294967296", "4294967296" } } << "4294967296"
                                        << "4294967296";
        QTest::newRow("leading zeros are part of the text")
            << Records { { "0061000", "0061000" }, { "61000", "61000" } } << "61000"
            << "61000";
        QTest::newRow("and find only their own row")
            << Records { { "61000", "61000" }, { "0061000", "0061000" } } << "0061000"
            << "0061000";
        QTest::newRow("letter case counts") << Records { { "61a00", "61a00" } } << "61A00"
                                            << "";
        QTest::newRow("blanks count") << Records { { "61000", "61000" } } << " 61000"
                                      << "";
        QTest::newRow("a record without a row is passed by")
            << Records { { "X", QString() }, { "61000", "61000" } } << "61000"
            << "61000";
        QTest::newRow("empty collection") << Records {} << "61000"
                                          << "";
    }
    void byRowText()
    {
        QFETCH(Records, records);
        QFETCH(QString, rowText);
        QFETCH(QString, found);
        const auto unit = UnitLookup::byRowText(units(records), rowText);
        QCOMPARE(unit ? unit->Serial() : QString(), found);
    }

    void noCollection()
    {
        QVERIFY(!UnitLookup::bySelectedUnitNo(nullptr, 61000));
        QVERIFY(!UnitLookup::byRowText(nullptr, QStringLiteral("61000")));
    }
};

QTEST_MAIN(tst_UnitLookup)
#include "tst_UnitLookup.moc"
