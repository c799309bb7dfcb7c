#pragma once

#include "app/frmMain.h"

#include <QHash>
#include <QStringList>

#include <functional>
#include <memory>

class RecordedRow final : public UnitListRow {
public:
    explicit RecordedRow(QString text)
        : m_text(std::move(text))
    { }
    QString text() const override { return m_text; }
    QString subItem(Column c) const override { return m_cells.value(c); }
    void setSubItem(Column c, const QString& v) override { m_cells[c] = v; }

private:
    QString m_text;
    QHash<int, QString> m_cells;
};

// The search page: keeps its rows, and on DisplayScanResults writes its log
// line and returns the discovery object as the real page does.
class RecordingView final : public ScanResultsView {
public:
    frmMain* window = nullptr;
    QList<std::shared_ptr<RecordedRow>> rows;
    QStringList statusTexts;
    int clears = 0;
    int displays = 0;
    std::shared_ptr<CQarUnitInfos> shownUnits;
    clsVerevo* heldDuringDisplay = nullptr;
    bool answer = false;
    // The serial whose row counts as selected; none when empty.
    QString selectSerial;

    void clearUnitRows() override
    {
        ++clears;
        rows.clear();
    }
    // Told of every row as it is added.
    std::function<void(const QString&)> rowAdded;

    std::shared_ptr<UnitListRow> addUnitRow(const QString& text) override
    {
        if (rowAdded)
            rowAdded(text);
        rows << std::make_shared<RecordedRow>(text);
        return rows.last();
    }
    void setStatusText(const QString& text) override { statusTexts << text; }
    bool DisplayScanResults(const QString& filter, const std::shared_ptr<CQarUnitInfos>& units) override
    {
        Q_ASSERT(filter.isEmpty());
        ++displays;
        shownUnits = units;
        heldDuringDisplay = window->cVerevo();
        const qsizetype n = units ? units->Count() : 0;
        window->AddLogEntry(QString(),
            n ? QString::number(n) + QStringLiteral(" Calvantor Units Located")
              : QStringLiteral("No Calvantor units Located"));
        window->returnDiscoveryFromScan();
        return answer;
    }
    std::shared_ptr<UnitListRow> selectedUnitRow() const override
    {
        for (const auto& r : rows) {
            if (!selectSerial.isEmpty() && r->text() == selectSerial)
                return r;
        }
        return nullptr;
    }
    QStringList rowTexts() const
    {
        QStringList out;
        for (const auto& r : rows)
            out << r->text();
        return out;
    }
};
