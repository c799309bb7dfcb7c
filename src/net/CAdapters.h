#pragma once

#include "net/CAdapter.h"
#include "net/KeyedRecords.h"

// The adapter list's entries keyed by InterfaceIndex as decimal text.
class CAdapters : public KeyedRecords<CAdapter> { };
