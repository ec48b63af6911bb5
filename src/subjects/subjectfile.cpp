// Checking and reading the subject file: loading it, finding its markers,
// settings and subjects among the items, and saying what is wrong with it.
// Its text and items are in subjectfile_text.cpp, the sort it may ask for
// in subjectfile_sort.cpp.
#include "subjects/subjectfile.h"

#include <QFile>
#include <QFileInfo>

#include <utility>

namespace subjects {

namespace {

const QString kInfoMarker = QStringLiteral("[info]");
const QString kKemuMarker = QStringLiteral("[kemu]");
const QString kSortOn = QStringLiteral("sort=1");
const QString kSortOff = QStringLiteral("sort=0");

// What one pass over the items found. The checker and the reader share it so
// that they can never disagree about a file.
struct Parsed {
    Fault fault = Fault::None;
    bool sort = false;
    QStringList subjectItems;
    qsizetype badItem = -1; // position among the subjects of the first one without a hyphen
};

Parsed parseItems(const QStringList& items)
{
    Parsed result;
    const qsizetype count = items.size();
    qsizetype i = 0;

    // Everything before the info marker is ignored. The marker must not be the
    // last item: the end of the file would then already be reached.
    while (i < count && items[i].toLower() != kInfoMarker)
        ++i;
    if (i >= count - 1) {
        result.fault = Fault::NoInfo;
        return result;
    }
    ++i;

    // Settings up to the subject marker; the last sort switch counts.
    while (i < count && items[i].toLower() != kKemuMarker) {
        const QString setting = items[i].toLower();
        if (setting == kSortOn)
            result.sort = true;
        else if (setting == kSortOff)
            result.sort = false;
        ++i;
    }
    if (i >= count - 1) {
        result.fault = Fault::NoKemu;
        return result;
    }
    ++i;

    result.subjectItems = items.mid(i);
    for (qsizetype k = 0; k < result.subjectItems.size(); ++k) {
        if (!result.subjectItems[k].contains(u'-')) {
            result.fault = Fault::NoHyphen;
            result.badItem = k;
            return result;
        }
    }
    if (result.subjectItems.size() > kMaxSubjects)
        result.fault = Fault::TooMany;
    return result;
}

enum class Load { Ok, Missing, Unreadable, TooLarge };

Load loadText(const QString& path, QString& text)
{
    const QFileInfo info(path);
    // A directory or a hidden file is treated as if it were not there.
    if (path.isEmpty() || !info.exists() || info.isDir() || info.isHidden())
        return Load::Missing;
    // Only a regular file: opening a pipe waits for a writer that may never
    // come, and a device such as /dev/zero never ends.
    if (!info.isFile())
        return Load::Unreadable;
    if (info.size() > kMaxFileBytes)
        return Load::TooLarge;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Load::Unreadable;
    // The file may have grown since it was looked at.
    const QByteArray bytes = file.read(kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return Load::Unreadable;
    if (bytes.size() > kMaxFileBytes)
        return Load::TooLarge;
    text = decodeText(bytes);
    return Load::Ok;
}

// Shows an item in an error message without flooding the message box.
QString quoteItem(const QString& item)
{
    constexpr qsizetype kShown = 20;
    if (item.isEmpty())
        return QStringLiteral("（空行）");
    QString shown = item.size() > kShown ? item.left(kShown) + QStringLiteral("……") : item;
    return QStringLiteral("“%1”").arg(shown);
}

} // namespace

FileError::FileError(Fault fault, const QString& path, const QString& detail)
    : std::runtime_error(
          QStringLiteral("课程描述文件“%1”无法使用：%2").arg(path, detail).toStdString())
    , m_fault(fault)
    , m_path(path)
    , m_message(QStringLiteral("课程描述文件“%1”无法使用：%2").arg(path, detail))
{
}

Fault checkFile(const QString& path)
{
    QString text;
    switch (loadText(path, text)) {
    case Load::Missing:
        return Fault::Missing;
    case Load::Unreadable:
        return Fault::Unreadable;
    case Load::TooLarge:
        return Fault::TooLarge;
    case Load::Ok:
        break;
    }
    return parseItems(readItems(text)).fault;
}

QString checkMessage(Fault fault)
{
    switch (fault) {
    case Fault::None:
        return {};
    case Fault::Missing:
        return QStringLiteral("您所指定的课程描述文件不存在，请重新选择。否则将使用默认设置。");
    case Fault::NoInfo:
        return QStringLiteral("您所指定的课程描述文件中找不到[INFO]部分，请重新选择。否则将使用默认设置。");
    case Fault::NoKemu:
        return QStringLiteral("您所指定的课程描述文件中找不到[KEMU]部分，请重新选择。否则将使用默认设置。");
    case Fault::NoHyphen:
        return QStringLiteral("您所指定的课程描述文件描述课程时缺少“-”字符，请重新选择。否则将使用默认设置。");
    case Fault::Unreadable:
        return QStringLiteral("您所指定的课程描述文件无法打开，请检查文件是否可以读取，或重新选择。否则将使用默认设置。");
    case Fault::TooMany:
        return QStringLiteral("您所指定的课程描述文件中的课程超过了32767门，请重新选择。否则将使用默认设置。");
    case Fault::TooLarge:
        return QStringLiteral("您所指定的课程描述文件超过了16MB，不像是课程描述文件，请重新选择。否则将使用默认设置。");
    }
    return {};
}

SubjectList readFile(const QString& path)
{
    QString text;
    switch (loadText(path, text)) {
    case Load::Missing:
        throw FileError(Fault::Missing, path, QStringLiteral("文件不存在。"));
    case Load::Unreadable:
        throw FileError(Fault::Unreadable, path, QStringLiteral("文件无法打开或读取。"));
    case Load::TooLarge:
        throw FileError(Fault::TooLarge, path, QStringLiteral("文件超过了16MB，不像是课程描述文件。"));
    case Load::Ok:
        break;
    }

    Parsed parsed = parseItems(readItems(text));
    switch (parsed.fault) {
    case Fault::None:
        break;
    case Fault::NoInfo:
        throw FileError(parsed.fault, path, QStringLiteral("文件中找不到[INFO]部分。"));
    case Fault::NoKemu:
        throw FileError(parsed.fault, path, QStringLiteral("文件中找不到[KEMU]部分，或该部分中没有课程。"));
    case Fault::NoHyphen:
        throw FileError(parsed.fault, path,
                        QStringLiteral("第%1门课程%2缺少“-”字符。")
                            .arg(parsed.badItem + 1)
                            .arg(quoteItem(parsed.subjectItems[parsed.badItem])));
    case Fault::TooMany:
        throw FileError(parsed.fault, path,
                        QStringLiteral("文件中有%1门课程，超过了32767门的上限。")
                            .arg(parsed.subjectItems.size()));
    case Fault::Missing:
    case Fault::Unreadable:
    case Fault::TooLarge:
        break; // not produced by parseItems
    }

    SubjectList list;
    list.keys.reserve(parsed.subjectItems.size());
    list.names.reserve(parsed.subjectItems.size());
    for (const QString& item : std::as_const(parsed.subjectItems)) {
        const qsizetype hyphen = item.indexOf(u'-');
        list.keys.append(item.left(hyphen));
        list.names.append(item.mid(hyphen + 1));
    }
    if (parsed.sort)
        sortSubjects(list);
    return list;
}

} // namespace subjects
