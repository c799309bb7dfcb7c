#include "net/ModWinsock.h"

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace ModWinsock {

quint32 ResolveHost(const QString& name)
{
    const QByteArray host = name.toLocal8Bit();
    // An empty name or one with a NUL inside would resolve something else.
    if (host.isEmpty() || host.contains('\0'))
        return 0;
    addrinfo hints {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* result = nullptr;
    if (getaddrinfo(host.constData(), nullptr, &hints, &result) != 0 || !result)
        return 0;
    quint32 address = 0;
    for (const addrinfo* a = result; a; a = a->ai_next) {
        if (a->ai_family == AF_INET && a->ai_addr) {
            address = reinterpret_cast<const sockaddr_in*>(a->ai_addr)->sin_addr.s_addr;
            break;
        }
    }
    freeaddrinfo(result);
    return address;
}

} // namespace ModWinsock
