#include "common/appstate.h"

namespace app {

bool AppState::quitWordProcessor()
{
    if (wd && wd->running()) {
        try {
            if (!wd->quit())
                return false;
        } catch (const word::AutomationError& error) {
            // Gone while quitting: it is quit all the same.
            if (error.kind() != word::AutomationError::NotRunning)
                throw;
        }
    }
    forgetTimetable();
    return true;
}

void AppState::forgetTimetable()
{
    wd.reset();
    mytable.reset();
}

} // namespace app
