#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;

// The notice between the discovery and the configuration phase: it lists what
// the configuration phase does and asks for Next or Cancel.
class frmDiscoveryComplete final : public QDialog {
    Q_OBJECT
public:
    explicit frmDiscoveryComplete(QWidget* parent = nullptr);

    // Modal; true only when the person pressed Next.
    bool GetResponse();

    // The notice's text as the program words it, lines ended by a lone CR.
    static QString promptText();

    QLabel* Label1() const { return m_Label1; }
    QLabel* lblPrompt() const { return m_lblPrompt; }
    QLabel* lblHowMany() const { return m_lblHowMany; }
    QLabel* lblQuery() const { return m_lblQuery; }
    QPushButton* NextButton() const { return m_NextButton; }
    QPushButton* CancelButton() const { return m_CancelButton; }

private:
    QGroupBox* m_Frame1 = nullptr;
    QLabel* m_Label1 = nullptr;
    QLabel* m_lblHowMany = nullptr;
    QLabel* m_lblQuery = nullptr;
    QLabel* m_lblPrompt = nullptr;
    QPushButton* m_NextButton = nullptr;
    QPushButton* m_CancelButton = nullptr;
};
