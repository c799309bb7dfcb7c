#pragma once

// The cellular pages on the real services, on a simulated clock: the hidden
// main window with its scan engine and discovery object, the search page that
// chooses the unit, and a unit played in this process by the simulator's own
// command language on the far side of a bare LAN (see UnitLan), and the
// configuration option page before them, its probe run against that unit
// with the PC's adapter layer in memory.

#include "FakeAdapterConfigBackend.h"
#include "ScanPageRig.h"
#include "SimTransport.h"
#include "SimUnit.h"
#include "SimulatedClock.h"
#include "UnitCommandLanguage.h"
#include "UnitLan.h"
#include "unit/CQarUnitInfo.h"
#include "unit/clsUnitQuerier.h"
#include "wizard/frmWiz08.h"
#include "wizard/frmWiz09.h"
#include "wizard/frmWiz10.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTreeWidget>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

// Sits between the socket and the unit's command language and notes every
// line the unit receives: when it came and what the test page showed then.
class WatchingInterpreter final : public CommandInterpreter {
public:
    struct Seen {
        QString line;
        qint64 atMs;
        QString info;
        QString ip;
    };

    WatchingInterpreter(CommandInterpreter& inner, Clock& clock, std::function<frmWiz10*()> page)
        : m_inner(inner)
        , m_clock(clock)
        , m_page(std::move(page))
    { }

    QByteArray execute(SimUnit& unit, const QByteArray& line) override { return respond(unit, line).text; }
    SimReply respond(SimUnit& unit, const QByteArray& line) override
    {
        const frmWiz10* page = m_page();
        seen.append({ QString::fromLatin1(line), m_clock.monotonicMs(), page ? page->lblInfo->text() : QString(),
            page ? page->lblIP->text() : QString() });
        if (onLine)
            onLine(seen.last());
        return m_inner.respond(unit, line);
    }

    QStringList lines() const
    {
        QStringList out;
        for (const Seen& s : seen)
            out << s.line;
        return out;
    }
    // The lines from the first one that starts with from, up to (not
    // including) the first after it that starts with until.
    QList<Seen> between(const QString& from, const QString& until = QString()) const
    {
        QList<Seen> out;
        bool in = false;
        for (const Seen& s : seen) {
            if (!in && s.line.startsWith(from))
                in = true;
            else if (in && !until.isEmpty() && s.line.startsWith(until))
                break;
            if (in)
                out << s;
        }
        return out;
    }

    QList<Seen> seen;
    std::function<void(const Seen&)> onLine;

private:
    CommandInterpreter& m_inner;
    Clock& m_clock;
    std::function<frmWiz10*()> m_page;
};

struct CellularPageRig {
    static inline const QString kSerial = QStringLiteral("61000");

    explicit CellularPageRig(SimulatedClock& c)
        : clock(c)
        , scan(c)
    {
        config.bindAddress = QHostAddress::AnyIPv4;
        config.port = 7477;
        config.firstSerial = kSerial;
        config.rebootDownMs = 3000;
    }
    ~CellularPageRig()
    {
        scan.router.reset();
        scan.main.reset();
    }

    // Starts the unit, then the program's side; the unit reports model.
    bool start(const QString& model = QStringLiteral("Calvantor KR5005 Router"))
    {
        config.model = model;
        language = std::make_unique<UnitCommandLanguage>(clock, config);
        watcher = std::make_unique<WatchingInterpreter>(*language, clock, [this] { return testPage(); });
        std::vector<SimUnit> units;
        units.emplace_back(kSerial, QByteArray::fromHex("0050c2aa0001"), QStringLiteral("198.51.100.20"),
            QStringLiteral("1"), QStringLiteral("CV100"), model);
        transport = std::make_unique<SimTransport>(clock, config, std::move(units), *watcher);
        if (!lan.up(QStringLiteral("198.51.100.1/24"), { QStringLiteral("198.51.100.20/24") })) {
            qWarning("no LAN: %s", qPrintable(lan.lastError()));
            return false;
        }
        QString error;
        bool listening = false;
        lan.inUnits([&] { listening = transport->listen(&error); });
        if (!listening) {
            qWarning("unit cannot listen: %s", qPrintable(error));
            return false;
        }
        // As the adaptor page leaves it once the LAN is chosen.
        scan.broadcast = lan.pcBroadcast();
        scan.addInterface(QStringLiteral("198.51.100.1"), QStringLiteral("255.255.255.0"),
            QByteArray::fromHex("02005e0000a1"), lan.pcInterfaceIndex());
        scan.state.WizardMode = 0;
        scan.settings.RebootTime = 50;
        scan.createQuerier = [this](CQarUnitInfo& unit) {
            return std::make_unique<clsUnitQuerier>(
                clock, scan.state.Prefixes, scan.settings.RebootTime, cancel,
                [this](const QString&, const QString& text) { log << text; }, [&unit] { return unit.Mac(); });
        };
        // The discovery socket as start-up makes it: port 7477 on every
        // address, out of the chosen interface.
        VerevoSocketOptions o = VerevoSocketOptions::outOfSelected(scan.interfaces);
        // The PC's adapter as the option page reads it: static, on the unit's subnet.
        adapters.entries = { { { QStringLiteral("lw0"), QStringLiteral("02:00:5E:00:00:A1") },
            QStringList { QStringLiteral("198.51.100.1") }, QStringList { QStringLiteral("255.255.255.0") },
            QStringList(), QStringList(), false } };
        scan.adapters = &adapters;
        scan.pingHost = [this](const QString&, const QString&, qint32) { return unitAnswersPing; };
        scan.build([this, o] { return scan.realDiscovery(o); });
        return true;
    }

