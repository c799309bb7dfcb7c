#include "app/frmTestHostname.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

QString frmTestHostname::defaultPrompt()
{
    // The unit's test only pings, so the prompt promises nothing more.
    return QStringLiteral("Enter the name of the remote unit that the Velmar unit should attempt to communicate with.");
}

frmTestHostname::frmTestHostname(QWidget* parent)
    : QDialog(parent)
    , lblPrompt(new QLabel(defaultPrompt(), this))
    , Label2(new QLabel(QStringLiteral("Remote Host"), this))
    , txtRemote(new QLineEdit(this))
    , OKButton(new QPushButton(QStringLiteral("OK"), this))
    , CancelButton(new QPushButton(QStringLiteral("Cancel"), this))
{
    setWindowTitle(ownCaption());
    lblPrompt->setWordWrap(true);
    Label2->setBuddy(txtRemote);
    txtRemote->setMinimumWidth(fontMetrics().averageCharWidth() * 36);

    auto* host = new QHBoxLayout;
    host->addWidget(Label2);
    host->addWidget(txtRemote, 1);

    OKButton->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblPrompt);
    layout->addSpacing(fontMetrics().height() / 2);
    layout->addLayout(host);
    layout->addStretch(1);
    layout->addLayout(buttons);
    // Wide enough that the prompt wraps to a few lines, not a column.
    setMinimumWidth(fontMetrics().averageCharWidth() * 60);

    // A blank host would only send the unit a ping without a destination.
    connect(txtRemote, &QLineEdit::textChanged, this,
        [this](const QString& text) { OKButton->setEnabled(!text.trimmed().isEmpty()); });
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

bool frmTestHostname::GetRemote(QString& host)
{
    txtRemote->setText(host);
    OKButton->setEnabled(!host.trimmed().isEmpty());
    txtRemote->selectAll();
    txtRemote->setFocus();
    // Everything but OK (Cancel, Escape, the close box, a session ending)
    // rejects the dialog and so counts as cancelled.
    m_cancelled = exec() != QDialog::Accepted;
    if (!m_cancelled)
        host = txtRemote->text().trimmed();
    return !m_cancelled;
}
