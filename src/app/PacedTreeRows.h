#pragma once

#include "net/Clock.h"

#include <QList>
#include <QObject>
#include <QTreeWidget>

// Adds rows to a list that fills one row at a time while the event loop turns
// between them (the scan's walk pumps events after every log line). Every
// insertion makes a QTreeView lay out and repaint all its rows at the next
// turn, so a list of n rows filled that way costs n^2; here new rows wait and
// go in together at most once per interval. Rows keep their order, and an
// item's texts may be set while it waits.
class PacedTreeRows : public QObject {
    Q_OBJECT
public:
    enum class End { Top, Bottom };
    // What becomes the current row when rows go in: the newest one, or the
    // first row of the list when it has no current row yet.
    enum class Current { Newest, FirstIfNone };

    PacedTreeRows(
        QTreeWidget& tree, Clock& clock, End end, Current current, int intervalMs = 40, QObject* parent = nullptr);
    ~PacedTreeRows() override;

    // Takes the item over; it joins the list within the interval.
    void add(QTreeWidgetItem* item);
    // Puts every waiting row into the list now.
    void flush();
    // Empties the list, waiting rows included.
    void clear();
    bool waiting() const { return !m_waiting.isEmpty(); }

private:
    QTreeWidget& m_tree;
    Clock& m_clock;
    End m_end;
    Current m_current;
    int m_intervalMs;
    // Oldest first.
    QList<QTreeWidgetItem*> m_waiting;
    Clock::TimerId m_flush = 0;
};
