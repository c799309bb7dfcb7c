#include "app/frmAbout.h"

#include "app/Module1.h"
#include "app/SystemInfoTool.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

QString frmAbout::WinsockDescription;

namespace {
void setTag(QObject* o, int id)
{
    o->setProperty("Tag", QString::number(id));
}

QIcon programIcon(const QWidget* owner)
{
    if (owner && !owner->windowIcon().isNull())
        return owner->windowIcon();
    if (!QApplication::windowIcon().isNull())
        return QApplication::windowIcon();
    return QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
}
} // namespace

frmAbout::frmAbout(QSettings* store, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent)
    , m_store(store)
    , m_prompts(prompts)
{
    setTag(this, 1027);
    setWindowTitle(QStringLiteral("About"));

    picIcon = new QLabel(this);
    const int iconSide = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    picIcon->setPixmap(programIcon(parent).pixmap(QSize(iconSide, iconSide), devicePixelRatioF()));
    picIcon->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    lblTitle = new QLabel(QStringLiteral("Application Title"), this);
    setTag(lblTitle, 1032);
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    lblVersion = new QLabel(QStringLiteral("Version"), this);
    setTag(lblVersion, 1031);
    lblDescription = new QLabel(QStringLiteral("App Description"), this);
    setTag(lblDescription, 1033);
    lblDescription->setWordWrap(true);
    // Wide enough for the description to take two or three lines, not ten.
    lblDescription->setMinimumWidth(fontMetrics().averageCharWidth() * 48);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    txtWinSockVersion = new QLabel(this);
    for (QLabel* label : { lblTitle, lblVersion, lblDescription, txtWinSockVersion })
        label->setTextFormat(Qt::PlainText);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    setTag(cmdOK, 1029);
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    setTag(cmdSysInfo, 1028);
    cmdSysInfo->setAutoDefault(false);

    auto* texts = new QVBoxLayout;
    texts->addWidget(lblTitle);
    texts->addWidget(lblVersion);
    texts->addSpacing(8);
    texts->addWidget(lblDescription);
    auto* top = new QHBoxLayout;
    top->addWidget(picIcon, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(texts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(txtWinSockVersion, 1);
    buttons->addWidget(cmdSysInfo);
    buttons->addWidget(cmdOK);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addWidget(line);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);

    Form_Load();
}

void frmAbout::Form_Load()
{
    Module1::LoadResStrings(this);
    lblVersion->setText(QStringLiteral("Version %1.%2.%3")
                            .arg(QString::number(Major), QString::number(Minor), QString::number(Revision)));
    lblTitle->setText(QStringLiteral("Linkwise"));
    txtWinSockVersion->setText(QStringLiteral("Winsock: ") + WinsockDescription);
}

void frmAbout::StartSysInfo()
{
    const auto command = SystemInfoTool::lookup(m_store);
    if (command && SystemInfoTool::start(*command))
        return;
    m_prompts.message(QStringLiteral("System Information Is Unavailable At This Time"));
}
