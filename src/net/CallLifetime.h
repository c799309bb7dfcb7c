#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

// The program's one rule for objects whose calls wait. Every wait lets
// events run, and any of them may end the object the wait belongs to: a
// window is closed, a peer hangs up, a new scan replaces the unit records,
// a run ends. Whoever ends such an object marks it ended and gives it up;
// it is never destroyed while one of its calls is still on the stack. Its
// waits see ended() and return as they would for a cancel or a closed
// session, and the object goes once the outermost of its calls is back.
//
// An object under the rule holds one of these, opens a Call in every member
// that may wait (or that runs on after something it called has waited), and
// its owners end it with end() or release().
class CallLifetime {
public:
    CallLifetime() = default;
    CallLifetime(const CallLifetime&) = delete;
    CallLifetime& operator=(const CallLifetime&) = delete;

    // One call of the object, from its start to its return. Open it first in
    // the member, so that it closes last.
    class Call {
    public:
        explicit Call(CallLifetime& lifetime)
            : m_lifetime(lifetime)
        {
            ++m_lifetime.m_calls;
        }
        ~Call()
        {
            if (--m_lifetime.m_calls > 0 || !m_lifetime.m_destroy)
                return;
            // The object and this lifetime go here; nothing may touch either after.
            std::function<void()> destroy = std::exchange(m_lifetime.m_destroy, {});
            destroy();
        }
        Call(const Call&) = delete;
        Call& operator=(const Call&) = delete;

    private:
        CallLifetime& m_lifetime;
    };

    bool ended() const { return m_ended; }
    bool inCall() const { return m_calls > 0; }

    // Marks the object ended. destroy, when given, runs at once when none of
    // its calls is running, else as the outermost one returns.
    void end(std::function<void()> destroy = {})
    {
        m_ended = true;
        if (!destroy)
            return;
        if (m_calls > 0)
            m_destroy = std::move(destroy);
        else
            destroy();
    }

    // Ends the object that owned gives up and destroys it under the rule: at
    // once when none of its calls is running, else after the outermost. A
    // QObject then goes through deleteLater(), since that call may have been
    // a slot of one of its own signals or sockets, which Qt still runs on from.
    template<class T> static void release(std::unique_ptr<T> owned)
    {
        T* object = owned.release();
        if (!object)
            return;
        CallLifetime& lifetime = object->lifetime();
        if (!lifetime.inCall()) {
            lifetime.m_ended = true;
            delete object;
            return;
        }
        if constexpr (std::is_base_of_v<QObject, T>)
            lifetime.end([object] { object->deleteLater(); });
        else
            lifetime.end([object] { delete object; });
    }

private:
    int m_calls = 0;
    bool m_ended = false;
    std::function<void()> m_destroy;
};
