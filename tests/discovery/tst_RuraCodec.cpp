#include "discovery/RuraCodec.h"
#include "discovery/encode_hash.h"

#include <QTest>

using namespace RuraCodec;

Q_DECLARE_METATYPE(std::optional<QByteArray>)

namespace {
const QByteArray unitMac = QByteArray::fromHex("0050c2123456");
const QByteArray otherMac = QByteArray::fromHex("0050c2abcdef");

QByteArray record(quint8 type, const QByteArray& payload)
{
    QByteArray r;
    r.append(char(type));
    r.append(char(payload.size() / 256));
    r.append(char(payload.size() % 256));
    r.append(payload);
    return r;
}

QByteArray signedUnder(const QByteArray& body, const QByteArray& mac)
{
    return body + encode_hash(body, getstrMac(mac));
}

QByteArray idPayload(const QByteArray& lines)
{
    return unitMac + lines;
}
} // namespace

class tst_RuraCodec : public QObject {
    Q_OBJECT
private slots:
    void hashIsHmacMd5()
    {
        // RFC 2202, HMAC-MD5 test case 2.
        QCOMPARE(encode_hash("what do ya want for nothing?", "Jefe").toHex(),
            QByteArray("750c783e6ab0b503eaa86e310a5db738"));
        QCOMPARE(encode_hash("\r\x01\x00\x00\x00", QByteArray(6, ' ')).size(), 16);
    }

