#pragma once

#include "unit/UnitListRow.h"

#include <QStringList>

class QTreeWidgetItem;

// A row of the search page's unit list as the scan engine and the unit records
// see it. It keeps its own copy of the texts, so a record that outlives the
// list (a new search empties it) still reads what its row showed.
class UnitListViewRow final : public UnitListRow {
public:
    explicit UnitListViewRow(QTreeWidgetItem* item);

    QString text() const override { return m_texts.value(SerialNo); }
    QString subItem(Column column) const override { return m_texts.value(column); }
    void setSubItem(Column column, const QString& value) override;

    QTreeWidgetItem* item() const { return m_item; }
    // The list dropped the row: later writes only reach the copy.
    void detach() { m_item = nullptr; }

private:
    QTreeWidgetItem* m_item;
    QStringList m_texts;
};
