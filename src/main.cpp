// Lumetra: build a weekly class timetable in a word-processor document.

#include "automation/factory.h"
#include "common/documentfiles.h"
#include "platform/commandline.h"
#include "platform/fontsetup.h"
#include "platform/helpviewer.h"
#include "platform/recovery.h"
#include "platform/translations.h"
#include "shell/mainwindow.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <csignal>
#include <cstdio>

int main(int argc, char* argv[])
{
    // A word processor that closes its pipe while we write to it is an
    // error the engine reports, not the end of the program.
    std::signal(SIGPIPE, SIG_IGN);

    // --help and --version need no window system: they are answered before
    // the application object exists.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const platform::CommandLine early = platform::parseCommandLine(arguments);
    if (early.action == platform::CommandLine::Action::Help || early.action == platform::CommandLine::Action::Version)
        return platform::answerCommandLine(early);

    platform::useProgramFontConfig();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumetra"));
    QApplication::setApplicationVersion(platform::programVersion());
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/icon.png")));

    // Qt has taken its own options off the line by now.
    const platform::CommandLine line = platform::parseCommandLine(QCoreApplication::arguments());
    if (line.action != platform::CommandLine::Action::Run)
        return platform::answerCommandLine(line);

    // The word processor: the built-in one unless the line or the
    // environment asks for LibreOffice.
    QString problem;
    const QString wordProcessor = platform::chosenWordProcessor(line, &problem);
    if (!problem.isEmpty())
        std::fputs(QStringLiteral("lumetra：%1\n").arg(problem).toUtf8().constData(), stderr);
    if (const auto engine = word::engineFromName(wordProcessor))
        word::setPreferredEngine(*engine);

    platform::loadChineseTranslations(application);
    platform::installHelpKey(application);

    // Recovery copies that cannot be written are said over the active window.
    platform::setRecoveryProblemHandler(documentfiles::warnAboutRecoveryCopies);
    platform::cleanRecoveryFolder();

    shell::MainWindow window;
    window.show();
    // Once the window is up: work a crash left behind comes first, then a
    // document named on the line opens as if chosen in the Open dialog. One
    // step, not two: a question's box runs the event loop, and a second
    // step waiting there would open the file while the question is shown.
    QTimer::singleShot(0, &window, [&window, file = line.file] {
        window.offerRecoveredCopies();
        if (!file.isEmpty())
            window.openFile(file);
    });
    return application.exec();
}
