#include "automation/builtin/handle.h"

#include "automation/automationerror.h"

namespace word::builtin {

DocPtr Handle::document() const
{
    m_state->requireAlive();
    DocPtr data = m_document.lock();
    if (!data || !data->text)
        throw AutomationError(QStringLiteral("文档已经关闭，无法继续操作。"));
    openAutomationEdit(*data);
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
