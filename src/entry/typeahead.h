#pragma once
// Keyboard search in the subject list. Every key typed since the last write
// (or the last choice made some other way) belongs to one search, however
// fast or slowly it was typed, so that typing speed never changes what is
// written: "y", "w" finds "yw语文" whether the keys came 50 ms or 2 s apart,
// and the key after a write always starts afresh.

#include <QString>
#include <QStringList>

namespace entry {

class TypeAhead {
public:
    // A typed key: the position of the entry to choose, or -1 to keep the
    // choice. Entries are matched by their beginning, letter case ignored,
    // the first in list order winning. When the keys so far match nothing,
    // the key alone starts a new search.
    int type(const QString& key, const QStringList& entries);
    // The next key starts a new search.
    void reset() { m_typed.clear(); }
    QString typed() const { return m_typed; }

private:
    QString m_typed;
};

} // namespace entry
