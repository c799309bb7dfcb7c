#pragma once

#include <QString>
#include <Qt>

// What the terminal window does with one key pressed in its screen. While
// the session is online every typed character goes to the unit and nothing
// is written locally: the unit's echo is what the person sees.
namespace TerminalKeys {

struct Action {
    // The key is left to the text box (not online, or a key that types nothing).
    bool toBox = false;
    // Sent to the unit as typed text; empty sends nothing.
    QString send;
};

// key and modifiers as Qt reports them; text is what the key types.
Action handle(int key, Qt::KeyboardModifiers modifiers, const QString& text, bool online);

} // namespace TerminalKeys
