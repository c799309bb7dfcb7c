#include "net/API.h"

namespace API {

QString StrFromAnsiPtr(const char* p)
{
    if (!p)
        return QString();
    return QString::fromLocal8Bit(p);
}

} // namespace API
