#include "app/DialogHostPrompt.h"
#include "app/frmTestHostname.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {
// Runs act on the prompt once it is up and modal, from inside its exec().
void whenShown(std::function<void(frmTestHostname&)> act)
{
    QTimer::singleShot(0, [act] {
        auto* prompt = qobject_cast<frmTestHostname*>(QApplication::activeModalWidget());
        QVERIFY(prompt);
        QVERIFY(prompt->isVisible());
        act(*prompt);
        // A prompt the script left open would hold the test in exec().
        if (prompt->isVisible()) {
            prompt->reject();
            QFAIL("the prompt is still open");
        }
    });
}

void typeHost(frmTestHostname& p, const QString& text)
{
    // What the person sees first is the host in the box, all selected, so
    // typing replaces it.
    QCOMPARE(p.txtRemote->selectedText(), p.txtRemote->text());
    QTest::keyClicks(p.txtRemote, text);
}
} // namespace

class tst_frmTestHostname : public QObject {
    Q_OBJECT
private slots:
    void texts()
    {
        frmTestHostname p;
        QCOMPARE(p.windowTitle(), QStringLiteral("Connectivity Test"));
        QCOMPARE(p.Label2->text(), QStringLiteral("Remote Host"));
        QCOMPARE(p.lblPrompt->text(),
            QStringLiteral(
                "Enter the name of the remote unit that the Velmar unit should attempt to communicate with."));
        QCOMPARE(p.OKButton->text(), QStringLiteral("OK"));
        QCOMPARE(p.CancelButton->text(), QStringLiteral("Cancel"));
        QVERIFY(p.OKButton->isDefault());
    }

    // What people do with the prompt, and what the caller's host becomes.
    void answers_data()
    {
        using Act = std::function<void(frmTestHostname&)>;
        QTest::addColumn<Act>("act");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QString>("host");
        QTest::newRow("type and click OK") << Act([](frmTestHostname& p) {
            typeHost(p, QStringLiteral("host.example.org"));
            QTest::mouseClick(p.OKButton, Qt::LeftButton);
        }) << true << "host.example.org";
        QTest::newRow("type and press Return") << Act([](frmTestHostname& p) {
            typeHost(p, QStringLiteral("host.example.org"));
            QTest::keyClick(p.txtRemote, Qt::Key_Return);
        }) << true << "host.example.org";
        QTest::newRow("OK keeps the host offered")
            << Act([](frmTestHostname& p) { p.OKButton->click(); }) << true << "www.example.com";
        QTest::newRow("blanks around the host are dropped") << Act([](frmTestHostname& p) {
            typeHost(p, QStringLiteral("  host.example.org "));
            p.OKButton->click();
        }) << true << "host.example.org";
        QTest::newRow("double click on OK") << Act([](frmTestHostname& p) {
            typeHost(p, QStringLiteral("host.example.org"));
            QTest::mouseClick(p.OKButton, Qt::LeftButton);
            QTest::mouseClick(p.OKButton, Qt::LeftButton, {}, QPoint(), 10);
        }) << true << "host.example.org";
        QTest::newRow("type, then Cancel") << Act([](frmTestHostname& p) {
            typeHost(p, QStringLiteral("host.example.org"));
            QTest::mouseClick(p.CancelButton, Qt::LeftButton);
        }) << false << "www.example.com";
        QTest::newRow("type, then Escape") << Act([](frmTestHostname& p) {
            typeHost(p, QStringLiteral("host.example.org"));
            QTest::keyClick(p.txtRemote, Qt::Key_Escape);
        }) << false << "www.example.com";
        QTest::newRow("type, then close the window") << Act([](frmTestHostname& p) {
            typeHost(p, QStringLiteral("host.example.org"));
            p.close();
        }) << false << "www.example.com";
        QTest::newRow("emptied box: Return does nothing, Cancel ends") << Act([](frmTestHostname& p) {
            p.txtRemote->clear();
            QVERIFY(!p.OKButton->isEnabled());
            QTest::keyClick(p.txtRemote, Qt::Key_Return);
            QVERIFY(p.isVisible());
            p.CancelButton->click();
        }) << false << "www.example.com";
    }
    void answers()
    {
        using Act = std::function<void(frmTestHostname&)>;
        QFETCH(Act, act);
        QFETCH(bool, result);
        QFETCH(QString, host);
        QString testHost = QStringLiteral("www.example.com");
        frmTestHostname p;
        whenShown(act);
        QCOMPARE(p.GetRemote(testHost), result);
        QCOMPARE(p.cancelled(), !result);
        QCOMPARE(testHost, host);
        QVERIFY(!p.isVisible());
    }

    // The unit's test asks through the interface: a new window each time,
    // captioned with the unit's serial number, owned by no other window.
    void dialogHostPrompt()
    {
        DialogHostPrompt prompts;
        QString host = QStringLiteral("first.example.com");
        QStringList seen;
        whenShown([&seen](frmTestHostname& p) {
            seen << p.windowTitle() << p.txtRemote->text();
            QVERIFY(!p.parentWidget());
            QTest::keyClicks(p.txtRemote, QStringLiteral("second.example.com"));
            p.OKButton->click();
        });
        QVERIFY(prompts.GetRemote(QStringLiteral("Serial number: 4711 "), host));
        QCOMPARE(host, QStringLiteral("second.example.com"));
        whenShown([&seen](frmTestHostname& p) {
            seen << p.windowTitle() << p.txtRemote->text();
            p.CancelButton->click();
        });
        QVERIFY(!prompts.GetRemote(QStringLiteral("Serial number: 4712 "), host));
        QCOMPARE(host, QStringLiteral("second.example.com"));
        QCOMPARE(seen,
            (QStringList { "Serial number: 4711 Connectivity Test", "first.example.com",
                "Serial number: 4712 Connectivity Test", "second.example.com" }));
    }
};

QTEST_MAIN(tst_frmTestHostname)
#include "tst_frmTestHostname.moc"
