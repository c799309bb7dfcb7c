#include "ModalDriver.h"
#include "app/frmDiscoveryComplete.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

class tst_frmDiscoveryComplete : public QObject {
    Q_OBJECT
private slots:
    void showsTheTasksOfTheConfigurationPhase()
    {
        frmDiscoveryComplete notice;
        QCOMPARE(notice.windowTitle(), QStringLiteral("Discovery Results"));
        QCOMPARE(notice.Label1()->text(), QStringLiteral("Discovery Results:"));
        const QString expected
            = QStringLiteral("The discovery phase has completed. The configuration phase is next.\n"
                             "This phase performs tasks like:\n"
                             "\n"
                             "1) Assign and confirm the local IP address of the Calvantor Unit.\n"
                             "2) Configure the GPRS module if present on the unit.\n"
                             "3) Save the configuration in the unit.\n"
                             "4) Reboot the Calvantor unit.\n"
                             "5) Establish and confirm an internet connection.\n"
                             "6) Configure the Calvantor unit as this PC's gateway to the internet.");
        QCOMPARE(notice.lblPrompt()->text(), expected);
        // The program's own text breaks lines with a lone carriage return.
        QCOMPARE(frmDiscoveryComplete::promptText(), QString(expected).replace(QChar(10), QChar(13)));
        QCOMPARE(notice.lblHowMany()->text(), QString());
        QCOMPARE(notice.lblQuery()->text(), QString());
    }

    void answers_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("response");
        QTest::newRow("Next") << "next" << true;
        QTest::newRow("Return") << "return" << true;
        QTest::newRow("Alt+N") << "alt+n" << true;
        QTest::newRow("Cancel") << "cancel" << false;
        QTest::newRow("Esc") << "esc" << false;
        QTest::newRow("close box") << "close" << false;
    }
    void answers()
    {
        QFETCH(QString, how);
        QFETCH(bool, response);
        frmDiscoveryComplete notice;
        const auto script = whenModal<frmDiscoveryComplete>([how](frmDiscoveryComplete* d) {
            d->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(d));
            if (how == QLatin1String("next")) {
                QTest::mouseClick(d->NextButton(), Qt::LeftButton);
            } else if (how == QLatin1String("return")) {
                QTest::keyClick(d, Qt::Key_Return);
            } else if (how == QLatin1String("alt+n")) {
                QTest::keyClick(d, Qt::Key_N, Qt::AltModifier);
                // A mnemonic clicks after the button's press animation.
                QTRY_VERIFY(!d->isVisible());
            } else if (how == QLatin1String("cancel")) {
                QTest::mouseClick(d->CancelButton(), Qt::LeftButton);
            } else if (how == QLatin1String("esc")) {
                QTest::keyClick(d, Qt::Key_Escape);
            } else {
                d->close();
            }
        });
        QCOMPARE(notice.GetResponse(), response);
    }
};

QTEST_MAIN(tst_frmDiscoveryComplete)
#include "tst_frmDiscoveryComplete.moc"
