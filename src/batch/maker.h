#pragma once
// Makes the planned timetables: each built exactly as New builds it, on the
// built-in word processor without windows, filled, and saved as its file.

#include "batch/plan.h"
#include "create/builder.h"

#include <functional>

namespace batch {

// What every class's timetable shares: the new-timetable dialog's values.
struct Settings {
    create::BuildRequest request; // counts, title, time labels
    Shape shape;
    FileFormat format = FileFormat::Word97;
};

// The shape the request's counts give, or the message of the limit they
// break (the new-timetable dialog's check).
std::variant<Shape, QString> readShape(const create::BuildRequest& request);

// Builds, fills and saves one class's timetable at `path` (written beside
// it and renamed into place, so an existing file is replaced whole or not
// at all). Raises word::AutomationError.
void makeTimetable(const Settings& settings, const ClassPlan& plan, const QString& path);

struct Outcome {
    QStringList made;     // files written
    QStringList skipped;  // existing files left alone
    QString failure;      // why making stopped, if it did
    bool cancelled = false;
};

// Makes every class of the plan in turn; classes whose file exists are
// skipped unless `overwrite`. `progress(done, total)` is told before each
// class and at the end; returning false stops before the next class.
Outcome makeAll(const Settings& settings, const Plan& plan, bool overwrite,
                const std::function<bool(int done, int total)>& progress = {});

// The sentence that tells how it went.
QString outcomeMessage(const Outcome& outcome, const QString& folder);

} // namespace batch
