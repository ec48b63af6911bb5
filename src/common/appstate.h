#pragma once
// The application state every window shares: whether a timetable is open,
// the word-processor objects that hold it, the grid's size and the subject
// file in force.

#include "automation/word.h"

#include <QString>
#include <memory>

namespace app {

struct AppState {
    int morning = 0; // row of the last morning period
    int hang = 0;    // table rows
    int lie = 0;     // table columns
    std::shared_ptr<word::Application> wd;
    std::shared_ptr<word::Table> mytable;
    bool opened = false;
    QString kemufile;

    // Quits the word processor for a closing command. An instance the user
    // has already closed counts as quit. Returns false when the user
    // cancelled the quit; the instance then stays.
    bool quitWordProcessor();

    // Forgets the timetable's objects (after a quit).
    void forgetTimetable();
};

} // namespace app
