// GoogleTest main for every test program: a QApplication exists (offscreen
// when there is no display), as the windows and the rich-text engine need.

#include "platform/fontsetup.h"
#include "platform/helpviewer.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Each test program has a temporary folder of its own (its child
    // programs share it): programs CTest runs side by side never see each
    // other's files there, such as the profiles of the offices they start.
    QTemporaryDir own(QDir::tempPath() + QStringLiteral("/lumetra-tests-XXXXXX"));
    if (own.isValid() && !qEnvironmentVariableIsSet("LUMETRA_TEST_TMPDIR")) {
        qputenv("TMPDIR", QFile::encodeName(own.path()));
        qputenv("LUMETRA_TEST_TMPDIR", QFile::encodeName(own.path()));
    }
    platform::useProgramFontConfig();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // LibreOffice is started ahead of need only where a test asks for it.
    if (!qEnvironmentVariableIsSet("LUMETRA_LIBREOFFICE_AHEAD"))
        qputenv("LUMETRA_LIBREOFFICE_AHEAD", "0");
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    platform::installHelpKey(application);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
