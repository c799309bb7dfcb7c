// Copy from the results window onto a real X clipboard, read back by another
// program (xclip) the way an editor or mail client pastes it.
#include "DesktopTestMain.h"
#include "ModalDriver.h"
#include "RtfReadBack.h"
#include "SummaryFixture.h"
#include "app/ModQarShowUnitSummary.h"
#include "app/SummaryRuns.h"

#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextEdit>

namespace {
// What xclip reads from the clipboard as target; it is served by this
// process, so the event loop runs while xclip waits.
QByteArray paste(const QString& target)
{
    QProcess xclip;
    QSignalSpy finished(&xclip, &QProcess::finished);
    xclip.start(QStringLiteral("xclip"),
        { QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-t"),
            target });
    if (!finished.wait(10000))
        return QByteArray("<xclip did not finish>");
    return xclip.readAllStandardOutput();
}

struct Pasted {
    QByteArray targets, rtf, html, text;
};
} // namespace

class tst_frmSummaryDesktop : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("xclip")).isEmpty())
            QSKIP("xclip is not installed (scripts/deps.sh installs it)");
        const QString why = RtfReadBack::unavailableReason();
        if (!why.isEmpty())
            QSKIP(qPrintable(why));
    }

    // A selection in the box plays no part: the whole summary goes, as RTF,
    // HTML and plain text. Copy is clicked or reached with Alt+C.
    void copyPutsTheWholeSummaryOnTheClipboard_data()
    {
        QTest::addColumn<bool>("byKeyboard");
        QTest::newRow("Copy clicked") << false;
        QTest::newRow("Alt+C") << true;
    }
    void copyPutsTheWholeSummaryOnTheClipboard()
    {
        QFETCH(bool, byKeyboard);
        QGuiApplication::clipboard()->setText(QStringLiteral("something older"));
        QByteArray rtf;
        QList<StyledRun> runs;
        Pasted pasted;
        const auto script = whenModal<frmSummary>([&](frmSummary* d) {
            d->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(d));
            rtf = d->rtf();
            runs = d->runs();
            QTextCursor firstLine(d->txtmsgs()->document());
            firstLine.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
            d->txtmsgs()->setTextCursor(firstLine);
            QSignalSpy changed(QGuiApplication::clipboard(), &QClipboard::dataChanged);
            if (byKeyboard)
                QTest::keyClick(d, Qt::Key_C, Qt::AltModifier);
            else
                QTest::mouseClick(d->cmdCopy(), Qt::LeftButton);
            QVERIFY(changed.count() > 0 || changed.wait());
            pasted.targets = paste(QStringLiteral("TARGETS"));
            pasted.rtf = paste(QStringLiteral("text/rtf"));
            pasted.html = paste(QStringLiteral("text/html"));
            pasted.text = paste(QStringLiteral("UTF8_STRING"));
            d->reject();
        });
        ModQar::ShowUnitSummary(summaryUnit(), {});

        for (const char* target : { "text/rtf", "text/html", "UTF8_STRING" })
            QVERIFY2(pasted.targets.contains(target), pasted.targets.constData());
        QCOMPARE(pasted.rtf, rtf);
        QCOMPARE(QString::fromUtf8(pasted.text), SummaryRuns::plainText(runs));

        // The pasted RTF, read by unrtf, and the pasted HTML, read by Qt's
        // HTML reader, both keep the text and every run's look.
        QString error;
        const QString html = RtfReadBack::html(pasted.rtf, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QString why = RtfReadBack::mismatch(runs, RtfReadBack::runsOfHtml(html));
        QVERIFY2(why.isEmpty(), qPrintable(why));
        why = RtfReadBack::mismatch(runs, RtfReadBack::runsOfHtml(QString::fromUtf8(pasted.html)));
        QVERIFY2(why.isEmpty(), qPrintable(why));
    }
};

LINKWISE_DESKTOP_TEST_MAIN(tst_frmSummaryDesktop, QApplication)
#include "tst_frmSummaryDesktop.moc"
