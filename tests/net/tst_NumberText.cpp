#include "net/NumberText.h"

#include <QTest>

#include <limits>

using NumberText::Reading;

Q_DECLARE_METATYPE(std::optional<qint64>)

namespace {
Reading readingNamed(const QString& name)
{
    if (name == u"decimal")
        return NumberText::decimalNumber;
    if (name == u"platform")
        return NumberText::platformNumber;
    return NumberText::wholeNumber;
}
} // namespace

class tst_NumberText : public QObject {
    Q_OBJECT
private slots:
    // reading: "whole", "decimal" or "platform".
    void leadingNumber_data()
    {
        QTest::addColumn<QString>("reading");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("saturated");
        QTest::addColumn<bool>("zero");

        QTest::newRow("plain") << "whole"
                               << "2" << 2.0 << 2 << false;
        QTest::newRow("digits then text") << "whole"
                                          << "3x" << 3.0 << 3 << false;
        QTest::newRow("no number") << "whole"
                                   << "x3" << 0.0 << 0 << true;
        QTest::newRow("empty") << "whole"
                               << "" << 0.0 << 0 << true;
        QTest::newRow("leading blanks") << "whole"
                                        << "  4" << 4.0 << 4 << false;
        QTest::newRow("tab and line feed before it") << "whole"
                                                     << "\t\n7" << 7.0 << 7 << false;
        QTest::newRow("negative") << "whole"
                                  << "-12" << -12.0 << -12 << false;
        QTest::newRow("plus sign") << "whole"
                                   << "+12" << 12.0 << 12 << false;
        QTest::newRow("sign alone") << "whole"
                                    << "-" << 0.0 << 0 << true;
        QTest::newRow("a blank after the sign ends it") << "whole"
                                                        << "- 3" << 0.0 << 0 << true;
        QTest::newRow("a blank inside ends it") << "whole"
                                                << "1 2" << 1.0 << 1 << false;
        QTest::newRow("no fraction read") << "whole"
                                          << "2.9" << 2.0 << 2 << false;
        QTest::newRow("leading zeros") << "whole"
                                       << "007" << 7.0 << 7 << false;
        QTest::newRow("largest 32-bit") << "whole"
                                        << "2147483647" << 2147483647.0 << 2147483647 << false;
        QTest::newRow("beyond 32 bits held at the top")
            << "whole"
            << "99999999999" << 99999999999.0 << std::numeric_limits<qint32>::max() << false;
        QTest::newRow("lowest 32-bit") << "whole"
                                       << "-2147483648" << -2147483648.0 << std::numeric_limits<qint32>::min() << false;
        QTest::newRow("beyond 32 bits held at the bottom")
            << "whole"
            << "-99999999999" << -99999999999.0 << std::numeric_limits<qint32>::min() << false;
        QTest::newRow("other digits than ASCII are none")
            << "whole" << QStringLiteral("\u0661\u0662") << 0.0 << 0 << true;
        QTest::newRow("no radix forms") << "whole"
                                        << "&H1F" << 0.0 << 0 << true;

        QTest::newRow("decimal with a fraction") << "decimal"
                                                 << "+12.5 units" << 12.5 << 12 << false;
        QTest::newRow("decimal point first") << "decimal"
                                             << ".5" << 0.5 << 0 << false;
        QTest::newRow("decimal negative point first") << "decimal"
                                                      << "-.25" << -0.25 << 0 << false;
        QTest::newRow("decimal second point ends it") << "decimal"
                                                      << "1.2.3" << 1.2 << 1 << false;
        QTest::newRow("decimal letters inside") << "decimal"
                                                << "61A00" << 61.0 << 61 << false;
        QTest::newRow("decimal sign and point alone") << "decimal"
                                                      << "-." << 0.0 << 0 << true;
        QTest::newRow("decimal a blank inside ends it") << "decimal"
                                                        << "1 2" << 1.0 << 1 << false;
        QTest::newRow("decimal beyond a double reads as 0") << "decimal" << (QStringLiteral("1") + QString(400, u'0'))
                                                            << 0.0 << std::numeric_limits<qint32>::max() << false;

        QTest::newRow("platform blanks inside skipped") << "platform"
                                                        << " 1 2" << 12.0 << 12 << false;
        QTest::newRow("platform blank after the sign") << "platform"
                                                       << "- 3" << -3.0 << -3 << false;
        QTest::newRow("platform line feed inside") << "platform"
                                                   << "4\n5" << 45.0 << 45 << false;
        QTest::newRow("platform carriage return ends it") << "platform"
                                                          << "4\r5" << 4.0 << 4 << false;
        QTest::newRow("platform zero with a fraction") << "platform"
                                                       << "0.0" << 0.0 << 0 << true;
        QTest::newRow("platform a fraction is no zero") << "platform"
                                                        << "0.05" << 0.05 << 0 << false;
        QTest::newRow("platform hexadecimal") << "platform"
                                              << "&H1f" << 31.0 << 31 << false;
        QTest::newRow("platform hexadecimal in lower case") << "platform"
                                                            << " &h10" << 16.0 << 16 << false;
        QTest::newRow("platform hexadecimal zero") << "platform"
                                                   << "&H00" << 0.0 << 0 << true;
        QTest::newRow("platform hexadecimal with a blank inside") << "platform"
                                                                  << "&H1 0" << 16.0 << 16 << false;
        QTest::newRow("platform octal") << "platform"
                                        << "&O17" << 15.0 << 15 << false;
        QTest::newRow("platform octal ends at 8") << "platform"
                                                  << "&O18" << 1.0 << 1 << false;
        QTest::newRow("platform radix form alone") << "platform"
                                                   << "&H" << 0.0 << 0 << true;
        QTest::newRow("platform radix form after a sign") << "platform"
                                                          << "-&H1" << 0.0 << 0 << true;
        QTest::newRow("platform unknown radix letter") << "platform"
                                                       << "&X5" << 0.0 << 0 << true;
        QTest::newRow("platform hexadecimal beyond a double")
            << "platform" << (QStringLiteral("&H") + QString(300, u'F')) << 0.0 << std::numeric_limits<qint32>::max()
            << false;
    }
    void leadingNumber()
    {
        QFETCH(QString, reading);
        QFETCH(QString, text);
        QFETCH(double, value);
        QFETCH(int, saturated);
        QFETCH(bool, zero);
        const NumberText::Number n = NumberText::read(text, readingNamed(reading));
        QCOMPARE(n.value(), value);
        QCOMPARE(n.saturated(), saturated);
        QCOMPARE(n.isZero(), zero);
    }

