// The progress window under a real window manager: kept above other windows
// until it loses the focus, and the close box counted as Cancel.
#include "DesktopTestMain.h"
#include "app/frmProgress.h"

#include <QApplication>
#include <QWidget>

class tst_frmProgressDesktop : public QObject {
    Q_OBJECT
private slots:
    void keptAboveUntilAnotherWindowIsActivated()
    {
        bool cancel = false;
        frmProgress progress(cancel);
        progress.show();
        QVERIFY(QTest::qWaitForWindowActive(&progress));
        QTRY_VERIFY(keptAbove(progress.winId()));
        const QRect placed = progress.geometry();

        // A window that opens later, without taking the focus, still goes
        // under the progress window.
        QWidget other;
        other.setWindowTitle(QStringLiteral("other"));
        other.setAttribute(Qt::WA_ShowWithoutActivating);
        other.setGeometry(placed.adjusted(-20, -20, 20, 20));
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        QTRY_VERIFY(stackingOrder().contains(other.winId()));
        QList<qulonglong> order = stackingOrder();
        QVERIFY2(order.indexOf(progress.winId()) > order.indexOf(other.winId()), "progress below the other window");

        // Turning to the other window lets it cover the progress window.
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QTRY_VERIFY(!keptAbove(progress.winId()));
        QCOMPARE(progress.geometry(), placed);
        QVERIFY(!cancel);
    }

    void closeBoxCancels()
    {
        bool cancel = false;
        frmProgress progress(cancel);
        progress.show();
        QVERIFY(QTest::qWaitForWindowExposed(&progress));
        // The window manager's close, as from the title bar or Alt+F4.
        runX(QStringLiteral("wmctrl"),
            { QStringLiteral("-i"), QStringLiteral("-c"),
                QStringLiteral("0x") + QString::number(progress.winId(), 16) });
        QTRY_VERIFY(!progress.isVisible());
        QVERIFY(cancel);
    }
};

LINKWISE_DESKTOP_TEST_MAIN(tst_frmProgressDesktop, QApplication)
#include "tst_frmProgressDesktop.moc"
