#pragma once

#include "wizard/PageId.h"

#include <QIcon>
#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>
#include <map>

class Clock;
class UserPrompts;
class QWidget;
class WizardPage;
struct WizardState;

// Creates the wizard's pages on demand and owns what they share: the state
// table, the prompts, the clock, the Shift key and the way the run ends.
// Pages ask it for their successors, so whoever holds it sees every step.
class WizardRouter : public QObject {
    Q_OBJECT
public:
    using Factory = std::function<WizardPage*(WizardRouter&, QWidget* owner)>;
    using Ender = std::function<void()>;

    // owner: the window that owns every page (the hidden main window), or none.
    WizardRouter(WizardState& state, UserPrompts& prompts, Clock& clock, std::function<bool()> shiftKeyDown,
        Ender ender = defaultEnder(), QWidget* owner = nullptr);
    ~WizardRouter() override;

    void registerPage(PageId id, Factory factory);
    bool isAvailable(PageId id) const;

    // Loads a new instance of the page and shows it modeless; nullptr when no
    // such page is registered.
    WizardPage* open(PageId id);

    // The page shown last that is still loaded, or nullptr.
    WizardPage* current() const;
    // The loaded page with this id, or nullptr.
    WizardPage* page(PageId id) const;

    // Ends the run at once: nothing more is saved and no window handler runs.
    void endProgram();

    bool shiftKeyDown() const;
    WizardState& state() { return m_state; }
    UserPrompts& prompts() { return m_prompts; }
    Clock& clock() { return m_clock; }
    const QIcon& windowIcon() const { return m_icon; }

    // Flushes the standard streams and leaves the process with status 0,
    // without running destructors or writing the settings back.
    static Ender defaultEnder();

signals:
    void pageShown(PageId id);
    void pageUnloaded(PageId id);
    void programEnding();

private:
    friend class WizardPage;
    void forget(WizardPage* page);

    WizardState& m_state;
    UserPrompts& m_prompts;
    Clock& m_clock;
    std::function<bool()> m_shift;
    Ender m_ender;
    QPointer<QWidget> m_owner;
    QIcon m_icon;
    std::map<PageId, Factory> m_factories;
    QList<WizardPage*> m_pages;
};
