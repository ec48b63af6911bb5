#pragma once
// The application state every window shares: whether a timetable is open,
// the word-processor objects that hold it, the grid's size and the subject
// file in force.

#include <QString>
#include <memory>

namespace word {
class Application;
class Table;
}

namespace app {

struct AppState {
    int morning = 0; // row of the last morning period
    int hang = 0;    // table rows
    int lie = 0;     // table columns
    std::shared_ptr<word::Application> wd;
    std::shared_ptr<word::Table> mytable;
    bool opened = false;
    QString kemufile;

    // Forgets the timetable's objects (after a quit).
    void forgetTimetable()
    {
        wd.reset();
        mytable.reset();
    }
};

} // namespace app
