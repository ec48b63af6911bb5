// Work and memory a read may spend, held to a multiple of the file's size
// so that a small file cannot make the reader take long or fill memory:
// formatting shared by many paragraphs in a .doc, XML inflated from a
// .docx.
#pragma once

#include "docfile/bytes.h"

#include <cstdint>

namespace docfile {

class Budget {
public:
    explicit Budget(std::uint64_t units) : left_(units) {}
    void charge(std::uint64_t units)
    {
        if (units > left_) damaged("格式数据多得不合常理");
        left_ -= units;
    }

private:
    std::uint64_t left_;
};

} // namespace docfile
