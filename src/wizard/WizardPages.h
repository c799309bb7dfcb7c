#pragma once

#include "wizard/PageId.h"

#include <span>

class QWidget;
class WizardPage;
class WizardRouter;

// Every page of the wizard and how it is made.
namespace WizardPages {

struct Entry {
    PageId id;
    WizardPage* (*make)(WizardRouter& router, QWidget* owner);
};
std::span<const Entry> all();

// Makes every page reachable through the router.
void registerAll(WizardRouter& router);

} // namespace WizardPages
