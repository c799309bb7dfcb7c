#include "RecordingPrompts.h"
#include "TelnetPeer.h"
#include "app/frmTerminal2.h"
#include "net/SystemClock.h"
#include "session/frmComms.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTimer>

// The terminal window on a session to a peer on loopback: keys typed in its
// screen, text arriving, the serial-number button and every way out.
namespace {

struct Rig {
    SystemClock clock;
    RecordingPrompts prompts;
    TelnetPeer peer;
    QTemporaryDir dir;
    QSettings retries { dir.filePath(QStringLiteral("rm.ini")), QSettings::IniFormat };
    std::unique_ptr<frmTerminal2> w;

    // retrySetting: the remote-management tool's telnet retry count, none when null.
    explicit Rig(bool withSession = true, const QString& retrySetting = QString())
    {
        TrmOptions o;
        o.port = peer.port();
        o.backoffDraw = [] { return 1; };
        if (!retrySetting.isNull()) {
            retries.setValue(QStringLiteral("operationoptions/txtRetryTelnet"), retrySetting);
            o.remoteManagement = &retries;
        }
        w = std::make_unique<frmTerminal2>(
            withSession ? std::make_unique<clsTrm>(clock, prompts, o) : nullptr, prompts);
    }
    // Online without a login, as on a server that asks for none.
    bool connect()
    {
        if (w->connectNow(0, QString(), QString(), QStringLiteral("127.0.0.1"), QString()) != 0)
            return false;
        return QTest::qWaitFor([this] { return !peer.socket.isNull(); }, 5000);
    }
    QString screen() const { return w->txtmsgs->toPlainText(); }
    // Everything sent up to now: a sentinel typed last marks the end.
    QByteArray sentSoFar()
    {
        QTest::sendKeyEvent(QTest::Click, w->txtmsgs, Qt::Key_AsciiTilde, QStringLiteral("~"), Qt::NoModifier);
        if (!QTest::qWaitFor([this] { return peer.received.endsWith('~'); }, 5000))
            return "<sentinel never arrived>";
        return peer.received.chopped(1);
    }
};

} // namespace

