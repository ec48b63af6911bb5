#include "automation/libreoffice/documentobjects.h"

#include "automation/libreoffice/charlook.h"
#include "automation/libreoffice/officerecovery.h"
#include "automation/libreoffice/tableobjects.h"
#include "automation/libreoffice/uno.h"
#include "automation/libreoffice/watchers.h"
#include "common/documentfiles.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QUrl>

#include <com/sun/star/awt/Rectangle.hpp>
#include <com/sun/star/awt/XTopWindow2.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/frame/DispatchHelper.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/io/IOException.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/util/XCloseBroadcaster.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XModifiable.hpp>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace word::libreoffice {

using css::uno::Any;

DocPtr requireOpen(EngineState& state, const DocPtr& document)
{
    state.requireAlive();
    if (!document || document->closed)
        throw AutomationError(QStringLiteral("文档已经关闭，无法继续操作。"));
    return document;
}

QString nameOf(const QString& path)
{
    return QFileInfo(path).fileName();
}

QString pathOfUrl(const rtl::OUString& url)
{
    return QUrl(fromUno(url)).toLocalFile();
}

rtl::OUString urlOf(const QString& path)
{
    return toUno(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded));
}

QString firstParagraph(const DocumentData& document)
{
    const QString all = fromUno(document.model->getText()->getString());
    return all.section(QRegularExpression(QStringLiteral("[\r\n]")), 0, 0);
}

Reference<css::frame::XFrame> frameOf(const DocumentData& document)
{
    return as<css::frame::XModel>(document.model)->getCurrentController()->getFrame();
}

namespace {

// How a document's window starts. Writer never gives a window made hidden
// a proper size when it is shown later, so while the instance is not
// visible its windows start minimised instead; without a display they are
// hidden (nothing can show them).
css::uno::Sequence<css::beans::PropertyValue> windowArguments(const EngineState& state)
{
    const QRect& area = state.windowArea;
    const Any where(css::awt::Rectangle(area.x(), area.y(), area.width(), area.height()));
    if (state.headless)
        return arguments({{"Hidden", Any(true)}});
    return arguments({{"Minimized", Any(!state.visible)}, {"PosSize", where}});
}

} // namespace

// ---------------------------------------------------------------- documents

std::shared_ptr<Document> OfficeDocuments::add()
{
    return m_state->call([&] {
        Reference<css::lang::XComponent> component;
        m_state->onMainThread([&] {
            component = m_state->desktop->loadComponentFromURL(toUno(QStringLiteral("private:factory/swriter")),
                                                               toUno(QStringLiteral("_blank")), 0,
                                                               windowArguments(*m_state));
        });
        if (!component.is())
            throw AutomationError(QStringLiteral("LibreOffice 无法新建文档。"));
        // The document's text is Simplified Chinese unless said otherwise.
        as<css::beans::XPropertySet>(as<css::lang::XMultiServiceFactory>(component)->createInstance(
                                         toUno(QStringLiteral("com.sun.star.text.Defaults"))))
            ->setPropertyValue(toUno(QStringLiteral("CharLocaleAsian")), chineseText());
        return adopt(component, QString());
    });
}

std::shared_ptr<Document> OfficeDocuments::open(const OpenArguments& a)
{
    // Someone else has the file open for editing: asked as LibreOffice
    // would, but before Writer is asked to load it, which would otherwise
    // ask in a window of its own and wait there.
    if (const auto lock = platform::lockHeldElsewhere(a.filename)) {
        if (!documentfiles::askToOpenLocked(QApplication::activeWindow(), a.filename, *lock,
                                            QStringLiteral("LibreOffice Writer")))
            throw AutomationError(QStringLiteral("没有打开文件“%1”：它正被%2使用。")
                                      .arg(QDir::toNativeSeparators(a.filename), lock->holder()));
        QFile::remove(platform::lockFileOf(a.filename)); // the user takes it over
    } else if (QFileInfo::exists(platform::lockFileOf(a.filename))) {
        // Left by a run or an office that has ended, or a lock nobody can
        // read (cut short by a crash): Writer would refuse the file for it.
        QFile::remove(platform::lockFileOf(a.filename));
    }
    const platform::FileIdentity identity = platform::fileIdentity(a.filename);
    return m_state->call([&] {
        const QFileInfo file(a.filename);
        if (!file.isFile())
            throw AutomationError(QStringLiteral("找不到文件“%1”。").arg(QDir::toNativeSeparators(a.filename)));
        auto args = windowArguments(*m_state);
        const sal_Int32 n = args.getLength();
        args.realloc(n + 2);
        args.getArray()[n].Name = toUno(QStringLiteral("ReadOnly"));
        args.getArray()[n].Value <<= a.readOnly;
        args.getArray()[n + 1].Name = toUno(QStringLiteral("MacroExecutionMode"));
        args.getArray()[n + 1].Value <<= css::document::MacroExecMode::NEVER_EXECUTE;
        if (!a.passwordDocument.isEmpty()) {
            args.realloc(args.getLength() + 1);
            args.getArray()[args.getLength() - 1].Name = toUno(QStringLiteral("Password"));
            args.getArray()[args.getLength() - 1].Value <<= toUno(a.passwordDocument);
        }
        Reference<css::lang::XComponent> component;
        try {
            m_state->onMainThread([&] {
                component = m_state->desktop->loadComponentFromURL(urlOf(a.filename), toUno(QStringLiteral("_blank")),
                                                                   0, args);
            });
        } catch (const css::lang::IllegalArgumentException&) {
        } catch (const css::io::IOException&) {
        }
        if (!component.is())
            throw AutomationError(QStringLiteral("LibreOffice 无法打开文件“%1”。").arg(QDir::toNativeSeparators(a.filename)));
        if (!Reference<css::text::XTextDocument>(component, css::uno::UNO_QUERY).is()) {
            as<css::util::XCloseable>(component)->close(true);
            throw AutomationError(
                QStringLiteral("文件“%1”不是文字处理文档。").arg(QDir::toNativeSeparators(a.filename)));
        }
        auto document = adopt(component, file.absoluteFilePath());
        m_state->active->identity = identity;
        return document;
    });
}

