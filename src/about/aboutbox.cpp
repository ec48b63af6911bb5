#include "about/aboutbox.h"

#include "about/aboutinfo.h"
#include "common/dialogue.h"
#include "common/units.h"
#include "common/widgets.h"
#include "platform/sysinfo.h"

#include <QFont>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

// The icon is compiled into the program's static library; its resources must
// be registered before first use, and the about box may be the first window
// to use them.
static void registerAboutResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace about {

namespace {

QLabel* label(QWidget* parent, const char* name, const QString& text)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setAccessibleName(text);
    return l;
}

} // namespace

AboutBox::AboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint)
{
    registerAboutResources();
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(caption());
    setAccessibleName(windowTitle());
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    // The icon in a tall box at the left, beside title, version and description.
    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setAccessibleName(QStringLiteral("程序图标"));
    const int iconSize = units::twipsToPixels(720, this);
    picIcon->setPixmap(QPixmap(QStringLiteral(":/images/icon.png"))
                           .scaled(iconSize, iconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    picIcon->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    picIcon->setFixedWidth(units::twipsToPixels(900, this));
    picIcon->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);

    lblTitle = label(this, "lblTitle", titleText());
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    lblVersion = label(this, "lblVersion", versionText());
    lblDescription = label(this, "lblDescription", QString());
    lblDescription->setTextFormat(Qt::RichText);
    lblDescription->setText(descriptionHtml());
    lblDescription->setAccessibleName(descriptionText());
    lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // The etched line across the box: grey with white under it.
    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    Line1->setLineWidth(1);

    lblDisclaimer = label(this, "lblDisclaimer", disclaimerText());
    lblDisclaimer->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    cmdOK = widgets::button(this, "cmdOK", QStringLiteral("确定(&O)"));
    cmdOK->setDefault(true);
    cmdOK->setAutoDefault(true);
    cmdSysInfo = widgets::button(this, "cmdSysInfo", QStringLiteral("系统信息(&S)..."));
    cmdSysInfo->setAutoDefault(true); // Enter presses it while it has the focus

    auto* texts = new QVBoxLayout;
    texts->addWidget(lblTitle);
    texts->addWidget(lblVersion);
    texts->addSpacing(units::twipsToPixels(120, this));
    texts->addWidget(lblDescription);
    texts->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(picIcon);
    top->addLayout(texts, 1);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    buttons->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblDisclaimer, 1);
    bottom->addLayout(buttons);

    auto* lines = new QVBoxLayout(this);
    lines->addLayout(top, 1);
    lines->addWidget(Line1);
    lines->addLayout(bottom);

    setTabOrder(cmdOK, cmdSysInfo);

    // The designed client area, or what the texts need at this resolution
    // and font if that is more.
    const QSize designed(units::twipsToPixels(5730, this), units::twipsToPixels(4275, this));
    setFixedSize(designed.expandedTo(sizeHint()));

    // OK is both the Enter and the Esc button: Enter presses the default
    // button, Esc rejects, and either closes (and so deletes) the box.
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, &AboutBox::StartSysInfo);
    cmdOK->setFocus();
}

void AboutBox::StartSysInfo()
{
    if (startTool(platform::systemInformationTool()))
        return;
    dialogue::show(this, {sysInfoUnavailableMessage(), dialogue::applicationTitle(), QMessageBox::Ok,
                          QMessageBox::NoIcon, QMessageBox::Ok});
}

} // namespace about