class tst_frmTerminal2 : public QObject {
    Q_OBJECT
private slots:
    void keys_data()
    {
        QTest::addColumn<bool>("online");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QString>("screenAfter"); // the screen held "abc" before the key
        const int none = Qt::NoModifier, ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier, alt = Qt::AltModifier,
                  keypad = Qt::KeypadModifier;
        QTest::newRow("letter goes to the unit, not the screen")
            << true << int(Qt::Key_Q) << none << "q" << QByteArray("q") << "abc";
        QTest::newRow("capital") << true << int(Qt::Key_Q) << shift << "Q" << QByteArray("Q") << "abc";
        QTest::newRow("Return sends CR alone")
            << true << int(Qt::Key_Return) << none << "\r" << QByteArray("\r") << "abc";
        QTest::newRow("keypad Enter too") << true << int(Qt::Key_Enter) << keypad << "\r" << QByteArray("\r") << "abc";
        QTest::newRow("Tab stays in the screen")
            << true << int(Qt::Key_Tab) << none << "\t" << QByteArray("\t") << "abc";
        QTest::newRow("Escape") << true << int(Qt::Key_Escape) << none << "\x1b" << QByteArray("\x1b") << "abc";
        QTest::newRow("Ctrl+D sends its control character")
            << true << int(Qt::Key_D) << ctrl << "\x04" << QByteArray("\x04") << "abc";
        QTest::newRow("Ctrl+V is refused in words")
            << true << int(Qt::Key_V) << ctrl << "\x16" << QByteArray("Not Supported") << "abc";
        QTest::newRow("Ctrl+F7 likewise")
            << true << int(Qt::Key_F7) << ctrl << "" << QByteArray("Not Supported") << "abc";
        QTest::newRow("Ctrl+V while offline still says so to nobody")
            << false << int(Qt::Key_V) << ctrl << "\x16" << QByteArray() << "abc";
        QTest::newRow("Ctrl+C copies and sends nothing")
            << true << int(Qt::Key_C) << ctrl << "\x03" << QByteArray() << "abc";
        QTest::newRow("Ctrl+X cuts and sends nothing")
            << true << int(Qt::Key_X) << ctrl << "\x18" << QByteArray() << "abc";
        QTest::newRow("Ctrl+F9 nothing") << true << int(Qt::Key_F9) << ctrl << "" << QByteArray() << "abc";
        QTest::newRow("Ctrl+keypad 3 nothing")
            << true << int(Qt::Key_3) << (ctrl | keypad) << "3" << QByteArray() << "abc";
        QTest::newRow("Ctrl+Shift+C is a control character like any other")
            << true << int(Qt::Key_C) << (ctrl | shift) << "\x03" << QByteArray("\x03") << "abc";
        QTest::newRow("Backspace sends one BS and erases nothing")
            << true << int(Qt::Key_Backspace) << none << "\b" << QByteArray("\b") << "abc";
        QTest::newRow("Delete sends and erases nothing")
            << true << int(Qt::Key_Delete) << none << "\x7f" << QByteArray() << "abc";
        QTest::newRow("Alt with a letter is the desktop's")
            << true << int(Qt::Key_F) << alt << "f" << QByteArray() << "abc";
        QTest::newRow("an arrow moves the caret only")
            << true << int(Qt::Key_Left) << none << "" << QByteArray() << "abc";
        QTest::newRow("a Latin-1 letter goes as its one byte")
            << true << int(Qt::Key_ydiaeresis) << none << QString(QChar(0xff)) << QByteArray("\xff") << "abc";
        QTest::newRow("offline, a letter is written on the screen")
            << false << int(Qt::Key_Q) << none << "q" << QByteArray() << "abcq";
        QTest::newRow("offline, Backspace erases nothing")
            << false << int(Qt::Key_Backspace) << none << "\b" << QByteArray() << "abc";
        QTest::newRow("offline, Delete erases nothing")
            << false << int(Qt::Key_Delete) << none << "\x7f" << QByteArray() << "abc";
        // The clipboard holds "pasted".
        QTest::newRow("Shift+Insert pastes nothing while online")
            << true << int(Qt::Key_Insert) << shift << "" << QByteArray() << "abc";
        QTest::newRow("nor does the keyboard's Paste key")
            << true << int(Qt::Key_Paste) << none << "" << QByteArray() << "abc";
        QTest::newRow("offline, Shift+Insert is the screen's own")
            << false << int(Qt::Key_Insert) << shift << "" << QByteArray() << "abcpasted";
    }
    void keys()
    {
        QFETCH(bool, online);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        QFETCH(QByteArray, sent);
        QFETCH(QString, screenAfter);
        Rig rig;
        if (online)
            QVERIFY(rig.connect());
        QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
        rig.w->messagePrint(QStringLiteral("abc"));
        rig.w->txtmsgs->moveCursor(QTextCursor::End);
        if (key == Qt::Key_Delete || key == Qt::Key_Backspace)
            rig.w->txtmsgs->moveCursor(QTextCursor::PreviousCharacter);
        QTest::sendKeyEvent(QTest::Click, rig.w->txtmsgs, Qt::Key(key), text, Qt::KeyboardModifiers(QFlag(modifiers)));
        QCOMPARE(rig.screen(), screenAfter);
        if (online)
            QCOMPARE(rig.sentSoFar(), sent);
        QVERIFY(rig.prompts.boxes.isEmpty());
    }

