// 工具 → 批量生成课程表 as a teacher uses it, and the same from the command
// line: one timetable per class, built as New builds it (the files compared
// through our reader and read by LibreOffice), wrong rows shown before
// anything is written, existing files asked about once, and a stop between
// classes leaving only whole files.

#include "batch/batchdialog.h"
#include "docfile/document.h"
#include "docfile/formats.h"
#include "support/programs.h"
#include "support/timetablesteps.h"

#include <QComboBox>
#include <QDir>
#include <QFile>

using namespace testsupport;

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString doctool()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath("doctool");
}

// What our reader finds in a file, as doctool dump prints it.
QString dump(const QString& path)
{
    return run(doctool(), {"dump", path});
}

const QByteArray kTwoClasses = QStringLiteral("班级,星期,节次,科目,备注\n"
                                              "高一（1）班,星期一,第一节,语文,\n"
                                              "高一（1）班,周五,6,\"体育, 室外\",\n"
                                              "高一（2）班,2,第二节,数学,\n")
                                   .toUtf8();

class BatchWindowTest : public TimetableSteps<> {
protected:
    // 工具 → 批量生成课程表, the table and folder chosen through its buttons.
    batch::BatchDialog* openDialog(const QString& csv)
    {
        action("batch")->trigger();
        settle();
        auto* dialog = main.batchDialog.data();
        EXPECT_NE(dialog, nullptr);
        if (!dialog)
            return nullptr;
        dialogue.files.push_back(csv);
        dialog->chooseCsv->click();
        dialogue.folders.push_back(out());
        dialog->chooseFolder->click();
        return dialog;
    }

    QString out() { return folder.filePath("out"); }
    QString csvPath() { return folder.filePath("classes.csv"); }

    void SetUp() override
    {
        TimetableSteps::SetUp();
        ASSERT_TRUE(QDir().mkpath(out()));
    }
};

} // namespace

TEST_F(BatchWindowTest, EachClassGetsTheTimetableNewWouldBuild)
{
    writeFile(csvPath(), kTwoClasses);
    batch::BatchDialog* dialog = openDialog(csvPath());
    ASSERT_NE(dialog, nullptr);
    // The new-timetable dialog's defaults, every control named for code and
    // for screen readers.
    EXPECT_EQ(dialog->morning->text(), "4");
    EXPECT_EQ(dialog->afternoon->text(), "4");
    EXPECT_EQ(dialog->days->text(), "6");
    EXPECT_EQ(dialog->title->text(), QStringLiteral("课程表"));
    EXPECT_TRUE(dialog->withTimes->isChecked());
    EXPECT_EQ(dialog->csvFile->text(), csvPath());
    EXPECT_EQ(dialog->folder->text(), out());
    for (QWidget* control : dialog->findChildren<QWidget*>()) {
        if (!control->focusPolicy())
            continue;
        EXPECT_FALSE(control->objectName().isEmpty()) << control->metaObject()->className();
        EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
    }
    dialog->makeButton->click();
    settle();
    ASSERT_FALSE(dialogue.messages.empty());
    EXPECT_EQ(dialogue.messages.back().text,
              QStringLiteral("已在“%1”中生成 2 个课程表。").arg(QDir::toNativeSeparators(out())));
    const QString first = QDir(out()).filePath(QStringLiteral("高一（1）班.doc"));
    ASSERT_TRUE(QFileInfo(first).isFile());
    ASSERT_TRUE(QFileInfo(QDir(out()).filePath(QStringLiteral("高一（2）班.doc"))).isFile());
    EXPECT_EQ(QDir(out()).entryList(QDir::Files | QDir::Hidden).size(), 2); // no locks or temporary files left
    dialog->close();

    // New with the same shape and title, the same cells typed in, saved.
    main.newTimetable();
    settle();
    main.initDialog->Text4->setText(QStringLiteral("高一（1）班 课程表"));
    main.initDialog->Check1->setChecked(false);
    main.initDialog->OKButton->click();
    settle();
    ASSERT_TRUE(main.state().opened);
    main.state().mytable->cell(2, 2)->range()->setText(QStringLiteral("语文"));
    main.state().mytable->cell(8, 6)->range()->setText(QStringLiteral("体育, 室外"));
    const QString byHand = folder.filePath("byhand.doc");
    saveAs(byHand);
    const QString expected = dump(byHand);
    ASSERT_TRUE(expected.contains(QStringLiteral("体育, 室外")));
    EXPECT_EQ(dump(first), expected);

    const docfile::Document document = docfile::readFile(QFile::encodeName(first).toStdString());
    const auto* title = std::get_if<docfile::Paragraph>(&document.blocks.front());
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->runs.front().text, QStringLiteral("高一（1）班 课程表").toStdString());

    // LibreOffice reads the file as a timetable too.
    const QString soffice = QStandardPaths::findExecutable("soffice");
    if (soffice.isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    run(soffice, {"-env:UserInstallation=file://" + folder.filePath("profile"), "--headless", "--convert-to",
                  "txt:Text (encoded):UTF8", "--outdir", folder.filePath("lo"), first});
    const QString text = QString::fromUtf8(readAll(folder.filePath(QStringLiteral("lo/高一（1）班.txt"))));
    for (const QString& expectedText : {"高一（1）班 课程表", "星期五", "语文", "体育, 室外", "午　休"})
        EXPECT_TRUE(text.contains(expectedText)) << expectedText.toStdString() << " in " << text.toStdString();
}

