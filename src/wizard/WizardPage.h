#pragma once

#include "net/CallLifetime.h"
#include "wizard/PageGraph.h"
#include "wizard/PageId.h"

#include <QPointer>
#include <QWidget>

#include <deque>
#include <functional>

class QAbstractButton;
class QLabel;
class QPushButton;
class UserPrompts;
class WizardRouter;
struct WizardServices;
struct WizardState;

// What every wizard page shares: one top-level window of the same size and
// caption, the navigation buttons and their keys, leaving by the page graph,
// the close box ending the run, the exit question and the Help stub. A page
// class adds its own controls and steps and overrides the handlers it needs:
// it adds the navigation buttons it has (one without Cancel adds none, and
// Escape then does nothing), takes what lies beyond its controls from
// services(), finds the chosen unit through router().selectedUnit(), and does
// its long work in startup(), which the page leading there runs.
//
// Waits inside a page (a unit's reply, a reboot, a link) pump events, so any
// button can be pressed while a handler is still running. The frame makes that
// safe once for every page:
// - leave guard: a second Next or Back while the page is already being left is
//   ignored (two clicks in quick succession open one page, not two);
// - a page is never deleted while its own handler or startup is still on the
//   stack (the program's rule, CallLifetime): unloading it during such a wait
//   hides it and deletes it when that work has returned (unloaded() tells the
//   work to stop early);
// - busy state: while a page says it is busy (a poll in flight), leaving it
//   shows the target at once but unloads this page only when the poll has
//   ended, Cancel's Yes ends the run only then, and Retry runs only then.
class WizardPage : public QWidget {
    Q_OBJECT
public:
    // The buttons along the bottom edge that the frame knows by role.
    enum class Nav { Cancel, Back, Next, Retry, Help };

    WizardPage(PageId id, WizardRouter& router, QWidget* owner = nullptr);
    ~WizardPage() override;

    PageId id() const { return m_id; }
    bool navigating() const { return Navigating; }

    // Runs the page's load handler; the router calls it before the first show.
    void load();
    // Called by the router right after the first show.
    void shown();
    // The page that leads here runs this page's long work through it, after
    // showing it; it returns when the work is done.
    void runStartup();

    // Busy: a piece of the page's own work (a poll) is in flight and the
    // actions that would unload the page or start the work again must wait
    // for it. Clearing it runs what waited, in the order it was asked for.
    bool isBusy() const { return m_busy; }
    void setBusy(bool busy);
    // Runs action now when the page is not busy, else once it no longer is.
    void whenIdle(std::function<void()> action);
    // True once the page has been closed; its own work still running should
    // return without touching anything more.
    bool unloaded() const { return m_life.ended(); }

    QPushButton* navButton(Nav role) const;

    static QString exitQuestion();
    static QString helpStubText();

protected:
    // The long work of a page after it is shown; pages without any keep this.
    // Only runStartup calls it.
    virtual void startup() { }
    // The page's own part of the load handler, after the shared part.
    virtual void onLoad() { }
    // The first thing the page does once it is on screen (and the page before
    // it has gone); work that must not hold up the page's appearance.
    virtual void onShown() { }
    // The page is being left by its buttons, just before the next page comes
    // up: work that runs by itself (a timer's poll) stops here. The next
    // page's startup may wait for long while this page is still loaded.
    virtual void onLeave() { }

    // The navigation buttons' handlers. Next and Back follow the page graph,
    // Cancel asks the exit question, Help shows the stub; Retry has no
    // default. Each runs inside the frame's guards.
    virtual void nextClicked();
    virtual void backClicked();
    virtual void retryClicked() { }
    virtual void cancelClicked();
    virtual void helpClicked();
    // The close box, while the page is not being left by its buttons, ends
    // the run; a page that must not take it (while it is disabled, say)
    // returns true and the window stays.
    virtual bool ignoresCloseBox() const { return false; }

    // Leaves by one of the page's buttons as the page graph says. Returns
    // false when the page stays (no way on, or the page is already being
    // left).
    bool leave(PageGraph::Button button);
    bool leaveTo(PageId target, bool runStartup);
    // A handler that may leave decided to stay (a refusal, a missing choice,
    // a failure to retry): the page takes clicks again and its close box
    // ends the run again.
    void stay();
    // Ends the run, once the page is no longer busy (hidden meanwhile).
    void endProgramWhenIdle();
    // Runs a piece of the page's own work that an event started (a timer's
    // poll) under the guard of its handlers and startup: the page is not
    // deleted before the work has returned.
    void runGuarded(const std::function<void()>& work);
    void showHelpStub();

    // Design helpers: geometry in twips.
    void place(QWidget* widget, int left, int top, int width, int height);
    // A navigation button with its standard caption and key, design size.
    QPushButton* addNavButton(Nav role, int left, int top = kButtonTop);
    QPushButton* addButton(const QString& text, int left, int top = kButtonTop);
    QLabel* addLabel(const QString& text, int left, int top, int width, int height);
    // Runs handler on each click of one of the page's own buttons (not a
    // navigation one) inside the frame's guards, as a Next handler runs: the
    // page outlives whatever the handler waits for, even when it is closed
    // meanwhile (unloaded() then says so).
    void onClicked(QAbstractButton* button, std::function<void()> handler);
    // The page's centred title in the title font, named lblTitle.
    QLabel* addTitle(const QString& text, int top, int height);
    // One numbered instruction line ("3) Click &Next." shows its key), one
    // line high, named name.
    QLabel* addStepLine(const QString& name, const QString& text, int left, int top, int width);

    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    WizardRouter& router();
    WizardState& state();
    const WizardServices& services();
    UserPrompts& prompts();
    PageGraph::Inputs routeInputs();

    // True while the page is being left by its own buttons.
    bool Navigating = false;

    static constexpr int kButtonTop = 4920;

private:
    friend class WizardRouter;
    // Keeps the page from being deleted while its own code runs.
    using RunScope = CallLifetime::Call;

    void onNav(Nav role);
    void unloadWhenIdle();
    void unload();
    void runDeferred();

    PageId m_id;
    // The router may go before a page whose deletion is still pending.
    QPointer<WizardRouter> m_router;
    QPointer<QPushButton> m_nav[5];
    bool m_leaving = false;
    bool m_busy = false;
    CallLifetime m_life;
    std::deque<std::function<void()>> m_deferred;
};