    void textArrives_data()
    {
        QTest::addColumn<QStringList>("pieces");
        QTest::addColumn<QString>("screen");
        QTest::addColumn<bool>("pendingCR");
        QTest::newRow("a backspace erases what is on screen") << QStringList { "abc", "\bd" } << "abd" << false;
        QTest::newRow("a backspace after a character in the same piece") << QStringList { "ab\bc" } << "ac" << false;
        QTest::newRow("the erase sequence BS SP BS") << QStringList { "abc", "\b \b" } << "ab" << false;
        QTest::newRow("the same sequence split three ways") << QStringList { "abc", "\b", " ", "\b" } << "ab" << false;
        QTest::newRow("a CR at the end waits") << QStringList { "abc\r" } << "abc" << true;
        QTest::newRow("and comes first with the next piece") << QStringList { "abc\r", "\ndef" } << "abc\ndef" << false;
        QTest::newRow("a waiting CR then an empty piece still waits") << QStringList { "abc\r", "" } << "abc" << true;
        QTest::newRow("NULs vanish, their neighbours stay")
            << QStringList { QString::fromLatin1("a\0b\0", 4) } << "ab" << false;
        QTest::newRow("a telnet bare CR (CR NUL) ends the line")
            << QStringList { QString::fromLatin1("ab\r\0cd", 6) } << "ab\ncd" << false;
        QTest::newRow("a lone LF and a lone CR each end a line") << QStringList { "a\nb\rc" } << "a\nb\nc" << false;
        QTest::newRow("a backspace on an empty screen erases nothing") << QStringList { "\bx" } << "x" << false;
        QTest::newRow("a backspace takes back a line break") << QStringList { "ab\r\n", "\bc" } << "abc" << false;
        QTest::newRow("a lone LF likewise") << QStringList { "ab\n", "\bc" } << "abc" << false;
        QTest::newRow("two take the line break and the character before it")
            << QStringList { "ab\r\n", "\b\bx" } << "ax" << false;
        QTest::newRow("a backspace after a waiting CR takes the CR") << QStringList { "ab\r", "\bc" } << "abc" << false;
        QTest::newRow("within a piece it takes the LF of a CR LF") << QStringList { "ab\r\n\bc" } << "ab\nc" << false;
    }
    void textArrives()
    {
        QFETCH(QStringList, pieces);
        QFETCH(QString, screen);
        QFETCH(bool, pendingCR);
        // Each piece as the session hands one over; the socket's own road
        // is the next test's.
        Rig rig;
        for (const QString& piece : pieces)
            rig.w->messagePrint(piece);
        QCOMPARE(rig.screen(), screen);
        QCOMPARE(rig.w->screen().PendingCR(), pendingCR);
        // Nobody clicked: the next text goes at the end.
        QCOMPARE(rig.w->screen().InsertPos(), qint32(screen.size()));
    }

    // Text goes in at the session's own position wherever the person clicked.
    void textGoesInAtTheSessionsPosition()
    {
        Rig rig;
        QVERIFY(rig.connect());
        rig.peer.send("login ok\r\n> ");
        QTRY_COMPARE(rig.screen(), QStringLiteral("login ok\n> "));
        QTest::mouseClick(rig.w->txtmsgs->viewport(), Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(rig.w->txtmsgs->textCursor().position(), 0);
        rig.peer.send("status");
        QTRY_COMPARE(rig.screen(), QStringLiteral("login ok\n> status"));
    }

    // What the unit sends together with the login's last line is shown at
    // once, not when the unit next sends something.
    void textSentWithTheLoginShowsAtOnce()
    {
        Rig rig;
        rig.peer.greeting = "Username: ";
        rig.peer.onBytes = [&rig](const QByteArray& bytes) {
            if (bytes == "TEMPUSER\r")
                rig.peer.send("password:");
            else if (bytes == "WZKQRVN\r")
                rig.peer.send("SUPER\r\nunit> ");
        };
        QCOMPARE(rig.w->connectNow(
                     0, QStringLiteral("TEMPUSER"), QStringLiteral("WZKQRVN"), QStringLiteral("127.0.0.1"), QString()),
            0);
        QCOMPARE(rig.w->lblStatus->text(), QStringLiteral("Login succesful: "));
        QCOMPARE(rig.screen(), QStringLiteral("unit> "));
    }

    void serialNumberButton()
    {
        Rig rig;
        rig.peer.onBytes = [&rig](const QByteArray& bytes) {
            if (bytes.contains("ATI5\r\n"))
                rig.peer.send("Calvantor CV100\r\nSer#:61234 Rev 1.0\r\nOK\r\n");
        };
        QVERIFY(rig.connect());
        rig.peer.send("> ");
        QTRY_COMPARE(rig.screen(), QStringLiteral("> "));
        // A double click runs one exchange: the button waits for the answer.
        QTest::mouseClick(rig.w->CommandButton1, Qt::LeftButton);
        QTest::mouseDClick(rig.w->CommandButton1, Qt::LeftButton);
        QCOMPARE(rig.screen(), QStringLiteral("> Serial#:61234\n"));
        QTRY_COMPARE(rig.peer.received.count("ATI5"), 1);
        QVERIFY(rig.w->CommandButton1->isEnabled());
        // The exchange's own text does not reach the screen; later text does, after it.
        rig.peer.send("> ");
        QTRY_COMPARE(rig.screen(), QStringLiteral("> Serial#:61234\n> "));
    }

    void waysOut_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Close") << "close button";
        QTest::newRow("the close box") << "close box";
        QTest::newRow("the unit hangs up") << "hang up";
    }
    void waysOut()
    {
        QFETCH(QString, how);
        Rig rig;
        QVERIFY(rig.connect());
        QVERIFY(rig.w->isVisible());
        if (how == u"close button")
            QTest::mouseClick(rig.w->cmdClose, Qt::LeftButton);
        else if (how == u"close box")
            rig.w->close();
        else
            rig.peer.socket->disconnectFromHost();
        QTRY_VERIFY(!rig.w->isVisible());
        QVERIFY(!rig.w->clsrx());
        QTRY_VERIFY(rig.peer.hungUp || how == u"hang up");
        QVERIFY(rig.prompts.boxes.isEmpty());
    }

