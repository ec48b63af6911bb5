#include "automation/libreoffice/spareoffice.h"

#include "automation/automationerror.h"

#include <QCoreApplication>
#include <QTimer>

namespace word::libreoffice {

namespace {

struct Spare {
    std::unique_ptr<OfficeProcess> office;
    QTimer* connecting = nullptr; // tries to connect now and then, without blocking anyone
};

Spare& spare()
{
    static Spare instance;
    return instance;
}

void stopTrying()
{
    if (spare().connecting) {
        spare().connecting->stop();
        spare().connecting->deleteLater();
        spare().connecting = nullptr;
    }
}

void tryConnecting()
{
    Spare& s = spare();
    try {
        if (s.office && s.office->tryConnect())
            stopTrying();
    } catch (const AutomationError&) {
        // Said only if the user asks for a timetable: a start of its own
        // then fails the same way, in the user's sight.
        stopTrying();
        s.office.reset();
    }
}

} // namespace

void prepareSpareOffice(bool headless)
{
    Spare& s = spare();
    QCoreApplication* application = QCoreApplication::instance();
    if (s.office || !application)
        return;
    try {
        s.office = OfficeProcess::launch(headless);
    } catch (const AutomationError&) {
        return;
    }
    static const bool ending = [application] {
        QObject::connect(application, &QCoreApplication::aboutToQuit, [] { discardSpareOffice(); });
        return true;
    }();
    Q_UNUSED(ending);
    s.connecting = new QTimer(application);
    QObject::connect(s.connecting, &QTimer::timeout, [] { tryConnecting(); });
    s.connecting->start(100);
}

std::unique_ptr<OfficeProcess> takeSpareOffice(bool headless)
{
    Spare& s = spare();
    if (s.office && (s.office->headless() != headless || !s.office->running()))
        discardSpareOffice();
    stopTrying();
    return std::move(s.office);
}

void discardSpareOffice()
{
    stopTrying();
    spare().office.reset();
}

bool spareOfficeReady()
{
    return spare().office && spare().office->connected();
}

} // namespace word::libreoffice
