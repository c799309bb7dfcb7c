#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// One ICMP echo exchange: the message codec (plain value code) and the send
// and wait over a kernel ICMP socket.
namespace IcmpEcho {

// An echo request (type 8) with its checksum.
QByteArray buildRequest(quint16 identifier, quint16 sequence, const QByteArray& payload);

// The Internet checksum (RFC 1071) of data.
quint16 checksum(const QByteArray& data);

// Whether an ICMP message (no IP header) is the echo reply to our request:
// type 0, code 0, our sequence, our identifier unless checkIdentifier is false
// (a datagram socket's kernel has matched it already), and the data equal to
// payload byte for byte.
bool isReplyTo(const QByteArray& icmp, quint16 identifier, quint16 sequence, const QByteArray& payload,
    bool checkIdentifier = true);

// The ICMP message inside an IPv4 packet as a raw socket hands it over; empty
// when the packet is too short or not IPv4.
QByteArray stripIpHeader(const QByteArray& packet);

enum class SocketKind {
    // A datagram ICMP socket where the kernel allows it, else a raw one.
    Automatic,
    Datagram,
    Raw,
};

// How an exchange waits for its reply: now() is the clock its deadline is
// counted on; readable(fd, deadline) returns true once fd has data, false
// once the deadline has passed without any.
struct ReplyWait {
    std::function<qint64()> now;
    std::function<bool(int fd, qint64 deadlineMs)> readable;
};

// Blocks the calling thread in poll(2), on the monotonic clock.
ReplyWait blockingWait();

// Empty when this process can open an ICMP socket of either kind; else one
// line that says what is missing and the command that grants it.
QString unavailableReason();

// Sends one echo with payload to addressHostOrder and waits at most timeoutMs
// for the reply from that address; true only for a matching reply.
bool echo(
    quint32 addressHostOrder, const QByteArray& payload, qint32 timeoutMs, SocketKind kind = SocketKind::Automatic);
bool echo(
    quint32 addressHostOrder, const QByteArray& payload, qint32 timeoutMs, SocketKind kind, const ReplyWait& wait);

} // namespace IcmpEcho
