#include "app/Module1.h"
#include "net/NumberText.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QToolBar>
#include <QTreeWidget>

#include <limits>

namespace {
const QHash<int, QString>& table()
{
    static const QHash<int, QString> texts {
        { 1000, QStringLiteral("&File") },
        { 1001, QStringLiteral("E&xit") },
        { 1002, QStringLiteral("&Scan") },
        { 1003, QStringLiteral("&Edit") },
        { 1004, QStringLiteral("&Undo") },
        { 1005, QStringLiteral("Cu&t") },
        { 1006, QStringLiteral("&Copy") },
        { 1007, QStringLiteral("&Paste") },
        { 1008, QStringLiteral("Paste &Special...") },
        { 1009, QStringLiteral("&View") },
        { 1010, QStringLiteral("&Toolbar") },
        { 1011, QStringLiteral("Status &Bar") },
        { 1012, QStringLiteral("&Web Browser") },
        { 1013, QStringLiteral("&Help") },
        { 1014, QStringLiteral("&About ") },
        { 1015, QStringLiteral("Cut") },
        { 1016, QStringLiteral("Copy") },
        { 1017, QStringLiteral("Paste") },
        { 1018, QStringLiteral("Scan") },
        { 1025, QStringLiteral("Velmar Setup Wizard") },
        { 1027, QStringLiteral("About Velmar Wizard") },
        { 1028, QStringLiteral("&System Info...") },
        { 1029, QStringLiteral("OK") },
        { 1031, QStringLiteral("Version") },
        { 1032, QStringLiteral("Velmar Setup Wizard") },
        { 1033, QStringLiteral("Velmar Product Setup Wizard. Perform initial setup of your new Velmar router.") },
        { 1034, QStringLiteral("Back") },
        { 1035, QStringLiteral("Forward") },
        { 1036, QStringLiteral("Stop") },
        { 1037, QStringLiteral("Refresh") },
        { 1038, QStringLiteral("Home") },
        { 1039, QStringLiteral("Search") },
        { 1040, QStringLiteral("&Address:") },
        { 2000, QStringLiteral("&Clear List") },
        { 2001, QStringLiteral("&Telnet") },
    };
    return texts;
}

bool fitsInt16(qint64 n)
{
    return n >= std::numeric_limits<qint16>::min() && n <= std::numeric_limits<qint16>::max();
}

// The whole text must be one 16-bit whole number (blanks around it allowed).
std::optional<QString> textForWhole(const QString& number)
{
    const std::optional<qint64> n = NumberText::wholeText(number);
    if (!n || !fitsInt16(*n))
        return std::nullopt;
    return Module1::ResString(int(*n));
}

std::optional<QString> textForLeading(const QString& text, qint64 minimum)
{
    // "The number at the start of the text; 0 when there is none."
    const qint64 n = NumberText::read(text, NumberText::wholeNumber).saturated();
    if (n < minimum || !fitsInt16(n))
        return std::nullopt;
    return Module1::ResString(int(n));
}

QString tagOf(const QObject* o)
{
    return o->property("Tag").toString();
}

void loadMenuItems(const QList<QAction*>& actions)
{
    for (QAction* a : actions) {
        if (a->isSeparator())
            continue;
        if (const auto text = textForWhole(a->text()))
            a->setText(*text);
    }
}

void loadControl(QWidget* w)
{
    if (auto* label = qobject_cast<QLabel*>(w)) {
        if (const auto text = textForWhole(tagOf(label)))
            label->setText(*text);
    } else if (qobject_cast<QMenuBar*>(w) || qobject_cast<QMenu*>(w)) {
        loadMenuItems(w->actions());
    } else if (auto* tabs = qobject_cast<QTabBar*>(w)) {
        for (int i = 0; i < tabs->count(); ++i) {
            if (const auto text = textForWhole(tabs->tabData(i).toString()))
                tabs->setTabText(i, *text);
            if (const auto tip = textForWhole(tabs->tabToolTip(i)))
                tabs->setTabToolTip(i, *tip);
        }
    } else if (auto* bar = qobject_cast<QToolBar*>(w)) {
        for (QAction* a : bar->actions()) {
            if (const auto tip = textForWhole(a->toolTip()))
                a->setToolTip(*tip);
        }
    } else if (auto* tree = qobject_cast<QTreeWidget*>(w)) {
        QTreeWidgetItem* header = tree->headerItem();
        for (int c = 0; header && c < header->columnCount(); ++c) {
            if (const auto text = textForWhole(header->data(c, Qt::UserRole).toString()))
                header->setText(c, *text);
        }
    } else {
        if (const auto text = textForLeading(tagOf(w), 1)) {
            if (auto* button = qobject_cast<QAbstractButton*>(w))
                button->setText(*text);
            else if (auto* box = qobject_cast<QGroupBox*>(w))
                box->setTitle(*text);
        }
        if (const auto tip = textForLeading(w->toolTip(), 1))
            w->setToolTip(*tip);
    }
}

// The controls of one window, in creation order; a window of its own among
// the children (a dialog owned by this one) keeps its controls to itself,
// while drop-down menus belong to the window whose menu bar shows them.
void loadChildren(QObject* parent)
{
    for (QObject* child : parent->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (!w)
            continue;
        if (w->isWindow() && !qobject_cast<QMenu*>(w))
            continue;
        loadControl(w);
        loadChildren(w);
    }
}
} // namespace

namespace Module1 {

std::optional<QString> ResString(int id)
{
    const auto it = table().constFind(id);
    if (it == table().constEnd())
        return std::nullopt;
    return *it;
}

void LoadResStrings(QWidget* window)
{
    if (!window)
        return;
    if (const auto caption = textForWhole(tagOf(window)))
        window->setWindowTitle(*caption);
    loadChildren(window);
}

} // namespace Module1
