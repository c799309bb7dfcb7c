#include "ModalDriver.h"
#include "RecordingPrompts.h"
#include "RtfReadBack.h"
#include "SummaryFixture.h"
#include "app/ModQarShowUnitSummary.h"
#include "app/SummaryRuns.h"
#include "app/frmSummary.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include <optional>
#include <signal.h>
#include <sys/resource.h>

namespace {
const QStringList kPositionKeys = { QStringLiteral("SummaryLeft"), QStringLiteral("SummaryTop"),
    QStringLiteral("SummaryWidth"), QStringLiteral("SummaryHeight") };

// Puts path into the save dialog's name box and presses Return there. (The
// text is set rather than typed: typing opens the name completer, whose
// popup would take the Return.)
void chooseFile(QFileDialog* d, const QString& path)
{
    auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(name);
    name->setFocus();
    name->setText(path);
    QTest::keyClick(name, Qt::Key_Return);
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// Shows the summary of summaryUnit() and runs act inside it.
void withSummary(frmSummary::Services services, std::function<void(frmSummary*)> act)
{
    const auto script = whenModal<frmSummary>([act](frmSummary* d) {
        d->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(d));
        act(d);
    });
    ModQar::ShowUnitSummary(summaryUnit(), services);
}

// The look of the document at the first character of text.
QTextCharFormat formatOf(const QTextEdit* box, const QString& text)
{
    QTextCursor c = box->document()->find(text);
    if (c.isNull())
        return {};
    c.setPosition(c.selectionStart() + 1);
    return c.charFormat();
}

// A failure box's second line: the system's reason, not a placeholder.
bool hasReason(const QString& text)
{
    const QString reason = text.section(QChar(13), 1);
    return !reason.trimmed().isEmpty() && reason != QLatin1String("Unknown error");
}

struct TwipsStore {
    QTemporaryDir dir;
    QSettings store { dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat };
    QString value(const QString& key) { return store.value(QStringLiteral("Settings/") + key).toString(); }
    void set(const QString& key, const QString& v) { store.setValue(QStringLiteral("Settings/") + key, v); }
};
} // namespace

class tst_frmSummary : public QObject {
    Q_OBJECT
private slots:
    void showsTheUnitModallyAndLetsItGo()
    {
        auto unit = summaryUnit();
        QString caption, text;
        bool readOnly = false, modal = false;
        QTextCharFormat heading, label, success, warning, failure;
        const auto script = whenModal<frmSummary>([&](frmSummary* d) {
            caption = d->windowTitle();
            modal = QApplication::activeModalWidget() == d;
            readOnly = d->txtmsgs()->isReadOnly();
            text = d->txtmsgs()->toPlainText();
            heading = formatOf(d->txtmsgs(), QStringLiteral("Unit Details:"));
            label = formatOf(d->txtmsgs(), QStringLiteral("Reboot operation:"));
            success = formatOf(d->txtmsgs(), QStringLiteral("DNS server assignment succeeded"));
            warning = formatOf(d->txtmsgs(), QStringLiteral("Operation successful but requires system reboot"));
            failure = formatOf(d->txtmsgs(), QStringLiteral("The reboot operation failed"));
            QTest::mouseClick(d->cmdClose(), Qt::LeftButton);
        });
        ModQar::ShowUnitSummary(unit, {});

        QCOMPARE(caption, QStringLiteral("Results Summary for unit with Serial Number: 61001"));
        QVERIFY(modal);
        QVERIFY(readOnly);
        QCOMPARE(text, SummaryRuns::plainText(SummaryRuns::forUnit(*unit)));
        QVERIFY(heading.fontWeight() >= QFont::Bold && heading.fontUnderline());
        QVERIFY(label.fontWeight() >= QFont::Bold && !label.fontUnderline());
        QCOMPARE(success.foreground().color(), QColor(0, 200, 50));
        QCOMPARE(warning.foreground().color(), QColor(255, 128, 0));
        QCOMPARE(failure.foreground().color(), QColor(255, 0, 0));
        QVERIFY(success.fontWeight() < QFont::Bold);
        // Once closed, the window holds the record no longer.
        QCOMPARE(unit.use_count(), 1);
    }

