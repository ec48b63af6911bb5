#include "schedule/settimedialog.h"

#include "common/dialogue.h"
#include "common/units.h"
#include "common/widgets.h"
#include "schedule/periodtimes.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace schedule {

namespace {

struct Defaults {
    const char* name;
    const char* text;
};
// The entries Command2 restores, Text1 to Text10.
constexpr Defaults kDefaults[] = {{"Text1", "07:50"}, {"Text2", "11:40"}, {"Text3", "14:00"}, {"Text4", "17:50"},
                                  {"Text5", "10"},    {"Text6", "2"},     {"Text7", "3"},     {"Text8", "30"},
                                  {"Text9", "15"},    {"Text10", "45"}};

QLabel* label(QWidget* parent, const char* name, const QString& text)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

QLineEdit* box(QWidget* parent, int number, const QString& accessibleName, int widthTwips)
{
    auto* b = new QLineEdit(QString::fromLatin1(kDefaults[number - 1].text), parent);
    b->setObjectName(QString::fromLatin1(kDefaults[number - 1].name));
    b->setAccessibleName(accessibleName);
    b->setFixedWidth(units::twipsToPixels(widthTwips, b));
    return b;
}

QCheckBox* tickedBox(QWidget* parent, const char* name, const QString& caption)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setChecked(true);
    return box;
}

QHBoxLayout* row(std::initializer_list<QWidget*> widgets)
{
    auto* line = new QHBoxLayout;
    line->setSpacing(2);
    for (QWidget* w : widgets)
        line->addWidget(w);
    line->addStretch();
    return line;
}

} // namespace

SetTimeDialog::SetTimeDialog(QWidget* parent, LabelTarget* target)
    : QWidget(parent, Qt::Window), m_target(target)
{
    setObjectName(QStringLiteral("settime"));
    setWindowTitle(QStringLiteral("设置时间表"));
    setAccessibleName(windowTitle());
    setAttribute(Qt::WA_DeleteOnClose);

    const int time = 600;  // width of a clock-time box, twips
    const int minutes = 420;

    auto* morning = new QGroupBox(QStringLiteral("上午时间设置"), this);
    morning->setObjectName(QStringLiteral("Frame1"));
    auto* Label1 = label(morning, "Label1", QStringLiteral("上午第一节课"));
    Text1 = box(morning, 1, Label1->text(), time);
    auto* Label3 = label(morning, "Label3", QStringLiteral("上，"));
    auto* Label5 = label(morning, "Label5", QStringLiteral("放学时间我想"));
    Option1 = new QRadioButton(QStringLiteral("通过 每节课时间  和 课间 来计算"), morning);
    Option1->setObjectName(QStringLiteral("Option1"));
    Option2 = new QRadioButton(QStringLiteral("指定时间，将其设定为"), morning);
    Option2->setObjectName(QStringLiteral("Option2"));
    Option2->setChecked(true);
    Text2 = box(morning, 2, fieldname::morningDismissal, time);
    auto* morningLines = new QVBoxLayout(morning);
    morningLines->addLayout(row({Label1, Text1, Label3, Label5}));
    morningLines->addLayout(row({Option1}));
    morningLines->addLayout(row({Option2, Text2}));

    auto* afternoon = new QGroupBox(QStringLiteral("下午时间设置"), this);
    afternoon->setObjectName(QStringLiteral("Frame2"));
    auto* Label2 = label(afternoon, "Label2", QStringLiteral("下午第一节课"));
    Text3 = box(afternoon, 3, Label2->text(), time);
    auto* Label4 = label(afternoon, "Label4", QStringLiteral("上，"));
    Text4 = box(afternoon, 4, fieldname::afternoonDismissal, time);
    auto* Label6 = label(afternoon, "Label6", QStringLiteral("放学"));
    auto* afternoonLines = new QVBoxLayout(afternoon);
    afternoonLines->addLayout(row({Label2, Text3, Label4, Text4, Label6}));

    auto* breaks = new QGroupBox(QStringLiteral("课间设置"), this);
    breaks->setObjectName(QStringLiteral("Frame3"));
    auto* Label13 = label(breaks, "Label13", QStringLiteral("每节课"));
    Text10 = box(breaks, 10, Label13->text(), minutes);
    auto* Label14 = label(breaks, "Label14", QStringLiteral("分钟，"));
    auto* Label7 = label(breaks, "Label7", QStringLiteral("一般课间"));
    Text5 = box(breaks, 5, Label7->text(), minutes);
    auto* Label8 = label(breaks, "Label8", QStringLiteral("分钟"));
    Check2 = tickedBox(breaks, "Check2", QStringLiteral("上午第"));
    Text6 = box(breaks, 6, fieldname::longBreakPeriod, minutes);
    auto* Label10 = label(breaks, "Label10", QStringLiteral("节课后是大课间，休息"));
    Text8 = box(breaks, 8, fieldname::longBreak, minutes);
    auto* Label9 = label(breaks, "Label9", QStringLiteral("分钟"));
    Check1 = tickedBox(breaks, "Check1", QStringLiteral("下午第"));
    Text7 = box(breaks, 7, fieldname::eveningPeriod, minutes);
    auto* Label11 = label(breaks, "Label11", QStringLiteral("节课后是晚自习，课间"));
    Text9 = box(breaks, 9, fieldname::eveningBreak, minutes);
    auto* Label12 = label(breaks, "Label12", QStringLiteral("分钟"));
    auto* breakLines = new QVBoxLayout(breaks);
    breakLines->addLayout(row({Label13, Text10, Label14, Label7, Text5, Label8}));
    breakLines->addLayout(row({Check2, Text6, Label10, Text8, Label9}));
    breakLines->addLayout(row({Check1, Text7, Label11, Text9, Label12}));

    Command1 = widgets::button(this, "Command1", QStringLiteral("确定(&O)"));
    Command2 = widgets::button(this, "Command2", QStringLiteral("默认(&D)"));
    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{Check1, Check2, Option1, Option2})
        widgets::setCaption(b, b->text());

    // The frames on the left, the buttons at the right; the controls keep
    // their places when the window is resized.
    auto* frames = new QVBoxLayout;
    frames->addWidget(morning);
    frames->addWidget(afternoon);
    frames->addWidget(breaks);
    frames->addStretch();
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    buttons->addStretch();
    auto* outer = new QHBoxLayout(this);
    outer->addLayout(frames);
    outer->addLayout(buttons);
    outer->addStretch();

    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Check1);
    setTabOrder(Check1, Check2);
    QWidget* previous = Check2;
    for (QWidget* w : std::initializer_list<QWidget*>{Text1, Text2, Text3, Text4, Text5, Text6, Text7, Text8, Text9,
                                                      Text10, Option1, Option2}) {
        setTabOrder(previous, w);
        previous = w;
    }

    resize(QSize(units::twipsToPixels(5700, this), units::twipsToPixels(5070, this)).expandedTo(sizeHint()));

    connect(Check2, &QCheckBox::toggled, this, [this](bool on) {
        Text6->setEnabled(on);
        Text8->setEnabled(on);
    });
    connect(Check1, &QCheckBox::toggled, this, [this](bool on) {
        Text7->setEnabled(on);
        Text9->setEnabled(on);
    });
    connect(Option1, &QRadioButton::clicked, Text2, [this] { Text2->setEnabled(false); });
    connect(Option2, &QRadioButton::clicked, Text2, [this] { Text2->setEnabled(true); });
    connect(Command1, &QPushButton::clicked, this, &SetTimeDialog::confirm);
    connect(Command2, &QPushButton::clicked, this, &SetTimeDialog::restoreDefaults);
    Command1->setFocus();
}

