#include "entry/entrycursor.h"

#include "create/grid.h"

#include <algorithm>

namespace entry {

EntryCursor::EntryCursor(int hang, int lie, int morningPeriods)
    : m_hang(hang), m_lie(lie), m_morning(morningPeriods)
{
    applyRowOffset();
    // The label keeps the text it was made with until the cursor moves.
    m_label = QStringLiteral("星期一第一节上");
}

std::optional<QString> EntryCursor::tableProblem(int hang, int lie)
{
    // The header row, the lunch row, and at least one period row; the
    // period column and at least one day column.
    if (hang < 3)
        return QStringLiteral("课程表的表格只有 %1 行，容不下任何一节课，无法输入课程。").arg(hang);
    if (lie < 2)
        return QStringLiteral("课程表的表格只有 %1 列，没有星期的列，无法输入课程。").arg(lie);
    return std::nullopt;
}

void EntryCursor::applyRowOffset()
{
    m_m = m_jie < m_morning ? 2 : 3;
}

QString EntryCursor::cursorLabel() const
{
    return grid::dayName(m_day) + grid::periodName(m_jie) + QStringLiteral("上");
}

std::optional<CellAddress> EntryCursor::cellToWrite(bool update) const
{
    if (update && m_day + m_n <= m_lie && !tableProblem(m_hang, m_lie))
        return cell();
    return std::nullopt;
}

bool EntryCursor::nextPeriod()
{
    if (m_jie < m_hang - 3) {
        ++m_jie;
        applyRowOffset();
        m_label = cursorLabel();
        return true;
    }
    if (m_day + m_n == m_lie) {
        // The last period of the last day: entry is complete.
        m_label = QStringLiteral("输入已完成");
        m_finished = true;
        m_nextEnabled = false;
        return false;
    }
    nextDay();
    m_jie = 0;
    applyRowOffset();
    m_label = cursorLabel();
    return true;
}

bool EntryCursor::previousPeriod()
{
    if (m_jie > 0) {
        if (m_nextEnabled) {
            --m_jie;
            applyRowOffset();
        } else {
            // Leaving the completed state shows the same cell again.
            m_nextEnabled = true;
        }
    } else {
        previousDay();
        m_jie = std::max(0, m_hang - 3); // never above the first period row
        applyRowOffset();
    }
    m_label = cursorLabel();
    return true;
}

void EntryCursor::previousDay()
{
    if (m_day > 0)
        --m_day;
    m_label = cursorLabel();
}

void EntryCursor::nextDay()
{
    if (m_day + m_n < m_lie) {
        ++m_day;
        m_label = cursorLabel();
    }
}

} // namespace entry
