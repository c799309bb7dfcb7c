#pragma once

#include "wizard/ProgramEnd.h"

#include <QDialog>

class QLabel;
class QPushButton;

// The page shown instead of the wizard when the PC has no usable network
// adaptor. Whichever way it is left, the program ends.
class frmEnd : public QDialog {
    Q_OBJECT
public:
    explicit frmEnd(ProgramEnder ender, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* OK = nullptr;

    void done(int result) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void OK_Click();
    void Form_Unload();

    ProgramEnder m_ender;
    bool m_ending = false;
};
