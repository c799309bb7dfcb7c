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
#include "wizard/frmWiz09.h"
#include "wizard/frmWiz10.h"
#include "wizard/frmWiz13.h"
#include "wizard/frmwiz11A.h"
#include "wizard/frmwiz11B.h"
#include "wizard/frmwiz11C.h"
#include "wizard/frmwiz12A.h"
#include "wizard/frmwiz12B.h"
#include "wizard/frmwiz12C.h"

#include <array>

namespace WizardPages {

namespace {
template<class Page> WizardPage* make(WizardRouter& router, QWidget* owner)
{
    return new Page(router, owner);
}

const std::array<Entry, 17> kPages { {
    { PageId::Wiz01, &make<frmWiz01> },
    { PageId::Wiz02, &make<frmWiz02> },
    { PageId::Wiz03, &make<frmWiz03> },
    { PageId::Wiz04, &make<frmWiz04> },
    { PageId::Wiz05, &make<frmWiz05> },
    { PageId::Wiz06, &make<frmWiz06> },
    { PageId::Wiz07, &make<frmWiz07> },
    { PageId::Wiz08, &make<frmWiz08> },
    { PageId::Wiz09, &make<frmWiz09> },
    { PageId::Wiz10, &make<frmWiz10> },
    { PageId::Wiz11A, &make<frmwiz11A> },
    { PageId::Wiz11B, &make<frmwiz11B> },
    { PageId::Wiz11C, &make<frmwiz11C> },
    { PageId::Wiz12A, &make<frmwiz12A> },
    { PageId::Wiz12B, &make<frmwiz12B> },
    { PageId::Wiz12C, &make<frmwiz12C> },
    { PageId::Wiz13, &make<frmWiz13> },
} };
} // namespace

std::span<const Entry> all()
{
    return kPages;
}

void registerAll(WizardRouter& router)
{
    for (const Entry& page : kPages)
        router.registerPage(page.id, page.make);
}

} // namespace WizardPages
