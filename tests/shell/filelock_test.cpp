// A document open in the built-in word processor is locked as LibreOffice
// locks it; a file someone else has open, or has changed since it was
// opened, is asked about before it is opened or written over.

#include "automation/builtin/builtinapplication.h"
#include "platform/documentlock.h"
#include "platform/recovery.h"
#include "platform/runlock.h"
#include "support/files.h"
#include "support/programs.h"
#include "support/timetablesteps.h"
#include "recoveryruns.h"

#include <QMainWindow>
#include <QRegularExpression>
#include <QSysInfo>
#include <QUrl>

using namespace testsupport;

namespace {

class FileLockTest : public TimetableSteps<> {
protected:
    FileLockTest() : folders(folder.path()) {}

    // Writes a lock file beside a document, as another program would.
    void lockAs(const QString& document, const QByteArray& entry)
    {
        QFile file(platform::lockFileOf(document));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(entry);
    }
    QByteArray lockBytes(const QString& document)
    {
        QFile file(platform::lockFileOf(document));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // A saved timetable, closed again.
    QString savedTimetable(const QString& name)
    {
        const QString path = folder.filePath(name);
        build();
        saveAs(path);
        main.closeSequence();
        settle();
        return path;
    }
    bool activeModified()
    {
        const auto app = std::dynamic_pointer_cast<word::builtin::BuiltinApplication>(main.state().wd);
        return app && app->state()->active && app->state()->active->text->isModified();
    }
    void saveAsFromTheWindow(const QString& path)
    {
        dialogue.files.push_back(path);
        topLevel<QMainWindow>("documentWindow")->findChild<QAction*>("documentSaveAs")->trigger();
        settle();
    }

    RecoveryFolders folders; // our locks name this run's lock file, in the data folder
};

const QByteArray someoneElse = "张三,zhangsan,otherhost,02.09.2024 08:30,file:///home/zhangsan/.config/libreoffice/4;";

} // namespace

TEST_F(FileLockTest, AnOpenTimetableIsLockedInLibreOfficesFormUntilItCloses)
{
    build();
    const QString first = folder.filePath("first.doc");
    saveAs(first);
    // One entry: author, login, host, local time to the minute, and this
    // run's lock file.
    static const QRegularExpression entry(
        QStringLiteral("^[^,;]+,[^,;]+,[^,;]+,(\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d),(file:///[^;]+);$"));
    const auto match = entry.match(QString::fromUtf8(lockBytes(first)));
    ASSERT_TRUE(match.hasMatch()) << lockBytes(first).toStdString();
    const auto lock = platform::documentLock(first);
    ASSERT_TRUE(lock);
    EXPECT_EQ(lock->host, QSysInfo::machineHostName());
    EXPECT_LT(std::abs(lock->since().secsTo(QDateTime::currentDateTime())), 120);
    EXPECT_TRUE(QUrl(match.captured(2)).toLocalFile().startsWith(platform::recoveryFolder()));
    EXPECT_TRUE(platform::isOwnLock(*lock));

    // Saved as another file, the lock moves with it.
    const QString second = folder.filePath("second.odt");
    saveAsFromTheWindow(second);
    EXPECT_FALSE(QFileInfo::exists(platform::lockFileOf(first)));
    EXPECT_TRUE(platform::documentLock(second));
    // Closed, it goes; opened, it comes back; the quit takes it again.
    main.closeSequence();
    settle();
    EXPECT_FALSE(QFileInfo::exists(platform::lockFileOf(second)));
    open(first);
    ASSERT_TRUE(main.state().opened);
    EXPECT_TRUE(platform::documentLock(first));
    topLevel("documentWindow")->close();
    settle();
    EXPECT_FALSE(QFileInfo::exists(platform::lockFileOf(first)));
}

TEST_F(FileLockTest, AFileSomeoneElseHasOpenIsAskedAboutBeforeItOpens)
{
    const QString path = savedTimetable("shared.doc");
    lockAs(path, someoneElse);
    const QByteArray before = digest(path);

    // No: not opened, and said so.
    dialogue.files.push_back(path);
    dialogue.answers.push_back(QMessageBox::No);
    action("open")->trigger();
    settle();
    ASSERT_EQ(dialogue.messages.size(), 2u);
    const dialogue::Message& question = dialogue.messages[0];
    EXPECT_EQ(question.text, QStringLiteral("文件“%1”自 2024-09-02 08:30 起正被张三（计算机“otherhost”）使用。"
                                            "两处都修改并保存时，后保存的会覆盖先保存的。\n\n仍要打开吗？")
                                 .arg(QDir::toNativeSeparators(path)));
    EXPECT_EQ(question.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(question.defaultButton, QMessageBox::No);
    EXPECT_EQ(question.icon, QMessageBox::Warning);
    EXPECT_TRUE(dialogue.messages[1].text.contains(QStringLiteral("没有打开"))) << dialogue.messages[1].text.toStdString();
    EXPECT_FALSE(main.state().opened);
    EXPECT_EQ(topLevel("documentWindow"), nullptr);

    // Yes: opened; their lock stays theirs, through a save and the close.
    dialogue.answers.push_back(QMessageBox::Yes);
    open(path);
    ASSERT_TRUE(main.state().opened);
    EXPECT_EQ(lockBytes(path), someoneElse);
    main.state().mytable->cell(2, 2)->range()->setText(QStringLiteral("语文"));
    const size_t asked = dialogue.messages.size();
    action("savefile")->trigger();
    settle();
    EXPECT_EQ(dialogue.messages.size(), asked); // its own file, unchanged on disk: nothing to ask
    EXPECT_NE(digest(path), before);
    main.closeSequence();
    settle();
    EXPECT_EQ(lockBytes(path), someoneElse);
}

TEST_F(FileLockTest, ALockACrashOfOursLeftIsTakenOverButOneOfLibreOfficeIsAskedAbout)
{
    const QString path = savedTimetable("again.doc");
    // Our own lock, to learn how this user and host are named.
    open(path);
    const auto own = platform::documentLock(path);
    ASSERT_TRUE(own);
    main.closeSequence();
    settle();

    // A run that wrote a lock and crashed: its run lock file is there, not held.
    runChild("WritesACopyAndEndsAbruptly", {}, {"LUMETRA_CHILD_DOCUMENT=x"});
    const QStringList runLocks = QDir(platform::recoveryFolder()).entryList({"*.lock"});
    QString ended;
    for (const QString& name : runLocks)
        if (!name.startsWith(platform::runId()))
            ended = QDir(platform::recoveryFolder()).filePath(name);
    ASSERT_FALSE(ended.isEmpty()) << runLocks.join(' ').toStdString();
    const QByteArray stale = (own->author + ',' + own->user + ',' + own->host + ",01.09.2024 07:00,"
                              + QUrl::fromLocalFile(ended).toString() + ';').toUtf8();
    lockAs(path, stale);
    open(path);
    ASSERT_TRUE(main.state().opened);
    EXPECT_EQ(dialogue.messages.size(), 2u); // only the two "现在就输入课程吗？"
    ASSERT_TRUE(platform::documentLock(path));
    EXPECT_TRUE(platform::isOwnLock(*platform::documentLock(path)));
    main.closeSequence();
    settle();

    // LibreOffice of this same user: it may have the file open.
    const QByteArray libreOffice = (',' + own->user + ',' + own->host + ",01.09.2024 07:00,file:///tmp/lo-profile;").toUtf8();
    lockAs(path, libreOffice);
    dialogue.answers.push_back(QMessageBox::No);
    dialogue.files.push_back(path);
    action("open")->trigger();
    settle();
    EXPECT_FALSE(main.state().opened);
    ASSERT_EQ(dialogue.messages.size(), 4u);
    EXPECT_TRUE(dialogue.messages[2].text.contains(QStringLiteral("正被%1（计算机“%2”）使用").arg(own->user, own->host)))
        << dialogue.messages[2].text.toStdString();
    EXPECT_EQ(lockBytes(path), libreOffice);
}

TEST_F(FileLockTest, SavingOverAFileChangedOnDiskAsksFirst)
{
    const QString path = savedTimetable("changed.doc");
    open(path);
    ASSERT_TRUE(main.state().opened);
    main.state().mytable->cell(2, 2)->range()->setText(QStringLiteral("语文"));
    // Another program writes the file meanwhile.
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Append));
        file.write("appended by another program");
    }
    const QByteArray theirs = digest(path);

    // No: the file keeps their changes, the document ours, still unsaved.
    const size_t before = dialogue.messages.size();
    dialogue.answers.push_back(QMessageBox::No);
    action("savefile")->trigger();
    settle();
    ASSERT_EQ(dialogue.messages.size(), before + 1);
    const dialogue::Message& question = dialogue.messages.back();
    EXPECT_EQ(question.text, QStringLiteral("文件“%1”在打开或上次保存之后已经被其他程序修改过。保存将覆盖那些修改。\n\n仍要保存吗？")
                                 .arg(QDir::toNativeSeparators(path)));
    EXPECT_EQ(question.defaultButton, QMessageBox::No);
    EXPECT_EQ(question.icon, QMessageBox::Warning);
    EXPECT_EQ(digest(path), theirs);
    EXPECT_TRUE(activeModified());
    EXPECT_EQ(cell(2, 2), QStringLiteral("语文"));

    // Yes: written over; a later save has nothing to ask.
    dialogue.answers.push_back(QMessageBox::Yes);
    action("savefile")->trigger();
    settle();
    EXPECT_NE(digest(path), theirs);
    EXPECT_FALSE(activeModified());
    main.state().mytable->cell(2, 3)->range()->setText(QStringLiteral("数学"));
    const size_t asked = dialogue.messages.size();
    action("savefile")->trigger();
    settle();
    EXPECT_EQ(dialogue.messages.size(), asked);
    EXPECT_FALSE(activeModified());
}

