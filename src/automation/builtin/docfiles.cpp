#include "automation/builtin/docfiles.h"

#include "automation/automationerror.h"
#include "automation/builtin/docconvert.h"
#include "automation/builtin/documentwindow.h"
#include "automation/savedialog.h"
#include "automation/word.h"
#include "common/dialogue.h"
#include "docfile/document.h"
#include "docfile/opendocument/opendocument.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextBlock>

namespace word::builtin {

QString proposedFileName(const DocumentData& document)
{
    return word::proposedFileName(document.text ? document.text->firstBlock().text() : QString(), document.name);
}

std::shared_ptr<DocumentData> openDocument(const QString& path)
{
    docfile::ReadReport report;
    docfile::Document model;
    try {
        model = docfile::readFile(QFile::encodeName(path).toStdString(), &report);
    } catch (const docfile::Error& error) {
        throw AutomationError(QStringLiteral("无法打开文件“%1”：%2").arg(QDir::toNativeSeparators(path),
                                                                          QString::fromStdString(error.what())));
    } catch (const std::bad_alloc&) {
        throw AutomationError(QStringLiteral("无法打开文件“%1”：文件太大或已损坏。").arg(QDir::toNativeSeparators(path)));
    }
    auto data = std::make_shared<DocumentData>();
    data->text = std::make_unique<QTextDocument>();
    data->text->setDefaultFont(defaultDocumentFont());
    data->typingFormat.setFont(defaultDocumentFont());
    fromModel(model, *data);
    data->path = QFileInfo(path).absoluteFilePath();
    data->name = QFileInfo(path).fileName();
    QStringList dropped;
    for (const std::string& what : report.dropped)
        dropped << QString::fromStdString(what);
    data->lossyNote = dropped.join(QStringLiteral("、"));
    data->cursor = QTextCursor(data->text.get());
    EngineState::applyPage(*data);
    data->text->setModified(false);
    return data;
}

bool saveDocument(DocumentData& document, QWidget* parent, bool saveAs)
{
    QString target = saveAs ? QString() : document.path;
    if (!target.isEmpty() && !document.lossyNote.isEmpty()) {
        dialogue::inform(parent,
                         QStringLiteral("“%1”含有本程序不能保存的内容（%2）。为了不丢失这些内容，"
                                        "不能保存到原来的文件，请另存为一个新文件。")
                             .arg(document.name, document.lossyNote));
        target.clear();
    }
    if (target.isEmpty()) {
        target = askSaveFileName(parent, document.path, proposedFileName(document));
        if (target.isEmpty())
            return false;
        if (!document.lossyNote.isEmpty() && !document.path.isEmpty() && sameFile(target, document.path)) {
            dialogue::inform(parent, QStringLiteral("不能保存到原来的文件“%1”，否则其中本程序不能保存的内容会丢失。"
                                                    "请换一个文件名。")
                                         .arg(QDir::toNativeSeparators(target)));
            return false;
        }
    }

    // Both formats are written from the same model, so what one keeps the
    // other keeps too.
    std::vector<unsigned char> bytes;
    try {
        const docfile::Document model = toModel(document);
        bytes = isOpenDocumentName(target) ? docfile::writeOpenDocumentBytes(model) : docfile::writeBytes(model);
    } catch (const docfile::Error& error) {
        throw AutomationError(QStringLiteral("无法保存“%1”：%2").arg(document.name, QString::fromStdString(error.what())));
    }
    const QString shown = QDir::toNativeSeparators(target);
    if (QFileInfo(target).isDir())
        throw AutomationError(QStringLiteral("无法保存到“%1”：那是一个文件夹。").arg(shown));
    // Written beside the target, then put in its place in one step. The
    // write is unbuffered so that a short write (a full disk) shows here:
    // a buffered one can fail while flushing and still be committed.
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw AutomationError(QStringLiteral("无法保存到“%1”：%2").arg(shown, file.errorString()));
    if (file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) != qint64(bytes.size())
        || !file.commit())
        throw AutomationError(QStringLiteral("无法保存到“%1”：%2。原来的文件没有改动。").arg(shown, file.errorString()));

    document.path = QFileInfo(target).absoluteFilePath();
    document.name = QFileInfo(target).fileName();
    document.lossyNote.clear();
    document.text->setModified(false);
    return true;
}

bool settleUnsavedChanges(EngineState& state, int saveChanges)
{
    if (saveChanges == DoNotSaveChanges)
        return true;
    for (const auto& document : state.documents) {
        if (!document->text || !document->text->isModified())
            continue;
        if (saveChanges == PromptToSaveChanges) {
            if (!state.visible)
                continue;
            if (state.window)
                state.window->showDocument(document);
            const auto answer = askToSaveChanges(state.window, document->name, QStringLiteral("Lumetra 文字处理"));
            if (answer == QMessageBox::Cancel)
                return false;
            if (answer != QMessageBox::Yes)
                continue;
        }
        if (!saveDocument(*document, state.window))
            return false;
    }
    return true;
}

} // namespace word::builtin
