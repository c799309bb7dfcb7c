#include "FloodPeer.h"

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

FloodPeer::FloodPeer(qint64 floodMs, QByteArray trailer, QByteArray pattern)
    : m_floodMs(floodMs)
    , m_trailer(std::move(trailer))
    , m_pattern(std::move(pattern))
{
    if (m_pattern.isEmpty()) {
        const QByteArray line = "debug trace 0123456789 abcdefghijklmnopqrstuvwxyz\r\n";
        while (m_pattern.size() < 64 * 1024)
            m_pattern += line;
    }
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a {};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0
        || ::listen(m_listener, 1) != 0 || ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&a), &len) != 0)
        return;
    m_port = ntohs(a.sin_port);
    m_thread = std::thread([this] { run(); });
}

FloodPeer::~FloodPeer()
{
    m_stopFlood = true;
    m_quit = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_listener >= 0)
        ::close(m_listener);
}

bool FloodPeer::sendAll(int fd, const char* data, qsizetype size)
{
    while (size > 0) {
        // Poll first, so that a reader that stopped reading cannot keep the
        // thread in send() past the test's end.
        pollfd p { fd, POLLOUT, 0 };
        if (::poll(&p, 1, 20) <= 0) {
            if (m_quit)
                return false;
            continue;
        }
        const ssize_t n = ::send(fd, data, std::size_t(size), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR)
                continue;
            return false;
        }
        m_sent += n;
        data += n;
        size -= n;
    }
    return true;
}

void FloodPeer::run()
{
    int fd = -1;
    while (fd < 0 && !m_quit) {
        pollfd p { m_listener, POLLIN, 0 };
        if (::poll(&p, 1, 20) > 0)
            fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
    }
    if (fd < 0)
        return;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_floodMs);
    bool open = true;
    while (open && !m_stopFlood && std::chrono::steady_clock::now() < end)
        open = sendAll(fd, m_pattern.constData(), m_pattern.size());
    if (open && !m_trailer.isEmpty())
        open = sendAll(fd, m_trailer.constData(), m_trailer.size());
    while (!m_quit)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ::close(fd);
}
