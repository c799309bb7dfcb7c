#pragma once

#include "wizard/frmWiz02.h"

class WizardRouter;
class frmMain;

// The pages that lean on the main window's scan engine and discovery object:
// the adaptor page and the search page.
namespace ScanPages {

// readInterfaces: a fresh read of the PC's interface table for each call;
// when empty, a CIpHelper on the kernel's table.
void registerPages(WizardRouter& router, frmMain& main, frmWiz02::InterfaceTable readInterfaces = {});

} // namespace ScanPages
