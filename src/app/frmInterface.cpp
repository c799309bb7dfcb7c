#include "app/frmInterface.h"

#include "app/InterfaceEntryText.h"
#include "app/Twips.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QLabel* valueLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}
} // namespace

frmInterface::frmInterface(UsableInterfaces& interfaces, std::function<std::shared_ptr<CInterfaces>()> readInterfaces,
    std::function<void()> chosen, QWidget* parent)
    : QDialog(parent)
    , m_interfaces(interfaces)
    , m_chosen(std::move(chosen))
{
    setWindowTitle(QStringLiteral("Select Interface"));

    Frame1 = new QGroupBox(QStringLiteral("Select Interface"), this);
    auto* grid = new QGridLayout(Frame1);
    grid->setHorizontalSpacing(24);
    lbl1 = new QLabel(QStringLiteral("Current Interface"), Frame1);
    cbInterfaces = new QComboBox(Frame1);
    cbInterfaces->setEditable(false);
    cbInterfaces->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    lbl1->setBuddy(cbInterfaces);
    lblIPCaption = new QLabel(QStringLiteral("Interface Address:"), Frame1);
    lblIP = valueLabel(Frame1);
    lblIP->setObjectName(QStringLiteral("lblIP"));
    lblMaskCaption = new QLabel(QStringLiteral("Subnet Mask:"), Frame1);
    lblmask = valueLabel(Frame1);
    lblmask->setObjectName(QStringLiteral("lblmask"));
    grid->addWidget(lbl1, 0, 0);
    grid->addWidget(cbInterfaces, 0, 1);
    grid->addWidget(lblIPCaption, 1, 0);
    grid->addWidget(lblIP, 1, 1);
    grid->addWidget(lblMaskCaption, 2, 0);
    grid->addWidget(lblmask, 2, 1);
    grid->setColumnStretch(1, 1);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    OKButton->setDefault(true);
    CancelButton->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(cbInterfaces, &QComboBox::currentIndexChanged, this, &frmInterface::cbInterfaces_Change);
    connect(OKButton, &QPushButton::clicked, this, &frmInterface::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    const std::shared_ptr<CInterfaces> table = readInterfaces ? readInterfaces() : nullptr;
    Form_Load(table.get());
}

void frmInterface::Form_Load(const CInterfaces* table)
{
    const QList<InterfaceEntry>& list = m_interfaces.InterfaceList;
    {
        // The list picks its first entry by itself as it fills.
        const QSignalBlocker quiet(cbInterfaces);
        cbInterfaces->clear();
        for (int i = 0; i < list.size(); ++i)
            cbInterfaces->addItem(InterfaceEntryText::ofEntry(i, list[i], table));
        // A selection outside today's list picks nothing, and OK waits for a pick.
        const qint32 selected = m_interfaces.SelectedInterface;
        cbInterfaces->setCurrentIndex(selected >= 0 && selected < list.size() ? selected : -1);
    }
    // Never narrower than 1000 twips, however short the entries.
    cbInterfaces->setMinimumWidth(Twips::toPx(1000, logicalDpiX()));
    cbInterfaces_Change(cbInterfaces->currentIndex());
}

void frmInterface::cbInterfaces_Change(int position)
{
    OKButton->setEnabled(position >= 0);
    const QList<InterfaceEntry>& list = m_interfaces.InterfaceList;
    if (position < 0 || position >= list.size())
        return;
    if (const auto& adapter = list[position].Adapter) {
        lblIP->setText(adapter->IPAddress());
        lblmask->setText(adapter->mask());
    }
}

void frmInterface::OKButton_Click()
{
    const int position = cbInterfaces->currentIndex();
    if (position < 0)
        return;
    m_interfaces.SelectedInterface = position;
    if (m_chosen)
        m_chosen();
    accept();
}