    // Every way out while the window waits: in the connection's back-off,
    // in the login, in the serial number's exchange. The window goes with
    // its session closed first, the program goes on, and nothing of the
    // session is left.
    void waysOutDuringWaits_data()
    {
        QTest::addColumn<QString>("stage");
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("result"); // of connectNow; 0 when the stage is past it
        QTest::newRow("the unit refuses the password and hangs up") << "login"
                                                                    << "refuse and hang up" << 5;
        QTest::newRow("Close while logging in") << "login"
                                                << "close button" << 5;
        QTest::newRow("the close box while logging in") << "login"
                                                        << "close box" << 5;
        QTest::newRow("the unit hangs up while logging in") << "login"
                                                            << "hang up" << 5;
        QTest::newRow("Close during Get Serial Number") << "serial"
                                                        << "close button" << 0;
        QTest::newRow("the close box during Get Serial Number") << "serial"
                                                                << "close box" << 0;
        QTest::newRow("the unit hangs up during Get Serial Number") << "serial"
                                                                    << "hang up" << 0;
        QTest::newRow("Close while connecting") << "connect"
                                                << "close button" << 4;
        QTest::newRow("the close box while connecting") << "connect"
                                                        << "close box" << 4;
    }
    void waysOutDuringWaits()
    {
        QFETCH(QString, stage);
        QFETCH(QString, how);
        QFETCH(int, result);
        // While connecting, the unit refuses and each refusal is retried
        // after a back-off; the window is closed in the first one.
        Rig rig(true, stage == u"connect" ? QStringLiteral("5") : QString());
        const QPointer<clsTrm> session = rig.w->clsrx();
        QPointer<QObject> comms = session->window();
        bool wayOutTaken = false;
        auto takeWayOut = [&] {
            wayOutTaken = true;
            if (how == u"close button")
                QTest::mouseClick(rig.w->cmdClose, Qt::LeftButton);
            else if (how == u"close box")
                rig.w->close();
            else if (how == u"hang up")
                rig.peer.socket->disconnectFromHost();
            else if (how == u"refuse and hang up") {
                rig.peer.send("\r\nLogin incorrect\r\n");
                rig.peer.socket->disconnectFromHost();
            }
        };
        QString user;
        QString password;
        if (stage == u"connect") {
            rig.peer.server.close();
            QObject::connect(session.data(), &clsTrm::StatusMessage, rig.w.get(), [&](const QString& text) {
                if (text == u"Initiating IP Connection")
                    QTimer::singleShot(100, rig.w.get(), takeWayOut);
            });
        } else if (stage == u"login") {
            user = QStringLiteral("TEMPUSER");
            password = QStringLiteral("WZKQRVN");
            rig.peer.greeting = "Username: ";
            rig.peer.onBytes = [&](const QByteArray& bytes) {
                if (bytes == "TEMPUSER\r")
                    rig.peer.send("password:");
                else if (bytes == "WZKQRVN\r")
                    takeWayOut();
            };
        } else {
            rig.peer.onBytes = [&](const QByteArray& bytes) {
                if (bytes.contains("ATI5"))
                    takeWayOut();
            };
        }
        QElapsedTimer took;
        took.start();
        QCOMPARE(rig.w->connectNow(0, user, password, QStringLiteral("127.0.0.1"), QString()), result);
        if (stage == u"serial") {
            QTRY_VERIFY(!rig.peer.socket.isNull());
            QTest::mouseClick(rig.w->CommandButton1, Qt::LeftButton);
        }
        QVERIFY(wayOutTaken);
        // Returned as soon as the way out was taken, not at a deadline.
        QVERIFY2(took.elapsed() < 5000, qPrintable(QString::number(took.elapsed())));
        QVERIFY(!rig.w->isVisible());
        QVERIFY(!rig.w->clsrx());
        QVERIFY(!rig.w->txtmsgs->toPlainText().contains(QStringLiteral("Serial#:")));
        QVERIFY2(rig.prompts.boxes.isEmpty(), qPrintable(rig.prompts.texts().join(u'|')));
        // The session and its socket are gone, the unit's end closed.
        QTRY_VERIFY(session.isNull());
        QTRY_VERIFY(comms.isNull());
        if (stage != u"connect")
            QTRY_VERIFY(rig.peer.hungUp);
        // Still responsive: a new window talks to a unit at once.
        Rig again;
        QVERIFY(again.connect());
        again.peer.send("> ");
        QTRY_COMPARE(again.screen(), QStringLiteral("> "));
    }

