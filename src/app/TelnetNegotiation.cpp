#include "app/TelnetNegotiation.h"

TelnetNegotiation::Output TelnetNegotiation::feed(const QByteArray& bytes)
{
    Output out;
    for (const char c : bytes) {
        const auto b = quint8(c);
        switch (m_state) {
        case State::Data:
            if (b == IAC)
                m_state = State::Command;
            else
                out.data += c;
            break;
        case State::Command:
            m_telnet = true;
            if (b == IAC) {
                out.data += c;
                m_state = State::Data;
            } else if (b == WILL || b == WONT || b == DO || b == DONT) {
                m_verb = b;
                m_state = State::Option;
            } else if (b == SB) {
                m_state = State::Sub;
            } else {
                // NOP, go-ahead, data mark, break and the rest carry nothing to show.
                m_state = State::Data;
            }
            break;
        case State::Option:
            command(m_verb, b, out.reply);
            m_state = State::Data;
            break;
        case State::Sub:
            // Sub-negotiation is only ever started for options this side
            // accepted, and it accepts none that have any: skip to its end.
            if (b == IAC)
                m_state = State::SubCommand;
            break;
        case State::SubCommand:
            m_state = b == SE ? State::Data : State::Sub;
            break;
        }
    }
    return out;
}

void TelnetNegotiation::answer(quint8 verb, quint8 option, QByteArray& reply)
{
    quint8& said = verb == DO || verb == DONT ? m_saidServer[option] : m_saidClient[option];
    if (said == verb)
        return;
    said = verb;
    reply += char(IAC);
    reply += char(verb);
    reply += char(option);
}

void TelnetNegotiation::command(quint8 verb, quint8 option, QByteArray& reply)
{
    const bool wanted = option == OptEcho || option == OptSuppressGoAhead;
    switch (verb) {
    case WILL:
        if (m_server[option])
            return;
        if (wanted) {
            m_server[option] = true;
            answer(DO, option, reply);
        } else {
            answer(DONT, option, reply);
        }
        break;
    case WONT:
        if (m_server[option]) {
            m_server[option] = false;
            answer(DONT, option, reply);
        }
        break;
    case DO:
        if (m_client[option])
            return;
        if (option == OptSuppressGoAhead) {
            m_client[option] = true;
            answer(WILL, option, reply);
        } else {
            answer(WONT, option, reply);
        }
        break;
    case DONT:
        if (m_client[option]) {
            m_client[option] = false;
            answer(WONT, option, reply);
        }
        break;
    default:
        break;
    }
}

QByteArray TelnetNegotiation::escape(const QByteArray& typed) const
{
    if (!m_telnet || !typed.contains(char(IAC)))
        return typed;
    QByteArray out;
    out.reserve(typed.size() + 4);
    for (const char c : typed) {
        out += c;
        if (quint8(c) == IAC)
            out += c;
    }
    return out;
}
