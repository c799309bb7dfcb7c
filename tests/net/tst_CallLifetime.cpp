#include "net/CallLifetime.h"

#include <QObject>
#include <QPointer>
#include <QTest>

#include <memory>

// The rule for objects whose calls wait: released while none of its calls
// runs, an object goes at once; released from inside one, it is ended at
// once and goes as the outermost call returns, a QObject by way of the
// event loop.
namespace {
struct Plain {
    explicit Plain(bool& gone)
        : m_gone(gone)
    { }
    ~Plain() { m_gone = true; }
    CallLifetime& lifetime() { return life; }
    CallLifetime life;
    bool& m_gone;
};

class Watched : public QObject {
public:
    CallLifetime& lifetime() { return life; }
    CallLifetime life;
};
} // namespace

class tst_CallLifetime : public QObject {
    Q_OBJECT
private slots:
    void releasePlain_data()
    {
        QTest::addColumn<int>("depth"); // calls on the stack when released
        QTest::newRow("no call running") << 0;
        QTest::newRow("inside a call") << 1;
        QTest::newRow("inside a call inside a call") << 3;
    }
    void releasePlain()
    {
        QFETCH(int, depth);
        bool gone = false;
        auto owned = std::make_unique<Plain>(gone);
        Plain* object = owned.get();
        // Calls nest as a wait's event runs a second call of the same object.
        std::function<void(int)> call = [&](int level) {
            const CallLifetime::Call scope(object->life);
            if (level < depth) {
                call(level + 1);
                // Back from an inner call, the object is still there.
                QVERIFY(!gone);
                QVERIFY(object->life.ended());
                return;
            }
            CallLifetime::release(std::move(owned));
            QVERIFY(!gone);
            QVERIFY(object->life.ended());
        };
        if (depth == 0) {
            CallLifetime::release(std::move(owned));
        } else {
            call(1);
        }
        QVERIFY(gone);
        QVERIFY(!owned);
    }

    void releaseQObject_data()
    {
        QTest::addColumn<bool>("inCall");
        QTest::newRow("no call running: at once") << false;
        QTest::newRow("inside a call: from the event loop once it is back") << true;
    }
    void releaseQObject()
    {
        QFETCH(bool, inCall);
        auto owned = std::make_unique<Watched>();
        const QPointer<Watched> object = owned.get();
        if (inCall) {
            const CallLifetime::Call scope(object->life);
            CallLifetime::release(std::move(owned));
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(object);
            QVERIFY(object->life.ended());
        } else {
            CallLifetime::release(std::move(owned));
        }
        if (inCall) {
            QVERIFY(object);
            QTRY_VERIFY(object.isNull());
        } else {
            QVERIFY(object.isNull());
        }
    }

    // Ending without giving up: the waits see it, nothing is destroyed.
    void endAlone()
    {
        CallLifetime life;
        QVERIFY(!life.ended());
        {
            const CallLifetime::Call scope(life);
            QVERIFY(life.inCall());
            life.end();
            QVERIFY(life.ended());
        }
        QVERIFY(!life.inCall());
        QVERIFY(life.ended());
    }

    void releaseNothing() { CallLifetime::release(std::unique_ptr<Plain>()); }
};

QTEST_MAIN(tst_CallLifetime)
#include "tst_CallLifetime.moc"
