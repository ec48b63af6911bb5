#pragma once
// The plan of a school's timetables: which classes the table names, what
// goes in each cell of each, which rows are wrong and why, and the file each
// class's timetable is saved as. Plain logic; nothing is written here.

#include "batch/csvtable.h"
#include "docfile/formats.h"

#include <QString>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace batch {

// The shape of the week, as the new-timetable dialog gives it.
struct Shape {
    int morning = 4;
    int afternoon = 4;
    int days = 6;
};

// The file formats the timetables may be saved in: Word 97-2003 (.doc) and
// today's Word (.docx).
using FileFormat = docfile::Format;
QString suffixOf(FileFormat format); // ".doc", ".docx"

// 星期一/周一/一/1 … 星期日/星期天/周日/日/天/7: the day from 0, or nothing.
std::optional<int> readDay(const QString& text);
// 第一节/第1节/1/一 …: the period of the day from 0 (afternoon periods go
// on counting after the morning's), or nothing.
std::optional<int> readPeriod(const QString& text);
// Why a class name cannot be a file name, or nothing when it can.
std::optional<QString> fileNameProblem(const QString& name);

struct Problem {
    int row = 0; // 0 when it concerns the whole table
    QString message;
};

struct ClassPlan {
    QString name;
    int firstRow = 0;
    std::map<std::pair<int, int>, QString> subjects; // (day, period) → subject
    QString path;        // the file it is saved as
    bool exists = false; // a file is there already
};

struct Plan {
    std::vector<ClassPlan> classes; // whole classes, in the table's order
    std::vector<Problem> problems;  // in row order
    QStringList leftOut;            // classes with a wrong row: not made
    // The table cannot be used at all (a column missing, no rows).
    bool unusable = false;
};

// Reads the records (the first is the header) against the week's shape.
// Classes with any wrong row are left out whole.
Plan makePlan(const std::vector<CsvRecord>& records, const Shape& shape);

// Sets each class's file in `folder` and whether it exists already.
void placeFiles(Plan& plan, const QString& folder, FileFormat format);

// The timetable's title for a class: "高一（1）班 课程表".
QString classTitle(const QString& className, const QString& title);

// The table row and column (from 1) of a day's period in the timetable.
std::pair<int, int> cellOf(int day, int period, const Shape& shape);

// What the user is shown: the wrong rows, one a line (the first `limit`
// of them, then how many more).
QString problemList(const Plan& plan, int limit = 30);
// The question asked before the whole classes of a table with wrong rows
// are made.
QString problemQuestion(const Plan& plan);

} // namespace batch
