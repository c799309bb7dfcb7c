#pragma once

// The two switches of a scan. InitialPing is kept inverted so that a record
// made with all-zero members already asks for the ping.
class clsScanOptions {
public:
    bool MustHaveGPRS() const { return m_mustHaveGPRS; }
    void setMustHaveGPRS(bool v) { m_mustHaveGPRS = v; }
    bool InitialPing() const { return !m_noInitialPing; }
    void setInitialPing(bool v) { m_noInitialPing = !v; }

private:
    bool m_mustHaveGPRS = false;
    bool m_noInitialPing = false;
};
