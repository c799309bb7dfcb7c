#include "wizard/WizardPages.h"

#include "wizard/WizardRouter.h"
#include "wizard/frmWiz01.h"
#include "wizard/frmWiz03.h"
#include "wizard/frmWiz04.h"
#include "wizard/frmWiz05.h"
#include "wizard/frmWiz06.h"

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
}

} // namespace WizardPages
