// libgsf, which both the compound files of .doc and the zip packages of
// .docx and .odt go through: started once, its objects released by owners.
#pragma once

#include <gsf/gsf.h>

#include <memory>
#include <mutex>

namespace docfile::gsf {

inline void init()
{
    static std::once_flag once;
    std::call_once(once, [] { gsf_init(); });
}

// Releases a GObject when it goes out of scope.
struct Unref {
    void operator()(gpointer object) const { if (object) g_object_unref(object); }
};
template <typename T> using Owned = std::unique_ptr<T, Unref>;

} // namespace docfile::gsf
