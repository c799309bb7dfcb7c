#include "discovery/encode_hash.h"

#include <QCryptographicHash>
#include <QMessageAuthenticationCode>

QByteArray encode_hash(QByteArrayView data, QByteArrayView key)
{
    // One object per thread: re-keying it is far cheaper than building a new
    // one for every datagram of a scan.
    thread_local QMessageAuthenticationCode mac(QCryptographicHash::Md5);
    mac.setKey(key.toByteArray());
    mac.addData(data.data(), data.size());
    QByteArray out = mac.result();
    mac.reset();
    return out;
}
