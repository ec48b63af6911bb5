#include "about/aboutbox.h"
#include "about/aboutinfo.h"
#include "common/units.h"
#include "platform/sysinfo.h"
#include "shell/mainwindow.h"
#include "support/scripteddialogue.h"
#include "support/windowtest.h"

#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextTable>

using namespace testsupport;

namespace {

// Puts PATH back as it was when the test is over.
class PathGuard {
public:
    PathGuard() : m_had(qEnvironmentVariableIsSet("PATH")), m_saved(qgetenv("PATH")) {}
    ~PathGuard()
    {
        if (m_had)
            qputenv("PATH", m_saved);
        else
            qunsetenv("PATH");
    }
    void set(const QString& path) { qputenv("PATH", QFile::encodeName(path)); }

private:
    bool m_had;
    QByteArray m_saved;
};

// A shell script named `name` in `folder` that writes the number of
// arguments it was given to `marker`.
QString writeTool(const QString& folder, const QString& name, const QString& marker, bool executable = true)
{
    const QString path = QDir(folder).filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\necho $# > '" + QFile::encodeName(marker) + "'\n");
    file.close();
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
    if (executable)
        permissions |= QFile::ExeOwner;
    file.setPermissions(permissions);
    return path;
}

class AboutBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        box = new about::AboutBox;
        box->show();
        box->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(box));
    }
    void TearDown() override
    {
        if (box)
            box->close();
        settle();
    }

    ScriptedDialogue dialogue;
    PathGuard path;
    QPointer<about::AboutBox> box;
};

} // namespace

TEST_F(AboutBoxTest, ShowsTheProgramsNameVersionAndDescription)
{
    EXPECT_EQ(box->objectName(), "frmAbout");
    EXPECT_EQ(box->windowTitle(), QStringLiteral("关于 Lumetra"));
    EXPECT_EQ(child<QLabel>(box, "lblTitle")->text(), "Lumetra");
    EXPECT_EQ(child<QLabel>(box, "lblVersion")->text(), QStringLiteral("版本 2.4.13"));
    EXPECT_FALSE(child<QLabel>(box, "picIcon")->pixmap().isNull());
    EXPECT_EQ(child<QPushButton>(box, "cmdOK")->text(), QStringLiteral("确定(&O)"));
    EXPECT_EQ(child<QPushButton>(box, "cmdSysInfo")->text(), QStringLiteral("系统信息(&S)..."));
    EXPECT_EQ(box->cmdSysInfo->accessibleName(), QStringLiteral("系统信息(S)..."));
    EXPECT_EQ(child<QFrame>(box, "Line1")->frameShape(), QFrame::HLine);

    // The description as the label shows it, read back as plain text.
    QTextDocument shown;
    shown.setHtml(child<QLabel>(box, "lblDescription")->text());
    const QString description = shown.toPlainText();
    for (const char* part : {"《课程表》(Lumetra)", "2002-2-16", "Windows98", "Office2000", "Lumetra 项目组",
                             "问题跟踪页面"})
        EXPECT_TRUE(description.contains(QString::fromUtf8(part))) << part;
    EXPECT_EQ(box->lblDescription->accessibleName(), about::descriptionText());
    const QString disclaimer = child<QLabel>(box, "lblDisclaimer")->text();
    EXPECT_TRUE(disclaimer.contains(QStringLiteral("第一次公开发布")));
    EXPECT_TRUE(disclaimer.contains(QStringLiteral("问题跟踪页面")));
    EXPECT_GE(disclaimer.count(u'\n'), 2);
}

