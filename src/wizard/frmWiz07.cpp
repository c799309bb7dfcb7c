#include "wizard/frmWiz07.h"

#include "app/PacedTreeRows.h"
#include "app/Twips.h"
#include "app/UnitLookup.h"
#include "app/frmMain.h"
#include "net/ModQar.h"
#include "net/UserPrompts.h"
#include "wizard/PageFonts.h"
#include "wizard/SearchAnimation.h"
#include "wizard/StepLabel.h"
#include "wizard/UnitListViewRow.h"
#include "wizard/WizardRouter.h"
#include "wizard/WizardState.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

namespace {
constexpr int kStepLeft = 840;
constexpr int kStepWidth = 7455;
// Serial No, Model, Ethernet IP and Unit ID; Pingable takes the rest.
constexpr int kColumnWidths[] = { 1050, 1350, 1800, 1350 };

// The longest titles of the cellular wizard are wider than the page at the
// title size; they step down until they fit on the one line above the list.
void setTitle(QLabel* title, const QString& text)
{
    QFont f = PageFonts::title();
    const int room = title->width() - 4;
    while (f.pointSizeF() > 9 && QFontMetrics(f).horizontalAdvance(text) > room)
        f.setPointSizeF(f.pointSizeF() - 0.75);
    title->setFont(f);
    title->setText(text);
}

// Serials of the office's own VPN routers, which the wizard must never touch.
bool isReservedSerial(const QString& serial)
{
    return serial == QStringLiteral("61210") || serial == QStringLiteral("22770");
}
} // namespace

frmWiz07::frmWiz07(WizardRouter& router, QWidget* owner)
    : WizardPage(PageId::Wiz07, router, owner)
    , m_main(*router.services().main)
{
    setFont(PageFonts::body());

    lblTitle = addLabel(QString(), 75, 120, 8775, 435);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setFont(PageFonts::title());
    lblTitle->setAlignment(Qt::AlignCenter);

    lvUnits = new QTreeWidget(this);
    lvUnits->setObjectName(QStringLiteral("lvUnits"));
    lvUnits->setRootIsDecorated(false);
    // Rows of one line: the list then lays out in constant time per row as
    // the scan fills it.
    lvUnits->setUniformRowHeights(true);
    lvUnits->setSelectionMode(QAbstractItemView::SingleSelection);
    lvUnits->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvUnits->setHeaderLabels({ QStringLiteral("Serial No"), QStringLiteral("Model"), QStringLiteral("Ethernet IP"),
        QStringLiteral("Unit ID"), QStringLiteral("Pingable") });
    lvUnits->header()->setStretchLastSection(true);
    place(lvUnits, 840, 600, 7455, 3015);
    for (int c = 0; c < 4; ++c)
        lvUnits->setColumnWidth(c, Twips::toPx(kColumnWidths[c]));
    // Like the list controls people know, the first unit listed starts out
    // as the chosen one.
    m_fill = std::make_unique<PacedTreeRows>(
        *lvUnits, router.clock(), PacedTreeRows::End::Bottom, PacedTreeRows::Current::FirstIfNone);

    Animation1 = new SearchAnimation(router.clock(), this);
    place(Animation1, 4080, 1920, 735, 615);
    Animation1->raise();
    // The clip stands over the empty list; the rows, each shown while its
    // unit is pinged, must not disappear under it.
    connect(lvUnits->model(), &QAbstractItemModel::rowsInserted, this, &frmWiz07::giveWayToRows);

    Label1 = addStep(QStringLiteral("Label1"), QStringLiteral("1) Wait for the search to complete."), 3720);
    Label2 = addStep(QStringLiteral("Label2"), QString(), 4020);
    Label2->setVisible(false);
    Label3 = addStep(QStringLiteral("Label3"), QStringLiteral("3) Click &Next."), 4320);
    Label3->setVisible(false);
    // The advice runs to three lines; it takes the first step's row, which is
    // hidden whenever the advice shows, so it stays clear of the buttons.
    Label4 = addStep(QStringLiteral("Label4"), QStringLiteral("3) Click &Next."), 3720, 975);
    Label4->setVisible(false);
    Label4->setWordWrap(true);
    Label4->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // Between the steps and the buttons, as wide as the list: "Pinging Unit
    // SN: ... with IP Address: ..." would not fit beside the buttons.
    lblStatus = addLabel(QString(), 840, 4620, 7455, 285);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setTextFormat(Qt::PlainText);

    cmdCancel = addNavButton(Nav::Cancel, 5280);
    cmdBack = addNavButton(Nav::Back, 6480);
    cmdBack->setEnabled(false);
    cmdNext = addNavButton(Nav::Next, 7680);
    cmdNext->setEnabled(false);
    cmdRetry = addNavButton(Nav::Retry, 7680);
    cmdRetry->setVisible(false);

    m_main.setScanResultsView(this);
    m_registered = true;
}

