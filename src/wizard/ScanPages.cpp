#include "wizard/ScanPages.h"

#include "net/CIpHelper.h"
#include "wizard/WizardRouter.h"
#include "wizard/frmWiz07.h"

namespace ScanPages {

void registerPages(WizardRouter& router, frmMain& main, frmWiz02::InterfaceTable readInterfaces)
{
    if (!readInterfaces) {
        auto helper = std::make_shared<CIpHelper>(QStringLiteral("/sys/class/net"), &router.prompts());
        readInterfaces = [helper] { return helper->Interfaces(); };
    }
    router.registerPage(PageId::Wiz02, [&main, readInterfaces](WizardRouter& r, QWidget* owner) -> WizardPage* {
        return new frmWiz02(r, main, readInterfaces, owner);
    });
    router.registerPage(PageId::Wiz07,
        [&main](WizardRouter& r, QWidget* owner) -> WizardPage* { return new frmWiz07(r, main, owner); });
}

} // namespace ScanPages