TEST_F(AboutBoxTest, IsAFixedModelessBoxLaidOutAsDesigned)
{
    EXPECT_FALSE(box->isModal());
    EXPECT_TRUE(box->testAttribute(Qt::WA_DeleteOnClose));
    EXPECT_FALSE(box->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(box->minimumSize(), box->maximumSize());
    EXPECT_GE(box->width(), units::twipsToPixels(5730, box));
    EXPECT_GE(box->height(), units::twipsToPixels(4275, box));

    const auto rect = [this](QWidget* w) { return QRect(w->mapTo(box, QPoint(0, 0)), w->size()); };
    // Icon at the left, beside the texts; the line between the description
    // and the notice; System information under OK.
    EXPECT_LT(rect(box->picIcon).right(), rect(box->lblTitle).left());
    EXPECT_LT(rect(box->picIcon).right(), rect(box->lblDescription).left());
    EXPECT_GT(rect(box->picIcon).height(), rect(box->lblTitle).height() + rect(box->lblVersion).height());
    EXPECT_LT(rect(box->lblDescription).bottom(), rect(box->Line1).top());
    EXPECT_LT(rect(box->Line1).bottom(), rect(box->lblDisclaimer).top());
    EXPECT_GT(box->Line1->width(), box->width() * 3 / 4);
    EXPECT_LT(rect(box->cmdOK).bottom(), rect(box->cmdSysInfo).top());
    EXPECT_LT(rect(box->lblDisclaimer).right(), rect(box->cmdOK).left());
    // The texts fit: nothing asks for more room than it has.
    for (QLabel* label : {box->lblTitle, box->lblVersion, box->lblDescription, box->lblDisclaimer}) {
        EXPECT_GE(label->width(), label->minimumSizeHint().width()) << label->objectName().toStdString();
        EXPECT_GE(label->height(), label->minimumSizeHint().height()) << label->objectName().toStdString();
    }
}

TEST_F(AboutBoxTest, OkIsTheDefaultAndHasTheFocus)
{
    EXPECT_TRUE(box->cmdOK->isDefault());
    EXPECT_FALSE(box->cmdSysInfo->isDefault());
    EXPECT_EQ(box->focusWidget(), box->cmdOK);
    EXPECT_EQ(box->cmdOK->nextInFocusChain(), box->cmdSysInfo);
}

TEST_F(AboutBoxTest, EnterPressesTheFocusedButtonAndEscapeCloses)
{
    QTest::keyClick(box, Qt::Key_Return);
    settle();
    EXPECT_TRUE(box.isNull()) << "Enter left the box open";

    box = new about::AboutBox;
    box->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box));
    QTest::keyClick(box, Qt::Key_Escape);
    settle();
    EXPECT_TRUE(box.isNull()) << "Esc left the box open";

    // Enter on System information presses it, not OK: with no tool on the
    // path the box says so and stays.
    QTemporaryDir empty;
    path.set(empty.path());
    box = new about::AboutBox;
    box->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(box));
    box->cmdSysInfo->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), box->cmdSysInfo);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    settle();
    ASSERT_FALSE(box.isNull()) << "Enter on System information closed the box";
    ASSERT_EQ(dialogue.messages.size(), 1u);
    EXPECT_EQ(dialogue.messages.front().text, QStringLiteral("此时系统信息不可用"));
    dialogue.messages.clear();
    box->close();
    settle();

    box = new about::AboutBox;
    box->show();
    box->cmdOK->click();
    settle();
    EXPECT_TRUE(box.isNull()) << "OK left the box open";
    EXPECT_TRUE(dialogue.messages.empty());
}

TEST_F(AboutBoxTest, SystemInformationStartsTheFirstToolOnPath)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString marker = folder.filePath("started");
    writeTool(folder.path(), "hardinfo", marker);
    path.set(folder.path());

    accessKey(box, Qt::Key_S);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(marker); }, 5000)) << "the tool did not run";
    // Started without arguments; the about box stays open and says nothing.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            QFile file(marker);
            return file.open(QIODevice::ReadOnly) && file.readAll().trimmed() == "0";
        },
        5000));
    EXPECT_TRUE(dialogue.messages.empty());
    ASSERT_FALSE(box.isNull());
    EXPECT_TRUE(box->isVisible());
}

TEST_F(AboutBoxTest, NoToolSaysSystemInformationIsUnavailable)
{
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    path.set(empty.path());

    box->cmdSysInfo->click();
    settle();
    ASSERT_EQ(dialogue.messages.size(), 1u);
    const dialogue::Message& message = dialogue.messages.front();
    EXPECT_EQ(message.text, QStringLiteral("此时系统信息不可用"));
    EXPECT_EQ(message.title, "Lumetra");
    EXPECT_EQ(message.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(message.icon, QMessageBox::NoIcon);
    ASSERT_FALSE(box.isNull());
    EXPECT_TRUE(box->isVisible());

    // A program of the right name that may not be run counts as none.
    writeTool(empty.path(), "kinfocenter", empty.filePath("started"), false);
    box->cmdSysInfo->click();
    settle();
    EXPECT_EQ(dialogue.messages.size(), 2u);
    EXPECT_FALSE(QFile::exists(empty.filePath("started")));
}

TEST(AboutBoxWithMainWindow, LeavesTheMainWindowUsable)
{
    ScriptedDialogue dialogue;
    shell::MainWindow main;
    main.show();
    QPointer<about::AboutBox> box = new about::AboutBox(&main);
    box->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box));
    EXPECT_EQ(box->parentWidget(), &main);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(main.isEnabled());
    box->close();
    settle();
    EXPECT_TRUE(box.isNull());
    main.close();
    settle();
}