frmWiz07::~frmWiz07()
{
    unregister();
    clearUnitRows();
}

void frmWiz07::unregister()
{
    // Only its own registration: another search page may have taken over.
    if (m_registered && m_main.scanResultsView() == this)
        m_main.setScanResultsView(nullptr);
    m_registered = false;
}

void frmWiz07::closeEvent(QCloseEvent* event)
{
    // The page is gone for the engine as soon as it unloads; a scan still
    // collecting then returns the discovery object by itself.
    unregister();
    WizardPage::closeEvent(event);
}

QLabel* frmWiz07::addStep(const QString& name, const QString& text, int top, int height)
{
    // The steps that name a button ("3) Click &Next.") show its key.
    auto* label = new StepLabel(text, this);
    place(label, kStepLeft, top, kStepWidth, height);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

void frmWiz07::onLoad()
{
    // The clip is painted by the control itself; it shows while visible.
    Animation1->setVisible(true);
    setTitle(lblTitle, QStringLiteral("Searching for Calvantors......"));
    Label2->setText(QStringLiteral("2) Select the Calvantor in the above list that you want to configure."));
}

void frmWiz07::onShown()
{
    // The query's resend gap pumps events for half a second: the search
    // starts once the page is on screen and the page before it has gone.
    QMetaObject::invokeMethod(this, &frmWiz07::search, Qt::QueuedConnection);
}

void frmWiz07::retryClicked()
{
    setTitle(lblTitle,
        state().WizardMode == 1 ? QStringLiteral("Searching for Calvantor units......")
                                : QStringLiteral("Searching for GPRS / Edge / 3G / HSDPA Calvantor units......"));
    Animation1->setVisible(true);
    cmdRetry->setVisible(false);
    cmdBack->setEnabled(false);
    Label1->setVisible(true);
    Label2->setVisible(false);
    Label3->setVisible(false);
    Label4->setVisible(false);
    search();
}

void frmWiz07::clearUnitRows()
{
    for (const auto& row : m_rows)
        row->detach();
    m_rows.clear();
    m_fill->clear();
}

std::shared_ptr<UnitListRow> frmWiz07::addUnitRow(const QString& text)
{
    auto* item = new QTreeWidgetItem(QStringList { text });
    m_fill->add(item);
    auto row = std::make_shared<UnitListViewRow>(item);
    m_rows.append(row);
    return row;
}

void frmWiz07::setStatusText(const QString& text)
{
    lblStatus->setText(text);
    // The engine writes the line as it starts a ping, which holds the thread
    // until the echo or its time-out: what the person sees meanwhile must be
    // on screen now, the unit's row with its serial number alone (its other
    // columns follow the ping) and the line that names it. A row that would
    // stand below the visible part of the list keeps waiting for its burst:
    // one row at a time costs a layout of the whole list each.
    if (waitingRowsInView()) {
        m_fill->flush();
        lvUnits->viewport()->repaint();
    }
    lblStatus->repaint();
}

void frmWiz07::giveWayToRows()
{
    const int listed = lvUnits->topLevelItemCount();
    if (!Animation1->isVisible() || listed == 0)
        return;
    const QRect last = lvUnits->visualItemRect(lvUnits->topLevelItem(listed - 1));
    const QRect row(
        lvUnits->viewport()->mapTo(this, QPoint(0, last.top())), QSize(lvUnits->viewport()->width(), last.height()));
    if (row.bottom() >= Animation1->geometry().top())
        Animation1->setVisible(false);
}

bool frmWiz07::waitingRowsInView() const
{
    const int listed = lvUnits->topLevelItemCount();
    const qsizetype waiting = m_rows.size() - listed;
    if (waiting <= 0)
        return false;
    if (listed == 0)
        return true;
    // Rows are one line each, all of the same height.
    const QRect last = lvUnits->visualItemRect(lvUnits->topLevelItem(listed - 1));
    const qint64 lastWaitingTop = qint64(last.bottom()) + 1 + (waiting - 1) * qint64(last.height());
    return lastWaitingTop < lvUnits->viewport()->height();
}

bool frmWiz07::DisplayScanResults(const QString& filter, const std::shared_ptr<CQarUnitInfos>& units)
{
    m_fill->flush();
    Animation1->setVisible(false);
    const qsizetype n = units ? units->Count() : 0;
    const bool cellular = state().WizardMode == 0;

    if (n >= 1) {
        m_main.AddLogEntry(QString(), QString::number(n) + QStringLiteral(" Calvantor Units Located"));
        if (n == 1)
            setTitle(lblTitle,
                cellular ? QStringLiteral("One GPRS / EDGE / 3G / HSDPA Calvantor was located!")
                         : QStringLiteral("One Calvantor was located!"));
        else
            setTitle(lblTitle,
                QString::number(n)
                    + (cellular ? QStringLiteral(" GPRS / EDGE / 3G / HSDPA Calvantor units were located!")
                                : QStringLiteral(" Calvantor units were located!")));
        cmdNext->setEnabled(true);
        cmdNext->setFocus();
        cmdRetry->setVisible(false);
        cmdBack->setEnabled(true);
        Label2->setVisible(true);
        Label3->setVisible(true);
        lblStatus->clear();
    } else {
        m_main.AddLogEntry(QString(), QStringLiteral("No Calvantor units Located"));
        setTitle(lblTitle,
            cellular ? QStringLiteral("No GPRS / Edge / 3G / HSDPA Calvantor units were located!")
                     : QStringLiteral("No Calvantor units were located!"));
        const QString first = UnitLookup::numericValue(filter) == 0
            ? QStringLiteral("No Calvantor units were located.")
            : QStringLiteral(" Calvantor  Unit SN: ") + filter + QStringLiteral(" not located.") + QLatin1Char('\n')
                + QStringLiteral("Check that specified Serial Number is correct.");
        Label4->setText(first + QLatin1Char('\n')
            + QStringLiteral("Please ensure the Ethernet lead is plugged in, and the LAN LED is on. Click the &Retry "
                             "button to try again."));
        Label4->setVisible(true);
        Label1->setVisible(false);
        cmdRetry->setVisible(true);
        cmdBack->setEnabled(true);
        cmdRetry->setFocus();
    }

    m_main.returnDiscoveryFromScan();
    return false;
}

std::shared_ptr<UnitListRow> frmWiz07::selectedUnitRow() const
{
    m_fill->flush();
    const QList<QTreeWidgetItem*> selected = lvUnits->selectedItems();
    if (selected.isEmpty())
        return nullptr;
    for (const auto& row : m_rows) {
        if (row->item() == selected.first())
            return row;
    }
    return nullptr;
}

void frmWiz07::search()
{
    // Closed before its search began (the run is ending).
    if (unloaded())
        return;
    m_main.lendDiscoveryToScan();
    m_main.StartScan();
}

void frmWiz07::nextClicked()
{
    Navigating = true;
    m_fill->flush();

    const std::shared_ptr<UnitListRow> row = selectedUnitRow();
    const std::optional<qint32> number = row ? UnitLookup::rowNumber(row->text()) : std::nullopt;
    if (!number) {
        // No row chosen, or one whose text is no serial number.
        stay();
        return;
    }
    state().SelectedUnitNo = *number;

    const std::shared_ptr<CQarUnitInfo> chosen = router().selectedUnit();
    if (!chosen) {
        // Going on would configure whatever unit an earlier pass chose.
        stay();
        return;
    }
    state().CurrentUnit = chosen;

    if (isReservedSerial(chosen->Serial())) {
        prompts().message(
            QStringLiteral("You are not allowed to RURA the office VPN Router!"), UserPrompts::Icon::Exclamation);
        router().endProgram();
        return;
    }
    const QString mac = ModQar::FormatMacAddress(chosen->Mac());
    QString refusal;
    if (mac == QStringLiteral("00:00:00:00:00:00"))
        refusal = QStringLiteral("The unit has no MAC address therefore you may not RURA it!");
    else if (mac.compare(QStringLiteral("FF:FF:FF:FF:FF:FF"), Qt::CaseInsensitive) == 0)
        refusal = QStringLiteral("The unit's MAC address is FF:FF:FF:FF:FF:FF therefore you many not RURA it!");
    else if (UnitLookup::numericValue(chosen->Serial()) < 10)
        refusal = QStringLiteral("This unit has no serial number therefore you may not RURA it!");
    if (!refusal.isEmpty()) {
        prompts().message(refusal, UserPrompts::Icon::Exclamation);
        stay();
        return;
    }

    cmdNext->setEnabled(false);
    setEnabled(false);

    // Shift is read once: it decides both the option and the road.
    PageGraph::Inputs in = routeInputs();
    in.shift = router().shiftKeyDown();
    if (in.shift)
        state().ConfigOption = 3;
    in.configOption = state().ConfigOption;
    const std::optional<PageGraph::Route> road = PageGraph::route(id(), PageGraph::Button::Next, in);
    if (!road || !leaveTo(road->to, road->startup))
        stay();
}
