#pragma once
// Builds a new timetable document through the word-processor interface:
// page setup, the centred title, the grid table with day names, period
// labels and the merged lunch row, then shows the word processor.

#include "automation/word.h"
#include "create/grid.h"

#include <QStringList>
#include <variant>

namespace create {

// What the new-timetable dialog holds when OK is pressed.
struct BuildRequest {
    QString morningCount;   // "4"
    QString afternoonCount; // "4"
    QString dayCount;       // "6"
    QString title;          // "课程表"
    bool withTimes = true;
    QStringList timeLabels; // one per period number
};

struct Counts {
    int morning = 0;
    int afternoon = 0;
    int days = 0;
};

// The counts read from the texts (number reading, ties to even), or the
// message saying which limit they break.
std::variant<Counts, QString> readCounts(const BuildRequest& request);

struct Timetable {
    std::shared_ptr<word::Application> application;
    std::shared_ptr<word::Table> table;
    grid::Dimensions dimensions;
};

// Centimetres to the points the page setup is given, in single precision.
float centimetresToPoints(double centimetres);

// Makes the timetable's document in a running word processor (result's
// dimensions set): a new document, its page, the title and the table.
void fillTimetable(const BuildRequest& request, word::Application& wd, Timetable& result);

// Builds the document. A failing call raises word::AutomationError after
// the half-built instance has been quit, so nothing is left behind.
Timetable build(const BuildRequest& request, const Counts& counts);

} // namespace create
