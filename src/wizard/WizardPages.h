#pragma once

class WizardRouter;

// Makes the pages built so far reachable through the router. Pages that need
// a service the router's bundle lacks (the main window) are left out.
namespace WizardPages {

void registerAll(WizardRouter& router);

} // namespace WizardPages
