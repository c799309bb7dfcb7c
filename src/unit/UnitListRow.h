#pragma once

#include <QString>

// A unit's row in the search page's unit list. The scan engine adds it, the
// record keeps a reference to it, and the pipeline and the pages write into it.
// The page that shows the list implements it; a row may outlive its list (a
// new scan clears the list while a page still holds the chosen record), so an
// implementation must stay safe to call after its list has been emptied.
class UnitListRow {
public:
    // The columns of the search page's list; the row's own text is the first.
    enum Column { SerialNo = 0, Model = 1, EthernetIP = 2, UnitID = 3, Pingable = 4 };

    virtual ~UnitListRow() = default;

    // The row's own text: the unit's serial number.
    virtual QString text() const = 0;
    virtual QString subItem(Column column) const = 0;
    virtual void setSubItem(Column column, const QString& value) = 0;
};
