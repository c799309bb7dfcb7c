#include "RtfReadBack.h"
#include "app/RtfWriter.h"

#include <QTest>

using namespace TextStyles;

namespace {
const TextStyle kItalic { false, false, true, TextStyle::rgb(10, 20, 30) };
}

class tst_RtfWriter : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        const QString why = RtfReadBack::unavailableReason();
        if (!why.isEmpty())
            QSKIP(qPrintable(why));
    }

    // What is written comes back through unrtf with the same text, bold,
    // underline, italic and colour.
    void readBackByARealReader_data()
    {
        QTest::addColumn<QList<StyledRun>>("runs");
        QTest::newRow("the six looks with line breaks") << QList<StyledRun> {
            { QStringLiteral("Velmar Wizard results summary:\r\n"), HeadingStyle },
            { QStringLiteral("\r\nReboot operation:"), LabelStyle },
            { QStringLiteral(" "), PlainStyle },
            { QStringLiteral("Unit rebooted successfully"), SuccessStyle },
            { QStringLiteral("\r\nPC Gateway Assignment:"), LabelStyle },
            { QStringLiteral(" "), PlainStyle },
            { QStringLiteral("Operation successful but requires system reboot (10.0.0.1)"), WarningStyle },
            { QStringLiteral("\r\nReboot operation:"), LabelStyle },
            { QStringLiteral(" "), PlainStyle },
            { QStringLiteral("The reboot operation failed"), FailureStyle },
        };
        QTest::newRow("the format's own characters") << QList<StyledRun> {
            { QStringLiteral("{braces} and \\back\\slashes\\ and \\par"), FailureStyle },
        };
        QTest::newRow("text beyond ASCII") << QList<StyledRun> {
            { QStringLiteral("Caf\u00e9 20\u20ac na\u00efve \u00c5ngstr\u00f6m \u65e5\u672c"), LabelStyle },
            { QStringLiteral(" \U0001F600 after"), SuccessStyle },
        };
        QTest::newRow("digits and letters right after a change of look") << QList<StyledRun> {
            { QStringLiteral("Unit ID:"), LabelStyle },
            { QStringLiteral("5units"), PlainStyle },
            { QStringLiteral("b0ld"), HeadingStyle },
        };
        QTest::newRow("italic and an odd colour") << QList<StyledRun> {
            { QStringLiteral("slanted"), kItalic },
            { QStringLiteral(" upright"), PlainStyle },
        };
        QTest::newRow("breaks of every kind") << QList<StyledRun> {
            { QStringLiteral("one\rtwo\nthree\r\nfour"), PlainStyle },
            { QStringLiteral("\r\nfive"), WarningStyle },
        };
    }
    void readBackByARealReader()
    {
        QFETCH(QList<StyledRun>, runs);
        QString error;
        const QString html = RtfReadBack::html(RtfWriter::write(runs, { QStringLiteral("DejaVu Sans"), 10 }), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const QString why = RtfReadBack::mismatch(runs, RtfReadBack::runsOfHtml(html));
        QVERIFY2(why.isEmpty(), qPrintable(why + QStringLiteral("\n--- html\n") + html));
    }

    // The document is 7-bit text whatever the runs hold, so it survives any
    // clipboard or file encoding.
    void outputIsSevenBit()
    {
        const QByteArray rtf = RtfWriter::write(
            { { QStringLiteral("\u00e9\u20ac\U0001F600\t\x01"), PlainStyle } }, { QStringLiteral("F\u00f6nt;x"), 9 });
        for (char c : rtf)
            QVERIFY2(uchar(c) < 0x80, rtf.constData());
        QVERIFY(rtf.startsWith("{\\rtf1"));
        QVERIFY(rtf.endsWith('}'));
    }
};

QTEST_MAIN(tst_RtfWriter)
#include "tst_RtfWriter.moc"
