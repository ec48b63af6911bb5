// The writer's half of the records: bytes and property modifiers being
// built, and the parts of the table stream and the formatting pages that
// do not depend on the document's structure.
#pragma once

#include "docfile/document.h"
#include "docfile/fonts.h"
#include "docfile/word97/records.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace docfile::writer {

// Little-endian bytes appended to a buffer.
class ByteWriter {
public:
    void u8(std::uint32_t v) { bytes_.push_back(static_cast<std::uint8_t>(v)); }
    void u16(std::uint32_t v) { u8(v); u8(v >> 8); }
    void u32(std::uint32_t v) { u16(v); u16(v >> 16); }
    void append(const std::vector<std::uint8_t>& b) { bytes_.insert(bytes_.end(), b.begin(), b.end()); }
    void text(std::u16string_view s) { for (char16_t c : s) u16(c); }
    void padTo(std::size_t size) { if (bytes_.size() < size) bytes_.resize(size, 0); }
    void put16(std::size_t at, std::uint32_t v) { bytes_[at] = static_cast<std::uint8_t>(v); bytes_[at + 1] = static_cast<std::uint8_t>(v >> 8); }
    std::size_t size() const { return bytes_.size(); }
    std::vector<std::uint8_t>& bytes() { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

// A grpprl being built.
struct Sprms {
    std::vector<std::uint8_t> bytes;
    Sprms& op(std::uint16_t code) { bytes.push_back(static_cast<std::uint8_t>(code)); bytes.push_back(static_cast<std::uint8_t>(code >> 8)); return *this; }
    Sprms& b(std::uint16_t code, std::uint8_t v) { op(code); bytes.push_back(v); return *this; }
    Sprms& w(std::uint16_t code, std::uint16_t v) { op(code); bytes.push_back(static_cast<std::uint8_t>(v)); bytes.push_back(static_cast<std::uint8_t>(v >> 8)); return *this; }
    Sprms& l(std::uint16_t code, std::uint32_t v) { w(code, static_cast<std::uint16_t>(v)); bytes.push_back(static_cast<std::uint8_t>(v >> 16)); bytes.push_back(static_cast<std::uint8_t>(v >> 24)); return *this; }
};

// ---- Fonts ----

using fonts::kChineseDefault;
using fonts::kLatinDefault;

// The most fonts a font table may list.
constexpr std::size_t kMaxFonts = 0x7FF0;

// The fonts a document uses, numbered as the font table lists them.
class FontTable {
public:
    FontTable() { indexOf(kLatinDefault); indexOf(kChineseDefault); }

    std::uint16_t indexOf(const std::string& name)
    {
        const auto [it, added] = index_.emplace(name, static_cast<std::uint16_t>(names_.size()));
        if (added) {
            if (names_.size() == kMaxFonts) {
                index_.erase(it);
                throw Error("文档用到的字体太多（最多 32752 种），无法保存");
            }
            names_.push_back(name);
        }
        return it->second;
    }

    // The font table's entries, in index order.
    std::vector<records::Ffn> records() const;

private:
    std::vector<std::string> names_;
    std::unordered_map<std::string, std::uint16_t> index_;
};

void writeFontTable(ByteWriter& out, const std::vector<records::Ffn>& fonts);

// ---- Styles ----

constexpr std::uint16_t kIstdNormal = 0;
constexpr std::uint16_t kIstdDefaultParagraphFont = 10;
constexpr std::uint16_t kStyleSlots = 15;  // the built-in slots Word reserves
constexpr int kNormalHalfPoints = 21;      // 10.5 pt, the usual Chinese body size

// The style sheet: its header, then a style or an empty slot for each entry.
void writeStyleSheet(ByteWriter& out, const records::Stshi& info, const std::vector<std::optional<records::Std>>& styles);

// ---- Formatting pages ----

// Formatting for the bytes [fcStart, fcEnd) of the text.
struct FormattingRun {
    std::uint32_t fcStart, fcEnd;
    std::vector<std::uint8_t> properties;  // a CHPX's grpprl, or a PAPX's istd and grpprl
};

// The bin table of formatting pages: first fcs, page numbers.
struct Bins {
    std::vector<std::uint32_t> fcs;
    std::vector<std::uint32_t> pages;
};

// Packs runs into 512-byte pages of the given kind, each entry pointing to
// its properties stored from the page's end; identical properties in a page
// are stored once.
Bins writeFkps(ByteWriter& out, const std::vector<FormattingRun>& runs, bool paragraphs);
void writeBins(ByteWriter& out, const Bins& bins);

} // namespace docfile::writer
