#pragma once
// What the recovery tests share: folders of their own for the data and
// documents, and other runs of the program, played by this test program
// started again to run one child test (RecoveryChild.*).

#include "entry/entrydialog.h"
#include "create/initdialog.h"
#include "shell/mainwindow.h"
#include "support/windowtest.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QStringList>
#include <gtest/gtest.h>

namespace testsupport {

// Points the data and documents folders at a folder of the test's own, and
// has copies written at every change.
class RecoveryFolders {
public:
    explicit RecoveryFolders(const QString& root)
        : m_data(qgetenv("XDG_DATA_HOME")), m_home(qgetenv("HOME")), m_seconds(qgetenv("LUMETRA_RECOVERY_SECONDS"))
    {
        qputenv("XDG_DATA_HOME", (root + "/data").toUtf8());
        qputenv("HOME", root.toUtf8());
        qputenv("LUMETRA_RECOVERY_SECONDS", "0");
    }
    ~RecoveryFolders()
    {
        restore("XDG_DATA_HOME", m_data);
        restore("HOME", m_home);
        restore("LUMETRA_RECOVERY_SECONDS", m_seconds);
    }

private:
    static void restore(const char* name, const QByteArray& value)
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    QByteArray m_data, m_home, m_seconds;
};

// Whether this process is a child run; child tests skip otherwise.
inline bool isChildRun()
{
    return !qEnvironmentVariableIsEmpty("LUMETRA_RECOVERY_CHILD");
}

// Starts RecoveryChild.<test> as another run, in this run's environment
// (its folders) with `extra` added, through `wrapper` when given (a program
// and its arguments, such as unshare). Its output is read merged.
inline void startChildRun(QProcess& process, const QString& test, const QStringList& wrapper = {},
                          const QStringList& extra = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LUMETRA_RECOVERY_CHILD", "1");
    for (const QString& setting : extra)
        environment.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    QStringList command = wrapper;
    command << QCoreApplication::applicationFilePath() << QStringLiteral("--gtest_filter=RecoveryChild.") + test;
    process.start(command.takeFirst(), command);
}

// Runs a child run to its end; its output, and its exit code in `exitCode`.
inline QString runChild(const QString& test, const QStringList& wrapper = {}, const QStringList& extra = {},
                        int* exitCode = nullptr)
{
    QProcess process;
    startChildRun(process, test, wrapper, extra);
    EXPECT_TRUE(process.waitForFinished(120000)) << test.toStdString();
    if (exitCode)
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromUtf8(process.readAll());
}

// The lines of a child's output that start with `tag`, without it.
inline QStringList tagged(const QString& output, const QString& tag)
{
    QStringList found;
    for (const QString& line : output.split(u'\n'))
        if (line.startsWith(tag))
            found << line.mid(tag.size());
    return found;
}

// New → OK with course entry, then Next period three times on 数学.
inline entry::EntryDialog* buildAndEnter(shell::MainWindow& main)
{
    main.state().kemufile = QDir(qEnvironmentVariable("LUMETRA_SOURCE_DIR")).filePath("dist/zvn.list");
    main.newTimetable();
    settle();
    main.initDialog->OKButton->click();
    settle();
    entry::EntryDialog* dialog = main.entryDialog;
    if (!dialog)
        return nullptr;
    dialog->com1->setCurrentIndex(dialog->kemu.indexOf(QStringLiteral("数学")));
    for (int i = 0; i < 3; ++i)
        dialog->c1->click();
    return dialog;
}

} // namespace testsupport
