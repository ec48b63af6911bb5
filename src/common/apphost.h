#pragma once
// What the program's dialogs may ask of the main window: the application
// state, and the few operations that change which timetable is open. The
// dialogs know only this interface, never the main window itself.

#include "common/appstate.h"

#include <functional>

class QWidget;

namespace word { class AutomationError; }

namespace app {

class Host {
public:
    virtual ~Host() = default;

    // The main window, as the parent of the dialogs and their messages.
    virtual QWidget* mainWindow() = 0;
    virtual AppState& state() = 0;

    // opened = false and the document commands disabled.
    virtual void enterNoTimetable() = 0;
    // Takes over a built or opened timetable: opened = true, commands enabled.
    virtual void adoptTimetable(std::shared_ptr<word::Application> wd, std::shared_ptr<word::Table> table,
                                int morning, int hang, int lie) = 0;
    // Starts course entry on the open timetable.
    virtual void startEntry() = 0;
    // Tells the user about an engine failure; an instance that is gone
    // leaves no timetable open.
    virtual void reportEngineError(QWidget* parent, const word::AutomationError& error) = 0;

    // Runs an action that drives the word processor; a failure is reported
    // with reportEngineError. Returns whether it went through.
    virtual bool guarded(QWidget* parent, const std::function<void()>& action) = 0;
};

} // namespace app
