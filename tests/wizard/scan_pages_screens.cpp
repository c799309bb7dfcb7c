// Renders the adaptor and search pages in both wizard modes and in each state
// of a search into PNG files, for a look at layout and text fit.
// Usage: scan_pages_screens <output dir>
#include "ScanPageRig.h"
#include "SimulatedClock.h"
#include "wizard/frmWiz02.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>

namespace {
void save(QWidget* page, const QString& path)
{
    QApplication::processEvents();
    page->grab().save(path);
}
} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    for (int mode : { 1, 0 }) {
        for (int count : { 0, 3 }) {
            SimulatedClock clock;
            ScanPageRig rig(clock);
            rig.addInterface(QStringLiteral("198.51.100.1"), QStringLiteral("255.255.255.0"),
                QByteArray::fromHex("02005e000101"), 2);
            rig.addInterface(
                QStringLiteral("203.0.113.1"), QStringLiteral("255.255.255.0"), QByteArray::fromHex("02005e000102"), 3);
            rig.state.WizardMode = mode;
            auto table = [] {
                auto t = std::make_shared<CInterfaces>();
                int index = 2;
                for (const char* d : { "Intel(R) PRO/1000 MT Desktop Adapter #2 (Ethernet)", "Realtek PCIe GbE" }) {
                    auto row = std::make_shared<CInterface>();
                    row->setInterfaceDescription(QString::fromLatin1(d));
                    (void)t->Add(std::move(row), QString::number(index++));
                }
                return t;
            };
            rig.build(
                [count, &clock] {
                    auto d = std::make_unique<ScriptedDiscovery>(clock);
                    for (int i = 0; i < count; ++i)
                        d->answers << ScriptedDiscovery::Answer { QByteArray::fromHex("0050c2aa0001"),
                            QString::number(61000 + i), QStringLiteral("198.51.100.%1").arg(20 + i) };
                    return d;
                },
                table);
            const QString suffix = mode == 1 ? QStringLiteral("-ethernet") : QStringLiteral("-cellular");
            if (count == 0)
                save(rig.router->open(PageId::Wiz02), out + QStringLiteral("/frmWiz02") + suffix + ".png");
            frmWiz07* page = rig.openSearch();
            if (count == 0)
                save(page, out + QStringLiteral("/frmWiz07-searching") + suffix + ".png");
            rig.waitForResults();
            save(page, out + QStringLiteral("/frmWiz07-") + (count ? "found" : "none") + suffix + ".png");
            if (count == 0) {
                page->cmdRetry->click();
                save(page, out + QStringLiteral("/frmWiz07-retry") + suffix + ".png");
                rig.waitForResults();
            }
        }
    }
    return 0;
}
