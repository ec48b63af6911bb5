#pragma once
// The timetable grid: which row and column of the document's table holds
// what. Rows and columns are counted from 1 as the word processor counts
// them; day and period numbers from 0 (Monday, the first morning period).
//
//   row 1              header: empty, then the day names
//   rows 2 .. M+1      morning periods
//   row M+2            lunch row, merged into one cell "午　休"
//   rows M+3 .. M+A+2  afternoon periods

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace grid {

const QStringList& dayNames();     // 星期一 … 星期日
const QStringList& periodNames();  // 第一节 … 第十节
const QStringList& defaultTimeLabels(); // (07:50-08:35) … (16:50-17:50)
QString lunchText();               // 午　休

// The name of day `day` and period `period` (from 0). Beyond the seven
// days and ten periods of the lists, tables opened from files may still
// have more: they are named by their number (第八天, 第十一节).
QString dayName(int day);
QString periodName(int period);

constexpr int kMaxDays = 7;
constexpr int kMaxPeriods = 10;

struct Dimensions {
    int morning = 0; // row of the last morning period
    int hang = 0;    // rows
    int lie = 0;     // columns
};

Dimensions fromCounts(int morningPeriods, int afternoonPeriods, int days);

// The period column's text: the period name, followed by its time label
// when time labels are on.
QString periodLabel(int period, bool withTime, const QStringList& timeLabels);

// Why counts cannot make a timetable, or nothing when they can. `labelCount`
// is how many time labels there are (only counts when time labels are on).
std::optional<QString> checkLimits(int morningPeriods, int afternoonPeriods, int days, bool withTime,
                                   int labelCount);

// The row of the last morning period, worked out from a table: start at 1
// and go down while below `rows` and the next row does not have exactly one
// cell. `cellsInRow(r)` is only asked for rows 2 .. rows.
int morningFromTable(int rows, const std::function<int(int row)>& cellsInRow);

} // namespace grid
