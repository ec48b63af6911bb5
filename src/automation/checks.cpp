#include "automation/checks.h"

#include "automation/automationerror.h"
#include "common/numberreading.h"

namespace word {

void checkTableSize(int rows, int columns)
{
    if (rows < 1 || rows > 32767 || columns < 1 || columns > 63)
        throw AutomationError(
            QStringLiteral("无法插入 %1 行 %2 列的表格：行数须在 1 到 32767 之间，列数须在 1 到 63 之间。")
                .arg(rows)
                .arg(columns));
}

int printCopies(const QString& typed)
{
    const double value = numbers::leading(typed);
    if (value != numbers::roundHalfEven(value) || value < 1 || value > 999)
        throw AutomationError(QStringLiteral("打印份数“%1”无效：份数必须是 1 到 999 之间的整数。").arg(typed));
    return int(value);
}

} // namespace word
