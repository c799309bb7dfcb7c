// The stay-on-top routines against a real window manager.
#include "DesktopTestMain.h"
#include "net/API.h"

#include <QWindow>

class tst_APIDesktop : public QObject {
    Q_OBJECT
private slots:
    void noWindow()
    {
        QVERIFY(!API::SetTopMost(nullptr));
        QVERIFY(!API::ClearTopMost(nullptr));
    }

    // The routines act on a window that is already on screen, where the
    // window manager must be told, and leave its place and size alone.
    void setAndClearOnAMappedWindow()
    {
        QWindow window;
        window.setGeometry(100, 120, 300, 200);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(!keptAbove(window.winId()));
        const QRect placed = window.geometry();
        const WId id = window.winId();

        QVERIFY(API::SetTopMost(&window));
        QTRY_VERIFY(keptAbove(window.winId()));
        QVERIFY(window.flags().testFlag(Qt::WindowStaysOnTopHint));

        QVERIFY(API::ClearTopMost(&window));
        QTRY_VERIFY(!keptAbove(window.winId()));
        QVERIFY(!window.flags().testFlag(Qt::WindowStaysOnTopHint));

        QCOMPARE(window.winId(), id);
        QCOMPARE(window.geometry(), placed);
    }
};

LINKWISE_DESKTOP_TEST_MAIN(tst_APIDesktop, QGuiApplication)
#include "tst_APIDesktop.moc"
