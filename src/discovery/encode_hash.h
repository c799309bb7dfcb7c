#pragma once

#include <QByteArray>
#include <QByteArrayView>

// The 16-byte authenticator of a discovery datagram: HMAC-MD5 over the bytes
// before the authenticator, keyed with the 6 MAC bytes. Sender and receiver
// (and the unit simulator) share this one function, so a mismatch can only
// come from a different key or altered bytes. Every key byte counts, zero
// bytes included.
QByteArray encode_hash(QByteArrayView data, QByteArrayView key);
