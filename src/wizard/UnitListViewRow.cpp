#include "wizard/UnitListViewRow.h"

#include <QTreeWidgetItem>

namespace {
constexpr int kColumns = 5;
} // namespace

UnitListViewRow::UnitListViewRow(QTreeWidgetItem* item)
    : m_item(item)
{
    for (int c = 0; c < kColumns; ++c)
        m_texts << (item ? item->text(c) : QString());
}

void UnitListViewRow::setSubItem(Column column, const QString& value)
{
    if (column < 0 || column >= kColumns)
        return;
    m_texts[column] = value;
    if (m_item)
        m_item->setText(column, value);
}
