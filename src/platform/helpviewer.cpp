#include "platform/helpviewer.h"

#include "platform/programfolder.h"

#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

namespace platform {

namespace {

class HelpBrowser : public QTextBrowser {
public:
    HelpBrowser()
    {
        setObjectName(QStringLiteral("helpWindow"));
        setWindowTitle(QStringLiteral("Lumetra 帮助"));
        setAccessibleName(QStringLiteral("Lumetra 帮助"));
        setAttribute(Qt::WA_DeleteOnClose);
        setOpenExternalLinks(true);
        resize(640, 520);
    }

protected:
    void doSetSource(const QUrl& url, QTextDocument::ResourceType type) override
    {
        const QString file = url.toLocalFile();
        if (url.isLocalFile() && !QFileInfo(file).isFile()) {
            // Our own not-found page instead of an empty window.
            setHtml(QStringLiteral("<h2>找不到帮助页</h2><p>帮助文件“%1”不存在。</p>"
                                   "<p>请确认程序文件夹中的 help 文件夹完整。</p>")
                        .arg(file.toHtmlEscaped()));
            return;
        }
        QTextBrowser::doSetSource(url, type);
    }
};

QPointer<HelpBrowser> g_window;

class HelpKeyFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1
            && watched->isWidgetType()) {
            showHelp();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

QString helpFile()
{
    return inDataFolder(QStringLiteral("help/index.html"));
}

void showHelp(const QString& page)
{
    if (!g_window)
        g_window = new HelpBrowser;
    const QString file =
        page.isEmpty() ? helpFile() : inDataFolder(QStringLiteral("help/") + page);
    g_window->setSource(QUrl::fromLocalFile(file), QTextDocument::HtmlResource);
    g_window->show();
    g_window->raise();
    g_window->activateWindow();
}

QWidget* helpWindow()
{
    return g_window;
}

void installHelpKey(QApplication& application)
{
    application.installEventFilter(new HelpKeyFilter(&application));
}

} // namespace platform
