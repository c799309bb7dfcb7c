#include "discovery/RuraCodec.h"

#include "net/NumberText.h"
#include "discovery/encode_hash.h"

namespace RuraCodec {

namespace {

qsizetype indexOfNoCase(QByteArrayView hay, QByteArrayView needle, qsizetype from)
{
    const qsizetype last = hay.size() - needle.size();
    for (qsizetype i = qMax<qsizetype>(from, 0); i <= last; ++i) {
        qsizetype k = 0;
        while (k < needle.size()) {
            char a = hay[i + k];
            char b = needle[k];
            if (a >= 'a' && a <= 'z')
                a = char(a - 'a' + 'A');
            if (b >= 'a' && b <= 'z')
                b = char(b - 'a' + 'A');
            if (a != b)
                break;
            ++k;
        }
        if (k == needle.size())
            return i;
    }
    return -1;
}

// The text between key and the next closing key, less the CR that ends its
// line; "" when either key is missing.
QByteArray between(QByteArrayView payload, QByteArrayView key, QByteArrayView closingKey)
{
    const qsizetype at = indexOfNoCase(payload, key, 0);
    if (at < 0)
        return {};
    const qsizetype start = at + key.size();
    const qsizetype end = indexOfNoCase(payload, closingKey, start);
    if (end < 0)
        return {};
    QByteArrayView text = payload.sliced(start, end - start);
    if (!text.isEmpty())
        text.chop(1);
    return text.toByteArray();
}

// The text after key up to the next CR or the end of the payload.
QByteArray lineAfter(QByteArrayView payload, QByteArrayView key)
{
    const qsizetype at = indexOfNoCase(payload, key, 0);
    if (at < 0)
        return {};
    const qsizetype start = at + key.size();
    qsizetype end = payload.indexOf(CR, start);
    if (end < 0)
        end = payload.size();
    return payload.sliced(start, end - start).toByteArray();
}

} // namespace

QByteArray getstrMac(QByteArrayView mac)
{
    if (mac.size() < 6)
        return QByteArray(6, ' ');
    return mac.first(6).toByteArray();
}

QByteArray PrefixFor(const QString& id)
{
    // The serial number's leading number, as the platform's conversion reads it.
    return NumberText::read(id, NumberText::platformNumber).isZero() ? QByteArray() : id.toLatin1();
}

QByteArray BuildCommandRecordPayload(QByteArrayView text)
{
    QByteArray out;
    out.reserve(text.size() + 1);
    out.append(text);
    out.append(CR);
    return out;
}

QByteArray BuildTextRecordPayload(QByteArrayView text)
{
    return text.first(qMin(text.size(), MaxTextPayload)).toByteArray();
}

QByteArray BuildIdRecordPayload(QByteArrayView key, const IdentityTexts& identity)
{
    QByteArray out;
    out.append(key);
    out.append("IPadd=").append(identity.IPadd).append(CR);
    out.append("SN=").append(identity.SN).append(CR);
    out.append("UnitId=").append(identity.UnitId).append(CR);
    out.append("ProductId=").append(identity.ProductId).append(CR);
    if (!identity.ModelId.isEmpty())
        out.append("ModelId=").append(identity.ModelId).append(CR);
    return out;
}

void AppendRuraRecord(QByteArray& packet, const QString& id, qint32 type, bool first, bool last,
    QByteArrayView payloadText, QByteArrayView key, const IdentityTexts& identity)
{
    if (first) {
        packet = PrefixFor(id);
        packet.append(CR);
    }
    QByteArray payload;
    switch (type) {
    case RuraIdRecord:
        payload = BuildIdRecordPayload(key, identity);
        break;
    case RuraCommand:
        payload = BuildCommandRecordPayload(payloadText);
        break;
    case RuraCommandResponse:
        payload = BuildTextRecordPayload(payloadText);
        break;
    default:
        break;
    }
    // Two length bytes cannot describe more; a longer payload would make the
    // receiver walk into the middle of it.
    if (payload.size() > MaxPayload)
        payload.truncate(MaxPayload);
    const auto length = static_cast<quint32>(payload.size());
    packet.append(char(quint8(type)));
    packet.append(char(quint8(length / 256)));
    packet.append(char(quint8(length % 256)));
    packet.append(payload);
    if (last)
        packet.append(char(RuraEnd));
}

QByteArray Authenticate(const QByteArray& packet, QByteArrayView key)
{
    QByteArray out;
    out.reserve(packet.size() + AuthenticatorSize);
    out.append(packet);
    out.append(encode_hash(packet, key));
    return out;
}

SplitDatagram SplitRuraDatagram(QByteArrayView datagram)
{
    SplitDatagram out;
    if (datagram.size() < MinimumDatagramSize)
        return out;
    const QByteArrayView body = datagram.first(datagram.size() - AuthenticatorSize);
    const qsizetype cr = body.indexOf(CR);
    if (cr < 0)
        return out;
    out.accepted = true;
    out.prefix = body.first(cr);
    out.body = body;
    out.authenticator = datagram.last(AuthenticatorSize);

    // Signed on purpose: a header or payload that overruns drives it below 0
    // and ends the walk instead of wrapping around.
    qsizetype pos = cr + 1;
    qsizetype remaining = body.size() - pos - 1;
    while (remaining > 0) {
        if (pos + 2 >= body.size())
            break;
        const auto type = quint8(body[pos]);
        const qsizetype length = 256 * quint8(body[pos + 1]) + quint8(body[pos + 2]);
        pos += 3;
        remaining -= 3;
        if (type == RuraEnd)
            break;
        out.records.append({ type, body.sliced(pos, qMin(length, body.size() - pos)) });
        pos += length;
        remaining -= length;
    }
    return out;
}

std::optional<IdResponse> ParseIdResponse(QByteArrayView payload)
{
    IdResponse r;
    r.mac = payload.size() > 6 ? payload.first(6).toByteArray() : QByteArray(6, '\0');
    r.IPadd = between(payload, "IPadd=", "SN=");
    r.SN = between(payload, "SN=", "UnitId=");
    r.UnitId = between(payload, "UnitId=", "ProductId=");
    r.ProductId = lineAfter(payload, "ProductId=");
    r.ModelId = lineAfter(payload, "ModelId=");
    if (r.SN.isEmpty())
        return std::nullopt;
    return r;
}

ParsedDatagram ParseRuraDatagram(QByteArrayView datagram, const QList<QByteArray>& replyMacs)
{
    ParsedDatagram out;
    const SplitDatagram split = SplitRuraDatagram(datagram);
    out.accepted = split.accepted;
    // The whole body is signed once: every response record has the same signer.
    std::optional<qsizetype> signer;
    for (const RawRecord& rec : split.records) {
        if (rec.type == RuraCommandResponse) {
            if (!signer) {
                signer = -1;
                for (qsizetype i = 0; i < replyMacs.size() && *signer < 0; ++i)
                    if (encode_hash(split.body, getstrMac(replyMacs[i])) == split.authenticator)
                        signer = i;
            }
            if (*signer < 0)
                continue;
            Event e;
            e.kind = Event::CommandResponse;
            e.authenticator = split.authenticator.toByteArray();
            e.text = rec.payload.toByteArray();
            e.signer = *signer;
            out.events.append(std::move(e));
        } else if (rec.type == RuraIdRecord) {
            if (auto id = ParseIdResponse(rec.payload)) {
                Event e;
                e.kind = Event::Identity;
                e.id = std::move(*id);
                out.events.append(std::move(e));
            }
        }
    }
    return out;
}

ParsedDatagram ParseRuraDatagram(QByteArrayView datagram, const std::optional<QByteArray>& replyMac)
{
    return ParseRuraDatagram(datagram, replyMac ? QList<QByteArray> { *replyMac } : QList<QByteArray> {});
}

} // namespace RuraCodec
