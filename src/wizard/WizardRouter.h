#pragma once

#include "wizard/PageId.h"
#include "wizard/ProgramEnd.h"
#include "wizard/WizardServices.h"

#include <QIcon>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>

#include <functional>
#include <map>
#include <memory>

class CQarUnitInfo;
class Clock;
class clsVerevo;
class UserPrompts;
class QWidget;
class WizardPage;
struct WizardState;

// Creates the wizard's pages on demand and owns what they share: the state
// table, the prompts, the clock, the Shift key, the services bundle and the way
// the run ends. Pages ask it for their successors, so whoever holds it sees
// every step. It also keeps the wizard in one place on the screen: each page
// opens where the page before it stood.
class WizardRouter : public QObject {
    Q_OBJECT
public:
    using Factory = std::function<WizardPage*(WizardRouter&, QWidget* owner)>;
    using Ender = ProgramEnder;

    // owner: the window that owns every page (the hidden main window), or none.
    WizardRouter(WizardState& state, UserPrompts& prompts, Clock& clock, std::function<bool()> shiftKeyDown,
        Ender ender = &ProgramEnd::now, QWidget* owner = nullptr, WizardServices services = {});
    ~WizardRouter() override;

    void registerPage(PageId id, Factory factory);

    // Loads a new instance of the page, places it where the page on screen
    // stands and shows it modeless; nullptr when no such page is registered.
    WizardPage* open(PageId id);

    // The page shown last that is still loaded, or nullptr.
    WizardPage* current() const;
    // The loaded page with this id, or nullptr.
    WizardPage* page(PageId id) const;
    // The most recently shown page that is on screen now, or nullptr. Boxes
    // that no window asked for stand over it.
    WizardPage* visiblePage() const;

    // The record of the unit the search page chose (SelectedUnitNo), found in
    // the scan engine's collection by the same rule as the main window's unit
    // actions; empty when no record matches.
    std::shared_ptr<CQarUnitInfo> selectedUnit() const;
    // The discovery object where it rests between scans, in the main window,
    // for the unit commands of the pages; nullptr while a scan has it lent.
    clsVerevo* discovery() const;

    // Ends the run at once: nothing more is saved and no window handler runs.
    void endProgram();

    bool shiftKeyDown() const;
    WizardState& state() { return m_state; }
    UserPrompts& prompts() { return m_prompts; }
    Clock& clock() { return m_clock; }
    const WizardServices& services() const { return m_services; }
    const QIcon& windowIcon() const { return m_icon; }

signals:
    void pageShown(PageId id);
    void pageUnloaded(PageId id);
    void programEnding();

private:
    friend class WizardPage;
    void forget(WizardPage* page);
    void remember(const QWidget* page);
    void place(WizardPage* page);

    WizardState& m_state;
    UserPrompts& m_prompts;
    Clock& m_clock;
    std::function<bool()> m_shift;
    Ender m_ender;
    QPointer<QWidget> m_owner;
    WizardServices m_services;
    QIcon m_icon;
    std::map<PageId, Factory> m_factories;
    QList<WizardPage*> m_pages;
    // Where the last page stood on screen, window frame included, and the
    // width of that frame; invalid until a page has been on screen.
    QRect m_lastFrame;
    QMargins m_frameMargins;
};
