// Saving a document of the LibreOffice engine: to its own file (written
// beside it and put in its place), under a name Writer's own Save As dialog
// or ours asks for, or under a name the program gives; each format with
// Writer's filter for it.

#include "automation/libreoffice/documentobjects.h"

#include "automation/libreoffice/uno.h"
#include "common/documentfiles.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QUrl>

#include <com/sun/star/frame/DispatchHelper.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/io/IOException.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/util/XModifiable.hpp>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace word::libreoffice {

using css::uno::Any;

void OfficeDocument::save()
{
    saveDocument(*m_state, *requireOpen(*m_state, m_document));
}

namespace {

// Writes a document to its own file, in the format it was read in: beside
// the file first, then put in its place in one step, so that a failed
// save leaves the old file whole. (Writer's own store also refuses to
// write over a file changed since it read it, which the user may have
// agreed to.)
void storeInPlace(EngineState& state, DocumentData& document)
{
    const QString shown = QDir::toNativeSeparators(document.path);
    QTemporaryFile aside(QFileInfo(document.path).absolutePath() + QStringLiteral("/.~lumetra-XXXXXX.tmp"));
    if (!aside.open())
        throw AutomationError(QStringLiteral("无法保存文件“%1”：%2").arg(shown, aside.errorString()));
    aside.close();
    state.call([&] {
        rtl::OUString filter;
        for (const auto& argument : as<css::frame::XModel>(document.model)->getArgs())
            if (argument.Name == "FilterName")
                argument.Value >>= filter;
        try {
            as<css::frame::XStorable>(document.model)
                ->storeToURL(urlOf(aside.fileName()), arguments({{"FilterName", Any(filter)}}));
        } catch (const css::io::IOException&) {
            throw AutomationError(QStringLiteral("无法保存文件“%1”。原来的文件没有改动。").arg(shown));
        }
    });
    // The file keeps who may read it (a temporary file is the owner's only).
    const QFileDevice::Permissions permissions = QFile::permissions(document.path);
    QFile::setPermissions(aside.fileName(), permissions ? permissions
                                                        : QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                              | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    if (::rename(QFile::encodeName(aside.fileName()).constData(), QFile::encodeName(document.path).constData()) != 0)
        throw AutomationError(QStringLiteral("无法保存文件“%1”：%2。原来的文件没有改动。")
                                  .arg(shown, QString::fromLocal8Bit(std::strerror(errno))));
    aside.setAutoRemove(false); // (it is the file now)
    state.call([&] { as<css::util::XModifiable>(document.model)->setModified(false); });
}

} // namespace

bool saveDocument(EngineState& state, DocumentData& document)
{
    state.settle(document);
    // Every touch of the document goes through a call: the office may have
    // gone since the last one.
    Reference<css::frame::XStorable> storable;
    const bool hasFile = state.call([&] {
        storable = as<css::frame::XStorable>(document.model);
        return bool(storable->hasLocation());
    });
    if (hasFile) {
        // Changed on disk by another program since we read or wrote it.
        const platform::FileIdentity now = platform::fileIdentity(document.path);
        const bool changed = now.exists && document.identity.exists && !(now == document.identity);
        if (changed
            && !documentfiles::askToSaveOverChanged(QApplication::activeWindow(), document.path,
                                                    QStringLiteral("LibreOffice Writer")))
            return false;
        storeInPlace(state, document);
        document.identity = platform::fileIdentity(document.path);
        return true;
    }
    if (!state.headless) {
        // Writer's own dialog. The document is told it is a Word 97-2003
        // one first, so that the dialog offers that format, under the title.
        const QString title = state.call([&] { return firstParagraph(document); });
        const QString proposed = documentfiles::proposedFileName(title, document.name);
        state.callWaitingForUser([&] {
            as<css::frame::XModel>(document.model)
                ->attachResource(rtl::OUString(),
                                 arguments({{"FilterName", Any(toUno(QStringLiteral("MS Word 97")))},
                                            {"SuggestedSaveAsName", Any(toUno(proposed))}}));
            const auto helper = css::frame::DispatchHelper::create(state.office->context());
            helper->executeDispatch(as<css::frame::XDispatchProvider>(frameOf(document)),
                                    toUno(QStringLiteral(".uno:SaveAs")), rtl::OUString(), 0,
                                    arguments({{"FilterName", Any(toUno(QStringLiteral("MS Word 97")))}}));
        });
    } else {
        // No Writer window to ask in: our own dialog.
        const QString title = state.call([&] { return firstParagraph(document); });
        const QString target = documentfiles::askSaveFileName(nullptr, QString(), documentfiles::proposedFileName(title, document.name));
        if (target.isEmpty())
            return false;
        if (const auto lock = platform::lockHeldElsewhere(target);
            lock && !documentfiles::askToSaveOverLocked(QApplication::activeWindow(), target, *lock,
                                                        QStringLiteral("LibreOffice Writer")))
            return false;
        const rtl::OUString filter =
            filterOf(documentfiles::formatOfName(target).value_or(docfile::Format::Word97));
        state.call([&] {
            try {
                storable->storeAsURL(urlOf(target), arguments({{"FilterName", Any(filter)}}));
            } catch (const css::io::IOException&) {
                throw AutomationError(QStringLiteral("无法保存文件“%1”。").arg(QDir::toNativeSeparators(target)));
            }
        });
    }
    return state.call([&] {
        if (!storable->hasLocation())
            return false; // the user cancelled Writer's dialog
        document.path = pathOfUrl(storable->getLocation());
        document.name = nameOf(document.path);
        document.identity = platform::fileIdentity(document.path);
        return true;
    });
}

void OfficeDocument::saveAs(const QString& path)
{
    const DocPtr document = requireOpen(*m_state, m_document);
    const rtl::OUString filter = filterOf(documentfiles::formatOfName(path).value_or(docfile::Format::Word97));
    m_state->settle(*document);
    m_state->call([&] {
        try {
            as<css::frame::XStorable>(document->model)->storeAsURL(urlOf(path), arguments({{"FilterName", Any(filter)}}));
        } catch (const css::io::IOException&) {
            throw AutomationError(QStringLiteral("无法保存文件“%1”。").arg(QDir::toNativeSeparators(path)));
        }
    });
    document->path = QFileInfo(path).absoluteFilePath();
    document->name = QFileInfo(path).fileName();
    document->identity = platform::fileIdentity(document->path);
}

rtl::OUString filterOf(docfile::Format format)
{
    switch (format) {
    case docfile::Format::OfficeOpenXml: return rtl::OUString::createFromAscii("MS Word 2007 XML");
    case docfile::Format::OpenDocument: return rtl::OUString::createFromAscii("writer8");
    case docfile::Format::Word97: break;
    }
    return rtl::OUString::createFromAscii("MS Word 97");
}

} // namespace word::libreoffice
