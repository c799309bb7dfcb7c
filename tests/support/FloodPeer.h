#pragma once

#include <QByteArray>

#include <atomic>
#include <thread>

// A TCP peer on loopback that, once the client connects, sends bytes as fast
// as the connection takes them for a given time, then an optional trailer,
// then keeps the connection open and silent. It writes from a thread of its
// own with blocking sockets, so it floods whatever the test's event loop does.
class FloodPeer {
public:
    // pattern is repeated; it must not contain what the test waits for.
    FloodPeer(qint64 floodMs, QByteArray trailer = {}, QByteArray pattern = {});
    ~FloodPeer();
    FloodPeer(const FloodPeer&) = delete;
    FloodPeer& operator=(const FloodPeer&) = delete;

    quint16 port() const { return m_port; }
    qint64 bytesSent() const { return m_sent.load(); }
    // Ends the flood now; the trailer, if any, still follows.
    void stop() { m_stopFlood = true; }

private:
    void run();
    bool sendAll(int fd, const char* data, qsizetype size);

    int m_listener = -1;
    quint16 m_port = 0;
    qint64 m_floodMs;
    QByteArray m_trailer;
    QByteArray m_pattern;
    std::atomic<qint64> m_sent { 0 };
    std::atomic<bool> m_stopFlood { false };
    std::atomic<bool> m_quit { false };
    std::thread m_thread;
};
