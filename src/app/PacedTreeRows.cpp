#include "app/PacedTreeRows.h"

#include <algorithm>

PacedTreeRows::PacedTreeRows(QTreeWidget& tree, Clock& clock, End end, Current current, int intervalMs, QObject* parent)
    : QObject(parent)
    , m_tree(tree)
    , m_clock(clock)
    , m_end(end)
    , m_current(current)
    , m_intervalMs(intervalMs)
{ }

PacedTreeRows::~PacedTreeRows()
{
    if (m_flush)
        m_clock.cancel(m_flush);
    qDeleteAll(m_waiting);
}

void PacedTreeRows::add(QTreeWidgetItem* item)
{
    m_waiting.append(item);
    if (!m_flush)
        m_flush = m_clock.schedule(m_intervalMs, [this] {
            m_flush = 0;
            flush();
        });
}

void PacedTreeRows::flush()
{
    if (m_flush) {
        m_clock.cancel(m_flush);
        m_flush = 0;
    }
    if (m_waiting.isEmpty())
        return;
    QList<QTreeWidgetItem*> rows;
    rows.swap(m_waiting);
    QTreeWidgetItem* newest = rows.last();
    if (m_end == End::Top) {
        // Newest first: the last one added stands at the very top.
        std::reverse(rows.begin(), rows.end());
        m_tree.insertTopLevelItems(0, rows);
    } else {
        m_tree.addTopLevelItems(rows);
    }
    if (m_current == Current::Newest)
        m_tree.setCurrentItem(newest);
    else if (!m_tree.currentItem())
        m_tree.setCurrentItem(m_tree.topLevelItem(0));
}

void PacedTreeRows::clear()
{
    if (m_flush) {
        m_clock.cancel(m_flush);
        m_flush = 0;
    }
    qDeleteAll(m_waiting);
    m_waiting.clear();
    m_tree.clear();
}
