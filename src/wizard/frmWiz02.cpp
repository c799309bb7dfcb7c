#include "wizard/frmWiz02.h"

#include "app/InterfaceEntryText.h"
#include "discovery/clsVerevo.h"
#include "wizard/PageFonts.h"
#include "wizard/StepLabel.h"
#include "wizard/WizardRouter.h"
#include "wizard/WizardState.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace {
QFont arial(qreal points, bool bold)
{
    QFont f = PageFonts::body();
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}
} // namespace

frmWiz02::frmWiz02(WizardRouter& router, QWidget* owner)
    : WizardPage(PageId::Wiz02, router, owner)
{
    setFont(PageFonts::body());

    // The title's line ends where the warning starts, and the warning is tall
    // enough for its own font: the two never share a pixel.
    lblTitle = addLabel(QString(), 75, 45, 8775, 435);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setFont(PageFonts::title());
    // Top-aligned, so the title's line stays clear of the warning below it.
    lblTitle->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    Label6 = addLabel(QStringLiteral("WARNING"), 3480, 480, 1695, 330);
    Label6->setObjectName(QStringLiteral("Label6"));
    Label6->setFont(arial(12, true));
    Label6->setAlignment(Qt::AlignCenter);
    QPalette red = Label6->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Label6->setPalette(red);

    Label1 = addLabel(QStringLiteral("If your network adaptors are programmed with IP addresses on the same IP subnet "
                                     "then only one of the network adaptors below will actually work. The safest "
                                     "thing to do is disconnect one of the network adaptors and re-start the wizard."),
        // Down to the list, so a wider font's fourth line still shows.
        0, 840, 8895, 945);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(arial(9.75, true));
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setWordWrap(true);

    cbInterfaces = new QComboBox(this);
    cbInterfaces->setObjectName(QStringLiteral("cbInterfaces"));
    cbInterfaces->setEditable(false);
    place(cbInterfaces, 600, 1800, 7815, 360);
    // The closed list cuts a long entry; the open one shows it whole.
    cbInterfaces->view()->setTextElideMode(Qt::ElideNone);

    Label4 = addLabel(QStringLiteral("Interface Address:"), 600, 2280, 2175, 330);
    Label4->setObjectName(QStringLiteral("Label4"));
    lblIP = addValueLabel(QStringLiteral("lblIP"), 2880, 2280, 2415, 330);
    Label3 = addLabel(QStringLiteral("Subnet Mask:"), 600, 2760, 2175, 330);
    Label3->setObjectName(QStringLiteral("Label3"));
    lblmask = addValueLabel(QStringLiteral("lblmask"), 2880, 2760, 2415, 330);
    Label5 = addLabel(QStringLiteral("Description:"), 600, 3240, 2175, 330);
    Label5->setObjectName(QStringLiteral("Label5"));
    lblDesc = addValueLabel(QStringLiteral("lblDesc"), 2880, 3240, 5415, 615);
    lblDesc->setWordWrap(true);
    lblDesc->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Label2 = new StepLabel(QString(), this);
    place(Label2, 600, 4200, 7815, 615);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setFont(arial(12, false));
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    cmdCancel = addNavButton(Nav::Cancel, 5280);
    cmdBack = addNavButton(Nav::Back, 6480);
    cmdNext = addNavButton(Nav::Next, 7680);

    // Click, scroll and a changed text all end in a new current index.
    connect(cbInterfaces, &QComboBox::currentIndexChanged, this, &frmWiz02::cbInterfaces_Click);
}

QLabel* frmWiz02::addValueLabel(const QString& name, int left, int top, int width, int height)
{
    QLabel* label = addLabel(QString(), left, top, width, height);
    label->setObjectName(name);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

void frmWiz02::onLoad()
{
    Label2->setText(QStringLiteral("Please select the network adaptor connected to the same physical network as your ")
        + QStringLiteral("Calvantor") + QStringLiteral(". Then click &Next."));

    const QList<InterfaceEntry>& list = state().Interfaces.InterfaceList;
    lblTitle->setText(
        QStringLiteral("Your PC has ") + QString::number(list.size()) + QStringLiteral(" network adaptors."));

    {
        const auto& readInterfaces = services().readInterfaces;
        const QSignalBlocker quiet(cbInterfaces);
        cbInterfaces->clear();
        for (int i = 0; i < list.size(); ++i) {
            // A fresh read of the interface table for each adapter's entry.
            const std::shared_ptr<CInterfaces> table = list[i].Adapter && readInterfaces ? readInterfaces() : nullptr;
            cbInterfaces->addItem(InterfaceEntryText::ofEntry(i, list[i], table.get()));
        }
        cbInterfaces->setCurrentIndex(-1);
    }
    int widest = 0;
    for (int i = 0; i < cbInterfaces->count(); ++i)
        widest = qMax(widest, cbInterfaces->fontMetrics().horizontalAdvance(cbInterfaces->itemText(i)));
    cbInterfaces->view()->setMinimumWidth(widest + 2 * cbInterfaces->view()->frameWidth() + 16);
    // An earlier choice outside today's list falls back to the first entry.
    const qint32 selected = state().SelectedInterface();
    cbInterfaces->setCurrentIndex(selected >= 0 && selected < cbInterfaces->count() ? selected : 0);
}

void frmWiz02::cbInterfaces_Click()
{
    const int p = cbInterfaces->currentIndex();
    const QList<InterfaceEntry>& list = state().Interfaces.InterfaceList;
    if (p < 0 || p >= list.size())
        return;
    if (const auto& adapter = list[p].Adapter) {
        lblIP->setText(adapter->IPAddress());
        lblmask->setText(adapter->mask());
    }
    lblDesc->setText(cbInterfaces->itemText(p));
}

void frmWiz02::nextClicked()
{
    const int chosen = cbInterfaces->currentIndex();
    if (chosen < 0)
        return;
    Navigating = true;
    state().SelectedInterface() = chosen;
    // The broadcast of the chosen subnet must be in place before the next
    // page can send its first query.
    if (clsVerevo* resting = router().discovery())
        resting->setInterface();
    leave(PageGraph::Button::Next);
}
