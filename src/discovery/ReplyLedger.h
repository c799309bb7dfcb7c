#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <vector>

// Which command a unit's reply answers. The command channel carries no
// request id: a reply is known only by the unit that signed it (its key, the
// unit's MAC) and by the time it came. Plain values, no socket; the discovery
// object feeds it every send and every authenticated reply.
//
// The rule:
// - Each datagram sent for a call is owed one answer by the unit it went to.
// - An answer is complete by the call's own rule (its marker, or any text at
//   all); datagrams are not answers: a reply split over several datagrams
//   pays once, when it is complete. The answer to a call's resend pays only
//   when it came after the resend and at least PaySpacingMs after the answer
//   that paid the first send, so that a duplicate or a later part of the same
//   answer never pays twice.
// - A reply from a unit that still owes an ended call belongs to nobody and
//   pays the oldest debt. With a call of that unit open it is ambiguous: it
//   decides no command and pays nothing while an ordinary command awaits its
//   answer; a restart probe, which takes any reply as proof of life, gets it
//   only when all that is owed is other probes' (an earlier command's answer
//   was given before the restart and proves nothing).
// - A reply from a unit that owes nothing goes to its open calls, else to
//   nobody.
// - What is still owed LateGraceMs after the later of its send and the end of
//   its call's wait is taken as lost.
// A new command to a unit that still owes therefore waits, until owedUntil()
// at the most, for the unit to owe nothing before it sends: nothing it then
// receives can be mistaken for its answer.
class ReplyLedger {
public:
    using CallId = quint64;

    // How late after its wait a unit's answer may still come (a unit that
    // answers 6 s after a 5-second command: both answers within 2.5 s of
    // the wait's end, which lasts 4.5 to 5.5 s).
    static constexpr qint64 LateGraceMs = 3000;
    // Half the discovery object's resend interval of one second.
    static constexpr qint64 PaySpacingMs = 500;

    enum class Owner {
        Call, // the open calls named
        Nobody, // late, repeated, or no call of this unit
        Ambiguous, // an open call's, or an ended one's still owed
    };
    struct Verdict {
        Owner owner = Owner::Nobody;
        // The calls the text is credited to: the open calls for Call, the
        // open calls that take any reply for Ambiguous.
        QList<CallId> calls;
    };

    // A call to the unit with this key begins its wait. marker: the text that
    // completes its answer (empty: any text does), matched in caseSensitivity.
    // anyReply: every reply of the unit is welcome, whoever's it is.
    CallId open(const QByteArray& key, const QByteArray& marker = {},
        Qt::CaseSensitivity caseSensitivity = Qt::CaseInsensitive, bool anyReply = false);
    // A datagram of the call left at nowMs (first send or resend, also after
    // its wait ended). Unknown calls are ignored.
    void sent(CallId call, qint64 nowMs);
    // The call's wait is over.
    void end(CallId call, qint64 nowMs);

    // An authenticated reply of the unit with this key, its response texts
    // joined, arrived at nowMs.
    Verdict reply(const QByteArray& key, QByteArrayView text, qint64 nowMs);

    // The unit may still answer a call whose wait has ended.
    bool owes(const QByteArray& key, qint64 nowMs) const;
    // When what the unit still owes lapses (-1 when it owes nothing).
    qint64 owedUntil(const QByteArray& key, qint64 nowMs) const;
    // The unit restarted: what it owed died with it.
    void forget(const QByteArray& key);

    bool isOpen(CallId call) const;
    // The keys whose replies matter now: of open calls and of what is owed.
    QList<QByteArray> keys(qint64 nowMs) const;

private:
    struct Call {
        CallId id = 0;
        QByteArray key;
        QByteArray marker;
        Qt::CaseSensitivity caseSensitivity = Qt::CaseInsensitive;
        bool anyReply = false;
        bool open = true;
        qint64 endedMs = -1;
        QList<qint64> sends;
        qsizetype paid = 0;
        qint64 lastPaidMs = -1;
        // Text since the last payment, for the completion rule.
        QByteArray pending;
    };

    static bool owing(const Call& c, qint64 nowMs);
    static qint64 lapseOf(const Call& c);
    static void take(Call& c, QByteArrayView text, qint64 nowMs);
    Call* find(CallId id);
    // Drops the ended calls that owe nothing any more.
    void prune(qint64 nowMs);

    std::vector<Call> m_calls;
    CallId m_next = 1;
};
