// A timetable file open twice, with LibreOffice as the word processor: a
// lock of someone else's is asked about before Writer loads the file, one
// the program's own office left behind is not, and a file changed on disk
// since it was read is asked about before it is written over.

#include "automation/factory.h"
#include "platform/documentlock.h"
#include "support/scripteddialogue.h"
#include "support/timetablesteps.h"
#include "support/windowtest.h"

#ifdef LUMETRA_HAVE_LIBREOFFICE
#include <QDir>
#include <QFile>
#include <QThread>
#include <QUrl>

using namespace testsupport;

namespace {

class OfficeFiles : public TimetableSteps<> {
protected:
    void SetUp() override
    {
        if (!word::engineAvailable(word::Engine::LibreOffice))
            GTEST_SKIP() << "LibreOffice is not installed";
        word::setPreferredEngine(word::Engine::LibreOffice);
        TimetableSteps::SetUp();
        // A timetable of our own, saved and closed.
        build("4", "4", "6", false);
        path = folder.filePath("课程表.doc");
        saveAs(path);
        main.closeSequence();
        settle();
        ASSERT_TRUE(QFileInfo(path).isFile());
        ASSERT_FALSE(QFileInfo::exists(platform::lockFileOf(path))) << "the closed office left its lock";
    }

    void TearDown() override
    {
        TimetableSteps::TearDown();
        word::setPreferredEngine(word::Engine::Builtin);
    }

    void writeLock(const QByteArray& entry)
    {
        QFile lock(platform::lockFileOf(path));
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
        lock.write(entry);
    }

    bool asked(const QString& text)
    {
        for (const auto& message : dialogue.messages)
            if (message.text.contains(text))
                return true;
        return false;
    }

    std::string told()
    {
        QStringList texts;
        for (const auto& message : dialogue.messages)
            texts << message.text;
        return texts.join(" | ").toStdString();
    }

    QString path;
};

} // namespace

TEST_F(OfficeFiles, SomeoneElsesLockIsAskedAboutBeforeTheFileOpens)
{
    writeLock("王老师,wang,教务处-PC,09.12.2026 08:30,file:///home/wang/.config/libreoffice/4;");
    // No: nothing opens.
    dialogue.files.push_back(path);
    dialogue.answers.push_back(QMessageBox::No);
    action("open")->trigger();
    settle();
    EXPECT_TRUE(asked(QStringLiteral("正被"))) << "the lock was not asked about: " << told();
    EXPECT_FALSE(main.state().opened);
    EXPECT_TRUE(QFileInfo::exists(platform::lockFileOf(path))) << "the other user's lock went";

    // Yes: it opens for editing, without Writer asking in a window of its
    // own, and the lock is now the office's.
    dialogue.messages.clear();
    dialogue.files.push_back(path);
    dialogue.answers.push_back(QMessageBox::Yes); // open it all the same
    dialogue.answers.push_back(QMessageBox::No);  // no course entry now
    action("open")->trigger();
    settle();
    ASSERT_TRUE(main.state().opened) << told();
    EXPECT_TRUE(asked(QStringLiteral("正被")));
    EXPECT_EQ(cell(1, 2), QStringLiteral("星期一"));
    const auto lock = platform::documentLock(path);
    ASSERT_TRUE(lock.has_value());
    EXPECT_NE(lock->author, QStringLiteral("王老师"));
}

TEST_F(OfficeFiles, ALockTheProgramsOwnGoneOfficeLeftIsTakenOver)
{
    // As a killed office of ours leaves it: our user and host, its profile
    // (gone) as the url.
    const QString gone = QDir::temp().filePath("lumetra-libreoffice-gone99");
    open(path);
    ASSERT_TRUE(main.state().opened);
    const auto lock = platform::documentLock(path);
    ASSERT_TRUE(lock.has_value()) << "LibreOffice wrote no lock";
    main.closeSequence();
    settle();
    writeLock(QStringLiteral(",%1,%2,%3,09.12.2026 08:30,%4;")
                  .arg(lock->author, lock->user, lock->host, QUrl::fromLocalFile(gone).toString())
                  .toUtf8());
    dialogue.messages.clear();
    open(path);
    EXPECT_TRUE(main.state().opened) << told();
    EXPECT_FALSE(asked(QStringLiteral("正被"))) << "a stale lock of our own office was asked about";
}

TEST_F(OfficeFiles, AFileChangedOnDiskIsAskedAboutBeforeItIsWrittenOver)
{
    open(path);
    ASSERT_TRUE(main.state().opened);
    main.state().mytable->cell(2, 2)->range()->setText(QStringLiteral("数学"));
    // Another program writes the file meanwhile.
    QThread::msleep(20);
    QFile::remove(path);
    QFile::copy(QDir(qEnvironmentVariable("LUMETRA_CORPUS_DIR")).filePath("simple.doc"), path);
    const QByteArray theirs = [&] {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }();

    dialogue.answers.push_back(QMessageBox::No);
    action("savefile")->trigger();
    settle();
    EXPECT_TRUE(asked(QStringLiteral("已经被其他程序修改过")));
    QFile kept(path);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), theirs) << "their file was written over after No";
    kept.close();

    dialogue.answers.push_back(QMessageBox::Yes);
    action("savefile")->trigger();
    settle();
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_NE(kept.readAll(), theirs) << told();
}

#endif