TEST_F(BatchWindowTest, TodaysWordFormatIsOffered)
{
    writeFile(csvPath(), kTwoClasses);
    batch::BatchDialog* dialog = openDialog(csvPath());
    ASSERT_NE(dialog, nullptr);
    const int docx = dialog->format->findData(int(batch::FileFormat::OfficeOpenXml));
    ASSERT_GE(docx, 0) << "no .docx among the formats";
    dialog->format->setCurrentIndex(docx);
    dialog->makeButton->click();
    settle();
    const QString first = QDir(out()).filePath(QStringLiteral("高一（1）班.docx"));
    ASSERT_TRUE(QFileInfo(first).isFile());
    const QByteArray bytes = readAll(first);
    EXPECT_EQ(docfile::detectFormat(reinterpret_cast<const unsigned char*>(bytes.constData()), size_t(bytes.size())),
              docfile::Format::OfficeOpenXml);
    EXPECT_TRUE(dump(first).contains(QStringLiteral("体育, 室外")));
    dialog->close();
}

TEST_F(BatchWindowTest, WrongRowsAreShownAndNothingIsWrittenWithoutConsent)
{
    writeFile(csvPath(), kTwoClasses + QStringLiteral("高一（2）班,星期八,1,物理\n").toUtf8());
    batch::BatchDialog* dialog = openDialog(csvPath());
    ASSERT_NE(dialog, nullptr);
    dialogue.answers.push_back(QMessageBox::No);
    dialog->makeButton->click();
    settle();
    ASSERT_EQ(dialogue.messages.size(), 1u);
    const QString question = dialogue.messages.back().text;
    EXPECT_TRUE(question.contains(QStringLiteral("第 5 行：无法识别星期“星期八”。"))) << question.toStdString();
    EXPECT_TRUE(question.contains(QStringLiteral("这些班级不会生成：高一（2）班。")));
    EXPECT_TRUE(QDir(out()).isEmpty());

    dialogue.answers.push_back(QMessageBox::Yes);
    dialog->makeButton->click();
    settle();
    EXPECT_EQ(QDir(out()).entryList(QDir::Files), QStringList{QStringLiteral("高一（1）班.doc")});

    // A table that cannot be used at all: said, nothing asked.
    writeFile(csvPath(), QStringLiteral("班级,星期,科目\n一班,1,语文\n").toUtf8());
    dialog->makeButton->click();
    settle();
    EXPECT_EQ(dialogue.messages.back().icon, QMessageBox::Warning);
    EXPECT_TRUE(dialogue.messages.back().text.contains(QStringLiteral("缺少“节次”列")));
}

TEST_F(BatchWindowTest, ExistingFilesAreAskedAboutOnceForAll)
{
    writeFile(csvPath(), kTwoClasses);
    const QString kept = QDir(out()).filePath(QStringLiteral("高一（1）班.doc"));
    writeFile(kept, "mine");
    batch::BatchDialog* dialog = openDialog(csvPath());
    ASSERT_NE(dialog, nullptr);

    dialogue.answers.push_back(QMessageBox::Cancel);
    dialog->makeButton->click();
    settle();
    const dialogue::Message asked = dialogue.messages.back();
    EXPECT_EQ(asked.text, QStringLiteral("文件夹中已经有 1 个同名的课程表文件。要覆盖它们吗？"));
    EXPECT_EQ(asked.captions.value(QMessageBox::YesToAll), QStringLiteral("全部覆盖"));
    EXPECT_EQ(asked.captions.value(QMessageBox::NoToAll), QStringLiteral("跳过已有"));
    EXPECT_EQ(asked.captions.value(QMessageBox::Cancel), QStringLiteral("取消"));
    EXPECT_EQ(QDir(out()).entryList(QDir::Files).size(), 1);

    dialogue.answers.push_back(QMessageBox::NoToAll);
    dialog->makeButton->click();
    settle();
    EXPECT_EQ(readAll(kept), "mine");
    EXPECT_EQ(QDir(out()).entryList(QDir::Files).size(), 2);
    EXPECT_TRUE(dialogue.messages.back().text.contains(QStringLiteral("跳过了 1 个已有的文件。")));

    dialogue.answers.push_back(QMessageBox::YesToAll);
    dialog->makeButton->click();
    settle();
    EXPECT_TRUE(dump(kept).contains(QStringLiteral("高一（1）班 课程表")));
}

