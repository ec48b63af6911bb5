#include "create/initdialog.h"

#include "automation/callguard.h"
#include "common/dialogue.h"
#include "common/units.h"
#include "common/widgets.h"
#include "create/builder.h"
#include "create/grid.h"
#include "schedule/settimedialog.h"
#include "common/apphost.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace create {

namespace {

QLabel* label(QWidget* parent, const char* name, const QString& text)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

QLineEdit* textBox(QWidget* parent, const char* name, const QString& text, QLabel* caption, int width)
{
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setAccessibleName(caption->text());
    caption->setBuddy(box);
    if (width > 0)
        box->setFixedWidth(width);
    return box;
}

} // namespace

InitDialog::InitDialog(app::Host* host)
    : QDialog(host->mainWindow(), Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                        | Qt::MSWindowsFixedSizeDialogHint),
      m_host(host)
{
    setObjectName(QStringLiteral("init"));
    setWindowTitle(QStringLiteral("输入基本参数"));
    setAccessibleName(windowTitle());
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    // Load: not built yet, the default time labels.
    timetable = grid::defaultTimeLabels();

    const int numberWidth = units::twipsToPixels(450, this);
    auto* Label1 = label(this, "Label1", QStringLiteral("每天上午上"));
    Text1 = textBox(this, "Text1", QStringLiteral("4"), Label1, numberWidth);
    auto* Label2 = label(this, "Label2", QStringLiteral("节课"));
    auto* Label3 = label(this, "Label3", QStringLiteral("每天下午上"));
    Text2 = textBox(this, "Text2", QStringLiteral("4"), Label3, numberWidth);
    auto* Label4 = label(this, "Label4", QStringLiteral("节课"));
    auto* Label5 = label(this, "Label5", QStringLiteral("每周上"));
    Text3 = textBox(this, "Text3", QStringLiteral("6"), Label5, numberWidth);
    auto* Label6 = label(this, "Label6", QStringLiteral("天课"));
    Check1 = new QCheckBox(QStringLiteral("现在就输入课程(&N)"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setChecked(true);
    Check2 = new QCheckBox(QStringLiteral("我想加入时间表(&T)"), this);
    Check2->setObjectName(QStringLiteral("Check2"));
    Check2->setChecked(true);
    setup = widgets::button(this, "setup", QStringLiteral("设置时间表(&S)"));
    auto* Label7 = label(this, "Label7", QStringLiteral("课程表名称"));
    Text4 = textBox(this, "Text4", QStringLiteral("课程表"), Label7, 0);
    OKButton = widgets::button(this, "OKButton", QStringLiteral("确定(&O)"));
    OKButton->setDefault(true);
    OKButton->setAutoDefault(true);
    CancelButton = widgets::button(this, "CancelButton", QStringLiteral("取消(&C)"));
    // Enter presses the button that has the focus; elsewhere it is OK's.
    CancelButton->setAutoDefault(true);
    setup->setAutoDefault(true);
    for (QCheckBox* box : {Check1, Check2})
        widgets::setCaption(box, box->text());

    auto* line1 = new QHBoxLayout;
    line1->addWidget(Label1);
    line1->addWidget(Text1);
    line1->addWidget(Label2);
    line1->addSpacing(units::twipsToPixels(120, this));
    line1->addWidget(Label3);
    line1->addWidget(Text2);
    line1->addWidget(Label4);
    line1->addStretch();
    auto* line2 = new QHBoxLayout;
    line2->addWidget(Label5);
    line2->addWidget(Text3);
    line2->addWidget(Label6);
    line2->addStretch();
    line2->addWidget(Check1);
    auto* line3 = new QHBoxLayout;
    line3->addWidget(Check2);
    line3->addStretch();
    line3->addWidget(setup);
    auto* line4 = new QHBoxLayout;
    line4->addWidget(Label7);
    line4->addWidget(Text4, 1);
    auto* line5 = new QHBoxLayout;
    line5->addStretch();
    line5->addWidget(OKButton);
    line5->addWidget(CancelButton);
    auto* lines = new QVBoxLayout(this);
    for (QHBoxLayout* line : {line1, line2, line3, line4, line5})
        lines->addLayout(line);

    setTabOrder(OKButton, CancelButton);
    setTabOrder(CancelButton, Text1);
    setTabOrder(Text1, Text2);
    setTabOrder(Text2, Text3);
    setTabOrder(Text3, Check1);
    setTabOrder(Check1, Text4);
    setTabOrder(Text4, Check2);
    setTabOrder(Check2, setup);

    // The designed client area, or what the texts need at this resolution
    // and font if that is more.
    const QSize designed(units::twipsToPixels(3885, this), units::twipsToPixels(2625, this));
    setFixedSize(designed.expandedTo(sizeHint()));

    connect(Check2, &QCheckBox::toggled, setup, &QWidget::setEnabled);
    connect(setup, &QPushButton::clicked, this, &InitDialog::openSetTime);
    connect(OKButton, &QPushButton::clicked, this, &InitDialog::build);
    connect(CancelButton, &QPushButton::clicked, this, &QWidget::close);
    OKButton->setFocus();
}

void InitDialog::changedata(const QStringList& labels)
{
    for (int i = 0; i < labels.size(); ++i) {
        if (i < timetable.size())
            timetable[i] = labels[i];
        else
            timetable.append(labels[i]);
    }
}

QString InitDialog::morningCountText() const
{
    return Text1->text();
}

QString InitDialog::afternoonCountText() const
{
    return Text2->text();
}

void InitDialog::openSetTime()
{
    // Loaded when first needed; pressing again brings it forward as it is.
    if (!settime)
        settime = new schedule::SetTimeDialog(this, this);
    widgets::bringForward(settime);
}

void InitDialog::build()
{
    // A second press of OK (a double click, Enter twice) while the first
    // one's build is under way does nothing.
    if (m_building || m_closing || word::callUnderWay())
        return;
    m_building = true;
    const struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{m_building};
    BuildRequest request;
    request.morningCount = Text1->text();
    request.afternoonCount = Text2->text();
    request.dayCount = Text3->text();
    request.title = Text4->text();
    request.withTimes = Check2->isChecked();
    request.timeLabels = timetable;

    const auto counts = readCounts(request);
    if (const QString* problem = std::get_if<QString>(&counts)) {
        dialogue::warn(this, *problem);
        return;
    }

    succ = true;
    Timetable result;
    const bool built = m_host->guarded(this, [&] { result = create::build(request, std::get<Counts>(counts)); });
    if (!built) {
        // Nothing was handed over: the user may correct and retry.
        succ = false;
        m_host->enterNoTimetable();
        return;
    }
    mytable = result.table;
    m_host->adoptTimetable(result.application, result.table, result.dimensions.morning, result.dimensions.hang,
                           result.dimensions.lie);
    if (Check1->isChecked()) {
        m_host->startEntry();
    } else {
        m_host->mainWindow()->hide();
        m_host->mainWindow()->show();
    }
    close();
}

void InitDialog::reject()
{
    // Esc closes the dialog like Cancel.
    close();
}

void InitDialog::beforeClose()
{
    if (m_closing)
        return;
    m_closing = true;
    if (settime)
        settime->close();
    if (!succ)
        m_host->enterNoTimetable();
}

void InitDialog::closeEvent(QCloseEvent* event)
{
    // Every close, by Cancel, Esc, the close box or the build, passes here.
    beforeClose();
    event->accept();
}

} // namespace create
