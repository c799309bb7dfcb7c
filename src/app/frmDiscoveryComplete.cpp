#include "app/frmDiscoveryComplete.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

QString frmDiscoveryComplete::promptText()
{
    const QChar cr(13);
    return QStringLiteral("The discovery phase has completed. The configuration phase is next.") + cr
        + QStringLiteral("This phase performs tasks like:") + cr + cr
        + QStringLiteral("1) Assign and confirm the local IP address of the Calvantor Unit.") + cr
        + QStringLiteral("2) Configure the GPRS module if present on the unit.") + cr
        + QStringLiteral("3) Save the configuration in the unit.") + cr
        + QStringLiteral("4) Reboot the Calvantor unit.") + cr
        + QStringLiteral("5) Establish and confirm an internet connection.") + cr
        + QStringLiteral("6) Configure the Calvantor unit as this PC's gateway to the internet.");
}

frmDiscoveryComplete::frmDiscoveryComplete(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Discovery Results"));
    m_Label1 = new QLabel(QStringLiteral("Discovery Results:"));
    QFont heading = m_Label1->font();
    heading.setBold(true);
    m_Label1->setFont(heading);
    m_lblHowMany = new QLabel;
    m_lblQuery = new QLabel;
    m_lblHowMany->hide();
    m_lblQuery->hide();
    // A label breaks lines at line feeds; the program's text uses lone CRs.
    m_lblPrompt = new QLabel(promptText().replace(QChar(13), QChar(10)));
    m_lblPrompt->setTextFormat(Qt::PlainText);

    m_Frame1 = new QGroupBox;
    auto* frame = new QVBoxLayout(m_Frame1);
    frame->addWidget(m_Label1);
    frame->addWidget(m_lblHowMany);
    frame->addWidget(m_lblQuery);
    frame->addWidget(m_lblPrompt);

    auto* box = new QDialogButtonBox;
    m_NextButton = box->addButton(QStringLiteral("&Next"), QDialogButtonBox::AcceptRole);
    m_CancelButton = box->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    m_NextButton->setDefault(true);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* top = new QVBoxLayout(this);
    top->addWidget(m_Frame1);
    top->addWidget(box);
    top->setSizeConstraint(QLayout::SetFixedSize);
}

bool frmDiscoveryComplete::GetResponse()
{
    return exec() == QDialog::Accepted;
}
