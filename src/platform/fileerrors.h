#pragma once
// Why a file could not be read or written, in words for a message: the
// reasons a user can do something about named plainly, the rest in the
// system's own words.

#include <QString>

namespace platform {

// A phrase without a final full stop, e.g. "磁盘空间不足".
QString fileErrorText(int errorNumber);

} // namespace platform