    // Get Serial Number pressed while the login is still under way waits for
    // it: the identity request goes once the session is online, not into the
    // login dialogue.
    void serialNumberAskedDuringTheLogin()
    {
        Rig rig;
        rig.peer.greeting = "Username: ";
        rig.peer.onBytes = [&rig](const QByteArray& bytes) {
            if (bytes == "TEMPUSER\r") {
                QTest::mouseClick(rig.w->CommandButton1, Qt::LeftButton);
                rig.peer.send("password:");
            } else if (bytes == "WZKQRVN\r") {
                rig.peer.send("SUPER\r\nunit> ");
            } else if (bytes.contains("ATI5")) {
                rig.peer.send("Calvantor CV100\r\nSer#:61234 Rev 1.0\r\nOK\r\n");
            }
        };
        QCOMPARE(rig.w->connectNow(
                     0, QStringLiteral("TEMPUSER"), QStringLiteral("WZKQRVN"), QStringLiteral("127.0.0.1"), QString()),
            0);
        QVERIFY(!rig.w->CommandButton1->isEnabled());
        QTRY_COMPARE(rig.screen(), QStringLiteral("unit> Serial#:61234\n"));
        QCOMPARE(rig.peer.received, QByteArray("TEMPUSER\rWZKQRVN\rATI5\r\n"));
        QVERIFY(rig.w->CommandButton1->isEnabled());
        QVERIFY(rig.prompts.boxes.isEmpty());
    }

    // Pressed while the connection is made and the login then fails: no
    // request is sent, and the window goes as for any failed connection.
    void serialNumberAskedBeforeAFailedLogin()
    {
        Rig rig;
        rig.peer.greeting = "Username: ";
        rig.peer.onBytes = [&rig](const QByteArray& bytes) {
            if (bytes == "TEMPUSER\r") {
                QTest::mouseClick(rig.w->CommandButton1, Qt::LeftButton);
                rig.peer.send("Login incorrect\r\n");
                rig.peer.socket->disconnectFromHost();
            }
        };
        QCOMPARE(rig.w->connectNow(
                     0, QStringLiteral("TEMPUSER"), QStringLiteral("WZKQRVN"), QStringLiteral("127.0.0.1"), QString()),
            5);
        QVERIFY(!rig.w->isVisible());
        QTest::qWait(50);
        QVERIFY(!rig.peer.received.contains("ATI5"));
    }

    void connectFailures_data()
    {
        QTest::addColumn<bool>("session");
        QTest::addColumn<int>("method");
        QTest::addColumn<bool>("listening");
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("staysOpen");
        QTest::addColumn<QString>("box");
        QTest::newRow("no session") << false << 0 << true << -1 << true << "Terminal has no interface";
        QTest::newRow("an unknown method") << true << 1 << true << -2 << false << "Unsupported Connect Now Method";
        QTest::newRow("nobody listening") << true << 0 << false << 4 << false << "Failed to connect to : 127.0.0.1";
    }
    void connectFailures()
    {
        QFETCH(bool, session);
        QFETCH(int, method);
        QFETCH(bool, listening);
        QFETCH(int, result);
        QFETCH(bool, staysOpen);
        QFETCH(QString, box);
        Rig rig(session);
        if (!listening)
            rig.peer.server.close();
        QCOMPARE(rig.w->connectNow(method, QString(), QString(), QStringLiteral("127.0.0.1"), QString()), result);
        QCOMPARE(rig.w->isVisible(), staysOpen);
        QCOMPARE(rig.prompts.texts(), QStringList { box });
    }
};

QTEST_MAIN(tst_frmTerminal2)
#include "tst_frmTerminal2.moc"
