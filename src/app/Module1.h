#pragma once

#include "app/AppSettings.h"
#include "app/ProgramState.h"
#include "net/InterfaceEntry.h"

#include <QString>

#include <functional>
#include <optional>

class QSettings;
class QWidget;

// Start-up of the program and the services around its settings and texts.
namespace Module1 {

// What Main needs from the rest of the program, so that the start-up order can
// be driven from a test: counting the usable interfaces, and opening one of
// the two first windows.
struct StartupHooks {
    std::function<qint32()> buildInterfaceList;
    // Loads the hidden main window and shows the welcome page owned by it.
    std::function<void()> loadMainWindowAndShowWelcome;
    // Shows the no-adaptor page modally; that page ends the program.
    std::function<void()> showNoAdaptorPage;
};

// The store is a QSettings of application "Linkwise"; the values live in its
// group "Settings", all as text.
void Main(
    ProgramState& state, QSettings& store, AppSettings& settings, UsableInterfaces& usable, const StartupHooks& hooks);

void ReadSettings(QSettings& store, AppSettings& settings);
void SaveSettings(QSettings& store, const AppSettings& settings);

// The program's string table; nullopt for a number the table lacks.
std::optional<QString> ResString(int id);

// Puts the table's texts into the captions of window and of its controls.
// The number is the dynamic property "Tag" of the window, a label, a button or
// any other widget; the design text of a menu action; the tooltip of a toolbar
// action; for a tab, QTabBar::tabData as the Tag and the tab's tooltip; for a
// QTreeWidget column header, the header item's Qt::UserRole data. Whatever is
// missing, empty or not a number keeps its design text.
void LoadResStrings(QWidget* window);

// True while either Shift key is held at the moment of the call.
bool ShiftKeyDown();

} // namespace Module1
