#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

// The discovery datagram: [prefix] CR {type, length high, length low, payload}
// 0x00 authenticator(16). One byte per character throughout; nothing here
// touches a socket.
namespace RuraCodec {

enum RecordType : qint32 {
    RuraEnd = 0,
    RuraQuery = 1,
    RuraIdRecord = 2,
    RuraCommand = 3,
    RuraCommandResponse = 5,
};

constexpr char CR = '\r';
constexpr qsizetype AuthenticatorSize = 16;
constexpr qsizetype MinimumDatagramSize = 21;
constexpr qsizetype MaxPayload = 65535;
constexpr qsizetype MaxTextPayload = 1400;

// The identity lines a unit reports. ModelId is written only when not empty.
struct IdentityTexts {
    QByteArray IPadd;
    QByteArray SN;
    QByteArray UnitId;
    QByteArray ProductId;
    QByteArray ModelId;
};

// A 6-byte key from a MAC: its first six bytes, or 6 spaces when it is shorter.
QByteArray getstrMac(QByteArrayView mac);

// The addressee prefix: the id itself when its leading number is not 0, else "".
QByteArray PrefixFor(const QString& id);

QByteArray BuildCommandRecordPayload(QByteArrayView text);
QByteArray BuildTextRecordPayload(QByteArrayView text);
QByteArray BuildIdRecordPayload(QByteArrayView key, const IdentityTexts& identity);

// Appends one record; first starts the packet afresh, last adds the end byte.
// key and identity feed only the identity record.
void AppendRuraRecord(QByteArray& packet, const QString& id, qint32 type, bool first, bool last,
    QByteArrayView payloadText, QByteArrayView key = {}, const IdentityTexts& identity = {});

// The packet followed by its authenticator under key.
QByteArray Authenticate(const QByteArray& packet, QByteArrayView key);

// A datagram taken apart without judging its records. Views point into the
// datagram given to SplitRuraDatagram, which must outlive them.
struct RawRecord {
    quint8 type = 0;
    QByteArrayView payload;
};
struct SplitDatagram {
    // Long enough and holding a CR: such a datagram counts as an answer.
    bool accepted = false;
    QByteArrayView prefix;
    QByteArrayView body;
    QByteArrayView authenticator;
    QList<RawRecord> records;
};
SplitDatagram SplitRuraDatagram(QByteArrayView datagram);

struct IdResponse {
    QByteArray mac;
    QByteArray SN;
    QByteArray IPadd;
    QByteArray UnitId;
    QByteArray ProductId;
    QByteArray ModelId;
};
// The identity lines of an identity record; nothing without a serial number.
std::optional<IdResponse> ParseIdResponse(QByteArrayView payload);

struct Event {
    enum Kind { Identity, CommandResponse } kind = Identity;
    IdResponse id;
    QByteArray authenticator;
    QByteArray text;
    // A command response: which of the reply MACs signed it.
    qsizetype signer = -1;
};
struct ParsedDatagram {
    bool accepted = false;
    QList<Event> events;
};
// replyMacs: the MACs of the units being talked to; a command response is
// accepted when one of them signed it (the first that fits is its signer),
// and none is accepted without them.
ParsedDatagram ParseRuraDatagram(QByteArrayView datagram, const QList<QByteArray>& replyMacs);
ParsedDatagram ParseRuraDatagram(QByteArrayView datagram, const std::optional<QByteArray>& replyMac);

} // namespace RuraCodec