TEST_F(FileLockTest, SavingAsOntoAFileSomeoneHasOpenAsksFirst)
{
    const QString target = savedTimetable("theirs.doc");
    lockAs(target, someoneElse);
    const QByteArray before = digest(target);
    build();
    main.state().mytable->cell(2, 2)->range()->setText(QStringLiteral("语文"));
    dialogue.answers.push_back(QMessageBox::No);
    saveAs(target);
    ASSERT_EQ(dialogue.messages.size(), 1u);
    EXPECT_TRUE(dialogue.messages[0].text.contains(QStringLiteral("正被张三（计算机“otherhost”）使用")));
    EXPECT_TRUE(dialogue.messages[0].text.endsWith(QStringLiteral("仍要保存吗？")));
    EXPECT_EQ(digest(target), before);
    EXPECT_TRUE(activeModified());
    dialogue.answers.push_back(QMessageBox::Yes);
    saveAs(target);
    EXPECT_NE(digest(target), before);
    EXPECT_FALSE(activeModified());
    EXPECT_EQ(lockBytes(target), someoneElse); // still theirs: they have it open
}

TEST_F(FileLockTest, LibreOfficeAndThisProgramSeeEachOthersLocks)
{
    if (QStandardPaths::findExecutable("soffice").isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    QString python;
    for (const QString& candidate : {QStringLiteral("/usr/bin/python3"), QStringLiteral("python3")})
        if (python.isEmpty() && QProcess::execute(candidate, {"-c", "import uno"}) == 0)
            python = candidate;
    if (python.isEmpty())
        GTEST_SKIP() << "python3-uno is not installed";

    build();
    const QString ours = folder.filePath("ours.doc");
    saveAs(ours);
    const auto own = platform::documentLock(ours);
    ASSERT_TRUE(own);
    const QString free = folder.filePath("free.doc");
    ASSERT_TRUE(QFile::copy(ours, free));
    QProcess check;
    check.setProcessChannelMode(QProcess::MergedChannels);
    check.start(python, {QDir(qEnvironmentVariable("LUMETRA_SOURCE_DIR")).filePath("tests/shell/lockcheck.py"),
                         QUrl::fromLocalFile(folder.filePath("profile")).toString(),
                         QString("lumetra_lockcheck_%1_%2").arg(QCoreApplication::applicationPid()).arg(QDateTime::currentMSecsSinceEpoch()), ours, free});
    ASSERT_TRUE(check.waitForFinished(120000));
    const QStringList lines = QString::fromUtf8(check.readAll()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << lines.join(QStringLiteral("\n")).toStdString();
    // Ours is a lock to LibreOffice, though it names LibreOffice's own user:
    // it does not open the file for editing (with no one to ask it refuses
    // it, or opens it read-only), as it does the one without a lock.
    const QString how = lines[0].section(u'\t', 1, 1);
    EXPECT_TRUE(how == QStringLiteral("refused") || how == QStringLiteral("readonly")) << how.toStdString();
    const QStringList seen = lines[1].split(u'\t');
    ASSERT_EQ(seen.size(), 3);
    EXPECT_EQ(seen[1], QStringLiteral("editable"));

    // LibreOffice's own lock, read here: its user and host as ours name them,
    // and asked about (a LibreOffice of this user may have the file open).
    const QString third = savedTimetable("third.doc");
    lockAs(third, seen[2].toUtf8());
    const auto theirs = platform::documentLock(third);
    ASSERT_TRUE(theirs) << seen[2].toStdString();
    EXPECT_EQ(theirs->user, own->user);
    EXPECT_EQ(theirs->host, own->host);
    EXPECT_TRUE(theirs->since().isValid());
    const size_t asked = dialogue.messages.size();
    dialogue.answers.push_back(QMessageBox::No);
    dialogue.files.push_back(third);
    action("open")->trigger();
    settle();
    EXPECT_FALSE(main.state().opened);
    EXPECT_EQ(dialogue.messages.size(), asked + 2); // the question and "没有打开"
}
