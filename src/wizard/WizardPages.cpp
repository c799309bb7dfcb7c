#include "wizard/WizardPages.h"

#include "wizard/WizardRouter.h"
#include "wizard/frmWiz01.h"
#include "wizard/frmWiz02.h"
#include "wizard/frmWiz03.h"
#include "wizard/frmWiz04.h"
#include "wizard/frmWiz05.h"
#include "wizard/frmWiz06.h"
#include "wizard/frmWiz07.h"
#include "wizard/frmWiz08.h"
#include "wizard/frmWiz13.h"
#include "wizard/frmwiz11A.h"
#include "wizard/frmwiz11B.h"
#include "wizard/frmwiz11C.h"
#include "wizard/frmwiz12A.h"
#include "wizard/frmwiz12B.h"
#include "wizard/frmwiz12C.h"
#include "wizard/frmWiz09.h"
#include "wizard/frmWiz10.h"

namespace WizardPages {

namespace {
template<class Page> WizardRouter::Factory make()
{
    return [](WizardRouter& router, QWidget* owner) -> WizardPage* { return new Page(router, owner); };
}
} // namespace

void registerAll(WizardRouter& router)
{
    router.registerPage(PageId::Wiz01, make<frmWiz01>());
    router.registerPage(PageId::Wiz03, make<frmWiz03>());
    router.registerPage(PageId::Wiz04, make<frmWiz04>());
    router.registerPage(PageId::Wiz05, make<frmWiz05>());
    router.registerPage(PageId::Wiz06, make<frmWiz06>());
    router.registerPage(PageId::Wiz09, make<frmWiz09>());
    // The adaptor and search pages work on the main window's discovery
    // object and scan engine.
    if (router.services().main) {
        router.registerPage(PageId::Wiz02, make<frmWiz02>());
        router.registerPage(PageId::Wiz07, make<frmWiz07>());
        // The unit commands go over the main window's discovery object.
        router.registerPage(PageId::Wiz11A, make<frmwiz11A>());
        router.registerPage(PageId::Wiz11B, make<frmwiz11B>());
        // The cellular test talks to the unit over the main window's discovery object.
        router.registerPage(PageId::Wiz10, make<frmWiz10>());
    }
    // The probe and the free-address search also read the PC's adapter.
    if (router.services().main && router.services().adapters) {
        router.registerPage(PageId::Wiz08, make<frmWiz08>());
        router.registerPage(PageId::Wiz11C, make<frmwiz11C>());
    }
    // The PC settings pages change the adapter through the configuration layer.
    if (router.services().adapters) {
        router.registerPage(PageId::Wiz12A, make<frmwiz12A>());
        router.registerPage(PageId::Wiz12B, make<frmwiz12B>());
        router.registerPage(PageId::Wiz12C, make<frmwiz12C>());
    }
    router.registerPage(PageId::Wiz13, make<frmWiz13>());
}

} // namespace WizardPages
