#pragma once

#include <QString>

#include <functional>

// Where the unit commands write their lines: the program-wide log, keyed by
// the unit's serial number. The application hands in its own log routine.
using UnitLog = std::function<void(const QString& serial, const QString& text)>;
