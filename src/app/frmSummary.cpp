#include "app/frmSummary.h"

#include "app/DialogPrompts.h"
#include "app/RtfWriter.h"
#include "app/SummaryRuns.h"
#include "app/Twips.h"
#include "unit/CQarUnitInfo.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

#include <array>

namespace {
const QString kCaption = QStringLiteral("Results Summary");
const QString kSettings = QStringLiteral("Settings");

struct PositionKey {
    const char* key;
    int fallback; // twips
};
// Until the person has placed the window, it opens as a square of 6500
// twips; the person may make it larger, and it opens so again.
const std::array<PositionKey, 4> kPositionKeys = { {
    { "SummaryLeft", 1000 },
    { "SummaryTop", 1000 },
    { "SummaryWidth", 6500 },
    { "SummaryHeight", 6500 },
} };
} // namespace

frmSummary::frmSummary(Services services, QWidget* parent)
    : QDialog(parent)
    , m_services(services)
{
    setWindowTitle(kCaption);
    setSizeGripEnabled(true);

    auto* menuBar = new QMenuBar(this);
    QMenu* mnuFile = menuBar->addMenu(QStringLiteral("&File"));
    m_mnuSave = mnuFile->addAction(QStringLiteral("&Save"));
    m_mnuSave->setShortcut(QKeySequence::Save);
    m_mnuExit = mnuFile->addAction(QStringLiteral("E&xit"));

    m_txtmsgs = new QTextEdit;
    m_Frame1 = new QGroupBox;
    auto* frame = new QVBoxLayout(m_Frame1);
    frame->addWidget(m_txtmsgs);

    m_cmdCopy = new QPushButton(QStringLiteral("&Copy"));
    m_cmdClose = new QPushButton(QStringLiteral("Close"));
    m_cmdCopy->setAutoDefault(false);
    m_cmdClose->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdCopy);
    buttons->addWidget(m_cmdClose);

    auto* top = new QVBoxLayout(this);
    top->setMenuBar(menuBar);
    top->addWidget(m_Frame1, 1);
    top->addLayout(buttons);

    connect(m_cmdCopy, &QPushButton::clicked, this, &frmSummary::cmdCopy_Click);
    connect(m_cmdClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_mnuSave, &QAction::triggered, this, &frmSummary::mnuSave_Click);
    connect(m_mnuExit, &QAction::triggered, this, &QDialog::reject);
    readWindowPosition();
}

frmSummary::~frmSummary() = default;

UserPrompts& frmSummary::prompts()
{
    if (m_services.prompts)
        return *m_services.prompts;
    if (!m_ownPrompts)
        m_ownPrompts = std::make_unique<DialogPrompts>(this);
    return *m_ownPrompts;
}

void frmSummary::DisplaySummary(const std::shared_ptr<CQarUnitInfo>& unit)
{
    // Read-only for the person; the text stays selectable and copyable.
    m_txtmsgs->setReadOnly(true);
    m_unit = unit;
    if (unit) {
        setWindowTitle(windowTitle() + QStringLiteral(" for unit with Serial Number: ") + unit->Serial());
        for (const StyledRun& run : SummaryRuns::forUnit(*unit))
            AppendStyledText(run.text, run.style);
    }
    m_txtmsgs->moveCursor(QTextCursor::Start);
    exec();
}

