#pragma once

#include "wizard/WizardPage.h"

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class UnitCommands;

// What the three unit address pages share: a title, the unit's address and
// mask as text boxes with their labels, numbered steps, the hidden Help
// button, and the apply step that gives the unit its Ethernet address and
// saves its configuration. Nothing typed is checked here: the unit's reply
// decides.
class UnitAddressPage : public WizardPage {
    Q_OBJECT
public:
    QLabel* lblTitle;
    QLabel* Label4;
    QLineEdit* txtIP;
    QLabel* Label1;
    QLineEdit* txtMask;
    QPushButton* cmdHelp;
    QPushButton* cmdCancel;
    QPushButton* cmdBack;
    QPushButton* cmdNext;

    // What UnitIP holds after the unit refused its new address.
    static QString failedAddress() { return QStringLiteral("Error!"); }

protected:
    // ipTop and maskTop: where the address and mask fields stand, in twips.
    UnitAddressPage(PageId id, WizardRouter& router, QWidget* owner, int ipTop, int maskTop);

    // The top of the field on row (0 first) of an evenly spaced column.
    static int fieldTop(int row) { return kFirstFieldTop + row * kFieldPitch; }
    // A text box with its caption to the left; top in twips.
    QLineEdit* addField(const QString& name, QLabel* caption, const QString& text, int top);
    QLabel* addCaption(const QString& name, const QString& text);
    // An instruction line; a "&Next" in it shows its key.
    QLabel* addStep(const QString& name, const QString& text, int top);

    void setNavigationEnabled(bool enabled);

    // Sends the address and mask as they stand now; UnitIP becomes the
    // address when the unit took them, "Error!" when not, and only then is
    // the configuration saved. True when every step succeeded.
    bool applyEthernet(UnitCommands& unit);
    // Runs pass until it succeeds or the person does not want to retry.
    // False when the run ended meanwhile. Before the first pass the page is
    // marked as being left and its Next and Back greyed out: its close box
    // then ends nothing, and the loop goes on to the next page, which takes
    // the closed page's place on screen.
    bool applyWithRetry(const std::function<bool(UnitCommands&)>& pass);
    // The page was closed while it was not being left: the run is ending.
    bool runEnded() const { return unloaded() && !Navigating; }
    // Leaves by Next; when the page stays (no road on), it takes clicks
    // again and its close box ends the run again.
    void leaveAfterApply(const PageGraph::Inputs& inputs);

    static constexpr int kFirstFieldTop = 840;
    static constexpr int kFieldPitch = 420;
    static constexpr int kStepLeft = 840;
    static constexpr int kFieldHeight = 345;
};
