#pragma once
// What must hold for any bytes offered as a subject file. The fuzz target
// checks it for every input it makes up; the test program replays the seed
// and regression files through it.

#include "subjects/subjectfile.h"

#include <QByteArray>
#include <QFile>
#include <QString>

namespace subjects::invariants {

// Lists longer than this are not compared with the step-by-step sort,
// which takes n² steps.
inline constexpr qsizetype kReferenceLimit = 400;

// The exchange sort done literally, for comparison with sortSubjects.
inline SubjectList exchangeSorted(SubjectList list)
{
    const bool byName = !list.keys.isEmpty() && list.keys.first().isEmpty();
    QStringList& order = byName ? list.names : list.keys;
    for (qsizetype i = 0; i + 1 < order.size(); ++i) {
        for (qsizetype j = i + 1; j < order.size(); ++j) {
            if (order[i] > order[j]) {
                order.swapItemsAt(i, j);
                if (!byName)
                    list.names.swapItemsAt(i, j); // names travel with their keys
            }
        }
    }
    return list;
}

// Writes `bytes` to `path` and puts it through the check, the reader and the
// sort. Returns what went wrong, or an empty text when everything held.
inline QString violation(const QByteArray& bytes, const QString& path)
{
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            return QStringLiteral("cannot write %1").arg(path);
    }

    // The check and the reader must agree about every file.
    const Fault fault = checkFile(path);
    try {
        const SubjectList list = readFile(path);
        if (fault != Fault::None)
            return QStringLiteral("checkFile refused (%1) what readFile read").arg(int(fault));
        if (list.keys.size() != list.names.size() || list.keys.size() > kMaxSubjects)
            return QStringLiteral("readFile gave %1 keys and %2 names").arg(list.keys.size()).arg(list.names.size());
        for (const QString& key : list.keys) {
            if (key.contains(u'-'))
                return QStringLiteral("a key holds a hyphen: %1").arg(key);
        }
    } catch (const FileError& e) {
        if (e.fault() != fault)
            return QStringLiteral("readFile refused (%1) where checkFile said %2").arg(int(e.fault())).arg(int(fault));
        if (e.message().isEmpty())
            return QStringLiteral("readFile refused without a message");
    }

    // Every line of the file sorted as subjects, whatever the file says about
    // sorting, in the order the exchange itself gives.
    const QStringList items = readItems(decodeText(bytes));
    SubjectList list;
    for (const QString& item : items) {
        const qsizetype hyphen = item.indexOf(u'-');
        list.keys.append(hyphen < 0 ? item : item.left(hyphen));
        list.names.append(hyphen < 0 ? QString() : item.mid(hyphen + 1));
    }
    const SubjectList unsorted = list;
    sortSubjects(list);
    if (list.keys.size() != unsorted.keys.size() || list.names.size() != unsorted.names.size())
        return QStringLiteral("sortSubjects changed the number of subjects");
    if (list.keys.size() <= kReferenceLimit) {
        const SubjectList expected = exchangeSorted(unsorted);
        if (list.keys != expected.keys || list.names != expected.names)
            return QStringLiteral("sortSubjects and the step-by-step exchange differ");
    }

    // The fallback decoder meets the same bytes when Qt has no GB18030.
    detail::gb18030ViaIconv(bytes);
    return {};
}

} // namespace subjects::invariants
