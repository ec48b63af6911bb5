// A bounds-checked little-endian view of bytes read from a file. Every
// offset and length taken from the file goes through sub() or a read
// accessor, which refuse anything outside the view.
#pragma once

#include "docfile/document.h"

#include <cstdint>
#include <string>

namespace docfile {

[[noreturn]] inline void damaged(const std::string& detail)
{
    throw Error("文件已截断或损坏：" + detail);
}

class View {
public:
    View() = default;
    View(const unsigned char* data, std::size_t size, const char* name) : data_(data), size_(size), name_(name) {}

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const unsigned char* data() const { return data_; }
    const char* name() const { return name_; }

    bool has(std::uint64_t offset, std::uint64_t length) const
    {
        return offset <= size_ && length <= size_ - offset;
    }
    // The part [offset, offset + length), or a refusal naming what did not fit.
    View sub(std::uint64_t offset, std::uint64_t length, const char* what) const
    {
        if (!has(offset, length)) damaged(std::string(what) + "超出了" + name_ + "的末尾");
        return View(data_ + offset, static_cast<std::size_t>(length), name_);
    }
    std::uint8_t u8(std::uint64_t offset) const
    {
        need(offset, 1);
        return data_[offset];
    }
    std::uint16_t u16(std::uint64_t offset) const
    {
        need(offset, 2);
        return static_cast<std::uint16_t>(data_[offset] | (data_[offset + 1] << 8));
    }
    std::int16_t i16(std::uint64_t offset) const { return static_cast<std::int16_t>(u16(offset)); }
    std::uint32_t u32(std::uint64_t offset) const
    {
        need(offset, 4);
        return static_cast<std::uint32_t>(data_[offset]) | (static_cast<std::uint32_t>(data_[offset + 1]) << 8)
            | (static_cast<std::uint32_t>(data_[offset + 2]) << 16) | (static_cast<std::uint32_t>(data_[offset + 3]) << 24);
    }
    std::int32_t i32(std::uint64_t offset) const { return static_cast<std::int32_t>(u32(offset)); }

private:
    void need(std::uint64_t offset, std::uint64_t length) const
    {
        if (!has(offset, length)) damaged(std::string(name_) + "中的数据不完整");
    }

    const unsigned char* data_ = nullptr;
    std::size_t size_ = 0;
    const char* name_ = "";
};

} // namespace docfile
