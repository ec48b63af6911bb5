#include "automation/builtin/handle.h"

namespace word::builtin {

void requireAlive(const wordprocessor::Instance& instance)
{
    if (!instance.alive)
        throw AutomationError::notRunning();
}

DocPtr requireActive(const wordprocessor::Instance& instance)
{
    requireAlive(instance);
    if (!instance.active)
        throw AutomationError(QStringLiteral("当前没有打开的文档。"));
    wordprocessor::openProgramEdit(*instance.active);
    return instance.active;
}

DocPtr Handle::document() const
{
    requireAlive(*m_state);
    DocPtr data = m_document.lock();
    if (!data || !data->text)
        throw AutomationError(QStringLiteral("文档已经关闭，无法继续操作。"));
    wordprocessor::openProgramEdit(*data);
    return data;
}

QTextTable* TableHandle::table() const
{
    document();
    if (!m_table)
        throw AutomationError(QStringLiteral("表格已经不在文档中，无法继续操作。"));
    return m_table.data();
}

} // namespace word::builtin