    void build_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<QByteArray>("packet");
        QTest::newRow("query for every unit") << QString() << QStringList() << QByteArray("\r\x01\x00\x00\x00", 5);
        QTest::newRow("two commands to 417") << QStringLiteral("417") << QStringList { "a", "bc" }
                                             << QByteArray("417\r\x03\x00\x02"
                                                           "a\r\x03\x00\x03"
                                                           "bc\r\x00",
                                                    16);
        QTest::newRow("id 0 gives no prefix")
            << QStringLiteral("0") << QStringList { "x" } << QByteArray("\r\x03\x00\x02x\r\x00", 7);
        QTest::newRow("id without a leading number gives no prefix")
            << QStringLiteral("abc") << QStringList { "x" } << QByteArray("\r\x03\x00\x02x\r\x00", 7);
        QTest::newRow("id 0.0 is zero") << QStringLiteral("0.0") << QStringList { "x" }
                                        << QByteArray("\r\x03\x00\x02x\r\x00", 7);
        QTest::newRow("id with a leading number keeps its whole text")
            << QStringLiteral("417ab") << QStringList { "x" } << QByteArray("417ab\r\x03\x00\x02x\r\x00", 12);
        QTest::newRow("leading blanks and a sign")
            << QStringLiteral(" -3") << QStringList { "x" } << QByteArray(" -3\r\x03\x00\x02x\r\x00", 10);
        QTest::newRow("hexadecimal id") << QStringLiteral("&H1f") << QStringList { "x" }
                                        << QByteArray("&H1f\r\x03\x00\x02x\r\x00", 11);
    }
    void build()
    {
        QFETCH(QString, id);
        QFETCH(QStringList, commands);
        QFETCH(QByteArray, packet);
        QByteArray built;
        if (commands.isEmpty()) {
            AppendRuraRecord(built, id, RuraQuery, true, true, {});
        } else {
            for (qsizetype i = 0; i < commands.size(); ++i)
                AppendRuraRecord(built, id, RuraCommand, i == 0, i == commands.size() - 1, commands[i].toLatin1());
        }
        QCOMPARE(built.toHex(' '), packet.toHex(' '));
        const QByteArray key = RuraCodec::getstrMac(unitMac);
        const QByteArray datagram = Authenticate(built, key);
        QCOMPARE(datagram.size(), packet.size() + 16);
        QCOMPARE(datagram.right(16), encode_hash(packet, key));
    }

    void queryIs21Bytes()
    {
        QByteArray q;
        AppendRuraRecord(q, QString(), RuraQuery, true, true, {});
        QCOMPARE(Authenticate(q, QByteArray(6, ' ')).size(), 21);
    }

    void firstRestartsThePacket()
    {
        QByteArray packet("left over");
        AppendRuraRecord(packet, QStringLiteral("5"), RuraQuery, true, false, {});
        QCOMPARE(packet, QByteArray("5\r\x01\x00\x00", 5));
    }

    void responseLengthBytes()
    {
        const QByteArray text(130, 'r');
        QByteArray packet;
        AppendRuraRecord(packet, QString(), RuraCommandResponse, true, true, text);
        QCOMPARE(packet.mid(1, 3).toHex(' '), QByteArray("05 00 82"));
        const ParsedDatagram p = ParseRuraDatagram(Authenticate(packet, unitMac), unitMac);
        QCOMPARE(p.events.size(), 1);
        QCOMPARE(p.events[0].text, text);
    }

    void textPayloadIsCut()
    {
        QCOMPARE(BuildTextRecordPayload(QByteArray(2000, 'x')).size(), MaxTextPayload);
        QCOMPARE(BuildTextRecordPayload(QByteArray()), QByteArray());
    }

    void overlongPayloadKeepsLengthBytesHonest()
    {
        QByteArray packet;
        AppendRuraRecord(packet, QString(), RuraCommand, true, true, QByteArray(70000, 'c'));
        QCOMPARE(packet.mid(1, 3).toHex(' '), QByteArray("03 ff ff"));
        QCOMPARE(packet.size(), 1 + 3 + 65535 + 1);
    }

    void getstrMac_data()
    {
        QTest::addColumn<QByteArray>("mac");
        QTest::addColumn<QByteArray>("key");
        QTest::newRow("six bytes") << unitMac << unitMac;
        QTest::newRow("eight bytes keep the first six") << unitMac + "\x01\x02" << unitMac;
        QTest::newRow("four bytes give spaces") << QByteArray("\x01\x02\x03\x04") << QByteArray(6, ' ');
        QTest::newRow("empty gives spaces") << QByteArray() << QByteArray(6, ' ');
    }
    void getstrMac()
    {
        QFETCH(QByteArray, mac);
        QFETCH(QByteArray, key);
        QCOMPARE(RuraCodec::getstrMac(mac), key);
    }

    void identityRoundTrip()
    {
        const IdentityTexts id { "198.51.100.7", "417", "3", "CV100", "Calvantor CV100-E3G" };
        QByteArray packet;
        AppendRuraRecord(packet, QString(), RuraIdRecord, true, true, {}, unitMac, id);
        const ParsedDatagram p = ParseRuraDatagram(Authenticate(packet, unitMac), std::nullopt);
        QVERIFY(p.accepted);
        QCOMPARE(p.events.size(), 1);
        const IdResponse& r = p.events[0].id;
        QCOMPARE(r.mac, unitMac);
        QCOMPARE(r.SN, QByteArray("417"));
        QCOMPARE(r.IPadd, QByteArray("198.51.100.7"));
        QCOMPARE(r.UnitId, QByteArray("3"));
        QCOMPARE(r.ProductId, QByteArray("CV100"));
        QCOMPARE(r.ModelId, QByteArray("Calvantor CV100-E3G"));
    }

    void identity_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<bool>("raised");
        QTest::addColumn<QByteArray>("mac");
        QTest::addColumn<QByteArrayList>("fields"); // SN, IPadd, UnitId, ProductId, ModelId
        QTest::newRow("all lines") << idPayload("IPadd=1.2.3.4\rSN=417\rUnitId=9\rProductId=P\rModelId=M\r") << true
                                   << unitMac << QByteArrayList { "417", "1.2.3.4", "9", "P", "M" };
        QTest::newRow("keys in lower case") << idPayload("ipadd=1.2.3.4\rsn=417\runitid=9\rproductid=P\rmodelid=M\r")
                                            << true << unitMac << QByteArrayList { "417", "1.2.3.4", "9", "P", "M" };
        QTest::newRow("no model line") << idPayload("IPadd=1.2.3.4\rSN=417\rUnitId=9\rProductId=P\r") << true << unitMac
                                       << QByteArrayList { "417", "1.2.3.4", "9", "P", "" };
        QTest::newRow("product id to the end without CR") << idPayload("SN=417\rUnitId=9\rProductId=PX") << true
                                                          << unitMac << QByteArrayList { "417", "", "9", "PX", "" };
        QTest::newRow("empty fields stay empty") << idPayload("IPadd=SN=417\rUnitId=ProductId=\r") << true << unitMac
                                                 << QByteArrayList { "417", "", "", "", "" };
        QTest::newRow("no serial number raises nothing")
            << idPayload("IPadd=1.2.3.4\rSN=\rUnitId=9\rProductId=P\r") << false << unitMac << QByteArrayList {};
        QTest::newRow("serial without a following unit id")
            << idPayload("IPadd=1.2.3.4\rSN=417\r") << false << unitMac << QByteArrayList {};
    }
    void identity()
    {
        QFETCH(QByteArray, payload);
        QFETCH(bool, raised);
        QFETCH(QByteArray, mac);
        QFETCH(QByteArrayList, fields);
        const QByteArray datagram = signedUnder("\r" + record(RuraIdRecord, payload) + QByteArray(1, '\0'), unitMac);
        const ParsedDatagram p = ParseRuraDatagram(datagram, std::nullopt);
        QVERIFY(p.accepted);
        QCOMPARE(p.events.size(), raised ? 1 : 0);
        if (!raised)
            return;
        const IdResponse& r = p.events[0].id;
        QCOMPARE(r.mac, mac);
        QCOMPARE((QByteArrayList { r.SN, r.IPadd, r.UnitId, r.ProductId, r.ModelId }), fields);
    }

    void macIsTheFirstSixBytesWhateverTheyAre()
    {
        const auto r = ParseIdResponse(QByteArray("SN=7\rUnitId=\r"));
        QVERIFY(r.has_value());
        QCOMPARE(r->mac, QByteArray::fromHex("534e3d370d55"));
        QVERIFY(ParseIdResponse(QByteArray("abcdef")) == std::nullopt);
    }

    void receive_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<std::optional<QByteArray>>("replyMac");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QByteArrayList>("responses");
        const QByteArray end(1, '\0');
        const QByteArray resp = "\r" + record(RuraCommandResponse, "OK\r") + end;
        const std::optional<QByteArray> current = unitMac;
        const std::optional<QByteArray> none;
        QTest::newRow("20 bytes ignored")
            << QByteArray("\r\x05\x00\x01Z\x00", 6) + QByteArray(14, 'a') << current << false << QByteArrayList {};
        QTest::newRow("no CR ignored") << QByteArray("417\x05\x00\x02OK\x00", 9) + QByteArray(16, 'a') << current
                                       << false << QByteArrayList {};
        QTest::newRow("CR only in the authenticator ignored")
            << QByteArray("41\x05\x00\x02OK\x00", 8) + QByteArray(15, 'a') + "\r" << current << false
            << QByteArrayList {};
        QTest::newRow("authentic response")
            << signedUnder(resp, unitMac) << current << true << QByteArrayList { "OK\r" };
        QTest::newRow("prefix 417 before the CR")
            << signedUnder("417" + resp, unitMac) << current << true << QByteArrayList { "OK\r" };
        QTest::newRow("forged authenticator dropped")
            << resp + QByteArray(16, 'f') << current << true << QByteArrayList {};
        QTest::newRow("response of another unit dropped")
            << signedUnder(resp, otherMac) << current << true << QByteArrayList {};
        QTest::newRow("no unit current drops responses")
            << signedUnder(resp, unitMac) << none << true << QByteArrayList {};
        QTest::newRow("short current mac keys with spaces")
            << signedUnder(resp, QByteArray()) << std::optional<QByteArray>(QByteArray("\x01\x02", 2)) << true
            << QByteArrayList { "OK\r" };
        QTest::newRow("two responses, unknown type between")
            << signedUnder("\r" + record(5, "a") + record(4, "zz") + record(5, "b") + end, unitMac) << current << true
            << QByteArrayList { "a", "b" };
        QTest::newRow("end record stops the walk")
            << signedUnder("\r" + record(5, "a") + record(0, "") + record(5, "b") + end, unitMac) << current << true
            << QByteArrayList { "a" };
        QTest::newRow("length past the end is cut and ends the walk") << signedUnder(QByteArray("\r\x05\x00\x09"
                                                                                                "ab",
                                                                                         6)
                + end,
            unitMac) << current << true << QByteArrayList { QByteArray("ab\0", 3) };
        QTest::newRow("nothing after the CR")
            << signedUnder("4171234\r", unitMac) << current << true << QByteArrayList {};
        QTest::newRow("header cut short")
            << signedUnder(QByteArray("4171\r\x05\x00", 7), unitMac) << current << true << QByteArrayList {};
    }
    void receive()
    {
        QFETCH(QByteArray, datagram);
        QFETCH(std::optional<QByteArray>, replyMac);
        QFETCH(bool, accepted);
        QFETCH(QByteArrayList, responses);
        const ParsedDatagram p = ParseRuraDatagram(datagram, replyMac);
        QCOMPARE(p.accepted, accepted);
        QByteArrayList got;
        for (const Event& e : p.events) {
            QCOMPARE(e.kind, Event::CommandResponse);
            QCOMPARE(e.authenticator, datagram.right(16));
            got << e.text;
        }
        QCOMPARE(got, responses);
    }

    // With several units awaited, the signer is the first whose key fits;
    // a datagram none of them signed carries no response.
    void signerOfAResponse_data()
    {
        QTest::addColumn<QByteArray>("signedBy");
        QTest::addColumn<QList<QByteArray>>("keys");
        QTest::addColumn<qsizetype>("signer"); // -1: not accepted
        const QByteArray third = QByteArray::fromHex("0050c2000003");
        QTest::newRow("the second of two") << otherMac << QList<QByteArray> { unitMac, otherMac } << qsizetype(1);
        QTest::newRow("the first of two") << unitMac << QList<QByteArray> { unitMac, otherMac } << qsizetype(0);
        QTest::newRow("none of them") << third << QList<QByteArray> { unitMac, otherMac } << qsizetype(-1);
        QTest::newRow("no key at all") << unitMac << QList<QByteArray> {} << qsizetype(-1);
    }
    void signerOfAResponse()
    {
        QFETCH(QByteArray, signedBy);
        QFETCH(QList<QByteArray>, keys);
        QFETCH(qsizetype, signer);
        const QByteArray end(1, '\0');
        const QByteArray datagram = signedUnder("\r" + record(RuraCommandResponse, "OK\r\n")
                + record(RuraIdRecord, idPayload("IPadd=1.2.3.4\rSN=417\rUnitId=9\rProductId=P\r"))
                + record(RuraCommandResponse, "more") + end,
            signedBy);
        const ParsedDatagram p = ParseRuraDatagram(datagram, keys);
        QByteArrayList texts;
        int identities = 0;
        for (const Event& e : p.events) {
            if (e.kind == Event::Identity) {
                ++identities;
                continue;
            }
            QCOMPARE(e.signer, signer);
            texts << e.text;
        }
        QCOMPARE(identities, 1);
        const QByteArrayList expected = signer < 0 ? QByteArrayList() : QByteArrayList { "OK\r\n", "more" };
        QCOMPARE(texts, expected);
    }

    void identityIsNotAuthenticated()
    {
        const QByteArray payload = idPayload("IPadd=1.2.3.4\rSN=417\rUnitId=9\rProductId=P\r");
        const QByteArray datagram = "\r" + record(RuraIdRecord, payload) + QByteArray(1, '\0') + QByteArray(16, 'x');
        QCOMPARE(ParseRuraDatagram(datagram, std::nullopt).events.size(), 1);
    }

    void identityFieldsHoldNoTrailingBytes()
    {
        // The record ends at its length, so the end byte and the
        // authenticator never leak into the last line.
        const QByteArray payload = idPayload("IPadd=1.2.3.4\rSN=417\rUnitId=9\rProductId=P7\rModelId=M2");
        const ParsedDatagram p = ParseRuraDatagram(
            signedUnder("\r" + record(RuraIdRecord, payload) + QByteArray(1, '\0'), unitMac), std::nullopt);
        QCOMPARE(p.events.size(), 1);
        QCOMPARE(p.events[0].id.ProductId, QByteArray("P7"));
        QCOMPARE(p.events[0].id.ModelId, QByteArray("M2"));
    }
};

QTEST_GUILESS_MAIN(tst_RuraCodec)
#include "tst_RuraCodec.moc"
