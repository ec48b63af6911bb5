#pragma once
// The work the timetable benchmarks time: the default timetable's request,
// and writing a subject into every period cell as course entry walks them.

#include "create/builder.h"
#include "entry/entrycursor.h"

namespace bench {

inline create::BuildRequest defaultTimetable()
{
    return {"4", "4", "6", QStringLiteral("课程表"), true, grid::defaultTimeLabels()};
}

inline void fillAll(word::Table& table)
{
    entry::EntryCursor cursor(10, 7, 4);
    while (cursor.nextEnabled()) {
        const auto cell = cursor.cellToWrite(true);
        table.cell(cell->row, cell->column)->range()->setText(QStringLiteral("语文"));
        cursor.nextPeriod();
    }
}

} // namespace bench
