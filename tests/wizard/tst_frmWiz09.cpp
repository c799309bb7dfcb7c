// The cellular settings page through the router, with stand-ins for the
// option page before it and the test page after it.
#include "SettingsPageRig.h"
#include "wizard/ProgramFiles.h"
#include "wizard/frmWiz09.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace {
void type(QLineEdit* box, const QString& text)
{
    box->setFocus();
    QTest::keyClicks(box, text);
}

bool writeFile(const QString& path, const QByteArray& content = "<html></html>")
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
}
} // namespace

class tst_frmWiz09 : public QObject {
    Q_OBJECT
private slots:
    void nextStoresWhatWasTyped_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QStringList>("stored");
        QTest::newRow("all four empty") << QStringList { "", "", "", "" } << QStringList { "!", "!", "!", "!" };
        QTest::newRow("only the APN") << QStringList { "internet", "", "", "" }
                                      << QStringList { "internet", "!", "!", "!" };
        QTest::newRow("all four, blanks and quotes kept") << QStringList { " web.apn ", "0000", "  ", "pa\"ss" }
                                                          << QStringList { " web.apn ", "0000", "  ", "pa\"ss" };
    }
    void nextStoresWhatWasTyped()
    {
        QFETCH(QStringList, typed);
        QFETCH(QStringList, stored);
        SettingsPageRig rig;
        frmWiz09* page = rig.open();
        QVERIFY(page);
        QCOMPARE(page->focusWidget(), page->txtAPN);
        const QList<QLineEdit*> boxes { page->txtAPN, page->txtPIN, page->txtUserName, page->txtPassword };
        for (int i = 0; i < 4; ++i)
            type(boxes[i], typed[i]);
        QCOMPARE(page->txtPassword->echoMode(), QLineEdit::Normal);
        QTest::mouseClick(page->cmdNext, Qt::LeftButton);
        QCOMPARE(
            (QStringList { rig.state.GPRSAPN, rig.state.GPRSPIN, rig.state.GPRSUser, rig.state.GPRSPassword }), stored);
        QCOMPARE(rig.startups, QList<PageId> { PageId::Wiz10 });
        QCOMPARE(rig.currentId(), PageId::Wiz10);
        QCOMPARE(rig.ends, 0);
    }

    // Return (either key) moves down the boxes and is Next in the last one;
    // what it leaves in the boxes is what was typed.
    void returnMovesDownTheBoxes_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
    }
    void returnMovesDownTheBoxes()
    {
        QFETCH(int, key);
        const Qt::KeyboardModifiers mods = key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
        SettingsPageRig rig;
        frmWiz09* page = rig.open();
        QVERIFY(page);
        const QList<QLineEdit*> order { page->txtAPN, page->txtPIN, page->txtUserName, page->txtPassword };
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(QApplication::focusWidget(), order[i]);
            QTest::keyClicks(order[i], QStringLiteral("v%1").arg(i));
            QTest::keyClick(order[i], Qt::Key(key), mods);
            QCOMPARE(order[i]->text(), QStringLiteral("v%1").arg(i));
            QCOMPARE(rig.currentId(), PageId::Wiz09);
        }
        QCOMPARE(QApplication::focusWidget(), page->txtPassword);
        QTest::keyClick(page->txtPassword, Qt::Key(key), mods);
        QCOMPARE(rig.startups, QList<PageId> { PageId::Wiz10 });
        QCOMPARE((QStringList { rig.state.GPRSAPN, rig.state.GPRSPIN, rig.state.GPRSUser, rig.state.GPRSPassword }),
            (QStringList { "v0", "v1", "v2", "!" }));
    }

    // Alt with a button's letter presses it from anywhere on the page.
    void altKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("helpOpened");
        QTest::newRow("Alt+N: the test page, its startup run") << int(Qt::Key_N) << int(PageId::Wiz10) << 0;
        QTest::newRow("Alt+B: the option page, its probe run again") << int(Qt::Key_B) << int(PageId::Wiz08) << 0;
        QTest::newRow("Alt+H: the help page, the page stays") << int(Qt::Key_H) << int(PageId::Wiz09) << 1;
    }
    void altKeys()
    {
        QFETCH(int, key);
        QFETCH(int, page);
        QFETCH(int, helpOpened);
        QTemporaryDir folder;
        QVERIFY(writeFile(folder.filePath(frmWiz09::helpPage())));
        SettingsPageRig rig(folder.path());
        frmWiz09* settings = rig.open();
        QVERIFY(settings);
        settings->txtPIN->setFocus();
        QTest::keyClick(settings->txtPIN, Qt::Key(key), Qt::AltModifier);
        // Alt+letter presses the button as a click with its 100 ms press.
        QTest::qWait(250);
        QCOMPARE(int(rig.currentId()), page);
        QCOMPARE(rig.startups.size(), page == int(PageId::Wiz09) ? 0 : 1);
        QCOMPARE(rig.opened.size(), helpOpened);
    }

    // Back repeats the option page's probe; coming forward again shows the
    // boxes empty, whatever was stored.
    void backThenForwardStartsEmpty()
    {
        SettingsPageRig rig;
        frmWiz09* page = rig.open();
        QVERIFY(page);
        type(page->txtAPN, QStringLiteral("internet"));
        QTest::mouseClick(page->cmdNext, Qt::LeftButton);
        auto* test = dynamic_cast<StubPage*>(rig.router->current());
        QVERIFY(test);
        QVERIFY(test->press(PageGraph::Button::Back));
        page = qobject_cast<frmWiz09*>(rig.router->current());
        QVERIFY(page);
        QCOMPARE(page->txtAPN->text(), QString());
        QCOMPARE(rig.state.GPRSAPN, QStringLiteral("internet"));

        QTest::mouseClick(page->cmdBack, Qt::LeftButton);
        QCOMPARE(rig.currentId(), PageId::Wiz08);
        QCOMPARE(rig.startups, (QList<PageId> { PageId::Wiz10, PageId::Wiz08 }));
        WizardFixture::flushDeletes();
        QVERIFY(!rig.router->page(PageId::Wiz09));
        auto* option = dynamic_cast<StubPage*>(rig.router->current());
        QVERIFY(option->press(PageGraph::Button::Next));
        page = qobject_cast<frmWiz09*>(rig.router->current());
        QVERIFY(page);
        for (const QLineEdit* box : { page->txtAPN, page->txtPIN, page->txtUserName, page->txtPassword })
            QCOMPARE(box->text(), QString());
    }

    // Help opens the page beside the program, or under the install prefix's
    // share folder; none there shows nothing and the page goes on.
    void helpFindsItsPage_data()
    {
        QTest::addColumn<QString>("programFolder");
        QTest::addColumn<QString>("file");
        QTest::newRow("beside the program") << ""
                                            << "help/apn_and_pin.htm";
        QTest::newRow("installed: bin and share/linkwise") << "bin"
                                                           << "share/linkwise/help/apn_and_pin.htm";
        QTest::newRow("missing") << ""
                                 << "";
    }
    void helpFindsItsPage()
    {
        QFETCH(QString, programFolder);
        QFETCH(QString, file);
        QTemporaryDir root;
        const QString folder = root.filePath(programFolder);
        QVERIFY(QDir().mkpath(folder));
        if (!file.isEmpty())
            QVERIFY(writeFile(root.filePath(file)));
        SettingsPageRig rig(folder);
        frmWiz09* page = rig.open();
        QVERIFY(page);
        QTest::mouseClick(page->cmdHelp, Qt::LeftButton);
        if (file.isEmpty()) {
            QVERIFY(rig.opened.isEmpty());
        } else {
            QCOMPARE(rig.opened.size(), 1);
            QCOMPARE(QFileInfo(rig.opened[0].toLocalFile()).canonicalFilePath(),
                QFileInfo(root.filePath(file)).canonicalFilePath());
        }
        QVERIFY(rig.prompts.boxes.isEmpty());
        QCOMPARE(rig.currentId(), PageId::Wiz09);
        QVERIFY(page->isEnabled());
        QTest::mouseClick(page->cmdNext, Qt::LeftButton);
        QCOMPARE(rig.currentId(), PageId::Wiz10);
    }

    // The help page as written, beside the built program and where an
    // install puts it, which is where the installed program looks.
    void helpIsInstalledWhereTheProgramLooks()
    {
        const QString cmake = QStandardPaths::findExecutable(QStringLiteral("cmake"));
        if (cmake.isEmpty())
            QSKIP("cmake is not installed");
        QFile source(qEnvironmentVariable("LINKWISE_SOURCE_DIR") + QStringLiteral("/help/apn_and_pin.htm"));
        QVERIFY(source.open(QIODevice::ReadOnly));
        const QByteArray written = source.readAll();
        QVERIFY(written.contains("APN"));

        const QString buildDir = qEnvironmentVariable("LINKWISE_BUILD_DIR");
        QFile built(ProgramFiles::find(buildDir + QStringLiteral("/src"), frmWiz09::helpPage()));
        QVERIFY(built.open(QIODevice::ReadOnly));
        QCOMPARE(built.readAll(), written);

        QTemporaryDir prefix;
        QProcess install;
        install.start(cmake,
            { QStringLiteral("--install"), buildDir, QStringLiteral("--prefix"), prefix.path(),
                QStringLiteral("--component"), QStringLiteral("help") });
        QVERIFY(install.waitForFinished(60000));
        QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());
        QFile installed(ProgramFiles::find(prefix.filePath(QStringLiteral("bin")), frmWiz09::helpPage()));
        QVERIFY(installed.open(QIODevice::ReadOnly));
        QCOMPARE(installed.fileName(), prefix.filePath(QStringLiteral("share/linkwise/help/apn_and_pin.htm")));
        QCOMPARE(installed.readAll(), written);
    }
};

QTEST_MAIN(tst_frmWiz09)
#include "tst_frmWiz09.moc"
