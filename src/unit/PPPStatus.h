#pragma once

#include <QString>

// One PPP interface's state as the unit printed it in its status reply.
class PPPStatus {
public:
    QString ip() const { return m_ip; }
    void setIp(const QString& v) { m_ip = v; }
    bool Idle() const { return m_Idle; }
    void setIdle(bool v) { m_Idle = v; }

private:
    QString m_ip;
    bool m_Idle = false;
};