void frmSummary::AppendStyledText(const QString& text, const TextStyle& style)
{
    m_runs.append({ text, style });
    QTextCharFormat format;
    format.setFontWeight(style.Bold ? QFont::Bold : QFont::Normal);
    format.setFontUnderline(style.Underline);
    format.setFontItalic(style.Italic);
    format.setForeground(style.color());
    // One paragraph per line break, whether it came as CR LF or alone.
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QTextCursor cursor(m_txtmsgs->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(lines, format);
}

QByteArray frmSummary::rtf() const
{
    return RtfWriter::write(m_runs, { m_txtmsgs->font().family(), m_txtmsgs->font().pointSizeF() });
}

void frmSummary::cmdCopy_Click()
{
    // Editors and mail clients take the richest type they know: RTF, then
    // HTML; the plain text serves terminals and the rest.
    auto* data = new QMimeData;
    data->setData(QStringLiteral("text/rtf"), rtf());
    data->setHtml(m_txtmsgs->document()->toHtml());
    data->setText(SummaryRuns::plainText(m_runs));
    QGuiApplication::clipboard()->setMimeData(data);
}

void frmSummary::mnuSave_Click()
{
    QFileDialog dialog(this, QStringLiteral("Select filename for summary"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({ QStringLiteral("Rich Text Files (*.rtf)"), QStringLiteral("All Files (*)") });
    dialog.setDefaultSuffix(QStringLiteral("rtf"));
    // The overwrite question comes after ".rtf" has been added to a name
    // that has no extension of its own.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (QFileInfo(documents).isDir())
        dialog.setDirectory(documents);
    dialog.selectFile((m_unit ? m_unit->Serial() : QString()) + QStringLiteral(" Wizard Summary"));

    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return;
        QString path = dialog.selectedFiles().constFirst();
        if (!QFileInfo(path).fileName().contains(QLatin1Char('.')))
            path += QStringLiteral(".rtf");
        if (QFileInfo::exists(path)
            && !prompts().askYesNo(QStringLiteral("File exists. Overwrite?"), UserPrompts::Icon::Question))
            continue;
        QString error;
        if (!writeFile(path, error)) {
            prompts().message(QStringLiteral("The summary could not be saved to ") + QDir::toNativeSeparators(path)
                    + QStringLiteral(".") + QChar(13) + error,
                UserPrompts::Icon::Exclamation);
        }
        return;
    }
}

bool frmSummary::writeFile(const QString& path, QString& error) const
{
    // QSaveFile writes beside the target and renames only when every byte is
    // down, so a failure leaves an existing file as it was and no fragment.
    // Unbuffered, so that a short write (a full disk) is seen here: through
    // the buffer, commit() goes ahead after a short write and the target is
    // replaced by the part that fitted.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        error = file.errorString();
        return false;
    }
    const QByteArray content = rtf() + "\r\n";
    qint64 done = 0;
    while (done < content.size()) {
        // After a short write the next one fails and says why.
        const qint64 written = file.write(content.constData() + done, content.size() - done);
        if (written <= 0) {
            error = file.errorString();
            file.cancelWriting();
            return false;
        }
        done += written;
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

void frmSummary::done(int result)
{
    writeWindowPosition();
    m_unit.reset();
    QDialog::done(result);
}

void frmSummary::readWindowPosition()
{
    std::array<int, 4> twips {};
    for (size_t i = 0; i < kPositionKeys.size(); ++i)
        twips[i] = kPositionKeys[i].fallback;
    if (m_services.store) {
        QSettings& store = *m_services.store;
        store.beginGroup(kSettings);
        // A value that is no number (the program only ever writes numbers)
        // keeps its default.
        for (size_t i = 0; i < kPositionKeys.size(); ++i) {
            bool ok = false;
            const double value = store.value(QString::fromLatin1(kPositionKeys[i].key)).toString().toDouble(&ok);
            if (ok && value > -1e9 && value < 1e9)
                twips[i] = qRound(value);
        }
        store.endGroup();
    }
    const int dpi = logicalDpiX();
    QRect rect(
        Twips::toPx(twips[0], dpi), Twips::toPx(twips[1], dpi), Twips::toPx(twips[2], dpi), Twips::toPx(twips[3], dpi));
    rect.setSize(rect.size().expandedTo(minimumSizeHint()));
    // A position from another screen layout must not put the window where
    // nobody can see it.
    bool onScreen = false;
    for (const QScreen* screen : QGuiApplication::screens())
        onScreen = onScreen || screen->availableGeometry().contains(rect.topLeft());
    if (!onScreen) {
        if (const QScreen* primary = QGuiApplication::primaryScreen())
            rect.moveCenter(primary->availableGeometry().center());
    }
    move(rect.topLeft());
    resize(rect.size());
}

void frmSummary::writeWindowPosition()
{
    if (!m_services.store || isMinimized() || isMaximized() || isFullScreen())
        return;
    const std::array<double, 4> twips = Twips::place(*this);
    QSettings& store = *m_services.store;
    store.beginGroup(kSettings);
    for (size_t i = 0; i < kPositionKeys.size(); ++i)
        store.setValue(QString::fromLatin1(kPositionKeys[i].key), QString::number(qRound(twips[i])));
    store.endGroup();
}
