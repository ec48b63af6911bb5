// Where the program finds its own files (zvn.list, the help pages,
// fonts.conf): beside itself in the build folder, prefix/share/lumetra when
// installed. The InstalledProgram cases run only from an installed tree:
// install-test.sh and package-test.sh copy this program into prefix/bin.

#include "platform/fontsetup.h"
#include "platform/helpviewer.h"
#include "platform/programfolder.h"
#include "shell/mainwindow.h"
#include "subjects/subjectfile.h"
#include "support/windowtest.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBrowser>

namespace {

void write(const QString& path, const QByteArray& bytes)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath())) << path.toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

// The data files as an install puts them under `folder`.
void putDataFiles(const QString& folder, const QByteArray& helpTitle = "帮助")
{
    write(folder + "/zvn.list", "[info]\n");
    write(folder + "/fonts.conf", "<fontconfig/>\n");
    write(folder + "/help/index.html",
          "<html><head><meta charset=\"utf-8\"><title>" + helpTitle + "</title></head><body>索引</body></html>");
}

class DataFolder : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(root.isValid()); }
    void TearDown() override { platform::setProgramFolder(QString()); }
    QString path(const QString& relative) const { return QDir::cleanPath(root.path() + "/" + relative); }
    QTemporaryDir root;
};

} // namespace

TEST_F(DataFolder, AnInstalledProgramFindsItsFilesInShareLumetra)
{
    QDir().mkpath(path("usr/bin"));
    putDataFiles(path("usr/share/lumetra"));
    const QString share = path("usr/share/lumetra");
    for (const QString& bin : {path("usr/bin"), path("usr/bin") + "/"})
        EXPECT_EQ(platform::dataFolderOf(bin), share) << bin.toStdString();
    EXPECT_EQ(platform::programFontConfig(path("usr/bin")), share + "/fonts.conf");

    // Every user of the data folder follows it; timetables are looked for
    // in the user's documents, not among the programs.
    platform::setProgramFolder(path("usr/bin"));
    EXPECT_EQ(platform::programFolder(), path("usr/bin"));
    EXPECT_EQ(platform::dataFolder(), share);
    EXPECT_NE(platform::timetableFolder(), path("usr/bin"));
    EXPECT_TRUE(QFileInfo(platform::timetableFolder()).isDir());
    EXPECT_EQ(shell::defaultSubjectFile(), share + "/zvn.list");
    EXPECT_EQ(platform::inProgramFolder("zvn.list"), share + "/zvn.list");
    EXPECT_EQ(platform::helpFile(), share + "/help/index.html");
}

TEST_F(DataFolder, FilesBesideTheProgramWinAsInTheBuildFolder)
{
    // A build folder that happens to sit in a prefix with an installed copy.
    putDataFiles(path("build/bin"));
    putDataFiles(path("build/share/lumetra"));
    EXPECT_EQ(platform::dataFolderOf(path("build/bin")), path("build/bin"));
    EXPECT_EQ(platform::programFontConfig(path("build/bin")), path("build/bin") + "/fonts.conf");
    platform::setProgramFolder(path("build/bin"));
    EXPECT_EQ(platform::timetableFolder(), path("build/bin")); // the dialogs start beside the program

    // The subject file alone, or the help folder alone, is enough to tell.
    write(path("a/bin/zvn.list"), "[info]\n");
    QDir().mkpath(path("a/share/lumetra"));
    EXPECT_EQ(platform::dataFolderOf(path("a/bin")), path("a/bin"));
    QDir().mkpath(path("b/bin/help"));
    QDir().mkpath(path("b/share/lumetra"));
    EXPECT_EQ(platform::dataFolderOf(path("b/bin")), path("b/bin"));
    // No fonts.conf there: fontconfig keeps the system's configuration.
    EXPECT_EQ(platform::programFontConfig(path("b/bin")), QString());
}

TEST_F(DataFolder, WithNoFilesAnywhereTheProgramFolderIsNamed)
{
    QDir().mkpath(path("bare/bin"));
    EXPECT_EQ(platform::dataFolderOf(path("bare/bin")), path("bare/bin"));
    EXPECT_EQ(platform::programFontConfig(path("bare/bin")), QString());
    platform::setProgramFolder(path("bare/bin"));
    EXPECT_EQ(shell::defaultSubjectFile(), path("bare/bin") + "/zvn.list");

    // An installed data folder emptied by hand is still where files belong.
    QDir().mkpath(path("emptied/bin"));
    QDir().mkpath(path("emptied/share/lumetra"));
    EXPECT_EQ(platform::dataFolderOf(path("emptied/bin")), path("emptied/share/lumetra"));
    EXPECT_EQ(platform::programFontConfig(path("emptied/bin")), QString());
}

TEST_F(DataFolder, TheHelpWindowOpensFromTheInstalledFolder)
{
    QDir().mkpath(path("usr/bin"));
    putDataFiles(path("usr/share/lumetra"), "已安装的帮助");
    platform::setProgramFolder(path("usr/bin"));
    platform::showHelp();
    auto* browser = qobject_cast<QTextBrowser*>(platform::helpWindow());
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(browser->documentTitle(), QStringLiteral("已安装的帮助"));
    EXPECT_EQ(browser->source().toLocalFile(), path("usr/share/lumetra/help/index.html"));
    browser->close();
    testsupport::settle();
}

TEST(DataFolderOfThisProgram, IsTheBuildFolderWhereTheFilesWereCopied)
{
    // Test programs sit in build/bin beside the copied dist files.
    EXPECT_EQ(platform::dataFolder(), platform::programFolder());
    EXPECT_TRUE(QFileInfo(shell::defaultSubjectFile()).isFile());
}

// From an installed tree only (see the scripts): the real rule on the real
// installed files, the font configuration included, as the program sees
// them at start.
TEST(InstalledProgram, FindsItsFilesInTheInstalledDataFolder)
{
    const QString share = QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../share/lumetra");
    ASSERT_FALSE(QFileInfo::exists(QCoreApplication::applicationDirPath() + "/zvn.list"))
        << "run from an installed tree, not the build folder";
    EXPECT_EQ(platform::dataFolder(), share);
    EXPECT_EQ(subjects::checkFile(shell::defaultSubjectFile()), subjects::Fault::None)
        << shell::defaultSubjectFile().toStdString();
    EXPECT_TRUE(QFileInfo(platform::helpFile()).isFile()) << platform::helpFile().toStdString();
    // useProgramFontConfig ran before the application started.
    EXPECT_EQ(qEnvironmentVariable("FONTCONFIG_FILE"), share + "/fonts.conf");

    platform::showHelp();
    auto* browser = qobject_cast<QTextBrowser*>(platform::helpWindow());
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("菜单和快捷键")));
    browser->close();
    testsupport::settle();
}
