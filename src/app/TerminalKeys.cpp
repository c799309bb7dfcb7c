#include "app/TerminalKeys.h"

#include <QKeySequence>
#include <QList>

namespace {
// Keys the screen would take as a paste or a cut (Shift+Insert, Shift+Delete
// and the like, as the desktop binds them); they write nothing of the unit's.
bool editsTheScreen(int key, Qt::KeyboardModifiers modifiers)
{
    const QKeyCombination pressed(modifiers & ~Qt::KeypadModifier, Qt::Key(key));
    for (const QKeySequence::StandardKey edit : { QKeySequence::Paste, QKeySequence::Cut }) {
        for (const QKeySequence& binding : QKeySequence::keyBindings(edit)) {
            if (binding.count() == 1 && binding[0] == pressed)
                return true;
        }
    }
    return key == Qt::Key_Paste || key == Qt::Key_Cut;
}
} // namespace

namespace TerminalKeys {

Action handle(int key, Qt::KeyboardModifiers modifiers, const QString& text, bool online)
{
    const Qt::KeyboardModifiers held = modifiers & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    if (held == Qt::ControlModifier) {
        // No pasting into a unit's command line: the unit is told so, as if typed.
        if (key == Qt::Key_V || key == Qt::Key_F7)
            return { false, QStringLiteral("Not Supported") };
        // No copy or cut either.
        if (key == Qt::Key_C || key == Qt::Key_X || key == Qt::Key_F9
            || (key == Qt::Key_3 && modifiers.testFlag(Qt::KeypadModifier)))
            return {};
    }
    // The unit erases and echoes; the screen never erases by itself.
    if (key == Qt::Key_Backspace)
        return { false, online ? QStringLiteral("\b") : QString() };
    if (key == Qt::Key_Delete)
        return {};
    // Online, the screen shows only what the unit sends.
    if (online && editsTheScreen(key, modifiers))
        return {};
    // Alt with a key is a command to the desktop, never a character.
    if (held.testFlag(Qt::AltModifier))
        return {};
    if (text.isEmpty())
        return { true, QString() };
    if (online)
        return { false, text };
    return { true, QString() };
}

} // namespace TerminalKeys
