#pragma once
// The subject description file: the list of subjects offered when a timetable
// is entered.
//
// The file is a sequence of items. An item ends at a comma or at the end of a
// line; an item that begins with a double quote runs to the next double quote
// (so it may hold commas and line breaks). Blanks (spaces, tabs) around an
// unquoted item are dropped; a quoted item keeps them. Anything before the
// "[info]" item is ignored; the items between "[info]" and "[kemu]" are
// settings ("sort=1" / "sort=0"); every item after "[kemu]" is a subject
// written key-name, split at the first hyphen-minus.
//
// A file that is valid UTF-8 (with or without a byte-order mark) is read as
// UTF-8, any other as GB18030 (which covers GBK).

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <stdexcept>

namespace subjects {

// What is wrong with a subject file, in the order checkFile looks for it.
enum class Fault { None, Missing, NoInfo, NoKemu, NoHyphen, Unreadable, TooMany, TooLarge };

// Subjects as two parallel lists: keys[i] belongs to names[i].
struct SubjectList {
    QStringList keys;
    QStringList names;
};

// Subject positions are signed 16-bit in the rest of the program.
inline constexpr qsizetype kMaxSubjects = 32767;

// A file longer than this is refused before it is read: even the most
// subjects with long names take a fraction of it, and a longer one would
// only cost memory (16 MiB).
inline constexpr qint64 kMaxFileBytes = qint64(16) << 20;

// Thrown by readFile when a file cannot be read as a subject list.
class FileError : public std::runtime_error {
public:
    FileError(Fault fault, const QString& path, const QString& detail);

    Fault fault() const { return m_fault; }
    QString path() const { return m_path; }
    // One Chinese sentence for a message box: the file's path and what is wrong.
    QString message() const { return m_message; }

private:
    Fault m_fault;
    QString m_path;
    QString m_message;
};

// Checks a subject file before it is taken as the user's choice. Never throws.
Fault checkFile(const QString& path);

// The text shown to the user for a fault found by checkFile (empty for None).
QString checkMessage(Fault fault);

// Reads the subjects, sorted when the file asks for it. Throws FileError when
// the file is missing or unreadable (a device, pipe or socket counts as
// unreadable), longer than kMaxFileBytes, a marker is missing, a subject has
// no hyphen, or there are more than kMaxSubjects subjects.
SubjectList readFile(const QString& path);

// Sorts by key, names travelling with their keys, into the order of this
// exchange sort: for each position i, for each later j, exchange i and j when
// key i > key j (so equal keys can change their order). When the first key is
// empty, the names alone are sorted and the keys stay where they are. Keys are
// compared code unit by code unit, so "10" comes before "2". Throws
// std::invalid_argument when the two lists differ in length.
void sortSubjects(SubjectList& list);

// The building blocks, for the reader above and for tests.

// Raw file bytes as text: UTF-8 when they are valid UTF-8 (a leading
// byte-order mark is dropped), otherwise GB18030.
QString decodeText(const QByteArray& bytes);

// The file's items in order, quotes removed and unquoted items trimmed.
QStringList readItems(const QString& text);

namespace detail {
// GB18030 through the C library's iconv; used when Qt has no GB18030 codec.
QString gb18030ViaIconv(const QByteArray& bytes);
} // namespace detail

} // namespace subjects