void SetTimeDialog::restoreDefaults()
{
    for (const Defaults& d : kDefaults)
        findChild<QLineEdit*>(QString::fromLatin1(d.name))->setText(QString::fromLatin1(d.text));
    Check1->setChecked(true);
    Check2->setChecked(true);
}

void SetTimeDialog::confirm()
{
    ScheduleInput input;
    input.morningFirstBell = Text1->text();
    input.morningDismissal = Text2->text();
    input.afternoonFirstBell = Text3->text();
    input.afternoonDismissal = Text4->text();
    input.ordinaryBreak = Text5->text();
    input.longBreakPeriod = Text6->text();
    input.eveningPeriod = Text7->text();
    input.longBreak = Text8->text();
    input.eveningBreak = Text9->text();
    input.lessonLength = Text10->text();
    input.longBreakOn = Check2->isChecked();
    input.eveningBreakOn = Check1->isChecked();
    input.fixedMorningEnd = Option2->isChecked();
    input.morningCount = m_target->morningCountText();
    input.afternoonCount = m_target->afternoonCountText();

    ScheduleResult result;
    try {
        result = computeSchedule(input);
    } catch (const InputError& error) {
        // Nothing is formed: the entries and the new-timetable dialog's
        // labels stay as they are.
        dialogue::show(this, {error.message(), kCheckWarningTitle, QMessageBox::Ok, QMessageBox::NoIcon,
                              QMessageBox::Ok});
        return;
    }
    ttable = result.labels;
    if (!result.passed) {
        dialogue::show(this, {kCheckWarning, kCheckWarningTitle, QMessageBox::Ok, QMessageBox::NoIcon,
                              QMessageBox::Ok});
        return;
    }
    m_target->changedata(ttable);
    close();
}

} // namespace schedule
