#pragma once

#include <QByteArray>

#include <array>

// The option negotiation a terminal must answer when it talks to a real
// telnet server (RFC 854, 855, 857, 858). The units' own terminal sends
// none and passes bytes as they are; a standard server asks about terminal
// type, window size, echo and more, and holds the shell back until each
// question is answered. This terminal lets the server echo (ECHO) and drop
// go-aheads (SUPPRESS-GO-AHEAD) and refuses everything else, answering each
// request at most once per change, so that no answer loop can start.
// Plain value code: bytes in, shown text and answers out.
class TelnetNegotiation {
public:
    struct Output {
        // What the screen shows: the data with every command taken out.
        QByteArray data;
        // The answers to send back, as they are.
        QByteArray reply;
    };

    // Takes the next bytes from the server; a command split across two
    // reads is completed by the second.
    Output feed(const QByteArray& bytes);

    // Typed bytes as they must go out: once the server has spoken telnet, a
    // data byte 255 is sent twice so that it is not taken for a command.
    QByteArray escape(const QByteArray& typed) const;

    // True once the server has sent any telnet command.
    bool peerSpeaksTelnet() const { return m_telnet; }

    // Whether an option is in force: on the server's side (it WILL) or ours (we WILL).
    bool serverOption(quint8 option) const { return m_server[option]; }
    bool clientOption(quint8 option) const { return m_client[option]; }

    static constexpr quint8 IAC = 255, DONT = 254, DO = 253, WONT = 252, WILL = 251, SB = 250, SE = 240;
    static constexpr quint8 OptEcho = 1, OptSuppressGoAhead = 3;

private:
    void command(quint8 verb, quint8 option, QByteArray& reply);
    // Sends verb option unless it was the last thing said about that option.
    void answer(quint8 verb, quint8 option, QByteArray& reply);

    enum class State { Data, Command, Option, Sub, SubCommand };
    State m_state = State::Data;
    quint8 m_verb = 0;
    bool m_telnet = false;
    std::array<bool, 256> m_server {};
    std::array<bool, 256> m_client {};
    // The last answer sent about each option, for the server's side (DO or
    // DONT) and for ours (WILL or WONT); 0 before the first.
    std::array<quint8, 256> m_saidServer {};
    std::array<quint8, 256> m_saidClient {};
};
