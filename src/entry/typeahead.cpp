#include "entry/typeahead.h"

namespace entry {

namespace {

int firstStartingWith(const QString& text, const QStringList& entries)
{
    for (int i = 0; i < entries.size(); ++i)
        if (entries[i].startsWith(text, Qt::CaseInsensitive))
            return i;
    return -1;
}

} // namespace

int TypeAhead::type(const QString& key, const QStringList& entries)
{
    if (key.isEmpty())
        return -1;
    const int found = firstStartingWith(m_typed + key, entries);
    if (found >= 0 || m_typed.isEmpty()) {
        m_typed += key;
        return found;
    }
    m_typed = key;
    return firstStartingWith(key, entries);
}

} // namespace entry
