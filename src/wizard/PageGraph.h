#pragma once

#include "wizard/PageId.h"

#include <QtGlobal>

#include <optional>
#include <span>

// Where each page's buttons lead. Every road of the wizard is one row of a
// single table; a page asks the table rather than deciding on its own, so the
// whole graph can be read (and tested) in one place.
namespace PageGraph {

enum class Button { Next, Back, Skip };

// Conditions a row may place on the wizard's state. Any matches everything.
enum class Mode { Any, Ethernet /* 1 */, Cellular /* 0 */ };
enum class Adapters { Any, FewerThanTwo, TwoOrMore };
enum class Flag { Any, Set, Clear };
enum class Option { Any, One, Two, Three, NotOneOrTwo };

// What a page knows when one of its buttons is pressed.
struct Inputs {
    qint32 wizardMode = 0;
    qint32 lanAdapterCount = 0;
    bool shift = false;
    bool pcCanPingUnit = false;
    qint16 configOption = 0;
};

struct Route {
    PageId from;
    Button button;
    Mode mode;
    Adapters adapters;
    Flag shift;
    Flag pcCanPingUnit;
    Option configOption;
    PageId to;
    bool startup;
};

std::span<const Route> routes();

// The first row, in table order, that matches; nothing when the page has no
// such way on (a Back on the welcome page, for instance).
std::optional<Route> route(PageId from, Button button, const Inputs& in);

} // namespace PageGraph
