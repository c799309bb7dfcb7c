#pragma once

#include "app/clsCfgOptions.h"

#include <QDialog>

#include <map>

class QCheckBox;
class QGroupBox;
class QPushButton;

// Which steps a Configure Units run takes, asked before the run for one unit.
// A basic view offers only the summary switch; "Advanced >>" shows all nine.
// Make one per run: each opening starts in the basic view.
class frmCfgOptions final : public QDialog {
    Q_OBJECT
public:
    explicit frmCfgOptions(QWidget* parent = nullptr);

    // Shows the dialog modally on options, the caller's own record. True on
    // OK, the record then holding what the boxes show; false on Cancel, Esc
    // or the close box, with the record untouched.
    bool GetCfgOptions(const QString& serial, clsCfgOptions& options);

    // The switches' boxes by their numbers 0 to 6, 8 and 10; nullptr for others.
    QCheckBox* Check1(int index) const;
    // 1 the outer frame, 2 the GPRS frame inside it.
    QGroupBox* Frame1(int index) const;
    QPushButton* OKButton() const { return m_OKButton; }
    QPushButton* CancelButton() const { return m_CancelButton; }
    QPushButton* cmdOptions() const { return m_cmdOptions; }
    bool advanced() const { return m_advanced; }

private:
    void OKButton_Click();
    void cmdOptions_Click();
    void SetAdvancedView();

    clsCfgOptions* m_options = nullptr;
    bool m_advanced = false;
    std::map<int, QCheckBox*> m_Check1;
    QGroupBox* m_outerFrame = nullptr;
    QGroupBox* m_gprsFrame = nullptr;
    QPushButton* m_OKButton = nullptr;
    QPushButton* m_CancelButton = nullptr;
    QPushButton* m_cmdOptions = nullptr;
};
