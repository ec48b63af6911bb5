#include "about/aboutinfo.h"

#include "common/dialogue.h"

#include <QProcess>

namespace about {

QString caption()
{
    return QStringLiteral("关于 ") + titleText();
}

QString titleText()
{
    return dialogue::applicationTitle();
}

QString versionText(int major, int minor, int revision)
{
    return QStringLiteral("版本 %1.%2.%3").arg(major).arg(minor).arg(revision);
}

QStringList descriptionLines()
{
    return {
        QStringLiteral("工程名  : 《课程表》(%1)").arg(titleText()),
        QStringLiteral("最后更新: 2002-2-16"),
        QStringLiteral("系统要求: Windows98"),
        QStringLiteral("          Office2000"),
        QStringLiteral("作者：%1 项目组").arg(titleText()),
        QStringLiteral("问题反馈：请在本项目的问题跟踪页面提交"),
    };
}

QString descriptionText()
{
    return descriptionLines().join(u'\n');
}

QString descriptionHtml(const QStringList& lines)
{
    // Items and their continuation lines go into borderless tables, so
    // that values start in one column; any other line is a paragraph of
    // its own after them (in the table it would widen the heading column).
    QString html;
    bool inTable = false;
    for (const QString& line : lines) {
        const qsizetype colon = line.indexOf(u':');
        const bool continuation = line.startsWith(u' ') && inTable;
        const bool item = !line.startsWith(u' ') && colon > 0;
        if ((item || continuation) && !inTable) {
            html += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"0\">");
            inTable = true;
        } else if (!item && !continuation && inTable) {
            html += QStringLiteral("</table>");
            inTable = false;
        }
        if (continuation) {
            html += QStringLiteral("<tr><td></td><td>%1</td></tr>").arg(line.trimmed().toHtmlEscaped());
        } else if (item) {
            // The heading keeps its colon; its padding blanks are dropped,
            // the column lines the values up instead.
            const QString heading = line.left(colon).trimmed() + u':';
            const QString value = line.mid(colon + 1).trimmed();
            html += QStringLiteral("<tr><td>%1&nbsp;</td><td>%2</td></tr>")
                        .arg(heading.toHtmlEscaped(), value.toHtmlEscaped());
        } else {
            html += QStringLiteral("<div>%1</div>").arg(line.trimmed().toHtmlEscaped());
        }
    }
    if (inTable)
        html += QStringLiteral("</table>");
    return html;
}

QString disclaimerText()
{
    return QStringLiteral("这是本程序第一次公开发布的版本，难免有错误和不足之处。\n"
                          "如果您在使用中发现了错误，或者觉得有需要改进的地方，\n"
                          "请通过本项目的问题跟踪页面告诉我们。谢谢！");
}

QString sysInfoUnavailableMessage()
{
    return QStringLiteral("此时系统信息不可用");
}

bool startTool(const QString& tool)
{
    if (tool.isEmpty())
        return false;
    return QProcess::startDetached(tool, QStringList());
}

} // namespace about
