// The help pages in dist/help: every page reachable from the index, every
// link leading somewhere, each page titled and written in Chinese, the
// index's menu table matching the real menus, and the help window showing
// the pages.

#include "platform/helpviewer.h"
#include "platform/programfolder.h"
#include "shell/mainwindow.h"
#include "support/windowtest.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextTable>

namespace {

const QStringList kCommandPages{"new.html",  "settime.html", "subjects.html", "entry.html", "open.html",
                                "print.html", "save.html",   "close.html",    "picture.html", "batch.html"};

QString sourceHelpFolder()
{
    const QString source = qEnvironmentVariable("LUMETRA_SOURCE_DIR");
    EXPECT_FALSE(source.isEmpty()) << "LUMETRA_SOURCE_DIR is not set";
    return QDir(source).filePath("dist/help");
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

QString readPage(const QString& path)
{
    const QByteArray bytes = readBytes(path);
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes);
    EXPECT_FALSE(decoder.hasError()) << path.toStdString() << " is not UTF-8";
    return text;
}

QStringList links(const QString& html)
{
    static const QRegularExpression href(QStringLiteral("href\\s*=\\s*\"([^\"]*)\""),
                                         QRegularExpression::CaseInsensitiveOption);
    QStringList found;
    for (const auto& match : href.globalMatch(html))
        found.append(match.captured(1));
    return found;
}

bool isRelative(const QString& link)
{
    static const QRegularExpression scheme(QStringLiteral("^[a-zA-Z][a-zA-Z0-9+.-]*:"));
    return !scheme.match(link).hasMatch();
}

int chineseCharacters(const QString& text)
{
    int count = 0;
    for (QChar c : text)
        if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF)
            ++count;
    return count;
}

QString titleOf(const QString& html)
{
    static const QRegularExpression title(QStringLiteral("<title>([^<]*)</title>"),
                                          QRegularExpression::CaseInsensitiveOption);
    return title.match(html).captured(1).trimmed();
}

QString bodyText(const QString& html)
{
    QTextDocument document;
    document.setHtml(html);
    return document.toPlainText();
}

QStringList pagesIn(const QString& folder)
{
    return QDir(folder).entryList({"*.html"}, QDir::Files, QDir::Name);
}

} // namespace

TEST(HelpPages, IndexListsEveryPageAndEveryPageExists)
{
    const QString folder = sourceHelpFolder();
    const QString index = readPage(QDir(folder).filePath("index.html"));
    ASSERT_FALSE(index.isEmpty());

    QSet<QString> linked;
    for (const QString& link : links(index))
        if (isRelative(link))
            linked.insert(link.section(u'#', 0, 0));
    linked.remove(QString());
    for (const QString& page : linked)
        EXPECT_TRUE(QFile::exists(QDir(folder).filePath(page))) << "index links a missing page " << page.toStdString();
    for (const QString& page : kCommandPages)
        EXPECT_TRUE(linked.contains(page)) << "index does not link " << page.toStdString();
    // No page in the folder that the table of contents forgets.
    for (const QString& page : pagesIn(folder))
        if (page != "index.html")
            EXPECT_TRUE(linked.contains(page)) << page.toStdString() << " cannot be reached from the index";
}

TEST(HelpPages, EveryRelativeLinkLeadsToAPage)
{
    const QString folder = sourceHelpFolder();
    const QStringList pages = pagesIn(folder);
    ASSERT_GE(pages.size(), kCommandPages.size() + 1);
    int checked = 0;
    for (const QString& page : pages) {
        for (const QString& link : links(readPage(QDir(folder).filePath(page)))) {
            // Other sites and places on the same page are not pages here.
            if (!isRelative(link) || link.startsWith(u'#'))
                continue;
            const QString file = link.section(u'#', 0, 0);
            EXPECT_FALSE(file.isEmpty()) << "empty link in " << page.toStdString();
            EXPECT_TRUE(QFile::exists(QDir(folder).filePath(file)))
                << page.toStdString() << " links " << link.toStdString();
            ++checked;
        }
    }
    EXPECT_GT(checked, pages.size()) << "the pages hardly link each other";
}

