#include "wizard/PageGraph.h"

#include <array>

namespace PageGraph {

namespace {

using enum PageId;
using B = Button;
using M = Mode;
using A = Adapters;
using F = Flag;
using O = Option;

// Rows of one page and button are tried in the order written.
constexpr std::array kRoutes {
    // Welcome: the adaptor page only when there is a choice to make.
    Route { Wiz01, B::Next, M::Ethernet, A::FewerThanTwo, F::Any, F::Any, O::Any, Wiz07, false },
    Route { Wiz01, B::Next, M::Cellular, A::FewerThanTwo, F::Any, F::Any, O::Any, Wiz03, false },
    Route { Wiz01, B::Next, M::Any, A::TwoOrMore, F::Any, F::Any, O::Any, Wiz02, false },

    Route { Wiz02, B::Next, M::Cellular, A::Any, F::Any, F::Any, O::Any, Wiz03, false },
    Route { Wiz02, B::Next, M::Ethernet, A::Any, F::Any, F::Any, O::Any, Wiz07, false },
    Route { Wiz02, B::Back, M::Any, A::Any, F::Any, F::Any, O::Any, Wiz01, false },

    // Instructions for the cellular road.
    Route { Wiz03, B::Next, M::Any, A::Any, F::Any, F::Any, O::Any, Wiz04, false },
    Route { Wiz03, B::Back, M::Any, A::FewerThanTwo, F::Any, F::Any, O::Any, Wiz01, false },
    Route { Wiz03, B::Back, M::Any, A::TwoOrMore, F::Any, F::Any, O::Any, Wiz02, false },
    Route { Wiz04, B::Next, M::Any, A::Any, F::Any, F::Any, O::Any, Wiz05, false },
    Route { Wiz04, B::Back, M::Any, A::Any, F::Any, F::Any, O::Any, Wiz03, false },
    Route { Wiz05, B::Next, M::Any, A::Any, F::Any, F::Any, O::Any, Wiz06, false },
    Route { Wiz05, B::Back, M::Any, A::Any, F::Any, F::Any, O::Any, Wiz04, false },
    Route { Wiz06, B::Next, M::Any, A::Any, F::Any, F::Any, O::Any, Wiz07, false },
    Route { Wiz06, B::Back, M::Any, A::Any, F::Any, F::Any, O::Any, Wiz05, false },

    // Search: Shift skips the option page and goes for a free address.
    Route { Wiz07, B::Next, M::Any, A::Any, F::Set, F::Any, O::Any, Wiz11C, true },
    Route { Wiz07, B::Next, M::Any, A::Any, F::Clear, F::Any, O::Any, Wiz08, true },
    Route { Wiz07, B::Back, M::Cellular, A::Any, F::Any, F::Any, O::Any, Wiz06, false },
    Route { Wiz07, B::Back, M::Ethernet, A::Any, F::Any, F::Any, O::Any, Wiz01, false },

    // Configuration option: the option is recorded before the table is asked.
    Route { Wiz08, B::Next, M::Cellular, A::Any, F::Any, F::Any, O::Any, Wiz09, false },
    Route { Wiz08, B::Next, M::Ethernet, A::Any, F::Any, F::Any, O::One, Wiz11A, false },
    Route { Wiz08, B::Next, M::Ethernet, A::Any, F::Any, F::Any, O::Two, Wiz11B, false },
    Route { Wiz08, B::Next, M::Ethernet, A::Any, F::Any, F::Set, O::Three, Wiz12C, false },
    Route { Wiz08, B::Next, M::Ethernet, A::Any, F::Any, F::Clear, O::Three, Wiz11C, true },
    Route { Wiz08, B::Back, M::Any, A::Any, F::Any, F::Any, O::Any, Wiz07, false },

    Route { Wiz09, B::Next, M::Any, A::Any, F::Any, F::Any, O::Any, Wiz10, true },
    Route { Wiz09, B::Back, M::Any, A::Any, F::Any, F::Any, O::Any, Wiz08, true },

    Route { Wiz10, B::Next, M::Any, A::Any, F::Any, F::Any, O::One, Wiz11A, false },
    Route { Wiz10, B::Next, M::Any, A::Any, F::Any, F::Any, O::Two, Wiz11B, false },
    Route { Wiz10, B::Next, M::Any, A::Any, F::Any, F::Set, O::NotOneOrTwo, Wiz12C, false },
    Route { Wiz10, B::Next, M::Any, A::Any, F::Any, F::Clear, O::NotOneOrTwo, Wiz11C, true },
    Route { Wiz10, B::Back, M::Any, A::Any, F::Any, F::Any, O::Any, Wiz09, false },

    // Unit address pages; all three go back alike.
    Route { Wiz11A, B::Next, M::Any, A::Any, F::Any, F::Any, O::Any, Wiz12A, false },
    Route { Wiz11A, B::Back, M::Cellular, A::Any, F::Any, F::Any, O::Any, Wiz10, true },
    Route { Wiz11A, B::Back, M::Ethernet, A::Any, F::Any, F::Any, O::Any, Wiz08, true },
    Route { Wiz11B, B::Next, M::Any, A::Any, F::Any, F::Any, O::Any, Wiz12B, false },
    Route { Wiz11B, B::Back, M::Cellular, A::Any, F::Any, F::Any, O::Any, Wiz10, true },
    Route { Wiz11B, B::Back, M::Ethernet, A::Any, F::Any, F::Any, O::Any, Wiz08, true },
    // With Shift the page runs the final page's web login first, then the run ends.
    Route { Wiz11C, B::Next, M::Any, A::Any, F::Set, F::Any, O::Any, EndProgram, false },
    Route { Wiz11C, B::Next, M::Any, A::Any, F::Clear, F::Any, O::Any, Wiz12C, false },
    Route { Wiz11C, B::Back, M::Cellular, A::Any, F::Any, F::Any, O::Any, Wiz10, true },
    Route { Wiz11C, B::Back, M::Ethernet, A::Any, F::Any, F::Any, O::Any, Wiz08, true },

    // PC settings pages.
    Route { Wiz12A, B::Next, M::Any, A::Any, F::Any, F::Any, O::Any, Wiz13, true },
    Route { Wiz12A, B::Skip, M::Any, A::Any, F::Any, F::Any, O::Any, Wiz13, true },
    Route { Wiz12A, B::Back, M::Any, A::Any, F::Any, F::Any, O::Any, Wiz11A, false },
    Route { Wiz12B, B::Next, M::Any, A::Any, F::Any, F::Any, O::Any, Wiz13, true },
    Route { Wiz12B, B::Skip, M::Any, A::Any, F::Any, F::Any, O::Any, Wiz13, true },
    Route { Wiz12B, B::Back, M::Any, A::Any, F::Any, F::Any, O::Any, Wiz11B, false },
    Route { Wiz12C, B::Next, M::Any, A::Any, F::Any, F::Any, O::Any, Wiz13, true },
    Route { Wiz12C, B::Skip, M::Any, A::Any, F::Any, F::Any, O::Any, Wiz13, true },
    Route { Wiz12C, B::Back, M::Any, A::Any, F::Any, F::Clear, O::Any, Wiz11C, true },
    Route { Wiz12C, B::Back, M::Cellular, A::Any, F::Any, F::Set, O::Any, Wiz10, true },
    Route { Wiz12C, B::Back, M::Ethernet, A::Any, F::Any, F::Set, O::Any, Wiz08, true },

    // Final page: Finish ends the run.
    Route { Wiz13, B::Next, M::Any, A::Any, F::Any, F::Any, O::Any, EndProgram, false },
    Route { Wiz13, B::Back, M::Any, A::Any, F::Any, F::Any, O::One, Wiz12A, false },
    Route { Wiz13, B::Back, M::Any, A::Any, F::Any, F::Any, O::Two, Wiz12B, false },
    Route { Wiz13, B::Back, M::Any, A::Any, F::Any, F::Any, O::NotOneOrTwo, Wiz12C, false },
};

bool matches(Mode m, qint32 wizardMode)
{
    switch (m) {
    case Mode::Any:
        return true;
    case Mode::Ethernet:
        return wizardMode != 0;
    case Mode::Cellular:
        return wizardMode == 0;
    }
    return false;
}

bool matches(Adapters a, qint32 count)
{
    switch (a) {
    case Adapters::Any:
        return true;
    case Adapters::FewerThanTwo:
        return count < 2;
    case Adapters::TwoOrMore:
        return count >= 2;
    }
    return false;
}

bool matches(Flag f, bool value)
{
    return f == Flag::Any || (f == Flag::Set) == value;
}

bool matches(Option o, qint16 option)
{
    switch (o) {
    case Option::Any:
        return true;
    case Option::One:
        return option == 1;
    case Option::Two:
        return option == 2;
    case Option::Three:
        return option == 3;
    case Option::NotOneOrTwo:
        return option != 1 && option != 2;
    }
    return false;
}

} // namespace

std::span<const Route> routes()
{
    return kRoutes;
}

std::optional<Route> route(PageId from, Button button, const Inputs& in)
{
    for (const Route& r : kRoutes) {
        if (r.from == from && r.button == button && matches(r.mode, in.wizardMode)
            && matches(r.adapters, in.lanAdapterCount) && matches(r.shift, in.shift)
            && matches(r.pcCanPingUnit, in.pcCanPingUnit) && matches(r.configOption, in.configOption))
            return r;
    }
    return std::nullopt;
}

} // namespace PageGraph
