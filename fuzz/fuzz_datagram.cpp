// Feeds arbitrary bytes to the datagram walk and checks what must hold for any
// input: no fault, records inside the body, and a response built from the same
// bytes reading back whole.
#include "discovery/RuraCodec.h"
#include "discovery/encode_hash.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {
void check(bool holds)
{
    if (!holds)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray datagram(reinterpret_cast<const char*>(data), qsizetype(size));
    const QByteArray mac = size >= 6 ? datagram.left(6) : QByteArray(6, ' ');

    const RuraCodec::SplitDatagram split = RuraCodec::SplitRuraDatagram(datagram);
    check(!split.accepted || datagram.size() >= RuraCodec::MinimumDatagramSize);
    for (const RuraCodec::RawRecord& r : split.records) {
        check(r.payload.data() >= split.body.data());
        check(r.payload.data() + r.payload.size() <= split.body.data() + split.body.size());
    }
    const RuraCodec::ParsedDatagram parsed = RuraCodec::ParseRuraDatagram(datagram, mac);
    check(parsed.accepted == split.accepted);
    for (const RuraCodec::Event& e : parsed.events)
        check(e.kind == RuraCodec::Event::Identity ? !e.id.SN.isEmpty() && e.id.mac.size() == 6
                                                   : e.authenticator.size() == RuraCodec::AuthenticatorSize);
    RuraCodec::ParseRuraDatagram(datagram, std::nullopt);

    QByteArray packet;
    RuraCodec::AppendRuraRecord(
        packet, QString::fromLatin1(datagram.left(8)), RuraCodec::RuraCommandResponse, true, true, datagram);
    const RuraCodec::ParsedDatagram back = RuraCodec::ParseRuraDatagram(RuraCodec::Authenticate(packet, mac), mac);
    check(back.accepted);
    // A prefix with its own CR hides the records behind it; otherwise the
    // response reads back as it was built.
    if (!datagram.left(8).contains('\r')) {
        check(back.events.size() == 1);
        check(back.events[0].text == datagram.left(RuraCodec::MaxTextPayload));
    }
    return 0;
}