    // The search page finds the unit, the person takes it and goes on: the
    // option page probes it (the reset question answered No, out of the
    // test's own boxes and answers), the person picks optionChosen and goes
    // on to the cellular settings page.
    frmWiz09* openSettingsPage()
    {
        frmWiz07* search = scan.openSearch();
        if (!scan.waitForResults())
            return nullptr;
        const QList<QTreeWidgetItem*> hits = search->lvUnits->findItems(kSerial, Qt::MatchExactly, 0);
        if (hits.size() != 1)
            return nullptr;
        search->lvUnits->setCurrentItem(hits[0]);
        const QList<bool> answers = std::exchange(scan.prompts.answers, { false });
        const std::function<void()> onBox = std::exchange(scan.prompts.onBox, nullptr);
        search->cmdNext->click();
        WizardFixtureFlush();
        probeBoxes = std::exchange(scan.prompts.boxes, {});
        scan.prompts.answers = answers;
        scan.prompts.onBox = onBox;
        auto* option = qobject_cast<frmWiz08*>(scan.router->current());
        if (!option || !option->isEnabled())
            return nullptr;
        QRadioButton* pick
            = QList<QRadioButton*> { option->Option1, option->Option2, option->Option3 }.value(optionChosen - 1);
        if (!pick)
            return nullptr;
        pick->click();
        option->cmdNext->click();
        WizardFixtureFlush();
        return qobject_cast<frmWiz09*>(scan.router->current());
    }

    // Fills the settings page and presses Next; returns once the test page's
    // startup (and its first poll) has run.
    frmWiz10* applyAndTest(frmWiz09& page, const QString& apn = QStringLiteral("internet"),
        const QString& pin = QStringLiteral("1234"), const QString& user = QStringLiteral("web"),
        const QString& password = QStringLiteral("secret"))
    {
        page.txtAPN->setText(apn);
        page.txtPIN->setText(pin);
        page.txtUserName->setText(user);
        page.txtPassword->setText(password);
        page.cmdNext->click();
        WizardFixtureFlush();
        return testPage();
    }

    frmWiz10* testPage() const
    {
        return scan.router ? qobject_cast<frmWiz10*>(scan.router->page(PageId::Wiz10)) : nullptr;
    }

    SimUnitState& unitState() { return language->state(SimUnit(kSerial, {}, {}, {}, {}, {})); }

    // Runs the simulated clock for ms, events handled as they fall due.
    void run(qint64 ms) { clock.advance(ms); }

    static void WizardFixtureFlush() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    SimulatedClock& clock;
    UnitLan lan;
    ScanPageRig scan;
    SimConfig config;
    std::unique_ptr<UnitCommandLanguage> language;
    std::unique_ptr<WatchingInterpreter> watcher;
    std::unique_ptr<SimTransport> transport;
    bool cancel = false;
    QStringList log;
    // The option the person picks on the option page (1 to 3).
    qint16 optionChosen = 1;
    // Whether the pages' pings of the unit are answered.
    bool unitAnswersPing = true;
    // What the option page's probe asked.
    QList<RecordingPrompts::Box> probeBoxes;
    FakeAdapterConfigBackend adapters;
};
