#include "discovery/ReplyLedger.h"

#include <QHash>
#include <QTest>

// Each row is a short history of one conversation with units u1 and u2, one
// step a line:
//   open A [u2] [marker=TEXT] [exact] [any]   a call begins its wait
//   send A MS                                 a datagram of it leaves
//   end A MS                                  its wait is over
//   reply U MS TEXT -> A B | nobody | ambiguous [A]
//   owes U MS yes|no          until U MS MS   forget U
// Times in milliseconds; "_" in TEXT stands for a blank.
class tst_ReplyLedger : public QObject {
    Q_OBJECT

    static QByteArray key(const QString& unit) { return unit.toLatin1() + QByteArray(4, ' '); }

private slots:
    void history_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("prompt unit, one send, next command at once") << QStringList { "open A", "send A 0",
            "reply u1 5 OK -> A", "end A 5", "owes u1 5 no", "open B", "send B 5", "reply u1 6 ERROR -> B" };
        QTest::newRow("1.5 s late: the resend's answer after the wait belongs to nobody")
            << QStringList { "open A", "send A 0", "send A 1000", "reply u1 1500 OK -> A", "end A 1500",
                   "owes u1 1500 yes", "until u1 1500 4500", "reply u1 2500 OK -> nobody", "owes u1 2500 no" };
        QTest::newRow("6 s late: both answers after the time-out, then the next command")
            << QStringList { "open A", "send A 0", "send A 1000", "end A 5000", "until u1 5000 8000",
                   "reply u1 6000 OK -> nobody", "owes u1 6000 yes", "reply u1 7000 OK -> nobody", "owes u1 7000 no",
                   "open B", "send B 7000", "reply u1 7000 ERROR -> B" };
        QTest::newRow("6 s late, the next command sent regardless: nothing decides it") << QStringList { "open A",
            "send A 0", "send A 1000", "end A 5000", "open B", "send B 5000", "reply u1 5000 ERROR -> ambiguous",
            "reply u1 6000 OK -> ambiguous", "reply u1 7000 OK -> ambiguous" };
        QTest::newRow("duplicate read before the next command opens")
            << QStringList { "open A", "send A 0", "reply u1 10 OK -> A", "end A 10", "reply u1 10 OK -> nobody",
                   "owes u1 10 no", "open B", "send B 20", "reply u1 21 ERROR -> B" };
        QTest::newRow("duplicate in the same read: the open call's, paying once")
            << QStringList { "open A", "send A 0", "send A 1000", "reply u1 1100 OK -> A", "reply u1 1100 OK -> A",
                   "end A 1100", "owes u1 1100 yes", "reply u1 2100 OK -> nobody", "owes u1 2100 no" };
        QTest::newRow("duplicate that comes after the next command went out is that command's")
            << QStringList { "open A", "send A 0", "reply u1 10 OK -> A", "end A 10", "open B", "send B 10",
                   "reply u1 12 OK -> B" };
        QTest::newRow("split reply, the marker in the second part")
            << QStringList { "open A marker=Power_Up_Profile: exact", "send A 0", "reply u1 0 OK -> A", "owes u1 0 no",
                   "reply u1 1500 Power_Up_Profile:_x -> A", "end A 1500", "owes u1 1500 no" };
        QTest::newRow("split reply late: the resend's parts pay once the marker is there")
            << QStringList { "open A marker=Power_Up_Profile: exact", "send A 0", "send A 1000",
                   "reply u1 1500 OK -> A", "reply u1 1800 Power_Up_Profile: -> A", "end A 1800",
                   "reply u1 2500 OK -> nobody", "owes u1 2500 yes", "reply u1 2800 Power_Up_Profile: -> nobody",
                   "owes u1 2800 no" };
        QTest::newRow("marker in another letter case completes only a wait that ignores case")
            << QStringList { "open A marker=OK", "open B u2 marker=OK exact", "send A 0", "send B 0",
                   "reply u1 10 ok -> A", "reply u2 10 ok -> B", "end A 10", "end B 10", "owes u1 10 no",
                   "owes u2 10 yes" };
        QTest::newRow("split answer without a marker: two datagrams, one answer") << QStringList { "open A", "send A 0",
            "send A 1000", "reply u1 1500 O -> A", "reply u1 1500 K -> A", "end A 1500", "owes u1 1500 yes" };
        QTest::newRow("lost first datagram, the resend answered: owed until the grace is over")
            << QStringList { "open A", "send A 0", "send A 1000", "reply u1 1000 OK -> A", "end A 1000",
                   "until u1 1000 4000", "owes u1 3999 yes", "owes u1 4000 no" };
        QTest::newRow("never answered: lapses, and a later stray reply belongs to nobody")
            << QStringList { "open A", "send A 0", "send A 1000", "end A 5000", "owes u1 7999 yes", "owes u1 8000 no",
                   "reply u1 8500 OK -> nobody" };
        QTest::newRow("a resend after a zero-second wait is owed too")
            << QStringList { "open A", "send A 0", "end A 400", "send A 1000", "until u1 1000 4000",
                   "reply u1 1100 OK -> nobody", "owes u1 1100 yes", "reply u1 2100 OK -> nobody", "owes u1 2100 no" };
        QTest::newRow("an answer before the resend left cannot pay the resend") << QStringList { "open A", "send A 0",
            "reply u1 900 OK -> A", "reply u1 1500 OK -> A", "send A 1600", "end A 1600", "owes u1 1600 yes" };
        QTest::newRow("another unit's answer is not this call's") << QStringList { "open B u2", "send B 0", "end B 0",
            "open A", "send A 0", "reply u2 1200 OK -> nobody", "owes u2 1200 no", "reply u1 2000 ERROR -> A" };
        QTest::newRow("two calls to one unit both receive the text")
            << QStringList { "open A", "open B", "send A 0", "send B 0", "reply u1 10 OK -> A B" };
        QTest::newRow("restart probes: the answer to reboot is no probe's, a probe's is")
            << QStringList { "open R", "send R 0", "end R 0", "open P any", "send P 0", "reply u1 50 OK -> ambiguous",
                   "end P 2000", "open Q any", "send Q 2000", "reply u1 2000 OK -> ambiguous Q", "end Q 2000",
                   "owes u1 2000 yes", "forget u1", "owes u1 2000 no" };
        QTest::newRow("a command awaited beside a probe learns nothing from what is owed")
            << QStringList { "open P any", "send P 0", "end P 2000", "open A", "open Q any", "send Q 2000",
                   "reply u1 2000 OK -> ambiguous Q", "owes u1 2000 yes" };
    }
    void history()
    {
        QFETCH(QStringList, steps);
        ReplyLedger ledger;
        QHash<QString, ReplyLedger::CallId> calls;
        QHash<ReplyLedger::CallId, QString> names;
        for (const QString& step : std::as_const(steps)) {
            const QStringList w = step.split(u' ', Qt::SkipEmptyParts);
            const QString& op = w[0];
            if (op == u"open") {
                QString unit = QStringLiteral("u1");
                QByteArray marker;
                Qt::CaseSensitivity cs = Qt::CaseInsensitive;
                bool any = false;
                for (const QString& option : w.mid(2)) {
                    if (option.startsWith(u"marker="))
                        marker = option.mid(7).toLatin1().replace('_', ' ');
                    else if (option == u"exact")
                        cs = Qt::CaseSensitive;
                    else if (option == u"any")
                        any = true;
                    else
                        unit = option;
                }
                const ReplyLedger::CallId id = ledger.open(key(unit), marker, cs, any);
                calls.insert(w[1], id);
                names.insert(id, w[1]);
                QVERIFY(ledger.isOpen(id));
            } else if (op == u"send") {
                ledger.sent(calls.value(w[1]), w[2].toLongLong());
            } else if (op == u"end") {
                ledger.end(calls.value(w[1]), w[2].toLongLong());
                QVERIFY(!ledger.isOpen(calls.value(w[1])));
            } else if (op == u"reply") {
                const ReplyLedger::Verdict v
                    = ledger.reply(key(w[1]), w[3].toLatin1().replace('_', ' '), w[2].toLongLong());
                const QStringList expected = w.mid(5);
                QStringList got;
                for (const ReplyLedger::CallId id : v.calls)
                    got << names.value(id);
                if (expected.value(0) == u"nobody") {
                    QVERIFY2(v.owner == ReplyLedger::Owner::Nobody, qPrintable(step));
                    QVERIFY2(got.isEmpty(), qPrintable(step));
                } else if (expected.value(0) == u"ambiguous") {
                    QVERIFY2(v.owner == ReplyLedger::Owner::Ambiguous, qPrintable(step));
                    QCOMPARE(got, expected.mid(1));
                } else {
                    QVERIFY2(v.owner == ReplyLedger::Owner::Call, qPrintable(step));
                    QCOMPARE(got, expected);
                }
            } else if (op == u"owes") {
                QVERIFY2(ledger.owes(key(w[1]), w[2].toLongLong()) == (w[3] == u"yes"), qPrintable(step));
                if (w[3] == u"no")
                    QCOMPARE(ledger.owedUntil(key(w[1]), w[2].toLongLong()), qint64(-1));
            } else if (op == u"until") {
                QCOMPARE(ledger.owedUntil(key(w[1]), w[2].toLongLong()), w[3].toLongLong());
            } else if (op == u"forget") {
                ledger.forget(key(w[1]));
            } else {
                QFAIL(qPrintable(QStringLiteral("unknown step: ") + step));
            }
        }
    }

    // Only the units whose replies matter are worth checking a signature for.
    void keysAreThoseOfOpenAndOwingCalls()
    {
        ReplyLedger ledger;
        QVERIFY(ledger.keys(0).isEmpty());
        const auto a = ledger.open(key("u1"));
        const auto b = ledger.open(key("u2"));
        ledger.sent(a, 0);
        ledger.sent(b, 0);
        QCOMPARE(ledger.keys(0), (QList<QByteArray> { key("u1"), key("u2") }));
        ledger.end(a, 100);
        ledger.reply(key("u2"), "OK", 50);
        ledger.end(b, 100);
        // u1 still owes its answer; u2 has given it.
        QCOMPARE(ledger.keys(100), QList<QByteArray> { key("u1") });
        QVERIFY(ledger.keys(100 + ReplyLedger::LateGraceMs).isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_ReplyLedger)
#include "tst_ReplyLedger.moc"
