#include "CommandInterpreter.h"

QByteArray CommandInterpreter::execute(SimUnit&, const QByteArray&)
{
    return QByteArrayLiteral("OK");
}
