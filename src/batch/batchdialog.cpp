#include "batch/batchdialog.h"

#include "common/dialogue.h"
#include "common/widgets.h"
#include "create/grid.h"
#include "platform/programfolder.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>

namespace batch {

namespace {

QLineEdit* field(QWidget* parent, const char* name, const QString& text, const QString& caption, QLabel** label)
{
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setAccessibleName(QString(caption).remove(u'&').remove(u'：'));
    *label = new QLabel(caption, parent);
    (*label)->setObjectName(QString::fromLatin1(name) + QStringLiteral("Label"));
    (*label)->setBuddy(box);
    return box;
}

} // namespace

BatchDialog::BatchDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("batch"));
    setWindowTitle(QStringLiteral("批量生成课程表"));
    setAccessibleName(windowTitle());
    setAttribute(Qt::WA_DeleteOnClose);
    timeLabels = grid::defaultTimeLabels();

    QLabel *csvLabel, *morningLabel, *afternoonLabel, *daysLabel, *titleLabel, *folderLabel;
    csvFile = field(this, "batchCsv", QString(), QStringLiteral("课程总表(&F)："), &csvLabel);
    chooseCsv = widgets::button(this, "batchChooseCsv", QStringLiteral("浏览(&R)…"));
    // The new-timetable dialog's fields, with its defaults.
    morning = field(this, "batchMorning", QStringLiteral("4"), QStringLiteral("每天上午上(&M)："), &morningLabel);
    afternoon = field(this, "batchAfternoon", QStringLiteral("4"), QStringLiteral("每天下午上(&A)："), &afternoonLabel);
    days = field(this, "batchDays", QStringLiteral("6"), QStringLiteral("每周上(&D)："), &daysLabel);
    withTimes = new QCheckBox(QStringLiteral("我想加入时间表(&T)"), this);
    withTimes->setObjectName(QStringLiteral("batchWithTimes"));
    withTimes->setChecked(true);
    widgets::setCaption(withTimes, withTimes->text());
    setup = widgets::button(this, "batchSetup", QStringLiteral("设置时间表(&S)"));
    title = field(this, "batchTitle", QStringLiteral("课程表"), QStringLiteral("课程表名称(&N)："), &titleLabel);
    title->setToolTip(QStringLiteral("每个班级的标题是班级名称加上这个名称，例如“高一（1）班 课程表”。"));
    folder = field(this, "batchFolder", platform::timetableFolder(), QStringLiteral("保存到文件夹(&O)："), &folderLabel);
    chooseFolder = widgets::button(this, "batchChooseFolder", QStringLiteral("浏览(&W)…"));
    format = new QComboBox(this);
    format->setObjectName(QStringLiteral("batchFormat"));
    format->setAccessibleName(QStringLiteral("文件格式"));
    format->addItem(QStringLiteral("Word 97–2003 文档 (.doc)"), int(FileFormat::Word97));
    format->addItem(QStringLiteral("Word 文档 (.docx)"), int(FileFormat::OfficeOpenXml));
    auto* formatLabel = new QLabel(QStringLiteral("文件格式(&G)："), this);
    formatLabel->setObjectName(QStringLiteral("batchFormatLabel"));
    formatLabel->setBuddy(format);
    makeButton = widgets::button(this, "batchMake", QStringLiteral("生成(&K)"));
    makeButton->setDefault(true);
    closeButton = widgets::button(this, "batchClose", QStringLiteral("关闭(&C)"));

    auto* grid = new QGridLayout;
    int row = 0;
    grid->addWidget(csvLabel, row, 0);
    grid->addWidget(csvFile, row, 1, 1, 3);
    grid->addWidget(chooseCsv, row++, 4);
    grid->addWidget(morningLabel, row, 0);
    grid->addWidget(morning, row, 1);
    grid->addWidget(new QLabel(QStringLiteral("节课"), this), row, 2);
    grid->addWidget(afternoonLabel, row, 3);
    auto* afternoonLine = new QHBoxLayout;
    afternoonLine->addWidget(afternoon);
    afternoonLine->addWidget(new QLabel(QStringLiteral("节课"), this));
    grid->addLayout(afternoonLine, row++, 4);
    grid->addWidget(daysLabel, row, 0);
    grid->addWidget(days, row, 1);
    grid->addWidget(new QLabel(QStringLiteral("天课"), this), row++, 2);
    grid->addWidget(withTimes, row, 0, 1, 3);
    grid->addWidget(setup, row++, 4);
    grid->addWidget(titleLabel, row, 0);
    grid->addWidget(title, row++, 1, 1, 4);
    grid->addWidget(folderLabel, row, 0);
    grid->addWidget(folder, row, 1, 1, 3);
    grid->addWidget(chooseFolder, row++, 4);
    grid->addWidget(formatLabel, row, 0);
    grid->addWidget(format, row++, 1, 1, 4);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(makeButton);
    buttons->addWidget(closeButton);
    auto* lines = new QVBoxLayout(this);
    lines->addLayout(grid);
    lines->addLayout(buttons);

    connect(chooseCsv, &QPushButton::clicked, this, [this] {
        const QString path = dialogue::current().openFile(
            this, {QStringLiteral("选择课程总表"), QStringLiteral("CSV 文件(*.csv)|*.csv|所有文件(*)|*"),
                   QStringLiteral("*.csv"), QFileInfo(csvFile->text()).absolutePath(), QString()});
        if (!path.isEmpty())
            csvFile->setText(path);
    });
    connect(chooseFolder, &QPushButton::clicked, this, [this] {
        const QString chosen = dialogue::current().folder(this, QStringLiteral("选择保存课程表的文件夹"), folder->text());
        if (!chosen.isEmpty())
            folder->setText(chosen);
    });
    connect(withTimes, &QCheckBox::toggled, setup, &QWidget::setEnabled);
    connect(setup, &QPushButton::clicked, this, [this] {
        if (!settime)
            settime = new schedule::SetTimeDialog(this, this);
        widgets::bringForward(settime);
    });
    connect(makeButton, &QPushButton::clicked, this, &BatchDialog::make);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
}

