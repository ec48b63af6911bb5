// Lumetra: build a weekly class timetable in a word-processor document.

#include "platform/fontsetup.h"
#include "platform/helpviewer.h"
#include "platform/translations.h"
#include "shell/mainwindow.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    platform::useProgramFontConfig();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumetra"));
    QApplication::setApplicationVersion(QStringLiteral("2.4.13"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/icon.png")));
    platform::loadChineseTranslations(application);
    platform::installHelpKey(application);

    shell::MainWindow window;
    window.show();
    return application.exec();
}
