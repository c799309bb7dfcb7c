#include "discovery/ReplyLedger.h"

#include <QString>

#include <algorithm>

ReplyLedger::CallId ReplyLedger::open(
    const QByteArray& key, const QByteArray& marker, Qt::CaseSensitivity caseSensitivity, bool anyReply)
{
    Call c;
    c.id = m_next++;
    c.key = key;
    c.marker = marker;
    c.caseSensitivity = caseSensitivity;
    c.anyReply = anyReply;
    m_calls.push_back(std::move(c));
    return m_calls.back().id;
}

ReplyLedger::Call* ReplyLedger::find(CallId id)
{
    const auto it = std::find_if(m_calls.begin(), m_calls.end(), [id](const Call& c) { return c.id == id; });
    return it == m_calls.end() ? nullptr : &*it;
}

void ReplyLedger::sent(CallId call, qint64 nowMs)
{
    if (Call* c = find(call))
        c->sends.append(nowMs);
}

void ReplyLedger::end(CallId call, qint64 nowMs)
{
    Call* c = find(call);
    if (!c || !c->open)
        return;
    c->open = false;
    c->endedMs = nowMs;
    prune(nowMs);
}

qint64 ReplyLedger::lapseOf(const Call& c)
{
    // Sends are paid oldest first, so the latest one lapses last.
    return qMax(c.sends.back(), c.endedMs) + LateGraceMs;
}

bool ReplyLedger::owing(const Call& c, qint64 nowMs)
{
    if (c.open)
        return false;
    return c.paid < c.sends.size() && lapseOf(c) > nowMs;
}

void ReplyLedger::take(Call& c, QByteArrayView text, qint64 nowMs)
{
    c.pending.append(text.data(), text.size());
    const bool complete = c.marker.isEmpty()
        ? !text.isEmpty()
        : QLatin1String(c.pending).contains(QLatin1String(c.marker), c.caseSensitivity);
    if (!complete)
        return;
    c.pending.clear();
    if (c.paid >= c.sends.size() || c.sends[c.paid] > nowMs)
        return;
    if (c.paid > 0 && nowMs - c.lastPaidMs < PaySpacingMs)
        return;
    ++c.paid;
    c.lastPaidMs = nowMs;
}

void ReplyLedger::prune(qint64 nowMs)
{
    std::erase_if(m_calls, [nowMs](const Call& c) { return !c.open && !owing(c, nowMs); });
}

ReplyLedger::Verdict ReplyLedger::reply(const QByteArray& key, QByteArrayView text, qint64 nowMs)
{
    prune(nowMs);
    Call* owed = nullptr;
    QList<Call*> openCalls;
    for (Call& c : m_calls) {
        if (c.key != key)
            continue;
        if (c.open)
            openCalls.append(&c);
        else if (!owed && owing(c, nowMs))
            owed = &c;
    }
    Verdict v;
    if (owed) {
        // A probe's answer proves the unit up as well as the next probe's;
        // an ordinary command's was given before whatever came since.
        bool probesOnly = true;
        bool awaited = false;
        for (const Call& c : m_calls) {
            if (c.key != key)
                continue;
            probesOnly = probesOnly && (c.anyReply || !owing(c, nowMs));
            awaited = awaited || (c.open && !c.anyReply);
        }
        if (!openCalls.isEmpty())
            v.owner = Owner::Ambiguous;
        for (const Call* c : std::as_const(openCalls))
            if (c->anyReply && probesOnly)
                v.calls.append(c->id);
        // With a command awaiting its answer nothing is known; else the
        // oldest debt is the likeliest.
        if (!awaited) {
            take(*owed, text, nowMs);
            prune(nowMs);
        }
        return v;
    }
    if (openCalls.isEmpty())
        return v;
    v.owner = Owner::Call;
    for (Call* c : std::as_const(openCalls)) {
        take(*c, text, nowMs);
        v.calls.append(c->id);
    }
    return v;
}

bool ReplyLedger::owes(const QByteArray& key, qint64 nowMs) const
{
    return owedUntil(key, nowMs) >= 0;
}

qint64 ReplyLedger::owedUntil(const QByteArray& key, qint64 nowMs) const
{
    qint64 until = -1;
    for (const Call& c : m_calls)
        if (c.key == key && owing(c, nowMs))
            until = qMax(until, lapseOf(c));
    return until;
}

void ReplyLedger::forget(const QByteArray& key)
{
    std::erase_if(m_calls, [&key](const Call& c) { return !c.open && c.key == key; });
}

bool ReplyLedger::isOpen(CallId call) const
{
    return std::any_of(m_calls.begin(), m_calls.end(), [call](const Call& c) { return c.id == call && c.open; });
}

QList<QByteArray> ReplyLedger::keys(qint64 nowMs) const
{
    QList<QByteArray> out;
    for (const Call& c : m_calls)
        if ((c.open || owing(c, nowMs)) && !out.contains(c.key))
            out.append(c.key);
    return out;
}
