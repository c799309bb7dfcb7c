#pragma once

#include "net/CInterface.h"
#include "net/KeyedRecords.h"

// The interface table's rows keyed by InterfaceIndex as decimal text.
class CInterfaces : public KeyedRecords<CInterface> { };
