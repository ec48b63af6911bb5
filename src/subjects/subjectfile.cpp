#include "subjects/subjectfile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <iconv.h>
#include <numeric>
#include <utility>
#include <vector>

namespace subjects {

namespace {

const QString kInfoMarker = QStringLiteral("[info]");
const QString kKemuMarker = QStringLiteral("[kemu]");
const QString kSortOn = QStringLiteral("sort=1");
const QString kSortOff = QStringLiteral("sort=0");

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool endsItem(QChar c)
{
    return c == u',' || c == u'\r' || c == u'\n';
}

QString trimBlanks(QStringView text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && isBlank(text[from]))
        ++from;
    while (to > from && isBlank(text[to - 1]))
        --to;
    return text.mid(from, to - from).toString();
}

// Length of the line break at position p (CR LF counts as one), 0 if none.
qsizetype lineBreakAt(const QString& text, qsizetype p)
{
    if (p >= text.size())
        return 0;
    if (text[p] == u'\r')
        return (p + 1 < text.size() && text[p + 1] == u'\n') ? 2 : 1;
    return text[p] == u'\n' ? 1 : 0;
}

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

QString decodeText(const QByteArray& bytes)
{
    // Stateless, so that a sequence cut off at the end of the file counts as
    // an error instead of being held back for more input.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;

    QStringDecoder gb18030("GB18030", QStringDecoder::Flag::Stateless);
    if (gb18030.isValid())
        return gb18030.decode(bytes);
    return detail::gb18030ViaIconv(bytes);
}

QString detail::gb18030ViaIconv(const QByteArray& bytes)
{
    iconv_t cd = iconv_open("UTF-8", "GB18030");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return QString::fromLatin1(bytes);

    QByteArray out;
    out.resize(bytes.size() * 4 + 16);
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    char* outPtr = out.data();
    size_t outLeft = size_t(out.size());
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) != size_t(-1))
            break;
        if (errno == E2BIG)
            break; // cannot happen: four bytes out per byte in is always enough
        // A byte that starts no valid character (or a character cut off at the
        // end): put a replacement character and go on with the next byte.
        static const char kReplacement[] = "\xEF\xBF\xBD";
        if (outLeft < 3)
            break;
        memcpy(outPtr, kReplacement, 3);
        outPtr += 3;
        outLeft -= 3;
        ++in;
        --inLeft;
    }
    iconv_close(cd);
    out.resize(outPtr - out.data());
    return QString::fromUtf8(out);
}

QStringList readItems(const QString& text)
{
    QStringList items;
    const qsizetype n = text.size();
    qsizetype p = 0;
    if (n == 0)
        return items;

    for (;;) {
        qsizetype q = p;
        while (q < n && isBlank(text[q]))
            ++q;

        if (q < n && text[q] == u'"') {
            const qsizetype close = text.indexOf(u'"', q + 1);
            if (close < 0) {
                // An unclosed quote runs to the end of the file; the file's
                // last line break is not part of it.
                qsizetype end = n;
                if (end > q + 1 && text[end - 1] == u'\n')
                    --end;
                if (end > q + 1 && text[end - 1] == u'\r')
                    --end;
                items.append(text.mid(q + 1, end - q - 1));
                break;
            }
            items.append(text.mid(q + 1, close - q - 1));
            // Whatever stands between the closing quote and the end of the
            // item is dropped.
            p = close + 1;
            while (p < n && !endsItem(text[p]))
                ++p;
        } else {
            qsizetype end = p;
            while (end < n && !endsItem(text[end]))
                ++end;
            items.append(trimBlanks(QStringView(text).mid(p, end - p)));
            p = end;
        }

        if (p >= n)
            break;
        if (text[p] == u',') {
            // A comma always has an item after it, if only an empty one.
            ++p;
            continue;
        }
        p += lineBreakAt(text, p);
        // Nothing left but this item's line break: the end of the file.
        if (p >= n)
            break;
    }
    return items;
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

void sortSubjects(SubjectList& list)
{
    if (list.keys.size() != list.names.size())
        throw std::invalid_argument("subjects::sortSubjects: keys and names differ in length");
    if (list.keys.isEmpty())
        return;

    if (list.keys.first().isEmpty()) {
        // The names alone. Equal names are the same text, so any sort gives
        // the order the exchange sort would.
        std::sort(list.names.begin(), list.names.end());
        return;
    }

    // The keys end up in ascending order; what the exchange decides is the
    // order of the names under equal keys. Done step by step that takes n²
    // comparisons, seconds for a file of 32767 subjects. Instead:
    //
    // Take one key x. An exchange pass moves a subject with key x only when
    // it is the first subject at or after the pass's position whose key is
    // x or less; it then jumps to the first smaller key after it, past any
    // other x, or stays put as the smallest key left. Keys greater than x
    // play no part. So, walking through the subjects with keys x or less in
    // file order, the x subjects seen so far form a queue: each smaller key
    // met sends the queue's first subject to its back, and a further x joins
    // at the back. The queue at the end is the order of the x subjects.
    const qsizetype n = list.keys.size();
    std::vector<qsizetype> byKey(static_cast<size_t>(n));
    std::iota(byKey.begin(), byKey.end(), qsizetype(0));
    std::stable_sort(byKey.begin(), byKey.end(),
                     [&](qsizetype a, qsizetype b) { return list.keys[a] < list.keys[b]; });

    // Counts, per position, of the subjects with smaller keys than the one
    // at hand (a Fenwick tree over positions).
    std::vector<qsizetype> smaller(static_cast<size_t>(n) + 1, 0);
    const auto addSmaller = [&](qsizetype position) {
        for (qsizetype i = position + 1; i <= n; i += i & -i)
            ++smaller[size_t(i)];
    };
    const auto smallerBefore = [&](qsizetype position) { // positions 0 .. position − 1
        qsizetype count = 0;
        for (qsizetype i = position; i > 0; i -= i & -i)
            count += smaller[size_t(i)];
        return count;
    };

    QStringList keys, names;
    keys.reserve(n);
    names.reserve(n);
    std::deque<qsizetype> queue;
    for (qsizetype from = 0; from < n;) {
        // The subjects with one key, in file order (the sort above is stable).
        qsizetype to = from + 1;
        while (to < n && list.keys[byKey[size_t(to)]] == list.keys[byKey[size_t(from)]])
            ++to;
        queue.clear();
        for (qsizetype k = from; k < to; ++k) {
            const qsizetype position = byKey[size_t(k)];
            queue.push_back(position);
            const qsizetype next = k + 1 < to ? byKey[size_t(k + 1)] : n;
            const qsizetype turns = (smallerBefore(next) - smallerBefore(position + 1)) % qsizetype(queue.size());
            for (qsizetype t = 0; t < turns; ++t) {
                queue.push_back(queue.front());
                queue.pop_front();
            }
        }
        for (const qsizetype position : queue) {
            keys.append(list.keys[position]);
            names.append(list.names[position]);
        }
        for (qsizetype k = from; k < to; ++k)
            addSmaller(byKey[size_t(k)]);
        from = to;
    }
    list.keys = std::move(keys);
    list.names = std::move(names);
}

} // namespace subjects
