#pragma once

#include "wizard/PageGraph.h"
#include "wizard/PageId.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QPushButton;
class UserPrompts;
class WizardRouter;
struct WizardState;

// What every wizard page shares: one top-level window of the same size and
// caption, leaving by the page graph, the close box ending the run, the exit
// question and the Help stub.
class WizardPage : public QWidget {
    Q_OBJECT
public:
    WizardPage(PageId id, WizardRouter& router, QWidget* owner = nullptr);
    ~WizardPage() override;

    PageId id() const { return m_id; }
    bool navigating() const { return Navigating; }

    // Runs the page's load handler; the router calls it before the first show.
    void load();
    // The long work of a page after it is shown; pages without any keep this.
    virtual void startup() { }

    static QString exitQuestion();
    static QString helpStubText();

protected:
    // The page's own part of the load handler, after the shared part.
    virtual void onLoad() { }

    // Leaves by one of the page's buttons as the page graph says. Returns
    // false when the page stays (no way on, or the target is not there yet).
    bool leave(PageGraph::Button button);
    bool leaveTo(PageId target, bool runStartup);

    void confirmCancel();
    void showHelpStub();

    // Design helpers: geometry in twips.
    void place(QWidget* widget, int left, int top, int width, int height);
    QPushButton* addButton(const QString& text, int left, int top = 4920);
    QLabel* addLabel(const QString& text, int left, int top, int width, int height);

    void closeEvent(QCloseEvent* event) override;

    WizardRouter& router();
    WizardState& state();
    UserPrompts& prompts();
    PageGraph::Inputs routeInputs();

    // True while the page is being left by its own buttons.
    bool Navigating = false;

private:
    friend class WizardRouter;
    PageId m_id;
    // The router may go before a page whose deletion is still pending.
    QPointer<WizardRouter> m_router;
};
