#pragma once

// What the journeys along the Ethernet-and-cellular road share: the settings
// a person types on the cellular settings page, the lines they become on the
// unit, and the unit's log read without the test page's polls.

#include "wizard/frmWiz09.h"

#include <QLineEdit>
#include <QStringList>
#include <QTest>

namespace CellularRoad {

// The eight steps' lines for APN "internet", no PIN, PPP login web/secret.
inline const QStringList kSettingsApplied { "modemcc 0 apn \"internet\"", "modemcc 0 pin \"!\"",
    "PPP 1 username \"web\"", "PPP 1 password \"secret\"", "config 0 save", "reboot", "PPP 1 aodion on",
    "def_route 0 ll_ent ppp" };

// The lines the unit heard, the polls of the test page and the probe's
// questions left out: what changed the unit.
inline QStringList changes(const QStringList& lines)
{
    static const QStringList polls { "AT", "PPP 1 status", "modemcc 0 ?", "modemstat ?" };
    QStringList out;
    for (const QString& l : lines)
        if (!polls.contains(l))
            out << l;
    return out;
}

// What the test page asks the unit while it is up: its link's state while
// it waits for an address, then the signal poll.
inline bool isTestPageQuestion(const QString& line)
{
    return line == u"PPP 1 status" || line == u"modemcc 0 ?" || line == u"modemstat ?";
}

// Typed as a person does: Return moves down the boxes; the PIN is left
// empty. The page's window must be active.
inline void typeSettings(frmWiz09& settings)
{
    QTest::mouseClick(settings.txtAPN, Qt::LeftButton);
    QCOMPARE(settings.focusWidget(), settings.txtAPN);
    for (const char* value : { "internet", "", "web" }) {
        QWidget* box = settings.focusWidget();
        QTest::keyClicks(box, QString::fromLatin1(value));
        QTest::keyClick(box, Qt::Key_Return);
    }
    QCOMPARE(settings.focusWidget(), settings.txtPassword);
    QTest::keyClicks(settings.txtPassword, QStringLiteral("secret"));
}

} // namespace CellularRoad
