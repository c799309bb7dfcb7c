#pragma once

#include "app/clsScanOptions.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// Asks whether to scan for all units or for one serial number, and (in its
// advanced view) the two switches of a scan. Make one per question.
class frmScanOptions final : public QDialog {
    Q_OBJECT
public:
    explicit frmScanOptions(QWidget* parent = nullptr);

    // Modal. True on OK: serial then holds the chosen serial number ("" for
    // all units) and options the boxes' switches. False on Cancel, Esc or the
    // close box, with both left as they were.
    bool GetScanOptions(QString& serial, clsScanOptions& options);

    // 0 "Scan for specific serial number", 1 "Scan for all units".
    QRadioButton* Option1(int index) const;
    QLineEdit* txtSerial() const { return m_txtSerial; }
    // 7 the liveliness check, 9 the GPRS requirement.
    QCheckBox* Check1(int index) const;
    QGroupBox* Frame1() const { return m_Frame1; }
    QPushButton* cmdOptions() const { return m_cmdOptions; }
    QPushButton* OKButton() const { return m_OKButton; }
    QPushButton* CancelButton() const { return m_CancelButton; }
    bool advanced() const { return m_advanced; }

private:
    void Option1_Click(int index);
    void cmdOptions_Click();
    void OKButton_Click();
    void HideAdvanced();
    void ShowAdvanced();
    void applyView();

    clsScanOptions* m_options = nullptr;
    QString m_serial;
    bool m_advanced = false;
    bool m_ready = false;
    QGroupBox* m_Frame1 = nullptr;
    QRadioButton* m_specific = nullptr;
    QRadioButton* m_all = nullptr;
    QLineEdit* m_txtSerial = nullptr;
    QCheckBox* m_mustHaveGPRS = nullptr;
    QCheckBox* m_initialPing = nullptr;
    QPushButton* m_cmdOptions = nullptr;
    QPushButton* m_OKButton = nullptr;
    QPushButton* m_CancelButton = nullptr;
};
