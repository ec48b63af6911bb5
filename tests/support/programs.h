#pragma once
// Running the independent programs that check what we wrote (pdftotext,
// pdfinfo, catdoc, LibreOffice).

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace testsupport {

// Runs a program to its end (two minutes at most) and returns what it
// printed on standard output.
inline QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(120000)) << program.toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline bool havePdfTools()
{
    return !QStandardPaths::findExecutable("pdftotext").isEmpty()
           && !QStandardPaths::findExecutable("pdfinfo").isEmpty();
}

} // namespace testsupport
