// Shows the welcome page with the real ender and leaves it either by its
// close box ("close") or by its Next button ("next"). Only the second may
// get as far as the last line.
#include "RecordingPrompts.h"
#include "net/SystemClock.h"
#include "wizard/WizardPages.h"
#include "wizard/WizardRouter.h"
#include "wizard/WizardState.h"
#include "wizard/frmWiz01.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QString how = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();

    UsableInterfaces interfaces;
    interfaces.LanAdapterCount = 1;
    WizardState state { interfaces };
    RecordingPrompts prompts;
    SystemClock clock;
    WizardRouter router(state, prompts, clock, [] { return true; });
    WizardPages::registerAll(router);

    auto* welcome = static_cast<frmWiz01*>(router.open(PageId::Wiz01));
    std::printf("shown\n");
    if (how == QStringLiteral("close")) {
        welcome->close();
    } else {
        welcome->Option2->click();
        welcome->cmdNext->click();
    }
    app.processEvents();
    std::printf("still running on %s\n", qPrintable(pageName(router.current()->id())));
    return 3;
}
