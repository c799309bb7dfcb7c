#pragma once

#include <QString>

// What the lower layers need from the person in front of the PC: message boxes
// and Yes/No questions. The application fills it with real dialogs; tests pass
// a recorder. A title left empty means the application title, "Linkwise".
// Texts are kept exactly as the program words them (a line break inside a box
// text is a single carriage return); showing them is the implementation's job.
class UserPrompts {
public:
    enum class Icon { None, Information, Exclamation, Critical, Question };

    virtual ~UserPrompts() = default;

    virtual void message(const QString& text, Icon icon = Icon::None, const QString& title = QString()) = 0;
    virtual bool askYesNo(const QString& text, Icon icon = Icon::Question, const QString& title = QString()) = 0;
};