    void everyWayOutCloses_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Close button") << "close";
        QTest::newRow("Return on the default button") << "return";
        QTest::newRow("Esc") << "esc";
        QTest::newRow("File, Exit") << "exit";
        QTest::newRow("close box") << "box";
    }
    void everyWayOutCloses()
    {
        QFETCH(QString, how);
        bool stillOpen = true;
        withSummary({}, [&](frmSummary* d) {
            if (how == QLatin1String("close"))
                QTest::mouseClick(d->cmdClose(), Qt::LeftButton);
            else if (how == QLatin1String("return"))
                QTest::keyClick(d, Qt::Key_Return);
            else if (how == QLatin1String("esc"))
                QTest::keyClick(d, Qt::Key_Escape);
            else if (how == QLatin1String("exit"))
                d->mnuExit()->trigger();
            else
                d->close();
            stillOpen = d->isVisible();
        });
        QVERIFY(!stillOpen);
    }

    void positionComesFromTheSettings_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QList<int>>("twips");
        QTest::newRow("nothing stored: defaults") << QStringList() << QList<int> { 1000, 1000, 6500, 6500 };
        QTest::newRow("stored values") << QStringList { "1500", "2250", "9000", "7500" }
                                       << QList<int> { 1500, 2250, 9000, 7500 };
        QTest::newRow("a value that is no number keeps its default")
            << QStringList { "1500", "abc", "9000", "" } << QList<int> { 1500, 1000, 9000, 6500 };
    }
    void positionComesFromTheSettings()
    {
        QFETCH(QStringList, stored);
        QFETCH(QList<int>, twips);
        TwipsStore s;
        for (qsizetype i = 0; i < stored.size(); ++i)
            s.set(kPositionKeys[i], stored[i]);
        frmSummary w({ &s.store, nullptr });
        const double perPixel = 1440.0 / w.logicalDpiX();
        QCOMPARE(w.pos(), QPoint(qRound(twips[0] / perPixel), qRound(twips[1] / perPixel)));
        QCOMPARE(w.size(), QSize(qRound(twips[2] / perPixel), qRound(twips[3] / perPixel)));
    }

    // Settings written for another screen layout must not hide the window.
    void positionOffEveryScreenIsBroughtBack()
    {
        TwipsStore s;
        s.set(QStringLiteral("SummaryLeft"), QStringLiteral("900000"));
        s.set(QStringLiteral("SummaryTop"), QStringLiteral("-900000"));
        frmSummary w({ &s.store, nullptr });
        QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(w.pos()));
    }

    void closingWritesThePosition()
    {
        TwipsStore s;
        QRect placed;
        withSummary({ &s.store, nullptr }, [&](frmSummary* d) {
            d->move(120, 90);
            d->resize(d->size() + QSize(40, 30));
            // The position keys hold the frame's place and the inner size,
            // as move() and resize() take them back.
            placed = QRect(d->pos(), d->size());
            d->reject();
        });
        const double perPixel = 1440.0 / QGuiApplication::primaryScreen()->logicalDotsPerInchX();
        QCOMPARE(s.value(QStringLiteral("SummaryLeft")).toInt(), qRound(placed.x() * perPixel));
        QCOMPARE(s.value(QStringLiteral("SummaryTop")).toInt(), qRound(placed.y() * perPixel));
        QCOMPARE(s.value(QStringLiteral("SummaryWidth")).toInt(), qRound(placed.width() * perPixel));
        QCOMPARE(s.value(QStringLiteral("SummaryHeight")).toInt(), qRound(placed.height() * perPixel));
    }

    void closingMaximisedKeepsTheStoredPosition()
    {
        TwipsStore s;
        const QStringList before = { "1500", "2250", "9000", "7500" };
        for (int i = 0; i < 4; ++i)
            s.set(kPositionKeys[i], before[i]);
        withSummary({ &s.store, nullptr }, [](frmSummary* d) {
            d->showMaximized();
            QTRY_VERIFY(d->isMaximized());
            d->reject();
        });
        for (int i = 0; i < 4; ++i)
            QCOMPARE(s.value(kPositionKeys[i]), before[i]);
    }

    void saveDialogProposesTheUnitsFile()
    {
        QString title, proposed, suffix;
        QStringList filters;
        withSummary({}, [&](frmSummary* d) {
            const auto chooser = whenModal<QFileDialog>([&](QFileDialog* f) {
                title = f->windowTitle();
                proposed = f->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
                filters = f->nameFilters();
                suffix = f->defaultSuffix();
                f->reject();
            });
            d->mnuSave()->trigger();
        });
        QCOMPARE(title, QStringLiteral("Select filename for summary"));
        QCOMPARE(proposed, QStringLiteral("61001 Wizard Summary"));
        QCOMPARE(filters, QStringList({ "Rich Text Files (*.rtf)", "All Files (*)" }));
        QCOMPARE(suffix, QStringLiteral("rtf"));
    }

    // The file holds the summary's RTF and a line break, and a real reader
    // gets the text and its looks back from it.
    void saveWritesRichText_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::newRow("name without extension") << "report"
                                                << "report.rtf";
        QTest::newRow("name with the extension in capitals") << "REPORT.RTF"
                                                             << "REPORT.RTF";
        QTest::newRow("name with another extension") << "notes.txt"
                                                     << "notes.txt";
        QTest::newRow("name with a dot inside") << "61001.summary"
                                                << "61001.summary";
        QTest::newRow("name with blanks") << "61001 Wizard Summary"
                                          << "61001 Wizard Summary.rtf";
    }
    void saveWritesRichText()
    {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        const QString why = RtfReadBack::unavailableReason();
        if (!why.isEmpty())
            QSKIP(qPrintable(why));
        QTemporaryDir dir;
        RecordingPrompts prompts;
        QByteArray rtf;
        QList<StyledRun> runs;
        withSummary({ nullptr, &prompts }, [&](frmSummary* d) {
            rtf = d->rtf();
            runs = d->runs();
            const auto chooser = whenModal<QFileDialog>([&](QFileDialog* f) { chooseFile(f, dir.filePath(typed)); });
            QTest::keyClick(d, Qt::Key_S, Qt::ControlModifier);
        });
        QVERIFY2(prompts.boxes.isEmpty(), qPrintable(prompts.texts().join(QLatin1Char('|'))));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList { written });
        const QString path = dir.filePath(written);
        QCOMPARE(contents(path), rtf + "\r\n");
        QString error;
        const QString html = RtfReadBack::html(path, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const QString mismatch = RtfReadBack::mismatch(runs, RtfReadBack::runsOfHtml(html));
        QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    }

    // "No" to the overwrite question opens the dialog again; "Yes" replaces.
    void existingFileIsReplacedOnlyAfterYes()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("old.rtf"));
        QVERIFY(writeBytes(path, "old contents"));
        RecordingPrompts prompts;
        prompts.answers = { false, true };
        int dialogs = 0;
        QByteArray rtf;
        QByteArray afterNo;
        withSummary({ nullptr, &prompts }, [&](frmSummary* d) {
            rtf = d->rtf();
            std::optional<ModalScript> second;
            std::function<void(QFileDialog*)> choose = [&](QFileDialog* f) {
                ++dialogs;
                if (dialogs == 1)
                    second.emplace(whenModal<QFileDialog>(choose));
                else
                    afterNo = contents(path);
                chooseFile(f, path);
            };
            const auto first = whenModal<QFileDialog>(choose);
            d->mnuSave()->trigger();
        });
        QCOMPARE(dialogs, 2);
        QCOMPARE(afterNo, QByteArray("old contents"));
        QCOMPARE(prompts.boxes.size(), 2);
        for (const RecordingPrompts::Box& b : prompts.boxes) {
            QCOMPARE(b.text, QStringLiteral("File exists. Overwrite?"));
            QVERIFY(b.question);
            QCOMPARE(b.title, QString());
        }
        QCOMPARE(contents(path), rtf + "\r\n");
    }

    void cancelInTheDialogWritesNothingAndSaysNothing()
    {
        QTemporaryDir dir;
        RecordingPrompts prompts;
        withSummary({ nullptr, &prompts }, [&](frmSummary* d) {
            const auto chooser = whenModal<QFileDialog>([&](QFileDialog* f) {
                f->setDirectory(dir.path());
                QTest::keyClick(f, Qt::Key_Escape);
            });
            d->mnuSave()->trigger();
        });
        QVERIFY(prompts.boxes.isEmpty());
        QVERIFY(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }

    void writeIntoAMissingFolderSaysWhy()
    {
        QTemporaryDir dir;
        RecordingPrompts prompts;
        const QString path = dir.filePath(QStringLiteral("gone/summary.rtf"));
        withSummary({ nullptr, &prompts }, [&](frmSummary* d) {
            const auto chooser = whenModal<QFileDialog>([&](QFileDialog* f) { chooseFile(f, path); });
            d->mnuSave()->trigger();
        });
        QCOMPARE(prompts.boxes.size(), 1);
        const RecordingPrompts::Box box = prompts.boxes.constFirst();
        QVERIFY(!box.question);
        QCOMPARE(box.icon, UserPrompts::Icon::Exclamation);
        QVERIFY2(
            box.text.startsWith(QStringLiteral("The summary could not be saved to ") + path + QStringLiteral(".\r")),
            qPrintable(box.text));
        QVERIFY2(hasReason(box.text), qPrintable(box.text));
        QVERIFY(!QFileInfo::exists(path));
    }

    // A write that fails half-way (here the file-size limit of the process,
    // as a full disk would) leaves the earlier file whole and no fragment.
    void failedWriteLeavesNoHalfFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("kept.rtf"));
        QVERIFY(writeBytes(path, "earlier summary"));
        RecordingPrompts prompts;
        prompts.answers = { true };
        rlimit before {};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &before), 0);
        const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
        withSummary({ nullptr, &prompts }, [&](frmSummary* d) {
            const auto chooser = whenModal<QFileDialog>([&](QFileDialog* f) {
                rlimit small = before;
                small.rlim_cur = 512;
                QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
                chooseFile(f, path);
            });
            d->mnuSave()->trigger();
            setrlimit(RLIMIT_FSIZE, &before);
        });
        setrlimit(RLIMIT_FSIZE, &before);
        signal(SIGXFSZ, oldHandler);

        QVERIFY2(prompts.boxes.size() == 2, qPrintable(prompts.texts().join(QLatin1Char('|'))));
        QVERIFY(prompts.boxes[1].text.startsWith(QStringLiteral("The summary could not be saved to ")));
        QVERIFY2(hasReason(prompts.boxes[1].text), qPrintable(prompts.boxes[1].text));
        QCOMPARE(contents(path), QByteArray("earlier summary"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { "kept.rtf" });
    }
};

QTEST_MAIN(tst_frmSummary)
#include "tst_frmSummary.moc"
