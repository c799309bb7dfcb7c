#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

// The Configure Units run's progress: the current operation, a percentage and
// Cancel. It is shown modeless, so the run goes on while it is up, and asks
// the window manager to keep it above other windows until it loses the focus.
// Cancel raises the program-wide cancel flag and leaves the window open: the
// run notices the flag at its next step and closes the window itself.
class frmProgress final : public QDialog {
    Q_OBJECT
public:
    // cancelRequested is the program-wide flag; it must outlive the window.
    explicit frmProgress(bool& cancelRequested, QWidget* parent = nullptr);

    // Clamps percent to 0..100, writes the clamped value back and shows it.
    void SetProgress(qint32& percent);
    void SetOperation(const QString& text);

    QLabel* Label1() const { return m_Label1; }
    QLabel* Label2() const { return m_Label2; }
    QProgressBar* ProgressBar1() const { return m_ProgressBar1; }
    QPushButton* CancelButton() const { return m_CancelButton; }

    // Esc acts as the Cancel button: the flag is raised, the window stays.
    void reject() override;

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CancelButton_Click();

    bool& m_cancelRequested;
    QLabel* m_Label1 = nullptr;
    QLabel* m_Label2 = nullptr;
    QProgressBar* m_ProgressBar1 = nullptr;
    QPushButton* m_CancelButton = nullptr;
};
