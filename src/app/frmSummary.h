#pragma once

#include "app/TextStyle.h"

#include <QDialog>

#include <memory>

class CQarUnitInfo;
class DialogPrompts;
class QAction;
class QGroupBox;
class QPushButton;
class QSettings;
class QTextEdit;
class UserPrompts;

// What a Configure Units run did to one unit, as styled text that the person
// can copy (rich text, HTML and plain text) or save as a rich text file.
class frmSummary final : public QDialog {
    Q_OBJECT
public:
    struct Services {
        // The per-user store (group "Settings") of the window's position;
        // nothing is read or written without one.
        QSettings* store = nullptr;
        // The overwrite question and the box of a failed save; real dialogs
        // owned by the window when left empty.
        UserPrompts* prompts = nullptr;
    };

    explicit frmSummary(Services services, QWidget* parent = nullptr);
    ~frmSummary() override;

    // Fills the window for unit and shows it modally; returns once it is closed.
    void DisplaySummary(const std::shared_ptr<CQarUnitInfo>& unit);

    // Appends text in style at the end of the summary.
    void AppendStyledText(const QString& text, const TextStyle& style);

    // The whole summary as Rich Text Format, as Copy and Save write it.
    QByteArray rtf() const;
    QList<StyledRun> runs() const { return m_runs; }
    // The unit on view, until the window closes.
    std::shared_ptr<CQarUnitInfo> unit() const { return m_unit; }

    void cmdCopy_Click();
    void mnuSave_Click();

    QTextEdit* txtmsgs() const { return m_txtmsgs; }
    QGroupBox* Frame1() const { return m_Frame1; }
    QPushButton* cmdCopy() const { return m_cmdCopy; }
    QPushButton* cmdClose() const { return m_cmdClose; }
    QAction* mnuSave() const { return m_mnuSave; }
    QAction* mnuExit() const { return m_mnuExit; }

    // Closing by any road (Close, Exit, Esc, the close box) ends here.
    void done(int result) override;

private:
    void readWindowPosition();
    void writeWindowPosition();
    // Writes the summary to path in one piece; false, with the reason in the
    // error text, when nothing was written.
    bool writeFile(const QString& path, QString& error) const;
    UserPrompts& prompts();

    Services m_services;
    std::unique_ptr<DialogPrompts> m_ownPrompts;
    std::shared_ptr<CQarUnitInfo> m_unit;
    QList<StyledRun> m_runs;
    QGroupBox* m_Frame1 = nullptr;
    QTextEdit* m_txtmsgs = nullptr;
    QPushButton* m_cmdCopy = nullptr;
    QPushButton* m_cmdClose = nullptr;
    QAction* m_mnuSave = nullptr;
    QAction* m_mnuExit = nullptr;
};