TEST(SystemInformationTool, TakesTheFirstNameOfTheListFoundOnPath)
{
    PathGuard path;
    QTemporaryDir first, second;
    ASSERT_TRUE(first.isValid() && second.isValid());
    const QStringList& names = platform::systemInformationToolNames();
    ASSERT_GE(names.size(), 4);
    EXPECT_TRUE(names.contains("hardinfo"));

    path.set(first.path() + u':' + second.path());
    EXPECT_TRUE(platform::systemInformationTool().isEmpty());

    // A later name in an earlier folder loses to an earlier name anywhere.
    writeTool(first.path(), names[3], first.filePath("m"));
    EXPECT_EQ(platform::systemInformationTool(), QDir(first.path()).filePath(names[3]));
    const QString preferred = writeTool(second.path(), names[1], second.filePath("m"));
    EXPECT_EQ(platform::systemInformationTool(), preferred);
    // Names not on the list are not taken.
    QTemporaryDir other;
    path.set(other.path());
    writeTool(other.path(), "top", other.filePath("m"));
    EXPECT_TRUE(platform::systemInformationTool().isEmpty());
}

TEST(AboutInfo, StartingNothingOrAMissingProgramFails)
{
    EXPECT_FALSE(about::startTool(QString()));
    QTemporaryDir folder;
    EXPECT_FALSE(about::startTool(folder.filePath("MSINFO32.EXE")));
}

TEST(AboutInfo, TextsNameNoInventedContact)
{
    EXPECT_EQ(about::versionText(3, 0, 7), QStringLiteral("版本 3.0.7"));
    const QString text = about::descriptionText() + about::disclaimerText();
    EXPECT_FALSE(text.contains(u'@'));
    EXPECT_FALSE(text.contains(QStringLiteral("http")));
    EXPECT_FALSE(text.contains(QStringLiteral("www")));
    EXPECT_TRUE(about::descriptionLines().contains(QStringLiteral("工程名  : 《课程表》(Lumetra)")));
    EXPECT_TRUE(about::descriptionLines().contains(QStringLiteral("最后更新: 2002-2-16")));
}

TEST(AboutInfo, ContinuationLinesSitUnderTheValueAbove)
{
    QTextDocument document;
    document.setHtml(about::descriptionHtml({"系统要求: Windows98", "          Office2000", "工程名  : 《课程表》",
                                             "作者：某某 项目组"}));
    QList<QTextTable*> tables;
    for (QTextFrame* frame : document.rootFrame()->childFrames())
        if (auto* table = qobject_cast<QTextTable*>(frame))
            tables.append(table);
    ASSERT_EQ(tables.size(), 1);
    QTextTable* table = tables.front();
    ASSERT_EQ(table->rows(), 3);
    ASSERT_EQ(table->columns(), 2);
    const auto cell = [&](int row, int column) {
        const QTextTableCell c = table->cellAt(row, column);
        QTextCursor cursor = c.firstCursorPosition();
        cursor.setPosition(c.lastCursorPosition().position(), QTextCursor::KeepAnchor);
        return cursor.selectedText().trimmed();
    };
    EXPECT_EQ(cell(0, 0), QStringLiteral("系统要求:"));
    EXPECT_EQ(cell(0, 1), "Windows98");
    EXPECT_EQ(cell(1, 0), "");
    EXPECT_EQ(cell(1, 1), "Office2000");
    // Headings padded with blanks line up by the column, not by the blanks.
    EXPECT_EQ(cell(2, 0), QStringLiteral("工程名:"));
    EXPECT_EQ(cell(2, 1), QStringLiteral("《课程表》"));
    // A line without an ASCII colon is a paragraph after the table, whole.
    const QString text = document.toPlainText();
    EXPECT_TRUE(text.endsWith(QStringLiteral("\n作者：某某 项目组"))) << text.toStdString();
    EXPECT_LT(document.find("Office2000").position(), document.find(QStringLiteral("作者")).position());

    // A line of blanks with no item above it stands on its own.
    document.setHtml(about::descriptionHtml({"  alone", "a: b"}));
    EXPECT_TRUE(document.toPlainText().startsWith("alone\n")) << document.toPlainText().toStdString();
}