void BatchDialog::changedata(const QStringList& labels)
{
    // As the new-timetable dialog takes them: slot i gets label i.
    for (int i = 0; i < labels.size(); ++i) {
        if (i < timeLabels.size())
            timeLabels[i] = labels[i];
        else
            timeLabels.append(labels[i]);
    }
}

QString BatchDialog::morningCountText() const
{
    return morning->text();
}

QString BatchDialog::afternoonCountText() const
{
    return afternoon->text();
}

std::optional<Settings> BatchDialog::settings()
{
    Settings s;
    s.request.morningCount = morning->text();
    s.request.afternoonCount = afternoon->text();
    s.request.dayCount = days->text();
    s.request.title = title->text();
    s.request.withTimes = withTimes->isChecked();
    s.request.timeLabels = timeLabels;
    s.format = FileFormat(format->currentData().toInt());
    const auto shape = readShape(s.request);
    if (const QString* problem = std::get_if<QString>(&shape)) {
        dialogue::warn(this, *problem);
        return std::nullopt;
    }
    s.shape = std::get<Shape>(shape);
    return s;
}

void BatchDialog::make()
{
    if (m_making)
        return;
    m_making = true;
    const struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{m_making};

    const auto chosen = settings();
    if (!chosen)
        return;
    const QString csv = csvFile->text().trimmed();
    const QString target = folder->text().trimmed();
    if (csv.isEmpty()) {
        dialogue::warn(this, QStringLiteral("请先选择课程总表（CSV 文件）。"));
        return;
    }
    QFile file(csv);
    if (!file.open(QIODevice::ReadOnly)) {
        dialogue::warn(this, QStringLiteral("无法读取“%1”：%2").arg(QDir::toNativeSeparators(csv), file.errorString()));
        return;
    }
    if (target.isEmpty() || !QFileInfo(target).isDir()) {
        dialogue::warn(this, QStringLiteral("文件夹“%1”不存在，请选择保存课程表的文件夹。").arg(QDir::toNativeSeparators(target)));
        return;
    }

    Plan plan = makePlan(parseCsv(decodeCsv(file.readAll())), chosen->shape);
    placeFiles(plan, target, chosen->format);
    if (plan.unusable || plan.classes.empty()) {
        dialogue::warn(this, QStringLiteral("课程总表中有下面的问题，没有可以生成的班级：\n\n%1").arg(problemList(plan)));
        return;
    }
    if (!plan.problems.empty()) {
        const auto answer = dialogue::show(
            this, {problemQuestion(plan), windowTitle(), QMessageBox::Yes | QMessageBox::No, QMessageBox::Warning,
                   QMessageBox::No});
        if (answer != QMessageBox::Yes)
            return;
    }
    const auto existing = std::count_if(plan.classes.begin(), plan.classes.end(), [](const ClassPlan& c) { return c.exists; });
    bool overwrite = false;
    if (existing > 0) {
        dialogue::Message question{QStringLiteral("文件夹中已经有 %1 个同名的课程表文件。要覆盖它们吗？").arg(existing),
                                   windowTitle(), QMessageBox::YesToAll | QMessageBox::NoToAll | QMessageBox::Cancel,
                                   QMessageBox::Question, QMessageBox::Cancel};
        question.captions = {{QMessageBox::YesToAll, QStringLiteral("全部覆盖")},
                             {QMessageBox::NoToAll, QStringLiteral("跳过已有")},
                             {QMessageBox::Cancel, QStringLiteral("取消")}};
        const auto answer = dialogue::show(this, question);
        if (answer != QMessageBox::YesToAll && answer != QMessageBox::NoToAll)
            return;
        overwrite = answer == QMessageBox::YesToAll;
    }

    // A progress bar once making takes more than half a second.
    QProgressDialog progress(QStringLiteral("正在生成课程表……"), QStringLiteral("取消"), 0, int(plan.classes.size()), this);
    progress.setObjectName(QStringLiteral("batchProgress"));
    progress.setWindowTitle(windowTitle());
    progress.setAccessibleName(QStringLiteral("生成进度"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    const Outcome outcome = makeAll(*chosen, plan, overwrite, [&](int made, int total) {
        progress.setValue(made);
        progress.setLabelText(QStringLiteral("正在生成课程表（%1 / %2）……").arg(made).arg(total));
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
    });
    progress.close();
    if (outcome.failure.isEmpty())
        dialogue::inform(this, outcomeMessage(outcome, target), windowTitle());
    else
        dialogue::warn(this, outcomeMessage(outcome, target), windowTitle());
}

void BatchDialog::closeEvent(QCloseEvent* event)
{
    if (m_making) {
        event->ignore();
        return;
    }
    if (settime)
        settime->close();
    event->accept();
}

} // namespace batch