    void wholeText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<qint64>>("number");
        QTest::newRow("serial") << "61000" << std::optional<qint64>(61000);
        QTest::newRow("blanks around") << " 10 \t" << std::optional<qint64>(10);
        QTest::newRow("plus sign") << "+5" << std::optional<qint64>(5);
        QTest::newRow("minus sign") << "-5" << std::optional<qint64>(-5);
        QTest::newRow("letters inside") << "61A00" << std::optional<qint64>();
        QTest::newRow("a word after it") << "1 x" << std::optional<qint64>();
        QTest::newRow("a blank inside") << "1 0" << std::optional<qint64>();
        QTest::newRow("decimal") << "610.5" << std::optional<qint64>();
        QTest::newRow("empty") << "" << std::optional<qint64>();
        QTest::newRow("blanks only") << "  " << std::optional<qint64>();
        QTest::newRow("sign alone") << "-" << std::optional<qint64>();
        QTest::newRow("hexadecimal") << "&H10" << std::optional<qint64>();
        QTest::newRow("largest 64-bit") << "9223372036854775807"
                                        << std::optional<qint64>(std::numeric_limits<qint64>::max());
        QTest::newRow("beyond 64 bits") << "9223372036854775808" << std::optional<qint64>();
        QTest::newRow("lowest 64-bit") << "-9223372036854775808"
                                       << std::optional<qint64>(std::numeric_limits<qint64>::min());
        QTest::newRow("below 64 bits") << "-9223372036854775809" << std::optional<qint64>();
        QTest::newRow("leading zeros beyond 64 bits of digits")
            << (QString(30, u'0') + QStringLiteral("42")) << std::optional<qint64>(42);
    }
    void wholeText()
    {
        QFETCH(QString, text);
        QFETCH(std::optional<qint64>, number);
        QCOMPARE(NumberText::wholeText(text), number);
    }
};

QTEST_APPLESS_MAIN(tst_NumberText)
#include "tst_NumberText.moc"
