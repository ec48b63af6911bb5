// The document window's 表格 commands: each on the cells at the cursor,
// said on the status bar when it does not apply, and the lengths the user
// is asked for in centimetres.

#include "wordprocessor/documentwindow.h"

#include "common/dialogue.h"
#include "common/numberreading.h"
#include "wordprocessor/pageeditor.h"
#include "wordprocessor/tableediting.h"

#include <QLocale>
#include <QStatusBar>
#include <QTextTable>

namespace wordprocessor {

void DocumentWindow::tableCommand(const std::function<bool(QTextCursor&)>& command)
{
    QTextCursor cursor = m_editor->textCursor();
    if (!cursor.currentTable()) {
        statusBar()->showMessage(QStringLiteral("插入点不在表格中。"), 5000);
        return;
    }
    cursor.beginEditBlock();
    const bool done = command(cursor);
    cursor.endEditBlock();
    if (!done)
        statusBar()->showMessage(QStringLiteral("所选的单元格不能这样做。"), 5000);
    showFormat();
}

namespace {

// A length typed in centimetres, or nothing when it is not one in [least, most].
std::optional<double> centimetres(const QString& text, double least, double most)
{
    bool ok = false;
    const QString plain = numbers::halfWidth(text).trimmed().remove(QStringLiteral("厘米")).remove(QStringLiteral("cm")).trimmed();
    const double value = QLocale::c().toDouble(plain, &ok);
    if (!ok || value < least || value > most)
        return std::nullopt;
    return value;
}

QString shownCentimetres(double value)
{
    return QLocale::c().toString(value, 'f', 2);
}

} // namespace

std::optional<double> DocumentWindow::askLength(const QString& prompt, const QString& what, double current,
                                               double least)
{
    const auto typed = dialogue::current().input(this, prompt, what, shownCentimetres(current));
    if (!typed)
        return std::nullopt;
    const auto length = centimetres(*typed, least, 55);
    if (!length)
        dialogue::warn(this, QStringLiteral("“%1”不是有效的%2，请输入 %3 到 55 之间的厘米数。")
                                 .arg(*typed, what, QLocale::c().toString(least)),
                       what);
    return length;
}

void DocumentWindow::askColumnWidth()
{
    const QTextCursor cursor = m_editor->textCursor();
    if (!cursor.currentTable())
        return;
    if (const auto width = askLength(QStringLiteral("所选列的宽度（厘米）："), QStringLiteral("列宽"),
                                     tableediting::columnWidth(cursor), 0.1))
        tableCommand([&](auto& c) { return tableediting::setColumnWidth(c, *width); });
}

void DocumentWindow::askRowHeight()
{
    const QTextCursor cursor = m_editor->textCursor();
    if (!cursor.currentTable())
        return;
    if (const auto height = askLength(QStringLiteral("所选行的最小高度（厘米，0 表示随内容而定）："), QStringLiteral("行高"),
                                      tableediting::rowHeight(cursor), 0))
        tableCommand([&](auto& c) { return tableediting::setRowHeight(c, *height); });
}

} // namespace wordprocessor
