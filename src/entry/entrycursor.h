#pragma once
// The course entry cursor: which cell of the timetable (a day and a period)
// the next subject goes to, how it moves, and what the dialog shows for it.
// Plain logic; the entry dialog wires its buttons to it.

#include <QString>
#include <optional>

namespace entry {

struct CellAddress {
    int row = 0;    // table row, from 1
    int column = 0; // table column, from 1
    bool operator==(const CellAddress&) const = default;
};

class EntryCursor {
public:
    // hang, lie: the table's rows and columns; morningPeriods: the number of
    // morning periods (one less than the row of the last morning period).
    EntryCursor(int hang, int lie, int morningPeriods);

    // Why a table of `hang` rows and `lie` columns cannot take course entry
    // (no period row, or no day column), or nothing when it can.
    static std::optional<QString> tableProblem(int hang, int lie);

    int day() const { return m_day; }
    int jie() const { return m_jie; }
    int m() const { return m_m; }
    int n() const { return m_n; }
    CellAddress cell() const { return {m_jie + m_m, m_day + m_n}; }

    // Next period may be pressed (false in the completed state).
    bool nextEnabled() const { return m_nextEnabled; }
    // Entry has reached the last period of the last day at least once:
    // the close button reads "完成(&F)" from then on.
    bool finished() const { return m_finished; }
    // The text of the cursor label.
    QString label() const { return m_label; }

    // The cell Next period writes, when the update box is ticked and the
    // cursor lies inside the table's columns.
    std::optional<CellAddress> cellToWrite(bool update) const;

    // The moves. Each returns whether the subject list gets the focus back.
    bool nextPeriod();
    bool previousPeriod();
    void previousDay();
    void nextDay();

    // The day and period in words: 星期一第一节上.
    QString cursorLabel() const;

private:
    void applyRowOffset();

    int m_hang, m_lie, m_morning;
    int m_day = 0;
    int m_jie = 0;
    int m_m = 2;
    int m_n = 2;
    bool m_nextEnabled = true;
    bool m_finished = false;
    QString m_label;
};

} // namespace entry
