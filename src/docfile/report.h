// What a read leaves out because the model cannot hold it, each named once
// (in Chinese, for the user), whatever the format read.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

namespace docfile {

class Reporter {
public:
    void add(const char* what)
    {
        if (std::find(items_.begin(), items_.end(), what) == items_.end()) items_.emplace_back(what);
    }
    std::vector<std::string> take() { return std::move(items_); }

private:
    std::vector<std::string> items_;
};

} // namespace docfile
