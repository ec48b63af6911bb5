// Program start to the main window shown: QApplication, translations, the
// main window with its menus and picture, shown and painted once.

#include "platform/fontsetup.h"
#include "platform/translations.h"
#include "shell/mainwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    QElapsedTimer timer;
    timer.start();
    platform::useProgramFontConfig();
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    platform::loadChineseTranslations(application);
    const qint64 application_ms = timer.elapsed();
    shell::MainWindow window;
    window.show();
    window.grab(); // paints it once
    std::printf("application ready: %lld ms, main window shown: %lld ms\n", application_ms,
                (long long)timer.elapsed());
    return 0;
}
