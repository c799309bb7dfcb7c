#include "session/modTrmTypes.h"

#include "net/Deadline.h"

namespace modTrmTypes {

void WaitMs(Clock& clock, qint32 ms, const std::function<bool()>& stop)
{
    Deadline::pastTicks(clock, ms).wait(stop);
}

} // namespace modTrmTypes
