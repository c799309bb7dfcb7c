#pragma once

class WizardRouter;

// Makes the pages built so far reachable through the router.
namespace WizardPages {

void registerAll(WizardRouter& router);

} // namespace WizardPages
