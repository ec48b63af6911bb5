#include "wordprocessor/docfiles.h"

#include "wordprocessor/docconvert.h"
#include "wordprocessor/documentwindow.h"
#include "wordprocessor/error.h"
#include "common/documentfiles.h"
#include "common/dialogue.h"
#include "docfile/document.h"
#include "docfile/formats.h"
#include "platform/documentlock.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextBlock>

namespace wordprocessor {

namespace {

const QString title = QStringLiteral("Lumetra 文字处理");

// The file a document was read from or last saved to, as it was then, and
// whether the document holds its lock. Kept as a child of the document's
// text, so that the lock goes when the document goes, however it goes (a
// close, a quit); only a crash leaves it, and a later run sees it is stale.
class DocumentFile : public QObject {
    Q_OBJECT
public:
    DocumentFile(DocumentData& document, const QString& path, const platform::FileIdentity& identity)
        : QObject(document.text.get()), path(path), identity(identity)
    {
        // Someone else's live lock stays: they still have the file open.
        if (!platform::lockHeldElsewhere(path))
            locked = platform::writeDocumentLock(path);
    }
    ~DocumentFile() override
    {
        if (locked)
            platform::removeDocumentLock(path);
    }

    const QString path;
    platform::FileIdentity identity;
    bool locked = false;
};

DocumentFile* fileOf(const DocumentData& document)
{
    return document.text ? document.text->findChild<DocumentFile*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

// Asks what a save should ask before it writes `target`: whether to write
// over changes another program made to the document's own file, or over a
// file someone else has open. False when the user said No.
bool mayWrite(const DocumentData& document, const QString& target, QWidget* parent)
{
    const DocumentFile* file = fileOf(document);
    if (file && documentfiles::sameFile(target, file->path)) {
        const platform::FileIdentity now = platform::fileIdentity(target);
        return !now.exists || now == file->identity || documentfiles::askToSaveOverChanged(parent, target, title);
    }
    const auto lock = platform::lockHeldElsewhere(target);
    return !lock || documentfiles::askToSaveOverLocked(parent, target, *lock, title);
}

} // namespace

QString proposedFileName(const DocumentData& document)
{
    return documentfiles::proposedFileName(document.text ? document.text->firstBlock().text() : QString(), document.name,
                                           document.format);
}

std::shared_ptr<DocumentData> openDocument(const QString& path)
{
    if (const auto lock = platform::lockHeldElsewhere(path)) {
        if (!documentfiles::askToOpenLocked(QApplication::activeWindow(), path, *lock, title))
            throw Error(QStringLiteral("没有打开文件“%1”：它正被%2使用。")
                            .arg(QDir::toNativeSeparators(path), lock->holder()));
    }
    // Taken before reading: a change made while we read is seen at the save.
    const platform::FileIdentity identity = platform::fileIdentity(path);
    docfile::ReadReport report;
    docfile::Document model;
    try {
        model = docfile::readFile(QFile::encodeName(path).toStdString(), &report);
    } catch (const docfile::Error& error) {
        throw Error(QStringLiteral("无法打开文件“%1”：%2").arg(QDir::toNativeSeparators(path),
                                                                          QString::fromStdString(error.what())));
    } catch (const std::bad_alloc&) {
        throw Error(QStringLiteral("无法打开文件“%1”：文件太大或已损坏。").arg(QDir::toNativeSeparators(path)));
    }
    auto data = std::make_shared<DocumentData>();
    data->text = std::make_unique<QTextDocument>();
    data->text->setDefaultFont(defaultDocumentFont());
    data->typingFormat.setFont(defaultDocumentFont());
    fromModel(model, *data);
    data->path = QFileInfo(path).absoluteFilePath();
    data->name = QFileInfo(path).fileName();
    data->format = report.format;
    QStringList dropped;
    for (const std::string& what : report.dropped)
        dropped << QString::fromStdString(what);
    data->lossyNote = dropped.join(QStringLiteral("、"));
    data->cursor = QTextCursor(data->text.get());
    applyPage(*data);
    data->text->setModified(false);
    new DocumentFile(*data, data->path, identity);
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
        target = documentfiles::askSaveFileName(parent, document.path, proposedFileName(document));
        if (target.isEmpty())
            return false;
        if (!document.lossyNote.isEmpty() && !document.path.isEmpty() && documentfiles::sameFile(target, document.path)) {
            dialogue::inform(parent, QStringLiteral("不能保存到原来的文件“%1”，否则其中本程序不能保存的内容会丢失。"
                                                    "请换一个文件名。")
                                         .arg(QDir::toNativeSeparators(target)));
            return false;
        }
    }

    if (QFileInfo(target).isDir())
        throw Error(QStringLiteral("无法保存到“%1”：那是一个文件夹。").arg(QDir::toNativeSeparators(target)));
    if (!mayWrite(document, target, parent))
        return false;
    // Its own file keeps its format; a file named for one gets that one.
    const bool own = !document.path.isEmpty() && documentfiles::sameFile(target, document.path);
    writeDocument(document, target,
                  own ? document.format : documentfiles::formatOfName(target).value_or(docfile::Format::Word97));
    return true;
}

void writeDocument(DocumentData& document, const QString& target, docfile::Format format)
{
    const QString shown = QDir::toNativeSeparators(target);
    if (QFileInfo(target).isDir())
        throw Error(QStringLiteral("无法保存到“%1”：那是一个文件夹。").arg(shown));

    // Every format is written from the same model, so what one keeps the
    // others keep too.
    std::vector<unsigned char> bytes;
    try {
        bytes = docfile::writeBytes(toModel(document), format);
    } catch (const docfile::Error& error) {
        throw Error(QStringLiteral("无法保存“%1”：%2").arg(document.name, QString::fromStdString(error.what())));
    }
    // Written beside the target, then put in its place in one step. The
    // write is unbuffered so that a short write (a full disk) shows here:
    // a buffered one can fail while flushing and still be committed.
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw Error(QStringLiteral("无法保存到“%1”：%2").arg(shown, file.errorString()));
    if (file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) != qint64(bytes.size())
        || !file.commit())
        throw Error(QStringLiteral("无法保存到“%1”：%2。原来的文件没有改动。").arg(shown, file.errorString()));

    document.path = QFileInfo(target).absoluteFilePath();
    document.name = QFileInfo(target).fileName();
    document.format = format;
    document.lossyNote.clear();
    document.text->setModified(false);
    // The lock moves with the document to the file it was saved as.
    DocumentFile* held = fileOf(document);
    if (held && !documentfiles::sameFile(target, held->path)) {
        delete held;
        held = nullptr;
    }
    if (!held)
        held = new DocumentFile(document, document.path, {});
    held->identity = platform::fileIdentity(target);
}

bool settleUnsavedChanges(Instance& state, UnsavedChanges changes)
{
    if (changes == UnsavedChanges::Discard)
        return true;
    for (const auto& document : state.documents) {
        if (!document->text || !document->text->isModified())
            continue;
        if (changes == UnsavedChanges::Ask) {
            if (!state.visible)
                continue;
            if (state.window)
                state.window->showDocument(document);
            const auto answer = documentfiles::askToSaveChanges(state.window, document->name, QStringLiteral("Lumetra 文字处理"));
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

} // namespace wordprocessor

#include "docfiles.moc"