TEST(HelpPages, EachPageIsTitledUtf8ChineseText)
{
    const QString folder = sourceHelpFolder();
    for (const QString& page : pagesIn(folder)) {
        SCOPED_TRACE(page.toStdString());
        const QString html = readPage(QDir(folder).filePath(page));
        EXPECT_TRUE(html.contains(QStringLiteral("charset=utf-8"), Qt::CaseInsensitive));
        const QString title = titleOf(html);
        EXPECT_FALSE(title.isEmpty());
        EXPECT_GT(chineseCharacters(title), 1);
        EXPECT_GT(chineseCharacters(bodyText(html)), 100);
        // Every page but the index leads back to it.
        if (page != "index.html")
            EXPECT_TRUE(links(html).contains("index.html"));
    }
}

TEST(HelpPages, IndexMenuTableMatchesTheMenus)
{
    QTextDocument index;
    index.setHtml(readPage(QDir(sourceHelpFolder()).filePath("index.html")));
    // Every table row of the index, cell texts in order.
    QList<QStringList> rows;
    for (QTextFrame* frame : index.rootFrame()->childFrames()) {
        auto* table = qobject_cast<QTextTable*>(frame);
        if (!table)
            continue;
        for (int r = 0; r < table->rows(); ++r) {
            QStringList cells;
            for (int c = 0; c < table->columns(); ++c) {
                const QTextTableCell cell = table->cellAt(r, c);
                QTextCursor cursor = cell.firstCursorPosition();
                cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
                cells.append(cursor.selectedText().trimmed());
            }
            rows.append(cells);
        }
    }

    shell::MainWindow main;
    int commands = 0;
    for (QAction* action : main.findChildren<QAction*>()) {
        if (action->shortcut().isEmpty())
            continue;
        static const QRegularExpression accessKey(QStringLiteral("\\(&.\\)(?=…?$)"));
        const QString caption = QString(action->text()).remove(accessKey);
        const QString shortcut = action->shortcut().toString(QKeySequence::PortableText);
        const bool listed = std::any_of(rows.begin(), rows.end(), [&](const QStringList& row) {
            return row.contains(caption) && row.contains(shortcut);
        });
        EXPECT_TRUE(listed) << "the index's menu table lacks " << caption.toStdString() << " "
                            << shortcut.toStdString();
        ++commands;
    }
    EXPECT_EQ(commands, 12);
    EXPECT_TRUE(index.toPlainText().contains("F1"));
}

TEST(HelpPages, AreCopiedBesideTheProgram)
{
    const QString source = sourceHelpFolder();
    const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath("help");
    for (const QString& page : pagesIn(source))
        EXPECT_EQ(readBytes(QDir(beside).filePath(page)), readBytes(QDir(source).filePath(page)))
            << page.toStdString() << " beside the program differs (run cmake again)";
}

TEST(HelpWindow, ShowsTheIndexAndFollowsLinks)
{
    const QString source = qEnvironmentVariable("LUMETRA_SOURCE_DIR");
    ASSERT_FALSE(source.isEmpty());
    platform::setProgramFolder(QDir(source).filePath("dist"));

    platform::showHelp();
    auto* browser = qobject_cast<QTextBrowser*>(platform::helpWindow());
    ASSERT_NE(browser, nullptr);
    const QString folder = sourceHelpFolder();
    EXPECT_EQ(browser->documentTitle(), titleOf(readPage(QDir(folder).filePath("index.html"))));
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("菜单和快捷键")));

    // A relative link as the window follows it, and a page asked for by name.
    browser->setSource(QUrl("settime.html"));
    EXPECT_EQ(browser->documentTitle(), titleOf(readPage(QDir(folder).filePath("settime.html"))));
    platform::showHelp("entry.html");
    EXPECT_EQ(platform::helpWindow(), browser);
    EXPECT_EQ(browser->documentTitle(), QStringLiteral("输入课程"));
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("按下 下一节 按钮时更新课程表")));

    browser->close();
    testsupport::settle();
    platform::setProgramFolder(QString());
}