TEST_F(BatchWindowTest, AStopBetweenClassesLeavesOnlyWholeFiles)
{
    QByteArray table = "班级,星期,节次,科目\n";
    for (int i = 1; i <= 8; ++i)
        table += QStringLiteral("%1班,1,1,语文\n").arg(i).toUtf8();
    batch::Plan plan = batch::makePlan(batch::parseCsv(QString::fromUtf8(table)), {});
    batch::placeFiles(plan, out(), batch::FileFormat::Word97);
    batch::Settings settings;
    settings.request = {"4", "4", "6", QStringLiteral("课程表"), true, grid::defaultTimeLabels()};
    QList<int> told;
    const batch::Outcome outcome = batch::makeAll(settings, plan, false, [&](int done, int total) {
        told << done;
        EXPECT_EQ(total, 8);
        return done < 3;
    });
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_EQ(told, (QList<int>{0, 1, 2, 3}));
    EXPECT_EQ(outcome.made.size(), 3);
    const QStringList files = QDir(out()).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(files, (QStringList{"1班.doc", "2班.doc", "3班.doc"}));
    for (const QString& file : files)
        EXPECT_NO_THROW(docfile::readFile(QFile::encodeName(QDir(out()).filePath(file)).toStdString()));
    EXPECT_TRUE(batch::outcomeMessage(outcome, out()).contains(QStringLiteral("取消")));
}

TEST_F(BatchWindowTest, TheCommandLineChecksAndAsksAsTheWindowDoes)
{
    auto tool = [&](const QStringList& arguments, QString* err = nullptr) {
        QProcess process;
        process.start(doctool(), QStringList{"timetables"} + arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        if (err)
            *err = QString::fromUtf8(process.readAllStandardError());
        return process.exitCode();
    };
    writeFile(csvPath(), kTwoClasses + QStringLiteral("三班,1,第九节,物理\n").toUtf8());
    QString err;
    EXPECT_EQ(tool({"--from", csvPath()}, &err), 2);
    EXPECT_EQ(tool({"--from", csvPath(), "--out", out(), "--bogus"}), 2);
    EXPECT_EQ(tool({"--from", csvPath(), "--out", out()}, &err), 1);
    EXPECT_TRUE(err.contains(QStringLiteral("第 5 行：第九节超出了每天 8 节课"))) << err.toStdString();
    EXPECT_TRUE(QDir(out()).isEmpty());
    // Nine periods a day make the row whole.
    EXPECT_EQ(tool({"--from", csvPath(), "--out", out(), "--periods", "4,5", "--days", "5", "--title", "作息表", "--no-times"}, &err), 0)
        << err.toStdString();
    EXPECT_EQ(QDir(out()).entryList(QDir::Files).size(), 3);
    const QString third = dump(QDir(out()).filePath(QStringLiteral("三班.doc")));
    EXPECT_TRUE(third.contains(QStringLiteral("三班 作息表")));
    EXPECT_TRUE(third.contains(QStringLiteral("物理")));
    EXPECT_FALSE(third.contains(QStringLiteral("星期六")));

    // Existing files: refused unless told what to do with them.
    EXPECT_EQ(tool({"--from", csvPath(), "--out", out(), "--periods", "4,5", "--no-times"}, &err), 1);
    EXPECT_TRUE(err.contains(QStringLiteral("已经有 3 个同名的课程表文件")));
    EXPECT_EQ(tool({"--from", csvPath(), "--out", out(), "--skip-existing"}, &err), 1); // row 5 still wrong
    EXPECT_EQ(tool({"--from", csvPath(), "--out", out(), "--skip-bad", "--overwrite"}, &err), 0) << err.toStdString();
    EXPECT_TRUE(dump(QDir(out()).filePath(QStringLiteral("高一（1）班.doc"))).contains(QStringLiteral("星期六")));
}
