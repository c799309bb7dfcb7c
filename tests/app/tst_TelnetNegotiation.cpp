#include "app/TelnetNegotiation.h"

#include <QTest>

#include <initializer_list>

// The answers the terminal gives a telnet server's option questions, and
// what is left to show.
namespace {
constexpr char IAC = char(255), DONT = char(254), DO = char(253), WONT = char(252), WILL = char(251), SB = char(250),
               SE = char(240);
QByteArray bytes(std::initializer_list<char> list)
{
    return QByteArray(list.begin(), qsizetype(list.size()));
}
QByteArray cmd(char verb, int option)
{
    return bytes({ IAC, verb, char(option) });
}
} // namespace

class tst_TelnetNegotiation : public QObject {
    Q_OBJECT
private slots:
    void answers_data()
    {
        QTest::addColumn<QByteArrayList>("reads");
        QTest::addColumn<QByteArray>("shown");
        QTest::addColumn<QByteArray>("answered");
        QTest::newRow("plain text passes")
            << QByteArrayList { "Username: " } << QByteArray("Username: ") << QByteArray();
        QTest::newRow("terminal type and window size refused")
            << QByteArrayList { cmd(DO, 24) + cmd(DO, 31) } << QByteArray() << cmd(WONT, 24) + cmd(WONT, 31);
        QTest::newRow("the server's echo and go-ahead suppression accepted")
            << QByteArrayList { cmd(WILL, 1) + cmd(WILL, 3) } << QByteArray() << cmd(DO, 1) + cmd(DO, 3);
        QTest::newRow("our go-ahead suppression offered when asked")
            << QByteArrayList { cmd(DO, 3) } << QByteArray() << cmd(WILL, 3);
        QTest::newRow("the server's other offers refused")
            << QByteArrayList { cmd(WILL, 37) + cmd(WILL, 5) } << QByteArray() << cmd(DONT, 37) + cmd(DONT, 5);
        QTest::newRow("a question asked twice is answered once")
            << QByteArrayList { cmd(DO, 24), cmd(DO, 24) + cmd(WILL, 1) + cmd(WILL, 1) } << QByteArray()
            << cmd(WONT, 24) + cmd(DO, 1);
        QTest::newRow("a command split across reads")
            << QByteArrayList { "ab" + QByteArray(1, IAC), QByteArray(1, DO), QByteArray(1, char(24)) + "cd" }
            << QByteArray("abcd") << cmd(WONT, 24);
        QTest::newRow("a sub-negotiation is skipped whole")
            << QByteArrayList { "a" + bytes({ IAC, SB, char(24), char(1), IAC, SE }) + "b" } << QByteArray("ab")
            << QByteArray();
        QTest::newRow("a sub-negotiation split across reads")
            << QByteArrayList { bytes({ IAC, SB, char(24) }), bytes({ char(1), IAC }), QByteArray(1, SE) + "z" }
            << QByteArray("z") << QByteArray();
        QTest::newRow("a doubled 255 is one data byte")
            << QByteArrayList { bytes({ 'x', IAC, IAC, 'y' }) } << bytes({ 'x', IAC, 'y' }) << QByteArray();
        QTest::newRow("no-operation and go-ahead carry nothing")
            << QByteArrayList { bytes({ 'x', IAC, char(241), 'y', IAC, char(249) }) } << QByteArray("xy")
            << QByteArray();
        QTest::newRow("the server takes its echo back")
            << QByteArrayList { cmd(WILL, 1), cmd(WONT, 1), cmd(WONT, 1) } << QByteArray() << cmd(DO, 1) + cmd(DONT, 1);
        QTest::newRow("a refusal for an option never agreed is not repeated")
            << QByteArrayList { cmd(WONT, 24) + cmd(DONT, 24) } << QByteArray() << QByteArray();
    }
    void answers()
    {
        QFETCH(QByteArrayList, reads);
        QFETCH(QByteArray, shown);
        QFETCH(QByteArray, answered);
        TelnetNegotiation t;
        QByteArray data, reply;
        for (const QByteArray& r : reads) {
            const TelnetNegotiation::Output out = t.feed(r);
            data += out.data;
            reply += out.reply;
        }
        QCOMPARE(data, shown);
        QCOMPARE(reply, answered);
    }

    // A typed 255 is sent twice only to a server that speaks telnet; a
    // unit's terminal takes every byte as it is.
    void typedByte255()
    {
        TelnetNegotiation t;
        const QByteArray typed = bytes({ 'a', IAC, 'b' });
        QCOMPARE(t.escape(typed), typed);
        (void)t.feed(cmd(WILL, 1));
        QCOMPARE(t.escape(typed), (bytes({ 'a', IAC, IAC, 'b' })));
    }
};

QTEST_MAIN(tst_TelnetNegotiation)
#include "tst_TelnetNegotiation.moc"
