#pragma once

#include "app/ScanResultsView.h"
#include "wizard/WizardPage.h"

#include <QList>

#include <memory>

class QLabel;
class QPushButton;
class PacedTreeRows;
class QTreeWidget;
class SearchAnimation;
class UnitListViewRow;
class frmMain;

// The search page: looks for units on the LAN through the main window's scan
// engine, shows what answered, and takes the chosen unit as the one to
// configure. While the page exists the engine reports to it.
class frmWiz07 : public WizardPage, public ScanResultsView {
    Q_OBJECT
public:
    // The scan engine is the services' main window.
    explicit frmWiz07(WizardRouter& router, QWidget* owner = nullptr);
    ~frmWiz07() override;

    // ScanResultsView
    void clearUnitRows() override;
    std::shared_ptr<UnitListRow> addUnitRow(const QString& text) override;
    void setStatusText(const QString& text) override;
    bool DisplayScanResults(const QString& filter, const std::shared_ptr<CQarUnitInfos>& units) override;
    std::shared_ptr<UnitListRow> selectedUnitRow() const override;

    QLabel* lblTitle;
    QTreeWidget* lvUnits;
    SearchAnimation* Animation1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* lblStatus;
    QPushButton* cmdNext;
    QPushButton* cmdBack;
    QPushButton* cmdRetry;
    QPushButton* cmdCancel;

protected:
    void onLoad() override;
    void onShown() override;
    void nextClicked() override;
    void retryClicked() override;
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* addStep(const QString& name, const QString& text, int top, int height = 300);
    void search();
    void unregister();
    // The rows not yet in the list would show in its visible part.
    bool waitingRowsInView() const;
    // Hides the search's clip once the rows reach down to it.
    void giveWayToRows();

    frmMain& m_main;
    QList<std::shared_ptr<UnitListViewRow>> m_rows;
    // The rows the scan adds go into lvUnits in bursts, or at once before a
    // unit is pinged.
    std::unique_ptr<PacedTreeRows> m_fill;
    bool m_registered = false;
};
