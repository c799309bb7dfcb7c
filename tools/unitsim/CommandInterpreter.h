#pragma once

#include <QByteArray>

class SimUnit;

// Turns one command line sent to a unit into the unit's reply text. This
// default accepts everything; a richer command language derives from it.
class CommandInterpreter {
public:
    virtual ~CommandInterpreter() = default;
    virtual QByteArray execute(SimUnit& unit, const QByteArray& commandLine);
};