std::shared_ptr<Document> OfficeDocuments::adopt(const Reference<css::lang::XComponent>& component, const QString& path)
{
    auto data = std::make_shared<DocumentData>();
    data->model = as<css::text::XTextDocument>(component);
    data->path = path;
    data->name = path.isEmpty() ? QStringLiteral("文档%1").arg(++m_state->untitledCounter) : nameOf(path);
    as<css::util::XCloseBroadcaster>(component)->addCloseListener(new CloseWatcher(m_state));
    if (m_state->recovery)
        m_state->recovery->watch(data);
    m_state->documents.push_back(data);
    m_state->active = data;
    if (m_state->visible)
        showDocumentWindow(*m_state, *data, true);
    return std::make_shared<OfficeDocument>(m_state, data);
}

std::shared_ptr<Document> OfficeDocuments::item(const QString& nameOrPath)
{
    m_state->requireAlive();
    for (const DocPtr& document : m_state->documents) {
        if (document->name.compare(nameOrPath, Qt::CaseInsensitive) == 0
            || (!document->path.isEmpty() && documentfiles::sameFile(document->path, nameOrPath)))
            return std::make_shared<OfficeDocument>(m_state, document);
    }
    throw AutomationError(QStringLiteral("找不到文档“%1”。").arg(nameOrPath));
}

int OfficeDocuments::count()
{
    m_state->requireAlive();
    return int(m_state->documents.size());
}

// ---------------------------------------------------------------- document

QString OfficeDocument::name()
{
    return requireOpen(*m_state, m_document)->name;
}

void OfficeDocument::activate()
{
    m_state->call([&] {
        const DocPtr document = requireOpen(*m_state, m_document);
        m_state->active = document;
        if (m_state->visible)
            showDocumentWindow(*m_state, *document, true);
    });
}

std::shared_ptr<PageSetup> OfficeDocument::pageSetup()
{
    return std::make_shared<OfficePageSetup>(m_state, requireOpen(*m_state, m_document));
}

std::shared_ptr<Tables> OfficeDocument::tables()
{
    return std::make_shared<OfficeTables>(m_state, requireOpen(*m_state, m_document));
}

void showDocumentWindow(EngineState& state, const DocumentData& document, bool visible)
{
    // Without a display the windows stay hidden whatever is asked.
    if (state.headless)
        return;
    state.onMainThread([&] { showWindowNow(document, visible); });
}

void showWindowNow(const DocumentData& document, bool visible)
{
    const auto frame = frameOf(document);
    const auto window = frame->getContainerWindow();
    // A document made while the instance was hidden has a window of no
    // real size: it opens over most of the screen, as a new Writer does.
    if (const Reference<css::awt::XTopWindow2> top{window, css::uno::UNO_QUERY}; top.is())
        top->setIsMinimized(!visible);
    window->setVisible(visible);
    if (visible) {
        frame->activate();
        if (const Reference<css::awt::XTopWindow> top{window, css::uno::UNO_QUERY}; top.is())
            top->toFront();
    }
}

// ---------------------------------------------------------------- page setup

void OfficePageSetup::set(const char* property, float points)
{
    if (!(points >= 0 && points <= 1584))
        throw AutomationError(QStringLiteral("页面设置的数值 %1 磅超出了允许的范围。").arg(double(points)));
    m_state->call([&] {
        const DocPtr document = requireOpen(*m_state, m_document);
        m_state->pageStyle(*document)->setPropertyValue(rtl::OUString::createFromAscii(property),
                                                        Any(pointsToHundredthMm(points)));
    });
}

// Writer puts a header or footer inside the page margin, so the distance
// from the page edge only means something once the page has one; the
// timetable has none, and the value is checked and otherwise left alone.
void OfficePageSetup::setHeaderDistance(float points)
{
    if (!(points >= 0 && points <= 1584))
        throw AutomationError(QStringLiteral("页面设置的数值 %1 磅超出了允许的范围。").arg(double(points)));
    requireOpen(*m_state, m_document);
}

void OfficePageSetup::setFooterDistance(float points)
{
    setHeaderDistance(points);
}

void OfficePageSetup::setVerticalAlignment(int alignment)
{
    requireOpen(*m_state, m_document);
    if (alignment == PageAlignTop)
        return; // Writer's pages always start at the top
    throw AutomationError(QStringLiteral("LibreOffice Writer 不能把页面内容垂直对齐到中部或底部。"));
}

} // namespace word::libreoffice
