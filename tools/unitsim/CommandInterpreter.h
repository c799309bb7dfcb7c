#pragma once

#include <QByteArray>

class SimUnit;

// What a unit does with one command line: the text it answers, how long it
// takes, or that it says nothing at all.
struct SimReply {
    QByteArray text;
    int delayMs = 0;
    bool silent = false;
};

// Turns one command line sent to a unit into the unit's reply text. This
// default accepts everything; a richer command language derives from it.
class CommandInterpreter {
public:
    virtual ~CommandInterpreter() = default;
    virtual QByteArray execute(SimUnit& unit, const QByteArray& commandLine);
    // The reply with its timing; by default execute's text, at once.
    virtual SimReply respond(SimUnit& unit, const QByteArray& commandLine) { return { execute(unit, commandLine) }; }
};
